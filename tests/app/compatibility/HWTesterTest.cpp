#include "app/compatibility/HWTester.h"
#include "app/App.h"
#include "app/OSFunctions.h"
#include "platform/Window.h"

#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

using Compatibility::HWTester;

namespace {
constexpr const char* kResults = "HardwareTestResults/Hardware.registry";

// The tester run on the window-free software renderer, with the results
// kept in a fresh data folder.
class HWTesterTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        app = std::make_unique<App>();
        app->dataFolder = folder.Path().c_str();
        device = Platform::Renderer::CreateOffscreen(64, 64);
        ASSERT_NE(device, nullptr);
    }

    void Run(bool forced = false, uint32_t minimum = 6, uint32_t recommended = 14)
    {
        HWTester tester;
        tester.forced = forced;
        tester.Run(device.get(), minimum, recommended);
        required = tester.SafeModeRequired;
        recommendedVerdict = tester.SafeModeRecommended;
    }

    std::vector<std::string> Lines() const
    {
        std::istringstream text(folder.ReadText(kResults));
        std::vector<std::string> lines;
        for (std::string line; std::getline(text, line);) {
            if (!line.empty() && line.back() == '\r') {
                line.pop_back();
            }
            lines.push_back(line);
        }
        return lines;
    }

    std::vector<std::string> Keys() const
    {
        std::vector<std::string> keys;
        for (const std::string& line : Lines()) {
            keys.push_back(line.substr(0, line.find('=')));
        }
        return keys;
    }

    std::string Value(const std::string& key) const
    {
        for (const std::string& line : Lines()) {
            if (line.compare(0, key.size() + 1, key + "=") == 0) {
                return line.substr(key.size() + 1);
            }
        }
        return "(missing)";
    }

    // Rewrites one stored value, as an earlier run would have left it.
    void Store(const std::string& key, const std::string& value) const
    {
        std::string text;
        for (const std::string& line : Lines()) {
            const bool match = line.compare(0, key.size() + 1, key + "=") == 0;
            text += (match ? key + "=" + value : line) + "\r\n";
        }
        folder.WriteText(kResults, text);
    }

    TemporaryFolder folder;
    std::unique_ptr<App> app;
    std::unique_ptr<Platform::Renderer> device;
    bool required = true;
    bool recommendedVerdict = true;
};

// 0xRRGGBB of one pixel of a 24-bit bottom-up BMP file's bytes.
uint32_t BmpPixel(const std::string& bmp, int x, int y)
{
    const int width = static_cast<unsigned char>(bmp[18]) | static_cast<unsigned char>(bmp[19]) << 8;
    const int height = static_cast<unsigned char>(bmp[22]) | static_cast<unsigned char>(bmp[23]) << 8;
    const size_t stride = static_cast<size_t>(width * 3 + 3) & ~size_t{3};
    const size_t at = 54 + stride * static_cast<size_t>(height - 1 - y) + static_cast<size_t>(x) * 3;
    return static_cast<uint32_t>(static_cast<unsigned char>(bmp[at + 2])) << 16 |
           static_cast<uint32_t>(static_cast<unsigned char>(bmp[at + 1])) << 8 |
           static_cast<unsigned char>(bmp[at]);
}

const std::string kUnsupported = "\"SOFTWARE\" is an unsupported card";

// A read-back surface whose first row starts with those pixels; the rest is black.
std::unique_ptr<Platform::Surface> Row(const std::vector<uint32_t>& pixels,
                                       const Platform::PixelFormat& format)
{
    auto surface = std::make_unique<Platform::Surface>(256, 4, format);
    for (size_t x = 0; x < pixels.size(); ++x) {
        surface->SetPixel(static_cast<int>(x), 0, pixels[x]);
    }
    return surface;
}

std::vector<uint32_t> Greys(int count, int step)
{
    std::vector<uint32_t> greys;
    for (int i = 0; i < count; ++i) {
        const uint32_t level = static_cast<uint32_t>(i * step);
        greys.push_back(0xFF000000 | level << 16 | level << 8 | level);
    }
    return greys;
}
} // namespace

TEST_F(HWTesterTest, SoftwareRendererPassesEveryTestOnItsFirstRun)
{
    Run();
    EXPECT_FALSE(required);
    EXPECT_FALSE(recommendedVerdict);
    const std::vector<std::string> order = {"HWTEST::CardGUID",         "HWTEST::HWTesterVersion",
                                            "HWTEST::CardChanged",      "HWTEST::DXVersion",
                                            "HWTEST::DXVersionChanged", "HWTEST::DeviceDescription",
                                            "HWTEST::SafeModeRequired", "HWTEST::SafeModeRecommended",
                                            "HWTEST::FailReason",       "HWTEST::Warnings"};
    EXPECT_EQ(Keys(), order);
    EXPECT_EQ(Value("HWTEST::HWTesterVersion"), "1");
    EXPECT_EQ(Value("HWTEST::CardChanged"), "true");
    EXPECT_EQ(Value("HWTEST::DXVersion"), theOSFunctions->GetProductVersion("ddraw.dll").CStr());
    EXPECT_EQ(Value("HWTEST::DXVersionChanged"), "true");
    EXPECT_EQ(Value("HWTEST::DeviceDescription"), "software");
    EXPECT_EQ(Value("HWTEST::FailReason"), "(none)");
    // An unknown card is noted without recommending the software renderer.
    EXPECT_EQ(Value("HWTEST::Warnings"), kUnsupported);
    const std::string guid = Value("HWTEST::CardGUID");
    EXPECT_EQ(std::count(guid.begin(), guid.end(), ','), 15);
    // Snapshots are for forced runs only.
    for (const auto& entry : std::filesystem::directory_iterator(folder / "HardwareTestResults")) {
        EXPECT_NE(entry.path().extension(), ".bmp") << entry.path();
    }
}

TEST_F(HWTesterTest, UnchangedMachineKeepsTheStoredVerdictWithoutTesting)
{
    Run();
    Store("HWTEST::SafeModeRecommended", "true");
    Store("HWTEST::FailReason", "earlier reason");
    Run();
    EXPECT_FALSE(required);
    EXPECT_TRUE(recommendedVerdict);
    EXPECT_EQ(Value("HWTEST::CardChanged"), "false");
    EXPECT_EQ(Value("HWTEST::DXVersionChanged"), "false");
    EXPECT_EQ(Value("HWTEST::FailReason"), "earlier reason");
    EXPECT_EQ(Value("HWTEST::Warnings"), "(none)");
}

TEST_F(HWTesterTest, ChangedCardOrVersionTestsAgain)
{
    Run();
    Store("HWTEST::CardGUID", "1,2,3");
    Store("HWTEST::SafeModeRecommended", "true");
    Run();
    EXPECT_EQ(Value("HWTEST::CardChanged"), "true");
    EXPECT_FALSE(recommendedVerdict);

    Store("HWTEST::DXVersion", "0.0");
    Run();
    EXPECT_EQ(Value("HWTEST::CardChanged"), "true");
    EXPECT_EQ(Value("HWTEST::DXVersionChanged"), "true");

    Store("HWTEST::HWTesterVersion", "0");
    Run();
    EXPECT_EQ(Value("HWTEST::CardChanged"), "true");
    EXPECT_EQ(Value("HWTEST::DXVersionChanged"), "false");
}

TEST_F(HWTesterTest, ForcedRunTestsAgainAndWritesItsSnapshots)
{
    Run();
    Run(true);
    EXPECT_EQ(Value("HWTEST::CardChanged"), "true");
    EXPECT_FALSE(required);
    for (const char* name :
         {"InitialPrimarySurface", "InitialTextureSurface", "IsAlphaCapable_Primary",
          "IsAlphaCapable_Texture", "IsAdditiveCapable_Primary", "IsAdditiveCapable_Texture",
          "IsAdditiveAlphaCapable_Primary", "IsAdditiveAlphaCapable_Texture", "IsTextureSwitchingOK_Primary",
          "IsClipProblem_Primary"}) {
        const std::string path = folder / (std::string("HardwareTestResults/") + name + ".bmp");
        ASSERT_TRUE(std::filesystem::exists(path)) << name;
        EXPECT_EQ(folder.ReadText(std::string("HardwareTestResults/") + name + ".bmp").substr(0, 2), "BM");
    }
}

TEST_F(HWTesterTest, SnapshotsShowWhatEachTestDrew)
{
    Run(true);
    auto snapshot = [this](const char* name) {
        return folder.ReadText(std::string("HardwareTestResults/") + name + "_Primary.bmp");
    };
    // Alpha: black to almost white across the quad, black beyond it.
    const std::string alpha = snapshot("IsAlphaCapable");
    EXPECT_EQ(BmpPixel(alpha, 0, 10), 0x000000u);
    EXPECT_GE(BmpPixel(alpha, 63, 10) & 0xFF, 0xF0u);
    EXPECT_EQ(BmpPixel(alpha, 64, 10), 0x000000u);
    // Additive: two greys of 128 saturate; with alpha 64 four of them do not.
    EXPECT_EQ(BmpPixel(snapshot("IsAdditiveCapable"), 20, 63), 0xFFFFFFu);
    const uint32_t dim = BmpPixel(snapshot("IsAdditiveAlphaCapable"), 20, 63) & 0xFF;
    EXPECT_GT(dim, 100u);
    EXPECT_LE(dim, 150u);
    // Texture switching: the first quad keeps its blue where the second,
    // red, does not cover it.
    const std::string switching = snapshot("IsTextureSwitchingOK");
    EXPECT_EQ(BmpPixel(switching, 10, 30), 0x0000FFu);
    EXPECT_EQ(BmpPixel(switching, 40, 30), 0xFF0000u);
    // Clipping: one-pixel stripes run unbroken from the top of the surface
    // to its bottom (which texel a pixel's centre picks is the renderer's
    // own business).
    const std::string clip = snapshot("IsClipProblem");
    EXPECT_NE(BmpPixel(clip, 254, 0), BmpPixel(clip, 255, 0));
    for (int x : {0, 1, 254, 255}) {
        EXPECT_EQ(BmpPixel(clip, x, 255), BmpPixel(clip, x, 0)) << x;
        EXPECT_EQ(BmpPixel(clip, x, 128), BmpPixel(clip, x, 0)) << x;
    }
}

TEST_F(HWTesterTest, FailureInTheSetUpStoresTheReasonBeforeTheVerdict)
{
    Run(false, 1u << 20, 1u << 21);
    EXPECT_TRUE(required);
    EXPECT_TRUE(recommendedVerdict);
    const std::vector<std::string> order = {
        "HWTEST::CardGUID",         "HWTEST::HWTesterVersion",     "HWTEST::CardChanged",
        "HWTEST::DXVersion",        "HWTEST::DXVersionChanged",    "HWTEST::FailReason",
        "HWTEST::SafeModeRequired", "HWTEST::SafeModeRecommended", "HWTEST::Warnings"};
    EXPECT_EQ(Keys(), order);
    EXPECT_EQ(Value("HWTEST::FailReason"), "Not enought video memory");
    EXPECT_EQ(Value("HWTEST::SafeModeRequired"), "true");
    EXPECT_EQ(Value("HWTEST::Warnings"), "(none)");

    // The device is free again for the next run, which passes.
    Run(true);
    EXPECT_FALSE(required);
    EXPECT_EQ(Value("HWTEST::FailReason"), "(none)");
}

TEST_F(HWTesterTest, RendererOnTheProcessorIsNoHardwareDevice)
{
    // SDL's own renderer on a window: it draws correctly, but on the processor.
    Platform::Window window;
    ASSERT_TRUE(window.Create("Hardware test", 0, 0, 64, 64));
    device = Platform::Renderer::CreateForWindow(window.NativeHandle(), false);
    ASSERT_NE(device, nullptr);
    Run();
    device.reset();
    EXPECT_TRUE(required);
    EXPECT_TRUE(recommendedVerdict);
    EXPECT_EQ(Value("HWTEST::FailReason"), "CreateDevice(IID_IDirect3DHALDevice): DDERR_UNSUPPORTED");
}

TEST_F(HWTesterTest, WarningsAreJoinedAndRecommendTheSoftwareRenderer)
{
    Run(false, 6, 1u << 20);
    EXPECT_FALSE(required);
    EXPECT_TRUE(recommendedVerdict);
    EXPECT_EQ(Value("HWTEST::Warnings"), "Low video memory, " + kUnsupported);
}

TEST_F(HWTesterTest, SupportedCardsListAcceptsTheCardInAnyCase)
{
    std::filesystem::create_directories(folder / "HardwareTestResults");
    // Entries are taken as written: " softw" with its blank is not a match.
    folder.WriteText(kResults, "HWTEST::SupportedCards=radeonish, softw\r\n");
    Run();
    EXPECT_EQ(Value("HWTEST::Warnings"), kUnsupported);

    Store("HWTEST::SupportedCards", "other,softw");
    Run(true);
    EXPECT_EQ(Value("HWTEST::Warnings"), "(none)");
    EXPECT_EQ(Value("HWTEST::SupportedCards"), "other,softw");
}

TEST(HWTesterReadBack, ChannelShiftIsTheLowestSetBit)
{
    EXPECT_EQ(HWTester::ChannelShift(0x00FF0000), 16);
    EXPECT_EQ(HWTester::ChannelShift(0x07E0), 5);
    EXPECT_EQ(HWTester::ChannelShift(0x001F), 0);
    EXPECT_EQ(HWTester::ChannelShift(0), 0);
}

TEST(HWTesterReadBack, PixelsReadThroughTheChannelMasks)
{
    Platform::SurfaceDesc desc;
    desc.format = Platform::PixelFormat::RGB565();
    // Red 16 of 31, green full, blue 0.
    const uint16_t word = 16 << 11 | 0x3F << 5;
    const uint8_t bytes16[2] = {static_cast<uint8_t>(word), static_cast<uint8_t>(word >> 8)};
    EXPECT_EQ(HWTester::ReadPixel(desc, bytes16), 0xFF83FF00u);

    desc.format = Platform::PixelFormat::XRGB8888();
    const uint8_t bytes32[4] = {0x11, 0x22, 0x33, 0x00};
    EXPECT_EQ(HWTester::ReadPixel(desc, bytes32), 0xFF332211u);

    desc.format = Platform::PixelFormat{8, 0, 0, 0, 0};
    const uint8_t byte8[1] = {0x42};
    EXPECT_EQ(HWTester::ReadPixel(desc, byte8), 0xFF424242u);
}

TEST(HWTesterReadBack, AlphaStepsCountOnlyStrictRises)
{
    const Platform::PixelFormat xrgb = Platform::PixelFormat::XRGB8888();
    EXPECT_EQ(HWTester::CountAlphaSteps(*Row(Greys(64, 4), xrgb)), 63);
    // Drawn opaque: all white, nothing rises.
    EXPECT_EQ(HWTester::CountAlphaSteps(*Row(std::vector<uint32_t>(64, 0xFFFFFFFF), xrgb)), 0);
    // A rise in two channels only does not count.
    EXPECT_EQ(HWTester::CountAlphaSteps(*Row({0xFF000000, 0xFF101000, 0xFF202020}, xrgb)), 1);
    // Five-bit channels repeat levels: fewer steps, still well above the warning.
    const int steps565 = HWTester::CountAlphaSteps(*Row(Greys(64, 4), Platform::PixelFormat::RGB565()));
    EXPECT_LT(steps565, 63);
    EXPECT_GE(steps565, 12);
}

TEST(HWTesterReadBack, BrightPixelsAndColoursOfTheFirstRow)
{
    const Platform::PixelFormat xrgb = Platform::PixelFormat::XRGB8888();
    EXPECT_EQ(HWTester::CountBrightPixels(*Row(std::vector<uint32_t>(64, 0xFFFFFFFF), xrgb)), 64);
    EXPECT_EQ(HWTester::CountBrightPixels(*Row(std::vector<uint32_t>(64, 0xFF808080), xrgb)), 0);
    EXPECT_EQ(HWTester::CountBrightPixels(*Row(std::vector<uint32_t>(64, 0xFF979797), xrgb)), 64);
    // Pixels beyond the 64th are not looked at.
    std::vector<uint32_t> late(80, 0xFF000000);
    late[70] = 0xFFFF0000;
    EXPECT_FALSE(HWTester::ShowsColor(*Row(late, xrgb), 0xFF0000));
    late[10] = 0xFFFF0000;
    EXPECT_TRUE(HWTester::ShowsColor(*Row(late, xrgb), 0xFF0000));
    EXPECT_FALSE(HWTester::ShowsColor(*Row(late, xrgb), 0x0000FF));
}

TEST(HWTesterReadBack, ClipProblemIsAColumnThatChangesDownward)
{
    Platform::Surface stripes(256, 256, Platform::PixelFormat::XRGB8888());
    for (int y = 0; y < 256; ++y) {
        for (int x = 0; x < 256; ++x) {
            stripes.SetPixel(x, y, x % 2 == 0 ? 0xFFFFFFFF : 0xFF000000);
        }
    }
    EXPECT_FALSE(HWTester::HasClipProblem(stripes));
    // Odd columns are not looked at.
    stripes.SetPixel(11, 200, 0xFFFFFFFF);
    EXPECT_FALSE(HWTester::HasClipProblem(stripes));
    stripes.SetPixel(12, 200, 0xFF808080);
    EXPECT_FALSE(HWTester::HasClipProblem(stripes));
    stripes.SetPixel(12, 255, 0xFF7E7E7E);
    EXPECT_TRUE(HWTester::HasClipProblem(stripes));
}
