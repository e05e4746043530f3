#include "app/Point.h"

#include <gtest/gtest.h>

TEST(PointTest, SetLengthScalesButLeavesAZeroVector)
{
    Point p(3, 4);
    EXPECT_FLOAT_EQ(p.Length(), 5);
    p.SetLength(5);
    EXPECT_FLOAT_EQ(p.x, 3);
    EXPECT_FLOAT_EQ(p.y, 4);
    p.SetLength(10);
    EXPECT_FLOAT_EQ(p.x, 6);
    EXPECT_FLOAT_EQ(p.y, 8);

    Point zero;
    zero.SetLength(5);
    EXPECT_EQ(zero.x, 0);
    EXPECT_EQ(zero.y, 0);
    EXPECT_EQ(zero.Length(), 0);
}
