#include "MvIntRect.h"
#include "MvTransform.h"

#include <gtest/gtest.h>

namespace {

TEST(MvIntRect, EdgesAreInclusive)
{
    MvIntRect a = MvMakeRect(0, 0, 9, 9);
    EXPECT_EQ(a.Width(), 10);
    EXPECT_EQ(a.Height(), 10);
    EXPECT_TRUE(a.Contains(9, 9));
    EXPECT_TRUE(a.Contains(0, 0));
    EXPECT_FALSE(a.Contains(10, 9));
    EXPECT_FALSE(a.Contains(-1, 0));
}

TEST(MvIntRect, OverlapTable)
{
    struct Case {
        MvIntRect a, b;
        bool overlaps;
    } cases[] = {
        {MvMakeRect(0, 0, 9, 9), MvMakeRect(10, 0, 19, 9), false},
        {MvMakeRect(0, 0, 9, 9), MvMakeRect(9, 0, 19, 9), true},
        {MvMakeRect(0, 0, 9, 9), MvMakeRect(0, 9, 9, 19), true},
        {MvMakeRect(0, 0, 9, 9), MvMakeRect(0, 10, 9, 19), false},
        {MvMakeRect(0, 0, 9, 9), MvMakeRect(2, 2, 3, 3), true},
        {MvMakeRect(0, 0, 9, 9), MvMakeRect(-5, -5, -1, -1), false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.a.Overlaps(c.b), c.overlaps) << c.b.left << "," << c.b.top;
        EXPECT_EQ(c.b.Overlaps(c.a), c.overlaps) << "symmetric";
    }
}

TEST(MvIntRect, EmptyRectangle)
{
    MvIntRect r = MvMakeRect(3, 4, 5, 6);
    r.SetEmpty();
    EXPECT_EQ(r, MvMakeRect(-1, -1, -2, -2));
    EXPECT_FALSE(r.IsValid());
    EXPECT_EQ(r.Width(), 0);
    EXPECT_EQ(r.Height(), 0);
    EXPECT_TRUE(MvMakeRect(5, 5, 5, 5).IsValid());
    EXPECT_FALSE(MvMakeRect(5, 5, 4, 5).IsValid());
}

TEST(MvIntRect, ClipMergeEnclose)
{
    MvIntRect r = MvMakeRect(0, 0, 9, 9);
    r.ClipTo(MvMakeRect(5, -3, 20, 4));
    EXPECT_EQ(r, MvMakeRect(5, 0, 9, 4));

    MvIntRect apart = MvMakeRect(0, 0, 9, 9);
    apart.ClipTo(MvMakeRect(20, 20, 29, 29));
    EXPECT_FALSE(apart.IsValid());

    MvIntRect m = MvMakeRect(0, 0, 9, 9);
    m.Merge(MvMakeRect(5, -3, 20, 4));
    EXPECT_EQ(m, MvMakeRect(0, -3, 20, 9));

    EXPECT_TRUE(m.Encloses(MvMakeRect(0, -3, 20, 9)));
    EXPECT_TRUE(m.Encloses(MvMakeRect(1, 1, 2, 2)));
    EXPECT_FALSE(m.Encloses(MvMakeRect(1, 1, 21, 2)));
}

TEST(MvIntRect, ScaleAndTransformTruncateTowardMinusInfinity)
{
    MvIntRect r = MvMakeRect(-3, 1, 3, 5);
    r.ScaleBy(MvFixed::FromDouble(0.5), MvFixed::FromInt(2));
    EXPECT_EQ(r, MvMakeRect(-2, 2, 1, 10));

    MvTransform t = MvTransform::Identity();
    t.x = MvFixed::FromDouble(10.75);
    t.y = MvFixed::FromDouble(-0.25);
    t.xScale = MvFixed::FromInt(2);
    MvIntRect s = MvMakeRect(0, 0, 9, 9);
    s.Transform(t);
    EXPECT_EQ(s, MvMakeRect(10, -1, 28, 8));
}

} // namespace
