#include "ScriptedEvents.h"

#include "GameState.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

ReplayScript Script(const std::string& text)
{
    ReplayScript script;
    std::string error;
    EXPECT_TRUE(script.Parse("test.txt", text, &error)) << error;
    return script;
}

std::string Describe(const SDL_Event& event)
{
    switch (event.type) {
    case SDL_USEREVENT: return "tick";
    case SDL_KEYDOWN: return "down " + std::to_string(event.key.keysym.sym);
    case SDL_KEYUP: return "up " + std::to_string(event.key.keysym.sym);
    case SDL_JOYAXISMOTION:
        return "stick " + std::to_string(event.jaxis.which) + "/" + std::to_string(event.jaxis.axis) + " " +
               std::to_string(event.jaxis.value);
    case SDL_JOYBUTTONDOWN:
    case SDL_JOYBUTTONUP:
        return std::string(event.type == SDL_JOYBUTTONDOWN ? "press " : "let go ") + std::to_string(event.jbutton.which) +
               "/" + std::to_string(event.jbutton.button) + (event.jbutton.state == SDL_PRESSED ? " pressed" : " released");
    case SDL_QUIT: return "quit";
    default: return "type " + std::to_string(event.type);
    }
}

// The game's side of a run: what each wait hands out, with the screenshots taken in between.
class Recorder {
public:
    ScriptedEvents::ScreenshotTaker Taker()
    {
        return [this](const ReplayStep& step) { seen.push_back("screenshot " + step.name); };
    }
    void Wait(ScriptedEvents* events, int count)
    {
        for (int i = 0; i < count; ++i) {
            SDL_Event event;
            ASSERT_TRUE(events->Wait(&event));
            seen.push_back(Describe(event));
        }
    }
    std::vector<std::string> seen;
};

// GameState's results fields, put back when a test ends.
class ResultsGuard {
public:
    ~ResultsGuard()
    {
        GameState::chosenLevel = chosenLevel_;
        GameState::lost = lost_;
        GameState::ticks = ticks_;
        GameState::points = points_;
        GameState::flagsCollected = flags_;
        GameState::enemiesDefeated = enemies_;
        GameState::lives = lives_;
    }

private:
    int chosenLevel_ = GameState::chosenLevel;
    bool lost_ = GameState::lost;
    int ticks_ = GameState::ticks;
    int points_ = GameState::points;
    int flags_ = GameState::flagsCollected;
    int enemies_ = GameState::enemiesDefeated;
    int lives_ = GameState::lives;
};

// Input at tick t comes before tick t's event, in file order; a screenshot at t comes
// after tick t's event, whatever its place among the lines of that tick.
TEST(ScriptedEvents, HandsInputBeforeItsTickAndTakesScreenshotsAfterIt)
{
    const ReplayScript script = Script("at 2 press Return\n"
                                       "at 2 screenshot a.png\n"
                                       "at 2 release Return\n"
                                       "at 4 stick -32767\n"
                                       "at 4 stick 9 axis 2\n"
                                       "at 4 button 1 down\n"
                                       "at 4 button 0 up\n"
                                       "at 4 screenshot b.png\n"
                                       "at 4 screenshot c.png\n"
                                       "at 5 close\n");
    Recorder recorder;
    ScriptedEvents events(&script, 100, recorder.Taker());
    events.StartTicks();
    recorder.Wait(&events, 13);
    const std::vector<std::string> expected = {
        "tick",         "down 13", "up 13", "tick",           "screenshot a.png",        "tick",
        "stick 0/0 -32767", "stick 0/2 9", "press 0/1 pressed", "let go 0/0 released", "tick", "screenshot b.png",
        "screenshot c.png", "quit", "tick", "tick",
    };
    EXPECT_EQ(recorder.seen, expected);
    EXPECT_EQ(events.Ticks(), 6);
    EXPECT_EQ(events.Summary().stepsNotReached, 0);
}

// Later menus ask for the ticks again; the script's tick numbers go on counting.
TEST(ScriptedEvents, TicksCountFromTheStartOfTheRunAcrossMenus)
{
    const ReplayScript script = Script("at 3 press 2\n");
    Recorder recorder;
    ScriptedEvents events(&script, 100, recorder.Taker());
    events.StartTicks();
    recorder.Wait(&events, 2);
    events.StartTicks();
    recorder.Wait(&events, 2);
    EXPECT_EQ(recorder.seen, (std::vector<std::string>{"tick", "tick", "down 50", "tick"}));
}

// At the limit the waits hand Escape, which ends the game from any screen; a screen still
// waiting after it gets no more events, so that a screen ignoring Escape cannot keep the
// run going. The steps beyond the limit are reported as not reached.
TEST(ScriptedEvents, PressesEscapeOnceTheTickLimitIsReached)
{
    const ReplayScript script = Script("at 3 screenshot three.png\nat 3 press Up\nat 4 press Up\nat 9 screenshot nine.png\n");
    Recorder recorder;
    ScriptedEvents events(&script, 3, recorder.Taker());
    events.StartTicks();
    recorder.Wait(&events, 5);
    const std::vector<std::string> expected = {"tick", "tick", "down 273", "tick", "screenshot three.png", "down 27"};
    EXPECT_EQ(recorder.seen, expected);
    SDL_Event event;
    EXPECT_FALSE(events.Wait(&event));
    ASSERT_TRUE(events.Wait(&event));
    EXPECT_EQ(Describe(event), "down 27");
    EXPECT_EQ(events.Ticks(), 3);
    const ReplaySummary summary = events.Summary();
    EXPECT_EQ(summary.limitEscapeTick, 3);
    EXPECT_EQ(summary.runTicks, 3);
    EXPECT_EQ(summary.stepsNotReached, 2);
    EXPECT_EQ(summary.scriptEndTick, 9);
}

TEST(ScriptedEvents, ATakerlessRunStillWalksTheScreenshots)
{
    const ReplayScript script = Script("at 1 screenshot a.png\n");
    ScriptedEvents events(&script, 10, ScriptedEvents::ScreenshotTaker());
    SDL_Event event;
    ASSERT_TRUE(events.Wait(&event));
    ASSERT_TRUE(events.Wait(&event));
    EXPECT_EQ(events.Summary().stepsNotReached, 0);
}

// The play screen's end takes the screenshot of the tick that ended it, before the stage
// goes, and keeps the level's results from GameState.
TEST(ScriptedEvents, ThePlayScreensEndTakesDueScreenshotsAndKeepsTheResults)
{
    ResultsGuard guard;
    const ReplayScript script = Script("at 1 screenshot end.png\n");
    Recorder recorder;
    ScriptedEvents events(&script, 10, recorder.Taker());
    recorder.Wait(&events, 1);
    GameState::chosenLevel = 3;
    GameState::lost = false;
    GameState::ticks = 2104;
    GameState::points = 1350;
    GameState::flagsCollected = 17;
    GameState::enemiesDefeated = 4;
    GameState::lives = 1;
    events.PlayEnded(false, true);
    EXPECT_EQ(recorder.seen, (std::vector<std::string>{"tick", "screenshot end.png"}));
    const ReplaySummary summary = events.Summary();
    EXPECT_EQ(summary.levelsPlayed, 1);
    EXPECT_EQ(summary.outcome, ReplaySummary::Won);
    EXPECT_EQ(summary.level, 3);
    EXPECT_EQ(summary.levelTicks, 2104);
    EXPECT_EQ(summary.points, 1350);
    EXPECT_EQ(summary.flags, 17);
    EXPECT_EQ(summary.enemiesDefeated, 4);
    EXPECT_EQ(summary.lives, 1);
}

TEST(ScriptedEvents, TellsHowALevelEndedFromTheFlowsFlagsAndTheLostFlag)
{
    const struct {
        const char* what;
        bool lost;
        bool quit;
        bool done;
        ReplaySummary::Outcome outcome;
    } cases[] = {
        {"passed the end", false, false, true, ReplaySummary::Won},
        {"fell", true, false, true, ReplaySummary::Lost},
        {"lost the last life", true, false, false, ReplaySummary::Lost},
        {"Escape", false, true, false, ReplaySummary::Quit},
        {"Escape on the winning event", false, true, true, ReplaySummary::Quit},
        {"a quit event", false, false, false, ReplaySummary::Closed},
    };
    ResultsGuard guard;
    const ReplayScript script = Script("");
    for (const auto& c : cases) {
        ScriptedEvents events(&script, 10, ScriptedEvents::ScreenshotTaker());
        GameState::lost = c.lost;
        events.PlayEnded(c.quit, c.done);
        EXPECT_EQ(events.Summary().outcome, c.outcome) << c.what;
    }
}

TEST(ScriptedEvents, TheSummaryTakesTheLastLevelPlayed)
{
    ResultsGuard guard;
    const ReplayScript script = Script("");
    ScriptedEvents events(&script, 10, ScriptedEvents::ScreenshotTaker());
    GameState::lost = true;
    GameState::chosenLevel = 1;
    events.PlayEnded(false, true);
    GameState::lost = false;
    GameState::chosenLevel = 2;
    events.PlayEnded(true, false);
    const ReplaySummary summary = events.Summary();
    EXPECT_EQ(summary.levelsPlayed, 2);
    EXPECT_EQ(summary.level, 2);
    EXPECT_EQ(summary.outcome, ReplaySummary::Quit);
}

} // namespace
