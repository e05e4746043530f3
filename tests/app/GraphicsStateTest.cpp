#include "app/Graphics.h"
#include "app/Shader.h"
#include "app/Texture.h"
#include "support/GeometryExpectations.h"

#include <gtest/gtest.h>

namespace {
class GraphicsStateTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        theGraphics.ResetState();
        theGraphics.mTranslation = Point(0, 0);
        theGraphics.ResetClip();
        theGraphics.SetColorWhite();
    }
    Graphics& g = theGraphics;
};
} // namespace

TEST(GraphicsPackColor, TruncatesEachChannelAndKeepsTheLowEightBits)
{
    EXPECT_EQ(Graphics::PackColor(Color(1, 0.5f, 0, 1)), 0xFFFF7F00u);
    // 1.5 x 255 = 382.5, truncated 382, low byte 126.
    EXPECT_EQ(Graphics::PackColor(Color(1, 1, 1, 1.5f)) >> 24, 126u);
    EXPECT_EQ(Graphics::PackColor(Color(0, 0, 0, 0)), 0u);
}

TEST_F(GraphicsStateTest, MultiplierAppliesToTheRequestedColourUntilCleared)
{
    g.SetColorMultiplier(0.5f, 0.5f, 0.5f, 1);
    g.SetColorRGBA(1, 1, 1, 1);
    ExpectColor(g.mColor, 0.5f, 0.5f, 0.5f, 1);
    g.ClearColorMultiplier();
    ExpectColor(g.mColor, 1, 1, 1, 1);
}

TEST_F(GraphicsStateTest, PopColorRestoresTheEffectiveColourNotTheRequestedOne)
{
    g.SetColorMultiplier(0.5f, 0.5f, 0.5f, 1);
    g.SetColorRGBA(1, 1, 1, 1);
    g.PushColor();
    g.ClearColorMultiplier();
    g.PopColor();
    ExpectColor(g.mColor, 0.5f, 0.5f, 0.5f, 1);
    ExpectColor(g.mRequestedColor, 1, 1, 1, 1);
    // Popping an empty stack changes nothing.
    g.PopColor();
    ExpectColor(g.mColor, 0.5f, 0.5f, 0.5f, 1);
}

TEST_F(GraphicsStateTest, PresetsCoverNineColoursAndIgnoreOthers)
{
    g.SetColorPreset(6);
    ExpectColor(g.mColor, 1, 0.5f, 0, 1);
    g.SetColorPreset(8);
    ExpectColor(g.mColor, 0, 0, 0, 1);
    g.SetColorPreset(9);
    ExpectColor(g.mColor, 0, 0, 0, 1);
    g.SetColorPreset(-1);
    ExpectColor(g.mColor, 0, 0, 0, 1);
}

TEST_F(GraphicsStateTest, ClipRectIsRelativeToTheTranslationAndSurvivesPushPop)
{
    g.mTranslation = Point(5, 7);
    g.SetClipRect(10, 10, 100, 50);
    ExpectRect(g.mClip, 15, 17, 100, 50);
    g.PushClip();
    g.PushTranslation();
    g.mTranslation = Point(40, 3);
    g.SetClipRect(0, 0, 1, 1);
    g.PopClip();
    ExpectRect(g.mClip, 15, 17, 100, 50);
    g.PopTranslation();
    EXPECT_FLOAT_EQ(g.mTranslation.x, 5);
    EXPECT_FLOAT_EQ(g.mTranslation.y, 7);
}

TEST_F(GraphicsStateTest, PoppedClipLosesItsFraction)
{
    g.SetClipRect(15.5f, 17, 100, 50);
    g.PushClip();
    g.ResetClip();
    g.PopClip();
    ExpectRect(g.mClip, 15, 17, 100, 50);
}

TEST_F(GraphicsStateTest, ClipToRectTruncatesTowardZero)
{
    g.SetClipToRect(Rect(-1.7f, 2.9f, 10.9f, 5.2f));
    ExpectRect(g.mClip, -1, 2, 10, 5);
    g.ResetClip();
    ExpectRect(g.mClip, -9999, -9999, 19998, 19998);
}

TEST_F(GraphicsStateTest, FilterStackRestoresAndTreatsUnsetAsPoint)
{
    EXPECT_EQ(g.mFilterCache, 0);
    g.PushFiltering();
    g.SetFiltering(true);
    EXPECT_EQ(g.mFilterCache, 1);
    g.PopFiltering();
    EXPECT_EQ(g.mFilterCache, 2);
}

TEST_F(GraphicsStateTest, StacksHoldManyEntriesBeyondTheirFirstCapacity)
{
    for (int i = 0; i < 120; ++i) {
        g.SetColorRGBA(i / 200.0f, 0, 0, 1);
        g.PushColor();
    }
    for (int i = 119; i >= 0; --i) {
        g.PopColor();
        EXPECT_FLOAT_EQ(g.mColor.r, i / 200.0f);
    }
    EXPECT_TRUE(g.mColorStack.IsEmpty());
}

TEST_F(GraphicsStateTest, BlendStatesAreCachedAndColourFillOffForgetsThem)
{
    g.SetAdditive(true);
    EXPECT_EQ(g.mBlendMode, 1);
    g.SetAdditive(false);
    EXPECT_EQ(g.mBlendMode, 2);
    g.SetColorFill(true);
    EXPECT_TRUE(g.mColorFill);
    // Without a device only the flag changes.
    g.SetColorFill(false);
    EXPECT_EQ(g.mBlendMode, 2);
}

TEST_F(GraphicsStateTest, ShaderSetsBlendingByAlphaAndMultipliesTheMaterial)
{
    g.SetColorRGBA(1, 1, 1, 0.5f);
    g.ApplyShader(Shader(Color(0.5f, 1, 1, 1)));
    EXPECT_EQ(g.mAlphaBlendCache, 1);
    ExpectColor(g.mMaterial.diffuse, 0.5f, 1, 1, 0.5f);
    g.SetColorWhite();
    g.ApplyShader(Shader(Color(1, 1, 1, 1)));
    EXPECT_EQ(g.mAlphaBlendCache, 2);

    Texture texture;
    texture.mHasAlpha = 1;
    texture.mAddressMode = 2;
    Shader textured(Color(1, 1, 1, 1));
    textured.mTexture = &texture;
    g.ApplyShader(textured);
    EXPECT_EQ(g.mAlphaBlendCache, 1);
    EXPECT_EQ(g.mAddressCache, 2);
    EXPECT_EQ(g.mBoundTexture, &texture);
    EXPECT_EQ(g.mLastShader.texture, &texture);
    g.ApplyShader(Shader(Color(1, 1, 1, 1)));
    EXPECT_EQ(g.mBoundTexture, nullptr);
}

TEST_F(GraphicsStateTest, ZoomOfOneIsOffAndOtherScalesAboutTheCentre)
{
    g.SetZoom(1.0f);
    EXPECT_FALSE(g.mZoomOn);
    g.SetZoom(1.05f);
    EXPECT_TRUE(g.mZoomOn);
    // The centre of the logical screen stays where it was.
    Point centre;
    g.mView.TransformPoint(centre, 400, 300);
    Point plain;
    g.SetZoom(1.0f);
    g.mView.TransformPoint(plain, 400, 300);
    EXPECT_NEAR(centre.x, plain.x, 1e-3);
    EXPECT_NEAR(centre.y, plain.y, 1e-3);
}

TEST_F(GraphicsStateTest, WorldTransformCarriesTheTranslation)
{
    g.mTranslation = Point(100, 50);
    Matrix m;
    m.Translate(3, 4, 0);
    g.SetWorldTransform(m);
    EXPECT_FLOAT_EQ(g.mWorld.m[12], 103);
    EXPECT_FLOAT_EQ(g.mWorld.m[13], 54);
}

TEST_F(GraphicsStateTest, AtlasLoadingBracketsDoNotNest)
{
    g.mUseAtlas = false;
    g.SetAtlasLoading(true);
    g.SetAtlasLoading(true);
    EXPECT_TRUE(g.mUseAtlas);
    g.SetAtlasLoading(false);
    EXPECT_FALSE(g.mUseAtlas);
    g.SetAtlasLoading(false);
    EXPECT_FALSE(g.mUseAtlas);
}

TEST_F(GraphicsStateTest, LogicalResolutionSetsTheScales)
{
    g.mWidth = 1024;
    g.mHeight = 768;
    g.SetLogicalResolution(800, 600);
    EXPECT_FLOAT_EQ(g.mScaleX, 1.28f);
    EXPECT_FLOAT_EQ(g.mScaleY, 1.28f);
    EXPECT_FLOAT_EQ(g.mScale640, 0.8f);
    EXPECT_FLOAT_EQ(g.mScale480, 0.8f);
    EXPECT_TRUE(g.NeedsFiltering(nullptr));
    g.mWidth = 800;
    g.mHeight = 600;
}

TEST(GraphicsErrorName, NamesKnownCodesAndFormatsOthers)
{
    EXPECT_STREQ(DXErrorName(0).CStr(), "DDOK");
    EXPECT_STREQ(DXErrorName(DXResult::OutOfMemory).CStr(), "E_OUTOFMEMORY");
    EXPECT_STREQ(DXErrorName(DXResult::Generic).CStr(), "DSERR_GENERIC");
    EXPECT_STREQ(DXErrorName(DXResult::NotImplemented).CStr(), "DDERR_UNSUPPORTED");
    EXPECT_STREQ(DXErrorName(0x12345).CStr(), "0x00012345");
}
