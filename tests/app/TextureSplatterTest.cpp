#include "app/TextureSplatter.h"
#include "app/App.h"
#include "app/Graphics.h"
#include "app/Image.h"
#include "app/Texture.h"
#include "support/AtlasGraphicsTest.h"
#include "support/GeometryExpectations.h"

#include <gtest/gtest.h>

namespace {

class TextureSplatterTest : public AtlasGraphicsTest
{
  protected:
    TextureSplatter atlas;
};
} // namespace

TEST_F(TextureSplatterTest, FirstPlacementSplitsTheRestOfThePage)
{
    atlas.Create(256, 256);
    ASSERT_TRUE(atlas.IsValid());
    EXPECT_EQ(atlas.PageCount(), 0); // pages come with the first placement
    Rect uv;
    Platform::SurfaceDesc desc;
    Platform::Surface* page = atlas.Add(10, 10, &uv, &desc);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(desc.width, 256);
    EXPECT_EQ(desc.height, 256);
    ExpectRect(uv, 0, 0, 10.0f / 256, 10.0f / 256);
    const TextureSplatter::Node& root = atlas.GetPage(0).root;
    ExpectRect(root.first->rect, 11, 0, 245, 11);
    ExpectRect(root.second->rect, 0, 11, 256, 245);

    EXPECT_EQ(atlas.Add(10, 10, &uv, nullptr), page);
    ExpectRect(uv, 11.0f / 256, 0, 21.0f / 256, 10.0f / 256);
}

TEST_F(TextureSplatterTest, NarrowRequestSplitsBelowWhenThatLeavesMore)
{
    atlas.Create(256, 256);
    ASSERT_NE(atlas.Add(100, 20, nullptr, nullptr), nullptr);
    const TextureSplatter::Node& root = atlas.GetPage(0).root;
    // 101 x 21: dw = 155 is not above dh = 235.
    ExpectRect(root.first->rect, 101, 0, 155, 21);
    ExpectRect(root.second->rect, 0, 21, 256, 235);
}

TEST_F(TextureSplatterTest, PlacementIsDepthFirstIntoTheFirstFreeRectangle)
{
    atlas.Create(64, 64);
    Rect uv;
    const int expectedX[] = {0, 16, 32, 48};
    for (int x : expectedX) {
        ASSERT_NE(atlas.Add(15, 15, &uv, nullptr), nullptr);
        EXPECT_FLOAT_EQ(uv.x * 64, float(x));
        EXPECT_FLOAT_EQ(uv.y, 0);
    }
    ASSERT_NE(atlas.Add(15, 15, &uv, nullptr), nullptr);
    EXPECT_FLOAT_EQ(uv.x, 0);
    EXPECT_FLOAT_EQ(uv.y * 64, 16);
}

TEST_F(TextureSplatterTest, ExactFitAndRefusalOfTooLargeRequests)
{
    atlas.Create(256, 256);
    Rect uv;
    ASSERT_NE(atlas.Add(255, 255, &uv, nullptr), nullptr);
    ExpectRect(uv, 0, 0, 255.0f / 256, 255.0f / 256);
    EXPECT_EQ(atlas.PageCount(), 1);
    EXPECT_EQ(atlas.Add(256, 256, &uv, nullptr), nullptr);
    // The page made for the refused request stays for later ones.
    EXPECT_EQ(atlas.PageCount(), 2);
    EXPECT_EQ(atlas.Add(8, 8, &uv, nullptr), atlas.GetPage(1).surface.get());
}

TEST_F(TextureSplatterTest, FullPageOpensTheNextOne)
{
    atlas.Create(32, 32);
    Platform::Surface* first = atlas.Add(31, 31, nullptr, nullptr);
    Platform::Surface* second = atlas.Add(31, 31, nullptr, nullptr);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(first, second);
    EXPECT_EQ(atlas.PageCount(), 2);
}

TEST_F(TextureSplatterTest, SizeRecordsChooseThePageSizes)
{
    atlas.Create(2048, 2048);
    atlas.AddPageSize(0, 512, 512);
    Platform::SurfaceDesc desc;
    ASSERT_NE(atlas.Add(500, 500, nullptr, &desc), nullptr);
    EXPECT_EQ(desc.width, 512);
    ASSERT_NE(atlas.Add(500, 500, nullptr, &desc), nullptr);
    EXPECT_EQ(desc.width, 2048);
    EXPECT_EQ(atlas.PageCount(), 2);
}

TEST_F(TextureSplatterTest, NotValidWithoutTheAtlasSwitchOrAfterRelease)
{
    atlas.Create(8192, 256);
    EXPECT_FALSE(atlas.IsValid()); // beyond the device's texture size
    theGraphics.mUseAtlas = false;
    atlas.Create(256, 256);
    EXPECT_FALSE(atlas.IsValid());
    EXPECT_EQ(atlas.Add(4, 4, nullptr, nullptr), nullptr);
    theGraphics.mUseAtlas = true;
    atlas.Create(256, 256);
    ASSERT_NE(atlas.Add(4, 4, nullptr, nullptr), nullptr);
    atlas.Release();
    EXPECT_FALSE(atlas.IsValid());
    EXPECT_EQ(atlas.PageCount(), 0);
    EXPECT_EQ(atlas.Add(4, 4, nullptr, nullptr), nullptr);
}

TEST_F(TextureSplatterTest, PageWhoseTextureFailsIsRefused)
{
    // A page size no texture can have: the request is refused, not placed
    // on a page of size zero.
    atlas.Create(-4, -4);
    ASSERT_TRUE(atlas.IsValid());
    Rect uv(1, 2, 3, 4);
    EXPECT_EQ(atlas.Add(2, 2, &uv, nullptr), nullptr);
    EXPECT_EQ(atlas.PageCount(), 0);
    ExpectRect(uv, 1, 2, 3, 4);
}

TEST_F(TextureSplatterTest, AnAtlasBelongsToTheApplicationObjectItWasMadeFor)
{
    atlas.Create(64, 64);
    EXPECT_TRUE(atlas.IsValid()); // no application object: instance 0
    {
        App app;
        theGraphics.mUseAtlas = true; // the application object resets the device state
        app.instanceNumber = 0;
        EXPECT_TRUE(atlas.IsValid());
        app.instanceNumber = 1234;
        EXPECT_FALSE(atlas.IsValid()); // made before this application object
        EXPECT_EQ(atlas.Add(4, 4, nullptr, nullptr), nullptr);
        atlas.Create(64, 64);
        EXPECT_TRUE(atlas.IsValid());
        EXPECT_EQ(atlas.mInstance, 1234);
    }
}

TEST_F(TextureSplatterTest, TexturesMadeWhileActiveLandOnItsPages)
{
    atlas.Create(256, 256);
    theGraphics.mActiveAtlas = &atlas;
    Image image;
    image.Create(20, 10, true);
    *image.GetPixelPtr(19, 9) = 0xFF123456u;
    Texture texture(image);
    theGraphics.mActiveAtlas = nullptr;
    ASSERT_TRUE(texture.mInAtlas);
    EXPECT_EQ(texture.mSurface, atlas.GetPage(0).surface.get());
    EXPECT_FLOAT_EQ(texture.mUV.w * 256, 20);
    EXPECT_EQ(texture.mSurface->GetPixel(19, 9), 0xFF123456u);
}
