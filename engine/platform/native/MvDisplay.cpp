#include "MvDisplay.h"

#include "MvAssert.h"

SDL_Surface* MvDisplay::OpenScreen(int width, int height, Uint32 flags)
{
    return SDL_SetVideoMode(width, height, 0, flags);
}

SDL_Surface* MvDisplay::CreateMemoryScreen(int width, int height)
{
    return SDL_CreateRGBSurface(SDL_SWSURFACE, width, height, 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0);
}

bool MvDisplay::MustLock(const SDL_Surface* surface) { return SDL_MUSTLOCK(surface); }

void MvDisplay::Present(SDL_Surface* screen, SDL_Rect* areas, int count)
{
    MvAssert(count >= 0 && (areas != nullptr || count == 0));
    SDL_UpdateRects(screen, count, areas);
}
