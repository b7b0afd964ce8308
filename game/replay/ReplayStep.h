#ifndef REPLAY_STEP_H
#define REPLAY_STEP_H

#include <string>

// One line of a replay script: at a tick, an input event for the game or a screenshot for
// the tool. A plain record with one meaning per kind for value, so a script is a flat
// list that is easy to walk and to compare in tests.
struct ReplayStep {
    enum Kind {
        KeyDown,     // value: the key's SDL key symbol
        KeyUp,       // value: the key's SDL key symbol
        StickMotion, // value: the position of joystick 0's axis, -32768 to 32767
        ButtonDown,  // value: the button number of joystick 0
        ButtonUp,    // value: the button number of joystick 0
        WindowClose, // a quit event, as when the player closes the window
        Screenshot   // name: the PNG file to write, a plain file name
    };

    int line = 0; // line of the script, from 1
    int tick = 0; // tick number, from 1
    Kind kind = KeyDown;
    int value = 0;
    int axis = 0; // StickMotion: the axis of joystick 0 that moves, 0 to 255
    std::string name;

    // Whether the step is handed to the game (all kinds but Screenshot).
    bool IsInput() const;
};

inline bool ReplayStep::IsInput() const { return kind != Screenshot; }

#endif
