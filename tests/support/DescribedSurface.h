#ifndef DESCRIBED_SURFACE_H
#define DESCRIBED_SURFACE_H

#include <SDL.h>

#include <cstdint>
#include <vector>

// A surface described field by field instead of made by SDL, for pixel layouts that not
// every SDL 1.2 makes: sdl12-compat gives a surface of another layout when SDL 2 has none
// for the masks asked for (10-bit channels, 24-bit channels off whole bytes). The paint
// target only reads a surface's fields, so it sees such a surface as SDL 1.2.15 makes it.
// Never hand it to SDL.
class DescribedSurface {
public:
    DescribedSurface(int width, int height, int bits, uint32_t r, uint32_t g, uint32_t b, uint32_t a = 0)
        : format_(), surface_(), pixels_(static_cast<size_t>(width * height) * 4)
    {
        format_.BitsPerPixel = static_cast<Uint8>(bits);
        format_.BytesPerPixel = static_cast<Uint8>((bits + 7) / 8);
        Describe(r, &format_.Rmask, &format_.Rshift, &format_.Rloss);
        Describe(g, &format_.Gmask, &format_.Gshift, &format_.Gloss);
        Describe(b, &format_.Bmask, &format_.Bshift, &format_.Bloss);
        Describe(a, &format_.Amask, &format_.Ashift, &format_.Aloss);
        format_.alpha = 255;
        surface_.flags = SDL_SWSURFACE;
        surface_.format = &format_;
        surface_.w = width;
        surface_.h = height;
        surface_.pitch = static_cast<Uint16>(width * format_.BytesPerPixel);
        surface_.pixels = pixels_.data();
        surface_.clip_rect.w = static_cast<Uint16>(width);
        surface_.clip_rect.h = static_cast<Uint16>(height);
        surface_.refcount = 1;
    }
    DescribedSurface(const DescribedSurface&) = delete;
    DescribedSurface& operator=(const DescribedSurface&) = delete;

    SDL_Surface* get() { return &surface_; }
    SDL_Surface* operator->() { return &surface_; }

private:
    // A mask's shift (its lowest bit) and loss (8 less its bit count), as SDL 1.2 sets them.
    static void Describe(uint32_t mask, Uint32* maskField, Uint8* shift, Uint8* loss)
    {
        *maskField = mask;
        int lowest = 0, count = 0;
        if (mask != 0) {
            while (((mask >> lowest) & 1) == 0)
                ++lowest;
            while (lowest + count < 32 && ((mask >> (lowest + count)) & 1) != 0)
                ++count;
        }
        *shift = static_cast<Uint8>(lowest);
        *loss = static_cast<Uint8>(8 - count);
    }

    SDL_PixelFormat format_;
    SDL_Surface surface_;
    std::vector<uint8_t> pixels_;
};

#endif
