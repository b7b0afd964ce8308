#include "MvBlitterSets.h"
#include "MvColorXform.h"
#include "MvPaintTarget.h"
#include "ScreenFormat.h"
#include "SurfacePtr.h"

#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

// The blitters side by side with SDL 1.2's own SDL_BlitSurface doing the closest job on
// the same pixels: an opaque copy (and memcpy), a per-pixel alpha blend (SDL_SRCALPHA on
// a source with an alpha channel) and a constant-alpha blend (SDL_SetAlpha on an opaque
// source). Each benchmark paints one 256 x 256 picture, row by row for the blitters, and
// reports pixels per second (items) and source bytes per second. Each 24-bit kind is also
// measured in its SSE2 form and its plain form side by side, as BM_Blit24/<layout>/<kind>/
// Sse2 and .../Plain.

namespace {

const int kWidth = 256;
const int kHeight = 256;

const ScreenFormat kScreens[] = {
    {"32RedAt16", 32, 0x00FF0000, 0x0000FF00, 0x000000FF},
    {"32RedAt0", 32, 0x000000FF, 0x0000FF00, 0x00FF0000},
    {"24RedAt16", 24, 0x00FF0000, 0x0000FF00, 0x000000FF},
    {"24RedAt0", 24, 0x000000FF, 0x0000FF00, 0x00FF0000},
    {"16_565", 16, 0xF800, 0x07E0, 0x001F},
};

// Random pictures: one opaque, one with uniformly random alpha.
struct Pictures {
    Pictures() : opaque(kWidth * kHeight), translucent(kWidth * kHeight)
    {
        std::mt19937 random(12345);
        for (int i = 0; i < kWidth * kHeight; ++i) {
            uint32_t v = random();
            opaque[i].Set(uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), 255);
            translucent[i].Set(uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24));
        }
    }
    std::vector<MvColor> opaque;
    std::vector<MvColor> translucent;
};

Pictures& ThePictures()
{
    static Pictures pictures;
    return pictures;
}

// The screen surface of a format and its paint target, made once (the target logs its
// 32-bit choice when made).
struct Screen {
    explicit Screen(const ScreenFormat& f)
        : surface(SDL_CreateRGBSurface(SDL_SWSURFACE, kWidth, kHeight, f.bits, f.redMask, f.greenMask,
                                       f.blueMask, 0)),
          target(surface.get())
    {
        std::memset(surface->pixels, 0x5A, size_t(surface->pitch) * kHeight);
    }
    SurfacePtr surface;
    MvPaintTarget target;
};

Screen& TheScreen(int format)
{
    static std::unique_ptr<Screen> screens[sizeof kScreens / sizeof kScreens[0]];
    if (!screens[format])
        screens[format].reset(new Screen(kScreens[format]));
    return *screens[format];
}

// SDL's view of a picture: the same bytes as an SDL surface in the engine's layout.
SurfacePtr SdlSource(std::vector<MvColor>& pixels, bool alphaChannel)
{
    return SurfacePtr(SDL_CreateRGBSurfaceFrom(pixels.data(), kWidth, kHeight, 32, kWidth * 4, 0x00FF0000,
                                               0x0000FF00, 0x000000FF, alphaChannel ? 0xFF000000 : 0));
}

void CountPixels(benchmark::State& state)
{
    state.SetItemsProcessed(int64_t(state.iterations()) * kWidth * kHeight);
    state.SetBytesProcessed(int64_t(state.iterations()) * kWidth * kHeight * 4);
}

// Paints the picture row by row with blit, or with the target's own blitter for slot.
void RunBlitter(benchmark::State& state, int format, MvRunBlitter blit, MvColorXform xform, bool translucent)
{
    Screen& screen = TheScreen(format);
    const MvPaintTarget& target = screen.target;
    const std::vector<MvColor>& pixels = translucent ? ThePictures().translucent : ThePictures().opaque;
    for (auto _ : state) {
        for (int y = 0; y < kHeight; ++y)
            blit(target, target.PixelAddress(0, y), &pixels[y * kWidth], kWidth, xform);
        benchmark::ClobberMemory();
    }
    CountPixels(state);
}

void RunBlitter(benchmark::State& state, int format, MvBlitterSlot slot, MvColorXform xform, bool translucent)
{
    RunBlitter(state, format, TheScreen(format).target.Blitter(slot), xform, translucent);
}

// SDL_BlitSurface of the picture; surfaceAlpha < 0 leaves the source's alpha setting alone.
void RunSdlBlit(benchmark::State& state, int format, bool translucent, int surfaceAlpha)
{
    Screen& screen = TheScreen(format);
    std::vector<MvColor>& pixels = translucent ? ThePictures().translucent : ThePictures().opaque;
    SurfacePtr source = SdlSource(pixels, translucent);
    if (translucent)
        SDL_SetAlpha(source.get(), SDL_SRCALPHA, 255);
    else if (surfaceAlpha >= 0)
        SDL_SetAlpha(source.get(), SDL_SRCALPHA, uint8_t(surfaceAlpha));
    else
        SDL_SetAlpha(source.get(), 0, 255);
    for (auto _ : state) {
        SDL_BlitSurface(source.get(), nullptr, screen.surface.get(), nullptr);
        benchmark::ClobberMemory();
    }
    CountPixels(state);
}

void RunMemcpy(benchmark::State& state, int format)
{
    Screen& screen = TheScreen(format);
    const MvPaintTarget& target = screen.target;
    const std::vector<MvColor>& pixels = ThePictures().opaque;
    for (auto _ : state) {
        for (int y = 0; y < kHeight; ++y)
            std::memcpy(target.PixelAddress(0, y), &pixels[y * kWidth], kWidth * 4);
        benchmark::ClobberMemory();
    }
    CountPixels(state);
}

const int kAlpha = 100; // a constant alpha without SDL's special case for 128

MvColorXform AlphaOnly(int alpha)
{
    MvColorXform x;
    x.SetAlpha(alpha);
    return x;
}

MvColorXform Tint(int alpha)
{
    MvColorXform x;
    x.Set(200, 30, 180, 40, 220, 20, alpha);
    return x;
}

// The transform a kind is measured with: a tint for the colour kinds, the constant alpha
// for the alpha kinds.
MvColorXform KindXform(int slot)
{
    switch (slot % MvBlitSimpleAlpha) {
    case MvBlitColorNoAlpha:
        return Tint(255);
    case MvBlitAlphaNoAlpha:
        return AlphaOnly(kAlpha);
    case MvBlitFullNoAlpha:
        return Tint(kAlpha);
    default:
        return MvColorXform();
    }
}

void Register(const std::string& name, std::function<void(benchmark::State&)> run)
{
    benchmark::RegisterBenchmark(name.c_str(), [run](benchmark::State& state) { run(state); });
}

bool RegisterAll()
{
    const char* const kinds[] = {"Simple_NoAlpha", "Color_NoAlpha", "Alpha_NoAlpha", "Full_NoAlpha",
                                 "Simple_Alpha",   "Color_Alpha",   "Alpha_Alpha",   "Full_Alpha"};
    for (int f = 0; f < int(sizeof kScreens / sizeof kScreens[0]); ++f) {
        const std::string screen = kScreens[f].name;

        // Opaque copy.
        Register("Opaque/" + screen + "/Movo_Simple_NoAlpha", [f](benchmark::State& s) {
            RunBlitter(s, f, MvBlitSimpleNoAlpha, MvColorXform(), false);
        });
        Register("Opaque/" + screen + "/SDL_BlitSurface", [f](benchmark::State& s) { RunSdlBlit(s, f, false, -1); });
        if (kScreens[f].bits == 32)
            Register("Opaque/" + screen + "/memcpy", [f](benchmark::State& s) { RunMemcpy(s, f); });
        Register("Opaque/" + screen + "/Movo_Color_NoAlpha", [f](benchmark::State& s) {
            RunBlitter(s, f, MvBlitColorNoAlpha, Tint(255), false);
        });

        // Constant alpha over an opaque picture.
        Register("SurfaceAlpha/" + screen + "/Movo_Alpha_NoAlpha", [f](benchmark::State& s) {
            RunBlitter(s, f, MvBlitAlphaNoAlpha, AlphaOnly(kAlpha), false);
        });
        Register("SurfaceAlpha/" + screen + "/Movo_Full_NoAlpha", [f](benchmark::State& s) {
            RunBlitter(s, f, MvBlitFullNoAlpha, Tint(kAlpha), false);
        });
        Register("SurfaceAlpha/" + screen + "/SDL_BlitSurface", [f](benchmark::State& s) {
            RunSdlBlit(s, f, false, kAlpha);
        });
        Register("SurfaceAlpha128/" + screen + "/Movo_Alpha_NoAlpha", [f](benchmark::State& s) {
            RunBlitter(s, f, MvBlitAlphaNoAlpha, AlphaOnly(128), false);
        });
        Register("SurfaceAlpha128/" + screen + "/SDL_BlitSurface", [f](benchmark::State& s) {
            RunSdlBlit(s, f, false, 128);
        });

        // Per-pixel alpha.
        for (int slot = MvBlitSimpleAlpha; slot <= MvBlitFullAlpha; ++slot) {
            const MvColorXform x = KindXform(slot);
            Register("PixelAlpha/" + screen + "/Movo_" + kinds[slot], [f, slot, x](benchmark::State& s) {
                RunBlitter(s, f, MvBlitterSlot(slot), x, true);
            });
        }
        Register("PixelAlpha/" + screen + "/SDL_BlitSurface", [f](benchmark::State& s) {
            RunSdlBlit(s, f, true, -1);
        });

        // The 24-bit kinds, SSE2 form against plain form (opaque picture for the NoAlpha kinds).
        if (kScreens[f].bits == 24) {
            const std::string layout = screen.substr(2);
            for (int slot = 0; slot < MvBlitterSlotCount; ++slot) {
                const MvColorXform x = KindXform(slot);
                const bool translucent = slot >= MvBlitSimpleAlpha;
                const MvRunBlitter sse2 = MvBlitters24.blitters.slots[slot];
                const MvRunBlitter plain = MvBlitters24Plain.blitters.slots[slot];
                const std::string name = "BM_Blit24/" + layout + "/" + kinds[slot];
                Register(name + "/Sse2", [f, sse2, x, translucent](benchmark::State& s) {
                    RunBlitter(s, f, sse2, x, translucent);
                });
                Register(name + "/Plain", [f, plain, x, translucent](benchmark::State& s) {
                    RunBlitter(s, f, plain, x, translucent);
                });
            }
        }
    }
    return true;
}

const bool registered = RegisterAll();

} // namespace
