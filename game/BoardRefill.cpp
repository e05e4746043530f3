// Gravity, refilling empty cells and repairing holes.
#include "game/Board.h"

#include "app/Random.h"
#include "game/Quorb.h"

#include <algorithm>

namespace {

// Bounds on loops that have no end of their own on some boards: a board
// where no kind avoids a line, or no colouring gives a move.
constexpr int kMaxRedraws = 100;
constexpr int kMaxStrictAttempts = 200;
constexpr int kWiderCandidatesFrom = 50;
constexpr int kAlwaysCopyFrom = 100;
constexpr int kMaxFillRounds = 100;

bool IsAmong(const std::vector<Quorb*>& pieces, const Quorb* piece)
{
    return std::find(pieces.begin(), pieces.end(), piece) != pieces.end();
}

Point CellCentre(const Board& board, int x, int y)
{
    const float half = board.cellSize / 2.0f;
    return Point(static_cast<float>(x) * board.cellSize + half,
                 static_cast<float>(y) * board.cellSize + half);
}

Quorb* PieceInCell(const Board& board, int x, int y)
{
    const Point centre = CellCentre(board, x, y);
    return board.PieceAt(centre.x, centre.y);
}

bool IsHole(const Board& board, int x, int y)
{
    return board.IsCellEnabled(x, y) && PieceInCell(board, x, y) == nullptr;
}

// Pieces above the cell, up to the first disabled cell or the top row.
bool DropColumnAbove(Board& board, int x, int y)
{
    std::vector<Quorb*> above;
    for (int row = y - 1; row >= 0 && board.IsCellEnabled(x, row); row--) {
        if (Quorb* piece = PieceInCell(board, x, row))
            above.push_back(piece);
    }
    for (Quorb* piece : above)
        piece->StartFall();
    return !above.empty();
}

// Gives the new piece the kind of a random matchable piece below it.
void CopyKindFromBelow(Board& board, Quorb* piece)
{
    const Point below[3] = {Point(1, 1), Point(-1, 1), Point(0, 1)};
    std::vector<Quorb*> candidates;
    for (const Point& offset : below) {
        Quorb* other =
            board.PieceAt(piece->pos.x + offset.x * board.cellSize, piece->pos.y + offset.y * board.cellSize);
        if (other != nullptr && other->IsMatchable())
            candidates.push_back(other);
    }
    if (!candidates.empty())
        piece->kind =
            candidates[static_cast<size_t>(theRandom->Get(static_cast<int32_t>(candidates.size())))]->kind;
}

std::vector<Quorb*> StrictCandidates(Board& board, const std::vector<Quorb*>& newPieces, bool wide)
{
    static const Point kNear[3] = {Point(1, 0), Point(1, 1), Point(-1, 1)};
    static const Point kWide[5] = {Point(-1, 0), Point(-1, -1), Point(0, -1), Point(0, 1), Point(1, -1)};
    std::vector<Quorb*> candidates;
    const auto add = [&](const Quorb* piece, const Point& offset) {
        Quorb* other =
            board.PieceAt(piece->pos.x + offset.x * board.cellSize, piece->pos.y + offset.y * board.cellSize);
        if (other != nullptr && !IsAmong(newPieces, other))
            candidates.push_back(other);
    };
    for (const Quorb* piece : newPieces) {
        for (const Point& offset : kNear)
            add(piece, offset);
        if (wide) {
            for (const Point& offset : kWide)
                add(piece, offset);
        }
    }
    std::erase_if(candidates, [](const Quorb* piece) { return !piece->IsMatchable(); });
    return candidates;
}

} // namespace

void Board::Refill()
{
    loseCheckPending = true;
    refillPending = false;
    bool moved = false;

    for (bool changed = true; changed;) {
        changed = false;
        for (int x = 0; x < gridWidth; x++) {
            for (int y = 0; y < gridHeight; y++) {
                if (IsHole(*this, x, y) && DropColumnAbove(*this, x, y))
                    changed = moved = true;
            }
        }
    }

    std::vector<Quorb*> newPieces;
    for (int x = 0; x < gridWidth; x++) {
        int newInColumn = 0;
        for (int y = gridHeight - 1; y >= 0; y--) {
            if (!IsHole(*this, x, y))
                continue;
            auto* piece = new Quorb(this);
            piece->pos = CellCentre(*this, x, y);
            pieces.Add(piece);
            if (theRandom->Get(2) == 1)
                CopyKindFromBelow(*this, piece);
            if (refillAvoidsMatches) {
                for (int redraw = 0; redraw < kMaxRedraws && HasLineThrough(piece); redraw++)
                    piece->RandomizeKind();
            }
            int lifts = 0;
            for (int row = y; row >= 0 && IsCellEnabled(x, row); row--)
                lifts++;
            lifts += newInColumn;
            for (int i = 0; i < lifts; i++) {
                piece->pos.y -= cellSize;
                piece->StartFall();
            }
            newPieces.push_back(piece);
            newInColumn++;
        }
    }
    if (moved || !newPieces.empty())
        matchingArmed = true;
    if (!strictRefill)
        return;

    std::vector<Quorb*> candidates;
    for (int attempt = 0; attempt < kMaxStrictAttempts; attempt++) {
        refillCheckActive = true;
        const bool done = FindMatches() || FindPossibleMove();
        refillCheckActive = false;
        // With no new piece nothing can be re-coloured.
        if (done || newPieces.empty())
            return;
        if (candidates.empty())
            candidates = StrictCandidates(*this, newPieces, attempt >= kWiderCandidatesFrom);
        for (Quorb* piece : newPieces) {
            const bool copy = theRandom->Get(4) != 2 || attempt >= kAlwaysCopyFrom;
            if (copy && !candidates.empty()) {
                const auto pick =
                    static_cast<size_t>(theRandom->Get(static_cast<int32_t>(candidates.size())));
                piece->kind = candidates[pick]->kind;
            } else {
                piece->RandomizeKind();
            }
        }
        if (attempt + 1 == kWiderCandidatesFrom)
            candidates.clear();
    }
}

void Board::CorrectHoles()
{
    for (int x = 0; x < gridWidth; x++) {
        for (int y = 0; y < gridHeight; y++) {
            if (!IsHole(*this, x, y))
                continue;
            refillPending = true;
            movingCount++;
            PieceMoveDone();
            return;
        }
    }
}

void Board::FillInitial(std::vector<Quorb*>* list)
{
    movingCount = 0;
    for (int x = 0; x < gridWidth; x++) {
        for (int y = 0; y < gridHeight; y++) {
            if (!IsHole(*this, x, y))
                continue;
            auto* piece = new Quorb(this);
            piece->pos = CellCentre(*this, x, y);
            pieces.Add(piece);
            for (int redraw = 0; redraw < kMaxRedraws && FindMatches(); redraw++)
                piece->RandomizeKind();
            if (list != nullptr)
                list->push_back(piece);
        }
    }
    for (int round = 0; round < kMaxFillRounds && !FindPossibleMove(); round++) {
        const List& live = pieces.live;
        for (int i = 0; i < live.Count(); i++) {
            auto* piece = static_cast<Quorb*>(live.Get(i));
            piece->RandomizeKind();
            // All eight kinds, whatever the level plays with.
            for (int redraw = 0; redraw < kMaxRedraws && FindMatches(); redraw++)
                piece->kind = theRandom->Get(kPieceKinds);
        }
    }
}
