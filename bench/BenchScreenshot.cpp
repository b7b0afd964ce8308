// The cost of one replay screenshot: a frame of level 1 on the 800 x 600 32-bit screen
// written as a PNG file by the replay tool (ReplayScreenshot::Save), next to the plain form
// it replaced (SDL_GetRGB per pixel into a picture saved with libpng's defaults).

#include "MvLogSilencer.h"
#include "MvPngImage.h"
#include "ReplayRun.h"
#include "ReplayScreenshot.h"
#include "ReplayScript.h"

#include <SDL.h>
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

namespace {

// Two seconds into level 1 with Right held: the counters, the hero, ground, platforms,
// flags, an enemy and the sky, as the replay tool's screenshots show them.
const char PlayScript[] = "at 2 press Return\nat 20 press Right\nat 60 screenshot play.png\n";

// A folder of its own under /tmp for the files written, removed with its files at the end
// (tests/support's scratch folder reports through Google Test, which benchmarks lack).
class ScratchFolder {
public:
    ScratchFolder()
    {
        char name[] = "/tmp/movo-bench-XXXXXX";
        path_ = mkdtemp(name) != nullptr ? name : "";
    }
    ~ScratchFolder()
    {
        std::error_code ignored;
        if (!path_.empty())
            std::filesystem::remove_all(path_, ignored);
    }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

// The screen of the play screenshot, made once by the replay tool in the game folder and
// read back into a screen-like surface; null (with the reason in *why) when that fails.
SDL_Surface* PlayScreen(const ScratchFolder& folder, std::string* why)
{
    static SDL_Surface* screen = nullptr;
    if (screen != nullptr)
        return screen;
    char* here = getcwd(nullptr, 0);
    if (here == nullptr || chdir(MOVO_GAME_FOLDER) != 0 || SDL_Init(SDL_INIT_VIDEO | SDL_INIT_NOPARACHUTE) != 0) {
        *why = "cannot enter the game folder or start SDL";
        std::free(here);
        return nullptr;
    }
    SDL_Surface* surface = SDL_CreateRGBSurface(SDL_SWSURFACE, 800, 600, 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0);
    ReplayScript script;
    MvPngImage picture;
    if (script.Parse("bench", PlayScript, why)) {
        const MvLogSilencer quiet;
        ReplayRun run(&script, surface, folder.Path(), 61);
        if (run.Run() && picture.Load(folder.Path() + "/play.png", why)) {
            // An MvColor row is the screen's row: 0xAARRGGBB words.
            for (int y = 0; y < surface->h; ++y)
                std::memcpy(static_cast<Uint8*>(surface->pixels) + y * surface->pitch, &picture.At(0, y),
                            static_cast<size_t>(surface->w) * 4);
            screen = surface;
        }
    }
    if (screen == nullptr)
        SDL_FreeSurface(surface);
    if (chdir(here) != 0)
        *why = "cannot go back to the working folder";
    std::free(here);
    return screen;
}

// The plain form: SDL_GetRGB for every pixel into a picture saved with libpng's defaults.
bool SavePlainForm(SDL_Surface* screen, const std::string& path, std::string* error)
{
    MvPngImage picture(screen->w, screen->h);
    for (int y = 0; y < screen->h; ++y) {
        const Uint32* row = reinterpret_cast<const Uint32*>(static_cast<Uint8*>(screen->pixels) + y * screen->pitch);
        for (int x = 0; x < screen->w; ++x) {
            Uint8 r, g, b;
            SDL_GetRGB(row[x], screen->format, &r, &g, &b);
            picture.At(x, y).Set(r, g, b, 255);
        }
    }
    return picture.Save(path, error);
}

// Times save writing the play screen to a file.
void TimeScreenshots(benchmark::State& state, bool (*save)(SDL_Surface*, const std::string&, std::string*))
{
    ScratchFolder folder;
    std::string why;
    SDL_Surface* screen = PlayScreen(folder, &why);
    if (screen == nullptr) {
        state.SkipWithError(why.c_str());
        return;
    }
    const std::string path = folder.Path() + "/shot.png";
    std::string error;
    for (auto _ : state)
        if (!save(screen, path, &error))
            state.SkipWithError(error.c_str());
}

void BM_ScreenshotReplayTool(benchmark::State& state) { TimeScreenshots(state, ReplayScreenshot::Save); }
BENCHMARK(BM_ScreenshotReplayTool)->Unit(benchmark::kMillisecond);

void BM_ScreenshotPlainForm(benchmark::State& state) { TimeScreenshots(state, SavePlainForm); }
BENCHMARK(BM_ScreenshotPlainForm)->Unit(benchmark::kMillisecond);

} // namespace
