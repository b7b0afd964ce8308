#ifndef HERO_CONTROL_H
#define HERO_CONTROL_H

#include "ContactSide.h"

#include <SDL.h>

class MvSceneNode;
class MvSpriteNode;
class MvDrawableNode;
template <typename T>
class MvGrowArray;

// The hero ("track") on the play screen: keyboard and joystick events become its speeds,
// facing and action, and after every event it is settled against the platforms:
// standing, falling, the top of a jump, bumping a block from below (breaking "Bricks")
// and being pushed back from a wall. The handlers take the event by value and change
// GameState; the motion itself happens in the play screen's tick, which moves the hero by
// (vx, vy) once per tick. Each handler does nothing when there is no stage or no hero.

// Key press: Escape (sym 27) sets *quit (asserted not null); Up jumps from the ground;
// Right and Left walk, or run while either Shift key is held; a Shift key makes a hero
// moving by keyboard run.
void OnKeyDown(SDL_Event event, bool* quit);
// Key release: Up ends a rise at once; Right and Left stop walking that way; letting go of
// the last Shift key held drops a hero running by keyboard to walking.
void OnKeyUp(SDL_Event event);
// Joystick axis motion: axis 0 pushed beyond 20000 either way walks, or runs while
// button 0 is held. The stick's return to the centre is handled by UpdateHero.
void OnStickMotion(SDL_Event event);
// Joystick button press: button 1 jumps from the ground with a sound, button 0 runs.
void OnButtonDown(SDL_Event event);
// Joystick button release: button 1 ends a rise at once, button 0 drops to walking.
void OnButtonUp(SDL_Event event);

// Takes every key, the stick and the run button as let go, as if their releases had come:
// the hero stops walking or running, and a rise ends. Used when their real releases could
// not be seen (a pause). Changes nothing that is not held; does nothing without a hero.
void ReleaseHeldInput();

// Starts a rise of height pixels on hero (asserted not null) at 10 pixels per tick,
// showing the jump action for its facing, and draws the stage.
void StartJump(MvSpriteNode* hero, int height);

// The side of platform (or enemy) p that the moving node m touches, from their positions
// in window 0. Asserts both are not null.
ContactSide ClassifyPlatformContact(MvSceneNode* m, MvSceneNode* p);

// Finds the platforms the hero touches (into hits, asserted not null), classifies the
// first ContactCount of them into contacts and sets GameState::onGround when one of
// them holds the hero up. Returns the number classified.
int FindHeroPlatformContacts(ContactSide* contacts, MvGrowArray<MvDrawableNode*>* hits);

// Settles the hero against the platforms after an event: sets the ContactCount entries
// of contacts (asserted not null) to the platform contacts found, then walking with the
// stick, its release, the top of a rise, falling, standing or a head bump, and push-back
// from walls, in that order.
void UpdateHero(ContactSide* contacts, SDL_Event event);

#endif
