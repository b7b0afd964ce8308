#ifndef PLAYER_COMFORTS_H
#define PLAYER_COMFORTS_H

#include <SDL.h>

// The player's comfort keys, looked at before the screens' rules on every screen:
//   F11 or Alt+Enter  switch between full screen and an 800 x 600 window, keeping the
//                     game where it is; the screen is redrawn whole;
//   P                 pauses the play screen, showing "PAUSED" in the middle, and resumes;
//   M                 mutes all sound, music and effects, and unmutes it.
// Neither their key presses nor their key releases reach the screens, so they run no play
// step. While the play screen is paused nothing else reaches it either (ticks, keys, the
// stick and buttons are dropped, so nothing moves) except Escape's key press, which still
// quits; on resume every key, the stick and the run button are taken as let go, as their
// releases during the pause were not seen.
class PlayerComforts {
public:
    // Switches screen (not owned; the display's, or a memory screen of the replay tool).
    // Asserts screen is not null.
    explicit PlayerComforts(SDL_Surface* screen);
    // Frees the stand-in screen made after a failed switch, if any.
    ~PlayerComforts();

    PlayerComforts(const PlayerComforts&) = delete;
    PlayerComforts& operator=(const PlayerComforts&) = delete;

    // Handles event when it is a comfort key or arrives during a pause: true when the
    // screen must not see it.
    bool Take(const SDL_Event& event);

    // The play screen started: P may pause it from now on.
    void EnterPlayScreen();
    // The play screen ended: a pause ends with it, without a trace.
    void LeavePlayScreen();

    // The surface to make stages on: the screen given, or the one a switch set instead.
    SDL_Surface* Screen() const;
    // A switch failed and no video mode could be set again: Screen() is then a stand-in in
    // memory, and the program should end.
    bool ScreenLost() const;
    // The play screen is paused.
    bool Paused() const;

private:
    void SwitchScreen();
    void TogglePause();

    SDL_Surface* screen_;
    SDL_Surface* standIn_ = nullptr;
    bool onPlayScreen_ = false;
    bool paused_ = false;
    // The key press of Alt+Enter was taken, so Return's release is the comfort key's too.
    bool returnTaken_ = false;
};

inline SDL_Surface* PlayerComforts::Screen() const { return screen_; }
inline bool PlayerComforts::ScreenLost() const { return standIn_ != nullptr; }
inline bool PlayerComforts::Paused() const { return paused_; }

#endif
