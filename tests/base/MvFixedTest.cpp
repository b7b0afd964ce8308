#include "MvFixed.h"
#include "MvTransform.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

MvFixed Raw(int32_t raw) { return MvFixed::FromRaw(raw); }
MvFixed D(double d) { return MvFixed::FromDouble(d); }

TEST(MvFixed, ConversionsRoundAsDefined)
{
    struct Case {
        const char* what;
        int32_t actual;
        int32_t expected;
    } cases[] = {
        {"FromInt(1)", MvFixed::FromInt(1).Raw(), 0x10000},
        {"FromInt(-3)", MvFixed::FromInt(-3).Raw(), -3 * 65536},
        {"FromInt(32767)", MvFixed::FromInt(32767).Raw(), 32767 * 65536},
        {"FromDouble(1.2)", D(1.2).Raw(), 78643},
        {"FromDouble(-1.5) adds the half before truncating", D(-1.5).Raw(), -98303},
        {"FromDouble(0.5)", D(0.5).Raw(), 0x8000},
        {"ToInt(-0.5) rounds toward minus infinity", Raw(-32768).ToInt(), -1},
        {"ToInt(2.99)", D(2.99).ToInt(), 2},
        {"ToInt(-2.0)", MvFixed::FromInt(-2).ToInt(), -2},
        {"RoundToInt(2.97) is within 1/32 of 3", D(2.97).RoundToInt(), 3},
        {"RoundToInt(2.96)", D(2.96).RoundToInt(), 2},
        {"RoundToInt(2.5) does not round half up", D(2.5).RoundToInt(), 2},
        {"RoundToInt one raw step below 1/32 of 3", Raw(3 * 65536 - 0x800 - 1).RoundToInt(), 2},
        {"RoundToInt exactly 1/32 below 3", Raw(3 * 65536 - 0x800).RoundToInt(), 3},
        {"RoundToInt of -0.01 lies within 1/32 below 0", Raw(-655).RoundToInt(), 0},
        {"RoundToInt of -0.1", Raw(-6554).RoundToInt(), -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.actual, c.expected) << c.what;
    EXPECT_DOUBLE_EQ(Raw(0x18000).ToDouble(), 1.5);
}

TEST(MvFixed, ArithmeticUsesWideIntermediates)
{
    struct Case {
        const char* what;
        MvFixed actual;
        int32_t expected;
    } cases[] = {
        {"1.0 / 3.0", MvFixed::FromInt(1) / MvFixed::FromInt(3), 21845},
        {"1.5 * 2.0", D(1.5) * MvFixed::FromInt(2), 3 * 65536},
        {"100.0 * 200.0 keeps the high bits", MvFixed::FromInt(100) * MvFixed::FromInt(200), 20000 * 65536},
        {"300.0 / 2.0", MvFixed::FromInt(300) / MvFixed::FromInt(2), 150 * 65536},
        {"-1.0 / 3.0 truncates toward zero", MvFixed::FromInt(-1) / MvFixed::FromInt(3), -21845},
        {"-0.5 * 0.5 shifts arithmetically", D(-0.5) * D(0.5), -16384},
        {"raw -1 * raw 1 rounds toward minus infinity", Raw(-1) * Raw(1), -1},
        {"times a plain integer", D(1.25) * 4, 5 * 65536},
        {"addition", D(1.25) + D(2.5), D(3.75).Raw()},
        {"subtraction", D(1.25) - D(2.5), -81920},
        {"negation", -D(1.25), -81920},
        {"addition wraps", Raw(INT32_MAX) + Raw(1), INT32_MIN},
        {"subtraction wraps", Raw(INT32_MIN) - Raw(1), INT32_MAX},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.actual.Raw(), c.expected) << c.what;
}

TEST(MvFixed, ComparisonsWithFixedAndPlainIntegers)
{
    MvFixed a = D(1.5);
    EXPECT_TRUE(a > 1);
    EXPECT_TRUE(a < 2);
    EXPECT_TRUE(a >= D(1.5));
    EXPECT_TRUE(a <= D(1.5));
    EXPECT_TRUE(a != 1);
    EXPECT_TRUE(MvFixed::FromInt(7) == 7);
    EXPECT_FALSE(D(-0.5) > 0);
    EXPECT_TRUE(D(-0.5) < D(0.25));
}

TEST(MvFixed, CompoundAssignment)
{
    MvFixed a = MvFixed::FromInt(3);
    a += D(0.5);
    a -= MvFixed::FromInt(1);
    a *= MvFixed::FromInt(2);
    a /= MvFixed::FromInt(5);
    EXPECT_EQ(a.Raw(), MvFixed::FromInt(1).Raw());
}

TEST(MvFixedDeathTest, DivisionByZeroIsABrokenPrecondition)
{
    EXPECT_DEATH(MvFixed::FromInt(1) / MvFixed::FromInt(0), "o.raw_ != 0");
}

MvTransform Make(double x, double y, double xs, double ys)
{
    MvTransform t;
    t.x = Raw(static_cast<int32_t>(x * 65536));
    t.y = Raw(static_cast<int32_t>(y * 65536));
    t.xScale = Raw(static_cast<int32_t>(xs * 65536));
    t.yScale = Raw(static_cast<int32_t>(ys * 65536));
    return t;
}

TEST(MvTransform, CombineUnderUnscaledParentAddsPositions)
{
    MvTransform own = Make(10, 20, 2.0, 1.0);
    own.Combine(Make(5, -7, 1.0, 1.0));
    EXPECT_EQ(own, Make(15, 13, 2.0, 1.0));
}

TEST(MvTransform, CombineUnderScaledParentScalesPositionAndScale)
{
    MvTransform own = Make(10, 20, 1.5, 1.0);
    own.Combine(Make(100, 200, 2.0, 0.5));
    EXPECT_EQ(own, Make(120, 210, 3.0, 0.5));
}

TEST(MvTransform, HasScaleOnlyWhenAScaleIsNotExactlyOne)
{
    EXPECT_FALSE(MvTransform::Identity().HasScale());
    EXPECT_TRUE(Make(0, 0, 1.0, 2.0).HasScale());
    MvTransform almost = MvTransform::Identity();
    almost.xScale = Raw(MvFixedOne + 1);
    EXPECT_TRUE(almost.HasScale());
    EXPECT_NE(almost, MvTransform::Identity());
}

} // namespace
