#include "Screenshot.h"

#include <png.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

Screenshot::Screenshot(int width, int height, int redBits, int greenBits, int blueBits)
    : width_(width), height_(height), bits_{redBits, greenBits, blueBits},
      pixels_(static_cast<size_t>(width) * static_cast<size_t>(height), 0)
{
}

uint32_t Screenshot::At(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        return 0;
    return pixels_[static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)];
}

void Screenshot::Set(int x, int y, uint32_t rgb)
{
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        return;
    pixels_[static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)] = rgb & 0xFFFFFF;
}

Screenshot Screenshot::Part(int left, int top, int width, int height) const
{
    Screenshot part(width, height, bits_[0], bits_[1], bits_[2]);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            part.Set(x, y, At(left + x, top + y));
    }
    return part;
}

bool Screenshot::SameColor(uint32_t a, uint32_t b) const
{
    for (int channel = 0; channel < 3; ++channel) {
        const int shift = 16 - 8 * channel;
        const uint32_t drop = static_cast<uint32_t>(8 - bits_[channel]);
        if ((((a >> shift) & 0xFF) >> drop) != (((b >> shift) & 0xFF) >> drop))
            return false;
    }
    return true;
}

// libpng's simplified writer takes the whole picture as bytes and reports its errors as
// return values, so no longjmp crosses this function's frame.
bool Screenshot::SavePng(const std::string& path, std::string* error) const
{
    std::vector<png_byte> bytes(pixels_.size() * 3);
    for (size_t i = 0; i < pixels_.size(); ++i) {
        bytes[i * 3 + 0] = static_cast<png_byte>(pixels_[i] >> 16);
        bytes[i * 3 + 1] = static_cast<png_byte>(pixels_[i] >> 8);
        bytes[i * 3 + 2] = static_cast<png_byte>(pixels_[i]);
    }
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        *error = "cannot write " + path + ": " + std::strerror(errno);
        return false;
    }
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width_);
    image.height = static_cast<png_uint_32>(height_);
    image.format = PNG_FORMAT_RGB;
    const bool written = png_image_write_to_stdio(&image, file, 0, bytes.data(), 0, nullptr) != 0;
    if (!written) {
        std::fclose(file);
        *error = "libpng failed to write " + path + ": " + image.message;
        return false;
    }
    if (std::fclose(file) != 0) {
        *error = "cannot finish " + path + ": " + std::strerror(errno);
        return false;
    }
    return true;
}
