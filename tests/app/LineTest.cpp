#include "app/Line.h"

#include <gtest/gtest.h>

TEST(LineTest, CrossingSegmentsMeetInTheMiddle)
{
    Point where(-1, -1);
    ASSERT_TRUE(Line(0, 0, 10, 10).Intersect(Line(0, 10, 10, 0), &where));
    EXPECT_FLOAT_EQ(where.x, 5);
    EXPECT_FLOAT_EQ(where.y, 5);
}

TEST(LineTest, ParallelSegmentsNeverMeet)
{
    Point where(-1, -1);
    EXPECT_FALSE(Line(0, 0, 10, 10).Intersect(Line(0, 1, 10, 11), &where));
    EXPECT_FLOAT_EQ(where.x, -1);
    EXPECT_FALSE(Line(0, 0, 10, 10).Intersect(Line(3, 3, 3, 3), nullptr));
}

TEST(LineTest, EndPointContactAndAxisParallelSegmentsCount)
{
    Point where;
    ASSERT_TRUE(Line(0, 0, 10, 0).Intersect(Line(5, 0, 5, 5), &where));
    EXPECT_FLOAT_EQ(where.x, 5);
    EXPECT_FLOAT_EQ(where.y, 0);
    EXPECT_TRUE(Line(0, 0, 10, 0).Intersect(Line(10, -5, 10, 5), nullptr));
}

TEST(LineTest, PointOutsideTheOtherSegmentIsNoIntersection)
{
    // The lines cross at (5, 5), but the other segment stops short of it.
    EXPECT_FALSE(Line(0, 0, 10, 10).Intersect(Line(0, 10, 4, 6), nullptr));
    // This segment stops short of the crossing point.
    EXPECT_FALSE(Line(0, 0, 4, 4).Intersect(Line(0, 10, 10, 0), nullptr));
}
