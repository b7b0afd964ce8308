// Steady frames allocate nothing: the stage, the scene tree and the game keep the storage
// their per-frame lists need once those lists have reached their size. Counted over a
// scrolling level of the real game and over the stage benchmark's busy scene.

#include "AllocationCounter.h"

#include "BallField.h"
#include "GameStateValues.h"
#include "GameWorld.h"
#include "MvGrowArray.h"
#include "MvSceneTree.h"
#include "MvStage.h"
#include "MvWorkingFolder.h"
#include "ReplayScript.h"
#include "ScreenFlow.h"
#include "ScriptedEvents.h"
#include "Sound.h"
#include "SurfacePtr.h"
#include "TestScreen.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <string>

namespace {

const int WarmUpFrames = 60;
const int CountedFrames = 100;

// Expects that the last count found no allocation, showing the first ones otherwise.
void ExpectNoneCounted()
{
    EXPECT_EQ(AllocationCounter::Count(), 0) << "over " << CountedFrames << " frames; the first ones were\n"
                                             << AllocationCounter::Stacks();
}

// Runs frame CountedFrames times with counting on and expects no allocation.
template <typename Frame>
void ExpectNoAllocation(Frame frame)
{
    AllocationCounter::Start();
    for (int i = 0; i < CountedFrames; ++i)
        frame();
    AllocationCounter::Stop();
    ExpectNoneCounted();
}

// The counter sees both kinds of allocation, so that its zero means none happened.
TEST(FrameAllocationTest, TheCounterSeesOperatorNewAndMalloc)
{
    MvGrowArray<int> list;
    std::string text;
    AllocationCounter::Start();
    // The engine's array takes its storage from malloc, the string from operator new.
    list.Append(1);
    text = "long enough to need storage of its own, past any small-string buffer";
    AllocationCounter::Stop();
    EXPECT_EQ(AllocationCounter::Count(), 2) << AllocationCounter::Stacks();
}

// The opening of level 1 as assets/replays/level1-win.txt plays it: Right held from tick
// 20, a stomp at 103, a jump over the Snapvine and a stomp at 174. The "screenshots" mark
// the counted ticks, 111 to 210. Until then the hero has walked the ground and met a
// walker, so the hit lists have grown and the sprites' collision masks, made on their
// first contact, exist.
const char LevelOpening[] = "at 2 press Return\n"
                            "at 20 press Right\n"
                            "at 68 press Up\n"
                            "at 100 release Up\n"
                            "at 110 screenshot count-from.png\n"
                            "at 139 press Up\n"
                            "at 170 release Up\n"
                            "at 210 screenshot count-to.png\n";
const int CountFromTick = 110;

// The real game as the replay tool runs it, on an off-screen surface without sound: the
// menu, then level 1 driven by the script, one frame drawn per tick.
TEST(FrameAllocationTest, ScrollingThroughALevelAllocatesNothingPerTick)
{
    GameStateGuard state;
    MvWorkingFolder folder;
    MvWorkingFolder::Enter(MOVO_GAME_FOLDER);
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO | SDL_INIT_NOPARACHUTE), 0) << SDL_GetError();
    SurfacePtr screen = MakeSurface(800, 600, 32, 0x00FF0000, 0x0000FF00, 0x000000FF);
    ASSERT_NE(screen, nullptr);
    ReplayScript script;
    std::string error;
    ASSERT_TRUE(script.Parse("level-opening", LevelOpening, &error)) << error;

    const int lastTick = CountFromTick + CountedFrames;
    ScriptedEvents events(&script, lastTick, [](const ReplayStep& step) {
        if (step.tick == CountFromTick)
            AllocationCounter::Start();
        else
            AllocationCounter::Stop();
    });
    SetDeathPause([](Uint32) {});
    {
        GameWorld world;
        ScreenFlow flow(screen.get(), &world, &events);
        flow.Run();
    }
    SetDeathPause(nullptr);
    SDL_Quit();
    ExpectNoneCounted();

    // The counted ticks were play: the level went on to the tick limit, with both stomps.
    const ReplaySummary summary = events.Summary();
    EXPECT_EQ(summary.outcome, ReplaySummary::Quit);
    EXPECT_EQ(summary.limitEscapeTick, lastTick);
    EXPECT_EQ(summary.enemiesDefeated, 2);
    EXPECT_EQ(summary.lives, 2);
}

// The stage benchmark's scene: a thousand balls on a 32-bit screen, the whole scene moved
// one pixel to and fro before every frame, so that every frame repaints the screen.
TEST(FrameAllocationTest, DrawingAMovingSceneAllocatesNothingPerFrame)
{
    TestScreen screen(800, 600);
    const auto kinds = ballfield::MakeBallKinds();
    MvStage stage(screen.Surface());
    ballfield::ScatterBalls(stage.SceneTree(), kinds, 1000, screen.Width(), screen.Height());
    MvSceneNode* root = stage.SceneTree()->SceneRoot();
    int direction = 1;
    MvGrowArray<MvIntRect> rectangles;
    auto frame = [&] {
        root->MoveBy(direction, 0, -1);
        direction = -direction;
        stage.Draw(true, &rectangles);
    };
    for (int i = 0; i < WarmUpFrames; ++i)
        frame();

    ExpectNoAllocation(frame);
    EXPECT_GT(rectangles.Count(), 0);
}

} // namespace
