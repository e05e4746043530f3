// The application's own asset table against the generated program folder:
// every name it loads exists with the frame counts it asks for, the loading
// steps add up to the bar's total, and no two entries fill one member.
#include "game/AppAsset.h"
#include "game/QuorbSwapApp.h"

#include "app/Graphics.h"
#include "app/Image.h"
#include "app/SpriteBundle.h"
#include "app/SpriteStrip.h"
#include "support/TemporaryDesktop.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <set>

namespace fs = std::filesystem;

namespace {

fs::path ProgramFolder()
{
    const char* dir = std::getenv("QS_PROGRAM_DIR");
    return dir ? fs::path(dir) : fs::current_path();
}

// The file the image loader would read for a base name ("a\\b" -> a/b.png...).
bool PictureExists(const std::string& baseName)
{
    std::string path = baseName;
    std::replace(path.begin(), path.end(), '\\', '/');
    for (const char* ext : {".png", ".jpg", ".gif"})
        if (fs::exists(path + ext))
            return true;
    return false;
}

bool SoundExists(const std::string& baseName)
{
    std::string path = baseName;
    std::replace(path.begin(), path.end(), '\\', '/');
    return fs::exists(path + ".ogg") || fs::exists(path + ".wav");
}

class AppAssetTableFiles : public testing::Test
{
  protected:
    void SetUp() override
    {
        previous = fs::current_path();
        fs::current_path(work.Path());
        for (const char* folder : {"graphics", "Fonts", "data", "sounds"})
            fs::create_directory_symlink(ProgramFolder() / folder, folder);
        theGraphics.ResetState();
        ASSERT_TRUE(theGraphics.Startup(nullptr));
    }
    void TearDown() override
    {
        theGraphics.Shutdown();
        theGraphics.ResetState();
        fs::current_path(previous);
    }

    TemporaryDesktop desktop;
    TemporaryFolder work;
    fs::path previous;
};

} // namespace

TEST_F(AppAssetTableFiles, EveryEntryIsInTheGeneratedDataAndTheStepsFillTheBar)
{
    using K = AppAsset::Kind;
    std::atomic<int> bundleSteps{0};
    std::map<int, std::unique_ptr<SpriteBundle>> bundles;
    for (const AppAsset& asset : AppAssetTable()) {
        SCOPED_TRACE(asset.name);
        switch (asset.kind) {
        case K::Bundle: {
            auto bundle = std::make_unique<SpriteBundle>();
            bundle->mProgress = &bundleSteps;
            bundle->Load(asset.name.c_str());
            EXPECT_STREQ(BundleFolder(asset.bundle), asset.name.c_str());
            bundles[asset.bundle] = std::move(bundle);
            break;
        }
        case K::Strip: {
            ASSERT_TRUE(bundles.count(asset.bundle)) << "a bundle is loaded before what is cut from it";
            SpriteStrip strip;
            strip.LoadFromBundle(bundles[asset.bundle].get(), asset.name.c_str(), asset.count);
            ASSERT_EQ(strip.mFrameCount, asset.count);
            for (int i = 1; i < asset.count; ++i)
                EXPECT_EQ(strip.GetFrame(i)->mWidth, strip.GetFrame(0)->mWidth);
            break;
        }
        case K::Sprite:
        case K::FastSprite:
        case K::JigsawPiece:
            ASSERT_TRUE(bundles.count(asset.bundle));
            EXPECT_NE(bundles[asset.bundle]->Get(asset.name.c_str()), nullptr);
            break;
        case K::Font:
            EXPECT_TRUE(fs::exists(asset.name.substr(6) == "ArialBlack23"
                                       ? "Fonts/ArialBlack23.font"
                                       : "Fonts/ArialBlack16Bold/font.description"));
            break;
        case K::SpriteFile:
        case K::ImageSprite:
            EXPECT_TRUE(PictureExists(asset.name));
            break;
        case K::PieceImage:
            if (!asset.name.empty()) {
                ASSERT_TRUE(PictureExists(asset.name));
                Image piece;
                piece.Load(asset.name.c_str());
                EXPECT_EQ(piece.mWidth, 256);
                EXPECT_EQ(piece.mHeight, 256);
            }
            break;
        case K::Sound:
        case K::ChatterLoop:
            EXPECT_TRUE(SoundExists(asset.name));
            break;
        case K::PieceSprites:
            break;
        }
    }
    EXPECT_EQ(bundles.size(), size_t(kAppBundleCount));
    EXPECT_EQ(CountedAssetSteps(), 70);
    EXPECT_EQ(bundleSteps.load() + CountedAssetSteps(), kAppLoadTotal) << "the loading bar ends exactly full";
}

TEST(AppAssetTableMembers, NoTwoEntriesFillTheSameMember)
{
    TemporaryDesktop desktop;
    QuorbSwapApp app;
    std::set<void*> filled;
    int jigsaw = 0;
    int pieceImages = 0;
    for (const AppAsset& asset : AppAssetTable()) {
        SCOPED_TRACE(asset.name);
        if (asset.target != nullptr && asset.kind != AppAsset::Kind::ChatterLoop) {
            EXPECT_TRUE(filled.insert(asset.target(app)).second);
        }
        if (asset.sprite != nullptr && asset.kind == AppAsset::Kind::ImageSprite) {
            EXPECT_TRUE(filled.insert(asset.sprite(app)).second);
        }
        jigsaw += asset.kind == AppAsset::Kind::JigsawPiece ? 1 : 0;
        pieceImages += asset.kind == AppAsset::Kind::PieceImage ? 1 : 0;
    }
    EXPECT_EQ(jigsaw, 60);
    EXPECT_EQ(pieceImages, 27);
}
