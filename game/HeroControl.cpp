#include "HeroControl.h"

void OnKeyDown(SDL_Event event, bool* quit)
{
    if (event.key.keysym.sym == SDLK_ESCAPE)
        *quit = true;
}
