#include "MvColorXform.h"
#include "DescribedSurface.h"
#include "MvDebugOutput.h"
#include "MvFailedCheck.h"
#include "MvPaintTarget.h"
#include "SurfacePtr.h"

#include <SDL.h>
#include "MvLogCapture.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

struct ScreenCase {
    const char* what;
    int bits;
    uint32_t redMask, greenMask, blueMask;
    int bytesPerPixel;
    int redShift, greenShift, blueShift;
    int redLoss, greenLoss, blueLoss;
    const char* log;
    const char* simpleNoAlpha; // name of the blitter in the first slot
    const char* prefix;        // of the other blitters' names
};

const ScreenCase kScreens[] = {
    {"32 red at 16", 32, 0xFF0000, 0xFF00, 0xFF, 4, 16, 8, 0, 0, 0, 0, "Fast 32 bit blitter.\n",
     "32B_Simple_NoAlpha", "32_"},
    {"32 red at 0", 32, 0xFF, 0xFF00, 0xFF0000, 4, 0, 8, 16, 0, 0, 0, "Standard 32 bit blitter.\n",
     "32_Simple_NoAlpha", "32_"},
    {"24 red at 16", 24, 0xFF0000, 0xFF00, 0xFF, 3, 16, 8, 0, 0, 0, 0, "", "24_Simple_NoAlpha", "24_"},
    {"24 red at 0", 24, 0xFF, 0xFF00, 0xFF0000, 3, 0, 8, 16, 0, 0, 0, "", "24_Simple_NoAlpha", "24_"},
    {"16 5-6-5", 16, 0xF800, 0x07E0, 0x001F, 2, 11, 5, 0, 3, 2, 3, "", "16_Simple_NoAlpha", "16_"},
    {"16 5-5-5", 16, 0x7C00, 0x03E0, 0x001F, 2, 10, 5, 0, 3, 3, 3, "", "16_Simple_NoAlpha", "16_"},
};

const char* const kKinds[] = {"Simple_NoAlpha", "Color_NoAlpha", "Alpha_NoAlpha", "Full_NoAlpha",
                              "Simple_Alpha",   "Color_Alpha",   "Alpha_Alpha",   "Full_Alpha"};

// A screen target reads the surface's format, logs its 32-bit choice and takes the set
// for its bytes per pixel.
TEST(MvPaintTarget, ScreenTargetReadsTheFormatAndChoosesTheSet)
{
    for (const ScreenCase& c : kScreens) {
        SCOPED_TRACE(c.what);
        SurfacePtr surface = MakeSurface(5, 3, c.bits, c.redMask, c.greenMask, c.blueMask);
        MvLogCapture capture;
        MvPaintTarget target(surface.get());
        EXPECT_EQ(c.log, capture.Text());

        EXPECT_EQ(5, target.Width());
        EXPECT_EQ(3, target.Height());
        EXPECT_EQ(surface->pitch, target.Pitch());
        EXPECT_EQ(c.bytesPerPixel, target.BytesPerPixel());
        EXPECT_EQ(surface->pixels, target.Pixels());
        EXPECT_EQ(surface.get(), target.Surface());
        EXPECT_FALSE(target.IsOpenGL());
        EXPECT_EQ(c.redShift, target.redShift);
        EXPECT_EQ(c.greenShift, target.greenShift);
        EXPECT_EQ(c.blueShift, target.blueShift);
        EXPECT_EQ(c.redMask, target.redMask);
        EXPECT_EQ(c.greenMask, target.greenMask);
        EXPECT_EQ(c.blueMask, target.blueMask);
        EXPECT_EQ(0u, target.alphaMask);
        EXPECT_EQ(c.redLoss, target.redLoss);
        EXPECT_EQ(c.greenLoss, target.greenLoss);
        EXPECT_EQ(c.blueLoss, target.blueLoss);
        EXPECT_EQ(c.redShift / 8, target.redByte);
        EXPECT_EQ(c.greenShift / 8, target.greenByte);
        EXPECT_EQ(c.blueShift / 8, target.blueByte);

        EXPECT_STREQ(c.simpleNoAlpha, MvBlitterName(target.Blitter(MvBlitSimpleNoAlpha)));
        for (int slot = 1; slot < MvBlitterSlotCount; ++slot) {
            EXPECT_EQ(std::string(c.prefix) + kKinds[slot],
                      MvBlitterName(target.Blitter(MvBlitterSlot(slot))));
        }
    }
}

TEST(MvPaintTarget, OpenGLIsTakenFromTheSurfaceFlags)
{
    SurfacePtr surface = MakeSurface(2, 2, 32, 0xFF0000, 0xFF00, 0xFF);
    surface->flags |= SDL_OPENGL;
    {
        MvPaintTarget target(surface.get());
        EXPECT_TRUE(target.IsOpenGL());
    }
    surface->flags &= ~SDL_OPENGL;
}

TEST(MvPaintTarget, PixelAddressUsesThePitch)
{
    // Three 3-byte pixels make a 9-byte row, which SDL pads to 12.
    SurfacePtr surface = MakeSurface(3, 4, 24, 0xFF0000, 0xFF00, 0xFF);
    MvPaintTarget target(surface.get());
    ASSERT_EQ(12, target.Pitch());
    uint8_t* base = static_cast<uint8_t*>(surface->pixels);
    EXPECT_EQ(base, target.PixelAddress(0, 0));
    EXPECT_EQ(base + 2 * 12 + 1 * 3, target.PixelAddress(1, 2));
    EXPECT_EQ(base + 3 * 12 + 2 * 3, target.PixelAddress(2, 3));
}

// Drawing the same target again must not free a surface the caller still holds.
TEST(MvPaintTarget, ScreenTargetLeavesTheSurfaceToItsOwner)
{
    SurfacePtr surface = MakeSurface(4, 4, 16, 0xF800, 0x07E0, 0x001F);
    { MvPaintTarget target(surface.get()); }
    MvPaintTarget again(surface.get());
    EXPECT_EQ(surface->pixels, again.Pixels());
}

TEST(MvPaintTarget, MemoryTargetWrapsTheCallersPixels)
{
    std::vector<MvColor> pixels(7 * 2);
    MvLogCapture capture;
    {
        MvPaintTarget target(pixels.data(), 7, 2);
        EXPECT_EQ("", capture.Text());
        EXPECT_EQ(7, target.Width());
        EXPECT_EQ(2, target.Height());
        EXPECT_EQ(28, target.Pitch());
        EXPECT_EQ(4, target.BytesPerPixel());
        EXPECT_EQ(reinterpret_cast<uint8_t*>(pixels.data()), target.Pixels());
        EXPECT_FALSE(target.IsOpenGL());
        ASSERT_NE(nullptr, target.Surface());
        EXPECT_EQ(pixels.data(), target.Surface()->pixels);
        EXPECT_EQ(16, target.redShift);
        EXPECT_EQ(8, target.greenShift);
        EXPECT_EQ(0, target.blueShift);
        EXPECT_EQ(24, target.alphaShift);
        EXPECT_EQ(0x00FF0000u, target.redMask);
        EXPECT_EQ(0x0000FF00u, target.greenMask);
        EXPECT_EQ(0x000000FFu, target.blueMask);
        EXPECT_EQ(0xFF000000u, target.alphaMask);
        EXPECT_EQ(reinterpret_cast<uint8_t*>(&pixels[7 + 3]), target.PixelAddress(3, 1));

        // The memory blitters are distinct from every screen set and have no name.
        std::set<MvRunBlitter> seen;
        for (int slot = 0; slot < MvBlitterSlotCount; ++slot) {
            MvRunBlitter blitter = target.Blitter(MvBlitterSlot(slot));
            ASSERT_NE(nullptr, blitter);
            EXPECT_STREQ("error", MvBlitterName(blitter)) << kKinds[slot];
            seen.insert(blitter);
        }
        EXPECT_EQ(size_t(MvBlitterSlotCount), seen.size());
    }
    // The caller's pixels outlive the target (the sanitizer build checks the surface is freed).
    pixels[0].Set(1, 2, 3, 4);
    EXPECT_EQ(4, pixels[0].alpha);
}

TEST(MvPaintTarget, EmptyMemoryTargetIsAllowed)
{
    MvPaintTarget target(nullptr, 0, 0);
    EXPECT_EQ(0, target.Width());
    EXPECT_EQ(0, target.Height());
}

// PickBlitter follows the table: transform kind by the flags, then the run's alpha.
TEST(MvPaintTarget, PickBlitterFollowsTheTable)
{
    MvColorXform identity;
    MvColorXform alphaOnly;
    alphaOnly.SetAlpha(128);
    MvColorXform colorOnly;
    colorOnly.Set(128, 64, 255, 0, 255, 0, 255);
    MvColorXform both;
    both.Set(128, 64, 255, 0, 255, 0, 100);
    MvColorXform transparentColor; // alpha 0 is still an alpha
    transparentColor.Set(200, 0, 200, 0, 200, 0, 0);

    struct Case {
        bool sourceHasAlpha;
        const MvColorXform* xform;
        MvBlitterSlot slot;
        const char* name;
    };
    const Case cases[] = {
        {false, &identity, MvBlitSimpleNoAlpha, "24_Simple_NoAlpha"},
        {false, &alphaOnly, MvBlitAlphaNoAlpha, "24_Alpha_NoAlpha"},
        {false, &colorOnly, MvBlitColorNoAlpha, "24_Color_NoAlpha"},
        {false, &both, MvBlitFullNoAlpha, "24_Full_NoAlpha"},
        {true, &identity, MvBlitSimpleAlpha, "24_Simple_Alpha"},
        {true, &alphaOnly, MvBlitAlphaAlpha, "24_Alpha_Alpha"},
        {true, &colorOnly, MvBlitColorAlpha, "24_Color_Alpha"},
        {true, &both, MvBlitFullAlpha, "24_Full_Alpha"},
        {true, &transparentColor, MvBlitFullAlpha, "24_Full_Alpha"},
    };
    SurfacePtr surface = MakeSurface(2, 2, 24, 0xFF0000, 0xFF00, 0xFF);
    MvPaintTarget target(surface.get());
    for (const Case& c : cases) {
        MvRunBlitter picked = target.PickBlitter(c.sourceHasAlpha, *c.xform);
        EXPECT_EQ(target.Blitter(c.slot), picked) << c.name;
        EXPECT_STREQ(c.name, MvBlitterName(picked));
    }
}

void NotABlitter(const MvPaintTarget&, uint8_t*, const MvColor*, int, MvColorXform) {}

// Each of the 25 screen blitters has its own name; anything else is "error".
TEST(MvPaintTarget, BlitterNamesAreUniqueAndOthersAreErrors)
{
    std::set<std::string> names;
    for (const ScreenCase& c : kScreens) {
        SurfacePtr surface = MakeSurface(1, 1, c.bits, c.redMask, c.greenMask, c.blueMask);
        MvPaintTarget target(surface.get());
        for (int slot = 0; slot < MvBlitterSlotCount; ++slot)
            names.insert(MvBlitterName(target.Blitter(MvBlitterSlot(slot))));
    }
    EXPECT_EQ(25u, names.size());
    EXPECT_EQ(0u, names.count("error"));
    EXPECT_STREQ("error", MvBlitterName(nullptr));
    EXPECT_STREQ("error", MvBlitterName(NotABlitter));
}

TEST(MvPaintTargetDeathTest, RefusesWhatItCannotPaint)
{
    EXPECT_DEATH(MvPaintTarget(static_cast<SDL_Surface*>(nullptr)), MvFailedCheck("surface != nullptr"));

    SurfacePtr paletted = MakeSurface(4, 4, 8, 0, 0, 0);
    ASSERT_EQ(1, paletted->format->BytesPerPixel);
    EXPECT_DEATH(MvPaintTarget target(paletted.get()), MvFailedCheck("bytesPerPixel_ >= 2 && bytesPerPixel_ <= 4"));

    // 24-bit channels must lie on whole bytes. sdl12-compat makes no such surface (it
    // gives a byte-aligned layout instead), SDL 1.2.15 does.
    DescribedSurface offByte(4, 4, 24, 0xFF0, 0xF00000, 0xF);
    ASSERT_EQ(4, offByte->format->Rshift);
    EXPECT_DEATH(MvPaintTarget target(offByte.get()),
                 MvFailedCheck("redShift % 8 == 0 && greenShift % 8 == 0 && blueShift % 8 == 0"));
}

TEST(MvPaintTargetDeathTest, MemoryTargetRefusesBadSizes)
{
    std::vector<MvColor> pixels(16384);
    struct Case {
        const char* what;
        MvColor* pixels;
        int width;
        int height;
        const char* condition;
    } cases[] = {
        {"a negative width", pixels.data(), -1, 1, "width >= 0 && height >= 0"},
        {"a negative height", pixels.data(), 1, -1, "width >= 0 && height >= 0"},
        {"no pixels", nullptr, 4, 4, "pixels != nullptr || width == 0 || height == 0"},
        // A row of 16384 pixels would need a pitch of 65536, which a surface cannot hold.
        {"a row too wide for a pitch", pixels.data(), 16384, 1, "width <= MaxMemoryWidth"},
    };
    for (const Case& c : cases)
        EXPECT_DEATH(MvPaintTarget target(c.pixels, c.width, c.height), MvFailedCheck(c.condition)) << c.what;
    MvPaintTarget widest(pixels.data(), 16383, 1);
    EXPECT_EQ(16383 * 4, widest.Pitch());
}

TEST(MvPaintTargetDeathTest, PickBlitterRefusesATransformOfNoKind)
{
    SurfacePtr surface = MakeSurface(2, 2, 16, 0xF800, 0x07E0, 0x001F);
    MvPaintTarget target(surface.get());
    MvColorXform broken;
    broken.identity = false; // neither colour change nor alpha
    EXPECT_DEATH(target.PickBlitter(false, broken), MvFailedCheck("xform.hasColor || xform.hasAlpha"));
    EXPECT_DEATH(target.PickBlitter(true, broken), MvFailedCheck("xform.hasColor || xform.hasAlpha"));
}

} // namespace
