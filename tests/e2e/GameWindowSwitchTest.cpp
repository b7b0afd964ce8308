// The real program under a private Xvfb switching between full screen and a window with
// F11 and Alt+Return: the picture moves from the full-screen window centred on the
// 1024 x 768 screen into an 800 x 600 window and back, and stays the same picture.

#include "Clock.h"
#include "GameOnXvfb.h"

#include <gtest/gtest.h>

#include <X11/keysym.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>

namespace {

bool SamePicture(const Screenshot& a, const Screenshot& b)
{
    if (a.Width() != b.Width() || a.Height() != b.Height())
        return false;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            if (a.At(x, y) != b.At(x, y))
                return false;
    return true;
}

class GameWindowSwitchTest : public GameOnXvfb {
protected:
    // Full screen covers the screen's corner; a window of 800 x 600 does not, and the
    // corner shows what it showed before the game started.
    bool FullScreenShown() { return x_.VisibleWindowAt(Width() - 1, Height() - 1) != emptyCorner_; }

    // Waits until shown() holds, for at most ScreenMs.
    bool WaitFor(const std::function<bool()>& shown)
    {
        const Clock::time_point deadline = Deadline(ScreenMs);
        while (Clock::now() < deadline) {
            if (shown())
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return false;
    }

    // Captures the game's picture where place shows it, once the screen has settled (two
    // captures in a row equal).
    testing::AssertionResult SettledPicture(const PicturePlace& place, Screenshot* picture)
    {
        Screenshot last;
        for (int attempt = 0; attempt < 100; ++attempt) {
            Screenshot shot;
            std::string error;
            if (!x_.CaptureScreen(&shot, &error))
                return testing::AssertionFailure() << error;
            Screenshot part = PictureIn(shot, place);
            if (attempt > 0 && SamePicture(part, last)) {
                *picture = part;
                return testing::AssertionSuccess();
            }
            last = part;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return testing::AssertionFailure() << "the picture did not settle";
    }

    XClient::WindowId emptyCorner_ = 0;
};

TEST_F(GameWindowSwitchTest, F11AndAltReturnSwitchToAWindowAndBack)
{
    emptyCorner_ = x_.VisibleWindowAt(Width() - 1, Height() - 1);
    ASSERT_TRUE(StartGame("dummy"));
    ASSERT_TRUE(WaitForGameWindow());
    ASSERT_TRUE(WaitForScreen(1));
    ASSERT_TRUE(WaitFor([&] { return FullScreenShown(); })) << "the game did not start full screen";
    ASSERT_TRUE(FindGamePicture());
    Screenshot fullScreen;
    ASSERT_TRUE(SettledPicture(picture_, &fullScreen));

    struct Switch {
        const char* what;
        std::function<void()> press;
    };
    const Switch switches[] = {
        {"F11", [&] { x_.PressKey(window_, XK_F11); }},
        {"Alt+Return",
         [&] {
             x_.HoldKey(window_, XK_Alt_L);
             x_.PressKey(window_, XK_Return);
             x_.ReleaseKey(XK_Alt_L);
         }},
    };
    for (const Switch& s : switches) {
        s.press();
        ASSERT_TRUE(WaitFor([&] { return !FullScreenShown(); })) << s.what << " did not leave full screen";
        PicturePlace window;
        ASSERT_TRUE(x_.WindowArea(window_, &window.left, &window.top, &window.width, &window.height)) << s.what;
        EXPECT_EQ(window.width, PictureWidth) << s.what;
        EXPECT_EQ(window.height, PictureHeight) << s.what;
        Screenshot windowed;
        ASSERT_TRUE(SettledPicture(window, &windowed)) << s.what;
        std::string error;
        EXPECT_TRUE(SamePicture(windowed, fullScreen))
            << s.what << ": the window shows another picture, kept as /tmp/switch-windowed.png beside "
            << "/tmp/switch-full-screen.png"
            << (windowed.SavePng("/tmp/switch-windowed.png", &error) && fullScreen.SavePng("/tmp/switch-full-screen.png", &error) ? "" : error);

        s.press();
        ASSERT_TRUE(WaitFor([&] { return FullScreenShown(); })) << s.what << " did not go back to full screen";
        ASSERT_TRUE(FindGamePicture()) << s.what;
        Screenshot back;
        ASSERT_TRUE(SettledPicture(picture_, &back)) << s.what;
        EXPECT_TRUE(SamePicture(back, fullScreen)) << s.what << ": full screen shows another picture";
    }
    // The switches never reached the menu: Alt+Return did not start the level, and the
    // program is still on its first screen until Escape ends it.
    ASSERT_TRUE(PressUntilExit(XK_Escape, 0));
    EXPECT_EQ(game_.CountInOutput(ScreenLoaded), 3) << game_.Output();
}

} // namespace
