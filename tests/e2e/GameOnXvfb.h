#ifndef GAME_ON_XVFB_H
#define GAME_ON_XVFB_H

#include "GameProcess.h"
#include "Screenshot.h"
#include "XClient.h"
#include "XvfbServer.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

// The fixture of the end-to-end tests: one private Xvfb per test, the test's own connection
// to it, and the real program started on it from its game folder. Every wait has a generous
// limit, so that a sanitizer build on a busy machine passes and a hung program fails
// instead of blocking. Members end in reverse order: the game first, then the connection,
// then the server.
class GameOnXvfb : public testing::Test {
protected:
    // The game window's title.
    static constexpr const char* Caption = "My Movo Game";
    // Printed by every screen load (menu, play and end screen): counts the screens the
    // program has built, on any depth.
    static constexpr const char* ScreenLoaded = "Loaded BrumoSprites.dat\n";
    // Every stage made on a 32-bit screen with red at bit 16 logs this once; at depth 24 it
    // counts the screens the program has entered.
    static constexpr const char* StageMarker = "Fast 32 bit blitter.";

    // Time limits, generous enough for a sanitizer build on a busy machine.
    static constexpr int ServerStartMs = 15000;
    static constexpr int WindowMs = 20000;
    static constexpr int ScreenMs = 20000;
    static constexpr int ExitMs = 20000;
    // How long a program that must keep running is watched for an early end.
    static constexpr int QuietMs = 1000;
    // How long input is given to show its effect before it is sent again.
    static constexpr int RetryMs = 1000;

    // The game's picture, shown whole whatever the screen's size.
    static constexpr int PictureWidth = 800;
    static constexpr int PictureHeight = 600;

    // The screen the server is started with.
    virtual int Width() const { return 1024; }
    virtual int Height() const { return 768; }
    virtual int Depth() const { return 24; }

    // Starts the server and connects to it; fails the test when either fails.
    void SetUp() override;

    // Starts the game in folder (its own game folder by default) on this test's server with
    // the given audio driver and video driver (naming x11 keeps SDL from quietly falling
    // back to another one), adding extraEnvironment_ to its environment. When errorFile_
    // is set, the game's standard error goes to that file instead of the output.
    testing::AssertionResult StartGame(const char* audioDriver, const char* videoDriver = "x11",
                                       const char* folder = MOVO_GAME_FOLDER);

    // Waits for the game's window to be on screen and stores it in window_.
    testing::AssertionResult WaitForGameWindow();

    // Where and how large the game's picture shows on the screen.
    struct PicturePlace {
        int left = 0;
        int top = 0;
        int width = 0;
        int height = 0;
    };

    // Finds where the game's picture shows on the screen and stores it in picture_. SDL 1.2
    // shows it as it is, centred on a larger screen; sdl12-compat (SDL 1.2 on SDL 2) keeps
    // the desktop's mode and enlarges it, its aspect kept, centred in a window that covers
    // the desktop. Fails when the window showing at the screen's centre shows neither, or
    // when any of the picture falls outside the screen.
    testing::AssertionResult FindGamePicture();

    // The game's picture, PictureWidth x PictureHeight, as shown at place in shot: cut out
    // of it, and an enlarged one read back at the centre of each picture pixel.
    static Screenshot PictureIn(const Screenshot& shot, const PicturePlace& place);

    // Reads the screen and takes the game's picture (found by FindGamePicture) out of it.
    testing::AssertionResult CaptureGamePicture(Screenshot* picture);

    // Sends input until effect, given a wait in milliseconds, reports that it happened.
    // The menu drops every queued event when it starts (SDL does so when joystick events
    // are turned on), so input that arrives while the menu is being made is lost and has
    // to be sent again.
    testing::AssertionResult SendUntil(const std::function<void()>& send, const std::function<bool(int)>& effect,
                                       const char* what);

    // Waits until the game has loaded its pictures for the screen-th time (counting from
    // 1): that screen is then being built, and input sent from now on reaches its loop.
    testing::AssertionResult WaitForScreen(int screen);

    // Sends input until the game has loaded its pictures for the screen-th time.
    testing::AssertionResult SendUntilScreen(const std::function<void()>& send, int screen, const char* what);

    // Presses key until the game ends, and expects it to end with exitCode.
    testing::AssertionResult PressUntilExit(XClient::KeySymbol key, int exitCode);

    // Waits for the game to end with exitCode.
    testing::AssertionResult ExpectExit(int exitCode);

    // What the game wrote to errorFile_ so far; empty when nothing or no file.
    std::string ErrorText() const;

    // Success when code is exitCode; otherwise a failure that shows the game's output.
    testing::AssertionResult ExitCodeIs(int code, int exitCode);

    XvfbServer server_;
    XClient x_;
    GameProcess game_;
    XClient::WindowId window_ = 0;
    // Where the game's picture shows, as FindGamePicture found it.
    PicturePlace picture_;
    // Variables the next StartGame adds to the game's environment.
    GameProcess::Environment extraEnvironment_;
    // Where the next StartGame sends the game's standard error; empty: to the output.
    std::string errorFile_;
};

#endif
