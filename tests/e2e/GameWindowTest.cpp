// The real program under a private Xvfb: its window, its keys and its exit codes, on a
// 1024 x 768 screen of 24 bits and of 16 bits (5-6-5).

#include "GameOnXvfb.h"

#include <gtest/gtest.h>

#include <X11/keysym.h>

#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

class GameWindowTest : public GameOnXvfb, public testing::WithParamInterface<int> {
protected:
    int Depth() const override { return GetParam(); }
};

TEST_P(GameWindowTest, OpensCaptionedWindowAndEscapeOnMenuEnds)
{
    ASSERT_TRUE(StartGame("dummy"));
    ASSERT_TRUE(WaitForGameWindow());
    EXPECT_EQ(x_.WindowTitle(window_), Caption);
    ASSERT_TRUE(WaitForScreen(1));

    ASSERT_TRUE(PressUntilExit(XK_Escape, 0));
    // Quitting on the menu still makes and tears down the play and end screens, and each
    // of them loads the sprites into its own stage.
    if (Depth() == 24) {
        EXPECT_EQ(game_.CountInOutput(StageMarker), 3) << game_.Output();
    }
    EXPECT_EQ(game_.CountInOutput(ScreenLoaded), 3) << game_.Output();
}

TEST_P(GameWindowTest, ReturnStartsPlayAndEscapeThereEnds)
{
    ASSERT_TRUE(StartGame("dummy"));
    ASSERT_TRUE(WaitForGameWindow());
    ASSERT_TRUE(WaitForScreen(1));

    ASSERT_TRUE(SendUntilScreen([&] { x_.PressKey(window_, XK_Return); }, 2, "Return on the menu"));
    ASSERT_TRUE(PressUntilExit(XK_Escape, 0));
    if (Depth() == 24) {
        EXPECT_EQ(game_.CountInOutput(StageMarker), 3) << game_.Output();
    }
}

TEST_P(GameWindowTest, QuitEventOnMenuMovesOnToPlay)
{
    ASSERT_TRUE(StartGame("dummy"));
    ASSERT_TRUE(WaitForGameWindow());
    ASSERT_TRUE(WaitForScreen(1));

    ASSERT_TRUE(SendUntilScreen([&] { x_.RequestClose(window_); }, 2, "Closing the window on the menu"));
    int code = -1;
    ASSERT_FALSE(game_.WaitForExit(QuietMs, &code)) << "a quit event must not end the program; it ended with "
                                                     << code << "; output:\n"
                                                     << game_.Output();
    ASSERT_TRUE(PressUntilExit(XK_Escape, 0));
    if (Depth() == 24) {
        EXPECT_EQ(game_.CountInOutput(StageMarker), 3) << game_.Output();
    }
}

INSTANTIATE_TEST_SUITE_P(Depths, GameWindowTest, testing::Values(24, 16),
                         [](const testing::TestParamInfo<int>& info) { return "Depth" + std::to_string(info.param); });

} // namespace
