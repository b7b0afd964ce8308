#ifndef MV_COLOR_H
#define MV_COLOR_H

#include <cstdint>

/// A 32-bit colour stored as the bytes blue, green, red, alpha: read as a little-endian
/// word it is 0xAARRGGBB. Every pixel the engine keeps in memory has this layout. Alpha
/// 255 is opaque, 0 fully transparent.
struct alignas(4) MvColor {
    /// The channels, 0 to 255, in memory order.
    ///@{
    uint8_t blue;
    uint8_t green;
    uint8_t red;
    uint8_t alpha;
    ///@}

    /// Sets all four channels.
    void Set(uint8_t r, uint8_t g, uint8_t b, uint8_t a);

    /// Channel / 255.0, for handing colours to OpenGL.
    ///@{
    float RedF() const;
    float GreenF() const;
    float BlueF() const;
    ///@}

    /// Compare all four channels.
    ///@{
    bool operator==(const MvColor& o) const;
    bool operator!=(const MvColor& o) const;
    ///@}
};

static_assert(sizeof(MvColor) == 4, "MvColor is one 32-bit pixel");

inline void MvColor::Set(uint8_t r, uint8_t g, uint8_t b, uint8_t a)
{
    red = r;
    green = g;
    blue = b;
    alpha = a;
}

inline float MvColor::RedF() const { return red / 255.0f; }
inline float MvColor::GreenF() const { return green / 255.0f; }
inline float MvColor::BlueF() const { return blue / 255.0f; }

inline bool MvColor::operator==(const MvColor& o) const
{
    return blue == o.blue && green == o.green && red == o.red && alpha == o.alpha;
}

inline bool MvColor::operator!=(const MvColor& o) const { return !(*this == o); }

#endif
