#include "MvFailedCheck.h"
#include "MvLoadPool.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

// A pool hands out consecutive pieces of a block filled with 0xAA, and is used up exactly
// when every byte has been handed out.
TEST(MvLoadPool, HandsOutConsecutivePiecesUntilUsedUp)
{
    MvLoadPool pool(10);
    EXPECT_TRUE(pool.HasBlock());
    EXPECT_EQ(10u, pool.Size());
    EXPECT_FALSE(pool.IsUsedUp());
    uint8_t* first = static_cast<uint8_t*>(pool.Alloc(4));
    uint8_t* second = static_cast<uint8_t*>(pool.Alloc(0));
    uint8_t* third = static_cast<uint8_t*>(pool.Alloc(6));
    EXPECT_EQ(first + 4, second);
    EXPECT_EQ(first + 4, third);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(0xAA, first[i]);
    EXPECT_TRUE(pool.IsUsedUp());
    EXPECT_EQ(0u, pool.Remaining());
    EXPECT_EQ(10u, pool.Used());
}

// A pool of no bytes is used up from the start and holds nothing; loads of files without
// images make them.
TEST(MvLoadPool, AnEmptyPoolIsUsedUpAtOnce)
{
    MvLoadPool pool(0);
    EXPECT_TRUE(pool.HasBlock());
    EXPECT_TRUE(pool.IsUsedUp());
    EXPECT_EQ(0u, pool.Remaining());
    EXPECT_EQ(0u, pool.Held());
}

// A pool takes no memory before its first piece, then blocks that grow with what is asked:
// a piece that does not fit the current block begins a new one, as large as all before it,
// and the last block ends where the size does. Pieces never move once handed out.
TEST(MvLoadPool, TakesGrowingBlocksAsPiecesAreAskedFor)
{
    const size_t first = MvLoadPool::FirstBlockSize;
    MvLoadPool pool(10 * first);
    EXPECT_EQ(0u, pool.Held());
    EXPECT_EQ(0, pool.BlockCount());
    struct Step {
        size_t piece;
        size_t held; // after the piece
        int blocks;
    };
    const Step steps[] = {
        {100, first, 1},                         // the first block
        {first - 100, first, 1},                 // fills it exactly
        {first + 1, 2 * first + 1, 2},           // larger than the first block: a block of its own
        {1, 4 * first + 2, 3},                   // as large as the two before
        {2 * first, 4 * first + 2, 3},           // fits the third block's rest
        {6 * first - 2, 10 * first, 4},          // the rest of the size, no more
    };
    std::vector<uint8_t*> pieces;
    for (const Step& step : steps) {
        SCOPED_TRACE(step.piece);
        uint8_t* piece = static_cast<uint8_t*>(pool.Alloc(step.piece));
        ASSERT_NE(nullptr, piece);
        EXPECT_EQ(0xAA, piece[0]);
        EXPECT_EQ(0xAA, piece[step.piece - 1]);
        std::memset(piece, 0x11, step.piece);
        EXPECT_EQ(step.held, pool.Held());
        EXPECT_EQ(step.blocks, pool.BlockCount());
        pieces.push_back(piece);
    }
    EXPECT_TRUE(pool.IsUsedUp());
    EXPECT_TRUE(pool.HasBlock());
    EXPECT_EQ(pieces[0] + 100, pieces[1]);
    for (size_t i = 0; i < pieces.size(); ++i)
        EXPECT_EQ(0x11, pieces[i][0]) << "piece " << i << " was overwritten or moved";
}

TEST(MvLoadPool, CurrentPoolsAreSetAndClearedTogether)
{
    MvLoadPool pixels(4), lines(4), segments(4);
    EXPECT_EQ(nullptr, CurrentPixelPool());
    SetCurrentLoadPools(&pixels, &lines, &segments);
    EXPECT_EQ(&pixels, CurrentPixelPool());
    EXPECT_EQ(&lines, CurrentLinePool());
    EXPECT_EQ(&segments, CurrentSegmentPool());
    SetCurrentLoadPools(nullptr, nullptr, nullptr);
    EXPECT_EQ(nullptr, CurrentPixelPool());
    EXPECT_EQ(nullptr, CurrentLinePool());
    EXPECT_EQ(nullptr, CurrentSegmentPool());
}

TEST(MvLoadPool, PixelCountersOnlyGrow)
{
    const int64_t rle = MvRlePixelCounter();
    const int64_t block = MvBlockPixelCounter();
    MvAddRlePixels(7);
    MvAddBlockPixels(3);
    EXPECT_EQ(rle + 7, MvRlePixelCounter());
    EXPECT_EQ(block + 3, MvBlockPixelCounter());
}

TEST(MvLoadPoolDeathTest, AllocPastTheEndIsCaught)
{
    MvLoadPool pool(8);
    pool.Alloc(6);
    EXPECT_DEATH(pool.Alloc(3), MvFailedCheck("size <= Remaining()"));
    pool.Alloc(2);
    EXPECT_DEATH(pool.Alloc(0), MvFailedCheck("!IsUsedUp()")) << "a used-up pool";
    MvLoadPool empty(0);
    EXPECT_DEATH(empty.Alloc(1), MvFailedCheck("!IsUsedUp()")) << "a pool of no bytes";
}

} // namespace
