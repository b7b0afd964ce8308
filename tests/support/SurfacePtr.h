#ifndef SURFACE_PTR_H
#define SURFACE_PTR_H

#include <SDL.h>

#include <cstdint>
#include <memory>

// An SDL surface owned by a test or benchmark: freed with SDL_FreeSurface when it goes.
struct SurfaceDeleter {
    void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};
typedef std::unique_ptr<SDL_Surface, SurfaceDeleter> SurfacePtr;

// A software surface of w x h pixels, bits per pixel and the colour masks; null when SDL
// cannot make one.
inline SurfacePtr MakeSurface(int w, int h, int bits, uint32_t r, uint32_t g, uint32_t b, uint32_t a = 0)
{
    return SurfacePtr(SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, bits, r, g, b, a));
}

#endif
