// Soft sprites: pictures whose opaque core has a translucent rim, drawn unscaled with the
// identity transform onto an 800 x 600 screen of 32 bits (red at 16) and of 16 bits
// (5-6-5), side by side with SDL 1.2's RLE per-pixel-alpha blit of the same pictures (a
// 32-bit ARGB surface with SDL_SRCALPHA | SDL_RLEACCEL). Pictures: every frame of the
// game's hero, every frame of its five enemies (both from the built Images/Sprites.dat,
// read through a vault as the game reads it), and a 64 x 64 disc whose edge fades out
// over 3 pixels. Names pair up as BM_SoftSprite/<picture>/<bits>/Movo and .../SdlRle;
// items are visible sprite pixels painted.

#include "MvAction.h"
#include "MvColorXform.h"
#include "MvLogSilencer.h"
#include "MvPaintTarget.h"
#include "MvResourceVault.h"
#include "MvRle.h"
#include "MvSpriteResource.h"
#include "SurfacePtr.h"

#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

const int kScreenWidth = 800;
const int kScreenHeight = 600;
const int kAt = 200; // where every frame's hot spot is placed
const int kDiscSize = 64;

// The frames of one picture and their visible pixel count. Frames stay alive for the process.
struct Frames {
    std::vector<const MvRle*> frames;
    int64_t pixels = 0;
};

void AddSpriteFrames(const MvResourceVault& vault, const char* name, Frames* out)
{
    const MvSpriteResource* sprite = vault.FindSpriteResource(name);
    if (sprite == nullptr)
        return;
    for (int a = 0; a < sprite->ActionCount(); ++a) {
        const MvAction* action = sprite->ActionAt(a);
        for (int f = 0; f < action->FrameCount(); ++f)
            out->frames.push_back(action->FrameAt(f));
    }
}

const MvResourceVault* GameSprites()
{
    static const MvResourceVault* vault = [] {
        MvLogSilencer quiet;
        MvResourceVault* v = new MvResourceVault;
#ifdef MOVO_SPRITES_FILE
        if (v->LoadDatFile(MOVO_SPRITES_FILE))
            return static_cast<const MvResourceVault*>(v);
#endif
        delete v;
        return static_cast<const MvResourceVault*>(nullptr);
    }();
    return vault;
}

MvRle* MakeDisc()
{
    std::vector<MvColor> pixels(kDiscSize * kDiscSize);
    const double centre = (kDiscSize - 1) / 2.0, radius = kDiscSize / 2.0;
    for (int y = 0; y < kDiscSize; ++y) {
        for (int x = 0; x < kDiscSize; ++x) {
            const double d = std::hypot(x - centre, y - centre);
            const int alpha = d >= radius ? 0 : d <= radius - 3 ? 255 : static_cast<int>(255 * (radius - d) / 3);
            pixels[y * kDiscSize + x].Set(static_cast<uint8_t>(x * 4), static_cast<uint8_t>(255 - y * 4),
                                          static_cast<uint8_t>(96 + ((x ^ y) & 63)), static_cast<uint8_t>(alpha));
        }
    }
    MvPaintTarget source(pixels.data(), kDiscSize, kDiscSize);
    MvRle* disc = new MvRle;
    disc->Create(source, 0, 0, kDiscSize, kDiscSize, kDiscSize / 2, kDiscSize / 2, 0, 0);
    return disc;
}

// The frames of picture ("Hero", "Enemies" or "Disc64"); none when the game file is missing.
const Frames& PictureFrames(const std::string& picture)
{
    static Frames hero, enemies, disc;
    static bool made = false;
    if (!made) {
        made = true;
        if (const MvResourceVault* vault = GameSprites()) {
            AddSpriteFrames(*vault, "Hero", &hero);
            for (const char* name : {"Mulgo", "Shellox", "Thornel", "Snapvine", "Rocketto"})
                AddSpriteFrames(*vault, name, &enemies);
        }
        disc.frames.push_back(MakeDisc());
        for (Frames* f : {&hero, &enemies, &disc}) {
            for (const MvRle* frame : f->frames)
                f->pixels += frame->PixelCount();
        }
    }
    return picture == "Hero" ? hero : picture == "Enemies" ? enemies : disc;
}

SurfacePtr MakeScreen(int bits)
{
    SurfacePtr screen = bits == 32
                            ? MakeSurface(kScreenWidth, kScreenHeight, 32, 0x00FF0000, 0x0000FF00, 0x000000FF)
                            : MakeSurface(kScreenWidth, kScreenHeight, 16, 0xF800, 0x07E0, 0x001F);
    SDL_FillRect(screen.get(), nullptr, SDL_MapRGB(screen->format, 40, 60, 90));
    return screen;
}

void DrawMovo(benchmark::State& state, const Frames& frames, SDL_Surface* screen)
{
    std::unique_ptr<MvPaintTarget> target;
    {
        MvLogSilencer quiet;
        target.reset(new MvPaintTarget(screen));
    }
    MvTransform at = MvTransform::Identity();
    at.x = at.y = MvFixed::FromInt(kAt);
    const MvColorXform identity;
    const MvIntRect clip = MvMakeRect(0, 0, kScreenWidth - 1, kScreenHeight - 1);
    for (auto _ : state) {
        for (const MvRle* frame : frames.frames)
            frame->Draw(*target, at, identity, clip, 0);
        benchmark::ClobberMemory();
    }
}

// Each frame unpacked onto transparent black as an ARGB surface, RLE-encoded by SDL.
void BlitSdlRle(benchmark::State& state, const Frames& frames, SDL_Surface* screen)
{
    std::vector<SurfacePtr> surfaces;
    std::vector<SDL_Rect> places;
    for (const MvRle* frame : frames.frames) {
        std::vector<MvColor> pixels(static_cast<size_t>(frame->Width()) * frame->Height());
        int hotX, hotY;
        frame->Unpack(pixels.data(), frame->Width(), &hotX, &hotY);
        SurfacePtr s = MakeSurface(frame->Width(), frame->Height(), 32, 0x00FF0000, 0x0000FF00, 0x000000FF,
                                   0xFF000000);
        for (int y = 0; y < frame->Height(); ++y)
            std::memcpy(static_cast<uint8_t*>(s->pixels) + y * s->pitch, &pixels[y * frame->Width()],
                        frame->Width() * sizeof(MvColor));
        SDL_SetAlpha(s.get(), SDL_SRCALPHA | SDL_RLEACCEL, 255);
        SDL_Rect place = {static_cast<Sint16>(kAt - hotX), static_cast<Sint16>(kAt - hotY), 0, 0};
        SDL_Rect first = place;
        SDL_BlitSurface(s.get(), nullptr, screen, &first); // encodes the RLE form
        surfaces.push_back(std::move(s));
        places.push_back(place);
    }
    for (auto _ : state) {
        for (size_t i = 0; i < surfaces.size(); ++i) {
            SDL_Rect place = places[i];
            SDL_BlitSurface(surfaces[i].get(), nullptr, screen, &place);
        }
        benchmark::ClobberMemory();
    }
}

// One pair member: picture drawn onto a fresh screen of the given bits by Movo or by SDL.
void SoftSprite(benchmark::State& state, const std::string& picture, int bits, bool sdl)
{
    const Frames& frames = PictureFrames(picture);
    if (frames.frames.empty()) {
        state.SkipWithError("Images/Sprites.dat was not found");
        return;
    }
    SurfacePtr screen = MakeScreen(bits);
    if (sdl)
        BlitSdlRle(state, frames, screen.get());
    else
        DrawMovo(state, frames, screen.get());
    state.SetItemsProcessed(state.iterations() * frames.pixels);
    state.counters["pixels"] = static_cast<double>(frames.pixels);
}

const bool registered = [] {
    for (const char* picture : {"Hero", "Enemies", "Disc64"}) {
        for (int bits : {32, 16}) {
            const std::string name = std::string("BM_SoftSprite/") + picture + "/" + std::to_string(bits);
            benchmark::RegisterBenchmark((name + "/Movo").c_str(), SoftSprite, std::string(picture), bits, false);
            benchmark::RegisterBenchmark((name + "/SdlRle").c_str(), SoftSprite, std::string(picture), bits, true);
        }
    }
    return true;
}();

} // namespace
