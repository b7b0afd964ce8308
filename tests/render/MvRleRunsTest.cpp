#include "ResourceTestSupport.h"

#include "MvRle.h"
#include "MvRleRuns.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace restest;

// The runs of every row of cut as text: "start-end" per run, then "~" for a translucent
// piece or "+" for an opaque piece that takes the translucent blitter with a transform
// alpha (as its segment is translucent); rows separated by '|'.
std::string ShowRuns(const MvRle& image, const MvRleRuns& runs, MvRleRuns::Cut cut)
{
    std::string text;
    for (int k = 0; k < image.Height(); ++k) {
        if (k > 0)
            text += "|";
        for (const MvRleRuns::Run* run = runs.RowBegin(cut, k); run != runs.RowEnd(cut, k); ++run) {
            if (run != runs.RowBegin(cut, k))
                text += " ";
            text += std::to_string(run->start) + "-" + std::to_string(run->end);
            if (run->blitter[0])
                text += run->blitter[1] ? "~" : "!"; // "!": a translucent piece must keep that blitter
            else if (run->blitter[1])
                text += "+";
        }
    }
    return text;
}

// Opaque segments stay whole; a translucent segment is cut around every stretch of at
// least MinOpaqueLength opaque pixels, wherever it lies, and shorter stretches stay in
// their translucent piece; a translucent piece takes opaque pixels from the stretch after
// it, or else before it, to fill a step of 4 or 8 pixels when that stretch stays long
// enough. Every run points at its own first pixel and knows its index among the image's
// pixels, row after row.
TEST(MvRleRuns, CutsOpaqueStretchesOutOfTranslucentSegments)
{
    static_assert(MvRleRuns::MinOpaqueLength == 8, "the pictures below cut at 8 opaque pixels");
    struct Case {
        const char* what;
        std::vector<std::string> picture;
        const char* by4;
        const char* by8;
    };
    const Case cases[] = {
        {"opaque segments", {"1234.5678912345"}, "0-3 5-14", "0-3 5-14"},
        {"a soft rim on both sides", {"ab12345678ba"}, "0-1~ 2-9+ 10-11~", "0-1~ 2-9+ 10-11~"},
        {"rims filled to a step from the core", {"ab12345678912345678912ba"}, "0-3~ 4-19+ 20-23~",
         "0-7~ 8-15+ 16-23~"},
        {"rims of one and of two", {"a123456789123456789123456789123ab"}, "0-3~ 4-28+ 29-32~",
         "0-7~ 8-24+ 25-32~"},
        {"a core that can lend 4 but not 8", {"ab1234567891234ba"}, "0-3~ 4-12+ 13-16~", "0-1~ 2-14+ 15-16~"},
        {"a core one pixel short", {"ab1234567ba."}, "0-10~", "0-10~"},
        {"opaque at the start", {"12345678ab"}, "0-7+ 8-9~", "0-7+ 8-9~"},
        {"opaque at the end", {"d12345678"}, "0-0~ 1-8+", "0-0~ 1-8+"},
        {"two cores and a short one", {"a12345678d1234d12345678a"}, "0-0~ 1-8+ 9-14~ 15-22+ 23-23~",
         "0-0~ 1-8+ 9-14~ 15-22+ 23-23~"},
        {"all translucent", {"abdcab.d"}, "0-5~ 7-7~", "0-5~ 7-7~"},
        {"rows of their own", {"a12345678", ".........", "R.a.G...."}, "0-0~ 1-8+||0-0 2-2~ 4-4",
         "0-0~ 1-8+||0-0 2-2~ 4-4"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MvRle image;
        CreateFrame(&image, c.picture, 0, 0);
        const MvRleRuns runs(image);
        EXPECT_EQ(c.by4, ShowRuns(image, runs, MvRleRuns::CutBy4));
        EXPECT_EQ(c.by8, ShowRuns(image, runs, MvRleRuns::CutBy8));
        for (MvRleRuns::Cut cut : {MvRleRuns::CutBy4, MvRleRuns::CutBy8}) {
            int index = 0;
            for (int k = 0; k < image.Height(); ++k) {
                for (const MvRleRuns::Run* run = runs.RowBegin(cut, k); run != runs.RowEnd(cut, k); ++run) {
                    EXPECT_EQ(index, run->packed);
                    index += run->end - run->start + 1;
                    for (int column = run->start; column <= run->end; ++column)
                        EXPECT_EQ(PaletteColor(c.picture[k][column]), run->pixels[column - run->start])
                            << k << "," << column;
                }
            }
        }
    }
}

} // namespace
