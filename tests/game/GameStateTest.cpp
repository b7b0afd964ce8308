#include "Enemies.h"
#include "GameNames.h"
#include "GameScreenTest.h"
#include "GameState.h"
#include "GameStateValues.h"
#include "Labels.h"
#include "MvAction.h"
#include "MvSpriteNode.h"
#include "Platforms.h"
#include "PlayEvents.h"
#include "PlaySequence.h"
#include "Sound.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <string>

namespace {

// Taken while the test program's globals are initialised, before any test can change
// the record. GameState's fields have constant initialisers, which the language applies
// before any dynamic initialisation, so this copy holds the values the program starts
// with.
const GameStateValues g_atProgramStart = GameStateValues::Capture();

struct IntField {
    const char* name;
    long long actual;
    long long expected;
};

// Before the first screen there is no stage and no music: the steps that look for their
// nodes do nothing, and the play end finds nothing to free.
TEST(GameState, BeforeTheFirstScreenThereIsNothingToActOn)
{
    GameStateGuard guard;
    g_atProgramStart.Restore();
    EXPECT_EQ(GameState::engine, nullptr);
    MenuTick();
    FollowHeroWithText();
    StepEveryEnemy();
    CollectItems();
    StopMusic();
    EXPECT_EQ(GameState::music, nullptr);
}

// The first play screen of a new game, built as the program builds it from the record it
// starts with: the level counters reset, the chosen level and the hero on a fresh stage.
class NewGameTest : public GameScreenTest {
protected:
    void SetUp() override
    {
        g_atProgramStart.Restore();
        GameScreenTest::SetUp();
        if (HasFatalFailure())
            return;
        ResetCounters();
        world_.BuildPlay();
    }

    void Send(const SDL_Event& event) { HandlePlayEvent(event, &quit_, &done_); }
    static MvSceneNode* Hero() { return Find(HeroName); }
    static std::string HeroAction() { return Hero()->AsSprite()->CurrentAction()->Name(); }

    bool quit_ = false;
    bool done_ = false;
};

TEST_F(NewGameTest, PlaysLevelOne)
{
    GameState::engine->Draw(true, nullptr);
    EXPECT_EQ(PixelAt(799, 100), 0x1c80ffu) << "level 1's sky";
    EXPECT_EQ(Shown(LivesLabelName), "2");
    EXPECT_EQ(Shown(PointsLabelName), "00000000");
}

TEST_F(NewGameTest, TheHeroFallsStraightDownFacingRightAndTheLevelGoesOn)
{
    const int x = Hero()->PosX(0);
    const int y = Hero()->PosY(0);
    Send(OfType(SDL_USEREVENT));
    EXPECT_EQ(Hero()->PosX(0), x);
    EXPECT_EQ(Hero()->PosY(0), y + 10);
    EXPECT_EQ(HeroAction(), "Stand.Right");
    EXPECT_FALSE(GameState::jumping);
    EXPECT_FALSE(GameState::lost);
    EXPECT_FALSE(done_);
}

TEST_F(NewGameTest, NoKeyOrButtonIsHeldYet)
{
    Send(Key(SDL_KEYDOWN, SDLK_UP));
    EXPECT_FALSE(GameState::jumping) << "no jump before the hero has landed";
    // On the ground, releasing Left shows the hero standing left unless Right is held.
    const int x = Hero()->PosX(0);
    for (int groundX = x - 100; groundX <= x + 100; groundX += 25)
        PlacePlatform(groundX - GameState::originX, 400 - GameState::originY, "MidGrass");
    Hero()->MoveTo(x, 400, -1);
    Send(OfType(SDL_MOUSEMOTION));
    ASSERT_TRUE(GameState::onGround);
    Send(Key(SDL_KEYUP, SDLK_LEFT));
    EXPECT_EQ(HeroAction(), "Stand.Left") << "the right key is not held";
    Send(Axis(0, 30000));
    EXPECT_EQ(GameState::vx, 5) << "the run button is not held";
}

TEST(GameState, ResetCountersStartsTheLevelCountersAndLeavesTheRest)
{
    GameStateGuard guard;
    // Every field away from both its initial and its reset value.
    GameStateValues before = {reinterpret_cast<MvStage*>(0x10), 3, 4711, 0, 999, 17, 8, -5, -10, 42, true, true,
                              true, true, true, true, true, reinterpret_cast<Mix_Chunk*>(0x20), -400, 7, 8000, 3};
    before.Restore();

    ResetCounters();

    const GameStateValues after = GameStateValues::Capture();
    const IntField fields[] = {
        {"points", after.points, 0},
        {"lives", after.lives, 2},
        {"ticks", after.ticks, 0},
        {"flagsCollected", after.flagsCollected, 0},
        {"enemiesDefeated", after.enemiesDefeated, 0},
        {"engine kept", after.engine == before.engine, 1},
        {"chosenLevel kept", after.chosenLevel, 3},
        {"vx kept", after.vx, -5},
        {"vy kept", after.vy, -10},
        {"apexY kept", after.apexY, 42},
        {"rightKeyHeld kept", after.rightKeyHeld, 1},
        {"stickHeld kept", after.stickHeld, 1},
        {"runHeld kept", after.runHeld, 1},
        {"onGround kept", after.onGround, 1},
        {"jumping kept", after.jumping, 1},
        {"facingLeft kept", after.facingLeft, 1},
        {"lost kept", after.lost, 1},
        {"music kept", after.music == before.music, 1},
        {"originX kept", after.originX, -400},
        {"originY kept", after.originY, 7},
        {"rightBound kept", after.rightBound, 8000},
        {"shiftKeysHeld kept", after.shiftKeysHeld, 3},
    };
    for (const IntField& f : fields)
        EXPECT_EQ(f.actual, f.expected) << f.name;
}

} // namespace
