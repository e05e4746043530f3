#include "platform/Display.h"
#include "platform/Window.h"

#include "support/CaughtStderr.h"
#include "support/ScopedVariable.h"
#include "support/XServer.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

using Platform::BlendMode;
using Platform::PixelFormat;
using Platform::Renderer;
using Platform::RenderVertex;
using Platform::Surface;

namespace {
// Two triangles covering (x, y)-(x + w, y + h) in back-buffer pixels.
void DrawRect(Renderer& renderer, float x, float y, float w, float h, uint32_t color)
{
    const RenderVertex quad[4] = {
        {x, y, color, 0, 0}, {x + w, y, color, 1, 0}, {x, y + h, color, 0, 1}, {x + w, y + h, color, 1, 1}};
    renderer.DrawTriangleStrip(quad, 4);
}

void SetRaw(Surface& frame, int x, int y, uint32_t pixel)
{
    const int bytes = frame.GetFormat().BytesPerPixel();
    std::memcpy(frame.GetRow(y) + x * bytes, &pixel, bytes);
}

// Every 16-bit value once; 32-bit words with every byte.
void FillWithEveryValue(Surface& frame)
{
    for (int y = 0; y < frame.GetHeight(); ++y) {
        for (int x = 0; x < frame.GetWidth(); ++x) {
            const uint32_t raw = static_cast<uint32_t>(y * frame.GetWidth() + x);
            SetRaw(frame, x, y, frame.GetFormat().bitsPerPixel == 16 ? raw : raw * 0x9E3779B1u);
        }
    }
}

class RendererTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        renderer = Renderer::CreateOffscreen(64, 48);
        ASSERT_NE(renderer, nullptr);
        ASSERT_TRUE(renderer->CreateBackBuffer(64, 48));
        ASSERT_TRUE(renderer->BeginFrame());
        renderer->Clear(0xFF0000FF);
    }

    uint32_t Pixel(int x, int y)
    {
        Surface frame(64, 48, PixelFormat::ARGB8888());
        EXPECT_TRUE(renderer->ReadBackBuffer(frame));
        return frame.GetPixel(x, y) | 0xFF000000;
    }

    std::unique_ptr<Renderer> renderer;
};
} // namespace

TEST(PixelFormat, EncodesAndDecodesThe16BitLayouts)
{
    // 255, 128, 128 into RGB565: red 31, green 63 x 128 / 255 = 31, blue 15.
    EXPECT_EQ(Platform::EncodePixel(PixelFormat::RGB565(), 0xFFFF8080), (31u << 11) | (31u << 5) | 15u);
    EXPECT_EQ(Platform::EncodePixel(PixelFormat::RGB555(), 0xFFFFFFFF), 0x7FFFu);
    EXPECT_EQ(Platform::DecodePixel(PixelFormat::RGB565(), 0xFFFF), 0xFFFFFFFFu);
    EXPECT_EQ(Platform::DecodePixel(PixelFormat::XRGB8888(), 0x00123456), 0xFF123456u);
    EXPECT_EQ(Platform::DecodePixel(PixelFormat::ARGB8888(), 0x80123456), 0x80123456u);
}

TEST(Surface, LockUnlockMarksChangeAndFillClips)
{
    Surface surface(5, 3, PixelFormat::RGB565());
    EXPECT_EQ(surface.GetPitch(), 12);
    const uint32_t before = surface.GetVersion();
    int pitch = 0;
    ASSERT_NE(surface.Lock(&pitch), nullptr);
    EXPECT_TRUE(surface.IsLocked());
    surface.Unlock();
    EXPECT_FALSE(surface.IsLocked());
    EXPECT_NE(surface.GetVersion(), before);

    surface.FillRect(-2, 1, 100, 100, 0xF800);
    EXPECT_EQ(surface.GetPixel(0, 0), 0xFF000000u);
    EXPECT_EQ(surface.GetPixel(4, 2), 0xFFFF0000u);
    EXPECT_EQ(surface.GetPixel(5, 2), 0u);
}

TEST(Surface, CopyConvertsFormatsAndScales)
{
    Surface source(2, 1, PixelFormat::ARGB8888());
    source.SetPixel(0, 0, 0xFFFF0000);
    source.SetPixel(1, 0, 0xFF0000FF);
    Surface wide(4, 2, PixelFormat::RGB565());
    wide.CopyFrom(source);
    EXPECT_EQ(wide.GetPixel(1, 1), 0xFFFF0000u);
    EXPECT_EQ(wide.GetPixel(2, 0), 0xFF0000FFu);
    Surface empty(0, 0, PixelFormat::ARGB8888());
    EXPECT_EQ(empty.Lock(), nullptr);
}

TEST(DisplayModes, IncludeTheGameSizesThatFitTheDesktop)
{
    const Platform::DisplayMode desktop = Platform::GetDesktopMode();
    bool has640 = false;
    for (const Platform::DisplayMode& mode : Platform::GetDisplayModes()) {
        EXPECT_LE(mode.width, std::max(desktop.width, 1280));
        has640 = has640 || (mode.width == 640 && mode.height == 480);
    }
    EXPECT_TRUE(has640);
}

TEST_F(RendererTest, FillsRectanglesPixelExact)
{
    renderer->SetBlendMode(BlendMode::None);
    DrawRect(*renderer, 10, 5, 20, 10, 0xFFFF0000);
    EXPECT_EQ(Pixel(10, 5), 0xFFFF0000u);
    EXPECT_EQ(Pixel(29, 14), 0xFFFF0000u);
    EXPECT_EQ(Pixel(30, 14), 0xFF0000FFu);
    EXPECT_EQ(Pixel(29, 15), 0xFF0000FFu);
    EXPECT_EQ(Pixel(9, 5), 0xFF0000FFu);

    // Pixel centres lie on whole coordinates: 40.5 to 45.5 holds pixels 41 to 45.
    DrawRect(*renderer, 40.5f, 20.5f, 5, 5, 0xFF00FF00);
    EXPECT_EQ(Pixel(41, 21), 0xFF00FF00u);
    EXPECT_EQ(Pixel(45, 25), 0xFF00FF00u);
    EXPECT_EQ(Pixel(40, 23), 0xFF0000FFu);
    EXPECT_EQ(Pixel(46, 23), 0xFF0000FFu);
    EXPECT_EQ(Pixel(43, 20), 0xFF0000FFu);
    EXPECT_EQ(Pixel(43, 26), 0xFF0000FFu);
}

TEST_F(RendererTest, AStripWithARepeatedCornerAndARoundingStepOffTheTextureStillDraws)
{
    // A clock-wipe quarter before its hand passes the corner: the last
    // corner repeats the second, its v a rounding step below 0.
    Surface texture(8, 8, PixelFormat::ARGB8888());
    texture.FillRect(0, 0, 8, 8, 0xFFFFFFFF);
    renderer->SetBlendMode(BlendMode::Normal);
    renderer->SetTexture(&texture, false);
    const RenderVertex wedge[4] = {{20, 10, 0xFFFFFFFF, 0.5f, 0.0f},
                                   {30, 10, 0xFFFFFFFF, 1.0f, 0.0f},
                                   {20, 20, 0xFFFFFFFF, 0.5f, 0.5f},
                                   {30, 10, 0xFFFFFFFF, 1.0f, -3e-8f}};
    renderer->DrawTriangleStrip(wedge, 4);
    EXPECT_EQ(Pixel(21, 11), 0xFFFFFFFFu);
    EXPECT_EQ(Pixel(26, 12), 0xFFFFFFFFu);
    EXPECT_EQ(Pixel(28, 18), 0xFF0000FFu);
}

TEST_F(RendererTest, BlendsNormallyAndAdditively)
{
    renderer->SetBlendMode(BlendMode::Normal);
    DrawRect(*renderer, 0, 0, 8, 8, 0x80FF0000);
    const uint32_t blended = Pixel(2, 2);
    EXPECT_NEAR(static_cast<int>((blended >> 16) & 0xFF), 128, 1);
    EXPECT_EQ((blended >> 8) & 0xFF, 0u);
    EXPECT_NEAR(static_cast<int>(blended & 0xFF), 127, 1);

    renderer->SetBlendMode(BlendMode::Additive);
    DrawRect(*renderer, 16, 0, 8, 8, 0x80FF0000);
    const uint32_t added = Pixel(18, 2);
    EXPECT_NEAR(static_cast<int>((added >> 16) & 0xFF), 128, 1);
    EXPECT_EQ(added & 0xFF, 0xFFu);
}

TEST_F(RendererTest, DrawsTexturesWithPointFilteringAndColourFill)
{
    // Quadrants of 2 x 2 texels: red, green / transparent, white.
    Surface texture(4, 4, PixelFormat::ARGB8888());
    const uint32_t quadrants[4] = {0xFFFF0000, 0xFF00FF00, 0x00000000, 0xFFFFFFFF};
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) {
            texture.SetPixel(x, y, quadrants[(y / 2) * 2 + x / 2]);
        }
    }
    renderer->SetLinearFiltering(false);
    renderer->SetBlendMode(BlendMode::Normal);
    renderer->SetTexture(&texture, false);
    DrawRect(*renderer, 0, 0, 8, 8, 0xFFFFFFFF);
    EXPECT_EQ(Pixel(1, 1), 0xFFFF0000u);
    EXPECT_EQ(Pixel(6, 1), 0xFF00FF00u);
    EXPECT_EQ(Pixel(1, 6), 0xFF0000FFu); // transparent texel: the clear colour shows
    EXPECT_EQ(Pixel(6, 6), 0xFFFFFFFFu);

    // Colour fill: the texture's alpha, the vertex colour's RGB.
    renderer->SetTexture(&texture, true);
    DrawRect(*renderer, 16, 0, 8, 8, 0xFF00FF00);
    EXPECT_EQ(Pixel(17, 1), 0xFF00FF00u);
    EXPECT_EQ(Pixel(17, 6), 0xFF0000FFu);

    // A change to the pixels reaches the next draw.
    int pitch = 0;
    texture.Lock(&pitch);
    texture.FillRect(0, 0, 2, 2, 0xFF0000FF);
    texture.Unlock();
    texture.FillRect(2, 0, 2, 2, 0xFF000000);
    renderer->SetTexture(&texture, false);
    DrawRect(*renderer, 32, 0, 8, 8, 0xFFFFFFFF);
    EXPECT_EQ(Pixel(33, 1), 0xFF0000FFu);
    EXPECT_EQ(Pixel(38, 1), 0xFF000000u);
}

// Geometry SDL's own software rasteriser gets wrong unless we help: a
// zoomed picture far larger than the target, triangles reaching absurdly
// far out, and a picture turned a quarter (drawn mirrored as an upright
// rectangle copy).
TEST_F(RendererTest, HugeAndTurnedPicturesShowTheRightTexels)
{
    // Red above blue, 256 texels square.
    Surface texture(256, 256, PixelFormat::ARGB8888());
    texture.FillRect(0, 0, 256, 128, 0xFFFF0000);
    texture.FillRect(0, 128, 256, 128, 0xFF0000FF);
    renderer->SetLinearFiltering(false);
    renderer->SetBlendMode(BlendMode::Normal);
    renderer->SetTexture(&texture, false);
    // 4000 pixels square, its middle on the target's middle.
    DrawRect(*renderer, 32 - 2000, 24 - 2000, 4000, 4000, 0xFFFFFFFF);
    for (int x : {0, 31, 63}) {
        EXPECT_EQ(Pixel(x, 0), 0xFFFF0000u) << x;
        EXPECT_EQ(Pixel(x, 47), 0xFF0000FFu) << x;
    }

    // Turned a quarter clockwise: the texture's top on the right.
    const uint32_t white = 0xFFFFFFFF;
    const RenderVertex turned[4] = {
        {0, 0, white, 0, 1}, {8, 0, white, 0, 0}, {8, 8, white, 1, 0}, {0, 8, white, 1, 1}};
    renderer->DrawTriangleFan(turned, 4);
    for (int y : {1, 6}) {
        EXPECT_EQ(Pixel(6, y), 0xFFFF0000u) << y;
        EXPECT_EQ(Pixel(1, y), 0xFF0000FFu) << y;
    }

    renderer->SetTexture(nullptr, false);
    const RenderVertex far[3] = {{-1e9f, -1e9f, 0xFF00FF00, 0, 0},
                                 {1e9f, -1e9f, 0xFF00FF00, 0, 0},
                                 {0, 1e9f, 0xFF00FF00, 0, 0}};
    renderer->DrawTriangleList(far, 3);
    EXPECT_EQ(Pixel(32, 24), 0xFF00FF00u);
}

TEST_F(RendererTest, PresentsTheBackBufferAndMemoryFrames)
{
    renderer->SetBlendMode(BlendMode::None);
    DrawRect(*renderer, 0, 0, 32, 48, 0xFF00FF00);
    ASSERT_TRUE(renderer->PresentBackBuffer());
    Surface output(64, 48, PixelFormat::ARGB8888());
    ASSERT_TRUE(renderer->ReadOutput(output));
    EXPECT_EQ(output.GetPixel(5, 5) | 0xFF000000, 0xFF00FF00u);
    EXPECT_EQ(output.GetPixel(40, 5) | 0xFF000000, 0xFF0000FFu);

    for (const PixelFormat& format :
         {PixelFormat::XRGB8888(), PixelFormat::RGB565(), PixelFormat::RGB555()}) {
        Surface frame(64, 48, format);
        frame.FillRect(0, 0, 64, 48, Platform::EncodePixel(format, 0xFFFF0000));
        ASSERT_TRUE(renderer->PresentSurface(frame));
        ASSERT_TRUE(renderer->ReadOutput(output));
        EXPECT_EQ(output.GetPixel(63, 47) | 0xFF000000, 0xFFFF0000u);
    }
}

TEST_F(RendererTest, LetterboxesAFrameOfAnotherShape)
{
    Surface frame(32, 48, PixelFormat::XRGB8888());
    frame.FillRect(0, 0, 32, 48, 0xFFFFFF);
    ASSERT_TRUE(renderer->PresentSurface(frame));
    Surface output(64, 48, PixelFormat::ARGB8888());
    ASSERT_TRUE(renderer->ReadOutput(output));
    EXPECT_EQ(output.GetPixel(2, 10) & 0xFFFFFF, 0u);
    EXPECT_EQ(output.GetPixel(32, 10) & 0xFFFFFF, 0xFFFFFFu);
}

TEST_F(RendererTest, ReportsALimitWhenTheDriverNamesNone)
{
    const Platform::AdapterInfo info = renderer->GetAdapterInfo();
    EXPECT_FALSE(info.name.empty());
    EXPECT_GT(info.maxTextureWidth, 0);
    EXPECT_GT(info.maxTextureHeight, 0);
    EXPECT_FALSE(renderer->TakeDeviceLost());
}

TEST_F(RendererTest, ForgetsTexturesOfDestroyedSurfaces)
{
    {
        Surface texture(4, 4, PixelFormat::ARGB8888());
        renderer->SetTexture(&texture, false);
        renderer->SetTexture(nullptr, false);
        EXPECT_EQ(renderer->GetUploadedBytes(), 64u);
    }
    ASSERT_TRUE(renderer->BeginFrame());
    EXPECT_EQ(renderer->GetUploadedBytes(), 0u);
}

TEST(AdapterInfo, RasterisersOnTheProcessorAreNoHardware)
{
    const std::pair<const char*, bool> names[] = {
        {"llvmpipe (LLVM 15.0.6, 256 bits)", true},
        {"Gallium 0.4 on softpipe", true},
        {"Google SwiftShader", true},
        {"software", true},
        {"AMD Radeon RX 580 (polaris10, LLVM 15.0.6, DRM 3.49)", false},
        {"NVIDIA GeForce GTX 1060/PCIe/SSE2", false},
        {"opengl", false},
    };
    for (const auto& [name, software] : names) {
        EXPECT_EQ(Platform::NamesSoftwareRasterizer(name), software) << name;
    }
    // The window-free renderer stands in for a hardware device; SDL's own
    // renderer on a window does not.
    EXPECT_TRUE(Renderer::CreateOffscreen(8, 8)->GetAdapterInfo().hardware);
    Platform::Window window;
    ASSERT_TRUE(window.Create("Adapter", 0, 0, 8, 8));
    EXPECT_FALSE(Renderer::CreateForWindow(window.NativeHandle(), false)->GetAdapterInfo().hardware);
}

// Without hardware under the window, software frames go to the window's own
// surface; the window-free renderer shows them through a texture. Both show
// the frame's pixels, every 16-bit value widened to its nearest 8-bit one,
// also when the frame is letterboxed; scaled (up or down, by rows and by
// columns) the window's surface shows what SDL's renderer shows, pixel for
// pixel. The window's surface is rewritten only where a frame changed the
// last one: a frame changing a few scattered pixels, at the edges too, still
// shows whole.
TEST(SoftwareFrames, LookTheSameOnTheWindowSurfaceAndThroughTheRenderer)
{
    constexpr int kSide = 256;
    struct Case
    {
        int width, height; // the frame's
        int left, placed;  // where it lands in the window, and how wide, all rows high
    };
    const Case cases[] = {{kSide, kSide, 0, kSide},
                          {kSide / 2, kSide, 64, 128},
                          {160, 192, 21, 213},
                          {320, 400, 26, 204},
                          {1, 3, 85, 85}};
    Platform::Window window;
    ASSERT_TRUE(window.Create("Frames", 0, 0, kSide, kSide));
    auto onWindow = Renderer::CreateForWindow(window.NativeHandle(), false);
    auto offscreen = Renderer::CreateOffscreen(kSide, kSide);
    ASSERT_TRUE(onWindow && offscreen);
    for (const PixelFormat& format : {PixelFormat::XRGB8888(), PixelFormat::RGB565(), PixelFormat::RGB555()}) {
        for (const Case& c : cases) {
            Surface frame(c.width, c.height, format);
            auto set = [&](int x, int y, uint32_t pixel) { SetRaw(frame, x, y, pixel); };
            FillWithEveryValue(frame);
            for (int shown = 0; shown < 2; ++shown) {
                if (shown == 1) {
                    // Corners, a pixel mid-frame and a short run near it.
                    const int midX = c.width / 2;
                    const int midY = c.height / 2;
                    for (auto [x, y] : {std::pair{0, 0}, {c.width - 1, c.height - 1}, {c.width - 1, 0}, {midX, midY}})
                        set(x, y, 0xFFFF);
                    for (int x = midX / 3; x < midX / 3 + 5 && x < c.width; ++x)
                        set(x, c.height - 1 - midY / 2, 0x1234);
                }
                ASSERT_TRUE(onWindow->PresentSurface(frame));
                ASSERT_TRUE(offscreen->PresentSurface(frame));
                Surface seen(kSide, kSide, PixelFormat::ARGB8888());
                Surface rendered(kSide, kSide, PixelFormat::ARGB8888());
                ASSERT_TRUE(onWindow->ReadOutput(seen));
                ASSERT_TRUE(offscreen->ReadOutput(rendered));
                const bool scaled = c.height != kSide;
                int wrong = 0;
                for (int y = 0; y < kSide; ++y) {
                    for (int x = 0; x < kSide; ++x) {
                        const bool inside = x >= c.left && x < c.left + c.placed;
                        const uint32_t want = !inside  ? 0
                                              : scaled ? rendered.GetPixel(x, y) & 0xFFFFFF
                                                       : frame.GetPixel(x - c.left, y) & 0xFFFFFF;
                        wrong += (seen.GetPixel(x, y) & 0xFFFFFF) != want;
                        wrong += (rendered.GetPixel(x, y) & 0xFFFFFF) != want;
                    }
                }
                EXPECT_EQ(wrong, 0) << format.bitsPerPixel << " bits, " << c.width << " x " << c.height
                                    << (shown ? ", changed" : "");
            }
        }
    }
}

// The window system's side of a window: the surface it gives (in a layout
// SDL's dummy driver does not offer, or none at all) and what it shows of
// it, which changes only where it is handed the surface. This suite is
// linked with SDL's window-surface calls and texture making wrapped; while
// no double is in use they reach SDL.
namespace {
struct WindowSurfaceDouble;
WindowSurfaceDouble* theWindowSurface = nullptr;
bool texturesRefused = false;
int texturesMade = 0;
int xLibraryLoads = 0; // by the display code, not SDL's own

struct WindowSurfaceDouble
{
    // SDL_PIXELFORMAT_UNKNOWN: the window system gives no surface.
    WindowSurfaceDouble(int side, Uint32 layout) : surface(Make(side, layout)), shown(Make(side, layout)) {}
    ~WindowSurfaceDouble()
    {
        if (theWindowSurface == this)
            theWindowSurface = nullptr;
        SDL_FreeSurface(surface);
        SDL_FreeSurface(shown);
    }
    WindowSurfaceDouble(const WindowSurfaceDouble&) = delete;
    WindowSurfaceDouble& operator=(const WindowSurfaceDouble&) = delete;

    static SDL_Surface* Make(int side, Uint32 layout)
    {
        SDL_Surface* made = layout ? SDL_CreateRGBSurfaceWithFormat(0, side, side, 0, layout) : nullptr;
        if (made)
            SDL_SetSurfaceBlendMode(made, SDL_BLENDMODE_NONE);
        return made;
    }

    void Hand(SDL_Rect rect)
    {
        SDL_Rect to = rect;
        SDL_BlitSurface(surface, &rect, shown, &to);
    }

    SDL_Surface* const surface;
    SDL_Surface* const shown; // what the window shows
    int wholeHandings = 0;
    std::vector<SDL_Rect> handed;
};
} // namespace

extern "C" {
SDL_Surface* __real_SDL_GetWindowSurface(SDL_Window* window);
int __real_SDL_UpdateWindowSurface(SDL_Window* window);
int __real_SDL_UpdateWindowSurfaceRects(SDL_Window* window, const SDL_Rect* rects, int count);
SDL_Texture* __real_SDL_CreateTexture(SDL_Renderer* renderer, Uint32 format, int access, int w, int h);
void* __real_SDL_LoadObject(const char* name);

SDL_Surface* __wrap_SDL_GetWindowSurface(SDL_Window* window)
{
    if (!theWindowSurface)
        return __real_SDL_GetWindowSurface(window);
    if (!theWindowSurface->surface)
        SDL_SetError("Unknown window pixel format");
    return theWindowSurface->surface;
}

int __wrap_SDL_UpdateWindowSurface(SDL_Window* window)
{
    if (!theWindowSurface)
        return __real_SDL_UpdateWindowSurface(window);
    ++theWindowSurface->wholeHandings;
    theWindowSurface->Hand({0, 0, theWindowSurface->surface->w, theWindowSurface->surface->h});
    return 0;
}

int __wrap_SDL_UpdateWindowSurfaceRects(SDL_Window* window, const SDL_Rect* rects, int count)
{
    if (!theWindowSurface)
        return __real_SDL_UpdateWindowSurfaceRects(window, rects, count);
    theWindowSurface->handed.insert(theWindowSurface->handed.end(), rects, rects + count);
    for (int i = 0; i < count; ++i)
        theWindowSurface->Hand(rects[i]);
    return 0;
}

SDL_Texture* __wrap_SDL_CreateTexture(SDL_Renderer* renderer, Uint32 format, int access, int w, int h)
{
    ++texturesMade;
    if (texturesRefused) {
        SDL_SetError("Out of video memory");
        return nullptr;
    }
    return __real_SDL_CreateTexture(renderer, format, access, w, h);
}

void* __wrap_SDL_LoadObject(const char* name)
{
    xLibraryLoads += std::strcmp(name, "libX11.so.6") == 0;
    return __real_SDL_LoadObject(name);
}
}

// On a window of every layout, a frame that changes one row hands the
// window system only that row's band, and the window shows what SDL's
// renderer shows, narrowed to the layout as SDL converts it, bars and all,
// frames of the window's size and scaled ones alike.
TEST(SoftwareFrames, OnEveryWindowLayoutOnlyTheChangedRowsAreHandedOnAndTheWindowShowsTheFrame)
{
    constexpr int kSide = 256;
    constexpr int kRow = 100;
    constexpr int kFirst = 40;
    constexpr int kEnd = 50;
    struct Case
    {
        int width, height; // the frame's
        int left, placed;  // where it lands in the window, and how wide, all rows high
    };
    const Case cases[] = {{kSide, kSide, 0, kSide}, {160, 192, 21, 213}};
    Platform::Window window;
    ASSERT_TRUE(window.Create("Frames", 0, 0, kSide, kSide));
    auto onWindow = Renderer::CreateForWindow(window.NativeHandle(), false);
    auto offscreen = Renderer::CreateOffscreen(kSide, kSide);
    ASSERT_TRUE(onWindow && offscreen);
    // All alive to the end: a new one in a freed one's memory would pass for
    // a window still holding the last frame.
    WindowSurfaceDouble windows[] = {{kSide, SDL_PIXELFORMAT_RGB565}, {kSide, SDL_PIXELFORMAT_RGB555},
                                     {kSide, SDL_PIXELFORMAT_RGB888}, {kSide, SDL_PIXELFORMAT_ARGB8888},
                                     {kSide, SDL_PIXELFORMAT_BGR888}, {kSide, SDL_PIXELFORMAT_RGB24}};
    for (WindowSurfaceDouble& shown : windows) {
        ASSERT_NE(shown.surface, nullptr);
        theWindowSurface = &shown;
        const SDL_PixelFormat& bits = *shown.surface->format;
        const Uint32 layout = bits.format;
        // Alpha too: to a compositing window manager it is the window's.
        const uint32_t colours = bits.Rmask | bits.Gmask | bits.Bmask | bits.Amask;
        // The pixels the window shows that differ from the frame as SDL's renderer shows it.
        auto wrongPixels = [&](const Surface& frame) {
            EXPECT_TRUE(offscreen->PresentSurface(frame));
            Surface rendered(kSide, kSide, PixelFormat::ARGB8888());
            EXPECT_TRUE(offscreen->ReadOutput(rendered));
            std::vector<uint8_t> want(static_cast<size_t>(kSide) * shown.shown->pitch);
            EXPECT_EQ(SDL_ConvertPixels(kSide, kSide, SDL_PIXELFORMAT_RGB888, rendered.GetPixels(),
                                        rendered.GetPitch(), layout, want.data(), shown.shown->pitch),
                      0);
            int wrong = 0;
            for (size_t at = 0; at < want.size(); at += bits.BytesPerPixel) {
                uint32_t seen = 0;
                uint32_t wanted = 0;
                std::memcpy(&seen, static_cast<uint8_t*>(shown.shown->pixels) + at, bits.BytesPerPixel);
                std::memcpy(&wanted, want.data() + at, bits.BytesPerPixel);
                wrong += (seen & colours) != (wanted & colours);
            }
            return wrong;
        };
        for (const PixelFormat& format : {PixelFormat::XRGB8888(), PixelFormat::RGB565()}) {
            for (const Case& c : cases) {
                const std::string name = std::string(SDL_GetPixelFormatName(layout)) + " window, " +
                                         std::to_string(format.bitsPerPixel) + "-bit frame of " +
                                         std::to_string(c.width) + " x " + std::to_string(c.height);
                Surface frame(c.width, c.height, format);
                FillWithEveryValue(frame);
                ASSERT_TRUE(onWindow->PresentSurface(frame)) << name;
                EXPECT_EQ(wrongPixels(frame), 0) << name;
                for (int x = kFirst; x < kEnd; ++x)
                    SetRaw(frame, x, kRow, 0x1234);
                shown.wholeHandings = 0;
                shown.handed.clear();
                ASSERT_TRUE(onWindow->PresentSurface(frame)) << name;
                EXPECT_EQ(shown.wholeHandings, 0) << name;
                ASSERT_EQ(shown.handed.size(), 1u) << name;
                const SDL_Rect band = shown.handed[0];
                const SDL_Point changed{c.left + (kFirst + kEnd) / 2 * c.placed / c.width,
                                        kRow * kSide / c.height};
                EXPECT_TRUE(SDL_PointInRect(&changed, &band)) << name;
                EXPECT_LE(band.h, (kSide + c.height - 1) / c.height + 1) << name;
                EXPECT_LE(band.w, (kEnd - kFirst) * c.placed / c.width + 2) << name;
                EXPECT_EQ(wrongPixels(frame), 0) << name << ", changed";
            }
        }
    }
}

// A window the window system gives no surface (on a desktop that offers no
// layout SDL can name) shows the frames through the renderer, and one line
// says so; where that fails too, one more says why, however many frames go
// unseen.
TEST(SoftwareFrames, WithoutAWindowSurfaceTheRendererShowsThemOrOneLineSaysWhy)
{
    constexpr int kWidth = 64;
    constexpr int kHeight = 48;
    Platform::Window window;
    ASSERT_TRUE(window.Create("Frames", 0, 0, kWidth, kHeight));
    auto onWindow = Renderer::CreateForWindow(window.NativeHandle(), false);
    ASSERT_TRUE(onWindow);
    WindowSurfaceDouble none(kWidth, SDL_PIXELFORMAT_UNKNOWN);
    theWindowSurface = &none;
    Surface frame(kWidth, kHeight, PixelFormat::RGB565());
    FillWithEveryValue(frame);
    CaughtStderr caught;
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(onWindow->PresentSurface(frame));
    Surface seen(kWidth, kHeight, PixelFormat::ARGB8888());
    ASSERT_TRUE(onWindow->ReadOutput(seen));
    int wrong = 0;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x)
            wrong += (seen.GetPixel(x, y) & 0xFFFFFF) != (frame.GetPixel(x, y) & 0xFFFFFF);
    }
    EXPECT_EQ(wrong, 0);

    // A frame of another size needs a texture of its own.
    texturesRefused = true;
    const Surface other(kWidth / 2, kHeight / 2, PixelFormat::XRGB8888());
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(onWindow->PresentSurface(other));
    const std::string said = caught.Text();
    texturesRefused = false;
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 2) << said;
    const size_t warned = said.find("WARNING: the game's window has no surface (Unknown window pixel format)");
    EXPECT_LT(warned, said.find('\n')) << said;
    EXPECT_NE(said.find("Out of video memory", warned), std::string::npos) << said;
}

// On a deep-colour desktop (an X server at depth 30, whose own layout SDL
// cannot name) the window takes a visual SDL can name: software frames go
// to its surface as on a 24-bit desktop, with no texture of a renderer
// running a 3D pipeline on the processor, and show there as they are,
// opaque. The server is asked of its screen once, however often the desktop
// is looked at. Desktops after it keep SDL's own choice of layout.
TEST(SoftwareFrames, OnADeepColourDesktopTheWindowHasASurfaceOfItsOwn)
{
    const struct
    {
        int depth;
        Uint32 layout; // of the window's surface
        int asked;     // how often the display code loads the X library
    } desktops[] = {{30, SDL_PIXELFORMAT_ARGB8888, 1}, {24, SDL_PIXELFORMAT_RGB888, 0}, {16, SDL_PIXELFORMAT_RGB565, 0}};
    ScopedVariable driver("SDL_VIDEODRIVER", "x11");
    // SDL's own renderer on the window: a software OpenGL leaks as it is
    // unloaded, and the window's surface is what is looked at.
    ScopedVariable renderer("SDL_RENDER_DRIVER", "software");
    ScopedVariable transfer("SDL_FRAMEBUFFER_ACCELERATION", nullptr);
    for (const auto& desktop : desktops) {
        // Each window as the first of a fresh process: nothing asked of its
        // surface yet, whatever earlier windows' renderers asked.
        SDL_ResetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION);
        XServer server(desktop.depth);
        ASSERT_TRUE(server.Running()) << server.error;
        ScopedVariable display("DISPLAY", server.display.c_str());
        xLibraryLoads = 0;
        Platform::Window window;
        ASSERT_TRUE(window.Create("Deep", 0, 0, 64, 48)) << Platform::Window::LastError();
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(Platform::GetDesktopMode().bitsPerPixel, desktop.depth == 16 ? 16 : 32) << desktop.depth;
        auto onWindow = Renderer::CreateForWindow(window.NativeHandle(), false);
        ASSERT_TRUE(onWindow);
        ASSERT_FALSE(onWindow->GetAdapterInfo().hardware) << onWindow->GetAdapterInfo().renderer;
        texturesMade = 0;
        CaughtStderr caught;
        Surface frame(64, 48, PixelFormat::RGB565());
        FillWithEveryValue(frame);
        ASSERT_TRUE(onWindow->PresentSurface(frame)) << desktop.depth;
        const SDL_Surface* shown = SDL_GetWindowSurface(reinterpret_cast<SDL_Window*>(window.NativeHandle()));
        ASSERT_NE(shown, nullptr) << desktop.depth << " bits: " << SDL_GetError();
        EXPECT_EQ(shown->format->format, desktop.layout) << desktop.depth;
        EXPECT_EQ(texturesMade, 0) << desktop.depth;
        EXPECT_EQ(caught.Text(), "") << desktop.depth;
        // A 16-bit window's pixels read back as SDL widens them, a level or
        // two off ours.
        const int levels = desktop.depth == 16 ? 2 : 0;
        auto off = [levels](uint32_t got, uint32_t want) {
            bool differs = got >> 24 != want >> 24;
            for (int shift = 0; shift < 24; shift += 8)
                differs = differs || std::abs(int((got >> shift) & 0xFF) - int((want >> shift) & 0xFF)) > levels;
            return differs;
        };
        Surface seen(64, 48, PixelFormat::ARGB8888());
        ASSERT_TRUE(onWindow->ReadOutput(seen));
        int wrong = 0;
        for (int y = 0; y < 48; ++y) {
            for (int x = 0; x < 64; ++x)
                wrong += off(seen.GetPixel(x, y), frame.GetPixel(x, y));
        }
        EXPECT_EQ(wrong, 0) << desktop.depth;

        EXPECT_EQ(xLibraryLoads, desktop.asked) << desktop.depth;
    }
}
