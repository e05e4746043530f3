#include "app/Graphics.h"

#include "app/GraphicDevice.h"
#include "app/VertexBuffer2D.h"

Graphics theGraphics;

namespace {
struct ErrorName
{
    uint32_t code;
    const char* name;
};

// The codes the device layer can report, under the names the log has always
// used for them. Codes with several names give the first one listed here.
constexpr ErrorName kErrorNames[] = {
    {0x80004001, "DDERR_UNSUPPORTED"},     {0x80004002, "DSERR_NOINTERFACE"},
    {0x80004005, "DSERR_GENERIC"},         {0x8007000E, "E_OUTOFMEMORY"},
    {0x80070057, "DDERR_INVALIDPARAMS"},   {0x80040110, "DSERR_NOAGGREGATION"},
    {0x800401F0, "DDERR_NOTINITIALIZED"},  {0x88760005, "DDERR_ALREADYINITIALIZED"},
    {0x88760064, "DDERR_INVALIDCAPS"},     {0x88760078, "DDERR_INVALIDMODE"},
    {0x88760082, "DDERR_INVALIDOBJECT"},   {0x88760091, "DDERR_INVALIDPIXELFORMAT"},
    {0x88760096, "DDERR_INVALIDRECT"},     {0x8876017C, "DDERR_OUTOFVIDEOMEMORY"},
    {0x887601AE, "DDERR_SURFACEBUSY"},     {0x887601C2, "DDERR_SURFACELOST"},
    {0x8876021C, "DDERR_WASSTILLDRAWING"}, {0x88760248, "DDERR_NOTLOCKED"},
    {0x8876024E, "DDERR_UNSUPPORTEDMODE"},
};

template <typename T> void FreeEntries(List& list)
{
    for (int i = 0; i < list.Count(); ++i) {
        delete static_cast<T*>(list.Get(i));
    }
    list.Clear();
}
} // namespace

String DXErrorName(int32_t code)
{
    if (code == 0) {
        return String("DDOK");
    }
    for (const ErrorName& entry : kErrorNames) {
        if (entry.code == static_cast<uint32_t>(code)) {
            return String(entry.name);
        }
    }
    return String::StringFormat("0x%.8x", static_cast<uint32_t>(code));
}

Graphics::Graphics()
{
    ResetState();
}

Graphics::~Graphics()
{
    Shutdown();
    FreeDisplayModes();
    FreeEntries<Rect>(mClipStack);
    FreeEntries<Point>(mTranslationStack);
}

void Graphics::ResetState()
{
    mZoomOn = false;
    mZoomX = 1.0f;
    mZoomY = 1.0f;
    mMultiplierOn = false;
    mColorFill = false;
    mBoundTexture = nullptr;
    mBoundSurface = nullptr;
    mActiveAtlas = nullptr;
    mUseAtlas = false;
    mAtlasDepth = 0;
    FreeStateStacks();
    FreeEntries<Rect>(mClipStack);
    FreeEntries<Point>(mTranslationStack);
    mColorStack.SetCapacity(50);
    mClipStack.SetCapacity(50);
    mFilterStack.SetCapacity(50);
    mTranslationStack.SetCapacity(50);

    mDisplay.reset();
    mDevice = nullptr;
    mBackBuffer.reset();
    mSoftware = false;
    mColorStrip = nullptr;
    mTexturedStrip = nullptr;
    mRecoverPending = false;
    // The last application's mode change was made at its shutdown: a
    // restarted one would otherwise make it again at its own.
    mPendingMode = false;
    mInvalidated = false;
    mMinVideoMemory = 6;
    mLowVideoMemory = 14;
    mSafeModeRecommended = true;
    mSafeModeRequired = true;
    mRefreshRate = 60;
    SetLogicalResolution(800, 600);
    SetRequestedMode(800, 600, false, 16);
}

void Graphics::SetRequestedMode(int width, int height, bool fullscreen, int colorDepth)
{
    mRequestedWidth = width;
    mRequestedHeight = height;
    mRequestedFullscreen = fullscreen;
    mRequestedColorDepth = colorDepth;
}

void Graphics::SetPendingMode(bool software, int width, int height)
{
    mPendingMode = true;
    mPendingSoftware = software;
    mPendingWidth = static_cast<float>(width);
    mPendingHeight = static_cast<float>(height);
}

void Graphics::SetLogicalResolution(int width, int height)
{
    mLogicalWidth = width;
    mLogicalHeight = height;
    mScaleX = static_cast<float>(mWidth) / static_cast<float>(width);
    mScaleY = static_cast<float>(mHeight) / static_cast<float>(height);
    mScale640 = 640.0f / static_cast<float>(width);
    mScale480 = 480.0f / static_cast<float>(height);
    mSWHelper.mLogicalScaleX = mScale640;
    mSWHelper.mLogicalScaleY = mScale480;
}
