#ifndef SDL_GAME_EVENTS_H
#define SDL_GAME_EVENTS_H

#include "GameEvents.h"

// The program's own events: SDL's event queue, filled by SDL's input handling and by the
// tick timer (TimerTick on SDL's timer thread).
class SdlGameEvents : public GameEvents {
public:
    // SDL_WaitEvent.
    bool Wait(SDL_Event* event) override;
    // SDL_SetTimer with 50 milliseconds and TimerTick.
    void StartTicks() override;
};

#endif
