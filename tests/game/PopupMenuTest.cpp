// The pause overlay and the in-game menu over a running game, driven through
// the input queue.
#include "game/PopupMenu.h"

#include "app/FileHelpers.h"
#include "app/SpriteBundle.h"
#include "game/Board.h"
#include "game/DialogButton.h"
#include "game/Game.h"
#include "game/InfoDialog.h"
#include "game/MainMenu.h"
#include "game/Map.h"
#include "game/OptionsMenu.h"
#include "game/PauseOverlay.h"
#include "game/Transition.h"
#include "support/MenuSteps.h"
#include "support/MessageFit.h"

#include <gtest/gtest.h>

namespace {
constexpr int kEscape = 27;

// A new game of that mode shown at once.
void StartGame(ScriptedQuorbSwapApp& app, GameMode mode)
{
    EnterProfile(app);
    app.gameMode = mode;
    app.resumeGame = false;
    app.GoToGame(false);
}

bool Playing(ScriptedQuorbSwapApp& app)
{
    return app.game != nullptr && app.game->board != nullptr && !app.game->IsPaused() && app.transition == nullptr;
}
} // namespace

// Pause by key and by click, then every path of the short menu of an
// endless game: back to the game, the options over the menu, and back to
// the main menu with the game saved.
TEST(PopupMenuTest, PauseAndTheMenuOfAnEndlessGame)
{
    GameAppHarness harness;
    ScriptedQuorbSwapApp& app = harness.Start();
    app.updateLimit = kUpdateLimit;
    Game* game = nullptr;
    bool pausedByKey = false;
    bool resumedByKey = false;
    bool resumedByClick = false;
    bool shortLayout = false;
    bool menuGaveBackThePause = false;
    bool optionsOverMenu = false;
    bool backOnMainMenu = false;
    app.When([&] { return Settled(app); }, [&] { StartGame(app, GameMode::Casual); });
    app.When([&] { return Playing(app); }, [&] {
        game = app.game;
        app.input.Char('p');
    });
    app.When([&] { return app.Find<PauseOverlay>() != nullptr; }, [&] {
        pausedByKey = game->IsPaused() && app.keyFocusGadget == app.Find<PauseOverlay>();
        // Taken by the overlay: it does not pause the game again.
        app.input.Char('p');
    });
    app.When([&] { return app.Find<PauseOverlay>() == nullptr; }, [&] {
        resumedByKey = !game->IsPaused() && app.keyFocusGadget == game;
        app.input.Char('P');
    });
    app.When([&] { return app.Find<PauseOverlay>() != nullptr; }, [&] { app.input.Click(400, 300); });
    app.When([&] { return app.Find<PauseOverlay>() == nullptr; }, [&] {
        resumedByClick = !game->IsPaused();
        app.input.Char(kEscape);
    });
    app.When([&] { return Top<PopupMenu>(app) != nullptr; }, [&] {
        PopupMenu* menu = Top<PopupMenu>(app);
        shortLayout = game->IsPaused() && menu->backToMapButton.rect.x < 0 && app.popupMenu == menu;
        app.ClickOn(menu->backToGameButton);
    });
    app.When([&] { return app.popupMenu == nullptr && app.Find<PopupMenu>() == nullptr; }, [&] {
        menuGaveBackThePause = !game->IsPaused();
        app.input.Char(kEscape);
    });
    app.When([&] { return Top<PopupMenu>(app) != nullptr; }, [&] { app.ClickOn(Top<PopupMenu>(app)->optionsButton); });
    app.When([&] { return app.optionsMenu != nullptr; }, [&] {
        optionsOverMenu = app.Find<PopupMenu>() != nullptr;
        app.ClickOn(app.optionsMenu->doneButton);
    });
    app.When([&] { return app.optionsMenu == nullptr && Top<PopupMenu>(app) != nullptr; },
             [&] { app.ClickOn(Top<PopupMenu>(app)->backToMenuButton); });
    app.When([&] { return app.Find<InfoDialog>() != nullptr; },
             [&] { app.ClickOn(app.Find<InfoDialog>()->okButton); });
    app.When([&] { return app.mainMenu != nullptr && app.transition == nullptr; }, [&] {
        backOnMainMenu = app.game == nullptr && app.popupMenu == nullptr &&
                         FileExists(app.profiles.GetProfilePath("casual.sav"));
        app.Quit();
    });
    harness.RunAndClose();
    EXPECT_TRUE(pausedByKey);
    EXPECT_TRUE(resumedByKey);
    EXPECT_TRUE(resumedByClick);
    EXPECT_TRUE(shortLayout);
    EXPECT_TRUE(menuGaveBackThePause);
    EXPECT_TRUE(optionsOverMenu);
    EXPECT_TRUE(backOnMainMenu);
}

// Back to the main menu, the message tells whether the game could be saved:
// a save that cannot be written (here a folder stands where the file goes)
// is not promised, and the message says why, as the only one of that file.
TEST(PopupMenuTest, TheMainMenuMessageTellsWhetherTheGameWasSaved)
{
    const struct {
        bool blocked;
        const char* message;
    } cases[] = {{false, "Your game will be saved so you can resume it later."},
                 {true, "Your game could not be saved: what is there is kept, as it is not a file. It cannot be "
                        "resumed later from where you leave it."}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        GameAppHarness harness;
        ScriptedQuorbSwapApp& app = harness.Start();
        app.updateLimit = kUpdateLimit;
        String shown;
        bool backOnMainMenu = false;
        std::vector<InfoDialog*> messages;
        app.everyUpdate = [&] {
            InfoDialog* message = app.Find<InfoDialog>();
            if (message != nullptr && (messages.empty() || messages.back() != message))
                messages.push_back(message);
        };
        app.When([&] { return Settled(app); }, [&] {
            StartGame(app, GameMode::Casual);
            String folder = app.profiles.GetProfilePath("casual.sav");
            folder.Append("\\");
            if (c.blocked)
                MakeFolders(folder);
        });
        app.When([&] { return Playing(app); }, [&] { app.input.Char(kEscape); });
        app.When([&] { return Top<PopupMenu>(app) != nullptr; },
                 [&] { app.ClickOn(Top<PopupMenu>(app)->backToMenuButton); });
        float belowButtons = 0.0f;
        app.When([&] { return app.Find<InfoDialog>() != nullptr; }, [&] {
            shown = app.Find<InfoDialog>()->text;
            belowButtons = BelowButtonsTop(app.Find<InfoDialog>()->font, shown);
            app.ClickOn(app.Find<InfoDialog>()->okButton);
        });
        app.When([&] { return app.mainMenu != nullptr && app.transition == nullptr; }, [&] {
            backOnMainMenu = app.game == nullptr;
            app.Quit();
        });
        harness.RunAndClose();
        EXPECT_STREQ(shown.CStr(), c.message);
        EXPECT_LT(belowButtons, 0.0f) << "the message runs under its button";
        EXPECT_EQ(messages.size(), 1u);
        EXPECT_TRUE(backOnMainMenu);
    }
}

// In a journey level the menu offers the map: it asks first, with a "no"
// placed by its own art's width; "no" goes back to the level, "yes" shows
// the map, and a click on back to the main menu right after the "yes",
// before the switch, is ignored. On the map the menu has no map button.
TEST(PopupMenuTest, TheJourneyMenuGoesBackToTheMapOnlyWhenConfirmed)
{
    GameAppHarness harness;
    ScriptedQuorbSwapApp& app = harness.Start();
    app.updateLimit = kUpdateLimit;
    bool mapLayoutOnMap = true;
    bool journeyLayout = false;
    bool stillInLevel = false;
    std::string question;
    constexpr int kNarrowerNo = 20;
    float noAt = -1; // from where its own width places it
    bool messageShown = false;
    bool onMap = false;
    app.everyUpdate = [&] { messageShown |= app.Find<InfoDialog>() != nullptr && app.transition != nullptr; };
    app.When([&] { return Settled(app); }, [&] { StartGame(app, GameMode::Journey); });
    app.When([&] { return app.game != nullptr && app.game->map != nullptr; }, [&] { app.input.Char(kEscape); });
    app.When([&] { return Top<PopupMenu>(app) != nullptr; }, [&] {
        mapLayoutOnMap = Top<PopupMenu>(app)->backToMapButton.rect.x >= 0;
        app.ClickOn(Top<PopupMenu>(app)->backToGameButton);
    });
    app.When([&] { return app.popupMenu == nullptr; }, [&] { app.game->StartLevel(false); });
    app.When([&] { return Playing(app); }, [&] { app.input.Char(kEscape); });
    app.When([&] { return Top<PopupMenu>(app) != nullptr; }, [&] {
        journeyLayout = Top<PopupMenu>(app)->backToMapButton.rect.x == 117;
        // Art of a "no" narrower than the "yes".
        for (auto& entry : app.bundleProfiles.mEntries)
            if (entry->name.CompareNoCase("no__0") == 0)
                entry->width -= kNarrowerNo;
        app.ClickOn(Top<PopupMenu>(app)->backToMapButton);
    });
    app.When([&] { return app.Find<InfoDialog>() != nullptr; }, [&] {
        InfoDialog* ask = app.Find<InfoDialog>();
        question = ask->text.CStr();
        noAt = ask->noButton.rect.x - (400 + (DialogButton::Width(ask->yesArt) - kNarrowerNo) / 4);
        app.ClickOn(ask->noButton);
    });
    app.When([&] { return app.Find<InfoDialog>() == nullptr && app.popupMenu == nullptr; }, [&] {
        stillInLevel = app.game->board != nullptr && !app.game->IsPaused();
        app.input.Char(kEscape);
    });
    app.When([&] { return Top<PopupMenu>(app) != nullptr; }, [&] { app.ClickOn(Top<PopupMenu>(app)->backToMapButton); });
    app.When([&] { return app.Find<InfoDialog>() != nullptr; },
             [&] { app.ClickOn(app.Find<InfoDialog>()->yesButton); });
    app.When([&] { return app.transition != nullptr && app.popupMenu != nullptr; },
             [&] { app.ClickOn(app.popupMenu->backToMenuButton); });
    app.When([&] { return app.transition == nullptr; }, [&] {
        onMap = app.game != nullptr && app.game->board == nullptr && app.game->map->parent == app.game &&
                app.popupMenu == nullptr && app.mainMenu == nullptr;
        app.Quit();
    });
    harness.RunAndClose();
    EXPECT_FALSE(mapLayoutOnMap);
    EXPECT_TRUE(journeyLayout);
    EXPECT_EQ(question, "You sure?  If you return to the map, progress here will be lost!");
    EXPECT_EQ(noAt, 0.0f);
    EXPECT_TRUE(stillInLevel);
    EXPECT_FALSE(messageShown);
    EXPECT_TRUE(onMap);
}
