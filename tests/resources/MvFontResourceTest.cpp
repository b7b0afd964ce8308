#include "ResourceTestSupport.h"

#include "MvAction.h"
#include "MvFailedCheck.h"
#include "MvFontResource.h"
#include "MvLoadPool.h"
#include "MvMemoryStream.h"
#include "MvPaintTarget.h"
#include "MvResourceFactory.h"
#include "MvResourceReader.h"
#include "MvResourceVault.h"
#include "MvResourceWriter.h"
#include "MvRle.h"
#include "TransformAt.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <string>
#include <vector>

// Fonts: glyph widths and the space code, text widths, glyph lookup at the edges of the
// code range, drawing glyphs on screen formats, building fonts from images of both kinds,
// saving and reading font records, and malformed font records in resource files.

namespace {

using namespace restest;

// A font built from the picture, as the encoder builds one.
std::unique_ptr<MvFontResource> BuildFont(const char* name, const std::vector<std::string>& rows, int startIndex,
                                          int spaceCode, uint16_t fontType, int length)
{
    SurfacePtr picture = MakePicture(rows);
    MvPaintTarget image(picture.get());
    return std::unique_ptr<MvFontResource>(
        new MvFontResource(name, image, startIndex, spaceCode, fontType, length));
}

// Markers 'W' in the top row cut three cells of widths 2, 3 and 2 (the last without a
// closing marker); the glyphs are R (trimmed to one pixel in the cell's second row), G
// (one column in from the cell's left edge) and B.
const std::vector<std::string> MarkedPicture = {
    "W..W...WW..",
    "......G..B.",
    ".R...GG..BB",
};

// The font "ABC" of MarkedPicture with start index 65 and space code 32.
std::unique_ptr<MvFontResource> MarkedFont()
{
    return BuildFont("marked", MarkedPicture, 65, 32, MvFontResource::MarkedCells, 0);
}

// A font payload made by hand: one action "NONE" whose frames are one red pixel each
// with the given advances, then start index, font type and space code.
std::vector<uint8_t> FontPayload(const std::vector<int32_t>& advances, uint32_t startIndex, uint32_t fontType,
                                 uint32_t spaceCode)
{
    ByteBuilder payload;
    payload.Name("hand").U32(4).U32(1).Name("NONE").U32(2).U32(static_cast<uint32_t>(advances.size()));
    MvLogCapture quiet(MvLogCapture::QuietStdout);
    for (int32_t advance : advances) {
        MvRle frame;
        CreateFrame(&frame, {"R"}, 0, 0, advance, 0);
        payload.Raw(StoredImage(frame));
    }
    payload.U32(startIndex).U16(fontType).U32(spaceCode);
    return payload.Bytes();
}

// The font read from payload by the reading constructor; the payload must be well formed.
std::unique_ptr<MvFontResource> ReadFont(const std::vector<uint8_t>& payload)
{
    MvMemoryStream in(payload.data(), payload.size());
    MvResourceReader reader(in.Stream(), "fonts.dat");
    MvLogCapture quiet(MvLogCapture::QuietStdout);
    std::unique_ptr<MvFontResource> font(new MvFontResource(static_cast<uint32_t>(payload.size()), reader));
    EXPECT_FALSE(reader.Failed()) << reader.Error();
    EXPECT_EQ(0, reader.Remaining());
    return font;
}

// Draws text as a text widget does: each glyph at the pen, which then moves on by the
// glyph's width.
void DrawText(const MvFontResource& font, const PaintedScreen& screen, const std::vector<uint16_t>& text, int x,
              int y)
{
    for (uint16_t code : text) {
        font.DrawGlyph(screen.Target(), code, At(x, y), MvColorXform(), screen.Whole(), 0);
        x += font.GlyphWidth(code);
    }
}

// ---------------------------------------------------------------------------------------
// Widths and lookup

// The space width is the average advance of the glyphs, rounded down and at least 1.
TEST(MvFontResource, SpaceWidthIsTheAverageAdvanceAndAtLeastOne)
{
    const struct {
        const char* what;
        std::vector<int32_t> advances;
        int spaceWidth;
    } cases[] = {
        {"5, 6 and 7", {5, 6, 7}, 6},
        {"rounded down", {1, 2}, 1},
        {"one glyph of advance 0", {0}, 1},
        {"negative advances", {-4, -9}, 1},
        {"advances whose sum passes 32 bits", {INT_MAX, INT_MAX, INT_MAX}, INT_MAX},
        {"no glyphs", {}, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::unique_ptr<MvFontResource> font = ReadFont(FontPayload(c.advances, 32, 0, 32));
        EXPECT_EQ(static_cast<int>(c.advances.size()), font->GlyphCount());
        EXPECT_EQ(c.spaceWidth, font->SpaceWidth());
        EXPECT_EQ(c.spaceWidth, font->GlyphWidth(32));
    }
}

// Codes below the start index and at or past its end are not in the font and measure 0;
// the space code measures the space width wherever it lies, and HasGlyph does not treat
// it specially.
TEST(MvFontResource, GlyphLookupAtTheEdgesOfTheCodeRange)
{
    // Glyphs 32, 33, 34 with advances 4, 8, 3 (space width 5); the space code 33 lies
    // inside the range.
    std::unique_ptr<MvFontResource> font = ReadFont(FontPayload({4, 8, 3}, 32, 0, 33));
    EXPECT_EQ(32, font->StartIndex());
    EXPECT_EQ(33, font->SpaceCode());
    EXPECT_EQ(5, font->SpaceWidth());
    const struct {
        uint16_t code;
        bool hasGlyph;
        int width;
    } cases[] = {
        {0, false, 0}, {31, false, 0}, {32, true, 4}, {33, true, 5}, {34, true, 3}, {35, false, 0}, {65535, false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        EXPECT_EQ(c.hasGlyph, font->HasGlyph(c.code));
        EXPECT_EQ(c.width, font->GlyphWidth(c.code));
        if (c.hasGlyph) {
            EXPECT_EQ(c.code - 32, font->GlyphIndex(c.code));
        }
    }
}

// Start indexes from a file may be any 32-bit value; the code range is worked out without
// overflow, and the highest code can be a glyph.
TEST(MvFontResource, StartIndexesAtTheEndsOfTheirRange)
{
    const struct {
        uint32_t startIndex;
        uint16_t code;
        int index; // -1: not in the font
    } cases[] = {
        {0x80000000u, 65535, -1}, {0x7FFFFFFFu, 0, -1}, {0xFFFFFFFEu, 0, 2},
        {65535, 65535, 0},        {65534, 65535, 1},    {65535, 65534, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.startIndex << " " << c.code);
        std::unique_ptr<MvFontResource> font = ReadFont(FontPayload({1, 2, 3}, c.startIndex, 0, 1000));
        EXPECT_EQ(c.index >= 0, font->HasGlyph(c.code));
        EXPECT_EQ(c.index >= 0 ? c.index + 1 : 0, font->GlyphWidth(c.code));
        if (c.index >= 0) {
            EXPECT_EQ(c.index, font->GlyphIndex(c.code));
        }
    }
}

// TextWidth adds the widths up to the terminating zero, or up to count characters when a
// zero does not come first; characters outside the font add nothing.
TEST(MvFontResource, TextWidthInBothForms)
{
    // 'A' 2, 'B' 3, 'C' 2, space 2.
    std::unique_ptr<MvFontResource> font = MarkedFont();
    const uint16_t abc[] = {'A', 'B', 'C', 0};
    const uint16_t spaced[] = {'A', ' ', 'C', 0};
    const uint16_t unknown[] = {'a', 'B', 0x263A, '@', 'D', 0};
    const uint16_t empty[] = {0};
    const uint16_t zeroInside[] = {'B', 0, 'B', 'B'};
    const struct {
        const char* what;
        const uint16_t* text;
        int width;
        int count; // the counted form's count
        int countedWidth;
    } cases[] = {
        {"three glyphs", abc, 7, 2, 5},
        {"a space", spaced, 6, 3, 6},
        {"characters outside the font", unknown, 3, 5, 3},
        {"the empty text", empty, 0, 1, 0},
        {"a zero before the count", zeroInside, 3, 4, 3},
        {"a count of 0", abc, 7, 0, 0},
        {"a null text", nullptr, 0, 3, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.width, font->TextWidth(c.text));
        EXPECT_EQ(c.countedWidth, font->TextWidth(c.text, c.count));
    }
}

// A text whose advances add up past the int range measures the largest int instead of
// overflowing.
TEST(MvFontResource, TextWidthHoldsHugeAdvancesToTheIntRange)
{
    std::unique_ptr<MvFontResource> font = ReadFont(FontPayload({INT_MAX, INT_MIN}, 'a', 0, ' '));
    const uint16_t wide[] = {'a', 'a', 'a', 0};
    const uint16_t narrow[] = {'b', 'b', 0};
    EXPECT_EQ(INT_MAX, font->TextWidth(wide));
    EXPECT_EQ(INT_MAX, font->TextWidth(wide, 2));
    EXPECT_EQ(INT_MIN, font->TextWidth(narrow));
    EXPECT_EQ(INT_MIN, font->TextWidth(narrow, 2));
}

// ---------------------------------------------------------------------------------------
// Drawing

// Glyphs are drawn with the cell's top-left corner at the position on every screen
// format; the space code and codes outside the font draw nothing, even where the space
// code has a glyph of its own.
TEST(MvFontResource, DrawGlyphPaintsGlyphsButNotSpacesOrUnknownCodes)
{
    std::unique_ptr<MvFontResource> font = MarkedFont();
    // The space code 'B' lies inside the font; its glyph is never drawn.
    std::unique_ptr<MvFontResource> spaceInside = BuildFont("inside", MarkedPicture, 65, 'B', 1, 0);
    const struct {
        const char* what;
        const MvFontResource* font;
        std::vector<uint16_t> text;
        const char* shown;
    } cases[] = {
        {"three glyphs", font.get(), {'A', 'B', 'C'}, "....GB.|R..GGBB"},
        {"a space", font.get(), {'A', ' ', 'B'}, "......G|R....GG"},
        {"codes outside the font", font.get(), {'@', 'D', 0xFFFF, 'C'}, "B......|BB....."},
        {"the space code inside the font", spaceInside.get(), {'B', 'A', 'B', 'C'}, "......B|..R...B"},
    };
    for (const ScreenFormat& format : kScreenFormats) {
        for (const auto& c : cases) {
            SCOPED_TRACE(testing::Message() << format.name << ", " << c.what);
            PaintedScreen screen(format, 7, 2);
            DrawText(*c.font, screen, c.text, 0, 0);
            EXPECT_EQ(c.shown, screen.Show("RGB"));
        }
    }
}

// A glyph is clipped like any frame and follows the transform's position.
TEST(MvFontResource, DrawGlyphClipsAndPlaces)
{
    std::unique_ptr<MvFontResource> font = MarkedFont();
    PaintedScreen screen(kScreenFormats[2], 4, 3);
    font->DrawGlyph(screen.Target(), 'B', At(1, 1), MvColorXform(), MvMakeRect(0, 0, 2, 2), 0);
    font->DrawGlyph(screen.Target(), 'C', At(-1, 0), MvColorXform(), screen.Whole(), 0);
    EXPECT_EQ("....|B...|..G.", screen.Show("RGB"));
}

// ---------------------------------------------------------------------------------------
// Building from an image

// Marked cells: each transparent run of the top row is one glyph over the rows below it,
// with the hot spot at the cell's top-left corner and the cell's size as delta.
TEST(MvFontResource, BuildsMarkedCellsFromTheTopRow)
{
    std::unique_ptr<MvFontResource> font = MarkedFont();
    EXPECT_TRUE(font->IsComplete());
    EXPECT_STREQ("marked", font->Name());
    EXPECT_EQ(0, font->Id());
    EXPECT_EQ(MvFontResource::MarkedCells, font->FontType());
    ASSERT_EQ(1, font->ActionCount());
    EXPECT_STREQ("NONE", font->ActionAt(0)->Name());
    EXPECT_EQ(font->ActionAt(0), font->FindAction("NONE"));
    ASSERT_EQ(3, font->GlyphCount());
    const struct {
        int offsetX, offsetY, width, height, deltaX, deltaY;
        const char* runs;
    } glyphs[] = {
        {0, 1, 1, 1, 2, 2, "0-0"},
        {1, 0, 2, 2, 3, 2, "1-1|0-1"},
        {0, 0, 2, 2, 2, 2, "0-0|0-1"},
    };
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const MvRle& frame = *font->ActionAt(0)->FrameAt(i);
        EXPECT_EQ(glyphs[i].offsetX, frame.OffsetX());
        EXPECT_EQ(glyphs[i].offsetY, frame.OffsetY());
        EXPECT_EQ(glyphs[i].width, frame.Width());
        EXPECT_EQ(glyphs[i].height, frame.Height());
        EXPECT_EQ(glyphs[i].deltaX, frame.DeltaX());
        EXPECT_EQ(glyphs[i].deltaY, frame.DeltaY());
        EXPECT_EQ(glyphs[i].runs, Runs(frame));
    }
    EXPECT_EQ(2, font->SpaceWidth());
}

// How the top row is cut: markers are any pixels that are not fully transparent, runs of
// several markers separate like one, and a cell may open or close the row.
TEST(MvFontResource, MarkedCellsAreTheTransparentRunsOfTheTopRow)
{
    const struct {
        const char* what;
        std::vector<std::string> picture;
        std::vector<int> cellWidths;
    } cases[] = {
        {"a cell opens the row", {"..W.", "RRRR"}, {2, 1}},
        {"translucent and long markers", {"ca.WWb...", "RRRRRRRRR"}, {1, 3}},
        {"one cell over the whole row", {"....", "R..."}, {4}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::unique_ptr<MvFontResource> font = BuildFont("f", c.picture, 0, 32, 1, 0);
        EXPECT_TRUE(font->IsComplete());
        ASSERT_EQ(static_cast<int>(c.cellWidths.size()), font->GlyphCount());
        for (size_t i = 0; i < c.cellWidths.size(); ++i) {
            EXPECT_EQ(c.cellWidths[i], font->GlyphWidth(static_cast<uint16_t>(i))) << i;
            EXPECT_EQ(static_cast<int>(c.picture.size()) - 1, font->ActionAt(0)->FrameAt(i)->DeltaY()) << i;
        }
    }
}

// Fixed cells: the image is cut into length cells of width (image width / length) over
// all rows; columns beyond the last cell belong to no glyph.
TEST(MvFontResource, BuildsFixedCellsOfEqualWidth)
{
    std::unique_ptr<MvFontResource> font =
        BuildFont("fixed", {"R..GB.W", "RR.G..W"}, '0', ' ', MvFontResource::FixedCells, 3);
    EXPECT_TRUE(font->IsComplete());
    EXPECT_EQ(MvFontResource::FixedCells, font->FontType());
    EXPECT_EQ('0', font->StartIndex());
    ASSERT_EQ(3, font->GlyphCount());
    const struct {
        int offsetX, width, height;
        const char* runs;
    } glyphs[] = {{0, 2, 2, "0-0|0-1"}, {1, 1, 2, "0-0|0-0"}, {0, 1, 1, "0-0"}};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const MvRle& frame = *font->ActionAt(0)->FrameAt(i);
        EXPECT_EQ(glyphs[i].offsetX, frame.OffsetX());
        EXPECT_EQ(0, frame.OffsetY());
        EXPECT_EQ(glyphs[i].width, frame.Width());
        EXPECT_EQ(glyphs[i].height, frame.Height());
        EXPECT_EQ(2, frame.DeltaX());
        EXPECT_EQ(2, frame.DeltaY());
        EXPECT_EQ(glyphs[i].runs, Runs(frame));
    }
    EXPECT_EQ(2, font->SpaceWidth());

    PaintedScreen screen(kScreenFormats[0], 7, 2);
    DrawText(*font, screen, {'2', '1', ' ', '0'}, 0, 0);
    EXPECT_EQ("B..G..R|...G..R", screen.Show("RGBW"));
}

// A font can be built from a 16-bit picture too; without an alpha channel every pixel is
// visible, so fixed cells are solid and a top row holds nothing but markers.
TEST(MvFontResource, BuildsFromAPictureWithoutAlpha)
{
    SurfacePtr picture(SDL_CreateRGBSurface(SDL_SWSURFACE, 4, 2, 16, 0xF800, 0x07E0, 0x001F, 0));
    ASSERT_NE(nullptr, picture);
    MvPaintTarget image(picture.get());
    MvFontResource fixed("fixed", image, 0, 32, MvFontResource::FixedCells, 2);
    EXPECT_TRUE(fixed.IsComplete());
    ASSERT_EQ(2, fixed.GlyphCount());
    EXPECT_EQ("0-1|0-1", Runs(*fixed.ActionAt(0)->FrameAt(1)));

    MvLogCapture log;
    MvFontResource marked("marked", image, 0, 32, MvFontResource::MarkedCells, 0);
    EXPECT_FALSE(marked.IsComplete());
    EXPECT_EQ("Font 'marked': the top row of the 4 x 2 image marks no glyph cells\n", log.Text());
    EXPECT_EQ(0, marked.GlyphCount());
}

// Pictures that cannot become glyphs (cells too large, runs too long, too many runs in a
// row, no cells or no rows at all) are untrusted input: each gives one message, the glyph stays empty
// so that later glyphs keep their codes, and the font is marked incomplete.
TEST(MvFontResource, PicturesThatCannotBecomeGlyphsLeaveTheFontIncomplete)
{
    // Pictures of width x height pixels, visible where the pattern says so.
    auto picture = [](int width, int height, bool (*visible)(int x, int y)) {
        std::vector<MvColor> pixels(width * height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                pixels[y * width + x] = visible(x, y) ? Rgba(255, 0, 0, 255) : Rgba(0, 0, 0, 0);
        return pixels;
    };
    const struct {
        const char* what;
        std::vector<MvColor> pixels;
        int height;
        uint16_t fontType;
        int length;
        int glyphCount;
        const char* message;
    } cases[] = {
        {"a cell too wide", picture(4001, 2, [](int x, int y) { return x == 0 || y == 1; }), 2, 1, 0, 1,
         "Font 'f': glyph 0 (the cell at column 1) is 4000 x 1 pixels, more than 3999 on a side\n"},
        {"a cell too tall", picture(2, 4000, [](int, int) { return false; }), 4000, 0, 1, 1,
         "Font 'f': glyph 0 (the cell at column 0) is 2 x 4000 pixels, more than 3999 on a side\n"},
        {"a run too long", picture(4000, 1, [](int x, int) { return x < 2000 || x == 3000; }), 1, 0, 2, 2,
         "Font 'f': glyph 0 (the cell at column 0) has a run of 2000 visible pixels in image row 0, more than "
         "1999\n"},
        {"too many runs", picture(402, 1, [](int x, int) { return x % 2 == 0; }), 1, 0, 1, 1,
         "Font 'f': glyph 0 (the cell at column 0) has more than 199 runs of visible pixels in image row 0\n"},
        {"no cells", picture(3, 2, [](int, int) { return true; }), 2, 1, 0, 0,
         "Font 'f': the top row of the 3 x 2 image marks no glyph cells\n"},
        {"no rows below the markers", picture(5, 1, [](int x, int) { return x == 0; }), 1, 1, 0, 0,
         "Font 'f': the 5 x 1 image has no rows for glyphs\n"},
        {"no rows at all", {}, 0, 0, 2, 0, "Font 'f': the 0 x 0 image has no rows for glyphs\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<MvColor> pixels = c.pixels;
        const int width = c.height > 0 ? static_cast<int>(pixels.size()) / c.height : 0;
        MvPaintTarget image(pixels.data(), width, c.height);
        MvLogCapture log;
        MvFontResource font("f", image, 0, 32, c.fontType, c.length);
        EXPECT_FALSE(font.IsComplete());
        EXPECT_EQ(c.message, log.Text());
        ASSERT_EQ(c.glyphCount, font.GlyphCount());
        if (c.glyphCount > 0) {
            EXPECT_EQ(0, font.ActionAt(0)->FrameAt(0)->Height());
        }
    }

    // In the case of the long run, the glyph after the refused one is built where it
    // belongs.
    std::vector<MvColor> pixels = cases[2].pixels;
    MvPaintTarget image(pixels.data(), 4000, 1);
    MvLogCapture quiet;
    MvFontResource font("f", image, 'a', ' ', 0, 2);
    EXPECT_EQ(0, font.GlyphWidth('a'));
    EXPECT_EQ(2000, font.GlyphWidth('b'));
    EXPECT_EQ(1000, font.ActionAt(0)->FrameAt(1)->OffsetX());
    EXPECT_EQ(1000, font.SpaceWidth());
}

// ---------------------------------------------------------------------------------------
// Records

// A font answers its kind and is a sprite resource too.
TEST(MvFontResource, AnswersItsKind)
{
    std::unique_ptr<MvFontResource> font = MarkedFont();
    MvResource* resource = font.get();
    EXPECT_EQ(5, resource->Type());
    EXPECT_EQ("Font", resource->TypeName());
    EXPECT_EQ(font.get(), resource->AsFontResource());
    EXPECT_EQ(static_cast<MvSpriteResource*>(font.get()), resource->AsSpriteResource());
    EXPECT_EQ(nullptr, resource->AsTileResource());
}

// Save writes a record of type 5, the sprite payload followed by start index, font type
// and space code, which the factory turns back into the same font.
TEST(MvFontResource, SaveAndReadBack)
{
    for (uint16_t fontType : {0, 1}) {
        SCOPED_TRACE(fontType);
        std::unique_ptr<MvFontResource> font =
            fontType == 1 ? MarkedFont() : BuildFont("fixed", {"R..GB.", "RR.G.."}, -3, 0x263A, 0, 3);
        font->SetIdentity(font->Name(), 12);
        MvMemoryStream stream;
        MvResourceWriter writer(stream.Stream());
        {
            MvLogCapture quiet(MvLogCapture::QuietStdout);
            font->Save(writer);
        }
        EXPECT_FALSE(writer.Failed());
        EXPECT_EQ(font->ActionAt(0)->FrameAt(0)->PixelCount() + font->ActionAt(0)->FrameAt(1)->PixelCount() +
                      font->ActionAt(0)->FrameAt(2)->PixelCount(),
                  writer.PixelTally());
        const std::vector<uint8_t>& bytes = stream.Bytes();
        ASSERT_GT(bytes.size(), 18u);
        EXPECT_EQ(std::vector<uint8_t>({5, 0, 0, 0}), std::vector<uint8_t>(bytes.begin(), bytes.begin() + 4));
        EXPECT_EQ(bytes.size() - 8, size_t(bytes[4] | bytes[5] << 8 | bytes[6] << 16 | bytes[7] << 24));
        ByteBuilder tail;
        tail.U32(static_cast<uint32_t>(font->StartIndex())).U16(fontType).U32(static_cast<uint32_t>(font->SpaceCode()));
        EXPECT_EQ(tail.Bytes(), std::vector<uint8_t>(bytes.end() - 10, bytes.end()));

        MvMemoryStream in(bytes.data() + 8, bytes.size() - 8);
        MvResourceReader reader(in.Stream(), "saved.dat");
        MvLogCapture log(MvLogCapture::QuietStdout);
        std::unique_ptr<MvResource> made(
            MvResourceFactory::Instance()->Create(5, static_cast<uint32_t>(bytes.size() - 8), reader));
        delete MvResourceFactory::Instance();
        ASSERT_NE(nullptr, made);
        EXPECT_FALSE(reader.Failed()) << reader.Error();
        EXPECT_EQ(0, reader.Remaining());
        MvFontResource* back = made->AsFontResource();
        ASSERT_NE(nullptr, back);
        EXPECT_TRUE(log.Contains(std::string("Sprite or Font resource '") + font->Name() + "' id=12\n"));
        EXPECT_TRUE(log.Contains("Action 'NONE' id=0 numFrames=3\n"));
        EXPECT_TRUE(log.Contains("startindex=" + std::to_string(font->StartIndex()) +
                                 " type=" + std::to_string(fontType) + "\n"));
        EXPECT_STREQ(font->Name(), back->Name());
        EXPECT_EQ(12, back->Id());
        EXPECT_EQ(font->StartIndex(), back->StartIndex());
        EXPECT_EQ(font->SpaceCode(), back->SpaceCode());
        EXPECT_EQ(fontType, back->FontType());
        EXPECT_EQ(font->SpaceWidth(), back->SpaceWidth());
        ASSERT_EQ(3, back->GlyphCount());
        for (int i = 0; i < 3; ++i)
            EXPECT_TRUE(SameImage(*font->ActionAt(0)->FrameAt(i), *back->ActionAt(0)->FrameAt(i))) << i;
    }
}

// A resource file with a sprite and a font loads into the vault: the font is found as a
// font by name and id (not as a sprite, which is another type code), its glyphs lie in
// the load pools, and it draws from there.
TEST(MvFontResource, LoadsFromAResourceFile)
{
    std::unique_ptr<MvSpriteResource> sprite(MakeSprite("hero", 1, {{"Stand", 1, {{{"RG"}, 0, 0, 0, 0}}}}));
    std::unique_ptr<MvFontResource> font = MarkedFont();
    font->SetIdentity("letters", 2);
    std::vector<uint8_t> file;
    {
        MvLogCapture quiet(MvLogCapture::QuietStdout);
        file = SaveFile({sprite.get(), font.get()});
    }
    MvResourceVault vault;
    MvLogCapture log(MvLogCapture::QuietStdout);
    ASSERT_TRUE(vault.LoadDatFileFromMemory(file.data(), static_cast<int>(file.size()))) << log.Text();
    EXPECT_TRUE(log.Contains("Sprite or Font resource 'letters' id=2\n"));
    EXPECT_TRUE(log.Contains("startindex=65 type=1\n"));
    MvFontResource* loaded = vault.FindFontResource("letters");
    ASSERT_NE(nullptr, loaded);
    EXPECT_EQ(loaded, vault.FindFontResource(2));
    EXPECT_EQ(loaded, vault.FindResource("Font", "letters"));
    EXPECT_EQ(nullptr, vault.FindSpriteResource("letters"));
    EXPECT_EQ(nullptr, vault.FindFontResource("hero"));
    EXPECT_NE(0u, loaded->ActionAt(0)->FrameAt(1)->Flags() & MvRleInPool);
    const uint16_t abc[] = {'A', 'B', 'C', 0};
    EXPECT_EQ(7, loaded->TextWidth(abc));
    PaintedScreen screen(kScreenFormats[0], 7, 2);
    DrawText(*loaded, screen, {'A', 'B', 'C'}, 0, 0);
    EXPECT_EQ("....GB.|R..GGBB", screen.Show("RGB"));
}

// A saved file with the marked font; fontTypeOffset is where its font type field lies.
std::vector<uint8_t> MarkedFontFile(size_t* fontTypeOffset)
{
    std::unique_ptr<MvFontResource> font = MarkedFont();
    MvLogCapture quiet(MvLogCapture::QuietStdout);
    std::vector<uint8_t> file = SaveFile({font.get()});
    // The font record ends with type and space code, just before the 8-byte end record.
    *fontTypeOffset = file.size() - 8 - 4 - 2;
    return file;
}

// Malformed font records are refused with one message naming the file, the byte and what
// is wrong; the vault keeps nothing of the file.
TEST(MvFontResource, RefusesMalformedFontRecords)
{
    size_t typeOffset = 0;
    const std::vector<uint8_t> valid = MarkedFontFile(&typeOffset);
    const size_t recordSizeOffset = 4 + 6 + 12 + 4;
    auto withType = [&](uint16_t type) {
        std::vector<uint8_t> file = valid;
        file[typeOffset] = static_cast<uint8_t>(type);
        file[typeOffset + 1] = static_cast<uint8_t>(type >> 8);
        return file;
    };
    // The record without its space code, its size shortened to match.
    auto withoutSpaceCode = [&] {
        std::vector<uint8_t> file = valid;
        file.erase(file.end() - 8 - 4, file.end() - 8);
        ByteBuilder patched;
        patched.Raw(file);
        const uint32_t size = uint32_t(file[recordSizeOffset]) | uint32_t(file[recordSizeOffset + 1]) << 8;
        patched.Patch32(recordSizeOffset, size - 4);
        return patched.Bytes();
    };
    const struct {
        const char* what;
        std::vector<uint8_t> file;
        std::string message;
    } cases[] = {
        {"font type 2", withType(2),
         "at byte " + std::to_string(typeOffset) + ": font 'marked' has font type 2, but a font type is 0 or 1"},
        {"font type 65535", withType(65535), "font 'marked' has font type 65535, but a font type is 0 or 1"},
        {"a record that ends before the space code", withoutSpaceCode(), "the data passes the end of its record"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::string log;
        EXPECT_TRUE(FreshVaultRefuses(c.file, c.message, &log));
        EXPECT_EQ(log.find("startindex="), std::string::npos);
    }
}

// Every shortened copy of a file with a font is refused without a crash, a leak or a
// sanitizer report; the whole file loads.
TEST(MvFontResource, EveryTruncatedFontFileIsRefused)
{
    size_t typeOffset = 0;
    const std::vector<uint8_t> file = MarkedFontFile(&typeOffset);
    ExpectEveryTruncationRefused(file, 1);
}

TEST(MvFontResourceDeathTest, BrokenPreconditionsAreCaught)
{
    std::unique_ptr<MvFontResource> font = MarkedFont();
    const uint16_t text[] = {'A', 0};
    SurfacePtr picture = MakePicture(MarkedPicture);
    MvPaintTarget image(picture.get());
    const MvDeathCase cases[] = {
        {"a code below the first glyph", [&] { font->GlyphIndex('A' - 1); }, "index >= 0"},
        {"a code past the last glyph", [&] { font->GlyphIndex('D'); }, "index >= 0"},
        {"a negative count", [&] { font->TextWidth(text, -1); }, "count >= 0"},
        {"a font type of neither kind", [&] { MvFontResource("f", image, 0, 32, 2, 1); },
         "fontType == FixedCells || fontType == MarkedCells"},
        {"fixed cells of length 0", [&] { MvFontResource("f", image, 0, 32, MvFontResource::FixedCells, 0); },
         "fontType != FixedCells || length >= 1"},
        {"no name", [&] { MvFontResource(nullptr, image, 0, 32, MvFontResource::MarkedCells, 0); }, "name != nullptr"},
    };
    for (const MvDeathCase& c : cases)
        EXPECT_DEATH(c.call(), MvFailedCheck(c.condition)) << c.what;
}

} // namespace
