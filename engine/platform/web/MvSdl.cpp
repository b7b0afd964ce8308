#include "MvSdl.h"

int MvSdl::Init(Uint32 flags)
{
    // The browser's SDL starts without an audio device as SDL 1.2.15 does.
    return SDL_Init(flags);
}

bool MvSdl::IsCompat() { return false; }
