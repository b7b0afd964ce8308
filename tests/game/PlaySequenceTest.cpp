// The play screen's event handling on a real level build with the level's own content
// cleared: what each event type reaches, the tick's motion, clock, fall test and frame,
// and the after-event sequence's scrolling, text layer, platform steps and clean-up,
// flag collection and win test.

#include "PlayScreenFixture.h"
#include "Platforms.h"
#include "SpriteIds.h"

#include "MvResourceVault.h"
#include "MvSpriteResource.h"

namespace {

const uint32_t SkyBlue = 0x1c80ff;

TEST_F(PlayScreenTest, OnlyEscapeAmongTheInputEventsEndsTheProgram)
{
    const struct {
        const char* what;
        SDL_Event event;
        bool quit;
    } cases[] = {
        {"Escape pressed", Key(SDL_KEYDOWN, SDLK_ESCAPE), true},
        {"Escape released", Key(SDL_KEYUP, SDLK_ESCAPE), false},
        {"Return pressed", Key(SDL_KEYDOWN, SDLK_RETURN), false},
        {"a stick moved", OfType(SDL_JOYAXISMOTION), false},
        {"a button pressed", OfType(SDL_JOYBUTTONDOWN), false},
        {"a button released", OfType(SDL_JOYBUTTONUP), false},
        {"a quit event is the play loop's, not the sequence's", OfType(SDL_QUIT), false},
        {"a mouse click", OfType(SDL_MOUSEBUTTONDOWN), false},
    };
    for (const auto& c : cases) {
        quit_ = false;
        done_ = false;
        Send(c.event);
        EXPECT_EQ(quit_, c.quit) << c.what;
        EXPECT_FALSE(done_) << c.what;
        EXPECT_EQ(GameState::ticks, 0) << c.what;
    }
}

TEST_F(PlayScreenTest, TheTickMovesTheHeroAdvancesTheClockAndDrawsTheFrame)
{
    PlaceHero(0, 300);
    GameState::vx = 5;
    GameState::vy = 10;
    ASSERT_EQ(PixelAt(5, 5), 0u) << "nothing is drawn before the first tick";

    Tick();

    EXPECT_EQ(Hero()->PosX(0), 5);
    EXPECT_EQ(Hero()->PosY(0), 310);
    EXPECT_EQ(GameState::ticks, 1);
    EXPECT_EQ(PixelAt(5, 5), SkyBlue) << "the tick draws the level's background";
    EXPECT_FALSE(done_);
    EXPECT_TRUE(pauses_.empty());
}

TEST_F(PlayScreenTest, TheTimeLabelShowsTicksOverFiftyPadded)
{
    const struct {
        int ticksBefore;
        const char* shown;
    } cases[] = {{0, "0000"}, {48, "0000"}, {49, "0001"}, {12344, "0246"}};
    for (const auto& c : cases) {
        GameState::ticks = c.ticksBefore;
        PlaceHero(0, 300);
        Tick();
        EXPECT_EQ(GameState::ticks, c.ticksBefore + 1);
        EXPECT_EQ(Shown("time"), c.shown) << c.ticksBefore;
    }
}

TEST_F(PlayScreenTest, OtherEventsRunTheSequenceButNeitherTickNorDraw)
{
    PlaceHero(1000, 375);
    GameState::vx = 5;
    Send(Key(SDL_KEYUP, SDLK_a));

    EXPECT_EQ(Hero()->PosX(0), 1000) << "only the tick moves the hero";
    EXPECT_EQ(Hero()->PosY(0), 375);
    EXPECT_EQ(GameState::ticks, 0);
    EXPECT_EQ(Tree()->SceneRoot()->PosX(0), 400 - 1000) << "but the view scrolls";
    EXPECT_EQ(Find("text")->PosX(0), 1000);
    EXPECT_EQ(PixelAt(400, 300), 0u) << "and nothing is drawn";
}

// The view scrolls while originX <= hero x <= rightBound; the text layer follows while
// originX - 5 < hero x < rightBound + 3. Outside, each keeps its last place.
TEST_F(PlayScreenTest, ScrollingAndTheTextLayerStopAtTheirLimits)
{
    ASSERT_EQ(GameState::originX, -400);
    ASSERT_EQ(GameState::rightBound, 8000);
    const struct {
        int heroX;
        bool scrolls;
        bool textFollows;
    } cases[] = {
        {-400, true, true},   {-401, false, true},  {-404, false, true}, {-405, false, false},
        {-2000, false, false}, {8000, true, true},  {8001, false, true}, {8002, false, true},
        {8003, false, false},  {8400, false, false},
    };
    for (const auto& c : cases) {
        PlaceHero(0, 375);
        Nudge();
        ASSERT_EQ(Tree()->SceneRoot()->PosX(0), 400);
        ASSERT_EQ(Find("text")->PosX(0), 0);

        PlaceHero(c.heroX, 375);
        Nudge();
        EXPECT_EQ(Tree()->SceneRoot()->PosX(0), c.scrolls ? 400 - c.heroX : 400) << c.heroX;
        EXPECT_EQ(Find("text")->PosX(0), c.textFollows ? c.heroX : 0) << c.heroX;
        EXPECT_EQ(Tree()->SceneRoot()->PosY(0), 0) << c.heroX;
        if (c.scrolls) {
            EXPECT_EQ(ScreenX(Hero()), 400) << "the hero is drawn at the middle";
        }
    }
}

TEST_F(PlayScreenTest, TheCounterDisplayStaysPutOnScreenWhileTheLevelScrolls)
{
    const int top = 60; // the counters and the flag icon are above this line
    std::vector<uint32_t> strips[2];
    const int heroXs[2] = {0, 3000};
    for (int pass = 0; pass < 2; ++pass) {
        PlaceHero(heroXs[pass], 375);
        Nudge();
        Tick();
        for (int y = 0; y < top; ++y)
            for (int x = 0; x < 800; ++x)
                strips[pass].push_back(PixelAt(x, y));
    }
    EXPECT_TRUE(strips[0] == strips[1]) << "the top of the screen is the same at both places";

    // The flag icon's cloth at screen x 250 + 4.., y 15 + 4..; the first glyph of "TIME"
    // at screen x 100, y 24, with nothing but sky just left of it.
    EXPECT_EQ(PixelAt(250 + 6, 15 + 6), 0xd83a3au);
    bool glyphSeen = false;
    for (int y = 24; y < 34; ++y) {
        for (int x = 100; x < 107; ++x)
            glyphSeen |= PixelAt(x, y) == 0xf8f4e8;
        for (int x = 90; x < 100; ++x)
            EXPECT_EQ(PixelAt(x, y), SkyBlue) << x << "," << y;
    }
    EXPECT_TRUE(glyphSeen);
}

TEST_F(PlayScreenTest, AFallBelowTheLineEndsTheLevelAsLostAfterTheDeathSound)
{
    const struct {
        int y;
        bool lost;
    } cases[] = {{640, false}, {641, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.y);
        done_ = false;
        GameState::lost = false;
        pauses_.clear();
        cues_.clear();
        if (GameState::music == nullptr)
            StartLevelMusic(1);
        ASSERT_NE(GameState::music, nullptr);
        const int ticks = GameState::ticks;
        PlaceHero(0, c.y);
        GameState::vx = 0;
        GameState::vy = 10;

        Tick();

        EXPECT_EQ(Hero()->PosY(0), c.y + 10);
        EXPECT_EQ(GameState::lost, c.lost);
        EXPECT_EQ(done_, c.lost);
        EXPECT_EQ(GameState::music == nullptr, c.lost) << "the music stops at the death";
        EXPECT_EQ(Played(CueDeath), c.lost ? 1 : 0);
        EXPECT_EQ(pauses_, c.lost ? std::vector<Uint32>{5000} : std::vector<Uint32>{});
        EXPECT_EQ(GameState::ticks, ticks + 1) << "the last tick still counts";
    }
}

TEST_F(PlayScreenTest, PassingTheEndWinsTheLevelAndStopsTheMusic)
{
    ASSERT_NE(GameState::music, nullptr);
    PlaceHero(GameState::rightBound + 500, 375);
    Nudge();
    EXPECT_FALSE(done_);
    EXPECT_NE(GameState::music, nullptr);

    GameState::lost = true; // a win clears it
    PlaceHero(GameState::rightBound + 501, 375);
    Nudge();
    EXPECT_TRUE(done_);
    EXPECT_FALSE(GameState::lost);
    EXPECT_EQ(GameState::music, nullptr);
    EXPECT_TRUE(cues_.empty()) << "a win plays nothing";
}

TEST_F(PlayScreenTest, TwoFlagsInOneEventCountBothWithOneCoinSound)
{
    // Both flags over the hero's body: layout x 0 is world x -400, the hero stands at
    // layout (0, 375) and is 35 pixels tall.
    PlaceRedFlag(-8, 375 - 30);
    PlaceBlueFlag(-8, 375 - 30);
    PlaceRedFlag(200, 375 - 30); // out of reach
    Tree()->Recompute();
    MvGrowArray<MvDrawableNode*> touched;
    ASSERT_TRUE(Tree()->CollideWithChildrenOf(Hero(), Find("items"), &touched, 0));
    ASSERT_EQ(touched.Count(), 2);

    Nudge();

    EXPECT_EQ(GameState::flagsCollected, 6);
    EXPECT_EQ(GameState::points, 350);
    EXPECT_EQ(Shown("flags"), "006");
    EXPECT_EQ(Shown("pointsscored"), "00000350");
    EXPECT_EQ(Played(CueFlag), 1);
    EXPECT_EQ(cues_.size(), 1u);
    ASSERT_EQ(Children("items").size(), 1u) << "the touched flags are gone";
    EXPECT_EQ(Children("items")[0]->PosX(0), GameState::originX + 200);

    Nudge();
    EXPECT_EQ(Played(CueFlag), 1) << "nothing left to collect";
}

TEST_F(PlayScreenTest, PlatformsMoreThanAThousandPixelsBehindAreRemovedForGood)
{
    // World x = layout x - 400.
    PlacePlatform(1399, 400, "MidGrass"); // world 999
    PlacePlatform(1400, 400, "MidGrass"); // world 1000
    PlacePlatform(2400, 400, "Bricks");   // world 2000
    PlaceScenery(0, 400, "Bush");
    PlaceRedFlag(0, 200);

    PlaceHero(2000, 375);
    Nudge();
    std::vector<MvSceneNode*> left = Children("platforms");
    ASSERT_EQ(left.size(), 2u);
    EXPECT_EQ(left[0]->PosX(0), 1000);
    EXPECT_EQ(left[1]->PosX(0), 2000);

    PlaceHero(-400, 375);
    Nudge();
    EXPECT_EQ(Children("platforms").size(), 2u) << "walking back brings nothing back";
    EXPECT_EQ(Children("background").size(), 1u) << "scenery is never removed";
    EXPECT_EQ(Children("items").size(), 1u) << "items are never removed";
}

TEST_F(PlayScreenTest, PlatformsWithinFiveHundredPixelsStepAfterEveryEvent)
{
    // The moving platform glides by the deltas of its frames: 1 pixel for the first two.
    PlacePlatform(400 + 499, 200, "MovingPlatform"); // world 499, near the hero at 0
    PlacePlatform(400 + 500, 250, "MovingPlatform"); // world 500, out of reach
    PlaceHero(0, 375);
    std::vector<MvSceneNode*> moving = Children("platforms");
    ASSERT_EQ(moving.size(), 2u);
    MvSceneNode* near = moving[0]->PosX(0) == 499 ? moving[0] : moving[1];
    MvSceneNode* far = near == moving[0] ? moving[1] : moving[0];

    Nudge();
    EXPECT_EQ(near->AsSprite()->CurrentFrame(), 1);
    EXPECT_EQ(near->PosX(0), 500);
    EXPECT_EQ(far->AsSprite()->CurrentFrame(), 0);
    EXPECT_EQ(far->PosX(0), 500);

    PlaceHero(1, 375); // far is now 499 away
    Send(Key(SDL_KEYDOWN, SDLK_LEFT));
    EXPECT_EQ(far->AsSprite()->CurrentFrame(), 1) << "resumes once the hero is near";
    EXPECT_EQ(far->PosX(0), 501);
    EXPECT_EQ(near->AsSprite()->CurrentFrame(), 2);
}

TEST_F(PlayScreenTest, EnemiesAnimateOnTicksOnly)
{
    MvSpriteNode* enemy = new MvSpriteNode(GameState::engine->Vault()->FindSpriteResource(kSpriteMulgo));
    enemy->MoveTo(3000, 375, -1);
    Tree()->InsertNode(Find("enemies"), enemy);
    ASSERT_GT(enemy->FrameCount(), 1);
    PlaceHero(0, 300);

    Nudge();
    EXPECT_EQ(enemy->CurrentFrame(), 0);
    Tick();
    EXPECT_EQ(enemy->CurrentFrame(), 1);
}

TEST_F(PlayScreenTest, PlacementPutsEachKindOnItsLayerWithItsTag)
{
    const struct {
        void (*place)();
        const char* layer;
        const char* resource;
        const SpriteTag* tag;
    } cases[] = {
        {[] { PlacePlatform(100, 400, "MidGrass"); }, "platforms", "MidGrass", nullptr},
        {[] { PlacePlatform(100, 400, "Bricks"); }, "platforms", "Bricks", &BricksTag},
        {[] { PlacePlatform(100, 400, "NormBlock"); }, "platforms", "NormBlock", nullptr},
        {[] { PlaceScenery(100, 400, "cloudA"); }, "background", "cloudA", nullptr},
        {[] { PlaceRedFlag(100, 400); }, "items", nullptr, &RedFlagTag},
        {[] { PlaceBlueFlag(100, 400); }, "items", nullptr, &BlueFlagTag},
    };
    GameState::originY = 7; // layout y counts from originY
    for (const auto& c : cases) {
        ClearLevel();
        c.place();
        const std::vector<MvSceneNode*> placed = Children(c.layer);
        ASSERT_EQ(placed.size(), 1u) << c.layer;
        MvSpriteNode* sprite = placed[0]->AsSprite();
        ASSERT_NE(sprite, nullptr);
        EXPECT_EQ(sprite->PosX(0), -400 + 100);
        EXPECT_EQ(sprite->PosY(0), 7 + 400);
        if (c.resource != nullptr) {
            EXPECT_EQ(sprite->SpriteResource(), GameState::engine->Vault()->FindSpriteResource(c.resource));
        }
        EXPECT_EQ(sprite->UserData(), c.tag);
    }
    ClearLevel();
    PlaceRedFlag(0, 0);
    PlaceBlueFlag(0, 0);
    const std::vector<MvSceneNode*> flags = Children("items");
    ASSERT_EQ(flags.size(), 2u);
    EXPECT_EQ(flags[0]->AsSprite()->SpriteResource()->Id(), kSpriteRedFlag);
    EXPECT_EQ(flags[1]->AsSprite()->SpriteResource()->Id(), kSpriteBlueFlag);
}

} // namespace
