#ifndef HERO_CONTROL_H
#define HERO_CONTROL_H

#include <SDL.h>

// The hero's input handling on the play screen: keyboard events become the hero's speeds,
// facing and action. The handlers take the event by value and change GameState; the
// motion itself happens in the play screen's tick.

// Key press on the play screen. Escape (sym 27) sets *quit, which ends the program.
void OnKeyDown(SDL_Event event, bool* quit);

#endif
