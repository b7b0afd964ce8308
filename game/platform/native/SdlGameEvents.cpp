#include "SdlGameEvents.h"

#include "MvAssert.h"
#include "ScreenFlow.h"

bool SdlGameEvents::Wait(SDL_Event* event)
{
    MvAssert(event != nullptr);
    return SDL_WaitEvent(event) != 0;
}

void SdlGameEvents::StartTicks() { SDL_SetTimer(TickInterval, TimerTick); }
