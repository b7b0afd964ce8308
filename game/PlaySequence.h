#ifndef PLAY_SEQUENCE_H
#define PLAY_SEQUENCE_H

#include <SDL.h>

// The play screen's handling of one event: input goes to the hero's handlers and the
// timer event is the tick that draws the frame. The play loop calls it for every event
// until *done or *quit is set or the level is lost.
void HandlePlayEvent(const SDL_Event& event, bool* quit, bool* done);

#endif
