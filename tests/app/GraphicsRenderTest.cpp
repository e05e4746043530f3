#include "app/GraphicDevice.h"
#include "app/Graphics.h"
#include "app/Image.h"
#include "app/Shader.h"
#include "app/Texture.h"
#include "app/VertexBuffer2D.h"

#include "support/RenderDeviceEvents.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {
constexpr uint32_t kRed = 0xFFFF0000;
constexpr uint32_t kGreen = 0xFF00FF00;
constexpr uint32_t kBlue = 0xFF0000FF;
constexpr uint32_t kBlack = 0xFF000000;

// A device resource that counts what the device tells it.
class CountingDevice : public GraphicDevice
{
  public:
    void Restore() override { ++restores; }
    void OnSuspend() override { ++suspends; }
    int restores = 0;
    int suspends = 0;
};

// The graphics device started without a window: the hardware path drawing
// into memory, with its settings in a folder of its own.
class GraphicsRenderTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        previous = std::filesystem::current_path();
        std::filesystem::current_path(folder.Path());
        theGraphics.ResetState();
        ASSERT_TRUE(theGraphics.Startup(nullptr));
        ASSERT_FALSE(theGraphics.mSoftware);
        ASSERT_NE(theGraphics.mDevice, nullptr);
    }

    void TearDown() override
    {
        theGraphics.Shutdown();
        theGraphics.ResetState();
        std::filesystem::current_path(previous);
    }

    void BeginFrame(uint32_t background)
    {
        theGraphics.BeginScene();
        theGraphics.mTranslation = Point(0, 0);
        const Color c(((background >> 16) & 0xFF) / 255.0f, ((background >> 8) & 0xFF) / 255.0f,
                      (background & 0xFF) / 255.0f, 1.0f);
        theGraphics.SetColor(c);
        theGraphics.FillRect(0, 0, 800, 600);
    }

    uint32_t Pixel(int x, int y)
    {
        Platform::Surface frame(theGraphics.mWidth, theGraphics.mHeight, Platform::PixelFormat::XRGB8888());
        EXPECT_TRUE(theGraphics.mDevice->ReadBackBuffer(frame));
        return frame.GetPixel(x, y);
    }

    // A 4 x 4 texture: red and green above, transparent and opaque white below.
    static void MakeQuadrantImage(Image& image)
    {
        image.Create(4, 4, true);
        const uint32_t quadrants[4] = {kRed, kGreen, 0x00000000, 0xFFFFFFFF};
        for (int y = 0; y < 4; ++y) {
            for (int x = 0; x < 4; ++x) {
                *image.GetPixelPtr(x, y) = quadrants[(y / 2) * 2 + x / 2];
            }
        }
    }

    static void DrawTexture(Texture& texture, float x, float y, float size)
    {
        VertexBuffer2D buffer;
        buffer.Create(4);
        auto* v = static_cast<TexturedVertex*>(buffer.Lock());
        v[0] = {0, 0, 1, 0, 0};
        v[1] = {size, 0, 1, 1, 0};
        v[2] = {0, size, 1, 0, 1};
        v[3] = {size, size, 1, 1, 1};
        buffer.Unlock();
        Shader shader(Color(1, 1, 1, 1));
        shader.mTexture = &texture;
        theGraphics.SetSpriteMode();
        theGraphics.ApplyShader(shader);
        Matrix world;
        world.Translate(x, y, 0);
        theGraphics.SetWorldTransform(world);
        theGraphics.DrawVertexBuffer(&buffer, 4, 0);
    }

    TemporaryFolder folder;
    std::filesystem::path previous;
};
} // namespace

TEST_F(GraphicsRenderTest, FillRectCoversItsPixelsUnderTheTranslation)
{
    BeginFrame(kBlack);
    theGraphics.mTranslation = Point(100, 50);
    theGraphics.SetColorRGBA(1, 0, 0, 1);
    theGraphics.FillRect(0, 0, 10, 10);
    theGraphics.EndScene();
    EXPECT_EQ(Pixel(100, 50), kRed);
    EXPECT_EQ(Pixel(109, 59), kRed);
    EXPECT_EQ(Pixel(110, 59), kBlack);
    EXPECT_EQ(Pixel(109, 60), kBlack);
    EXPECT_EQ(Pixel(99, 50), kBlack);
}

TEST_F(GraphicsRenderTest, BlendsByAlphaAndAdditively)
{
    BeginFrame(kBlue);
    theGraphics.SetColorRGBA(1, 0, 0, 0.5f);
    theGraphics.FillRect(0, 0, 10, 10);
    theGraphics.SetAdditive(true);
    theGraphics.FillRect(20, 0, 10, 10);
    theGraphics.SetAdditive(false);
    theGraphics.SetColorRGBA(1, 0, 0, 0);
    theGraphics.FillRect(40, 0, 10, 10); // alpha 0 draws nothing
    theGraphics.EndScene();
    const uint32_t blended = Pixel(5, 5);
    EXPECT_NEAR(static_cast<int>((blended >> 16) & 0xFF), 127, 1);
    EXPECT_NEAR(static_cast<int>(blended & 0xFF), 128, 1);
    const uint32_t added = Pixel(25, 5);
    EXPECT_NEAR(static_cast<int>((added >> 16) & 0xFF), 127, 1);
    EXPECT_EQ(added & 0xFF, 0xFFu);
    EXPECT_EQ(Pixel(45, 5), kBlue);
}

TEST_F(GraphicsRenderTest, ClipsToTheClipRectangle)
{
    BeginFrame(kBlack);
    theGraphics.SetClipRect(0, 0, 20, 20);
    theGraphics.SetColorRGBA(0, 1, 0, 1);
    theGraphics.FillRect(10, 10, 30, 30);
    theGraphics.ResetClip();
    theGraphics.EndScene();
    EXPECT_EQ(Pixel(10, 10), kGreen);
    EXPECT_EQ(Pixel(19, 19), kGreen);
    EXPECT_EQ(Pixel(20, 19), kBlack);
    EXPECT_EQ(Pixel(19, 20), kBlack);
    EXPECT_EQ(Pixel(30, 30), kBlack);
}

TEST_F(GraphicsRenderTest, DrawsAnUploadedTextureWithPointFilteringAndColourFill)
{
    Image image;
    MakeQuadrantImage(image);
    Texture texture(image);
    ASSERT_NE(texture.mSurface, nullptr);
    EXPECT_EQ(texture.mHasAlpha, 1);

    BeginFrame(kBlue);
    theGraphics.SetFiltering(false);
    theGraphics.SetColorWhite();
    DrawTexture(texture, 0, 0, 40);
    theGraphics.SetColorFill(true);
    theGraphics.SetColorRGBA(0, 1, 0, 1);
    DrawTexture(texture, 100, 0, 40);
    theGraphics.SetColorFill(false);
    theGraphics.EndScene();

    EXPECT_EQ(Pixel(5, 5), kRed);
    EXPECT_EQ(Pixel(35, 5), kGreen);
    EXPECT_EQ(Pixel(5, 35), kBlue);
    EXPECT_EQ(Pixel(35, 35), 0xFFFFFFFFu);
    EXPECT_EQ(Pixel(105, 5), kGreen);
    EXPECT_EQ(Pixel(105, 35), kBlue);
    EXPECT_EQ(Pixel(135, 35), kGreen);
}

TEST_F(GraphicsRenderTest, DeviceLossCycleRestoresEveryRegisteredResource)
{
    CountingDevice first;
    CountingDevice second;
    first.Register();
    second.Register();
    second.Register();
    EXPECT_EQ(theGraphics.mDevices.Count(), 2);

    Image image;
    MakeQuadrantImage(image);
    Texture texture(image);

    // The driver loses everything: the frame is skipped and the device
    // recovers before the next one.
    RenderDeviceEvents::DeviceReset();
    BeginFrame(kBlack);
    EXPECT_TRUE(theGraphics.mRecoverPending);
    theGraphics.EndScene();
    theGraphics.Present();
    EXPECT_FALSE(theGraphics.IsLost());
    EXPECT_EQ(first.restores, 1);
    EXPECT_EQ(second.restores, 1);

    // A failed present (or a minimised window) invalidates: the next present
    // rebuilds every surface and restores every resource again.
    theGraphics.InvalidateDevices();
    EXPECT_EQ(first.mNeedsRecovery, 1);
    theGraphics.Present();
    EXPECT_FALSE(theGraphics.mInvalidated);
    EXPECT_GE(first.restores, 2);
    EXPECT_GE(second.restores, 2);
    EXPECT_GE(first.suspends, 1);

    // Drawing works again, textures included.
    BeginFrame(kBlack);
    theGraphics.SetFiltering(false);
    theGraphics.SetColorWhite();
    DrawTexture(texture, 0, 0, 40);
    theGraphics.EndScene();
    EXPECT_EQ(Pixel(5, 5), kRed);
    theGraphics.Present();
    EXPECT_FALSE(theGraphics.IsLost());
}

TEST_F(GraphicsRenderTest, ActivationRecoversBeforeTheNextFrame)
{
    CountingDevice device;
    device.Register();
    theGraphics.SetActive(false);
    EXPECT_FALSE(theGraphics.mRecoverPending);
    theGraphics.SetActive(true);
    EXPECT_TRUE(theGraphics.mRecoverPending);
    theGraphics.BeginScene();
    EXPECT_FALSE(theGraphics.mRecoverPending);
    EXPECT_EQ(device.restores, 1);
    theGraphics.EndScene();
}

TEST_F(GraphicsRenderTest, UnregistersResourcesAsTheyGo)
{
    {
        CountingDevice device;
        device.Register();
        EXPECT_EQ(theGraphics.mDevices.Count(), 1);
    }
    EXPECT_EQ(theGraphics.mDevices.Count(), 0);
}

TEST_F(GraphicsRenderTest, DebugTextIsWhiteOnBlackCells)
{
    BeginFrame(kBlue);
    theGraphics.DrawDebugText("A", 20, 30);
    theGraphics.EndScene();
    // The first column of "A" is lit from its second row down; the second
    // column is lit at the top.
    EXPECT_EQ(Pixel(20, 30), kBlack);
    EXPECT_EQ(Pixel(20, 31), 0xFFFFFFFFu);
    EXPECT_EQ(Pixel(21, 30), 0xFFFFFFFFu);
    EXPECT_EQ(Pixel(25, 37), kBlack); // the cell's spacing column and row
    EXPECT_EQ(Pixel(26, 30), kBlue);
}

// The same texture drawn again after colour fill is still blended: its
// transparent texels leave the background alone.
TEST_F(GraphicsRenderTest, LeavingColourFillKeepsTheBoundTextureBlended)
{
    Image image;
    MakeQuadrantImage(image);
    Texture texture(image);

    BeginFrame(kBlue);
    theGraphics.SetFiltering(false);
    theGraphics.SetColorFill(true);
    theGraphics.SetColorRGBA(0, 1, 0, 1);
    DrawTexture(texture, 0, 0, 40);
    theGraphics.SetColorFill(false);
    theGraphics.SetColorWhite();
    DrawTexture(texture, 100, 0, 40);
    theGraphics.EndScene();

    EXPECT_EQ(Pixel(105, 35), kBlue);
    EXPECT_EQ(Pixel(105, 5), kRed);
}
