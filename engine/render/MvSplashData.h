#ifndef MV_SPLASH_DATA_H
#define MV_SPLASH_DATA_H

#include <cstdint>

// The splash resource file built into the program: a complete resource file holding the
// sprite resources "splash" (id 3, the engine's logo) and "splashText" (id 1, a line of
// text shown under it), each with one action "NONE" (id 2) of one opaque frame. The build
// draws both pictures with the splash generator in tools/, writes the file with the
// engine's resource writer and compiles its bytes into the engine library itself.
extern const uint8_t MvSplashFile[];
// Number of bytes of MvSplashFile: 191182.
extern const int MvSplashFileSize;

// The size the built-in splash file must have.
constexpr int MvSplashFileExpectedSize = 191182;

#endif
