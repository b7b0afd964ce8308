#include "MvSurfacePen.h"

#include "MvAssert.h"
#include "MvPaintTarget.h"

#include <cstring>

namespace {

// The pen works out pixel values from the surface's format itself, exactly as SDL 1.2's
// SDL_MapRGBA and SDL_GetRGBA do: the browser's SDL ignores the format in those calls.

// The channel of value under mask as 8 bits: the bits the format lost are filled from the
// top of the channel, so that a full channel reads 255.
uint8_t Widen(uint32_t value, uint32_t mask, int shift, int loss)
{
    const uint32_t v = (value & mask) >> shift;
    const int refill = 8 - 2 * loss;
    return static_cast<uint8_t>((v << loss) + (refill >= 0 ? v >> refill : 0));
}

uint32_t JoinPixel(const SDL_PixelFormat* format, uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha)
{
    return static_cast<uint32_t>(red >> format->Rloss) << format->Rshift |
           static_cast<uint32_t>(green >> format->Gloss) << format->Gshift |
           static_cast<uint32_t>(blue >> format->Bloss) << format->Bshift |
           (static_cast<uint32_t>(alpha >> format->Aloss) << format->Ashift & format->Amask);
}

} // namespace

void MvSurfacePen::SplitValue(uint32_t value, const SDL_PixelFormat* format, uint8_t* red, uint8_t* green,
                              uint8_t* blue, uint8_t* alpha)
{
    *red = Widen(value, format->Rmask, format->Rshift, format->Rloss);
    *green = Widen(value, format->Gmask, format->Gshift, format->Gloss);
    *blue = Widen(value, format->Bmask, format->Bshift, format->Bloss);
    *alpha = format->Amask != 0 ? Widen(value, format->Amask, format->Ashift, format->Aloss) : 255;
}

MvSurfacePen::MvSurfacePen(const MvPaintTarget& target) : surface_(target.Surface())
{
    MvAssert(surface_ != nullptr);
    const int bytes = surface_->format->BytesPerPixel;
    MvAssert(bytes >= 2 && bytes <= 4);
}

bool MvSurfacePen::Inside(int x, int y) const
{
    return x >= 0 && x < surface_->w && y >= 0 && y < surface_->h;
}

uint8_t* MvSurfacePen::PixelAddress(int x, int y) const
{
    MvAssert(Inside(x, y));
    return static_cast<uint8_t*>(surface_->pixels) + y * surface_->pitch + x * surface_->format->BytesPerPixel;
}

void MvSurfacePen::ReadPixel(int x, int y, uint8_t* red, uint8_t* green, uint8_t* blue, uint8_t* alpha) const
{
    const uint8_t* p = PixelAddress(x, y);
    const SDL_PixelFormat* format = surface_->format;
    switch (format->BytesPerPixel) {
    case 2: {
        uint16_t value;
        std::memcpy(&value, p, sizeof value);
        SplitValue(value, format, red, green, blue, alpha);
        break;
    }
    case 3:
        *red = p[format->Rshift / 8];
        *green = p[format->Gshift / 8];
        *blue = p[format->Bshift / 8];
        *alpha = 255;
        break;
    default: {
        uint32_t value;
        std::memcpy(&value, p, sizeof value);
        SplitValue(value, format, red, green, blue, alpha);
        break;
    }
    }
}

MvColor MvSurfacePen::ReadColor(int x, int y) const
{
    MvColor c;
    ReadPixel(x, y, &c.red, &c.green, &c.blue, &c.alpha);
    return c;
}

void MvSurfacePen::WritePixel(int x, int y, const MvColor& color) const
{
    WriteColor(PixelAddress(x, y), color.red, color.green, color.blue, color.alpha);
}

void MvSurfacePen::WriteColor(uint8_t* address, uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha) const
{
    const SDL_PixelFormat* format = surface_->format;
    const int bytes = format->BytesPerPixel;
    uint8_t* const first = static_cast<uint8_t*>(surface_->pixels);
    MvAssert(address >= first && address + bytes <= first + surface_->h * surface_->pitch);
    switch (bytes) {
    case 2: {
        const uint16_t value = static_cast<uint16_t>(JoinPixel(format, red, green, blue, alpha));
        std::memcpy(address, &value, sizeof value);
        break;
    }
    case 3:
        address[format->Rshift / 8] = red;
        address[format->Gshift / 8] = green;
        address[format->Bshift / 8] = blue;
        break;
    default: {
        const uint32_t value = JoinPixel(format, red, green, blue, alpha);
        std::memcpy(address, &value, sizeof value);
        break;
    }
    }
}

uint8_t MvSurfacePen::AlphaAt(int x, int y) const
{
    uint8_t red, green, blue, alpha;
    ReadPixel(x, y, &red, &green, &blue, &alpha);
    return alpha;
}

int MvSurfacePen::CountTransparentInRow(int y, int x0, int x1) const
{
    MvAssert(Inside(x0, y) && Inside(x1, y));
    int x = x0;
    while (x <= x1 && AlphaAt(x, y) == 0)
        ++x;
    return x - x0;
}

int MvSurfacePen::CountVisibleInRow(int y, int x0, int x1) const
{
    MvAssert(Inside(x0, y) && Inside(x1, y));
    int x = x0;
    while (x <= x1 && AlphaAt(x, y) != 0)
        ++x;
    return x - x0;
}

int MvSurfacePen::CountTransparentInColumn(int x, int y0, int y1) const
{
    MvAssert(Inside(x, y0) && Inside(x, y1));
    int y = y0;
    while (y <= y1 && AlphaAt(x, y) == 0)
        ++y;
    return y - y0;
}
