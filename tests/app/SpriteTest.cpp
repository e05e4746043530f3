#include "app/Sprite.h"
#include "app/Graphics.h"
#include "app/Image.h"
#include "app/Texture.h"

#include "support/CachedImageFile.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

namespace {

constexpr int kAddressWrap = 1;

class SpriteTest : public testing::Test
{
  protected:
    void SetUp() override
    {
        theGraphics.ResetState();
        theGraphics.mMaxTextureWidth = 2048;
        theGraphics.mMaxTextureHeight = 2048;
        theGraphics.mMaxTextureAspect = 8;
        theGraphics.mScale640 = 1.0f;
        theGraphics.mScale480 = 1.0f;
    }
    void TearDown() override { theGraphics.ResetState(); }

    static void Fill(Image& image, int w, int h, uint32_t pixel)
    {
        image.Create(w, h, false);
        std::fill(image.mPixels, image.mPixels + w * h, pixel);
    }

    TemporaryFolder folder;
};

} // namespace

TEST_F(SpriteTest, LoadsByNameIntoOneTexture)
{
    WriteCachedImage(folder / "five.cached", 5, 5, std::vector<uint32_t>(25, 0xFF00FF00u));
    Sprite sprite;
    sprite.Load((folder / "five").c_str());
    ASSERT_TRUE(sprite.mLoaded);
    EXPECT_EQ(sprite.mWidth, 5);
    EXPECT_EQ(sprite.mHeight, 5);
    ASSERT_NE(sprite.mTexture, nullptr);
    EXPECT_EQ(sprite.mShader.mTexture, sprite.mTexture);
    EXPECT_TRUE(sprite.mTiles.empty());
    EXPECT_EQ(sprite.mImage, nullptr);
    // The texture is allocated 8 x 8: the picture covers 5/8 of it.
    EXPECT_FLOAT_EQ(sprite.mSourceRect.w, 5.0f / float(sprite.mTexture->mWidth));
    EXPECT_EQ(sprite.mVertexBuffer.mCount, 4u);
    const auto* v = static_cast<const TexturedVertex*>(sprite.mVertexBuffer.Lock());
    EXPECT_FLOAT_EQ(v[0].x, -2.5f);
    EXPECT_FLOAT_EQ(v[3].y, 2.5f);
    EXPECT_FLOAT_EQ(v[3].u, sprite.mSourceRect.w);
    sprite.Release();
    EXPECT_FALSE(sprite.mLoaded);
    EXPECT_EQ(sprite.mTexture, nullptr);
}

TEST_F(SpriteTest, LargeImagesAreTiledWithTheHardwareRendererOnly)
{
    Image wide;
    Fill(wide, 513, 10, 0xFFFFFFFFu);
    Sprite tiled(&wide, Rect(0, 0, 513, 10));
    ASSERT_TRUE(tiled.mLoaded);
    EXPECT_EQ(tiled.mTexture, nullptr);
    ASSERT_GT(tiled.mTiles.size(), 1u);
    float right = 0.0f;
    for (const auto& tile : tiled.mTiles) {
        right = std::max(right, tile->bounds.x + tile->bounds.w);
        EXPECT_NE(tile->texture, nullptr);
    }
    EXPECT_FLOAT_EQ(right, 513.0f); // the last tile is cut to the picture
    EXPECT_EQ(tiled.mVertexBuffer.mCount, 4u * tiled.mTiles.size());

    Image square;
    Fill(square, 512, 512, 0xFFFFFFFFu);
    Sprite single(&square, Rect(0, 0, 512, 512));
    EXPECT_NE(single.mTexture, nullptr);
    EXPECT_TRUE(single.mTiles.empty());

    theGraphics.mSoftware = true;
    Sprite software(&wide, Rect(0, 0, 513, 10));
    EXPECT_NE(software.mTexture, nullptr);
    EXPECT_TRUE(software.mTiles.empty());
}

TEST_F(SpriteTest, InsetSpritesLoseTheirBorderAndWrap)
{
    Image image;
    Fill(image, 34, 34, 0xFFFFFFFFu);
    Sprite sprite;
    sprite.mInset = true;
    sprite.CreateFromImageRect(&image, Rect(0, 0, 34, 34));
    EXPECT_EQ(sprite.mWidth, 32);
    EXPECT_EQ(sprite.mHeight, 32);
    EXPECT_EQ(sprite.mTexture->mAddressMode, kAddressWrap);
    // One texel in at the left and top, one and a half at the right and bottom.
    EXPECT_FLOAT_EQ(sprite.mSourceRect.x * float(sprite.mTexture->mWidth), 1.0f);
    EXPECT_FLOAT_EQ(sprite.mSourceRect.w * float(sprite.mTexture->mWidth), 32.5f);
}

TEST_F(SpriteTest, AlphaLookupInsideAndOutside)
{
    Image image;
    Fill(image, 4, 2, 0xFFFFFFFFu);
    *image.GetPixelPtr(1, 0) = 0x80FFFFFFu;
    *image.GetPixelPtr(3, 1) = 0x00FFFFFFu;
    Sprite sprite(&image, Rect(0, 0, 4, 2));
    EXPECT_FLOAT_EQ(sprite.GetAlphaAt(0, 0), 1.0f);
    EXPECT_NEAR(sprite.GetAlphaAt(1, 0), 128.0f / 255.0f, 1e-6);
    EXPECT_FLOAT_EQ(sprite.GetAlphaAt(3, 1), 0.0f);
    EXPECT_FLOAT_EQ(sprite.GetAlphaAt(4, 0), 0.0f);
    EXPECT_FLOAT_EQ(sprite.GetAlphaAt(-1, 0), 0.0f);
    EXPECT_FLOAT_EQ(sprite.GetAlphaAt(0, 2), 0.0f);

    Image opaque;
    Fill(opaque, 3, 3, 0xFF102030u);
    Sprite solid(&opaque, Rect(0, 0, 3, 3));
    EXPECT_FLOAT_EQ(solid.GetAlphaAt(2, 2), 1.0f);
    EXPECT_EQ(solid.mAlphaMap, nullptr); // no map needed
    EXPECT_FLOAT_EQ(solid.GetAlphaAt(3, 0), 0.0f);
}

TEST_F(SpriteTest, TiledAlphaMapStartsAtTheSpritesCorner)
{
    // A clump whose only part lies away from (0, 0).
    std::vector<uint32_t> pixels(20 * 20, 0x00000000u);
    for (int y = 10; y < 14; ++y) {
        for (int x = 12; x < 16; ++x) {
            pixels[size_t(y * 20 + x)] = 0xFFFFFFFFu;
        }
    }
    WriteCachedImage(folder / "clump.cached", 20, 20, pixels);
    folder.WriteText("clump.clump", "<CLUMP><SIZE>20,20</SIZE><RECT>12,10,4,4</RECT></CLUMP>");
    Sprite sprite;
    sprite.Load((folder / "clump").c_str());
    ASSERT_TRUE(sprite.mLoaded);
    ASSERT_EQ(sprite.mTiles.size(), 1u);
    EXPECT_FLOAT_EQ(sprite.GetAlphaAt(13, 11), 1.0f);
    EXPECT_FLOAT_EQ(sprite.GetAlphaAt(1, 1), 0.0f);
    EXPECT_FLOAT_EQ(sprite.GetAlphaAt(19, 19), 0.0f);
    EXPECT_GE(sprite.mAlphaMapWidth, 16);
}

TEST_F(SpriteTest, ClumpPartsOutsideTheImageAreCutOrLeftOut)
{
    WriteCachedImage(folder / "c.cached", 8, 8, std::vector<uint32_t>(64, 0xFFFFFFFFu));
    folder.WriteText("c.clump", "<CLUMP><SIZE>8,8</SIZE><RECT>4,4,100,100</RECT><RECT>50,50,4,4</RECT>"
                                "<RECT>-3, 0, 5</RECT></CLUMP>");
    Sprite sprite;
    sprite.Load((folder / "c").c_str());
    ASSERT_EQ(sprite.mTiles.size(), 1u);
    EXPECT_FLOAT_EQ(sprite.mTiles[0]->bounds.w, 4.0f);
    EXPECT_FLOAT_EQ(sprite.mTiles[0]->bounds.h, 4.0f);
    EXPECT_EQ(sprite.mWidth, 8);
}

TEST_F(SpriteTest, OpaqueRunsSkipTexelsOfAlphaFiveOrLess)
{
    theGraphics.mSoftware = true;
    Image image;
    image.Create(5, 2, true);
    const uint32_t alphas[5] = {0, 6, 6, 5, 255};
    for (int x = 0; x < 5; ++x) {
        *image.GetPixelPtr(x, 0) = alphas[x] << 24 | 0x00FFFFFFu;
    }
    *image.GetPixelPtr(0, 1) = 0xFFFFFFFFu;
    Sprite sprite(&image, Rect(0, 0, 5, 2));
    ASSERT_EQ(sprite.mOpaqueRuns.size(), 3u);
    EXPECT_EQ(sprite.mOpaqueRuns[0].x, 1);
    EXPECT_EQ(sprite.mOpaqueRuns[0].length, 2u);
    EXPECT_EQ(sprite.mOpaqueRuns[0].offset, 4u);
    EXPECT_EQ(sprite.mOpaqueRuns[1].x, 4);
    EXPECT_EQ(sprite.mOpaqueRuns[1].length, 1u);
    EXPECT_EQ(sprite.mOpaqueRuns[2].y, 1);
    EXPECT_EQ(sprite.mOpaqueRuns[2].length, 1u);
    EXPECT_EQ(sprite.mOpaqueRuns[2].offset, uint32_t(sprite.mTexture->mDesc.pitch));
}

TEST_F(SpriteTest, SoftwareSpritesAreMadeAtScreenScale)
{
    theGraphics.mSoftware = true;
    theGraphics.mScale640 = 0.8f;
    theGraphics.mScale480 = 0.8f;
    Image image;
    Fill(image, 10, 5, 0xFFFFFFFFu);
    Sprite sprite(&image, Rect(0, 0, 10, 5));
    EXPECT_EQ(sprite.mWidth, 10);             // logical size
    ASSERT_EQ(sprite.mOpaqueRuns.size(), 4u); // 8 x 4 texels
    EXPECT_EQ(sprite.mOpaqueRuns[0].length, 8u);

    theGraphics.mScale640 = 0.4f;
    theGraphics.mScale480 = 0.4f;
    Image dot;
    Fill(dot, 1, 1, 0xFFFFFFFFu);
    Sprite tiny(&dot, Rect(0, 0, 1, 1));
    ASSERT_NE(tiny.mTexture, nullptr);
    EXPECT_TRUE(tiny.mLoaded);
}

TEST_F(SpriteTest, FastBlitSpritesReportTheSizeBeforeTheCache)
{
    theGraphics.mSoftware = true;
    std::vector<uint8_t> extra = {'O', 'S', 'I', 'Z'};
    for (int32_t v : {800, 600}) {
        for (int i = 0; i < 4; ++i) {
            extra.push_back(uint8_t(uint32_t(v) >> (8 * i)));
        }
    }
    WriteCachedImage(folder / "bg.cached", 16, 12, std::vector<uint32_t>(16 * 12, 0xFF336699u), extra);
    Sprite sprite;
    sprite.EnableFastBlit();
    EXPECT_TRUE(sprite.mFastBlit);
    sprite.Load((folder / "bg").c_str());
    ASSERT_TRUE(sprite.mLoaded);
    EXPECT_EQ(sprite.mWidth, 800);
    EXPECT_EQ(sprite.mHeight, 600);
    ASSERT_NE(sprite.mTexture, nullptr);
    EXPECT_TRUE(sprite.mOpaqueRuns.empty());

    theGraphics.mSoftware = false;
    Sprite hardware;
    hardware.EnableFastBlit();
    EXPECT_FALSE(hardware.mFastBlit);
}

TEST_F(SpriteTest, SameSizeImageIsOnlyUploadedAgain)
{
    Image image;
    Fill(image, 4, 4, 0x80FFFFFFu);
    Sprite sprite(&image, Rect(0, 0, 4, 4));
    sprite.GetAlphaAt(0, 0);
    ASSERT_NE(sprite.mAlphaMap, nullptr);
    Texture* texture = sprite.mTexture;
    Fill(image, 4, 4, 0xFF00FF00u);
    sprite.CreateFromImageRect(&image, Rect(0, 0, 4, 4));
    EXPECT_EQ(sprite.mTexture, texture);
    EXPECT_NE(sprite.mAlphaMap, nullptr);
    EXPECT_EQ(texture->mSurface->GetPixel(0, 0), 0xFF00FF00u);

    sprite.SetImage(&image);
    EXPECT_EQ(sprite.mTexture, texture);
    Image larger;
    Fill(larger, 6, 4, 0xFF00FF00u);
    sprite.SetImage(&larger);
    EXPECT_EQ(sprite.mWidth, 6);
}

TEST_F(SpriteTest, EmptyAreaLeavesTheSpriteUnloaded)
{
    Image image;
    Fill(image, 4, 4, 0xFFFFFFFFu);
    Sprite sprite(&image, Rect(0, 0, 4, 4));
    sprite.CreateFromImageRect(&image, Rect(0, 0, 0, 4));
    EXPECT_FALSE(sprite.mLoaded);
    sprite.CreateFromImageRect(&image, Rect(0, 0, 0.5f, 4));
    EXPECT_FALSE(sprite.mLoaded);
}

TEST_F(SpriteTest, SharedRegionOfATextureAndReloadingAfterIt)
{
    Image image;
    Fill(image, 16, 16, 0xFFFFFFFFu);
    Texture page(image);
    Sprite glyph(&page, Rect(4, 0, 8, 4));
    EXPECT_TRUE(glyph.mLoaded);
    EXPECT_TRUE(glyph.mShared);
    EXPECT_EQ(glyph.mWidth, 8);
    EXPECT_FLOAT_EQ(glyph.mSourceRect.x, 4.0f / float(page.mWidth));
    EXPECT_FLOAT_EQ(glyph.mSourceRect.w, 12.0f / float(page.mWidth));

    Sprite strip;
    strip.CreateFromTextureRect(&page, Rect(0, 0, 0.5f, 0.25f));
    EXPECT_EQ(strip.mWidth, page.mWidth / 2);
    EXPECT_EQ(strip.mHeight, page.mHeight / 4);
    EXPECT_EQ(strip.mTexture, &page);

    // A sprite that showed a shared texture makes its own when loaded anew.
    WriteCachedImage(folder / "own.cached", 2, 2, std::vector<uint32_t>(4, 0xFFFFFFFFu));
    strip.Load((folder / "own").c_str());
    EXPECT_FALSE(strip.mShared);
    EXPECT_NE(strip.mTexture, &page);
    EXPECT_EQ(strip.mWidth, 2);
}
