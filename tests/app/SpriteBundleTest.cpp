#include "app/SpriteBundle.h"
#include "app/Graphics.h"
#include "app/Image.h"
#include "app/Sprite.h"
#include "app/SpriteStrip.h"
#include "app/Texture.h"

#include "support/AtlasGraphicsTest.h"
#include "support/CachedImageFile.h"
#include "support/ImageFixtures.h"
#include "support/TemporaryFolder.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

class SpriteBundleTest : public AtlasGraphicsTest
{
  protected:
    void SetUp() override
    {
        AtlasGraphicsTest::SetUp();
        bundle.mProgress = &progress;
    }

    void Solid(const std::string& name, int w, int h)
    {
        WriteCachedImage(folder / name, w, h, std::vector<uint32_t>(size_t(w * h), 0xFFFFFFFFu));
    }

    // A described bundle: two strips, a clump, a name given twice, page sizes.
    void WriteDescribedBundle()
    {
        folder.WriteText("splat.dat",
                         "<EXTENDEDINFO><STRIP>walk:4</STRIP><STRIP>fall:2:vertical</STRIP>"
                         "<STRIP>none:0</STRIP><TEX>512,512</TEX><TEX>256,256</TEX></EXTENDEDINFO>"
                         "<TSIZE>128,128</TSIZE>"
                         "<IMAGE>walk</IMAGE><IMAGE>fall</IMAGE><IMAGE>big</IMAGE>"
                         "<IMAGE>single</IMAGE><IMAGE>none</IMAGE><IMAGE>single</IMAGE>");
        Solid("walk.cached", 64, 8);
        Solid("fall.cached", 8, 64);
        Solid("big.cached", 20, 20);
        folder.WriteText("big.clump", "<CLUMP><SIZE>20,20</SIZE><RECT>0,0,10,20</RECT><RECT>10,0,10,20</RECT>"
                                      "</CLUMP>");
        Solid("single.cached", 6, 6);
        Solid("none.cached", 4, 4);
    }

    int EntrySize(const char* name, int which)
    {
        int size[2] = {-1, -1};
        EXPECT_NE(bundle.Get(name, size), nullptr) << name;
        return size[which];
    }

    TemporaryFolder folder;
    SpriteBundle bundle;
    std::atomic<int> progress{0};
};

} // namespace

TEST_F(SpriteBundleTest, FolderScanMakesAnEntryOfEveryImageFile)
{
    std::filesystem::copy_file(ImageFixtures::Path("rgb8.png"), folder / "a.png");
    std::filesystem::copy_file(ImageFixtures::Path("baseline.jpg"), folder / "b.jpg");
    folder.WriteText("notes.txt", "not an image");
    folder.WriteText("x.png.shortcut", "");
    Solid("x.cached", 3, 2);
    std::filesystem::create_directories(folder / "sub.png");
    bundle.Load(folder.Path().c_str());
    ASSERT_EQ(bundle.mEntries.size(), 3u);
    EXPECT_STREQ(bundle.mEntries[0]->name.CStr(), "a");
    EXPECT_STREQ(bundle.mEntries[1]->name.CStr(), "b");
    EXPECT_STREQ(bundle.mEntries[2]->name.CStr(), "x");
    EXPECT_EQ(EntrySize("A", 0), 13);
    EXPECT_EQ(EntrySize("x", 1), 2);
    EXPECT_EQ(bundle.Get("notes"), nullptr);
    EXPECT_EQ(progress, 3);
    EXPECT_EQ(theGraphics.mActiveAtlas, nullptr);
    EXPECT_TRUE(bundle.mAtlas.IsValid());
}

TEST_F(SpriteBundleTest, DescribedBundleCutsStripsAndClumps)
{
    WriteDescribedBundle();
    bundle.Load(folder.Path().c_str());
    for (int k = 0; k < 4; ++k) {
        const std::string name = "walk__" + std::to_string(k);
        EXPECT_EQ(EntrySize(name.c_str(), 0), 16);
        EXPECT_EQ(EntrySize(name.c_str(), 1), 8);
    }
    EXPECT_EQ(bundle.Get("walk"), nullptr);
    EXPECT_EQ(EntrySize("fall__1", 0), 8);
    EXPECT_EQ(EntrySize("fall__1", 1), 32);
    // Clump parts carry their bled border.
    EXPECT_EQ(EntrySize("big__0", 0), 12);
    EXPECT_EQ(EntrySize("big__1", 1), 22);
    EXPECT_EQ(bundle.Get("big"), nullptr);
    EXPECT_EQ(bundle.Get("none__0"), nullptr);
    EXPECT_EQ(bundle.Get("none"), nullptr);
    EXPECT_EQ(bundle.Get("single"), bundle.mEntries[8]->texture.get()); // the first of the two
    EXPECT_STREQ(bundle.mEntries[9]->name.CStr(), "single");
    EXPECT_EQ(progress, 6);
    EXPECT_TRUE(bundle.mStrips.empty()); // freed after the load
}

TEST_F(SpriteBundleTest, StripCountBeyondTheImageGivesNoFrames)
{
    folder.WriteText("splat.dat", "<EXTENDEDINFO><STRIP>walk:65</STRIP><STRIP>fall:2000000000:v</STRIP>"
                                  "<STRIP>edge:64</STRIP></EXTENDEDINFO>"
                                  "<IMAGE>walk</IMAGE><IMAGE>fall</IMAGE><IMAGE>edge</IMAGE>");
    Solid("walk.cached", 64, 8);
    Solid("fall.cached", 8, 64);
    Solid("edge.cached", 64, 8);
    bundle.Load(folder.Path().c_str());
    EXPECT_EQ(bundle.Get("walk__0"), nullptr);
    EXPECT_EQ(bundle.Get("fall__0"), nullptr);
    EXPECT_EQ(EntrySize("edge__63", 0), 1);
    EXPECT_EQ(bundle.mEntries.size(), 64u);
    EXPECT_EQ(progress, 3);
}

TEST_F(SpriteBundleTest, PageSizesComeFromTheTexRecords)
{
    WriteDescribedBundle();
    bundle.Load(folder.Path().c_str());
    EXPECT_EQ(bundle.mAtlasWidth, 512); // the TSIZE after the TEX records is ignored
    TextureSplatter& atlas = bundle.mAtlas;
    ASSERT_TRUE(atlas.IsValid());
    // Whatever the entries took, a fresh request larger than the second
    // page's size shows each page's own size.
    Platform::SurfaceDesc desc;
    while (atlas.PageCount() < 2) {
        ASSERT_NE(atlas.Add(200, 200, nullptr, &desc), nullptr);
    }
    EXPECT_EQ(atlas.GetPage(0).desc.width, 512);
    EXPECT_EQ(atlas.GetPage(1).desc.width, 256);
    while (atlas.PageCount() < 3) {
        ASSERT_NE(atlas.Add(200, 200, nullptr, &desc), nullptr);
    }
    EXPECT_EQ(atlas.GetPage(2).desc.width, 512);
}

TEST_F(SpriteBundleTest, LoadsOnTheFirstLookupAndStaysEmptyWithoutTheAtlas)
{
    std::filesystem::copy_file(ImageFixtures::Path("rgb8.png"), folder / "lazy.png");
    bundle.mFolder = folder.Path().c_str();
    EXPECT_TRUE(bundle.mLoadPending);
    EXPECT_NE(bundle.Get("lazy"), nullptr);
    EXPECT_FALSE(bundle.mLoadPending);

    SpriteBundle software;
    software.mProgress = &progress;
    theGraphics.mSoftware = true;
    theGraphics.mUseAtlas = false;
    progress = 0;
    software.Load(folder.Path().c_str());
    EXPECT_TRUE(software.mLoadPending);
    EXPECT_EQ(software.Get("lazy"), nullptr);
    EXPECT_EQ(software.Get("lazy"), nullptr);
    EXPECT_EQ(progress, 2);
    EXPECT_TRUE(software.mEntries.empty());
}

TEST_F(SpriteBundleTest, SpritesAndStripsTakeTheirTexturesFromTheBundle)
{
    WriteDescribedBundle();
    bundle.Load(folder.Path().c_str());

    Sprite single;
    single.LoadFromBundle(&bundle, "single");
    EXPECT_TRUE(single.mLoaded);
    EXPECT_TRUE(single.mShared);
    EXPECT_EQ(single.mTexture, bundle.Get("single"));
    EXPECT_EQ(single.mWidth, 6);

    Sprite big;
    big.LoadFromBundle(&bundle, "big");
    EXPECT_TRUE(big.mLoaded);
    EXPECT_EQ(big.mTexture, nullptr);
    ASSERT_EQ(big.mTiles.size(), 2u);
    EXPECT_EQ(big.mTiles[1]->texture, bundle.Get("big__1"));
    EXPECT_FLOAT_EQ(big.mTiles[1]->bounds.x, 10);
    EXPECT_EQ(big.mWidth, 20);

    // Not in the bundle: the image file of the bundle's folder instead.
    Solid("loose.cached", 5, 3);
    Sprite loose;
    loose.LoadFromBundle(&bundle, "loose");
    EXPECT_TRUE(loose.mLoaded);
    EXPECT_FALSE(loose.mShared);
    EXPECT_EQ(loose.mWidth, 5);

    SpriteStrip walk;
    walk.LoadFromBundle(&bundle, "walk", 4);
    ASSERT_EQ(walk.mFrameCount, 4);
    EXPECT_EQ(walk.GetFrame(2)->mTexture, bundle.Get("walk__2"));
    EXPECT_EQ(walk.GetFrame(2)->mWidth, 16);

    SpriteStrip cut;
    cut.LoadFromBundle(&bundle, "single", 2);
    ASSERT_EQ(cut.mFrameCount, 2);
    EXPECT_EQ(cut.GetFrame(1)->mTexture, bundle.Get("single"));

    SpriteStrip fallback;
    fallback.LoadFromBundle(&bundle, "loose", 5);
    EXPECT_EQ(fallback.mFrameCount, 5);
    EXPECT_EQ(fallback.GetFrame(0)->mWidth, 1);
}

TEST_F(SpriteBundleTest, ClumpPartMissingFromTheBundleIsLeftOut)
{
    WriteDescribedBundle();
    bundle.Load(folder.Path().c_str());
    folder.WriteText("big.clump", "<CLUMP><RECT>0,0,10,20</RECT><RECT>10,0,10,20</RECT><RECT>0,0,1,1</RECT>"
                                  "</CLUMP>");
    Sprite big;
    big.LoadFromBundle(&bundle, "big");
    EXPECT_TRUE(big.mLoaded);
    EXPECT_EQ(big.mTiles.size(), 2u); // there is no "big__2"
}
