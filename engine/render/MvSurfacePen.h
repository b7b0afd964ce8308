#ifndef MV_SURFACE_PEN_H
#define MV_SURFACE_PEN_H

#include "MvColor.h"

#include <SDL.h>
#include <cstdint>

class MvPaintTarget;

/// Reads and writes single pixels of an SDL surface in its own format, and scans rows and
/// columns for runs of transparent or visible pixels. Image encoding and font building
/// use it to turn pictures into the engine's pixels; it is a slow per-pixel path, never
/// used for drawing. The pen does not own the surface. Surfaces with 2, 3 or 4 bytes per
/// pixel are served; every coordinate must lie inside the surface (asserted).
class MvSurfacePen {
public:
    /// A pen on the target's surface. Asserts the surface has 2, 3 or 4 bytes per pixel.
    explicit MvSurfacePen(const MvPaintTarget& target);

    /// The channels of pixel (x, y): from the format's masks on 2 and 4 bytes per pixel,
    /// as SDL_GetRGBA gives them (alpha 255 without an alpha mask); from the channel bytes
    /// with alpha 255 on 3.
    void ReadPixel(int x, int y, uint8_t* red, uint8_t* green, uint8_t* blue, uint8_t* alpha) const;

    /// The channels of a 2 or 4-byte pixel value of format, each widened to 8 bits as
    /// ReadPixel does (alpha 255 without an alpha mask). The same on every SDL: the
    /// libraries' own SDL_GetRGBA widen narrow channels in different ways.
    static void SplitValue(uint32_t value, const SDL_PixelFormat* format, uint8_t* red, uint8_t* green,
                           uint8_t* blue, uint8_t* alpha);

    /// Pixel (x, y) as an MvColor (ReadPixel).
    MvColor ReadColor(int x, int y) const;

    /// Stores color at (x, y) in the surface's format (WriteColor).
    void WritePixel(int x, int y, const MvColor& color) const;

    /// Stores a colour at address, the first byte of a pixel of the surface: as 16 or 32
    /// bits made from the format as SDL_MapRGBA makes them, or the three channel bytes on 3 bytes per pixel. Asserts address
    /// lies inside the surface's pixels.
    void WriteColor(uint8_t* address, uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha) const;

    /// Number of consecutive pixels of row y from x0 towards x1 (inclusive) with alpha 0;
    /// 0 when x1 < x0. Asserts (x0, y) and (x1, y) inside the surface.
    int CountTransparentInRow(int y, int x0, int x1) const;

    /// Number of consecutive pixels of row y from x0 towards x1 (inclusive) with alpha
    /// above 0; 0 when x1 < x0. Asserts (x0, y) and (x1, y) inside the surface.
    int CountVisibleInRow(int y, int x0, int x1) const;

    /// Number of consecutive pixels of column x from y0 towards y1 (inclusive) with alpha
    /// 0; 0 when y1 < y0. Asserts (x, y0) and (x, y1) inside the surface.
    int CountTransparentInColumn(int x, int y0, int y1) const;

    /// Address of pixel (x, y). Asserts (x, y) inside the surface.
    uint8_t* PixelAddress(int x, int y) const;

    /// The surface the pen reads and writes (not owned).
    SDL_Surface* Surface() const;

private:
    uint8_t AlphaAt(int x, int y) const;
    bool Inside(int x, int y) const;

    SDL_Surface* surface_;
};

inline SDL_Surface* MvSurfacePen::Surface() const { return surface_; }

#endif
