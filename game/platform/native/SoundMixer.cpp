#include "SoundMixer.h"

#include "MvAssert.h"

SDL_RWops* SoundMixer::OpenFile(const char* path) { return SDL_RWFromFile(path, "rb"); }

void SoundMixer::Play(Mix_Chunk* chunk, int channel, bool loop)
{
    MvAssert(chunk != nullptr);
    Mix_PlayChannelTimed(channel, chunk, loop ? -1 : 0, -1);
}

void SoundMixer::Free(Mix_Chunk* chunk)
{
    MvAssert(chunk != nullptr);
    Mix_FreeChunk(chunk);
}
