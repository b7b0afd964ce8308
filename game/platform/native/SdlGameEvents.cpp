#include "SdlGameEvents.h"

#include "MvAssert.h"
#include "ScreenFlow.h"

#include <cstring>

bool SdlGameEvents::Wait(SDL_Event* event)
{
    MvAssert(event != nullptr);
    return SDL_WaitEvent(event) != 0;
}

void SdlGameEvents::StartTicks() { SDL_SetTimer(TickInterval, TimerTick); }

Uint32 TimerTick(Uint32 /*interval*/)
{
    SDL_Event event;
    std::memset(&event, 0, sizeof event);
    event.type = SDL_USEREVENT;
    SDL_PeepEvents(&event, 1, SDL_ADDEVENT, 0);
    return TickInterval;
}
