// Layouts that files and other classes rely on.
#include "game/Board.h"
#include "game/MapSquare.h"
#include "game/ProfileProgress.h"

#include <cstddef>
#include <gtest/gtest.h>

TEST(GameHeadersTest, ProgressBlockOffsets)
{
    struct Case {
        size_t offset;
        size_t expected;
    };
    const Case cases[] = {
        {offsetof(ProfileProgress, version), 0},
        {offsetof(ProfileProgress, highestJourneyLevel), 56},
        {offsetof(ProfileProgress, currentJigsaw), 60},
        {offsetof(ProfileProgress, pieces), 64},
        {offsetof(ProfileProgress, tutorialShown), 1264},
        {offsetof(ProfileProgress, reserved), 1274},
        {offsetof(JigsawPieceRecord, owned), 8},
        {offsetof(JigsawPieceRecord, x), 12},
        {offsetof(MapSquare, type), 12},
        {offsetof(MapSquare, color), 20},
        {offsetof(MapSquare, piece), 40},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.offset, c.expected);
}

// Every game class can be built and destroyed without an application, so
// that logic suites can make boards and pieces of their own.
TEST(GameHeadersTest, BoardAndPieceBuildWithoutApplication)
{
    Board board(nullptr, nullptr);
    EXPECT_EQ(board.kindCount, 7);
    EXPECT_EQ(board.collectKinds[3], -1);
    EXPECT_FLOAT_EQ(board.uncheckedRefillChance, -1.0f);
}
