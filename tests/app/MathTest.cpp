#include "app/Math.h"

#include "app/Random.h"

#include <gtest/gtest.h>

#include <bit>

TEST(MathTest, PiIsOneStepBelowTheNearestFloat)
{
    EXPECT_EQ(std::bit_cast<uint32_t>(Math::PI), 0x40490FDAu);
}

TEST(MathTest, AnglesPointUpAndTurnClockwise)
{
    Point p;
    Math::AngleToVector(0, p);
    EXPECT_NEAR(p.x, 0, 1e-6f);
    EXPECT_NEAR(p.y, -1, 1e-6f);
    Math::AngleToVector(90, p);
    EXPECT_NEAR(p.x, 1, 1e-6f);
    EXPECT_NEAR(p.y, 0, 1e-6f);
    Math::AngleToVector(180, p);
    EXPECT_NEAR(p.x, 0, 1e-6f);
    EXPECT_NEAR(p.y, 1, 1e-6f);
    EXPECT_NEAR(Math::SinDegrees(30), 0.5f, 1e-6f);
}

TEST(MathTest, RandomDirectionDrawsOneAngleFromTheGivenGenerator)
{
    Random random;
    random.Seed(12345);
    Random twin;
    twin.Seed(12345);
    Point direction;
    Math::RandomDirection(&random, direction);
    Point expected;
    Math::AngleToVector(twin.GetFloatScaled(360.0f, false), expected);
    EXPECT_FLOAT_EQ(direction.x, expected.x);
    EXPECT_FLOAT_EQ(direction.y, expected.y);
    EXPECT_EQ(random.Next(), twin.Next());

    Math::RandomDirection(nullptr, direction);
    EXPECT_NEAR(direction.Length(), 1.0f, 1e-5f);
}

TEST(MathTest, IntegerHelpers)
{
    EXPECT_EQ(Math::NextPowerOfTwo(0), 1);
    EXPECT_EQ(Math::NextPowerOfTwo(1), 1);
    EXPECT_EQ(Math::NextPowerOfTwo(2), 2);
    EXPECT_EQ(Math::NextPowerOfTwo(3), 4);
    EXPECT_EQ(Math::NextPowerOfTwo(1025), 2048);
    EXPECT_EQ(Math::NextPowerOfTwo(INT32_MAX), 1 << 30);

    EXPECT_FALSE(Math::IsPowerOfTwo(0));
    EXPECT_FALSE(Math::IsPowerOfTwo(-8));
    EXPECT_FALSE(Math::IsPowerOfTwo(6));
    EXPECT_TRUE(Math::IsPowerOfTwo(1));
    EXPECT_TRUE(Math::IsPowerOfTwo(1024));

    EXPECT_EQ(Math::AddSaturated(INT32_MAX, 1), INT32_MAX);
    EXPECT_EQ(Math::AddSaturated(INT32_MIN, -1), INT32_MIN);
    EXPECT_EQ(Math::AddSaturated(INT32_MAX, INT32_MIN), -1);
    EXPECT_EQ(Math::AddSaturated(40, 2), 42);

    EXPECT_EQ(LowestSetBit(0x00FF0000u), 16);
    EXPECT_EQ(LowestSetBit(0xFF000000u), 24);
    EXPECT_EQ(LowestSetBit(1u), 0);
    EXPECT_EQ(LowestSetBit(0u), 0);

    EXPECT_FLOAT_EQ(Math::Distance(1, 1, 4, 5), 5);
}
