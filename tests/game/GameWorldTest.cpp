#include "GameWorld.h"

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
    EXPECT_DEATH(GameWorld::Instance(), "instance_ != nullptr");
    EXPECT_DEATH(
        {
            GameWorld first;
            GameWorld second;
        },
        "instance_ == nullptr");
}

} // namespace
