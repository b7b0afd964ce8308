#include "MvDisplay.h"

#include "MvAssert.h"

#include <emscripten.h>

#include <cstring>

namespace {

// Copies a width x height area at (x, y) of the pixels (pitch bytes a row, red, green,
// blue bytes in that order, the fourth byte ignored) onto the page's canvas, opaque.
EM_JS(void, PutCanvasArea, (const void* pixels, int pitch, int x, int y, int width, int height), {
    var context = Module['canvas'].getContext('2d');
    var image = context.createImageData(width, height);
    var data = image.data;
    var rowBytes = width * 4;
    for (var row = 0; row < height; ++row) {
        var start = pixels + (y + row) * pitch + x * 4;
        data.set(HEAPU8.subarray(start, start + rowBytes), row * rowBytes);
    }
    for (var alpha = 3; alpha < data.length; alpha += 4)
        data[alpha] = 255;
    context.putImageData(image, x, y);
});

// Asks the page to show the game full screen, or to leave full screen; the page knows how
// (and what around the canvas goes with it).
EM_JS(void, ToggleFullPage, (), {
    if (Module['movoToggleFullScreen'])
        Module['movoToggleFullScreen']();
});

// The shift and the bits lost from 8 of a channel whose bits are mask.
void DescribeChannel(Uint32 mask, Uint8* shift, Uint8* loss)
{
    Uint8 first = 0;
    Uint8 bits = 0;
    if (mask != 0) {
        while ((mask >> first & 1) == 0)
            ++first;
        while (first + bits < 32 && (mask >> (first + bits) & 1) != 0)
            ++bits;
    }
    *shift = first;
    *loss = static_cast<Uint8>(bits >= 8 ? 0 : 8 - bits);
}

// The browser's SDL sets a 32-bit surface's masks but leaves its shifts and losses unset,
// and gives every surface an alpha mask; the painters read the layout from all of them.
// A screen has no alpha, as on the desktop.
void DescribeFormat(SDL_Surface* surface, bool withAlpha)
{
    SDL_PixelFormat* format = surface->format;
    if (!withAlpha)
        format->Amask = 0;
    DescribeChannel(format->Rmask, &format->Rshift, &format->Rloss);
    DescribeChannel(format->Gmask, &format->Gshift, &format->Gloss);
    DescribeChannel(format->Bmask, &format->Bshift, &format->Bloss);
    DescribeChannel(format->Amask, &format->Ashift, &format->Aloss);
}

} // namespace

SDL_Surface* MvDisplay::OpenScreen(int width, int height, Uint32 flags)
{
    SDL_Surface* screen = SDL_SetVideoMode(width, height, 32, flags & ~static_cast<Uint32>(SDL_FULLSCREEN));
    if (screen != nullptr)
        DescribeFormat(screen, false);
    return screen;
}

SDL_Surface* MvDisplay::ToggleFullScreen(SDL_Surface* screen)
{
    MvAssert(screen != nullptr);
    if (screen == SDL_GetVideoSurface())
        ToggleFullPage();
    return screen;
}

SDL_Surface* MvDisplay::CreateMemoryScreen(int width, int height)
{
    SDL_Surface* screen =
        SDL_CreateRGBSurface(SDL_SWSURFACE, width, height, 32, 0x000000FF, 0x0000FF00, 0x00FF0000, 0);
    if (screen == nullptr)
        return nullptr;
    DescribeFormat(screen, false);
    // The browser's SDL clips every surface to the page's canvas and leaves new pixels as
    // they come from the heap; a desktop memory surface starts black and clipped to itself.
    screen->clip_rect.x = 0;
    screen->clip_rect.y = 0;
    screen->clip_rect.w = width;
    screen->clip_rect.h = height;
    std::memset(screen->pixels, 0, static_cast<size_t>(screen->pitch) * height);
    return screen;
}

bool MvDisplay::MustLock(const SDL_Surface* /*surface*/) { return false; }

void MvDisplay::Present(SDL_Surface* screen, SDL_Rect* areas, int count)
{
    MvAssert(count >= 0 && (areas != nullptr || count == 0));
    for (int i = 0; i < count; ++i)
        PutCanvasArea(screen->pixels, screen->pitch, areas[i].x, areas[i].y, areas[i].w, areas[i].h);
}
