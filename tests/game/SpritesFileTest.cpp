// The game's resource file as the build makes it: it loads into a vault and holds every
// sprite, action and glyph the game asks for, and its pictures fit the game's rules. The
// contact rules compare hot-spot positions and test pixels, so the numbers checked here
// (where the feet are, how wide the hero is, how tall an enemy is, how far a moving
// platform travels) decide whether the hero can stand, walk away from a wall and stomp.

#include "MvAction.h"
#include "MvFixed.h"
#include "MvIntRect.h"
#include "MvResourceVault.h"
#include "MvRle.h"
#include "MvSpriteResource.h"
#include "MvTransform.h"
#include "SpriteIds.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#ifndef MOVO_SPRITES_FILE
#error "MOVO_SPRITES_FILE must name the Images/Sprites.dat the build makes"
#endif

namespace {

// Numbers of the game's rules that the pictures have to suit.
const int PlatformSize = 25;      // the layout grid and the platform pictures
const int WallPushLeft = -12;     // hero x after touching a wall on its right: wall x - 12
const int WallPushRight = 36;     // hero x after touching a wall on its left: wall x + 36
const int FallSpeed = 10;         // pixels per tick of every fall
const int StompBandHigh = -30;    // a stomp needs enemy y - 30 < hero y < enemy y - 10
const int StompBandLow = -10;
const int GlyphAdvance = 7;       // layout pixels from one glyph to the next
const int32_t LabelScaleRaw = 78643; // 1.2 in 16.16

class SpritesFileTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        vault_ = new MvResourceVault;
        loaded_ = vault_->LoadDatFile(MOVO_SPRITES_FILE);
    }
    static void TearDownTestSuite()
    {
        delete vault_;
        vault_ = nullptr;
    }
    void SetUp() override { ASSERT_TRUE(loaded_) << "cannot load " << MOVO_SPRITES_FILE; }

    static MvSpriteResource* Sprite(int id) { return vault_->FindSpriteResource(id); }
    static MvSpriteResource* Sprite(const char* name) { return vault_->FindSpriteResource(name); }

    static MvResourceVault* vault_;
    static bool loaded_;
};

MvResourceVault* SpritesFileTest::vault_ = nullptr;
bool SpritesFileTest::loaded_ = false;

// Every frame of every action of sprite, with a label for failure messages.
struct FrameRef {
    std::string where;
    const MvRle* rle;
};

std::vector<FrameRef> FramesOf(const MvSpriteResource* sprite)
{
    std::vector<FrameRef> frames;
    for (int a = 0; a < sprite->ActionCount(); ++a) {
        const MvAction* action = sprite->ActionAt(a);
        for (int f = 0; f < action->FrameCount(); ++f)
            frames.push_back({std::string(sprite->Name()) + " \"" + action->Name() + "\" frame " + std::to_string(f),
                              action->FrameAt(f)});
    }
    return frames;
}

// True when both images have the same size, offsets and pixels.
bool SamePicture(const MvRle& a, const MvRle& b)
{
    if (a.Width() != b.Width() || a.Height() != b.Height() || a.OffsetX() != b.OffsetX() ||
        a.OffsetY() != b.OffsetY())
        return false;
    for (int y = 0; y < a.Height(); ++y) {
        const MvRleLine& rowA = a.Row(y);
        const MvRleLine& rowB = b.Row(y);
        if (rowA.segmentCount != rowB.segmentCount)
            return false;
        for (int s = 0; s < rowA.segmentCount; ++s) {
            const MvRleSegment& segA = rowA.segments[s];
            const MvRleSegment& segB = rowB.segments[s];
            if (segA.start != segB.start || segA.end != segB.end)
                return false;
            for (int i = 0; i < segA.Length(); ++i)
                if (segA.pixels[i] != segB.pixels[i])
                    return false;
        }
    }
    return true;
}

// Counts opaque pixels that are clearly red and clearly blue.
void CountRedAndBlue(const MvRle& rle, int* red, int* blue)
{
    *red = *blue = 0;
    for (int y = 0; y < rle.Height(); ++y) {
        const MvRleLine& row = rle.Row(y);
        for (int s = 0; s < row.segmentCount; ++s) {
            const MvRleSegment& segment = row.segments[s];
            for (int i = 0; i < segment.Length(); ++i) {
                const MvColor& c = segment.pixels[i];
                if (c.red > c.blue + 64 && c.red > c.green + 64)
                    ++*red;
                if (c.blue > c.red + 64 && c.blue > c.green + 64)
                    ++*blue;
            }
        }
    }
}

// The sprites the game finds by id, with the actions it selects by name or by id.
struct IdSprite {
    int id;
    std::vector<const char*> actionNames;
    std::vector<int> actionIds;
};

const IdSprite IdSprites[] = {
    {kSpriteMulgo, {}, {}},
    {kSpriteShellox, {}, {SpriteShelloxActions::kWalkLeft, SpriteShelloxActions::kWalkRight}},
    {kSpriteRocketto, {}, {}},
    {kSpriteHero, {"Stand.Left", "Stand.Right", "Walk.Left", "Walk.Right", "Jump.Left", "Jump.Right"}, {}},
    {kSpriteRedFlag, {}, {}},
    {kSpriteBlueFlag, {}, {}},
    {kSpriteGlyphs, {}, {}}, // the glyphs have their own test
    {kSpriteSnapvine, {}, {}},
    {kSpriteThornel, {}, {SpriteThornelActions::kWalkLeft, SpriteThornelActions::kWalkRight}},
};

const char* const PlatformNames[] = {"MidGrass", "Dirt", "NormBlock", "Bricks", "Floor", "MovingPlatform"};
const char* const SceneryNames[] = {"cloudA", "Meadow", "Bush"};
const char GlyphChars[] = "0123456789ABCDEFGHILMNOPQRSTUVWXY";

TEST_F(SpritesFileTest, HoldsEverySpriteAndActionTheGameSelects)
{
    for (const IdSprite& want : IdSprites) {
        const MvSpriteResource* sprite = Sprite(want.id);
        ASSERT_NE(sprite, nullptr) << "sprite id " << want.id;
        EXPECT_GT(sprite->ActionCount(), 0) << "sprite id " << want.id;
        for (const char* name : want.actionNames)
            EXPECT_NE(sprite->FindAction(name), nullptr) << "sprite id " << want.id << " action " << name;
        for (int id : want.actionIds)
            EXPECT_NE(sprite->FindAction(id), nullptr) << "sprite id " << want.id << " action id " << id;
    }
    for (const char* name : PlatformNames)
        EXPECT_NE(Sprite(name), nullptr) << name;
    for (const char* name : SceneryNames)
        EXPECT_NE(Sprite(name), nullptr) << name;
}

TEST_F(SpritesFileTest, EveryActionHasFramesAndEveryFrameHasPixels)
{
    for (int i = 0; i < vault_->ResourceCount(); ++i) {
        MvSpriteResource* sprite = vault_->ResourceAt(i)->AsSpriteResource();
        ASSERT_NE(sprite, nullptr) << "resource " << i << " is not a sprite";
        for (int a = 0; a < sprite->ActionCount(); ++a)
            EXPECT_GT(sprite->ActionAt(a)->FrameCount(), 0) << sprite->Name() << " " << sprite->ActionAt(a)->Name();
        for (const FrameRef& frame : FramesOf(sprite))
            EXPECT_GT(frame.rle->PixelCount(), 0) << frame.where;
    }
}

// Hero and enemies stand on their hot spot: the bottom row of every frame is the hot
// spot's row, so feet placed at a platform's y overlap the platform's top row and the
// pixel contact holds while standing; the hot spot lies in the middle of that row; no
// frame moves the sprite on its own.
TEST_F(SpritesFileTest, HeroAndEnemyFramesStandOnTheMiddleOfTheirBottomRow)
{
    for (int id : {kSpriteMulgo, kSpriteShellox, kSpriteRocketto, kSpriteHero, kSpriteSnapvine, kSpriteThornel}) {
        const MvSpriteResource* sprite = Sprite(id);
        ASSERT_NE(sprite, nullptr) << "sprite id " << id;
        for (const FrameRef& frame : FramesOf(sprite)) {
            const MvRle& rle = *frame.rle;
            EXPECT_EQ(rle.OffsetY() + rle.Height() - 1, 0) << frame.where;
            // Twice the distance from the hot spot to the frame's middle column.
            const int offCentre = 2 * rle.OffsetX() + rle.Width() - 1;
            EXPECT_LE(std::abs(offCentre), 4) << frame.where << ": hot spot not in the middle";
            EXPECT_EQ(rle.DeltaX(), 0) << frame.where;
            EXPECT_EQ(rle.DeltaY(), 0) << frame.where;
        }
    }
}

// A hero pushed back from a wall must not touch it any more, or the next event pushes it
// again and stops it: at wall x - 12 its rightmost column has to stay left of the wall,
// at wall x + 36 its leftmost column right of the wall's last column.
TEST_F(SpritesFileTest, HeroIsAboutTwentyFourWideAndClearsAWallAfterThePushBack)
{
    const MvSpriteResource* hero = Sprite(kSpriteHero);
    ASSERT_NE(hero, nullptr);
    int widest = 0;
    for (const FrameRef& frame : FramesOf(hero)) {
        const MvRle& rle = *frame.rle;
        const int wallX = 1000;
        const int rightmost = wallX + WallPushLeft + rle.OffsetX() + rle.Width() - 1;
        const int leftmost = wallX + WallPushRight + rle.OffsetX();
        EXPECT_LT(rightmost, wallX) << frame.where;
        EXPECT_GT(leftmost, wallX + PlatformSize - 1) << frame.where;
        EXPECT_GE(rle.Height(), 32) << frame.where;
        EXPECT_LE(rle.Height(), 40) << frame.where;
        widest = std::max(widest, rle.Width());
    }
    EXPECT_GE(widest, 20);
}

// A hero falling 10 pixels per tick first touches a plain enemy's top while its feet are
// inside the stomp band, so landing on it is a stomp and not a side contact.
TEST_F(SpritesFileTest, AFallingHeroMeetsAPlainEnemyInsideTheStompBand)
{
    for (int id : {kSpriteMulgo, kSpriteShellox, kSpriteRocketto}) {
        const MvSpriteResource* sprite = Sprite(id);
        ASSERT_NE(sprite, nullptr) << "sprite id " << id;
        for (const FrameRef& frame : FramesOf(sprite)) {
            const MvRle& rle = *frame.rle;
            // Feet at hy touch the enemy's top row once hy >= ey + OffsetY(); the first
            // touching position lies within one fall step of that.
            const int firstTouch = rle.OffsetY();
            const int lastFirstTouch = rle.OffsetY() + FallSpeed - 1;
            EXPECT_GT(firstTouch, StompBandHigh) << frame.where;
            EXPECT_LT(lastFirstTouch, StompBandLow) << frame.where;
            EXPECT_GE(rle.Width(), 16) << frame.where << ": an enemy of about the hero's size";
            EXPECT_LE(rle.Width(), 32) << frame.where << ": an enemy of about the hero's size";
        }
    }
}

TEST_F(SpritesFileTest, WalkAnimationsHaveAtLeastTwoPictures)
{
    struct Walk {
        int sprite;
        const char* action; // null: by id
        int actionId;
    };
    const Walk walks[] = {
        {kSpriteHero, "Walk.Left", 0},
        {kSpriteHero, "Walk.Right", 0},
        {kSpriteMulgo, nullptr, SpriteMulgoActions::kWalk},
        {kSpriteShellox, nullptr, SpriteShelloxActions::kWalkLeft},
        {kSpriteShellox, nullptr, SpriteShelloxActions::kWalkRight},
        {kSpriteThornel, nullptr, SpriteThornelActions::kWalkLeft},
        {kSpriteThornel, nullptr, SpriteThornelActions::kWalkRight},
    };
    for (const Walk& walk : walks) {
        const MvSpriteResource* sprite = Sprite(walk.sprite);
        ASSERT_NE(sprite, nullptr);
        const MvAction* action = walk.action != nullptr ? sprite->FindAction(walk.action)
                                                        : sprite->FindAction(walk.actionId);
        ASSERT_NE(action, nullptr) << sprite->Name() << " " << (walk.action ? walk.action : "") << walk.actionId;
        ASSERT_GE(action->FrameCount(), 2) << sprite->Name() << " " << action->Name();
        bool changes = false;
        for (int f = 1; f < action->FrameCount(); ++f)
            changes = changes || !SamePicture(*action->FrameAt(f), *action->FrameAt(0));
        EXPECT_TRUE(changes) << sprite->Name() << " " << action->Name() << " shows one picture only";
    }
}

TEST_F(SpritesFileTest, PlatformsFillTheirGridCellFromTheTopLeftHotSpot)
{
    for (const char* name : PlatformNames) {
        const MvSpriteResource* sprite = Sprite(name);
        ASSERT_NE(sprite, nullptr) << name;
        for (const FrameRef& frame : FramesOf(sprite)) {
            const MvRle& rle = *frame.rle;
            EXPECT_EQ(rle.OffsetX(), 0) << frame.where;
            EXPECT_EQ(rle.OffsetY(), 0) << frame.where;
            EXPECT_EQ(rle.Width(), PlatformSize) << frame.where;
            EXPECT_EQ(rle.Height(), PlatformSize) << frame.where;
            // Fully opaque, so standing on any column of the top row is a contact.
            EXPECT_EQ(rle.PixelCount(), PlatformSize * PlatformSize) << frame.where;
            EXPECT_FALSE(rle.HasAlpha()) << frame.where;
            if (std::string(name) != "MovingPlatform") {
                EXPECT_EQ(rle.DeltaX(), 0) << frame.where;
                EXPECT_EQ(rle.DeltaY(), 0) << frame.where;
            }
        }
    }
}

// The moving platform is moved only by its frame deltas: over one pass through its frames
// it must travel somewhere and come back, or it would drift away over the level.
TEST_F(SpritesFileTest, MovingPlatformTravelsAndReturnsEveryCycle)
{
    const MvSpriteResource* sprite = Sprite("MovingPlatform");
    ASSERT_NE(sprite, nullptr);
    for (int a = 0; a < sprite->ActionCount(); ++a) {
        const MvAction* action = sprite->ActionAt(a);
        int x = 0, y = 0, farthest = 0;
        for (int f = 0; f < action->FrameCount(); ++f) {
            x += action->FrameAt(f)->DeltaX();
            y += action->FrameAt(f)->DeltaY();
            farthest = std::max(farthest, std::max(std::abs(x), std::abs(y)));
        }
        EXPECT_EQ(x, 0) << action->Name();
        EXPECT_EQ(y, 0) << action->Name();
        EXPECT_GE(farthest, PlatformSize) << action->Name() << " hardly moves";
    }
}

TEST_F(SpritesFileTest, GlyphsHoldExactlyTheThirtyThreeCharacters)
{
    const MvSpriteResource* glyphs = Sprite(kSpriteGlyphs);
    ASSERT_NE(glyphs, nullptr);
    EXPECT_EQ(glyphs->ActionCount(), 33);
    for (const char* c = GlyphChars; *c != '\0'; ++c) {
        const std::string name = std::string("char") + *c;
        EXPECT_NE(glyphs->FindAction(name.c_str()), nullptr) << name;
    }
    for (const char* missing : {"charJ", "charK", "charZ", "chara", "char "})
        EXPECT_EQ(glyphs->FindAction(missing), nullptr) << missing;
}

// A glyph starts at its hot spot and leaves at least one free column before the next
// glyph, also after the labels' 1.2 scale rounds the positions.
TEST_F(SpritesFileTest, EveryGlyphFitsTheAdvanceUnscaledAndAtTheLabelScale)
{
    const MvSpriteResource* glyphs = Sprite(kSpriteGlyphs);
    ASSERT_NE(glyphs, nullptr);
    const MvFixed scale = MvFixed::FromRaw(LabelScaleRaw);
    std::vector<const MvRle*> frames;
    for (const FrameRef& frame : FramesOf(glyphs)) {
        const MvRle& rle = *frame.rle;
        EXPECT_GE(rle.OffsetX(), 0) << frame.where;
        EXPECT_GE(rle.OffsetY(), 0) << frame.where;
        EXPECT_LE(rle.OffsetX() + rle.Width(), GlyphAdvance - 1) << frame.where;
        EXPECT_GE(rle.Width(), 3) << frame.where;
        EXPECT_GE(rle.Height(), 7) << frame.where;
        EXPECT_LE(rle.OffsetY() + rle.Height(), 9) << frame.where;
        frames.push_back(frame.rle);
    }
    // Neighbours in a label, at every slot of a label as long as the menu's longest line.
    for (int slot = 0; slot < 60; ++slot) {
        for (const MvRle* left : frames) {
            MvTransform t;
            t.x = scale * MvFixed::FromInt(GlyphAdvance * slot);
            t.y = MvFixed::FromInt(0);
            t.xScale = scale;
            t.yScale = scale;
            MvIntRect leftBounds;
            left->ComputeBounds(t, &leftBounds);
            t.x = scale * MvFixed::FromInt(GlyphAdvance * (slot + 1));
            for (const MvRle* right : frames) {
                MvIntRect rightBounds;
                right->ComputeBounds(t, &rightBounds);
                ASSERT_LT(leftBounds.right, rightBounds.left) << "glyphs touch at slot " << slot;
            }
        }
    }
}

TEST_F(SpritesFileTest, FlagsSitInTheirGridCellAndAreRedAndBlue)
{
    struct FlagCase {
        int id;
        bool red;
    };
    for (const FlagCase& flag : {FlagCase{kSpriteRedFlag, true}, FlagCase{kSpriteBlueFlag, false}}) {
        const MvSpriteResource* sprite = Sprite(flag.id);
        ASSERT_NE(sprite, nullptr) << flag.id;
        for (const FrameRef& frame : FramesOf(sprite)) {
            const MvRle& rle = *frame.rle;
            EXPECT_GE(rle.OffsetX(), 0) << frame.where;
            EXPECT_GE(rle.OffsetY(), 0) << frame.where;
            EXPECT_LE(rle.OffsetX() + rle.Width(), PlatformSize) << frame.where;
            EXPECT_LE(rle.OffsetY() + rle.Height(), PlatformSize) << frame.where;
            int red = 0, blue = 0;
            CountRedAndBlue(rle, &red, &blue);
            EXPECT_GT(flag.red ? red : blue, 4 * (flag.red ? blue : red) + 20) << frame.where;
        }
    }
}

// Ground scenery stands on the y it is placed at, so that it shows above a ground row
// placed at the same y instead of hiding behind it; clouds hang from their top-left corner.
TEST_F(SpritesFileTest, SceneryStandsOnItsPlacementOrHangsFromIt)
{
    struct SceneryCase {
        const char* name;
        bool standing;
    };
    for (const SceneryCase& scenery : {SceneryCase{"Meadow", true}, SceneryCase{"Bush", true},
                                       SceneryCase{"cloudA", false}}) {
        const MvSpriteResource* sprite = Sprite(scenery.name);
        ASSERT_NE(sprite, nullptr) << scenery.name;
        for (const FrameRef& frame : FramesOf(sprite)) {
            const MvRle& rle = *frame.rle;
            EXPECT_EQ(rle.OffsetX(), 0) << frame.where;
            EXPECT_EQ(rle.OffsetY(), scenery.standing ? -rle.Height() : 0) << frame.where;
            EXPECT_EQ(rle.DeltaX(), 0) << frame.where;
            EXPECT_EQ(rle.DeltaY(), 0) << frame.where;
        }
    }
}

} // namespace
