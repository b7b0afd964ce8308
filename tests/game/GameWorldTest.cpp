#include "GameWorld.h"
#include "MvFailedCheck.h"

#include <gtest/gtest.h>

namespace {

TEST(GameWorld, IsReachableWhileItLives)
{
    {
        GameWorld world;
        EXPECT_EQ(&GameWorld::Instance(), &world);
    }
    GameWorld again;
    EXPECT_EQ(&GameWorld::Instance(), &again);
}

TEST(GameWorldDeathTest, ThereIsExactlyOneInstance)
{
    EXPECT_DEATH(GameWorld::Instance(), MvFailedCheck("instance_ != nullptr"));
    EXPECT_DEATH(
        {
            GameWorld first;
            GameWorld second;
        },
        MvFailedCheck("instance_ == nullptr"));
}

} // namespace
