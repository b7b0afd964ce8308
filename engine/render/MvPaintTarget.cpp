#include "MvPaintTarget.h"

#include "MvAssert.h"
#include "MvBlitterSets.h"
#include "MvLog.h"

namespace {

// The widest memory target whose pitch (width * 4) still fits the surface's 16-bit pitch.
const int MaxMemoryWidth = 0xFFFF / 4;

} // namespace

MvPaintTarget::MvPaintTarget(SDL_Surface* surface) : surface_(surface), ownsSurface_(false)
{
    MvAssert(surface != nullptr);
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

MvPaintTarget::MvPaintTarget(MvColor* pixels, int width, int height) : surface_(nullptr), ownsSurface_(true)
{
    MvAssert(width >= 0 && height >= 0);
    MvAssert(width <= MaxMemoryWidth);
    MvAssert(pixels != nullptr || width == 0 || height == 0);
    surface_ = SDL_CreateRGBSurfaceFrom(pixels, width, height, 32, width * 4, 0x00FF0000, 0x0000FF00, 0x000000FF,
                                        0xFF000000);
    MvAssert(surface_ != nullptr);
    openGL_ = false;
    for (int slot = 0; slot < MvBlitterSlotCount; ++slot)
        blitters_[slot] = MvBlittersMemory.blitters.slots[slot];
    ReadFormat();
}

MvPaintTarget::~MvPaintTarget()
{
    if (ownsSurface_)
        SDL_FreeSurface(surface_);
}

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
