#include "MvColorXform.h"
#include "MvPaintTarget.h"
#include "MvPixelBlock.h"
#include "MvTileResource.h"
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

// A 25 x 25 tile laid over a 250 x 250 area (10 x 10 copies) in each of its eight
// orientations, side by side with SDL 1.2's SDL_BlitSurface laying the same pixels
// (unturned: SDL cannot turn) over the same area. Turned copies are made before timing,
// as a program's first frame would make them. Opaque tiles use the row copy, tiles with
// alpha the per-pixel blend (SDL_SRCALPHA on a source with an alpha channel). Reports
// pixels per second (items).

namespace {

const int kTile = 25;
const int kAcross = 10;
const int kArea = kTile * kAcross;

const ScreenFormat kScreens[] = {
    {"32RedAt16", 32, 0x00FF0000, 0x0000FF00, 0x000000FF},
    {"24RedAt16", 24, 0x00FF0000, 0x0000FF00, 0x000000FF},
    {"16_565", 16, 0xF800, 0x07E0, 0x001F},
};
const int kScreenCount = sizeof kScreens / sizeof kScreens[0];

struct Screen {
    explicit Screen(const ScreenFormat& f)
        : surface(SDL_CreateRGBSurface(SDL_SWSURFACE, kArea, kArea, f.bits, f.redMask, f.greenMask, f.blueMask, 0)),
          target(surface.get())
    {
        std::memset(surface->pixels, 0x5A, size_t(surface->pitch) * kArea);
    }
    SurfacePtr surface;
    MvPaintTarget target;
};

Screen& TheScreen(int format)
{
    static std::unique_ptr<Screen> screens[kScreenCount];
    if (!screens[format])
        screens[format].reset(new Screen(kScreens[format]));
    return *screens[format];
}

// The tile's pixels in the engine's layout (blue, green, red, alpha), random colours;
// with alpha, every alpha from 0 to 255 occurs.
struct TilePixels {
    explicit TilePixels(bool translucent) : pixels(kTile * kTile)
    {
        std::mt19937 random(translucent ? 77 : 55);
        for (MvColor& c : pixels) {
            const uint32_t v = random();
            c.Set(uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), translucent ? uint8_t(v >> 24) : 255);
        }
    }
    // SDL's view of the same bytes.
    SurfacePtr Surface(bool alphaChannel)
    {
        return SurfacePtr(SDL_CreateRGBSurfaceFrom(pixels.data(), kTile, kTile, 32, kTile * 4, 0x00FF0000,
                                                   0x0000FF00, 0x000000FF, alphaChannel ? 0xFF000000 : 0));
    }
    std::vector<MvColor> pixels;
};

TilePixels& ThePixels(bool translucent)
{
    static TilePixels opaque(false);
    static TilePixels withAlpha(true);
    return translucent ? withAlpha : opaque;
}

// A tile made from the pixels as the encoder makes one, with all turned copies made.
MvTileResource& TheTile(bool translucent)
{
    static std::unique_ptr<MvTileResource> tiles[2];
    std::unique_ptr<MvTileResource>& tile = tiles[translucent];
    if (!tile) {
        SurfacePtr source = ThePixels(translucent).Surface(true);
        MvPaintTarget picture(source.get());
        tile.reset(new MvTileResource(translucent ? "translucent" : "opaque", picture, 0, 0, kTile));
        Screen& screen = TheScreen(0);
        for (int o = 0; o < 8; ++o)
            tile->Draw(screen.target, MvTransform::Identity(), o, MvColorXform(),
                       MvMakeRect(0, 0, kArea - 1, kArea - 1), MvPixelBlock::QualityBest, 0);
    }
    return *tile;
}

void CountPixels(benchmark::State& state)
{
    state.SetItemsProcessed(int64_t(state.iterations()) * kArea * kArea);
}

void RunTile(benchmark::State& state, int format, int orientation, bool translucent)
{
    MvTileResource& tile = TheTile(translucent);
    Screen& screen = TheScreen(format);
    const MvIntRect clip = MvMakeRect(0, 0, kArea - 1, kArea - 1);
    const MvColorXform identity;
    for (auto _ : state) {
        MvTransform at = MvTransform::Identity();
        for (int row = 0; row < kAcross; ++row) {
            at.y = MvFixed::FromInt(row * kTile);
            for (int column = 0; column < kAcross; ++column) {
                at.x = MvFixed::FromInt(column * kTile);
                tile.Draw(screen.target, at, orientation, identity, clip, MvPixelBlock::QualityBest, 0);
            }
        }
        benchmark::ClobberMemory();
    }
    CountPixels(state);
}

void RunSdlBlit(benchmark::State& state, int format, bool translucent)
{
    Screen& screen = TheScreen(format);
    SurfacePtr source = ThePixels(translucent).Surface(translucent);
    SDL_SetAlpha(source.get(), translucent ? SDL_SRCALPHA : 0, 255);
    for (auto _ : state) {
        for (int row = 0; row < kAcross; ++row) {
            for (int column = 0; column < kAcross; ++column) {
                SDL_Rect at = {Sint16(column * kTile), Sint16(row * kTile), 0, 0};
                SDL_BlitSurface(source.get(), nullptr, screen.surface.get(), &at);
            }
        }
        benchmark::ClobberMemory();
    }
    CountPixels(state);
}

void Register(const std::string& name, std::function<void(benchmark::State&)> run)
{
    benchmark::RegisterBenchmark(name.c_str(), [run](benchmark::State& state) { run(state); });
}

bool RegisterAll()
{
    for (int f = 0; f < kScreenCount; ++f) {
        for (bool translucent : {false, true}) {
            const std::string group = std::string(translucent ? "TileAlpha/" : "TileOpaque/") + kScreens[f].name;
            Register(group + "/SDL_BlitSurface",
                     [f, translucent](benchmark::State& s) { RunSdlBlit(s, f, translucent); });
            for (int o = 0; o < 8; ++o) {
                Register(group + "/Movo_Orientation" + std::to_string(o),
                         [f, o, translucent](benchmark::State& s) { RunTile(s, f, o, translucent); });
            }
        }
    }
    return true;
}

const bool registered = RegisterAll();

} // namespace
