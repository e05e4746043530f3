// The frame's pieces, the buttons and the meters, placed on boards of each
// level type with the generated art (positions, not pixels).
#include "app/Graphics.h"
#include "app/Random.h"

#include "support/BoardScene.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace fs = std::filesystem;

namespace {

class BoardFrameTest : public testing::Test
{
  protected:
    void SetUp() override
    {
        previous = fs::current_path();
        fs::current_path(folder.Path());
        const char* dir = std::getenv("QS_PROGRAM_DIR");
        BoardScene::LinkAssetFolders(dir ? fs::path(dir) : previous);
        app = std::make_unique<QuorbSwapApp>();
        // Drawn through SDL's renderer, whose back buffer the test reads.
        app->arguments = {"-hardware"};
        app->dataFolder = folder.Path().c_str();
        theGraphics.SetLogicalResolution(800, 600);
        ASSERT_TRUE(theGraphics.Startup(nullptr));
        BoardScene::LoadBoardArt(*app);
    }
    void TearDown() override
    {
        app.reset();
        theGraphics.ResetState();
        fs::current_path(previous);
    }

    // An 8 x 8 board of 65-pixel cells at (140, 40), cells disabled as given.
    std::unique_ptr<Board> MakeBoard(LevelType type, std::vector<Point> disabled = {})
    {
        auto board = std::make_unique<Board>(app.get(), nullptr);
        board->levelType = type;
        board->SetSize(8, 8);
        for (const Point& cell : disabled)
            board->cellEnabled[size_t(cell.y * 8 + cell.x)] = 0;
        board->BuildFrame();
        return board;
    }

    TemporaryFolder folder;
    fs::path previous;
    std::unique_ptr<QuorbSwapApp> app;
};

std::vector<const FrameDecoration*> Pieces(const Board& board, bool corners)
{
    std::vector<const FrameDecoration*> out;
    for (const FrameDecoration& d : board.frameDecorations)
        if (d.isCorner == corners)
            out.push_back(&d);
    return out;
}

const FrameDecoration* CornerAt(const Board& board, Point p)
{
    for (const FrameDecoration* d : Pieces(board, true))
        if (std::abs(d->start.x - p.x) < 0.01f && std::abs(d->start.y - p.y) < 0.01f)
            return d;
    return nullptr;
}

} // namespace

TEST_F(BoardFrameTest, CornersSitTwelvePixelsOutWithTheirFrames)
{
    struct Case
    {
        const char* what;
        std::vector<Point> disabled;
        size_t corners, edges;
        std::vector<std::pair<Point, int>> expected; // corner position, frame
    };
    const Case cases[] = {
        {"full grid", {}, 4, 4, {{{-12, -12}, 0}, {{532, -12}, 2}, {{-12, 532}, 4}, {{532, 532}, 5}}},
        // The inside corner's normal points into the missing cell; its art
        // faces the other way.
        {"top-left cell off",
         {{0, 0}},
         6,
         6,
         {{{53, -12}, 0}, {{-12, 53}, 0}, {{53, 53}, 5}, {{532, 532}, 5}}},
    };
    for (const Case& c : cases) {
        auto board = MakeBoard(LevelType::Meter, c.disabled);
        EXPECT_EQ(Pieces(*board, true).size(), c.corners) << c.what;
        EXPECT_EQ(Pieces(*board, false).size(), c.edges) << c.what;
        for (const auto& [at, frame] : c.expected) {
            const FrameDecoration* corner = CornerAt(*board, at);
            ASSERT_NE(corner, nullptr) << c.what << " at " << at.x << "," << at.y;
            EXPECT_EQ(corner->frameIndex, frame) << c.what << " at " << at.x << "," << at.y;
        }
    }
}

TEST_F(BoardFrameTest, EdgesStopShortOfTheirCornersAndFurtherAtInsideOnes)
{
    auto board = MakeBoard(LevelType::Meter, {{0, 0}});
    bool sawVertical = false, sawHorizontal = false;
    for (const FrameDecoration* e : Pieces(*board, false)) {
        // The two edges of the missing cell: 17 pixels short at the outer
        // end, 17 + 18 at the inside corner.
        if (e->isVertical && e->start.x == 56.5f) {
            EXPECT_FLOAT_EQ(e->start.y, 17);
            EXPECT_FLOAT_EQ(e->end.y, 65 - 35);
            EXPECT_EQ(e->frameIndex, 3);
            sawVertical = true;
        }
        if (e->isHorizontal && e->start.y == 56.5f) {
            EXPECT_FLOAT_EQ(e->start.x, 17);
            EXPECT_FLOAT_EQ(e->end.x, 65 - 35);
            EXPECT_EQ(e->frameIndex, 1);
            EXPECT_FLOAT_EQ(e->bounds.y, 56.5f - 35);
            EXPECT_FLOAT_EQ(e->bounds.h, 70);
            sawHorizontal = true;
        }
        // The long outer edges: 8.5 out, 17 short of each end.
        if (e->isHorizontal && e->start.y == 528.5f) {
            EXPECT_FLOAT_EQ(e->start.x, 17);
            EXPECT_FLOAT_EQ(e->end.x, 503);
        }
    }
    EXPECT_TRUE(sawVertical);
    EXPECT_TRUE(sawHorizontal);
}

TEST_F(BoardFrameTest, ButtonsArePlacedAboveAndBelowTheGrid)
{
    struct Case
    {
        const char* what;
        LevelType type;
        bool computer;
        Rect hint, menu;
    };
    // Grid at (140, 40), 520 pixels square; hint art 30 x 40, menu art 140 x
    // 50, the duel's 110 x 38 at the bottom of the screen.
    const Case cases[] = {
        {"normal", LevelType::Meter, false, {525, -7, 30, 40}, {330, 543, 140, 50}},
        {"duel", LevelType::Duel, false, {510, -7, 30, 40}, {345, 562, 110, 38}},
        {"computer's duel", LevelType::Duel, true, {-1000, -1000, 10, 10}, {345, 562, 110, 38}},
        {"matches", LevelType::Matches, false, {-1000, -1000, 10, 10}, {330, 543, 140, 50}},
    };
    for (const Case& c : cases) {
        auto board = std::make_unique<Board>(app.get(), nullptr);
        board->levelType = c.type;
        board->isComputer = c.computer;
        board->SetSize(8, 8);
        board->BuildFrame();
        const Rect hint = board->hintButton.rect, menu = board->menuButton.rect;
        EXPECT_EQ(std::vector<float>({hint.x, hint.y, hint.w, hint.h}),
                  std::vector<float>({c.hint.x, c.hint.y, c.hint.w, c.hint.h}))
            << c.what;
        EXPECT_EQ(std::vector<float>({menu.x, menu.y, menu.w, menu.h}),
                  std::vector<float>({c.menu.x, c.menu.y, c.menu.w, c.menu.h}))
            << c.what;
        // Without a skip power the skip button is out of sight and reach.
        EXPECT_EQ(board->skipButton.rect.x, -9999) << c.what;
        EXPECT_EQ(board->skipButton.rect.w, 10) << c.what;
        EXPECT_EQ(board->hintButton.listener, c.hint.x < 0 ? nullptr : board.get()) << c.what;
        EXPECT_EQ(board->menuButton.listener, board.get()) << c.what;
    }
}

// With a skip power the skip button sits left of the score, 18 pixels
// further right and 10.5 higher on a duel board.
TEST_F(BoardFrameTest, SkipButtonShowsWithASkipPower)
{
    Game game(app.get());
    game.powerSlots[3] = int(PowerKind::SkipLevel);
    const struct
    {
        LevelType type;
        float x, y;
    } cases[] = {{LevelType::Meter, 213.0f, -7.0f}, {LevelType::Duel, 231.0f, -17.5f}};
    for (const auto& [type, x, y] : cases) {
        auto board = std::make_unique<Board>(app.get(), &game);
        board->levelType = type;
        board->SetSize(8, 8);
        board->BuildFrame();
        const Rect skip = board->skipButton.rect;
        EXPECT_EQ(std::vector<float>({skip.x, skip.y, skip.w, skip.h}), std::vector<float>({x, y, 90, 41}))
            << int(type);
        EXPECT_EQ(board->skipButton.listener, board.get());
        EXPECT_EQ(board->skipButton.parent, board.get());
        // Clicked on its art only: its clear left margin lies over a duel
        // frame's corner.
        EXPECT_FALSE(board->skipButton.HitTest(int(x) + 5, 13)) << int(type);
        EXPECT_TRUE(board->skipButton.HitTest(int(x) + 60, 13)) << int(type);
    }
}

// Hint is clicked only where its round art shows: its clear corners lie over
// a duel frame's corner.
TEST_F(BoardFrameTest, HintIsClickedOnlyWhereItsArtShows)
{
    for (LevelType type : {LevelType::Meter, LevelType::Duel}) {
        auto board = MakeBoard(type);
        const Rect hint = board->hintButton.rect;
        EXPECT_FALSE(board->hintButton.HitTest(int(hint.x) + 1, int(hint.y) + 1)) << int(type);
        EXPECT_TRUE(board->hintButton.HitTest(int(hint.x + hint.w / 2), int(hint.y + hint.h / 2)))
            << int(type);
    }
}

// A lost level's overlay takes every click: the Menu button leaves the
// screen.
TEST_F(BoardFrameTest, MenuLeavesTheScreenUnderALostLevelsPrompt)
{
    for (LevelType type : {LevelType::Meter, LevelType::Duel}) {
        auto board = MakeBoard(type);
        board->OpenLoseOverlay(LoseReason::NoMoves, false);
        EXPECT_LT(board->menuButton.rect.x + board->menuButton.rect.w, 0.0f) << int(type);
    }
}

// An edge whose art cannot advance (no width beyond the overlap) is left
// out instead of tiling forever.
TEST_F(BoardFrameTest, EdgeArtThatCannotAdvanceIsSkipped)
{
    auto board = MakeBoard(LevelType::Meter);
    app->stripRim.GetFrame(1)->mWidth = 2;
    app->stripRim.GetFrame(3)->mHeight = 0;
    theGraphics.BeginScene();
    board->DrawFrame();
    theGraphics.EndScene();
    SUCCEED();
}

// The score shown is the game's and the level's together, which a game at
// the largest score would take past the largest int.
TEST_F(BoardFrameTest, TheScoreOfAGameAtTheLargestIsShown)
{
    Game game(app.get());
    game.score = INT32_MAX;
    auto board = std::make_unique<Board>(app.get(), &game);
    board->SetSize(8, 8);
    board->BuildFrame();
    board->levelScore = 1000;
    theGraphics.BeginScene();
    board->DrawFrame();
    theGraphics.EndScene();
    SUCCEED();
}

TEST_F(BoardFrameTest, MetersAndCountersLieBesideTheGridOnTheScreen)
{
    struct Case
    {
        LevelType type;
        bool pressure, meter, duel, matches, countdown, collect;
    };
    const Case cases[] = {
        {LevelType::Meter, false, true, false, false, false, false},
        {LevelType::Skulls, true, false, false, false, false, false},
        {LevelType::Drain, false, true, false, false, false, false},
        {LevelType::Matches, false, false, false, true, true, false},
        {LevelType::Collect, true, false, false, false, false, true},
        {LevelType::GoGold, false, false, false, false, false, false},
        {LevelType::Duel, false, true, true, false, false, false},
    };
    for (const Case& c : cases) {
        theRandom->Seed(3);
        auto board = std::make_unique<Board>(app.get(), nullptr);
        board->SetupLevel(c.type, 50);
        const int t = int(c.type);
        EXPECT_EQ(board->showPressure, c.pressure) << t;
        EXPECT_EQ(board->showMeter, c.meter) << t;
        EXPECT_EQ(board->duelMeter, c.duel) << t;
        EXPECT_EQ(board->showMatchesLeft, c.matches) << t;
        EXPECT_EQ(board->showCountdown, c.countdown) << t;
        EXPECT_EQ(board->showCollect, c.collect) << t;

        const HudLayout l = board->LayoutHud();
        const Rect grid = board->gridRect;
        std::vector<std::pair<Point, const Sprite*>> shown;
        if (c.pressure)
            shown.push_back({l.pressureMeter, &app->sprSkullMeter});
        // The duel meter's panel runs a few pixels past the bottom of the
        // screen under a tall grid; its fill stays on it.
        if (c.meter && c.duel)
            shown.push_back({l.levelFill, &app->sprDuelMeterFill});
        if (c.meter && !c.duel)
            shown.push_back({l.levelMeter, &app->sprQuorbMeter});
        if (c.matches)
            shown.push_back({l.matchesCounter, &app->sprMatchesToGo});
        if (c.countdown)
            shown.push_back({l.stopwatch, &app->sprStopwatch});
        for (int i = 0; c.collect && i < 4 && board->collectKinds[i] != -1; ++i)
            shown.push_back({l.collectSlots[i], &app->sprCollectBox});
        for (const auto& [at, art] : shown) {
            const Rect r(grid.x + at.x, grid.y + at.y, float(art->mWidth), float(art->mHeight));
            EXPECT_GE(r.x, 0) << t;
            EXPECT_GE(r.y, 0) << t;
            EXPECT_LE(r.x + r.w, 800) << t;
            EXPECT_LE(r.y + r.h, 600) << t;
            const Rect overlap = r.Intersection(grid);
            EXPECT_TRUE(overlap.w <= 0 || overlap.h <= 0) << t << ": covers the grid";
        }
    }
    // The Part's own numbers for the plain meter: 100 x 380 art, 8 pixels
    // left of a 520-pixel grid, centred on it; the fill 43, 13 inside.
    auto board = std::make_unique<Board>(app.get(), nullptr);
    board->SetupLevel(LevelType::Meter, 50);
    const HudLayout l = board->LayoutHud();
    EXPECT_FLOAT_EQ(l.levelMeter.x, -108);
    EXPECT_FLOAT_EQ(l.levelMeter.y, 70);
    EXPECT_FLOAT_EQ(l.levelFill.x, -65);
    EXPECT_FLOAT_EQ(l.levelFill.y, 83);
    EXPECT_FLOAT_EQ(l.clockCentre.x, 587);
}

// The shared piece art follows the last board prepared: pieces at 0.8 of a
// cell, the hint arrow and gold brick at a cell, debris by the piece scale.
TEST_F(BoardFrameTest, PieceArtTakesTheCellSizeOfTheLastBoard)
{
    for (int side : {8, 6}) { // cells of 65, then of 120 x 57: 57
        auto board = MakeBoard(LevelType::Meter);
        board->SetSize(side, side == 8 ? 8 : 9);
        const float cell = board->cellSize;
        const int piece = int(std::lround(0.8f * cell));
        for (int i : {0, 1, 7 * 3 + 1, 8 * 3, 8 * 3 + 2}) {
            EXPECT_EQ(app->boardPieceSprites[i].mWidth, piece) << side << " slot " << i;
            EXPECT_EQ(app->boardPieceSprites[i].mHeight, piece) << side << " slot " << i;
        }
        EXPECT_EQ(app->sprHintArrow.mWidth, int(cell));
        EXPECT_EQ(app->sprGoldBrick.mHeight, int(cell));
        EXPECT_EQ(app->sprSkullCrack.mWidth, piece);
        EXPECT_EQ(app->sprChip.mWidth, int(std::lround(float(app->imageChip.mWidth) * 2.0f * cell / 256.0f)));
        EXPECT_FLOAT_EQ(board->pieceScale, cell / 256.0f);
    }
    auto board = MakeBoard(LevelType::Collect);
    board->collectKinds[0] = 3;
    board->collectKinds[1] = 5;
    board->PrepareCollectIcons();
    EXPECT_EQ(board->collectIcons[0].mWidth, 66);
    EXPECT_EQ(board->collectIcons[1].mHeight, 66);
    EXPECT_FALSE(board->collectIcons[2].mLoaded);
}

// A hole in the board shows what lies under the board: no background, no
// pattern, no piece.
TEST_F(BoardFrameTest, DisabledCellsShowNothingOfTheBoard)
{
    auto board = MakeBoard(LevelType::Meter, {{3, 3}, {4, 3}, {3, 4}, {4, 4}});
    board->FillInitial(nullptr);
    Graphics& g = theGraphics;
    g.BeginScene();
    g.mTranslation = Point(0, 0);
    g.ResetClip();
    g.SetColorRGBA(1, 0, 0, 1);
    g.FillRect(0, 0, 800, 600);
    g.SetColorWhite();
    board->Draw();
    g.EndScene();
    Platform::Surface frame(g.mWidth, g.mHeight, Platform::PixelFormat::XRGB8888());
    ASSERT_TRUE(g.mDevice->ReadBackBuffer(frame));
    const uint32_t red = 0xFFFF0000;
    // The hole's middle, 65 pixels in from its sides; an enabled cell.
    EXPECT_EQ(frame.GetPixel(140 + 260, 40 + 260), red);
    EXPECT_EQ(frame.GetPixel(140 + 255, 40 + 265), red);
    EXPECT_NE(frame.GetPixel(140 + 97, 40 + 32), red);
}
