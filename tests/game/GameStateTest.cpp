#include "GameState.h"
#include "GameStateValues.h"

#include <gtest/gtest.h>

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

TEST(GameState, StartsWithItsDesignedValues)
{
    const GameStateValues& s = g_atProgramStart;
    const IntField fields[] = {
        {"engine is null", s.engine != nullptr, 0},
        {"chosenLevel", s.chosenLevel, 1},
        {"points", s.points, 0},
        {"lives", s.lives, 0},
        {"ticks", s.ticks, 0},
        {"flagsCollected", s.flagsCollected, 0},
        {"enemiesDefeated", s.enemiesDefeated, 0},
        {"vx", s.vx, 0},
        {"vy falls at first", s.vy, 10},
        {"apexY", s.apexY, 0},
        {"rightKeyHeld", s.rightKeyHeld, 0},
        {"stickHeld", s.stickHeld, 0},
        {"runHeld", s.runHeld, 0},
        {"onGround", s.onGround, 0},
        {"jumping", s.jumping, 0},
        {"facingLeft", s.facingLeft, 0},
        {"lost", s.lost, 0},
        {"music is null", s.music != nullptr, 0},
        {"originX", s.originX, 0},
        {"originY", s.originY, 0},
        {"rightBound", s.rightBound, 0},
    };
    for (const IntField& f : fields)
        EXPECT_EQ(f.actual, f.expected) << f.name;
}

TEST(GameState, ResetCountersStartsTheLevelCountersAndLeavesTheRest)
{
    GameStateGuard guard;
    // Every field away from both its initial and its reset value.
    GameStateValues before = {reinterpret_cast<MvStage*>(0x10), 3, 4711, 0, 999, 17, 8, -5, -10, 42, true, true,
                              true, true, true, true, true, reinterpret_cast<Mix_Chunk*>(0x20), -400, 7, 8000};
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
    };
    for (const IntField& f : fields)
        EXPECT_EQ(f.actual, f.expected) << f.name;
}

} // namespace
