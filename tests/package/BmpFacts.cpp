// movo-bmp-facts: checks pixel facts of a BMP picture, for tests that look at what a
// program drew without linking anything of it.
//
//   movo-bmp-facts FILE.bmp WIDTH HEIGHT X,Y=RRGGBB ...
//
// Exits 0 when the picture has that size and every listed pixel has that colour, give or
// take 8 in each channel; otherwise prints every fact that does not hold and exits 1.

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// The colour of pixel (x, y) of a surface in any format, as 0xRRGGBB.
unsigned PixelAt(SDL_Surface* surface, int x, int y)
{
    const Uint8 bytes = surface->format->BytesPerPixel;
    const Uint8* p = static_cast<const Uint8*>(surface->pixels) + y * surface->pitch + x * bytes;
    Uint32 value = 0;
    std::memcpy(&value, p, bytes);
    Uint8 r, g, b;
    SDL_GetRGB(value, surface->format, &r, &g, &b);
    return (unsigned(r) << 16) | (unsigned(g) << 8) | b;
}

bool Near(unsigned a, unsigned b)
{
    for (int shift = 0; shift <= 16; shift += 8) {
        const int d = int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF);
        if (d < -8 || d > 8)
            return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: movo-bmp-facts FILE.bmp WIDTH HEIGHT X,Y=RRGGBB ...\n");
        return 2;
    }
    SDL_Surface* picture = SDL_LoadBMP(argv[1]);
    if (picture == nullptr) {
        std::fprintf(stderr, "movo-bmp-facts: cannot read '%s': %s\n", argv[1], SDL_GetError());
        return 1;
    }
    int failed = 0;
    const int width = std::atoi(argv[2]), height = std::atoi(argv[3]);
    if (picture->w != width || picture->h != height) {
        std::fprintf(stderr, "movo-bmp-facts: '%s' is %d x %d, not %d x %d\n", argv[1], picture->w, picture->h, width,
                     height);
        SDL_FreeSurface(picture);
        return 1;
    }
    SDL_LockSurface(picture);
    for (int i = 4; i < argc; ++i) {
        int x = 0, y = 0;
        unsigned expected = 0;
        if (std::sscanf(argv[i], "%d,%d=%x", &x, &y, &expected) != 3 || x < 0 || y < 0 || x >= width ||
            y >= height) {
            std::fprintf(stderr, "movo-bmp-facts: bad fact '%s'\n", argv[i]);
            ++failed;
            continue;
        }
        const unsigned actual = PixelAt(picture, x, y);
        if (!Near(actual, expected)) {
            std::fprintf(stderr, "movo-bmp-facts: pixel (%d, %d) is %06X, not %06X\n", x, y, actual, expected);
            ++failed;
        }
    }
    SDL_UnlockSurface(picture);
    SDL_FreeSurface(picture);
    return failed == 0 ? 0 : 1;
}
