#ifndef MV_PAINT_TARGET_H
#define MV_PAINT_TARGET_H

#include "MvColor.h"
#include "MvColorXform.h"

#include <SDL.h>
#include <cstdint>

class MvPaintTarget;

/// @file
/// The paint target MvPaintTarget over one surface, and the run blitters it chooses from:
/// their type, their slots and their names.

/// Paints count source pixels (MvColor, 4 bytes each) into the target starting at dest,
/// through the colour transform. One blitter serves one target format and one kind of run;
/// the paint target chooses the set for its format once, so the per-pixel loop never
/// branches on format or transform.
typedef void (*MvRunBlitter)(const MvPaintTarget& target, uint8_t* dest, const MvColor* source, int count,
                             MvColorXform xform);

/// Blitter slots, in table order: the transform kind, then whether the run has
/// translucent pixels.
enum MvBlitterSlot {
    MvBlitSimpleNoAlpha = 0, ///< identity transform, opaque run
    MvBlitColorNoAlpha, ///< colour change without alpha, opaque run
    MvBlitAlphaNoAlpha, ///< alpha without colour change, opaque run
    MvBlitFullNoAlpha, ///< colour change and alpha, opaque run
    MvBlitSimpleAlpha, ///< identity transform, translucent run
    MvBlitColorAlpha, ///< colour change without alpha, translucent run
    MvBlitAlphaAlpha, ///< alpha without colour change, translucent run
    MvBlitFullAlpha, ///< colour change and alpha, translucent run
    MvBlitterSlotCount ///< the number of slots
};

/// One surface that the engine paints into: the screen, or a block of memory in the
/// engine's own pixel layout. It reads the surface's format once and keeps the eight
/// blitters that serve it, so drawing code asks PickBlitter for a plain function and calls
/// it once per run. Targets with 2, 3 or 4 bytes per pixel are served; others are refused.
class MvPaintTarget {
public:
    /// Paints into surface (not owned). Asserts surface is not null and has 2, 3 or 4
    /// bytes per pixel (3: channel shifts multiples of 8). On 4 bytes logs which 32-bit
    /// blitter was chosen.
    explicit MvPaintTarget(SDL_Surface* surface);

    /// Paints into the caller's width x height pixels, stored as MvColor rows without
    /// padding, through the memory blitters, which keep each pixel's alpha byte. The pixels
    /// stay the caller's; Surface() describes them (made by the target, not by SDL, so
    /// only for reading its fields). Asserts width and height >= 0, width <= 16383 (the
    /// row pitch must fit a surface's 16-bit pitch) and pixels not null unless the block
    /// is empty.
    MvPaintTarget(MvColor* pixels, int width, int height);

    /// The surface given stays the caller's.
    ~MvPaintTarget();

    /// Paints into surface from now on, as a target made on it would: reads its format
    /// and picks the blitters again (a new video mode may bring another format). Asserts
    /// as the surface constructor does.
    void Retarget(SDL_Surface* surface);

    MvPaintTarget(const MvPaintTarget&) = delete;
    MvPaintTarget& operator=(const MvPaintTarget&) = delete;

    /// The blitter for a run with (sourceHasAlpha) or without translucent pixels through
    /// xform. Asserts xform is the identity or has a colour change or an alpha.
    MvRunBlitter PickBlitter(bool sourceHasAlpha, const MvColorXform& xform) const;

    /// The blitter in slot.
    MvRunBlitter Blitter(MvBlitterSlot slot) const;

    /// Address of pixel (x, y); the caller keeps (x, y) inside the target.
    uint8_t* PixelAddress(int x, int y) const;

    /// The surface's size in pixels.
    ///@{
    int Width() const;
    int Height() const;
    ///@}
    /// Bytes from one row to the next (the surface's pitch).
    int Pitch() const;
    /// 2, 3 or 4; 4 for a memory target.
    int BytesPerPixel() const;
    /// The surface's pixels as read at construction, pixel (0, 0) first.
    uint8_t* Pixels() const;
    /// True when the surface is an OpenGL screen (SDL_OPENGL): nodes draw textured quads.
    bool IsOpenGL() const;
    /// The surface painted into.
    SDL_Surface* Surface() const;

    /// Format fields, read from the surface: each channel's shift, mask and lost bits.
    ///@{
    uint8_t redShift, greenShift, blueShift, alphaShift;
    uint32_t redMask, greenMask, blueMask, alphaMask;
    uint8_t redLoss, greenLoss, blueLoss;
    ///@}
    /// shift / 8: byte of the channel in a 24-bit pixel.
    ///@{
    uint8_t redByte, greenByte, blueByte;
    ///@}

private:
    void ReadFormat();
    /// True when each colour channel is a whole byte (mask 0xFF << shift).
    bool HasByteChannels() const;

    int width_;
    int height_;
    int pitch_;
    int bytesPerPixel_;
    uint8_t* pixels_;
    bool openGL_;
    MvRunBlitter blitters_[MvBlitterSlotCount];
    SDL_PixelFormat memoryFormat_;  ///< the layout of a memory target's pixels
    SDL_Surface memorySurface_;     ///< a memory target's pixels as a surface
    SDL_Surface* surface_;
};

/// The name of a screen-format blitter ("32_Simple_NoAlpha", "32B_Simple_NoAlpha",
/// "24_Full_Alpha", ...), or "error" for any other function (memory blitters included).
const char* MvBlitterName(MvRunBlitter blitter);

inline MvRunBlitter MvPaintTarget::Blitter(MvBlitterSlot slot) const { return blitters_[slot]; }

inline uint8_t* MvPaintTarget::PixelAddress(int x, int y) const
{
    return pixels_ + y * pitch_ + x * bytesPerPixel_;
}

inline int MvPaintTarget::Width() const { return width_; }
inline int MvPaintTarget::Height() const { return height_; }
inline int MvPaintTarget::Pitch() const { return pitch_; }
inline int MvPaintTarget::BytesPerPixel() const { return bytesPerPixel_; }
inline uint8_t* MvPaintTarget::Pixels() const { return pixels_; }
inline bool MvPaintTarget::IsOpenGL() const { return openGL_; }
inline SDL_Surface* MvPaintTarget::Surface() const { return surface_; }

#endif
