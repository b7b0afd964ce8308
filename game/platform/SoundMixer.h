#ifndef SOUND_MIXER_H
#define SOUND_MIXER_H

#include <SDL.h>
#include <SDL_mixer.h>

// The mixer calls whose behaviour differs between the desktop's SDL_mixer and the
// browser's: opening a sound file, starting a chunk on a channel and freeing a chunk. On
// the desktop these are SDL_mixer's own calls. In the browser, files are opened by name
// (the browser's SDL decodes them itself), a channel keeps playing what it played when a
// new chunk starts on it, and freeing a chunk does not stop it; there this class stops
// them, so that the game hears the same on both.
class SoundMixer {
public:
    // An SDL stream over the sound file at path for Mix_LoadWAV_RW (which frees it), or
    // null with errno (or SDL's error) set when the file cannot be opened.
    static SDL_RWops* OpenFile(const char* path);
    // Plays chunk on channel, once or looping without end; what the channel played before
    // stops. Asserts chunk is not null.
    static void Play(Mix_Chunk* chunk, int channel, bool loop);
    // Stops every channel playing chunk and frees it. Asserts chunk is not null.
    static void Free(Mix_Chunk* chunk);
};

#endif
