// The options menu over the main menu, driven through the input queue.
#include "game/OptionsMenu.h"

#include "app/Audio.h"
#include "app/Graphics.h"
#include "app/RunApplication.h"
#include "app/SoundInstance.h"
#include "game/MainMenu.h"
#include "platform/Sound.h"
#include "support/MenuSteps.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {
// The main menu with the options menu opened from it.
void OpenOptions(ScriptedQuorbSwapApp& app)
{
    app.When([&app] { return Settled(app); }, [&app] {
        EnterProfile(app);
        app.GoToMainMenu(false);
    });
    app.When([&app] { return app.mainMenu != nullptr; }, [&app] { app.ClickOn(app.mainMenu->optionsButton); });
}
} // namespace

// The volume, the full-screen choices, the renderer choice in safe mode and
// with the renderer in use, and the slot of a menu that goes while a newer
// one is open, in turn.
TEST(OptionsMenuTest, EveryChoiceTakesEffectAsItShould)
{
    GameAppHarness harness;
    ScriptedQuorbSwapApp& app = harness.Start();
    app.updateLimit = kUpdateLimit;
    SoundInstance* voice = nullptr;
    float startValue = -1.0f;
    bool sliderShown = false;
    float volumeSet = -1.0f;
    int32_t attenuation = 0;
    bool fullScreen = false;
    bool windowed = false;
    bool restartInSafeMode = true;
    bool restartForSameRenderer = true;
    OptionsMenu* older = nullptr;
    OptionsMenu* newer = nullptr;
    OptionsMenu* slotAfterOlder = nullptr;
    OpenOptions(app);
    app.When([&] { return Top<OptionsMenu>(app) != nullptr; }, [&] {
        voice = app.sndWarningLoop.GetVoice(0);
        voice->PlayLooped(1.0f);
        Slider& slider = app.optionsMenu->volumeSlider;
        startValue = slider.value;
        sliderShown = !slider.invisible;
        Point corner = slider.GetAbsolutePosition();
        const int x = static_cast<int>(corner.x + slider.GetThumbCenter());
        const int y = static_cast<int>(corner.y + slider.rect.h / 2);
        app.input.Move(x, y);
        app.input.Press(x, y);
        app.input.Move(x - 100, y);
        app.input.Release(x - 100, y);
        volumeSet = theAudio.GetSoundVolume();
        attenuation = voice->GetBuffer()->GetVolume();
        app.ClickOn(app.optionsMenu->fullScreenOnButton);
        fullScreen = theGraphics.mFullscreen;
        app.ClickOn(app.optionsMenu->fullScreenOffButton);
        windowed = !theGraphics.mFullscreen;
        // In safe mode the other renderer may be chosen, but done never
        // restarts.
        theGraphics.mSafeModeRecommended = true;
        app.ClickOn(theGraphics.mSoftware ? app.optionsMenu->hardwareOnButton : app.optionsMenu->hardwareOffButton);
        app.ClickOn(app.optionsMenu->doneButton);
        restartInSafeMode = app.restart;
    });
    app.When([&] { return app.optionsMenu == nullptr && Top<MainMenu>(app) != nullptr; }, [&] {
        theGraphics.mSafeModeRecommended = false;
        theGraphics.mSafeModeRequired = false;
        app.ClickOn(app.mainMenu->optionsButton);
        app.ClickOn(app.optionsMenu->doneButton);
        restartForSameRenderer = app.restart;
        OptionsMenu::Open(&app);
        older = app.optionsMenu;
        OptionsMenu::Open(&app);
        newer = app.optionsMenu;
        older->Kill();
    });
    app.When([&] { return app.rootGadgets.live.IndexOf(older) < 0 && app.rootGadgets.graveyard.IndexOf(older) < 0; },
             [&] {
                 slotAfterOlder = app.optionsMenu;
                 app.ClickOn(app.optionsMenu->doneButton);
             });
    app.When([&] { return app.optionsMenu == nullptr; }, [&] { app.Quit(); });
    harness.RunAndClose();
    theAudio.ResetSoundVolume();
    EXPECT_TRUE(sliderShown);
    EXPECT_FLOAT_EQ(startValue, 1.0f);
    EXPECT_LT(volumeSet, 0.9f);
    EXPECT_EQ(attenuation, Audio::VolumeToAttenuation(volumeSet));
    EXPECT_TRUE(fullScreen);
    EXPECT_TRUE(windowed);
    EXPECT_FALSE(restartInSafeMode);
    EXPECT_FALSE(restartForSameRenderer);
    EXPECT_NE(newer, older);
    EXPECT_EQ(slotAfterOlder, newer);
}

// The restart loop builds a new application, which starts in the renderer
// chosen: software at 640 x 480.
TEST(OptionsMenuTest, ChoosingTheOtherRendererRestartsTheApplicationInIt)
{
    GameAppHarness harness;
    const std::filesystem::path folder = std::filesystem::current_path();
    int built = 0;
    bool chosenInFirst = false;
    bool softwareAfter = false;
    int widthAfter = 0;
    const char* argv[] = {"QuorbSwap", "-hardware"};
    int status = RunApplication(2, argv, [&]() -> App* {
        std::filesystem::current_path(folder);
        auto* app = new ScriptedQuorbSwapApp();
        app->updateLimit = kUpdateLimit;
        if (built++ == 0) {
            OpenOptions(*app);
            app->When([app] { return Top<OptionsMenu>(*app) != nullptr && !theGraphics.mSoftware; }, [&, app] {
                app->ClickOn(app->optionsMenu->hardwareOffButton);
                chosenInFirst = !app->optionsMenu->wantHardware;
                app->ClickOn(app->optionsMenu->doneButton);
            });
        } else {
            app->When([app] { return Settled(*app); }, [&, app] {
                softwareAfter = theGraphics.mSoftware;
                widthAfter = theGraphics.mWidth;
                app->Quit();
            });
        }
        return app;
    });
    theGraphics.mPendingMode = false;
    EXPECT_EQ(status, 0);
    EXPECT_EQ(built, 2);
    EXPECT_TRUE(chosenInFirst);
    EXPECT_TRUE(softwareAfter);
    EXPECT_EQ(widthAfter, 640);
}
