#include "app/App.h"

#include "app/AppLock.h"
#include "app/Font.h"
#include "app/Graphics.h"
#include "app/Image.h"
#include "app/Sound.h"
#include "app/Sprite.h"
#include "app/SpriteBundle.h"
#include "platform/Display.h"
#include "platform/Shell.h"
#include "support/ScopedVariable.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>

namespace {
namespace fs = std::filesystem;

constexpr uint32_t kRed = 0xFFFF0000;
constexpr uint32_t kBlack = 0xFF000000;
constexpr uint32_t kRunMilliseconds = 2500;
constexpr int kFrames = 20;

// What one pass of the loader made, kept for the main thread to draw.
struct Loaded
{
    std::unique_ptr<SpriteBundle> bundle;
    std::unique_ptr<Font> font;
    std::unique_ptr<Font> scriptFont;
    std::unique_ptr<Sprite> sprite;
    std::unique_ptr<Sound> sound;
};

// A real application whose loader loads the game's bundles, fonts and sounds
// over and over, replacing (and so releasing) what the main thread draws,
// until the main thread has drawn for long enough. Every frame the main
// thread draws a sprite of its own and the loader's latest text and sprite,
// then reads the frame back.
class LoadingApp : public App
{
  public:
    explicit LoadingApp(const std::string& appName)
    {
        SetName(appName.c_str());
        SetVersion("1.0");
    }

    void Load() override
    {
        while (!stop) {
            auto fresh = std::make_unique<Loaded>();
            fresh->bundle = std::make_unique<SpriteBundle>();
            fresh->bundle->Load("graphics\\gameplay");
            fresh->font = std::make_unique<Font>();
            fresh->font->Load("Fonts\\ArialBlack23");
            fresh->scriptFont = std::make_unique<Font>();
            fresh->scriptFont->Load("Fonts\\Condensed18");
            fresh->sprite = std::make_unique<Sprite>();
            fresh->sprite->Load("graphics\\donedown");
            fresh->sound = std::make_unique<Sound>();
            fresh->sound->Load("sounds\\match", 2);
            Check(*fresh);
            {
                AppLock lock;
                shown.swap(fresh);
            }
            // The previous pass's textures are released here, on the loader.
            fresh.reset();
            ++rounds;
        }
    }

    void Draw() override
    {
        theGraphics.SetColor(Color(0, 0, 0, 1));
        theGraphics.FillRect(0, 0, float(theGraphics.mWidth), float(theGraphics.mHeight));
        theGraphics.SetColor(Color(1, 1, 1, 1));
        own->Draw(20, 20);
        if (shown) {
            shown->font->Draw("Quorb", 100, 120);
            shown->scriptFont->Draw("Quorb", 100, 200);
            shown->sprite->Draw(300, 100);
        }
    }

    void EndDraw() override
    {
        App::EndDraw();
        const Platform::Surface& frame = Frame();
        ++frames;
        ownCorrect += frame.GetPixel(28, 28) == kRed && frame.GetPixel(60, 60) == kBlack ? 1 : 0;
        if (shown) {
            ++framesWithText;
            textDrawn += LitPixels(frame, 100, 80, 250, 240) > 50 ? 1 : 0;
        }
    }

    void Update() override
    {
        App::Update();
        // The loader finishes its pass first: a quit cuts loading short.
        if (clock() - started >= kRunMilliseconds && rounds >= 2 && frames >= kFrames)
            stop = true;
        if (stop && loaded && !quit)
            Quit();
    }

    const Platform::Surface& Frame()
    {
        // The software renderer's frame, before present copies it out.
        if (theGraphics.mSoftware)
            return *theGraphics.mSWHelper.GetSurface();
        readBack = std::make_unique<Platform::Surface>(theGraphics.mWidth, theGraphics.mHeight,
                                                       Platform::PixelFormat::XRGB8888());
        theGraphics.mDevice->ReadBackBuffer(*readBack);
        return *readBack;
    }

    static int LitPixels(const Platform::Surface& frame, int x0, int y0, int x1, int y1)
    {
        int lit = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                lit += (frame.GetPixel(x, y) & 0xFFFFFF) != 0 ? 1 : 0;
        return lit;
    }

    // Runs on the loader: a pass that loaded less than the whole set counts
    // as a failed one.
    void Check(const Loaded& loaded)
    {
        const bool bundleOk = theGraphics.mSoftware || loaded.bundle->Get("quorbs") != nullptr ||
                              loaded.bundle->mEntries.size() > 3;
        const bool fontsOk = loaded.font->GetWidth("Quorb") > 20 && loaded.scriptFont->GetWidth("Quorb") > 10;
        const bool spriteOk = loaded.sprite->mWidth > 0 && loaded.sprite->mHeight > 0;
        const bool soundOk = loaded.sound->GetVoiceCount() == 3;
        if (!(bundleOk && fontsOk && spriteOk && soundOk))
            ++failedRounds;
    }

    std::unique_ptr<Sprite> own;
    std::unique_ptr<Loaded> shown;
    std::unique_ptr<Platform::Surface> readBack;
    std::atomic<bool> stop{false};
    std::atomic<int> rounds{0};
    std::atomic<int> failedRounds{0};
    uint32_t started = 0;
    int frames = 0;
    int ownCorrect = 0;
    int framesWithText = 0;
    int textDrawn = 0;
};

// Runs from the program folder, where the assets are, with a private data home.
class LoadWhileDrawing : public testing::TestWithParam<bool>
{
  protected:
    void SetUp() override
    {
        oldFolder = fs::current_path();
        const char* program = std::getenv("QS_PROGRAM_DIR");
        ASSERT_NE(program, nullptr);
        fs::current_path(program);
    }

    void TearDown() override
    {
        Platform::Shell::SetArguments(0, nullptr);
        fs::current_path(oldFolder);
    }

    TemporaryFolder data;
    const ScopedVariable dataHome{"XDG_DATA_HOME", (data / "data").c_str()};
    fs::path oldFolder;
};

TEST_P(LoadWhileDrawing, LoaderReplacesWhatTheMainThreadDraws)
{
    const bool software = GetParam();
    const char* argv[] = {"quorbswap", software ? "-software" : "-hardware"};
    Platform::Shell::SetArguments(2, argv);
    auto app = std::make_unique<LoadingApp>("QuorbLoadWhileDrawing" + std::to_string(getpid()));
    app->Initialize();
    ASSERT_FALSE(app->quit);
    ASSERT_EQ(theGraphics.mSoftware, software);

    Image red;
    red.Create(16, 16, false);
    std::fill(red.mPixels, red.mPixels + 16 * 16, kRed);
    app->own = std::make_unique<Sprite>(&red, Rect(0, 0, 16, 16));
    app->started = app->clock();
    app->Go();

    EXPECT_GE(app->rounds, 2);
    EXPECT_EQ(app->failedRounds, 0);
    EXPECT_GE(app->frames, kFrames);
    EXPECT_EQ(app->ownCorrect, app->frames);
    EXPECT_GT(app->framesWithText, 0);
    EXPECT_EQ(app->textDrawn, app->framesWithText);
    app->shown.reset();
    app->own.reset();
}

INSTANTIATE_TEST_SUITE_P(BothRenderers, LoadWhileDrawing, testing::Values(false, true),
                         [](const testing::TestParamInfo<bool>& info) {
                             return info.param ? std::string("Software") : std::string("Hardware");
                         });

} // namespace
