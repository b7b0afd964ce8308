#ifndef MV_WINDOW_COUNT_H
#define MV_WINDOW_COUNT_H

/// @file
/// The fixed number of windows that sizes all per-window state.

/// The largest number of windows on one stage. Every per-window array, in nodes and in the
/// stage, has this size, so placement state never allocates. A window index of -1 in a
/// setter means every window.
constexpr int MvWindowCount = 6;

#endif
