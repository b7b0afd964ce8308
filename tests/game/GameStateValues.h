#ifndef GAME_STATE_VALUES_H
#define GAME_STATE_VALUES_H

#include "GameState.h"

// A copy of every field of GameState, so that a test can compare the record with
// expected values and put it back as it found it: the record is process-wide, and tests
// that run after one another in the same process must not see each other's changes.
struct GameStateValues {
    MvStage* engine;
    int chosenLevel, points, lives, ticks, flagsCollected, enemiesDefeated;
    int vx, vy, apexY;
    bool rightKeyHeld, stickHeld, runHeld, onGround, jumping, facingLeft, lost;
    Mix_Chunk* music;
    int originX, originY, rightBound;
    int shiftKeysHeld;

    static GameStateValues Capture()
    {
        using G = GameState;
        return {G::engine,      G::chosenLevel, G::points,   G::lives,    G::ticks,      G::flagsCollected,
                G::enemiesDefeated, G::vx,      G::vy,       G::apexY,    G::rightKeyHeld, G::stickHeld,
                G::runHeld,     G::onGround,    G::jumping,  G::facingLeft, G::lost,     G::music,
                G::originX,     G::originY,     G::rightBound,  G::shiftKeysHeld};
    }

    void Restore() const
    {
        using G = GameState;
        G::engine = engine;
        G::chosenLevel = chosenLevel;
        G::points = points;
        G::lives = lives;
        G::ticks = ticks;
        G::flagsCollected = flagsCollected;
        G::enemiesDefeated = enemiesDefeated;
        G::vx = vx;
        G::vy = vy;
        G::apexY = apexY;
        G::rightKeyHeld = rightKeyHeld;
        G::stickHeld = stickHeld;
        G::runHeld = runHeld;
        G::onGround = onGround;
        G::jumping = jumping;
        G::facingLeft = facingLeft;
        G::lost = lost;
        G::music = music;
        G::originX = originX;
        G::originY = originY;
        G::rightBound = rightBound;
        G::shiftKeysHeld = shiftKeysHeld;
    }
};

// Puts GameState back, when it ends, as it was when it was made.
class GameStateGuard {
public:
    GameStateGuard() : saved_(GameStateValues::Capture()) {}
    ~GameStateGuard() { saved_.Restore(); }

private:
    GameStateValues saved_;
};

#endif
