#include "app/Graphics.h"

#include "app/App.h"
#include "app/AppLock.h"
#include "app/Console.h"
#include "app/GraphicDevice.h"
#include "app/Math.h"
#include "app/VertexBuffer2D.h"
#include "platform/Files.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

namespace {
constexpr int kScratchVertices = 25;

bool AppQuitting()
{
    return theApp && theApp->quit;
}

bool AppActive()
{
    return !theApp || theApp->active;
}

void WriteLE16(std::vector<uint8_t>& out, uint16_t value)
{
    out.push_back(value & 0xFF);
    out.push_back(value >> 8);
}

void WriteLE32(std::vector<uint8_t>& out, uint32_t value)
{
    for (int i = 0; i < 4; ++i) {
        out.push_back((value >> (8 * i)) & 0xFF);
    }
}

template <typename Call> void ForEachDevice(List& devices, Call call)
{
    for (GraphicDevice* device : LIST_LOOP(GraphicDevice, devices)) {
        call(device);
    }
}
} // namespace

Platform::PixelFormat Graphics::GetDisplayFormat() const
{
    if (mFullscreen && mColorDepth == 16) {
        return Platform::PixelFormat::RGB565();
    }
    // 15 bits is the other 16-bit layout some cards gave in full screen.
    if (mFullscreen && mColorDepth == 15) {
        return Platform::PixelFormat::RGB555();
    }
    return Platform::PixelFormat::XRGB8888();
}

void Graphics::CreateSurfaces()
{
    if (AppQuitting()) {
        return;
    }
    mStarted = false;
    ReleaseDeviceObjects();
    if (mSoftware) {
        mWidth = 640;
        mHeight = 480;
    }
    FitWindowToDesktop();

    if (!mFullscreen && !IsDepthAllowed(Platform::GetDesktopMode().bitsPerPixel)) {
        mWindowNotAllowedReason = kDepthReason;
        mWindowNotAllowed = true;
        mFullscreen = true;
        CreateSurfaces();
        return;
    }
    Platform::SetWindowFullscreen(mWindow, mFullscreen);
    MakeOutput();
    mPrimaryDesc.width = mWidth;
    mPrimaryDesc.height = mHeight;
    mPrimaryDesc.format = GetDisplayFormat();
    mPrimaryDesc.pitch = (mWidth * mPrimaryDesc.format.BytesPerPixel() + 3) & ~3;

    if (!mSoftware && !CreateHardwareDevice()) {
        // The driver cannot draw for us: the software renderer takes over,
        // for this run and, through the settings, for later ones.
        mSoftware = true;
        mSafeModeRequired = true;
        mSafeModeRecommended = true;
        mWidth = 640;
        mHeight = 480;
        mPrimaryDesc.width = mWidth;
        mPrimaryDesc.height = mHeight;
        mPrimaryDesc.pitch = (mWidth * mPrimaryDesc.format.BytesPerPixel() + 3) & ~3;
        MakeOutput();
    }
    if (mSoftware) {
        CreateSoftwareSurfaces();
    } else {
        CopyPrimaryDescToSoftwareRenderer();
    }

    ApplyWindowStyle();
    SetDeviceLimits();
    mFramesPresented = 0;
    SetLogicalResolution(mLogicalWidth, mLogicalHeight);
    ResetDeviceStates();
    CreateScratchBuffers();
    SetRefreshRate(Platform::GetDesktopMode().refreshRate);
    mStarted = true;
}

bool Graphics::IsDepthAllowed(int depth)
{
    return depth == 16 || depth == 32;
}

// Without a window the frame goes to memory of the screen size.
void Graphics::MakeOutput()
{
    if (!mDisplay) {
        return;
    }
    if (!mWindow && (mDisplay->GetOutputWidth() != mWidth || mDisplay->GetOutputHeight() != mHeight)) {
        auto output = Platform::Renderer::CreateOffscreen(mWidth, mHeight);
        if (output) {
            mDisplay = std::move(output);
        }
    }
    mDisplay->SetVSync(mVSync && mFullscreen);
}

bool Graphics::CreateHardwareDevice()
{
    if (!mDisplay) {
        return false;
    }
    // One retry: a target can fail once while the driver settles.
    if (!mDisplay->CreateBackBuffer(mWidth, mHeight) && !mDisplay->CreateBackBuffer(mWidth, mHeight)) {
        theConsole->Printf("Error[mDirectDraw->CreateSurface(2)]: %s", DXErrorName(DXResult::Generic).CStr());
        return false;
    }
    mDevice = mDisplay.get();
    if (mDevice->BeginFrame()) {
        mDevice->Clear(0xFFFFFFFF);
    }
    return true;
}

void Graphics::CreateSoftwareSurfaces()
{
    mBackBuffer.reset(CreateSurface(mWidth, mHeight));
    if (!mBackBuffer) {
        theConsole->Printf("Error[mDirectDraw->CreateSurface(2)]: %s",
                           DXErrorName(DXResult::OutOfMemory).CStr());
        FatalDeviceError("Failed: mDirectDraw->CreateSurface().  A render surface could not be created.  The "
                         "program cannot continue.");
        return;
    }
    mSWHelper.CreateSurface();
}

void Graphics::CopyPrimaryDescToSoftwareRenderer()
{
    // The cursor's span copies read the display format from here.
    mSWHelper.SetSurfaceDesc(mPrimaryDesc);
}

void Graphics::SetDeviceLimits()
{
    if (mDevice) {
        const Platform::AdapterInfo info = mDevice->GetAdapterInfo();
        mMinTextureWidth = 1.0f;
        mMinTextureHeight = 1.0f;
        mMaxTextureWidth = static_cast<float>(info.maxTextureWidth);
        mMaxTextureHeight = static_cast<float>(info.maxTextureWidth);
        // The renderer takes textures of any proportions up to its limit.
        mMaxTextureAspect = static_cast<float>(info.maxTextureWidth);
        mHasAlphaTextureFormat = true;
    } else {
        mMinTextureWidth = 1.0f;
        mMinTextureHeight = 1.0f;
        mMaxTextureWidth = 32767.0f;
        mMaxTextureHeight = 32767.0f;
        mMaxTextureAspect = 2048.0f;
    }
    if (mMaxTextureAspect == 0.0f) {
        mMaxTextureAspect = mSoftware ? 65535.0f : 1.0f;
    }
    if (mMaxTextureWidth == 0.0f && mMaxTextureHeight == 0.0f) {
        mMinTextureWidth = 2.0f;
        mMinTextureHeight = 2.0f;
        mMaxTextureWidth = 256.0f;
        mMaxTextureHeight = 256.0f;
    }
    mMaxTextureWidth = std::max(mMaxTextureWidth, 256.0f);
    mMaxTextureHeight = std::max(mMaxTextureHeight, 256.0f);
}

void Graphics::CreateScratchBuffers()
{
    if (!mColorStrip) {
        mColorStrip = new VertexBuffer2D();
        mColorStrip->mVertexFormat = kFVFColored;
        mColorStrip->Create(kScratchVertices);
    }
    if (!mTexturedStrip) {
        mTexturedStrip = new VertexBuffer2D();
        mTexturedStrip->mVertexFormat = kFVFTextured;
        mTexturedStrip->Create(kScratchVertices);
    }
}

void Graphics::SetRefreshRate(int hertz)
{
    mRefreshRate = std::clamp(hertz, 60, 100);
    mRefreshMs = 1000 / mRefreshRate;
}

void Graphics::ResetDeviceStates()
{
    SetColorRGBA(1, 1, 1, 1);
    mMaterial = Material{};
    mSpriteModeCache = 0;
    mCullCache = 0;
    mDepthCache = 0;
    mAlphaBlendCache = 0;
    mAddressCache = 0;
    mBlendMode = 0;
    mFilterCache = 0;
    if (mDevice) {
        mDevice->SetBlendMode(Platform::BlendMode::None);
        mDevice->SetLinearFiltering(true);
        mViewport = Rect(0, 0, static_cast<float>(mWidth), static_cast<float>(mHeight));
    } else {
        mViewport = Rect(0, 0, 640, 480);
    }
    mWorld.Identity();
    mView.Identity();
    mProjection.Identity();
    RebuildViewProjection();
}

void Graphics::BeginScene()
{
    mTextureSwitches = 0;
    if (mRecoverPending) {
        RecoverDevices();
        if (mRecoverPending) {
            return;
        }
    }
    if (mDevice) {
        if (!mDevice->BeginFrame()) {
            mRecoverPending = true;
            return;
        }
        mDevice->SetTexture(nullptr, false);
        mDevice->SetLinearFiltering(true);
    } else if (mSoftware) {
        mSWHelper.Lock();
    }
    mFilterCache = 1;
    // The frame starts with no texture on either renderer: the next shader
    // must bind its own, even the one the last frame ended with.
    mBoundTexture = nullptr;
    mBoundSurface = nullptr;
    ResetClip();
}

void Graphics::EndScene()
{
    if (mRecoverPending || mInvalidated) {
        return;
    }
    if (mSoftware) {
        mSWHelper.ClearTexture();
        mSWHelper.Unlock();
    } else if (mDevice) {
        mDevice->SetTexture(nullptr, false);
    }
}

void Graphics::Present(int unused)
{
    (void)unused;
    if (mInvalidated) {
        RebuildDevice();
        if (mInvalidated) {
            return;
        }
    }
    if (mRecoverPending) {
        RecoverDevices();
        if (mRecoverPending) {
            return;
        }
    }
    if (!mDisplay) {
        return;
    }
    mPresenting = true;
    bool shown;
    if (mSoftware && mBackBuffer) {
        mSWHelper.Present();
        const int w = mBackBuffer->GetWidth();
        const int h = mBackBuffer->GetHeight();
        mBackBuffer->FillRect(0, 0, w, 1, 0);
        mBackBuffer->FillRect(0, h - 1, w, 1, 0);
        mBackBuffer->FillRect(0, 0, 1, h, 0);
        mBackBuffer->FillRect(w - 1, 0, 1, h, 0);
        shown = mDisplay->PresentSurface(*mBackBuffer);
    } else {
        shown = mDevice && mDevice->PresentBackBuffer();
    }
    if (!shown || mDisplay->TakeDeviceLost()) {
        InvalidateDevices();
    }
    ++mFramesPresented;
    mPresenting = false;
}

void Graphics::SetActive(bool active)
{
    ForEachDevice(mDevices, [active](GraphicDevice* device) { device->OnActivate(active); });
    if (!active) {
        mRecoverPending = false;
    } else if (mModeSwitching == 0) {
        mRecoverPending = true;
    }
}

void Graphics::SuspendDevices()
{
    ForEachDevice(mDevices, [](GraphicDevice* device) { device->OnSuspend(); });
}

void Graphics::InvalidateDevices()
{
    mInvalidated = true;
    ForEachDevice(mDevices, [](GraphicDevice* device) { device->mNeedsRecovery = 1; });
}

void Graphics::RecoverDevices()
{
    if (!mStarted || (mFullscreen && !AppActive()) || mInvalidated || AppQuitting()) {
        return;
    }
    AppLock lock;
    if (mFullscreen && !mForceModeSwitch) {
        mForceModeSwitch = true;
        mKeepWindow = true;
        SetFullscreen(true);
        mForceModeSwitch = false;
        mKeepWindow = false;
    }
    // A driver reset takes the back buffer's contents, or the buffer itself.
    if (mDisplay && mDisplay->TakeDeviceLost() && mDevice) {
        mDevice->CreateBackBuffer(mWidth, mHeight);
    }
    ForEachDevice(mDevices, [](GraphicDevice* device) { device->Restore(); });
    ResetDeviceStates();
    mRecoverPending = false;
}

void Graphics::RebuildDevice()
{
    if (AppQuitting() || !AppActive() || mModeSwitching > 0) {
        return;
    }
    {
        AppLock lock;
        FitWindowToDesktop();
        mForceModeSwitch = true;
        SetFullscreen(mFullscreen);
        mForceModeSwitch = false;
        mRecoverPending = false;
        mInvalidated = false;
    }
    ForEachDevice(mDevices, [](GraphicDevice* device) {
        device->mNeedsRecovery = 1;
        device->Restore();
    });
}

void Graphics::SetFullscreen(bool fullscreen)
{
    if (mModeSwitching > 0) {
        return;
    }
    const bool target = CheckDesktopForWindow() ? fullscreen : true;
    if (target == mFullscreen && !mForceModeSwitch) {
        return;
    }
    ++mModeSwitching;
    SuspendDevices();
    mFullscreen = target;
    RemakeForMode();
}

void Graphics::SwitchMode(int width, int height, bool fullscreen)
{
    if (mModeSwitching > 0) {
        return;
    }
    const bool target = CheckDesktopForWindow() ? fullscreen : true;
    if (width == mWidth && height == mHeight && target == mFullscreen && !mForceModeSwitch) {
        return;
    }
    ++mModeSwitching;
    SuspendDevices();
    if (width * height > mWidth * mHeight) {
        mModeGrew = true;
    }
    mWidth = width;
    mHeight = height;
    mFullscreen = target;
    RemakeForMode();
}

// The second half of every mode change.
void Graphics::RemakeForMode()
{
    CreateSurfaces();
    RecoverDevices();
    --mModeSwitching;
    if (mFullscreen && theApp) {
        theApp->BringToFront();
    }
}

Platform::Surface* Graphics::CreateSurface(int width, int height, Platform::SurfaceDesc* out)
{
    Platform::Surface* surface = NewSurface(width, height, GetDisplayFormat());
    if (!surface) {
        theConsole->Printf("CreateSurface Error: %s", DXErrorName(DXResult::OutOfMemory).CStr());
        return nullptr;
    }
    if (out) {
        *out = surface->GetDesc();
    }
    return surface;
}

Platform::Surface* Graphics::NewSurface(int width, int height, const Platform::PixelFormat& format)
{
    try {
        return new Platform::Surface(width, height, format);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

Platform::Surface* Graphics::CreateOffscreenSurface(int width, int height, Platform::SurfaceDesc* out)
{
    return CreateSurface(width, height, out);
}

bool Graphics::SaveBMP(const char* file, Platform::Surface* surface)
{
    std::unique_ptr<Platform::Surface> readBack;
    if (!surface) {
        if (mSoftware) {
            surface = mBackBuffer.get();
        } else if (mDevice) {
            readBack =
                std::make_unique<Platform::Surface>(mWidth, mHeight, Platform::PixelFormat::XRGB8888());
            if (!mDevice->ReadBackBuffer(*readBack)) {
                return false;
            }
            surface = readBack.get();
        }
    }
    if (!surface) {
        return false;
    }
    const std::vector<uint8_t> bytes = EncodeBMP(*surface);
    return Platform::Files::WriteWhole(file, bytes.data(), bytes.size());
}

// A 24-bit bottom-up BMP. The declared image size counts rows padded to a
// multiple of 8 pixels, as the screenshots always have; the rows themselves
// use the usual 4-byte stride, so every reader finds them.
std::vector<uint8_t> Graphics::EncodeBMP(const Platform::Surface& surface)
{
    const int width = surface.GetWidth();
    const int height = surface.GetHeight();
    const uint32_t imageSize = static_cast<uint32_t>((width + 7) / 8) * 24 * height;
    const uint32_t stride = static_cast<uint32_t>((width * 3 + 3) & ~3);
    std::vector<uint8_t> out;
    out.reserve(54 + imageSize);
    out.push_back('B');
    out.push_back('M');
    WriteLE32(out, 14 + 40 + imageSize);
    WriteLE16(out, 0);
    WriteLE16(out, 0);
    WriteLE32(out, 54);
    WriteLE32(out, 40);
    WriteLE32(out, static_cast<uint32_t>(width));
    WriteLE32(out, static_cast<uint32_t>(height));
    WriteLE16(out, 1);
    WriteLE16(out, 24);
    WriteLE32(out, 0); // uncompressed
    WriteLE32(out, imageSize);
    WriteLE32(out, 0);
    WriteLE32(out, 0);
    WriteLE32(out, 0);
    WriteLE32(out, 0);
    out.resize(54 + static_cast<size_t>(imageSize), 0);
    for (int y = 0; y < height; ++y) {
        uint8_t* row = out.data() + 54 + static_cast<size_t>(height - 1 - y) * stride;
        for (int x = 0; x < width; ++x) {
            const uint32_t argb = surface.GetPixel(x, y);
            row[x * 3 + 0] = argb & 0xFF;
            row[x * 3 + 1] = (argb >> 8) & 0xFF;
            row[x * 3 + 2] = (argb >> 16) & 0xFF;
        }
    }
    return out;
}

void Graphics::ReleaseDeviceObjects()
{
    delete mColorStrip;
    delete mTexturedStrip;
    mColorStrip = nullptr;
    mTexturedStrip = nullptr;
    mModeGrew = false;
    if (mDevice) {
        mDevice->ReleaseBackBuffer();
    }
    mSWHelper.ReleaseSurface();
    mBackBuffer.reset();
    mDevice = nullptr;
    mBoundTexture = nullptr;
    mBoundSurface = nullptr;
}

void Graphics::ApplyWindowStyle()
{
    if (mFullscreen) {
        Platform::SetWindowFullscreen(mWindow, true);
    } else if (!mKeepWindow) {
        Platform::SetWindowFullscreen(mWindow, false);
        if (!theApp || !theApp->captionedWindow) {
            Platform::SetWindowClientSize(mWindow, mWindowX, mWindowY, mWidth, mHeight);
        }
    }
}

void Graphics::GetTextureSize(Point& out, int width, int height)
{
    float pw = static_cast<float>(Math::NextPowerOfTwo(width));
    float ph = static_cast<float>(Math::NextPowerOfTwo(height));
    const float r = mMaxTextureAspect;
    if (ph > pw) {
        while (pw * r < ph) {
            pw *= 2;
        }
    } else if (pw > ph) {
        while (ph * r < pw) {
            ph *= 2;
        }
    }
    out = Point(pw, ph);
}
