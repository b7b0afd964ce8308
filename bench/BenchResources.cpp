#include "MvAction.h"
#include "MvLog.h"
#include "MvColorXform.h"
#include "MvMemoryStream.h"
#include "MvPaintTarget.h"
#include "MvResourceVault.h"
#include "MvResourceWriter.h"
#include "MvRle.h"
#include "MvSpriteResource.h"
#include "MvLogSilencer.h"
#include "SurfacePtr.h"

#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

// Loading resource files and drawing run-length encoded sprites.
//
// BM_LoadResourceFile loads, from memory, a file of 100 sprites holding about 100,000
// pixels (bytes per second is the file read). The draw benchmarks paint one 128 x 128
// sprite picture (a disc with two holes) onto an 800 x 600 32-bit screen: MvRle::Draw
// of the opaque and of the partly translucent version (frames loaded from a file), next to SDL 1.2's SDL_BlitSurface
// of the same pictures as an SDL_RLEACCEL colour-keyed surface, as a per-pixel-alpha
// surface, and as a per-pixel-alpha surface with SDL_RLEACCEL. Items are visible sprite
// pixels painted.

namespace {

const uint32_t kColorKey = 0x00FF00FF;

// A sprite-like picture: a disc with two holes, coloured by a gradient. With soft set its
// rim fades out over 3 pixels and a band across it is half transparent.
struct Picture {
    int size;
    std::vector<uint32_t> argb; // 0 where transparent
    int visible = 0;
    int translucent = 0;
};

Picture MakePicture(int size, bool soft, int seed)
{
    Picture p;
    p.size = size;
    p.argb.assign(size * size, 0);
    const double c = (size - 1) / 2.0, r = size / 2.0 - 1;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const double d = std::hypot(x - c, y - c);
            const double hole1 = std::hypot(x - (c - r / 3), y - (c - r / 4));
            const double hole2 = std::hypot(x - (c + r / 3), y - (c - r / 4));
            if (d >= r || hole1 < r / 6 || hole2 < r / 6)
                continue;
            int alpha = 255;
            if (soft && d > r - 3)
                alpha = 40 + static_cast<int>(190 * (r - d) / 3);
            if (soft && std::abs(y - c - r / 3) < 4)
                alpha = 160;
            const uint32_t red = (x * 255 / size + seed * 37) & 0xFF;
            const uint32_t green = (y * 255 / size + seed * 11) & 0xFF;
            const uint32_t blue = (96 + ((x ^ y) & 63)) & 0xFE;
            p.argb[y * size + x] = uint32_t(alpha) << 24 | red << 16 | green << 8 | blue;
            ++p.visible;
            p.translucent += alpha < 255;
        }
    }
    return p;
}

// The picture in a 32-bit surface with alpha (red at 16).
SurfacePtr ArgbSurface(const Picture& p)
{
    SurfacePtr s(
        SDL_CreateRGBSurface(SDL_SWSURFACE, p.size, p.size, 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000));
    for (int y = 0; y < p.size; ++y)
        std::memcpy(static_cast<uint8_t*>(s->pixels) + y * s->pitch, &p.argb[y * p.size], p.size * 4);
    return s;
}

// The picture in the screen's format without alpha, transparent pixels set to the key.
SurfacePtr KeyedSurface(const Picture& p)
{
    SurfacePtr s(SDL_CreateRGBSurface(SDL_SWSURFACE, p.size, p.size, 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0));
    for (int y = 0; y < p.size; ++y) {
        uint32_t* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(s->pixels) + y * s->pitch);
        for (int x = 0; x < p.size; ++x) {
            const uint32_t v = p.argb[y * p.size + x];
            row[x] = (v >> 24) == 0 ? kColorKey : (v & 0x00FFFFFF);
        }
    }
    SDL_SetColorKey(s.get(), SDL_SRCCOLORKEY | SDL_RLEACCEL, kColorKey);
    return s;
}

// The picture as the game has it: a frame loaded from a resource file, its rows, runs
// and pixels in the vault's pools. The vault is kept for the process.
const MvRle* LoadedFrame(const Picture& p)
{
    SurfacePtr surface = ArgbSurface(p);
    MvPaintTarget source(surface.get());
    MvSpriteResource sprite("sprite");
    MvAction* action = new MvAction("NONE");
    action->SetFrameCount(1);
    action->FrameAt(0)->Create(source, 0, 0, p.size, p.size, 0, 0, 0, 0);
    sprite.AppendAction(action);
    MvMemoryStream stream;
    MvResourceWriter writer(stream.Stream());
    writer.BeginFile();
    sprite.Save(writer);
    writer.EndFile();
    MvResourceVault* vault = new MvResourceVault;
    vault->LoadDatFileFromMemory(stream.Data(), static_cast<int>(stream.Size()));
    return vault->FindSpriteResource("sprite")->FindAction("NONE")->FrameAt(0);
}

struct Screen {
    Screen()
        : surface(SDL_CreateRGBSurface(SDL_SWSURFACE, 800, 600, 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0)),
          target(new MvPaintTarget(surface.get()))
    {
    }
    SurfacePtr surface;
    std::unique_ptr<MvPaintTarget> target;
};

Screen& TheScreen()
{
    static Screen* screen = [] {
        MvLogSilencer quiet;
        return new Screen;
    }();
    return *screen;
}

const int kSpriteSize = 128;

void DrawRle(benchmark::State& state, bool soft)
{
    const Picture picture = MakePicture(kSpriteSize, soft, 1);
    const MvRle* image;
    {
        MvLogSilencer quiet;
        image = LoadedFrame(picture);
    }
    Screen& screen = TheScreen();
    MvTransform at = MvTransform::Identity();
    at.x = MvFixed::FromInt(100);
    at.y = MvFixed::FromInt(100);
    const MvColorXform identity;
    const MvIntRect clip = MvMakeRect(0, 0, 799, 599);
    for (auto _ : state) {
        image->Draw(*screen.target, at, identity, clip, 0);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * picture.visible);
    state.counters["translucent%"] = 100.0 * picture.translucent / picture.visible;
}

void BlitSdl(benchmark::State& state, SurfacePtr source, const Picture& picture)
{
    Screen& screen = TheScreen();
    SDL_Rect at = {100, 100, 0, 0};
    SDL_BlitSurface(source.get(), nullptr, screen.surface.get(), &at); // encodes RLE surfaces
    for (auto _ : state) {
        at.x = 100;
        at.y = 100;
        SDL_BlitSurface(source.get(), nullptr, screen.surface.get(), &at);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * picture.visible);
}

void BM_RleDraw_Opaque(benchmark::State& state) { DrawRle(state, false); }

void BM_SdlBlit_ColorKeyRle_Opaque(benchmark::State& state)
{
    const Picture picture = MakePicture(kSpriteSize, false, 1);
    BlitSdl(state, KeyedSurface(picture), picture);
}

void BM_RleDraw_Translucent(benchmark::State& state) { DrawRle(state, true); }

void BM_SdlBlit_PerPixelAlpha_Translucent(benchmark::State& state)
{
    const Picture picture = MakePicture(kSpriteSize, true, 1);
    BlitSdl(state, ArgbSurface(picture), picture);
}

void BM_SdlBlit_PerPixelAlphaRle_Translucent(benchmark::State& state)
{
    const Picture picture = MakePicture(kSpriteSize, true, 1);
    SurfacePtr surface = ArgbSurface(picture);
    SDL_SetAlpha(surface.get(), SDL_SRCALPHA | SDL_RLEACCEL, 255);
    BlitSdl(state, std::move(surface), picture);
}

BENCHMARK(BM_RleDraw_Opaque);
BENCHMARK(BM_SdlBlit_ColorKeyRle_Opaque);
BENCHMARK(BM_RleDraw_Translucent);
BENCHMARK(BM_SdlBlit_PerPixelAlpha_Translucent);
BENCHMARK(BM_SdlBlit_PerPixelAlphaRle_Translucent);

// A resource file of 100 sprites, each one action of two frames (discs of 23 to 32
// pixels across, soft or hard edged): about 100,000 pixels in all.
struct ResourceFile {
    std::vector<uint8_t> bytes;
    int64_t pixels = 0;
};

const ResourceFile& TheResourceFile()
{
    static const ResourceFile* file = [] {
        MvLogSilencer quiet;
        ResourceFile* result = new ResourceFile;
        MvMemoryStream stream;
        MvResourceWriter writer(stream.Stream());
        writer.BeginFile();
        for (int i = 0; i < 100; ++i) {
            char name[32];
            std::snprintf(name, sizeof name, "sprite%d", i);
            MvSpriteResource sprite(name);
            sprite.SetIdentity(name, i);
            MvAction* action = new MvAction("Stand");
            action->SetFrameCount(2);
            for (int f = 0; f < 2; ++f) {
                const Picture picture = MakePicture(23 + (i + f) % 10, (i + f) % 2 == 0, i);
                SurfacePtr surface = ArgbSurface(picture);
                MvPaintTarget source(surface.get());
                action->FrameAt(f)->Create(source, 0, 0, picture.size, picture.size, picture.size / 2, picture.size - 1,
                                           1, 0);
            }
            sprite.AppendAction(action);
            sprite.Save(writer);
        }
        writer.EndFile();
        result->bytes = stream.Bytes();
        result->pixels = writer.PixelTally();
        return result;
    }();
    return *file;
}

void BM_LoadResourceFile(benchmark::State& state)
{
    const ResourceFile& file = TheResourceFile();
    {
        MvLogSilencer quiet;
        for (auto _ : state) {
            MvResourceVault vault;
            bool ok = vault.LoadDatFileFromMemory(file.bytes.data(), static_cast<int>(file.bytes.size()));
            benchmark::DoNotOptimize(ok);
        }
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(file.bytes.size()));
    state.SetItemsProcessed(state.iterations() * file.pixels);
    state.counters["fileBytes"] = static_cast<double>(file.bytes.size());
    state.counters["pixels"] = static_cast<double>(file.pixels);
}

BENCHMARK(BM_LoadResourceFile)->Unit(benchmark::kMicrosecond);

} // namespace
