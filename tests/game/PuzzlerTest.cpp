// The records screen: page slides, dragging jigsaw pieces home through the
// input queue, hostile progress data and layout files, statistics texts.
#include "game/Puzzler.h"

#include "game/Game.h"
#include "game/Map.h"
#include "game/ProfileProgress.h"
#include "support/MenuSteps.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>

namespace fs = std::filesystem;

namespace {
constexpr int kOrigin[2] = {168, 129};

// Links every entry of one folder into another, but the one named.
void LinkAllBut(const fs::path& from, const fs::path& to, const std::string& except)
{
    for (const auto& entry : fs::directory_iterator(from)) {
        if (entry.path().filename() == except)
            continue;
        if (entry.is_directory())
            fs::create_directory_symlink(entry.path(), to / entry.path().filename());
        else
            fs::create_symlink(entry.path(), to / entry.path().filename());
    }
}

// The first picture's layout file swapped for one with 25 pieces, all at
// (100, 50), in lower case, between other tags.
void WriteOversizedLayout()
{
    const fs::path real = fs::read_symlink("graphics");
    fs::remove("graphics");
    fs::create_directories("graphics/jigsaws/puzzle1");
    LinkAllBut(real, "graphics", "jigsaws");
    LinkAllBut(real / "jigsaws", "graphics/jigsaws", "puzzle1");
    LinkAllBut(real / "jigsaws" / "puzzle1", "graphics/jigsaws/puzzle1", "info.cfg");
    std::ofstream file("graphics/jigsaws/puzzle1/info.cfg");
    file << "<NAME>big</NAME>\n";
    for (int i = 0; i < 25; ++i)
        file << "<piece><SIZE>1,1</SIZE><pos>100,50</pos></piece>\n";
}
} // namespace

// Slides both ways, the layout file, hostile data, a quick drag, a drop at
// exactly 20 pixels, a focus loss in mid-drag, drops anywhere on the screen and off
// it, and the lock that completes a picture.
TEST(PuzzlerTest, PiecesAreDraggedHomeAndPagesSlideBothWays)
{
    GameAppHarness harness;
    WriteOversizedLayout();
    ScriptedQuorbSwapApp& app = harness.Start();
    app.updateLimit = kUpdateLimit;
    JigsawPieceRecord* loose = nullptr;
    Point home;
    int slideTicks = 0;
    float lastOffset = 0;
    bool fixedOnOpen = false;
    bool homesRead = false;
    bool slidRight = false;
    bool slidBack = false;
    bool stayedAt20 = false;
    bool keptWhereHeld = false;
    bool keptWhereDropped = false;
    bool keptOnScreen = false;
    bool locked = false;
    auto puzzler = [&app] { return app.puzzler; };
    auto atRest = [&] { return puzzler() != nullptr && puzzler()->pageRemaining == 0; };
    // Pointer moves that take the loose piece by its centre and drop its
    // centre at `to`: a small first step past the drag threshold, or at
    // once, a step that leaves the piece before the drag starts.
    auto dragTo = [&](Point to, bool release, bool quick = false) {
        const int cx = int(loose->x) + kOrigin[0];
        const int cy = int(loose->y) + kOrigin[1];
        app.input.Press(cx, cy);
        if (!quick)
            app.input.Move(cx + 3, cy);
        const int tx = int(to.x) + kOrigin[0];
        const int ty = int(to.y) + kOrigin[1];
        app.input.Move(tx, ty);
        if (release)
            app.input.Release(tx, ty);
    };
    app.everyUpdate = [&] {
        if (puzzler() == nullptr)
            return;
        if (puzzler()->pageOffsets[0] != lastOffset)
            ++slideTicks;
        lastOffset = puzzler()->pageOffsets[0];
    };
    app.When([&] { return Settled(app); }, [&] {
        EnterProfile(app);
        ProfileProgress& progress = app.progress;
        progress.currentJigsaw = 0xFFFFFFFFu;
        for (int i = 0; i < kJigsawPiecesPerPicture; ++i) {
            progress.pieces[i].owned = 1;
            progress.pieces[i].placed = 1;
        }
        loose = &progress.pieces[19];
        loose->placed = 0;
        loose->x = std::numeric_limits<float>::quiet_NaN();
        loose->y = std::numeric_limits<float>::infinity();
        app.GoToPuzzler(false);
        Puzzler* screen = puzzler();
        fixedOnOpen = progress.currentJigsaw == 0 && std::isfinite(loose->x) && std::isfinite(loose->y) &&
                      loose->x >= ProfileProgress::kLooseMinX && loose->y <= ProfileProgress::kLooseMaxY &&
                      screen->pictureOffsets[0] == 0 && !screen->complete[0] && screen->pageOffsets[2] == 0;
        const Sprite& first = app.jigsawPieceSprites[0];
        const Sprite& second = app.jigsawPieceSprites[20];
        home = screen->pieceTargets[19];
        homesRead = home.x == float(100 + app.jigsawPieceSprites[19].mWidth / 2) &&
                    home.y == float(50 + app.jigsawPieceSprites[19].mHeight / 2) &&
                    screen->pieceTargets[0].x == float(100 + first.mWidth / 2) &&
                    screen->pieceTargets[20].x == float(second.mWidth / 2) &&
                    screen->pieceTargets[20].y == float(second.mHeight / 2);
        loose->x = 300;
        loose->y = 300;
        lastOffset = screen->pageOffsets[0];
        slideTicks = 0;
    });
    app.When([&] { return atRest(); }, [&] { app.ClickOn(puzzler()->scrollRightButton); });
    app.When([&] { return atRest() && puzzler()->pageOffsets[0] == 0; }, [&] {
        slidRight = slideTicks == 32 && puzzler()->pageOffsets[1] == 800 && puzzler()->pageOffsets[2] == -800;
        slideTicks = 0;
        app.ClickOn(puzzler()->scrollLeftButton);
    });
    app.When([&] { return atRest() && puzzler()->pageOffsets[2] == 0; }, [&] {
        slidBack = slideTicks == 32 && puzzler()->pageOffsets[0] == 800;
        app.ClickOn(puzzler()->scrollRightButton);
    });
    app.When([&] { return atRest() && puzzler()->pageOffsets[0] == 0; },
             [&] { dragTo(Point(home.x + 20, home.y), true, true); });
    app.When([&] { return !puzzler()->dragging && loose->x != 300; }, [&] {
        stayedAt20 = loose->x == home.x + 20 && loose->y == home.y && !loose->placed &&
                     puzzler()->draggedPiece == loose;
        dragTo(Point(home.x + 60, home.y + 40), false);
    });
    app.When([&] { return puzzler()->draggedPiece == loose && loose->x == home.x + 60; }, [&] {
        // The window loses focus with the button still held.
        app.SetActive(false);
        app.CancelMouse();
        app.SetActive(true);
        keptWhereHeld = loose->x == home.x + 60 && loose->y == home.y + 40 && !loose->placed;
        dragTo(Point(560, 300), true); // far from where new pieces are scattered
    });
    app.When([&] { return !puzzler()->dragging; }, [&] {
        keptWhereDropped = loose->x == 560 && loose->y == 300;
        dragTo(Point(-250, -200), true); // released off the screen
    });
    app.When([&] { return !puzzler()->dragging; }, [&] {
        keptOnScreen = loose->x == -kOrigin[0] && loose->y == -kOrigin[1];
        dragTo(Point(home.x + 19, home.y), true);
    });
    app.When([&] { return loose->placed; }, [&] {
        locked = loose->x == home.x && loose->y == home.y && puzzler()->complete[0] &&
                 puzzler()->ownedPieces[0].Get(0) == loose;
        app.Quit();
    });
    harness.RunAndClose();
    EXPECT_TRUE(fixedOnOpen);
    EXPECT_TRUE(homesRead);
    EXPECT_TRUE(slidRight);
    EXPECT_TRUE(slidBack);
    EXPECT_TRUE(stayedAt20);
    EXPECT_TRUE(keptWhereHeld);
    EXPECT_TRUE(keptWhereDropped);
    EXPECT_TRUE(keptOnScreen);
    EXPECT_TRUE(locked);
}

TEST(PuzzlerTest, StatisticsShowEveryCounterInItsRow)
{
    const struct
    {
        const char* label;
        uint32_t ProfileProgress::*counter;
        uint32_t value;
        const char* text;
    } rows[Puzzler::kStatisticRows] = {
        {"Quorbs Popped:", &ProfileProgress::quorbsPopped, 3000000000u, "-1294967296"}, // shown signed
        {"Journey Levels Unlocked:", &ProfileProgress::journeyLevelsUnlocked, 12, "12"},
        {"Journey Levels Lost:", &ProfileProgress::journeyLevelsLost, 5, "5"},
        {"Journey Levels Won:", &ProfileProgress::journeyLevelsWon, 7, "7"},
        {"Journeys Completed:", &ProfileProgress::journeysCompleted, 2, "2"},
        {"Super Quorbs Created:", &ProfileProgress::superQuorbsCreated, 31, "31"},
        {"Highest Cascade:", &ProfileProgress::highestCascade, 9, "9"},
        {"Grimbos Broken:", &ProfileProgress::grimbosBroken, 64, "64"},
        {"Bonus Items Collected:", &ProfileProgress::bonusItemsCollected, 15, "15"},
        {"Casual Games Played:", &ProfileProgress::casualGamesPlayed, 3, "3"},
        {"Speed Games Played:", &ProfileProgress::speedGamesPlayed, 4, "4"},
        {"Highest Casual Level Reached:", &ProfileProgress::highestCasualLevel, 11, "11"},
        {"Highest Speed Level Reached:", &ProfileProgress::highestSpeedLevel, 8, "8"},
        {"Highest Journey Level Reached:", &ProfileProgress::highestJourneyLevel, 44, "44"},
    };
    ProfileProgress fresh{};
    ProfileProgress played{};
    for (const auto& row : rows)
        played.*row.counter = row.value;
    for (int k = 0; k < Puzzler::kStatisticRows; ++k) {
        EXPECT_STREQ(Puzzler::StatisticLabel(k), rows[k].label);
        EXPECT_EQ(Puzzler::StatisticText(fresh, k), "0") << k;
        EXPECT_EQ(Puzzler::StatisticText(played, k), rows[k].text) << k;
    }
}

// From the journey map's puzzle button onto the jigsaw page and back; a
// click while the switch fades out is taken, the second click of a quick
// double click on the menu button is not.
TEST(PuzzlerTest, OverTheGameOpensOnTheJigsawAndReturnsToTheGame)
{
    GameAppHarness harness;
    ScriptedQuorbSwapApp& app = harness.Start();
    app.updateLimit = kUpdateLimit;
    bool jigsawFirst = false;
    bool clickedWhileFading = false;
    bool backToGame = false;
    int returnedAt = 0;
    auto mapIdle = [&app] {
        return Settled(app) && app.game != nullptr && app.game->map != nullptr && app.game->board == nullptr &&
               app.game->map->revealQueue.empty() && !app.game->map->disabled;
    };
    app.When([&] { return Settled(app); }, [&] {
        EnterProfile(app);
        app.gameMode = GameMode::Journey;
        app.difficulty = Difficulty::Normal;
        app.resumeGame = false;
        app.GoToGame(false);
    });
    app.When(mapIdle, [&] { app.ClickOn(app.game->map->puzzleButton); });
    // The screen is up and the switch fades out: buttons take clicks.
    app.When([&] { return app.puzzler != nullptr && app.transition != nullptr && !app.transition->growing; },
             [&] { app.ClickOn(app.puzzler->nextPictureButton); });
    app.When([&] { return Settled(app) && app.puzzler != nullptr; }, [&] {
        Puzzler& screen = *app.puzzler;
        clickedWhileFading = app.progress.currentJigsaw == 1;
        jigsawFirst = screen.pageOffsets[0] == 0 && screen.scrollLeftButton.rect.x < 0 &&
                      screen.scrollRightButton.rect.y < 0 && screen.menuButton.strip == &screen.strips[5] &&
                      app.game != nullptr;
        app.ClickOn(screen.menuButton);
        app.ClickOn(screen.menuButton);
    });
    app.When([&] { return Settled(app) && app.puzzler == nullptr; }, [&] { returnedAt = app.updates; });
    app.When([&] { return app.updates > returnedAt + 200; }, [&] {
        backToGame = app.puzzler == nullptr && app.transition == nullptr && app.game != nullptr;
        app.Quit();
    });
    harness.RunAndClose();
    EXPECT_TRUE(jigsawFirst);
    EXPECT_TRUE(clickedWhileFading);
    EXPECT_TRUE(backToGame);
}
