#include "MvBlitRun.h"
#include "MvBlitRunWide.h"
#include "MvBlitterSets.h"

#include <utility>

namespace {

// A 24-bit target pixel: three bytes, each channel in the byte its shift names.
struct Pixel24 {
    static const int kBytes = 3;

    explicit Pixel24(const MvPaintTarget& t) : redByte(t.redByte), greenByte(t.greenByte), blueByte(t.blueByte) {}

    MvRgb Read(const uint8_t* address) const { return {address[redByte], address[greenByte], address[blueByte]}; }

    void Write(uint8_t* address, const MvRgb& c, uint32_t /*alpha*/) const
    {
        address[redByte] = static_cast<uint8_t>(c.red);
        address[greenByte] = static_cast<uint8_t>(c.green);
        address[blueByte] = static_cast<uint8_t>(c.blue);
    }

    uint32_t redByte, greenByte, blueByte;
};

constexpr const char* kNames24[MvBlitterSlotCount] = {
    "24_Simple_NoAlpha", "24_Color_NoAlpha", "24_Alpha_NoAlpha", "24_Full_NoAlpha",
    "24_Simple_Alpha",   "24_Color_Alpha",   "24_Alpha_Alpha",   "24_Full_Alpha",
};

#if MV_BLIT_WIDE

// Sixteen 24-bit pixels are 48 bytes, three whole registers. The source pixels are
// packed into the target's byte order first; from there every byte is one channel and
// the arithmetic runs byte lane by byte lane, in six registers of eight 16-bit lanes,
// with the transform and the weights laid out to match: lane j of register k holds byte
// 8k + j, which is channel (8k + j) % 3 of pixel (8k + j) / 3. Products stay below
// 65536 as in MvBlitRunWide.h, so the results are the plain loop's. Only the two
// layouts with green in the middle byte are packed this way; the plain loop paints
// every other layout and the last count % 16 pixels.

const int kWideRegisters = 6; // 48 bytes as 16-bit lanes

// step(0), step(1), ... step(kCount - 1), written out: a group's arrays of registers,
// indexed by constants, then stay in registers.
template <int... kIndex, class Step>
inline void UnrolledSteps(std::integer_sequence<int, kIndex...>, const Step& step)
{
    (step(kIndex), ...);
}

template <int kCount, class Step>
inline void Unrolled(const Step& step)
{
    UnrolledSteps(std::make_integer_sequence<int, kCount>(), step);
}

// Four source pixels with red and blue in the target's bytes 0 and 2 (byte 3 is left as
// it is and dropped by Pack12). Swapping the 16-bit halves of each word brings red to
// byte 0 and blue to byte 2, and green is taken back from the source.
template <bool kRedFirst>
inline __m128i TargetOrder(__m128i s)
{
    if constexpr (kRedFirst) {
        const __m128i swapped =
            _mm_shufflehi_epi16(_mm_shufflelo_epi16(s, _MM_SHUFFLE(2, 3, 0, 1)), _MM_SHUFFLE(2, 3, 0, 1));
        const __m128i green = _mm_set1_epi32(0x0000FF00);
        return _mm_or_si128(_mm_andnot_si128(green, swapped), _mm_and_si128(green, s));
    } else {
        return s;
    }
}

// Four pixel words as their low three bytes side by side in bytes 0-11; bytes 12-15 are 0.
inline __m128i Pack12(__m128i s)
{
    // Each 64-bit half first: two pixels in bytes 0-5, bytes 6 and 7 cleared.
    const __m128i pairs = _mm_or_si128(_mm_and_si128(s, _mm_set1_epi64x(0xFFFFFF)),
                                       _mm_and_si128(_mm_srli_epi64(s, 8), _mm_set1_epi64x(0xFFFFFF000000)));
    // Then the upper pair closes up on the lower one.
    return _mm_or_si128(_mm_move_epi64(pairs), _mm_slli_si128(_mm_srli_si128(pairs, 8), 6));
}

// Sixteen source pixels, four to a register.
inline void LoadSource16(const MvColor* source, __m128i words[4])
{
    Unrolled<4>([&](int r) { words[r] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + 4 * r)); });
}

// Sixteen source pixels as the 48 bytes the target keeps for them, in three registers.
template <bool kRedFirst>
inline void PackSource48(const __m128i words[4], __m128i packed[3])
{
    __m128i twelve[4];
    Unrolled<4>([&](int r) { twelve[r] = Pack12(TargetOrder<kRedFirst>(words[r])); });
    packed[0] = _mm_or_si128(twelve[0], _mm_slli_si128(twelve[1], 12));
    packed[1] = _mm_or_si128(_mm_srli_si128(twelve[1], 4), _mm_slli_si128(twelve[2], 8));
    packed[2] = _mm_or_si128(_mm_srli_si128(twelve[2], 8), _mm_slli_si128(twelve[3], 4));
}

// 48 bytes as six registers of 16-bit lanes, and back (every lane holds 0..255).
inline void Widen48(const __m128i bytes[3], __m128i lanes[kWideRegisters])
{
    const __m128i zero = _mm_setzero_si128();
    Unrolled<3>([&](int r) {
        lanes[2 * r] = _mm_unpacklo_epi8(bytes[r], zero);
        lanes[2 * r + 1] = _mm_unpackhi_epi8(bytes[r], zero);
    });
}

inline void Narrow48(const __m128i lanes[kWideRegisters], __m128i bytes[3])
{
    Unrolled<3>([&](int r) { bytes[r] = _mm_packus_epi16(lanes[2 * r], lanes[2 * r + 1]); });
}

// One value per channel spread over the byte lanes: phase[p] has in lane j the value of
// the channel in target byte (p + j) % 3, and register k of 48 bytes starts at phase
// (8k) % 3.
struct ChannelLanes {
    ChannelLanes(int byte0, int byte1, int byte2)
    {
        const int value[3] = {byte0, byte1, byte2};
        for (int p = 0; p < 3; ++p) {
            phase[p] = _mm_setr_epi16(short(value[p % 3]), short(value[(p + 1) % 3]), short(value[(p + 2) % 3]),
                                      short(value[p % 3]), short(value[(p + 1) % 3]), short(value[(p + 2) % 3]),
                                      short(value[p % 3]), short(value[(p + 1) % 3]));
        }
    }

    __m128i Of(int reg) const { return phase[(8 * reg) % 3]; }

    __m128i phase[3];
};

// The colour transform in the target's byte order, made once per run.
struct ByteXform {
    template <bool kRedFirst>
    static ByteXform InOrder(const MvColorXform& x)
    {
        if constexpr (kRedFirst)
            return {{x.mul.red, x.mul.green, x.mul.blue}, {x.add.red, x.add.green, x.add.blue}};
        else
            return {{x.mul.blue, x.mul.green, x.mul.red}, {x.add.blue, x.add.green, x.add.red}};
    }

    ChannelLanes mul, add;
};

// Eight pixels' weights (one 16-bit lane each) over the 24 byte lanes of their channels:
// pixel p covers lanes 3p, 3p + 1 and 3p + 2 of the three registers.
inline void Spread3(__m128i w, __m128i* out)
{
    const __m128i first = _mm_shuffle_epi32(w, _MM_SHUFFLE(1, 0, 1, 0)); // pixels 0-3 in both halves
    const __m128i last = _mm_shuffle_epi32(w, _MM_SHUFFLE(3, 2, 3, 2)); // pixels 4-7 in both halves
    out[0] = _mm_shufflehi_epi16(_mm_shufflelo_epi16(first, _MM_SHUFFLE(1, 0, 0, 0)), _MM_SHUFFLE(2, 2, 1, 1));
    out[1] = _mm_shufflehi_epi16(_mm_shufflelo_epi16(w, _MM_SHUFFLE(3, 3, 3, 2)), _MM_SHUFFLE(1, 0, 0, 0));
    out[2] = _mm_shufflehi_epi16(_mm_shufflelo_epi16(last, _MM_SHUFFLE(2, 2, 1, 1)), _MM_SHUFFLE(3, 3, 3, 2));
}

// The weights of sixteen pixels and their complements, spread over the byte lanes. With
// source alpha an opaque pixel weighs 256 against 0 and a transparent one 0 against 256,
// which gives exactly the value and the target byte that the plain loop's short cuts
// keep; 256 * 255 still fits a 16-bit lane.
template <MvBlitWeight kWeight>
inline void PixelWeights(const __m128i words[4], __m128i transformAlpha, __m128i weight[kWideRegisters],
                         __m128i inverse[kWideRegisters])
{
    const __m128i full = _mm_set1_epi16(255);
    Unrolled<2>([&](int half) {
        const __m128i alpha =
            _mm_packs_epi32(_mm_srli_epi32(words[2 * half], 24), _mm_srli_epi32(words[2 * half + 1], 24));
        const __m128i w = MvWideWeightOf<kWeight>(alpha, transformAlpha);
        if constexpr (kWeight == MvBlitWeight::SourceAlpha) {
            Spread3(_mm_sub_epi16(w, _mm_cmpeq_epi16(alpha, full)), weight + 3 * half);
            Spread3(_mm_sub_epi16(_mm_sub_epi16(full, w), _mm_cmpeq_epi16(alpha, _mm_setzero_si128())),
                    inverse + 3 * half);
        } else {
            Spread3(w, weight + 3 * half);
        }
    });
    if constexpr (kWeight != MvBlitWeight::SourceAlpha)
        Unrolled<kWideRegisters>([&](int k) { inverse[k] = _mm_sub_epi16(full, weight[k]); });
}

// Paints the first count / 16 groups of sixteen pixels of a target with green in byte 1
// and red in byte 0 (kRedFirst) or 2; returns how many pixels it painted. Flattened: every
// helper is inlined, so a group's registers never pass through memory.
template <bool kRedFirst, MvBlitValue kValue, MvBlitWeight kWeight>
__attribute__((flatten)) int Blit24Wide(uint8_t* dest, const MvColor* source, int count, const MvColorXform& xform)
{
    const ByteXform x = ByteXform::InOrder<kRedFirst>(xform);
    const __m128i transformAlpha = _mm_set1_epi16(xform.add.alpha);
    const __m128i transformInverse = _mm_set1_epi16(short(255 - xform.add.alpha));
    int i = 0;
    for (; i + 16 <= count; i += 16, dest += 48) {
        __m128i words[4], bytes[3];
        LoadSource16(source + i, words);
        PackSource48<kRedFirst>(words, bytes);
        if constexpr (kValue == MvBlitValue::Transformed || kWeight != MvBlitWeight::None) {
            __m128i value[kWideRegisters];
            Widen48(bytes, value);
            if constexpr (kValue == MvBlitValue::Transformed) {
                Unrolled<kWideRegisters>(
                    [&](int k) { value[k] = MvWideTransform(value[k], x.mul.Of(k), x.add.Of(k)); });
            }
            if constexpr (kWeight != MvBlitWeight::None) {
                __m128i before[3], target[kWideRegisters];
                Unrolled<3>(
                    [&](int r) { before[r] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dest + 16 * r)); });
                Widen48(before, target);
                if constexpr (kWeight == MvBlitWeight::TransformAlpha) {
                    Unrolled<kWideRegisters>([&](int k) {
                        value[k] = MvWideBlend(transformAlpha, transformInverse, value[k], target[k]);
                    });
                } else {
                    __m128i weight[kWideRegisters], inverse[kWideRegisters];
                    PixelWeights<kWeight>(words, transformAlpha, weight, inverse);
                    Unrolled<kWideRegisters>(
                        [&](int k) { value[k] = MvWideBlend(weight[k], inverse[k], value[k], target[k]); });
                }
            }
            Narrow48(value, bytes);
        }
        Unrolled<3>([&](int r) { _mm_storeu_si128(reinterpret_cast<__m128i*>(dest + 16 * r), bytes[r]); });
    }
    return i;
}

// A 24-bit blitter: sixteen pixels per step where the layout allows, the plain loop for
// the rest.
template <MvBlitValue kValue, MvBlitWeight kWeight>
void Blit24(const MvPaintTarget& target, uint8_t* dest, const MvColor* source, int count, MvColorXform xform)
{
    MvAssert(target.BytesPerPixel() == Pixel24::kBytes);
    MvAssert(count >= 0);
    int done = 0;
    if (count >= 16 && target.greenByte == 1) {
        if (target.redByte == 2 && target.blueByte == 0)
            done = Blit24Wide<false, kValue, kWeight>(dest, source, count, xform);
        else if (target.redByte == 0 && target.blueByte == 2)
            done = Blit24Wide<true, kValue, kWeight>(dest, source, count, xform);
    }
    MvBlitRun<Pixel24, kValue, kWeight>(Pixel24(target), dest + done * Pixel24::kBytes, source + done, count - done,
                                        xform);
}

#endif

} // namespace

constexpr MvBlitterSet MvBlitters24Plain = {
    MvBlitterFamilyTable<Pixel24>(),
    {kNames24[0], kNames24[1], kNames24[2], kNames24[3], kNames24[4], kNames24[5], kNames24[6], kNames24[7]},
};

constexpr MvBlitterSet MvBlitters24 = {
#if MV_BLIT_WIDE
    {{
        Blit24<MvBlitValue::Source, MvBlitWeight::None>,
        Blit24<MvBlitValue::Transformed, MvBlitWeight::None>,
        Blit24<MvBlitValue::Source, MvBlitWeight::TransformAlpha>,
        Blit24<MvBlitValue::Transformed, MvBlitWeight::TransformAlpha>,
        Blit24<MvBlitValue::Source, MvBlitWeight::SourceAlpha>,
        Blit24<MvBlitValue::Transformed, MvBlitWeight::SourceAlpha>,
        Blit24<MvBlitValue::Source, MvBlitWeight::Combined>,
        Blit24<MvBlitValue::Transformed, MvBlitWeight::Combined>,
    }},
#else
    MvBlitterFamilyTable<Pixel24>(),
#endif
    {kNames24[0], kNames24[1], kNames24[2], kNames24[3], kNames24[4], kNames24[5], kNames24[6], kNames24[7]},
};
