#include "GeometryExpectations.h"

#include <gtest/gtest.h>

void ExpectRect(const Rect& r, float x, float y, float w, float h)
{
    EXPECT_FLOAT_EQ(r.x, x);
    EXPECT_FLOAT_EQ(r.y, y);
    EXPECT_FLOAT_EQ(r.w, w);
    EXPECT_FLOAT_EQ(r.h, h);
}

void ExpectColor(const Color& c, float r, float g, float b, float a)
{
    EXPECT_FLOAT_EQ(c.r, r);
    EXPECT_FLOAT_EQ(c.g, g);
    EXPECT_FLOAT_EQ(c.b, b);
    EXPECT_FLOAT_EQ(c.a, a);
}
