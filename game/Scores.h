#ifndef SCORES_H
#define SCORES_H

// What the hero earns: the points and flags each deed adds to the level's counters.

// Stomping a plain enemy (it also counts one enemy defeated).
constexpr int StompPoints = 100;
// Breaking a "Bricks" platform from below.
constexpr int BrickPoints = 10;
// Collecting a red flag.
constexpr int RedFlagPoints = 50;
constexpr int RedFlagFlags = 1;
// Collecting a blue flag.
constexpr int BlueFlagPoints = 300;
constexpr int BlueFlagFlags = 5;

#endif
