// The real game replayed from its level-1 script as the replay tool runs it: the menu, the
// whole level and the end screen on an 800 x 600 32-bit memory surface, without sound and
// without screenshots. The counter "ticks" is game ticks per CPU second of the main thread.

#include "MvLogSilencer.h"
#include "ReplayRun.h"
#include "ReplayScript.h"

#include <SDL.h>
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace {

// The script's input lines; its screenshot lines are left out, since a screenshot costs
// as much as hundreds of ticks and is measured on its own.
std::string ScriptWithoutScreenshots(const std::string& path)
{
    std::ifstream in(path);
    std::string line;
    std::ostringstream kept;
    while (std::getline(in, line)) {
        if (line.find("screenshot") == std::string::npos)
            kept << line << '\n';
    }
    return kept.str();
}

// Runs fn from the game folder (the game reads Images/ and Sounds/ relative to it) and
// goes back to the folder the benchmark started in.
template <class Fn>
bool InGameFolder(Fn fn)
{
    char* start = getcwd(nullptr, 0);
    if (start == nullptr || chdir(MOVO_GAME_FOLDER) != 0) {
        std::free(start);
        return false;
    }
    fn();
    const bool back = chdir(start) == 0;
    std::free(start);
    return back;
}

void BM_GameReplayLevel1(benchmark::State& state)
{
    const std::string path = std::string(MOVO_REPLAYS_FOLDER) + "/level1-win.txt";
    ReplayScript script;
    std::string error;
    if (!script.Parse(path, ScriptWithoutScreenshots(path), &error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_NOPARACHUTE) != 0) {
        state.SkipWithError(SDL_GetError());
        return;
    }
    SDL_Surface* screen =
        SDL_CreateRGBSurface(SDL_SWSURFACE, ReplayRun::ScreenWidth, ReplayRun::ScreenHeight, 32, 0x00FF0000,
                             0x0000FF00, 0x000000FF, 0);
    int64_t ticks = 0;
    bool won = true;
    const bool ran = InGameFolder([&] {
        MvLogSilencer quiet;
        for (auto _ : state) {
            ReplayRun run(&script, screen, "replay-bench-out", 20000);
            run.Run();
            ticks += run.Summary().runTicks;
            won = won && run.Summary().Line().find("level 1 won") != std::string::npos;
        }
    });
    SDL_FreeSurface(screen);
    SDL_Quit();
    if (!ran)
        state.SkipWithError("cannot enter the game folder " MOVO_GAME_FOLDER);
    else if (!won)
        state.SkipWithError("the replay no longer wins level 1");
    state.counters["ticks"] = benchmark::Counter(static_cast<double>(ticks), benchmark::Counter::kIsRate);
}

BENCHMARK(BM_GameReplayLevel1)->Unit(benchmark::kMillisecond);

} // namespace
