// New journey maps: the same seed gives the same map, every map has its
// start, goal and special squares where the rules put them, and the
// difficulties follow the distance to the goal and to the specials.
#include "MapFixture.h"

#include "app/Math.h"

#include <cmath>
#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace {

struct Special {
    int x, y, type, item, piece;
};

std::vector<Special> SpecialsOf(Map& map)
{
    std::vector<Special> out;
    for (int x = 0; x < kMapSize; ++x)
        for (int y = 0; y < kMapSize; ++y) {
            const MapSquare& s = map.Square(x, y);
            if (s.type > 8)
                out.push_back({x, y, s.type, s.item, s.piece});
        }
    return out;
}

bool Find(Map& map, uint8_t MapSquare::*flag, int& fx, int& fy)
{
    int found = 0;
    for (int x = 0; x < kMapSize; ++x)
        for (int y = 0; y < kMapSize; ++y)
            if (map.Square(x, y).*flag) {
                fx = x;
                fy = y;
                ++found;
            }
    return found == 1;
}

// Way points 1 and 2 of the layout with that start; way point 3 is the
// centre.
void WayPoints(int startX, int startY, int out[3][2])
{
    const bool corner = startX != 4 && startY != 4;
    const int table[4][4] = {{8, 0, 0, 8}, {0, 0, 8, 8}, {0, 4, 8, 4}, {4, 0, 4, 8}};
    const int* row = corner ? table[startX == startY ? 0 : 1] : table[startX == 4 ? 2 : 3];
    const int filled[3][2] = {{row[0], row[1]}, {row[2], row[3]}, {4, 4}};
    std::memcpy(out, filled, sizeof filled);
}

bool Near(int x, int y, const int (&w)[2])
{
    return std::abs(x - w[0]) <= 2 && std::abs(y - w[1]) <= 2;
}

// Everything every generated map must satisfy; empty when it does.
std::string Violations(Map& map, int jigsawWanted, Difficulty difficulty)
{
    int sx = 0, sy = 0, gx = 0, gy = 0;
    if (!Find(map, &MapSquare::isStart, sx, sy) || !Find(map, &MapSquare::isGoal, gx, gy))
        return "not one start and one goal";
    const MapSquare& start = map.Square(sx, sy);
    if (start.locked || start.type != 0 || std::abs(sx - gx) + std::abs(sy - gy) < 8)
        return "start";
    int way[3][2];
    WayPoints(sx, sy, way);
    int jigsaws = 0, bonuses = 0, hints = 0, extras = 0;
    std::set<int> pieces;
    const float cap = difficulty == Difficulty::Child ? 1.0f / 3.0f : 1.0f;
    for (int x = 0; x < kMapSize; ++x)
        for (int y = 0; y < kMapSize; ++y) {
            const MapSquare& s = map.Square(x, y);
            if (s.type == 8 || s.type < 0 || s.type > 10 || s.difficulty < 0.0f || s.difficulty > cap)
                return "type or difficulty";
            if (x != sx || y != sy)
                if (!s.locked || s.won)
                    return "lock";
            if (s.type == kJigsawSquare) {
                bool placed = false;
                for (int w = 0; w < jigsawWanted; ++w)
                    placed = placed || Near(x, y, way[w]);
                if (!placed)
                    return "jigsaw square away from its way point";
                ++jigsaws;
                pieces.insert(s.item * 20 + s.piece);
            }
            if (s.type != kBonusSquare)
                continue;
            ++bonuses;
            hints += s.item == int(PowerKind::Hint);
            extras += s.item == int(PowerKind::ExtraPieces);
            for (int bx = x - 1; bx <= x + 1; ++bx)
                for (int by = y - 1; by <= y + 1; ++by) {
                    if (bx < 0 || by < 0 || bx > 8 || by > 8 || (bx == x && by == y))
                        continue;
                    const MapSquare& n = map.Square(bx, by);
                    if (n.type > 8 || n.isStart || n.isGoal)
                        return "bonus touches a special";
                }
        }
    for (int w = 0; w < jigsawWanted; ++w) {
        bool found = false;
        for (int x = 0; x < kMapSize; ++x)
            for (int y = 0; y < kMapSize; ++y)
                found = found || (map.Square(x, y).type == kJigsawSquare && Near(x, y, way[w]));
        if (!found)
            return "way point without its jigsaw square";
    }
    if (jigsaws != jigsawWanted || int(pieces.size()) != jigsawWanted)
        return "jigsaw squares " + std::to_string(jigsaws);
    if (bonuses != 5 || hints > 1 || extras > 1)
        return "bonus squares";
    return "";
}

} // namespace

class MapGenerateTest : public MapFixture
{
};

TEST_F(MapGenerateTest, PinnedSeedGivesPinnedMap)
{
    Map& map = NewMap(2024);
    int sx = 0, sy = 0, gx = 0, gy = 0;
    ASSERT_TRUE(Find(map, &MapSquare::isStart, sx, sy));
    ASSERT_TRUE(Find(map, &MapSquare::isGoal, gx, gy));
    EXPECT_EQ(std::vector<int>({sx, sy, gx, gy}), std::vector<int>({8, 8, 0, 0}));
    const std::vector<Special> expected = {
        {1, 2, 10, 5, 0}, {1, 6, 9, 2, 12}, {2, 8, 10, 3, 0}, {3, 2, 10, 0, 0},
        {4, 6, 10, 4, 0}, {6, 4, 9, 0, 5},  {8, 0, 9, 0, 10}, {8, 6, 10, 4, 0},
    };
    const std::vector<Special> got = SpecialsOf(map);
    ASSERT_EQ(got.size(), expected.size());
    for (size_t i = 0; i < got.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(got[i].x, expected[i].x);
        EXPECT_EQ(got[i].y, expected[i].y);
        EXPECT_EQ(got[i].type, expected[i].type);
        EXPECT_EQ(got[i].item, expected[i].item);
        EXPECT_EQ(got[i].piece, expected[i].piece);
    }
    const int types[][3] = {{0, 0, 1}, {3, 0, 5}, {5, 1, 7}, {0, 2, 3}, {8, 8, 0}};
    for (const auto& t : types)
        EXPECT_EQ(map.Square(t[0], t[1]).type, t[2]) << t[0] << "," << t[1];
}

TEST_F(MapGenerateTest, DifficultyFollowsGoalDistanceAndSpecials)
{
    struct Case {
        int x, y;
        float difficulty;
        const char* why;
    };
    // Seed 2024: goal (0, 0), start (8, 8), a jigsaw square at (6, 4).
    const Case cases[] = {
        {0, 0, 1.0f, "the goal"},
        {7, 8, 0.0f, "beyond the span"},
        {8, 8, 0.25f, "the start, two from a bonus square"},
        {1, 0, 0.9906f, "distance rule"},
        {4, 4, 0.6992f, "distance rule beats 0.25 of a special two away"},
        {6, 4, 1.0f, "a jigsaw square"},
        {6, 3, 0.625f, "orthogonal to a special"},
        {7, 3, 0.4697f, "diagonal to a special, above the distance rule"},
        {8, 4, 0.25f, "two away from a special"},
        {5, 5, 0.5300f, "distance rule beats the diagonal"},
    };
    Map& normal = NewMap(2024);
    float base[kMapSquareCount];
    for (int i = 0; i < kMapSquareCount; ++i)
        base[i] = normal.squares[i].difficulty;
    for (const Case& c : cases)
        EXPECT_NEAR(normal.Square(c.x, c.y).difficulty, c.difficulty, 1e-4f) << c.why;
    MapSquare colours[kMapSquareCount];
    std::memcpy(colours, normal.squares, sizeof colours);

    // The game difficulty scales the values but not the colours.
    struct Scale {
        Difficulty difficulty;
        float (*apply)(float);
    };
    const Scale scales[] = {
        {Difficulty::Child, [](float d) { return d / 3.0f; }},
        {Difficulty::Hard, [](float d) { return std::min(d * 2.0f, 1.0f); }},
    };
    for (const Scale& s : scales) {
        Map& map = NewMap(2024, s.difficulty);
        for (int i = 0; i < kMapSquareCount; ++i) {
            EXPECT_EQ(map.squares[i].difficulty, s.apply(base[i])) << i;
            EXPECT_EQ(0, std::memcmp(map.squares[i].color, colours[i].color, sizeof colours[i].color)) << i;
        }
    }
}

TEST_F(MapGenerateTest, SquareColourRunsFromBlueToViolet)
{
    Map& map = NewMap(77);
    for (const MapSquare& s : map.squares) {
        const float d = s.difficulty;
        EXPECT_NEAR(s.color[0], 0.5f * d, 1e-5f);
        EXPECT_NEAR(s.color[1], 0.25f * (1.0f - d), 1e-5f);
        EXPECT_NEAR(s.color[2], 0.75f, 1e-6f);
        EXPECT_NEAR(s.color[3], 1.0f, 1e-6f);
    }
}

TEST_F(MapGenerateTest, SameSeedSameMap)
{
    MapSquare first[kMapSquareCount];
    std::memcpy(first, NewMap(99).squares, sizeof first);
    EXPECT_EQ(0, std::memcmp(first, NewMap(99).squares, sizeof first));
    EXPECT_NE(0, std::memcmp(first, NewMap(100).squares, sizeof first));
}

// Bonus squares are drawn until they fit, and scanned for once the draws
// keep missing: every map completes. Jigsaw squares take unowned pieces
// only, one per way point while pieces last.
TEST_F(MapGenerateTest, EveryMapOfManySeedsIsComplete)
{
    struct Case {
        Difficulty difficulty;
        int unowned;
        int jigsaws;
        uint32_t seeds;
    };
    const Case cases[] = {
        {Difficulty::Child, 60, 3, 100000}, {Difficulty::Normal, 60, 3, 100000}, {Difficulty::Hard, 60, 3, 100000},
        {Difficulty::Normal, 3, 3, 2000},   {Difficulty::Normal, 2, 2, 2000},     {Difficulty::Normal, 1, 1, 2000},
        {Difficulty::Normal, 0, 0, 2000},
    };
    for (const Case& c : cases) {
        NewMap(0, c.difficulty, c.unowned);
        for (uint32_t seed = 0; seed < c.seeds; ++seed) {
            theRandom->Seed(seed);
            map->Generate();
            ASSERT_EQ(Violations(*map, c.jigsaws, c.difficulty), "")
                << "seed " << seed << " difficulty " << int(c.difficulty) << " unowned " << c.unowned;
            for (const MapSquare& s : map->squares)
                ASSERT_TRUE(s.type != kJigsawSquare || progress.pieces[s.item * 20 + s.piece].owned == 0);
        }
    }
}
