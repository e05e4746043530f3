// Walking the journey map: flips and their timing, the order in which won
// squares open their neighbours, hover and clicks, items flying in, the tip
// marker and the goal.
#include "MapFixture.h"

#include "game/Anim_Puzzle.h"
#include "game/Board.h"

#include <string>
#include <vector>

namespace {

// The middle of square (x, y) on screen.
int CellX(int x)
{
    return 190 + 55 * x + 27;
}

int CellY(int y)
{
    return 68 + 53 * y + 26;
}

} // namespace

class MapProgressTest : public MapFixture
{
  protected:
    // A square of the given type, unlocked, that a click can take.
    void OpenSquare(int x, int y, int type, int item = 0, int piece = 0)
    {
        MapSquare& s = map->Square(x, y);
        s.type = type;
        s.item = item;
        s.piece = piece;
        s.locked = 0;
        s.isGoal = 0;
        s.isStart = 0;
    }

    void Click(int x, int y)
    {
        map->OnMouseMove(CellX(x), CellY(y));
        map->OnMouseDown(CellX(x), CellY(y), -1);
    }

    // Updates until nothing flies or flips any more.
    void Settle()
    {
        for (int i = 0; i < 5000 && (map->items.Count() > 0 || !map->revealQueue.empty()); ++i)
            map->Update();
    }
};

TEST_F(MapProgressTest, FlipClosesInTwentyUpdatesAndOpensInFourteen)
{
    struct Case {
        const char* what;
        int type;
        int delay;
        int boardUpdates; // updates with a level on screen first
        int starts, wonAt, restoredAt;
    };
    const Case cases[] = {
        {"collected item square", kJigsawSquare, 0, 0, 1, 20, 34},
        {"won level, map shown at once", 0, 100, 0, 100, 119, 133},
        {"won level, map shown 60 updates later", 0, 100, 60, 160, 179, 193},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        NewMap(2024);
        OpenSquare(4, 4, c.type);
        map->CompleteSquare(4, 4, c.delay);
        Board level(nullptr, nullptr);
        game.board = &level;
        Step(c.boardUpdates);
        game.board = nullptr;
        int starts = -1, wonAt = -1, restoredAt = -1;
        for (int u = c.boardUpdates + 1; u < 400 && restoredAt < 0; ++u) {
            map->Update();
            const MapSquare& s = map->Square(4, 4);
            const float scale = std::min(s.scaleX, s.scaleY);
            EXPECT_TRUE(s.scaleX == 1.0f || s.scaleY == 1.0f) << "one axis flips";
            if (starts < 0 && scale < 1.0f)
                starts = u;
            if (wonAt < 0 && s.won)
                wonAt = u;
            if (starts > 0 && scale == 1.0f)
                restoredAt = u;
        }
        EXPECT_EQ(starts, c.starts);
        EXPECT_EQ(wonAt, c.wonAt);
        EXPECT_EQ(restoredAt, c.restoredAt);
    }
}

TEST_F(MapProgressTest, WonLevelOpensItsNeighboursInSeededOrder)
{
    struct Step {
        int x, y, delay;
        bool unlock, flipX;
    };
    // Seed 5 shuffles the eight neighbours of (4, 4) into this order; the
    // first opens 75 updates after the won flip, each further one 5..9 later.
    const Step expected[] = {
        {4, 4, 100, false, false}, {3, 5, 175, true, false}, {5, 3, 181, true, true},
        {4, 3, 190, true, true},   {3, 3, 198, true, false}, {3, 4, 204, true, false},
        {4, 5, 210, true, true},   {5, 4, 215, true, true},  {5, 5, 223, true, false},
    };
    NewMap(2024);
    theRandom->Seed(5);
    map->CompleteSquare(4, 4, 100);
    ASSERT_EQ(map->revealQueue.size(), std::size(expected));
    for (size_t i = 0; i < std::size(expected); ++i) {
        const RevealStep& s = map->revealQueue[i];
        const Step& e = expected[i];
        EXPECT_EQ(std::vector<int>({s.x, s.y, s.delay, s.unlock, s.markWon, s.flipX}),
                  std::vector<int>({e.x, e.y, e.delay, e.unlock, !e.unlock, e.flipX}))
            << i;
    }
    EXPECT_EQ(progress.journeyLevelsWon, 1u);
    EXPECT_EQ(progress.journeyLevelsUnlocked, 8u);
    Settle();
    for (const Step& e : expected)
        EXPECT_EQ(map->Square(e.x, e.y).locked, e.unlock ? 0 : 1);
    EXPECT_EQ(map->Square(4, 4).won, 1);
}

TEST_F(MapProgressTest, CompletingASquareCountsAndSkipsWhatCannotOpen)
{
    struct Case {
        const char* what;
        int x, y, type;
        int queued;   // reveal steps, the won flip included
        int unlocked; // statistic
        int level;    // the game's journey level afterwards
    };
    const Case cases[] = {
        {"corner level: three neighbours", 0, 0, 0, 4, 3, 2},
        {"level beside an open and a won square", 4, 4, 0, 7, 6, 2},
        {"jigsaw square opens nothing", 4, 4, kJigsawSquare, 1, 0, 2},
        {"bonus square opens nothing", 4, 4, kBonusSquare, 1, 0, 2},
        {"column off the map", 9, 4, 0, 0, 0, 1},
        {"row off the map", 4, -1, 0, 0, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        NewMap(2024);
        game.level = 1;
        progress.highestJourneyLevel = 0;
        map->chosen = true;
        map->Square(3, 3).locked = 0;
        map->Square(5, 5).won = 1;
        if (Map::InMap(c.x, c.y))
            map->Square(c.x, c.y).type = c.type;
        map->CompleteSquare(c.x, c.y, 100);
        EXPECT_EQ(int(map->revealQueue.size()), c.queued);
        EXPECT_EQ(int(progress.journeyLevelsUnlocked), c.unlocked);
        EXPECT_EQ(game.level, c.level);
        EXPECT_EQ(int(progress.journeyLevelsWon), c.level - 1);
        EXPECT_EQ(int(progress.highestJourneyLevel), c.level == 1 ? 0 : c.level);
        EXPECT_EQ(map->chosen, c.level == 1);
    }
    // Out-of-map reveals are ignored as well.
    NewMap(2024);
    map->QueueReveal(-1, 0, 5);
    map->QueueReveal(0, 9, 5);
    EXPECT_TRUE(map->revealQueue.empty());
}

TEST_F(MapProgressTest, HoverFindsTheCellStrictlyInside)
{
    struct Case {
        int px, py;
        int x, y;
    };
    const Case cases[] = {
        {191, 69, 0, 0},   {190, 69, -1, -1}, {191, 68, -1, -1}, {245, 90, -1, -1}, {246, 90, 1, 0},
        {244, 121, -1, -1}, {244, 122, 0, 1}, {679, 541, 8, 8},  {680, 500, -1, -1}, {660, 542, -1, -1},
        {CellX(3), CellY(6), 3, 6},          {100, 300, -1, -1},
    };
    NewMap(2024);
    for (const Case& c : cases) {
        map->OnMouseMove(c.px, c.py);
        EXPECT_EQ(std::vector<int>({map->hoverX, map->hoverY}), std::vector<int>({c.x, c.y}))
            << c.px << "," << c.py;
    }
    // Won squares are never hovered; while a flip runs the hover stays.
    map->Square(2, 2).won = 1;
    map->OnMouseMove(CellX(2), CellY(2));
    EXPECT_EQ(map->hoverX, -1);
    map->OnMouseMove(CellX(1), CellY(1));
    map->QueueReveal(7, 7, 10);
    map->OnMouseMove(CellX(5), CellY(5));
    EXPECT_EQ(std::vector<int>({map->hoverX, map->hoverY}), std::vector<int>({1, 1}));
}

// The tooltip appears 10 updates after the pointer settles on a square, 25
// px right of and below it, or turned towards the middle of the screen, and
// fades in over the next 10; its caption tells the square, and a level's
// pips show its difficulty scaled by the session's modifier.
TEST_F(MapProgressTest, TooltipWaitsThenOpensTowardsTheMiddle)
{
    NewMap(2024);
    map->app = &app; // where the pointer is
    for (Sprite& caption : map->sprCaptions) {
        caption.mWidth = 150;
        caption.mHeight = 60;
    }
    for (Sprite& caption : map->sprBonusCaptions) {
        caption.mWidth = 150;
        caption.mHeight = 60;
    }
    game.difficultyModifiers[3] = 0.5f;
    const struct
    {
        const char* what;
        int x, y, type, item;
        bool locked, goal;
        Sprite* caption;
        float difficulty, tipX, tipY;
    } cases[] = {
        {"open level", 1, 1, 3, 0, false, false, &map->sprCaptions[3], 0.3f, 297, 172},
        {"locked jigsaw", 7, 7, kJigsawSquare, 0, true, false, &map->sprCaptions[9], -1, 427, 380},
        {"locked bonus", 7, 1, kBonusSquare, 4, true, false, &map->sprCaptions[10], -1, 427, 172},
        {"open bonus", 1, 7, kBonusSquare, 4, false, false, &map->sprBonusCaptions[4], -1, 297, 380},
        {"locked goal", 4, 4, 2, 0, true, true, &map->sprCaptions[11], -1, 262, 221},
        {"locked level", 2, 2, 5, 0, true, false, nullptr, -1, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        MapSquare& square = map->Square(c.x, c.y);
        square = MapSquare();
        square.type = c.type;
        square.item = c.item;
        square.locked = c.locked;
        square.isGoal = c.goal;
        square.difficulty = 0.6f;
        map->OnMouseMove(100, 300); // off the squares
        app.mousePosition = Point(float(CellX(c.x)), float(CellY(c.y)));
        map->OnMouseMove(CellX(c.x), CellY(c.y));
        Step(9);
        EXPECT_EQ(map->tooltipCaption, nullptr);
        Step(1);
        EXPECT_EQ(map->tooltipCaption, c.caption);
        if (c.caption == nullptr)
            continue;
        EXPECT_FLOAT_EQ(map->tooltipX, c.tipX);
        EXPECT_FLOAT_EQ(map->tooltipY, c.tipY);
        EXPECT_FLOAT_EQ(map->tooltipDifficulty, c.difficulty);
        EXPECT_EQ(map->tooltipAlpha, 0.0f);
        Step(10);
        EXPECT_FLOAT_EQ(map->tooltipAlpha, 1.0f);
    }
}

TEST(MapPanel, BestTimeShowsMinutesSecondsAndHundredths)
{
    const struct
    {
        int32_t ticks;
        const char* text;
    } cases[] = {{kNoBestTime, "..."}, {0, "00:00:00"}, {12345, "02:03:45"}, {600000, "100:00:00"}};
    for (const auto& c : cases)
        EXPECT_STREQ(Map::BestTimeText(c.ticks).CStr(), c.text) << c.ticks;
}

TEST_F(MapProgressTest, ClicksAreRefusedWhileTheMapIsBusy)
{
    struct Case {
        const char* what;
        void (*prepare)(Map& map);
    };
    const Case cases[] = {
        {"a locked square", [](Map& m) { m.Square(4, 4).locked = 1; }},
        {"a won square hovered from a save", [](Map& m) { m.Square(4, 4).won = 1; }},
        {"a flip queued", [](Map& m) { m.QueueReveal(0, 4, 50); }},
        {"an item in flight", [](Map& m) { m.items.Add(new Anim_Puzzle(nullptr, nullptr)); }},
        {"the journey end pending", [](Map& m) { m.journeyEndPending = true; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        NewMap(2024);
        OpenSquare(4, 4, kJigsawSquare, 1, 7);
        map->OnMouseMove(CellX(4), CellY(4));
        c.prepare(*map);
        const uint32_t unlocked = progress.journeyLevelsUnlocked;
        map->OnMouseDown(CellX(4), CellY(4), -1);
        EXPECT_FALSE(map->chosen);
        EXPECT_EQ(game.level, 1);
        EXPECT_EQ(progress.pieces[27].owned, 0);
        EXPECT_EQ(progress.journeyLevelsUnlocked, unlocked);
    }
}

TEST_F(MapProgressTest, CollectedPieceIsOwnedAndFliesToTheJigsaw)
{
    NewMap(2024);
    OpenSquare(4, 4, kJigsawSquare, 1, 7);
    Click(4, 4);
    const JigsawPieceRecord& piece = progress.pieces[27];
    EXPECT_EQ(piece.owned, 1);
    EXPECT_EQ(piece.placed, 0);
    EXPECT_TRUE(piece.x >= -15.0f && piece.x <= 480.0f && piece.y >= -15.0f && piece.y <= 387.0f);
    EXPECT_EQ(progress.currentJigsaw, 1u);
    EXPECT_EQ(progress.journeyLevelsWon, 1u);
    EXPECT_EQ(progress.journeyLevelsUnlocked, 0u);
    EXPECT_EQ(game.level, 2);
    EXPECT_EQ(std::vector<int>({game.squareX, game.squareY}), std::vector<int>({4, 4}));
    ASSERT_EQ(map->items.Count(), 1);
    float flash = 0.0f;
    for (int i = 0; i < 2000 && map->items.Count() > 0; ++i) {
        map->Update();
        flash = std::max(flash, map->puzzleFlash);
    }
    EXPECT_EQ(map->items.Count(), 0);
    EXPECT_GT(flash, 0.98f);
    EXPECT_EQ(map->Square(4, 4).won, 1);
}

TEST_F(MapProgressTest, BonusLandsInTheFirstFreeSlot)
{
    struct Case {
        const char* what;
        int freeSlot; // -1: every slot full
        int kind;
        int32_t score; // before the bonus, and after it (Normal: no factor)
        int32_t scoreAfter;
    };
    const Case cases[] = {
        {"empty slots", 0, int(PowerKind::Hint), 100, 100},
        {"three held", 3, int(PowerKind::SkipLevel), 100, 100},
        {"all full: the item is lost", -1, int(PowerKind::SkipLevel), 100, 100},
        {"all full: points still count", -1, int(PowerKind::Points10000), 100, 10100},
        {"points stop at the largest score", -1, int(PowerKind::Points5000), INT32_MAX - 10, INT32_MAX},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        NewMap(2024);
        for (int i = 0; i < kPowerSlotCount; ++i)
            game.powerSlots[i] = c.freeSlot < 0 || i < c.freeSlot ? int(PowerKind::SkipLevel) : kNoPower;
        game.score = c.score;
        OpenSquare(4, 4, kBonusSquare, c.kind);
        Click(4, 4);
        EXPECT_EQ(progress.bonusItemsCollected, 1u);
        EXPECT_EQ(map->lastBonusKind, c.kind);
        Settle();
        if (c.freeSlot >= 0) {
            EXPECT_EQ(game.powerSlots[c.freeSlot], c.kind);
            EXPECT_GT(map->slotFlash[c.freeSlot], 0.0f);
        }
        EXPECT_EQ(game.score, c.scoreAfter);
    }
}

TEST_F(MapProgressTest, GoalAwardsPiecesThenEndsTheJourney)
{
    struct Case {
        int unowned;
        int awarded;
    };
    const Case cases[] = {{60, 3}, {2, 2}, {0, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.unowned);
        NewMap(2024, Difficulty::Normal, c.unowned);
        int gx = 0, gy = 0;
        for (int i = 0; i < kMapSquareCount; ++i)
            if (map->squares[i].isGoal) {
                gx = i / kMapSize;
                gy = i % kMapSize;
            }
        map->Square(gx, gy).locked = 0;
        Click(gx, gy);
        int owned = 0;
        for (const JigsawPieceRecord& r : progress.pieces)
            owned += r.owned;
        EXPECT_EQ(owned, 60 - c.unowned + c.awarded);
        EXPECT_EQ(map->items.Count(), c.awarded);
        EXPECT_TRUE(map->journeyEndPending);
        // The goal is not completed: no won flag, no level.
        EXPECT_EQ(game.level, 1);
        EXPECT_EQ(map->Square(gx, gy).won, 0);
        // The goal's tooltip does not come back, whether the pointer rests
        // on it or moves while the rewards fly.
        Step(12);
        if (c.awarded > 0) {
            map->OnMouseMove(CellX(gx) + 1, CellY(gy));
            Step(12);
        }
        EXPECT_EQ(map->tooltipCaption, nullptr);
        Settle();
        map->Update();
        EXPECT_FALSE(map->journeyEndPending);
    }
}

TEST_F(MapProgressTest, MarkerStandsBesideItsSquareTowardsTheMiddle)
{
    struct Case {
        int x, y, tip;
        float override;
        float tipX, tipY, facing, offset;
    };
    const Case cases[] = {
        {0, 0, 1, 0.0f, 337.0f, 93.0f, -1.0f, 25.0f},
        {3, 8, 1, 0.0f, 502.0f, 517.0f, -1.0f, 25.0f},
        {8, 4, 2, 0.0f, 537.0f, 305.0f, 1.0f, 10.0f},
        {4, 4, 2, -1.0f, 557.0f, 305.0f, -1.0f, 10.0f},
        // Right of its square the marker would stand past the map's frame.
        {8, 4, 2, -1.0f, 537.0f, 305.0f, 1.0f, 10.0f},
    };
    NewMap(2024);
    for (const Case& c : cases) {
        map->tipSideOverride = c.override;
        map->MoveMarker(c.x, c.y, c.tip);
        EXPECT_EQ(std::vector<float>({map->tipX, map->tipY, map->tipFacing, map->tipCaptionOffset}),
                  std::vector<float>({c.tipX, c.tipY, c.facing, c.offset}));
        EXPECT_EQ(map->tipNumber, c.tip);
        EXPECT_EQ(map->tipSideOverride, 0.0f);
    }
}

TEST_F(MapProgressTest, TipsPointAtTheStartThenAtAnOpenedSquare)
{
    // Seed 2024 starts at (8, 8).
    NewMap(2024);
    map->chosen = true;
    map->PlaceMarkerAtStart();
    EXPECT_FALSE(map->chosen);
    EXPECT_EQ(map->tipNumber, 1);
    EXPECT_EQ(std::vector<float>({map->tipX, map->tipY}), std::vector<float>({537.0f, 517.0f}));
    map->CompleteSquare(8, 8, 0);
    ASSERT_EQ(game.level, 2);
    Settle();
    // Nearest open square to (0, 4), since the marker stood right of 400.
    EXPECT_EQ(map->tipNumber, 2);
    EXPECT_EQ(std::vector<float>({map->tipX, map->tipY}), std::vector<float>({217.0f + 55.0f * 7 - 120.0f, 93.0f + 53.0f * 7}));
    game.level = 3;
    map->PlaceMarkerAtStart();
    EXPECT_EQ(map->tipNumber, 0);
}
