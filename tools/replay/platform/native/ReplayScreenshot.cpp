#include "ReplayScreenshot.h"

#include "MvAssert.h"

#include <png.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

// Screenshots are written for speed at a fair size: rows unfiltered and zlib's level 3
// with a small hash table (memory level 2), which costs a tenth of libpng's default
// (every filter tried on every row, level 6) for files about 1.7 times as large, some
// 12 KB for a game screen.
const int ScreenshotFilter = PNG_FILTER_NONE;
const int ScreenshotLevel = 3;
const int ScreenshotMemoryLevel = 2;

// Converts width screen pixels into red, green, blue bytes at out; shifts are the
// screen's colour shifts (8-bit channels).
void ToRgbRow(const Uint32* pixels, int width, int redShift, int greenShift, int blueShift, png_byte* out)
{
    for (int x = 0; x < width; ++x, out += 3) {
        const Uint32 pixel = pixels[x];
        out[0] = static_cast<png_byte>(pixel >> redShift);
        out[1] = static_cast<png_byte>(pixel >> greenShift);
        out[2] = static_cast<png_byte>(pixel >> blueShift);
    }
}

// ToRgbRow for the usual screen layout (red in bits 16-23, blue in 0-7), with the shifts
// known to the compiler.
void ToRgbRowRedHigh(const Uint32* pixels, int width, int, int, int, png_byte* out)
{
    ToRgbRow(pixels, width, 16, 8, 0, out);
}

// libpng's error handler: keeps the message for the caller and leaves by libpng's longjmp.
void KeepPngError(png_structp png, png_const_charp text)
{
    *static_cast<std::string*>(png_get_error_ptr(png)) = text;
    png_longjmp(png, 1);
}

void IgnorePngWarning(png_structp, png_const_charp) {}

// Writes screen's pixels to file as an 8-bit RGB PNG picture, each row converted into row
// (3 bytes per pixel) straight from the screen's colour shifts. False with *message set
// when libpng fails. Nothing here needs destroying beyond libpng's own structures, as
// libpng leaves by longjmp.
bool WriteRgbPng(FILE* file, SDL_Surface* screen, png_byte* row, std::string* message)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, message, KeepPngError, IgnorePngWarning);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        *message = "out of memory";
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    const int width = screen->w;
    const int height = screen->h;
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, ScreenshotFilter);
    png_set_compression_level(png, ScreenshotLevel);
    png_set_compression_mem_level(png, ScreenshotMemoryLevel);
    png_write_info(png, info);
    const SDL_PixelFormat* format = screen->format;
    const bool redHigh = format->Rshift == 16 && format->Gshift == 8 && format->Bshift == 0;
    auto* const toRgb = redHigh ? ToRgbRowRedHigh : ToRgbRow;
    for (int y = 0; y < height; ++y) {
        const Uint8* pixels = static_cast<const Uint8*>(screen->pixels) + y * screen->pitch;
        toRgb(reinterpret_cast<const Uint32*>(pixels), width, format->Rshift, format->Gshift, format->Bshift, row);
        png_write_row(png, row);
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

} // namespace

bool ReplayScreenshot::Save(SDL_Surface* screen, const std::string& path, std::string* error)
{
    MvAssert(screen != nullptr && screen->format->BytesPerPixel == 4);
    const SDL_PixelFormat* format = screen->format;
    MvAssert(format->Rloss == 0 && format->Gloss == 0 && format->Bloss == 0);
    if (SDL_MUSTLOCK(screen) && SDL_LockSurface(screen) != 0) {
        *error = "'" + path + "': the screen cannot be read: " + SDL_GetError();
        return false;
    }
    std::string message;
    bool written = false;
    if (FILE* file = std::fopen(path.c_str(), "wb")) {
        std::vector<png_byte> row(static_cast<size_t>(screen->w) * 3);
        written = WriteRgbPng(file, screen, row.data(), &message);
        if (std::fclose(file) != 0 && written) {
            message = std::strerror(errno);
            written = false;
        }
    } else {
        message = std::strerror(errno);
    }
    if (SDL_MUSTLOCK(screen))
        SDL_UnlockSurface(screen);
    if (!written)
        *error = "cannot write picture '" + path + "': " + message;
    return written;
}
