#include "MvColorXform.h"
#include "MvFailedCheck.h"
#include "PaletteColors.h"

#include <gtest/gtest.h>

namespace {

void ExpectFlags(const MvColorXform& x, bool identity, bool hasAlpha, bool hasColor, const char* what)
{
    EXPECT_EQ(x.IsIdentity(), identity) << what;
    EXPECT_EQ(x.HasAlpha(), hasAlpha) << what;
    EXPECT_EQ(x.HasColor(), hasColor) << what;
}

TEST(MvColorXform, DefaultIsTheIdentity)
{
    MvColorXform x;
    ExpectFlags(x, true, false, false, "default");
    EXPECT_EQ(x.mul, Rgba(255, 255, 255, 0));
    EXPECT_EQ(x.add, Rgba(0, 0, 0, 255));
    EXPECT_EQ(x.Alpha(), 255);
}

TEST(MvColorXform, FlagsFollowEveryChange)
{
    MvColorXform alphaOnly;
    alphaOnly.SetAlpha(128);
    ExpectFlags(alphaOnly, false, true, false, "alpha only");

    MvColorXform colorOnly;
    colorOnly.Set(128, 64, 255, 0, 255, 0, 255);
    ExpectFlags(colorOnly, false, false, true, "colour only");

    MvColorXform offsetOnly;
    offsetOnly.Set(255, 0, 255, 0, 254, 1, 255);
    ExpectFlags(offsetOnly, false, false, true, "offset only");

    MvColorXform both;
    both.Set(128, 0, 255, 0, 255, 0, 10);
    ExpectFlags(both, false, true, true, "colour and alpha");

    both.Set(255, 0, 255, 0, 255, 0, 255);
    ExpectFlags(both, true, false, false, "back to identity");
    EXPECT_EQ(both, MvColorXform());
}

TEST(MvColorXform, SetArgumentOrderIsMulAddPerChannel)
{
    MvColorXform x;
    x.Set(1, 2, 3, 4, 5, 6, 7);
    EXPECT_EQ(x.mul, Rgba(1, 3, 5, 0));
    EXPECT_EQ(x.add, Rgba(2, 4, 6, 7));
}

TEST(MvColorXform, ApplyShiftsByEightSoIdentityDarkensFullChannels)
{
    MvColorXform identity;
    EXPECT_EQ(identity.Apply(Rgba(255, 0, 128, 77)), Rgba(254, 0, 127, 77));

    MvColorXform x;
    x.Set(128, 64, 0, 200, 255, 0, 255);
    EXPECT_EQ(x.Apply(Rgba(255, 255, 255, 9)), Rgba(191, 200, 254, 9));
}

TEST(MvColorXform, BrightenAndDarken)
{
    MvColorXform b;
    b.SetAlpha(100);
    b.Brighten(0);
    EXPECT_EQ(b.mul, Rgba(255, 255, 255, 0));
    EXPECT_EQ(b.add, Rgba(0, 0, 0, 100));
    b.Brighten(40);
    EXPECT_EQ(b.mul, Rgba(215, 215, 215, 0));
    EXPECT_EQ(b.add, Rgba(40, 40, 40, 100));

    MvColorXform d;
    d.Darken(0);
    EXPECT_TRUE(d.IsIdentity());
    d.SetAlpha(30);
    d.Darken(255);
    EXPECT_EQ(d.mul, Rgba(0, 0, 0, 0));
    EXPECT_EQ(d.add, Rgba(0, 0, 0, 30));
    ExpectFlags(d, false, true, true, "darkened to black");
}

TEST(MvColorXform, CombineAppliesParentThenOwn)
{
    MvColorXform a, b;
    a.Combine(b);
    EXPECT_TRUE(a.IsIdentity()) << "identity under identity";

    MvColorXform half, parentHalf;
    half.SetAlpha(128);
    parentHalf.SetAlpha(128);
    half.Combine(parentHalf);
    EXPECT_EQ(half.Alpha(), 64);
    ExpectFlags(half, false, true, false, "alpha under alpha");

    MvColorXform own, parent;
    own.Set(128, 10, 255, 0, 200, 20, 255);
    parent.Set(128, 100, 128, 50, 100, 0, 200);
    own.Combine(parent);
    // mul = own * parent / 255; add = own add + own mul * parent add / 255.
    EXPECT_EQ(own.mul, Rgba(64, 128, 78, 0));
    EXPECT_EQ(own.add, Rgba(10 + 128 * 100 / 255, 50, 20, 200));
}

TEST(MvColorXform, CombineOfValidTransformsStaysValid)
{
    // Rounding in the combination can push the brightest value of a channel past 255;
    // the offset is held back instead of wrapping or failing the invariant.
    MvColorXform own, parent;
    own.Set(255, 1, 255, 1, 255, 1, 255);
    parent.Set(128, 128, 128, 128, 128, 128, 255);
    own.Combine(parent);
    EXPECT_EQ(own.mul.red, 128);
    EXPECT_EQ(own.add.red, 128);
    MvColor brightest = own.Apply(Rgba(255, 255, 255, 255));
    EXPECT_EQ(brightest.red, 255);

    // Every pair of extreme valid transforms combines without tripping the invariant.
    const int muls[] = {0, 1, 128, 200, 255};
    for (int m1 : muls)
        for (int m2 : muls) {
            int a1 = m1 == 0 ? 255 : 256 - m1 > 255 ? 255 : 256 - m1;
            int a2 = m2 == 0 ? 255 : 256 - m2 > 255 ? 255 : 256 - m2;
            MvColorXform x, p;
            x.Set(m1, a1, m1, a1, m1, a1, 255);
            p.Set(m2, a2, m2, a2, m2, a2, 255);
            x.Combine(p);
            EXPECT_LE(((x.mul.red * 255) >> 8) + x.add.red, 255) << m1 << " under " << m2;
        }
}

TEST(MvColorXformDeathTest, BrokenPreconditionsAreCaught)
{
    MvColorXform x;
    x.Set(128, 128, 255, 0, 255, 0, 255); // (128 * 255) >> 8 + 128 = 255: accepted
    EXPECT_EQ(x.add.red, 128);
    MvColorXform bad;
    bad.mul.alpha = 1;
    const MvDeathCase cases[] = {
        {"red that passes 255", [&] { x.Set(129, 128, 255, 0, 255, 0, 255); },
         "BrightestScaled(mul.red) + add.red <= 255"},
        {"a multiplier past 255", [&] { x.Set(256, 0, 255, 0, 255, 0, 255); }, "IsByte(redMul) && IsByte(redAdd)"},
        {"a negative offset", [&] { x.Set(255, -1, 255, 0, 255, 0, 255); }, "IsByte(redMul) && IsByte(redAdd)"},
        {"an alpha past 255", [&] { x.SetAlpha(300); }, "IsByte(alpha)"},
        {"a negative brightening", [&] { x.Brighten(-1); }, "IsByte(amount)"},
        {"an alpha multiplier", [&] { bad.UpdateFlags(); }, "mul.alpha == 0"},
    };
    for (const MvDeathCase& c : cases)
        EXPECT_DEATH(c.call(), MvFailedCheck(c.condition)) << c.what;
}

} // namespace
