#include "app/Texture.h"
#include "app/Graphics.h"
#include "app/Image.h"
#include "app/TextureSplatter.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

namespace {
class TextureTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        theGraphics.ResetState();
        theGraphics.mMaxTextureAspect = 8;
        theGraphics.mSoftware = false;
    }
    void TearDown() override { theGraphics.mSoftware = false; }

    static void Fill(Image& image, int w, int h, uint32_t pixel)
    {
        image.Create(w, h, true);
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                *image.GetPixelPtr(x, y) = pixel;
            }
        }
    }

    static int CopiedColumns(const Texture& texture)
    {
        int columns = 0;
        while (columns < texture.mSurface->GetWidth() && texture.mSurface->GetPixel(columns, 0) != 0) {
            ++columns;
        }
        return columns;
    }
};
} // namespace

TEST_F(TextureTest, SizesRoundUpToPowersOfTwoWithinTheAspect)
{
    Point size;
    theGraphics.GetTextureSize(size, 64, 64);
    EXPECT_FLOAT_EQ(size.x, 64);
    EXPECT_FLOAT_EQ(size.y, 64);
    theGraphics.GetTextureSize(size, 100, 30);
    EXPECT_FLOAT_EQ(size.x, 128);
    EXPECT_FLOAT_EQ(size.y, 32);
    theGraphics.GetTextureSize(size, 300, 20);
    EXPECT_FLOAT_EQ(size.x, 512);
    EXPECT_FLOAT_EQ(size.y, 64);
    theGraphics.mMaxTextureAspect = 1;
    theGraphics.GetTextureSize(size, 100, 30);
    EXPECT_FLOAT_EQ(size.x, 128);
    EXPECT_FLOAT_EQ(size.y, 128);
}

TEST_F(TextureTest, UploadBringsTheEndColumnAndRowWhenTheImageHasThem)
{
    Image big;
    Fill(big, 200, 200, 0xFF336699);
    Texture inner(big, Rect(0, 0, 100, 100));
    ASSERT_NE(inner.mSurface, nullptr);
    EXPECT_EQ(inner.mSurface->GetWidth(), 128);
    EXPECT_EQ(CopiedColumns(inner), 101);

    Image exact;
    Fill(exact, 100, 100, 0xFF336699);
    Texture whole(exact, Rect(0, 0, 100, 100));
    EXPECT_EQ(CopiedColumns(whole), 100);
}

TEST_F(TextureTest, HasAlphaFollowsTheLastUpload)
{
    Image image;
    Fill(image, 8, 8, 0xFFFFFFFF);
    Texture texture(image);
    EXPECT_EQ(texture.mHasAlpha, 0);
    *image.GetPixelPtr(3, 3) = 0xFEFFFFFF;
    texture.Reload(image, false);
    EXPECT_EQ(texture.mHasAlpha, 1);
}

TEST_F(TextureTest, UploadOutsideTheImageDoesNothing)
{
    Image image;
    Fill(image, 8, 8, 0xFFFFFFFF);
    Texture texture;
    texture.SetSize(8, 8);
    texture.Upload(image, Rect(8, 0, 4, 4), false);
    EXPECT_EQ(texture.mSurface, nullptr);
    texture.Upload(image, Rect(-20, -20, 4, 4), false);
    EXPECT_EQ(texture.mSurface, nullptr);
}

TEST_F(TextureTest, SixteenBitSurfacesTakeScaledChannels)
{
    Image image;
    Fill(image, 4, 4, 0xFFFF8080);
    // A surface in the display format of a 16-bit full screen.
    Texture texture;
    texture.mWidth = 4;
    texture.mHeight = 4;
    texture.mSurface = new Platform::Surface(4, 4, Platform::PixelFormat::RGB565());
    texture.mDesc = texture.mSurface->GetDesc();
    texture.Upload(image, Rect(0, 0, 4, 4), true);
    uint16_t pixel;
    std::memcpy(&pixel, texture.mSurface->GetRow(0), 2);
    EXPECT_EQ(pixel >> 11, 31);
    EXPECT_EQ((pixel >> 5) & 63, 31);
    EXPECT_EQ(pixel & 31, 15);
}

TEST_F(TextureTest, TexelRectSnapsAndInsetsOnlyForTheHardwareRenderer)
{
    Texture texture;
    texture.mWidth = 64;
    texture.mHeight = 32;
    const Rect hardware = texture.GetTexelRect(Rect(0, 0, 1, 1), true);
    EXPECT_FLOAT_EQ(hardware.x, 1.0f / 64);
    EXPECT_FLOAT_EQ(hardware.y, 1.0f / 32);
    EXPECT_FLOAT_EQ(hardware.w, 62.5f / 64);
    EXPECT_FLOAT_EQ(hardware.h, 30.5f / 32);
    theGraphics.mSoftware = true;
    const Rect software = texture.GetTexelRect(Rect(0, 0, 1, 1), true);
    EXPECT_FLOAT_EQ(software.x, 0);
    EXPECT_FLOAT_EQ(software.w, 1);
    EXPECT_FLOAT_EQ(software.h, 1);
}

TEST_F(TextureTest, ReadAlphaStaysOnTheSurface)
{
    Image image;
    Fill(image, 4, 4, 0x80FFFFFF);
    *image.GetPixelPtr(3, 3) = 0x10FFFFFF;
    Texture texture(image);
    int width = 0;
    int height = 0;
    std::unique_ptr<uint8_t[]> alpha(texture.ReadAlpha(Rect(0.5f, 0.5f, 1, 1), width, height));
    // 4 x right 1 names column 4, just past the surface: read as column 3.
    ASSERT_EQ(width, 3);
    ASSERT_EQ(height, 3);
    EXPECT_EQ(alpha[0], 0x80);
    EXPECT_EQ(alpha[1 * 3 + 1], 0x10);
    EXPECT_EQ(alpha[2 * 3 + 2], 0x10);

    Image opaque;
    Fill(opaque, 4, 4, 0xFFFFFFFF);
    Texture solid(opaque);
    std::unique_ptr<uint8_t[]> all(solid.ReadAlpha(Rect(0, 0, 1, 1), width, height));
    EXPECT_EQ(width, 5);
    EXPECT_EQ(all[24], 255);
}

TEST_F(TextureTest, AtlasPlacesMapIntoTheirRectangle)
{
    Texture texture;
    texture.mInAtlas = 1;
    texture.mUV = Rect(0.5f, 0.25f, 1.0f, 0.5f);
    const Rect mapped = texture.MapToAtlas(Rect(0, 0, 0.5f, 1));
    EXPECT_FLOAT_EQ(mapped.x, 0.5f);
    EXPECT_FLOAT_EQ(mapped.y, 0.25f);
    EXPECT_FLOAT_EQ(mapped.w, 0.75f);
    EXPECT_FLOAT_EQ(mapped.h, 0.5f);
    texture.mInAtlas = 0;
}

TEST_F(TextureTest, MoveToSystemMemoryKeepsThePixelsInTheDisplayFormat)
{
    Image image;
    Fill(image, 8, 8, 0xFF102030);
    Texture texture(image);
    texture.MoveToSystemMemory(); // hardware renderer: nothing
    EXPECT_EQ(texture.mSurface->GetFormat(), Platform::PixelFormat::ARGB8888());
    theGraphics.mSoftware = true;
    texture.MoveToSystemMemory();
    EXPECT_EQ(texture.mSurface->GetFormat(), theGraphics.GetDisplayFormat());
    EXPECT_EQ(texture.mSurface->GetPixel(7, 7), 0xFF102030u);
}

TEST_F(TextureTest, ActiveAtlasTakesNewTexturesAtTheirPlace)
{
    TextureSplatter atlas;
    theGraphics.mMaxTextureWidth = 2048;
    theGraphics.mMaxTextureHeight = 2048;
    theGraphics.mUseAtlas = true;
    atlas.Create(64, 64);
    theGraphics.mActiveAtlas = &atlas;
    Image first;
    Fill(first, 8, 8, 0xFF112233);
    Image second;
    Fill(second, 8, 8, 0xFF445566);
    Texture a(first);
    Texture b(second);
    theGraphics.mActiveAtlas = nullptr;
    theGraphics.mUseAtlas = false;
    ASSERT_EQ(a.mInAtlas, 1);
    ASSERT_EQ(b.mInAtlas, 1);
    ASSERT_EQ(a.mSurface, b.mSurface);
    const int bx = static_cast<int>(b.mUV.x * 64);
    const int by = static_cast<int>(b.mUV.y * 64);
    EXPECT_EQ(b.mSurface->GetPixel(bx, by), 0xFF445566u);
    EXPECT_EQ(a.mSurface->GetPixel(static_cast<int>(a.mUV.x * 64), static_cast<int>(a.mUV.y * 64)),
              0xFF112233u);
}

// Beside an image placed right of another, the padding column left of it
// holds its own first column, and the padding row above an image placed
// below holds its first row: the hardware renderer's half-texel sampling
// at whole pixels reads there.
TEST_F(TextureTest, AtlasPlacesRepeatTheirFirstColumnAndRowIntoThePaddingBefore)
{
    TextureSplatter atlas;
    theGraphics.mMaxTextureWidth = 2048;
    theGraphics.mMaxTextureHeight = 2048;
    theGraphics.mUseAtlas = true;
    atlas.Create(32, 64);
    theGraphics.mActiveAtlas = &atlas;
    Image images[3];
    for (int i = 0; i < 3; ++i) {
        Fill(images[i], 12, 8, 0xFF000000u + 0x111111u * uint32_t(i + 1));
        for (int k = 0; k < 8; ++k) {
            *images[i].GetPixelPtr(0, k) = 0xFF0000FFu; // first column
            *images[i].GetPixelPtr(k, 0) = 0xFF00FF00u; // first row
        }
    }
    Texture a(images[0]), b(images[1]), c(images[2]);
    theGraphics.mActiveAtlas = nullptr;
    theGraphics.mUseAtlas = false;
    // 12 x 8 images with their padding: the second fits right of the
    // first, the third only below it.
    ASSERT_EQ(int(b.mUV.x * 32), 13);
    ASSERT_EQ(int(c.mUV.y * 64), 9);
    const Platform::Surface& page = *a.mSurface;
    for (int k = 1; k < 8; ++k) {
        EXPECT_EQ(page.GetPixel(12, k), 0xFF0000FFu) << "left of the image right of the first, row " << k;
        EXPECT_EQ(page.GetPixel(k, 8), 0xFF00FF00u) << "above the image below the first, column " << k;
        EXPECT_EQ(page.GetPixel(11, k), 0xFF111111u) << "the first image itself";
    }
}
