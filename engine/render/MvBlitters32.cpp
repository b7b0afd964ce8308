#include "MvBlitRun.h"
#include "MvBlitRunWide.h"
#include "MvBlitterSets.h"

#include <cstring>

namespace {

// A 32-bit target pixel: each channel is (P AND mask) >> shift; a write replaces the
// whole word with the three shifted channels, so bits outside them become 0.
struct Pixel32 {
    static const int kBytes = 4;

    explicit Pixel32(const MvPaintTarget& t)
        : redShift(t.redShift), greenShift(t.greenShift), blueShift(t.blueShift), redMask(t.redMask),
          greenMask(t.greenMask), blueMask(t.blueMask)
    {
    }

    MvRgb Read(const uint8_t* address) const
    {
        uint32_t p;
        std::memcpy(&p, address, sizeof p);
        return {(p & redMask) >> redShift, (p & greenMask) >> greenShift, (p & blueMask) >> blueShift};
    }

    void Write(uint8_t* address, const MvRgb& c, uint32_t /*alpha*/) const
    {
        const uint32_t p = (c.red << redShift) | (c.green << greenShift) | (c.blue << blueShift);
        std::memcpy(address, &p, sizeof p);
    }

    uint32_t redShift, greenShift, blueShift;
    uint32_t redMask, greenMask, blueMask;
};

constexpr const char* kNames32[MvBlitterSlotCount] = {
    "32_Simple_NoAlpha", "32_Color_NoAlpha", "32_Alpha_NoAlpha", "32_Full_NoAlpha",
    "32_Simple_Alpha",   "32_Color_Alpha",   "32_Alpha_Alpha",   "32_Full_Alpha",
};

#if MV_BLIT_WIDE

// Eight 32-bit target pixels at once. With byte-wide channels (P AND mask) >> shift is
// (P >> shift) AND 0xFF, which is what Unpack computes.
struct Wide32 {
    struct Raw {
        __m128i lo, hi;
    };

    explicit Wide32(const MvPaintTarget& t)
        : redShift(_mm_cvtsi32_si128(t.redShift)), greenShift(_mm_cvtsi32_si128(t.greenShift)),
          blueShift(_mm_cvtsi32_si128(t.blueShift)), byte(_mm_set1_epi32(0xFF))
    {
    }

    Raw Load(const uint8_t* address) const
    {
        return {_mm_loadu_si128(reinterpret_cast<const __m128i*>(address)),
                _mm_loadu_si128(reinterpret_cast<const __m128i*>(address + 16))};
    }

    void Store(uint8_t* address, const Raw& raw) const
    {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(address), raw.lo);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(address + 16), raw.hi);
    }

    __m128i Channel(const Raw& raw, __m128i shift) const
    {
        return _mm_packs_epi32(_mm_and_si128(_mm_srl_epi32(raw.lo, shift), byte),
                               _mm_and_si128(_mm_srl_epi32(raw.hi, shift), byte));
    }

    MvPlanes Unpack(const Raw& raw) const
    {
        return {Channel(raw, redShift), Channel(raw, greenShift), Channel(raw, blueShift)};
    }

    Raw Pack(const MvPlanes& c) const
    {
        const __m128i zero = _mm_setzero_si128();
        Raw raw;
        raw.lo = _mm_or_si128(_mm_or_si128(_mm_sll_epi32(_mm_unpacklo_epi16(c.red, zero), redShift),
                                           _mm_sll_epi32(_mm_unpacklo_epi16(c.green, zero), greenShift)),
                              _mm_sll_epi32(_mm_unpacklo_epi16(c.blue, zero), blueShift));
        raw.hi = _mm_or_si128(_mm_or_si128(_mm_sll_epi32(_mm_unpackhi_epi16(c.red, zero), redShift),
                                           _mm_sll_epi32(_mm_unpackhi_epi16(c.green, zero), greenShift)),
                              _mm_sll_epi32(_mm_unpackhi_epi16(c.blue, zero), blueShift));
        return raw;
    }

    // The 16-bit mask lanes widened to whole pixels.
    Raw Keep(__m128i mask, const Raw& before, const Raw& fresh) const
    {
        return {MvWideSelect(_mm_unpacklo_epi16(mask, mask), before.lo, fresh.lo),
                MvWideSelect(_mm_unpackhi_epi16(mask, mask), before.hi, fresh.hi)};
    }

    __m128i redShift, greenShift, blueShift;
    __m128i byte;
};

// The layout of the source itself: blue, green and red in bytes 0, 1 and 2. Each
// channel of four pixels gets a 16-bit lane in place, without reordering, and the
// fourth byte is cleared on the way out as Pixel32::Write does.
template <MvBlitValue kValue, MvBlitWeight kWeight>
void Blit32RedAt16(const MvPaintTarget& target, uint8_t* dest, const MvColor* source, int count,
                   MvColorXform xform)
{
    MvAssert(target.BytesPerPixel() == 4);
    MvAssert(count >= 0);
    const __m128i zero = _mm_setzero_si128();
    const __m128i mul = _mm_setr_epi16(xform.mul.blue, xform.mul.green, xform.mul.red, 0, xform.mul.blue,
                                       xform.mul.green, xform.mul.red, 0);
    const __m128i add = _mm_setr_epi16(xform.add.blue, xform.add.green, xform.add.red, 0, xform.add.blue,
                                       xform.add.green, xform.add.red, 0);
    const __m128i alpha = _mm_set1_epi16(xform.add.alpha);
    const __m128i colorBytes = _mm_set1_epi32(0x00FFFFFF);
    int i = 0;
    for (; i + 4 <= count; i += 4, dest += 16) {
        const __m128i src = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + i));
        const __m128i sourceLo = _mm_unpacklo_epi8(src, zero);
        const __m128i sourceHi = _mm_unpackhi_epi8(src, zero);
        __m128i valueLo = sourceLo;
        __m128i valueHi = sourceHi;
        if constexpr (kValue == MvBlitValue::Transformed) {
            valueLo = MvWideTransform(sourceLo, mul, add);
            valueHi = MvWideTransform(sourceHi, mul, add);
        }
        if constexpr (kWeight == MvBlitWeight::None) {
            const __m128i out = _mm_and_si128(_mm_packus_epi16(valueLo, valueHi), colorBytes);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(dest), out);
        } else {
            const __m128i before = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dest));
            // Each pixel's source alpha spread over its four lanes.
            const __m128i alphaLo = _mm_shufflehi_epi16(_mm_shufflelo_epi16(sourceLo, 0xFF), 0xFF);
            const __m128i alphaHi = _mm_shufflehi_epi16(_mm_shufflelo_epi16(sourceHi, 0xFF), 0xFF);
            const __m128i wLo = MvWideWeightOf<kWeight>(alphaLo, alpha);
            const __m128i wHi = MvWideWeightOf<kWeight>(alphaHi, alpha);
            const __m128i inverse255 = _mm_set1_epi16(255);
            __m128i outLo = MvWideBlend(wLo, _mm_sub_epi16(inverse255, wLo), valueLo, _mm_unpacklo_epi8(before, zero));
            __m128i outHi = MvWideBlend(wHi, _mm_sub_epi16(inverse255, wHi), valueHi, _mm_unpackhi_epi8(before, zero));
            if constexpr (kWeight == MvBlitWeight::SourceAlpha) {
                outLo = MvWideSelect(_mm_cmpeq_epi16(alphaLo, inverse255), valueLo, outLo);
                outHi = MvWideSelect(_mm_cmpeq_epi16(alphaHi, inverse255), valueHi, outHi);
            }
            __m128i out = _mm_and_si128(_mm_packus_epi16(outLo, outHi), colorBytes);
            if constexpr (kWeight == MvBlitWeight::SourceAlpha) {
                const __m128i transparent =
                    _mm_packs_epi16(_mm_cmpeq_epi16(alphaLo, zero), _mm_cmpeq_epi16(alphaHi, zero));
                out = MvWideSelect(transparent, before, out);
            }
            _mm_storeu_si128(reinterpret_cast<__m128i*>(dest), out);
        }
    }
    if (i != count) // runs cut by 4 mostly end on a step
        MvBlitRun<Pixel32, kValue, kWeight>(Pixel32(target), dest, source + i, count - i, xform);
}

#endif

} // namespace

constexpr MvBlitterSet MvBlitters32Plain = {
    MvBlitterFamilyTable<Pixel32>(),
    {kNames32[0], kNames32[1], kNames32[2], kNames32[3], kNames32[4], kNames32[5], kNames32[6], kNames32[7]},
};

constexpr MvBlitterSet MvBlitters32 = {
#if MV_BLIT_WIDE
    MvWideBlitterFamilyTable<Wide32, Pixel32>(),
#else
    MvBlitterFamilyTable<Pixel32>(),
#endif
    {kNames32[0], kNames32[1], kNames32[2], kNames32[3], kNames32[4], kNames32[5], kNames32[6], kNames32[7]},
};

constexpr MvBlitterSet MvBlitters32RedAt16 = {
#if MV_BLIT_WIDE
    {{
        Blit32RedAt16<MvBlitValue::Source, MvBlitWeight::None>,
        Blit32RedAt16<MvBlitValue::Transformed, MvBlitWeight::None>,
        Blit32RedAt16<MvBlitValue::Source, MvBlitWeight::TransformAlpha>,
        Blit32RedAt16<MvBlitValue::Transformed, MvBlitWeight::TransformAlpha>,
        Blit32RedAt16<MvBlitValue::Source, MvBlitWeight::SourceAlpha>,
        Blit32RedAt16<MvBlitValue::Transformed, MvBlitWeight::SourceAlpha>,
        Blit32RedAt16<MvBlitValue::Source, MvBlitWeight::Combined>,
        Blit32RedAt16<MvBlitValue::Transformed, MvBlitWeight::Combined>,
    }},
#else
    MvBlitterFamilyTable<Pixel32>(),
#endif
    {kNames32[0], kNames32[1], kNames32[2], kNames32[3], kNames32[4], kNames32[5], kNames32[6], kNames32[7]},
};

constexpr const char* MvBlit32BSimpleNoAlphaName = "32B_Simple_NoAlpha";

void MvBlit32BSimpleNoAlpha(const MvPaintTarget& target, uint8_t* dest, const MvColor* source, int count,
                            MvColorXform /*xform*/)
{
    MvAssert(target.BytesPerPixel() == 4);
    MvAssert(target.redShift == 16 && target.greenShift == 8 && target.blueShift == 0);
    MvAssert(count >= 0);
    MvAssert(reinterpret_cast<uintptr_t>(dest) % 4 == 0);
    MvAssert(reinterpret_cast<uintptr_t>(source) % 4 == 0);
    std::memcpy(dest, source, static_cast<size_t>(count) * 4);
}
