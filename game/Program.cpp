#include "Program.h"

#include "GameState.h"
#include "GameWorld.h"
#include "MvAssert.h"
#include "MvDisplay.h"
#include "MvLog.h"
#include "MvSdl.h"
#include "ScreenFlow.h"
#include "StopSignal.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr int ScreenWidth = 800;
constexpr int ScreenHeight = 600;

constexpr int AudioFrequency = 44100;
constexpr Uint16 AudioFormat = 0x8010; // AUDIO_S16LSB: signed 16-bit little-endian samples
constexpr int AudioChannels = 2;
constexpr int AudioChunkSize = 4096;

// " (NAME=value)" when the environment sets the driver variable name, so that a message
// names the choice that failed; empty otherwise.
std::string DriverChoice(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr ? std::string(" (") + name + "=" + value + ")" : std::string();
}

// Runs the screens until the player quits; returns the joystick handle to close at exit,
// and sets *screenLost when a switch between full screen and a window lost the screen.
SDL_Joystick* RunScreens(SDL_Surface* screen, bool* screenLost)
{
    GameWorld world;
    ScreenFlow flow(screen, &world);
    flow.Run();
    *screenLost = flow.ScreenLost();
    return flow.Joystick();
}

} // namespace

void CloseSdl()
{
    Mix_CloseAudio();
    SDL_Quit();
}

int RunProgram()
{
    // The game's output: its own lines and the engine's, progress and errors alike, on
    // standard output; a failing start-up step adds its reason on standard error.
    MvSetLogStream(stdout);
    MvSetErrorStream(stdout);

    if (SDL_Linked_Version()->minor < 2) {
        MvLog("SDL version must be at least 1.2.0");
        return ProgramExitOldSdl;
    }

    // Before SDL starts, which takes over only signals nobody has caught.
    CatchStopSignals();
    if (MvSdl::Init(SDL_INIT_TIMER | SDL_INIT_AUDIO | SDL_INIT_VIDEO | SDL_INIT_JOYSTICK | SDL_INIT_NOPARACHUTE) < 0) {
        MvLog("Couldn't initialize SDL: %s\n", SDL_GetError());
        std::fprintf(stderr, "SDL cannot start%s: %s\n", DriverChoice("SDL_VIDEODRIVER").c_str(), SDL_GetError());
        return ProgramExitSdlInitFailed;
    }

    // From here on every way out goes through SDL_Quit, so that a full-screen mode switch
    // never outlives the program; a failed check is such a way out too.
    MvSetAssertHook(CloseSdl);
    SDL_Surface* screen = MvDisplay::OpenScreen(ScreenWidth, ScreenHeight, SDL_FULLSCREEN);
    if (!screen) {
        std::fprintf(stderr, "no %d x %d full-screen video mode%s: %s\n", ScreenWidth, ScreenHeight,
                     DriverChoice("SDL_VIDEODRIVER").c_str(), SDL_GetError());
        CloseSdl();
        return ProgramExitNoVideo;
    }
    SDL_WM_SetCaption("My Movo Game", nullptr);

    if (Mix_OpenAudio(AudioFrequency, AudioFormat, AudioChannels, AudioChunkSize) == -1) {
        MvLog("Can't open audio subsystem...\n");
        std::fprintf(stderr, "no audio device for %d Hz 16-bit stereo%s: %s\n", AudioFrequency,
                     DriverChoice("SDL_AUDIODRIVER").c_str(), Mix_GetError());
        CloseSdl();
        return ProgramExitNoAudio;
    }

    ResetCounters();
    bool screenLost = false;
    SDL_Joystick* joystick = RunScreens(screen, &screenLost);

    // SDL 1.2 does not accept a null handle, which is what a machine without a joystick has.
    if (joystick)
        SDL_JoystickClose(joystick);
    CloseSdl();
    MvSetAssertHook(nullptr);
    return screenLost ? ProgramExitNoVideo : ProgramExitOk;
}
