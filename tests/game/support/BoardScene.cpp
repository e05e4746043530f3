#include "BoardScene.h"

#include "app/Graphics.h"
#include "app/Random.h"
#include "game/Quorb.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <vector>

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

namespace {

// The frame one call draws, as the screenshot saves it: a bottom-up 24-bit
// picture of the window's size.
std::vector<uint8_t> Shot(const std::function<void()>& draw)
{
    draw();
    theGraphics.Present();
    theGraphics.SaveBMP("difference.bmp");
    std::ifstream in("difference.bmp", std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

} // namespace

// Tubes are centred 8.5 px outside the grid's edge.
float FrameReach(QuorbSwapApp& app)
{
    float reach = 0.0f;
    for (int frame : {1, 3}) {
        Sprite* edge = app.stripRim.GetFrame(frame);
        const bool horizontal = frame == 1;
        const int across = horizontal ? edge->mHeight : edge->mWidth;
        for (int i = 0; i < across; ++i) {
            const float alpha =
                horizontal ? edge->GetAlphaAt(edge->mWidth / 2, i) : edge->GetAlphaAt(i, edge->mHeight / 2);
            if (alpha > 0.25f) {
                reach = std::max(reach, float(across) / 2.0f - float(i) - 8.5f);
                break;
            }
        }
    }
    return reach;
}

Rect DifferenceBox(const std::function<void()>& drawFirst, const std::function<void()>& drawSecond)
{
    const std::vector<uint8_t> first = Shot(drawFirst), second = Shot(drawSecond);
    constexpr size_t header = 54;
    if (first.size() < header || first.size() != second.size())
        return Rect(0, 0, -1, -1);
    const auto word = [&](size_t at) { return int(first[at]) | int(first[at + 1]) << 8; };
    const int width = word(18), height = word(22), stride = (width * 3 + 3) & ~3;
    int left = width, top = height, right = -1, bottom = -1;
    for (size_t i = header; i < first.size(); ++i) {
        if (std::abs(int(first[i]) - int(second[i])) > 24) {
            const int x = int(i - header) % stride / 3, y = height - 1 - int(i - header) / stride;
            left = std::min(left, x), right = std::max(right, x);
            top = std::min(top, y), bottom = std::max(bottom, y);
        }
    }
    const float sx = 800.0f / float(width), sy = 600.0f / float(height);
    return Rect(float(left) * sx, float(top) * sy, float(right + 1 - left) * sx,
                float(bottom + 1 - top) * sy);
}

} // namespace BoardScene
