#include "app/TextureMosaic.h"
#include "app/Graphics.h"

#include <gtest/gtest.h>

namespace {
class TextureMosaicTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        theGraphics.mMinTextureWidth = 1;
        theGraphics.mMinTextureHeight = 1;
        theGraphics.mMaxTextureWidth = 2048;
        theGraphics.mMaxTextureHeight = 2048;
        theGraphics.mMaxTextureAspect = 8;
    }

    static const Rect& Tile(const TextureMosaic& mosaic, int i)
    {
        return *static_cast<const Rect*>(mosaic.mTiles.Get(i));
    }
};
} // namespace

TEST_F(TextureMosaicTest, TableMatchesItsTellingRows)
{
    const int rows[][2] = {{63, 64},     {64, 64},   {65, 128},  {100, 128}, {129, 128}, {192, 256},
                           {300, 256},   {321, 64},  {400, 128}, {480, 512}, {513, 512}, {577, 64},
                           {600, 64},    {640, 512}, {700, 128}, {800, 256}, {900, 128}, {960, 1024},
                           {1023, 1024}, {0, 1},     {1, 1}};
    for (const auto& row : rows) {
        EXPECT_EQ(TextureMosaic::TableEntry(row[0]), row[1]) << "length " << row[0];
    }
}

TEST_F(TextureMosaicTest, RuleHoldsForLengthsPastTheTable)
{
    EXPECT_EQ(TextureMosaic::TableEntry(1024), 1024);
    EXPECT_EQ(TextureMosaic::TableEntry(2000), 2048);
    EXPECT_EQ(TextureMosaic::TableEntry(1100), 64);
    EXPECT_EQ(TextureMosaic::TableEntry(1600), 512);
    int w = 1600;
    int h = 100;
    TextureMosaic::TileSize(w, h, false);
    EXPECT_EQ(w, 512);
    EXPECT_EQ(h, 128);
}

TEST_F(TextureMosaicTest, LaysOut800By600)
{
    int w = 800;
    int h = 600;
    TextureMosaic::TileSize(w, h, false);
    EXPECT_EQ(w, 256);
    EXPECT_EQ(h, 64);

    // The grid of 256 x 64 tiles (last column 32 wide, last row 32 high)
    // joins across into 512-wide tiles except in the last row, whose height
    // allows no more than 256, then down the columns as far as the aspect
    // allows.
    TextureMosaic mosaic;
    mosaic.Build(800, 600);
    const float expected[][4] = {{0, 0, 512, 512},    {512, 0, 256, 512}, {768, 0, 32, 256},
                                 {768, 256, 32, 256}, {0, 512, 512, 64},  {512, 512, 256, 64},
                                 {768, 512, 32, 64},  {0, 576, 256, 32},  {256, 576, 256, 32},
                                 {512, 576, 256, 32}, {768, 576, 32, 32}};
    ASSERT_EQ(mosaic.mTiles.Count(), 11);
    for (int i = 0; i < 11; ++i) {
        const Rect& tile = Tile(mosaic, i);
        EXPECT_FLOAT_EQ(tile.x, expected[i][0]) << "tile " << i;
        EXPECT_FLOAT_EQ(tile.y, expected[i][1]) << "tile " << i;
        EXPECT_FLOAT_EQ(tile.w, expected[i][2]) << "tile " << i;
        EXPECT_FLOAT_EQ(tile.h, expected[i][3]) << "tile " << i;
    }
}

TEST_F(TextureMosaicTest, PowerOfTwoImageIsOneTile)
{
    TextureMosaic mosaic;
    mosaic.Build(256, 128);
    ASSERT_EQ(mosaic.mTiles.Count(), 1);
    EXPECT_FLOAT_EQ(Tile(mosaic, 0).w, 256);
    EXPECT_FLOAT_EQ(Tile(mosaic, 0).h, 128);
}

TEST_F(TextureMosaicTest, SideAtTheLimitUsesTheLimit)
{
    theGraphics.mMaxTextureWidth = 512;
    theGraphics.mMaxTextureHeight = 512;
    TextureMosaic mosaic;
    mosaic.Build(1024, 64);
    ASSERT_GE(mosaic.mTiles.Count(), 2);
    EXPECT_FLOAT_EQ(Tile(mosaic, 0).w, 512);
    EXPECT_FLOAT_EQ(Tile(mosaic, 1).x, 512);
}

TEST_F(TextureMosaicTest, RebuildReplacesTheTiles)
{
    TextureMosaic mosaic;
    mosaic.Build(800, 600);
    mosaic.Build(64, 64);
    EXPECT_EQ(mosaic.mTiles.Count(), 1);
    mosaic.Build(0, 10);
    EXPECT_EQ(mosaic.mTiles.Count(), 0);
}
