#ifndef SDL_GAME_EVENTS_H
#define SDL_GAME_EVENTS_H

#include "GameEvents.h"

// The program's own events: SDL's event queue, filled by SDL's input handling, and the
// ticks. On the desktop SDL's timer thread posts the ticks (TimerTick) and the wait is
// SDL_WaitEvent. In the browser, which has neither SDL_WaitEvent nor a repeating SDL
// timer, the wait polls SDL's queue and makes the tick events itself when their time
// comes, sleeping in between (the browser runs its page meanwhile).
class SdlGameEvents : public GameEvents {
public:
    // The next input event, or the next tick once it is due.
    bool Wait(SDL_Event* event) override;
    // Ticks every 50 milliseconds from now on.
    void StartTicks() override;
};

// The desktop's tick timer callback (SDL's timer thread): posts one SDL_USEREVENT and
// returns 50, so the timer fires again 50 milliseconds later. The interval is ignored.
Uint32 TimerTick(Uint32 interval);

#endif
