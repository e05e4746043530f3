#include "app/App.h"
#include "app/Graphics.h"
#include "platform/Dialogs.h"

#include "support/CaughtStderr.h"
#include "support/FileModes.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>

namespace {
// An application object whose command line and data folder the test sets,
// and the graphics device started on it without a window.
class GraphicsStartupTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        previous = std::filesystem::current_path();
        std::filesystem::current_path(folder.Path());
        NewApp();
    }

    // In place of the one before, as a restart makes it.
    void NewApp()
    {
        app.reset();
        app = std::make_unique<App>();
        app->dataFolder = folder.Path().c_str();
        app->configPath = (folder / "config.cfg").c_str();
    }

    void TearDown() override
    {
        theGraphics.Shutdown();
        app.reset();
        theGraphics.ResetState();
        std::filesystem::current_path(previous);
    }

    void Start(std::vector<std::string> arguments = {})
    {
        app->arguments = std::move(arguments);
        ASSERT_TRUE(theGraphics.Startup(nullptr));
    }

    void WriteResults(const std::string& text)
    {
        std::filesystem::create_directories(folder / "HardwareTestResults");
        folder.WriteText("HardwareTestResults/Hardware.registry", text);
    }

    // A first start stores the tester's results; they are then changed to
    // advise the software renderer, and the next start takes them as they stand.
    void StoreSoftwareAdvice()
    {
        Start();
        theGraphics.Shutdown();
        std::string results = folder.ReadText("HardwareTestResults/Hardware.registry");
        const size_t at = results.find("HWTEST::SafeModeRecommended=false");
        ASSERT_NE(at, std::string::npos);
        results.replace(at, 33, "HWTEST::SafeModeRecommended=true");
        WriteResults(results);
    }

    void WriteConfig(const std::string& confirm, const std::string& safeMode)
    {
        folder.WriteText("config.cfg", "DX::ScreenWidth=800\r\nDX::ScreenHeight=600\r\nDX::ColorDepth=16\r\n"
                                       "DX::ConfirmHardware=" +
                                           confirm + "\r\nDX::SafeMode=" + safeMode + "\r\n");
    }

    bool ConfigHas(const std::string& line)
    {
        return folder.ReadText("config.cfg").find(line) != std::string::npos;
    }

    TemporaryFolder folder;
    std::filesystem::path previous;
    std::unique_ptr<App> app;
    Platform::Dialogs::Recorder dialogs;
};
} // namespace

TEST_F(GraphicsStartupTest, FirstRunWritesTheDefaultsInOrder)
{
    Start();
    EXPECT_FALSE(theGraphics.mSoftware);
    EXPECT_EQ(theGraphics.mWidth, 800);
    EXPECT_EQ(theGraphics.mHeight, 600);
    EXPECT_FALSE(theGraphics.mFullscreen);
    EXPECT_EQ(folder.ReadText("config.cfg"), "DX::ScreenWidth=800\r\n"
                                             "DX::ScreenHeight=600\r\n"
                                             "DX::ColorDepth=16\r\n"
                                             "DX::Fullscreen=false\r\n"
                                             "DX::UseCustomCursors=false\r\n"
                                             "DX::VSync=false\r\n"
                                             "DX::SafeMode=false\r\n");
    // The hardware test ran and kept its results.
    EXPECT_TRUE(std::filesystem::exists(folder / "HardwareTestResults/Hardware.registry"));
}

// Before its data folder is resolved, an application keeps the tester's
// results in the working folder, never at the root of the file system.
TEST_F(GraphicsStartupTest, UnresolvedDataFolderMeansTheWorkingFolder)
{
    app->dataFolder = "";
    Start();
    EXPECT_TRUE(std::filesystem::exists(folder / "HardwareTestResults/Hardware.registry"));
}

TEST_F(GraphicsStartupTest, SoftwareSwitchWinsOverHardware)
{
    Start({"-hardware", "-software"});
    EXPECT_TRUE(theGraphics.mSafeModeRequired);
    EXPECT_TRUE(theGraphics.mSafeModeRecommended);
    EXPECT_TRUE(theGraphics.mSoftware);
    EXPECT_EQ(theGraphics.mWidth, 640);
    EXPECT_EQ(theGraphics.mHeight, 480);
    EXPECT_EQ(theGraphics.mDevice, nullptr);
    // With a switch the stored choice is left as it was.
    EXPECT_EQ(folder.ReadText("config.cfg").find("DX::SafeMode"), std::string::npos);
}

TEST_F(GraphicsStartupTest, StoredSafeModeHoldsEvenWithTheHardwareSwitch)
{
    folder.WriteText("config.cfg", "DX::ScreenWidth=800\r\nDX::ScreenHeight=600\r\nDX::ColorDepth=32\r\n"
                                   "DX::SafeMode=true\r\n");
    Start({"-hardware"});
    EXPECT_FALSE(theGraphics.mSafeModeRequired);
    EXPECT_TRUE(theGraphics.mSoftware);
    EXPECT_EQ(theGraphics.mColorDepth, 32);
}

TEST_F(GraphicsStartupTest, HardwareTestVerdictsChooseTheRenderer)
{
    StoreSoftwareAdvice();
    std::filesystem::remove(folder / "config.cfg");
    Start();
    EXPECT_TRUE(theGraphics.mSafeModeRecommended);
    // Recommended only: the stored choice becomes software.
    EXPECT_TRUE(theGraphics.mSoftware);
    EXPECT_NE(folder.ReadText("config.cfg").find("DX::SafeMode=true"), std::string::npos);
}

TEST_F(GraphicsStartupTest, HardwareAgainstAdviceIsConfirmedOnceAtShutdown)
{
    StoreSoftwareAdvice();
    WriteConfig("true", "false");
    dialogs.answer = false;
    Start();
    EXPECT_TRUE(theGraphics.mSafeModeRecommended);
    EXPECT_FALSE(theGraphics.mSoftware);
    EXPECT_EQ(dialogs.questions, 0);
    theGraphics.Shutdown();
    EXPECT_EQ(dialogs.questions, 1);
    EXPECT_EQ(dialogs.title, "Hardware Acceleration Confirmation");
    EXPECT_EQ(dialogs.text, "Hardware Acceleration was switched on during your last session.\r\n"
                            "If this resulted in slower performance, or graphical errors, it should be "
                            "switched off.\r\nWould you like to keep Hardware Acceleration switched on?");
    // No: the software renderer next time, and no second question.
    EXPECT_TRUE(ConfigHas("DX::SafeMode=true"));
    EXPECT_TRUE(ConfigHas("DX::ConfirmHardware=false"));

    WriteConfig("true", "false");
    dialogs.answer = true;
    Start();
    theGraphics.Shutdown();
    EXPECT_EQ(dialogs.questions, 2);
    EXPECT_TRUE(ConfigHas("DX::SafeMode=false"));
    EXPECT_TRUE(ConfigHas("DX::ConfirmHardware=false"));
}

TEST_F(GraphicsStartupTest, HardwareConfirmationNeedsTheKeyTheHardwareRendererAndTheAdvice)
{
    // No advice against the hardware renderer.
    Start();
    theGraphics.Shutdown();
    WriteConfig("true", "false");
    Start();
    theGraphics.Shutdown();
    EXPECT_TRUE(ConfigHas("DX::ConfirmHardware=true"));

    // Advice, but the software renderer ran.
    StoreSoftwareAdvice();
    WriteConfig("true", "true");
    Start();
    theGraphics.Shutdown();
    EXPECT_TRUE(ConfigHas("DX::ConfirmHardware=true"));

    // Advice and the hardware renderer, but the question was answered before.
    WriteConfig("false", "false");
    Start();
    theGraphics.Shutdown();
    EXPECT_EQ(dialogs.questions, 0);
}

TEST_F(GraphicsStartupTest, UnusableSizeFallsBackToFullScreenHardware)
{
    folder.WriteText("config.cfg", "DX::ScreenWidth=0\r\nDX::ScreenHeight=600\r\nDX::ColorDepth=16\r\n"
                                   "DX::SafeMode=true\r\n");
    Start();
    EXPECT_FALSE(theGraphics.mSoftware);
    EXPECT_EQ(theGraphics.mWidth, 800);
    EXPECT_EQ(theGraphics.mHeight, 600);
    EXPECT_TRUE(theGraphics.mFullscreen);
    theGraphics.Shutdown();

    // A size too small to play in gives the requested one, and is written
    // back so. (In full screen: a window is fitted to the test's desktop.)
    for (const char* size : {"801\r\nDX::ScreenHeight=3", "639\r\nDX::ScreenHeight=480",
                             "-800\r\nDX::ScreenHeight=600", "640\r\nDX::ScreenHeight=479"}) {
        theGraphics.ResetState();
        folder.WriteText("config.cfg", std::string("DX::ScreenWidth=") + size +
                                           "\r\nDX::ColorDepth=16\r\nDX::Fullscreen=true\r\n");
        Start({"-hardware"});
        EXPECT_EQ(theGraphics.mWidth, 800) << size;
        EXPECT_EQ(theGraphics.mHeight, 600) << size;
        theGraphics.Shutdown();
        EXPECT_TRUE(ConfigHas("DX::ScreenWidth=800\r\nDX::ScreenHeight=600\r\n")) << size;
    }
}

TEST_F(GraphicsStartupTest, DeviceListCardsApplyToTheirAdapter)
{
    // The window-free renderer calls itself "software".
    std::filesystem::create_directories(folder / "data");
    folder.WriteText("data/devices.xml",
                     "<CARD name=\"other\"><DEFAULTCOLORDEPTH>32</DEFAULTCOLORDEPTH></CARD>\n"
                     "<card name=\"SOFTWARE\">\n"
                     "  <DEFAULTCOLORDEPTH>24</DEFAULTCOLORDEPTH>\n"
                     "  <DEFAULTRESOLUTION>1024x768</DEFAULTRESOLUTION>\n"
                     "  <DEFAULTFULLSCREEN>true</DEFAULTFULLSCREEN>\n"
                     "  <FORCESAFEMODE dxversion=\"7.0b\">true</FORCESAFEMODE>\n"
                     "  <FORCEHWMODE dxversion=\"7\">true</FORCEHWMODE>\n"
                     "</card>\n");
    WriteResults("HWTEST::DXVersion=7.0a\r\n");
    Start();
    EXPECT_EQ(theGraphics.mRequestedColorDepth, 16);
    EXPECT_EQ(theGraphics.mRequestedWidth, 1024);
    EXPECT_EQ(theGraphics.mRequestedHeight, 768);
    EXPECT_TRUE(theGraphics.mRequestedFullscreen);
    // "7.0b" is not a prefix of "7.0a"; "7" is.
    EXPECT_FALSE(theGraphics.mSafeModeRequired);
    EXPECT_FALSE(theGraphics.mSoftware);
    EXPECT_EQ(theGraphics.mWidth, 1024);
    EXPECT_TRUE(theGraphics.mFullscreen);
}

TEST_F(GraphicsStartupTest, ShutdownWritesThePendingModeBack)
{
    Start();
    theGraphics.SetPendingMode(true, 1024, 768);
    theGraphics.Shutdown();
    EXPECT_EQ(folder.ReadText("config.cfg"), "DX::ScreenWidth=1024\r\n"
                                             "DX::ScreenHeight=768\r\n"
                                             "DX::ColorDepth=16\r\n"
                                             "DX::Fullscreen=false\r\n"
                                             "DX::UseCustomCursors=false\r\n"
                                             "DX::VSync=false\r\n"
                                             "DX::SafeMode=true\r\n");
    // A second shutdown does nothing.
    folder.WriteText("config.cfg", "");
    theGraphics.Shutdown();
    EXPECT_EQ(folder.ReadText("config.cfg"), "");

    // The application a restart makes writes back its own mode: the change
    // was made once.
    WriteConfig("false", "false");
    NewApp();
    Start();
    theGraphics.Shutdown();
    EXPECT_TRUE(ConfigHas("DX::ScreenWidth=800\r\nDX::ScreenHeight=600\r\n"));
    EXPECT_TRUE(ConfigHas("DX::SafeMode=false"));
}

TEST_F(GraphicsStartupTest, WindowFitsTheDesktopStepByStep)
{
    Start();
    theGraphics.mFullscreen = false;
    theGraphics.mWindowFrameHeight = 30;
    // A width between the known sizes still steps down and ends.
    theGraphics.mWidth = 1100;
    theGraphics.mHeight = 900;
    theGraphics.FitWindowToDesktop();
    EXPECT_LE(theGraphics.mWidth, theGraphics.mDesktopWidth - 30);
    EXPECT_LE(theGraphics.mHeight, theGraphics.mDesktopHeight - 30);
    EXPECT_GE(theGraphics.mWidth, 640);
}

TEST_F(GraphicsStartupTest, RefreshRateIsHeldBetween60And100)
{
    Start();
    EXPECT_GE(theGraphics.mRefreshRate, 60);
    EXPECT_LE(theGraphics.mRefreshRate, 100);
    EXPECT_EQ(theGraphics.mRefreshMs, 1000 / theGraphics.mRefreshRate);
}

TEST_F(GraphicsStartupTest, ScreenshotIsA24BitBmpOthersCanRead)
{
    Start();
    Platform::Surface surface(801, 3, Platform::PixelFormat::XRGB8888());
    surface.FillRect(0, 0, 801, 3, 0x00FF8040);
    surface.SetPixel(0, 0, 0xFF0000FF);
    std::filesystem::create_directories(folder / "Screenshots");
    ASSERT_TRUE(theGraphics.SaveBMP("Screenshots\\shot.bmp", &surface));
    std::ifstream file(folder / "Screenshots/shot.bmp", std::ios::binary);
    ASSERT_TRUE(file.good());
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    auto le32 = [&bytes](size_t at) {
        return bytes[at] | (bytes[at + 1] << 8) | (bytes[at + 2] << 16) |
               (static_cast<uint32_t>(bytes[at + 3]) << 24);
    };
    ASSERT_GE(bytes.size(), 54u);
    EXPECT_EQ(bytes[0], 'B');
    EXPECT_EQ(bytes[1], 'M');
    const uint32_t imageSize = 808 * 3 * 3; // rows counted as 808 pixels of 3 bytes
    EXPECT_EQ(le32(34), imageSize);
    EXPECT_EQ(le32(2), 54 + imageSize);
    EXPECT_EQ(bytes.size(), 54 + imageSize);
    EXPECT_EQ(le32(10), 54u);
    EXPECT_EQ(le32(14), 40u);
    EXPECT_EQ(le32(18), 801u);
    EXPECT_EQ(le32(22), 3u);
    EXPECT_EQ(bytes[28], 24);
    // The top-left pixel is in the last row of the file (bottom-up), blue first.
    const size_t stride = (801 * 3 + 3) & ~3;
    EXPECT_EQ(bytes[54 + 2 * stride + 0], 0xFF);
    EXPECT_EQ(bytes[54 + 2 * stride + 2], 0x00);
    EXPECT_EQ(bytes[54 + 3], 0x40);

    if (std::system("command -v identify > /dev/null 2>&1") != 0) {
        GTEST_SKIP() << "no image tool to cross-check with";
    }
    const std::string command = "identify -format '%w %h %z' '" + (folder / "Screenshots/shot.bmp") +
                                "' > identified.txt 2>/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_EQ(folder.ReadText("identified.txt"), "801 3 8");
}

TEST_F(GraphicsStartupTest, FailedTexturesRestartInSoftwareThenGiveUp)
{
    Start();
    // Nothing can be made of an empty size: the second failure asks for a
    // restart on the software renderer, and the attempts end.
    EXPECT_EQ(theGraphics.CreateTexture(0, 16), nullptr);
    EXPECT_TRUE(theGraphics.mPendingMode);
    EXPECT_TRUE(theGraphics.mPendingSoftware);
    EXPECT_FLOAT_EQ(theGraphics.mPendingWidth, 800);

    // The software renderer asks for no restart; the attempts still end.
    theGraphics.mPendingMode = false;
    theGraphics.mSoftware = true;
    app->quit = false;
    EXPECT_EQ(theGraphics.CreateTexture(16, 0), nullptr);
    EXPECT_FALSE(theGraphics.mPendingMode);

    Platform::SurfaceDesc desc;
    std::unique_ptr<Platform::Surface> made(theGraphics.CreateTexture(64, 32, &desc));
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(desc.width, 64);
    EXPECT_EQ(desc.format, Platform::PixelFormat::ARGB8888());
}

TEST_F(GraphicsStartupTest, ModeSwitchesRemakeTheSurfacesOnce)
{
    Start();
    theGraphics.SwitchMode(640, 480, false);
    EXPECT_EQ(theGraphics.mWidth, 640);
    EXPECT_EQ(theGraphics.mDevice->GetAdapterInfo().maxTextureWidth > 0, true);
    Platform::Surface frame(640, 480, Platform::PixelFormat::XRGB8888());
    EXPECT_TRUE(theGraphics.mDevice->ReadBackBuffer(frame));

    // A switch asked for while one runs does nothing.
    ++theGraphics.mModeSwitching;
    theGraphics.SetFullscreen(true);
    theGraphics.SwitchMode(800, 600, false);
    --theGraphics.mModeSwitching;
    EXPECT_FALSE(theGraphics.mFullscreen);
    EXPECT_EQ(theGraphics.mWidth, 640);

    theGraphics.SetFullscreen(true);
    EXPECT_TRUE(theGraphics.mFullscreen);
    theGraphics.SetFullscreen(false);
    EXPECT_FALSE(theGraphics.mFullscreen);
}

// A data folder that cannot be searched is named on standard error once, as
// that folder: never as the tester's results file or the settings in it,
// which cannot even be looked for.
TEST_F(GraphicsStartupTest, ADataFolderThatCannotBeSearchedIsNamedAsThatFolder)
{
    const std::string data = folder / "Quorb";
    std::filesystem::create_directory(data);
    app->dataFolder = data.c_str();
    app->configPath = (data + "/config.cfg").c_str();
    ASSERT_EQ(chmod(data.c_str(), 0600), 0);
    const bool obeyed = RunObeyingFileModes([&] {
        CaughtStderr caught;
        Start();
        theGraphics.Shutdown();
        const std::string printed = caught.Text();
        EXPECT_EQ(printed, "WARNING: the folder " + data +
                               " could not be searched (Permission denied); the files in it are left as they are\n");
    });
    chmod(data.c_str(), 0700);
    if (!obeyed)
        GTEST_SKIP() << "the test's process cannot give up passing over the files' modes";
}
