#include "app/App.h"
#include "app/Graphics.h"
#include "app/Image.h"
#include "app/Shader.h"
#include "app/Texture.h"
#include "app/VertexBuffer2D.h"
#include "platform/Window.h"

#include "support/PointerEvents.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

namespace {
// One whole frame in a real window, through either renderer, kept as the
// screenshot the game would save.
class GraphicsFrameTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        previous = std::filesystem::current_path();
        std::filesystem::current_path(folder.Path());
        ASSERT_TRUE(window.Create("Graphics frame", 0, 0, 800, 600));
        theGraphics.ResetState();
        app = std::make_unique<App>();
        app->dataFolder = folder.Path().c_str();
        app->configPath = "config.cfg";
    }

    void TearDown() override
    {
        texture.reset();
        theGraphics.Shutdown();
        app.reset();
        theGraphics.ResetState();
        window.Destroy();
        std::filesystem::current_path(previous);
    }

    // A grey screen, a red bar, a half-transparent blue square over it and
    // a 4 x 4 texture stretched over 80 x 80 with point filtering.
    // Without the fills only the texture is drawn over the last frame.
    void DrawScene(bool fills = true)
    {
        theGraphics.BeginScene();
        theGraphics.mTranslation = Point(0, 0);
        if (fills) {
            theGraphics.SetColorRGBA(0.5f, 0.5f, 0.5f, 1);
            theGraphics.FillRect(0, 0, 800, 600);
            theGraphics.SetColorRGBA(1, 0, 0, 1);
            theGraphics.FillRect(100, 100, 300, 50);
            theGraphics.SetColorRGBA(0, 0, 1, 0.5f);
            theGraphics.FillRect(300, 50, 100, 200);
        }

        if (!texture) {
            Image image;
            image.Create(4, 4, true);
            for (int y = 0; y < 4; ++y) {
                for (int x = 0; x < 4; ++x) {
                    *image.GetPixelPtr(x, y) = x < 2 ? 0xFF00FF00 : 0xFFFFFF00;
                }
            }
            texture = std::make_unique<Texture>(image);
        }
        VertexBuffer2D quad;
        quad.Create(4);
        auto* v = static_cast<TexturedVertex*>(quad.Lock());
        v[0] = {0, 0, 1, 0, 0};
        v[1] = {80, 0, 1, 1, 0};
        v[2] = {0, 80, 1, 0, 1};
        v[3] = {80, 80, 1, 1, 1};
        quad.Unlock();
        Shader shader(Color(1, 1, 1, 1));
        shader.mTexture = texture.get();
        theGraphics.SetColorWhite();
        theGraphics.SetFiltering(false);
        theGraphics.SetSpriteMode();
        theGraphics.ApplyShader(shader);
        Matrix world;
        world.Translate(500, 400, 0);
        theGraphics.SetWorldTransform(world);
        theGraphics.DrawVertexBuffer(&quad, 4, 0);
        theGraphics.EndScene();
        theGraphics.Present();
    }

    // The screenshot's pixel at (x, y) as 0xRRGGBB.
    uint32_t ShotPixel(const std::string& file, int x, int y)
    {
        std::ifstream in(folder / file, std::ios::binary);
        std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        const int width = bytes[18] | (bytes[19] << 8);
        const int height = bytes[22] | (bytes[23] << 8);
        const size_t stride = (width * 3 + 3) & ~3;
        const uint8_t* p = bytes.data() + 54 + (height - 1 - y) * stride + x * 3;
        return (p[2] << 16) | (p[1] << 8) | p[0];
    }

    // SDL's renderer on the dummy driver is no hardware device: only the
    // switch puts a frame through the hardware path.
    void StartHardware()
    {
        app->arguments = {"-hardware"};
        ASSERT_TRUE(theGraphics.Startup(window.NativeHandle()));
        ASSERT_FALSE(theGraphics.mSoftware);
    }

    TemporaryFolder folder;
    std::filesystem::path previous;
    Platform::Window window;
    std::unique_ptr<App> app;
    std::unique_ptr<Texture> texture;
};

bool Near(uint32_t a, uint32_t b, int tolerance = 2)
{
    for (int shift = 0; shift < 24; shift += 8) {
        const int ca = (a >> shift) & 0xFF;
        const int cb = (b >> shift) & 0xFF;
        if (ca - cb > tolerance || cb - ca > tolerance) {
            return false;
        }
    }
    return true;
}
} // namespace

TEST_F(GraphicsFrameTest, HardwareRendererFrameIsThePicture)
{
    StartHardware();
    DrawScene();
    DrawScene(false);
    ASSERT_TRUE(theGraphics.SaveBMP("hardware.bmp"));
    EXPECT_TRUE(Near(ShotPixel("hardware.bmp", 10, 10), 0x7F7F7F));
    EXPECT_EQ(ShotPixel("hardware.bmp", 150, 120), 0xFF0000u);
    EXPECT_TRUE(Near(ShotPixel("hardware.bmp", 350, 120), 0x7F007F));
    EXPECT_TRUE(Near(ShotPixel("hardware.bmp", 350, 200), 0x3F3FBF));
    EXPECT_EQ(ShotPixel("hardware.bmp", 510, 410), 0x00FF00u);
    EXPECT_EQ(ShotPixel("hardware.bmp", 570, 470), 0xFFFF00u);
    EXPECT_TRUE(Near(ShotPixel("hardware.bmp", 590, 410), 0x7F7F7F));
}

TEST_F(GraphicsFrameTest, SoftwareRendererFrameIsThePicture)
{
    folder.WriteText("config.cfg", "DX::ScreenWidth=800\r\nDX::ScreenHeight=600\r\nDX::ColorDepth=32\r\n"
                                   "DX::Fullscreen=false\r\n");
    // A first start without graphics hardware: the hardware test sends the
    // game to the software renderer.
    ASSERT_TRUE(theGraphics.Startup(window.NativeHandle()));
    ASSERT_TRUE(theGraphics.mSoftware);
    EXPECT_NE(folder.ReadText("config.cfg").find("DX::SafeMode=true"), std::string::npos);
    ASSERT_EQ(theGraphics.mWidth, 640);
    // Two frames: the second starts with the texture the first ended with.
    DrawScene();
    DrawScene(false);
    ASSERT_TRUE(theGraphics.SaveBMP("software.bmp"));
    // The logical 800 x 600 screen is drawn at 640 x 480, inside a black edge.
    EXPECT_EQ(ShotPixel("software.bmp", 0, 0), 0x000000u);
    EXPECT_EQ(ShotPixel("software.bmp", 639, 240), 0x000000u);
    EXPECT_TRUE(Near(ShotPixel("software.bmp", 10, 10), 0x7F7F7F));
    EXPECT_TRUE(Near(ShotPixel("software.bmp", 120, 96), 0xFF0000));
    EXPECT_TRUE(Near(ShotPixel("software.bmp", 280, 96), 0x7F007F));
    EXPECT_TRUE(Near(ShotPixel("software.bmp", 280, 160), 0x3F3FBF));
    EXPECT_TRUE(Near(ShotPixel("software.bmp", 408, 328), 0x00FF00));
    EXPECT_TRUE(Near(ShotPixel("software.bmp", 456, 376), 0xFFFF00));

    // Debug text goes onto the render surface, which stays locked for drawing.
    theGraphics.BeginScene();
    theGraphics.DrawDebugText("A", 20, 30);
    EXPECT_NE(theGraphics.mSWHelper.GetPixels(), nullptr);
    theGraphics.EndScene();
    theGraphics.Present();
    ASSERT_TRUE(theGraphics.SaveBMP("text.bmp"));
    EXPECT_EQ(ShotPixel("text.bmp", 20, 30), 0x000000u);
    EXPECT_EQ(ShotPixel("text.bmp", 20, 31), 0xFFFFFFu);

    // A texture deleted while it is the one bound leaves nothing behind that
    // the next frame would touch.
    theGraphics.BeginScene();
    Shader shader(Color(1, 1, 1, 1));
    shader.mTexture = texture.get();
    theGraphics.ApplyShader(shader);
    texture.reset();
    theGraphics.SetColorRGBA(0, 0, 0, 1);
    theGraphics.FillRect(0, 0, 10, 10);
    theGraphics.EndScene();
    theGraphics.Present();
    EXPECT_EQ(theGraphics.mBoundTexture, nullptr);
}

TEST_F(GraphicsFrameTest, FullScreenShowsTheFrameScaledAndPointsInFramePixels)
{
    StartHardware();
    theGraphics.SetFullscreen(true);
    ASSERT_TRUE(theGraphics.mFullscreen);
    DrawScene();
    int width = 0;
    int height = 0;
    window.GetClientSize(width, height);
    // Full screen covers the desktop; the frame keeps its own size.
    EXPECT_EQ(width, Platform::GetDesktopMode().width);
    EXPECT_EQ(height, Platform::GetDesktopMode().height);
    EXPECT_EQ(theGraphics.mWidth, 800);

    // A pointer at the window's centre is at the frame's centre.
    Platform::WindowMessage message;
    while (window.PollMessage(message)) {
    }
    PointerEvents::MoveTo(window.NativeHandle(), width / 2, height / 2);
    bool moved = false;
    while (window.PollMessage(message)) {
        if (message.message == Platform::Message::MouseMove) {
            moved = true;
            EXPECT_NEAR(Platform::PointX(message.lParam), 400, 1);
            EXPECT_NEAR(Platform::PointY(message.lParam), 300, 1);
        }
    }
    EXPECT_TRUE(moved);
    theGraphics.SetFullscreen(false);
    EXPECT_FALSE(theGraphics.mFullscreen);
}

TEST_F(GraphicsFrameTest, SixteenBitFullScreenDrawsInRgb565)
{
    folder.WriteText("config.cfg", "DX::ScreenWidth=800\r\nDX::ScreenHeight=600\r\nDX::ColorDepth=16\r\n"
                                   "DX::Fullscreen=true\r\nDX::SafeMode=true\r\n");
    ASSERT_TRUE(theGraphics.Startup(window.NativeHandle()));
    ASSERT_TRUE(theGraphics.mSoftware);
    ASSERT_EQ(theGraphics.mPrimaryDesc.format, Platform::PixelFormat::RGB565());
    ASSERT_NE(theGraphics.mBackBuffer, nullptr);
    EXPECT_EQ(theGraphics.mBackBuffer->GetFormat(), Platform::PixelFormat::RGB565());
    DrawScene();
    ASSERT_TRUE(theGraphics.SaveBMP("rgb565.bmp"));
    // Five and six bits a channel, blended in them: close to the 32-bit picture.
    EXPECT_TRUE(Near(ShotPixel("rgb565.bmp", 10, 10), 0x7F7F7F, 8));
    EXPECT_TRUE(Near(ShotPixel("rgb565.bmp", 120, 96), 0xFF0000, 8));
    EXPECT_TRUE(Near(ShotPixel("rgb565.bmp", 280, 160), 0x3F3FBF, 12));
    EXPECT_TRUE(Near(ShotPixel("rgb565.bmp", 408, 328), 0x00FF00, 8));
}
