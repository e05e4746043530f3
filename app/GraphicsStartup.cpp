#include "app/Graphics.h"

#include "app/App.h"
#include "app/Console.h"
#include "app/CursorManager.h"
#include "app/GraphicDevice.h"
#include "app/ParseXML.h"
#include "app/Registry.h"
#include "app/compatibility/HWTester.h"
#include "platform/Dialogs.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {
constexpr const char* kDeviceList = "data\\devices.xml";
constexpr const char* kConfirmTitle = "Hardware Acceleration Confirmation";
constexpr const char* kConfirmText =
    "Hardware Acceleration was switched on during your last session.\r\nIf this resulted in slower "
    "performance, or graphical errors, it should be switched off.\r\nWould you like to keep Hardware "
    "Acceleration switched on?";

String ConfigPath()
{
    return theApp ? theApp->GetConfigPath() : String("config.cfg");
}

String HardwareResultsPath()
{
    return GetDataFilePath("HardwareTestResults\\Hardware.registry");
}

bool HasSwitch(const char* name)
{
    return theApp && theApp->HasCommandLineSwitch(name);
}

// The settings file, read without writing anything back: the results file
// belongs to the hardware tester and must not be created here.
struct ReadOnlyRegistry
{
    explicit ReadOnlyRegistry(const String& path)
    {
        registry.SetNoSave(true);
        registry.Load(path);
    }
    Registry registry;
};

// The adapter's description as the device list names it: the renderer
// string where the driver gives one, else the driver's name.
String DeviceDescription(const Platform::AdapterInfo& info)
{
    std::string text = info.renderer.empty() ? info.name : info.renderer;
    while (!text.empty() && static_cast<unsigned char>(text.back()) < 33) {
        text.pop_back();
    }
    return String(text.c_str());
}

bool DxVersionMatches(const ParseXMLTag& attribute)
{
    ReadOnlyRegistry results(HardwareResultsPath());
    const String stored = results.registry.GetString("HWTEST::DXVersion");
    const int length = attribute.content.Length();
    return stored.Length() >= length && stored.CompareNoCaseN(attribute.content.CStr(), length) == 0;
}

// FORCEHWMODE and FORCESAFEMODE act when they carry no attribute, or a
// "dxversion" that the stored version begins with.
bool ForceTagApplies(const ParseXMLTag& tag)
{
    if (tag.CountAttributes() == 0) {
        return true;
    }
    const ParseXMLTag first = tag.GetAttribute(0);
    return first.name.CompareNoCase("dxversion") == 0 && DxVersionMatches(first);
}
} // namespace

bool Graphics::Startup(Platform::NativeWindow* window)
{
    mWindow = window;
    mShutDown = false;
    Platform::GetWindowPosition(window, &mWindowX, &mWindowY);

    // Full screen here keeps the desktop's depth, where it once switched to
    // the game's: on a desktop of fewer colours nothing can be shown.
    const int desktopBits = Platform::GetDesktopMode().bitsPerPixel;
    if (window && desktopBits > 0 && desktopBits < 16) {
        FatalDeviceError(kDepthReason);
        return false;
    }

    // The renderer stands where the DirectDraw object stood: every later
    // step asks it about the adapter.
    mDisplay = window ? Platform::Renderer::CreateForWindow(window, false)
                      : Platform::Renderer::CreateOffscreen(mRequestedWidth, mRequestedHeight);
    if (!mDisplay) {
        theConsole->Printf("Error[mDirectDraw->CreateSurface(1)]: %s", DXErrorName(DXResult::Generic).CStr());
        FatalDeviceError(
            "Failed: mDirectDraw->CreateSurface().  A primary surface could not be created.  The "
            "program cannot continue.");
        return false;
    }

    ChooseRenderer();
    ApplyHardwareTestResults();
    if (mSafeModeRequired) {
        mSoftware = true;
    }

    ReadDesktop();
    mWindowFrameHeight = Platform::GetWindowFrameHeight(window);
    IsModeSupported(640, 480);

    ++mModeSwitching;
    CreateSurfaces();
    --mModeSwitching;

    mUseAtlas = !mSoftware && mMaxTextureWidth >= 2048.0f && mMaxTextureHeight >= 2048.0f &&
                GetTotalVideoMemory() >= 20;
    mStarted = true;
    delete theCursorManager;
    theCursorManager = new Sys::CursorManager;
    return mSoftware || mDevice != nullptr;
}

void Graphics::ChooseRenderer()
{
    const bool hardware = HasSwitch("-hardware");
    const bool software = HasSwitch("-software");
    if (hardware || software) {
        mSafeModeRequired = software;
        mSafeModeRecommended = software;
        return;
    }
    Compatibility::HWTester tester;
    tester.forced = HasSwitch("-hwtest");
    tester.Run(mDisplay.get(), static_cast<uint32_t>(mMinVideoMemory),
               static_cast<uint32_t>(mLowVideoMemory));
    mSafeModeRequired = tester.SafeModeRequired;
    mSafeModeRecommended = tester.SafeModeRecommended;
}

void Graphics::ReadDesktop()
{
    mDesktopDesc = Platform::GetDesktopMode();
    mDesktopWidth = mDesktopDesc.width;
    mDesktopHeight = mDesktopDesc.height;
    mDesktopDepth = mDesktopDesc.bitsPerPixel;
    if (mDesktopWidth < 800) {
        mWindowNotAllowed = true;
        mWindowNotAllowedReason = "Your desktop resolution must be set higher than 640x480";
    }
    if (!IsDepthAllowed(mDesktopDepth)) {
        mWindowNotAllowed = true;
        mWindowNotAllowedReason = kDepthReason;
    }
}

void Graphics::ApplyHardwareTestResults()
{
    bool changed;
    {
        ReadOnlyRegistry results(HardwareResultsPath());
        changed = results.registry.GetBool("HWTEST::DXVersionChanged") ||
                  results.registry.GetBool("HWTEST::CardChanged");
    }

    Registry config;
    config.Load(ConfigPath());
    if (!config.Find("DX::ColorDepth") || changed) {
        ReadDeviceList();
    }
    WriteMissingSettings(config);
    mConfirmHardware = config.GetBool("DX::ConfirmHardware");
    if (!HasSwitch("-hardware") && !HasSwitch("-software") && !config.Find("DX::SafeMode")) {
        config.SetBool("DX::SafeMode", mSafeModeRequired || mSafeModeRecommended);
    }

    mWidth = config.GetInt("DX::ScreenWidth");
    mHeight = config.GetInt("DX::ScreenHeight");
    mColorDepth = config.GetInt("DX::ColorDepth");
    mFullscreen = config.GetBool("DX::Fullscreen");
    mUseCustomCursors = config.GetBool("DX::UseCustomCursors");
    mVSync = config.GetBool("DX::VSync");
    mSoftware = config.GetBool("DX::SafeMode");
    if (mWidth == 0 || mHeight == 0 || mColorDepth == 0) {
        mWidth = 800;
        mHeight = 600;
        mColorDepth = 16;
        mFullscreen = true;
        mSoftware = false;
    } else if (mWidth < 640 || mHeight < 480) {
        // Too small a window to play in: as if no size had been stored.
        mWidth = mRequestedWidth;
        mHeight = mRequestedHeight;
    }
    config.Save();
    mSettingsLoaded = true;
}

void Graphics::WriteMissingSettings(Registry& config)
{
    if (!config.Find("DX::ScreenWidth")) {
        config.SetInt("DX::ScreenWidth", mRequestedWidth);
    }
    if (!config.Find("DX::ScreenHeight")) {
        config.SetInt("DX::ScreenHeight", mRequestedHeight);
    }
    if (!config.Find("DX::ColorDepth")) {
        config.SetInt("DX::ColorDepth", mRequestedColorDepth);
    }
    if (!config.Find("DX::Fullscreen")) {
        config.SetBool("DX::Fullscreen", mRequestedFullscreen);
    }
    if (!config.Find("DX::UseCustomCursors")) {
        config.SetBool("DX::UseCustomCursors", false);
    }
    if (!config.Find("DX::VSync")) {
        config.SetBool("DX::VSync", false);
    }
}

void Graphics::ReadDeviceList()
{
    if (!mDisplay) {
        return;
    }
    const String description = DeviceDescription(mDisplay->GetAdapterInfo());
    ParseXML list;
    list.OpenFile(kDeviceList);
    for (ParseXMLTag card = list.NextTag(); !card.empty; card = list.NextTag()) {
        if (card.name.CompareNoCase("CARD") != 0 || card.CountAttributes() == 0) {
            continue;
        }
        const ParseXMLTag first = card.GetAttribute(0);
        if (first.name.CompareNoCase("name") == 0 && first.content.CompareNoCase(description) == 0) {
            ApplyCard(card.content);
        }
    }
}

void Graphics::ApplyCard(const String& content)
{
    ParseXML settings;
    settings.SetText(content.CStr());
    for (ParseXMLTag tag = settings.NextTag(); !tag.empty; tag = settings.NextTag()) {
        if (tag.name.CompareNoCase("DEFAULTCOLORDEPTH") == 0) {
            const int depth = std::atoi(tag.content.CStr());
            mRequestedColorDepth = IsDepthAllowed(depth) ? depth : 16;
        } else if (tag.name.CompareNoCase("DEFAULTRESOLUTION") == 0) {
            int width = 0;
            int height = 0;
            if (std::sscanf(tag.content.CStr(), "%dx%d", &width, &height) == 2 &&
                IsModeSupported(width, height)) {
                mRequestedWidth = width;
                mRequestedHeight = height;
            }
        } else if (tag.name.CompareNoCase("DEFAULTFULLSCREEN") == 0) {
            mRequestedFullscreen = tag.content.ToBool();
        } else if (tag.name.CompareNoCase("FORCEHWMODE") == 0) {
            if (tag.content.ToBool() && ForceTagApplies(tag)) {
                mSafeModeRecommended = false;
                mSafeModeRequired = false;
            }
        } else if (tag.name.CompareNoCase("FORCESAFEMODE") == 0) {
            if (tag.content.ToBool() && ForceTagApplies(tag)) {
                mSafeModeRecommended = true;
                mSafeModeRequired = true;
            }
        }
    }
}

void Graphics::SaveSettings()
{
    if (!mSettingsLoaded) {
        return;
    }
    Registry config;
    config.Load(ConfigPath());
    config.SetInt("DX::ScreenWidth", mWidth);
    config.SetInt("DX::ScreenHeight", mHeight);
    config.SetBool("DX::Fullscreen", mFullscreen);
    config.SetInt("DX::ColorDepth", mColorDepth);
    config.SetBool("DX::VSync", mVSync);
    config.SetBool("DX::UseCustomCursors", mUseCustomCursors);
    // The player switched the hardware renderer on against the tester's
    // advice: once it has run, ask whether to keep it. Yes is the first
    // button, so Enter, and a run without a display, keep it.
    if (mConfirmHardware && !mSoftware && mSafeModeRecommended) {
        if (!Platform::Dialogs::AskYesNo(kConfirmTitle, kConfirmText, true)) {
            mSoftware = true;
        }
        config.SetBool("DX::ConfirmHardware", false);
    }
    config.SetBool("DX::SafeMode", mSoftware);
    config.Save();
}

void Graphics::ForceSafeModeNextRun()
{
    if (!mConfirmHardware || mSoftware || !mSafeModeRecommended) {
        return;
    }
    Registry config;
    config.Load(ConfigPath());
    config.SetBool("DX::SafeMode", true);
    config.Save();
}

void Graphics::Shutdown()
{
    if (mShutDown) {
        return;
    }
    mShutDown = true;
    mStarted = false;
    delete theCursorManager;
    theCursorManager = nullptr;
    FreeStateStacks();
    for (int i = 0; i < mDevices.Count(); ++i) {
        static_cast<GraphicDevice*>(mDevices.Get(i))->Release();
    }
    ReleaseDeviceObjects();
    if (mPendingMode) {
        mSoftware = mPendingSoftware;
        mWidth = static_cast<int>(mPendingWidth);
        mHeight = static_cast<int>(mPendingHeight);
    }
    SaveSettings();
    FreeDisplayModes();
    mDisplay.reset();
    mBackBuffer.reset();
}

bool Graphics::IsModeSupported(int width, int height)
{
    if (mDisplayModes.IsEmpty()) {
        for (const Platform::DisplayMode& mode : Platform::GetDisplayModes()) {
            DisplayModeCallback(mode.width, mode.height);
        }
    }
    for (int i = 0; i < mDisplayModes.Count(); ++i) {
        const Point* mode = static_cast<const Point*>(mDisplayModes.Get(i));
        if (mode->x == width && mode->y == height) {
            return true;
        }
    }
    return false;
}

void Graphics::DisplayModeCallback(int width, int height)
{
    for (int i = 0; i < mDisplayModes.Count(); ++i) {
        const Point* mode = static_cast<const Point*>(mDisplayModes.Get(i));
        if (mode->x == width && mode->y == height) {
            return;
        }
    }
    mDisplayModes.Add(new Point(static_cast<float>(width), static_cast<float>(height)));
}

bool Graphics::CheckDesktopForWindow()
{
    const Platform::DisplayMode desktop = Platform::GetDesktopMode();
    mDesktopWidth = desktop.width;
    mDesktopHeight = desktop.height;
    mDesktopDepth = desktop.bitsPerPixel;
    mWindowNotAllowed = false;
    if (IsDepthAllowed(mDesktopDepth) && mDesktopWidth >= 800) {
        return true;
    }
    mFullscreen = true;
    mWindowNotAllowed = true;
    if (mDesktopWidth < 800) {
        mWindowNotAllowedReason = "Your desktop resolution must be set higher than 640x480";
    }
    if (!IsDepthAllowed(mDesktopDepth)) {
        mWindowNotAllowedReason = kDepthReason;
    }
    return false;
}

void Graphics::FitWindowToDesktop()
{
    CheckDesktopForWindow();
    if (mFullscreen) {
        return;
    }
    while ((mWidth > mDesktopWidth - mWindowFrameHeight || mHeight > mDesktopHeight - mWindowFrameHeight) &&
           mWidth > 640) {
        StepWindowDown();
    }
}

// One step down the window sizes. A width between them steps to the next
// smaller one, so the fitting always ends.
void Graphics::StepWindowDown()
{
    if (mWidth > 1024 && IsModeSupported(1024, 768)) {
        mWidth = 1024;
        mHeight = 768;
    } else if (mWidth > 800 && IsModeSupported(800, 600)) {
        mWidth = 800;
        mHeight = 600;
    } else {
        mWidth = 640;
        mHeight = 480;
    }
}

void Graphics::SetCustomCursorHidden(bool hidden)
{
    if (theCursorManager)
        theCursorManager->SetHidden(hidden);
}

void Graphics::SetCustomCursorShape(int index)
{
    if (theCursorManager)
        theCursorManager->SetShape(index);
}

bool Graphics::CanUseCursorThread()
{
    // The cursor is drawn by the window system on every version we run on.
    return true;
}

int Graphics::GetTotalVideoMemory()
{
    if (!mDisplay) {
        return 0;
    }
    const uint64_t screen = static_cast<uint64_t>(mDesktopWidth) * mDesktopHeight * (mDesktopDepth / 8);
    const uint64_t total = static_cast<uint64_t>(mDisplay->GetAdapterInfo().videoMemoryMB) << 20;
    return static_cast<int>((total + screen) >> 20);
}

int Graphics::GetUsedVideoMemory()
{
    if (!mDisplay) {
        return 0;
    }
    // The driver tells no free figure: what our own textures occupy is what is used.
    const uint64_t screen = static_cast<uint64_t>(mDesktopWidth) * mDesktopHeight * (mDesktopDepth / 8);
    const uint64_t total = static_cast<uint64_t>(mDisplay->GetAdapterInfo().videoMemoryMB) << 20;
    const uint64_t used = std::min<uint64_t>(mDisplay->GetUploadedBytes(), total);
    return static_cast<int>(((total + screen) >> 20) - ((total - used + screen) >> 20));
}

void Graphics::FreeStateStacks()
{
    for (int i = 0; i < mColorStack.Count(); ++i) {
        delete static_cast<Color*>(mColorStack.Get(i));
    }
    mColorStack.Clear();
    for (int i = 0; i < mFilterStack.Count(); ++i) {
        delete static_cast<int*>(mFilterStack.Get(i));
    }
    mFilterStack.Clear();
}

void Graphics::FreeDisplayModes()
{
    for (int i = 0; i < mDisplayModes.Count(); ++i) {
        delete static_cast<Point*>(mDisplayModes.Get(i));
    }
    mDisplayModes.Clear();
}

void Graphics::FatalDeviceError(const char* text)
{
    Platform::Dialogs::ShowMessage("DirectX Error", text);
    // A device that cannot be made is a failed run.
    std::exit(EXIT_FAILURE);
}
