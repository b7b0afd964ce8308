#include "ResourceTestSupport.h"

#include "MvFailedCheck.h"
#include "MvLoadPool.h"
#include "MvMemoryStream.h"
#include "MvPaintTarget.h"
#include "MvPixelBlock.h"
#include "MvResourceReader.h"
#include "MvSurfacePen.h"
#include "TransformAt.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Pixel blocks: making, storing and reading them, their bounds, and drawing them at scale
// 1.0 (clipped, flipped, on 16, 24 and 32-bit screens) and scaled by each of the three
// sampling methods.

namespace {

using namespace restest;

MvTransform AtRaw(int x, int y, int32_t xScale, int32_t yScale)
{
    MvTransform t = At(x, y);
    t.xScale = MvFixed::FromRaw(xScale);
    t.yScale = MvFixed::FromRaw(yScale);
    return t;
}

// Fills block (made empty) from a picture, one string per row (ResourceTestSupport's
// palette); the alpha flag is set when asked.
void Fill(MvPixelBlock* block, const std::vector<std::string>& rows, bool hasAlpha)
{
    const int width = rows.empty() ? 0 : static_cast<int>(rows[0].size());
    block->Create(width, static_cast<int>(rows.size()), hasAlpha);
    for (size_t y = 0; y < rows.size(); ++y)
        for (int x = 0; x < width; ++x)
            block->Pixels()[y * width + x] = PaletteColor(rows[y][x]);
}

std::vector<MvColor> PixelsOf(const MvPixelBlock& block)
{
    return std::vector<MvColor>(block.Pixels(), block.Pixels() + block.PixelCount());
}

// ---------------------------------------------------------------------------------------
// Making blocks

TEST(MvPixelBlock, CreateFillsTransparentOrOpaqueBlack)
{
    MvPixelBlock empty;
    EXPECT_EQ(0, empty.Width());
    EXPECT_EQ(0u, empty.Flags());
    EXPECT_EQ(nullptr, empty.Pixels());

    MvPixelBlock clear;
    clear.Create(3, 2, true);
    EXPECT_EQ(6, clear.PixelCount());
    EXPECT_EQ(uint32_t(MvPixelBlock::HasAlphaFlag), clear.Flags());
    EXPECT_EQ(std::vector<MvColor>(6, Rgba(0, 0, 0, 0)), PixelsOf(clear));

    MvPixelBlock solid;
    solid.Create(2, 2, false);
    EXPECT_FALSE(solid.HasAlpha());
    EXPECT_EQ(std::vector<MvColor>(4, Rgba(0, 0, 0, 255)), PixelsOf(solid));
}

// The rectangle is copied pixel for pixel; the alpha flag is set exactly when a copied
// pixel is not opaque. A 24-bit source has no alpha: every pixel is opaque.
TEST(MvPixelBlock, CreateFromImageCopiesTheRectangleAndNotesAlpha)
{
    SurfacePtr picture = MakePicture({"RGBW", "12a.", "K34d"});
    MvPaintTarget source(picture.get());
    const struct {
        int x, y, width, height;
        std::vector<std::string> expected;
        bool hasAlpha;
    } cases[] = {
        {0, 0, 4, 3, {"RGBW", "12a.", "K34d"}, true},
        {1, 0, 2, 2, {"GB", "2a"}, true},
        {0, 0, 2, 2, {"RG", "12"}, false},
        {3, 2, 1, 1, {"d"}, true}, // alpha 254
        {2, 1, 0, 0, {}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y << " " << c.width << "x" << c.height);
        MvPixelBlock block;
        block.CreateFromImage(source, c.x, c.y, c.width, c.height);
        MvPixelBlock expected;
        Fill(&expected, c.expected, c.hasAlpha);
        EXPECT_EQ(c.width, block.Width());
        EXPECT_EQ(c.height, block.Height());
        EXPECT_EQ(PixelsOf(expected), PixelsOf(block));
        EXPECT_EQ(c.hasAlpha, block.HasAlpha());
    }

    SurfacePtr rgb(SDL_CreateRGBSurface(SDL_SWSURFACE, 2, 1, 24, 0x0000FF, 0x00FF00, 0xFF0000, 0));
    MvPaintTarget rgbTarget(rgb.get());
    MvSurfacePen pen(rgbTarget);
    pen.WritePixel(0, 0, Rgba(10, 20, 30, 255));
    pen.WritePixel(1, 0, Rgba(40, 50, 60, 255));
    MvPixelBlock block;
    block.CreateFromImage(rgbTarget, 0, 0, 2, 1);
    EXPECT_FALSE(block.HasAlpha());
    EXPECT_EQ((std::vector<MvColor>{Rgba(10, 20, 30, 255), Rgba(40, 50, 60, 255)}), PixelsOf(block));
}

// ---------------------------------------------------------------------------------------
// The stored form

// A block with alpha stores 4 bytes a pixel, one without 3 (red, green, blue); reading
// the latter gives alpha 255. Write logs the size and the alpha mark.
TEST(MvPixelBlock, WritesAndReadsThreeOrFourBytesAPixel)
{
    const struct {
        const char* what;
        std::vector<std::string> picture;
        bool hasAlpha;
        std::vector<uint8_t> stored;
        const char* logged;
    } cases[] = {
        {"without alpha", {"R1", "GB"}, false,
         ByteBuilder().U32(0).U32(2).U32(2).U8(255).U8(0).U8(0).U8(25).U8(180).U8(10).U8(0).U8(255).U8(0).U8(0)
             .U8(0).U8(255).Bytes(),
         "Writing tile size=(2,2) ()\n"},
        {"with alpha", {"a.R"}, true,
         ByteBuilder().U32(1).U32(3).U32(1).U8(200).U8(100).U8(50).U8(128).U8(0).U8(0).U8(0).U8(0).U8(255).U8(0)
             .U8(0).U8(255).Bytes(),
         "Writing tile size=(3,1) (ALPHA )\n"},
        {"empty", {}, false, ByteBuilder().U32(0).U32(0).U32(0).Bytes(), "Writing tile size=(0,0) ()\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        MvPixelBlock block;
        Fill(&block, c.picture, c.hasAlpha);
        MvMemoryStream out;
        MvLogCapture log;
        EXPECT_TRUE(block.Write(out.Stream()));
        EXPECT_EQ(c.logged, log.Text());
        EXPECT_EQ(c.stored, out.Bytes());

        MvMemoryStream in(c.stored.data(), c.stored.size());
        MvPixelBlock back;
        const int64_t counted = MvBlockPixelCounter();
        EXPECT_TRUE(back.Read(in.Stream(), "block.dat"));
        EXPECT_EQ(counted + block.PixelCount(), MvBlockPixelCounter());
        EXPECT_EQ(static_cast<int>(c.stored.size()), SDL_RWtell(in.Stream()));
        EXPECT_EQ(block.Width(), back.Width());
        EXPECT_EQ(block.Height(), back.Height());
        EXPECT_EQ(block.Flags(), back.Flags());
        EXPECT_EQ(PixelsOf(block), PixelsOf(back));
    }
}

// Only the alpha bit is taken from a file: a block read while no load is under way owns
// its pixels (and frees them when destroyed) even when the file sets other bits; writing
// stores only the alpha bit.
TEST(MvPixelBlock, TakesOnlyTheAlphaBitFromTheFile)
{
    const std::vector<uint8_t> stored = ByteBuilder().U32(0xFFFFFFFF).U32(1).U32(1).U8(1).U8(2).U8(3).U8(4).Bytes();
    MvMemoryStream in(stored.data(), stored.size());
    MvPixelBlock block;
    ASSERT_TRUE(block.Read(in.Stream()));
    EXPECT_EQ(uint32_t(MvPixelBlock::HasAlphaFlag), block.Flags());
    EXPECT_EQ(Rgba(1, 2, 3, 4), block.Pixels()[0]);
    MvMemoryStream out;
    MvLogCapture log(MvLogCapture::QuietStdout);
    ASSERT_TRUE(block.Write(out.Stream()));
    EXPECT_EQ(1, out.Bytes()[0]);
    EXPECT_EQ(0, out.Bytes()[1] | out.Bytes()[2] | out.Bytes()[3]);
}

// During a load the pixels come from the current pixel pool and stay the pool's; a pool
// with less room than the block is the file's fault and refused.
TEST(MvPixelBlock, ReadsIntoTheCurrentPixelPool)
{
    const std::vector<uint8_t> stored = ByteBuilder().U32(0).U32(2).U32(1).U8(1).U8(2).U8(3).U8(4).U8(5).U8(6).Bytes();
    {
        MvLoadPool pool(2 * sizeof(MvColor));
        SetCurrentLoadPools(&pool, nullptr, nullptr);
        MvMemoryStream in(stored.data(), stored.size());
        std::unique_ptr<MvPixelBlock> block(new MvPixelBlock);
        EXPECT_TRUE(block->Read(in.Stream()));
        SetCurrentLoadPools(nullptr, nullptr, nullptr);
        EXPECT_TRUE(pool.IsUsedUp());
        EXPECT_EQ(uint32_t(MvPixelBlock::InPoolFlag), block->Flags());
        EXPECT_EQ(Rgba(4, 5, 6, 255), block->Pixels()[1]);
        block.reset(); // must not free the pool's memory
    }
    {
        MvLoadPool pool(1 * sizeof(MvColor));
        SetCurrentLoadPools(&pool, nullptr, nullptr);
        MvMemoryStream in(stored.data(), stored.size());
        MvPixelBlock block;
        MvLogCapture log;
        EXPECT_FALSE(block.Read(in.Stream(), "pool.dat"));
        SetCurrentLoadPools(nullptr, nullptr, nullptr);
        EXPECT_EQ("Error in resource file 'pool.dat' at byte 0: the images hold more pixels than the file's tally\n",
                  log.Text());
        EXPECT_EQ(0u, pool.Used());
        EXPECT_EQ(nullptr, block.Pixels());
    }
}

// Sizes out of range and pixels the data does not hold are refused with one message
// naming the file and the byte, before anything is allocated; the block stays empty.
TEST(MvPixelBlock, RefusesMalformedBlocks)
{
    const struct {
        const char* what;
        std::vector<uint8_t> stored;
        const char* message;
    } cases[] = {
        {"a header that ends early", ByteBuilder().U32(0).U32(1).U16(1).Bytes(),
         "at byte 8: the file ends early (it has 10 bytes)"},
        {"a negative width", ByteBuilder().U32(0).U32(0xFFFFFFFF).U32(1).Bytes(),
         "at byte 4: the pixel block size -1 x 1 lies outside 0..16383"},
        {"a height above the limit", ByteBuilder().U32(0).U32(1).U32(16384).Bytes(),
         "at byte 4: the pixel block size 1 x 16384 lies outside 0..16383"},
        {"the largest size on a few bytes", ByteBuilder().U32(1).U32(16383).U32(16383).U32(0).Bytes(),
         "at byte 12: the pixel block of 16383 x 16383 pixels needs 1073610756 bytes, but the data ends early (4 "
         "bytes left)"},
        {"one opaque pixel short", ByteBuilder().U32(0).U32(2).U32(1).U8(1).U8(2).U8(3).U8(4).U8(5).Bytes(),
         "at byte 12: the pixel block of 2 x 1 pixels needs 6 bytes, but the data ends early (5 bytes left)"},
        {"an alpha byte short", ByteBuilder().U32(1).U32(1).U32(1).U8(1).U8(2).U8(3).Bytes(),
         "at byte 12: the pixel block of 1 x 1 pixels needs 4 bytes"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        MvMemoryStream in(c.stored.data(), c.stored.size());
        MvPixelBlock block;
        MvLogCapture log;
        EXPECT_FALSE(block.Read(in.Stream(), "blocks.dat"));
        EXPECT_EQ(0u, log.Text().find(std::string("Error in resource file 'blocks.dat' ") + c.message)) << log.Text();
        EXPECT_EQ(1u, std::count(log.Text().begin(), log.Text().end(), '\n')) << log.Text();
        EXPECT_EQ(0, block.Width());
        EXPECT_EQ(0, block.Height());
        EXPECT_EQ(nullptr, block.Pixels());
    }
}

// ---------------------------------------------------------------------------------------
// Bounds and drawing at scale 1.0

// The edges are the rounded corners of the scaled block: exactly width x height at scale
// 1.0 wherever it lies.
TEST(MvPixelBlock, BoundsAreTheRoundedScaledCorners)
{
    MvPixelBlock block;
    block.Create(4, 3, false);
    const struct {
        MvTransform xform;
        MvIntRect bounds;
    } cases[] = {
        {At(0, 0), MvMakeRect(0, 0, 3, 2)},
        {At(-7, 20), MvMakeRect(-7, 20, -4, 22)},
        {At(10.5, 2.25), MvMakeRect(10, 2, 13, 4)},
        {At(10.97, 2), MvMakeRect(11, 2, 14, 4)}, // within 1/32 below 11 rounds up
        {At(0, 0, 0.5, 0.5), MvMakeRect(0, 0, 1, 0)},
        {At(0, 0, 2, 3), MvMakeRect(0, 0, 7, 8)},
        {At(1.5, 0, 0.75, 1), MvMakeRect(1, 0, 3, 2)},
    };
    for (const auto& c : cases) {
        MvIntRect bounds;
        block.ComputeBounds(c.xform, &bounds);
        EXPECT_EQ(c.bounds, bounds) << c.xform.x.ToDouble() << "," << c.xform.y.ToDouble() << " scale "
                                    << c.xform.xScale.ToDouble() << "," << c.xform.yScale.ToDouble();
    }
}

// At scale 1.0 each clipped row is one blitter call; a flip walks the rows upwards.
// Every screen format shows the same picture.
TEST(MvPixelBlock, DrawsUnscaledClippedAndFlippedOnEveryFormat)
{
    MvPixelBlock block;
    Fill(&block, {"RGB", "123", "WKR"}, false);
    const struct {
        const char* what;
        MvTransform xform;
        bool flip;
        MvIntRect clip;
        const char* shown;
    } cases[] = {
        {"whole", At(1, 0), false, MvMakeRect(0, 0, 4, 3), ".RGB.|.123.|.W.R.|....."},
        {"flipped", At(1, 0), true, MvMakeRect(0, 0, 4, 3), ".W.R.|.123.|.RGB.|....."},
        {"clipped", At(1, 1), false, MvMakeRect(2, 2, 3, 3), ".....|.....|..23.|...R."},
        {"clipped and flipped", At(1, 1), true, MvMakeRect(2, 2, 3, 3), ".....|.....|..23.|..GB."},
        {"partly off the screen", At(-1, -1), false, MvMakeRect(0, 0, 4, 3), "23...|.R...|.....|....."},
        {"partly off and flipped", At(-1, -1), true, MvMakeRect(0, 0, 4, 3), "23...|GB...|.....|....."},
        {"outside the clip", At(1, 0), false, MvMakeRect(4, 0, 4, 3), ".....|.....|.....|....."},
    };
    for (const ScreenFormat& format : kScreenFormats) {
        for (const auto& c : cases) {
            SCOPED_TRACE(testing::Message() << format.name << ": " << c.what);
            PaintedScreen screen(format, 5, 4);
            block.Draw(screen.Target(), c.xform, c.flip, MvColorXform(), c.clip, MvPixelBlock::QualityBest, 0);
            // 'K' is black, shown as '.'.
            EXPECT_EQ(c.shown, screen.Show("RGBW123"));
        }
    }
}

// A block with alpha is drawn by the alpha blitters: transparent pixels leave the screen
// as it was, translucent ones blend; a colour transform reaches the blitter.
TEST(MvPixelBlock, DrawsAlphaAndColourTransformsThroughTheBlitters)
{
    MvPixelBlock block;
    block.Create(3, 1, true);
    block.Pixels()[0] = Rgba(200, 0, 0, 255);
    block.Pixels()[1] = Rgba(200, 0, 0, 0);
    block.Pixels()[2] = Rgba(200, 0, 0, 128);
    PaintedScreen screen(3, 1);
    MvPixelBlock white;
    Fill(&white, {"WWW"}, false);
    white.Draw(screen.Target(), At(0, 0), false, MvColorXform(), screen.Whole(), 3, 0);
    block.Draw(screen.Target(), At(0, 0), false, MvColorXform(), screen.Whole(), 3, 0);
    // (128 * 200 + 127 * 255) >> 8 = 226
    EXPECT_EQ((std::vector<int>{200, 255, 226}), screen.Reds());

    MvColorXform half;
    half.Set(128, 0, 255, 0, 255, 0, 255);
    PaintedScreen tinted(1, 1);
    MvPixelBlock red;
    Fill(&red, {"R"}, false);
    red.Draw(tinted.Target(), At(0, 0), false, half, tinted.Whole(), 3, 0);
    EXPECT_EQ(std::vector<int>{255 * 128 / 256}, tinted.Reds());
}

// ---------------------------------------------------------------------------------------
// Scaled drawing

// A 4 x 4 opaque block whose pixel (c, r) has red 10 c + 60 r, so each sampling method
// leaves its own numbers:
//   box at 0.5 averages 2 x 2 squares:           35  55 / 155 175
//   nearest at 0.5 takes every second pixel:      0  20 / 120 140
//   bilinear at 0.5 steps 1.5 pixels and mixes:   0  15 /  90 105
// Which method a draw uses follows from the quality, the scales and the flip.
TEST(MvPixelBlock, QualityScaleAndFlipChooseTheSamplingMethod)
{
    MvPixelBlock block;
    block.Create(4, 4, false);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            block.Pixels()[r * 4 + c] = Rgba(10 * c + 60 * r, 0, 0, 255);
    const int32_t half = MvFixedOne / 2, threeQuarters = MvFixedOne * 3 / 4;
    const struct {
        const char* what;
        int quality;
        int32_t xScale, yScale;
        bool flip;
        int width, height;
        std::vector<int> reds;
    } cases[] = {
        {"best at 0.5: box", 3, half, half, false, 2, 2, {35, 55, 155, 175}},
        {"best just above 0.5: bilinear", 3, half + 1, half + 1, false, 2, 2, {0, 15, 90, 105}},
        {"best with one scale above 0.5: bilinear", 3, threeQuarters, half, false, 3, 2, {0, 10, 20, 90, 100, 110}},
        {"best with the other scale above 0.5: bilinear", 3, half, threeQuarters, false, 2, 3,
         {0, 15, 60, 75, 120, 135}},
        {"bilinear at 0.5", 2, half, half, false, 2, 2, {0, 15, 90, 105}},
        {"nearest at 0.5", 1, half, half, false, 2, 2, {0, 20, 120, 140}},
        {"nearest at 0.75 x 0.5", 1, threeQuarters, half, false, 3, 2, {0, 10, 20, 120, 130, 140}},
        {"best flipped: nearest from the bottom", 3, half, half, true, 2, 2, {180, 200, 60, 80}},
        {"bilinear flipped: nearest from the bottom", 2, half, half, true, 2, 2, {180, 200, 60, 80}},
        // Enlarging steps (width - 1) / 8 = 0.375 and (height - 1) / 4 = 0.75 pixels; the
        // mixtures are rounded to the nearest (3.75 gives 4, 7.5 gives 8).
        {"best at 2.0 x 1.0: bilinear", 3, 2 * MvFixedOne, MvFixedOne, false, 8, 4,
         {0, 4, 8, 11, 15, 19, 23, 26, 45, 49, 53, 56, 60, 64, 68, 71, 90, 94, 98, 101, 105, 109, 113, 116, 135, 139,
          143, 146, 150, 154, 158, 161}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        PaintedScreen screen(c.width, c.height);
        const MvTransform xform = AtRaw(0, 0, c.xScale, c.yScale);
        MvIntRect bounds;
        block.ComputeBounds(xform, &bounds);
        ASSERT_EQ(MvMakeRect(0, 0, c.width - 1, c.height - 1), bounds);
        block.Draw(screen.Target(), xform, c.flip, MvColorXform(), screen.Whole(), c.quality, 0);
        EXPECT_EQ(c.reds, screen.Reds());

        // Clipping away the first column and row starts the walk inside the block: the
        // pixels left are the same.
        PaintedScreen clipped(c.width, c.height);
        block.Draw(clipped.Target(), xform, c.flip, MvColorXform(), MvMakeRect(1, 1, c.width - 1, c.height - 1),
                   c.quality, 0);
        std::vector<int> expected = c.reds;
        for (int y = 0; y < c.height; ++y)
            for (int x = 0; x < c.width; ++x)
                if (x == 0 || y == 0)
                    expected[y * c.width + x] = 0;
        EXPECT_EQ(expected, clipped.Reds());
    }
}

// A box averages only its visible pixels; a box of transparent pixels gives a fully
// transparent pixel, which leaves the target as it was.
TEST(MvPixelBlock, BoxAveragesVisiblePixelsOnly)
{
    MvPixelBlock block;
    block.Create(4, 2, true);
    const MvColor pixels[8] = {Rgba(200, 100, 50, 0), Rgba(90, 90, 90, 0), Rgba(200, 0, 0, 255), Rgba(90, 90, 90, 0),
                               Rgba(1, 2, 3, 0),      Rgba(250, 0, 0, 0), Rgba(100, 60, 20, 255), Rgba(0, 0, 0, 0)};
    std::copy(pixels, pixels + 8, block.Pixels());
    std::vector<MvColor> memory(2, Rgba(7, 8, 9, 10));
    MvPaintTarget target(memory.data(), 2, 1);
    block.Draw(target, At(0, 0, 0.5, 0.5), false, MvColorXform(), MvMakeRect(0, 0, 1, 0), 3, 0);
    EXPECT_EQ(Rgba(7, 8, 9, 10), memory[0]);
    EXPECT_EQ(Rgba(150, 30, 10, 255), memory[1]);
}

// Bilinear sampling mixes each pixel with its right and lower neighbours; a block one
// pixel wide or high has none there and takes the pixel itself.
TEST(MvPixelBlock, BilinearOnABlockOnePixelWideOrHigh)
{
    MvPixelBlock dot;
    Fill(&dot, {"a"}, true);
    std::vector<MvColor> memory(9, Rgba(0, 0, 0, 0));
    MvPaintTarget target(memory.data(), 3, 3);
    dot.Draw(target, At(0, 0, 3, 3), false, MvColorXform(), MvMakeRect(0, 0, 2, 2), 2, 0);
    // Blended onto transparent black: (128 * c) >> 8 with the source alpha kept.
    EXPECT_EQ(std::vector<MvColor>(9, Rgba(100, 50, 25, 128)), memory);

    MvPixelBlock row;
    row.Create(2, 1, false);
    row.Pixels()[0] = Rgba(0, 0, 0, 255);
    row.Pixels()[1] = Rgba(200, 0, 0, 255);
    PaintedScreen screen(4, 3);
    row.Draw(screen.Target(), At(0, 0, 2, 3), false, MvColorXform(), screen.Whole(), 2, 0);
    EXPECT_EQ((std::vector<int>{0, 50, 100, 150, 0, 50, 100, 150, 0, 50, 100, 150}), screen.Reds());

    MvPixelBlock column;
    column.Create(1, 2, false);
    column.Pixels()[0] = Rgba(0, 0, 0, 255);
    column.Pixels()[1] = Rgba(200, 0, 0, 255);
    PaintedScreen tall(2, 4);
    column.Draw(tall.Target(), At(0, 0, 2, 2), false, MvColorXform(), tall.Whole(), 2, 0);
    EXPECT_EQ((std::vector<int>{0, 0, 50, 50, 100, 100, 150, 150}), tall.Reds());
}

// The weights of a bilinear mixture add up to one and the sum is rounded once, so an
// area of one colour keeps it exactly at every scale: an opaque block enlarged stays
// opaque, and a translucent one paints what it paints unscaled.
TEST(MvPixelBlock, BilinearKeepsAnAreaOfOneColourExactly)
{
    const double scales[] = {1.0, 1.25, 1.5, 2.0, 3.0, 0.75};
    for (const MvColor colour : {Rgba(126, 232, 204, 255), Rgba(255, 255, 255, 255), Rgba(26, 26, 46, 200)}) {
        MvPixelBlock block;
        block.Create(5, 4, colour.alpha != 255);
        for (int i = 0; i < 20; ++i)
            block.Pixels()[i] = colour;
        MvColor unscaled = Rgba(0, 0, 0, 0);
        for (double scale : scales) {
            MvIntRect bounds;
            block.ComputeBounds(At(0, 0, scale, scale), &bounds);
            std::vector<MvColor> memory(static_cast<size_t>(bounds.Width()) * bounds.Height(), Rgba(0, 0, 0, 0));
            MvPaintTarget target(memory.data(), bounds.Width(), bounds.Height());
            block.Draw(target, At(0, 0, scale, scale), false, MvColorXform(),
                       MvMakeRect(0, 0, bounds.Width() - 1, bounds.Height() - 1), MvPixelBlock::QualityBilinear, 0);
            if (scale == 1.0) {
                unscaled = memory[0];
                if (colour.alpha == 255) {
                    EXPECT_EQ(colour, unscaled);
                }
            }
            int wrong = 0;
            for (const MvColor& pixel : memory)
                wrong += pixel != unscaled;
            EXPECT_EQ(0, wrong) << "scale " << scale << ", alpha " << int(colour.alpha);
        }
    }
}

// An empty block or one scaled to nothing paints nothing.
TEST(MvPixelBlock, NothingToPaintPaintsNothing)
{
    PaintedScreen screen(2, 2);
    MvPixelBlock empty;
    empty.Draw(screen.Target(), At(0, 0), false, MvColorXform(), screen.Whole(), 3, 0);
    empty.Draw(screen.Target(), At(0, 0, 2, 2), false, MvColorXform(), screen.Whole(), 3, 0);
    MvPixelBlock red;
    Fill(&red, {"RR", "RR"}, false);
    red.Draw(screen.Target(), At(0, 0, 0.2, 0.2), false, MvColorXform(), screen.Whole(), 3, 0);
    EXPECT_EQ("..|..", screen.Show("R"));
}

TEST(MvPixelBlockDeathTest, BrokenPreconditionsAreCaught)
{
    MvPixelBlock block;
    block.Create(2, 2, false);
    const std::vector<uint8_t> stored = ByteBuilder().U32(0).U32(0).U32(0).Bytes();
    MvMemoryStream in(stored.data(), stored.size());
    MvPixelBlock fresh;
    SurfacePtr picture = MakePicture({"RG"});
    MvPaintTarget source(picture.get());
    PaintedScreen screen(2, 2);
    MvPixelBlock unused;

    const MvDeathCase cases[] = {
        {"Create on a filled block", [&] { block.Create(1, 1, false); },
         "pixels_ == nullptr && width_ == 0 && height_ == 0"},
        {"Read into a filled block", [&] { block.Read(in.Stream()); },
         "pixels_ == nullptr && width_ == 0 && height_ == 0"},
        {"a negative width", [&] { fresh.Create(-1, 1, false); },
         "width >= 0 && width <= MaxSize && height >= 0 && height <= MaxSize"},
        {"a height past MaxSize", [&] { fresh.Create(1, 16384, false); },
         "width >= 0 && width <= MaxSize && height >= 0 && height <= MaxSize"},
        {"an image area past the source", [&] { fresh.CreateFromImage(source, 1, 0, 2, 1); },
         "x + width <= source.Width() && y + height <= source.Height()"},
        {"quality 0", [&] { block.Draw(screen.Target(), At(0, 0), false, MvColorXform(), screen.Whole(), 0, 0); },
         "quality >= QualityNearest && quality <= QualityBest"},
        {"quality 4", [&] { block.Draw(screen.Target(), At(0, 0, 2, 2), false, MvColorXform(), screen.Whole(), 4, 0); },
         "quality >= QualityNearest && quality <= QualityBest"},
        {"a clip past the target",
         [&] { block.Draw(screen.Target(), At(1, 0), false, MvColorXform(), MvMakeRect(0, 0, 2, 1), 3, 0); },
         "painted.left >= 0 && painted.top >= 0 && painted.right < paint.Width() && painted.bottom < paint.Height()"},
        {"Write without a stream", [&] { unused.Write(nullptr); }, "stream != nullptr"},
    };
    for (const MvDeathCase& c : cases)
        EXPECT_DEATH(c.call(), MvFailedCheck(c.condition)) << c.what;
}

} // namespace
