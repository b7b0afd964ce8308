#ifndef PALETTE_COLORS_H
#define PALETTE_COLORS_H

// The colours of pictures drawn as text in tests, one character per pixel.

#include "MvColor.h"

#include <gtest/gtest.h>

#include <cstdint>

// The colour of red, green, blue and alpha, each 0-255.
inline MvColor Rgba(int r, int g, int b, int a)
{
    MvColor c;
    c.Set(uint8_t(r), uint8_t(g), uint8_t(b), uint8_t(a));
    return c;
}

// The opaque colour of red, green and blue.
inline MvColor Opaque(int r, int g, int b) { return Rgba(r, g, b, 255); }

// The colour a picture character stands for: '.' transparent; capitals and digits opaque;
// small letters translucent, 'c' the faintest visible (alpha 1) and 'd' the most opaque
// short of opaque (alpha 254).
inline MvColor PaletteColor(char c)
{
    switch (c) {
    case '.': return Rgba(0, 0, 0, 0);
    case 'R': return Rgba(255, 0, 0, 255);
    case 'G': return Rgba(0, 255, 0, 255);
    case 'B': return Rgba(0, 0, 255, 255);
    case 'W': return Rgba(255, 255, 255, 255);
    case 'K': return Rgba(0, 0, 0, 255);
    case 'a': return Rgba(200, 100, 50, 128);
    case 'b': return Rgba(10, 220, 90, 64);
    case 'c': return Rgba(90, 90, 250, 1);
    case 'd': return Rgba(30, 60, 90, 254);
    default:
        EXPECT_TRUE(c >= '1' && c <= '9') << "no colour for '" << c << "'";
        return Rgba((c - '0') * 25, 200 - (c - '0') * 20, (c - '0') * 7 + 3, 255);
    }
}

// PaletteColor, except that 'b' is its green at the faintest visible alpha (1): the tool
// tests' pictures write it so that a file keeps a pixel as faint as a pixel can be.
inline MvColor PaletteColorWithFaintB(char c)
{
    return c == 'b' ? Rgba(10, 220, 90, 1) : PaletteColor(c);
}

// Whether the picture character stands for a colour that is not wholly transparent.
inline bool IsVisible(char c) { return PaletteColor(c).alpha > 0; }

#endif
