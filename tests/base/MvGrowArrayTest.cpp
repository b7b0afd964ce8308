#include "MvGrowArray.h"

#include "MvFailedCheck.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

TEST(MvGrowArray, CapacityGrowsToThePowerOfTwoThatHoldsOneMore)
{
    MvGrowArray<int> a;
    EXPECT_EQ(a.Count(), 0);
    EXPECT_EQ(a.Capacity(), 0);
    const int expectedCapacity[] = {1, 2, 4, 4, 8, 8, 8, 8, 16};
    for (int i = 0; i < 9; ++i) {
        a.Append(i * 10);
        EXPECT_EQ(a.Count(), i + 1);
        EXPECT_EQ(a.Capacity(), expectedCapacity[i]) << "after append " << i + 1;
    }
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(a[i], i * 10) << "items survive every move";
}

TEST(MvGrowArray, ClearFreesAndEmptyKeepsStorage)
{
    MvGrowArray<int> a;
    for (int i = 0; i < 5; ++i)
        a.Append(i);
    a.Empty();
    EXPECT_EQ(a.Count(), 0);
    EXPECT_EQ(a.Capacity(), 8);
    a.Append(7);
    a.Clear();
    EXPECT_EQ(a.Count(), 0);
    EXPECT_EQ(a.Capacity(), 0);
    EXPECT_EQ(a.Items(), nullptr);
}

TEST(MvGrowArray, ReserveGrowsOnceToThePowerOfTwoAndNeverShrinks)
{
    MvGrowArray<std::string> a;
    a.Append("kept across the move, long enough to live on the heap");
    a.Reserve(5);
    EXPECT_EQ(a.Capacity(), 8);
    ASSERT_EQ(a.Count(), 1);
    EXPECT_EQ(a[0], "kept across the move, long enough to live on the heap");
    const std::string* storage = a.Items();
    for (int i = 1; i < 8; ++i)
        a.Append("x");
    EXPECT_EQ(a.Items(), storage) << "appends up to the reserved count keep the storage";
    a.Reserve(3);
    a.Reserve(0);
    EXPECT_EQ(a.Capacity(), 8);
    EXPECT_EQ(a.Count(), 8);
}

TEST(MvGrowArray, AppendingAnItemOfTheSameArrayWhileGrowing)
{
    MvGrowArray<std::string> a;
    a.Append("first item, long enough to live on the heap");
    a.Append(a[0]); // grows from 1 to 2 while the source is inside the array
    a.Append(a[1]); // grows from 2 to 4
    ASSERT_EQ(a.Count(), 3);
    EXPECT_EQ(a[2], a[0]);
}

TEST(MvGrowArray, OwningItemsAreDestroyedAndCopiesAreDeep)
{
    auto counter = std::make_shared<int>(0);
    {
        MvGrowArray<std::shared_ptr<int>> a;
        for (int i = 0; i < 5; ++i)
            a.Append(counter);
        EXPECT_EQ(counter.use_count(), 6);
        MvGrowArray<std::shared_ptr<int>> b(a);
        EXPECT_EQ(counter.use_count(), 11);
        b.RemoveSwap(0);
        EXPECT_EQ(b.Count(), 4);
        EXPECT_EQ(counter.use_count(), 10);
        MvGrowArray<std::shared_ptr<int>> c(std::move(b));
        EXPECT_EQ(b.Count(), 0);
        EXPECT_EQ(c.Count(), 4);
        EXPECT_EQ(counter.use_count(), 10);
    }
    EXPECT_EQ(counter.use_count(), 1);
}

TEST(MvGrowArray, RemoveSwapMovesTheLastItemIntoTheGap)
{
    MvGrowArray<int> a;
    for (int i = 0; i < 4; ++i)
        a.Append(i);
    a.RemoveSwap(1);
    ASSERT_EQ(a.Count(), 3);
    EXPECT_EQ(a[0], 0);
    EXPECT_EQ(a[1], 3);
    EXPECT_EQ(a[2], 2);
    a.RemoveSwap(2);
    EXPECT_EQ(a.Count(), 2);
}

TEST(MvGrowArrayDeathTest, ReadingAtOrBeyondTheCountIsCaught)
{
    MvGrowArray<int> a;
    EXPECT_DEATH(a[0], "index < count_");
    a.Append(1);
    a.Append(2);
    a.Append(3);
    EXPECT_DEATH(a[3], "index < count_"); // inside the capacity of 4, beyond the count
    EXPECT_DEATH(a[-1], "index >= 0");
    EXPECT_DEATH(a.RemoveSwap(3), "index < count_");
    EXPECT_DEATH(a.Reserve(-1), MvFailedCheck("capacity >= 0"));
}

} // namespace
