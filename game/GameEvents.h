#ifndef GAME_EVENTS_H
#define GAME_EVENTS_H

#include <SDL.h>

// Where the screens' events come from. The program waits on SDL's queue and has SDL's
// timer post the ticks; a tool that replays recorded input hands the screens the same
// kinds of events from its script instead, ticks included, as fast as they are handled.
// The screens cannot tell the two apart, so both run the very same game code.
class GameEvents {
public:
    virtual ~GameEvents() = default;

    // Waits for the next event and stores it in *event (asserted not null); false when
    // there is none to be had, which ends the current screen's loop.
    virtual bool Wait(SDL_Event* event) = 0;

    // Starts the ticks: one SDL_USEREVENT every 50 milliseconds. Every menu screen asks
    // for them again; asking again restarts them.
    virtual void StartTicks() = 0;

    // Told when a level was played and the play screen's loop has ended, before its stage
    // goes, so the screen still shows the level's last frame and GameState holds its
    // results; not told for the play screen skipped after Escape on the menu. quit and
    // done are the flow's flags at that moment. The program's own events ignore it.
    virtual void PlayEnded(bool /*quit*/, bool /*done*/) {}
};

#endif
