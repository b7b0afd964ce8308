#ifndef TEST_SCREEN_H
#define TEST_SCREEN_H

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>

// A plain software surface standing in for the screen (the dummy video driver offers no
// screen format that the painters serve). Pixels are read as raw values of the colour
// channels only: bits outside them (which a 32-bit block copy fills) are not looked at.
class TestScreen {
public:
    // 32 bits, red in bits 16-23, green 8-15, blue 0-7.
    TestScreen(int width, int height) : TestScreen(width, height, 32, 0x00FF0000, 0x0000FF00, 0x000000FF) {}

    TestScreen(int width, int height, int bits, Uint32 redMask, Uint32 greenMask, Uint32 blueMask)
    {
        surface_ = SDL_CreateRGBSurface(SDL_SWSURFACE, width, height, bits, redMask, greenMask, blueMask, 0);
        EXPECT_NE(surface_, nullptr);
    }

    ~TestScreen() { SDL_FreeSurface(surface_); }

    TestScreen(const TestScreen&) = delete;
    TestScreen& operator=(const TestScreen&) = delete;

    SDL_Surface* Surface() const { return surface_; }
    int Width() const { return surface_->w; }
    int Height() const { return surface_->h; }

    // Sets every pixel to value (raw pixel bits).
    void Fill(Uint32 value) { SDL_FillRect(surface_, nullptr, value); }

    // The raw value of pixel (x, y), colour channel bits only.
    Uint32 Pixel(int x, int y) const
    {
        const SDL_PixelFormat* f = surface_->format;
        const uint8_t* p = static_cast<const uint8_t*>(surface_->pixels) + y * surface_->pitch + x * f->BytesPerPixel;
        Uint32 value = 0;
        for (int b = f->BytesPerPixel - 1; b >= 0; --b)
            value = (value << 8) | p[b];
        return value & (f->Rmask | f->Gmask | f->Bmask);
    }

    // Expects every pixel to hold expected(x, y); reports the number of wrong pixels and the first.
    void ExpectPixels(const std::function<Uint32(int, int)>& expected, const std::string& what) const
    {
        int wrong = 0;
        std::string first;
        for (int y = 0; y < Height(); ++y) {
            for (int x = 0; x < Width(); ++x) {
                if (Pixel(x, y) == expected(x, y))
                    continue;
                if (wrong++ == 0)
                    first = std::to_string(x) + "," + std::to_string(y) + " is " + std::to_string(Pixel(x, y)) +
                            ", expected " + std::to_string(expected(x, y));
            }
        }
        EXPECT_EQ(wrong, 0) << what << ": first wrong pixel " << first;
    }

private:
    SDL_Surface* surface_;
};

#endif
