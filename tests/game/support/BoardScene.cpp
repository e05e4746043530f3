#include "BoardScene.h"

#include "app/Graphics.h"
#include "app/Random.h"
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

bool AnyPiece(Board& board, bool (*test)(const Quorb&))
{
    for (int i = 0; i < board.pieces.Count(); ++i) {
        if (test(*static_cast<Quorb*>(board.pieces.Get(i)))) {
            return true;
        }
    }
    return false;
}

bool InCascade(Board& board)
{
    return AnyPiece(board, [](const Quorb& q) { return q.popping && q.popScale > 0.05f; }) &&
           board.popups.Count() > 0 && board.effects.Count() > 0;
}

// Makes the move the hint would show; false when there is none.
bool MakeAMove(Board& board)
{
    Point pos, dir;
    if (!board.FindPossibleMove(&pos, &dir)) {
        return false;
    }
    Quorb* a = board.PieceAtPoint(pos);
    Quorb* b = board.PieceAtPoint(Point(pos.x + dir.x * board.cellSize, pos.y + dir.y * board.cellSize));
    board.cascadeLevel = 0;
    return a != nullptr && b != nullptr && board.TrySwap(a, b);
}

} // namespace

std::unique_ptr<Board> MakeMidGameBoard(QuorbSwapApp& app, Game* game)
{
    theRandom->Seed(11);
    auto board = std::make_unique<Board>(&app, game);
    Board& b = *board;
    b.levelType = LevelType::Meter;
    b.kindCount = 8;
    b.showMeter = true;
    b.meterMax = 1000.0f;
    b.showPressure = true;
    b.showReadyOverlay = false;
    b.started = true;
    b.SetSize(12, 10);
    b.FillInitial(nullptr);
    b.BuildFrame();

    // Moves until a line pops beside a skull: pieces popping, a score popup
    // rising and chips flying.
    for (int i = 0; i < 12; ++i) {
        static_cast<Quorb*>(b.pieces.Get(theRandom->Get(b.pieces.Count())))->skull = true;
    }
    for (int move = 0; move < 40 && !InCascade(b); ++move) {
        if (!MakeAMove(b)) {
            break;
        }
        for (int tick = 0; tick < 300 && !InCascade(b); ++tick) {
            b.Update();
            if (b.movingCount == 0 && !b.refillPending && tick > 60) {
                break;
            }
        }
    }
    b.ShowHint();
    b.hintAlpha = 1.0f;
    b.selected = static_cast<Quorb*>(b.pieces.Get(0));
    return board;
}

namespace {

template <typename Draw> void DrawScene(Draw draw)
{
    Graphics& g = theGraphics;
    g.BeginScene();
    g.mTranslation = Point(0.0f, 0.0f);
    g.ResetClip();
    g.SetColorWhite();
    draw();
    g.EndScene();
}

} // namespace

void DrawFrame(Board& board, Object* overlay)
{
    DrawScene([&] {
        board.DrawBackground();
        board.Draw();
        if (overlay != nullptr)
            overlay->Draw();
    });
}

void DrawScreen(Gadget& screen)
{
    DrawScene([&] { screen.CoreDraw(); });
}

void DrawOverBlack(Gadget& gadget)
{
    DrawScene([&] {
        theGraphics.SetColorRGBA(0.0f, 0.0f, 0.0f, 1.0f);
        theGraphics.FillRect(0.0f, 0.0f, 800.0f, 600.0f);
        theGraphics.SetColorWhite();
        gadget.CoreDraw();
    });
}

} // namespace BoardScene
