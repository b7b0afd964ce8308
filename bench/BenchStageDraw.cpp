// The cost of one scrolling tick: a full 800 x 600 Draw of a scene of 1,000 sprites right
// after the scene root moved, next to the floor of any full-screen frame, one SDL_FillRect
// of the screen plus a copy of the frame.

#include "MvAction.h"
#include "MvPaintTarget.h"
#include "MvRle.h"
#include "MvSceneTree.h"
#include "MvSpriteNode.h"
#include "MvSpriteResource.h"
#include "MvStage.h"

#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <vector>

namespace {

const int ScreenWidth = 800;
const int ScreenHeight = 600;
const int SpriteCount = 1000;
const int KindCount = 4;
const int SpriteSize = 24;

// A 32-bit screen-like surface (red in bits 16-23).
SDL_Surface* MakeScreen()
{
    return SDL_CreateRGBSurface(SDL_SWSURFACE, ScreenWidth, ScreenHeight, 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0);
}

// A sprite of one frame: a shaded disc with transparent corners and a soft translucent
// edge, as game sprites have; kind varies the colours.
MvSpriteResource* MakeSprite(int kind)
{
    std::vector<MvColor> pixels(SpriteSize * SpriteSize);
    const double centre = (SpriteSize - 1) / 2.0;
    for (int y = 0; y < SpriteSize; ++y) {
        for (int x = 0; x < SpriteSize; ++x) {
            const double dx = x - centre, dy = y - centre;
            const double r2 = dx * dx + dy * dy;
            const double limit = centre * centre;
            int alpha = r2 <= limit * 0.8 ? 255 : (r2 <= limit ? 128 : 0);
            MvColor& c = pixels[y * SpriteSize + x];
            c.Set(static_cast<uint8_t>(60 * kind + x * 4), static_cast<uint8_t>(200 - y * 5),
                  static_cast<uint8_t>(40 + kind * 50), static_cast<uint8_t>(alpha));
        }
    }
    MvPaintTarget source(pixels.data(), SpriteSize, SpriteSize);
    MvSpriteResource* sprite = new MvSpriteResource("ball");
    MvAction* action = new MvAction("NONE");
    action->SetFrameCount(1);
    action->FrameAt(0)->Create(source, 0, 0, SpriteSize, SpriteSize, 0, 0, 0, 0);
    sprite->AppendAction(action);
    return sprite;
}

void BM_StageDrawAfterScroll(benchmark::State& state)
{
    SDL_Surface* screen = MakeScreen();
    std::vector<std::unique_ptr<MvSpriteResource>> kinds;
    for (int k = 0; k < KindCount; ++k)
        kinds.emplace_back(MakeSprite(k));
    {
        std::unique_ptr<MvStage> stage(new MvStage(screen));
        MvSceneTree* tree = stage->SceneTree();
        // Sprites spread over the screen on a jittered grid, some overlapping.
        unsigned seed = 12345;
        for (int i = 0; i < SpriteCount; ++i) {
            seed = seed * 1103515245u + 12345u;
            MvSpriteNode* node = new MvSpriteNode(kinds[i % KindCount].get());
            node->MoveTo(static_cast<int>(seed >> 8) % (ScreenWidth - SpriteSize),
                         static_cast<int>(seed >> 16) % (ScreenHeight - SpriteSize));
            node->SetDepth(i % 7);
            tree->InsertNode(nullptr, node);
        }
        stage->Draw(false);

        MvSceneNode* root = tree->SceneRoot();
        int direction = 1;
        for (auto _ : state) {
            root->MoveBy(direction, 0, -1);
            direction = -direction;
            stage->Draw(false);
            benchmark::ClobberMemory();
        }
    }
    SDL_FreeSurface(screen);
    state.SetItemsProcessed(state.iterations() * SpriteCount);
}
BENCHMARK(BM_StageDrawAfterScroll)->Unit(benchmark::kMicrosecond);

void BM_FillAndCopyFloor(benchmark::State& state)
{
    SDL_Surface* screen = MakeScreen();
    std::vector<uint8_t> frame(static_cast<size_t>(screen->pitch) * ScreenHeight);
    for (auto _ : state) {
        SDL_FillRect(screen, nullptr, 0);
        std::memcpy(frame.data(), screen->pixels, frame.size());
        benchmark::ClobberMemory();
    }
    SDL_FreeSurface(screen);
}
BENCHMARK(BM_FillAndCopyFloor)->Unit(benchmark::kMicrosecond);

} // namespace
