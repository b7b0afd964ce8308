#ifndef SCRIPTED_EVENTS_H
#define SCRIPTED_EVENTS_H

#include "GameEvents.h"
#include "ReplayScript.h"
#include "ReplaySummary.h"

#include <functional>
#include <vector>

// The screens' events taken from a replay script instead of SDL's queue: the script's
// input at its ticks and a tick event whenever the script has nothing more for the
// current tick, handed out as fast as the game asks, with no timer and no clock. A step
// at tick t is handed before tick t's timer event; a screenshot at t is taken once tick
// t's event has been handled, that is at the next wait or when the play screen ends.
// When the tick limit is reached, the waits hand Escape, which ends the game from any
// screen; a screen that ignores it gets no more events. A run therefore ends whatever
// the script says.
class ScriptedEvents : public GameEvents {
public:
    // Called with each screenshot step when it is due.
    using ScreenshotTaker = std::function<void(const ReplayStep& step)>;

    // Hands out script's steps (not owned; it must outlive this) and at most maxTicks
    // ticks; screenshots go to taker (may be empty: none are taken). Asserts script is not
    // null and maxTicks >= 1.
    ScriptedEvents(const ReplayScript* script, int maxTicks, ScreenshotTaker taker);

    // The next script step or the next tick; past the limit Escape, and false (no more
    // events) for a wait that follows such an Escape. Takes the screenshots due first.
    // Asserts event is not null.
    bool Wait(SDL_Event* event) override;
    // Nothing to start: the ticks count from the run's first wait and are not restarted
    // by later menus, so script tick numbers count from the start of the run.
    void StartTicks() override;
    // Takes the screenshots due while the level's last frame still shows and notes the
    // level's results from GameState.
    void PlayEnded(bool quit, bool done) override;

    // Ticks handed so far.
    int Ticks() const;
    // The run so far: the last level's results, the tick count and the script's progress.
    ReplaySummary Summary() const;

private:
    // Calls the taker for every screenshot step whose tick has been handled.
    void TakeScreenshotsDue();

    std::vector<ReplayStep> inputs_;
    std::vector<ReplayStep> screenshots_;
    size_t nextInput_ = 0;
    size_t nextScreenshot_ = 0;
    int maxTicks_;
    int ticks_ = 0;
    ScreenshotTaker taker_;
    bool escapeHanded_ = false; // the last wait handed the limit's Escape
    int modifiers_ = 0;         // the modifier keys held (SDL's KMOD_ bits)
    ReplaySummary summary_;
};

inline void ScriptedEvents::StartTicks() {}
inline int ScriptedEvents::Ticks() const { return ticks_; }

#endif
