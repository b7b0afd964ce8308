#ifndef HERO_CONTROL_H
#define HERO_CONTROL_H

#include "ContactSide.h"

#include <SDL.h>

// The hero's input handling on the play screen: keyboard and joystick events become the
// hero's speeds, facing and action, and after every event the hero is settled against
// the platforms. The handlers take the event by value and change GameState; the motion
// itself happens in the play screen's tick.

// Key press on the play screen. Escape (sym 27) sets *quit, which ends the program.
void OnKeyDown(SDL_Event event, bool* quit);
// Key release on the play screen.
void OnKeyUp(SDL_Event event);
// Joystick axis motion on the play screen.
void OnStickMotion(SDL_Event event);
// Joystick button press on the play screen.
void OnButtonDown(SDL_Event event);
// Joystick button release on the play screen.
void OnButtonUp(SDL_Event event);

// Settles the hero against the platforms after an event, starting by setting the
// ContactCount entries of contacts to None.
void UpdateHero(ContactSide* contacts, SDL_Event event);

#endif
