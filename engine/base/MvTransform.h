#ifndef MV_TRANSFORM_H
#define MV_TRANSFORM_H

#include "MvFixed.h"
#include "MvIntRect.h"

/// A placement: the position of a node's origin and its horizontal and vertical scale,
/// all in 16.16 fixed point. A node keeps its own transform; combining it with the
/// parent's composite transform gives the node's composite (screen) transform. Scale
/// factors held by nodes are always greater than 0. The neutral transform is
/// (0, 0, 1.0, 1.0).
class MvTransform {
public:
    /// The position of the origin.
    ///@{
    MvFixed x;
    MvFixed y;
    ///@}
    /// The horizontal and vertical scale factors.
    ///@{
    MvFixed xScale;
    MvFixed yScale;
    ///@}

    /// The neutral transform (0, 0, 1.0, 1.0).
    static MvTransform Identity();
    /// At the origin (0, 0) with the given scales.
    static MvTransform Scaled(MvFixed xScale, MvFixed yScale);

    /// True when either scale is not exactly 1.0.
    bool HasScale() const;

    /// Turns this (own) transform into the composite under parent: with an unscaled parent
    /// the positions add; otherwise position = parent position + parent scale * position
    /// and scale = parent scale * scale.
    void Combine(const MvTransform& parent);

    /// Compare the positions and the scales.
    ///@{
    bool operator==(const MvTransform& o) const;
    bool operator!=(const MvTransform& o) const;
    ///@}
};

inline MvTransform MvTransform::Identity()
{
    return Scaled(MvFixed::FromRaw(MvFixedOne), MvFixed::FromRaw(MvFixedOne));
}

inline MvTransform MvTransform::Scaled(MvFixed xScale, MvFixed yScale)
{
    MvTransform t;
    t.x = MvFixed::FromInt(0);
    t.y = MvFixed::FromInt(0);
    t.xScale = xScale;
    t.yScale = yScale;
    return t;
}

inline bool MvTransform::HasScale() const
{
    return xScale.Raw() != MvFixedOne || yScale.Raw() != MvFixedOne;
}

inline void MvTransform::Combine(const MvTransform& parent)
{
    if (!parent.HasScale()) {
        x += parent.x;
        y += parent.y;
        return;
    }
    x = parent.x + parent.xScale * x;
    y = parent.y + parent.yScale * y;
    xScale = parent.xScale * xScale;
    yScale = parent.yScale * yScale;
}

inline bool MvTransform::operator==(const MvTransform& o) const
{
    return x == o.x && y == o.y && xScale == o.xScale && yScale == o.yScale;
}

inline bool MvTransform::operator!=(const MvTransform& o) const { return !(*this == o); }

inline void MvIntRect::Transform(const MvTransform& t)
{
    ScaleBy(t.xScale, t.yScale);
    int32_t dx = t.x.ToInt();
    int32_t dy = t.y.ToInt();
    left += dx;
    right += dx;
    top += dy;
    bottom += dy;
}

#endif
