#include "DummySdl.h"
#include "EventFeeder.h"
#include "GameState.h"
#include "GameStateValues.h"
#include "GameWorld.h"
#include "MvFailedCheck.h"
#include "MvStage.h"
#include "ScreenFlow.h"
#include "Sound.h"
#include "StopSignal.h"
#include "Watchdog.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

// ---- Keys on the menu and the end screen -------------------------------------------

struct KeyCase {
    const char* what;
    int sym;
    bool done;
    bool quit;
    int chosenLevel; // chosen level afterwards; it starts at 2
};

TEST(OnMenuKey, ActsOnReturnEscapeAndTheDigitsOneToThree)
{
    const KeyCase cases[] = {
        {"Return starts the chosen level", SDLK_RETURN, true, false, 2},
        {"Escape quits", SDLK_ESCAPE, false, true, 2},
        {"1 chooses level 1", SDLK_1, false, false, 1},
        {"2 chooses level 2", SDLK_2, false, false, 2},
        {"3 chooses level 3", SDLK_3, false, false, 3},
        {"0 is no level", SDLK_0, false, false, 2},
        {"4 is no level", SDLK_4, false, false, 2},
        {"keypad 1 is not the digit key", SDLK_KP1, false, false, 2},
        {"keypad Enter is not Return", SDLK_KP_ENTER, false, false, 2},
        {"a letter", SDLK_a, false, false, 2},
        {"Space", SDLK_SPACE, false, false, 2},
    };
    GameStateGuard guard;
    for (const KeyCase& c : cases) {
        GameState::chosenLevel = 2;
        bool done = false;
        bool quit = false;
        OnMenuKey(c.sym, &done, &quit);
        EXPECT_EQ(done, c.done) << c.what;
        EXPECT_EQ(quit, c.quit) << c.what;
        EXPECT_EQ(GameState::chosenLevel, c.chosenLevel) << c.what;
    }
}

TEST(OnEndKey, ActsOnReturnAndEscapeOnly)
{
    const KeyCase cases[] = {
        {"Return goes back to the menu", SDLK_RETURN, true, false, 2},
        {"Escape quits", SDLK_ESCAPE, false, true, 2},
        {"digits choose nothing here", SDLK_1, false, false, 2},
        {"keypad Enter is not Return", SDLK_KP_ENTER, false, false, 2},
    };
    GameStateGuard guard;
    for (const KeyCase& c : cases) {
        GameState::chosenLevel = 2;
        bool done = false;
        bool quit = false;
        OnEndKey(c.sym, &done, &quit);
        EXPECT_EQ(done, c.done) << c.what;
        EXPECT_EQ(quit, c.quit) << c.what;
        EXPECT_EQ(GameState::chosenLevel, c.chosenLevel) << c.what;
    }
}

// ---- The tick timer ----------------------------------------------------------------

TEST(TimerTick, PostsOneUserEventAndAsksForTheNextIn50Milliseconds)
{
    DummySdl sdl;
    ASSERT_TRUE(sdl.Started()) << SDL_GetError();

    EXPECT_EQ(TimerTick(123), 50u);

    const std::vector<SDL_Event> events = DummySdl::DrainEvents();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].type, SDL_USEREVENT);
}

// ---- The screens -------------------------------------------------------------------

// A screen flow on a 32-bit 800 x 600 surface standing in for the screen (the dummy video
// driver's own screen has 8 bits, which no painter serves). Events are queued before a
// screen runs; the screen then reads them as if the player had made them.
class ScreenFlowTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(sdl_.Started()) << SDL_GetError();
        screen_ = SDL_CreateRGBSurface(SDL_SWSURFACE, 800, 600, 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0);
        ASSERT_NE(screen_, nullptr);
        GameState::chosenLevel = 1;
        GameState::engine = nullptr;
    }

    void TearDown() override
    {
        if (screen_)
            SDL_FreeSurface(screen_);
    }

    static void Queue(const std::vector<SDL_Event>& events)
    {
        for (SDL_Event event : events)
            ASSERT_EQ(SDL_PushEvent(&event), 0);
    }

    // The key-down events left in the queue, by key; ticks are left out.
    static std::vector<int> KeysLeft()
    {
        std::vector<int> keys;
        for (const SDL_Event& event : DummySdl::DrainEvents())
            if (event.type == SDL_KEYDOWN)
                keys.push_back(event.key.keysym.sym);
        return keys;
    }

    GameStateGuard guard_;
    DummySdl sdl_;
    SDL_Surface* screen_ = nullptr;
    GameWorld world_;
};

struct ScreenCase {
    const char* what;
    std::vector<SDL_Event> events;
    bool quit;
    int chosenLevel;
    std::vector<int> keysLeft; // keys the screen did not read
};

struct MenuCase {
    const char* what;
    std::vector<SDL_Event> events;
    bool done;
    bool quit;
    int chosenLevel;
    std::vector<int> keysLeft;
};

TEST_F(ScreenFlowTest, MenuLoopEndsOnReturnEscapeOrAQuitEvent)
{
    const MenuCase cases[] = {
        {"Return alone starts level 1", {DummySdl::KeyDown(SDLK_RETURN)}, true, false, 1, {}},
        {"a digit, then Return", {DummySdl::KeyDown(SDLK_3), DummySdl::KeyDown(SDLK_RETURN)}, true, false, 3, {}},
        {"the last digit counts",
         {DummySdl::KeyDown(SDLK_3), DummySdl::KeyDown(SDLK_2), DummySdl::KeyDown(SDLK_RETURN)},
         true,
         false,
         2,
         {}},
        {"Escape quits", {DummySdl::KeyDown(SDLK_ESCAPE)}, false, true, 1, {}},
        {"a quit event ends the menu, not the program", {DummySdl::Quit()}, false, false, 1, {}},
        {"ticks, key releases and other keys do nothing",
         {DummySdl::OfType(SDL_USEREVENT), DummySdl::KeyUp(SDLK_ESCAPE), DummySdl::KeyDown(SDLK_4),
          DummySdl::OfType(SDL_MOUSEMOTION), DummySdl::KeyDown(SDLK_RETURN)},
         true,
         false,
         1,
         {}},
        {"keys after Return are left for the play screen",
         {DummySdl::KeyDown(SDLK_RETURN), DummySdl::KeyDown(SDLK_ESCAPE)},
         true,
         false,
         1,
         {SDLK_ESCAPE}},
    };
    MvStage stage(screen_);
    for (const MenuCase& c : cases) {
        ScreenFlow flow(screen_, &world_);
        GameState::chosenLevel = 1;
        GameState::engine = &stage;
        Queue(c.events);
        {
            Watchdog watchdog(c.what, 10);
            flow.MenuLoop();
        }
        EXPECT_EQ(flow.Quit(), c.quit) << c.what;
        EXPECT_EQ(flow.Done(), c.done) << c.what;
        EXPECT_EQ(GameState::chosenLevel, c.chosenLevel) << c.what;
        EXPECT_EQ(KeysLeft(), c.keysLeft) << c.what;
    }
    GameState::engine = nullptr;
}

TEST_F(ScreenFlowTest, MenuScreenStartsTheTickTimerAndTearsDownItsStage)
{
    {
        // The menu drops what is queued when it starts, so Escape keeps coming.
        EventFeeder escape(DummySdl::KeyDown(SDLK_ESCAPE), 5);
        Watchdog watchdog("the menu", 10);
        ScreenFlow flow(screen_, &world_);
        flow.RunMenuScreen();
        EXPECT_TRUE(flow.Quit());
        EXPECT_FALSE(flow.Done());
        EXPECT_EQ(flow.Joystick(), nullptr) << "no joystick is attached";
        EXPECT_EQ(GameState::engine, nullptr);
    }
    // The timer goes on after the menu: ticks keep arriving.
    DummySdl::DrainEvents();
    Watchdog watchdog("waiting for a tick", 10);
    SDL_Event event;
    do
        ASSERT_EQ(SDL_WaitEvent(&event), 1);
    while (event.type != SDL_USEREVENT);
}

TEST_F(ScreenFlowTest, PlayScreenStartsTheLevelAfreshAndEndsOnEscapeOrAQuitEvent)
{
    const ScreenCase cases[] = {
        {"Escape quits", {DummySdl::KeyDown(SDLK_ESCAPE)}, true, 1, {}},
        {"a quit event ends the level, not the program", {DummySdl::Quit()}, false, 1, {}},
        {"Return does nothing while playing",
         {DummySdl::KeyDown(SDLK_RETURN), DummySdl::OfType(SDL_USEREVENT), DummySdl::KeyDown(SDLK_ESCAPE)},
         true,
         1,
         {}},
    };
    for (const ScreenCase& c : cases) {
        ScreenFlow flow(screen_, &world_);
        // Left over from a lost level: the play screen must not end at once.
        GameState::lost = true;
        GameState::lives = 0;
        GameState::points = 1234;
        GameState::shiftKeysHeld = 1; // let go while another screen ran
        Queue(c.events);
        {
            Watchdog watchdog(c.what, 10);
            flow.RunPlayScreen();
        }
        EXPECT_EQ(flow.Quit(), c.quit) << c.what;
        EXPECT_FALSE(flow.Done()) << c.what;
        EXPECT_FALSE(GameState::lost) << c.what;
        EXPECT_EQ(GameState::lives, 2) << c.what;
        EXPECT_EQ(GameState::points, 0) << c.what;
        EXPECT_EQ(GameState::shiftKeysHeld, 0) << c.what;
        EXPECT_EQ(GameState::engine, nullptr) << c.what;
        EXPECT_EQ(KeysLeft(), c.keysLeft) << c.what;
    }
}

TEST_F(ScreenFlowTest, EndScreenEndsOnReturnEscapeOrAQuitEvent)
{
    const ScreenCase cases[] = {
        {"Return goes back to the menu", {DummySdl::KeyDown(SDLK_RETURN), DummySdl::KeyDown(SDLK_ESCAPE)}, false, 1,
         {SDLK_ESCAPE}},
        {"Escape quits", {DummySdl::KeyDown(SDLK_ESCAPE)}, true, 1, {}},
        {"a quit event goes back to the menu", {DummySdl::KeyDown(SDLK_2), DummySdl::Quit()}, false, 1, {}},
    };
    for (const ScreenCase& c : cases) {
        ScreenFlow flow(screen_, &world_);
        Queue(c.events);
        {
            Watchdog watchdog(c.what, 10);
            flow.RunEndScreen();
        }
        EXPECT_EQ(flow.Quit(), c.quit) << c.what;
        EXPECT_FALSE(flow.Done()) << c.what;
        EXPECT_EQ(GameState::chosenLevel, c.chosenLevel) << c.what;
        EXPECT_EQ(GameState::engine, nullptr) << c.what;
        EXPECT_EQ(KeysLeft(), c.keysLeft) << c.what;
    }
}

// ---- SIGINT and SIGTERM -------------------------------------------------------------

// The stop signals caught as the program catches them, with SDL's ticks coming; what was
// installed before is put back at the end.
class StopSignalTest : public ScreenFlowTest {
protected:
    void SetUp() override
    {
        ScreenFlowTest::SetUp();
        sigaction(SIGINT, nullptr, &previousInt_);
        sigaction(SIGTERM, nullptr, &previousTerm_);
        CatchStopSignals();
    }
    void TearDown() override
    {
        sigaction(SIGINT, &previousInt_, nullptr);
        sigaction(SIGTERM, &previousTerm_, nullptr);
        SetStopSignalled(false);
        ScreenFlowTest::TearDown();
    }

    struct sigaction previousInt_ = {};
    struct sigaction previousTerm_ = {};
};

TEST_F(StopSignalTest, EndsTheWholeFlowAsEscapeDoes)
{
    for (int signal : {SIGINT, SIGTERM}) {
        SetStopSignalled(false);
        ScreenFlow flow(screen_, &world_);
        EventFeeder ticks(DummySdl::OfType(SDL_USEREVENT), 5);
        // Sent while the menu waits for its events.
        std::thread sender([signal] {
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
            kill(getpid(), signal);
        });
        {
            Watchdog watchdog(strsignal(signal), 10);
            flow.Run();
        }
        sender.join();
        EXPECT_TRUE(flow.Quit()) << strsignal(signal);
        EXPECT_TRUE(StopSignalled()) << strsignal(signal);
        EXPECT_EQ(GameState::engine, nullptr) << strsignal(signal);
    }
}

TEST_F(StopSignalTest, CutsTheDeathPauseShort)
{
    SetDeathPause(nullptr);
    std::thread sender([] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        kill(getpid(), SIGTERM);
    });
    {
        // Well within the pause's 5 seconds.
        Watchdog watchdog("the death pause", 3);
        PlayDeath();
    }
    sender.join();
    EXPECT_TRUE(StopSignalled());
}

TEST(ScreenFlowDeathTest, NeedsAScreenAndAWorld)
{
    GameWorld world;
    EXPECT_DEATH(ScreenFlow(nullptr, &world), MvFailedCheck("screen != nullptr"));
    SDL_Surface* screen = SDL_CreateRGBSurface(SDL_SWSURFACE, 8, 8, 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0);
    ASSERT_NE(screen, nullptr);
    EXPECT_DEATH(ScreenFlow(screen, nullptr), MvFailedCheck("world != nullptr"));
    SDL_FreeSurface(screen);
}

} // namespace
