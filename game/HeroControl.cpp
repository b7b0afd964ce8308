#include "HeroControl.h"

#include "MvAssert.h"

void OnKeyDown(SDL_Event event, bool* quit)
{
    if (event.key.keysym.sym == SDLK_ESCAPE)
        *quit = true;
}

void OnKeyUp(SDL_Event /*event*/) {}

void OnStickMotion(SDL_Event /*event*/) {}

void OnButtonDown(SDL_Event /*event*/) {}

void OnButtonUp(SDL_Event /*event*/) {}

void UpdateHero(ContactSide* contacts, SDL_Event /*event*/)
{
    MvAssert(contacts != nullptr);
    for (int i = 0; i < ContactCount; ++i)
        contacts[i] = ContactSide::None;
}
