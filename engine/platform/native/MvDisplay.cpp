#include "MvDisplay.h"

#include "MvAssert.h"

SDL_Surface* MvDisplay::OpenScreen(int width, int height, Uint32 flags)
{
    return SDL_SetVideoMode(width, height, 0, flags);
}

SDL_Surface* MvDisplay::ToggleFullScreen(SDL_Surface* screen)
{
    MvAssert(screen != nullptr);
    if (screen != SDL_GetVideoSurface())
        return screen;
    // X11 switches in place; most other drivers need a new video mode.
    if (SDL_WM_ToggleFullScreen(screen) != 0)
        return screen;
    // The new mode keeps the size and the depth, so the stage's layout stays valid.
    const int width = screen->w;
    const int height = screen->h;
    const int depth = screen->format->BitsPerPixel;
    const Uint32 before = screen->flags & SDL_FULLSCREEN;
    if (SDL_Surface* switched = SDL_SetVideoMode(width, height, depth, before ^ SDL_FULLSCREEN))
        return switched;
    return SDL_SetVideoMode(width, height, depth, before);
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
