// One sprite frame drawn scaled on the software path into a 32-bit surface, side by side:
// scaled while drawing (nearest neighbour, the samples of a run painted by one blitter
// call) and drawn from the copy its resource cached at that scale (plain run blits, as an
// unscaled frame). Scales 2.0 and 1.2, the scale the game's HUD text is drawn at. The cost of
// making the copy is paid once, before timing, as a program caches scales at load time.
// Reports screen pixels covered per second (items).

#include "MvAction.h"
#include "MvColorXform.h"
#include "MvLogSilencer.h"
#include "MvPaintTarget.h"
#include "MvRle.h"
#include "MvSpriteResource.h"

#include <SDL.h>
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace {

const int kSpriteSize = 48;
const int kScreenSize = 256;

// A shaded disc with transparent corners and a soft translucent rim, as game sprites
// have.
MvSpriteResource* MakeDiscSprite()
{
    std::vector<MvColor> pixels(kSpriteSize * kSpriteSize);
    const double centre = (kSpriteSize - 1) / 2.0;
    for (int y = 0; y < kSpriteSize; ++y) {
        for (int x = 0; x < kSpriteSize; ++x) {
            const double dx = x - centre, dy = y - centre;
            const double r2 = dx * dx + dy * dy;
            const double limit = centre * centre;
            const int alpha = r2 <= limit * 0.8 ? 255 : (r2 <= limit ? 128 : 0);
            pixels[y * kSpriteSize + x].Set(static_cast<uint8_t>(60 + x * 4), static_cast<uint8_t>(200 - y * 4), 90,
                                            static_cast<uint8_t>(alpha));
        }
    }
    MvPaintTarget source(pixels.data(), kSpriteSize, kSpriteSize);
    MvSpriteResource* sprite = new MvSpriteResource("disc");
    MvAction* action = new MvAction("NONE");
    action->SetFrameCount(1);
    action->FrameAt(0)->Create(source, 0, 0, kSpriteSize, kSpriteSize, kSpriteSize / 2, kSpriteSize / 2, 0, 0);
    sprite->AppendAction(action);
    return sprite;
}

// state.range(0): 0 scales while drawing, 1 draws from the cached copy.
void DrawScaled(benchmark::State& state, MvFixed scale)
{
    const bool cached = state.range(0) != 0;
    SDL_Surface* screen =
        SDL_CreateRGBSurface(SDL_SWSURFACE, kScreenSize, kScreenSize, 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0);
    SDL_FillRect(screen, nullptr, 0x203040);
    {
        MvLogSilencer quiet;
        MvPaintTarget target(screen);
        std::unique_ptr<MvSpriteResource> sprite(MakeDiscSprite());
        if (cached)
            sprite->AddScaleCache(scale, scale);
        const MvAction* action = sprite->ActionAt(0);
        MvTransform t = MvTransform::Identity();
        t.x = t.y = MvFixed::FromInt(kScreenSize / 2);
        t.xScale = t.yScale = scale;
        const MvIntRect clip = MvMakeRect(0, 0, kScreenSize - 1, kScreenSize - 1);
        MvIntRect bounds;
        action->ComputeBounds(0, t, &bounds);
        for (auto _ : state) {
            action->Draw(target, 0, t, MvColorXform(), clip, 0);
            benchmark::ClobberMemory();
        }
        state.SetItemsProcessed(state.iterations() * bounds.Width() * bounds.Height());
    }
    SDL_FreeSurface(screen);
}

void BM_SpriteAtScaleTwo(benchmark::State& state) { DrawScaled(state, MvFixed::FromInt(2)); }
BENCHMARK(BM_SpriteAtScaleTwo)->ArgName("cached")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// 1.2 in 16.16, rounded, as the game's labels have it.
void BM_SpriteAtHudScale(benchmark::State& state) { DrawScaled(state, MvFixed::FromRaw(78643)); }
BENCHMARK(BM_SpriteAtHudScale)->ArgName("cached")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

} // namespace
