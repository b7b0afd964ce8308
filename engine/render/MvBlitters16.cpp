#include "MvBlitRun.h"
#include "MvBlitRunWide.h"
#include "MvBlitterSets.h"

#include <cstring>

namespace {

// A 16-bit target pixel: a channel reads as ((P AND mask) >> shift) << loss, an 8-bit
// value with its dropped low bits 0, and is written back as (value >> loss) << shift.
struct Pixel16 {
    static const int kBytes = 2;

    explicit Pixel16(const MvPaintTarget& t)
        : redShift(t.redShift), greenShift(t.greenShift), blueShift(t.blueShift), redMask(t.redMask),
          greenMask(t.greenMask), blueMask(t.blueMask), redLoss(t.redLoss), greenLoss(t.greenLoss),
          blueLoss(t.blueLoss)
    {
    }

    MvRgb Read(const uint8_t* address) const
    {
        uint16_t p;
        std::memcpy(&p, address, sizeof p);
        return {((p & redMask) >> redShift) << redLoss, ((p & greenMask) >> greenShift) << greenLoss,
                ((p & blueMask) >> blueShift) << blueLoss};
    }

    void Write(uint8_t* address, const MvRgb& c, uint32_t /*alpha*/) const
    {
        const uint16_t p = static_cast<uint16_t>(((c.red >> redLoss) << redShift) |
                                                 ((c.green >> greenLoss) << greenShift) |
                                                 ((c.blue >> blueLoss) << blueShift));
        std::memcpy(address, &p, sizeof p);
    }

    uint32_t redShift, greenShift, blueShift;
    uint32_t redMask, greenMask, blueMask;
    uint32_t redLoss, greenLoss, blueLoss;
};

constexpr const char* kNames16[MvBlitterSlotCount] = {
    "16_Simple_NoAlpha", "16_Color_NoAlpha", "16_Alpha_NoAlpha", "16_Full_NoAlpha",
    "16_Simple_Alpha",   "16_Color_Alpha",   "16_Alpha_Alpha",   "16_Full_Alpha",
};

#if MV_BLIT_WIDE

// Eight 16-bit target pixels at once, one per lane, with the arithmetic of Pixel16.
struct Wide16 {
    typedef __m128i Raw;

    explicit Wide16(const MvPaintTarget& t)
        : redMask(_mm_set1_epi16(static_cast<short>(t.redMask))),
          greenMask(_mm_set1_epi16(static_cast<short>(t.greenMask))),
          blueMask(_mm_set1_epi16(static_cast<short>(t.blueMask))), redShift(_mm_cvtsi32_si128(t.redShift)),
          greenShift(_mm_cvtsi32_si128(t.greenShift)), blueShift(_mm_cvtsi32_si128(t.blueShift)),
          redLoss(_mm_cvtsi32_si128(t.redLoss)), greenLoss(_mm_cvtsi32_si128(t.greenLoss)),
          blueLoss(_mm_cvtsi32_si128(t.blueLoss))
    {
    }

    Raw Load(const uint8_t* address) const { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(address)); }

    void Store(uint8_t* address, Raw raw) const { _mm_storeu_si128(reinterpret_cast<__m128i*>(address), raw); }

    MvPlanes Unpack(Raw p) const
    {
        return {_mm_sll_epi16(_mm_srl_epi16(_mm_and_si128(p, redMask), redShift), redLoss),
                _mm_sll_epi16(_mm_srl_epi16(_mm_and_si128(p, greenMask), greenShift), greenLoss),
                _mm_sll_epi16(_mm_srl_epi16(_mm_and_si128(p, blueMask), blueShift), blueLoss)};
    }

    Raw Pack(const MvPlanes& c) const
    {
        return _mm_or_si128(_mm_or_si128(_mm_sll_epi16(_mm_srl_epi16(c.red, redLoss), redShift),
                                         _mm_sll_epi16(_mm_srl_epi16(c.green, greenLoss), greenShift)),
                            _mm_sll_epi16(_mm_srl_epi16(c.blue, blueLoss), blueShift));
    }

    Raw Keep(__m128i mask, Raw before, Raw fresh) const { return MvWideSelect(mask, before, fresh); }

    __m128i redMask, greenMask, blueMask;
    __m128i redShift, greenShift, blueShift;
    __m128i redLoss, greenLoss, blueLoss;
};

#endif

} // namespace

constexpr MvBlitterSet MvBlitters16Plain = {
    MvBlitterFamilyTable<Pixel16>(),
    {kNames16[0], kNames16[1], kNames16[2], kNames16[3], kNames16[4], kNames16[5], kNames16[6], kNames16[7]},
};

constexpr MvBlitterSet MvBlitters16 = {
#if MV_BLIT_WIDE
    MvWideBlitterFamilyTable<Wide16, Pixel16>(),
#else
    MvBlitterFamilyTable<Pixel16>(),
#endif
    {kNames16[0], kNames16[1], kNames16[2], kNames16[3], kNames16[4], kNames16[5], kNames16[6], kNames16[7]},
};
