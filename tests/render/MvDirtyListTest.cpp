#include "MvDebugOutput.h"
#include "MvDirtyList.h"
#include "MvFailedCheck.h"

#include "MvLogCapture.h"
#include "RectHelpers.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <random>
#include <string>
#include <vector>

namespace {

const MvIntRect kWindow800 = R(0, 0, 799, 599);

// Checks the invariants every list keeps after any add: entries valid, inside the clip
// rectangle, carrying the mask of their rectangle, and pairwise apart.
void ExpectConsistent(const MvDirtyList& list, const std::string& context)
{
    for (int i = 0; i < list.Count(); ++i) {
        const MvIntRect& a = list.At(i);
        ASSERT_TRUE(a.IsValid()) << context << ": entry " << i;
        ASSERT_TRUE(list.ClipRect().Encloses(a)) << context << ": entry " << i;
        ASSERT_EQ(list.MaskAt(i), list.BlockMask(a)) << context << ": entry " << i;
        for (int j = i + 1; j < list.Count(); ++j)
            ASSERT_FALSE(a.Overlaps(list.At(j))) << context << ": entries " << i << " and " << j;
    }
}

bool Covered(const MvDirtyList& list, int x, int y)
{
    for (int i = 0; i < list.Count(); ++i)
        if (list.At(i).Contains(x, y))
            return true;
    return false;
}


TEST(MvDirtyList, AddingRectanglesCutsMergesOrDropsThem)
{
    struct Case {
        const char* what;
        std::vector<MvIntRect> added;
        std::vector<MvIntRect> expected;
    } cases[] = {
        {"one rectangle is kept as it is", {R(3, 4, 20, 30)}, {R(3, 4, 20, 30)}},
        {"the same rectangle twice leaves one entry", {R(10, 10, 19, 19), R(10, 10, 19, 19)}, {R(10, 10, 19, 19)}},
        {"a covered rectangle is dropped", {R(0, 0, 19, 19), R(5, 5, 9, 9)}, {R(0, 0, 19, 19)}},
        {"a rectangle enclosing an entry absorbs it", {R(5, 5, 9, 9), R(0, 0, 19, 19)}, {R(0, 0, 19, 19)}},
        {"same top and bottom merge", {R(0, 0, 9, 9), R(5, 0, 14, 9)}, {R(0, 0, 14, 9)}},
        {"same left and right merge", {R(0, 0, 9, 9), R(0, 5, 9, 14)}, {R(0, 0, 9, 14)}},
        {"neighbours that only touch stay apart", {R(0, 0, 9, 9), R(10, 0, 19, 9)}, {R(0, 0, 9, 9), R(10, 0, 19, 9)}},
        {"code 10 (right, bottom) merges", {R(0, 0, 9, 9), R(5, 5, 14, 14)}, {R(0, 0, 14, 14)}},
        {"code 5 (left, top) merges", {R(5, 5, 14, 14), R(0, 0, 9, 9)}, {R(0, 0, 14, 14)}},
        {"code 3 (left, right) merges to the bounding box", {R(10, 0, 19, 29), R(0, 10, 29, 19)}, {R(0, 0, 29, 29)}},
        {"code 12 (top, bottom) merges to the bounding box", {R(0, 10, 29, 19), R(10, 0, 19, 29)}, {R(0, 0, 29, 29)}},
        {"code 1 keeps the new part left of the entry", {R(10, 0, 29, 19), R(0, 5, 19, 14)},
         {R(10, 0, 29, 19), R(0, 5, 9, 14)}},
        {"code 2 keeps the new part right of the entry", {R(10, 0, 29, 19), R(20, 5, 39, 14)},
         {R(10, 0, 29, 19), R(30, 5, 39, 14)}},
        {"code 4 keeps the new part above the entry", {R(0, 10, 19, 29), R(5, 0, 14, 19)},
         {R(0, 10, 19, 29), R(5, 0, 14, 9)}},
        {"code 8 keeps the new part below the entry", {R(0, 0, 29, 9), R(10, 5, 19, 19)},
         {R(0, 0, 29, 9), R(10, 10, 19, 19)}},
        {"code 7 cuts the entry below the new one", {R(5, 5, 14, 14), R(0, 0, 19, 9)},
         {R(5, 10, 14, 14), R(0, 0, 19, 9)}},
        {"code 11 cuts the entry above the new one", {R(5, 5, 14, 14), R(0, 10, 19, 19)},
         {R(5, 5, 14, 9), R(0, 10, 19, 19)}},
        {"code 13 cuts the entry right of the new one", {R(5, 5, 14, 14), R(0, 0, 9, 19)},
         {R(10, 5, 14, 14), R(0, 0, 9, 19)}},
        {"code 14 cuts the entry left of the new one", {R(5, 5, 14, 14), R(10, 0, 19, 19)},
         {R(5, 5, 9, 14), R(10, 0, 19, 19)}},
        {"a merge restarts the walk and absorbs an entry passed before",
         {R(11, 0, 14, 3), R(5, 5, 14, 14), R(0, 0, 9, 9)}, {R(0, 0, 14, 14)}},
        {"a cut new rectangle that another entry covers is dropped",
         {R(0, 0, 9, 9), R(10, 0, 19, 19), R(5, 5, 14, 9)}, {R(0, 0, 9, 9), R(10, 0, 19, 19)}},
        {"a rectangle wholly right of the window adds nothing", {R(800, 0, 900, 10)}, {}},
        {"a rectangle wholly above and left adds nothing", {R(-50, -50, -1, -1)}, {}},
        {"the empty rectangle adds nothing", {R(-1, -1, -2, -2)}, {}},
        {"a rectangle reaching out of the window is clipped", {R(790, 590, 810, 610)}, {R(790, 590, 799, 599)}},
        {"edges just inside the allowed range", {R(-99999, -99999, 99999, 99999)}, {kWindow800}},
    };
    for (const Case& c : cases) {
        MvDirtyList list;
        list.SetClipRect(kWindow800);
        for (const MvIntRect& r : c.added)
            list.AddRect(r);
        EXPECT_EQ(Entries(list), c.expected) << c.what;
        ExpectConsistent(list, c.what);
    }
}

TEST(MvDirtyList, ClippingFollowsAWindowAwayFromTheOrigin)
{
    MvDirtyList list;
    list.SetClipRect(R(100, 50, 499, 349));
    list.AddRect(R(0, 0, 120, 60));
    list.AddRect(R(480, 340, 600, 600));
    list.AddRect(R(0, 0, 99, 599));
    EXPECT_EQ(Entries(list), (std::vector<MvIntRect>{R(100, 50, 120, 60), R(480, 340, 499, 349)}));
    EXPECT_EQ(list.MaskAt(0), 1u);
    EXPECT_EQ(list.MaskAt(1), 1u << 31);
}

TEST(MvDirtyList, ClearEmptiesTheListAndKeepsTheWindow)
{
    MvDirtyList list;
    EXPECT_EQ(list.Count(), 0);
    list.SetClipRect(kWindow800);
    list.AddRect(R(0, 0, 9, 9));
    list.AddRect(R(100, 100, 109, 109));
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.ClipRect(), kWindow800);
    list.AddRect(R(790, 0, 900, 9));
    EXPECT_EQ(Entries(list), std::vector<MvIntRect>{R(790, 0, 799, 9)});
    EXPECT_EQ(list.MaskAt(0), 1u << 7);
}

TEST(MvDirtyList, BlockMaskMarksTheTouchedBlocksOfThe8By4Grid)
{
    struct Case {
        const char* what;
        MvIntRect clip;
        MvIntRect r;
        uint32_t expected;
    } cases[] = {
        {"top-left pixel", kWindow800, R(0, 0, 0, 0), 0x00000001u},
        {"whole window", kWindow800, kWindow800, 0xFFFFFFFFu},
        {"exactly block (1, 1)", kWindow800, R(100, 150, 199, 299), 1u << 9},
        {"across a column boundary", kWindow800, R(99, 0, 100, 0), 0x00000003u},
        {"across a row boundary", kWindow800, R(0, 149, 0, 150), 0x00000101u},
        {"bottom-right block", kWindow800, R(700, 450, 799, 599), 1u << 31},
        {"columns 2 to 4 of every row", kWindow800, R(250, 0, 450, 599), 0x1C1C1C1Cu},
        {"rows 1 and 2 of column 7", kWindow800, R(799, 299, 799, 300), (1u << 15) | (1u << 23)},
        {"grid starts at the window corner", R(100, 50, 899, 649), R(100, 50, 199, 199), 0x00000001u},
        {"10 x 10 window: cells of 2 x 3", R(0, 0, 9, 9), R(9, 9, 9, 9), 1u << 28},
        {"10 x 10 window: second cell", R(0, 0, 9, 9), R(2, 3, 3, 5), 1u << 9},
    };
    for (const Case& c : cases) {
        MvDirtyList list;
        list.SetClipRect(c.clip);
        EXPECT_EQ(list.BlockMask(c.r), c.expected) << c.what;
    }

    // Every first and last column gives the row byte with exactly those columns set,
    // shifted into every touched row.
    MvDirtyList list;
    list.SetClipRect(kWindow800);
    for (int first = 0; first < 8; ++first) {
        for (int last = first; last < 8; ++last) {
            uint32_t rowByte = 0;
            for (int column = first; column <= last; ++column)
                rowByte |= 1u << column;
            EXPECT_EQ(list.BlockMask(R(first * 100 + 50, 0, last * 100 + 99, 10)), rowByte);
            EXPECT_EQ(list.BlockMask(R(first * 100, 200, last * 100 + 1, 599)), (rowByte << 8) | (rowByte << 16) | (rowByte << 24));
        }
    }
}

TEST(MvDirtyList, DumpLogsTheLabelAndEveryEntry)
{
    MvDirtyList list;
    list.SetClipRect(kWindow800);
    {
        MvLogCapture capture;
        testing::internal::CaptureStdout();
        std::FILE* logStream = MvSetLogStream(stdout);
        list.Dump("empty");
        MvSetLogStream(logStream);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "DR Print. 'empty'\n");
        EXPECT_EQ(capture.Text(), "DR Print. 'empty'\n");
    }
    list.AddRect(R(1, 2, 3, 4));
    list.AddRect(R(-10, 20, 30, 40));
    MvLogCapture capture;
    testing::internal::CaptureStdout();
    list.Dump("window 0");
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(capture.Text(), "DR Print. 'window 0'\n  1,2 -- 3,4\n  0,20 -- 30,40\n");
}

// Builds overflowing lists: 129 disjoint 2 x 2 rectangles, spread round-robin over the
// given grid blocks, so that the first 128 fill the list without any merging.
class MvDirtyListOverflow : public testing::Test {
protected:
    struct Block {
        int column;
        int row;
    };

    static std::vector<MvIntRect> DisjointRects(const MvIntRect& clip, const std::vector<Block>& blocks)
    {
        int cellWidth = (clip.Width() + 7) / 8;
        int cellHeight = (clip.Height() + 3) / 4;
        int perRow = (cellWidth - 2) / 4;
        std::vector<MvIntRect> rects;
        for (int i = 0; i <= MvDirtyListCapacity; ++i) {
            const Block& b = blocks[i % blocks.size()];
            int slot = i / static_cast<int>(blocks.size());
            int x = clip.left + b.column * cellWidth + 1 + (slot % perRow) * 4;
            int y = clip.top + b.row * cellHeight + 1 + (slot / perRow) * 4;
            EXPECT_LT(y + 1, clip.top + (b.row + 1) * cellHeight) << "too many rectangles for one block";
            rects.push_back(R(x, y, x + 1, y + 1));
        }
        return rects;
    }

    static std::vector<Block> AllBlocks()
    {
        std::vector<Block> blocks;
        for (int row = 0; row < 4; ++row)
            for (int column = 0; column < 8; ++column)
                blocks.push_back({column, row});
        return blocks;
    }

    static std::vector<Block> Rows(std::vector<int> rows, std::vector<Block> more)
    {
        for (int row : rows)
            for (int column = 0; column < 8; ++column)
                more.push_back({column, row});
        return more;
    }
};

TEST_F(MvDirtyListOverflow, The129thRectangleCollapsesTheList)
{
    struct Case {
        const char* what;
        MvIntRect clip;
        std::vector<Block> touched;
        std::vector<MvIntRect> expected;
        MvIntRect last = R(-1, -1, -2, -2); // when valid, the 129th rectangle
    } cases[] = {
        {"800 x 600, all 32 blocks touched: the whole window", kWindow800, AllBlocks(), {kWindow800}},
        {"800 x 600, rows 0 and 2 whole plus two blocks: strips first, then blocks in bit order", kWindow800,
         Rows({2, 0}, {{7, 3}, {3, 1}}),
         {R(0, 0, 799, 149), R(0, 300, 799, 449), R(300, 150, 399, 299), R(700, 450, 799, 599)}},
        {"800 x 600, two blocks", kWindow800, {{5, 2}, {0, 0}}, {R(0, 0, 99, 149), R(500, 300, 599, 449)}},
        {"801 x 601 away from the origin: the last column and row are clipped", R(10, 20, 810, 620),
         Rows({3}, {{7, 0}}), {R(10, 473, 810, 620), R(717, 20, 810, 170)}},
        {"800 x 600, the 129th rectangle touches the last untouched block", kWindow800,
         Rows({0, 1, 2}, {{0, 3}, {1, 3}, {2, 3}, {3, 3}, {4, 3}, {5, 3}, {6, 3}}), {kWindow800},
         R(790, 590, 799, 599)},
        {"200 x 200 (cells 25 x 50): one bounding box", R(0, 0, 199, 199), AllBlocks(), {R(1, 1, 189, 152)}},
        {"200 x 200: the bounding box includes the 129th rectangle", R(0, 0, 199, 199), AllBlocks(),
         {R(1, 1, 199, 199)}, R(195, 195, 199, 199)},
        {"800 x 100 (cells 100 x 25): one bounding box", R(0, 0, 799, 99), Rows({0, 1}, {}), {R(1, 1, 730, 27)}},
    };
    for (const Case& c : cases) {
        MvDirtyList list;
        list.SetClipRect(c.clip);
        std::vector<MvIntRect> rects = DisjointRects(c.clip, c.touched);
        if (c.last.IsValid())
            rects.back() = c.last;
        for (int i = 0; i < MvDirtyListCapacity; ++i)
            list.AddRect(rects[i]);
        ASSERT_EQ(list.Count(), MvDirtyListCapacity) << c.what << ": the first 128 stay apart";
        list.AddRect(rects[MvDirtyListCapacity]);

        EXPECT_EQ(Entries(list), c.expected) << c.what;
        EXPECT_LE(list.Count(), 32) << c.what;
        ExpectConsistent(list, c.what);
        uint32_t touched = 0;
        uint32_t covered = 0;
        for (const MvIntRect& r : rects)
            touched |= list.BlockMask(r);
        for (int i = 0; i < list.Count(); ++i)
            covered |= list.MaskAt(i);
        EXPECT_EQ(covered & touched, touched) << c.what << ": every touched block is covered";
        for (const MvIntRect& r : rects)
            for (int y = r.top; y <= r.bottom; ++y)
                for (int x = r.left; x <= r.right; ++x)
                    EXPECT_TRUE(Covered(list, x, y)) << c.what << ": pixel " << x << "," << y;
    }
}

TEST_F(MvDirtyListOverflow, ACollapsedListKeepsWorking)
{
    MvDirtyList list;
    list.SetClipRect(kWindow800);
    std::vector<MvIntRect> rects = DisjointRects(kWindow800, {{1, 1}});
    for (const MvIntRect& r : rects)
        list.AddRect(r);
    ASSERT_EQ(Entries(list), std::vector<MvIntRect>{R(100, 150, 199, 299)});
    list.AddRect(R(150, 250, 250, 260));
    EXPECT_EQ(Entries(list), (std::vector<MvIntRect>{R(100, 150, 199, 299), R(200, 250, 250, 260)}));
}

// Many pseudo-random rectangles, small and large, inside and around windows of several
// sizes: after every add the list is consistent, and it always covers every pixel added
// since it was last cleared. The tiny rectangles make the lists overflow now and then.
TEST(MvDirtyList, RandomAddsKeepTheListDisjointInsideAndCovering)
{
    const MvIntRect windows[] = {kWindow800, R(0, 0, 199, 199), R(37, 21, 436, 320), R(5, 5, 804, 104)};
    std::mt19937 random(20240611u);
    auto Below = [&random](int n) { return static_cast<int>(random() % static_cast<uint32_t>(n)); };
    int overflows = 0;
    for (const MvIntRect& window : windows) {
        MvDirtyList list;
        list.SetClipRect(window);
        for (int round = 0; round < 4; ++round) {
            list.Clear();
            std::vector<uint8_t> added(static_cast<size_t>(window.Width() * window.Height()), 0);
            int maxSide = round == 0 ? 3 : round == 1 ? 12 : round == 2 ? 60 : 300;
            int previousCount = 0;
            for (int n = 0; n < 400; ++n) {
                int w = 1 + Below(maxSide);
                int h = 1 + Below(maxSide);
                int x = window.left - w / 2 + Below(window.Width() + w / 2);
                int y = window.top - h / 2 + Below(window.Height() + h / 2);
                MvIntRect r = R(x, y, x + w - 1, y + h - 1);
                list.AddRect(r);
                if (list.Count() < previousCount - 1 && previousCount == MvDirtyListCapacity)
                    ++overflows;
                previousCount = list.Count();

                std::string context = "window " + testing::PrintToString(window) + ", round " +
                                      std::to_string(round) + ", add " + std::to_string(n) + " " +
                                      testing::PrintToString(r);
                ExpectConsistent(list, context);
                if (testing::Test::HasFatalFailure())
                    return;

                r.ClipTo(window);
                for (int py = r.top; py <= r.bottom; ++py)
                    for (int px = r.left; px <= r.right; ++px)
                        added[static_cast<size_t>((py - window.top) * window.Width() + px - window.left)] = 1;
                if (n % 50 != 49)
                    continue;
                // Everything added so far is still covered.
                std::vector<uint8_t> cover(added.size(), 0);
                for (int i = 0; i < list.Count(); ++i) {
                    const MvIntRect& e = list.At(i);
                    for (int py = e.top; py <= e.bottom; ++py)
                        for (int px = e.left; px <= e.right; ++px)
                            cover[static_cast<size_t>((py - window.top) * window.Width() + px - window.left)] = 1;
                }
                size_t uncovered = 0;
                for (size_t p = 0; p < added.size(); ++p)
                    if (added[p] && !cover[p])
                        ++uncovered;
                ASSERT_EQ(uncovered, 0u) << context;
            }
        }
    }
    EXPECT_GT(overflows, 0) << "the random adds should also exercise the overflow rules";
}

TEST(MvDirtyListDeathTest, BrokenPreconditionsAreCaught)
{
    MvDirtyList unclipped;
    EXPECT_DEATH(unclipped.AddRect(R(0, 0, 9, 9)), MvFailedCheck("clippingSet_"));

    struct Case {
        const char* what;
        MvIntRect r;
        const char* condition;
    } outOfRange[] = {
        {"left at -100000", R(-100000, 0, 9, 9), "r.left > -kCoordinateLimit && r.top > -kCoordinateLimit"},
        {"top at -100000", R(0, -100000, 9, 9), "r.left > -kCoordinateLimit && r.top > -kCoordinateLimit"},
        {"right at 100000", R(0, 0, 100000, 9), "r.right < kCoordinateLimit && r.bottom < kCoordinateLimit"},
        {"bottom at 100000", R(0, 0, 9, 100000), "r.right < kCoordinateLimit && r.bottom < kCoordinateLimit"},
    };
    MvDirtyList list;
    list.SetClipRect(kWindow800);
    for (const Case& c : outOfRange)
        EXPECT_DEATH(list.AddRect(c.r), MvFailedCheck(c.condition)) << c.what;

    list.AddRect(R(0, 0, 9, 9));
    // Kept from the optimiser, which would otherwise warn about the constant bad index.
    volatile int minusOne = -1;
    EXPECT_DEATH(list.At(1), MvFailedCheck("index >= 0 && index < count_"));
    EXPECT_DEATH(list.At(minusOne), MvFailedCheck("index >= 0 && index < count_"));
    EXPECT_DEATH(list.MaskAt(1), MvFailedCheck("index >= 0 && index < count_"));
    EXPECT_DEATH(list.BlockMask(R(0, 0, 800, 9)), MvFailedCheck("r.IsValid() && clipRect_.Encloses(r)"));
}

} // namespace
