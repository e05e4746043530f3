// Drawing the board, its background and its meters.
#include "app/App.h"
#include "app/Font.h"
#include "app/Graphics.h"
#include "app/Math.h"
#include "app/SpriteStrip.h"
#include "game/Board.h"
#include "game/Game.h"
#include "game/Quorb.h"
#include "game/QuorbSwapApp.h"

#include <algorithm>
#include <cmath>

namespace {

// The matches counter's number, below the art's heading.
constexpr float kCounterTextY = 45.0f;
// The drain warning sits centred over the meter's top end.
constexpr float kWarningAbove = 30.0f;

int Ticks()
{
    return theApp != nullptr ? theApp->updateCount : 0;
}

// A fill fraction kept to 0..1, 0 when the whole is not positive (a damaged
// save may carry any values).
float Fraction(float part, float whole)
{
    if (!(whole > 0.0f)) {
        return 0.0f;
    }
    return std::clamp(part / whole, 0.0f, 1.0f);
}

bool IsWhite(const Color& c)
{
    return c.r == 1.0f && c.g == 1.0f && c.b == 1.0f && c.a == 1.0f;
}

void Shift(Point delta)
{
    theGraphics.mTranslation.x += delta.x;
    theGraphics.mTranslation.y += delta.y;
}

// The zoom pulse over the whole screen, and a shake in a new direction each
// frame; the translation is pushed first.
void StartZoomAndShake(float zoom, float shake)
{
    if (zoom > 0.0f) {
        theGraphics.SetZoom(1.0f + zoom);
    }
    theGraphics.PushTranslation();
    if (shake > 0.0f) {
        Point d;
        Math::RandomDirection(nullptr, d);
        Shift(Point(d.x * shake, d.y * shake));
    }
}

void EndZoom(float zoom)
{
    if (zoom > 0.0f) {
        theGraphics.SetZoom(1.0f);
    }
}

String Number(int value)
{
    return String::StringFormat("%d", value);
}

} // namespace

void Board::Draw()
{
    if (app == nullptr) {
        return;
    }
    Graphics& g = theGraphics;
    StartZoomAndShake(zoom, shake);
    const Point boardOrigin = g.mTranslation;
    g.PushClip();
    Shift(slideOffset);
    Shift(Point(gridRect.x, gridRect.y));

    g.SetColorRGBA(0.0f, 0.0f, 0.0f, 1.0f);
    Shift(Point(0.0f, 20.0f));
    DrawFrame();
    Shift(Point(0.0f, -20.0f));

    g.ResetClip();
    DrawCells();
    DrawPieces();
    DrawFrame();
    DrawHud();

    for (int i = 0; i < flyingPieces.Count(); ++i) {
        static_cast<Quorb*>(flyingPieces.Get(i))->DrawFlying();
    }
    effects.Draw();
    popups.Draw();
    DrawHint();

    if (!demoMode && app->gameMode != GameMode::Journey) {
        g.ResetClip();
        g.mTranslation = boardOrigin;
        app->sprLevel.Draw(-3.0f, 0.0f);
        app->fontArialBlack23.DrawCentered(Number(game != nullptr ? game->level : 1), 65.0f, 25.0f);
    }

    g.PopTranslation();
    g.PopClip();
    g.SetColorWhite();
    EndZoom(zoom);
}

// Pieces are clipped to each rectangle of the enabled cells in turn: first
// their shadow, then themselves.
void Board::DrawPieces()
{
    Graphics& g = theGraphics;
    const Point shadow(0.05f * cellSize, 0.05f * cellSize);
    for (int i = 0; i < frame.GetRectCount(); ++i) {
        g.SetClipToRect(frame.GetRect(i));
        g.SetColorMultiplier(0.0f, 0.0f, 0.0f, 1.0f);
        Shift(shadow);
        pieces.Draw();
        Shift(Point(-shadow.x, -shadow.y));
        g.ClearColorMultiplier();
        pieces.Draw();
    }
    g.ResetClip();
}

void Board::DrawHint()
{
    if (!hintShown) {
        return;
    }
    Graphics& g = theGraphics;
    const float bounce = 0.25f * cellSize * Math::SinDegrees(hintSpin);
    const Point at(hintPos.x + hintDir.x * bounce, hintPos.y + hintDir.y * bounce);
    g.SetColorRGBA(0.0f, 0.0f, 0.0f, 1.0f);
    Shift(Point(0.0f, 10.0f));
    app->sprHintArrow.DrawRotated(at.x, at.y, hintAngle, hintAlpha);
    Shift(Point(0.0f, -10.0f));
    g.SetColorWhite();
    app->sprHintArrow.DrawRotated(at.x, at.y, hintAngle, hintAlpha);
}

// Grid coordinates; W and H are the grid's size in pixels.
HudLayout Board::LayoutHud() const
{
    HudLayout l;
    if (app == nullptr) {
        return l;
    }
    const float w = gridRect.w;
    const float h = gridRect.h;
    const Sprite& skull = app->sprSkullMeter;
    l.pressureMeter = Point(w + 26.0f, h / 2.0f - float(skull.mHeight) / 2.0f);
    l.pressureFill = Point(w + 74.0f, l.pressureMeter.y + 85.0f);
    l.pressureFace = Point(w + 41.0f, l.pressureMeter.y + 48.0f);
    if (duelMeter) {
        const Sprite& meter = app->sprDuelMeter;
        l.levelMeter = Point(w / 2.0f - float(meter.mWidth) / 2.0f, h + 8.0f);
        l.levelFill = Point(l.levelMeter.x + 11.0f, h + 13.0f);
    } else {
        const Sprite& meter = app->sprQuorbMeter;
        l.levelMeter = Point(-float(meter.mWidth) - 8.0f, h / 2.0f - float(meter.mHeight) / 2.0f);
        l.levelFill = Point(l.levelMeter.x + 43.0f, l.levelMeter.y + 13.0f);
        l.warning = Point(l.levelMeter.x + float(meter.mWidth) / 2.0f, l.levelMeter.y - kWarningAbove);
    }
    const Sprite& counter = app->sprMatchesToGo;
    l.matchesCounter = Point(-float(counter.mWidth) - 25.0f, 0.0f);
    l.matchesText = Point(l.matchesCounter.x + float(counter.mWidth) / 2.0f, kCounterTextY);
    l.stopwatch = Point(w + 5.0f, -10.0f);
    l.clockCentre = Point(w + 67.0f, 71.0f);
    for (int i = 0; i < 4; ++i) {
        l.collectSlots[i] = Point(-132.0f, 135.0f * float(i));
    }
    return l;
}

void Board::DrawHud()
{
    const HudLayout l = LayoutHud();
    if (showPressure) {
        DrawPressureMeter(l);
    }
    if (showMeter) {
        if (duelMeter) {
            SetComputerTint(true);
            app->sprDuelMeter.Draw(l.levelMeter.x, l.levelMeter.y);
            SetComputerTint(false);
            DrawMeterFill(app->sprDuelMeterFill, l.levelFill, true);
        } else {
            app->sprQuorbMeter.Draw(l.levelMeter.x, l.levelMeter.y);
            DrawMeterFill(app->sprQuorbMeterFill, l.levelFill, false);
            DrawDrainWarning(l.warning);
        }
    }
    if (showMatchesLeft) {
        app->sprMatchesToGo.Draw(l.matchesCounter.x, l.matchesCounter.y);
        app->fontArialBlack23.DrawCentered(Number(matchesLeft), l.matchesText.x, l.matchesText.y);
    }
    if (showCountdown) {
        DrawCountdown(l);
    }
    if (showCollect) {
        DrawCollectSlots(l);
    }
    if (isComputer) {
        // The pointer wanders in the board's own frame, at least 100 px in
        // from its edges, so that its label stays over the grid; the HUD is
        // drawn in the grid's frame.
        app->sprThinking.DrawCentered(aiPointer.x - gridRect.x, aiPointer.y - gridRect.y);
    }
}

void Board::DrawPressureMeter(const HudLayout& l)
{
    app->sprSkullMeter.Draw(l.pressureMeter.x, l.pressureMeter.y);
    const float filled = Fraction(pressureShown, 100.0f);
    app->sprSkullMeterFill.DrawPartialY(l.pressureFill.x, l.pressureFill.y, filled, -1);
    bool face = pressure < 50.0f || pressureShown < 50.0f;
    if (!face) {
        // Faster as the meter fills.
        const bool speed = app->gameMode == GameMode::Speed;
        const float period = speed ? 2.0f * (150.0f - 100.0f * filled) : 60.0f - 30.0f * filled;
        face = int(std::trunc(float(Ticks()) / period)) % 2 == 0;
    }
    if (face) {
        app->sprSkullMeterDark.Draw(l.pressureFace.x, l.pressureFace.y);
    }
}

// A draining meter near empty bounces its warning while the level is played.
void Board::DrawDrainWarning(Point at)
{
    if (meterDrain == 0.0f || !IsPlaying() || !(meterValue < meterMax / 10.0f)) {
        return;
    }
    Graphics& g = theGraphics;
    const int tick = Ticks();
    const float bob = 1.0f + 0.05f * Math::SinDegrees(2.0f * float(tick));
    app->sprWarningBkg.DrawScaled(at.x, at.y, bob);
    app->sprWarning.DrawScaled(at.x, at.y, bob);
    if ((tick / 15) % 2 == 0) {
        g.SetColorRGBA(1.0f, 1.0f, 1.0f, 0.5f);
        app->sprWarning.DrawScaled(at.x, at.y, 1.0f + 0.1f * Math::SinDegrees(2.2f * float(tick)));
        g.SetColorWhite();
    }
}

// The meter's fill up to its fraction, in the tint when it is not white.
void Board::DrawMeterFill(Sprite& fill, Point at, bool across)
{
    Graphics& g = theGraphics;
    const float filled = Fraction(meterShown, meterMax);
    const bool tinted = !IsWhite(tint);
    if (tinted) {
        g.SetColor(tint);
        g.SetColorFill(true);
    }
    if (across) {
        fill.DrawPartialX(at.x, at.y, filled, 1);
    } else {
        fill.DrawPartialY(at.x, at.y, filled, -1);
    }
    if (tinted) {
        g.SetColorFill(false);
        g.SetColorWhite();
    }
}

// The hand turns about the centre of the clock-wipe.
void Board::DrawCountdown(const HudLayout& l)
{
    app->sprStopwatch.Draw(l.stopwatch.x, l.stopwatch.y);
    const float remaining = Fraction(float(countdown), float(countdownStart));
    app->sprStopwatchCircle.DrawPie(l.clockCentre.x, l.clockCentre.y, remaining);
    Sprite& hand = app->sprStopwatchHand;
    Matrix m;
    m.Translate(0.0f, 25.0f - float(hand.mHeight), 0.0f);
    m.Rotate(remaining * 360.0f);
    m.Translate(l.stopwatch.x, l.stopwatch.y, 0.0f);
    m.Translate(l.clockCentre.x - l.stopwatch.x, l.clockCentre.y - l.stopwatch.y, 0.0f);
    hand.DrawMatrix(m);
}

void Board::DrawCollectSlots(const HudLayout& l)
{
    Graphics& g = theGraphics;
    Font& font = app->fontArialBlack23;
    for (int i = 0; i < 4 && collectKinds[i] != -1; ++i) {
        const Point at = l.collectSlots[i];
        app->sprCollectBox.Draw(at.x, at.y);
        if (collectCounts[i] <= 0) {
            g.SetColorRGBA(0.5f, 0.5f, 0.5f, 1.0f);
        }
        collectIcons[i].Draw(at.x + 18.0f, at.y + 32.0f);
        const String count = Number(collectCounts[i]);
        g.SetColorRGBA(0.0f, 0.0f, 0.0f, 1.0f);
        font.DrawRight(count, at.x + 89.0f, at.y + 69.0f);
        g.SetColorWhite();
        font.DrawRight(count, at.x + 85.0f, at.y + 65.0f);
    }
    g.SetColorWhite();
}

// The board's dark background and the half-blue pattern on every other
// cell, both on enabled cells only: no background, pattern or piece shows
// outside the board, whose frame cannot hide a whole cell. A patterned
// cell takes the colour of the two blended in one fill, so each pixel is
// written once: 0.5 blue over 0.75 black leaves 1/8 of what lay below.
void Board::DrawCells()
{
    Graphics& g = theGraphics;
    const Color dark(0.0f, 0.0f, 0.0f, 0.75f);
    const Color both(0.0f, 0.25f / 0.875f, 0.5f / 0.875f, 0.875f);
    for (int y = 0; y < gridHeight; ++y) {
        for (int x = 0; x < gridWidth; ++x) {
            if (!IsCellEnabled(x, y)) {
                continue;
            }
            g.SetColor((x + y) % 2 == 1 ? both : dark);
            g.FillRect(float(x) * cellSize, float(y) * cellSize, cellSize, cellSize);
        }
    }
    g.SetColorWhite();
    if (levelType != LevelType::GoGold || app == nullptr) {
        return;
    }
    const size_t cells = size_t(std::max(gridWidth, 0)) * size_t(std::max(gridHeight, 0));
    for (size_t i = 0; i < cells && i < cellMarked.size(); ++i) {
        if (cellMarked[i] != 0) {
            const int x = int(i % size_t(gridWidth));
            const int y = int(i / size_t(gridWidth));
            app->sprGoldBrick.Draw(float(x) * cellSize, float(y) * cellSize);
        }
    }
}

void Board::DrawBackground()
{
    if (demoMode || app == nullptr) {
        return;
    }
    StartZoomAndShake(zoom, shake);
    app->sprBackground.Draw(0.0f, 0.0f);
    theGraphics.PopTranslation();
    EndZoom(zoom);
}
