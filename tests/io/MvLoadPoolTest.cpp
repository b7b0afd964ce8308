#include "MvFailedCheck.h"
#include "MvLoadPool.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

// A pool hands out consecutive pieces of one block filled with 0xAA, and is used up
// exactly when every byte has been handed out.
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

// A pool of no bytes is used up from the start; loads of files without images make them.
TEST(MvLoadPool, AnEmptyPoolIsUsedUpAtOnce)
{
    MvLoadPool pool(0);
    EXPECT_TRUE(pool.HasBlock());
    EXPECT_TRUE(pool.IsUsedUp());
    EXPECT_EQ(0u, pool.Remaining());
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
    EXPECT_DEATH(pool.Alloc(0), MvFailedCheck("cursor_ != end_")) << "a used-up pool";
    MvLoadPool empty(0);
    EXPECT_DEATH(empty.Alloc(1), MvFailedCheck("cursor_ != end_")) << "a pool without a block";
}

} // namespace
