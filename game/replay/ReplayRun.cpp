#include "ReplayRun.h"

#include "GameState.h"
#include "GameWorld.h"
#include "MvAssert.h"
#include "ReplayScreenshot.h"
#include "ScreenFlow.h"
#include "ScriptedEvents.h"
#include "Sound.h"

#include <cstring>

namespace {

// Every field of GameState. The game sets them once at program start; a run puts them
// back so that a pass never sees the level choice or hero state the previous one left.
struct GameStateValues {
    MvStage* engine;
    int chosenLevel, points, lives, ticks, flagsCollected, enemiesDefeated, vx, vy, apexY;
    bool rightKeyHeld, stickHeld, runHeld, onGround, jumping, facingLeft, lost;
    Mix_Chunk* music;
    int originX, originY, rightBound;
    int shiftKeysHeld;

    static GameStateValues Read()
    {
        return {GameState::engine,       GameState::chosenLevel, GameState::points,  GameState::lives,
                GameState::ticks,        GameState::flagsCollected, GameState::enemiesDefeated,
                GameState::vx,           GameState::vy,          GameState::apexY,   GameState::rightKeyHeld,
                GameState::stickHeld,    GameState::runHeld,     GameState::onGround, GameState::jumping,
                GameState::facingLeft,   GameState::lost,        GameState::music,   GameState::originX,
                GameState::originY,      GameState::rightBound,  GameState::shiftKeysHeld};
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
        GameState::shiftKeysHeld = shiftKeysHeld;
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
    SetMuted(false);
    // Black, as a new screen is; row by row, as the screen is in memory.
    for (int y = 0; y < screen_->h; ++y)
        std::memset(static_cast<Uint8*>(screen_->pixels) + static_cast<size_t>(y) * screen_->pitch, 0,
                    static_cast<size_t>(screen_->w) * 4);

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
    if (ReplayScreenshot::Save(screen_, path, &error))
        screenshots_.push_back("tick " + std::to_string(step.tick) + ": " + path);
    else
        errors_.push_back(error);
}
