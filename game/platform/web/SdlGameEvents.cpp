#include "SdlGameEvents.h"

#include "MvAssert.h"
#include "ScreenFlow.h"

#include <cstring>
#include <set>

namespace {

// Longest sleep between two looks at SDL's queue, so that input is handled about as soon
// as it comes, between ticks too.
constexpr Uint32 LongestSleep = 5;
// Ticks that fell due while the game did not wait (the 5-second pause after a death, a
// page the browser held back) are handed out afterwards, one per wait, as the desktop's
// timer leaves them in SDL's queue; but no more than that queue holds.
constexpr Uint32 MostTicksMadeUp = 127;

// How often the wait looks for a gamepad while none is open.
constexpr Uint32 GamepadLookInterval = 500;

// The keys held down, by symbol.
std::set<int> keysDown;

bool ticking = false;
Uint32 nextTick = 0;
bool gamepadOpen = false;
Uint32 nextGamepadLook = 0;

// The menu opens joystick 0 as it starts, but a browser shows a page a gamepad only after
// one of its buttons was pressed there, which is mostly later. So the wait opens it when
// it appears: from then on the browser's SDL turns its buttons and sticks into events.
void LookForGamepad(Uint32 now)
{
    if (gamepadOpen || static_cast<Sint32>(now - nextGamepadLook) < 0)
        return;
    nextGamepadLook = now + GamepadLookInterval;
    gamepadOpen = SDL_JoystickOpen(0) != nullptr;
}

// A browser repeats a held key's key-down event; desktop SDL, as the game uses it, does
// not, and every event moves the game on. True for such a repeat, which is dropped.
bool IsKeyRepeat(const SDL_Event& event)
{
    if (event.type == SDL_KEYUP)
        keysDown.erase(event.key.keysym.sym);
    return event.type == SDL_KEYDOWN && !keysDown.insert(event.key.keysym.sym).second;
}

} // namespace

bool SdlGameEvents::Wait(SDL_Event* event)
{
    MvAssert(event != nullptr);
    for (;;) {
        if (SDL_PollEvent(event) != 0) {
            if (IsKeyRepeat(*event))
                continue;
            return true;
        }
        const Uint32 now = SDL_GetTicks();
        LookForGamepad(now);
        if (ticking && static_cast<Sint32>(now - nextTick) >= 0) {
            if (now - nextTick >= MostTicksMadeUp * TickInterval)
                nextTick = now - (MostTicksMadeUp - 1) * TickInterval;
            nextTick += TickInterval;
            std::memset(event, 0, sizeof *event);
            event->type = SDL_USEREVENT;
            return true;
        }
        const Uint32 untilTick = ticking ? nextTick - now : LongestSleep;
        // Unwinds to the browser, which runs the page and its input handlers meanwhile.
        SDL_Delay(untilTick < LongestSleep ? untilTick : LongestSleep);
    }
}

void SdlGameEvents::StartTicks()
{
    ticking = true;
    nextTick = SDL_GetTicks() + TickInterval;
}
