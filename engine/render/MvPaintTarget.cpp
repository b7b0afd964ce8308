#include "MvPaintTarget.h"

#include "MvAssert.h"
#include "MvBlitterSets.h"
#include "MvLog.h"

namespace {

// The widest memory target whose pitch (width * 4) still fits the surface's 16-bit pitch.
const int MaxMemoryWidth = 0xFFFF / 4;

} // namespace

MvPaintTarget::MvPaintTarget(SDL_Surface* surface) : memoryFormat_(), memorySurface_(), surface_(surface)
{
    Retarget(surface);
}

void MvPaintTarget::Retarget(SDL_Surface* surface)
{
    MvAssert(surface != nullptr);
    surface_ = surface;
    for (MvRunBlitter& blitter : blitters_)
        blitter = nullptr;
    openGL_ = (surface->flags & SDL_OPENGL) != 0;
    ReadFormat();

    MvAssert(bytesPerPixel_ >= 2 && bytesPerPixel_ <= 4);
    const MvBlitterSet* set = nullptr;
    const bool fastLayout = redShift == 16 && greenShift == 8 && blueShift == 0;
    if (bytesPerPixel_ == 4) {
        if (!HasByteChannels())
            set = &MvBlitters32Plain;
        else
            set = fastLayout ? &MvBlitters32RedAt16 : &MvBlitters32;
    } else if (bytesPerPixel_ == 3) {
        MvAssert(redShift % 8 == 0 && greenShift % 8 == 0 && blueShift % 8 == 0);
        set = &MvBlitters24;
    } else {
        set = &MvBlitters16;
    }
    for (int slot = 0; slot < MvBlitterSlotCount; ++slot)
        blitters_[slot] = set->blitters.slots[slot];

    if (bytesPerPixel_ == 4) {
        if (fastLayout) {
            blitters_[MvBlitSimpleNoAlpha] = MvBlit32BSimpleNoAlpha;
            MvLog("Fast 32 bit blitter.\n");
        } else {
            MvLog("Standard 32 bit blitter.\n");
        }
    }
}

MvPaintTarget::MvPaintTarget(MvColor* pixels, int width, int height)
    : memoryFormat_(), memorySurface_(), surface_(&memorySurface_)
{
    MvAssert(width >= 0 && height >= 0);
    MvAssert(width <= MaxMemoryWidth);
    MvAssert(pixels != nullptr || width == 0 || height == 0);
    // The surface is described here rather than made by SDL: it is only ever read by the
    // painters and the pen, and not every SDL paints into memory it was handed (the
    // browser's copies it).
    memoryFormat_.BitsPerPixel = 32;
    memoryFormat_.BytesPerPixel = 4;
    memoryFormat_.Rmask = 0x00FF0000;
    memoryFormat_.Gmask = 0x0000FF00;
    memoryFormat_.Bmask = 0x000000FF;
    memoryFormat_.Amask = 0xFF000000;
    memoryFormat_.Rshift = 16;
    memoryFormat_.Gshift = 8;
    memoryFormat_.Bshift = 0;
    memoryFormat_.Ashift = 24;
    memorySurface_.format = &memoryFormat_;
    memorySurface_.w = width;
    memorySurface_.h = height;
    memorySurface_.pitch = static_cast<Uint16>(width * 4);
    memorySurface_.pixels = pixels;
    memorySurface_.clip_rect.w = static_cast<Uint16>(width);
    memorySurface_.clip_rect.h = static_cast<Uint16>(height);
    openGL_ = false;
    for (int slot = 0; slot < MvBlitterSlotCount; ++slot)
        blitters_[slot] = MvBlittersMemory.blitters.slots[slot];
    ReadFormat();
}

MvPaintTarget::~MvPaintTarget() {}

void MvPaintTarget::ReadFormat()
{
    const SDL_PixelFormat* format = surface_->format;
    width_ = surface_->w;
    height_ = surface_->h;
    pitch_ = surface_->pitch;
    bytesPerPixel_ = format->BytesPerPixel;
    pixels_ = static_cast<uint8_t*>(surface_->pixels);
    redShift = format->Rshift;
    greenShift = format->Gshift;
    blueShift = format->Bshift;
    alphaShift = format->Ashift;
    redMask = format->Rmask;
    greenMask = format->Gmask;
    blueMask = format->Bmask;
    alphaMask = format->Amask;
    redLoss = format->Rloss;
    greenLoss = format->Gloss;
    blueLoss = format->Bloss;
    redByte = static_cast<uint8_t>(redShift / 8);
    greenByte = static_cast<uint8_t>(greenShift / 8);
    blueByte = static_cast<uint8_t>(blueShift / 8);
}

bool MvPaintTarget::HasByteChannels() const
{
    return redMask == 0xFFu << redShift && greenMask == 0xFFu << greenShift && blueMask == 0xFFu << blueShift;
}

MvRunBlitter MvPaintTarget::PickBlitter(bool sourceHasAlpha, const MvColorXform& xform) const
{
    int slot;
    if (xform.identity) {
        slot = MvBlitSimpleNoAlpha;
    } else {
        MvAssert(xform.hasColor || xform.hasAlpha);
        if (xform.hasColor)
            slot = xform.hasAlpha ? MvBlitFullNoAlpha : MvBlitColorNoAlpha;
        else
            slot = MvBlitAlphaNoAlpha;
    }
    if (sourceHasAlpha)
        slot += MvBlitSimpleAlpha - MvBlitSimpleNoAlpha;
    return blitters_[slot];
}

const char* MvBlitterName(MvRunBlitter blitter)
{
    if (blitter == nullptr)
        return "error";
    if (blitter == MvBlit32BSimpleNoAlpha)
        return MvBlit32BSimpleNoAlphaName;
    const MvBlitterSet* const named[] = {&MvBlitters32RedAt16, &MvBlitters32,      &MvBlitters32Plain,
                                         &MvBlitters24,        &MvBlitters24Plain, &MvBlitters16,
                                         &MvBlitters16Plain};
    for (const MvBlitterSet* set : named) {
        for (int slot = 0; slot < MvBlitterSlotCount; ++slot) {
            if (set->blitters.slots[slot] == blitter && set->names[slot] != nullptr)
                return set->names[slot];
        }
    }
    return "error";
}
