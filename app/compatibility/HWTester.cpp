#include "app/compatibility/HWTester.h"

#include "app/App.h"
#include "app/FileHelpers.h"
#include "app/Graphics.h"
#include "app/OSFunctions.h"
#include "platform/Dialogs.h"

namespace Compatibility {

namespace {
constexpr int kGuidBytes = 16;

// Names that mark an adapter the framework was tried on.
constexpr const char* kKnownCards[] = {"NVIDIA", "RADEON", "INTEL", "ATI"};

String Upper(const String& text)
{
    String upper = text;
    upper.MakeUnique();
    upper.MakeUpper();
    return upper;
}

void TrimBlanks(String& text)
{
    int start = 0;
    int end = text.Length();
    while (start < end && static_cast<unsigned char>(text.CharAt(start)) < 33) {
        ++start;
    }
    while (end > start && static_cast<unsigned char>(text.CharAt(end - 1)) < 33) {
        --end;
    }
    text = text.Mid(start, end - start);
}

// The render surface is in the desktop's format.
Platform::PixelFormat RenderFormat(int depth)
{
    return depth == 16 ? Platform::PixelFormat::RGB565() : Platform::PixelFormat::XRGB8888();
}
} // namespace

String HWTester::GetDeviceDescription(const Platform::AdapterInfo& info)
{
    return String(info.renderer.empty() ? info.name.c_str() : info.renderer.c_str());
}

String HWTester::ResultsFolder() const
{
    return GetDataFilePath("HardwareTestResults\\");
}

void HWTester::Run(Platform::Renderer* device, uint32_t minimumVideoMemory, uint32_t recommendedVideoMemory)
{
    mDevice = device;
    mMinimumVideoMemory = minimumVideoMemory;
    mRecommendedVideoMemory = recommendedVideoMemory;
    mRenderSurface.reset();
    mTextureSurface.reset();

    const String folder = ResultsFolder();
    MakeFolders(folder);
    mResults.Load(folder.Concat("Hardware.registry"));

    SafeModeRequired = false;
    SafeModeRecommended = false;
    if (forced) {
        Platform::Dialogs::Beep();
    }
    try {
        if (NeedsTest()) {
            RunTests();
        }
    } catch (const TestException&) {
        // The reason is already stored; the verdict after a failure is both.
        mResults.SetBool("HWTEST::SafeModeRequired", SafeModeRequired);
        mResults.SetBool("HWTEST::SafeModeRecommended", SafeModeRecommended);
    }
    if (mWarnings.IsEmpty()) {
        mWarnings = "(none)";
    }
    mResults.SetString("HWTEST::Warnings", mWarnings);

    // Without a test the verdict of the last one applies.
    SafeModeRequired = mResults.GetBool("HWTEST::SafeModeRequired");
    SafeModeRecommended = mResults.GetBool("HWTEST::SafeModeRecommended");
    ReleaseDevice();
    mResults.Clear();
}

void HWTester::RunTests()
{
    mWarnings.Clear();
    InitDevice();
    CheckCard();
    IsAlphaCapable();
    IsAdditiveCapable();
    IsAdditiveAlphaCapable();
    IsTextureSwitchingOK();
    IsClipProblem();
    mDevice->SetTexture(nullptr, false);
    mResults.SetBool("HWTEST::SafeModeRequired", SafeModeRequired);
    mResults.SetBool("HWTEST::SafeModeRecommended", SafeModeRecommended);
    mResults.SetString("HWTEST::FailReason", "(none)");
}

bool HWTester::NeedsTest()
{
    const int storedVersion = mResults.GetInt("HWTEST::HWTesterVersion");
    const String storedDx = mResults.GetString("HWTEST::DXVersion");
    const String currentDx = theOSFunctions->GetProductVersion("ddraw.dll");
    const bool dxChanged = storedDx.CompareNoCase(currentDx) != 0;

    const Platform::AdapterInfo info = mDevice->GetAdapterInfo();
    int8_t current[kGuidBytes];
    int8_t stored[kGuidBytes];
    for (int i = 0; i < kGuidBytes; ++i) {
        current[i] = static_cast<int8_t>(info.cardId[i]);
        // Bytes a missing or short value leaves unread can never match.
        stored[i] = static_cast<int8_t>(~current[i]);
    }
    mResults.GetByteArray("HWTEST::CardGUID", stored, kGuidBytes);
    bool sameCard = true;
    for (int i = 0; i < kGuidBytes; ++i) {
        sameCard = sameCard && stored[i] == current[i];
    }

    const bool needed = !sameCard || storedVersion != kVersion || forced || dxChanged;
    mResults.SetByteArray("HWTEST::CardGUID", current, kGuidBytes);
    mResults.SetInt("HWTEST::HWTesterVersion", kVersion);
    mResults.SetBool("HWTEST::CardChanged", needed);
    mResults.SetString("HWTEST::DXVersion", currentDx);
    mResults.SetBool("HWTEST::DXVersionChanged", dxChanged);
    return needed;
}

void HWTester::InitDevice()
{
    const Platform::DisplayMode desktop = Platform::GetDesktopMode();
    const Platform::AdapterInfo info = mDevice->GetAdapterInfo();

    const uint64_t total = static_cast<uint64_t>(info.videoMemoryMB) << 20;
    const uint64_t screen = static_cast<uint64_t>(desktop.bitsPerPixel / 8) *
                            static_cast<uint64_t>(desktop.height) * desktop.width;
    const uint64_t videoMemory = (total + screen) >> 20;
    if (videoMemory < mMinimumVideoMemory) {
        Fail("Not enought video memory");
    }
    if (videoMemory < mRecommendedVideoMemory) {
        Warn("Low video memory");
    }

    mBackBufferMade = mDevice->CreateBackBuffer(kSurfaceSize, kSurfaceSize);
    Check(mBackBufferMade ? DXResult::OK : DXResult::OutOfMemory, "CreateSurface(Primary)");
    const int depth = desktop.bitsPerPixel;
    if (depth == 24) {
        Fail("24-bit rendering not supported");
    }
    mRenderSurface = std::make_unique<Platform::Surface>(kSurfaceSize, kSurfaceSize, RenderFormat(depth));
    // A renderer drawing on the processor is no hardware device, however
    // well it draws: the software renderer is the cheaper way to the screen.
    Check(!info.hardware ? DXResult::NotImplemented
                         : (mDevice->BeginFrame() ? DXResult::OK : DXResult::SurfaceLost),
          "CreateDevice(IID_IDirect3DHALDevice)");

    mMaxTextureSize =
        Point(static_cast<float>(info.maxTextureWidth), static_cast<float>(info.maxTextureWidth));
    if (info.maxTextureWidth < 1024) {
        Fail("Large textures not supported");
    }
    mTextureSurface =
        std::make_unique<Platform::Surface>(kTextureSize, kTextureSize, Platform::PixelFormat::ARGB8888());
    mDevice->SetLinearFiltering(false);
    mDevice->SetBlendMode(Platform::BlendMode::Normal);

    if (forced) {
        ReadRenderSurface();
        Snapshot("InitialPrimarySurface.bmp", mRenderSurface.get());
        Snapshot("InitialTextureSurface.bmp", mTextureSurface.get());
    }
}

void HWTester::CheckCard()
{
    const String description = GetDeviceDescription(mDevice->GetAdapterInfo());
    mResults.SetString("HWTEST::DeviceDescription", description);
    const String name = Upper(description);

    if (mResults.Find("HWTEST::SupportedCards")) {
        String cards = mResults.GetString("HWTEST::SupportedCards");
        for (String card = cards.FirstToken(','); !card.IsEmpty(); card = cards.NextToken(',')) {
            if (name.Find(Upper(card).CStr()) >= 0) {
                return;
            }
        }
    }
    for (const char* known : kKnownCards) {
        if (name.Find(known) >= 0) {
            return;
        }
    }
    String trimmed = name;
    TrimBlanks(trimmed);
    // An unknown card is only noted: it does not recommend the software renderer.
    const bool recommended = SafeModeRecommended;
    Warn(String::StringFormat("\"%s\" is an unsupported card", trimmed));
    SafeModeRecommended = recommended;
}

void HWTester::Fail(const String& reason)
{
    SafeModeRequired = true;
    SafeModeRecommended = true;
    mResults.SetString("HWTEST::FailReason", reason);
    throw TestException(reason);
}

void HWTester::Check(int32_t result, const char* operation)
{
    if (result < 0) {
        Fail(String::StringFormat("%s: %s", operation, DXErrorName(result)));
    }
}

void HWTester::Warn(const String& text)
{
    if (!mWarnings.IsEmpty()) {
        mWarnings.Append(", ");
    }
    mWarnings.AppendString(text);
    SafeModeRecommended = true;
}

void HWTester::ReleaseDevice()
{
    mTextureSurface.reset();
    mRenderSurface.reset();
    if (mBackBufferMade && mDevice) {
        mDevice->SetTexture(nullptr, false);
        mDevice->ReleaseBackBuffer();
    }
    mBackBufferMade = false;
    mDevice = nullptr;
}

void HWTester::Snapshot(const char* name, Platform::Surface* surface)
{
    const String path = ResultsFolder().Concat(name);
    theGraphics.SaveBMP(path.CStr(), surface);
}

} // namespace Compatibility
