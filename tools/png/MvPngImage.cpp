#include "MvPngImage.h"

#include <png.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

// libpng's simplified API stores PNG_FORMAT_BGRA as the bytes blue, green, red, alpha:
// exactly an MvColor.
const png_uint_32 MemoryFormat = PNG_FORMAT_BGRA;

// Larger pictures are refused rather than allocated: no sprite sheet needs more.
const png_uint_32 MaxSide = 32767;
const uint64_t MaxPixels = uint64_t(1) << 26;

} // namespace

MvPngImage::MvPngImage() : width_(0), height_(0) { }

MvPngImage::MvPngImage(int width, int height) : width_(width), height_(height)
{
    MvAssert(width >= 0 && height >= 0);
    MvColor clear;
    clear.Set(0, 0, 0, 0);
    pixels_.assign(static_cast<size_t>(width) * height, clear);
}

bool MvPngImage::Load(const std::string& path, std::string* error)
{
    MvAssert(error != nullptr);
    width_ = height_ = 0;
    pixels_.clear();
    if (FILE* probe = std::fopen(path.c_str(), "rb"))
        std::fclose(probe);
    else {
        *error = "cannot open picture '" + path + "': " + std::strerror(errno);
        return false;
    }

    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) {
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
