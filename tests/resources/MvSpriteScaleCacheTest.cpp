// Caching scales in actions, sprite resources and fonts: every frame of every action gets
// its copy, a pair is matched exactly (x and y not interchangeable), a second request is
// logged and changes nothing, drawing and bounds at the pair use the copies, and the
// copies are freed with the cache (the sanitizer build checks for leaks).

#include "ResourceTestSupport.h"

#include "MvAction.h"
#include "MvFailedCheck.h"
#include "MvFontResource.h"
#include "MvResourceVault.h"
#include "MvRle.h"
#include "MvSplashData.h"
#include "MvSpriteResource.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace restest;

const MvFixed kOne = MvFixed::FromInt(1);
const MvFixed kTwo = MvFixed::FromInt(2);
const MvFixed kHalf = MvFixed::FromRaw(MvFixedOne / 2);

// Two actions of two and one frames, and one action without frames.
MvSpriteResource* MakeHero()
{
    return MakeSprite("hero", 4, {{"Walk", 1, {{{"RR..", "RRGG"}, 1, 1, 2, 0}, {{"B.", "BB", ".B"}, 0, 2, 3, 0}}},
                                  {"Stand", 2, {{{"W"}, 0, 0, 0, 0}}},
                                  {"Empty", 3, {}}});
}

// Same size, offset, delta and runs.
void ExpectSameImage(const MvRle& expected, const MvRle& actual)
{
    EXPECT_EQ(expected.Width(), actual.Width());
    EXPECT_EQ(expected.Height(), actual.Height());
    EXPECT_EQ(expected.OffsetX(), actual.OffsetX());
    EXPECT_EQ(expected.OffsetY(), actual.OffsetY());
    EXPECT_EQ(expected.DeltaX(), actual.DeltaX());
    EXPECT_EQ(expected.DeltaY(), actual.DeltaY());
    ASSERT_EQ(expected.Height(), actual.Height());
    for (int k = 0; k < expected.Height(); ++k) {
        const MvRleLine& a = expected.Row(k);
        const MvRleLine& b = actual.Row(k);
        ASSERT_EQ(a.segmentCount, b.segmentCount) << "row " << k;
        for (int s = 0; s < a.segmentCount; ++s) {
            EXPECT_EQ(a.segments[s].start, b.segments[s].start);
            ASSERT_EQ(a.segments[s].end, b.segments[s].end);
            EXPECT_EQ(0, std::memcmp(a.segments[s].pixels, b.segments[s].pixels,
                                     sizeof(MvColor) * static_cast<size_t>(a.segments[s].Length())));
        }
    }
}

// The sprite resource caches the pair in every action, in order; each frame's copy is
// the frame's MakeScaledCopy at that pair. The pair (x, y) is not the pair (y, x).
TEST(MvSpriteScaleCache, EveryFrameOfEveryActionGetsItsCopy)
{
    std::unique_ptr<MvSpriteResource> hero(MakeHero());
    EXPECT_FALSE(hero->HasScaleCache(kTwo, kHalf));
    hero->AddScaleCache(kTwo, kHalf);
    EXPECT_TRUE(hero->HasScaleCache(kTwo, kHalf));
    EXPECT_FALSE(hero->HasScaleCache(kHalf, kTwo));
    EXPECT_FALSE(hero->HasScaleCache(kTwo, kTwo));
    for (int a = 0; a < hero->ActionCount(); ++a) {
        const MvAction* action = hero->ActionAt(a);
        SCOPED_TRACE(action->Name());
        EXPECT_TRUE(action->HasScaleCache(kTwo, kHalf));
        EXPECT_FALSE(action->HasScaleCache(kHalf, kTwo));
        EXPECT_EQ(1, action->ScaleCacheCount());
        for (int f = 0; f < action->FrameCount(); ++f) {
            SCOPED_TRACE(f);
            const MvRle* cached = action->CachedFrameAt(kTwo, kHalf, f);
            ASSERT_NE(nullptr, cached);
            EXPECT_NE(action->FrameAt(f), cached);
            std::unique_ptr<MvRle> expected(action->FrameAt(f)->MakeScaledCopy(kTwo, kHalf));
            ExpectSameImage(*expected, *cached);
            EXPECT_EQ(nullptr, action->CachedFrameAt(kHalf, kTwo, f));
        }
    }

    // A second pair is an entry of its own.
    hero->AddScaleCache(kHalf, kTwo);
    EXPECT_TRUE(hero->HasScaleCache(kHalf, kTwo));
    EXPECT_EQ(2, hero->ActionAt(0)->ScaleCacheCount());
}

// Asking again for a cached pair logs one line per action and keeps the copies made the
// first time.
TEST(MvSpriteScaleCache, CachingAPairTwiceIsLoggedAndAddsNothing)
{
    std::unique_ptr<MvSpriteResource> hero(MakeHero());
    hero->AddScaleCache(kTwo, kHalf);
    const MvRle* first = hero->ActionAt(0)->CachedFrameAt(kTwo, kHalf, 1);

    MvLogCapture log(MvLogCapture::QuietStdout);
    hero->AddScaleCache(kTwo, kHalf);
    const std::string line = "Scale 2.000000 0.500000 already cached in MvAction (used by sprite resource).\n";
    EXPECT_EQ(line + line + line, log.Text());
    for (int a = 0; a < hero->ActionCount(); ++a)
        EXPECT_EQ(1, hero->ActionAt(a)->ScaleCacheCount());
    EXPECT_EQ(first, hero->ActionAt(0)->CachedFrameAt(kTwo, kHalf, 1));

    log.Clear();
    hero->ActionAt(1)->AddScaleCache(MvFixed::FromDouble(0.75), kOne);
    hero->ActionAt(1)->AddScaleCache(MvFixed::FromDouble(0.75), kOne);
    EXPECT_EQ("Scale 0.750000 1.000000 already cached in MvAction (used by sprite resource).\n", log.Text());
}

// At a cached pair, bounds and drawing take the copy placed unscaled; at any other scale
// (or with an empty cache again) the frame is scaled while drawing.
TEST(MvSpriteScaleCache, DrawingAndBoundsAtTheCachedPairUseTheCopies)
{
    std::unique_ptr<MvSpriteResource> sprite(MakeSprite("bar", 0, {{"Stand", 1, {{{"R..R"}, 0, 0, 0, 0}}}}));
    MvAction* stand = sprite->ActionAt(0);
    MvTransform t = MvTransform::Identity();
    t.x = MvFixed::FromInt(3);
    t.y = MvFixed::FromInt(2);
    t.xScale = t.yScale = kTwo;

    SurfacePtr screen(SDL_CreateRGBSurface(SDL_SWSURFACE, 16, 8, 32, 0xFF0000, 0xFF00, 0xFF, 0));
    MvPaintTarget target(screen.get());
    const MvIntRect all = MvMakeRect(0, 0, 15, 7);
    // Red amount in screen row 2, columns 3 to 10 (where the sprite lies).
    auto redRow = [&]() {
        std::vector<int> reds;
        const uint32_t* row = reinterpret_cast<const uint32_t*>(static_cast<uint8_t*>(screen->pixels) +
                                                                2 * screen->pitch);
        for (int x = 3; x <= 10; ++x)
            reds.push_back(static_cast<int>((row[x] >> 16) & 0xFF));
        return reds;
    };

    MvIntRect bounds;
    stand->ComputeBounds(0, t, &bounds);
    EXPECT_EQ(MvMakeRect(3, 2, 10, 3), bounds);
    SDL_FillRect(screen.get(), nullptr, 0);
    stand->Draw(target, 0, t, MvColorXform(), all, 0);
    EXPECT_EQ((std::vector<int>{255, 255, 0, 0, 0, 0, 255, 255}), redRow()) << "nearest sampling while drawing";

    sprite->AddScaleCache(kTwo, kTwo);
    stand->ComputeBounds(0, t, &bounds);
    EXPECT_EQ(MvMakeRect(3, 2, 10, 3), bounds);
    SDL_FillRect(screen.get(), nullptr, 0);
    stand->Draw(target, 0, t, MvColorXform(), all, 0);
    // The bilinear copy fades out from each red pixel towards the gap between them.
    const std::vector<int> fromCopy = redRow();
    EXPECT_EQ(255, fromCopy[0]);
    EXPECT_GT(fromCopy[1], 0);
    EXPECT_LT(fromCopy[1], 255);
    EXPECT_GT(fromCopy[2], 0);
    EXPECT_EQ(0, fromCopy[3]);
    EXPECT_EQ(0, fromCopy[5]);
    EXPECT_GT(fromCopy[6], 0);

    sprite->ClearScaleCache();
    EXPECT_FALSE(sprite->HasScaleCache(kTwo, kTwo));
    EXPECT_EQ(0, stand->ScaleCacheCount());
    SDL_FillRect(screen.get(), nullptr, 0);
    stand->Draw(target, 0, t, MvColorXform(), all, 0);
    EXPECT_EQ((std::vector<int>{255, 255, 0, 0, 0, 0, 255, 255}), redRow());
}

// A font is a sprite resource: it caches its glyph frames the same way.
TEST(MvSpriteScaleCache, FontsCacheTheirGlyphs)
{
    SurfacePtr picture = MakePicture({"RR.G", "R.GG"});
    MvPaintTarget image(picture.get());
    MvFontResource font("f", image, 'a', ' ', MvFontResource::FixedCells, 2);
    ASSERT_EQ(1, font.ActionCount());
    ASSERT_EQ(2, font.ActionAt(0)->FrameCount());
    MvResource& resource = font;
    resource.AddScaleCache(kTwo, kTwo);
    EXPECT_TRUE(font.HasScaleCache(kTwo, kTwo));
    for (int f = 0; f < 2; ++f) {
        const MvRle* cached = font.ActionAt(0)->CachedFrameAt(kTwo, kTwo, f);
        ASSERT_NE(nullptr, cached);
        EXPECT_EQ(4, cached->Width());
        EXPECT_EQ(4, cached->Height());
    }
}

// The vault caches the pair in every resource it holds. Frames read from a file keep
// their storage in the vault's load pools; their copies are the action's own and are
// freed with it, or earlier by ClearScaleCache.
TEST(MvSpriteScaleCache, TheVaultCachesSpritesReadFromAFile)
{
    MvLogCapture quiet(MvLogCapture::QuietStdout);
    MvResourceVault vault;
    ASSERT_TRUE(vault.LoadDatFileFromMemory(MvSplashFile, MvSplashFileSize));
    MvSpriteResource* text = vault.FindSpriteResource("splashText");
    ASSERT_NE(nullptr, text);
    const MvRle* frame = text->FindAction("NONE")->FrameAt(0);

    vault.AddScaleCache(kHalf, kHalf);
    ASSERT_TRUE(text->HasScaleCache(kHalf, kHalf));
    const MvRle* half = text->FindAction("NONE")->CachedFrameAt(kHalf, kHalf, 0);
    ASSERT_NE(nullptr, half);
    std::unique_ptr<MvRle> expected(frame->MakeScaledCopy(kHalf, kHalf));
    ExpectSameImage(*expected, *half);
    EXPECT_LT(half->Width(), frame->Width());

    vault.ClearScaleCache();
    EXPECT_FALSE(text->HasScaleCache(kHalf, kHalf));
    vault.AddScaleCache(kTwo, kTwo); // left for the vault's destruction to free
    EXPECT_TRUE(vault.FindSpriteResource("splash")->HasScaleCache(kTwo, kTwo));
}

TEST(MvSpriteScaleCacheDeathTest, ScalesMustBePositive)
{
    std::unique_ptr<MvSpriteResource> hero(MakeHero());
    const std::string positive = MvFailedCheck("xScale > 0 && yScale > 0");
    EXPECT_DEATH(hero->AddScaleCache(MvFixed::FromInt(0), kTwo), positive);
    EXPECT_DEATH(hero->ActionAt(2)->AddScaleCache(kTwo, MvFixed::FromInt(-2)), positive);
}

} // namespace
