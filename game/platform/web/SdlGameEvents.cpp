#include "SdlGameEvents.h"

#include "MvAssert.h"
#include "ScreenFlow.h"

#include <cstring>

namespace {

// Longest sleep between two looks at SDL's queue, so that input is handled about as soon
// as it comes, between ticks too.
constexpr Uint32 LongestSleep = 5;
// A tick more than this late (the page was hidden and the browser held the program back)
// is not made up for: the ticks start again from now, as a desktop timer's would.
constexpr Uint32 LongestCatchUp = 4 * TickInterval;

bool ticking = false;
Uint32 nextTick = 0;

} // namespace

bool SdlGameEvents::Wait(SDL_Event* event)
{
    MvAssert(event != nullptr);
    for (;;) {
        if (SDL_PollEvent(event) != 0)
            return true;
        const Uint32 now = SDL_GetTicks();
        if (ticking && static_cast<Sint32>(now - nextTick) >= 0) {
            nextTick = now - nextTick > LongestCatchUp ? now + TickInterval : nextTick + TickInterval;
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
