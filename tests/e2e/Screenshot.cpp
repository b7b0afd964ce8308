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

namespace {

// Writes the rows through libpng. Nothing here owns memory or has a destructor, so
// libpng's longjmp on an error skips no clean-up; the caller owns the file and the row.
bool WritePngRows(FILE* file, const Screenshot& picture, png_byte* row)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(picture.Width()), static_cast<png_uint_32>(picture.Height()),
                 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < picture.Height(); ++y) {
        for (int x = 0; x < picture.Width(); ++x) {
            const uint32_t rgb = picture.At(x, y);
            row[static_cast<size_t>(x) * 3 + 0] = static_cast<png_byte>(rgb >> 16);
            row[static_cast<size_t>(x) * 3 + 1] = static_cast<png_byte>(rgb >> 8);
            row[static_cast<size_t>(x) * 3 + 2] = static_cast<png_byte>(rgb);
        }
        png_write_row(png, row);
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

} // namespace

bool Screenshot::SavePng(const std::string& path, std::string* error) const
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        *error = "cannot write " + path + ": " + std::strerror(errno);
        return false;
    }
    std::vector<png_byte> row(static_cast<size_t>(width_) * 3 + 1);
    if (!WritePngRows(file, *this, row.data())) {
        std::fclose(file);
        *error = "libpng failed to write " + path;
        return false;
    }
    if (std::fclose(file) != 0) {
        *error = "cannot finish " + path + ": " + std::strerror(errno);
        return false;
    }
    return true;
}
