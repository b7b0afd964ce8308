#ifndef MV_INT_RECT_H
#define MV_INT_RECT_H

#include "MvFixed.h"

#include <cstdint>

class MvTransform;

/// @file
/// The integer rectangle MvIntRect, with all four edges inclusive, and MvMakeRect to make one.

/// An integer rectangle with all four edges inclusive: (0, 0, 9, 9) covers 10 x 10
/// pixels. All screen geometry of the engine (windows, node bounds, dirty and clip
/// rectangles) is kept in these. A rectangle is valid when left <= right and
/// top <= bottom; the canonical empty rectangle is (-1, -1, -2, -2). Operations do not
/// test validity: callers test it where it matters.
struct MvIntRect {
    /// The edges, each inclusive.
    ///@{
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
    ///@}

    /// Sets the four edges.
    void Set(int32_t l, int32_t t, int32_t r, int32_t b);
    /// Becomes (-1, -1, -2, -2).
    void SetEmpty();
    /// True when left <= right and top <= bottom.
    bool IsValid() const;

    /// right - left + 1 and bottom - top + 1; 0 for the empty rectangle.
    ///@{
    int32_t Width() const;
    int32_t Height() const;
    ///@}

    /// True unless the two are apart; rectangles sharing a row or column overlap.
    bool Overlaps(const MvIntRect& other) const;
    /// True when pixel (x, y) lies inside the rectangle, edges included.
    bool Contains(int32_t x, int32_t y) const;
    /// True when other lies wholly inside this rectangle.
    bool Encloses(const MvIntRect& other) const;
    /// Intersection; invalid when the two did not overlap.
    void ClipTo(const MvIntRect& other);
    /// Bounding box of both; both must be valid.
    void Merge(const MvIntRect& other);

    /// Each x edge becomes (xScale * edge).ToInt(), each y edge likewise.
    void ScaleBy(MvFixed xScale, MvFixed yScale);
    /// ScaleBy the transform's scales, then move by its position's integer parts
    /// (defined with MvTransform, in MvTransform.h).
    void Transform(const MvTransform& t);

    /// Compare all four edges.
    ///@{
    bool operator==(const MvIntRect& o) const;
    bool operator!=(const MvIntRect& o) const;
    ///@}
};

/// A rectangle made from its four edges.
inline MvIntRect MvMakeRect(int32_t l, int32_t t, int32_t r, int32_t b)
{
    MvIntRect rect;
    rect.Set(l, t, r, b);
    return rect;
}

inline void MvIntRect::Set(int32_t l, int32_t t, int32_t r, int32_t b)
{
    left = l;
    top = t;
    right = r;
    bottom = b;
}

inline void MvIntRect::SetEmpty() { Set(-1, -1, -2, -2); }
inline bool MvIntRect::IsValid() const { return left <= right && top <= bottom; }
inline int32_t MvIntRect::Width() const { return right - left + 1; }
inline int32_t MvIntRect::Height() const { return bottom - top + 1; }

inline bool MvIntRect::Overlaps(const MvIntRect& o) const
{
    return !(o.right < left || right < o.left || o.bottom < top || bottom < o.top);
}

inline bool MvIntRect::Contains(int32_t x, int32_t y) const
{
    return left <= x && x <= right && top <= y && y <= bottom;
}

inline bool MvIntRect::Encloses(const MvIntRect& o) const
{
    return o.left >= left && o.right <= right && o.top >= top && o.bottom <= bottom;
}

inline void MvIntRect::ClipTo(const MvIntRect& o)
{
    if (o.left > left) left = o.left;
    if (o.top > top) top = o.top;
    if (o.right < right) right = o.right;
    if (o.bottom < bottom) bottom = o.bottom;
}

inline void MvIntRect::Merge(const MvIntRect& o)
{
    if (o.left < left) left = o.left;
    if (o.top < top) top = o.top;
    if (o.right > right) right = o.right;
    if (o.bottom > bottom) bottom = o.bottom;
}

inline void MvIntRect::ScaleBy(MvFixed xScale, MvFixed yScale)
{
    left = (xScale * MvFixed::FromInt(left)).ToInt();
    right = (xScale * MvFixed::FromInt(right)).ToInt();
    top = (yScale * MvFixed::FromInt(top)).ToInt();
    bottom = (yScale * MvFixed::FromInt(bottom)).ToInt();
}

inline bool MvIntRect::operator==(const MvIntRect& o) const
{
    return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
}

inline bool MvIntRect::operator!=(const MvIntRect& o) const { return !(*this == o); }

#endif
