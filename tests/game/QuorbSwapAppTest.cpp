// The whole application, headless: start-up and loading, the first profile,
// the switch to the next screen, the profile dialogs, and quitting from
// inside every modal dialog.
#include "game/AddProfileDialog.h"
#include "game/AppAsset.h"
#include "game/Board.h"
#include "game/EnterYourName.h"
#include "game/Game.h"
#include "game/InfoDialog.h"
#include "game/LoseOverlay.h"
#include "game/ProfileManagerDialog.h"
#include "game/TitleScreen.h"
#include "game/Transition.h"

#include "platform/Window.h"
#include "support/FileModes.h"
#include "support/GameAppHarness.h"
#include "support/SdlEventInjector.h"
#include "support/StrayGadgets.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <utility>
#include <vector>

namespace fs = std::filesystem;
namespace VirtualKey = Platform::VirtualKey;

namespace {

bool ReadyToPlay(ScriptedQuorbSwapApp& app)
{
    return !app.loading && app.titleScreen != nullptr && app.titleScreen->playButton.rect.x > 0;
}

void Backspace(ScriptedQuorbSwapApp& app, int times)
{
    for (int i = 0; i < times; ++i)
        app.input.Char(VirtualKey::Back); // the window delivers it as a character
}

} // namespace

TEST(QuorbSwapApp, FirstStartLoadsAsksForAProfileAndSwitchesOnTick44)
{
    GameAppHarness harness;
    ScriptedQuorbSwapApp& app = harness.Start();
    ASSERT_FALSE(app.quit);

    float lastFraction = 0.0f;
    bool barWentBack = false;
    bool barPastFull = false;
    int transitionTick = -1;
    int switchTick = -1;
    bool createEnabledWhileEmpty = true;
    bool cancelEnabled = true;
    String typedName;
    app.everyUpdate = [&] {
        if (app.titleScreen != nullptr) {
            float p = app.titleScreen->LoadFraction();
            barWentBack |= p < lastFraction;
            barPastFull |= p > 1.0f;
            lastFraction = p;
        }
        if (transitionTick >= 0 && switchTick < 0 && app.titleScreen == nullptr)
            switchTick = app.updates - transitionTick;
    };
    app.When([&] { return ReadyToPlay(app); },
             [&] {
                 EXPECT_EQ(app.loadDone, app.loadTotal) << "every counted step and bundle step was made";
                 // While loading, the bar is empty until the total is known
                 // and never passes full.
                 const struct
                 {
                     int done, total;
                     float fraction;
                 } bars[] = {{0, 0, 0.0f}, {7, 0, 0.0f}, {5, 10, 0.5f}, {20, 10, 1.0f}};
                 int done = app.loadDone, total = app.loadTotal;
                 app.loading = true;
                 for (const auto& bar : bars) {
                     app.loadDone = bar.done;
                     app.loadTotal = bar.total;
                     EXPECT_FLOAT_EQ(app.titleScreen->LoadFraction(), bar.fraction);
                 }
                 app.loading = false;
                 app.loadDone = done;
                 app.loadTotal = total;
                 app.ClickOn(app.titleScreen->playButton); // runs the new-user dialog modally
                 transitionTick = app.updates;
             });
    app.When([&] { return app.Find<AddProfileDialog>() != nullptr; },
             [&] {
                 auto* dialog = app.Find<AddProfileDialog>();
                 createEnabledWhileEmpty = !dialog->createButton.disabled;
                 cancelEnabled = !dialog->cancelButton.disabled;
                 app.input.Type("Ann/e:");
             });
    // Create is enabled by the dialog's next update.
    app.When(
        [&] { return app.Find<AddProfileDialog>() && !app.Find<AddProfileDialog>()->createButton.disabled; },
        [&] {
            auto* dialog = app.Find<AddProfileDialog>();
            typedName = dialog->nameField.GetText();
            app.ClickOn(dialog->createButton);
        });
    app.When([&] { return switchTick >= 0 && app.transition == nullptr; }, [&] { app.Quit(); });
    harness.RunAndClose();

    EXPECT_FALSE(barWentBack);
    EXPECT_FALSE(barPastFull);
    EXPECT_FLOAT_EQ(lastFraction, 1.0f);
    EXPECT_FALSE(createEnabledWhileEmpty);
    EXPECT_FALSE(cancelEnabled) << "a first profile must be made";
    EXPECT_STREQ(typedName.CStr(), "Anne") << "characters a folder cannot hold are refused as typed";
    EXPECT_EQ(switchTick, 44);
    EXPECT_EQ(fs::file_size(harness.DataPath("Profiles/Anne/config.cfg")), 1284u);
    EXPECT_FALSE(fs::exists(harness.DataPath("Profiles/Nobody")));
}

TEST(QuorbSwapApp, QuitInsideAnyModalDialogLeavesNothingBehind)
{
    struct Case
    {
        const char* what;
        std::function<void(ScriptedQuorbSwapApp&)> open; // runs the dialog modally
        std::function<bool(ScriptedQuorbSwapApp&)> isOpen;
    };
    const Case cases[] = {
        {"new user from the title",
         [](ScriptedQuorbSwapApp& app) { app.ClickOn(app.titleScreen->playButton); },
         [](ScriptedQuorbSwapApp& app) { return app.Find<AddProfileDialog>() != nullptr; }},
        {"question",
         [](ScriptedQuorbSwapApp&) {
             InfoDialog question(InfoDialogKind::Question, "", "Sure?");
             EXPECT_EQ(question.answer, 0) << "closing the program is no yes";
         },
         [](ScriptedQuorbSwapApp& app) { return app.Find<InfoDialog>() != nullptr; }},
        {"user screen",
         [](ScriptedQuorbSwapApp& app) {
             ProfileManagerDialog dialog(&app.profiles);
             EXPECT_FALSE(dialog.result);
         },
         [](ScriptedQuorbSwapApp& app) { return app.Find<ProfileManagerDialog>() != nullptr; }},
        {"name entry",
         [](ScriptedQuorbSwapApp& app) { EnterYourName::EnterHighScore(&app, app.casualScores, 999999); },
         [](ScriptedQuorbSwapApp& app) { return app.Find<EnterYourName>() != nullptr; }},
        {"the lose screen's name entry",
         [](ScriptedQuorbSwapApp& app) {
             app.gameMode = GameMode::Casual;
             Game game(&app);
             Board board(&app, &game);
             board.levelScore = 999999;
             LoseOverlay lose(&board, LoseReason::NoMoves);
             lose.promptAlpha = 1.0f;
             lose.MouseDown(0, 0, -1);
             EXPECT_EQ(app.transition, nullptr) << "no records screen for a program that is closing";
         },
         [](ScriptedQuorbSwapApp& app) { return app.Find<EnterYourName>() != nullptr; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        GameAppHarness harness;
        ScriptedQuorbSwapApp& app = harness.Start();
        bool transitionStarted = false;
        String bestCasual;
        app.When([&] { return ReadyToPlay(app); }, [&] { c.open(app); });
        app.When([&] { return c.isOpen(app); }, [&] { app.Quit(); });
        app.everyUpdate = [&] { transitionStarted |= app.transition != nullptr; };
        harness.RunAndClose();
        EXPECT_FALSE(transitionStarted);
        EXPECT_FALSE(fs::exists(harness.DataPath("Profiles/Nobody")))
            << "no progress for a profile nobody made";
        // The default table is saved at exit, without an empty name in it.
        std::ifstream scores(harness.DataPath("Profiles/Normal.hs"));
        std::string text((std::istreambuf_iterator<char>(scores)), {});
        EXPECT_NE(text.find("Tobb"), std::string::npos);
        EXPECT_EQ(text.find("999999"), std::string::npos);
    }
}

TEST(QuorbSwapApp, UserScreenCreatesSelectsDeletesAndScrolls)
{
    GameAppHarness harness;
    ScriptedQuorbSwapApp& app = harness.Start();
    for (int i = 0; i < 12; ++i)
        app.profiles.Add(String::StringFormat("Player%d", i));
    app.profiles.SetCurrent(11);
    app.LoadConfig();
    app.progress.quorbsPopped = 321;

    ProfileManagerDialog* dialog = nullptr;
    auto user = [&] { return app.Find<ProfileManagerDialog>(); };
    auto info = [&] { return app.Find<InfoDialog>(); };
    auto adder = [&] { return app.Find<AddProfileDialog>(); };
    float lineHeight = 0.0f;
    bool result = false;
    // Caption and text of every message, as the player is asked.
    std::vector<std::pair<std::string, std::string>> asked;
    auto answer = [&](Button InfoDialog::*button) {
        asked.emplace_back(info()->caption.CStr(), info()->text.CStr());
        app.ClickOn(info()->*button);
    };

    app.When([&] { return ReadyToPlay(app); },
             [&] {
                 ProfileManagerDialog run(&app.profiles);
                 result = run.result;
             });
    // The list is longer than its area: the bar shows and the current
    // (last) row was scrolled into view.
    app.When([&] { return user() != nullptr && user()->initialised; },
             [&] {
                 dialog = user();
                 lineHeight = dialog->font.mLineHeight;
                 EXPECT_EQ(dialog->rows.size(), 12u);
                 EXPECT_EQ(dialog->selected, 11);
                 EXPECT_EQ(dialog->scrollBar.parent, dialog);
                 EXPECT_GT(dialog->scrollBar.value, 0.0f);
                 EXPECT_LE(dialog->RowTop(11) + lineHeight, 149 + 207);
                 EXPECT_GE(dialog->RowTop(11), 149 - lineHeight);
                 // The progress was saved when the screen opened.
                 EXPECT_TRUE(fs::exists(harness.DataPath("Profiles/Player11/config.cfg")));
                 // Delete the current profile.
                 app.ClickOn(dialog->deleteButton);
             });
    app.When([&] { return info() != nullptr; }, [&] { answer(&InfoDialog::yesButton); });
    app.When([&] { return info() == nullptr && dialog->rows.size() == 11; },
             [&] {
                 EXPECT_TRUE(dialog->noCurrent);
                 EXPECT_EQ(dialog->selected, 10);
                 EXPECT_FALSE(app.profiles.Exists("Player11"));
                 EXPECT_FALSE(fs::exists(harness.DataPath("Profiles/Player11")));
             });
    app.When([&] { return dialog->cancelButton.disabled; }, [&] { app.ClickOn(dialog->createButton); });
    // A name that differs only in case is refused with a message.
    app.When([&] { return adder() != nullptr; }, [&] { app.input.Type("player3"); });
    app.When([&] { return adder() && !adder()->createButton.disabled; },
             [&] { app.ClickOn(adder()->createButton); });
    app.When([&] { return info() != nullptr; }, [&] { answer(&InfoDialog::okButton); });
    // A shared file's name is refused as unusable, not as taken.
    app.When([&] { return info() == nullptr && adder() != nullptr; },
             [&] {
                 Backspace(app, 7);
                 app.input.Type("normal.HS");
                 app.input.Char(VirtualKey::Return);
             });
    app.When([&] { return info() != nullptr; }, [&] { answer(&InfoDialog::okButton); });
    // The box takes the longest name a profile may bear, and no more.
    const std::string longest(ProfileManager::kMaxNameBytes, '\'');
    app.When([&] { return info() == nullptr && adder() != nullptr; },
             [&] {
                 Backspace(app, 9);
                 app.input.Type(longest + "''");
             });
    app.When([&] { return adder() != nullptr; },
             [&] {
                 EXPECT_EQ(adder()->nameField.GetText().CStr(), longest);
                 Backspace(app, ProfileManager::kMaxNameBytes);
                 app.input.Type("...");
             });
    app.When([&] { return adder() != nullptr; },
             [&] {
                 EXPECT_TRUE(adder()->createButton.disabled) << "dots alone name no folder";
                 Backspace(app, 3);
                 app.input.Type("Zoe");
                 app.input.Char(VirtualKey::Return);
             });
    app.When([&] { return adder() == nullptr && dialog->rows.size() == 12; },
             [&] {
                 EXPECT_STREQ(app.profiles.GetCurrentName().CStr(), "Zoe");
                 EXPECT_EQ(dialog->selected, 11);
                 // Click the first row that is fully inside the list.
                 int row = 0;
                 while (dialog->RowTop(row) < 149)
                     ++row;
                 app.input.Click(300, int(dialog->RowTop(row) + lineHeight / 2));
                 EXPECT_EQ(dialog->selected, row);
                 app.ClickOn(dialog->selectButton);
             });
    app.When([&] { return user() == nullptr; }, [&] { app.Quit(); });
    harness.RunAndClose();

    const std::vector<std::pair<std::string, std::string>> questions = {
        {"Really Delete?", "Are you sure you want to delete this user?"},
        {"Already Exists!", "This profile name already exists!  Please choose another!"},
        {"Invalid Name!", "This profile name cannot be used!  Please choose another!"},
    };
    EXPECT_EQ(asked, questions);
    EXPECT_TRUE(result) << "a profile other than the one at opening was chosen";
    EXPECT_FALSE(fs::exists(harness.DataPath("Profiles/Player11")))
        << "the deleted profile's block was written back";
}

TEST(QuorbSwapApp, ClosingDuringLoadingEndsWithoutTheRemainingAssets)
{
    GameAppHarness harness;
    ScriptedQuorbSwapApp& app = harness.Start();
    int doneAtQuit = -1;
    int doneAtEnd = -1;
    app.When([&] { return app.loading && app.loadDone > 0; },
             [&] {
                 doneAtQuit = app.loadDone;
                 app.Quit();
             });
    app.everyUpdate = [&] { doneAtEnd = app.loadDone; };
    bool completed = false;
    app.When([&] { return app.loaded.load(); }, [&] { completed = true; });
    harness.RunAndClose();
    ASSERT_GT(doneAtQuit, 0);
    EXPECT_LT(doneAtEnd, kAppLoadTotal) << "loading went on after the quit";
    EXPECT_FALSE(completed);
}

// Message boxes in a row, each opened where the last one's OK was and in the
// same place in memory, under a pointer that never moves: one click closes
// each, and once a box has closed nothing holds it or its buttons.
TEST(QuorbSwapApp, BoxesInARowUnderAStillPointerCloseOnOneClickEach)
{
    GameAppHarness harness;
    ScriptedQuorbSwapApp& app = harness.Start();
    constexpr int kBoxes = 4;
    int opened = 0;
    int clicked = 0;
    std::vector<int> refusedClick;
    std::vector<std::string> strayOnceClosed;
    std::vector<std::string> strayOnceGone;
    int okX = 0;
    int okY = 0;
    app.everyUpdate = [&] {
        InfoDialog* box = app.Find<InfoDialog>();
        if (box == nullptr)
            return;
        if (clicked == opened) {
            refusedClick.push_back(opened);
            box->EndModal(0);
            return;
        }
        clicked = opened;
        app.input.Press(okX, okY);
        app.input.Release(okX, okY);
    };
    auto note = [](std::vector<std::string>& into, int box, const App& of) {
        for (const std::string& pointer : StrayGadgets(of))
            into.push_back("box " + std::to_string(box) + ": " + pointer);
    };
    // The pointer goes there through the window, which then knows it inside.
    app.When([&] { return ReadyToPlay(app); }, [&] {
        SpriteStrip okArt;
        okArt.LoadFromBundle(&app.bundleProfiles, "ok", 3);
        ASSERT_NE(okArt.GetFrame(0), nullptr);
        okX = 400;
        okY = 430 + okArt.GetFrame(0)->mHeight / 2;
        SdlEventInjector::MouseMotion(okX, okY);
    });
    app.When([&] { return app.mousePosition.x == float(okX) && app.mousePosition.y == float(okY); }, [&] {
        std::optional<InfoDialog> box;
        for (int i = 1; i <= kBoxes; ++i) {
            ++opened;
            box.emplace(InfoDialogKind::Message, "Could Not Read!", String::StringFormat("Box %d.", i));
            note(strayOnceClosed, i, app);
            box.reset();
            note(strayOnceGone, i, app);
        }
        app.Quit();
    });
    harness.RunAndClose();
    EXPECT_EQ(clicked, kBoxes);
    EXPECT_EQ(refusedClick, std::vector<int>{});
    EXPECT_EQ(strayOnceClosed, std::vector<std::string>{});
    EXPECT_EQ(strayOnceGone, std::vector<std::string>{});
}

// A file of the player's that cannot be read (here a pipe, which held the
// start for good) is told in the game's message box once loading is done,
// by its name in the data folder and why, once; the game goes on to its
// title and the file stays.
TEST(QuorbSwapApp, AFileThatCannotBeReadIsToldOnceLoadingIsDone)
{
    GameAppHarness harness;
    const fs::path scores = harness.DataPath("Profiles/Normal.hs");
    fs::create_directories(scores.parent_path());
    ASSERT_EQ(mkfifo(scores.c_str(), 0600), 0);
    ScriptedQuorbSwapApp& app = harness.Start();
    std::vector<std::string> told;
    bool toldBeforeLoaded = false;
    app.everyUpdate = [&] { toldBeforeLoaded |= app.Find<InfoDialog>() != nullptr && app.loading; };
    app.When([&] { return app.Find<InfoDialog>() != nullptr; }, [&] {
        told.push_back(app.Find<InfoDialog>()->text.CStr());
        app.ClickOn(app.Find<InfoDialog>()->okButton);
    });
    bool reachedTitle = false;
    app.When([&] { return ReadyToPlay(app) && app.Find<InfoDialog>() == nullptr; }, [&] {
        reachedTitle = true;
        app.Quit();
    });
    harness.RunAndClose();
    EXPECT_TRUE(reachedTitle);
    EXPECT_FALSE(toldBeforeLoaded);
    EXPECT_EQ(told, std::vector<std::string>{"The Casual high scores (\"Normal.hs\") could not be read: it is not a "
                                             "file. It is left as it is, and nothing is saved over it."});
    EXPECT_TRUE(fs::is_fifo(scores));
}

// A player's progress file that is there but cannot be read (no permission
// on it, or on the player's folder) is not taken for a missing one: it is
// kept, and the fresh progress the game starts with is not saved over it,
// not even once the file can be read again.
TEST(QuorbSwapApp, ProgressThatCannotBeReadIsNeverSavedOver)
{
    TemporaryFolder folder;
    QuorbSwapApp app;
    app.dataFolder = folder.Path().c_str();
    app.configPath = (folder / "config.cfg").c_str();
    const struct
    {
        const char* player; // each its own: a file kept stays kept for the run
        bool onFolder;
    } cases[] = {{"Ann", false}, {"Bob", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.onFolder ? "no permission on the player's folder" : "no permission on the file");
        ASSERT_TRUE(app.profiles.Add(c.player));
        app.LoadConfig();
        for (uint8_t& off : app.progress.tutorialShown)
            off = 1;
        app.SaveConfig();
        const std::string progress = std::string("Profiles/") + c.player + "/config.cfg";
        const std::string played = folder.ReadText(progress);
        ASSERT_FALSE(played.empty());
        const std::string shut = c.onFolder ? folder / (std::string("Profiles/") + c.player) : folder / progress;
        ASSERT_EQ(chmod(shut.c_str(), 0), 0);
        const bool obeyed = RunObeyingFileModes([&] {
            app.LoadConfig();
            chmod(shut.c_str(), c.onFolder ? 0700 : 0600);
            app.SaveConfig();
            EXPECT_EQ(folder.ReadText(progress), played) << "saved over";
        });
        chmod(shut.c_str(), c.onFolder ? 0700 : 0600);
        if (!obeyed)
            GTEST_SKIP() << "the test's process cannot give up passing over the files' modes";
    }
}
