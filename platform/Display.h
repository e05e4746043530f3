#pragma once

#include "platform/NativeWindow.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The display: memory surfaces, display modes, and the renderer that shows
// frames in the game's window. Everything here stands in for the drawing
// surfaces and 3D device the game was written against.
namespace Platform {

struct PixelFormat
{
    int bitsPerPixel = 0;
    uint32_t redMask = 0;
    uint32_t greenMask = 0;
    uint32_t blueMask = 0;
    uint32_t alphaMask = 0;

    bool operator==(const PixelFormat&) const = default;
    int BytesPerPixel() const { return bitsPerPixel / 8; }

    static PixelFormat ARGB8888() { return {32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000}; }
    static PixelFormat XRGB8888() { return {32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0}; }
    static PixelFormat RGB565() { return {16, 0xF800, 0x07E0, 0x001F, 0}; }
    static PixelFormat RGB555() { return {16, 0x7C00, 0x03E0, 0x001F, 0}; }
};

// 0xAARRGGBB to a pixel of the format and back. Channels are scaled to the
// width of their masks; a format without an alpha mask reads back opaque.
uint32_t EncodePixel(const PixelFormat& format, uint32_t argb);
uint32_t DecodePixel(const PixelFormat& format, uint32_t pixel);

struct SurfaceDesc
{
    int width = 0;
    int height = 0;
    int pitch = 0; // bytes per row
    PixelFormat format;
};

// A block of pixels in memory. Lock hands out the pixels; Unlock marks them
// changed, so a renderer holding a copy knows to upload them again before it
// next draws the surface. Surfaces may be made, filled and destroyed on any
// thread; only a Renderer touches the video driver, on the main thread.
class Surface
{
  public:
    Surface(int width, int height, const PixelFormat& format);
    ~Surface();
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    const SurfaceDesc& GetDesc() const { return mDesc; }
    int GetWidth() const { return mDesc.width; }
    int GetHeight() const { return mDesc.height; }
    int GetPitch() const { return mDesc.pitch; }
    const PixelFormat& GetFormat() const { return mDesc.format; }

    // Null for an empty surface. Locks nest; the pitch is written when asked.
    uint8_t* Lock(int* pitch = nullptr);
    void Unlock();
    bool IsLocked() const { return mLocks > 0; }

    // Direct access for readers that do not change the pixels.
    const uint8_t* GetPixels() const { return mPixels.get(); }
    uint8_t* GetPixels() { return mPixels.get(); }
    uint8_t* GetRow(int y) { return mPixels.get() + static_cast<size_t>(y) * mDesc.pitch; }
    const uint8_t* GetRow(int y) const { return mPixels.get() + static_cast<size_t>(y) * mDesc.pitch; }

    // Process-unique, never reused; renderers key their uploaded copies on it.
    uint32_t GetId() const { return mId; }
    uint32_t GetVersion() const { return mVersion.load(); }
    void MarkChanged() { mVersion.fetch_add(1); }

    // Writes the raw pixel value into the rectangle, clipped to the surface.
    void FillRect(int x, int y, int width, int height, uint32_t pixel);
    // Whole source onto the whole surface: sizes may differ (nearest pixel)
    // and formats are converted.
    void CopyFrom(const Surface& source);
    // 0xAARRGGBB of one pixel; 0 outside the surface.
    uint32_t GetPixel(int x, int y) const;
    void SetPixel(int x, int y, uint32_t argb);

  private:
    struct FreePixels
    {
        size_t bytes; // of a mapped block; 0 for one from calloc
        void operator()(uint8_t* pixels) const;
    };

    SurfaceDesc mDesc;
    // Never cleared by hand: memory fresh from the system is clear, and its
    // pages are only paid for when first touched. Clearing atlas pages cost
    // the loader most of its time.
    std::unique_ptr<uint8_t[], FreePixels> mPixels;
    int mLocks = 0;
    uint32_t mId;
    std::atomic<uint32_t> mVersion{1};
    // Set once a renderer holds a copy; the destructor then tells it to let go.
    std::atomic<bool> mUploaded{false};

    friend class Renderer;
};

struct DisplayMode
{
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;
    int refreshRate = 0; // Hz, 0 when unknown
};

// The desktop's mode; a plain 1024x768, 32 bits, 60 Hz without a display.
DisplayMode GetDesktopMode();
// The display's modes and the game's own sizes that fit the desktop, each
// size once, largest first.
std::vector<DisplayMode> GetDisplayModes();

// Full screen covers the desktop and scales the frame (no real mode
// switch); a window gets a client area of the given size at (x, y).
void SetWindowFullscreen(NativeWindow* window, bool fullscreen);
void SetWindowClientSize(NativeWindow* window, int x, int y, int width, int height);
void GetWindowPosition(NativeWindow* window, int* x, int* y);
// The height the window's frame adds to its client area: the caption and the
// borders above and below; 0 without a frame.
int GetWindowFrameHeight(NativeWindow* window);

enum class BlendMode {
    None,
    Normal,   // source alpha, inverse source alpha
    Additive, // source alpha, one
};

// One corner as the renderer draws it: position in back-buffer pixels, the
// centre of pixel (i, j) at (i, j); colour 0xAARRGGBB; texture coordinates
// in 0..1 (clamped).
struct RenderVertex
{
    float x;
    float y;
    uint32_t color;
    float u;
    float v;
};

struct AdapterInfo
{
    std::string name;        // the driver's name ("software", "opengl" ...)
    std::string vendor;      // GL_VENDOR where known
    std::string renderer;    // GL_RENDERER where known
    std::string version;     // GL_VERSION, or the library version
    uint8_t cardId[16] = {}; // hash of the four texts above
    int maxTextureWidth = 0;
    int maxTextureHeight = 0;
    int videoMemoryMB = 0;
    // The renderer draws with graphics hardware: the driver calls it
    // accelerated and neither its name nor its OpenGL renderer names a
    // rasteriser running on the processor. The window-free renderer stands
    // in for such a device, so that tests run the hardware path on it.
    bool hardware = false;
};

// Whether a driver or OpenGL renderer name is that of a rasteriser running
// on the processor (SDL's own, or a software OpenGL).
bool NamesSoftwareRasterizer(const std::string& text);

// The window's renderer. The hardware path draws into a back buffer of the
// screen size and presents it scaled to the window; the software path
// presents a memory surface drawn by the CPU. Main thread only.
class Renderer
{
  public:
    // Null when the window cannot have a renderer.
    static std::unique_ptr<Renderer> CreateForWindow(NativeWindow* window, bool vsync);
    // A renderer without a window, drawing into memory (tests, self-tests).
    static std::unique_ptr<Renderer> CreateOffscreen(int width, int height);
    ~Renderer();
    Renderer(const Renderer&) = delete;
    Renderer& operator=(const Renderer&) = delete;

    AdapterInfo GetAdapterInfo() const;
    // What the uploaded copies of surfaces occupy.
    uint64_t GetUploadedBytes() const;
    bool SetVSync(bool on);

    // Hardware path.
    bool CreateBackBuffer(int width, int height);
    void ReleaseBackBuffer();
    // Selects the back buffer as the target; false when it was lost.
    bool BeginFrame();
    void Clear(uint32_t argb);
    void SetBlendMode(BlendMode mode);
    void SetLinearFiltering(bool linear);
    // Null draws untextured. Colour fill keeps the texture's alpha and takes
    // the colour from the vertices.
    void SetTexture(const Surface* texture, bool colorFill);
    void DrawTriangleList(const RenderVertex* vertices, int count);
    void DrawTriangleStrip(const RenderVertex* vertices, int count);
    void DrawTriangleFan(const RenderVertex* vertices, int count);
    // The whole surface at (x, y) of the back buffer, pixel for pixel, unblended.
    void Blit(const Surface& surface, int x, int y);
    bool PresentBackBuffer();
    // The back buffer's pixels into a surface of its size (32 or 16 bits).
    bool ReadBackBuffer(Surface& out);

    // Software path: frame in XRGB8888, RGB565 or RGB555.
    bool PresentSurface(const Surface& frame);

    // The whole output (window or memory), as last presented.
    bool ReadOutput(Surface& out);
    int GetOutputWidth() const;
    int GetOutputHeight() const;

    // True once after the driver reported that the back buffer or every
    // texture was lost; uploaded textures are then sent again on first use.
    bool TakeDeviceLost();

    struct Impl;

  private:
    friend class Surface;
    explicit Renderer(std::unique_ptr<Impl> impl);
    // Called by a dying surface on any thread; the copy goes on the main thread.
    static void ForgetSurface(uint32_t id);
    std::unique_ptr<Impl> mImpl;
};

} // namespace Platform
