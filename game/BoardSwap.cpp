// Selecting pieces with the mouse and swapping neighbours.
#include "game/Board.h"

#include "game/Quorb.h"
#include "game/QuorbSwapApp.h"

#include <cmath>

namespace {

void PlayDrag(QuorbSwapApp* app)
{
    if (app != nullptr)
        app->sndDrag.Play(1.0f);
}

} // namespace

Quorb* Board::PieceAt(float x, float y) const
{
    const List& live = pieces.live;
    for (int i = 0; i < live.Count(); i++) {
        auto* piece = static_cast<Quorb*>(live.Get(i));
        if (piece->Contains(x, y))
            return piece;
    }
    return nullptr;
}

Quorb* Board::PieceAtPoint(Point p) const
{
    return PieceAt(p.x, p.y);
}

bool Board::AreNeighbours(Quorb* a, Quorb* b) const
{
    if (a == b)
        return false;
    const float dx = a->pos.x - b->pos.x;
    const float dy = a->pos.y - b->pos.y;
    if (std::fabs(dx) > 5.0f && std::fabs(dy) > 5.0f)
        return false;
    return Point(dx, dy).Length() <= cellSize + 5.0f;
}

bool Board::TrySwap(Quorb* a, Quorb* b)
{
    started = true;
    swapFirst = nullptr;
    swapSecond = nullptr;
    if (a == b || a == nullptr || b == nullptr || !AreNeighbours(a, b) || !a->CanMove() || !b->CanMove())
        return false;
    const Point pa = a->pos;
    const Point pb = b->pos;
    a->MoveBy(pb.x - pa.x, pb.y - pa.y);
    b->MoveBy(pa.x - pb.x, pa.y - pb.y);
    selected = nullptr;
    pressed = false;
    swapFirst = a;
    swapSecond = b;
    matchingArmed = true;
    return true;
}

void Board::OnMouseDown(int x, int y, int /*button*/)
{
    if (movingCount > 0)
        return;
    cascadeLevel = 0;
    hintShown = false;
    const float gx = static_cast<float>(x) - gridRect.x;
    const float gy = static_cast<float>(y) - gridRect.y;
    if (selected != nullptr && TrySwap(selected, PieceAt(gx, gy))) {
        PlayDrag(app);
        return;
    }
    selected = PieceAt(gx, gy);
    if (selected == nullptr)
        return;
    pieces.Remove(selected);
    pieces.Add(selected);
    pressPoint = Point(static_cast<float>(x), static_cast<float>(y));
    pressed = true;
}

void Board::OnMouseMove(int x, int y)
{
    if (!pressed || selected == nullptr)
        return;
    Point d(static_cast<float>(x) - pressPoint.x, static_cast<float>(y) - pressPoint.y);
    const float length = d.Length();
    if (length == 0.0f || length <= 3.0f)
        return;
    if (std::fabs(d.y) < std::fabs(d.x))
        d.y = 0.0f;
    if (std::fabs(d.y) > std::fabs(d.x))
        d.x = 0.0f;
    d.SetLength(cellSize);
    Quorb* target = PieceAt(selected->pos.x + d.x, selected->pos.y + d.y);
    if (TrySwap(selected, target))
        PlayDrag(app);
}

void Board::OnMouseUp(int /*x*/, int /*y*/, int /*button*/)
{
    pressed = false;
}
