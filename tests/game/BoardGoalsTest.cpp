#include "game/Board.h"

#include "app/Random.h"
#include "game/Game.h"
#include "game/LevelupOverlay.h"
#include "game/LoseOverlay.h"
#include "game/Quorb.h"
#include "game/QuorbSwapApp.h"
#include "game/WinOverlay.h"
#include "game/support/TextBoard.h"
#include "support/SoundTestFolder.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>

namespace
{
// A swap of the top-right piece down completes the top row.
const std::vector<std::string> kMovable = {"001", "230", "456"};
// No swap makes a line anywhere.
const std::vector<std::string> kStuck = {"012", "345", "670"};

enum class Outcome { None, Win, LoseDrained, LoseNoMoves, LoseOutOfTime, LoseOpponent };

// A failed comparison names the outcomes.
void PrintTo(Outcome outcome, std::ostream* out)
{
    constexpr const char* kNames[] = {"None", "Win", "LoseDrained", "LoseNoMoves", "LoseOutOfTime", "LoseOpponent"};
    *out << kNames[static_cast<int>(outcome)];
}

Outcome OutcomeOf(const Board& board)
{
    if (board.winOverlay) {
        return Outcome::Win;
    }
    if (!board.loseOverlay) {
        return Outcome::None;
    }
    switch (board.loseOverlay->reason) {
    case LoseReason::MeterDrained:
        return Outcome::LoseDrained;
    case LoseReason::NoMoves:
        return Outcome::LoseNoMoves;
    case LoseReason::OutOfTime:
        return Outcome::LoseOutOfTime;
    default:
        return Outcome::LoseOpponent;
    }
}

// Brings a board that is at rest to its settle, as the end of a move does.
void SettleOnce(Board& board)
{
    board.movingCount += 1;
    board.PieceMoveDone();
    board.Update();
}

std::unique_ptr<Board> PlayingBoard(const std::vector<std::string>& rows, LevelType type)
{
    auto board = TextBoard::Make(rows, 8);
    board->levelType = type;
    board->started = true;
    board->goalCheckPending = true;
    board->loseCheckPending = true;
    return board;
}
} // namespace

TEST(BoardGoalsTest, EachTypeIsWonAndLostByItsOwnCounter)
{
    struct Case {
        const char* name;
        LevelType type;
        const std::vector<std::string>* rows;
        std::function<void(Board&)> arrange;
        Outcome expected;
    };
    const auto meter = [](float value) {
        return [value](Board& b) {
            b.showMeter = true;
            b.meterMax = 150.0f;
            b.meterValue = b.meterShown = value;
        };
    };
    const Case cases[] = {
        {"meter full", LevelType::Meter, &kMovable, meter(150.0f), Outcome::Win},
        {"meter short", LevelType::Meter, &kMovable, meter(149.0f), Outcome::None},
        {"meter short, no move", LevelType::Meter, &kStuck, meter(149.0f), Outcome::LoseNoMoves},
        {"meter empty, skipped", LevelType::Meter, &kMovable, [](Board& b) { b.meterMax = 150.0f, b.forceWin = true; },
         Outcome::Win},
        {"drain full", LevelType::Drain, &kMovable, meter(150.0f), Outcome::Win},
        {"skull left", LevelType::Skulls, &kMovable,
         [](Board& b) { TextBoard::PieceIn(b, 0, 2)->skull = true; }, Outcome::None},
        {"skull dying", LevelType::Skulls, &kMovable,
         [](Board& b) {
             Quorb* skull = TextBoard::PieceIn(b, 0, 2);
             skull->skull = true;
             skull->killed = true;
         },
         Outcome::Win},
        {"matches left", LevelType::Matches, &kMovable,
         [](Board& b) {
             b.matchesLeft = 1;
             b.countdown = 1;
         },
         Outcome::None},
        {"matches done", LevelType::Matches, &kMovable, [](Board& b) { b.matchesLeft = 0; }, Outcome::Win},
        {"time out", LevelType::Matches, &kMovable,
         [](Board& b) {
             b.matchesLeft = 3;
             b.countdown = 0;
         },
         Outcome::LoseOutOfTime},
        {"no moves before time out", LevelType::Matches, &kStuck,
         [](Board& b) {
             b.matchesLeft = 3;
             b.countdown = 0;
         },
         Outcome::LoseNoMoves},
        {"collect 3 and 0 left", LevelType::Collect, &kMovable,
         [](Board& b) {
             b.collectCounts[0] = 3;
             b.collectCounts[1] = 0;
         },
         Outcome::None},
        {"collect done", LevelType::Collect, &kMovable,
         [](Board& b) {
             b.collectCounts[0] = 0;
             b.collectCounts[1] = -2;
         },
         Outcome::Win},
        {"gold, disabled cell unmarked", LevelType::GoGold, &kMovable,
         [](Board& b) {
             b.cellMarked.assign(9, 1);
             b.cellEnabled[4] = 0;
             b.cellMarked[4] = 0;
         },
         Outcome::Win},
        {"gold, one cell left", LevelType::GoGold, &kMovable,
         [](Board& b) {
             b.cellMarked.assign(9, 1);
             b.cellMarked[8] = 0;
         },
         Outcome::None},
        {"surprise never wins", LevelType::Surprise, &kMovable, [](Board& b) { b.forceWin = true; }, Outcome::None},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto board = PlayingBoard(*c.rows, c.type);
        c.arrange(*board);
        SettleOnce(*board);
        EXPECT_EQ(OutcomeOf(*board), c.expected);
        EXPECT_FALSE(board->goalCheckPending);
    }
}

TEST(BoardGoalsTest, GoldPastItsThresholdAllowsUncheckedRefills)
{
    auto board = PlayingBoard(kMovable, LevelType::GoGold);
    board->cellMarked.assign(9, 0);
    board->markThreshold = 0.5f;
    board->lateUncheckedRefillChance = 0.25f;
    for (int marked = 0; marked < 5; ++marked) {
        board->cellMarked[static_cast<size_t>(marked)] = 1;
        board->CheckGoal();
        EXPECT_EQ(board->uncheckedRefillChance, marked < 4 ? -1.0f : 0.25f) << marked + 1 << " of 9";
    }
}

// The meter display lags the meter by many ticks; a settle that sees it short
// must not let a moveless board lose with a full meter.
TEST(BoardGoalsTest, AFullMeterWinsOnceItsDisplayArrivesEvenWithoutMoves)
{
    auto board = PlayingBoard(kStuck, LevelType::Meter);
    board->showMeter = true;
    board->meterMax = 20.0f;
    board->meterValue = 20.0f;
    board->meterShown = 15.0f;
    SettleOnce(*board);
    EXPECT_EQ(OutcomeOf(*board), Outcome::None);
    EXPECT_TRUE(board->goalCheckPending);
    EXPECT_TRUE(board->loseCheckPending);

    int ticks = 1;
    while (OutcomeOf(*board) == Outcome::None && ticks < 1000) {
        board->Update();
        ++ticks;
    }
    EXPECT_EQ(OutcomeOf(*board), Outcome::Win);
    EXPECT_EQ(board->meterShown, 20.0f);
    EXPECT_NEAR(ticks, 100, 2) << "0.05 a tick over 5 points";
}

TEST(BoardGoalsTest, OnlyThePlayersBoardLosesAndNeverADemonstration)
{
    auto demo = PlayingBoard(kStuck, LevelType::Meter);
    demo->demoMode = true;
    SettleOnce(*demo);
    EXPECT_EQ(OutcomeOf(*demo), Outcome::None);

    auto computer = PlayingBoard(kStuck, LevelType::Duel);
    computer->isComputer = true;
    SettleOnce(*computer);
    EXPECT_EQ(OutcomeOf(*computer), Outcome::None);

    auto covered = PlayingBoard(kStuck, LevelType::Meter);
    covered->started = false;
    covered->meterMax = 150.0f;
    SettleOnce(*covered);
    EXPECT_EQ(OutcomeOf(*covered), Outcome::None) << "no loss before the first swap";
    EXPECT_TRUE(covered->loseCheckPending);
}

TEST(BoardGoalsTest, ADrainLevelRunsDryOnItsTwelveThousandthTick)
{
    auto board = PlayingBoard(kMovable, LevelType::Drain);
    board->goalCheckPending = board->loseCheckPending = false;
    board->showMeter = true;
    board->meterMax = 150.0f;
    board->meterValue = board->meterShown = 30.0f;
    board->meterDrain = -0.0025f;
    int tick = 0;
    while (!board->loseOverlay && tick < 13000) {
        board->Update();
        ++tick;
    }
    EXPECT_EQ(tick, 12000);
    ASSERT_NE(board->loseOverlay, nullptr);
    EXPECT_EQ(board->loseOverlay->reason, LoseReason::MeterDrained);
    EXPECT_EQ(board->meterValue, 0.0f);
    EXPECT_EQ(board->meterShown, 0.0f);
    board->LoseOnDrain();
    EXPECT_EQ(board->children->Count(), 1) << "one overlay for one loss";
}

class EndlessGameTest : public testing::Test
{
  protected:
    void TearDown() override
    {
        game.board = nullptr;
        game.opponentBoard = nullptr;
    }

    Board& Start(GameMode mode)
    {
        app.gameMode = mode;
        board = std::make_unique<Board>(&app, &game);
        game.board = board.get();
        board->SetupLevel(LevelType::Meter, 0);
        return *board;
    }

    // Fills the meter and lets the level-up overlay finish at once.
    void LevelUp()
    {
        board->meterValue = board->meterShown = board->meterMax;
        board->CheckGoal();
        LevelupOverlay* overlay = board->levelupOverlay;
        ASSERT_NE(overlay, nullptr);
        EXPECT_EQ(board->movingCount, 1) << "the overlay holds the board";
        board->RemoveChild(overlay);
        delete overlay;
        EXPECT_EQ(board->levelupOverlay, nullptr);
        EXPECT_EQ(board->movingCount, 0);
    }

    QuorbSwapApp app;
    Game game{&app};
    std::unique_ptr<Board> board;
};

TEST_F(EndlessGameTest, CasualLevelsRaiseTheMeterKindsAndConversionsInSinglePrecision)
{
    struct Step {
        int level;
        float meterMax;
        int kinds;
        int conversions;
        float perMove;
    };
    const Step steps[] = {
        {2, 150.0f, 7, 1, 7.5f},        {3, 225.0f, 8, 1, 11.25f},      {4, 281.25f, 8, 1, 16.875f},
        {5, 351.5625f, 8, 1, 21.09375f}, {6, 439.453125f, 8, 2, 26.3671875f}, {7, 483.3984375f, 8, 2, 32.958984f},
        {8, 531.73828f, 8, 2, 41.19873f}, {9, 584.91211f, 8, 3, 51.498413f}, {10, 643.40332f, 8, 3, 64.373016f},
        {11, 707.74365f, 8, 3, 80.46627f}, {12, 778.51801f, 8, 4, 100.58284f}, {13, 856.36981f, 8, 4, 125.72855f},
        {15, 1036.2075f, 8, 4, 196.45086f},
    };
    Board& b = Start(GameMode::Casual);
    for (const Step& step : steps) {
        while (game.level < step.level) {
            LevelUp();
        }
        SCOPED_TRACE(step.level);
        EXPECT_FLOAT_EQ(b.meterMax, step.meterMax);
        EXPECT_EQ(b.kindCount, step.kinds);
        EXPECT_EQ(b.conversions, step.conversions);
        EXPECT_FLOAT_EQ(b.pressurePerMove, step.perMove);
        EXPECT_EQ(b.meterValue, 0.0f);
        EXPECT_EQ(app.progress.highestCasualLevel, static_cast<uint32_t>(step.level));
    }
}

TEST_F(EndlessGameTest, SpeedPressureRateDoublesToLevelFourThenGrowsByHalf)
{
    Board& b = Start(GameMode::Speed);
    const float rates[] = {0.02f, 0.04f, 0.08f, 0.12f, 0.18f};
    for (float rate : rates) {
        LevelUp();
        EXPECT_FLOAT_EQ(b.pressurePerTick, rate) << game.level;
        EXPECT_EQ(b.pressurePerMove, 0.0f);
    }
    EXPECT_EQ(app.progress.highestSpeedLevel, 6u);
    EXPECT_EQ(app.progress.highestCasualLevel, 0u);
}

TEST_F(EndlessGameTest, ALostEndlessGameDropsItsSave)
{
    Board& b = Start(GameMode::Casual);
    b.started = true;
    b.meterValue = b.meterShown = 10.0f;
    b.pieces.DeleteAll();
    b.loseCheckPending = true;
    SettleOnce(b);
    EXPECT_EQ(OutcomeOf(b), Outcome::LoseNoMoves);
    EXPECT_EQ(game.deleteSave, 1);
}

// The computer plays from the moment the level opens: a player who waits
// loses as one who has swapped.
TEST(BoardGoalsTest, TheComputersFullMeterIsThePlayersLoss)
{
    QuorbSwapApp app;
    for (const bool swapped : {true, false}) {
        SCOPED_TRACE(swapped ? "after a swap" : "before the first swap");
        Game game(&app);
        Board board(&app, &game);
        Board computer(&app, &game);
        game.board = &board;
        game.opponentBoard = &computer;
        board.SetupLevel(LevelType::Duel, 0);
        computer.SetupLevel(LevelType::Duel, 0);
        board.started = swapped;
        computer.meterValue = computer.meterMax - 1.0f;
        computer.OnPiecePopped(static_cast<Quorb*>(computer.pieces.Get(0)));
        EXPECT_FALSE(computer.goalCheckPending);
        EXPECT_TRUE(board.loseCheckPending);
        EXPECT_TRUE(board.movesFinished) << "the resting player's board settles once";
        board.Update();
        computer.Update();
        EXPECT_EQ(OutcomeOf(computer), Outcome::None);
        game.board = game.opponentBoard = nullptr;
        ASSERT_EQ(OutcomeOf(board), Outcome::LoseOpponent);
        EXPECT_EQ(board.loseOverlay->parent, &game) << "the loss covers both boards";
    }
}

TEST(BoardGoalsTest, TheLosingAnimationStaggersEveryPiece)
{
    theRandom->Seed(3);
    auto board = TextBoard::Make({"0123", "4567", "0123"}, 8);
    board->ChangeAllToSkulls();
    std::vector<int> delays;
    for (int i = 0; i < board->pieces.Count(); ++i) {
        const auto* piece = static_cast<const Quorb*>(board->pieces.Get(i));
        EXPECT_TRUE(piece->changing);
        delays.push_back(piece->changeDelay);
    }
    std::sort(delays.begin(), delays.end());
    const std::vector<int> expected = {1, 25, 48, 69, 88, 105, 120, 133, 144, 153, 160, 165};
    EXPECT_EQ(delays, expected) << "0 is raised to 1 by the piece";
}

// Each journey type set up for real and played by the first move found, as
// the computer plays, until its overlay opens.
TEST(BoardGoalsTest, EveryTypeIsPlayedToItsEnd)
{
    struct Case {
        LevelType type;
        int d;
        bool play;
        Outcome expected;
    };
    const Case cases[] = {
        {LevelType::Meter, 0, true, Outcome::Win},      {LevelType::Skulls, 0, true, Outcome::Win},
        {LevelType::Drain, 0, true, Outcome::Win},      {LevelType::Drain, 100, false, Outcome::LoseDrained},
        {LevelType::Matches, 0, true, Outcome::Win},    {LevelType::Matches, 0, false, Outcome::LoseOutOfTime},
        {LevelType::Collect, 0, true, Outcome::Win},    {LevelType::GoGold, 0, true, Outcome::Win},
        {LevelType::Duel, 0, true, Outcome::Win},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "type " << static_cast<int>(c.type) << (c.play ? " played" : " idle"));
        theRandom->Seed(21);
        Board board(nullptr, nullptr);
        board.SetupLevel(c.type, c.d);
        board.PlaceLevelSkulls();
        board.started = true;
        int tick = 0;
        for (; tick < 200000 && !board.winOverlay && !board.loseOverlay; ++tick) {
            if (c.play && board.movingCount == 0 && !board.movesFinished) {
                Point pos;
                Point dir;
                if (board.FindPossibleMove(&pos, &dir)) {
                    board.cascadeLevel = 0;
                    board.TrySwap(board.PieceAtPoint(pos),
                                  board.PieceAtPoint(Point(pos.x + dir.x * board.cellSize, pos.y + dir.y * board.cellSize)));
                }
            }
            board.Update();
        }
        EXPECT_EQ(OutcomeOf(board), c.expected) << tick << " ticks";
        if (c.expected == Outcome::LoseDrained) {
            EXPECT_EQ(tick, 1000) << "30 at 0.03 a tick";
        }
    }
}

TEST(BoardGoalsTest, TheCountdownStopsTickingWhenTheLevelIsLostWithoutMoves)
{
    SoundTestFolder folder;
    folder.WriteBytes("cached/ticktock.cached", MakeSoundCacheFile(1, 16, 22050, std::vector<uint8_t>(8820, 0)));
    QuorbSwapApp app;
    app.sndTickTock.Load("ticktock");
    Board board(&app, nullptr);
    board.SetupLevel(LevelType::Matches, 0);
    board.started = true;
    board.tickLoop.Start();
    ASSERT_EQ(board.tickLoop.GetRequests(), 1);
    board.pieces.DeleteAll();
    board.loseCheckPending = true;
    SettleOnce(board);
    EXPECT_EQ(OutcomeOf(board), Outcome::LoseNoMoves);
    EXPECT_EQ(board.tickLoop.GetRequests(), 0);
}
