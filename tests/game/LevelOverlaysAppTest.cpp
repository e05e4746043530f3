// A Casual game lost in the whole application, headless: the lose overlay's
// click asks for a name for the score, writes it, and goes on to the records.
#include "game/AddProfileDialog.h"
#include "game/Board.h"
#include "game/EnterYourName.h"
#include "game/Game.h"
#include "game/LoseOverlay.h"
#include "game/Puzzler.h"
#include "game/TitleScreen.h"

#include "platform/Window.h"
#include "support/GameAppHarness.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace fs = std::filesystem;
namespace VirtualKey = Platform::VirtualKey;

namespace
{
// Makes the first profile and starts a Casual game with its tutorial pages
// switched off.
void StartCasualGame(ScriptedQuorbSwapApp& app)
{
    app.When([&] { return !app.loading && app.titleScreen && app.titleScreen->playButton.rect.x > 0; },
             [&] { app.ClickOn(app.titleScreen->playButton); });
    app.When([&] { return app.Find<AddProfileDialog>() != nullptr; }, [&] { app.input.Type("Ann"); });
    app.When([&] { return app.Find<AddProfileDialog>() && !app.Find<AddProfileDialog>()->createButton.disabled; },
             [&] { app.ClickOn(app.Find<AddProfileDialog>()->createButton); });
    app.When([&] { return app.titleScreen == nullptr && app.transition == nullptr; },
             [&] {
                 for (uint8_t& shown : app.progress.tutorialShown) {
                     shown = 1;
                 }
                 app.gameMode = GameMode::Casual;
                 app.resumeGame = false;
                 app.GoToGame(false);
             });
}

std::string ReadText(const fs::path& path)
{
    std::ifstream file(path);
    return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

// The board of the running game once its ready banner is gone.
Board* PlayingBoard(ScriptedQuorbSwapApp& app)
{
    Board* board = app.game ? app.game->board : nullptr;
    return board && board->started == false && !board->readyOverlay && board->initialised ? board : nullptr;
}
} // namespace

TEST(LevelOverlaysAppTest, ALostCasualGameTakesTheNameForItsScoreThenShowsTheRecords)
{
    GameAppHarness harness;
    ScriptedQuorbSwapApp& app = harness.Start();
    app.updateLimit = 30000; // loading takes longer on a busy machine
    StartCasualGame(app);
    Board* board = nullptr;
    bool namedBeforePrompt = false;
    bool recordsShown = false;
    app.When([&] { return PlayingBoard(app) != nullptr; },
             [&] {
                 board = PlayingBoard(app);
                 board->started = true;
                 board->levelScore = 654321;
                 // Nothing left to swap: the next settle loses the game.
                 board->pieces.DeleteAll();
                 board->loseCheckPending = true;
                 board->movingCount += 1;
                 board->PieceMoveDone();
             });
    app.When([&] { return board && board->loseOverlay; },
             [&] {
                 EXPECT_EQ(board->loseOverlay->reason, LoseReason::NoMoves);
                 EXPECT_EQ(app.game->deleteSave, 1);
                 app.ClickOn(*board->loseOverlay);
                 namedBeforePrompt = app.Find<EnterYourName>() != nullptr;
             });
    app.When([&] { return board && board->loseOverlay && board->loseOverlay->promptAlpha >= 1.0f; },
             [&] { app.ClickOn(*board->loseOverlay); });
    app.When([&] { return app.Find<EnterYourName>() != nullptr; },
             [&] {
                 app.input.Type("Zed");
                 app.input.Char(VirtualKey::Return);
             });
    app.When([&] { return app.puzzler != nullptr && app.transition == nullptr; },
             [&] {
                 EXPECT_STREQ(app.casualScores.GetName(0).CStr(), "Zed");
                 EXPECT_EQ(app.casualScores.GetScore(0), 654321);
                 // Already on disk: a game killed now keeps the score.
                 EXPECT_NE(ReadText(harness.DataPath("Profiles/Normal.hs")).find("Zed"), std::string::npos);
                 recordsShown = true;
                 app.Quit();
             });
    harness.RunAndClose();

    EXPECT_TRUE(recordsShown);
    EXPECT_FALSE(namedBeforePrompt) << "clicks wait for the prompt";
    EXPECT_FALSE(fs::exists(harness.DataPath("Profiles/Ann/casual.sav"))) << "a lost game leaves no save";
    EXPECT_NE(ReadText(harness.DataPath("Profiles/Normal.hs")).find("Zed"), std::string::npos);
}
