// Every screen of the game drawn in every display mode, headless: each frame
// must look like the 32-bit software frame of the same screen, block by block.
// A background left undrawn, stale pixels, a shift or a wrong colour order in
// one mode shows as a block far from the reference.
#include "app/Graphics.h"
#include "app/Random.h"
#include "game/AddProfileDialog.h"
#include "game/Board.h"
#include "game/EnterYourName.h"
#include "game/Game.h"
#include "game/GamePicker.h"
#include "game/InfoDialog.h"
#include "game/LoseOverlay.h"
#include "game/Map.h"
#include "game/OptionsMenu.h"
#include "game/PauseOverlay.h"
#include "game/PickDiff.h"
#include "game/PopupMenu.h"
#include "game/ProfileManagerDialog.h"
#include "game/Puzzler.h"
#include "game/Quorb.h"
#include "game/TitleScreen.h"
#include "game/Tutor.h"
#include "game/WinOverlay.h"
#include "platform/Clock.h"
#include "support/MenuSteps.h"
#include "support/SdlEventInjector.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using Scripted = ScriptedQuorbSwapApp;

// Blocks of 20 x 20 logical pixels: 16 x 16 software pixels, 20 x 20 of SDL's.
constexpr int kBlock = 20;
constexpr int kColumns = 800 / kBlock;
constexpr int kRows = 600 / kBlock;

// One frame as the mean of each colour channel over each block.
using Blocks = std::vector<float>;

Blocks MeasureFrame()
{
    Graphics& g = theGraphics;
    Platform::Surface readBack(g.mWidth, g.mHeight, Platform::PixelFormat::XRGB8888());
    const Platform::Surface* frame = g.mSWHelper.GetSurface();
    if (!g.mSoftware) {
        EXPECT_TRUE(g.mDevice != nullptr && g.mDevice->ReadBackBuffer(readBack));
        frame = &readBack;
    }
    Blocks blocks(size_t(kColumns * kRows * 3), 0.0f);
    const int side = frame->GetWidth() / kColumns;
    for (int y = 0; y < kRows * side; ++y)
        for (int x = 0; x < kColumns * side; ++x) {
            const uint32_t pixel = frame->GetPixel(x, y);
            float* block = &blocks[size_t(((y / side) * kColumns + x / side) * 3)];
            for (int c = 0; c < 3; ++c)
                block[c] += float((pixel >> (8 * c)) & 0xFF) / float(side * side);
        }
    return blocks;
}

// The largest difference of one channel of one block, the blocks within marks aside.
float LargestDifference(const Blocks& a, const Blocks& b, const std::array<int, 4>& marks)
{
    float largest = 0.0f;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
        const int x = int(i / 3) % kColumns * kBlock;
        const int y = int(i / 3) / kColumns * kBlock;
        if (x + kBlock <= marks[0] || x >= marks[2] || y + kBlock <= marks[1] || y >= marks[3])
            largest = std::max(largest, std::abs(a[i] - b[i]));
    }
    return a.size() == b.size() ? largest : 255.0f;
}

// A new game of that mode shown at once, its tutorial pages switched off.
void StartGame(Scripted& app, GameMode mode)
{
    EnterProfile(app);
    app.gameMode = mode;
    app.resumeGame = false;
    app.GoToGame(false);
}

Board* PlayingBoard(Scripted& app)
{
    Board* board = app.game ? app.game->board : nullptr;
    return board && board->initialised && !board->readyOverlay ? board : nullptr;
}

// Makes the move the hint would show.
void MakeAMove(Board& board)
{
    Point pos, dir;
    ASSERT_TRUE(board.FindPossibleMove(&pos, &dir));
    Quorb* a = board.PieceAtPoint(pos);
    Quorb* b = board.PieceAtPoint(Point(pos.x + dir.x * board.cellSize, pos.y + dir.y * board.cellSize));
    ASSERT_TRUE(a != nullptr && b != nullptr && board.TrySwap(a, b));
}

// Matched pieces are shrinking away.
bool Popping(Board& board)
{
    for (int i = 0; i < board.pieces.Count(); ++i) {
        const auto* piece = static_cast<const Quorb*>(board.pieces.Get(i));
        if (piece->popping && piece->popScale > 0.05f)
            return true;
    }
    return false;
}

// The pointer resting on the first open square of the map, for its tooltip; moved
// by the window system, where the application looks for it.
bool HoverOpenSquare(Scripted& app)
{
    Map* map = app.game ? app.game->map : nullptr;
    if (map == nullptr || !map->revealQueue.empty())
        return false;
    bool moved = map->hoverX >= 0;
    for (int c = 0; c < kMapSize && !moved; ++c)
        for (int r = 0; r < kMapSize && !moved; ++r)
            if (!map->Square(c, r).locked && !map->Square(c, r).won) {
                // Window pixels: the frame's own, whatever the mode.
                const float scale = float(theGraphics.mWidth) / 800.0f;
                SdlEventInjector::MouseMotion(int((Map::kLeft + Map::kColumnPitch * float(c)) * scale),
                                              int((Map::kTop + Map::kRowPitch * float(r)) * scale));
                moved = true;
            }
    return map->tooltipCaption != nullptr && map->tooltipAlpha >= 1.0f;
}

void ScrollRecords(Scripted& app)
{
    app.puzzler->Notify(&app.puzzler->scrollRightButton);
}

bool PagesAtRest(Scripted& app)
{
    return app.puzzler->pageRemaining == 0.0f;
}

void StartJourneyLevel(Scripted& app, LevelType type)
{
    app.game->levelType = type;
    app.game->StartLevel(false);
}

// The casual board's first move was made.
bool gMoved = false;

// A screen: how it opens from the one before it (a modal dialog's loop runs the
// steps after it), and when it is ready to be drawn; the test may act on it while
// it waits (a move, the pointer).
struct Screen
{
    const char* name;
    std::function<void(Scripted&)> open;
    std::function<bool(Scripted&)> ready = [](Scripted&) { return true; };
    // Logical left, top, right and bottom of what tells the modes apart on this screen.
    std::array<int, 4> modeMarks{};
};

const std::vector<Screen>& Screens()
{
    static const std::vector<Screen> screens = {
        {"title with its loading bar",
         [](Scripted& app) {
             EnterProfile(app);
             app.CloseAllScreens();
             app.titleScreen = new TitleScreen(&app);
             app.rootGadgets.Add(app.titleScreen);
         }},
        {"main menu", [](Scripted& app) { app.GoToMainMenu(false); }},
        {"game picker", [](Scripted& app) { GamePicker(&app, true).Run(); }},
        {"difficulty picker", [](Scripted&) { PickDiff().Run(); }},
        {"options",
         [](Scripted& app) { OptionsMenu::Open(&app); },
         [](Scripted&) { return true; },
         {180, 300, 240, 460}},
        {"info dialog",
         [](Scripted& app) {
             app.optionsMenu->Kill();
             InfoDialog(InfoDialogKind::Message, "", "You don't have any saved games to resume!");
         }},
        {"profiles", [](Scripted& app) { ProfileManagerDialog(&app.profiles); }},
        {"new profile", [](Scripted& app) { AddProfileDialog(&app.profiles); }},
        {"records: high scores", [](Scripted& app) { app.GoToPuzzler(false); }},
        {"records: jigsaw", ScrollRecords, PagesAtRest},
        {"records: statistics", ScrollRecords, PagesAtRest},
        {"casual board mid-cascade",
         [](Scripted& app) {
             StartGame(app, GameMode::Casual);
             gMoved = false;
         },
         [](Scripted& app) {
             Board* board = PlayingBoard(app);
             if (board != nullptr && !gMoved) {
                 MakeAMove(*board);
                 gMoved = true;
             }
             return gMoved && board != nullptr && board->popups.Count() > 0 && Popping(*board);
         }},
        {"pause", [](Scripted& app) { app.game->SetPaused(1); }},
        {"popup menu",
         [](Scripted& app) {
             app.Find<PauseOverlay>()->Kill();
             app.game->SetPaused(0);
             app.game->OpenPopupMenu();
         }},
        {"level-up overlay",
         [](Scripted& app) {
             app.popupMenu->Notify(&app.popupMenu->backToGameButton);
             app.game->board->LevelUp(GameMode::Casual);
         }},
        {"lose overlay", [](Scripted& app) { app.game->board->OpenLoseOverlay(LoseReason::NoMoves, false); }},
        {"high-score name entry",
         [](Scripted& app) { EnterYourName::EnterHighScore(&app, app.casualScores, 1); }},
        {"journey map with tip and tooltip", [](Scripted& app) { StartGame(app, GameMode::Journey); },
         HoverOpenSquare},
        {"tutorial page",
         [](Scripted& app) {
             app.progress.tutorialShown[int(LevelType::Collect) + 1] = 0;
             StartJourneyLevel(app, LevelType::Collect);
         },
         [](Scripted& app) { return app.game->tutor != nullptr; }},
        {"journey level with goal counters",
         [](Scripted& app) { app.game->tutor->Notify(&app.game->tutor->okButton); },
         [](Scripted& app) { return PlayingBoard(app) != nullptr; }},
        {"win overlay",
         [](Scripted& app) {
             Board* board = app.game->board;
             board->winOverlay = new WinOverlay(board);
             board->AddChild(board->winOverlay);
         }},
        {"duel", [](Scripted& app) { StartJourneyLevel(app, LevelType::Duel); },
         [](Scripted& app) { return PlayingBoard(app) != nullptr; }},
    };
    return screens;
}

// A display mode as the settings file chooses it.
struct Mode
{
    const char* name;
    const char* rendererSwitch;
    int depth;
    bool fullscreen;
    float tolerance; // the largest block difference from the reference allowed
};

// Two frames of every screen, in the table's order, drawn in one mode.
std::vector<Blocks> DrawEveryScreen(const Mode& mode)
{
    GameAppHarness harness;
    fs::create_directories(harness.DataPath(""));
    std::ofstream(harness.DataPath("config.cfg"))
        << "DX::ScreenWidth=800\r\nDX::ScreenHeight=600\r\nDX::ColorDepth=" << mode.depth
        << "\r\nDX::Fullscreen=" << (mode.fullscreen ? "true" : "false")
        << "\r\nDX::SafeMode=" << (mode.rendererSwitch[1] == 's' ? "true" : "false")
        << "\r\nDX::UseCustomCursors=false\r\n";
    Scripted& app = harness.Start(mode.rendererSwitch);
    app.updateLimit = kUpdateLimit;
    app.handDrawnOnly = true;
    // Once loaded, time moves only as the loop sleeps, and by whole updates (2 ms at
    // this speed): every mode runs the same updates. Each nap then runs a good many
    // updates, not only the next one. The loader thread needs real time.
    uint32_t now = 100000;
    app.SetSpeed(5.0f);
    app.clock = [&now] { return now; };
    app.sleep = [&now, &app](uint32_t milliseconds) {
        now += milliseconds;
        if (app.loading)
            Platform::Clock::Sleep(milliseconds);
        else
            now += 40;
    };

    std::vector<Blocks> frames;
    const std::vector<Screen>& screens = Screens();
    int openedAt = 0;
    for (size_t i = 0; i < screens.size(); ++i) {
        const Screen& screen = screens[i];
        app.When([&app, i] { return i > 0 || Settled(app); },
                 [&app, &openedAt, &screen] {
                     // Animations run on the count of updates since start, which
                     // loading leaves at no fixed value.
                     theRandom->Seed(7);
                     app.updateCount = 1000;
                     openedAt = app.updates;
                     screen.open(app);
                 });
        app.When([&app, &openedAt, &screen] { return screen.ready(app) && app.updates - openedAt >= 30; },
                 [&app, &frames, &screen] {
                     EXPECT_TRUE(app.active) << screen.name;
                     for (int frame = 0; frame < 2; ++frame) {
                         app.DrawByHand();
                         frames.push_back(MeasureFrame());
                     }
                     Gadget* top = Top<Gadget>(app);
                     if (top != nullptr && top->modalRunning)
                         top->EndModal(0);
                 });
    }
    app.When([] { return true; }, [&app] { app.Quit(); });
    EXPECT_EQ(theGraphics.mSoftware, mode.rendererSwitch[1] == 's') << mode.name;
    harness.RunAndClose();
    return frames;
}

} // namespace

TEST(DisplayModesTest, EveryScreenLooksTheSameInEveryMode)
{
    const Mode modes[] = {
        {"software XRGB8888, windowed (the reference)", "-software", 32, false, 0.0f},
        {"software XRGB8888, full screen", "-software", 32, true, 0.0f},
        {"software RGB565, full screen", "-software", 16, true, 18.0f},
        {"software RGB555, full screen", "-software", 15, true, 22.0f},
        {"SDL's renderer, windowed", "-hardware", 32, false, 38.0f},
        {"SDL's renderer, full screen", "-hardware", 32, true, 38.0f},
    };
    const std::vector<Blocks> reference = DrawEveryScreen(modes[0]);
    ASSERT_EQ(reference.size(), Screens().size() * 2);
    for (const Mode& mode : modes) {
        const std::vector<Blocks> frames = &mode == &modes[0] ? reference : DrawEveryScreen(mode);
        ASSERT_EQ(frames.size(), reference.size()) << mode.name;
        float largest = 0.0f;
        for (size_t i = 0; i < frames.size(); ++i) {
            const float difference = LargestDifference(frames[i], reference[i], Screens()[i / 2].modeMarks);
            largest = std::max(largest, difference);
            EXPECT_LE(difference, mode.tolerance)
                << mode.name << ": " << Screens()[i / 2].name << ", frame " << i % 2 + 1;
        }
        std::printf("%s: largest block difference %.2f\n", mode.name, double(largest));
    }
}
