#include "MvPngImage.h"

#include "MvDisplay.h"
#include "MvSurfacePen.h"

#include <png.h>

#include <cerrno>
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

// libpng's simplified API stores PNG_FORMAT_BGRA as the bytes blue, green, red, alpha:
// exactly an MvColor.
const png_uint_32 MemoryFormat = PNG_FORMAT_BGRA;

// Larger pictures are refused rather than allocated: no sprite sheet needs more.
const png_uint_32 MaxSide = 32767;
const uint64_t MaxPixels = uint64_t(1) << 26;

// A file larger than this is not a picture a sprite sheet needs.
const long MaxFileBytes = 64L << 20;

uint32_t BigEndian32(const uint8_t* p)
{
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

// Walks the chunks after the signature up to IEND and names the first whose length passes
// the end of the file: libpng would allocate that length before it finds the data
// missing, so a few bytes could ask for gigabytes. Empty when every length fits; a file
// that ends early in other ways is left to libpng to report.
std::string ChunkLengthProblem(const std::vector<uint8_t>& bytes)
{
    size_t at = 8;
    while (at + 8 <= bytes.size()) {
        const uint32_t length = BigEndian32(&bytes[at]);
        const std::string type(reinterpret_cast<const char*>(&bytes[at + 4]), 4);
        const size_t left = bytes.size() - at - 8;
        if (length > left)
            return "its chunk '" + type + "' at byte " + std::to_string(at) + " claims " + std::to_string(length) +
                   " bytes, but only " + std::to_string(left) + " follow";
        if (type == "IEND")
            break;
        at += 12 + size_t{length};
    }
    return std::string();
}

// The whole file at path, or false with *error set.
bool ReadWholeFile(const std::string& path, std::vector<uint8_t>* bytes, std::string* error)
{
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        *error = "cannot open picture '" + path + "': " + std::strerror(errno);
        return false;
    }
    long size = -1;
    if (std::fseek(file, 0, SEEK_END) == 0)
        size = std::ftell(file);
    bool ok = size >= 0 && size <= MaxFileBytes && std::fseek(file, 0, SEEK_SET) == 0;
    if (ok) {
        bytes->resize(static_cast<size_t>(size));
        ok = std::fread(bytes->data(), 1, bytes->size(), file) == bytes->size();
    }
    const int reason = errno;
    std::fclose(file);
    if (!ok) {
        if (size > MaxFileBytes)
            *error = "picture '" + path + "' is " + std::to_string(size) + " bytes, more than " +
                     std::to_string(MaxFileBytes);
        else
            *error = "cannot read picture '" + path + "': " + (reason != 0 ? std::strerror(reason) : "read failed");
    }
    return ok;
}

// Surfaces are written for speed at a fair size: rows unfiltered and zlib's level 3 with a
// small hash table (memory level 2), which costs a tenth of libpng's default (every filter
// tried on every row, level 6) for files about 1.7 times as large, some 12 KB for a game
// screen.
const int SurfaceFilter = PNG_FILTER_NONE;
const int SurfaceLevel = 3;
const int SurfaceMemoryLevel = 2;

// Converts width pixels of a surface row into red, green, blue bytes at out. One is chosen
// per surface, so the loop over the pixels does not look at the format.
using RgbRowFunction = void (*)(const Uint8* row, int width, const SDL_PixelFormat* format, png_byte* out);

// 32 bits a pixel with 8-bit channels at the format's shifts.
void RgbRowFrom32(const Uint8* row, int width, const SDL_PixelFormat* format, png_byte* out)
{
    const Uint32* pixels = reinterpret_cast<const Uint32*>(row);
    const int redShift = format->Rshift, greenShift = format->Gshift, blueShift = format->Bshift;
    for (int x = 0; x < width; ++x, out += 3) {
        const Uint32 pixel = pixels[x];
        out[0] = static_cast<png_byte>(pixel >> redShift);
        out[1] = static_cast<png_byte>(pixel >> greenShift);
        out[2] = static_cast<png_byte>(pixel >> blueShift);
    }
}

// RgbRowFrom32 for the usual screen layout (red in bits 16-23, blue in 0-7), with the
// shifts known to the compiler.
void RgbRowFrom32RedHigh(const Uint8* row, int width, const SDL_PixelFormat*, png_byte* out)
{
    const Uint32* pixels = reinterpret_cast<const Uint32*>(row);
    for (int x = 0; x < width; ++x, out += 3) {
        const Uint32 pixel = pixels[x];
        out[0] = static_cast<png_byte>(pixel >> 16);
        out[1] = static_cast<png_byte>(pixel >> 8);
        out[2] = static_cast<png_byte>(pixel);
    }
}

// Any other layout of 2, 3 or 4 bytes a pixel, narrow channels widened as the engine's pen
// reads them (SDL_GetRGB widens them differently on SDL 1.2.15 and on sdl12-compat).
void RgbRowFromAny(const Uint8* row, int width, const SDL_PixelFormat* format, png_byte* out)
{
    const int bytes = format->BytesPerPixel;
    for (int x = 0; x < width; ++x, row += bytes, out += 3) {
        Uint32 pixel = 0;
        if (bytes == 2) {
            Uint16 value;
            std::memcpy(&value, row, 2);
            pixel = value;
        } else if (bytes == 4) {
            std::memcpy(&pixel, row, 4);
        } else if (SDL_BYTEORDER == SDL_LIL_ENDIAN) {
            pixel = Uint32(row[0]) | Uint32(row[1]) << 8 | Uint32(row[2]) << 16;
        } else {
            pixel = Uint32(row[0]) << 16 | Uint32(row[1]) << 8 | Uint32(row[2]);
        }
        png_byte alpha;
        MvSurfacePen::SplitValue(pixel, format, &out[0], &out[1], &out[2], &alpha);
    }
}

RgbRowFunction ChooseRgbRow(const SDL_PixelFormat* format)
{
    const bool eightBitChannels = format->Rloss == 0 && format->Gloss == 0 && format->Bloss == 0;
    if (format->BytesPerPixel != 4 || !eightBitChannels)
        return RgbRowFromAny;
    if (format->Rshift == 16 && format->Gshift == 8 && format->Bshift == 0)
        return RgbRowFrom32RedHigh;
    return RgbRowFrom32;
}

// libpng's error handler: keeps the message for the caller and leaves by libpng's longjmp.
void KeepPngError(png_structp png, png_const_charp text)
{
    *static_cast<std::string*>(png_get_error_ptr(png)) = text;
    png_longjmp(png, 1);
}

void IgnorePngWarning(png_structp, png_const_charp) { }

// Writes surface's pixels (locked, when it must be) to file as an 8-bit RGB PNG picture,
// each row converted into row (3 bytes a pixel). False with *message set when libpng
// fails. Nothing here needs destroying beyond libpng's own structures, as libpng leaves by
// longjmp.
bool WriteRgbPng(FILE* file, SDL_Surface* surface, png_byte* row, std::string* message)
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
    const int width = surface->w;
    const int height = surface->h;
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, SurfaceFilter);
    png_set_compression_level(png, SurfaceLevel);
    png_set_compression_mem_level(png, SurfaceMemoryLevel);
    png_write_info(png, info);
    const SDL_PixelFormat* format = surface->format;
    const RgbRowFunction toRgb = ChooseRgbRow(format);
    for (int y = 0; y < height; ++y) {
        toRgb(static_cast<const Uint8*>(surface->pixels) + static_cast<size_t>(y) * surface->pitch, width, format, row);
        png_write_row(png, row);
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

} // namespace

bool MvPngImage::Load(const std::string& path, std::string* error)
{
    MvAssert(error != nullptr);
    width_ = height_ = 0;
    pixels_.clear();
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(path, &bytes, error))
        return false;
    const std::string chunkProblem = ChunkLengthProblem(bytes);
    if (!chunkProblem.empty()) {
        *error = "cannot read picture '" + path + "': " + chunkProblem;
        return false;
    }

    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) {
        *error = "cannot read picture '" + path + "': " + image.message;
        png_image_free(&image);
        return false;
    }
    if (image.width > MaxSide || image.height > MaxSide || uint64_t(image.width) * image.height > MaxPixels) {
        *error = "picture '" + path + "' is " + std::to_string(image.width) + " x " + std::to_string(image.height) +
                 " pixels, more than " + std::to_string(MaxSide) + " on a side or " + std::to_string(MaxPixels) +
                 " in all";
        png_image_free(&image);
        return false;
    }
    image.format = MemoryFormat;
    std::vector<MvColor> pixels(static_cast<size_t>(image.width) * image.height);
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) {
        *error = "cannot read picture '" + path + "': " + image.message;
        png_image_free(&image);
        return false;
    }
    width_ = static_cast<int>(image.width);
    height_ = static_cast<int>(image.height);
    pixels_.swap(pixels);
    return true;
}

bool MvPngImage::Save(const std::string& path, std::string* error) const
{
    MvAssert(error != nullptr);
    MvAssert(width_ > 0 && height_ > 0);
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width_);
    image.height = static_cast<png_uint_32>(height_);
    image.format = MemoryFormat;
    if (!png_image_write_to_file(&image, path.c_str(), 0, pixels_.data(), 0, nullptr)) {
        *error = "cannot write picture '" + path + "': " + image.message;
        png_image_free(&image);
        return false;
    }
    return true;
}

bool MvPngImage::SaveSurface(SDL_Surface* surface, const std::string& path, std::string* error)
{
    MvAssert(surface != nullptr && error != nullptr);
    MvAssert(surface->format->BytesPerPixel >= 2 && surface->format->BytesPerPixel <= 4);
    const bool mustLock = MvDisplay::MustLock(surface);
    if (mustLock && SDL_LockSurface(surface) != 0) {
        *error = "cannot write picture '" + path + "': the surface cannot be read: " + SDL_GetError();
        return false;
    }
    std::string message;
    bool written = false;
    if (FILE* file = std::fopen(path.c_str(), "wb")) {
        std::vector<png_byte> row(static_cast<size_t>(surface->w) * 3);
        written = WriteRgbPng(file, surface, row.data(), &message);
        if (std::fclose(file) != 0 && written) {
            message = std::strerror(errno);
            written = false;
        }
    } else {
        message = std::strerror(errno);
    }
    if (mustLock)
        SDL_UnlockSurface(surface);
    if (!written)
        *error = "cannot write picture '" + path + "': " + message;
    return written;
}
