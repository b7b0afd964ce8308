#include "ReplayScreenshot.h"

#include "MvAssert.h"
#include "MvPngImage.h"

bool ReplayScreenshot::Save(SDL_Surface* screen, const std::string& path, std::string* error)
{
    MvAssert(screen != nullptr && screen->format->BytesPerPixel == 4);
    return MvPngImage::SaveSurface(screen, path, error);
}
