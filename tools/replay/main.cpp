// movo-replay: plays the real game from an input script, headless and as fast as the
// machine allows, and writes the screenshots the script asks for and a one-line summary.
//
//   movo-replay --out shots level1.txt
//
// Exits 0 after the run; 1 when the tool cannot run (no game folder, SDL cannot start,
// the output folder cannot be made), a screenshot cannot be written or repeated passes
// disagree; 2 on a bad command line or a bad script (then nothing runs).

#include "MvCommandLine.h"
#include "MvLog.h"
#include "ReplayRun.h"
#include "ReplayScript.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

const char Usage[] =
    "Usage: movo-replay [options] SCRIPT\n"
    "\n"
    "Plays the game from the input in SCRIPT, without a window and as fast as it goes: the\n"
    "menu, the levels and the end screen are the real game's. Ticks (20 per second of game\n"
    "time) come from the tool, the 5-second pause after a death is skipped, and sound goes\n"
    "to SDL's dummy audio driver unless SDL_AUDIODRIVER says otherwise. At the end one line\n"
    "sums up the last level played:\n"
    "  summary: level 1 won, time 42 (2104 ticks), points 1350, flags 17, enemies defeated 4, lives 2\n"
    "\n"
    "Options:\n"
    "  --out DIR        write the screenshots into DIR (default: replay-out)\n"
    "  --game DIR       the game folder holding Images/Sprites.dat and Sounds/\n"
    "                   (default: the build's game folder)\n"
    "  --max-ticks N    after N ticks press Escape, which ends the game (default: 20000\n"
    "                   ticks after the script's last line)\n"
    "  --repeat N       run the script N times in one process and show the peak resident\n"
    "                   memory after the first and the last pass\n"
    "  --sounds         list the sounds the game started, with their ticks\n"
    "  --quiet          hide the game's own lines (\"Loaded BrumoSprites.dat\", ...)\n"
    "  -h, --help       show this help\n"
    "\n"
    "Script: one step per line, in tick order; '#' starts a comment.\n"
    "  at TICK press KEY         key down; KEY: Return, Escape, Space, Tab, Backspace, Up,\n"
    "  at TICK release KEY       Down, Left, Right, LeftShift, RightShift (run), LeftAlt,\n"
    "                            RightAlt, F11, 0 to 9, a to z (p pauses, m mutes; F11\n"
    "                            or Alt+Return switch between full screen and a window)\n"
    "  at TICK stick VALUE       joystick 0, axis 0: -32768 (left) to 32767 (right);\n"
    "                            'stick VALUE axis N' moves axis N (0 to 255) instead\n"
    "  at TICK button N down     joystick 0 button N (0 runs, 1 jumps); 'up' to let go\n"
    "  at TICK close             the window is closed (a quit event)\n"
    "  at TICK screenshot NAME.png\n"
    "Ticks count from 1 at the start of the run. Input at tick T reaches the game just\n"
    "before tick T; a screenshot at T shows the frame drawn by tick T. When the script\n"
    "has run out the game goes on until the tick limit.\n";

bool IsGameFolder(const std::string& folder)
{
    return std::ifstream(folder + "/Images/Sprites.dat", std::ios::binary).good();
}

// The game folder when none is given: beside the program as the build lays it out
// (tools/movo-replay and game/), otherwise the folder the program was built for.
std::string DefaultGameFolder()
{
    std::error_code ignored;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ignored);
    if (!self.empty()) {
        const std::string beside = (self.parent_path().parent_path() / "game").string();
        if (IsGameFolder(beside))
            return beside;
    }
    return MOVO_REPLAY_GAME_DIR;
}

// The most memory the process has held, in kB: VmHWM from /proc/self/status, or the
// kernel's ru_maxrss where that cannot be read.
long PeakResidentKb()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.compare(0, 6, "VmHWM:") == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// What the command line asks for.
struct ReplayOptions {
    std::string scriptPath;
    std::string outDir = "replay-out";
    std::string gameDir;     // empty: DefaultGameFolder()
    int maxTicks = 0;        // 0: DefaultTicksAfterScript after the script's last line
    int repeat = 0;          // 0: once, without the memory lines of --repeat
    bool quiet = false;
    bool listSounds = false;
};

// Reads the command line into *options and checks that the script is a file. Returns
// false, with the exit code in *exitCode, when the program ends here (help shown, a bad
// command line or no script to read).
bool ReadCommandLine(int argc, char** argv, ReplayOptions* options, int* exitCode)
{
    MvCommandLine commandLine("movo-replay", Usage, true);
    commandLine.AddFlag("--quiet", &options->quiet);
    commandLine.AddFlag("--sounds", &options->listSounds);
    commandLine.AddOption({"--out"}, &options->outDir);
    commandLine.AddOption({"--game"}, &options->gameDir);
    commandLine.AddNumberOption({"--max-ticks"}, &options->maxTicks, 1, ReplayScript::MaxTick);
    commandLine.AddNumberOption({"--repeat"}, &options->repeat, 1, INT_MAX);
    commandLine.AddArgument(&options->scriptPath, "script", "script");
    if (!commandLine.Parse(argc, argv, exitCode))
        return false;
    if (!commandLine.CheckInputFile(options->scriptPath, "script")) {
        *exitCode = 2;
        return false;
    }
    return true;
}

// Checks the game folder, makes the output folder (when the script takes screenshots) and
// moves into the game folder, where the game reads its files; the output folder is named
// from where the tool was started, so *outPath is absolute. Returns false after printing
// the reason when one of them fails.
bool EnterFolders(const ReplayScript& script, const ReplayOptions& options, std::string* outPath)
{
    const std::string gameDir = options.gameDir.empty() ? DefaultGameFolder() : options.gameDir;
    if (!IsGameFolder(gameDir)) {
        std::fprintf(stderr,
                     "movo-replay: '%s' is no game folder: '%s/Images/Sprites.dat' cannot be read "
                     "(give one with --game DIR)\n",
                     gameDir.c_str(), gameDir.c_str());
        return false;
    }
    std::error_code failure;
    *outPath = std::filesystem::absolute(options.outDir, failure).lexically_normal().string();
    bool hasScreenshots = false;
    for (const ReplayStep& step : script.Steps())
        hasScreenshots = hasScreenshots || step.kind == ReplayStep::Screenshot;
    if (hasScreenshots) {
        std::filesystem::create_directories(*outPath, failure);
        if (failure || !std::filesystem::is_directory(*outPath)) {
            std::fprintf(stderr, "movo-replay: the output folder '%s' cannot be made: %s\n", options.outDir.c_str(),
                         failure ? failure.message().c_str() : "a file has that name");
            return false;
        }
    }
    if (chdir(gameDir.c_str()) != 0) {
        std::fprintf(stderr, "movo-replay: cannot enter the game folder '%s': %s\n", gameDir.c_str(),
                     std::strerror(errno));
        return false;
    }
    return true;
}

// Frees the screen (when there is one) and shuts the mixer and SDL down.
void StopHeadless(SDL_Surface* screen, bool mixerOpen)
{
    if (screen != nullptr)
        SDL_FreeSurface(screen);
    if (mixerOpen)
        Mix_CloseAudio();
    SDL_Quit();
}

// Starts SDL without a window: the dummy video driver always; the dummy audio driver
// unless the user chose one. Sound is a bonus here, so an audio device that does not
// open is no error (*mixerOpen says whether it did). SDL's dummy video makes an 8-bit
// screen, so the game draws on a 32-bit one in memory, which is returned. Returns null,
// with SDL shut down again, after printing the reason when SDL or the screen fails.
SDL_Surface* StartHeadless(bool* mixerOpen)
{
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_NOPARACHUTE) < 0) {
        std::fprintf(stderr, "movo-replay: SDL cannot start: %s\n", SDL_GetError());
        return nullptr;
    }
    *mixerOpen = false;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) == 0)
        *mixerOpen = Mix_OpenAudio(44100, AUDIO_S16LSB, 2, 4096) != -1;
    SDL_Surface* screen = SDL_CreateRGBSurface(SDL_SWSURFACE, ReplayRun::ScreenWidth, ReplayRun::ScreenHeight, 32,
                                               0x00FF0000, 0x0000FF00, 0x000000FF, 0);
    if (screen == nullptr) {
        std::fprintf(stderr, "movo-replay: no memory for the screen: %s\n", SDL_GetError());
        StopHeadless(nullptr, *mixerOpen);
    }
    return screen;
}

// Runs the script options.repeat times, checking that every pass ends as the first did.
// Returns the exit code: 1 when a pass fails or differs from the first.
int RunPasses(ReplayRun* run, const ReplayOptions& options)
{
    int exitCode = 0;
    ReplaySummary first;
    const int passes = std::max(options.repeat, 1);
    for (int pass = 1; pass <= passes; ++pass) {
        std::FILE* logStream = MvSetLogStream(options.quiet ? nullptr : stdout);
        if (!run->Run())
            exitCode = 1;
        MvSetLogStream(logStream);
        if (pass == 1)
            first = run->Summary();
        else if (run->Summary() != first) {
            std::fprintf(stderr, "movo-replay: pass %d differs from pass 1:\n  pass 1: %s\n  pass %d: %s\n", pass,
                         first.Line().c_str(), pass, run->Summary().Line().c_str());
            exitCode = 1;
        }
        if (options.repeat != 0 && (pass == 1 || pass == passes))
            std::printf("pass %d: peak resident %ld kB\n", pass, PeakResidentKb());
        std::fflush(stdout);
    }
    return exitCode;
}

// Prints what the last pass made: its screenshots, the sounds when asked for, its errors
// and the summary line.
void PrintResults(const ReplayRun& run, bool listSounds)
{
    for (const std::string& line : run.Screenshots())
        std::printf("screenshot at %s\n", line.c_str());
    if (listSounds)
        for (const std::string& line : run.Sounds())
            std::printf("sound at %s\n", line.c_str());
    for (const std::string& message : run.Errors())
        std::fprintf(stderr, "movo-replay: %s\n", message.c_str());
    std::printf("%s\n", run.Summary().Line().c_str());
}

} // namespace

int main(int argc, char** argv)
{
    ReplayOptions options;
    int exitCode = 0;
    if (!ReadCommandLine(argc, argv, &options, &exitCode))
        return exitCode;

    ReplayScript script;
    std::string error;
    if (!script.Load(options.scriptPath, &error)) {
        std::fprintf(stderr, "movo-replay: %s\n", error.c_str());
        return 2;
    }
    const int maxTicks = options.maxTicks != 0 ? options.maxTicks : script.LastTick() + ReplayRun::DefaultTicksAfterScript;
    std::string outPath;
    if (!EnterFolders(script, options, &outPath))
        return 1;

    bool mixerOpen = false;
    SDL_Surface* screen = StartHeadless(&mixerOpen);
    if (screen == nullptr)
        return 1;
    ReplayRun run(&script, screen, outPath, maxTicks);
    exitCode = RunPasses(&run, options);
    PrintResults(run, options.listSounds);
    StopHeadless(screen, mixerOpen);
    return exitCode;
}
