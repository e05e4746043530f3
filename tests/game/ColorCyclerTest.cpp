// Colours through timed keys, and the inputs that would divide by zero.
#include "game/ColorCycler.h"

#include <gtest/gtest.h>

TEST(ColorCyclerTest, BlendsWrapsAndClamps)
{
    ColorCycler cycler;
    cycler.AddColor(1, 0, 0, 1, 1);
    cycler.AddColor(0, 1, 0, 1, 1);
    cycler.AddColor(0, 0, 1, 1, 1);
    cycler.CloseLoop();
    struct Case
    {
        float t;
        Color expected;
    } cases[] = {
        {0.5f, Color(0.5f, 0.5f, 0.0f, 1.0f)},  {3.25f, Color(0.75f, 0.25f, 0.0f, 1.0f)},
        {2.5f, Color(0.5f, 0.0f, 0.5f, 1.0f)},  {-1.0f, Color(1.0f, 0.0f, 0.0f, 1.0f)},
        {3.0f, Color(1.0f, 0.0f, 0.0f, 1.0f)},  {9.5f, Color(0.5f, 0.5f, 0.0f, 1.0f)},
        {1e30f, Color(1.0f, 0.0f, 0.0f, 1.0f)},
    };
    for (const Case& c : cases) {
        const Color got = cycler.GetColor(c.t);
        EXPECT_NEAR(got.r, c.expected.r, 1e-5f) << c.t;
        EXPECT_NEAR(got.g, c.expected.g, 1e-5f) << c.t;
        EXPECT_NEAR(got.b, c.expected.b, 1e-5f) << c.t;
        EXPECT_NEAR(got.a, c.expected.a, 1e-5f) << c.t;
    }
}

TEST(ColorCyclerTest, FewKeysAndZeroDurationsGiveAColour)
{
    ColorCycler empty;
    EXPECT_FLOAT_EQ(empty.GetColor(0.5f).a, 0.0f);

    ColorCycler one;
    one.AddColor(0.2f, 0.4f, 0.6f, 1, 1);
    EXPECT_FLOAT_EQ(one.GetColor(5.5f).g, 0.4f);

    ColorCycler instant;
    instant.AddColor(1, 0, 0, 1, 0);
    instant.AddColor(0, 1, 0, 1, 0);
    instant.AddColor(0, 0, 1, 1, 0);
    const Color got = instant.GetColor(0.0f);
    EXPECT_FLOAT_EQ(got.b, 1.0f) << "keys starting at the same time: the last one shows";
}
