#include "ReplayScreenshot.h"

#include "MvAssert.h"
#include "MvDisplay.h"

bool ReplayScreenshot::Save(SDL_Surface* screen, const std::string& /*path*/, std::string* /*error*/)
{
    MvAssert(screen != nullptr && screen->format->BytesPerPixel == 4);
    SDL_Rect whole = {0, 0, static_cast<Uint16>(screen->w), static_cast<Uint16>(screen->h)};
    MvDisplay::Present(screen, &whole, 1);
    return true;
}
