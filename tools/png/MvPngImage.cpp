#include "MvPngImage.h"

#include <png.h>

#include <cerrno>
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
