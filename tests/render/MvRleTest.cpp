#include "ResourceTestSupport.h"

#include "MvBitWriter.h"
#include "MvFailedCheck.h"
#include "MvLoadPool.h"
#include "MvMemoryStream.h"
#include "MvPaintTarget.h"
#include "MvResourceReader.h"
#include "MvRle.h"
#include "MvSurfacePen.h"
#include "TransformAt.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

using namespace restest;

// ---------------------------------------------------------------------------------------
// Encoding

// Create trims the rectangle to its visible pixels, places the result relative to the hot
// spot and stores each row's runs of visible pixels with their colours.
TEST(MvRleCreate, TrimsToVisiblePixelsAndStoresRuns)
{
    struct Case {
        const char* what;
        std::vector<std::string> rows;
        int x, y, w, h; // w < 0: the whole picture
        int hotX, hotY;
        int width, height, offsetX, offsetY;
        const char* runs;
        bool alpha;
    };
    const Case cases[] = {
        {"opaque, transparent, opaque", {"R.R"}, 0, 0, -1, 0, 0, 0, 3, 1, 0, 0, "0-0 2-2", false},
        {"margins are trimmed", {".....", "..R..", ".RRR.", "....."}, 0, 0, -1, 0, 2, 2, 3, 2, -1, -1, "1-1|0-2",
         false},
        {"a transparent row inside keeps its place", {"R.", "..", ".G"}, 0, 0, -1, 0, 0, 0, 2, 3, 0, 0, "0-0||1-1",
         false},
        {"translucent pixels flag their run, row and image", {"RaR.R"}, 0, 0, -1, 0, 0, 0, 5, 1, 0, 0, "0-2* 4-4",
         true},
        {"alpha 1 is visible", {".c."}, 0, 0, -1, 0, 0, 0, 1, 1, 1, 0, "0-0*", true},
        {"a sub-rectangle of the source", {"RRRR", "R.GR", "RRRR"}, 1, 1, 2, 1, 1, 1, 1, 1, 1, 0, "0-0", false},
        {"several runs on several rows", {"1.2.3", "44.55", "....6"}, 0, 0, -1, 0, 4, 2, 5, 3, -4, -2,
         "0-0 2-2 4-4|0-1 3-4|4-4", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SurfacePtr picture = MakePicture(c.rows);
        MvPaintTarget source(picture.get());
        MvRle image;
        const int w = c.w < 0 ? picture->w : c.w;
        const int h = c.w < 0 ? picture->h : c.h;
        image.Create(source, c.x, c.y, w, h, c.hotX, c.hotY, 3, -2);
        EXPECT_EQ(c.width, image.Width());
        EXPECT_EQ(c.height, image.Height());
        EXPECT_EQ(c.offsetX, image.OffsetX());
        EXPECT_EQ(c.offsetY, image.OffsetY());
        EXPECT_EQ(3, image.DeltaX());
        EXPECT_EQ(-2, image.DeltaY());
        EXPECT_EQ(c.runs, Runs(image));
        EXPECT_EQ(c.alpha, image.HasAlpha());
        EXPECT_EQ(0u, image.Flags() & MvRleInPool);
        // Every stored pixel is the source pixel at its place.
        for (int k = 0; k < image.Height(); ++k) {
            const MvRleLine& line = image.Row(k);
            bool rowAlpha = false;
            for (int s = 0; s < line.segmentCount; ++s) {
                const MvRleSegment& segment = line.segments[s];
                bool segmentAlpha = false;
                for (int i = 0; i < segment.Length(); ++i) {
                    const int sx = image.OffsetX() + c.hotX + segment.start + i;
                    const int sy = image.OffsetY() + c.hotY + k;
                    EXPECT_EQ(PaletteColor(c.rows[sy][sx]), segment.pixels[i]) << "row " << k << " column " << i;
                    segmentAlpha |= segment.pixels[i].alpha < 255;
                }
                EXPECT_EQ(segmentAlpha, segment.HasAlpha());
                rowAlpha |= segmentAlpha;
            }
            EXPECT_EQ(rowAlpha, line.HasAlpha());
        }
    }
}

// A fully transparent rectangle gives an empty image placed after the rectangle's right
// edge, as the stored form of empty frames expects.
TEST(MvRleCreate, FullyTransparentRectangleGivesAnEmptyImage)
{
    MvRle image;
    CreateFrame(&image, {"...", "..."}, 1, 1);
    EXPECT_EQ(0, image.Width());
    EXPECT_EQ(0, image.Height());
    EXPECT_EQ(nullptr, image.Rows());
    EXPECT_EQ(2, image.OffsetX()); // x + w - hot x
    EXPECT_EQ(-1, image.OffsetY());
    EXPECT_FALSE(image.HitTest(0, 0));
}

// A rectangle without rows or without columns holds no pixel: an empty image, as for a
// transparent one (an encoded definition may give a frame a height or width of 0).
TEST(MvRleCreate, RectangleWithoutRowsOrColumnsGivesAnEmptyImage)
{
    SurfacePtr surface = MakePicture({"RR", "RR"});
    MvPaintTarget source(surface.get());
    const struct {
        int x, y, width, height;
    } cases[] = {{0, 1, 2, 0}, {1, 0, 0, 2}, {2, 2, 0, 0}};
    for (const auto& c : cases) {
        MvRle image;
        image.Create(source, c.x, c.y, c.width, c.height, 0, 0, 0, 0);
        EXPECT_EQ(0, image.Width()) << c.x << "," << c.y << " " << c.width << " x " << c.height;
        EXPECT_EQ(0, image.Height());
        EXPECT_EQ(nullptr, image.Rows());
    }
}

// Sources of every depth are read through the pen; those without alpha are opaque.
TEST(MvRleCreate, ReadsSourcesOfEveryDepth)
{
    struct Case {
        const char* what;
        int bits;
        uint32_t r, g, b;
    };
    const Case cases[] = {
        {"16 bits 5-6-5", 16, 0xF800, 0x07E0, 0x001F},
        {"24 bits", 24, 0xFF0000, 0xFF00, 0xFF},
        {"32 bits without alpha", 32, 0xFF, 0xFF00, 0xFF0000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SurfacePtr surface(SDL_CreateRGBSurface(SDL_SWSURFACE, 3, 2, c.bits, c.r, c.g, c.b, 0));
        MvPaintTarget source(surface.get());
        MvSurfacePen pen(source);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x)
                pen.WritePixel(x, y, Rgba(40 * x + 8, 100 + 50 * y, 200, 255));
        MvRle image;
        image.Create(source, 0, 0, 3, 2, 0, 0, 0, 0);
        EXPECT_EQ("0-2|0-2", Runs(image));
        EXPECT_FALSE(image.HasAlpha());
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x)
                EXPECT_EQ(pen.ReadColor(x, y), image.Row(y).segments[0].pixels[x]);
    }
}

// ---------------------------------------------------------------------------------------
// Stored form

// The byte-exact cases: an empty image is its 34-byte header alone and reads back as
// false; the one-pixel image's stream is the two bytes 0x06, 0x00; an all-opaque image
// stores alpha minimum 255 with 0 bits, so its pixels carry no alpha bits.
TEST(MvRleStoredForm, IsByteExact)
{
    struct Case {
        const char* what;
        std::function<void(MvRle*)> make;
        std::vector<uint8_t> bytes;
        bool readResult;
    };
    const Case cases[] = {
        {"fully transparent", [](MvRle* image) { CreateFrame(image, {"...", "..."}, 1, 1, 7, 8); },
         ByteBuilder().U16(0).U32(2).U32(uint32_t(-1)).U32(0).U32(0).U32(7).U32(8).U32(0).U32(0).Bytes(), false},
        {"one pixel 10, 20, 30, 255",
         [](MvRle* image) {
             SurfacePtr surface = MakeArgbSurface(1, 1);
             *static_cast<uint32_t*>(surface->pixels) = 0xFF0A141E;
             MvPaintTarget source(surface.get());
             image->Create(source, 0, 0, 1, 1, 0, 0, 0, 0);
         },
         ByteBuilder()
             .U16(0).U32(0).U32(0).U32(1).U32(1).U32(0).U32(0)
             .U8(10).U8(0).U8(20).U8(0).U8(30).U8(0).U8(255).U8(0)
             .U8(0x06).U8(0x00)
             .Bytes(),
         true},
        {"all opaque: no alpha bits", [](MvRle* image) { CreateFrame(image, {"RG"}, 0, 0); },
         ByteBuilder()
             .U16(0).U32(0).U32(0).U32(2).U32(1).U32(0).U32(0)
             .U8(0).U8(8).U8(0).U8(8).U8(0).U8(0).U8(255).U8(0)
             .U8(0x06).U8(0x05).U8(0xFF).U8(0x00).U8(0x00).U8(0xFF)
             .Bytes(),
         true},
        {"translucent: flags and alpha range", [](MvRle* image) { CreateFrame(image, {"ab"}, 0, 0); },
         ByteBuilder()
             .U16(1).U32(0).U32(0).U32(2).U32(1).U32(0).U32(0)
             .U8(10).U8(8).U8(100).U8(7).U8(50).U8(6).U8(64).U8(7)
             // 01 0001 1 | 001 0001 0 1 | 190:8 0:7 0:6 64:7 | 0:8 120:7 40:6 0:7
             .U8(0x46).U8(0x45).U8(0xBE).U8(0x00).U8(0x04).U8(0x00).U8(0x0F).U8(0x14).U8(0x00)
             .Bytes(),
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MvRle image;
        c.make(&image);
        const std::vector<uint8_t> stored = StoredImage(image);
        EXPECT_EQ(c.bytes, stored);

        MvMemoryStream stream(stored.data(), stored.size());
        MvRle back;
        EXPECT_EQ(c.readResult, back.Read(stream.Stream()));
        EXPECT_TRUE(SameImage(image, back));
        EXPECT_EQ(static_cast<int>(stored.size()), SDL_RWtell(stream.Stream()));
    }
}

// Create, Write and Read give back the same image, and writing it again gives the same
// bytes: with and without alpha, several runs per row, empty rows, many colours.
TEST(MvRleStoredForm, RoundTripsThroughWriteAndRead)
{
    const std::vector<std::vector<std::string>> pictures = {
        {"RR.GG.BB", "1.2.3.4.", "........", "WWWWWWWW"},
        {"abcd", "RaGb", ".d.."},
        {"5"},
        {"123456789", "987654321", "K.K.K.K.K"},
        {std::string(150, 'R') + std::string(100, '.') + "12"},
        {[] {
            std::string row;
            for (int i = 0; i < 199; ++i)
                row += "a.";
            return row;
        }()},
    };
    for (size_t i = 0; i < pictures.size(); ++i) {
        SCOPED_TRACE(i);
        MvRle image;
        CreateFrame(&image, pictures[i], 1, 2, 4, -5);
        const std::vector<uint8_t> stored = StoredImage(image);
        MvMemoryStream stream(stored.data(), stored.size());
        MvRle back;
        EXPECT_TRUE(back.Read(stream.Stream()));
        EXPECT_TRUE(SameImage(image, back));
        EXPECT_EQ(static_cast<int>(stored.size()), SDL_RWtell(stream.Stream()));
        EXPECT_EQ(stored, StoredImage(back));
        EXPECT_EQ(image.PixelCount(), back.PixelCount());
        EXPECT_EQ(image.SegmentCount(), back.SegmentCount());
    }
}

// A stored image built field by field, for feeding the reader what no writer makes.
struct HandMadeImage {
    uint16_t flags = 0;
    int32_t offsetX = 0, offsetY = 0, width = 4, height = 2, deltaX = 0, deltaY = 0;
    uint8_t channels[8] = {0, 8, 0, 8, 0, 8, 255, 0}; // red, green, blue 8 bits; opaque
    std::vector<std::pair<uint32_t, int>> fields;
    int truncate = 0; // bytes cut from the end

    HandMadeImage& Row(uint32_t rowFlags, uint32_t count)
    {
        int bits = 0;
        while ((count >> bits) != 0)
            ++bits;
        fields.push_back({rowFlags, 2});
        fields.push_back({uint32_t(bits), 4});
        fields.push_back({count, bits});
        return *this;
    }
    HandMadeImage& Segment(uint32_t segmentFlags, uint32_t start, uint32_t end, int columnBits = -1)
    {
        if (columnBits < 0) {
            columnBits = 0;
            while ((end >> columnBits) != 0)
                ++columnBits;
        }
        fields.push_back({segmentFlags, 3});
        fields.push_back({uint32_t(columnBits), 4});
        fields.push_back({start, columnBits});
        fields.push_back({end, columnBits});
        return *this;
    }
    // One pixel: each channel's value above its minimum, in the channel's bits.
    HandMadeImage& Pixel(uint32_t r, uint32_t g, uint32_t b, uint32_t a = 0)
    {
        fields.push_back({r, channels[1]});
        fields.push_back({g, channels[3]});
        fields.push_back({b, channels[5]});
        fields.push_back({a, channels[7]});
        return *this;
    }
    std::vector<uint8_t> Bytes() const
    {
        MvMemoryStream stream;
        SDL_WriteLE16(stream.Stream(), flags);
        for (int32_t v : {offsetX, offsetY, width, height, deltaX, deltaY})
            SDL_WriteLE32(stream.Stream(), uint32_t(v));
        SDL_RWwrite(stream.Stream(), channels, 1, 8);
        MvBitWriter bits(stream.Stream());
        for (const auto& f : fields)
            bits.Write(f.first, f.second);
        bits.Flush();
        std::vector<uint8_t> bytes = stream.Bytes();
        bytes.resize(bytes.size() - truncate);
        return bytes;
    }
};

// A valid 4 x 2 image: row 0 one run 0-2, row 1 runs 0-0 and 2-3.
HandMadeImage ValidImage()
{
    HandMadeImage s;
    s.Row(0, 1).Segment(0, 0, 2).Pixel(1, 2, 3).Pixel(4, 5, 6).Pixel(7, 8, 9);
    s.Row(0, 2).Segment(0, 0, 0).Pixel(10, 11, 12).Segment(0, 2, 3).Pixel(13, 14, 15).Pixel(16, 17, 18);
    return s;
}

TEST(MvRleStoredForm, ReadsAHandMadeImage)
{
    const std::vector<uint8_t> bytes = ValidImage().Bytes();
    MvMemoryStream stream(bytes.data(), bytes.size());
    MvRle image;
    ASSERT_TRUE(image.Read(stream.Stream()));
    EXPECT_EQ("0-2|0-0 2-3", Runs(image));
    EXPECT_EQ(Rgba(16, 17, 18, 255), image.Row(1).segments[1].pixels[1]);
}

// A stored image is file input: every value out of range, every run that breaks the
// row rules and data that ends early is refused with a message naming the byte, and the
// image stays empty.
TEST(MvRleStoredForm, ReadRefusesMalformedImages)
{
    struct Case {
        const char* what;
        std::function<HandMadeImage()> make;
        const char* message;
    };
    const Case cases[] = {
        {"offset x above 4000", [] { HandMadeImage s = ValidImage(); s.offsetX = 4001; return s; }, "offset"},
        {"offset y below -4000", [] { HandMadeImage s = ValidImage(); s.offsetY = -4001; return s; }, "offset"},
        {"negative width", [] { HandMadeImage s = ValidImage(); s.width = -1; return s; }, "size"},
        {"height above 4000", [] { HandMadeImage s = ValidImage(); s.height = 4001; return s; }, "size"},
        {"width without height", [] { HandMadeImage s; s.height = 0; return s; }, "one direction only"},
        {"a channel of 9 bits", [] { HandMadeImage s = ValidImage(); s.channels[3] = 9; return s; }, "more than 8"},
        {"more than 1999 runs in a row", [] { HandMadeImage s; s.Row(0, 2000); return s; }, "more than 1999"},
        {"more runs than the data holds", [] { HandMadeImage s; s.Row(0, 100); return s; },
         "segments, but the data ends early"},
        {"a run past the width", [] { HandMadeImage s; s.Row(0, 1).Segment(0, 2, 4).Pixel(1, 1, 1); return s; },
         "outside the image width"},
        {"a run that starts after its end", [] { HandMadeImage s; s.Row(0, 1).Segment(0, 3, 1, 2); return s; },
         "after its end"},
        {"touching runs",
         [] {
             HandMadeImage s;
             s.Row(0, 2).Segment(0, 0, 1).Pixel(1, 1, 1).Pixel(1, 1, 1).Segment(0, 2, 3).Pixel(1, 1, 1).Pixel(1, 1, 1);
             return s;
         },
         "overlaps or touches"},
        {"runs out of order",
         [] {
             HandMadeImage s;
             s.Row(0, 2).Segment(0, 2, 3).Pixel(1, 1, 1).Pixel(1, 1, 1).Segment(0, 0, 0).Pixel(1, 1, 1);
             return s;
         },
         "overlaps or touches"},
        {"a run longer than 1999",
         [] {
             HandMadeImage s;
             s.width = 4000;
             s.height = 1;
             s.Row(0, 1).Segment(0, 0, 1999);
             return s;
         },
         "longer than 1999"},
        {"a channel above 255",
         [] {
             HandMadeImage s;
             s.channels[0] = 200;
             s.channels[1] = 7;
             s.height = 1;
             s.Row(0, 1).Segment(0, 0, 0).Pixel(100, 0, 0);
             return s;
         },
         "above 255"},
        {"a fully transparent pixel",
         [] {
             HandMadeImage s;
             s.flags = 1;
             s.channels[6] = 0;
             s.channels[7] = 8;
             s.height = 1;
             s.Row(1, 1).Segment(1, 0, 0).Pixel(1, 1, 1, 0);
             return s;
         },
         "fully transparent"},
        {"a translucent pixel in a run marked opaque",
         [] {
             HandMadeImage s;
             s.flags = 1;
             s.channels[6] = 0;
             s.channels[7] = 8;
             s.height = 1;
             s.Row(1, 1).Segment(0, 0, 0).Pixel(1, 1, 1, 100);
             return s;
         },
         "segment at column 0 is marked opaque"},
        {"a translucent run in a row marked opaque",
         [] {
             HandMadeImage s;
             s.flags = 1;
             s.channels[6] = 0;
             s.channels[7] = 8;
             s.height = 1;
             s.Row(0, 1).Segment(1, 0, 0).Pixel(1, 1, 1, 100);
             return s;
         },
         "row 0 is marked opaque"},
        {"a translucent row in an image marked opaque",
         [] {
             HandMadeImage s;
             s.channels[6] = 0;
             s.channels[7] = 8;
             s.height = 1;
             s.Row(1, 1).Segment(1, 0, 0).Pixel(1, 1, 1, 100);
             return s;
         },
         "the image is marked opaque"},
        {"data that ends early", [] { HandMadeImage s = ValidImage(); s.truncate = 1; return s; }, "ends early"},
        {"rows the data cannot hold", [] { HandMadeImage s = ValidImage(); s.height = 4000; return s; },
         "rows need at least"},
        {"pixels the data cannot hold", [] { HandMadeImage s; s.Row(0, 1).Segment(0, 0, 3); return s; },
         "pixels needs 96 bits, but the data ends early"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::vector<uint8_t> bytes = c.make().Bytes();
        MvMemoryStream stream(bytes.data(), bytes.size());
        MvResourceReader reader(stream.Stream(), "frames.dat");
        MvRle image;
        EXPECT_FALSE(image.Read(reader));
        EXPECT_TRUE(reader.Failed());
        EXPECT_NE(std::string::npos, reader.Error().find("'frames.dat' at byte ")) << reader.Error();
        EXPECT_NE(std::string::npos, reader.Error().find(c.message)) << reader.Error();
        EXPECT_EQ(0, image.Width());
        EXPECT_EQ(0, image.Height());
        EXPECT_EQ(nullptr, image.Rows());
    }
}

// Bits of the stored flags other than bit 0 mean nothing: in particular a stored "in a
// pool" bit must not stop the image from freeing what it allocated.
TEST(MvRleStoredForm, IgnoresStoredFlagBitsOtherThanAlpha)
{
    HandMadeImage s;
    s.flags = 0xFFFE;
    s.height = 1;
    s.Row(2, 1).Segment(6, 0, 1).Pixel(1, 2, 3).Pixel(4, 5, 6);
    const std::vector<uint8_t> bytes = s.Bytes();
    MvMemoryStream stream(bytes.data(), bytes.size());
    MvRle image;
    ASSERT_TRUE(image.Read(stream.Stream()));
    EXPECT_EQ(0u, image.Flags());
    EXPECT_EQ(0u, image.Row(0).flags);
    EXPECT_EQ(0u, image.Row(0).segments[0].flags);
}

// Every prefix of a stored image fails cleanly; the whole of it reads.
TEST(MvRleStoredForm, EveryTruncationFailsCleanly)
{
    MvRle image;
    CreateFrame(&image, {"1.ab.R", "......", "RRRR.c", "d....."}, 2, 1);
    const std::vector<uint8_t> stored = StoredImage(image);
    for (size_t length = 0; length < stored.size(); ++length) {
        SCOPED_TRACE(length);
        MvMemoryStream stream(stored.data(), length);
        MvResourceReader reader(stream.Stream(), "cut.dat");
        MvRle back;
        EXPECT_FALSE(back.Read(reader));
        EXPECT_TRUE(reader.Failed());
        EXPECT_EQ(0, back.Height());
    }
    MvMemoryStream stream(stored.data(), stored.size());
    MvRle back;
    EXPECT_TRUE(back.Read(stream.Stream()));
}

// During a load the rows, runs and pixels come from the current pools, which must have
// room for them; images marked as pool-held never free that storage.
TEST(MvRleStoredForm, ReadTakesStorageFromTheCurrentLoadPools)
{
    MvRle image;
    CreateFrame(&image, {"1.ab.R", "......", "RRRR.c"}, 0, 0);
    const std::vector<uint8_t> stored = StoredImage(image);
    struct Case {
        const char* what;
        int missingPixels, missingRows, missingSegments;
        const char* message; // null: the read succeeds
    };
    const Case cases[] = {
        {"exactly enough", 0, 0, 0, nullptr},
        {"one pixel short", 1, 0, 0, "more pixels than the file's tally"},
        {"one row short", 0, 1, 0, "more rows than the file's tally"},
        {"one segment short", 0, 0, 1, "more segments than the file's tally"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MvLoadPool pixels(sizeof(MvColor) * (image.PixelCount() - c.missingPixels));
        MvLoadPool lines(sizeof(MvRleLine) * (image.Height() - c.missingRows));
        MvLoadPool segments(sizeof(MvRleSegment) * (image.SegmentCount() - c.missingSegments));
        const int64_t counter = MvRlePixelCounter();
        SetCurrentLoadPools(&pixels, &lines, &segments);
        {
            MvMemoryStream stream(stored.data(), stored.size());
            MvResourceReader reader(stream.Stream(), "pooled.dat");
            MvRle back;
            const bool ok = back.Read(reader);
            SetCurrentLoadPools(nullptr, nullptr, nullptr);
            if (c.message == nullptr) {
                EXPECT_TRUE(ok);
                EXPECT_TRUE(SameImage(image, back));
                EXPECT_TRUE(pixels.IsUsedUp() && lines.IsUsedUp() && segments.IsUsedUp());
                EXPECT_EQ(counter + image.PixelCount(), MvRlePixelCounter());
                EXPECT_NE(0u, back.Flags() & MvRleInPool);
                for (int k = 0; k < back.Height(); ++k) {
                    const MvRleLine& line = back.Row(k);
                    EXPECT_EQ(line.segmentCount > 0, (line.flags & MvRleInPool) != 0);
                    for (int s = 0; s < line.segmentCount; ++s)
                        EXPECT_NE(0u, line.segments[s].flags & MvRleInPool);
                }
            } else {
                EXPECT_FALSE(ok);
                EXPECT_NE(std::string::npos, reader.Error().find(c.message)) << reader.Error();
                EXPECT_EQ(0, back.Height());
            }
        } // the image goes before its pools
        EXPECT_EQ(nullptr, CurrentPixelPool());
    }
}

// ---------------------------------------------------------------------------------------
// Drawing

// A plain software surface with a paint target and a pen, filled with a background.
class TestScreen {
public:
    TestScreen(int width, int height, int bits, uint32_t r, uint32_t g, uint32_t b)
        : surface_(SDL_CreateRGBSurface(SDL_SWSURFACE, width, height, bits, r, g, b, 0)),
          scratch_(SDL_CreateRGBSurface(SDL_SWSURFACE, 1, 1, bits, r, g, b, 0)), target_(surface_.get()),
          scratchTarget_(scratch_.get()), pen_(target_), scratchPen_(scratchTarget_)
    {
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                pen_.WritePixel(x, y, Background());
    }
    TestScreen(int width, int height) : TestScreen(width, height, 32, 0xFF0000, 0xFF00, 0xFF) {}

    static MvColor Background() { return Rgba(20, 40, 60, 255); }

    MvColor At(int x, int y) const { return pen_.ReadColor(x, y); }
    // c as this format stores it and reads it back.
    MvColor Stored(const MvColor& c) const
    {
        scratchPen_.WritePixel(0, 0, c);
        return scratchPen_.ReadColor(0, 0);
    }
    MvIntRect Whole() const { return MvMakeRect(0, 0, surface_->w - 1, surface_->h - 1); }
    const MvPaintTarget& Target() const { return target_; }
    int Width() const { return surface_->w; }
    int Height() const { return surface_->h; }

private:
    SurfacePtr surface_;
    SurfacePtr scratch_;
    MvPaintTarget target_;
    MvPaintTarget scratchTarget_;
    MvSurfacePen pen_;
    MvSurfacePen scratchPen_;
};

// The screen as text, rows separated by '|': each pixel is the palette character whose
// colour it shows, '.' for the background and '?' for anything else.
std::string Show(const TestScreen& screen, const std::string& palette)
{
    std::string text;
    for (int y = 0; y < screen.Height(); ++y) {
        if (y > 0)
            text += "|";
        for (int x = 0; x < screen.Width(); ++x) {
            const MvColor c = screen.At(x, y);
            char shown = c == screen.Stored(TestScreen::Background()) ? '.' : '?';
            for (char p : palette) {
                if (c == screen.Stored(PaletteColor(p)))
                    shown = p;
            }
            text += shown;
        }
    }
    return text;
}

// Only the runs are painted, in every screen format, with the hot spot at the position.
TEST(MvRleDraw, PaintsOnlyTheRunsOnEverySurfaceFormat)
{
    struct Case {
        const char* what;
        int bits;
        uint32_t r, g, b;
    };
    const Case cases[] = {
        {"32 bits, red at 16", 32, 0xFF0000, 0xFF00, 0xFF},
        {"32 bits, red at 0", 32, 0xFF, 0xFF00, 0xFF0000},
        {"24 bits, red at 16", 24, 0xFF0000, 0xFF00, 0xFF},
        {"24 bits, red at 0", 24, 0xFF, 0xFF00, 0xFF0000},
        {"16 bits 5-6-5", 16, 0xF800, 0x07E0, 0x001F},
    };
    MvRle image;
    CreateFrame(&image, {"R.G", ".B.", "W.K"}, 1, 1);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TestScreen screen(6, 5, c.bits, c.r, c.g, c.b);
        image.Draw(screen.Target(), At(3, 2), MvColorXform(), screen.Whole(), 0);
        EXPECT_EQ("......|..R.G.|...B..|..W.K.|......", Show(screen, "RGBWK"));
    }
}

// A clip paints exactly the part of the image inside it, each pixel from its own place in
// the source, also where the clip cuts a run in the middle.
TEST(MvRleDraw, ClipPaintsOnlyTheVisiblePartFromTheRightSourcePixel)
{
    const std::vector<std::string> picture = {"123456789", "9876.4321"};
    MvRle image;
    CreateFrame(&image, picture, 0, 0);
    struct Case {
        const char* what;
        MvIntRect clip;
    };
    const Case cases[] = {
        {"the whole screen", MvMakeRect(0, 0, 13, 3)},
        {"cut on the left", MvMakeRect(5, 0, 13, 3)},
        {"cut on the right", MvMakeRect(0, 0, 7, 3)},
        {"a run cut on both sides", MvMakeRect(4, 0, 5, 3)},
        {"one row", MvMakeRect(0, 2, 13, 2)},
        {"the gap only", MvMakeRect(6, 2, 6, 2)},
        {"beside the image", MvMakeRect(0, 0, 1, 3)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TestScreen screen(14, 4);
        image.Draw(screen.Target(), At(2, 1), MvColorXform(), c.clip, 0);
        for (int y = 0; y < 4; ++y) {
            for (int x = 0; x < 14; ++x) {
                const int ix = x - 2, iy = y - 1;
                MvColor expected = TestScreen::Background();
                if (c.clip.Contains(x, y) && iy >= 0 && iy < 2 && ix >= 0 && ix < 9 && IsVisible(picture[iy][ix]))
                    expected = PaletteColor(picture[iy][ix]);
                EXPECT_EQ(expected, screen.At(x, y)) << x << "," << y;
            }
        }
    }
}

// On a 32-bit target laid out like MvColor (red at 16, green at 8, blue at 0) opaque runs
// without a transform are copied in place, byte for byte; the result must equal the
// memory target's copy blitter, called run by run, clipped or not.
TEST(MvRleDraw, OpaqueRunsCopiedInPlaceMatchTheCopyBlitter)
{
    MvRle image;
    CreateFrame(&image,
                {"123456789123456789123", "12.345........6789123", "6....7...............", "89.1234567891234567.1",
                 ".....................", "4567.8..............2"},
                0, 0);
    const MvIntRect clips[] = {MvMakeRect(0, 0, 29, 7), MvMakeRect(4, 0, 29, 7), MvMakeRect(0, 0, 14, 7),
                               MvMakeRect(5, 2, 22, 4), MvMakeRect(0, 5, 29, 5), MvMakeRect(13, 0, 13, 7)};
    for (const MvIntRect& clip : clips) {
        SCOPED_TRACE(clip.left * 1000 + clip.right);
        SurfacePtr screen(SDL_CreateRGBSurface(SDL_SWSURFACE, 30, 8, 32, 0xFF0000, 0xFF00, 0xFF, 0));
        ASSERT_EQ(120, screen->pitch);
        std::vector<MvColor> memory(30 * 8);
        for (int i = 0; i < 30 * 8; ++i) {
            memory[i] = Rgba(i, 2 * i, 3 * i, 4 * i);
            std::memcpy(static_cast<uint8_t*>(screen->pixels) + 4 * i, &memory[i], 4);
        }
        MvPaintTarget screenTarget(screen.get());
        MvPaintTarget memoryTarget(memory.data(), 30, 8);
        image.Draw(screenTarget, At(3, 1), MvColorXform(), clip, 0);
        image.Draw(memoryTarget, At(3, 1), MvColorXform(), clip, 0);
        EXPECT_EQ(0, std::memcmp(screen->pixels, memory.data(), 30 * 8 * 4));
    }
}

int Blend(int source, int target, int weight) { return (weight * source + (255 - weight) * target) >> 8; }

// The blitter follows each run's alpha flag: with a transform alpha A an opaque run is
// painted with weight A and a translucent run with weight A * alpha / 256, and the run
// after a translucent one is opaque again.
TEST(MvRleDraw, ChoosesTheBlitterByEachRunsAlphaFlag)
{
    MvRle image;
    CreateFrame(&image, {"R.a.G"}, 0, 0);
    struct Case {
        const char* what;
        int alpha;
    };
    const Case cases[] = {{"identity transform", 255}, {"transform alpha 128", 128}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MvColorXform cx;
        if (c.alpha != 255)
            cx.SetAlpha(c.alpha);
        TestScreen screen(5, 1);
        image.Draw(screen.Target(), At(0, 0), cx, screen.Whole(), 0);
        const MvColor bg = TestScreen::Background();
        const MvColor a = PaletteColor('a');
        const int opaqueWeight = c.alpha;
        const int translucentWeight = c.alpha == 255 ? a.alpha : (c.alpha * a.alpha) >> 8;
        auto mix = [&](const MvColor& s, int w) {
            if (w == 255)
                return s;
            return Rgba(Blend(s.red, bg.red, w), Blend(s.green, bg.green, w), Blend(s.blue, bg.blue, w), 255);
        };
        EXPECT_EQ(mix(PaletteColor('R'), opaqueWeight), screen.At(0, 0));
        EXPECT_EQ(bg, screen.At(1, 0));
        EXPECT_EQ(mix(a, translucentWeight), screen.At(2, 0));
        EXPECT_EQ(bg, screen.At(3, 0));
        EXPECT_EQ(mix(PaletteColor('G'), opaqueWeight), screen.At(4, 0));
    }
}

// A scaled draw samples the nearest source pixel for every screen pixel of the scaled
// bounds, inside the clip.
TEST(MvRleDraw, ScaledDrawSamplesNearestPixels)
{
    struct Case {
        const char* what;
        std::vector<std::string> picture;
        double xScale, yScale;
        MvIntRect clip;
        const char* screen;
    };
    const MvIntRect whole = MvMakeRect(0, 0, 6, 4);
    const Case cases[] = {
        {"twice the size", {"12", "34"}, 2.0, 2.0, whole, ".......|.1122..|.1122..|.3344..|.3344.."},
        {"one and a half", {"12", "34"}, 1.5, 1.5, whole, ".......|.112...|.112...|.334...|......."},
        {"half the size", {"1234", "5678", "9123", "4567"}, 0.5, 0.5, whole,
         ".......|.13....|.92....|.......|......."},
        {"wider only", {"12", "34"}, 2.0, 1.0 + 1.0 / 65536, whole, ".......|.1122..|.3344..|.......|......."},
        {"holes stay holes", {"1.2"}, 2.0, 1.0 + 1.0 / 65536, whole, ".......|.11..22|.......|.......|......."},
        {"clipped", {"12", "34"}, 2.0, 2.0, MvMakeRect(2, 2, 3, 6), ".......|.......|..12...|..34...|..34..."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MvRle image;
        CreateFrame(&image, c.picture, 0, 0);
        TestScreen screen(7, 5);
        MvIntRect clip = c.clip;
        clip.ClipTo(screen.Whole());
        image.Draw(screen.Target(), At(1, 1, c.xScale, c.yScale), MvColorXform(), clip, 0);
        EXPECT_EQ(c.screen, Show(screen, "123456789"));
    }
}

// ---------------------------------------------------------------------------------------
// Bounds and hit tests

TEST(MvRle, ComputeBoundsPlacesTheHotSpot)
{
    MvRle image; // 10 x 4, hot spot at (5, 2): offset (-5, -2)
    CreateFrame(&image, {"RRRRRRRRRR", "RRRRRRRRRR", "RRRRRRRRRR", "RRRRRRRRRR"}, 5, 2);
    struct Case {
        const char* what;
        MvTransform t;
        MvIntRect bounds;
    };
    const Case cases[] = {
        {"unscaled", At(100, 50), MvMakeRect(95, 48, 104, 51)},
        {"unscaled at fractions takes the integer parts", At(100.75, -0.5), MvMakeRect(95, -3, 104, 0)},
        {"x scale 2", At(100, 50, 2.0, 1.0 + 1.0 / 65536), MvMakeRect(90, 48, 109, 51)},
        {"scale 2", At(100, 50, 2.0, 2.0), MvMakeRect(90, 46, 109, 53)},
        {"scale 0.5", At(100, 50, 0.5, 0.5), MvMakeRect(97, 49, 101, 50)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MvIntRect bounds;
        image.ComputeBounds(c.t, &bounds);
        EXPECT_EQ(c.bounds, bounds) << bounds.left << "," << bounds.top << "," << bounds.right << ","
                                    << bounds.bottom;
    }
    MvRle empty;
    MvIntRect bounds;
    empty.ComputeBounds(At(10, 10), &bounds);
    EXPECT_FALSE(bounds.IsValid());
}

// A hit needs a stored pixel at the point: gaps between runs, transparent rows and points
// outside the bounds miss; every visible pixel of an encoded picture hits.
TEST(MvRle, HitTestFindsVisiblePixelsOnly)
{
    const std::vector<std::string> picture = {"RR.GG", "..B..", "a...."};
    MvRle image;
    CreateFrame(&image, picture, 1, 1);
    struct Case {
        int x, y;
        bool hit;
    };
    const Case cases[] = {
        {-1, -1, true}, {1, -1, false}, {2, -1, true}, {4, -1, false}, {1, 0, true},
        {0, 0, false},  {-1, 1, true},  {-2, 0, false}, {0, 2, false}, {0, -2, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.hit, image.HitTest(c.x, c.y)) << c.x << "," << c.y;
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(IsVisible(picture[y][x]), image.HitTest(x - 1, y - 1)) << x << "," << y;
}

// ---------------------------------------------------------------------------------------
// Broken preconditions

TEST(MvRleDeathTest, BrokenPreconditionsAreCaught)
{
    SurfacePtr picture = MakePicture({"RR", "RR"});
    MvPaintTarget source(picture.get());
    MvRle filled;
    filled.Create(source, 0, 0, 2, 2, 0, 0, 0, 0);
    MvRle image;
    std::string manyRuns;
    for (int i = 0; i < 200; ++i)
        manyRuns += "R.";
    const std::vector<uint8_t> stored = StoredImage(filled);
    MvMemoryStream stream(stored.data(), stored.size());

    // Offset 4000 may be read but not written.
    HandMadeImage far = ValidImage();
    far.offsetX = 4000;
    const std::vector<uint8_t> farBytes = far.Bytes();
    MvMemoryStream farStream(farBytes.data(), farBytes.size());
    MvRle farImage;
    ASSERT_TRUE(farImage.Read(farStream.Stream()));
    MvMemoryStream out;
    TestScreen screen(4, 4);

    const MvDeathCase cases[] = {
        {"Create on a filled image", [&] { filled.Create(source, 0, 0, 2, 2, 0, 0, 0, 0); },
         "rows_ == nullptr && width_ == 0 && height_ == 0"},
        {"Create past the source", [&] { image.Create(source, 1, 0, 2, 2, 0, 0, 0, 0); },
         "x + width <= source.Width() && y + height <= source.Height()"},
        {"Create with an offset that cannot be written", [&] { image.Create(source, 0, 0, 2, 2, 5000, 0, 0, 0); },
         "offsetX_ >= -MaxWrittenOffset && offsetX_ <= MaxWrittenOffset"},
        {"a row past the end", [&] { filled.Row(2); }, "index >= 0 && index < height_ && rows_ != nullptr"},
        {"200 runs in a row", [&] { CreateFrame(&image, {manyRuns}, 0, 0); },
         "!storedLimits || count <= MaxCreatedSegmentsPerRow"},
        {"a run of 2000 pixels", [&] { CreateFrame(&image, {std::string(2000, 'R')}, 0, 0); },
         "!storedLimits || length <= MaxSegmentLength"},
        {"Read into a filled image", [&] { filled.Read(stream.Stream()); },
         "rows_ == nullptr && width_ == 0 && height_ == 0"},
        {"Write of offset 4000", [&] { farImage.Write(out.Stream()); },
         "offsetX_ >= -MaxWrittenOffset && offsetX_ <= MaxWrittenOffset"},
        // The painted part must lie inside the target: callers clip to it.
        {"Draw past the target",
         [&] { filled.Draw(screen.Target(), At(3, 3), MvColorXform(), MvMakeRect(0, 0, 9, 9), 0); },
         "visible.left >= 0 && visible.top >= 0 && visible.right < paint.Width() && visible.bottom < paint.Height()"},
    };
    for (const MvDeathCase& c : cases)
        EXPECT_DEATH(c.call(), MvFailedCheck(c.condition)) << c.what;
}

} // namespace
