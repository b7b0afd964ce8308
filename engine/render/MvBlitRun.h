#ifndef MV_BLIT_RUN_H
#define MV_BLIT_RUN_H

#include "MvAssert.h"
#include "MvBlitterSets.h"
#include "MvColor.h"
#include "MvColorXform.h"
#include "MvPaintTarget.h"

#include <cstdint>

// The arithmetic every blitter family shares and the per-pixel loop they all run. A
// blitter kind is two choices fixed at compile time: the value painted (the source
// channels, or the channels through the colour transform) and the blend weight (none,
// the transform's alpha, the source alpha with opaque and transparent pixels short-cut,
// or both alphas combined). A family only says how its target pixels are read and
// written, so one loop serves every format without branching on format or kind.
// Internal to the render code.

enum class MvBlitValue { Source, Transformed };
enum class MvBlitWeight { None, TransformAlpha, SourceAlpha, Combined };

// Three colour channels, 0..255 each, held wide so the arithmetic never wraps.
struct MvRgb {
    uint32_t red;
    uint32_t green;
    uint32_t blue;
};

// The value painted: the source channel s, or T = s * mul / 256 + add.
template <MvBlitValue kValue>
inline MvRgb MvBlitValueOf(const MvColor& s, const MvColorXform& xform)
{
    if constexpr (kValue == MvBlitValue::Source) {
        return {s.red, s.green, s.blue};
    } else {
        return {s.red * uint32_t(xform.mul.red) / 256 + xform.add.red,
                s.green * uint32_t(xform.mul.green) / 256 + xform.add.green,
                s.blue * uint32_t(xform.mul.blue) / 256 + xform.add.blue};
    }
}

// The blend weight: the transform's alpha A, the source alpha, or (A * source alpha) >> 8.
template <MvBlitWeight kWeight>
inline uint32_t MvBlitWeightOf(const MvColor& s, const MvColorXform& xform)
{
    static_assert(kWeight != MvBlitWeight::None, "an unblended kind has no weight");
    if constexpr (kWeight == MvBlitWeight::TransformAlpha)
        return xform.add.alpha;
    else if constexpr (kWeight == MvBlitWeight::SourceAlpha)
        return s.alpha;
    else
        return (uint32_t(xform.add.alpha) * s.alpha) >> 8;
}

// (w * value + (255 - w) * dest) >> 8 for each channel.
inline MvRgb MvBlend(uint32_t w, const MvRgb& value, const MvRgb& dest)
{
    return {(w * value.red + (255 - w) * dest.red) >> 8,
            (w * value.green + (255 - w) * dest.green) >> 8,
            (w * value.blue + (255 - w) * dest.blue) >> 8};
}

// The alpha a target that keeps one (memory) stores for a pixel written without
// blending: the source's own alpha when its bytes are copied, 255 for a transformed one.
template <MvBlitValue kValue>
inline uint32_t MvUnblendedAlpha(const MvColor& s)
{
    return kValue == MvBlitValue::Source ? s.alpha : 255u;
}

// Paints count source pixels from dest on. Pixel gives kBytes (target bytes per pixel),
// Read(address) -> MvRgb and Write(address, MvRgb, alpha); alpha is used only by
// targets that store one, and is the weight wherever a pixel is blended.
template <class Pixel, MvBlitValue kValue, MvBlitWeight kWeight>
inline void MvBlitRun(const Pixel& pixel, uint8_t* dest, const MvColor* source, int count,
                      const MvColorXform& xform)
{
    for (int i = 0; i < count; ++i, dest += Pixel::kBytes) {
        const MvColor s = source[i];
        const MvRgb value = MvBlitValueOf<kValue>(s, xform);
        if constexpr (kWeight == MvBlitWeight::None) {
            pixel.Write(dest, value, MvUnblendedAlpha<kValue>(s));
        } else {
            const uint32_t w = MvBlitWeightOf<kWeight>(s, xform);
            if constexpr (kWeight == MvBlitWeight::SourceAlpha) {
                if (w == 0)
                    continue; // fully transparent: the target pixel stays as it was
                if (w == 255) {
                    pixel.Write(dest, value, MvUnblendedAlpha<kValue>(s));
                    continue;
                }
            }
            pixel.Write(dest, MvBlend(w, value, pixel.Read(dest)), w);
        }
    }
}

// A blitter of the family served by Pixel: checks the target's bytes per pixel and the
// count, then runs the loop.
template <class Pixel, MvBlitValue kValue, MvBlitWeight kWeight>
void MvBlitFamily(const MvPaintTarget& target, uint8_t* dest, const MvColor* source, int count,
                  MvColorXform xform)
{
    MvAssert(target.BytesPerPixel() == Pixel::kBytes);
    MvAssert(count >= 0);
    MvBlitRun<Pixel, kValue, kWeight>(Pixel(target), dest, source, count, xform);
}

// The eight blitters of the family served by Pixel, in MvBlitterSlot order.
template <class Pixel>
constexpr MvBlitterTable MvBlitterFamilyTable()
{
    return {{
        MvBlitFamily<Pixel, MvBlitValue::Source, MvBlitWeight::None>,
        MvBlitFamily<Pixel, MvBlitValue::Transformed, MvBlitWeight::None>,
        MvBlitFamily<Pixel, MvBlitValue::Source, MvBlitWeight::TransformAlpha>,
        MvBlitFamily<Pixel, MvBlitValue::Transformed, MvBlitWeight::TransformAlpha>,
        MvBlitFamily<Pixel, MvBlitValue::Source, MvBlitWeight::SourceAlpha>,
        MvBlitFamily<Pixel, MvBlitValue::Transformed, MvBlitWeight::SourceAlpha>,
        MvBlitFamily<Pixel, MvBlitValue::Source, MvBlitWeight::Combined>,
        MvBlitFamily<Pixel, MvBlitValue::Transformed, MvBlitWeight::Combined>,
    }};
}

#endif
