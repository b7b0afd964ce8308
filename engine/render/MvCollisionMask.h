#ifndef MV_COLLISION_MASK_H
#define MV_COLLISION_MASK_H

#include "MvAssert.h"
#include "MvFixed.h"
#include "MvIntRect.h"

#include <cstddef>
#include <cstdint>

/// The collision bit map of one image: one bit per pixel, set where the pixel is not
/// transparent, packed 32 columns to a 32-bit word with column 0 in the most significant
/// bit, rows one after another. Two images are compared a whole word of 32 columns per AND
/// over just the rows and words their rectangles share, stopping at the first common
/// pixel. An image makes its map once, on first request, and keeps it, so collision tests
/// allocate nothing after that; the map records the scale of the image it was made from.
class MvCollisionMask {
public:
    /// A map of width x height pixels with every bit clear, made from an image at the given
    /// scale. Asserts width and height are 0 or more.
    MvCollisionMask(int width, int height, MvFixed xScale, MvFixed yScale);
    /// Frees the bits.
    ~MvCollisionMask();

    MvCollisionMask(const MvCollisionMask&) = delete;
    MvCollisionMask& operator=(const MvCollisionMask&) = delete;

    /// Sets the bits of columns first to last (inclusive) of row. Asserts 0 <= row < Rows()
    /// and 0 <= first <= last < 32 * WordsPerRow().
    void SetSpan(int row, int first, int last);

    /// True when the bit of column x in row y is set; false outside the map.
    bool IsSet(int x, int y) const;

    /// The first word of row i. Asserts 0 <= i < Rows().
    const uint32_t* Row(int i) const;

    /// True when this map (the left image, A) and other (the right image, B) have a set bit
    /// in common, B's column 0 lying on A's column dx and B's row 0 on A's row dy, compared
    /// over the rows and columns of overlap (the shared screen rectangle; only its size
    /// counts). Columns that either map does not reach hold no pixels. Asserts other is not
    /// null, dx >= 0, and that every row of overlap lies inside both maps.
    bool Collide(int dx, int dy, const MvIntRect& overlap, const MvCollisionMask* other) const;

    /// (image width + 31) / 32.
    int WordsPerRow() const;
    /// The image height.
    int Rows() const;
    /// The scale of the image the map was made from.
    ///@{
    MvFixed XScale() const;
    MvFixed YScale() const;
    ///@}

private:
    int32_t wordsPerRow_;
    int32_t rows_;
    uint32_t* bits_; ///< wordsPerRow_ * rows_ words, or null when that is 0
    MvFixed xScale_;
    MvFixed yScale_;
};

inline int MvCollisionMask::WordsPerRow() const { return wordsPerRow_; }
inline int MvCollisionMask::Rows() const { return rows_; }
inline MvFixed MvCollisionMask::XScale() const { return xScale_; }
inline MvFixed MvCollisionMask::YScale() const { return yScale_; }

inline const uint32_t* MvCollisionMask::Row(int i) const
{
    MvAssert(i >= 0 && i < rows_);
    return bits_ + static_cast<size_t>(i) * static_cast<size_t>(wordsPerRow_);
}

#endif
