#ifndef MV_SDL_H
#define MV_SDL_H

#include <SDL.h>

/// Starting SDL alike on every SDL 1.2 the engine runs on. Most distributions now ship
/// sdl12-compat, SDL 1.2's interface on SDL 2, in place of SDL 1.2.15, and the two differ
/// where a player would notice: SDL 1.2.15 starts without an audio device (opening the
/// mixer then fails), sdl12-compat does not start at all; and sdl12-compat enlarges a
/// full-screen picture to the desktop, smoothed unless told otherwise before SDL starts.
class MvSdl {
public:
    /// SDL_Init(flags), with the outcome of SDL 1.2.15 on both: a missing audio device does
    /// not make it fail (the audio subsystem stays off, and opening the mixer or the audio
    /// device reports why), and on sdl12-compat an enlarged full-screen picture keeps its
    /// pixels crisp unless SDL12COMPAT_SCALE_METHOD says otherwise. Returns SDL_Init's
    /// result: 0, or -1 with SDL's error set.
    static int Init(Uint32 flags);

    /// Whether the SDL 1.2 in use is sdl12-compat (it names itself 1.2.50 and later).
    static bool IsCompat();
};

#endif
