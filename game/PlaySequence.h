#ifndef PLAY_SEQUENCE_H
#define PLAY_SEQUENCE_H

#include "ContactSide.h"

#include <SDL.h>

// The play screen's handling of one event. Input goes to the hero's handlers and the timer
// event is the tick (animation, the hero's motion, the fall test, the clock and the
// frame); after every event, whatever its type, a fixed sequence of game steps runs:
// recompute, hero settling, enemy and platform steps, enemy contacts, scrolling, the
// labels following the hero, removal of platforms left behind, flag collection and the
// win test. Only the tick draws, so other events change state the next tick shows. The
// play loop calls it for every event until *done or *quit is set or the level is lost.

// Handles event on the play screen of GameState::engine. Escape sets *quit; a fall below
// y 650 sets *done and GameState::lost; passing the level's end sets *done. Asserts there
// is a stage with a hero ("track").
void HandlePlayEvent(const SDL_Event& event, bool* quit, bool* done);

// The contacts the last play event found: the hero's platform contacts are replaced by the
// enemy contacts of the same event.
const ContactSide* PlayContacts();

#endif
