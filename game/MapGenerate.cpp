// A new journey's map: level types, layout, jigsaw and bonus squares and the
// difficulty of every square. A seeded generator gives the same journey
// every time, so the draws below keep their order.
#include "app/Math.h"
#include "app/Random.h"
#include "game/Game.h"
#include "game/Map.h"
#include "game/ProfileProgress.h"

#include <algorithm>
#include <vector>

namespace {

struct Layout {
    int start[2];
    int goal[2];
    int wayPoints[3][2];
};

// Start and goal on opposite corners or edge midpoints, the way points on
// the two other corners or midpoints and the centre.
constexpr Layout kLayouts[8] = {
    {{8, 8}, {0, 0}, {{8, 0}, {0, 8}, {4, 4}}}, {{0, 0}, {8, 8}, {{8, 0}, {0, 8}, {4, 4}}},
    {{8, 0}, {0, 8}, {{0, 0}, {8, 8}, {4, 4}}}, {{0, 8}, {8, 0}, {{0, 0}, {8, 8}, {4, 4}}},
    {{4, 8}, {4, 0}, {{0, 4}, {8, 4}, {4, 4}}}, {{8, 4}, {0, 4}, {{4, 0}, {4, 8}, {4, 4}}},
    {{0, 4}, {8, 4}, {{4, 0}, {4, 8}, {4, 4}}}, {{4, 0}, {4, 8}, {{0, 4}, {8, 4}, {4, 4}}},
};

constexpr int kBonusSquares = 5;
// Random tries for one bonus square before a scan in array order takes
// over. A spot always exists (start, goal and seven specials block at most
// 75 of the 81 centres), but the draws alone need not find it.
constexpr int kBonusDrawLimit = 1000;

int Index(int x, int y)
{
    return x * kMapSize + y;
}

} // namespace

void Map::Generate()
{
    DrawLevelTypes();
    const Layout& layout = kLayouts[theRandom->Get(8)];
    MapSquare& goal = Square(layout.goal[0], layout.goal[1]);
    goal.isGoal = 1;
    MapSquare& start = Square(layout.start[0], layout.start[1]);
    start.isStart = 1;
    start.locked = 0;
    start.type = int32_t(LevelType::Meter);
    PlaceJigsawSquares(layout.wayPoints, Index(layout.start[0], layout.start[1]),
                       Index(layout.goal[0], layout.goal[1]));
    PlaceBonusSquares();
    const float span =
        Math::Distance(float(layout.start[0]), float(layout.start[1]), float(layout.goal[0]), float(layout.goal[1])) -
        1.0f;
    SetDistanceDifficulty(layout.goal[0], layout.goal[1], span);
    RaiseNearSpecials();
    ApplyGameDifficulty();
}

void Map::DrawLevelTypes()
{
    for (MapSquare& square : squares) {
        square = MapSquare();
        if (theRandom->Get(2) == 1)
            continue;
        square.type = theRandom->Get(8);
        // A surprise level is kept only one time in three.
        while (square.type == int32_t(LevelType::Surprise) && theRandom->Get(3) != 1)
            square.type = theRandom->Get(8);
    }
}

void Map::PlaceJigsawSquares(const int wayPoints[3][2], int startIndex, int goalIndex)
{
    std::vector<const JigsawPieceRecord*> unowned;
    if (progress != nullptr)
        for (const JigsawPieceRecord& record : progress->pieces)
            if (record.owned == 0)
                unowned.push_back(&record);
    for (int w = 0; w < 3 && !unowned.empty(); ++w) {
        const int r = theRandom->Get(int32_t(unowned.size()));
        const JigsawPieceRecord* record = unowned[r];
        unowned.erase(unowned.begin() + r);
        int x = 0;
        int y = 0;
        for (;;) {
            const int dx = theRandom->Get(3, true);
            const int dy = theRandom->Get(3, true);
            x = wayPoints[w][0] + dx;
            y = wayPoints[w][1] + dy;
            if (InMap(x, y) && Square(x, y).type != kJigsawSquare && Index(x, y) != startIndex &&
                Index(x, y) != goalIndex)
                break;
        }
        MapSquare& square = Square(x, y);
        square.type = kJigsawSquare;
        square.item = int32_t(record->puzzleId);
        square.piece = int32_t(record->pieceId);
    }
}

namespace {

// No jigsaw or bonus square, start or goal in the 3 x 3 block around (x, y);
// positions off the map do not count.
bool BonusFits(Map& map, int x, int y)
{
    for (int bx = x - 1; bx <= x + 1; ++bx)
        for (int by = y - 1; by <= y + 1; ++by) {
            if (!Map::InMap(bx, by))
                continue;
            const MapSquare& square = map.Square(bx, by);
            if (square.type > 8 || square.isStart || square.isGoal)
                return false;
        }
    return true;
}

} // namespace

void Map::PlaceBonusSquares()
{
    // Kinds 0, 1, 5 and 6 are limited; 2, 3 and 4 never are.
    bool used[7] = {};
    for (int placed = 0; placed < kBonusSquares; ++placed) {
        int x = 0;
        int y = 0;
        int kind = 0;
        bool found = false;
        for (int attempt = 0; attempt < kBonusDrawLimit && !found; ++attempt) {
            x = theRandom->Get(9);
            y = theRandom->Get(9);
            kind = theRandom->Get(7);
            found = !used[kind] && BonusFits(*this, x, y);
        }
        if (!found) {
            for (int i = 0; i < kMapSquareCount && !found; ++i) {
                x = i / kMapSize;
                y = i % kMapSize;
                found = BonusFits(*this, x, y);
            }
            while (used[kind])
                kind = (kind + 1) % 7;
        }
        MapSquare& square = Square(x, y);
        square.type = kBonusSquare;
        square.item = kind;
        // A second double or triple score is allowed only half the time.
        if (kind == int(PowerKind::DoubleScore) || kind == int(PowerKind::TripleScore))
            used[kind] = theRandom->Get(2) == 1;
        if (kind == int(PowerKind::Hint) || kind == int(PowerKind::ExtraPieces))
            used[kind] = true;
    }
}

void Map::SetColorFromDifficulty(MapSquare& square) const
{
    const Color c = difficultyColors.GetColor(square.difficulty);
    square.color[0] = c.r;
    square.color[1] = c.g;
    square.color[2] = c.b;
    square.color[3] = c.a;
}

void Map::SetDistanceDifficulty(int goalX, int goalY, float span)
{
    for (int x = 0; x < kMapSize; ++x)
        for (int y = 0; y < kMapSize; ++y) {
            MapSquare& square = Square(x, y);
            const float d = Math::Distance(float(x), float(y), float(goalX), float(goalY));
            const float q = d / span;
            const float r = std::clamp(q * q, 0.0f, 1.0f);
            square.difficulty = 1.0f - r;
            SetColorFromDifficulty(square);
        }
}

void Map::RaiseNearSpecials()
{
    for (int sx = 0; sx < kMapSize; ++sx)
        for (int sy = 0; sy < kMapSize; ++sy) {
            if (Square(sx, sy).type <= 8)
                continue;
            for (int x = 0; x < kMapSize; ++x)
                for (int y = 0; y < kMapSize; ++y) {
                    const float e = Math::Distance(float(sx), float(sy), float(x), float(y));
                    if (e > 2.0f)
                        continue;
                    MapSquare& square = Square(x, y);
                    const float v = 1.0f - (e * 0.5f) * 0.75f;
                    square.difficulty = std::min(std::max(square.difficulty, v), 1.0f);
                    SetColorFromDifficulty(square);
                }
        }
}

void Map::ApplyGameDifficulty()
{
    const Difficulty difficulty = game != nullptr ? game->difficulty : Difficulty::Normal;
    // The colours keep the undivided values.
    for (MapSquare& square : squares) {
        if (difficulty == Difficulty::Child)
            square.difficulty /= 3.0f;
        else if (difficulty == Difficulty::Hard)
            square.difficulty = std::min(square.difficulty * 2.0f, 1.0f);
    }
}
