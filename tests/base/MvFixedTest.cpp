#include "MvFixed.h"

#include <gtest/gtest.h>

TEST(MvFixed, Placeholder) { EXPECT_EQ(MvFixed::FromInt(1).Raw(), 0x10000); }
