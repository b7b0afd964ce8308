#ifndef MV_PNG_IMAGE_H
#define MV_PNG_IMAGE_H

#include "MvAssert.h"
#include "MvColor.h"

#include <SDL.h>

#include <string>
#include <vector>

/// A true-colour picture with alpha in the engine's pixel layout (MvColor rows without
/// padding), read from and written to PNG files, and the writer of screens as PNG files.
/// Any PNG the reader takes (palette, grey, 16-bit, with or without transparency) becomes
/// 8-bit blue, green, red, alpha; fully transparent pixels have alpha 0. The desktop build
/// reads and writes through libpng; the browser build, which has no files to keep, refuses
/// every read and write with a message.
class MvPngImage {
public:
    /// An empty picture, 0 x 0.
    MvPngImage();

    /// A width x height picture, every pixel transparent black. Asserts width and height
    /// are not negative.
    MvPngImage(int width, int height);

    /// Reads the PNG file at path, replacing the picture. Returns false and sets *error
    /// (naming the file and what is wrong) when it cannot be read; the picture is then
    /// empty. Asserts error is not null.
    bool Load(const std::string& path, std::string* error);

    /// Writes the picture as a PNG file with alpha. Returns false and sets *error (naming
    /// the file and why) when it cannot be written. Asserts the picture is not empty and
    /// error is not null.
    bool Save(const std::string& path, std::string* error) const;

    /// Writes the colour channels of surface as an 8-bit RGB PNG file, fast rather than
    /// small (rows unfiltered, light compression), locking the surface while it reads it.
    /// Channels narrower than 8 bits are widened as SDL_GetRGB widens them. Returns false
    /// and sets *error (naming the file and why) when it cannot be written. Asserts surface
    /// and error are not null and the surface has 2, 3 or 4 bytes a pixel.
    static bool SaveSurface(SDL_Surface* surface, const std::string& path, std::string* error);

    /// The size in pixels (0 for an empty picture).
    ///@{
    int Width() const;
    int Height() const;
    ///@}
    /// The pixel rows, top to bottom; null for an empty picture.
    ///@{
    MvColor* Pixels();
    const MvColor* Pixels() const;
    ///@}
    /// Pixel (x, y). Asserts it lies inside the picture.
    ///@{
    MvColor& At(int x, int y);
    const MvColor& At(int x, int y) const;
    ///@}

private:
    int width_;
    int height_;
    std::vector<MvColor> pixels_;
};

inline MvPngImage::MvPngImage() : width_(0), height_(0) { }

inline MvPngImage::MvPngImage(int width, int height) : width_(width), height_(height)
{
    MvAssert(width >= 0 && height >= 0);
    MvColor clear;
    clear.Set(0, 0, 0, 0);
    pixels_.assign(static_cast<size_t>(width) * height, clear);
}

inline int MvPngImage::Width() const { return width_; }
inline int MvPngImage::Height() const { return height_; }
inline MvColor* MvPngImage::Pixels() { return pixels_.empty() ? nullptr : pixels_.data(); }
inline const MvColor* MvPngImage::Pixels() const { return pixels_.empty() ? nullptr : pixels_.data(); }

inline MvColor& MvPngImage::At(int x, int y)
{
    MvAssert(x >= 0 && x < width_ && y >= 0 && y < height_);
    return pixels_[static_cast<size_t>(y) * width_ + x];
}

inline const MvColor& MvPngImage::At(int x, int y) const
{
    MvAssert(x >= 0 && x < width_ && y >= 0 && y < height_);
    return pixels_[static_cast<size_t>(y) * width_ + x];
}

#endif
