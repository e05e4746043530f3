#include "game/Board.h"

#include "game/Anim_Floater.h"
#include "game/Quorb.h"
#include "game/QuorbSwapApp.h"
#include "game/support/TextBoard.h"

#include <gtest/gtest.h>

namespace
{
std::unique_ptr<Board> BoardOf(LevelType type)
{
    auto board = TextBoard::Make({"012", "345", "670"}, 8);
    board->levelType = type;
    board->meterMax = 150.0f;
    return board;
}
} // namespace

TEST(BoardBonusTest, PoppedPiecesCountByLevelType)
{
    struct Case {
        LevelType type;
        bool skull;
        int kind;
        int matched;
        float meter;
        int collectLeft; // slot 0 wants kind 2 with 1 left, slot 1 kind 5 with 0 left
        float pressure;
        bool goalCheck;
    };
    const Case cases[] = {
        {LevelType::Meter, false, 2, 1, 1, 1, 0, false},  {LevelType::Meter, true, 2, 0, 1, 1, 0, false},
        {LevelType::Drain, false, 2, 1, 1, 1, 0, false},  {LevelType::Duel, true, 2, 0, 1, 1, 0, false},
        {LevelType::Skulls, false, 2, 1, 0, 1, 0, false}, {LevelType::Collect, false, 2, 1, 0, 0, 0, true},
        {LevelType::Collect, false, 5, 1, 0, 1, 0, true}, {LevelType::Collect, false, 3, 1, 0, 1, 6, false},
        {LevelType::Collect, true, 3, 0, 0, 1, 0, false}, {LevelType::Matches, false, 2, 1, 0, 1, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "type " << static_cast<int>(c.type) << " kind " << c.kind
                                        << (c.skull ? " skull" : ""));
        auto board = BoardOf(c.type);
        board->collectKinds[0] = 2;
        board->collectCounts[0] = 1;
        board->collectKinds[1] = 5;
        board->collectCounts[1] = 0;
        board->pressurePerMove = 6.0f;
        Quorb* piece = TextBoard::PieceIn(*board, 0, 0);
        piece->kind = c.kind;
        piece->skull = c.skull;
        board->OnPiecePopped(piece);
        EXPECT_EQ(board->piecesMatched, c.matched);
        EXPECT_EQ(board->meterValue, c.meter);
        EXPECT_EQ(board->collectCounts[0], c.collectLeft);
        EXPECT_EQ(board->collectCounts[1], 0) << "never below 0";
        EXPECT_EQ(board->pressure, c.pressure);
        EXPECT_EQ(board->goalCheckPending, c.goalCheck);
    }
}

TEST(BoardBonusTest, TheMeterStopsAtItsMaximumAndAsksForTheGoalOnce)
{
    auto board = BoardOf(LevelType::Meter);
    board->meterMax = 2.0f;
    Quorb* piece = TextBoard::PieceIn(*board, 0, 0);
    board->OnPiecePopped(piece);
    EXPECT_FALSE(board->goalCheckPending);
    board->OnPiecePopped(piece);
    board->OnPiecePopped(piece);
    EXPECT_EQ(board->meterValue, 2.0f);
    EXPECT_TRUE(board->goalCheckPending);
}

TEST(BoardBonusTest, CellsAreMarkedOnceAndOnlyInsideTheGrid)
{
    auto board = BoardOf(LevelType::GoGold);
    board->cellMarked.assign(9, 0);
    Quorb* piece = TextBoard::PieceIn(*board, 2, 1);
    board->OnPiecePopped(piece);
    EXPECT_EQ(board->cellMarked[5], 1);
    EXPECT_EQ(board->levelScore, 10) << "2 x level + 8";
    EXPECT_EQ(board->strictRefillHold, 5);
    EXPECT_EQ(board->effects.Count(), 1);

    board->strictRefillHold = 2;
    board->goalCheckPending = false;
    board->MarkCell(piece);
    EXPECT_EQ(board->levelScore, 10) << "an already marked cell gives nothing";
    EXPECT_EQ(board->strictRefillHold, 2);
    EXPECT_FALSE(board->goalCheckPending);

    const float outside[][2] = {{-1.0f, 10.0f}, {10.0f, -0.5f}, {3 * board->cellSize, 10.0f},
                                {10.0f, 3 * board->cellSize + 1.0f}, {1e9f, 1e9f}};
    for (const auto& pos : outside) {
        piece->pos = Point(pos[0], pos[1]);
        board->MarkCell(piece);
    }
    EXPECT_EQ(std::count(board->cellMarked.begin(), board->cellMarked.end(), 1), 1);
    EXPECT_EQ(board->levelScore, 10);

    board->cellSize = 0.5f;
    piece->pos = Point(0.25f, 0.25f);
    board->MarkCell(piece);
    EXPECT_EQ(board->cellMarked[0], 0) << "no cells without a size";
}

TEST(BoardBonusTest, SkullsAndChainsRelieveThePressure)
{
    auto board = BoardOf(LevelType::Skulls);
    board->pressureRelief = 10.0f;
    Quorb* skull = TextBoard::PieceIn(*board, 1, 1);

    board->pressure = 80.0f;
    board->OnSkullHit(skull);
    EXPECT_EQ(board->pressure, 0.0f);
    EXPECT_EQ(board->levelScore, 50) << "10 x (level + 4)";
    EXPECT_FALSE(board->goalCheckPending);

    board->pressure = 80.0f;
    board->OnSkullBroken(skull);
    EXPECT_EQ(board->pressure, 0.0f);
    EXPECT_EQ(board->levelScore, 50 + 500) << "25 x (level + 19)";
    EXPECT_TRUE(board->goalCheckPending);

    const struct {
        int cascade;
        float pressureAfter;
    } chains[] = {{1, 80}, {2, 70}, {5, 40}, {7, 20}};
    for (const auto& chain : chains) {
        board->pressure = 100.0f;
        board->cascadeLevel = chain.cascade;
        board->CascadeBonus(Point());
        EXPECT_EQ(board->pressure, chain.pressureAfter) << chain.cascade;
    }
    board->pressure = 100.0f;
    board->cascadeLevel = 0;
    board->MultiMatchBonus(std::vector<PieceGroup>(3), Point());
    EXPECT_EQ(board->pressure, 60.0f) << "(groups + 1) x relief";

    board->pressureOnMoves = false;
    board->pressure = 100.0f;
    board->OnSkullHit(skull);
    board->CascadeBonus(Point());
    board->MultiMatchBonus(std::vector<PieceGroup>(2), Point());
    EXPECT_EQ(board->pressure, 100.0f) << "no relief where matches do not press";
    EXPECT_TRUE(board->relaxPopups);
}

TEST(BoardBonusTest, CascadesFromTheFifthOnShowTheLastArt)
{
    QuorbSwapApp app;
    Board board(&app, nullptr);
    const struct {
        int cascade;
        int art;
    } cases[] = {{1, 0}, {2, 1}, {4, 3}, {5, 4}, {7, 4}, {30, 4}};
    for (const auto& c : cases) {
        board.cascadeLevel = c.cascade;
        board.CascadeBonus(Point());
        const auto* floater = static_cast<const Anim_Floater*>(board.popups.Get(board.popups.Count() - 1));
        EXPECT_EQ(floater->sprite, &app.sprMultiplier[c.art]) << c.cascade;
    }
    board.MultiMatchBonus(std::vector<PieceGroup>(2), Point());
    EXPECT_EQ(static_cast<const Anim_Floater*>(board.popups.Get(board.popups.Count() - 1))->sprite, &app.sprCombo);
}
