#ifndef SCREEN_FLOW_H
#define SCREEN_FLOW_H

#include "PlayerComforts.h"
#include "SdlGameEvents.h"

#include <SDL.h>

class GameEvents;
class GameWorld;

// Milliseconds between two ticks.
constexpr Uint32 TickInterval = 50;

// The game's screens in turn: the menu, the play screen and the end screen, over and over
// until the player presses Escape. Each screen gets a fresh stage on the same screen
// surface, kept in GameState::engine while the screen runs, and runs one loop that waits
// for an SDL event and handles it; the 50-millisecond timer started on the menu posts
// the tick events that make the screens draw. A quit event (closing the window) only ends
// the current screen's loop, so the flow moves on to the next screen; SIGINT and SIGTERM
// end the flow as Escape does, noticed at the latest with the next tick. The player's
// comfort keys (PlayerComforts: full screen or window, pause, mute) are taken out of the
// events before any screen sees them.
class ScreenFlow {
public:
    // Runs on screen (not owned) and builds the screens' content with world, taking the
    // screens' events from events (not owned), or from SDL's queue and timer when null.
    // Asserts screen and world are not null.
    ScreenFlow(SDL_Surface* screen, GameWorld* world, GameEvents* events = nullptr);

    // The outer loop: menu, play and end screen in turn while quit is not set. A screen
    // after the one where quit was set is still made and torn down, its loop skipped.
    void Run();

    // Menu: opens joystick 0, starts the tick timer and runs MenuLoop. Turning joystick
    // events on makes SDL drop every event still queued, so input made while the menu
    // starts is lost.
    void RunMenuScreen();
    // The menu's event loop, until done or quit is set, a quit event arrives or the wait
    // fails: Return sets done, Escape sets quit, the digit keys 1 to 3 choose the level, a
    // tick refreshes the menu and draws GameState::engine.
    void MenuLoop();
    // Play screen: resets the counters, clears the lost flag and the Shift keys held (a
    // Shift let go on another screen never reaches the hero) and hands every event to the
    // play sequence until it sets done, quit or lost, then tells the events' source
    // (GameEvents::PlayEnded).
    void RunPlayScreen();
    // End screen: Return ends it, Escape sets quit, a tick draws.
    void RunEndScreen();

    // The handle of the last joystick opening; null when no joystick is present.
    SDL_Joystick* Joystick() const;
    // The player asked to leave the program.
    bool Quit() const;
    // A switch between full screen and a window failed and no video mode could be set
    // again: the flow ended as Escape ends it, and the program should say so.
    bool ScreenLost() const;
    // The current screen's loop is to end; false again after every screen.
    bool Done() const;

private:
    // Makes the screen's stage, keeps it in GameState::engine and draws it once. Asserts
    // the stage was made.
    void OpenStage();
    // Deletes the screen's stage; GameState::engine becomes null.
    void CloseStage();
    // Waits for the screen loop's next event into *event, passing over the events the
    // comfort keys take: false, ending the loop, when the wait fails or brings a quit
    // event, when SIGINT or SIGTERM arrived (StopSignalled) and when the screen was lost in
    // a switch, the last two setting quit as Escape does.
    bool NextEvent(SDL_Event* event);

    PlayerComforts comforts_;
    GameWorld* world_;
    SdlGameEvents sdlEvents_;
    GameEvents* events_;
    SDL_Joystick* joystick_ = nullptr;
    bool quit_ = false;
    bool done_ = false;
};

inline SDL_Joystick* ScreenFlow::Joystick() const { return joystick_; }
inline bool ScreenFlow::Quit() const { return quit_; }
inline bool ScreenFlow::ScreenLost() const { return comforts_.ScreenLost(); }
inline bool ScreenFlow::Done() const { return done_; }

// A key on the menu: Return sets *done, Escape sets *quit, the digit keys 1, 2 and 3 set
// GameState::chosenLevel. Other keys do nothing.
void OnMenuKey(int sym, bool* done, bool* quit);

// A key on the end screen: Return sets *done, Escape sets *quit. Other keys do nothing.
void OnEndKey(int sym, bool* done, bool* quit);

#endif
