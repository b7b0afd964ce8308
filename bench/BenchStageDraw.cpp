// The cost of one scrolling tick: a full 800 x 600 Draw of a scene of 1,000 sprites right
// after the scene root moved, next to the floor of any full-screen frame, one SDL_FillRect
// of the screen plus a copy of the frame.

#include "BallField.h"
#include "MvSceneTree.h"
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

// A 32-bit screen-like surface (red in bits 16-23).
SDL_Surface* MakeScreen()
{
    return SDL_CreateRGBSurface(SDL_SWSURFACE, ScreenWidth, ScreenHeight, 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0);
}

void BM_StageDrawAfterScroll(benchmark::State& state)
{
    SDL_Surface* screen = MakeScreen();
    const std::vector<std::unique_ptr<MvSpriteResource>> kinds = ballfield::MakeBallKinds();
    {
        std::unique_ptr<MvStage> stage(new MvStage(screen));
        MvSceneTree* tree = stage->SceneTree();
        ballfield::ScatterBalls(tree, kinds, SpriteCount, ScreenWidth, ScreenHeight);
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

// The copy reads the screen the fill has just written and writes a frame the vector has
// zeroed, so no page of either is the shared zero page that makes a copy look cheap.
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
