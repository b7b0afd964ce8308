#ifndef GAME_WORLD_H
#define GAME_WORLD_H

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

    // Screen load: puts "Images/Sprites.dat" into the new stage's vault. A file that cannot
    // be loaded ends the program with exit code 255.
    void LoadScreen();
    // Menu build: the menu's content (screen 0).
    void BuildMenu();
    // Play build: the hero and the chosen level's content.
    void BuildPlay();
    // End build: the end screen's content (screen 9).
    void BuildEnd();

    // Gives the current stage's tree the content of screen number screen: 0 the menu,
    // 1 to 3 the levels, 9 the end screen; any other number leaves the screen empty.
    void BuildScreen(int screen);

    int enemyCount = 0; // enemy ids handed out on the current screen

private:
    static GameWorld* instance_;
};

#endif
