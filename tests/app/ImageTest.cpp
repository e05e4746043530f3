#include "app/Image.h"

#include <cstring>
#include <gtest/gtest.h>

namespace {

void FillCounting(Image& image)
{
    for (int i = 0; i < image.mWidth * image.mHeight; ++i) {
        image.mPixels[i] = uint32_t(i);
    }
}

Image Uniform(int w, int h, uint32_t pixel)
{
    Image image;
    image.Create(w, h, false);
    std::fill(image.mPixels, image.mPixels + w * h, pixel);
    return image;
}

uint8_t Channel(uint32_t pixel, int shift)
{
    return uint8_t((pixel >> shift) & 0xFF);
}

} // namespace

TEST(ImageTest, EmptyImageHasNoPixels)
{
    Image image;
    EXPECT_EQ(image.mWidth, -1);
    EXPECT_EQ(image.mHeight, -1);
    EXPECT_EQ(image.GetPixelPtr(0, 0), nullptr);
    Image copy(image);
    EXPECT_EQ(copy.mWidth, -1);
    EXPECT_FALSE(copy.HasPixels());
}

TEST(ImageTest, CreateClearsWhenAsked)
{
    Image image;
    image.Create(3, 2, true);
    ASSERT_TRUE(image.HasPixels());
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(image.mPixels[i], 0u);
    }
    EXPECT_EQ(image.GetPixelPtr(2, 1), image.mPixels + 5);
    EXPECT_EQ(image.GetPixelPtr(3, 0), nullptr);
    EXPECT_EQ(image.GetPixelPtr(0, -1), nullptr);
}

TEST(ImageTest, CopyRectTakesRowsOfTheArea)
{
    Image source;
    source.Create(4, 4, false);
    FillCounting(source);
    const uint8_t extra[] = {'O', 'S', 'I', 'Z', 1, 2};
    source.SetExtra(extra, sizeof(extra));
    Image part;
    part.CopyRect(source, 1, 1, 2, 2);
    ASSERT_EQ(part.mWidth, 2);
    ASSERT_EQ(part.mHeight, 2);
    EXPECT_EQ(part.mPixels[0], 5u);
    EXPECT_EQ(part.mPixels[1], 6u);
    EXPECT_EQ(part.mPixels[2], 9u);
    EXPECT_EQ(part.mPixels[3], 10u);
    ASSERT_EQ(part.mExtraSize, 6);
    EXPECT_EQ(std::memcmp(part.mExtra, extra, 6), 0);
}

TEST(ImageTest, CopyRectOutsideTheSourceReadsTransparent)
{
    Image source;
    source.Create(4, 4, false);
    FillCounting(source);
    Image part;
    part.CopyRect(source, 3, -1, 3, 3);
    ASSERT_EQ(part.mWidth, 3);
    ASSERT_EQ(part.mHeight, 3);
    // Only source column 3, rows 0 and 1 lie inside.
    const uint32_t expected[] = {0, 0, 0, 3, 0, 0, 7, 0, 0};
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(part.mPixels[i], expected[i]) << i;
    }
    Image far;
    far.CopyRect(source, 100, 100, 2, 2);
    EXPECT_EQ(far.mPixels[0], 0u);
}

TEST(ImageTest, CopyRectOfItselfCrops)
{
    Image image;
    image.Create(4, 4, false);
    FillCounting(image);
    image.CopyRect(image, 2, 2, 2, 2);
    ASSERT_EQ(image.mWidth, 2);
    EXPECT_EQ(image.mPixels[0], 10u);
    EXPECT_EQ(image.mPixels[3], 15u);
}

TEST(ImageTest, ResampleKeepsUniformImagesAtTheSameSizeAndHalf)
{
    Image image = Uniform(6, 6, 0xFF80C040u);
    image.Resample(6, 6);
    EXPECT_EQ(image.mPixels[0], 0xFF80C040u);
    EXPECT_EQ(image.mPixels[35], 0xFF80C040u);
    Image white = Uniform(6, 6, 0xFFFFFFFFu);
    white.Resample(3, 3);
    ASSERT_EQ(white.mWidth, 3);
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(white.mPixels[i], 0xFFFFFFFFu);
    }
}

TEST(ImageTest, ResampleToAThirdLosesTheTruncatedWeights)
{
    Image image = Uniform(9, 9, 0xFFFFFFFFu);
    image.Resample(3, 3);
    ASSERT_EQ(image.mWidth, 3);
    ASSERT_EQ(image.mHeight, 3);
    // Each weight is trunc(85.67) or trunc(85.33) = 85: 255 x 255 x 255 >> 16.
    EXPECT_EQ(Channel(image.mPixels[4], 0), 253);
    EXPECT_EQ(Channel(image.mPixels[4], 24), 253);
}

TEST(ImageTest, ResampleGrowsLinearly)
{
    Image image;
    image.Create(2, 1, false);
    image.mPixels[0] = 0xFF000000u;
    image.mPixels[1] = 0xFF0000FFu;
    image.Resample(5, 3);
    ASSERT_EQ(image.mWidth, 5);
    ASSERT_EQ(image.mHeight, 3);
    EXPECT_EQ(Channel(image.mPixels[0], 0), 0);
    EXPECT_EQ(Channel(image.mPixels[4], 0), 255);
    const uint8_t middle = Channel(image.mPixels[2], 0);
    EXPECT_GE(middle, 126);
    EXPECT_LE(middle, 129);
    EXPECT_EQ(image.mPixels[2], image.mPixels[12]);
    EXPECT_EQ(Channel(image.mPixels[7], 24), 255);
}

TEST(ImageTest, ResampleIntoDestinationLeavesTheSource)
{
    Image image = Uniform(4, 4, 0x80FF0000u);
    const uint8_t extra[] = {1, 2, 3};
    image.SetExtra(extra, 3);
    Image dest;
    image.Resample(2, 2, &dest);
    EXPECT_EQ(image.mWidth, 4);
    EXPECT_EQ(image.mPixels[0], 0x80FF0000u);
    ASSERT_EQ(dest.mWidth, 2);
    EXPECT_EQ(dest.mPixels[0], 0x80FF0000u);
    ASSERT_EQ(dest.mExtraSize, 3);
    EXPECT_EQ(dest.mExtra[2], 3);
}

TEST(ImageTest, ResampleToNothingGivesNoPixels)
{
    Image image = Uniform(2, 2, 0xFFFFFFFFu);
    image.Resample(0, 1);
    EXPECT_EQ(image.mWidth, 0);
    EXPECT_FALSE(image.HasPixels());
    Image empty;
    empty.Resample(4, 4);
    EXPECT_EQ(empty.mWidth, -1);
}

TEST(ImageTest, AlphaMaskTakesTheRedChannelOfAMaskOfTheSameSize)
{
    Image image = Uniform(2, 1, 0xFF112233u);
    Image mask;
    mask.Create(2, 1, false);
    mask.mPixels[0] = 0xFF7F0000u;
    mask.mPixels[1] = 0xFF00FFFFu;
    image.ApplyAlphaMask(mask);
    EXPECT_EQ(image.mPixels[0], 0x7F112233u);
    EXPECT_EQ(image.mPixels[1], 0x00112233u);
    Image other = Uniform(3, 1, 0xFF000000u);
    image.ApplyAlphaMask(other);
    EXPECT_EQ(image.mPixels[0], 0x7F112233u);
}
