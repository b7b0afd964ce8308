#include "DescribedSurface.h"
#include "MvBlitterSets.h"
#include "MvColorXform.h"
#include "MvFailedCheck.h"
#include "MvPaintTarget.h"
#include "SurfacePtr.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <random>
#include <ostream>
#include <string>
#include <vector>

// Every blitter set paints into a surface of its own format, and each painted pixel is
// compared with a reference model of the blending rules written out plainly below. The
// model knows the formats from this file's own table, not from the paint target.

namespace {

enum class Layout { Word32, Bytes24, Word16, Memory };

struct TargetFormat {
    const char* name;
    Layout layout;
    uint32_t redMask, greenMask, blueMask;
    int redShift, greenShift, blueShift;
    int redBits, greenBits, blueBits;
    bool fastCopy; // Simple_NoAlpha is the block copy
};

const TargetFormat kFormats[] = {
    {"Rgb32RedAt16", Layout::Word32, 0x00FF0000, 0x0000FF00, 0x000000FF, 16, 8, 0, 8, 8, 8, true},
    {"Rgb32RedAt0", Layout::Word32, 0x000000FF, 0x0000FF00, 0x00FF0000, 0, 8, 16, 8, 8, 8, false},
    {"Rgb32RedAt8", Layout::Word32, 0x0000FF00, 0x00FF0000, 0xFF000000, 8, 16, 24, 8, 8, 8, false},
    {"Rgb24RedAt16", Layout::Bytes24, 0x00FF0000, 0x0000FF00, 0x000000FF, 16, 8, 0, 8, 8, 8, false},
    {"Rgb24RedAt0", Layout::Bytes24, 0x000000FF, 0x0000FF00, 0x00FF0000, 0, 8, 16, 8, 8, 8, false},
    {"Rgb16_565", Layout::Word16, 0xF800, 0x07E0, 0x001F, 11, 5, 0, 5, 6, 5, false},
    {"Rgb16_555", Layout::Word16, 0x7C00, 0x03E0, 0x001F, 10, 5, 0, 5, 5, 5, false},
    {"Memory", Layout::Memory, 0, 0, 0, 16, 8, 0, 8, 8, 8, false},
};

void PrintTo(const TargetFormat& f, std::ostream* os) { *os << f.name; }

int BytesPerPixel(Layout layout)
{
    switch (layout) {
    case Layout::Word16:
        return 2;
    case Layout::Bytes24:
        return 3;
    default:
        return 4;
    }
}

// A paint target of the format, width x 1 pixels, with its pixel bytes reachable.
class TestTarget {
public:
    TestTarget(const TargetFormat& f, int width)
    {
        if (f.layout == Layout::Memory) {
            memory_.resize(width);
            target_.reset(new MvPaintTarget(memory_.data(), width, 1));
        } else {
            surface_.reset(SDL_CreateRGBSurface(SDL_SWSURFACE, width, 1, BytesPerPixel(f.layout) * 8, f.redMask,
                                                f.greenMask, f.blueMask, 0));
            target_.reset(new MvPaintTarget(surface_.get()));
        }
        bytes_ = width * BytesPerPixel(f.layout);
    }

    MvPaintTarget& Target() { return *target_; }
    uint8_t* Bytes() { return target_->Pixels(); }
    std::vector<uint8_t> Copy() { return std::vector<uint8_t>(Bytes(), Bytes() + bytes_); }
    void Fill(const std::vector<uint8_t>& bytes) { std::memcpy(Bytes(), bytes.data(), bytes_); }

private:
    std::vector<MvColor> memory_;
    SurfacePtr surface_;
    std::unique_ptr<MvPaintTarget> target_;
    int bytes_ = 0;
};

struct Rgb {
    int red, green, blue;
};

uint32_t ReadWord(const uint8_t* p, int bytes)
{
    uint32_t w = 0;
    for (int i = bytes - 1; i >= 0; --i)
        w = (w << 8) | p[i];
    return w;
}

void WriteWord(uint8_t* p, int bytes, uint32_t w)
{
    for (int i = 0; i < bytes; ++i)
        p[i] = static_cast<uint8_t>(w >> (8 * i));
}

// The destination channels as the blend sees them.
Rgb Decode(const TargetFormat& f, const uint8_t* p)
{
    switch (f.layout) {
    case Layout::Word32: {
        uint32_t w = ReadWord(p, 4);
        return {int(w >> f.redShift) & 0xFF, int(w >> f.greenShift) & 0xFF, int(w >> f.blueShift) & 0xFF};
    }
    case Layout::Bytes24:
        return {p[f.redShift / 8], p[f.greenShift / 8], p[f.blueShift / 8]};
    case Layout::Word16: {
        uint32_t w = ReadWord(p, 2);
        int r = (w >> f.redShift) & ((1 << f.redBits) - 1);
        int g = (w >> f.greenShift) & ((1 << f.greenBits) - 1);
        int b = (w >> f.blueShift) & ((1 << f.blueBits) - 1);
        return {r << (8 - f.redBits), g << (8 - f.greenBits), b << (8 - f.blueBits)};
    }
    case Layout::Memory:
        return {p[2], p[1], p[0]};
    }
    return {0, 0, 0};
}

// Stores the channels (and, in memory, the alpha byte) the way the format keeps them.
void Encode(const TargetFormat& f, uint8_t* p, Rgb c, int alpha)
{
    switch (f.layout) {
    case Layout::Word32:
        WriteWord(p, 4, (uint32_t(c.red) << f.redShift) | (uint32_t(c.green) << f.greenShift) |
                            (uint32_t(c.blue) << f.blueShift));
        break;
    case Layout::Bytes24:
        p[f.redShift / 8] = uint8_t(c.red);
        p[f.greenShift / 8] = uint8_t(c.green);
        p[f.blueShift / 8] = uint8_t(c.blue);
        break;
    case Layout::Word16:
        WriteWord(p, 2, (uint32_t(c.red >> (8 - f.redBits)) << f.redShift) |
                            (uint32_t(c.green >> (8 - f.greenBits)) << f.greenShift) |
                            (uint32_t(c.blue >> (8 - f.blueBits)) << f.blueShift));
        break;
    case Layout::Memory:
        p[0] = uint8_t(c.blue);
        p[1] = uint8_t(c.green);
        p[2] = uint8_t(c.red);
        p[3] = uint8_t(alpha);
        break;
    }
}

Rgb Transformed(const MvColor& s, const MvColorXform& x)
{
    return {s.red * x.mul.red / 256 + x.add.red, s.green * x.mul.green / 256 + x.add.green,
            s.blue * x.mul.blue / 256 + x.add.blue};
}

int Mix(int w, int value, int dest) { return (w * value + (255 - w) * dest) >> 8; }

// What one blitter kind leaves in one target pixel p.
void ExpectedPixel(const TargetFormat& f, int slot, const MvColor& s, const MvColorXform& x, uint8_t* p)
{
    const Rgb plain = {s.red, s.green, s.blue};
    const bool colorKind = slot == MvBlitColorNoAlpha || slot == MvBlitFullNoAlpha || slot == MvBlitColorAlpha ||
                           slot == MvBlitFullAlpha;
    const Rgb value = colorKind ? Transformed(s, x) : plain;
    const int a = x.add.alpha;

    if (slot == MvBlitSimpleNoAlpha && f.fastCopy) {
        std::memcpy(p, &s, 4);
        return;
    }
    int w;
    switch (slot) {
    case MvBlitSimpleNoAlpha:
        Encode(f, p, value, s.alpha);
        return;
    case MvBlitColorNoAlpha:
        Encode(f, p, value, 255);
        return;
    case MvBlitAlphaNoAlpha:
    case MvBlitFullNoAlpha:
        w = a;
        break;
    case MvBlitSimpleAlpha:
    case MvBlitColorAlpha:
        if (s.alpha == 0)
            return;
        if (s.alpha == 255) {
            Encode(f, p, value, colorKind ? 255 : s.alpha);
            return;
        }
        w = s.alpha;
        break;
    default: // Alpha_Alpha, Full_Alpha
        w = (a * s.alpha) >> 8;
        break;
    }
    const Rgb d = Decode(f, p);
    Encode(f, p, {Mix(w, value.red, d.red), Mix(w, value.green, d.green), Mix(w, value.blue, d.blue)}, w);
}

const char* const kSlotNames[] = {"Simple_NoAlpha", "Color_NoAlpha", "Alpha_NoAlpha", "Full_NoAlpha",
                                  "Simple_Alpha",   "Color_Alpha",   "Alpha_Alpha",   "Full_Alpha"};

MvColor Color(int r, int g, int b, int a)
{
    MvColor c;
    c.Set(uint8_t(r), uint8_t(g), uint8_t(b), uint8_t(a));
    return c;
}

// Source pixels: opaque, transparent and translucent, with extreme and middle channels.
const std::vector<MvColor> kSources = {
    Color(200, 100, 50, 255), Color(255, 255, 255, 255), Color(0, 0, 0, 255),     Color(10, 20, 30, 0),
    Color(255, 0, 128, 0),    Color(200, 100, 50, 128),  Color(1, 2, 3, 1),       Color(250, 5, 77, 254),
    Color(128, 128, 128, 64), Color(0, 255, 0, 200),     Color(33, 66, 99, 127),  Color(255, 255, 255, 129),
    Color(255, 255, 255, 2),  Color(7, 240, 19, 255),    Color(91, 182, 13, 250), Color(180, 60, 220, 40),
    Color(255, 1, 254, 3),
};

struct NamedXform {
    const char* name;
    MvColorXform xform;
};

std::vector<NamedXform> Xforms()
{
    std::vector<NamedXform> all;
    MvColorXform x;
    all.push_back({"identity", x});
    x.SetAlpha(128);
    all.push_back({"alpha 128", x});
    x.SetAlpha(0);
    all.push_back({"alpha 0", x});
    x.SetAlpha(1);
    all.push_back({"alpha 1", x});
    x.Set(128, 64, 255, 0, 0, 200, 255);
    all.push_back({"colour only", x});
    x.Set(128, 64, 200, 50, 100, 0, 77);
    all.push_back({"colour and alpha 77", x});
    x.Set(0, 255, 1, 0, 255, 0, 254);
    all.push_back({"colour extremes, alpha 254", x});
    x = MvColorXform();
    x.Brighten(100);
    all.push_back({"brighten 100", x});
    x = MvColorXform();
    x.Darken(200);
    x.SetAlpha(200);
    all.push_back({"darken 200, alpha 200", x});
    return all;
}

// Target bytes before painting: a fixed pseudo-random pattern, so unused bits and the
// memory alpha byte start out set.
std::vector<uint8_t> Pattern(size_t n, uint32_t seed)
{
    std::vector<uint8_t> bytes(n);
    uint32_t v = seed;
    for (uint8_t& b : bytes) {
        v = v * 1103515245u + 12345u;
        b = uint8_t(v >> 16);
    }
    return bytes;
}

class BlitterFormatTest : public ::testing::TestWithParam<TargetFormat> {};

// Paints the whole source run, through every slot and transform, between two guard
// pixels, and compares every target byte with the model.
TEST_P(BlitterFormatTest, EveryKindMatchesTheFormulaPixelForPixel)
{
    const TargetFormat& f = GetParam();
    const int bpp = BytesPerPixel(f.layout);
    const int count = int(kSources.size());
    TestTarget t(f, count + 2);

    for (const NamedXform& nx : Xforms()) {
        for (int slot = 0; slot < MvBlitterSlotCount; ++slot) {
            SCOPED_TRACE(std::string(kSlotNames[slot]) + ", " + nx.name);
            const std::vector<uint8_t> before = Pattern((count + 2) * bpp, uint32_t(slot * 31 + 7));
            std::vector<uint8_t> expected = before;
            for (int i = 0; i < count; ++i)
                ExpectedPixel(f, slot, kSources[i], nx.xform, &expected[(i + 1) * bpp]);

            t.Fill(before);
            MvRunBlitter blit = t.Target().Blitter(MvBlitterSlot(slot));
            blit(t.Target(), t.Target().PixelAddress(1, 0), kSources.data(), count, nx.xform);
            const std::vector<uint8_t> after = t.Copy();
            for (int i = 0; i < count + 2; ++i) {
                EXPECT_EQ(0, std::memcmp(&after[i * bpp], &expected[i * bpp], bpp))
                    << "pixel " << i << ": got 0x" << std::hex << ReadWord(&after[i * bpp], bpp) << ", want 0x"
                    << ReadWord(&expected[i * bpp], bpp);
            }
        }
    }
}

TEST_P(BlitterFormatTest, CountZeroPaintsNothing)
{
    const TargetFormat& f = GetParam();
    TestTarget t(f, 4);
    const std::vector<uint8_t> before = Pattern(4 * BytesPerPixel(f.layout), 99);
    MvColorXform x;
    x.Set(10, 0, 20, 0, 30, 0, 40);
    for (int slot = 0; slot < MvBlitterSlotCount; ++slot) {
        t.Fill(before);
        t.Target().Blitter(MvBlitterSlot(slot))(t.Target(), t.Target().PixelAddress(1, 0), kSources.data(), 0, x);
        EXPECT_EQ(before, t.Copy()) << kSlotNames[slot];
    }
}

// Each blitter asserts the bytes per pixel it was made for and a count of at least 0.
TEST_P(BlitterFormatTest, BrokenPreconditionsAreCaught)
{
    const TargetFormat& f = GetParam();
    TestTarget t(f, 4);
    SurfacePtr other(SDL_CreateRGBSurface(SDL_SWSURFACE, 4, 1, f.layout == Layout::Word16 ? 24 : 16, 0, 0, 0, 0));
    MvPaintTarget wrong(other.get());
    MvColor pixels[4] = {};
    MvColorXform x;
    for (int slot = 0; slot < MvBlitterSlotCount; ++slot) {
        MvRunBlitter blit = t.Target().Blitter(MvBlitterSlot(slot));
        // The plain blitters compare with Pixel::kBytes, the block copy with 4.
        EXPECT_DEATH(blit(wrong, wrong.Pixels(), pixels, 1, x), MvFailedCheck("target.BytesPerPixel() == "))
            << kSlotNames[slot];
        EXPECT_DEATH(blit(t.Target(), t.Target().Pixels(), pixels, -1, x), MvFailedCheck("count >= 0"))
            << kSlotNames[slot];
    }
}

INSTANTIATE_TEST_SUITE_P(AllFormats, BlitterFormatTest, ::testing::ValuesIn(kFormats),
                         [](const ::testing::TestParamInfo<TargetFormat>& info) { return info.param.name; });

const TargetFormat& Format(const char* name)
{
    for (const TargetFormat& f : kFormats) {
        if (std::string(f.name) == name)
            return f;
    }
    ADD_FAILURE() << "no format " << name;
    return kFormats[0];
}

// Single pixels with the results worked out by hand.
TEST(Blitter, WorkedExamples)
{
    MvColorXform identity;
    MvColorXform half;
    half.SetAlpha(128);
    MvColorXform none;
    none.SetAlpha(0);
    MvColorXform redTint;
    redTint.Set(128, 64, 255, 0, 255, 0, 255);

    struct Case {
        const char* what;
        const char* format;
        MvBlitterSlot slot;
        MvColorXform xform;
        MvColor source;
        uint32_t before; // target pixel, little-endian
        uint32_t after;
    };
    const Case cases[] = {
        {"alpha 128: red 200 over red 100 gives 149", "Rgb32RedAt0", MvBlitAlphaNoAlpha, half,
         Color(200, 0, 0, 255), 100, 149},
        {"same on the fast layout", "Rgb32RedAt16", MvBlitAlphaNoAlpha, half, Color(200, 0, 0, 255), 100 << 16,
         149 << 16},
        {"red mul 128, add 64 turns 255 into 191", "Rgb32RedAt16", MvBlitColorNoAlpha, redTint,
         Color(255, 0, 0, 255), 0, 191 << 16},
        {"weight 0 still darkens by one", "Rgb32RedAt16", MvBlitAlphaNoAlpha, none, Color(255, 255, 255, 255),
         0x00646400 | 0xC8, 0x00636300 | 0xC7},
        {"weight 0 leaves black black", "Rgb32RedAt0", MvBlitAlphaAlpha, identity, Color(255, 255, 255, 0), 0, 0},
        {"source alpha 0 leaves the whole word", "Rgb32RedAt16", MvBlitSimpleAlpha, identity,
         Color(255, 255, 255, 0), 0xAB123456, 0xAB123456},
        {"source alpha 255 overwrites exactly", "Rgb32RedAt16", MvBlitSimpleAlpha, identity,
         Color(200, 100, 50, 255), 0xAB123456, 0x00C86432},
        {"16-bit white is 0xFFFF", "Rgb16_565", MvBlitSimpleNoAlpha, identity, Color(255, 255, 255, 255), 0,
         0xFFFF},
        {"16-bit red 8 is 1 << 11", "Rgb16_565", MvBlitSimpleNoAlpha, identity, Color(8, 0, 0, 255), 0, 1 << 11},
        {"24-bit red at bit 0 lands in byte 0", "Rgb24RedAt0", MvBlitSimpleNoAlpha, identity,
         Color(0x11, 0x22, 0x33, 255), 0, 0x332211},
        {"24-bit red at bit 16 lands in byte 2", "Rgb24RedAt16", MvBlitSimpleNoAlpha, identity,
         Color(0x11, 0x22, 0x33, 255), 0, 0x112233},
        {"memory Alpha_Alpha stores the combined weight (128 * 200) >> 8 = 100", "Memory", MvBlitAlphaAlpha,
         half, Color(255, 0, 0, 200), 0xFF000000, 0x64630000},
        {"memory Color_NoAlpha stores alpha 255", "Memory", MvBlitColorNoAlpha, redTint, Color(255, 0, 0, 7), 0,
         0xFFBF0000},
        {"memory Simple_NoAlpha copies the source alpha", "Memory", MvBlitSimpleNoAlpha, identity,
         Color(1, 2, 3, 4), 0, 0x04010203},
        {"fast 32-bit copy keeps the source's fourth byte", "Rgb32RedAt16", MvBlitSimpleNoAlpha, identity,
         Color(1, 2, 3, 4), 0, 0x04010203},
        {"standard 32-bit copy clears the fourth byte", "Rgb32RedAt0", MvBlitSimpleNoAlpha, identity,
         Color(1, 2, 3, 4), 0xFF000000, 0x030201},
    };
    for (const Case& c : cases) {
        const TargetFormat& f = Format(c.format);
        const int bpp = BytesPerPixel(f.layout);
        TestTarget t(f, 1);
        WriteWord(t.Bytes(), bpp, c.before);
        alignas(4) const MvColor source = c.source; // the block copy needs an aligned source
        t.Target().Blitter(c.slot)(t.Target(), t.Bytes(), &source, 1, c.xform);
        EXPECT_EQ(c.after, ReadWord(t.Bytes(), bpp)) << c.what;
    }
}

// The block copy demands 4-byte aligned addresses, and its layout.
TEST(Blitter, FastCopyAssertsAlignment)
{
    TestTarget t(Format("Rgb32RedAt16"), 4);
    MvRunBlitter copy = t.Target().Blitter(MvBlitSimpleNoAlpha);
    ASSERT_STREQ("32B_Simple_NoAlpha", MvBlitterName(copy));
    alignas(4) uint8_t source[5 * 4] = {};
    MvColorXform x;
    EXPECT_DEATH(copy(t.Target(), t.Bytes() + 1, reinterpret_cast<MvColor*>(source), 1, x),
                 MvFailedCheck("reinterpret_cast<uintptr_t>(dest) % 4 == 0"));
    EXPECT_DEATH(copy(t.Target(), t.Bytes(), reinterpret_cast<MvColor*>(source + 1), 1, x),
                 MvFailedCheck("reinterpret_cast<uintptr_t>(source) % 4 == 0"));

    TestTarget standard(Format("Rgb32RedAt0"), 4);
    EXPECT_DEATH(copy(standard.Target(), standard.Bytes(), reinterpret_cast<MvColor*>(source), 1, x),
                 MvFailedCheck("target.redShift == 16 && target.greenShift == 8 && target.blueShift == 0"));
}

// The 32-bit and 16-bit sets paint eight pixels per step where the processor allows, the
// 24-bit set sixteen; they must give exactly the plain sets' bytes for every kind,
// transform, run length and start, including the pixels left over after the last group.
TEST(Blitter, WideSetsMatchThePlainSetsByteForByte)
{
    struct Case {
        const char* what;
        int bits;
        uint32_t r, g, b, a;
        const MvBlitterSet& wide;
        const MvBlitterSet& plain;
    };
    const Case cases[] = {
        {"32 red at 16, own set", 32, 0xFF0000, 0xFF00, 0xFF, 0, MvBlitters32RedAt16, MvBlitters32Plain},
        {"32 red at 16", 32, 0xFF0000, 0xFF00, 0xFF, 0, MvBlitters32, MvBlitters32Plain},
        {"32 red at 0", 32, 0xFF, 0xFF00, 0xFF0000, 0, MvBlitters32, MvBlitters32Plain},
        {"32 blue at 24", 32, 0xFF00, 0xFF0000, 0xFF000000, 0, MvBlitters32, MvBlitters32Plain},
        {"16 5-6-5", 16, 0xF800, 0x07E0, 0x001F, 0, MvBlitters16, MvBlitters16Plain},
        {"16 5-5-5", 16, 0x7C00, 0x03E0, 0x001F, 0, MvBlitters16, MvBlitters16Plain},
        {"16 4-4-4-4", 16, 0x0F00, 0x00F0, 0x000F, 0xF000, MvBlitters16, MvBlitters16Plain},
        {"24 red at 16", 24, 0xFF0000, 0xFF00, 0xFF, 0, MvBlitters24, MvBlitters24Plain},
        {"24 red at 0", 24, 0xFF, 0xFF00, 0xFF0000, 0, MvBlitters24, MvBlitters24Plain},
        {"24 green at 0", 24, 0xFF00, 0xFF, 0xFF0000, 0, MvBlitters24, MvBlitters24Plain},
    };
    std::mt19937 random(2024);
    auto byte = [&random]() { return int(random() & 0xFF); };
    for (const Case& c : cases) {
        SurfacePtr surface(SDL_CreateRGBSurface(SDL_SWSURFACE, 1, 1, c.bits, c.r, c.g, c.b, c.a));
        MvPaintTarget target(surface.get());
        const int bpp = c.bits / 8;
        for (int round = 0; round < 300; ++round) {
            // Alphas from runs of 0, runs of 255 and anything, so groups of eight of each occur.
            const int count = int(random() % 41);
            const int start = int(random() % 4);
            std::vector<MvColor> source(count + 1);
            const int alphaMode = round % 4;
            for (MvColor& s : source) {
                const int a = alphaMode == 0 ? 0 : alphaMode == 1 ? 255 : alphaMode == 2 ? byte() : (byte() & 1) * 255;
                s = Color(byte(), byte(), byte(), a);
            }
            MvColorXform x;
            const int mr = byte(), mg = byte(), mb = byte();
            x.Set(mr, byte() % (256 - ((mr * 255) >> 8)), mg, byte() % (256 - ((mg * 255) >> 8)), mb,
                  byte() % (256 - ((mb * 255) >> 8)), byte());
            const std::vector<uint8_t> before = Pattern((start + count + 1) * bpp, uint32_t(round));
            for (int slot = 0; slot < MvBlitterSlotCount; ++slot) {
                std::vector<uint8_t> wide = before;
                std::vector<uint8_t> plain = before;
                c.wide.blitters.slots[slot](target, &wide[start * bpp], source.data(), count, x);
                c.plain.blitters.slots[slot](target, &plain[start * bpp], source.data(), count, x);
                ASSERT_EQ(plain, wide) << c.what << ", " << kSlotNames[slot] << ", round " << round << ", count "
                                       << count;
            }
        }
    }
}

// The 24-bit set paints sixteen pixels per step on the layouts with green in the middle
// byte. At the edges of its arithmetic (alpha 0, 1, 254 and 255, channels 0 and 255,
// multipliers 0 and 255 with the largest offsets they allow), for runs around multiples of
// sixteen and targets and sources off any alignment, it leaves exactly the plain set's
// bytes, and neither set touches a byte after the run.
TEST(Blitter, TwentyFourBitSetMatchesThePlainSetAtTheEdges)
{
    struct Layout24 {
        const char* what;
        uint32_t r, g, b;
    };
    const Layout24 layouts[] = {
        {"red at 16", 0xFF0000, 0xFF00, 0xFF},
        {"red at 0", 0xFF, 0xFF00, 0xFF0000},
        {"green at 0 (plain only)", 0xFF00, 0xFF, 0xFF0000},
    };
    const int counts[] = {0, 1, 2, 3, 4, 5, 15, 16, 17, 31, 32, 33, 47, 48, 49, 64, 65};
    const int targetOffsets[] = {0, 1, 7, 13}; // bytes from a 16-byte boundary
    const int sourceOffsets[] = {0, 1, 3}; // pixels from a 16-byte boundary
    const int kGuard = 16; // bytes after the run that must stay as they were
    const int kMaxCount = 65;
    const int kBytes = 16 + kMaxCount * 3 + kGuard;

    // Channels and alphas cycle through their edges at different steps, so that within
    // every group of sixteen each channel meets several of each.
    const int channelEdges[] = {0, 255, 1, 254, 128, 127, 0, 255};
    const int alphaEdges[] = {0, 1, 254, 255, 255, 0, 128, 1, 254};
    std::vector<MvColor> source(kMaxCount + 4);
    for (size_t i = 0; i < source.size(); ++i)
        source[i] = Color(channelEdges[i % 8], channelEdges[(3 * i + 1) % 8], channelEdges[(5 * i + 2) % 7],
                          alphaEdges[i % 9]);
    std::vector<uint8_t> before(kBytes);
    for (size_t i = 0; i < before.size(); ++i)
        before[i] = uint8_t(channelEdges[(7 * i + 3) % 8] ^ (i % 5 == 0 ? 0x5A : 0));

    // Each channel with its own multiplier and offset, so channels swapped between bytes
    // show; every offset is the largest the multiplier allows or 0.
    const int alphas[] = {0, 1, 128, 254, 255};
    std::vector<NamedXform> xforms;
    for (int alpha : alphas) {
        MvColorXform x;
        x.SetAlpha(alpha);
        xforms.push_back({"identity colour", x});
        x.Set(0, 255, 255, 0, 128, 128, alpha);
        xforms.push_back({"red 0 + 255, green 255 + 0, blue 128 + 128", x});
        x.Set(255, 0, 1, 255, 0, 0, alpha);
        xforms.push_back({"red 255 + 0, green 1 + 255, blue 0 + 0", x});
    }

    for (const Layout24& layout : layouts) {
        SurfacePtr surface(SDL_CreateRGBSurface(SDL_SWSURFACE, 1, 1, 24, layout.r, layout.g, layout.b, 0));
        MvPaintTarget target(surface.get());
        for (const NamedXform& nx : xforms) {
            for (int count : counts) {
                for (int targetOffset : targetOffsets) {
                    for (int sourceOffset : sourceOffsets) {
                        for (int slot = 0; slot < MvBlitterSlotCount; ++slot) {
                            // Two copies of the target bytes, each run starting targetOffset bytes in.
                            alignas(16) uint8_t wide[kBytes];
                            alignas(16) uint8_t plain[kBytes];
                            std::memcpy(wide, before.data(), kBytes);
                            std::memcpy(plain, before.data(), kBytes);
                            const MvColor* run = source.data() + sourceOffset;
                            MvBlitters24.blitters.slots[slot](target, wide + targetOffset, run, count, nx.xform);
                            MvBlitters24Plain.blitters.slots[slot](target, plain + targetOffset, run, count,
                                                                   nx.xform);
                            const int end = targetOffset + count * 3;
                            int firstDifference = -1;
                            for (int b = 0; b < kBytes && firstDifference < 0; ++b) {
                                if (wide[b] != plain[b])
                                    firstDifference = b;
                            }
                            ASSERT_EQ(-1, firstDifference)
                                << layout.what << ", " << kSlotNames[slot] << ", " << nx.name << ", alpha "
                                << nx.xform.Alpha() << ", count " << count << ", target offset " << targetOffset
                                << ", source offset " << sourceOffset << ": byte " << firstDifference - targetOffset
                                << " of the run differs";
                            ASSERT_EQ(0, std::memcmp(plain + end, before.data() + end, kBytes - end))
                                << "a byte after the run changed: " << kSlotNames[slot] << ", count " << count;
                        }
                    }
                }
            }
        }
    }
}

// The red-at-16 layout has its own set (and the block copy), other whole-byte layouts
// the general wide set, and anything else the plain set; the names stay the same.
TEST(Blitter, ThirtyTwoBitTargetsTakeTheSetForTheirLayout)
{
    SurfacePtr fast(SDL_CreateRGBSurface(SDL_SWSURFACE, 1, 1, 32, 0xFF0000, 0xFF00, 0xFF, 0));
    SurfacePtr bytes(SDL_CreateRGBSurface(SDL_SWSURFACE, 1, 1, 32, 0xFF, 0xFF00, 0xFF0000, 0));
    // sdl12-compat makes no surface with 10-bit channels (it gives the byte layout
    // instead), SDL 1.2.15 does.
    DescribedSurface tenBit(1, 1, 32, 0x3FF00000, 0x000FFC00, 0x000003FF, 0);
    MvPaintTarget fastTarget(fast.get());
    MvPaintTarget byteTarget(bytes.get());
    MvPaintTarget tenBitTarget(tenBit.get());
    EXPECT_EQ(MvBlit32BSimpleNoAlpha, fastTarget.Blitter(MvBlitSimpleNoAlpha));
    for (int slot = 0; slot < MvBlitterSlotCount; ++slot) {
        if (slot != MvBlitSimpleNoAlpha) {
            EXPECT_EQ(MvBlitters32RedAt16.blitters.slots[slot], fastTarget.Blitter(MvBlitterSlot(slot)));
        }
        EXPECT_EQ(MvBlitters32.blitters.slots[slot], byteTarget.Blitter(MvBlitterSlot(slot)));
        EXPECT_EQ(MvBlitters32Plain.blitters.slots[slot], tenBitTarget.Blitter(MvBlitterSlot(slot)));
        EXPECT_STREQ(MvBlitterName(byteTarget.Blitter(MvBlitterSlot(slot))),
                     MvBlitterName(tenBitTarget.Blitter(MvBlitterSlot(slot))));
    }
}

} // namespace
