// Drawing the journey map: squares, the hovered square, power slots,
// buttons, the side panel, the tip marker and the tooltip.
#include "app/Graphics.h"
#include "app/Math.h"
#include "game/Game.h"
#include "game/Map.h"
#include "game/QuorbSwapApp.h"

namespace {

constexpr float kScoreWidth = 137.0f;

// A strip frame may be missing (a won item square has no icon frame, a
// saved slot may name none): such a sprite is skipped.
void DrawThrough(Sprite* sprite, const Matrix& m)
{
    if (sprite != nullptr)
        sprite->DrawMatrix(m);
}

Matrix SquareMatrix(float sx, float sy, float s, int x, int y)
{
    Matrix m;
    m.Scale(sx, sy, 1.0f);
    m.Scale(s, s, 1.0f);
    m.Translate(Map::kColumnPitch * float(x), Map::kRowPitch * float(y), 0.0f);
    return m;
}

float Pulse(int counter, float amount, float speed)
{
    return 1.0f + amount * Math::SinDegrees(speed * float(counter));
}

// The later rule wins: won over start over goal over the plain face.
Sprite* LevelFace(Map& map, const MapSquare& square, bool useWon)
{
    if (useWon && square.won)
        return &map.sprWonLevel;
    if (square.isStart)
        return &map.sprStart;
    if (square.isGoal)
        return &map.sprGoal;
    if (square.locked)
        return &map.sprGridSquareLocked;
    return map.stripGameIcon.GetFrame(square.type);
}

void SetFaceColor(Map& map, const MapSquare& square, const Sprite* face)
{
    if (face == &map.sprGridSquareLocked)
        theGraphics.SetColor(square.color[0], square.color[1], square.color[2], square.color[3]);
    else
        theGraphics.SetColorWhite();
}

} // namespace

void Map::DrawPieceWithOutline(int x, int y, float k, const float (&flip)[2])
{
    const MapSquare& square = Square(x, y);
    Sprite* piece = PieceSprite(square.item, square.piece);
    if (piece == nullptr)
        return;
    auto ring = [&](float radius, int step) {
        for (int a = 0; a < 360; a += step) {
            Point offset;
            Math::AngleToVector(float(a), offset);
            Matrix m;
            m.Scale(k, k, 1.0f);
            m.Scale(flip[0], flip[1], 1.0f);
            m.Translate(kColumnPitch * float(x), kRowPitch * float(y), 0.0f);
            m.Translate(radius * offset.x, radius * offset.y, 0.0f);
            piece->DrawMatrix(m);
        }
    };
    theGraphics.SetColorFill(true);
    theGraphics.SetColor(1.0f, 0.5f, 0.0f, 1.0f);
    ring(5.0f, 20);
    theGraphics.SetColor(0.0f, 0.0f, 0.0f, 1.0f);
    ring(2.0f, 30);
    theGraphics.SetColorFill(false);
    theGraphics.SetColorWhite();
    Matrix m;
    m.Scale(k, k, 1.0f);
    m.Scale(flip[0], flip[1], 1.0f);
    m.Translate(kColumnPitch * float(x), kRowPitch * float(y), 0.0f);
    piece->DrawMatrix(m);
}

void Map::DrawSquare(int x, int y)
{
    const MapSquare& square = Square(x, y);
    const float flip[2] = {square.scaleX, square.scaleY};
    Matrix lock;
    lock.Translate(12.0f, 12.0f, 0.0f);
    lock.Scale(square.scaleX, square.scaleY, 1.0f);
    lock.Translate(kColumnPitch * float(x), kRowPitch * float(y), 0.0f);
    if (square.type < 8 || square.won) {
        Sprite* face = LevelFace(*this, square, true);
        SetFaceColor(*this, square, face);
        const float s = square.isGoal && !square.locked ? Pulse(updateCount, 0.2f, 5.0f) : 1.0f;
        DrawThrough(face, SquareMatrix(square.scaleX, square.scaleY, s, x, y));
        theGraphics.SetColorWhite();
        if (square.isGoal && square.locked)
            sprLock.DrawMatrix(lock);
    } else if (square.type == kJigsawSquare) {
        const float s = square.locked ? 1.0f : Pulse(updateCount, 0.2f, 5.0f);
        DrawPieceWithOutline(x, y, 0.3f * s, flip);
        if (square.locked)
            sprLock.DrawMatrix(lock);
    } else if (square.type == kBonusSquare) {
        theGraphics.SetColorWhite();
        if (square.locked)
            sprBonusCoin.DrawMatrix(SquareMatrix(square.scaleX, square.scaleY, 1.0f, x, y));
        else
            DrawThrough(stripBonusCoins.GetFrame(square.item),
                        SquareMatrix(square.scaleX, square.scaleY, Pulse(updateCount, 0.1f, 3.0f), x, y));
    }
}

void Map::DrawHoveredSquare()
{
    const int x = hoverX;
    const int y = hoverY;
    const MapSquare& square = Square(x, y);
    const float h = chosen ? 1.5f : (square.locked ? 1.1f : 1.25f);
    const float flip[2] = {square.scaleX, square.scaleY};
    Matrix lock;
    lock.Translate(12.0f, 12.0f, 0.0f);
    if (square.type == kJigsawSquare) {
        lock.Scale(h, h, 1.0f);
        lock.Scale(square.scaleX, square.scaleY, 1.0f);
    } else {
        lock.Scale(square.scaleX, square.scaleY, 1.0f);
        lock.Scale(h, h, 1.0f);
    }
    lock.Translate(kColumnPitch * float(x), kRowPitch * float(y), 0.0f);
    if (square.type < 8) {
        Sprite* face = LevelFace(*this, square, false);
        SetFaceColor(*this, square, face);
        if (face != nullptr)
            face->DrawRotated(kColumnPitch * float(x), kRowPitch * float(y), 0.0f, h);
        theGraphics.SetColorWhite();
        if (square.isGoal && square.locked)
            sprLock.DrawMatrix(lock);
    } else if (square.type == kJigsawSquare) {
        const float s = square.locked ? 1.0f : Pulse(updateCount, 0.2f, 5.0f);
        DrawPieceWithOutline(x, y, 0.3f * h * s, flip);
        if (square.locked)
            sprLock.DrawMatrix(lock);
    } else if (square.type == kBonusSquare) {
        Matrix m;
        m.Scale(square.scaleX, square.scaleY, 1.0f);
        if (square.locked) {
            m.Scale(h, h, 1.0f);
            m.Translate(kColumnPitch * float(x), kRowPitch * float(y), 0.0f);
            sprBonusCoin.DrawMatrix(m);
        } else {
            const float s = Pulse(updateCount, 0.1f, 3.0f);
            m.Scale(s, s, 1.0f);
            m.Scale(h, h, 1.0f);
            m.Translate(kColumnPitch * float(x), kRowPitch * float(y), 0.0f);
            DrawThrough(stripBonusCoins.GetFrame(square.item), m);
        }
    }
}

void Map::Draw()
{
    sprBackground.Draw(0.0f, 0.0f);
    theGraphics.mTranslation.x += kLeft;
    theGraphics.mTranslation.y += kTop;
    for (int x = 0; x < kMapSize; ++x)
        for (int y = 0; y < kMapSize; ++y)
            DrawSquare(x, y);
    theGraphics.SetColorWhite();
    if (hoverX >= 0 && hoverY >= 0)
        DrawHoveredSquare();
    theGraphics.SetColorWhite();
    theGraphics.mTranslation.x -= kLeft;
    theGraphics.mTranslation.y -= kTop;
    for (int i = 0; i < kPowerSlotCount && game->powerSlots[i] != kNoPower; ++i) {
        Sprite* coin = stripBonusCoins.GetFrame(game->powerSlots[i]);
        if (coin == nullptr)
            continue;
        const float cy = 310.0f - 56.0f * float(i);
        coin->DrawCentered(742.0f, cy);
        if (slotFlash[i] != 0.0f) {
            theGraphics.SetColorFill(true);
            theGraphics.SetColor(1.0f, 1.0f, 1.0f, slotFlash[i]);
            coin->DrawCentered(742.0f, cy);
            theGraphics.SetColorWhite();
            theGraphics.SetColorFill(false);
        }
    }
    const float held = 5.0f;
    if (menuButton.hovered)
        sprMenuHilite.DrawCentered(735.0f, 403.0f + (menuButton.down ? held : 0.0f));
    else
        sprMenu.DrawCentered(745.0f, 398.0f);
    Sprite& puzzle = puzzleButton.hovered ? sprPuzzleHilite : sprPuzzle;
    const float puzzleY = 488.0f + (puzzleButton.hovered && puzzleButton.down ? held : 0.0f);
    puzzle.DrawCentered(745.0f, puzzleY);
    if (puzzleFlash != 0.0f) {
        theGraphics.SetColorFill(true);
        theGraphics.SetColor(1.0f, 1.0f, 1.0f, puzzleFlash);
        puzzle.DrawCentered(745.0f, puzzleY);
        theGraphics.SetColorFill(false);
        theGraphics.SetColorWhite();
    }
    items.Draw();
    DrawPanel();
    DrawTooltip();
}

void Map::DrawPanel()
{
    Font& font = app->fontArialBlack23;
    const String score = String::StringFormat("%d", game->score);
    const float width = float(font.GetWidth(score));
    // Long scores are squeezed into the panel.
    float s = 1.0f;
    while (width * s > kScoreWidth)
        s -= 0.01f;
    Matrix m;
    m.Translate(0.0f, -(font.mLineHeight - 15.0f) / 2.0f, 0.0f);
    m.Scale(s, 1.0f, 1.0f);
    m.Translate(17.0f, 226.0f, 0.0f);
    font.DrawMatrix(score, m);
    font.Draw(String::StringFormat("%d", game->level), 17.0f, 331.0f);
    Matrix timeMatrix;
    timeMatrix.Scale(0.95f, 0.95f, 1.0f);
    timeMatrix.Translate(17.0f, 437.0f, 0.0f);
    font.DrawMatrix(BestTimeText(game->bestTime), timeMatrix);
    if (tipNumber == 0)
        return;
    const float sway = kTipSway * Math::SinDegrees(3.0f * float(app->updateCount));
    theGraphics.mTranslation.x += sway;
    Matrix arrow;
    arrow.Scale(tipFacing, 1.0f, 1.0f);
    arrow.Translate(tipX, tipY, 0.0f);
    sprTipArrow.DrawMatrix(arrow);
    Matrix caption;
    caption.Translate(tipX - tipCaptionOffset * tipFacing, tipY - 3.0f, 0.0f);
    sprTips[tipNumber - 1].DrawMatrix(caption);
    theGraphics.mTranslation.x -= sway;
}

String Map::BestTimeText(int32_t ticks)
{
    if (ticks == kNoBestTime)
        return "...";
    return String::StringFormat("%.2d:%.2d:%.2d", ticks / 100 / 60, (ticks / 100) % 60, ticks % 100);
}

void Map::DrawTooltip()
{
    if (tooltipCaption == nullptr)
        return;
    const float tx = tooltipX;
    const float ty = tooltipY;
    const float height = float(tooltipCaption->mHeight);
    theGraphics.SetColor(1.0f, 1.0f, 1.0f, tooltipAlpha);
    tooltipCaption->Draw(tx, ty);
    theGraphics.SetColorWhite();
    const float d = tooltipDifficulty;
    if (d < 0.0f)
        return;
    sprDifficultyCaption.Draw(tx + 28.0f, ty + height - 12.0f);
    const int pips = d <= 0.1f ? 1 : d <= 0.3f ? 2 : d <= 0.7f ? 3 : d <= 0.9f ? 4 : 5;
    sprDifficultyPips[pips - 1].Draw(tx + 118.0f, ty + height - 4.0f);
}
