#include "ReplayRun.h"

#include "GameState.h"
#include "GameWorld.h"
#include "MvAssert.h"
#include "MvPngImage.h"
#include "ScreenFlow.h"
#include "ScriptedEvents.h"
#include "Sound.h"

namespace {

// Every field of GameState. The game sets them once at program start; a run puts them
// back so that a pass never sees the level choice or hero state the previous one left.
struct GameStateValues {
    MvStage* engine;
    int chosenLevel, points, lives, ticks, flagsCollected, enemiesDefeated, vx, vy, apexY;
    bool rightKeyHeld, stickHeld, runHeld, onGround, jumping, facingLeft, lost;
    Mix_Chunk* music;
    int originX, originY, rightBound;

    static GameStateValues Read()
    {
        return {GameState::engine,       GameState::chosenLevel, GameState::points,  GameState::lives,
                GameState::ticks,        GameState::flagsCollected, GameState::enemiesDefeated,
                GameState::vx,           GameState::vy,          GameState::apexY,   GameState::rightKeyHeld,
                GameState::stickHeld,    GameState::runHeld,     GameState::onGround, GameState::jumping,
                GameState::facingLeft,   GameState::lost,        GameState::music,   GameState::originX,
                GameState::originY,      GameState::rightBound};
    }

    void Write() const
    {
        GameState::engine = engine;
        GameState::chosenLevel = chosenLevel;
        GameState::points = points;
        GameState::lives = lives;
        GameState::ticks = ticks;
        GameState::flagsCollected = flagsCollected;
        GameState::enemiesDefeated = enemiesDefeated;
        GameState::vx = vx;
        GameState::vy = vy;
        GameState::apexY = apexY;
        GameState::rightKeyHeld = rightKeyHeld;
        GameState::stickHeld = stickHeld;
        GameState::runHeld = runHeld;
        GameState::onGround = onGround;
        GameState::jumping = jumping;
        GameState::facingLeft = facingLeft;
        GameState::lost = lost;
        GameState::music = music;
        GameState::originX = originX;
        GameState::originY = originY;
        GameState::rightBound = rightBound;
    }
};

// GameState's fields get their first values by constant initialisation, before any code
// runs, so reading them while this file's objects are made gives the program's start.
const GameStateValues StartingGameState = GameStateValues::Read();

// The run going on: the cue observer is a plain function, so it finds the run's notes
// and tick count here.
std::vector<std::string>* currentSounds = nullptr;
const ScriptedEvents* currentEvents = nullptr;

void SkipDeathPause(Uint32 /*milliseconds*/) {}

void NoteCue(SoundCue cue)
{
    if (currentSounds != nullptr && currentEvents != nullptr)
        currentSounds->push_back("tick " + std::to_string(currentEvents->Ticks()) + ": " + CueInfo(cue).path);
}

} // namespace

ReplayRun::ReplayRun(const ReplayScript* script, SDL_Surface* screen, const std::string& outDir, int maxTicks)
    : script_(script)
    , screen_(screen)
    , outDir_(outDir)
    , maxTicks_(maxTicks)
{
    MvAssert(script != nullptr);
    MvAssert(screen != nullptr);
    MvAssert(screen->w == ScreenWidth && screen->h == ScreenHeight && screen->format->BitsPerPixel == 32);
    MvAssert(maxTicks >= 1);
}

bool ReplayRun::Run()
{
    MvAssert(currentEvents == nullptr);
    summary_ = ReplaySummary();
    screenshots_.clear();
    sounds_.clear();
    errors_.clear();

    // As the program starts: GameState as it is before anything ran, then the counters.
    StartingGameState.Write();
    ResetCounters();
    SDL_FillRect(screen_, nullptr, 0);

    ScriptedEvents events(script_, maxTicks_, [this](const ReplayStep& step) { TakeScreenshot(step); });
    currentSounds = &sounds_;
    currentEvents = &events;
    SetDeathPause(SkipDeathPause);
    SetCueObserver(NoteCue);

    SDL_Joystick* joystick = nullptr;
    {
        GameWorld world;
        ScreenFlow flow(screen_, &world, &events);
        flow.Run();
        joystick = flow.Joystick();
    }
    // Only an open joystick subsystem hands out a handle; SDL 1.2 does not take a null one.
    if (joystick != nullptr)
        SDL_JoystickClose(joystick);

    SetCueObserver(nullptr);
    SetDeathPause(nullptr);
    currentEvents = nullptr;
    currentSounds = nullptr;
    summary_ = events.Summary();
    return errors_.empty();
}

void ReplayRun::TakeScreenshot(const ReplayStep& step)
{
    const std::string path = outDir_ + "/" + step.name;
    std::string error;
    if (SaveScreen(screen_, path, &error))
        screenshots_.push_back("tick " + std::to_string(step.tick) + ": " + path);
    else
        errors_.push_back(error);
}

bool ReplayRun::SaveScreen(SDL_Surface* screen, const std::string& path, std::string* error)
{
    MvAssert(screen != nullptr && screen->format->BytesPerPixel == 4);
    MvPngImage picture(screen->w, screen->h);
    if (SDL_MUSTLOCK(screen) && SDL_LockSurface(screen) != 0) {
        *error = "'" + path + "': the screen cannot be read: " + SDL_GetError();
        return false;
    }
    for (int y = 0; y < screen->h; ++y) {
        const Uint8* bytes = static_cast<const Uint8*>(screen->pixels) + y * screen->pitch;
        const Uint32* row = reinterpret_cast<const Uint32*>(bytes);
        for (int x = 0; x < screen->w; ++x) {
            const Uint32 pixel = row[x];
            Uint8 r, g, b;
            SDL_GetRGB(pixel, screen->format, &r, &g, &b);
            picture.At(x, y).Set(r, g, b, 255);
        }
    }
    if (SDL_MUSTLOCK(screen))
        SDL_UnlockSurface(screen);
    return picture.Save(path, error);
}
