#include "SoundMixer.h"

#include "MvAssert.h"

#include <cstdio>
#include <map>

namespace {

// The chunk each channel was last told to play: the browser's mixer cannot say.
std::map<int, Mix_Chunk*> playing;

} // namespace

SDL_RWops* SoundMixer::OpenFile(const char* path)
{
    // The browser's SDL names the file in its stream without opening it, so a missing
    // file would only show as a failed load; opening it here gives errno its reason.
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr)
        return nullptr;
    std::fclose(file);
    return SDL_RWFromFile(path, "rb");
}

void SoundMixer::Play(Mix_Chunk* chunk, int channel, bool loop)
{
    MvAssert(chunk != nullptr);
    Mix_HaltChannel(channel);
    // The browser's mixer has no play limit and loops either never or without end.
    if (Mix_PlayChannel(channel, chunk, loop ? -1 : 0) != -1)
        playing[channel] = chunk;
}

void SoundMixer::Free(Mix_Chunk* chunk)
{
    MvAssert(chunk != nullptr);
    for (auto entry = playing.begin(); entry != playing.end();) {
        if (entry->second == chunk) {
            Mix_HaltChannel(entry->first);
            entry = playing.erase(entry);
        } else {
            ++entry;
        }
    }
    Mix_FreeChunk(chunk);
}
