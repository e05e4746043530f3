// The board's buttons in the whole application, headless: each is pressed
// through the input queue wherever its art shows, on every board layout.
#include "app/Sprite.h"
#include "app/SpriteStrip.h"
#include "game/Board.h"
#include "game/Game.h"
#include "game/PopupMenu.h"
#include "game/QuorbSwapApp.h"
#include "support/BoardLayouts.h"
#include "support/MenuSteps.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Starts the level at once, with a Skip power held so that Skip shows.
void StartLevel(Game& game, const BoardLayout& layout)
{
    game.powerSlots[0] = int(PowerKind::SkipLevel);
    game.levelType = layout.type;
    game.mapDifficulty = layout.difficulty;
    game.difficultyModifiers[int(layout.type)] = 1.0f;
    game.StartLevel(false);
}

bool Playing(ScriptedQuorbSwapApp& app)
{
    Board* board = app.game ? app.game->board : nullptr;
    return board != nullptr && board->initialised && board->readyOverlay == nullptr &&
           app.Find<PopupMenu>() == nullptr;
}

// The points of the screen where the board draws the button's art, every
// third pixel each way, that press nothing but the button.
std::vector<std::string> PressesMissing(ScriptedQuorbSwapApp& app, Button& button, SpriteStrip& strip)
{
    std::vector<std::string> missed;
    Sprite* art = strip.GetFrame(0);
    const Point at = button.GetAbsolutePosition();
    for (int y = 0; y < art->mHeight; y += 3)
        for (int x = 0; x < art->mWidth; x += 3) {
            if (art->GetAlphaAt(x, y) < 0.5f)
                continue;
            const int sx = int(at.x) + x, sy = int(at.y) + y;
            app.input.Press(sx, sy);
            if (app.captureGadget != &button || !button.down)
                missed.push_back(std::to_string(sx) + "," + std::to_string(sy));
            // Released away from it: no click, nothing opens.
            app.input.Release(App::kNowhere, App::kNowhere);
        }
    return missed;
}

} // namespace

TEST(BoardButtonsTest, EveryButtonTakesPressesOverAllOfItsArtOnEveryLayout)
{
    GameAppHarness harness;
    ScriptedQuorbSwapApp& app = harness.Start();
    app.updateLimit = kUpdateLimit;
    app.handDrawnOnly = true;
    const std::vector<BoardLayout> layouts = BoardLayouts();
    size_t next = 0;
    bool duelMenuOpened = false;
    // Fast only once loaded: the update limit then leaves loading, which
    // runs on its own thread, as long as a busy machine needs.
    app.When([&] { return Settled(app); },
             [&] {
                 app.SetSpeed(40.0f);
                 EnterProfile(app);
                 app.gameMode = GameMode::Journey;
                 app.resumeGame = false;
                 app.GoToGame(false);
             });
    app.When([&] { return app.game != nullptr; }, [&] { StartLevel(*app.game, layouts[next]); });
    auto sweep = [&] {
        const BoardLayout& layout = layouts[next];
        Board& board = *app.game->board;
        const bool duel = layout.type == LevelType::Duel;
        struct Pressed
        {
            const char* name;
            Button& button;
            SpriteStrip& strip;
        };
        std::vector<Pressed> buttons = {
            {"menu", board.menuButton, duel ? app.stripSmallMenuButton : app.stripMenuButton},
            {"skip", board.skipButton, app.stripInstaWin}};
        if (layout.type != LevelType::Matches)
            buttons.push_back({"hint", board.hintButton, app.stripHintButton});
        for (const Pressed& b : buttons) {
            const std::vector<std::string> missed = PressesMissing(app, b.button, b.strip);
            EXPECT_TRUE(missed.empty())
                << layout.what << " " << layout.difficulty << ": " << b.name << " missed " << missed.size()
                << " presses, first at " << missed.front();
        }
        if (duel) {
            // Right of its middle, over the computer's board.
            app.input.Click(430, 585);
            duelMenuOpened = app.Find<PopupMenu>() != nullptr;
            if (duelMenuOpened)
                app.ClickOn(app.Find<PopupMenu>()->backToGameButton);
        }
        if (++next < layouts.size())
            StartLevel(*app.game, layouts[next]);
    };
    for (size_t i = 0; i < layouts.size(); ++i)
        app.When([&] { return Playing(app); }, sweep);
    app.When([] { return true; }, [&] { app.Quit(); });
    harness.RunAndClose();
    EXPECT_EQ(next, layouts.size());
    EXPECT_TRUE(duelMenuOpened);
}
