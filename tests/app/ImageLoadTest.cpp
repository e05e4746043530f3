#include "app/Image.h"

#include "support/ChildExit.h"
#include "support/ImageFixtures.h"
#include "support/TemporaryFolder.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>

// Loading by base name: the probe order, masks, redirects and the stop.
namespace {

using namespace ImageFixtures;



class ImageLoadTest : public testing::Test
{
  protected:
    void Place(const std::string& fixture, const std::string& name)
    {
        std::filesystem::create_directories(std::filesystem::path(folder / name).parent_path());
        std::filesystem::copy_file(ImageFixtures::Path(fixture), folder / name);
    }
    void Write(const std::string& name, const std::string& text)
    {
        std::filesystem::create_directories(std::filesystem::path(folder / name).parent_path());
        folder.WriteText(name, text);
    }
    std::string Base(const std::string& name) const { return folder / name; }
    // Loads the image in a child process, which the stop ends.
    void ExpectStop(const std::string& base, const std::string& message)
    {
        const ChildExit exit = RunInChild([&] { Image image(base.c_str()); });
        EXPECT_EQ(exit.code, 1) << base;
        EXPECT_NE(exit.errorText.find(message), std::string::npos) << exit.errorText;
    }

    TemporaryFolder folder;
};

// rgb8.png: opaque colours; grey8.png: grey whose red is the colour's red.
void ExpectColours(const Image& image, bool maskedByRed)
{
    ASSERT_EQ(image.mWidth, 13);
    ASSERT_EQ(image.mHeight, 10);
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 13; ++x) {
            const int alpha = maskedByRed ? Red(x, y) : 255;
            ASSERT_EQ(*image.GetPixelPtr(x, y), Argb(alpha, Red(x, y), Green(x, y), Blue(x, y)))
                << x << "," << y;
        }
    }
}

} // namespace

TEST_F(ImageLoadTest, MaskFileBesideTheImageGivesItsAlpha)
{
    Place("rgb8.png", "graphics/button.png");
    Place("grey8.png", "graphics/button_alpha.png");
    Image image(Base("graphics/button").c_str());
    ExpectColours(image, true);
}

TEST_F(ImageLoadTest, ExplicitMaskNameWinsOverTheDefault)
{
    Place("rgb8.png", "graphics/button.png");
    Place("grey1.png", "graphics/button_alpha.png");
    Place("grey8.png", "graphics/mask.png");
    Image image;
    image.Load(Base("graphics/button").c_str(), Base("graphics/mask").c_str());
    ExpectColours(image, true);
}

TEST_F(ImageLoadTest, MaskOnlyImageIsWhiteWithTheMaskAsAlpha)
{
    Place("grey8.png", "graphics/glow_alpha.png");
    Image image(Base("graphics/glow").c_str());
    ASSERT_EQ(image.mWidth, 13);
    EXPECT_EQ(*image.GetPixelPtr(0, 0), Argb(0, 255, 255, 255));
    EXPECT_EQ(*image.GetPixelPtr(3, 2), Argb(Red(3, 2), 255, 255, 255));
}

// The image itself comes from the PNG mask; the mask applied to it is then
// looked for in the image order, finds the 1 x 1 GIF and, being of another
// size, leaves the alpha alone.
TEST_F(ImageLoadTest, MaskStandingInForTheImageIsLookedForAsPngFirst)
{
    Write("graphics/glow_alpha.gif", std::string("GIF89a\x01\0\x01\0\x80\0\0\xFF\xFF\xFF\0\0\0"
                                                 ",\0\0\0\0\x01\0\x01\0\0\x02\x02\x44\x01\0;",
                                                 35));
    Place("grey8.png", "graphics/glow_alpha.png");
    Image image(Base("graphics/glow").c_str());
    ASSERT_EQ(image.mWidth, 13);
    EXPECT_EQ(*image.GetPixelPtr(3, 2), Argb(255, 255, 255, 255));
}

TEST_F(ImageLoadTest, MaskOfAnotherSizeIsIgnored)
{
    Place("rgb8.png", "graphics/button.png");
    Write("graphics/button_alpha.cached", std::string("\x01\0\0\0\x01\0\0\0\0\0\0\0\0\0\0\0", 16));
    Image image(Base("graphics/button").c_str());
    ExpectColours(image, false);
}

TEST_F(ImageLoadTest, ProbeOrderPrefersGifThenJpegThenPngAndSkipsDamagedFiles)
{
    Place("plain89a.gif", "graphics/p.gif");
    Place("rgb8.png", "graphics/p.png");
    Image gif(Base("graphics/p").c_str());
    EXPECT_EQ(*gif.GetPixelPtr(0, 0), Argb(255, 0, 11, 200));

    Write("graphics/q.gif", "GIF89a but nothing more");
    Write("graphics/q.jpg", "\xFF\xD8 not really");
    Place("rgb8.png", "graphics/q.png");
    Image png(Base("graphics/q").c_str());
    ExpectColours(png, false);
}

TEST_F(ImageLoadTest, CachedImageComesFirstAndDropsTheExplicitMask)
{
    const std::string cached("\x01\x00\x00\x00\x01\x00\x00\x00\x33\x22\x11\xFF\x00\x00\x00\x00", 16);
    Write("graphics/c.cached", cached);
    Place("rgb8.png", "graphics/c.png");
    Place("grey8.png", "graphics/mask.png");
    Image image;
    image.Load(Base("graphics/c").c_str(), Base("graphics/mask").c_str());
    ASSERT_EQ(image.mWidth, 1);
    EXPECT_EQ(image.mPixels[0], 0xFF112233u);
}

TEST_F(ImageLoadTest, ShortcutNamesAFolderRelativeToTheImage)
{
    Place("rgb8.png", "common/x.png");
    Write("graphics/x.shortcut", "..\\common\r\n");
    Image up(Base("graphics/x").c_str());
    ExpectColours(up, false);

    Place("rgb8.png", "graphics/sub/a.png");
    Write("graphics/a.shortcut", "sub");
    Image down(Base("graphics/a").c_str());
    ExpectColours(down, false);
}

TEST_F(ImageLoadTest, NotFoundShortcutServesTheWholeFolder)
{
    Place("rgb8.png", "fallback/n.png");
    Place("rgb8.png", "fallback/m.png");
    Write("graphics/__notfound.shortcut", "..\\fallback\r\n");
    ExpectColours(Image(Base("graphics/n").c_str()), false);
    ExpectColours(Image(Base("graphics/m").c_str()), false);
}

TEST_F(ImageLoadTest, MissingMaskIsNoError)
{
    Image image(Base("graphics/nothing_alpha").c_str());
    EXPECT_FALSE(image.HasPixels());
    Write("graphics/loop_alpha.shortcut", "..\\graphics");
    Image looped(Base("graphics/loop_alpha").c_str());
    EXPECT_FALSE(looped.HasPixels());
}

TEST_F(ImageLoadTest, MissingImageStopsTheProgram)
{
    const std::string base = Base("graphics/missing");
    ExpectStop(base, "Could not load image: " + base);
}

TEST_F(ImageLoadTest, RedirectLoopEndsAsNotFound)
{
    Write("a/x.shortcut", "..\\b");
    Write("b/x.shortcut", "..\\a");
    ExpectStop(Base("a/x"), "Could not load image");

    Write("graphics/__notfound.shortcut", ".");
    ExpectStop(Base("graphics/y"), "Could not load image");
}

TEST(NormalizePathTest, ResolvesParentSegmentsAndEndsWithASeparator)
{
    char out[260];
    ASSERT_TRUE(NormalizePath("graphics\\", "..\\common", out, sizeof(out)));
    EXPECT_STREQ(out, "common\\");
    ASSERT_TRUE(NormalizePath("a\\b\\", "..\\c/d\r\n", out, sizeof(out)));
    EXPECT_STREQ(out, "a\\c\\d\\");
    ASSERT_TRUE(NormalizePath("a\\", "..\\..\\..\\x", out, sizeof(out)));
    EXPECT_STREQ(out, "x\\");
    ASSERT_TRUE(NormalizePath("data/", "sub", out, sizeof(out)));
    EXPECT_STREQ(out, "data/sub\\");
}

TEST(NormalizePathTest, RefusesPathsThatDoNotFit)
{
    char out[260];
    EXPECT_FALSE(NormalizePath("a\\", std::string(200, 'x').c_str(), out, sizeof(out)));
    const std::string longer =
        std::string(100, 'x') + "\\" + std::string(100, 'y') + "\\" + std::string(100, 'z');
    EXPECT_FALSE(NormalizePath("a\\", longer.c_str(), out, sizeof(out)));
    char small[8];
    EXPECT_FALSE(NormalizePath("a\\", "abcdefgh", small, sizeof(small)));
}
