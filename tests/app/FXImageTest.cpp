#include "app/FXImage.h"

#include <gtest/gtest.h>

namespace {

constexpr uint32_t kRed = 0xFFFF0000u;
constexpr uint32_t kBlack = 0xFF000000u;

void Fill(Image& image, int w, int h, uint32_t pixel)
{
    image.Create(w, h, false);
    std::fill(image.mPixels, image.mPixels + w * h, pixel);
}

const Color kWhite(1, 1, 1, 1);

} // namespace

TEST(FXImageTest, BleedEdgesFramesThePictureWithItsOwnEdges)
{
    FXImage dot;
    Fill(dot, 1, 1, kRed);
    dot.BleedEdges();
    ASSERT_EQ(dot.mWidth, 3);
    ASSERT_EQ(dot.mHeight, 3);
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(dot.mPixels[i], kRed) << i;
    }

    FXImage pair;
    pair.Create(2, 1, false);
    pair.mPixels[0] = 0x01FFFFFFu; // alpha 1: dropped by the composition
    pair.mPixels[1] = kRed;
    pair.BleedEdges();
    ASSERT_EQ(pair.mWidth, 4);
    ASSERT_EQ(pair.mHeight, 3);
    for (int y = 0; y < 3; ++y) {
        EXPECT_EQ(*pair.GetPixelPtr(0, y), 0u);
        EXPECT_EQ(*pair.GetPixelPtr(1, y), 0u);
        EXPECT_EQ(*pair.GetPixelPtr(2, y), kRed);
        EXPECT_EQ(*pair.GetPixelPtr(3, y), kRed);
    }

    FXImage empty;
    empty.BleedEdges();
    EXPECT_FALSE(empty.HasPixels());
}

TEST(FXImageTest, DrawImageBlendsWithTheTwoHalves)
{
    FXImage target;
    Fill(target, 1, 1, kBlack);
    Image source;
    Fill(source, 1, 1, 0x80FF0000u);
    target.DrawImageAt(source, 0, 0, kWhite);
    // 255 x 128/255 + 0.5 + 0 + 0.5 = 129; the other channels rise by 1.
    EXPECT_EQ(target.mPixels[0], 0xFF810101u);
}

TEST(FXImageTest, DrawImageSkipsNearlyTransparentPixelsAndCopiesOverTransparentOnes)
{
    FXImage target;
    Fill(target, 3, 1, kBlack);
    Image source;
    source.Create(3, 1, false);
    source.mPixels[0] = 0x00FFFFFFu;
    source.mPixels[1] = 0x01FFFFFFu;
    source.mPixels[2] = 0x02FFFFFFu;
    target.DrawImageAt(source, 0, 0, kWhite);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(target.mPixels[i], kBlack);
    }
    FXImage clear;
    clear.Create(1, 1, true);
    Image half;
    Fill(half, 1, 1, 0x40112233u);
    clear.DrawImageAt(half, 0, 0, kWhite);
    EXPECT_EQ(clear.mPixels[0], 0x40112233u);
}

TEST(FXImageTest, TintedDrawScalesTheChannels)
{
    FXImage target;
    target.Create(1, 1, true);
    Image source;
    Fill(source, 1, 1, 0xFFFF8040u);
    target.DrawImageAt(source, 0, 0, Color(0.5f, 1.0f, 0.5f, 0.5f));
    EXPECT_EQ(target.mPixels[0], 0x7F7F8020u);
}

TEST(FXImageTest, DrawImageClipsToBothImages)
{
    FXImage target;
    Fill(target, 4, 4, kBlack);
    Image source;
    Fill(source, 3, 3, kRed);
    target.DrawImage(source, 2, -1, Rect(-1, 0, 10, 10), kWhite);
    EXPECT_EQ(*target.GetPixelPtr(3, 0), kRed);
    EXPECT_EQ(*target.GetPixelPtr(3, 1), kRed);
    EXPECT_EQ(*target.GetPixelPtr(2, 0), kBlack); // source column -1 is skipped
    EXPECT_EQ(*target.GetPixelPtr(3, 2), kBlack);
    target.DrawImageAt(source, -3, 0, kWhite);
    target.DrawImageAt(source, 4, 0, kWhite);
    EXPECT_EQ(*target.GetPixelPtr(0, 0), kBlack);
}

TEST(FXImageTest, PasteRectCopiesEveryColumnWithoutBlending)
{
    FXImage target;
    Fill(target, 4, 2, kBlack);
    Image source;
    source.Create(3, 1, false);
    source.mPixels[0] = 0x10000001u;
    source.mPixels[1] = 0x20000002u;
    source.mPixels[2] = 0x30000003u;
    target.PasteRect(source, 1, 1, Rect(0, 0, 3, 1));
    EXPECT_EQ(*target.GetPixelPtr(1, 1), 0x10000001u);
    EXPECT_EQ(*target.GetPixelPtr(3, 1), 0x30000003u);
    EXPECT_EQ(*target.GetPixelPtr(0, 1), kBlack);
    target.PasteRect(source, -1, 0, Rect(0, 0, 3, 1));
    EXPECT_EQ(*target.GetPixelPtr(0, 0), 0x20000002u);
    EXPECT_EQ(*target.GetPixelPtr(1, 0), 0x30000003u);
    target.PasteRect(source, 3, 0, Rect(0, 0, 3, 1)); // cut at the right edge
    EXPECT_EQ(*target.GetPixelPtr(3, 0), 0x10000001u);
}

TEST(FXImageTest, FillRectIncludesBothEdgesAndBlendsTranslucentColours)
{
    FXImage image;
    Fill(image, 4, 4, kBlack);
    image.FillRect(Rect(0, 0, 2, 2), Color(1, 0, 0, 1));
    EXPECT_EQ(*image.GetPixelPtr(2, 2), kRed);
    EXPECT_EQ(*image.GetPixelPtr(3, 2), kBlack);
    EXPECT_EQ(*image.GetPixelPtr(2, 3), kBlack);
    image.FillRect(Rect(3, 3, 100, 100), Color(0, 0, 1, 0.5f));
    EXPECT_EQ(*image.GetPixelPtr(3, 3), 0xFF010180u);
    image.BlendPixel(0, 0, Color(0, 1, 0, 0));
    EXPECT_EQ(*image.GetPixelPtr(0, 0), kRed);
}

TEST(FXImageTest, FillKeepsOrReplacesAlpha)
{
    FXImage image;
    Fill(image, 2, 1, 0x40000000u);
    image.Fill(Color(1, 0, 1, 1), false);
    EXPECT_EQ(image.mPixels[1], 0x40FF00FFu);
    image.Fill(Color(0, 1, 0, 1), true);
    EXPECT_EQ(image.mPixels[0], 0xFF00FF00u);
}

TEST(FXImageTest, AlphaBoundsAndCrop)
{
    FXImage image;
    image.Create(5, 5, true);
    const Rect none = image.GetAlphaBounds();
    EXPECT_EQ(none.x, 0);
    EXPECT_EQ(none.w, 1);
    EXPECT_EQ(none.h, 1);
    image.Crop(Rect(0, 0, 0, 0));
    EXPECT_EQ(image.mWidth, 1);
    EXPECT_EQ(image.mHeight, 1);

    FXImage dots;
    dots.Create(6, 6, true);
    *dots.GetPixelPtr(1, 2) = kRed;
    *dots.GetPixelPtr(3, 4) = kRed;
    const Rect bounds = dots.GetAlphaBounds();
    EXPECT_EQ(bounds.x, 1);
    EXPECT_EQ(bounds.y, 2);
    EXPECT_EQ(bounds.w, 3);
    EXPECT_EQ(bounds.h, 3);
    dots.Crop(Rect(0, 0, 0, 0));
    ASSERT_EQ(dots.mWidth, 3);
    EXPECT_EQ(*dots.GetPixelPtr(0, 0), kRed);
    EXPECT_EQ(*dots.GetPixelPtr(2, 2), kRed);
}

TEST(FXImageTest, CropIsKeptInsideTheImage)
{
    FXImage image;
    Fill(image, 4, 4, kRed);
    image.Crop(Rect(2, -3, 10, 5));
    EXPECT_EQ(image.mWidth, 2);
    EXPECT_EQ(image.mHeight, 2);
    EXPECT_EQ(image.mPixels[3], kRed);
    image.Crop(Rect(50, 50, 2, 2));
    EXPECT_EQ(image.mWidth, 0);
    EXPECT_FALSE(image.HasPixels());
}

TEST(FXImageTest, AddBorderDrawsTheOldPixelsOverTheFill)
{
    FXImage image;
    image.Create(2, 1, false);
    image.mPixels[0] = 0x80FF0000u;
    image.mPixels[1] = 0x01FF0000u;
    image.AddBorder(2, Color(0, 0, 1, 1));
    ASSERT_EQ(image.mWidth, 6);
    ASSERT_EQ(image.mHeight, 5);
    EXPECT_EQ(*image.GetPixelPtr(0, 0), 0xFF0000FFu);
    EXPECT_EQ(*image.GetPixelPtr(2, 2), 0xFF81017Fu); // blended over the blue
    EXPECT_EQ(*image.GetPixelPtr(3, 2), 0xFF0000FFu); // alpha 1 replaced by the fill
}
