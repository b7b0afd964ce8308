#ifndef MV_BLIT_RUN_WIDE_H
#define MV_BLIT_RUN_WIDE_H

#include "MvBlitRun.h"

// The per-pixel loop of MvBlitRun.h, eight pixels at a time with SSE2. Every channel of
// eight pixels sits in one register, one 16-bit lane per pixel, and the arithmetic is
// the plain one lane by lane: no product of two bytes exceeds 65025, so 16-bit lanes hold
// s * mul and w * value + (255 - w) * dest exactly and the results are bit-identical to
// the plain loop, which also paints the last count % 8 pixels. A family that has a wide
// form supplies a Wide access next to its Pixel: Raw (eight target pixels as loaded),
// Load, Store, Unpack (Raw to channels, as Pixel::Read), Pack (channels to Raw, as
// Pixel::Write) and Keep (per pixel, the loaded Raw where a mask lane is set).
// Internal to the render code.

#if defined(__SSE2__)
#define MV_BLIT_WIDE 1

#include <emmintrin.h>

// Eight pixels' colour channels, one 16-bit lane per pixel.
struct MvPlanes {
    __m128i red;
    __m128i green;
    __m128i blue;
};

// A colour transform spread over eight lanes, made once per run.
struct MvWideXform {
    explicit MvWideXform(const MvColorXform& x)
        : mulRed(_mm_set1_epi16(x.mul.red)), mulGreen(_mm_set1_epi16(x.mul.green)),
          mulBlue(_mm_set1_epi16(x.mul.blue)), addRed(_mm_set1_epi16(x.add.red)),
          addGreen(_mm_set1_epi16(x.add.green)), addBlue(_mm_set1_epi16(x.add.blue)),
          alpha(_mm_set1_epi16(x.add.alpha))
    {
    }
    __m128i mulRed, mulGreen, mulBlue;
    __m128i addRed, addGreen, addBlue;
    __m128i alpha;
};

// Eight source pixels (MvColor words 0xAARRGGBB) split into channels.
inline void MvLoadSource8(const MvColor* source, MvPlanes* color, __m128i* alpha)
{
    const __m128i lo = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source));
    const __m128i hi = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + 4));
    const __m128i byte = _mm_set1_epi32(0xFF);
    // Every value is at most 255, so the signed saturating pack keeps it as it is.
    color->blue = _mm_packs_epi32(_mm_and_si128(lo, byte), _mm_and_si128(hi, byte));
    color->green = _mm_packs_epi32(_mm_and_si128(_mm_srli_epi32(lo, 8), byte),
                                   _mm_and_si128(_mm_srli_epi32(hi, 8), byte));
    color->red = _mm_packs_epi32(_mm_and_si128(_mm_srli_epi32(lo, 16), byte),
                                 _mm_and_si128(_mm_srli_epi32(hi, 16), byte));
    *alpha = _mm_packs_epi32(_mm_srli_epi32(lo, 24), _mm_srli_epi32(hi, 24));
}

// s * mul / 256 + add in each lane.
inline __m128i MvWideTransform(__m128i s, __m128i mul, __m128i add)
{
    return _mm_add_epi16(_mm_srli_epi16(_mm_mullo_epi16(s, mul), 8), add);
}

template <MvBlitValue kValue>
inline MvPlanes MvWideValueOf(const MvPlanes& s, const MvWideXform& x)
{
    if constexpr (kValue == MvBlitValue::Source) {
        return s;
    } else {
        return {MvWideTransform(s.red, x.mulRed, x.addRed), MvWideTransform(s.green, x.mulGreen, x.addGreen),
                MvWideTransform(s.blue, x.mulBlue, x.addBlue)};
    }
}

// The blend weight in each lane from the source alphas and the transform's alpha.
template <MvBlitWeight kWeight>
inline __m128i MvWideWeightOf(__m128i sourceAlpha, __m128i transformAlpha)
{
    static_assert(kWeight != MvBlitWeight::None, "an unblended kind has no weight");
    if constexpr (kWeight == MvBlitWeight::TransformAlpha)
        return transformAlpha;
    else if constexpr (kWeight == MvBlitWeight::SourceAlpha)
        return sourceAlpha;
    else
        return _mm_srli_epi16(_mm_mullo_epi16(transformAlpha, sourceAlpha), 8);
}

// (w * value + (255 - w) * dest) >> 8 in each lane.
inline __m128i MvWideBlend(__m128i w, __m128i inverse, __m128i value, __m128i dest)
{
    return _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(w, value), _mm_mullo_epi16(inverse, dest)), 8);
}

// Lanes of a where mask is set, of b elsewhere.
inline __m128i MvWideSelect(__m128i mask, __m128i a, __m128i b)
{
    return _mm_or_si128(_mm_and_si128(mask, a), _mm_andnot_si128(mask, b));
}

// The wide twin of MvBlitRun: the same results, eight pixels per step.
template <class Wide, class Pixel, MvBlitValue kValue, MvBlitWeight kWeight>
__attribute__((always_inline)) inline void MvBlitRunWide(const MvPaintTarget& target, uint8_t* dest,
                                                         const MvColor* source, int count, const MvColorXform& xform)
{
    const Wide wide(target);
    const MvWideXform x(xform);
    int i = 0;
    for (; i + 8 <= count; i += 8, dest += 8 * Pixel::kBytes) {
        MvPlanes s;
        __m128i sourceAlpha;
        MvLoadSource8(source + i, &s, &sourceAlpha);
        const MvPlanes value = MvWideValueOf<kValue>(s, x);
        if constexpr (kWeight == MvBlitWeight::None) {
            wide.Store(dest, wide.Pack(value));
        } else {
            const typename Wide::Raw before = wide.Load(dest);
            const MvPlanes d = wide.Unpack(before);
            const __m128i w = MvWideWeightOf<kWeight>(sourceAlpha, x.alpha);
            const __m128i inverse = _mm_sub_epi16(_mm_set1_epi16(255), w);
            MvPlanes out = {MvWideBlend(w, inverse, value.red, d.red),
                            MvWideBlend(w, inverse, value.green, d.green),
                            MvWideBlend(w, inverse, value.blue, d.blue)};
            if constexpr (kWeight == MvBlitWeight::SourceAlpha) {
                // Opaque pixels take the value itself, transparent ones keep the target.
                const __m128i opaque = _mm_cmpeq_epi16(sourceAlpha, _mm_set1_epi16(255));
                const __m128i transparent = _mm_cmpeq_epi16(sourceAlpha, _mm_setzero_si128());
                out.red = MvWideSelect(opaque, value.red, out.red);
                out.green = MvWideSelect(opaque, value.green, out.green);
                out.blue = MvWideSelect(opaque, value.blue, out.blue);
                wide.Store(dest, wide.Keep(transparent, before, wide.Pack(out)));
            } else {
                wide.Store(dest, wide.Pack(out));
            }
        }
    }
    // Runs cut for the wide steps mostly end here; the plain loop and its target
    // access are made only for pixels left over.
    if (i != count)
        MvBlitRun<Pixel, kValue, kWeight>(Pixel(target), dest, source + i, count - i, xform);
}

// A wide blitter: checks the target's bytes per pixel and the count, then runs. The run
// is inlined so that a short piece costs one call, not two.
template <class Wide, class Pixel, MvBlitValue kValue, MvBlitWeight kWeight>
void MvBlitFamilyWide(const MvPaintTarget& target, uint8_t* dest, const MvColor* source, int count,
                      MvColorXform xform)
{
    MvAssert(target.BytesPerPixel() == Pixel::kBytes);
    MvAssert(count >= 0);
    MvBlitRunWide<Wide, Pixel, kValue, kWeight>(target, dest, source, count, xform);
}

// The eight wide blitters of a family, in MvBlitterSlot order.
template <class Wide, class Pixel>
constexpr MvBlitterTable MvWideBlitterFamilyTable()
{
    return {{
        MvBlitFamilyWide<Wide, Pixel, MvBlitValue::Source, MvBlitWeight::None>,
        MvBlitFamilyWide<Wide, Pixel, MvBlitValue::Transformed, MvBlitWeight::None>,
        MvBlitFamilyWide<Wide, Pixel, MvBlitValue::Source, MvBlitWeight::TransformAlpha>,
        MvBlitFamilyWide<Wide, Pixel, MvBlitValue::Transformed, MvBlitWeight::TransformAlpha>,
        MvBlitFamilyWide<Wide, Pixel, MvBlitValue::Source, MvBlitWeight::SourceAlpha>,
        MvBlitFamilyWide<Wide, Pixel, MvBlitValue::Transformed, MvBlitWeight::SourceAlpha>,
        MvBlitFamilyWide<Wide, Pixel, MvBlitValue::Source, MvBlitWeight::Combined>,
        MvBlitFamilyWide<Wide, Pixel, MvBlitValue::Transformed, MvBlitWeight::Combined>,
    }};
}

#endif // __SSE2__

#endif
