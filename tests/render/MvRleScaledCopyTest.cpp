// Scaled copies of run-length encoded images: placement of the copy (size, offset,
// delta), the sampling method chosen by the scale (boxes when shrinking to half or less,
// bilinear otherwise), empty results, and copies larger than Create would accept.

#include "ResourceTestSupport.h"

#include "MvBitWriter.h"
#include "MvFailedCheck.h"
#include "MvMemoryStream.h"
#include "MvRle.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace restest;

const MvFixed kOne = MvFixed::FromInt(1);
const MvFixed kTwo = MvFixed::FromInt(2);
const MvFixed kHalf = MvFixed::FromRaw(MvFixedOne / 2);

// The image's pixels, width x height row after row; transparent where nothing is stored.
std::vector<MvColor> Grid(const MvRle& image)
{
    std::vector<MvColor> grid(static_cast<size_t>(image.Width() * image.Height()), Rgba(0, 0, 0, 0));
    for (int k = 0; k < image.Height(); ++k) {
        const MvRleLine& line = image.Row(k);
        for (int s = 0; s < line.segmentCount; ++s) {
            const MvRleSegment& segment = line.segments[s];
            for (int c = segment.start; c <= segment.end; ++c)
                grid[k * image.Width() + c] = segment.pixels[c - segment.start];
        }
    }
    return grid;
}

std::string Describe(const MvColor& c)
{
    return "(" + std::to_string(c.red) + "," + std::to_string(c.green) + "," + std::to_string(c.blue) + "," +
           std::to_string(c.alpha) + ")";
}

void ExpectGrid(const std::vector<MvColor>& expected, const MvRle& image)
{
    const std::vector<MvColor> actual = Grid(image);
    ASSERT_EQ(expected.size(), actual.size());
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(Describe(expected[i]), Describe(actual[i])) << "pixel " << i % image.Width() << ","
                                                              << i / image.Width();
}

// At 1.0 the copy is its source again: the same size, offset, delta and, for opaque
// pixels, the same colours, wherever the hot spot lies.
TEST(MvRleScaledCopy, AtOneEqualsItsSource)
{
    struct Case {
        const char* what;
        std::vector<std::string> rows;
        int hotX, hotY, deltaX, deltaY;
    };
    const Case cases[] = {
        {"hot spot at the top-left corner", {"RG", "BW"}, 0, 0, 0, 0},
        {"hot spot inside, delta forwards", {"R.R", ".G.", "1.2"}, 1, 2, 4, -3},
        {"hot spot outside the picture", {"..RR", "..GG"}, -7, 9, -2, 5},
        {"margins trimmed by the source", {"....", ".RG.", "...."}, 3, 0, 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MvRle image;
        CreateFrame(&image, c.rows, c.hotX, c.hotY, c.deltaX, c.deltaY);
        std::unique_ptr<MvRle> copy(image.MakeScaledCopy(kOne, kOne));
        EXPECT_EQ(image.Width(), copy->Width());
        EXPECT_EQ(image.Height(), copy->Height());
        EXPECT_EQ(image.OffsetX(), copy->OffsetX());
        EXPECT_EQ(image.OffsetY(), copy->OffsetY());
        EXPECT_EQ(image.DeltaX(), copy->DeltaX());
        EXPECT_EQ(image.DeltaY(), copy->DeltaY());
        ExpectGrid(Grid(image), *copy);
    }
}

// Shrinking to half: each target pixel averages the visible pixels of its 2 x 2 box and
// ignores transparent ones, so a box with one red pixel stays pure opaque red (bilinear
// sampling would mix in the transparent neighbours) and a box with none stays empty. The
// hot spot and the delta are halved.
TEST(MvRleScaledCopy, AtHalfAveragesTheVisiblePixelsOfEachBox)
{
    MvRle image;
    CreateFrame(&image, {"R.GB", "..GB", "WW..", "KK.."}, 2, 2, 4, -2);
    std::unique_ptr<MvRle> copy(image.MakeScaledCopy(kHalf, kHalf));
    ASSERT_EQ(2, copy->Width());
    ASSERT_EQ(2, copy->Height());
    EXPECT_EQ(-1, copy->OffsetX());
    EXPECT_EQ(-1, copy->OffsetY());
    EXPECT_EQ(2, copy->DeltaX());
    EXPECT_EQ(-1, copy->DeltaY());
    ExpectGrid({Rgba(255, 0, 0, 255), Rgba(0, 127, 127, 255), Rgba(127, 127, 127, 255), Rgba(0, 0, 0, 0)}, *copy);
    EXPECT_EQ(1, copy->Row(1).segmentCount);
}

// Enlarging to 2.0 samples bilinearly: between a red and a blue pixel the copy runs
// through the mixtures at a quarter, a half and three quarters (nearest sampling would
// repeat each pixel twice), rounded to the nearest; an opaque picture stays opaque.
TEST(MvRleScaledCopy, AtTwoInterpolatesBilinearly)
{
    MvRle image;
    CreateFrame(&image, {"RB"}, 1, 0, 3, 1);
    std::unique_ptr<MvRle> copy(image.MakeScaledCopy(kTwo, kTwo));
    ASSERT_EQ(4, copy->Width());
    ASSERT_EQ(2, copy->Height());
    EXPECT_EQ(-2, copy->OffsetX());
    EXPECT_EQ(0, copy->OffsetY());
    EXPECT_EQ(6, copy->DeltaX());
    EXPECT_EQ(2, copy->DeltaY());
    const std::vector<MvColor> row = {Rgba(255, 0, 0, 255), Rgba(191, 0, 64, 255), Rgba(128, 0, 128, 255),
                                      Rgba(64, 0, 191, 255)};
    std::vector<MvColor> expected = row;
    expected.insert(expected.end(), row.begin(), row.end()); // one source row gives two equal rows
    ExpectGrid(expected, *copy);
}

// Scales that are not powers of two: the copy is the picture's size scaled and rounded
// as a block's bounds are (from the corner at 0), and the hot spot and delta are scaled
// and rounded on their own. Scaling while drawing rounds the edges around the hot spot
// instead, so the two may differ by a pixel in size.
TEST(MvRleScaledCopy, FractionalScalesRoundSizeHotSpotAndDelta)
{
    struct Case {
        double xScale, yScale;
    };
    const Case cases[] = {{0.75, 0.75}, {1.5, 0.5}, {0.3, 2.5}, {3.0, 1.25}};
    MvRle image;
    CreateFrame(&image, {"RRRRR", "RRRRR", "RRRRR"}, 3, 1, 5, -3);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.xScale) + " x " + std::to_string(c.yScale));
        const MvFixed sx = MvFixed::FromDouble(c.xScale);
        const MvFixed sy = MvFixed::FromDouble(c.yScale);
        std::unique_ptr<MvRle> copy(image.MakeScaledCopy(sx, sy));
        EXPECT_EQ((sx * MvFixed::FromInt(5)).RoundToInt(), copy->Width());
        EXPECT_EQ((sy * MvFixed::FromInt(3)).RoundToInt(), copy->Height());
        EXPECT_EQ(-(sx * MvFixed::FromInt(3)).RoundToInt(), copy->OffsetX());
        EXPECT_EQ(-(sy * MvFixed::FromInt(1)).RoundToInt(), copy->OffsetY());
        EXPECT_EQ((sx * MvFixed::FromInt(5)).RoundToInt(), copy->DeltaX());
        EXPECT_EQ((sy * MvFixed::FromInt(-3)).RoundToInt(), copy->DeltaY());

        MvTransform t = MvTransform::Identity();
        t.x = t.y = MvFixed::FromInt(100);
        t.xScale = sx;
        t.yScale = sy;
        MvIntRect drawn;
        image.ComputeBounds(t, &drawn);
        EXPECT_LE(std::abs(drawn.Width() - copy->Width()), 1);
        EXPECT_LE(std::abs(drawn.Height() - copy->Height()), 1);
    }
}

// Nothing visible gives an empty copy that still carries the scaled delta: an empty
// frame, and a picture that rounds away to nothing at a tiny scale.
TEST(MvRleScaledCopy, NothingVisibleGivesAnEmptyCopy)
{
    MvRle empty;
    CreateFrame(&empty, {"...", "..."}, 0, 0, 4, 2);
    ASSERT_EQ(0, empty.Height());
    std::unique_ptr<MvRle> copy(empty.MakeScaledCopy(kTwo, kHalf));
    EXPECT_EQ(0, copy->Width());
    EXPECT_EQ(0, copy->Height());
    EXPECT_EQ(nullptr, copy->Rows());
    EXPECT_EQ(8, copy->DeltaX());
    EXPECT_EQ(1, copy->DeltaY());

    MvRle dot;
    CreateFrame(&dot, {"R"}, 0, 0);
    const MvFixed tiny = MvFixed::FromDouble(0.25);
    std::unique_ptr<MvRle> vanished(dot.MakeScaledCopy(tiny, tiny));
    EXPECT_EQ(0, vanished->Height());
    EXPECT_EQ(nullptr, vanished->Rows());

    MvRle never; // made empty and never filled
    std::unique_ptr<MvRle> alsoEmpty(never.MakeScaledCopy(kTwo, kTwo));
    EXPECT_EQ(0, alsoEmpty->Height());
}

// An image read from a file may hold more runs in a row (up to 1999) and lie further
// from its hot spot (4000) than Create accepts from a picture; enlarging lengthens runs
// beyond the stored limit. Copies of such images are made all the same.
TEST(MvRleScaledCopy, CopiesImagesBeyondWhatCreateAccepts)
{
    // One row of 250 single red pixels with gaps between them, 4000 pixels right of the
    // hot spot: all channels constant, so every pixel takes 0 bits.
    const int runs = 250;
    const int width = 2 * runs - 1;
    MvMemoryStream stored;
    SDL_WriteLE16(stored.Stream(), 0);
    for (int32_t v : {4000, 0, width, 1, 0, 0})
        SDL_WriteLE32(stored.Stream(), uint32_t(v));
    const uint8_t channels[8] = {255, 0, 0, 0, 0, 0, 255, 0};
    SDL_RWwrite(stored.Stream(), channels, 1, 8);
    {
        MvBitWriter bits(stored.Stream());
        bits.Write(0, 2);
        bits.Write(8, 4);
        bits.Write(runs, 8);
        for (int s = 0; s < runs; ++s) {
            bits.Write(0, 3);
            bits.Write(9, 4);
            bits.Write(uint32_t(2 * s), 9);
            bits.Write(uint32_t(2 * s), 9);
        }
        bits.Flush();
    }
    const std::vector<uint8_t> bytes = stored.Bytes();
    MvMemoryStream stream(bytes.data(), bytes.size());
    MvRle many;
    ASSERT_TRUE(many.Read(stream.Stream()));
    ASSERT_EQ(runs, many.Row(0).segmentCount);

    std::unique_ptr<MvRle> same(many.MakeScaledCopy(kOne, kOne));
    EXPECT_EQ(runs, same->Row(0).segmentCount);
    EXPECT_EQ(4000, same->OffsetX());
    ExpectGrid(Grid(many), *same);

    std::unique_ptr<MvRle> doubled(many.MakeScaledCopy(kTwo, kOne));
    EXPECT_EQ(8000, doubled->OffsetX());
    EXPECT_EQ(2 * width, doubled->Width());

    // A run of 1500 pixels becomes one of 3000.
    MvRle wide;
    CreateFrame(&wide, {std::string(1500, 'G')}, 0, 0);
    std::unique_ptr<MvRle> wider(wide.MakeScaledCopy(kTwo, kTwo));
    EXPECT_EQ(3000, wider->Width());
    ASSERT_EQ(1, wider->Row(0).segmentCount);
    EXPECT_EQ(3000, wider->Row(0).segments[0].Length());
}

TEST(MvRleScaledCopyDeathTest, ScalesMustBePositive)
{
    MvRle image;
    CreateFrame(&image, {"R"}, 0, 0);
    EXPECT_DEATH(image.MakeScaledCopy(MvFixed::FromInt(0), kOne), MvFailedCheck("xScale > 0 && yScale > 0"));
    EXPECT_DEATH(image.MakeScaledCopy(kOne, MvFixed::FromInt(-1)), MvFailedCheck("xScale > 0 && yScale > 0"));
}

} // namespace
