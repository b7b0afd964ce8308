#include "ReplayRun.h"
#include "ReplayRunFixture.h"
#include "ReplayScreenshot.h"

#include "GameState.h"
#include "MvPngImage.h"
#include "MvWorkingFolder.h"
#include "ScreenFormat.h"
#include "SurfacePtr.h"
#include "ToolTestSupport.h"

#include <SDL.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <random>
#include <string>

namespace {

using tooltest::ReadFile;

// Return on the menu, a few ticks of level 1, Escape: the level's results, the run's ticks
// and a picture of each screen.
const char MenuPlayEscape[] = "at 2 screenshot menu.png\n"
                              "at 3 press Return\n"
                              "at 5 screenshot play.png\n"
                              "at 6 press Escape\n";

TEST_F(ReplayRunTest, PlaysMenuLevelAndEscapeAndTakesTheScreenshots)
{
    const ReplaySummary summary = Run(MenuPlayEscape);
    // The level sees ticks 3, 4 and 5: too few for the hero to get anywhere, whatever the
    // level holds.
    EXPECT_EQ(summary.Line(),
              "summary: level 1 quit in play, time 0 (3 ticks), points 0, flags 0, enemies defeated 0, lives 2");
    EXPECT_EQ(summary.runTicks, 5);
    EXPECT_EQ(summary.stepsNotReached, 0);
    for (const char* name : {"menu.png", "play.png"}) {
        MvPngImage picture;
        std::string error;
        ASSERT_TRUE(picture.Load(scratch / name, &error)) << error;
        EXPECT_EQ(picture.Width(), 800);
        EXPECT_EQ(picture.Height(), 600);
    }
    EXPECT_NE(ReadFile(scratch / "menu.png"), ReadFile(scratch / "play.png"));
    EXPECT_EQ(GameState::engine, nullptr);
}

TEST_F(ReplayRunTest, TheSameScriptGivesTheSameSummaryAndIdenticalScreenshots)
{
    const ReplaySummary first = Run(MenuPlayEscape);
    const std::string menu = ReadFile(scratch / "menu.png"), play = ReadFile(scratch / "play.png");
    ASSERT_FALSE(menu.empty());
    ASSERT_FALSE(play.empty());
    const ReplaySummary second = Run(MenuPlayEscape);
    EXPECT_EQ(first, second);
    EXPECT_EQ(ReadFile(scratch / "menu.png"), menu);
    EXPECT_EQ(ReadFile(scratch / "play.png"), play);
}

// Each run starts as the program does: a level chosen in one run is not the next run's.
TEST_F(ReplayRunTest, EveryRunStartsFromTheProgramsStartingState)
{
    EXPECT_EQ(Run("at 2 press 3\nat 3 press Return\nat 4 press Escape\n").level, 3);
    EXPECT_EQ(Run("at 3 press Return\nat 4 press Escape\n").level, 1);
}

// The menu is white letters on black: the labels show where they stand and nowhere else.
TEST_F(ReplayRunTest, TheMenuScreenshotShowsTheMenuText)
{
    Run("at 1 screenshot menu.png\nat 2 press Escape\n");
    MvPngImage picture;
    std::string error;
    ASSERT_TRUE(picture.Load(scratch / "menu.png", &error)) << error;
    auto lit = [&picture](int top, int bottom) {
        int count = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = 0; x < picture.Width(); ++x) {
                const MvColor& c = picture.At(x, y);
                count += c.red != 0 || c.green != 0 || c.blue != 0;
            }
        return count;
    };
    // "PRESS ESCAPE TO QUIT" near the top, the choice text in the upper middle.
    EXPECT_GT(lit(0, 60), 50);
    EXPECT_GT(lit(140, 260), 200);
    // Most of the screen is the black window fill.
    EXPECT_LT(lit(0, 600), 800 * 600 / 10);
}

// Closing the window on the menu starts the chosen level rather than ending the program.
TEST_F(ReplayRunTest, AQuitEventOnTheMenuStartsTheLevel)
{
    const ReplaySummary summary = Run("at 2 close\nat 4 press Escape\n");
    EXPECT_EQ(summary.outcome, ReplaySummary::Quit);
    EXPECT_EQ(summary.level, 1);
    EXPECT_EQ(summary.levelTicks, 2);
}

// Past the tick limit Escape ends the game from the menu; the play screen that is built and
// torn down unseen afterwards is no level played.
TEST_F(ReplayRunTest, TheTickLimitEndsARunThatNeverStartsALevel)
{
    const ReplaySummary summary = Run("at 1 press 2\n", 30);
    EXPECT_EQ(summary.Line(), "summary: no level played; the script ran out at tick 1, Escape pressed after tick 30 "
                              "(--max-ticks)");
}

// A screenshot is lossless: read back, every pixel has the screen's colour, opaque,
// whatever order the screen keeps its channels in.
TEST_F(ReplayRunTest, AScreenshotHoldsEveryPixelOfTheScreenExactly)
{
    const ScreenFormat formats[] = {{"red high", 32, 0x00FF0000, 0x0000FF00, 0x000000FF},
                                    {"blue high", 32, 0x000000FF, 0x0000FF00, 0x00FF0000},
                                    {"channels in the top bytes", 32, 0xFF000000, 0x00FF0000, 0x0000FF00}};
    std::mt19937 random(7);
    for (const ScreenFormat& format : formats) {
        SurfacePtr surface = MakeSurface(37, 23, format.bits, format.redMask, format.greenMask, format.blueMask);
        ASSERT_NE(surface, nullptr) << format.name;
        for (int y = 0; y < surface->h; ++y) {
            Uint32* row = reinterpret_cast<Uint32*>(static_cast<Uint8*>(surface->pixels) + y * surface->pitch);
            for (int x = 0; x < surface->w; ++x)
                row[x] = static_cast<Uint32>(random());
        }
        const std::string path = scratch / "exact.png";
        std::string error;
        ASSERT_TRUE(ReplayScreenshot::Save(surface.get(), path, &error)) << error;
        MvPngImage picture;
        ASSERT_TRUE(picture.Load(path, &error)) << error;
        ASSERT_EQ(picture.Width(), surface->w);
        ASSERT_EQ(picture.Height(), surface->h);
        int wrong = 0;
        for (int y = 0; y < surface->h; ++y) {
            const Uint32* row = reinterpret_cast<const Uint32*>(static_cast<Uint8*>(surface->pixels) + y * surface->pitch);
            for (int x = 0; x < surface->w; ++x) {
                MvColor expected;
                SDL_GetRGB(row[x], surface->format, &expected.red, &expected.green, &expected.blue);
                expected.alpha = 255;
                wrong += picture.At(x, y) != expected;
            }
        }
        EXPECT_EQ(wrong, 0) << format.name;
    }
}

// A device that takes no bytes fails the screenshot part-way, inside libpng.
TEST_F(ReplayRunTest, AScreenshotCutShortByAFullDeviceIsReported)
{
    if (access("/dev/full", W_OK) != 0)
        GTEST_SKIP() << "/dev/full is not there to write to";
    std::string error;
    EXPECT_FALSE(ReplayScreenshot::Save(screen, "/dev/full", &error));
    EXPECT_NE(error.find("cannot write picture '/dev/full'"), std::string::npos) << error;
}

TEST_F(ReplayRunTest, AScreenshotThatCannotBeWrittenIsReportedAndTheRunGoesOn)
{
    ReplayScript script;
    std::string error;
    ASSERT_TRUE(script.Parse("test.txt", "at 1 screenshot a.png\nat 2 press Return\nat 3 press Escape\n", &error));
    const std::string missing = scratch / "no-such-folder";
    ReplayRun run(&script, screen, missing, 100);
    EXPECT_FALSE(run.Run());
    ASSERT_EQ(run.Errors().size(), 1u);
    EXPECT_NE(run.Errors()[0].find(missing + "/a.png"), std::string::npos) << run.Errors()[0];
    EXPECT_EQ(run.Summary().outcome, ReplaySummary::Quit);
}

} // namespace
