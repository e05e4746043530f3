#include "app/App.h"
#include "app/Font.h"
#include "app/Graphics.h"
#include "app/Image.h"
#include "app/Sprite.h"
#include "platform/Window.h"

#include "support/CachedImageFile.h"
#include "support/TemporaryFolder.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <memory>

// Sprites and text drawn through the graphics device into a window under
// the headless video driver, read back from the device's own screenshot.
namespace {

constexpr uint32_t kRed = 0xFF0000u;
constexpr uint32_t kWhite = 0xFFFFFFu;
constexpr uint32_t kBlack = 0x000000u;

// Resampling to screen scale may move a channel by a step or two.
bool IsNear(uint32_t a, uint32_t b)
{
    for (int shift = 0; shift < 24; shift += 8) {
        const int ca = int(a >> shift & 0xFF);
        const int cb = int(b >> shift & 0xFF);
        if (ca - cb > 3 || cb - ca > 3) {
            return false;
        }
    }
    return true;
}

class SpriteDrawingTest : public testing::Test
{
  protected:
    void SetUp() override
    {
        previous = std::filesystem::current_path();
        std::filesystem::current_path(folder.Path());
        ASSERT_TRUE(window.Create("Sprite drawing", 0, 0, 800, 600));
        theGraphics.ResetState();
        // SDL's renderer on the dummy driver is no hardware device: only the
        // switch puts these pictures through the hardware path.
        app = std::make_unique<App>();
        app->arguments = {"-hardware"};
        app->dataFolder = folder.Path().c_str();
        app->configPath = "config.cfg";
    }
    void TearDown() override
    {
        theGraphics.Shutdown();
        app.reset();
        theGraphics.ResetState();
        window.Destroy();
        std::filesystem::current_path(previous);
    }

    void StartSoftware()
    {
        folder.WriteText("config.cfg", "DX::ScreenWidth=800\r\nDX::ScreenHeight=600\r\nDX::ColorDepth=32\r\n"
                                       "DX::Fullscreen=false\r\nDX::SafeMode=true\r\n");
        ASSERT_TRUE(theGraphics.Startup(window.NativeHandle()));
        ASSERT_TRUE(theGraphics.mSoftware);
    }

    void BeginBlackFrame()
    {
        theGraphics.BeginScene();
        theGraphics.mTranslation = Point(0, 0);
        theGraphics.ResetClip();
        theGraphics.SetColorRGBA(0, 0, 0, 1);
        theGraphics.FillRect(0, 0, 800, 600);
        theGraphics.SetColorWhite();
    }

    void EndFrame()
    {
        theGraphics.EndScene();
        theGraphics.Present();
        ASSERT_TRUE(theGraphics.SaveBMP("frame.bmp"));
        std::ifstream in(folder / "frame.bmp", std::ios::binary);
        shot.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        ASSERT_GT(shot.size(), 54u);
    }

    // The screenshot's pixel at (x, y) as 0xRRGGBB.
    uint32_t Pixel(int x, int y) const
    {
        const int width = shot[18] | (shot[19] << 8);
        const int height = shot[22] | (shot[23] << 8);
        const size_t stride = (size_t(width) * 3 + 3) & ~size_t(3);
        const uint8_t* p = shot.data() + 54 + size_t(height - 1 - y) * stride + size_t(x) * 3;
        return uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
    }

    int CountInRow(int y, int x0, int x1, uint32_t colour) const
    {
        int count = 0;
        for (int x = x0; x < x1; ++x) {
            count += Pixel(x, y) == colour ? 1 : 0;
        }
        return count;
    }
    int CountInColumn(int x, int y0, int y1, uint32_t colour) const
    {
        int count = 0;
        for (int y = y0; y < y1; ++y) {
            count += Pixel(x, y) == colour ? 1 : 0;
        }
        return count;
    }

    static Image Solid(int w, int h, uint32_t pixel)
    {
        Image image;
        image.Create(w, h, false);
        std::fill(image.mPixels, image.mPixels + w * h, pixel);
        return image;
    }

    TemporaryFolder folder;
    std::filesystem::path previous;
    Platform::Window window;
    std::unique_ptr<App> app;
    std::vector<uint8_t> shot;
};

} // namespace

TEST_F(SpriteDrawingTest, SpriteDrawsItsPixelsAtTheTopLeftCorner)
{
    ASSERT_TRUE(theGraphics.Startup(window.NativeHandle()));
    Image image = Solid(6, 4, 0xFFFF0000u);
    Sprite sprite(&image, Rect(0, 0, 6, 4));
    Image odd = Solid(5, 5, 0xFFFF0000u);
    Sprite oddSprite(&odd, Rect(0, 0, 5, 5));
    BeginBlackFrame();
    sprite.Draw(10, 10);
    sprite.DrawCentered(100, 50);
    oddSprite.Draw(200, 10);
    EndFrame();
    EXPECT_EQ(CountInRow(11, 0, 40, kRed), 6);
    EXPECT_EQ(CountInColumn(11, 0, 40, kRed), 4);
    EXPECT_EQ(Pixel(10, 10), kRed);
    EXPECT_EQ(Pixel(15, 13), kRed);
    EXPECT_EQ(Pixel(16, 13), kBlack);
    EXPECT_EQ(Pixel(97, 48), kRed);
    EXPECT_EQ(Pixel(102, 51), kRed);
    EXPECT_EQ(Pixel(103, 51), kBlack);
    // An odd size: the centre goes to (202, 202), a whole pixel.
    EXPECT_EQ(Pixel(202, 12), kRed);
    EXPECT_EQ(CountInRow(12, 190, 220, kRed), 5);
}

TEST_F(SpriteDrawingTest, OddSizedSpriteCoversWholePixelsOnTheWindowFreeRenderer)
{
    ASSERT_TRUE(theGraphics.Startup(nullptr));
    ASSERT_FALSE(theGraphics.mSoftware);
    Image image = Solid(5, 5, 0xFFFF0000u);
    Sprite sprite(&image, Rect(0, 0, 5, 5));
    BeginBlackFrame();
    sprite.Draw(10, 10);
    theGraphics.EndScene();
    Platform::Surface frame(theGraphics.mWidth, theGraphics.mHeight, Platform::PixelFormat::XRGB8888());
    ASSERT_TRUE(theGraphics.mDevice->ReadBackBuffer(frame));
    // Its edges lie on half pixels: 9.5 to 14.5 holds pixels 10 to 14.
    for (int i = 8; i < 17; ++i) {
        const uint32_t expected = i >= 10 && i <= 14 ? kRed : kBlack;
        EXPECT_EQ(frame.GetPixel(i, 12) & 0xFFFFFFu, expected) << "x " << i;
        EXPECT_EQ(frame.GetPixel(12, i) & 0xFFFFFFu, expected) << "y " << i;
    }
}

TEST_F(SpriteDrawingTest, RotatedSpriteTurnsAboutItsCentre)
{
    ASSERT_TRUE(theGraphics.Startup(window.NativeHandle()));
    Image image = Solid(20, 4, 0xFFFF0000u);
    Sprite bar(&image, Rect(0, 0, 20, 4));
    BeginBlackFrame();
    bar.DrawRotated(100, 100, 90, 1);
    bar.DrawScaled(300, 100, 2);
    EndFrame();
    EXPECT_EQ(Pixel(100, 92), kRed);
    EXPECT_EQ(Pixel(92, 100), kBlack);
    EXPECT_EQ(CountInColumn(100, 80, 120, kRed), 20);
    EXPECT_EQ(CountInRow(100, 80, 120, kRed), 4);
    EXPECT_EQ(CountInRow(100, 250, 350, kRed), 40);
}

TEST_F(SpriteDrawingTest, PieWipesClockwiseFromTwelve)
{
    ASSERT_TRUE(theGraphics.Startup(window.NativeHandle()));
    Image image = Solid(40, 40, 0xFFFFFFFFu);
    Sprite dial(&image, Rect(0, 0, 40, 40));
    BeginBlackFrame();
    dial.DrawPie(100, 100, 0.25f);
    dial.DrawPie(200, 100, 0.125f);
    dial.DrawPie(300, 100, 0.3f);
    dial.DrawPie(400, 100, 1.0f);
    dial.DrawPie(500, 100, 0.0f);
    EndFrame();
    EXPECT_EQ(Pixel(110, 90), kWhite);
    EXPECT_EQ(Pixel(90, 90), kBlack);
    EXPECT_EQ(Pixel(110, 110), kBlack);
    // An eighth: the triangle top centre, top-right corner, centre.
    EXPECT_EQ(Pixel(205, 88), kWhite);
    EXPECT_EQ(Pixel(215, 95), kBlack);
    // 0.3: the top-right quarter and the bottom-right one up to 108 degrees.
    EXPECT_EQ(Pixel(315, 102), kWhite);
    EXPECT_EQ(Pixel(305, 115), kBlack);
    EXPECT_EQ(Pixel(290, 110), kBlack);
    EXPECT_EQ(Pixel(385, 115), kWhite);
    EXPECT_EQ(Pixel(385, 85), kWhite);
    EXPECT_EQ(CountInRow(100, 480, 520, kWhite), 0);
}

TEST_F(SpriteDrawingTest, PartialDrawsKeepAnEdge)
{
    ASSERT_TRUE(theGraphics.Startup(window.NativeHandle()));
    Image image = Solid(100, 10, 0xFFFF0000u);
    Sprite bar(&image, Rect(0, 0, 100, 10));
    BeginBlackFrame();
    bar.DrawPartialX(100, 100, 0.25f, -1);
    bar.DrawPartialX(100, 200, 0.25f, 1);
    bar.DrawPartialY(300, 100, 0.5f, 1);
    EndFrame();
    EXPECT_EQ(CountInRow(105, 90, 210, kRed), 25);
    EXPECT_EQ(Pixel(180, 105), kRed);
    EXPECT_EQ(Pixel(170, 105), kBlack);
    EXPECT_EQ(Pixel(110, 205), kRed);
    EXPECT_EQ(Pixel(130, 205), kBlack);
    EXPECT_EQ(CountInColumn(350, 95, 115, kRed), 5);
}

TEST_F(SpriteDrawingTest, TextDrawsGlyphsInTheCurrentColour)
{
    ASSERT_TRUE(theGraphics.Startup(window.NativeHandle()));
    // One page: 'A' a 6 x 10 block, 'B' a 4 x 10 block, advances 7 and 6.
    std::vector<uint32_t> page(32 * 16, 0);
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 12; ++x) {
            page[size_t(y * 32 + x)] = x == 6 || x == 7 ? 0u : 0xFFFFFFFFu;
        }
    }
    WriteCachedImage(folder / "Fonts/Blocks.cached", 32, 16, page);
    folder.WriteText("Fonts/Blocks.font", "<HEIGHT>12</HEIGHT><SPACE>4</SPACE>"
                                          "<CHAR><ID>65</ID><WIDTH>7</WIDTH><OFFSET>1,1</OFFSET>"
                                          "<RECT>0,0-6,10</RECT></CHAR>"
                                          "<CHAR><ID>66</ID><WIDTH>6</WIDTH><OFFSET>1,1</OFFSET>"
                                          "<RECT>8,0-12,10</RECT></CHAR>");
    Font font;
    font.Load("Fonts\\Blocks");
    BeginBlackFrame();
    theGraphics.SetColorRGBA(1, 0, 0, 1);
    font.Draw("AB A\nB", 300, 300);
    font.DrawCentered("AB", 400, 400);
    EndFrame();
    EXPECT_EQ(CountInRow(305, 290, 340, kRed), 6 + 4 + 6);
    EXPECT_EQ(Pixel(302, 305), kRed);
    EXPECT_EQ(Pixel(306, 305), kBlack);
    EXPECT_EQ(Pixel(307, 305), kRed);
    EXPECT_EQ(Pixel(311, 305), kBlack);
    EXPECT_EQ(Pixel(317, 305), kRed); // after the space of 4
    EXPECT_EQ(Pixel(302, 317), kRed); // the second line, 12 lower
    EXPECT_EQ(CountInColumn(305, 295, 325, kRed), 10);
    // "AB" is 13 wide: centred at 400 it starts at 394.
    EXPECT_EQ(Pixel(394, 405), kRed);
    EXPECT_EQ(Pixel(393, 405), kBlack);
}

TEST_F(SpriteDrawingTest, SoftwareRendererCopiesRunsClippedToTheSurface)
{
    StartSoftware();
    Image image = Solid(20, 10, 0xFFFF0000u);
    for (int y = 0; y < 10; ++y) {
        for (int x = 5; x < 10; ++x) {
            *image.GetPixelPtr(x, y) = 0; // a transparent gap
        }
    }
    Sprite sprite(&image, Rect(0, 0, 20, 10));
    ASSERT_FALSE(sprite.mOpaqueRuns.empty());
    Image blue = Solid(20, 4, 0xFF0000FFu);
    Sprite bar(&blue, Rect(0, 0, 20, 4));
    BeginBlackFrame();
    sprite.Draw(100, 100);
    sprite.Draw(790, 300); // past the right edge of the screen
    sprite.Draw(-15, 590); // past the left and bottom edges
    bar.DrawRotated(300, 300, 90, 1);
    EndFrame();
    // The logical 800 x 600 screen at 640 x 480.
    EXPECT_TRUE(IsNear(Pixel(82, 84), kRed));
    EXPECT_EQ(Pixel(85, 84), kBlack); // the transparent gap, at screen scale
    EXPECT_TRUE(IsNear(Pixel(633, 244), kRed));
    EXPECT_TRUE(IsNear(Pixel(2, 476), kRed));
    EXPECT_TRUE(IsNear(Pixel(240, 234), 0x0000FFu)); // drawn as triangles
    EXPECT_EQ(Pixel(234, 240), kBlack);
}

TEST_F(SpriteDrawingTest, SoftwareRendererFastBlitCopiesTheWholeTexture)
{
    StartSoftware();
    WriteCachedImage(folder / "backdrop.cached", 100, 50, std::vector<uint32_t>(100 * 50, 0xFF00FF00u));
    Sprite backdrop;
    backdrop.EnableFastBlit();
    backdrop.Load("backdrop");
    ASSERT_TRUE(backdrop.mLoaded);
    EXPECT_EQ(backdrop.mWidth, 80);
    BeginBlackFrame();
    backdrop.Draw(100, 100);
    EndFrame();
    EXPECT_TRUE(IsNear(Pixel(82, 82), 0x00FF00u));
    EXPECT_TRUE(IsNear(Pixel(150, 110), 0x00FF00u));
    EXPECT_EQ(Pixel(170, 110), kBlack);
}
