#include "game/support/TextBoard.h"

#include "game/Quorb.h"

#include <algorithm>
#include <cmath>

namespace TextBoard {

namespace {

Point Centre(const Board& board, int x, int y)
{
    const float half = board.cellSize / 2.0f;
    return Point(static_cast<float>(x) * board.cellSize + half,
                 static_cast<float>(y) * board.cellSize + half);
}

char CellChar(const Quorb* piece)
{
    if (piece->skull)
        return piece->levelSkull ? 'X' : 'x';
    return static_cast<char>((piece->super ? 'A' : '0') + piece->kind);
}

} // namespace

std::unique_ptr<Board> Make(const std::vector<std::string>& rows, int kindCount)
{
    auto board = std::make_unique<Board>(nullptr, nullptr);
    const int height = static_cast<int>(rows.size());
    int width = 0;
    for (const std::string& row : rows)
        width = std::max(width, static_cast<int>(row.size()));
    board->kindCount = kindCount;
    board->levelType = LevelType::Surprise; // a level with no goal of its own
    board->gridWidth = width;
    board->gridHeight = height;
    board->cellSize = std::min(std::trunc((board->rect.w - 80.0f) / static_cast<float>(width)),
                               std::trunc((board->rect.h - 80.0f) / static_cast<float>(height)));
    board->pieceScale = board->cellSize / 256.0f;
    const float gridW = static_cast<float>(width) * board->cellSize;
    const float gridH = static_cast<float>(height) * board->cellSize;
    board->gridRect =
        Rect(board->rect.w / 2.0f - gridW / 2.0f, board->rect.h / 2.0f - gridH / 2.0f, gridW, gridH);
    board->cellEnabled.assign(static_cast<size_t>(width * height), 1);
    for (int y = 0; y < height; y++) {
        const std::string& row = rows[static_cast<size_t>(y)];
        for (int x = 0; x < width; x++) {
            const char c = x < static_cast<int>(row.size()) ? row[static_cast<size_t>(x)] : '#';
            if (c == '#') {
                board->cellEnabled[static_cast<size_t>(y * width + x)] = 0;
                continue;
            }
            if (c == '.')
                continue;
            auto* piece = new Quorb(board.get());
            piece->pos = Centre(*board, x, y);
            if (c >= '0' && c <= '7') {
                piece->kind = c - '0';
            } else if (c >= 'A' && c <= 'H') {
                piece->kind = c - 'A';
                piece->MakeSuper();
            } else {
                piece->kind = 0;
                piece->skull = true;
                piece->levelSkull = c == 'X';
            }
            board->pieces.Add(piece);
        }
    }
    return board;
}

std::vector<std::string> Dump(const Board& board)
{
    std::vector<std::string> rows;
    for (int y = 0; y < board.gridHeight; y++) {
        std::string row;
        for (int x = 0; x < board.gridWidth; x++) {
            const Quorb* piece = PieceIn(board, x, y);
            row += !board.IsCellEnabled(x, y) ? '#' : piece == nullptr ? '.' : CellChar(piece);
        }
        rows.push_back(row);
    }
    return rows;
}

Quorb* PieceIn(const Board& board, int x, int y)
{
    return board.PieceAtPoint(Centre(board, x, y));
}

bool Swap(Board& board, int x1, int y1, int x2, int y2)
{
    return board.TrySwap(PieceIn(board, x1, y1), PieceIn(board, x2, y2));
}

bool IsAtRest(const Board& board)
{
    return board.movingCount == 0 && !board.movesFinished && board.explosions.empty() &&
           board.repairCountdown <= 0 && !board.refillPending;
}

int RunUntilRest(Board& board, int maxTicks)
{
    for (int tick = 1; tick <= maxTicks; tick++) {
        board.Update();
        if (IsAtRest(board))
            return tick;
    }
    return -1;
}

} // namespace TextBoard
