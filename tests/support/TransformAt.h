#ifndef TRANSFORM_AT_H
#define TRANSFORM_AT_H

#include "MvFixed.h"
#include "MvTransform.h"

#include <cmath>
#include <cstdint>

// The transform that places a picture with its hot spot at (x, y), scaled by xScale and
// yScale. Each value becomes the nearest 16.16 fixed-point number, so whole numbers
// (negative ones too) are exact.
inline MvTransform At(double x, double y, double xScale = 1.0, double yScale = 1.0)
{
    const auto fixed = [](double d) { return MvFixed::FromRaw(static_cast<int32_t>(std::lround(d * 65536.0))); };
    MvTransform t;
    t.x = fixed(x);
    t.y = fixed(y);
    t.xScale = fixed(xScale);
    t.yScale = fixed(yScale);
    return t;
}

// As above, with scales given as fixed-point numbers.
inline MvTransform At(double x, double y, MvFixed xScale, MvFixed yScale)
{
    MvTransform t = At(x, y);
    t.xScale = xScale;
    t.yScale = yScale;
    return t;
}

#endif
