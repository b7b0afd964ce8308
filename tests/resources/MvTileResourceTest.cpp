#include "ResourceFileBytes.h"
#include "ResourceTestSupport.h"

#include "MvFailedCheck.h"
#include "MvLoadPool.h"
#include "MvMemoryStream.h"
#include "MvPaintTarget.h"
#include "MvPixelBlock.h"
#include "MvResourceReader.h"
#include "MvResourceVault.h"
#include "MvResourceWriter.h"
#include "MvTileResource.h"
#include "TransformAt.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

// Tiles: the eight orientations drawn and hit-tested, the turned copies made on first
// need, scaled drawing through the scale cache, saving and reading tile records, and
// malformed tile records in resource files.

namespace {

using namespace restest;

const MvFixed Half = MvFixed::FromRaw(MvFixedOne / 2);

// A tile made from the picture (square, one string per row), as the encoder makes one.
MvTileResource* MakeTile(const char* name, int32_t id, const std::vector<std::string>& rows)
{
    SurfacePtr picture = MakePicture(rows);
    MvPaintTarget source(picture.get());
    MvTileResource* tile = new MvTileResource(name, source, 0, 0, static_cast<int>(rows.size()));
    tile->SetIdentity(name, id);
    return tile;
}

// A 4 x 4 opaque tile whose pixel (c, r) has red 10 c + 60 r.
MvTileResource* MakeGradientTile()
{
    SurfacePtr picture = MakeArgbSurface(4, 4);
    MvPaintTarget source(picture.get());
    MvSurfacePen pen(source);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            pen.WritePixel(c, r, Rgba(10 * c + 60 * r, 0, 0, 255));
    return new MvTileResource("gradient", source, 0, 0, 4);
}

std::vector<MvColor> PixelsOf(const MvPixelBlock& block)
{
    return std::vector<MvColor>(block.Pixels(), block.Pixels() + block.PixelCount());
}

// ---------------------------------------------------------------------------------------
// Orientations

// The tile a b / c d in each orientation, with a transparent: drawn on every screen
// format it shows the orientation's picture, and HitTest misses exactly where a lands.
TEST(MvTileResource, TheEightOrientationsDrawAndHitTestAlike)
{
    // a = '.', b = 'R', c = 'G', d = 'B'
    std::unique_ptr<MvTileResource> tile(MakeTile("abcd", 1, {".R", "GB"}));
    const struct {
        int orientation;
        const char* shown;
    } cases[] = {
        {0, ".R|GB"}, // a b / c d
        {1, "G.|BR"}, // c a / d b: a quarter turn clockwise
        {2, "BG|R."}, // d c / b a
        {3, "RB|.G"}, // b d / a c
        {4, "GB|.R"}, // c d / a b: mirrored top to bottom
        {5, "BR|G."}, // d b / c a
        {6, "R.|BG"}, // b a / d c
        {7, ".G|RB"}, // a c / b d
    };
    for (const ScreenFormat& format : kScreenFormats) {
        for (const auto& c : cases) {
            SCOPED_TRACE(testing::Message() << format.name << ", orientation " << c.orientation);
            PaintedScreen screen(format, 4, 3);
            tile->Draw(screen.Target(), At(1, 1), c.orientation, MvColorXform(), screen.Whole(),
                       MvPixelBlock::QualityBest, 0);
            const std::string expected = std::string("....|.") + std::string(c.shown, 2) + ".|." +
                                         std::string(c.shown + 3, 2) + ".";
            EXPECT_EQ(expected, screen.Show("RGB"));
            std::string hits;
            for (int y = 0; y < 2; ++y) {
                if (y > 0)
                    hits += "|";
                for (int x = 0; x < 2; ++x)
                    hits += tile->HitTest(c.orientation, x, y) ? 'x' : '.';
            }
            std::string expectedHits = c.shown;
            for (char& ch : expectedHits)
                ch = ch == '.' || ch == '|' ? ch : 'x';
            EXPECT_EQ(expectedHits, hits);
        }
    }
}

// On a 3 x 3 tile (which has a middle) every drawn pixel of every orientation is the
// block pixel the orientation's coordinates name.
TEST(MvTileResource, OrientationsFollowTheirCoordinateRules)
{
    std::unique_ptr<MvTileResource> tile(MakeTile("nine", 2, {"123", "456", "789"}));
    const MvPixelBlock& block = *tile->Block(0);
    const int n = 3;
    const std::function<void(int, int, int*, int*)> rules[8] = {
        [](int x, int y, int* sx, int* sy) { *sx = x, *sy = y; },
        [](int x, int y, int* sx, int* sy) { *sx = y, *sy = n - 1 - x; },
        [](int x, int y, int* sx, int* sy) { *sx = n - 1 - x, *sy = n - 1 - y; },
        [](int x, int y, int* sx, int* sy) { *sx = n - 1 - y, *sy = x; },
        [](int x, int y, int* sx, int* sy) { *sx = x, *sy = n - 1 - y; },
        [](int x, int y, int* sx, int* sy) { *sx = n - 1 - y, *sy = n - 1 - x; },
        [](int x, int y, int* sx, int* sy) { *sx = n - 1 - x, *sy = y; },
        [](int x, int y, int* sx, int* sy) { *sx = y, *sy = x; },
    };
    for (int o = 0; o < 8; ++o) {
        SCOPED_TRACE(o);
        std::vector<MvColor> memory(9, Rgba(0, 0, 0, 0));
        MvPaintTarget target(memory.data(), 3, 3);
        tile->Draw(target, At(0, 0), o, MvColorXform(), MvMakeRect(0, 0, 2, 2), MvPixelBlock::QualityBest, 0);
        for (int y = 0; y < n; ++y) {
            for (int x = 0; x < n; ++x) {
                int sx, sy;
                rules[o](x, y, &sx, &sy);
                EXPECT_EQ(block.Pixels()[sy * n + sx], memory[y * n + x]) << x << "," << y;
            }
        }
    }
}

// HitTest is false off the tile in every orientation; a tile without alpha is solid.
TEST(MvTileResource, HitTestOffTheTileAndOnASolidTile)
{
    std::unique_ptr<MvTileResource> solid(MakeTile("solid", 3, {"RG", "BW"}));
    std::unique_ptr<MvTileResource> holes(MakeTile("holes", 4, {"..", ".."}));
    EXPECT_FALSE(solid->Block(0)->HasAlpha());
    for (int o = 0; o < 8; ++o) {
        SCOPED_TRACE(o);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 2; ++x) {
                EXPECT_TRUE(solid->HitTest(o, x, y));
                EXPECT_FALSE(holes->HitTest(o, x, y));
            }
        const int outside[][2] = {{-1, 0}, {0, -1}, {2, 0}, {0, 2}, {2, 2}, {-1, -1}};
        for (const auto& p : outside)
            EXPECT_FALSE(solid->HitTest(o, p[0], p[1])) << p[0] << "," << p[1];
    }
}

// A turned copy is made on the first draw that needs it and then kept: orientation o and
// o + 4 share it, and clearing the scale cache leaves it.
TEST(MvTileResource, TurnedCopiesAreMadeOnFirstNeedAndKept)
{
    std::unique_ptr<MvTileResource> tile(MakeTile("lazy", 5, {"RG", "B1"}));
    PaintedScreen screen(2, 2);
    tile->Draw(screen.Target(), At(0, 0), 4, MvColorXform(), screen.Whole(), 3, 0);
    EXPECT_EQ(nullptr, tile->Block(1));
    EXPECT_EQ(nullptr, tile->Block(2));
    EXPECT_EQ(nullptr, tile->Block(3));

    tile->Draw(screen.Target(), At(0, 0), 5, MvColorXform(), screen.Whole(), 3, 0);
    const MvPixelBlock* turned = tile->Block(1);
    ASSERT_NE(nullptr, turned);
    EXPECT_EQ(nullptr, tile->Block(2));
    EXPECT_EQ((std::vector<MvColor>{PaletteColor('B'), PaletteColor('R'), PaletteColor('1'), PaletteColor('G')}),
              PixelsOf(*turned));
    tile->Draw(screen.Target(), At(0, 0), 1, MvColorXform(), screen.Whole(), 3, 0);
    EXPECT_EQ(turned, tile->Block(1));
    tile->ClearScaleCache();
    EXPECT_EQ(turned, tile->Block(1));
    EXPECT_EQ("BR|1G", screen.Show("RGB1"));
}

// ---------------------------------------------------------------------------------------
// Scaled drawing and the scale cache

// Without a cached copy a scaled tile is sampled while drawing, by the quality asked for.
// A cached copy, made once with the best quality (box sampling at 0.5), is drawn
// unscaled in every orientation whatever the quality asked for: turned, and mirrored for
// orientations 4 to 7. Clearing the cache brings back sampling while drawing.
TEST(MvTileResource, TheScaleCacheServesEveryOrientationAtItsScale)
{
    std::unique_ptr<MvTileResource> tile(MakeGradientTile());
    // Box at 0.5: 35 55 / 155 175. Nearest at 0.5: 0 20 / 120 140.
    const std::vector<int> boxed[8] = {
        {35, 55, 155, 175}, {155, 35, 175, 55}, {175, 155, 55, 35}, {55, 175, 35, 155},
        {155, 175, 35, 55}, {175, 55, 155, 35}, {55, 35, 175, 155}, {35, 155, 55, 175},
    };
    auto draw = [&](int orientation, int quality) {
        PaintedScreen screen(2, 2);
        tile->Draw(screen.Target(), At(0, 0, 0.5, 0.5), orientation, MvColorXform(), screen.Whole(), quality, 0);
        return screen.Reds();
    };
    EXPECT_EQ((std::vector<int>{0, 20, 120, 140}), draw(0, MvPixelBlock::QualityNearest));
    EXPECT_EQ(boxed[0], draw(0, MvPixelBlock::QualityBest));
    EXPECT_EQ(boxed[1], draw(1, MvPixelBlock::QualityBest)) << "the turned copy is sampled";

    EXPECT_FALSE(tile->HasScaleCache(Half, Half));
    tile->AddScaleCache(Half, Half);
    EXPECT_TRUE(tile->HasScaleCache(Half, Half));
    EXPECT_FALSE(tile->HasScaleCache(Half, MvFixed::FromRaw(MvFixedOne / 2 + 1)));
    EXPECT_EQ(1, tile->ScaleCacheCount());
    for (int o = 0; o < 8; ++o)
        EXPECT_EQ(boxed[o], draw(o, MvPixelBlock::QualityNearest)) << "orientation " << o;

    // At scale 1.0 the cache is not used.
    PaintedScreen whole(4, 4);
    tile->Draw(whole.Target(), At(0, 0), 0, MvColorXform(), whole.Whole(), MvPixelBlock::QualityNearest, 0);
    EXPECT_EQ(60, whole.Reds()[4]);

    tile->ClearScaleCache();
    EXPECT_FALSE(tile->HasScaleCache(Half, Half));
    EXPECT_EQ(0, tile->ScaleCacheCount());
    EXPECT_EQ((std::vector<int>{0, 20, 120, 140}), draw(0, MvPixelBlock::QualityNearest));
}

// Asking again for a cached scale logs it and changes nothing; the vault's AddScaleCache
// reaches its tiles.
TEST(MvTileResource, CachingAScaleTwiceOnlyLogs)
{
    MvResourceVault vault;
    MvTileResource* tile = MakeGradientTile();
    vault.AppendResource(tile);
    vault.AddScaleCache(Half, Half);
    ASSERT_TRUE(tile->HasScaleCache(Half, Half));
    PaintedScreen before(2, 2);
    tile->Draw(before.Target(), At(0, 0, 0.5, 0.5), 0, MvColorXform(), before.Whole(), 1, 0);

    MvLogCapture log;
    tile->AddScaleCache(Half, Half);
    EXPECT_EQ("Scale 0.500000 0.500000 already cached in tile resource.\n", log.Text());
    EXPECT_EQ(1, tile->ScaleCacheCount());
    PaintedScreen after(2, 2);
    tile->Draw(after.Target(), At(0, 0, 0.5, 0.5), 0, MvColorXform(), after.Whole(), 1, 0);
    EXPECT_EQ(before.Reds(), after.Reds());

    const MvFixed third = MvFixed::FromRaw(MvFixedOne / 3);
    tile->AddScaleCache(third, third);
    EXPECT_EQ(2, tile->ScaleCacheCount());
    vault.ClearScaleCache();
    EXPECT_EQ(0, tile->ScaleCacheCount());
}

// A tile with alpha keeps its alpha in the cached copy: transparent boxes stay
// transparent on screen.
TEST(MvTileResource, CachedCopiesOfTilesWithAlphaKeepTheirHoles)
{
    std::unique_ptr<MvTileResource> tile(MakeTile("holes", 6, {"..RR", "..RR", "GG..", "GG.."}));
    tile->AddScaleCache(Half, Half);
    const struct {
        int orientation;
        const char* shown;
    } cases[] = {{0, ".R|G."}, {1, "G.|.R"}, {6, "R.|.G"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.orientation);
        PaintedScreen screen(2, 2);
        tile->Draw(screen.Target(), At(0, 0, 0.5, 0.5), c.orientation, MvColorXform(), screen.Whole(), 3, 0);
        EXPECT_EQ(c.shown, screen.Show("RG"));
    }
}

// ---------------------------------------------------------------------------------------
// Tile records

// The stored tile record, byte by byte: type 3, size, name, id, then the pixel block.
std::vector<uint8_t> TileRecord(const char* name, uint32_t id, uint32_t flags, uint32_t width, uint32_t height,
                                const std::vector<uint8_t>& pixels)
{
    ByteBuilder payload;
    payload.Name(name).U32(id).U32(flags).U32(width).U32(height).Raw(pixels);
    return Record(3, payload.Bytes());
}

// Save writes exactly the record the reader reads: 3 bytes a pixel without alpha, 4
// with; the pixels go into the writer's tallies.
TEST(MvTileResource, SaveWritesTheRecordTheReaderReads)
{
    const struct {
        const char* what;
        std::vector<std::string> picture;
        std::vector<uint8_t> record;
    } cases[] = {
        {"without alpha", {"RG", "B1"},
         TileRecord("t", 9, 0, 2, 2, {255, 0, 0, 0, 255, 0, 0, 0, 255, 25, 180, 10})},
        {"with alpha", {"a.", "dR"},
         TileRecord("t", 9, 1, 2, 2, {200, 100, 50, 128, 0, 0, 0, 0, 30, 60, 90, 254, 255, 0, 0, 255})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::unique_ptr<MvTileResource> tile(MakeTile("t", 9, c.picture));
        MvMemoryStream stream;
        MvResourceWriter writer(stream.Stream());
        MvLogCapture log(MvLogCapture::QuietStdout);
        tile->Save(writer);
        EXPECT_FALSE(writer.Failed());
        EXPECT_EQ(c.record, stream.Bytes());
        EXPECT_EQ(4, writer.PixelTally());
        EXPECT_EQ(0, writer.LineTally());
        EXPECT_EQ(0, writer.SegmentTally());

        MvMemoryStream in(c.record.data() + 8, c.record.size() - 8);
        MvResourceReader reader(in.Stream(), "tiles.dat");
        MvTileResource back(static_cast<uint32_t>(c.record.size() - 8), reader);
        EXPECT_FALSE(reader.Failed());
        EXPECT_EQ(0, reader.Remaining());
        EXPECT_STREQ("t", back.Name());
        EXPECT_EQ(9, back.Id());
        EXPECT_EQ(2, back.Size());
        EXPECT_EQ(tile->Block(0)->HasAlpha(), back.Block(0)->HasAlpha());
        EXPECT_EQ(PixelsOf(*tile->Block(0)), PixelsOf(*back.Block(0)));
        // Read while no load is under way: the tile's pixels are its own.
        EXPECT_EQ(0u, back.Block(0)->Flags() & MvPixelBlock::InPoolFlag);
    }
}

// A file with tiles and a sprite loads into the vault: the tiles are found by name and
// id, their pixels lie in the vault's pixel pool, and the tally counts sprite and tile
// pixels together.
TEST(MvTileResource, LoadsFromAResourceFileIntoThePixelPool)
{
    std::unique_ptr<MvSpriteResource> sprite(MakeSprite("hero", 1, {{"Stand", 1, {{{"RG"}, 0, 0, 0, 0}}}}));
    std::unique_ptr<MvTileResource> ground(MakeTile("ground", 2, {"RG", "B1"}));
    std::unique_ptr<MvTileResource> fence(MakeTile("fence", 3, {"R.a", "...", "d.G"}));
    std::vector<uint8_t> file;
    {
        MvLogCapture quiet(MvLogCapture::QuietStdout);
        file = SaveFile({sprite.get(), ground.get(), fence.get()});
    }
    ASSERT_GT(file.size(), 14u);
    EXPECT_EQ(2u + 4u + 9u, uint32_t(file[10] | file[11] << 8 | file[12] << 16 | file[13] << 24));

    MvResourceVault vault;
    MvLogCapture log(MvLogCapture::QuietStdout);
    const int64_t counted = MvBlockPixelCounter();
    ASSERT_TRUE(vault.LoadDatFileFromMemory(file.data(), static_cast<int>(file.size()))) << log.Text();
    EXPECT_EQ(counted + 4 + 9, MvBlockPixelCounter());
    EXPECT_TRUE(log.Contains("Creating tile resource 'ground' id=2\n"));
    EXPECT_TRUE(log.Contains("Creating tile resource 'fence' id=3\n"));
    EXPECT_EQ(3, vault.ResourceCount());
    MvTileResource* loadedGround = vault.FindTileResource("ground");
    ASSERT_NE(nullptr, loadedGround);
    EXPECT_EQ(loadedGround, vault.FindTileResource(2));
    EXPECT_EQ(loadedGround, vault.FindResource("Tile", "ground"));
    EXPECT_EQ(nullptr, vault.FindTileResource("hero"));
    EXPECT_EQ(nullptr, vault.FindSpriteResource("ground"));
    MvTileResource* loadedFence = vault.FindTileResource(3);
    ASSERT_NE(nullptr, loadedFence);
    for (const MvTileResource* t : {loadedGround, loadedFence}) {
        EXPECT_NE(0u, t->Block(0)->Flags() & MvPixelBlock::InPoolFlag) << t->Name();
    }
    EXPECT_FALSE(loadedGround->Block(0)->HasAlpha());
    EXPECT_TRUE(loadedFence->Block(0)->HasAlpha());
    EXPECT_EQ(PixelsOf(*ground->Block(0)), PixelsOf(*loadedGround->Block(0)));
    EXPECT_EQ(PixelsOf(*fence->Block(0)), PixelsOf(*loadedFence->Block(0)));

    // Turned and scaled copies of a loaded tile are the tile's own, freed with it.
    PaintedScreen screen(3, 3);
    loadedFence->Draw(screen.Target(), At(0, 0), 3, MvColorXform(), screen.Whole(), 3, 0);
    EXPECT_EQ(0u, loadedFence->Block(3)->Flags() & MvPixelBlock::InPoolFlag);
    loadedFence->AddScaleCache(Half, Half);
}

// Every malformed tile record is refused with one message naming the file, the byte and
// what is wrong; the vault keeps nothing of the file.
TEST(MvTileResource, RefusesMalformedTileRecords)
{
    const std::vector<uint8_t> onePixel = {1, 2, 3};
    auto truncated = [](std::vector<uint8_t> record, size_t drop, uint32_t size) {
        record.resize(record.size() - drop);
        for (int i = 0; i < 4; ++i)
            record[4 + i] = static_cast<uint8_t>(size >> (8 * i));
        return record;
    };
    const struct {
        const char* what;
        std::vector<uint8_t> file;
        const char* message;
    } cases[] = {
        {"a tile that is not square", FileOf({TileRecord("wide", 1, 0, 2, 1, {1, 2, 3, 4, 5, 6})}, 2),
         "at byte 43: tile 'wide' is 2 x 1 pixels, but a tile must be square"},
        {"a negative size", FileOf({TileRecord("neg", 1, 0, 0xFFFFFFFF, 0xFFFFFFFF, onePixel)}, 1),
         "at byte 42: the pixel block size -1 x -1 lies outside 0..16383"},
        {"a size beyond the record", FileOf({TileRecord("big", 1, 0, 2, 2, onePixel)}, 1),
         "at byte 50: the pixel block of 2 x 2 pixels needs 12 bytes, but the data ends early (3 bytes left)"},
        {"more pixels than the tally",
         FileOf({TileRecord("t", 1, 0, 1, 1, onePixel), TileRecord("u", 2, 0, 1, 1, onePixel)}, 1),
         "at byte 65: the images hold more pixels than the file's tally"},
        {"fewer pixels than the tally", FileOf({TileRecord("t", 1, 0, 1, 1, onePixel)}, 2),
         "the tallies rgba=2 line=0 segment=0 do not match the records (rgba=1 line=0 segment=0)"},
        {"a record size shorter than the tile",
         FileOf({truncated(TileRecord("t", 1, 0, 1, 1, onePixel), 1, 20)}, 1),
         "the pixel block of 1 x 1 pixels needs 3 bytes, but the data ends early (2 bytes left)"},
        {"a record that ends in its name", FileOf({truncated(TileRecord("tile", 1, 0, 1, 1, onePixel), 0, 2)}, 1),
         "the data passes the end of its record"},
        {"a record size longer than the tile", FileOf({TileRecord("t", 1, 0, 1, 1, {1, 2, 3, 4})}, 1),
         "the record's payload ends after 21 of the 22 bytes its size gives"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_TRUE(FreshVaultRefuses(c.file, c.message));
    }
}

// Every shortened copy of a file with tiles is refused without a crash, a leak or a
// sanitizer report; the whole file loads.
TEST(MvTileResource, EveryTruncatedTileFileIsRefused)
{
    std::unique_ptr<MvTileResource> solid(MakeTile("solid", 1, {"RG", "B1"}));
    std::unique_ptr<MvTileResource> holes(MakeTile("holes", 2, {"a.", ".d"}));
    std::vector<uint8_t> file;
    {
        MvLogCapture quiet(MvLogCapture::QuietStdout);
        file = SaveFile({solid.get(), holes.get()});
    }
    ExpectEveryTruncationRefused(file, 2);
}

TEST(MvTileResourceDeathTest, BrokenPreconditionsAreCaught)
{
    std::unique_ptr<MvTileResource> tile(MakeTile("t", 1, {"RG", "B1"}));
    PaintedScreen screen(2, 2);
    volatile int pastTheLastSlot = 4; // not a constant, which the compiler would flag
    SurfacePtr picture = MakePicture({"RG", "B1"});
    MvPaintTarget source(picture.get());
    const char* const orientation = "orientation >= 0 && orientation <= 7";
    const MvDeathCase cases[] = {
        {"a scale that is not square", [&] { tile->AddScaleCache(Half, MvFixed::FromInt(2)); }, "xScale == yScale"},
        {"scale 0", [&] { tile->AddScaleCache(MvFixed::FromInt(0), MvFixed::FromInt(0)); }, "xScale > 0"},
        {"HitTest in orientation 8", [&] { tile->HitTest(8, 0, 0); }, orientation},
        {"HitTest in orientation -1", [&] { tile->HitTest(-1, 0, 0); }, orientation},
        {"Draw in orientation 8",
         [&] { tile->Draw(screen.Target(), At(0, 0), 8, MvColorXform(), screen.Whole(), 3, 0); },
         orientation},
        {"a block slot past the last", [&] { tile->Block(pastTheLastSlot); }, "slot >= 0 && slot <= 3"},
        {"a square past the source", [&] { MvTileResource("big", source, 1, 0, 2); },
         "x + width <= source.Width() && y + height <= source.Height()"},
        {"no name", [&] { MvTileResource(nullptr, source, 0, 0, 2); }, "name != nullptr"},
    };
    for (const MvDeathCase& c : cases)
        EXPECT_DEATH(c.call(), MvFailedCheck(c.condition)) << c.what;
}

} // namespace
