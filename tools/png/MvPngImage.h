#ifndef MV_PNG_IMAGE_H
#define MV_PNG_IMAGE_H

#include "MvAssert.h"
#include "MvColor.h"

#include <string>
#include <vector>

// A true-colour picture with alpha in the engine's pixel layout (MvColor rows without
// padding), read from and written to PNG files through libpng. The resource encoder cuts
// frames out of such pictures and the inspector writes its contact sheet as one. Any PNG
// libpng reads (palette, grey, 16-bit, with or without transparency) becomes 8-bit
// blue, green, red, alpha; fully transparent pixels have alpha 0.
class MvPngImage {
public:
    // An empty picture, 0 x 0.
    MvPngImage();

    // A width x height picture, every pixel transparent black. Asserts width and height
    // are not negative.
    MvPngImage(int width, int height);

    // Reads the PNG file at path, replacing the picture. Returns false and sets error
    // (naming the file and what is wrong) when it cannot be read; the picture is then empty.
    bool Load(const std::string& path, std::string* error);

    // Writes the picture as a PNG file with alpha. Returns false and sets error (naming the
    // file) when it cannot be written. Asserts the picture is not empty.
    bool Save(const std::string& path, std::string* error) const;

    int Width() const;
    int Height() const;
    // The pixel rows, top to bottom; null for an empty picture.
    MvColor* Pixels();
    const MvColor* Pixels() const;
    // Pixel (x, y). Asserts it lies inside the picture.
    MvColor& At(int x, int y);
    const MvColor& At(int x, int y) const;

private:
    int width_;
    int height_;
    std::vector<MvColor> pixels_;
};

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
