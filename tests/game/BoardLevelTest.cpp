#include "game/Board.h"

#include "app/Random.h"
#include "game/Quorb.h"
#include "game/QuorbSwapApp.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace
{
// Where a grid of this size lies on the 800 x 600 board.
struct Placement {
    int width;
    int height;
    float offsetX;
    float cell;
    Rect grid;
};
const Placement kPlacements[] = {
    {8, 8, 0, 65, {140, 40, 520, 520}},       {6, 9, 0, 57, {229, 43.5f, 342, 513}},
    {7, 6, -50, 86, {49, 42, 602, 516}},      {8, 7, -50, 74, {54, 41, 592, 518}},
    {9, 8, -50, 65, {57.5f, 40, 585, 520}},   {10, 9, -50, 57, {65, 43.5f, 570, 513}},
    {11, 10, -50, 52, {64, 40, 572, 520}},    {3, 3, 0, 173, {140.5f, 40.5f, 519, 519}},
    {4, 4, 0, 130, {140, 40, 520, 520}},      {5, 5, 0, 104, {140, 40, 520, 520}},
    {7, 7, 0, 74, {141, 41, 518, 518}},       {9, 9, 0, 57, {143.5f, 43.5f, 513, 513}},
    {6, 4, 0, 120, {40, 60, 720, 480}},       {7, 5, 0, 102, {43, 45, 714, 510}},
    {8, 6, 0, 86, {56, 42, 688, 516}},        {9, 7, 0, 74, {67, 41, 666, 518}},
    {10, 8, 0, 65, {75, 40, 650, 520}},       {11, 9, 0, 57, {86.5f, 43.5f, 627, 513}},
    {12, 10, 0, 52, {88, 40, 624, 520}},
};

// One journey level: its size and kinds and the value that sets the type
// apart (meter maximum, drain, skulls, matches, collect count, threshold).
struct LevelRow {
    LevelType type;
    int d;
    int width;
    int height;
    int kinds;
    float value;
};
constexpr LevelType M = LevelType::Meter, S = LevelType::Skulls, D = LevelType::Drain, T = LevelType::Matches,
                    C = LevelType::Collect, G = LevelType::GoGold, U = LevelType::Surprise, V = LevelType::Duel;
const LevelRow kLevels[] = {
    {M, 0, 8, 8, 6, 150},        {M, 9, 8, 8, 6, 152.43f},    {M, 10, 8, 8, 7, 153},
    {M, 11, 8, 8, 7, 153.63f},   {M, 25, 8, 8, 7, 168.75f},   {M, 44, 8, 8, 7, 208.08f},
    {M, 45, 8, 8, 7, 210.75f},   {M, 49, 8, 8, 7, 222.03f},   {M, 50, 8, 8, 8, 225},
    {M, 70, 8, 8, 8, 297},       {M, 75, 8, 8, 8, 318.75f},   {M, 99, 8, 8, 8, 444.03f},
    {M, 100, 8, 8, 8, 450},
    {S, 0, 7, 6, 6, 4},          {S, 9, 7, 6, 6, 4},          {S, 10, 7, 6, 6, 4},
    {S, 11, 8, 7, 7, 4},         {S, 25, 8, 7, 7, 5},         {S, 44, 9, 8, 8, 7},
    {S, 45, 9, 8, 8, 7},         {S, 49, 9, 8, 8, 7},         {S, 50, 9, 8, 8, 7},
    {S, 70, 10, 9, 8, 9},        {S, 75, 10, 9, 8, 9},        {S, 99, 11, 10, 8, 13},
    {S, 100, 11, 10, 8, 14},
    {D, 0, 8, 8, 7, -0.0025f},   {D, 9, 8, 8, 7, -0.0027f},   {D, 10, 8, 8, 7, -0.003f},
    {D, 11, 8, 8, 7, -0.0033f},  {D, 25, 8, 8, 7, -0.0075f},  {D, 44, 8, 8, 7, -0.0132f},
    {D, 45, 8, 8, 7, -0.0135f},  {D, 49, 8, 8, 7, -0.0147f},  {D, 50, 8, 8, 7, -0.015f},
    {D, 70, 8, 8, 7, -0.021f},   {D, 75, 8, 8, 7, -0.0225f},  {D, 99, 8, 8, 7, -0.0297f},
    {D, 100, 8, 8, 7, -0.03f},
    {T, 0, 3, 3, 7, 5},          {T, 9, 3, 3, 7, 5},          {T, 10, 3, 3, 7, 5},
    {T, 11, 4, 4, 7, 8},         {T, 25, 5, 5, 7, 10},        {T, 44, 7, 7, 7, 14},
    {T, 45, 7, 7, 7, 14},        {T, 49, 7, 7, 7, 14},        {T, 50, 7, 7, 7, 14},
    {T, 70, 8, 8, 7, 16},        {T, 75, 8, 8, 7, 17},        {T, 99, 8, 8, 7, 17},
    {T, 100, 9, 9, 7, 20},
    {C, 0, 8, 8, 8, 4},          {C, 9, 8, 8, 8, 4},          {C, 10, 8, 8, 8, 5},
    {C, 11, 8, 8, 8, 5},         {C, 25, 8, 8, 8, 6},         {C, 44, 8, 8, 8, 8},
    {C, 45, 8, 8, 8, 8},         {C, 49, 8, 8, 8, 8},         {C, 50, 8, 8, 8, 9},
    {C, 70, 8, 8, 8, 11},        {C, 75, 8, 8, 8, 11},        {C, 99, 8, 8, 8, 13},
    {C, 100, 8, 8, 8, 14},
    {G, 0, 6, 4, 6, 1},          {G, 9, 6, 4, 6, 1},          {G, 10, 6, 4, 6, 1},
    {G, 11, 6, 4, 6, 1},         {G, 25, 7, 5, 6, 1},         {G, 44, 8, 6, 6, 1},
    {G, 45, 9, 7, 6, 0.775f},    {G, 49, 9, 7, 6, 0.755f},    {G, 50, 9, 7, 7, 0.75f},
    {G, 70, 10, 8, 7, 0.65f},    {G, 75, 11, 9, 8, 0.625f},   {G, 99, 12, 10, 8, 0.505f},
    {G, 100, 12, 10, 8, 0.5f},
    {U, 0, 8, 8, 7, 0},          {U, 50, 8, 8, 7, 0},         {U, 100, 8, 8, 7, 0},
    {V, 0, 6, 9, 6, 50},         {V, 9, 6, 9, 6, 48.65f},     {V, 10, 6, 9, 6, 48.5f},
    {V, 11, 6, 9, 6, 48.35f},    {V, 25, 6, 9, 6, 46.25f},    {V, 44, 6, 9, 7, 43.4f},
    {V, 45, 6, 9, 7, 43.25f},    {V, 49, 6, 9, 7, 42.65f},    {V, 50, 6, 9, 7, 42.5f},
    {V, 70, 6, 9, 8, 39.5f},     {V, 75, 6, 9, 8, 38.75f},    {V, 99, 6, 9, 8, 35.15f},
    {V, 100, 6, 9, 8, 35},
};

float TypeValue(const Board& board)
{
    switch (board.levelType) {
    case LevelType::Meter:
    case LevelType::Duel:
        return board.meterMax;
    case LevelType::Drain:
        return board.meterDrain;
    case LevelType::Skulls:
        return static_cast<float>(board.skullCount);
    case LevelType::Matches:
        return static_cast<float>(board.matchesLeft);
    case LevelType::Collect:
        return static_cast<float>(board.collectCounts[0]);
    case LevelType::GoGold:
        return board.markThreshold;
    default:
        return 0.0f;
    }
}
} // namespace

TEST(BoardLevelTest, EveryTypeAndDifficultySetsSizeKindsMetersAndPlacement)
{
    for (const LevelRow& row : kLevels) {
        SCOPED_TRACE(testing::Message() << "type " << static_cast<int>(row.type) << " d " << row.d);
        theRandom->Seed(static_cast<uint32_t>(row.d + 1));
        Board board(nullptr, nullptr);
        board.SetupLevel(row.type, row.d);
        EXPECT_EQ(board.gridWidth, row.width);
        EXPECT_EQ(board.gridHeight, row.height);
        EXPECT_EQ(board.kindCount, row.kinds);
        EXPECT_FLOAT_EQ(TypeValue(board), row.value);
        EXPECT_EQ(board.movingCount, 0);
        EXPECT_EQ(board.pieces.Count(), row.width * row.height) << "every cell filled";
        EXPECT_FALSE(board.FindMatches()) << "the first fill makes no line";

        const bool offset = row.type == LevelType::Skulls;
        const auto* place = std::find_if(std::begin(kPlacements), std::end(kPlacements), [&](const Placement& p) {
            return p.width == row.width && p.height == row.height && (p.offsetX != 0) == offset;
        });
        ASSERT_NE(place, std::end(kPlacements));
        EXPECT_EQ(board.cellSize, place->cell);
        EXPECT_EQ(board.gridRect.x, place->grid.x);
        EXPECT_EQ(board.gridRect.y, place->grid.y);
        EXPECT_EQ(board.gridRect.w, place->grid.w);
        EXPECT_EQ(board.gridRect.h, place->grid.h);
        EXPECT_EQ(board.cellMarked.size(), row.type == LevelType::GoGold ? board.cellEnabled.size() : 0u);
        EXPECT_EQ(board.showMeter, row.type == M || row.type == D || row.type == V);
        EXPECT_EQ(board.showPressure, row.type == S || row.type == C);
    }
}

TEST(BoardLevelTest, TypeDetailsFollowTheDifficulty)
{
    struct Case {
        LevelType type;
        int d;
        float perMove;
        float relief;
        int conversions;
        float chance; // unchecked refill chance, or the late one on GoGold
    };
    const Case cases[] = {
        {S, 0, 15, 10, 1, -1},  {S, 25, 17, 9, 1, -1},  {S, 69, 21, 8, 1, -1},   {S, 70, 16.5f, 8, 2, -1},
        {S, 100, 18.75f, 6, 2, -1}, {C, 0, 5, 0, 1, -1}, {C, 45, 8, -2, 1, -1},  {C, 100, 11, -5, 1, -1},
        {M, 0, 0, 0, 1, 0},     {M, 50, 0, 0, 1, 0.45f}, {M, 100, 0, 0, 1, 0.9f}, {G, 50, 0, 0, 1, 0.25f},
        {G, 100, 0, 0, 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "type " << static_cast<int>(c.type) << " d " << c.d);
        Board board(nullptr, nullptr);
        board.SetupLevel(c.type, c.d);
        EXPECT_FLOAT_EQ(board.pressurePerMove, c.perMove);
        EXPECT_FLOAT_EQ(board.pressureRelief, c.relief);
        EXPECT_EQ(board.conversions, c.conversions);
        const float chance = c.type == G ? board.lateUncheckedRefillChance : board.uncheckedRefillChance;
        EXPECT_FLOAT_EQ(chance, c.chance);
    }
}

TEST(BoardLevelTest, CollectWantsDistinctKindsAndMatchesCountDown)
{
    const int wantedByD[][2] = {{0, 4}, {24, 4}, {25, 3}, {49, 3}, {50, 2}, {74, 2}, {75, 1}, {100, 1}};
    for (uint32_t seed = 1; seed <= 20; ++seed) {
        for (const auto& [d, wanted] : wantedByD) {
            theRandom->Seed(seed);
            Board board(nullptr, nullptr);
            board.SetupLevel(LevelType::Collect, d);
            std::set<int> kinds;
            for (int slot = 0; slot < 4; ++slot) {
                if (slot < wanted) {
                    EXPECT_GE(board.collectKinds[slot], 0);
                    kinds.insert(board.collectKinds[slot]);
                } else {
                    EXPECT_EQ(board.collectKinds[slot], -1);
                    EXPECT_EQ(board.collectCounts[slot], 0);
                }
            }
            EXPECT_EQ(static_cast<int>(kinds.size()), wanted);
            EXPECT_FALSE(board.pressureOnMoves);
        }
    }
    Board matches(nullptr, nullptr);
    matches.SetupLevel(LevelType::Matches, 0);
    EXPECT_EQ(matches.countdown, 3000);
    EXPECT_EQ(matches.countdownStart, 3000);
    EXPECT_TRUE(matches.showCountdown);
}

TEST(BoardLevelTest, TheComputersBoardThinksLongerWithMoreKinds)
{
    const struct {
        int d;
        int kinds;
        int think;
    } cases[] = {{0, 7, 300}, {49, 7, 239}, {50, 6, 238}, {99, 6, 177}, {100, 5, 175}};
    for (const auto& c : cases) {
        Board board(nullptr, nullptr);
        board.SetupComputer(c.d, c.d / 100.0);
        EXPECT_TRUE(board.isComputer);
        EXPECT_TRUE(board.started);
        EXPECT_TRUE(board.disabled);
        EXPECT_EQ(board.aiCountdown, 300);
        EXPECT_EQ(board.kindCount, c.kinds) << c.d;
        EXPECT_EQ(board.aiThinkTime, c.think) << c.d;
    }
}

TEST(BoardLevelTest, CasualAndSpeedUseOneFixedSetUpWhateverTheType)
{
    QuorbSwapApp app;
    for (GameMode mode : {GameMode::Casual, GameMode::Speed}) {
        app.gameMode = mode;
        app.progress = {};
        app.progress.highestSpeedLevel = 5;
        for (LevelType type : {LevelType::Meter, LevelType::Skulls, LevelType::GoGold}) {
            Board board(&app, nullptr);
            board.SetupLevel(type, 100);
            EXPECT_EQ(board.levelType, type);
            EXPECT_EQ(board.gridWidth, 8);
            EXPECT_EQ(board.gridHeight, 8);
            EXPECT_EQ(board.kindCount, 7);
            EXPECT_EQ(board.meterMax, 100.0f);
            EXPECT_EQ(board.conversions, 1);
            EXPECT_EQ(board.pressurePerMove, mode == GameMode::Speed ? 0.0f : 5.0f);
            EXPECT_EQ(board.pressurePerTick, mode == GameMode::Speed ? 0.01f : 0.0f);
            EXPECT_EQ(board.pressureRelief, 10.0f);
            EXPECT_EQ(board.gridRect.x, 140.0f) << "no offset for the pressure meter";
        }
        const bool speed = mode == GameMode::Speed;
        EXPECT_EQ(speed ? app.progress.speedGamesPlayed : app.progress.casualGamesPlayed, 3u);
        EXPECT_EQ(app.progress.highestCasualLevel, speed ? 0u : 1u);
        EXPECT_EQ(app.progress.highestSpeedLevel, 5u) << "raised to at least 1, never lowered";
    }
}

TEST(BoardLevelTest, LevelSkullsLandOnMatchablePiecesAndKeepAMove)
{
    for (uint32_t seed = 1; seed <= 10; ++seed) {
        theRandom->Seed(seed);
        Board board(nullptr, nullptr);
        board.SetupLevel(LevelType::Skulls, 100);
        board.PlaceLevelSkulls();
        int flying = 0;
        for (int i = 0; i < board.pieces.Count(); ++i) {
            const auto* piece = static_cast<const Quorb*>(board.pieces.Get(i));
            flying += piece->levelSkull && piece->flying ? 1 : 0;
        }
        EXPECT_EQ(flying, 14) << "a skull flies in before the first swap";
    }
    Board meter(nullptr, nullptr);
    meter.SetupLevel(LevelType::Meter, 0);
    meter.PlaceLevelSkulls();
    EXPECT_EQ(meter.flyingPieces.Count(), 0) << "only skull levels get skulls";
}
