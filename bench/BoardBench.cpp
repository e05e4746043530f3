// Board::Update on the largest board (12 x 10, 8 kinds) while lines keep
// coming: new pieces may complete lines, so most moves set off cascades,
// super pieces and explosions. A move is made whenever the board rests.
#include "app/Random.h"
#include "game/Board.h"
#include "game/Quorb.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

std::unique_ptr<Board> MakeCascadingBoard()
{
    auto board = std::make_unique<Board>(nullptr, nullptr);
    board->levelType = LevelType::Surprise; // no goal ends the play
    board->kindCount = 8;
    board->SetSize(12, 10);
    board->FillInitial(nullptr);
    board->strictRefill = false;
    board->refillAvoidsMatches = false;
    return board;
}

bool AtRest(const Board& board)
{
    return board.movingCount == 0 && !board.movesFinished && board.explosions.empty() &&
           board.repairCountdown <= 0 && !board.refillPending;
}

// Swaps a pair that makes a line; a board with none starts again.
void MakeMove(std::unique_ptr<Board>& board)
{
    Point pos;
    Point dir;
    if (!board->FindPossibleMove(&pos, &dir)) {
        board = MakeCascadingBoard();
        return;
    }
    const float cell = board->cellSize;
    board->TrySwap(board->PieceAt(pos.x, pos.y), board->PieceAt(pos.x + dir.x * cell, pos.y + dir.y * cell));
    board->cascadeLevel = 0;
    board->started = false; // keeps the loss check out of the way
}

void BoardUpdateCascades(benchmark::State& state)
{
    theRandom->Seed(2024);
    auto board = MakeCascadingBoard();
    int64_t moves = 0;
    for (auto _ : state) {
        if (AtRest(*board)) {
            MakeMove(board);
            moves++;
        }
        board->Update();
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["ticks_per_move"] = benchmark::Counter(static_cast<double>(state.iterations()) /
                                                          static_cast<double>(moves > 0 ? moves : 1));
}

} // namespace

BENCHMARK(BoardUpdateCascades)->Unit(benchmark::kMicrosecond)->MinTime(2.0);
