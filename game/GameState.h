#ifndef GAME_STATE_H
#define GAME_STATE_H

#include <SDL_mixer.h>

class MvStage;

// The game's process-wide record: the stage of the current screen, the chosen level, the
// counters shown while playing, the hero's speeds and input flags, and the geometry of
// the current level. Every part of the game reads and writes it directly, so it is one
// set of static fields rather than an object handed around; nothing but this record
// survives from one screen to the next. Fields start at zero except where noted.
struct GameState {
    static MvStage* engine;       // stage of the current screen, null between screens
    static int chosenLevel;       // level picked on the menu, 1 to 3; starts at 1
    static int points;            // points of the current level
    static int lives;             // lives left; 2 at level start
    static int ticks;             // ticks since the level started
    static int flagsCollected;    // flag count of the current level
    static int enemiesDefeated;   // enemies stomped in the current level
    static int vx;                // hero horizontal speed, pixels per tick
    static int vy;                // hero vertical speed, pixels per tick, down is positive; starts at 10
    static int apexY;             // y where the current rise ends
    static bool rightKeyHeld;
    static bool stickHeld;
    static bool runHeld;
    static int shiftKeysHeld;     // the Shift keys held: 1 for the left one, 2 for the right
    static bool onGround;
    static bool jumping;          // the hero is rising
    static bool facingLeft;
    static bool lost;             // the level ended with the hero's death
    static Mix_Chunk* music;      // music of the current level, or null
    static int originX;           // world x of layout x 0
    static int originY;           // world y of layout y 0
    static int rightBound;        // largest hero x at which the view scrolls
};

// The ticks of one unit of the time the counters show.
constexpr int TicksPerTimeUnit = 50;

// Starts the level counters afresh: no points, ticks, flags or defeated enemies, and 2
// lives. Runs at program start and at the start of every level.
void ResetCounters();

#endif
