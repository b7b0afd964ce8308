#include "MvPngImage.h"

// The browser build has no libpng and no folder of the user's to keep pictures in: every
// read and write is refused with a message naming the file.

namespace {

const char Unsupported[] = "PNG files are not supported in the browser";

} // namespace

bool MvPngImage::Load(const std::string& path, std::string* error)
{
    MvAssert(error != nullptr);
    width_ = height_ = 0;
    pixels_.clear();
    *error = "cannot read picture '" + path + "': " + Unsupported;
    return false;
}

bool MvPngImage::Save(const std::string& path, std::string* error) const
{
    MvAssert(error != nullptr);
    MvAssert(width_ > 0 && height_ > 0);
    *error = "cannot write picture '" + path + "': " + Unsupported;
    return false;
}

bool MvPngImage::SaveSurface(SDL_Surface* surface, const std::string& path, std::string* error)
{
    MvAssert(surface != nullptr && error != nullptr);
    MvAssert(surface->format->BytesPerPixel >= 2 && surface->format->BytesPerPixel <= 4);
    *error = "cannot write picture '" + path + "': " + Unsupported;
    return false;
}
