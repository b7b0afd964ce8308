// The real program under a private Xvfb: its window, its keys and its exit codes, on a
// 1024 x 768 screen of 24 bits and of 16 bits (5-6-5), and its start-up failures.

#include "Clock.h"
#include "GameProcess.h"
#include "XClient.h"
#include "XvfbServer.h"

#include <gtest/gtest.h>

#include <X11/keysym.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <unistd.h>

namespace {

const char* const GameProgram = MOVO_GAME_PROGRAM;
const char* const GameFolder = MOVO_GAME_FOLDER;
const char* const LeakSuppressions = MOVO_LSAN_SUPPRESSIONS;
const char* const Caption = "My Movo Game";

// Every stage made on a 32-bit screen with red at bit 16 logs this once; at depth 24 it
// counts the screens the program has entered.
const char* const StageMarker = "Fast 32 bit blitter.";

// Time limits, generous enough for a sanitizer build on a busy machine.
constexpr int ServerStartMs = 15000;
constexpr int WindowMs = 20000;
constexpr int ScreenMs = 20000;
constexpr int ExitMs = 20000;
// How long a program that must keep running is watched for an early end.
constexpr int QuietMs = 1000;
// How long input is given to show its effect before it is sent again.
constexpr int RetryMs = 1000;

// One Xvfb per test, a connection to it, and the game. Members end in reverse order:
// the game first, then the connection, then the server.
class GameOnXvfb : public testing::Test {
protected:
    virtual int Width() const { return 1024; }
    virtual int Height() const { return 768; }
    virtual int Depth() const { return 24; }

    void SetUp() override
    {
        std::string error;
        ASSERT_TRUE(server_.Start(Width(), Height(), Depth(), ServerStartMs, &error)) << error;
        ASSERT_TRUE(x_.Open(server_.DisplayName(), &error)) << error;
    }

    // Starts the game in folder (its own game folder by default) on this test's server
    // with the given audio driver (and video driver: naming x11 keeps SDL from quietly
    // falling back to another one).
    testing::AssertionResult StartGame(const char* audioDriver, const char* videoDriver = "x11",
                                       const char* folder = GameFolder)
    {
        std::string error;
        const GameProcess::Environment env = {
            {"DISPLAY", server_.DisplayName()},
            {"SDL_VIDEODRIVER", videoDriver},
            {"SDL_AUDIODRIVER", audioDriver},
            // Read by sanitizer builds only: leaks inside the system libraries are not ours.
            {"LSAN_OPTIONS", std::string("suppressions=") + LeakSuppressions + ":print_suppressions=0"},
        };
        if (!game_.Start(GameProgram, folder, env, &error))
            return testing::AssertionFailure() << error;
        return testing::AssertionSuccess();
    }

    // Waits for the game's window to be on screen and stores it in window_.
    testing::AssertionResult WaitForGameWindow()
    {
        window_ = x_.WaitForWindow(Caption, WindowMs);
        if (!window_)
            return testing::AssertionFailure() << "no window titled \"" << Caption << "\" appeared; output:\n"
                                               << game_.Output();
        if (!x_.WaitUntilViewable(window_, WindowMs))
            return testing::AssertionFailure() << "the game window was never mapped; output:\n" << game_.Output();
        return testing::AssertionSuccess();
    }

    // Sends input until effect, given a wait in milliseconds, reports that it happened.
    // The menu drops every queued event when it starts (SDL does so when joystick events
    // are turned on), so input that arrives while the menu is being made is lost and has
    // to be sent again.
    testing::AssertionResult SendUntil(const std::function<void()>& send, const std::function<bool(int)>& effect,
                                       const char* what)
    {
        const Clock::time_point deadline = Deadline(ScreenMs);
        do {
            send();
            if (effect(RetryMs))
                return testing::AssertionSuccess();
        } while (Clock::now() < deadline);
        return testing::AssertionFailure() << what << " had no effect within " << ScreenMs << " ms; output:\n"
                                           << game_.Output();
    }

    // Waits until the game has made its screen-th stage (counting from 1). Only a 24-bit
    // screen marks its stages; on others this returns at once.
    testing::AssertionResult WaitForScreen(int screen)
    {
        if (Depth() != 24)
            return testing::AssertionSuccess();
        if (!game_.WaitForOutput(StageMarker, screen, ScreenMs))
            return testing::AssertionFailure() << "screen " << screen << " was not entered; output:\n"
                                               << game_.Output();
        return testing::AssertionSuccess();
    }

    // Sends input until the game has made its screen-th stage. Where stages are not
    // marked, the input is sent once, after the menu has had time to reach its loop.
    testing::AssertionResult SendUntilScreen(const std::function<void()>& send, int screen, const char* what)
    {
        if (Depth() != 24) {
            usleep(RetryMs * 1000);
            send();
            return testing::AssertionSuccess();
        }
        return SendUntil(send, [&](int waitMs) { return game_.WaitForOutput(StageMarker, screen, waitMs); }, what);
    }

    // Presses key until the game ends, and expects it to end with exitCode.
    testing::AssertionResult PressUntilExit(XClient::KeySymbol key, int exitCode)
    {
        int code = -1;
        testing::AssertionResult ended = SendUntil([&] { x_.PressKey(window_, key); },
                                                   [&](int waitMs) { return game_.WaitForExit(waitMs, &code); },
                                                   "the key");
        if (!ended)
            return ended;
        return ExitCodeIs(code, exitCode);
    }

    // Waits for the game to end with exitCode.
    testing::AssertionResult ExpectExit(int exitCode)
    {
        int code = -1;
        if (!game_.WaitForExit(ExitMs, &code))
            return testing::AssertionFailure() << "the game did not end within " << ExitMs << " ms; output:\n"
                                               << game_.Output();
        return ExitCodeIs(code, exitCode);
    }

    testing::AssertionResult ExitCodeIs(int code, int exitCode)
    {
        if (code != exitCode)
            return testing::AssertionFailure() << "the game ended with " << code << ", not " << exitCode
                                               << "; output:\n"
                                               << game_.Output();
        return testing::AssertionSuccess();
    }

    XvfbServer server_;
    XClient x_;
    GameProcess game_;
    XClient::WindowId window_ = 0;
};

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
    EXPECT_EQ(game_.CountInOutput("Loaded BrumoSprites.dat\n"), 3) << game_.Output();
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

using GameStartUpTest = GameOnXvfb;

TEST_F(GameStartUpTest, MissingAudioDeviceEndsWithCode1)
{
    ASSERT_TRUE(StartGame("bogus"));
    ASSERT_TRUE(ExpectExit(1));
    EXPECT_NE(game_.Output().find("Can't open audio subsystem..."), std::string::npos) << game_.Output();
}

TEST_F(GameStartUpTest, MissingVideoDriverEndsWithCode255)
{
    ASSERT_TRUE(StartGame("dummy", "bogus"));
    ASSERT_TRUE(ExpectExit(255));
    EXPECT_EQ(game_.Output().rfind("Couldn't initialize SDL: ", 0), 0u) << game_.Output();
    EXPECT_EQ(game_.Output().back(), '\n') << game_.Output();
}

TEST_F(GameStartUpTest, MissingSpritesFileEndsWithCode255)
{
    char folder[] = "/tmp/movo-nospritesXXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const bool started = StartGame("dummy", "x11", folder);
    const testing::AssertionResult ended = started ? ExpectExit(255) : testing::AssertionFailure();
    rmdir(folder);
    ASSERT_TRUE(started);
    ASSERT_TRUE(ended);
    EXPECT_NE(game_.Output().find("Error loading the BrumoSprites dat file\n"), std::string::npos) << game_.Output();
    EXPECT_EQ(game_.CountInOutput("Loaded BrumoSprites.dat"), 0) << game_.Output();
}

// A screen smaller than the 800 x 600 window: SDL gives no video surface.
class GameOnSmallScreenTest : public GameOnXvfb {
protected:
    int Width() const override { return 640; }
    int Height() const override { return 480; }
};

TEST_F(GameOnSmallScreenTest, NoVideoSurfaceEndsWithCode3AndNoMessage)
{
    ASSERT_TRUE(StartGame("dummy"));
    ASSERT_TRUE(ExpectExit(3));
    EXPECT_EQ(game_.Output(), "");
}

} // namespace
