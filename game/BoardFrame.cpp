// The frame around the enabled cells and the in-game buttons.
#include "app/Font.h"
#include "app/Graphics.h"
#include "app/Math.h"
#include "app/RectComplexOutline.h"
#include "app/SpriteStrip.h"
#include "game/Board.h"
#include "game/Game.h"
#include "game/QuorbSwapApp.h"

#include <cmath>

namespace {

// Corners sit this far out along their diagonal, edges this far out along
// their normal.
constexpr float kCornerOut = 12.0f;
constexpr float kEdgeOut = 8.5f;
// Edges stop short of their corners, further at inside corners.
constexpr float kEdgeInset = 17.0f;
constexpr float kInsideCornerInset = 18.0f;
constexpr float kInsideCornerReach = 10.0f;
constexpr float kEdgeThickness = 70.0f;

float Sign(float v)
{
    return v < 0.0f ? -1.0f : 1.0f;
}

// The outline gives unit diagonals (components of 0.7071); the frame art is
// laid out for components of 1.
Point CornerDirection(const Point& normal)
{
    return Point(Sign(normal.x), Sign(normal.y));
}

int CornerFrame(const Point& n)
{
    if (n.x < 0.0f) {
        return n.y < 0.0f ? 0 : 4;
    }
    return n.y < 0.0f ? 2 : 5;
}

Sprite* StripFrame(SpriteStrip& strip, int i)
{
    Sprite* frame = strip.GetFrame(i);
    return frame != nullptr && frame->mLoaded ? frame : nullptr;
}

float Distance(Point a, Point b)
{
    return std::hypot(a.x - b.x, a.y - b.y);
}

} // namespace

void Board::BuildFrame()
{
    frameDecorations.clear();
    frame.Clear();

    frame.Add(0.0f, 0.0f, float(gridWidth) * cellSize, float(gridHeight) * cellSize);
    for (int y = 0; y < gridHeight; ++y) {
        for (int x = 0; x < gridWidth; ++x) {
            if (!IsCellEnabled(x, y)) {
                frame.Subtract(float(x) * cellSize, float(y) * cellSize, cellSize, cellSize);
            }
        }
    }
    frame.Optimize();
    frame.BuildOutline(1.0f);
    const RectComplexOutline* outline = frame.GetOutline();
    if (outline == nullptr) {
        return;
    }

    Point cornerSize;
    if (app != nullptr) {
        if (Sprite* art = StripFrame(app->stripRim, 0)) {
            cornerSize = Point(float(art->mWidth), float(art->mHeight));
        }
    }

    std::vector<Point> insideCorners;
    for (int i = 0; i < outline->corners.Count(); ++i) {
        const auto* corner = static_cast<const RectComplexCorner*>(outline->corners.Get(i));
        const Point n = CornerDirection(*static_cast<const Point*>(outline->cornerNormals.Get(i)));
        const bool inside = frame.GetOutlineFlag(i) != 0;
        FrameDecoration d;
        d.isCorner = true;
        d.frameIndex = CornerFrame(inside ? Point(-n.x, -n.y) : n);
        d.start = Point(corner->x + kCornerOut * n.x, corner->y + kCornerOut * n.y);
        d.bounds = Rect(d.start.x - cornerSize.x / 2.0f, d.start.y - cornerSize.y / 2.0f, cornerSize.x,
                        cornerSize.y);
        frameDecorations.push_back(d);
        if (inside) {
            insideCorners.push_back(d.start);
        }
    }

    for (int i = 0; i < outline->edges.Count(); ++i) {
        const Line line = frame.GetOutlineLine(i);
        const Point m = *static_cast<const Point*>(outline->edgeNormals.Get(i));
        FrameDecoration d;
        d.start = Point(std::fmin(line.x1, line.x2), std::fmin(line.y1, line.y2));
        d.end = Point(std::fmax(line.x1, line.x2), std::fmax(line.y1, line.y2));
        d.isHorizontal = m.y != 0.0f;
        d.isVertical = m.x != 0.0f;
        d.frameIndex = d.isHorizontal ? 1 : 3;
        const Point along = d.isHorizontal ? Point(1.0f, 0.0f) : Point(0.0f, 1.0f);
        const Point out(kEdgeOut * m.x, kEdgeOut * m.y);
        d.start = Point(d.start.x + out.x + kEdgeInset * along.x, d.start.y + out.y + kEdgeInset * along.y);
        d.end = Point(d.end.x + out.x - kEdgeInset * along.x, d.end.y + out.y - kEdgeInset * along.y);
        for (const Point& q : insideCorners) {
            if (Distance(d.start, q) <= kInsideCornerReach) {
                d.start =
                    Point(d.start.x + kInsideCornerInset * along.x, d.start.y + kInsideCornerInset * along.y);
            }
            if (Distance(d.end, q) <= kInsideCornerReach) {
                d.end = Point(d.end.x - kInsideCornerInset * along.x, d.end.y - kInsideCornerInset * along.y);
            }
        }
        const float half = kEdgeThickness / 2.0f;
        d.bounds = d.isHorizontal ? Rect(d.start.x, d.start.y - half, d.end.x - d.start.x, kEdgeThickness)
                                  : Rect(d.start.x - half, d.start.y, kEdgeThickness, d.end.y - d.start.y);
        frameDecorations.push_back(d);
    }

    TrimCorners();
    PlaceButtons();
}

// A corner keeps only the part of its art no edge covers.
void Board::TrimCorners()
{
    for (FrameDecoration& corner : frameDecorations) {
        if (!corner.isCorner) {
            continue;
        }
        RectComplex scratch(corner.bounds.x, corner.bounds.y, corner.bounds.w, corner.bounds.h);
        for (const FrameDecoration& edge : frameDecorations) {
            if (!edge.isCorner) {
                scratch.Subtract(edge.bounds.x, edge.bounds.y, edge.bounds.w, edge.bounds.h);
            }
        }
        const float left = scratch.GetLeft();
        const float top = scratch.GetTop();
        corner.bounds = Rect(left, top, scratch.GetRight() - left, scratch.GetBottom() - top).Expanded(0.5f);
    }
}

void Board::PlaceButtons()
{
    const bool duel = levelType == LevelType::Duel;
    const float middle = gridRect.x + gridRect.w / 2.0f;
    const float top = gridRect.y - 47.0f;
    Sound* click = app != nullptr ? &app->sndClick : nullptr;
    Sound* hover = app != nullptr ? &app->sndHilite : nullptr;
    auto wire = [&](Button& button) {
        button.SetListener(this, false);
        button.SetClickSound(click);
        button.SetHoverSound(hover);
        if (button.parent != this) {
            AddChild(&button);
        }
    };
    // Sized like its art, and clicked only where the art shows: the clear
    // margins of the pictures lie over the frame's corners on a duel board.
    auto placeAtArt = [&](Button& button, SpriteStrip* strip, float x, float y) {
        Sprite* art = strip != nullptr ? StripFrame(*strip, 0) : nullptr;
        if (art != nullptr) {
            button.SetHitSprite(int(x), int(y), art);
            button.rect.x = x;
            button.rect.y = y;
        } else {
            button.SetRect(x, y, 0.0f, 0.0f);
        }
        wire(button);
    };

    // On a duel board Skip stands between the frame's corner and the score,
    // over a stud of the top edge that it would cut in half: it rises clear
    // of that stud, and of the corner by a few pixels.
    const bool canSkip = game != nullptr && game->CountPowerSlots(int(PowerKind::SkipLevel)) > 0;
    if (canSkip)
        placeAtArt(skipButton, app != nullptr ? &app->stripInstaWin : nullptr, middle - 187.0f + (duel ? 18.0f : 0.0f),
                   duel ? top - 10.5f : top);
    else
        skipButton.SetRect(-9999.0f, -9999.0f, 10.0f, 10.0f);

    if (levelType == LevelType::Matches || isComputer)
        hintButton.SetRect(-1000.0f, -1000.0f, 10.0f, 10.0f);
    else
        placeAtArt(hintButton, app != nullptr ? &app->stripHintButton : nullptr, middle + 125.0f - (duel ? 15.0f : 0.0f),
                   top);

    wire(menuButton);
    Sprite* menuArt = MenuArt();
    if (loseOverlay != nullptr) {
        // A lost level's overlay takes every click: the button would show
        // there and answer nothing, so it leaves the screen.
        menuButton.SetRect(-9999.0f, -9999.0f, 10.0f, 10.0f);
    } else if (menuArt != nullptr) {
        const float menuTop =
            duel ? float(kScreenHeight - menuArt->mHeight) : gridRect.y + gridRect.h - 17.0f;
        menuButton.SetHitSprite(int(400.0f - float(menuArt->mWidth) / 2.0f), int(menuTop), menuArt);
    }
}

// The computer's frame and meter are drawn through a red multiplier.
void Board::SetComputerTint(bool on)
{
    if (!isComputer) {
        return;
    }
    if (on) {
        theGraphics.SetColorMultiplier(1.0f, 0.55f, 0.55f, 1.0f);
    } else {
        theGraphics.ClearColorMultiplier();
    }
}

Sprite* Board::MenuArt() const
{
    if (app == nullptr) {
        return nullptr;
    }
    SpriteStrip& strip = levelType == LevelType::Duel ? app->stripSmallMenuButton : app->stripMenuButton;
    return StripFrame(strip, 0);
}

namespace {

// Tiles the edge art along one axis, overlapping by the given pixels. An
// edge whose art is missing cannot advance and is skipped.
void TileEdge(Sprite* art, const FrameDecoration& d, float overlap)
{
    const float step = float(d.isHorizontal ? art->mWidth : art->mHeight) - overlap;
    if (!(step > 0.0f)) {
        return;
    }
    if (d.isHorizontal) {
        const float y = (d.start.y + d.end.y) / 2.0f;
        for (float x = d.start.x + step / 2.0f; x < d.end.x + step / 2.0f; x += step) {
            art->DrawCentered(x, y);
        }
    } else {
        const float x = (d.start.x + d.end.x) / 2.0f;
        for (float y = d.start.y + step / 2.0f; y < d.end.y + step / 2.0f; y += step) {
            art->DrawCentered(x, y);
        }
    }
}

} // namespace

void Board::DrawFrame()
{
    if (app == nullptr) {
        return;
    }
    Graphics& g = theGraphics;
    SetComputerTint(true);
    for (const FrameDecoration& d : frameDecorations) {
        Sprite* art = StripFrame(app->stripRim, d.frameIndex);
        if (art == nullptr) {
            continue;
        }
        if (d.isCorner) {
            art->DrawCentered(d.start.x, d.start.y);
            continue;
        }
        // Clipped on both renderers: the last tile runs past the edge's
        // end and would cover the corner drawn before it.
        g.PushClip();
        g.SetClipToRect(d.bounds);
        TileEdge(art, d, d.isHorizontal ? 2.0f : 4.0f);
        g.PopClip();
    }
    SetComputerTint(false);
    if (isComputer || demoMode) {
        return;
    }

    const float middle = gridRect.w / 2.0f;
    app->sprScoreBox.DrawCentered(middle, -17.0f);
    const int score = Math::AddSaturated(game != nullptr ? game->score : 0, levelScore);
    app->fontArialBlack23.DrawCentered(String::StringFormat("%d", score), middle, -38.0f);

    DrawButtonArt(hintButton, &app->stripHintButton);
    DrawButtonArt(skipButton, &app->stripInstaWin);
    DrawButtonArt(menuButton,
                  levelType == LevelType::Duel ? &app->stripSmallMenuButton : &app->stripMenuButton);
}

// Button art is drawn by the board, so it slides in and casts the frame's
// shadow; the buttons themselves only take the clicks.
void Board::DrawButtonArt(Button& button, SpriteStrip* strip)
{
    Sprite* art = strip->GetFrame(button.GetFrame(false));
    if (art == nullptr || !art->mLoaded) {
        return;
    }
    art->Draw(button.rect.x - gridRect.x, button.rect.y - gridRect.y);
}
