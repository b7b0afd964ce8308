#ifndef MV_COLOR_XFORM_H
#define MV_COLOR_XFORM_H

#include "MvColor.h"

/// A colour transform: per colour channel a multiplier (255 = unchanged) and an offset
/// (0 = unchanged), plus an alpha (255 = opaque) kept in the offset's alpha byte. A
/// channel c becomes ((c * mul) >> 8) + add. Three flags describe the transform and are
/// kept current by every change, so drawing code picks its blitter by reading booleans
/// instead of looking at channels. Invariant: for every channel the brightest source
/// value stays within a byte, ((mul * 255) >> 8) + add <= 255, and mul's alpha is 0.
class MvColorXform {
public:
    bool identity; ///< multipliers 255, offsets 0 and alpha 255
    bool hasAlpha; ///< the alpha is below 255
    bool hasColor; ///< some multiplier is not 255 or some offset is not 0
    MvColor mul; ///< alpha byte always 0
    MvColor add; ///< alpha byte is the transform's alpha

    /// The identity: multipliers 255, offsets 0, alpha 255.
    MvColorXform();

    /// Sets every channel (each argument 0..255, asserted), then UpdateFlags.
    void Set(int redMul, int redAdd, int greenMul, int greenAdd, int blueMul, int blueAdd, int alpha);
    /// Sets the alpha (0..255, asserted), then UpdateFlags.
    void SetAlpha(int alpha);
    /// The transform's alpha, 0 to 255.
    int Alpha() const;
    /// The flag of that name: identity, hasAlpha or hasColor.
    ///@{
    bool IsIdentity() const;
    bool HasAlpha() const;
    bool HasColor() const;
    ///@}

    /// Multipliers 255 - amount, offsets amount; alpha kept. Asserts 0 <= amount <= 255.
    void Brighten(int amount);
    /// Multipliers 255 - amount, offsets 0; alpha kept. Asserts 0 <= amount <= 255.
    void Darken(int amount);

    /// Turns this (own) transform into the composite under parent's composite: the
    /// parent's transform applied first, then this one's (up to rounding).
    void Combine(const MvColorXform& parent);

    /// Applies the colour part to c; c's alpha is not touched.
    MvColor Apply(MvColor c) const;

    /// Recomputes the three flags from mul and add and asserts the invariant.
    void UpdateFlags();

    /// Compare mul and add only; the flags follow from them.
    ///@{
    bool operator==(const MvColorXform& o) const;
    bool operator!=(const MvColorXform& o) const;
    ///@}
};

inline int MvColorXform::Alpha() const { return add.alpha; }
inline bool MvColorXform::IsIdentity() const { return identity; }
inline bool MvColorXform::HasAlpha() const { return hasAlpha; }
inline bool MvColorXform::HasColor() const { return hasColor; }

inline MvColor MvColorXform::Apply(MvColor c) const
{
    c.red = static_cast<uint8_t>(((c.red * mul.red) >> 8) + add.red);
    c.green = static_cast<uint8_t>(((c.green * mul.green) >> 8) + add.green);
    c.blue = static_cast<uint8_t>(((c.blue * mul.blue) >> 8) + add.blue);
    return c;
}

inline bool MvColorXform::operator==(const MvColorXform& o) const
{
    return mul == o.mul && add == o.add;
}

inline bool MvColorXform::operator!=(const MvColorXform& o) const { return !(*this == o); }

#endif
