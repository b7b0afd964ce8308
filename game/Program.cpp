#include "Program.h"

#include "GameState.h"
#include "GameWorld.h"
#include "MvLog.h"
#include "ScreenFlow.h"

#include <SDL.h>
#include <SDL_mixer.h>

namespace {

constexpr int ScreenWidth = 800;
constexpr int ScreenHeight = 600;

constexpr int AudioFrequency = 44100;
constexpr Uint16 AudioFormat = 0x8010; // AUDIO_S16LSB: signed 16-bit little-endian samples
constexpr int AudioChannels = 2;
constexpr int AudioChunkSize = 4096;

// Runs the screens until the player quits; returns the joystick handle to close at exit.
SDL_Joystick* RunScreens(SDL_Surface* screen)
{
    GameWorld world;
    ScreenFlow flow(screen, &world);
    flow.Run();
    return flow.Joystick();
}

} // namespace

int RunProgram()
{
    if (SDL_Linked_Version()->minor < 2) {
        MvLog("SDL version must be at least 1.2.0");
        return ProgramExitOldSdl;
    }

    if (SDL_Init(SDL_INIT_TIMER | SDL_INIT_AUDIO | SDL_INIT_VIDEO | SDL_INIT_JOYSTICK | SDL_INIT_NOPARACHUTE) < 0) {
        MvLog("Couldn't initialize SDL: %s\n", SDL_GetError());
        return ProgramExitSdlInitFailed;
    }

    // From here on every way out goes through SDL_Quit, so that a full-screen mode switch
    // never outlives the program.
    SDL_Surface* screen = SDL_SetVideoMode(ScreenWidth, ScreenHeight, 0, SDL_FULLSCREEN);
    if (!screen) {
        SDL_Quit();
        return ProgramExitNoVideo;
    }
    SDL_WM_SetCaption("My Movo Game", nullptr);

    if (Mix_OpenAudio(AudioFrequency, AudioFormat, AudioChannels, AudioChunkSize) == -1) {
        MvLog("Can't open audio subsystem...");
        SDL_Quit();
        return ProgramExitNoAudio;
    }

    ResetCounters();
    SDL_Joystick* joystick = RunScreens(screen);

    Mix_CloseAudio();
    // SDL 1.2 does not accept a null handle, which is what a machine without a joystick has.
    if (joystick)
        SDL_JoystickClose(joystick);
    SDL_Quit();
    return ProgramExitOk;
}
