#include "app/Graphics.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {
ColoredVertex Colored(float x, float y, uint32_t color = 0xFFFFFFFF, float u = 0, float v = 0)
{
    return ColoredVertex{x, y, 1.0f, color, u, v};
}

TexturedVertex Textured(float x, float y, float u, float v)
{
    return TexturedVertex{x, y, 1.0f, u, v};
}

} // namespace

TEST(GraphicsClipping, QuadAcrossTheLeftEdgeBecomesAFourVertexFan)
{
    // The strip quad in fan order: (-10,0) (10,0) (10,20) (-10,20).
    VertexArray<TexturedVertex> quad;
    quad.Append(Textured(-10, 0, 0, 0));
    quad.Append(Textured(10, 0, 1, 0));
    quad.Append(Textured(10, 20, 1, 1));
    quad.Append(Textured(-10, 20, 0, 1));
    VertexArray<TexturedVertex> out;
    Graphics::ClipPolygonToRect(quad, Rect(0, 0, 800, 600), out);
    ASSERT_EQ(out.count, 4);
    int onEdge = 0;
    for (int i = 0; i < out.count; ++i) {
        EXPECT_GE(out.data[i].x, 0.0f);
        EXPECT_LE(out.data[i].x, 10.0f);
        if (out.data[i].x == 0.0f) {
            EXPECT_FLOAT_EQ(out.data[i].u, 0.5f);
            ++onEdge;
        }
    }
    EXPECT_EQ(onEdge, 2);
}

TEST(GraphicsClipping, PolygonOutsideVanishesAndInsideStaysWhole)
{
    VertexArray<ColoredVertex> outside;
    outside.Append(Colored(900, 10));
    outside.Append(Colored(950, 10));
    outside.Append(Colored(950, 50));
    VertexArray<ColoredVertex> out;
    Graphics::ClipPolygonToRect(outside, Rect(0, 0, 800, 600), out);
    EXPECT_EQ(out.count, 0);

    VertexArray<ColoredVertex> inside;
    inside.Append(Colored(10, 10));
    inside.Append(Colored(50, 10));
    inside.Append(Colored(50, 50));
    VertexArray<ColoredVertex> kept;
    Graphics::ClipPolygonToRect(inside, Rect(0, 0, 800, 600), kept);
    EXPECT_EQ(kept.count, 3);
}

TEST(GraphicsClipping, VertexOnTheRightEdgeIsReproduced)
{
    VertexArray<TexturedVertex> triangle;
    triangle.Append(Textured(700, 10, 0, 0));
    triangle.Append(Textured(800, 10, 1, 0));
    triangle.Append(Textured(800, 50, 1, 1));
    VertexArray<TexturedVertex> out;
    Graphics::ClipPolygonToRect(triangle, Rect(0, 0, 800, 600), out);
    ASSERT_GE(out.count, 3);
    float maxX = 0;
    for (int i = 0; i < out.count; ++i) {
        maxX = std::max(maxX, out.data[i].x);
    }
    EXPECT_FLOAT_EQ(maxX, 800.0f);
}

TEST(GraphicsClipping, FractionalClipIsTruncated)
{
    VertexArray<TexturedVertex> quad;
    quad.Append(Textured(-50, -50, 0, 0));
    quad.Append(Textured(200, -50, 1, 0));
    quad.Append(Textured(200, 200, 1, 1));
    quad.Append(Textured(-50, 200, 0, 1));
    VertexArray<TexturedVertex> out;
    Graphics::ClipPolygonToRect(quad, Rect(0.5f, 0.5f, 100.7f, 100.7f), out);
    ASSERT_EQ(out.count, 4);
    for (int i = 0; i < out.count; ++i) {
        EXPECT_TRUE(out.data[i].x == 0.0f || out.data[i].x == 100.0f);
        EXPECT_TRUE(out.data[i].y == 0.0f || out.data[i].y == 100.0f);
    }
}

TEST(GraphicsClipping, PassesNeedTwoVerticesAndUnknownComponentsReadZero)
{
    VertexArray<ColoredVertex> one;
    one.Append(Colored(-5, 5));
    VertexArray<ColoredVertex> out;
    Graphics::ClipPolygonMin(0, 0, one, out);
    EXPECT_EQ(out.count, 0);

    VertexArray<ColoredVertex> pair;
    pair.Append(Colored(1, 1));
    pair.Append(Colored(2, 2));
    // Component 7 reads 0 everywhere: all inside for >= 0.
    Graphics::ClipPolygonMin(7, 0, pair, out);
    EXPECT_EQ(out.count, 2);
}

TEST(GraphicsClipping, ColourInterpolatesPerChannelTruncated)
{
    const ColoredVertex a = Colored(0, 0, 0xFF000000, 0, 0);
    const ColoredVertex b = Colored(10, 20, 0x00000000, 1, 1);
    const ColoredVertex mid = Graphics::LerpColoredVertex(a, b, 0.5f);
    EXPECT_EQ(mid.color, 0x7F000000u);
    EXPECT_FLOAT_EQ(mid.x, 5);
    EXPECT_FLOAT_EQ(mid.y, 10);
    EXPECT_FLOAT_EQ(mid.u, 0.5f);
    EXPECT_FLOAT_EQ(mid.z, 1.0f);
    const ColoredVertex same =
        Graphics::LerpColoredVertex(Colored(0, 0, 0x12345678), Colored(1, 1, 0x12345678), 0.3f);
    EXPECT_EQ(same.color, 0x12345678u);
}

TEST(GraphicsClipping, VertexArrayGrowsPastItsInlineRoom)
{
    VertexArray<TexturedVertex> big;
    for (int i = 0; i < 250; ++i) {
        big.Append(Textured(static_cast<float>(i), 0, 0, 0));
    }
    EXPECT_EQ(big.count, 250);
    EXPECT_GE(big.capacity, 250);
    EXPECT_FLOAT_EQ(big.data[249].x, 249.0f);
    EXPECT_FLOAT_EQ(big.data[0].x, 0.0f);
}
