#ifndef SPRITE_NEEDS_H
#define SPRITE_NEEDS_H

#include <string>
#include <vector>

class MvAction;
class MvResourceVault;

// What the game needs from its resource file: every sprite it makes, by id or by name, the
// actions it selects on each, and frames whose deltas keep a stepped sprite on the stage.
// The file is untrusted input, so a screen load checks all of it at once and a file that
// lacks any of it is refused with one line saying what, instead of stopping at a failed
// check in the middle of play. The list is made from the tables the game places things
// from (the levels' rows, the enemy kinds) and from the constants its lookups use, so the
// check and the lookups name the same things.

// How the game moves a sprite it has made.
enum class SpriteMotion {
    Still,     // never stepped: the deltas of its frames are never used
    OneAction, // stepped, always showing its first action
    Switching, // stepped while its action changes, keeping the frame number
};

// How far, in pixels on either axis, an action stepped frame by frame may carry a sprite
// from where its cycle began. Every place on the stage lies within 10000 pixels of 0, so
// a sprite stays well within MvMaxNodePosition however long it is stepped.
constexpr int MaxStepReach = 4096;

// One sprite the game makes.
struct SpriteNeed {
    int id;                                // the id it is found by; 0 when found by name
    std::string name;                      // its resource name, or by id what it is
    std::vector<std::string> actionNames;  // the actions selected by name
    std::vector<int> actionIds;            // the actions selected by id
    SpriteMotion motion;
};

// Everything the game makes from "Images/Sprites.dat", in the order it is checked.
std::vector<SpriteNeed> GameSpriteNeeds();

// What is wrong with vault for needs: one message such as `sprite id 12 (the hero) has no
// action "Stand.Right"` for the first need it fails, or empty when it meets them all.
// Every frame of the actions it checks must show a pixel, since a shown sprite must cover one.
std::string FindUnmetNeed(const MvResourceVault& vault, const std::vector<SpriteNeed>& needs);

// What is wrong with the deltas of action for a sprite moved as motion, or empty: a
// Switching sprite may not be moved by its frames at all (changing the action can repeat
// any frame's delta without end); a OneAction sprite's cycle must end where it began and
// reach no farther than MaxStepReach on the way. Asserts action has frames.
std::string FindDeltaProblem(const MvAction& action, SpriteMotion motion);

#endif
