#pragma once

#include "app/Point.h"
#include "app/Registry.h"
#include "app/String.h"
#include "platform/Display.h"

#include <cstdint>
#include <exception>
#include <memory>

namespace Compatibility {

// Decides once per display adapter and driver version whether the hardware
// renderer draws the framework's scenes correctly: it draws test quads with
// the blend modes the framework uses into a small private back buffer, reads
// the pixels back and judges them. The verdict, with a record of the test,
// is kept in "HardwareTestResults\Hardware.registry" of the data folder and
// reused until the adapter, the driver version or the tester changes, or
// the user asks for a new test ("-hwtest").
class HWTester
{
  public:
    // Thrown by Fail and caught only by Run.
    struct TestException : std::exception
    {
        explicit TestException(const String& reason) : reason(reason) {}
        String reason;
    };

    static constexpr int kVersion = 1;
    static constexpr int kSurfaceSize = 256;
    static constexpr int kTextureSize = 64;

    HWTester() = default;
    virtual ~HWTester() = default;
    HWTester(const HWTester&) = delete;
    HWTester& operator=(const HWTester&) = delete;

    // The whole run on the window's renderer; afterwards SafeModeRequired
    // and SafeModeRecommended hold the verdict.
    void Run(Platform::Renderer* device, uint32_t minimumVideoMemory, uint32_t recommendedVideoMemory);

    bool NeedsTest();
    void InitDevice();
    void CheckCard();
    [[noreturn]] void Fail(const String& reason);
    // Fails with "%s: %s" of the operation and the error's name.
    void Check(int32_t result, const char* operation);
    void Warn(const String& text);
    void ReleaseDevice();

    // The drawing tests, in the order Run calls them.
    void IsAlphaCapable();
    void IsAdditiveCapable();
    void IsAdditiveAlphaCapable();
    void IsTextureSwitchingOK();
    void IsClipProblem();

    // Read-back helpers, on a surface in any of the display's formats.
    static uint8_t ChannelShift(uint32_t mask);
    // 0xAARRGGBB; alpha always 255.
    static uint32_t ReadPixel(const Platform::SurfaceDesc& desc, const uint8_t* address);
    // What the tests look for in the first 64 pixels of the first row of
    // the read-back surface (clipping: in every even column).
    static int CountAlphaSteps(const Platform::Surface& surface);
    static int CountBrightPixels(const Platform::Surface& surface);
    static bool ShowsColor(const Platform::Surface& surface, uint32_t rgb);
    static bool HasClipProblem(const Platform::Surface& surface);

    // The adapter's own description text.
    static String GetDeviceDescription(const Platform::AdapterInfo& info);

    bool SafeModeRequired = false;
    bool SafeModeRecommended = false;
    // "-hwtest": a test even when the stored results are current, a beep at
    // the start and the snapshot bitmaps.
    bool forced = false;

  private:
    void RunTests();
    String ResultsFolder() const;
    void Snapshot(const char* name, Platform::Surface* surface);

    void ClearRenderSurface();
    void BeginScene();
    // The back buffer's pixels into mRenderSurface.
    void ReadRenderSurface();
    void DrawTestQuad(float x, float y);
    void DrawSurfaceQuad(float x, float y, const Platform::Surface* texture);
    void SetStates(Platform::BlendMode blend);
    int CountAdditiveBright(uint32_t argb, int draws, const char* test);

    Platform::Renderer* mDevice = nullptr;
    bool mBackBufferMade = false;
    // The back buffer as last read back, in the desktop's format.
    std::unique_ptr<Platform::Surface> mRenderSurface;
    std::unique_ptr<Platform::Surface> mTextureSurface;
    Registry mResults;
    String mWarnings;
    uint32_t mMinimumVideoMemory = 0;
    uint32_t mRecommendedVideoMemory = 0;
    Point mMaxTextureSize{0.0f, 0.0f};
};

} // namespace Compatibility
