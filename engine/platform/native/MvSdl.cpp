#include "MvSdl.h"

#include <cstdlib>

int MvSdl::Init(Uint32 flags)
{
    // sdl12-compat reads its settings when SDL starts.
    if (IsCompat())
        setenv("SDL12COMPAT_SCALE_METHOD", "nearest", 0);
    if (SDL_Init(flags & ~Uint32(SDL_INIT_AUDIO)) < 0)
        return -1;
    // SDL 1.2.15 starts its audio subsystem even without a device; sdl12-compat fails
    // SDL_Init. Started on its own, a failure leaves audio off and the rest running.
    if ((flags & SDL_INIT_AUDIO) != 0)
        SDL_InitSubSystem(SDL_INIT_AUDIO);
    return 0;
}

bool MvSdl::IsCompat()
{
    const SDL_version* version = SDL_Linked_Version();
    return version->major == 1 && version->minor == 2 && version->patch >= 50;
}
