// Finding lines and possible moves; the hint and the self-playing demonstration.
#include "game/Board.h"

#include "app/Math.h"
#include "app/Random.h"
#include "game/Quorb.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <utility>

namespace {

bool Holds(const PieceGroup& group, const Quorb* piece)
{
    return std::find(group.begin(), group.end(), piece) != group.end();
}

bool SharesPiece(const PieceGroup& a, const PieceGroup& b)
{
    for (const Quorb* piece : a) {
        if (Holds(b, piece))
            return true;
    }
    return false;
}

// Groups that share a piece become one, in the order of a list walked with
// cursors: removing an item at or before a running loop's position steps
// that loop back, so nothing is skipped.
void MergeGroups(std::vector<PieceGroup>& work)
{
    if (work.size() < 2)
        return;
    const auto count = [&work] { return static_cast<std::ptrdiff_t>(work.size()); };
    for (std::ptrdiff_t i = 0; i < count(); i++) {
        for (std::ptrdiff_t j = 0; j < count(); j++) {
            PieceGroup& into = work[static_cast<size_t>(i)];
            const PieceGroup& from = work[static_cast<size_t>(j)];
            if (j == i || !SharesPiece(into, from))
                continue;
            for (Quorb* piece : from) {
                if (!Holds(into, piece))
                    into.push_back(piece);
            }
            work.erase(work.begin() + j);
            if (j < i)
                i--;
            j--;
        }
    }
}

} // namespace

bool Board::FindMatches(std::vector<PieceGroup>* groups)
{
    const List& live = pieces.live;
    if (groups == nullptr) {
        for (int i = 0; i < live.Count(); i++) {
            auto* p = static_cast<Quorb*>(live.Get(i));
            if (!p->IsMatchable())
                continue;
            if (p->IsSameKind(PieceAt(p->pos.x, p->pos.y + cellSize)) &&
                p->IsSameKind(PieceAt(p->pos.x, p->pos.y + 2.0f * cellSize)))
                return true;
            if (p->IsSameKind(PieceAt(p->pos.x + cellSize, p->pos.y)) &&
                p->IsSameKind(PieceAt(p->pos.x + 2.0f * cellSize, p->pos.y)))
                return true;
        }
        return false;
    }

    std::vector<PieceGroup> work;
    const auto run = [&](Quorb* p, float dx, float dy, int length) {
        PieceGroup line{p};
        for (int i = 1; i < length; i++) {
            const float step = static_cast<float>(i) * cellSize;
            Quorb* next = PieceAt(p->pos.x + dx * step, p->pos.y + dy * step);
            if (!p->IsSameKind(next))
                break;
            line.push_back(next);
        }
        if (line.size() >= 3)
            work.push_back(std::move(line));
    };
    for (int i = 0; i < live.Count(); i++) {
        auto* p = static_cast<Quorb*>(live.Get(i));
        if (!p->IsMatchable())
            continue;
        run(p, 1.0f, 0.0f, gridWidth);
        run(p, 0.0f, 1.0f, gridHeight);
    }
    if (work.empty())
        return false;
    MergeGroups(work);
    for (PieceGroup& group : work)
        groups->push_back(std::move(group));
    return true;
}

bool Board::HasLineThrough(Quorb* piece)
{
    if (!piece->IsMatchable())
        return false;
    const auto window = [&](float dx, float dy) {
        for (int s = -2; s <= 0; s++) {
            bool line = true;
            for (int k = 0; k < 3 && line; k++) {
                const float step = static_cast<float>(s + k) * cellSize;
                Quorb* other = PieceAt(piece->pos.x + dx * step, piece->pos.y + dy * step);
                line = piece->IsSameKind(other);
            }
            if (line)
                return true;
        }
        return false;
    };
    return window(1.0f, 0.0f) || window(0.0f, 1.0f);
}

bool Board::FindPossibleMove(Point* outPos, Point* outDir)
{
    Point directions[4] = {Point(-1.0f, 0.0f), Point(1.0f, 0.0f), Point(0.0f, -1.0f), Point(0.0f, 1.0f)};
    for (int i = 0; i < 4; i++)
        std::swap(directions[i], directions[theRandom->Get(4)]);
    pieces.live.Shuffle();

    const List& live = pieces.live;
    for (int i = 0; i < live.Count(); i++) {
        auto* p = static_cast<Quorb*>(live.Get(i));
        if (!p->IsMatchable() || !p->CanMove())
            continue;
        for (const Point& d : directions) {
            Quorb* q = PieceAt(p->pos.x + d.x * cellSize, p->pos.y + d.y * cellSize);
            if (q == nullptr || !q->CanMove())
                continue;
            const Point before = p->pos;
            std::swap(p->pos, q->pos);
            const bool counts =
                outPos != nullptr ? HasLineThrough(p) : (HasLineThrough(p) || HasLineThrough(q));
            std::swap(p->pos, q->pos);
            if (!counts)
                continue;
            if (outPos != nullptr)
                *outPos = before;
            if (outDir != nullptr)
                *outDir = d;
            return true;
        }
    }
    return false;
}

void Board::ShowHint()
{
    Point pos;
    Point dir;
    if (FindPossibleMove(&pos, &dir)) {
        hintShown = true;
        hintPos = Point(pos.x + dir.x * cellSize / 2.0f, pos.y + dir.y * cellSize / 2.0f);
        hintDir = dir;
        hintAngle = std::atan2(dir.x, -dir.y) * 180.0f / Math::PI + 360.0f;
        hintSpin = -90.0f;
    }
    hintAlpha = 0.0f;
}

void Board::UpdateDemo()
{
    demoTimer--;
    if (demoPhase == 0) {
        if (demoTimer < 1 && movingCount == 0) {
            ShowHint();
            demoTimer = 200;
            demoPhase = 1;
        }
        return;
    }
    if (demoPhase == 1 && demoTimer < 1) {
        const float half = cellSize / 2.0f;
        Quorb* a = PieceAt(hintPos.x - hintDir.x * half, hintPos.y - hintDir.y * half);
        Quorb* b = PieceAt(hintPos.x + hintDir.x * half, hintPos.y + hintDir.y * half);
        if (a != nullptr && b != nullptr) {
            cascadeLevel = 0;
            hintShown = false;
            TrySwap(a, b);
            demoTimer = 200;
            demoPhase = 0;
        }
    }
}
