#include "BoardScene.h"

#include "app/Graphics.h"
#include "app/Random.h"
#include "game/Anim_Sprite.h"
#include "game/Anim_TextFloater.h"
#include "game/Quorb.h"

namespace fs = std::filesystem;

namespace BoardScene {

void LinkAssetFolders(const fs::path& programFolder)
{
    for (const char* folder : {"graphics", "Fonts"}) {
        std::error_code ignored;
        fs::create_directory_symlink(programFolder / folder, folder, ignored);
    }
}

void LoadBoardArt(QuorbSwapApp& app)
{
    app.fontArialBlack23.Load("Fonts\\ArialBlack23");
    SpriteBundle& b = app.bundleGameplay;
    b.Load("graphics\\gameplay");
    app.stripRim.LoadFromBundle(&b, "rim", 6);
    app.sprBackground.EnableFastBlit();
    app.sprBackground.LoadFromBundle(&b, "background");
    app.sprFlash.LoadFromBundle(&b, "Flash");
    app.stripExplosion.LoadFromBundle(&b, "Explosion", 6);
    struct Named
    {
        Sprite* sprite;
        const char* name;
    };
    const Named sprites[] = {
        {&app.sprQuorbMeter, "QuorbMeter"},
        {&app.sprQuorbMeterFill, "QuorbMeterFill"},
        {&app.sprWarning, "warning"},
        {&app.sprWarningBkg, "warningbkg"},
        {&app.sprSkullMeter, "skullmeter"},
        {&app.sprSkullMeterFill, "skullmeterfill"},
        {&app.sprSkullMeterDark, "skullmeterdark"},
        {&app.sprScoreBox, "scorebox"},
        {&app.sprMatchesToGo, "matchestogo"},
        {&app.sprStopwatch, "stopwatch"},
        {&app.sprStopwatchHand, "stopwatchhand"},
        {&app.sprStopwatchCircle, "stopwatchcircle"},
        {&app.sprCollectBox, "collectbox"},
        {&app.sprThinking, "thinking"},
        {&app.sprDuelMeter, "duelmeter"},
        {&app.sprDuelMeterFill, "duelmeterfill"},
        {&app.sprLevel, "level"},
        {&app.sprPowerUp, "powerup"},
        {&app.sprCircle, "Circle"},
    };
    for (const Named& n : sprites) {
        n.sprite->LoadFromBundle(&b, n.name);
    }
    app.stripHintButton.LoadFromBundle(&b, "hintbutton", 3);
    app.stripInstaWin.LoadFromBundle(&b, "instawin", 3);
    app.stripMenuButton.LoadFromBundle(&b, "menubutton", 3);
    app.stripSmallMenuButton.LoadFromBundle(&b, "smallmenubutton", 3);

    for (int kind = 0; kind < kPieceArtSlots; ++kind) {
        for (int v = 0; v < (kind == kSkullArtSlot ? 3 : 2); ++v) {
            const String name = String::StringFormat("graphics\\quorbs\\qb%d%d", kind, v);
            app.pieceImages[kind * kPieceVariants + v].Load(name.CStr());
        }
    }
    app.imageHintArrow.Load("graphics\\quorbs\\hintarrow");
    app.imageChip.Load("graphics\\quorbs\\chip");
    app.imageSmoke.Load("graphics\\quorbs\\smoke");
    app.imageSkullCrack.Load("graphics\\quorbs\\skullcrack");
    app.imageGoldBrick.Load("graphics\\quorbs\\goldbrick");
}

namespace {

// Kinds of the 12 x 10 grid, row by row.
const char* const kRows[] = {
    "012345670123", "123456701234", "234567012345", "345670123456", "456701234567",
    "567012345670", "670123456701", "701234567012", "012345670123", "123456701234",
};

Quorb* AddPiece(Board& board, int x, int y)
{
    auto* q = new Quorb(&board);
    q->app = board.app;
    q->board = &board;
    q->kind = KindAt(x, y);
    q->pos = Point((float(x) + 0.5f) * board.cellSize, (float(y) + 0.5f) * board.cellSize);
    q->scale = 1.0f;
    board.pieces.Add(q);
    return q;
}

void AddChips(Board& board, Point at)
{
    for (int i = 0; i < 8; ++i) {
        auto* chip = new Anim_Sprite();
        chip->sprite = &board.app->sprChip;
        chip->x = at.x + 10.0f * float(i % 3);
        chip->y = at.y - 6.0f * float(i);
        chip->rotation = 45.0f * float(i);
        chip->fade = 1.0f;
        board.effects.Add(chip);
    }
    auto* ring = new Anim_Sprite();
    ring->strip = &board.app->stripExplosion;
    ring->frame = 2.0f;
    ring->x = at.x;
    ring->y = at.y;
    ring->additive = 1;
    board.effects.Add(ring);
}

} // namespace

int KindAt(int x, int y)
{
    return kRows[y][x] - '0';
}

std::unique_ptr<Board> MakeMidGameBoard(QuorbSwapApp& app, Game* game)
{
    theRandom->Seed(1);
    auto board = std::make_unique<Board>(&app, game);
    Board& b = *board;
    b.levelType = LevelType::Meter;
    b.gridWidth = 12;
    b.gridHeight = 10;
    b.cellSize = 52.0f;
    b.gridRect = Rect(88.0f, 40.0f, 624.0f, 520.0f);
    b.cellEnabled.assign(120, 1);
    b.PreparePieceArt();

    for (int y = 0; y < b.gridHeight; ++y) {
        for (int x = 0; x < b.gridWidth; ++x) {
            Quorb* q = AddPiece(b, x, y);
            if (y < 3 && x >= 4 && x < 7) { // a column dropping in after a match
                q->falling = true;
                q->drawOffset.y = -0.4f * b.cellSize;
            }
            if (y == 6 && x >= 2 && x < 5) { // a line popping
                q->popping = true;
                q->popScale = 0.35f;
                q->popFlash = 0.6f;
            }
        }
    }
    Quorb* super = static_cast<Quorb*>(b.pieces.Get(5 * 12 + 9));
    super->super = true;
    super->pulsePhase = 60.0f;
    super->scale = 1.1f;
    Quorb* skull = static_cast<Quorb*>(b.pieces.Get(8 * 12 + 1));
    skull->skull = true;
    skull->hitPoints = 1;
    b.selected = static_cast<Quorb*>(b.pieces.Get(2 * 12 + 10));

    b.showMeter = true;
    b.meterMax = 100.0f;
    b.meterShown = 45.0f;
    b.meterValue = 45.0f;
    b.showPressure = true;
    b.pressure = 30.0f;
    b.pressureShown = 30.0f;
    b.levelScore = 12340;
    b.BuildFrame();

    AddChips(b, Point(3.5f * b.cellSize, 6.5f * b.cellSize));
    b.popups.Add(
        new Anim_TextFloater(&app.fontArialBlack23, "2240", Point(3.5f * b.cellSize, 6.0f * b.cellSize)));
    for (int i = 0; i < 10; ++i) {
        b.popups.Update(); // the popup grows to full size
    }
    b.hintShown = true;
    b.hintPos = Point(7.0f * b.cellSize, 8.5f * b.cellSize);
    b.hintDir = Point(1.0f, 0.0f);
    b.hintAngle = 450.0f;
    b.hintAlpha = 1.0f;
    return board;
}

void DrawFrame(Board& board)
{
    Graphics& g = theGraphics;
    g.BeginScene();
    g.mTranslation = Point(0.0f, 0.0f);
    g.ResetClip();
    g.SetColorWhite();
    board.DrawBackground();
    board.Draw();
    g.EndScene();
}

} // namespace BoardScene
