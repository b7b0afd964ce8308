#ifndef REPLAY_SCRIPT_H
#define REPLAY_SCRIPT_H

#include "ReplayStep.h"

#include <string>
#include <vector>

// A replay script: the input a player would give, line by line, each at a tick, plus the
// screenshots to take. The format is plain text meant to be written and edited by hand:
//
//     # comment (also after a line's content)
//     at 20  press Return          key down; "release" for key up
//     at 60  stick -32767          joystick 0, axis 0
//     at 61  stick 500 axis 1      joystick 0, another axis
//     at 61  button 1 down         joystick 0, "up" to let go
//     at 70  close                 the window is closed (a quit event)
//     at 300 screenshot flag.png   after tick 300 was handled
//
// Parsing stops at the first bad line with one message naming the file, the line and what
// is wrong, so a typo never runs half a script.
class ReplayScript {
public:
    // The largest tick number a line may name.
    static constexpr int MaxTick = 1000000000;

    // Reads the script file at path. Returns false and sets *error ("path: what is wrong"
    // or "path:line: what is wrong") when it cannot be read or a line is bad; the script is
    // then empty. Asserts error is not null.
    bool Load(const std::string& path, std::string* error);

    // Parses text as the contents of the file named path (used in messages only). Same
    // results as Load. Asserts error is not null.
    bool Parse(const std::string& path, const std::string& text, std::string* error);

    // The steps in script order (and so in tick order).
    const std::vector<ReplayStep>& Steps() const;
    // The tick of the last step; 0 for an empty script.
    int LastTick() const;

    // The SDL key symbol of a key name (Return, Escape, Space, Tab, Backspace, Up, Down,
    // Left, Right, LeftShift, RightShift, 0 to 9, a to z; any case). False for an unknown
    // name. Asserts sym is not null.
    static bool KeyByName(const std::string& name, int* sym);
    // The key names KeyByName knows, for messages and help.
    static const char* KeyNames();

private:
    std::vector<ReplayStep> steps_;
};

inline const std::vector<ReplayStep>& ReplayScript::Steps() const { return steps_; }
inline int ReplayScript::LastTick() const { return steps_.empty() ? 0 : steps_.back().tick; }

#endif
