#include "app/VertexBuffer2D.h"
#include "app/Graphics.h"
#include "app/Shader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

TEST(VertexBuffer2D, ArrayIsSizedByTheFormatStride)
{
    VertexBuffer2D textured;
    textured.Create(4);
    EXPECT_EQ(textured.GetStride(), 20u);
    ASSERT_NE(textured.Lock(), nullptr);
    // Every byte of the array is ours to write.
    std::memset(textured.Lock(), 0xAB, 4 * 20);

    VertexBuffer2D colored;
    colored.mVertexFormat = kFVFColored;
    colored.Create(25);
    EXPECT_EQ(colored.GetStride(), 24u);
    std::memset(colored.Lock(), 0xCD, 25 * sizeof(ColoredVertex));
}

TEST(VertexBuffer2D, CreateAgainReplacesTheArrayAndZeroIsEmpty)
{
    VertexBuffer2D buffer;
    buffer.Create(4);
    buffer.Create(8);
    EXPECT_EQ(buffer.mCount, 8u);
    std::memset(buffer.Lock(), 0, 8 * 20);
    buffer.Create(0);
    EXPECT_EQ(buffer.Lock(), nullptr);
    buffer.Release();
    EXPECT_EQ(buffer.Lock(), nullptr);
}

TEST(VertexBuffer2D, DrawingPastTheArrayDrawsNothing)
{
    VertexBuffer2D buffer;
    buffer.mPrimitive = VertexBuffer2D::kList;
    buffer.Create(6);
    // Nothing to draw into, and no read past the six vertices either way.
    theGraphics.DrawVertexBuffer(&buffer, 6, 3);
    theGraphics.DrawVertexBuffer(&buffer, 3, 3);
    theGraphics.DrawVertexBuffer(nullptr, 3, 0);
}

TEST(Shader, TranslucentUnlessAlphaIsExactlyOne)
{
    EXPECT_FALSE(Shader(Color(1, 1, 1, 1)).mTranslucent);
    EXPECT_TRUE(Shader(Color(1, 1, 1, 0.999f)).mTranslucent);
    EXPECT_TRUE(Shader(Color(1, 1, 1, std::nanf(""))).mTranslucent);
    const Shader empty;
    EXPECT_EQ(empty.mTexture, nullptr);
    EXPECT_FLOAT_EQ(empty.mDiffuse.a, 0.0f);
}
