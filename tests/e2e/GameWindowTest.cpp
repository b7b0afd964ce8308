// The real program under a private Xvfb: its window, its keys and its exit codes, on a
// 1024 x 768 screen of 24 bits and of 16 bits (5-6-5), and its start-up failures with
// their reasons.

#include "GameOnXvfb.h"

#include <gtest/gtest.h>

#include <X11/keysym.h>

#include <algorithm>
#include <cstdio>
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

// Start-up failures: the program's fixed line on standard output, its reason in one line
// on standard error (kept apart in a file of the test's own).
class GameStartUpTest : public GameOnXvfb {
protected:
    void SetUp() override
    {
        GameOnXvfb::SetUp();
        std::string folder = testing::TempDir() + "movo-startup-XXXXXX";
        ASSERT_NE(mkdtemp(&folder[0]), nullptr) << folder;
        folder_ = folder;
        errorFile_ = folder_ + "/stderr.txt";
    }
    void TearDown() override
    {
        game_.Kill();
        std::remove(errorFile_.c_str());
        rmdir(folder_.c_str());
    }

    std::string folder_;
};

TEST_F(GameStartUpTest, MissingAudioDeviceEndsWithCode1)
{
    ASSERT_TRUE(StartGame("bogus"));
    ASSERT_TRUE(ExpectExit(1));
    EXPECT_NE(game_.Output().find("Can't open audio subsystem...\n"), std::string::npos) << game_.Output();
    const std::string reason = ErrorText();
    EXPECT_EQ(reason.rfind("no audio device for 44100 Hz 16-bit stereo (SDL_AUDIODRIVER=bogus): ", 0), 0u) << reason;
    EXPECT_EQ(std::count(reason.begin(), reason.end(), '\n'), 1) << reason;
}

TEST_F(GameStartUpTest, MissingVideoDriverEndsWithCode255)
{
    ASSERT_TRUE(StartGame("dummy", "bogus"));
    ASSERT_TRUE(ExpectExit(255));
    EXPECT_EQ(game_.Output().rfind("Couldn't initialize SDL: ", 0), 0u) << game_.Output();
    EXPECT_EQ(game_.Output().back(), '\n') << game_.Output();
    EXPECT_EQ(ErrorText().rfind("SDL cannot start (SDL_VIDEODRIVER=bogus): ", 0), 0u) << ErrorText();
}

// Started from a folder without Images/ and Sounds/: the line names that folder.
TEST_F(GameStartUpTest, MissingSpritesFileEndsWithCode255)
{
    ASSERT_TRUE(StartGame("dummy", "x11", folder_.c_str()));
    ASSERT_TRUE(ExpectExit(255));
    EXPECT_NE(game_.Output().find("Error loading the BrumoSprites dat file\n"), std::string::npos) << game_.Output();
    EXPECT_EQ(game_.CountInOutput("Loaded BrumoSprites.dat"), 0) << game_.Output();
    char here[4096];
    ASSERT_NE(realpath(folder_.c_str(), here), nullptr);
    EXPECT_EQ(ErrorText(), std::string("cannot open 'Images/Sprites.dat': No such file or directory; the game runs "
                                       "from ") +
                               here + ": start it from its own folder, the one holding Images/ and Sounds/\n");
}

// A screen smaller than the 800 x 600 window: SDL gives no video surface.
class GameOnSmallScreenTest : public GameStartUpTest {
protected:
    int Width() const override { return 640; }
    int Height() const override { return 480; }
};

TEST_F(GameOnSmallScreenTest, NoVideoSurfaceEndsWithCode3AndItsReasonOnStandardError)
{
    ASSERT_TRUE(StartGame("dummy"));
    ASSERT_TRUE(ExpectExit(3));
    EXPECT_EQ(game_.Output(), "");
    EXPECT_EQ(ErrorText().rfind("no 800 x 600 full-screen video mode (SDL_VIDEODRIVER=x11): ", 0), 0u)
        << ErrorText();
}

} // namespace
