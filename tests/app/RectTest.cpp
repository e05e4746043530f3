#include "app/Rect.h"

#include "support/GeometryExpectations.h"

#include <gtest/gtest.h>

TEST(RectTest, LeftAndTopEdgesBelongRightAndBottomDoNot)
{
    Rect r(10, 10, 5, 5);
    EXPECT_TRUE(r.Contains(10, 10));
    EXPECT_TRUE(r.Contains(14.99f, 14.99f));
    EXPECT_FALSE(r.Contains(15, 12));
    EXPECT_FALSE(r.Contains(12, 15));
    EXPECT_FALSE(r.Contains(9.99f, 12));
}

TEST(RectTest, TouchingRectanglesDoNotOverlapButIntersectInAnEdge)
{
    Rect a(0, 0, 10, 10);
    Rect b(10, 0, 10, 10);
    EXPECT_FALSE(a.OverlapsRect(b));
    EXPECT_FALSE(a.Overlaps(0, 10, 10, 10));
    EXPECT_TRUE(a.Overlaps(9, 9, 10, 10));
    ExpectRect(a.Intersection(b), 10, 0, 0, 10);
}

TEST(RectTest, DisjointIntersectionIsEmpty)
{
    ExpectRect(Rect(0, 0, 5, 5).Intersection(Rect(20, 20, 5, 5)), 0, 0, 0, 0);
    ExpectRect(Rect(0, 0, 10, 10).Intersection(Rect(2, 3, 20, 4)), 2, 3, 8, 4);
}

TEST(RectTest, UnionTreatsOnlyItsOwnEmptinessAsNothing)
{
    ExpectRect(Rect().Union(Rect(5, 5, 2, 2)), 5, 5, 2, 2);
    // An all-zero other rectangle still pulls the union to the origin.
    ExpectRect(Rect(5, 5, 2, 2).Union(Rect()), 0, 0, 7, 7);
    ExpectRect(Rect(1, 2, 3, 4).Union(Rect(-1, 5, 1, 10)), -1, 2, 5, 13);
}

TEST(RectTest, ClipToLimitsEachEdgeToTheBounds)
{
    Rect inside(-5, -5, 20, 20);
    inside.ClipTo(Rect(0, 0, 10, 10));
    ExpectRect(inside, 0, 0, 10, 10);

    Rect outside(20, 20, 5, 5);
    outside.ClipTo(Rect(0, 0, 10, 10));
    ExpectRect(outside, 10, 10, 0, 0);
}

TEST(RectTest, ExpandedGrowsEverySide)
{
    ExpectRect(Rect(10, 20, 30, 40).Expanded(2), 8, 18, 34, 44);
    ExpectRect(Rect(10, 20, 30, 40).Expanded(-5), 15, 25, 20, 30);
}
