// Pushing popups apart, including inputs that once kept it going for ever.
#include "game/Clutter.h"

#include <gtest/gtest.h>

namespace {

bool AnyOverlap(const Clutter& clutter)
{
    for (const Clutter::WorkRect& r : clutter.workRects) {
        if (clutter.FindOverlap(r, nullptr))
            return true;
    }
    return false;
}

} // namespace

TEST(ClutterTest, PushesAlongTheSmallerOverlapAndKeepsFixedRectangles)
{
    struct Case
    {
        Rect first;
        bool firstFixed;
        Rect second;
        Point firstOffset;
        Point secondOffset;
    } cases[] = {
        // Equal rectangles: the first moves by the smaller side, down.
        {Rect(0, 0, 40, 20), false, Rect(0, 0, 40, 20), Point(0, 20), Point(0, 0)},
        // Fixed: only the other one moves.
        {Rect(0, 0, 40, 20), true, Rect(0, 0, 40, 20), Point(0, 0), Point(0, 20)},
        // A square overlap moves sideways, away from the other one.
        {Rect(10, 0, 20, 20), false, Rect(0, 0, 20, 20), Point(10, 0), Point(0, 0)},
        // Overlap 40 wide and 5 high: a vertical push of 5, upwards.
        {Rect(0, 0, 40, 20), false, Rect(0, 15, 40, 20), Point(0, -5), Point(0, 0)},
        // Touching edges do not overlap.
        {Rect(0, 0, 40, 20), false, Rect(40, 0, 40, 20), Point(0, 0), Point(0, 0)},
    };
    for (const Case& c : cases) {
        Clutter clutter;
        clutter.Add(c.first, c.firstFixed);
        clutter.Add(c.second, false);
        clutter.Relax();
        EXPECT_FALSE(AnyOverlap(clutter));
        EXPECT_FLOAT_EQ(clutter.GetOffset(0).x, c.firstOffset.x);
        EXPECT_FLOAT_EQ(clutter.GetOffset(0).y, c.firstOffset.y);
        EXPECT_FLOAT_EQ(clutter.GetOffset(1).x, c.secondOffset.x);
        EXPECT_FLOAT_EQ(clutter.GetOffset(1).y, c.secondOffset.y);
    }
}

TEST(ClutterTest, EndsOnRectanglesOfNoSizeAndOnTheCentre)
{
    struct Case
    {
        const char* what;
        std::vector<std::pair<Rect, bool>> rects;
    } cases[] = {
        {"no width, inside a fixed one", {{Rect(0, 0, 10, 10), true}, {Rect(5, 0, 0, 10), false}}},
        {"no size at all", {{Rect(0, 0, 10, 10), true}, {Rect(5, 5, 0, 0), false}}},
        {"on the common centre, hemmed in",
         {{Rect(-50, -50, 100, 100), true}, {Rect(-5, -5, 10, 10), false}}},
        {"many on one spot",
         {{Rect(0, 0, 30, 10), false},
          {Rect(0, 0, 30, 10), false},
          {Rect(0, 0, 30, 10), false},
          {Rect(0, 0, 30, 10), false},
          {Rect(0, 0, 30, 10), true}}},
    };
    for (const Case& c : cases) {
        Clutter clutter;
        for (const auto& [rect, fixed] : c.rects)
            clutter.Add(rect, fixed);
        clutter.Relax();
        EXPECT_FALSE(AnyOverlap(clutter)) << c.what;
        for (size_t i = 0; i < c.rects.size(); i++) {
            if (c.rects[i].second) {
                EXPECT_FLOAT_EQ(clutter.GetOffset(static_cast<int>(i)).x, 0.0f) << c.what;
                EXPECT_FLOAT_EQ(clutter.GetOffset(static_cast<int>(i)).y, 0.0f) << c.what;
            }
        }
    }
}
