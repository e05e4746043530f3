#include "app/SpriteStrip.h"
#include "app/Graphics.h"
#include "app/Image.h"
#include "app/Texture.h"

#include "support/CachedImageFile.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

namespace {

class SpriteStripTest : public testing::Test
{
  protected:
    void SetUp() override
    {
        theGraphics.ResetState();
        theGraphics.mMaxTextureWidth = 2048;
        theGraphics.mMaxTextureHeight = 2048;
    }
    void TearDown() override { theGraphics.ResetState(); }
};

// Column x of the picture holds the colour 0xFF000000 + x.
Image Columns(int w, int h)
{
    Image image;
    image.Create(w, h, false);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            *image.GetPixelPtr(x, y) = 0xFF000000u + uint32_t(x);
        }
    }
    return image;
}

class CountingStrip : public SpriteStrip
{
  public:
    void PrepareFrame() override { ++prepared; }
    int prepared = 0;
};

} // namespace

TEST_F(SpriteStripTest, FramesStartAtTheTruncatedRunningWidth)
{
    Image image = Columns(100, 4);
    SpriteStrip strip;
    strip.CreateFromImage(&image, 3);
    ASSERT_EQ(strip.mFrameCount, 3);
    const uint32_t starts[3] = {0, 33, 66};
    for (int i = 0; i < 3; ++i) {
        Sprite* frame = strip.GetFrame(i);
        ASSERT_NE(frame, nullptr);
        EXPECT_EQ(frame->mWidth, 33);
        EXPECT_EQ(frame->mHeight, 4);
        EXPECT_EQ(frame->mTexture->mSurface->GetPixel(0, 0), 0xFF000000u + starts[i]);
    }
}

TEST_F(SpriteStripTest, TheHookRunsOnEveryFrameRequest)
{
    Image image = Columns(8, 2);
    CountingStrip strip;
    strip.CreateFromImage(&image, 4);
    EXPECT_EQ(strip.GetFrame(0), &strip.mFrames[0]);
    EXPECT_EQ(strip.GetSprite(3), &strip.mFrames[3]);
    EXPECT_EQ(strip.prepared, 2);
    EXPECT_EQ(strip.GetFrame(4), nullptr);
    EXPECT_EQ(strip.GetFrame(-1), nullptr);
}

TEST_F(SpriteStripTest, CountsBelowOneGiveNoFrames)
{
    Image image = Columns(8, 2);
    SpriteStrip strip;
    strip.CreateFromImage(&image, 2);
    strip.CreateFromImage(&image, 0);
    EXPECT_EQ(strip.mFrameCount, 0);
    EXPECT_EQ(strip.mFrames, nullptr);
    strip.CreateFromImage(&image, -5);
    EXPECT_EQ(strip.mFrameCount, 0);
}

TEST_F(SpriteStripTest, LoadsByNameWithTheInsetOfTheStrip)
{
    TemporaryFolder folder;
    WriteCachedImage(folder / "buttons.cached", 36, 12, std::vector<uint32_t>(36 * 12, 0xFFFFFFFFu));
    SpriteStrip strip;
    strip.mInset = true;
    strip.Load((folder / "buttons").c_str(), 3);
    ASSERT_EQ(strip.mFrameCount, 3);
    EXPECT_TRUE(strip.GetFrame(1)->mInset);
    EXPECT_EQ(strip.GetFrame(1)->mWidth, 10);
    EXPECT_EQ(strip.GetFrame(1)->mHeight, 10);
}
