// The main menu and the pickers it runs, driven through the input queue.
#include "game/MainMenu.h"

#include "app/FileHelpers.h"
#include "game/Game.h"
#include "game/GamePicker.h"
#include "game/InfoDialog.h"
#include "game/OptionsMenu.h"
#include "game/PickDiff.h"
#include "game/ProfileManagerDialog.h"
#include "game/Puzzler.h"
#include "support/MenuSteps.h"
#include "support/MessageFit.h"
#include "support/SdlEventInjector.h"

#include <gtest/gtest.h>

#include <string>
#include <sys/stat.h>
#include <vector>

namespace {
constexpr int kNoChoice = -1;

const char* const kSaves[] = {"journey.sav", "casual.sav", "speed.sav"};
const char* const kEraseQuestions[] = {
    "A saved Journey exists.  Really erase it and start a new one?",
    "A saved Casual Game exists.  Really erase it and start a new one?",
    "A saved Speed Game exists.  Really erase it and start a new one?",
};

int ModeOf(const ScriptedQuorbSwapApp& app)
{
    return static_cast<int>(app.gameMode);
}

// The main menu alone, nothing over it and no switch running.
bool OnMenu(ScriptedQuorbSwapApp& app)
{
    return Settled(app) && Top<MainMenu>(app) != nullptr;
}

void EnterMainMenu(ScriptedQuorbSwapApp& app)
{
    EnterProfile(app);
    app.GoToMainMenu(false);
}
} // namespace

// Options, change user, resume without saves, records, resume with one
// save, and exit, in turn.
TEST(MainMenuTest, EveryButtonDoesItsJob)
{
    GameAppHarness harness;
    ScriptedQuorbSwapApp& app = harness.Start();
    app.updateLimit = kUpdateLimit;
    auto picker = [&app] { return Top<GamePicker>(app); };
    bool optionsOpened = false;
    bool dialogOpened = false;
    bool noChoiceWithoutSaves = false;
    std::string noSavesMessage;
    std::string unreadableMessage;
    float belowButtons = 0.0f;
    bool noChoiceWithUnreadable = false;
    bool onlySpeedEnabled = false;
    bool resumedSpeed = false;
    bool exited = false;
    app.When([&] { return Settled(app); }, [&] { EnterMainMenu(app); });
    app.When([&] { return OnMenu(app); }, [&] { app.ClickOn(app.mainMenu->optionsButton); });
    app.When([&] { return Top<OptionsMenu>(app) != nullptr; }, [&] {
        optionsOpened = app.optionsMenu == Top<OptionsMenu>(app);
        app.ClickOn(app.optionsMenu->doneButton);
    });
    app.When([&] { return OnMenu(app) && app.optionsMenu == nullptr; },
             [&] { app.ClickOn(app.mainMenu->changeUserButton); });
    app.When([&] { return Top<ProfileManagerDialog>(app) != nullptr; }, [&] {
        dialogOpened = true;
        app.ClickOn(Top<ProfileManagerDialog>(app)->cancelButton);
    });
    app.When([&] { return OnMenu(app); }, [&] { app.ClickOn(app.mainMenu->resumeButton); });
    app.When([&] { return Top<InfoDialog>(app) != nullptr; }, [&] {
        noSavesMessage = Top<InfoDialog>(app)->text.CStr();
        app.ClickOn(Top<InfoDialog>(app)->okButton);
    });
    // A save there that cannot be read (a pipe, as it holds for root too) is
    // told as the file messages tell it, and is no save to resume.
    app.When([&] { return OnMenu(app); }, [&] {
        noChoiceWithoutSaves = ModeOf(app) == kNoChoice && app.transition == nullptr;
        const std::string save = Platform::Files::Resolve(app.profiles.GetProfilePath("casual.sav").CStr());
        ASSERT_EQ(mkfifo(save.c_str(), 0600), 0);
        app.ClickOn(app.mainMenu->resumeButton);
    });
    app.When([&] { return Top<InfoDialog>(app) != nullptr; }, [&] {
        InfoDialog* message = Top<InfoDialog>(app);
        unreadableMessage = message->text.CStr();
        belowButtons = BelowButtonsTop(message->font, message->text);
        app.ClickOn(message->okButton);
    });
    app.When([&] { return OnMenu(app); }, [&] {
        noChoiceWithUnreadable = ModeOf(app) == kNoChoice && app.transition == nullptr;
        SetProfileFile(app, "casual.sav", false);
        app.ClickOn(app.mainMenu->highScoresButton);
    });
    app.When([&] { return app.puzzler != nullptr && app.mainMenu == nullptr && Settled(app); }, [&] {
        app.GoToMainMenu(false);
        SetProfileFile(app, "speed.sav", true);
    });
    app.When([&] { return OnMenu(app); }, [&] { app.ClickOn(app.mainMenu->resumeButton); });
    app.When([&] { return picker() != nullptr; }, [&] {
        onlySpeedEnabled = picker()->journeyButton.disabled && picker()->casualButton.disabled &&
                           !picker()->speedButton.disabled;
        app.ClickOn(picker()->journeyButton);
    });
    // The disabled journey button took no click: the picker is still up.
    app.When([&] { return Settled(app) && picker() != nullptr; }, [&] { app.ClickOn(picker()->speedButton); });
    // Checked before the game's first update, which takes the resume flag.
    app.When([&] { return app.game != nullptr; }, [&] {
        resumedSpeed = ModeOf(app) == 2 && app.resumeGame;
        app.GoToMainMenu(false);
    });
    app.When([&] { return OnMenu(app); }, [&] {
        app.ClickOn(app.mainMenu->exitButton);
        exited = app.quit;
    });
    harness.RunAndClose();
    EXPECT_TRUE(optionsOpened);
    EXPECT_TRUE(dialogOpened);
    EXPECT_TRUE(noChoiceWithoutSaves);
    EXPECT_EQ(noSavesMessage, "You don't have any saved games to resume!");
    EXPECT_EQ(unreadableMessage,
              "Tester's saved Casual game (\"casual.sav\") could not be read: it is not a file. It "
              "is left as it is, and nothing is saved over it.");
    EXPECT_LT(belowButtons, 0.0f) << "the message runs under its button";
    EXPECT_TRUE(noChoiceWithUnreadable);
    EXPECT_TRUE(onlySpeedEnabled);
    EXPECT_TRUE(resumedSpeed);
    EXPECT_TRUE(exited);
}

// Each case starts on the main menu with the saves given, clicks new game,
// then the mode; every question is answered in turn (a "no" leaves the
// picker open, and the mode is clicked again or the picker left). A save
// there that cannot be read (a folder at its name) is told, left as it is,
// and the new game goes ahead without asking.
TEST(MainMenuTest, NewGameAsksBeforeReplacingASaveAndOnlyAJourneyAsksTheDifficulty)
{
    struct Case
    {
        int mode;
        bool saved;
        std::vector<bool> answers;
        int difficultyButton; // -1 when none is shown
        bool leaveAfterNo;
        int expectedMode;
        Difficulty expectedDifficulty;
        const char* told; // the message of a save that cannot be read, or null
    };
    const char* const unreadableCasual = "Tester's saved Casual game (\"casual.sav\") could not be read: it is not a "
                                         "file. It is left as it is, and nothing is saved over it.";
    const Case cases[] = {
        {0, false, {}, 0, false, 0, Difficulty::Child, nullptr},
        {0, true, {false, true}, 2, false, 0, Difficulty::Hard, nullptr},
        {0, true, {true}, 1, false, 0, Difficulty::Normal, nullptr},
        {1, false, {}, -1, false, 1, Difficulty::Normal, nullptr},
        {1, true, {false, true}, -1, false, 1, Difficulty::Normal, nullptr},
        {2, true, {true}, -1, false, 2, Difficulty::Normal, nullptr},
        {2, true, {false}, -1, true, kNoChoice, Difficulty::Normal, nullptr},
        // Last: the folder stays.
        {1, false, {}, -1, false, 1, Difficulty::Normal, unreadableCasual},
    };
    GameAppHarness harness;
    ScriptedQuorbSwapApp& app = harness.Start();
    app.updateLimit = kUpdateLimit;
    std::vector<std::string> mismatches;
    auto picker = [&app] { return Top<GamePicker>(app); };
    app.When([&] { return Settled(app); }, [&] { EnterMainMenu(app); });
    for (const Case& c : cases) {
        const std::string name =
            std::to_string(c.mode) + (c.told ? " over an unreadable save" : c.saved ? " over a save" : " fresh");
        auto clickMode = [&app, picker, mode = c.mode] {
            Button* buttons[] = {&picker()->journeyButton, &picker()->casualButton, &picker()->speedButton};
            app.ClickOn(*buttons[mode]);
        };
        app.When([&app] { return OnMenu(app); }, [&app, c] {
            for (int i = 0; i < 3; ++i)
                SetProfileFile(app, kSaves[i], i == c.mode && c.saved);
            if (c.told)
                MakeFolders(app.profiles.GetProfilePath(kSaves[c.mode]).Concat("\\"));
            app.difficulty = Difficulty::Child;
            app.resumeGame = true;
            app.ClickOn(app.mainMenu->newGameButton);
        });
        app.When([picker] { return picker() != nullptr; }, clickMode);
        if (c.told)
            app.When([&app] { return Top<InfoDialog>(app) != nullptr || app.game != nullptr; },
                     [&app, &mismatches, c, name] {
                         InfoDialog* message = Top<InfoDialog>(app);
                         const std::string shown = message != nullptr ? message->text.CStr() : "nothing";
                         if (shown != c.told)
                             mismatches.push_back(name + " tells: " + shown);
                         if (message != nullptr)
                             app.ClickOn(message->okButton);
                     });
        for (bool yes : c.answers) {
            app.When([&app] { return Top<InfoDialog>(app) != nullptr; }, [&app, &mismatches, yes, c, name] {
                InfoDialog* ask = Top<InfoDialog>(app);
                if (std::string(ask->text.CStr()) != kEraseQuestions[c.mode])
                    mismatches.push_back(name + " asks: " + ask->text.CStr());
                app.ClickOn(yes ? ask->yesButton : ask->noButton);
            });
            if (!yes && c.leaveAfterNo)
                app.When([picker] { return picker() != nullptr; }, [&app, picker] { app.ClickOn(picker()->exitButton); });
            else if (!yes)
                app.When([picker] { return picker() != nullptr; }, clickMode);
        }
        if (c.difficultyButton >= 0)
            app.When([&app] { return Top<PickDiff>(app) != nullptr; }, [&app, c] {
                PickDiff* chooser = Top<PickDiff>(app);
                Button* buttons[] = {&chooser->childButton, &chooser->normalButton, &chooser->hardButton};
                app.ClickOn(*buttons[c.difficultyButton]);
            });
        auto finished = [&app, c] {
            return c.expectedMode == kNoChoice ? OnMenu(app) : app.game != nullptr;
        };
        app.When(finished, [&app, &mismatches, c, name] {
            const bool resumeAsked = c.expectedMode == kNoChoice || !app.resumeGame;
            const bool leftAsItIs =
                !c.told || Platform::Files::IsFolder(app.profiles.GetProfilePath(kSaves[c.mode]).CStr());
            if (ModeOf(app) != c.expectedMode || app.difficulty != c.expectedDifficulty || !resumeAsked ||
                !leftAsItIs)
                mismatches.push_back(name);
            app.GoToMainMenu(false);
        });
    }
    app.When([&app] { return OnMenu(app); }, [&app] { app.Quit(); });
    harness.RunAndClose();
    EXPECT_EQ(mismatches, std::vector<std::string>{});
}

// A switch started by one button closes the menu at its midpoint; a second
// button pressed before then must not open a dialog on the doomed menu.
// Last, a quit inside the difficulty picker, nested in the game picker,
// ends both loops with no choice and no game.
TEST(MainMenuTest, ButtonsAreIgnoredWhileASwitchIsUnderWayAndAQuitChoosesNothing)
{
    GameAppHarness harness;
    ScriptedQuorbSwapApp& app = harness.Start();
    app.updateLimit = kUpdateLimit;
    bool dialogShown = false;
    bool noChoiceAfterQuit = false;
    app.everyUpdate = [&] {
        dialogShown = dialogShown || Top<GamePicker>(app) != nullptr || Top<ProfileManagerDialog>(app) != nullptr;
    };
    app.When([&] { return Settled(app); }, [&] { EnterMainMenu(app); });
    app.When([&] { return OnMenu(app); }, [&] { app.ClickOn(app.mainMenu->highScoresButton); });
    app.When([&] { return app.transition != nullptr; }, [&] { app.ClickOn(app.mainMenu->newGameButton); });
    app.When([&] { return app.puzzler != nullptr && Settled(app); }, [&] { app.GoToMainMenu(false); });
    // A double click on the records button, then change user and new game
    // straight after it.
    app.When([&] { return OnMenu(app); }, [&] {
        Point at = app.mainMenu->highScoresButton.GetAbsolutePosition();
        const int x = static_cast<int>(at.x + app.mainMenu->highScoresButton.rect.w / 2);
        const int y = static_cast<int>(at.y + app.mainMenu->highScoresButton.rect.h / 2);
        app.input.Move(x, y);
        app.input.Press(x, y);
        app.input.Release(x, y);
        app.input.DoubleClick(x, y);
        app.input.Release(x, y);
        app.ClickOn(app.mainMenu->changeUserButton);
        app.ClickOn(app.mainMenu->newGameButton);
    });
    app.When([&] { return app.puzzler != nullptr && Settled(app); }, [&] {
        app.everyUpdate = nullptr;
        app.gameMode = GameMode::Casual;
        app.GoToMainMenu(false);
    });
    // The click returns once the picker's loop, and the nested ones, have
    // ended.
    app.When([&] { return OnMenu(app); }, [&] {
        app.ClickOn(app.mainMenu->newGameButton);
        noChoiceAfterQuit = app.quit && ModeOf(app) == kNoChoice && app.game == nullptr && app.transition == nullptr;
    });
    app.When([&] { return Top<GamePicker>(app) != nullptr; },
             [&] { app.ClickOn(Top<GamePicker>(app)->journeyButton); });
    app.When([&] { return Top<PickDiff>(app) != nullptr; },
             [] { SdlEventInjector::Window(SdlEventInjector::WindowChange::Close); });
    harness.RunAndClose();
    EXPECT_FALSE(dialogShown);
    EXPECT_TRUE(noChoiceAfterQuit);
}
