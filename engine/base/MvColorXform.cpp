#include "MvColorXform.h"

#include "MvAssert.h"

namespace {

bool IsByte(int v) { return v >= 0 && v <= 255; }

// The largest value a channel with this multiplier can reach before the offset.
int BrightestScaled(int mul) { return (mul * 255) >> 8; }

} // namespace

MvColorXform::MvColorXform()
{
    mul.Set(255, 255, 255, 0);
    add.Set(0, 0, 0, 255);
    identity = true;
    hasAlpha = false;
    hasColor = false;
}

void MvColorXform::Set(int redMul, int redAdd, int greenMul, int greenAdd, int blueMul, int blueAdd, int alpha)
{
    MvAssert(IsByte(redMul) && IsByte(redAdd));
    MvAssert(IsByte(greenMul) && IsByte(greenAdd));
    MvAssert(IsByte(blueMul) && IsByte(blueAdd));
    MvAssert(IsByte(alpha));
    mul.Set(static_cast<uint8_t>(redMul), static_cast<uint8_t>(greenMul), static_cast<uint8_t>(blueMul), 0);
    add.Set(static_cast<uint8_t>(redAdd), static_cast<uint8_t>(greenAdd), static_cast<uint8_t>(blueAdd),
            static_cast<uint8_t>(alpha));
    UpdateFlags();
}

void MvColorXform::SetAlpha(int alpha)
{
    MvAssert(IsByte(alpha));
    add.alpha = static_cast<uint8_t>(alpha);
    UpdateFlags();
}

void MvColorXform::Brighten(int amount)
{
    MvAssert(IsByte(amount));
    uint8_t m = static_cast<uint8_t>(255 - amount);
    uint8_t a = static_cast<uint8_t>(amount);
    mul.Set(m, m, m, 0);
    add.Set(a, a, a, add.alpha);
    UpdateFlags();
}

void MvColorXform::Darken(int amount)
{
    MvAssert(IsByte(amount));
    uint8_t m = static_cast<uint8_t>(255 - amount);
    mul.Set(m, m, m, 0);
    add.Set(0, 0, 0, add.alpha);
    UpdateFlags();
}

void MvColorXform::Combine(const MvColorXform& parent)
{
    MvAssert(mul.alpha == 0);
    uint8_t* const muls[3] = {&mul.red, &mul.green, &mul.blue};
    uint8_t* const adds[3] = {&add.red, &add.green, &add.blue};
    const uint8_t parentMuls[3] = {parent.mul.red, parent.mul.green, parent.mul.blue};
    const uint8_t parentAdds[3] = {parent.add.red, parent.add.green, parent.add.blue};
    for (int c = 0; c < 3; ++c) {
        int oldMul = *muls[c];
        int newMul = oldMul * parentMuls[c] / 255;
        int newAdd = *adds[c] + oldMul * parentAdds[c] / 255;
        // Two valid transforms can combine, through rounding, into one whose brightest
        // value would pass 255 and wrap to black; the offset is held at the largest
        // value that keeps the brightest source value within a byte.
        int limit = 255 - BrightestScaled(newMul);
        if (newAdd > limit)
            newAdd = limit;
        *muls[c] = static_cast<uint8_t>(newMul);
        *adds[c] = static_cast<uint8_t>(newAdd);
    }
    add.alpha = static_cast<uint8_t>(add.alpha * parent.add.alpha / 255);
    UpdateFlags();
}

void MvColorXform::UpdateFlags()
{
    bool colorUnchanged = mul.red == 255 && mul.green == 255 && mul.blue == 255 && add.red == 0 &&
                          add.green == 0 && add.blue == 0;
    identity = colorUnchanged && add.alpha == 255;
    hasAlpha = add.alpha != 255;
    hasColor = !colorUnchanged;
    MvAssert(BrightestScaled(mul.red) + add.red <= 255);
    MvAssert(BrightestScaled(mul.green) + add.green <= 255);
    MvAssert(BrightestScaled(mul.blue) + add.blue <= 255);
    MvAssert(mul.alpha == 0);
}
