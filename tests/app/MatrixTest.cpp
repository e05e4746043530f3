#include "app/Matrix.h"

#include <gtest/gtest.h>

namespace {
void ExpectPoint(const Point& p, float x, float y)
{
    EXPECT_NEAR(p.x, x, 1e-5f);
    EXPECT_NEAR(p.y, y, 1e-5f);
}

Matrix Numbered(float start)
{
    Matrix m;
    for (int i = 0; i < 16; ++i)
        m.m[i] = start + float(i);
    return m;
}
} // namespace

TEST(MatrixTest, EachStepMultipliesOnTheRight)
{
    Matrix m;
    m.Translate(10, 20, 0);
    m.Scale(2, 2, 1);
    Point p;
    m.TransformPoint(p, 1, 1);
    // Translated first, then scaled.
    ExpectPoint(p, 22, 42);

    Matrix rotation;
    rotation.Rotate(90);
    rotation.TransformPoint(p, 1, 0);
    ExpectPoint(p, 0, 1);
}

TEST(MatrixTest, MultiplyIsRowTimesColumnAndMayAliasItsInputs)
{
    Matrix a = Numbered(1);
    Matrix b = Numbered(-3);
    Matrix expected;
    MatrixMultiply(expected, a, b);
    // out[0][0] = 1*-3 + 2*1 + 3*5 + 4*9
    EXPECT_FLOAT_EQ(expected.m[0], 50);
    // out[3][2] = 13*-1 + 14*3 + 15*7 + 16*11
    EXPECT_FLOAT_EQ(expected.m[14], 310);

    Matrix intoA = a;
    MatrixMultiply(intoA, intoA, b);
    Matrix intoB = b;
    MatrixMultiply(intoB, a, intoB);
    Matrix square;
    MatrixMultiply(square, a, a);
    Matrix intoBoth = a;
    MatrixMultiply(intoBoth, intoBoth, intoBoth);
    for (int i = 0; i < 16; ++i) {
        EXPECT_FLOAT_EQ(intoA.m[i], expected.m[i]);
        EXPECT_FLOAT_EQ(intoB.m[i], expected.m[i]);
        EXPECT_FLOAT_EQ(intoBoth.m[i], square.m[i]);
    }
}

TEST(MatrixTest, TranslationQueries)
{
    Matrix m;
    EXPECT_FALSE(m.HasRotationOrScale());
    m.SetTranslation(-3, 4, 0);
    EXPECT_FALSE(m.HasFractionalTranslation());
    EXPECT_FALSE(m.HasRotationOrScale());
    m.SetTranslation(2.5f, 0, 0);
    EXPECT_TRUE(m.HasFractionalTranslation());
    m.m[3] = 7; // the fourth column is not looked at
    EXPECT_FALSE(m.HasRotationOrScale());
    m.Scale(1, 2, 1);
    EXPECT_TRUE(m.HasRotationOrScale());
}

TEST(MatrixTest, OrthoOffCenterMapsTheScreenToClipSpace)
{
    Matrix m;
    MatrixOrthoOffCenter(m, 0, 800, 600, 0, 0, 1);
    Point p;
    m.TransformPoint(p, 0, 0);
    ExpectPoint(p, -1, 1);
    m.TransformPoint(p, 800, 600);
    ExpectPoint(p, 1, -1);
    EXPECT_FLOAT_EQ(m.m[10], 1);
    EXPECT_FLOAT_EQ(m.m[15], 1);
}

TEST(MatrixTest, VectorHelpers)
{
    Vector3 out;
    Vec3Normalize(out, Vector3{0, 0, 0});
    EXPECT_EQ(out.x, 0);
    EXPECT_EQ(out.z, 0);
    Vec3Normalize(out, Vector3{3, 0, 4});
    EXPECT_FLOAT_EQ(out.x, 0.6f);
    EXPECT_FLOAT_EQ(out.z, 0.8f);
    // Nearly unit length is left exactly as it is.
    Vec3Normalize(out, Vector3{1.000001f, 0, 0});
    EXPECT_EQ(out.x, 1.000001f);

    Vector3 axis{1, 0, 0};
    Vec3Cross(axis, axis, Vector3{0, 1, 0});
    EXPECT_FLOAT_EQ(axis.z, 1);

    Plane plane;
    PlaneFromPoints(plane, Vector3{0, 0, 5}, Vector3{1, 0, 5}, Vector3{0, 1, 5});
    EXPECT_FLOAT_EQ(plane.a, 0);
    EXPECT_FLOAT_EQ(plane.b, 0);
    EXPECT_FLOAT_EQ(std::abs(plane.c), 1);
    EXPECT_FLOAT_EQ(plane.c * 5 + plane.d, 0);
}
