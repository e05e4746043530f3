// Scoring matched lines, super pieces, explosions.
#include "game/support/TextBoard.h"

#include "app/Random.h"
#include "game/Game.h"
#include "game/Quorb.h"
#include "game/QuorbSwapApp.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// One line of "size" kind-0 pieces over rows that make no line.
std::vector<std::string> LineOf(int size)
{
    std::string filler1;
    std::string filler2;
    for (int i = 0; i < size; i++) {
        filler1 += static_cast<char>('1' + i % 2);
        filler2 += static_cast<char>('3' + i % 2);
    }
    return {std::string(static_cast<size_t>(size), '0'), filler1, filler2};
}

int CountPopping(const Board& board)
{
    int popping = 0;
    for (int i = 0; i < board.pieces.Count(); i++)
        popping += static_cast<const Quorb*>(board.pieces.Get(i))->popping ? 1 : 0;
    return popping;
}

} // namespace

TEST(BoardScoreTest, OneGroupScoresItsSizeAndSuperUnits)
{
    struct Case
    {
        int size;
        bool eligible;
        int expected; // level 1, first pass: base 10 a piece
    } cases[] = {
        {3, true, 30},        {4, true, 70 + 250},  {5, true, 90 + 250}, {6, true, 160 + 250},
        {7, true, 250 + 250}, {8, true, 360 + 250}, {5, false, 150},
    };
    for (const Case& c : cases) {
        auto board = TextBoard::Make(LineOf(c.size));
        theRandom->Seed(1);
        for (int i = 0; i < board->pieces.Count(); i++)
            static_cast<Quorb*>(board->pieces.Get(i))->age = c.eligible ? 5 : 9999;
        board->ProcessMatches();
        EXPECT_EQ(board->levelScore, c.expected) << c.size;
        EXPECT_TRUE(board->refillPending);
        EXPECT_EQ(board->cascadeLevel, 1);
        const bool super = c.size >= 4 && c.eligible;
        EXPECT_EQ(CountPopping(*board), super ? c.size - 1 : c.size) << c.size;
        if (super) {
            // Of equally young pieces the first in the group stays as a super piece.
            EXPECT_TRUE(TextBoard::PieceIn(*board, 0, 0)->super) << c.size;
            EXPECT_FALSE(TextBoard::PieceIn(*board, 0, 0)->popping) << c.size;
        }
    }
}

TEST(BoardScoreTest, SwappedPieceBecomesSuperAndTwoGroupsOnASecondPass)
{
    auto board = TextBoard::Make({
        "0010",
        "1201",
        "3434",
    });
    theRandom->Seed(3);
    ASSERT_TRUE(TextBoard::Swap(*board, 2, 0, 2, 1));
    for (int tick = 0; tick < 44; tick++)
        board->Update();
    for (int i = 0; i < board->pieces.Count(); i++)
        static_cast<Quorb*>(board->pieces.Get(i))->age = 50; // older than the swapped pieces
    board->Update();
    EXPECT_EQ(board->levelScore, 70 + 250);
    EXPECT_TRUE(TextBoard::PieceIn(*board, 2, 0)->super) << "the swapped piece (age 0) becomes super";

    auto twoGroups = TextBoard::Make({
        "000",
        "121",
        "111",
    });
    twoGroups->cascadeLevel = 1;
    twoGroups->ProcessMatches();
    EXPECT_EQ(twoGroups->levelScore, 2240);
    EXPECT_EQ(twoGroups->cascadeLevel, 2);
}

// Every score has a level term, which a game at level 1 cannot tell from a
// wrong one: these are the formulas at level 3, before the game's
// multiplier (1 on Normal without powers).
TEST(BoardScoreTest, EveryScoreGrowsWithTheLevel)
{
    constexpr int L = 3;
    constexpr int base = (L + 4) * 2;   // a pass with one group
    constexpr int super = (L + 49) * 5; // the bonus of a super piece
    auto matches = [](Board& board) { board.ProcessMatches(); };
    struct Case
    {
        const char* what;
        std::vector<std::string> rows;
        void (*play)(Board&);
        int expected;
    } cases[] = {
        {"group of three", LineOf(3), matches, 3 * base},
        {"group of four", LineOf(4), matches, (4 + 3) * base + super},
        {"group of five", LineOf(5), matches, (5 + 4) * base + super},
        {"two groups on a second pass",
         {"000", "121", "111"},
         [](Board& board) {
             board.cascadeLevel = 1;
             board.ProcessMatches();
         },
         2 * (3 * 2 * base + 3 * 2 * base + 1000)},
        {"marked cell",
         {"0"},
         [](Board& board) {
             board.levelType = LevelType::GoGold;
             board.cellMarked.assign(1, 0);
             board.OnPiecePopped(TextBoard::PieceIn(board, 0, 0));
         },
         2 * L + 8},
        {"skull hit beside a group of three", {"000", "1x2", "343"}, matches, 3 * base + 10 * (L + 4)},
        {"broken skull",
         {"x1"},
         [](Board& board) { TextBoard::PieceIn(board, 0, 0)->Shatter(); },
         25 * (L + 19)},
    };
    QuorbSwapApp app;
    Game game(&app);
    game.level = L;
    for (const Case& c : cases) {
        auto board = TextBoard::Make(c.rows);
        board->game = &game;
        theRandom->Seed(4);
        for (int i = 0; i < board->pieces.Count(); i++)
            static_cast<Quorb*>(board->pieces.Get(i))->age = 5;
        c.play(*board);
        EXPECT_EQ(board->levelScore, c.expected) << c.what;
    }
}

TEST(BoardScoreTest, CrossingLinesAreOneGroupAndSeparateLinesTwo)
{
    struct Case
    {
        std::vector<std::string> rows;
        size_t groups;
        size_t firstSize;
    } cases[] = {
        {{"000", "012", "034"}, 1, 5},       // L
        {{"10001", "23032", "14041"}, 1, 5}, // T
        {{"00000", "12121", "34343"}, 1, 5}, // five in a row, found as 5, 4 and 3
        {{"000", "121", "111"}, 2, 3},       // two lines
        {{"0x0", "1x1", "0x0"}, 0, 0},       // skulls break lines
        {{"00.0", "1212", "3434"}, 0, 0},    // a gap
    };
    for (const Case& c : cases) {
        auto board = TextBoard::Make(c.rows);
        std::vector<PieceGroup> groups;
        EXPECT_EQ(board->FindMatches(&groups), c.groups > 0);
        EXPECT_EQ(board->FindMatches(), c.groups > 0);
        ASSERT_EQ(groups.size(), c.groups) << c.rows[0];
        if (c.groups > 0) {
            EXPECT_EQ(groups[0].size(), c.firstSize) << c.rows[0];
        }
    }
}

TEST(BoardScoreTest, ScoresSaturateInsteadOfOverflowing)
{
    auto board = TextBoard::Make({"000", "121", "111"});
    board->cascadeLevel = 2000000;
    board->levelScore = 2147483000;
    board->ProcessMatches();
    EXPECT_EQ(board->levelScore, 2147483647);
}

TEST(BoardScoreTest, CornerExplosionHitsThreeNeighbours)
{
    auto board = TextBoard::Make({
        "0123",
        "4560",
        "1234",
        "5601",
    });
    theRandom->Seed(5);
    board->QueueExplosion(TextBoard::PieceIn(*board, 0, 0)->pos);
    EXPECT_EQ(board->movingCount, 1);
    for (int tick = 0; tick < 25; tick++)
        board->Update();
    EXPECT_TRUE(board->explosions.empty());
    EXPECT_EQ(board->repairCountdown, 10);
    EXPECT_EQ(CountPopping(*board), 4);
    for (const auto& cell : {std::pair{0, 0}, {1, 0}, {0, 1}, {1, 1}})
        EXPECT_TRUE(TextBoard::PieceIn(*board, cell.first, cell.second)->popping);
    EXPECT_EQ(board->movingCount, 4);
    ASSERT_GT(TextBoard::RunUntilRest(*board), 0);
    EXPECT_EQ(board->movingCount, 0);
    for (const std::string& row : TextBoard::Dump(*board))
        EXPECT_EQ(row.find('.'), std::string::npos) << row;
}

TEST(BoardScoreTest, ExplosionsRestartPopsWithTheCountBalanced)
{
    struct Case
    {
        char cell;
        bool popping;
    } cases[] = {{'1', false}, {'1', true}, {'x', false}, {'x', true}, {'B', true}};
    for (const Case& c : cases) {
        auto board = TextBoard::Make({std::string(1, c.cell)});
        theRandom->Seed(11);
        Quorb* piece = TextBoard::PieceIn(*board, 0, 0);
        if (c.popping) {
            piece->Pop();
            board->explosions.clear(); // a super piece's own blast is not wanted here
            board->movingCount = 1;
            piece->popScale = 0.5f;
        }
        piece->ExplosionHit();
        EXPECT_TRUE(piece->popping) << c.cell;
        EXPECT_EQ(piece->pendingMoves, 1) << c.cell;
        EXPECT_EQ(board->movingCount - static_cast<int>(board->explosions.size()), 1) << c.cell;
    }
}

TEST(BoardScoreTest, SuperPopEndsEvenWhenNoBlastReachesIt)
{
    auto board = TextBoard::Make({"B"});
    Quorb* piece = TextBoard::PieceIn(*board, 0, 0);
    piece->Pop();
    board->explosions.clear();
    board->movingCount = 1;
    int ticks = 0;
    while (!piece->killed && ticks < 1000) {
        piece->Update();
        ticks++;
    }
    EXPECT_EQ(ticks, Quorb::kMaxPopTicks);
    EXPECT_EQ(board->movingCount, 0);
}
