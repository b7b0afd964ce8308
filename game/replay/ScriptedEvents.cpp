#include "ScriptedEvents.h"

#include "GameState.h"
#include "MvAssert.h"

#include <cstring>

namespace {

SDL_Event EventOf(const ReplayStep& step)
{
    SDL_Event event;
    std::memset(&event, 0, sizeof event);
    switch (step.kind) {
    case ReplayStep::KeyDown:
    case ReplayStep::KeyUp:
        event.type = step.kind == ReplayStep::KeyDown ? SDL_KEYDOWN : SDL_KEYUP;
        event.key.state = step.kind == ReplayStep::KeyDown ? SDL_PRESSED : SDL_RELEASED;
        event.key.keysym.sym = static_cast<SDLKey>(step.value);
        break;
    case ReplayStep::StickMotion:
        event.type = SDL_JOYAXISMOTION;
        event.jaxis.which = 0;
        event.jaxis.axis = static_cast<Uint8>(step.axis);
        event.jaxis.value = static_cast<Sint16>(step.value);
        break;
    case ReplayStep::ButtonDown:
    case ReplayStep::ButtonUp:
        event.type = step.kind == ReplayStep::ButtonDown ? SDL_JOYBUTTONDOWN : SDL_JOYBUTTONUP;
        event.jbutton.which = 0;
        event.jbutton.button = static_cast<Uint8>(step.value);
        event.jbutton.state = step.kind == ReplayStep::ButtonDown ? SDL_PRESSED : SDL_RELEASED;
        break;
    case ReplayStep::WindowClose:
        event.type = SDL_QUIT;
        break;
    case ReplayStep::Screenshot:
        MvAssert(false);
        break;
    }
    return event;
}

// The modifier bit of a modifier key, as SDL keeps it in its key events; 0 for other keys.
int ModifierOf(int sym)
{
    switch (sym) {
    case SDLK_LSHIFT:
        return KMOD_LSHIFT;
    case SDLK_RSHIFT:
        return KMOD_RSHIFT;
    case SDLK_LCTRL:
        return KMOD_LCTRL;
    case SDLK_RCTRL:
        return KMOD_RCTRL;
    case SDLK_LALT:
        return KMOD_LALT;
    case SDLK_RALT:
        return KMOD_RALT;
    default:
        return 0;
    }
}

} // namespace

ScriptedEvents::ScriptedEvents(const ReplayScript* script, int maxTicks, ScreenshotTaker taker)
    : maxTicks_(maxTicks)
    , taker_(std::move(taker))
{
    MvAssert(script != nullptr);
    MvAssert(maxTicks >= 1);
    // Input at a tick comes before that tick's event and screenshots after it, whatever
    // their order in the file, so the two kinds are walked separately.
    for (const ReplayStep& step : script->Steps())
        (step.IsInput() ? inputs_ : screenshots_).push_back(step);
    summary_.scriptEndTick = script->LastTick();
}

bool ScriptedEvents::Wait(SDL_Event* event)
{
    MvAssert(event != nullptr);
    TakeScreenshotsDue();

    if (ticks_ >= maxTicks_) {
        if (summary_.limitEscapeTick == 0)
            summary_.limitEscapeTick = ticks_;
        // A screen that is still waiting after Escape did not take it; ending its loop
        // instead moves the flow on, so the run ends even then.
        escapeHanded_ = !escapeHanded_;
        if (!escapeHanded_)
            return false;
        ReplayStep escape;
        escape.kind = ReplayStep::KeyDown;
        escape.value = SDLK_ESCAPE;
        *event = EventOf(escape);
        return true;
    }
    if (nextInput_ < inputs_.size() && inputs_[nextInput_].tick <= ticks_ + 1) {
        const ReplayStep& step = inputs_[nextInput_++];
        *event = EventOf(step);
        // As SDL does, every key event carries the modifier keys held, its own included
        // when it is one and goes down.
        if (step.kind == ReplayStep::KeyDown)
            modifiers_ |= ModifierOf(step.value);
        else if (step.kind == ReplayStep::KeyUp)
            modifiers_ &= ~ModifierOf(step.value);
        if (event->type == SDL_KEYDOWN || event->type == SDL_KEYUP)
            event->key.keysym.mod = static_cast<decltype(event->key.keysym.mod)>(modifiers_);
        return true;
    }
    ++ticks_;
    std::memset(event, 0, sizeof *event);
    event->type = SDL_USEREVENT;
    return true;
}

void ScriptedEvents::PlayEnded(bool quit, bool done)
{
    TakeScreenshotsDue();
    ++summary_.levelsPlayed;
    summary_.level = GameState::chosenLevel;
    if (GameState::lost)
        summary_.outcome = ReplaySummary::Lost;
    else if (quit)
        summary_.outcome = ReplaySummary::Quit;
    else if (done)
        summary_.outcome = ReplaySummary::Won;
    else // the loop saw a quit event
        summary_.outcome = ReplaySummary::Closed;
    summary_.levelTicks = GameState::ticks;
    summary_.points = GameState::points;
    summary_.flags = GameState::flagsCollected;
    summary_.enemiesDefeated = GameState::enemiesDefeated;
    summary_.lives = GameState::lives;
}

ReplaySummary ScriptedEvents::Summary() const
{
    ReplaySummary summary = summary_;
    summary.runTicks = ticks_;
    summary.stepsNotReached = static_cast<int>(inputs_.size() - nextInput_ + screenshots_.size() - nextScreenshot_);
    return summary;
}

void ScriptedEvents::TakeScreenshotsDue()
{
    while (nextScreenshot_ < screenshots_.size() && screenshots_[nextScreenshot_].tick <= ticks_) {
        const ReplayStep& step = screenshots_[nextScreenshot_++];
        if (taker_)
            taker_(step);
    }
}
