// The game in a web browser. The page (page/index.html) starts the program with one of
//   (no arguments)      the game, as the desktop program plays it;
//   --replay NAME       the input script /replays/NAME.txt played as movo-replay plays it:
//                       as fast as it goes, with the same summary line at the end.
// and is told how it ended through Module.movoGameEnded(exitCode),
// Module.movoReplaySummary(line) or Module.movoReplayFailed(message).

#include "MvDisplay.h"
#include "Program.h"
#include "ReplayRun.h"
#include "ReplayScript.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <emscripten.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

EM_JS(void, TellGameEnded, (int exitCode), {
    if (Module['movoGameEnded'])
        Module['movoGameEnded'](exitCode);
});

EM_JS(void, TellReplaySummary, (const char* line), {
    if (Module['movoReplaySummary'])
        Module['movoReplaySummary'](UTF8ToString(line));
});

EM_JS(void, TellReplayFailed, (const char* message), {
    if (Module['movoReplayFailed'])
        Module['movoReplayFailed'](UTF8ToString(message));
});

int FailReplay(const std::string& message)
{
    std::fprintf(stderr, "movo-replay: %s\n", message.c_str());
    TellReplayFailed(message.c_str());
    return 2;
}

// A replay name is a file name of /replays without its ".txt": letters, digits, '-', '_'.
bool IsReplayName(const char* name)
{
    if (*name == '\0')
        return false;
    for (const char* c = name; *c != '\0'; ++c)
        if (!(std::isalnum(static_cast<unsigned char>(*c)) || *c == '-' || *c == '_'))
            return false;
    return true;
}

// Plays /replays/NAME.txt on a screen in memory, the game's sounds going to the browser's
// mixer when it opens, as movo-replay does with SDL's dummy driver.
int RunReplay(const char* name)
{
    if (!IsReplayName(name))
        return FailReplay(std::string("'") + name + "' is not a replay name (letters, digits, '-' and '_')");
    ReplayScript script;
    std::string error;
    if (!script.Load(std::string("/replays/") + name + ".txt", &error))
        return FailReplay(error);
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_AUDIO) < 0)
        return FailReplay(std::string("SDL cannot start: ") + SDL_GetError());
    const bool mixerOpen = Mix_OpenAudio(44100, AUDIO_S16LSB, 2, 4096) != -1;
    SDL_Surface* screen = MvDisplay::CreateMemoryScreen(ReplayRun::ScreenWidth, ReplayRun::ScreenHeight);
    if (screen == nullptr)
        return FailReplay(std::string("no memory for the screen: ") + SDL_GetError());
    ReplayRun run(&script, screen, "/replay-out", script.LastTick() + ReplayRun::DefaultTicksAfterScript);
    // The game's own lines ("Loaded BrumoSprites.dat", ...) stay out of the console, as
    // with movo-replay --quiet: printing them would cost more than the replay. The log is
    // off until RunProgram turns it on, which a replay never calls.
    run.Run();
    const std::string line = run.Summary().Line();
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
    SDL_FreeSurface(screen);
    if (mixerOpen)
        Mix_CloseAudio();
    TellReplaySummary(line.c_str());
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--replay") == 0)
        return RunReplay(argv[2]);
    const int exitCode = RunProgram();
    TellGameEnded(exitCode);
    return exitCode;
}
