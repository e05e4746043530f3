#pragma once

#include "app/Color.h"
#include "app/List.h"
#include "app/Matrix.h"
#include "app/Point.h"
#include "app/Rect.h"
#include "app/String.h"
#include "app/compatibility/SWHelper.h"
#include "platform/Display.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

class GraphicDevice;
class Registry;
class Shader;
class Texture;
class TextureSplatter;
class VertexBuffer2D;

// The two vertex layouts of all drawing.
struct ColoredVertex
{
    float x;
    float y;
    float z;
    uint32_t color; // 0xAARRGGBB
    float u;
    float v;
};

struct TexturedVertex
{
    float x;
    float y;
    float z;
    float u;
    float v;
};

static_assert(sizeof(ColoredVertex) == 24);
static_assert(sizeof(TexturedVertex) == 20);

// Flexible vertex format codes: position, diffuse colour, one texture pair.
constexpr uint32_t kFVFColored = 0x142;
constexpr uint32_t kFVFTextured = 0x102;

// Result codes of the device calls, named by DXErrorName.
namespace DXResult {
constexpr int32_t OK = 0;
constexpr int32_t NotImplemented = static_cast<int32_t>(0x80004001);
constexpr int32_t NoInterface = static_cast<int32_t>(0x80004002);
constexpr int32_t Generic = static_cast<int32_t>(0x80004005);
constexpr int32_t OutOfMemory = static_cast<int32_t>(0x8007000E);
constexpr int32_t InvalidParams = static_cast<int32_t>(0x80070057);
constexpr int32_t SurfaceLost = static_cast<int32_t>(0x887601C2);
constexpr int32_t UnsupportedMode = static_cast<int32_t>(0x8876024E);
} // namespace DXResult

String DXErrorName(int32_t code);

// The growable vertex array of the polygon clipper: 100 vertices inline, so
// quads and glyph strips never touch the heap.
template <typename V> class VertexArray
{
  public:
    VertexArray() = default;
    VertexArray(const VertexArray&) = delete;
    VertexArray& operator=(const VertexArray&) = delete;
    ~VertexArray()
    {
        if (data != inline_) {
            delete[] data;
        }
    }

    void Append(const V& vertex)
    {
        if (count == capacity) {
            Reserve(2 * capacity);
        }
        data[count++] = vertex;
    }
    void Reserve(int n)
    {
        if (capacity >= n) {
            return;
        }
        V* block = new V[n];
        for (int i = 0; i < count; ++i) {
            block[i] = data[i];
        }
        if (data != inline_) {
            delete[] data;
        }
        data = block;
        capacity = n;
    }
    void Clear() { count = 0; }

    V* data = inline_;
    int count = 0;
    int capacity = kInline;

  private:
    static constexpr int kInline = 100;
    V inline_[kInline];
};

// The one rendering device of the program: display modes and surfaces, the
// frame, device loss, textures, the drawing state with its stacks, and the
// drawing primitives, through either the hardware renderer or the software
// renderer (mSWHelper). Static lifetime: it outlives application restarts.
class Graphics
{
  public:
    Graphics();
    virtual ~Graphics();
    Graphics(const Graphics&) = delete;
    Graphics& operator=(const Graphics&) = delete;

    virtual void ResetState();
    virtual void Shutdown();
    virtual void SetColorPreset(int index);
    virtual void PushFiltering();
    virtual void PopFiltering();

    // --- start-up, modes and settings ---
    // The window handle of platform/Window; null draws into memory only.
    bool Startup(Platform::NativeWindow* window);
    void SetRequestedMode(int width, int height, bool fullscreen, int colorDepth);
    void SetPendingMode(bool software, int width, int height);
    void SetLogicalResolution(int width, int height);
    bool IsModeSupported(int width, int height);
    bool CheckDesktopForWindow();
    void FitWindowToDesktop();
    bool CanUseCursorThread();
    // The custom cursor: hidden, the application's own cursors show.
    void SetCustomCursorHidden(bool hidden);
    void SetCustomCursorShape(int index);
    void SaveSettings();
    void ApplyHardwareTestResults();
    void ReadDeviceList();
    void ForceSafeModeNextRun();

    // --- surfaces, scene, present and device loss ---
    void CreateSurfaces();
    void BeginScene();
    void EndScene();
    void Present(int unused = 0);
    void SetFullscreen(bool fullscreen);
    void SwitchMode(int width, int height, bool fullscreen);
    void SuspendDevices();
    void SetActive(bool active);
    void InvalidateDevices();
    void RecoverDevices();
    void RebuildDevice();
    bool IsLost() const { return mRecoverPending || mInvalidated; }
    // Surfaces in the display format; the caller owns them.
    Platform::Surface* CreateSurface(int width, int height, Platform::SurfaceDesc* out = nullptr);
    Platform::Surface* CreateOffscreenSurface(int width, int height, Platform::SurfaceDesc* out = nullptr);
    // A 24-bit BMP of the surface, or of the frame being shown when none.
    bool SaveBMP(const char* file, Platform::Surface* surface = nullptr);
    int GetUsedVideoMemory();
    void ResetDeviceStates();

    // --- device release, window style and device queries ---
    void ReleaseDeviceObjects();
    void ApplyWindowStyle();
    int GetTotalVideoMemory();
    void GetTextureSize(Point& out, int width, int height);

    // --- device resources and textures ---
    Platform::Surface* CreateTexture(int width, int height, Platform::SurfaceDesc* out = nullptr);
    Platform::Surface* AddToActiveAtlas(int width, int height, Rect* uv, Platform::SurfaceDesc* out);
    // A texture about to lose its surface is bound nowhere any more.
    void ForgetTexture(const Texture* texture);

    // --- render state ---
    void SetColor(const Color& color);
    void SetColor(float r, float g, float b, float a) { SetColorRGBA(r, g, b, a); }
    void SetColorRGBA(float r, float g, float b, float a);
    void SetColorWhite();
    void SetWhiteAlpha(float a);
    void SetColorMultiplier(float r, float g, float b, float a);
    void ClearColorMultiplier();
    static uint32_t PackColor(const Color& color);
    void PushColor();
    void PopColor();
    void PushTranslation();
    void PopTranslation();
    void ResetClip();
    void SetClipRect(float x, float y, float w, float h);
    void SetClipToRect(Rect rect);
    void PushClip();
    void PopClip();
    void SetFiltering(bool linear);
    void SetAdditive(bool additive);
    void SetAlphaBlending(bool on);
    void SetTextureAddressMode(int mode);
    void SetCullNone();
    void SetDepthTest(bool on);
    void SetSpriteMode();
    void SetColorFill(bool on);
    void ApplyShader(const Shader& shader);
    void SetZoom(float scale) { SetZoom(scale, scale); }
    void SetZoom(float x, float y);
    void SetWorldTransform(const Matrix& matrix);
    void SetViewTransform(const Matrix& matrix);
    void SetProjectionTransform(const Matrix& matrix);
    void RebuildViewProjection();
    bool NeedsFiltering(const Matrix* matrix);
    void SetAtlasLoading(bool loading);

    // --- drawing ---
    void FillRect(float x, float y, float w, float h);
    void FillRectFromRect(const Rect& rect);
    void DrawColoredStrip(const ColoredVertex* vertices, int count);
    void DrawVertexBuffer(VertexBuffer2D* buffer, int count, int start);
    void BlitTextureSoftware(Texture* texture, int x, int y);
    void DrawDebugText(const String& text, int x, int y);
    uint8_t* LockSurface(Platform::Surface* surface, bool wait, int* pitch = nullptr);
    void UnlockSurface(Platform::Surface* surface);

    // --- polygon clipping (hardware path) ---
    void DrawColoredStripClipped(const Matrix& world, const Rect& clip, const ColoredVertex* v, int count);
    void DrawTexturedStripClipped(const Matrix& world, const Rect& clip, const TexturedVertex* v, int count);
    void DrawTexturedListClipped(const Matrix& world, const Rect& clip, const TexturedVertex* v, int count);
    void ClipAndDrawFan(const VertexArray<ColoredVertex>& polygon, const Rect& clip);
    void ClipAndDrawFan(const VertexArray<TexturedVertex>& polygon, const Rect& clip);
    template <typename V>
    static void ClipPolygonMin(int component, float bound, const VertexArray<V>& source,
                               VertexArray<V>& destination);
    template <typename V>
    static void ClipPolygonMax(int component, float bound, const VertexArray<V>& source,
                               VertexArray<V>& destination);
    // The four passes of the clip-and-draw step, without the drawing.
    template <typename V>
    static void ClipPolygonToRect(const VertexArray<V>& polygon, const Rect& clip, VertexArray<V>& out);
    static ColoredVertex LerpColoredVertex(const ColoredVertex& a, const ColoredVertex& b, float t);
    static TexturedVertex LerpTexturedVertex(const TexturedVertex& a, const TexturedVertex& b, float t);
    template <typename V> static void SwapVertices(V& a, V& b);
    // Logical vertices to the hardware device, after clipping.
    void DrawDeviceStrip(const ColoredVertex* v, int count);
    void DrawDeviceStrip(const TexturedVertex* v, int count);
    void DrawDeviceList(const TexturedVertex* v, int count);
    void DrawDeviceFan(const ColoredVertex* v, int count);
    void DrawDeviceFan(const TexturedVertex* v, int count);

    // The display's pixel format for the current mode.
    Platform::PixelFormat GetDisplayFormat() const;
    // The file bytes of a 24-bit BMP of the surface.
    static std::vector<uint8_t> EncodeBMP(const Platform::Surface& surface);
    static bool IsDepthAllowed(int depth);
    // Why a desktop of another depth takes no window.
    static constexpr const char* kDepthReason =
        "Your desktop color depth must be set to 16 bit or 32 bit color";
    void DisplayModeCallback(int width, int height);

    // --- device fields ---
    Platform::NativeWindow* mWindow = nullptr;
    int mWindowX = 0; // windowed position, kept at start-up
    int mWindowY = 0;
    // The window's renderer ("primary surface"); the hardware device is the
    // same renderer once its back buffer exists.
    std::unique_ptr<Platform::Renderer> mDisplay;
    Platform::Renderer* mDevice = nullptr;
    // The frame the software renderer presents into; null with the hardware one.
    std::unique_ptr<Platform::Surface> mBackBuffer;
    Platform::SurfaceDesc mPrimaryDesc;
    Platform::DisplayMode mDesktopDesc;
    bool mStarted = false;
    bool mShutDown = false;
    bool mSettingsLoaded = false;
    int mWidth = 800;
    int mHeight = 600;
    int mColorDepth = 16;
    bool mFullscreen = false;
    bool mWindowNotAllowed = false;
    String mWindowNotAllowedReason;
    int mRequestedWidth = 800;
    int mRequestedHeight = 600;
    bool mRequestedFullscreen = false;
    int mRequestedColorDepth = 16;
    int mLogicalWidth = 0;
    int mLogicalHeight = 0;
    float mScaleX = 1.0f;
    float mScaleY = 1.0f;
    float mScale640 = 1.0f;
    float mScale480 = 1.0f;
    int mModeSwitching = 0;
    bool mForceModeSwitch = false;
    bool mKeepWindow = false;
    bool mModeGrew = false;
    bool mSoftware = false;
    bool mSafeModeRecommended = true;
    bool mSafeModeRequired = true;
    bool mPendingMode = false;
    bool mPendingSoftware = false;
    float mPendingWidth = 0.0f;
    float mPendingHeight = 0.0f;
    int mDesktopWidth = 0;
    int mDesktopHeight = 0;
    int mDesktopDepth = 0;
    int mWindowFrameHeight = 0;
    List mDisplayModes; // heap Point values
    List mDevices;      // GraphicDevice, not owned
    float mMinTextureWidth = 1.0f;
    float mMinTextureHeight = 1.0f;
    float mMaxTextureWidth = 256.0f;
    float mMaxTextureHeight = 256.0f;
    float mMaxTextureAspect = 1.0f;
    bool mHasAlphaTextureFormat = false;
    bool mUseAtlas = false;
    bool mVSync = false;
    bool mUseCustomCursors = false;
    bool mConfirmHardware = false;
    int mMinVideoMemory = 6;
    int mLowVideoMemory = 14;
    int mRefreshRate = 60;
    int mRefreshMs = 16;
    bool mRecoverPending = false;
    bool mInvalidated = false;
    bool mPresenting = false;
    int mFramesPresented = 0;
    VertexBuffer2D* mColorStrip = nullptr;
    VertexBuffer2D* mTexturedStrip = nullptr;

    // --- drawing fields ---
    int mSpriteModeCache = 0;
    int mCullCache = 0;
    int mDepthCache = 0;
    int mAlphaBlendCache = 0;
    int mAddressCache = 0;
    int mBlendMode = 0; // 1 additive, 2 normal, 0 not yet set
    struct LastShader
    {
        float colors[16] = {};
        float power = 0.0f;
        bool translucent = false;
        Texture* texture = nullptr;
    } mLastShader;
    struct Material
    {
        Color diffuse;
        Color ambient;
        Color specular;
        Color emissive;
        float power = 0.0f;
    } mMaterial;
    Color mColor;
    Color mRequestedColor;
    List mColorStack;
    bool mMultiplierOn = false;
    Color mMultiplier;
    Rect mClip;
    Point mTranslation;
    List mTranslationStack;
    List mClipStack;
    Matrix mWorld;
    Matrix mView;
    Matrix mProjection;
    int mFilterCache = 0;
    List mFilterStack;
    bool mZoomOn = false;
    float mZoomX = 1.0f;
    float mZoomY = 1.0f;
    Compatibility::SWHelper mSWHelper;
    // The atlas new textures go to; set by the loader thread, read by both.
    std::atomic<TextureSplatter*> mActiveAtlas{nullptr};
    bool mSavedUseAtlas = false;
    int mAtlasDepth = 0;
    int mTextureSwitches = 0;
    Texture* mBoundTexture = nullptr;
    const Platform::Surface* mBoundSurface = nullptr;
    bool mColorFill = false;
    // Vertices keep their own colours while set (untextured fills); else
    // the material colours them.
    bool mLighting = true;
    Rect mViewport{0, 0, 640, 480};

  private:
    // Start-up steps.
    void ChooseRenderer();
    void ReadDesktop();
    void WriteMissingSettings(Registry& config);
    void ApplyCard(const String& content);
    void StepWindowDown();
    void FreeStateStacks();
    void FreeDisplayModes();
    // Ends the program after a device failure it cannot go on from.
    [[noreturn]] void FatalDeviceError(const char* text);

    // Surface steps.
    void MakeOutput();
    void RemakeForMode();
    bool CreateHardwareDevice();
    void CreateSoftwareSurfaces();
    void CopyPrimaryDescToSoftwareRenderer();
    void SetDeviceLimits();
    void CreateScratchBuffers();
    void SetRefreshRate(int hertz);
    static Platform::Surface* NewSurface(int width, int height, const Platform::PixelFormat& format);
    Platform::Surface* AllocateTexture(int width, int height, int32_t& result);

    // Drawing steps.
    uint32_t DeviceColor(uint32_t vertexColor, bool hasVertexColor) const;
    void PrepareDeviceDraw();
    template <typename V> const Platform::RenderVertex* ToDevice(const V* vertices, int count);
};

extern Graphics theGraphics;
