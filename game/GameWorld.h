#ifndef GAME_WORLD_H
#define GAME_WORLD_H

#include "Levels.h"

// The screens the world builds, by number: the menu, each level under its own number
// (FirstLevelScreen to LastLevelScreen) and the end screen.
enum ScreenNumber {
    MenuScreen = 0,
    FirstLevelScreen = 1,
    LastLevelScreen = LevelCount,
    EndScreen = 9,
};

// True when screen is the number of a level.
constexpr bool IsLevelScreen(int screen) { return screen >= FirstLevelScreen && screen <= LastLevelScreen; }

// Builds the content of every screen on the current stage (GameState::engine): the
// resources each screen loads, and the menu, level and end-screen trees. One instance
// lives from the end of start-up until shutdown and can be reached through Instance(),
// because the play sequence needs it from inside the event handling. Each screen of the
// flow calls the screen load and then its build operation right after making its stage;
// content that is not built here leaves the screen showing its window fill only.
class GameWorld {
public:
    // Registers this world as the one instance. Asserts there is no other.
    GameWorld();
    // Unregisters the instance.
    ~GameWorld();

    GameWorld(const GameWorld&) = delete;
    GameWorld& operator=(const GameWorld&) = delete;

    // The live instance. Asserts there is one.
    static GameWorld& Instance();

    // Screen load: puts "Images/Sprites.dat" into the new stage's vault and checks that it
    // holds what the game needs (FindUnmetNeed). A file that cannot be loaded or lacks any
    // of it ends the program with exit code 255: the log's failure line, then one line on
    // standard error saying what is wrong, and SDL closed (CloseSdl).
    void LoadScreen();
    // Menu build: the menu's content (MenuScreen).
    void BuildMenu();
    // Play build: the hero and the chosen level's content.
    void BuildPlay();
    // End build: the end screen's content (EndScreen).
    void BuildEnd();

    // Gives the current stage's tree the content of screen number screen (a ScreenNumber
    // or a level); any other number leaves the screen empty.
    void BuildScreen(int screen);
    // The content of screen number screen on the five layers BuildScreen made: resets
    // enemyCount, sets the window geometry and places that screen's labels, music and
    // background colour. Asserts there is a stage.
    void PopulateScreen(int screen);
    // Moves the scene root so that the hero ("track") is drawn at the middle of window 0;
    // does nothing without a stage or a hero.
    void ScrollToHero();
    // Runs every enemy's step rule once (StepEveryEnemy). Done after every play event.
    void StepEnemies();
    // Steps (next frame, moved by its delta) every platform whose x lies strictly within
    // 500 pixels of the hero's; farther ones keep their frame and place. Done after every
    // play event. Does nothing without a stage, a hero or a "platforms" layer.
    void StepPlatforms();

    int enemyCount = 0; // enemy ids handed out on the current screen

private:
    // Sets originX, originY and rightBound from window 0 for screen.
    void SetWindowGeometry(int screen);
    void PlaceMenuLabels();
    void PlaceCounterDisplay();
    void PlaceEndLabels();
    // Places the platforms, enemies, scenery and items of level (1 to LevelCount); each enemy
    // takes id enemyCount + 1 (the tables of Levels.h).
    void PlaceLevelRows(int level);

    static GameWorld* instance_;
};

#endif
