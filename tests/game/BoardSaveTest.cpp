// The board's saved record, byte by byte.
#include "game/support/SavedFields.h"

#include "app/IOBuffer.h"
#include "game/Board.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

std::vector<uint8_t> Record(Board& board)
{
    IOBuffer buffer;
    board.Save(buffer);
    return std::vector<uint8_t>(buffer.GetData(), buffer.GetData() + buffer.GetSize());
}

} // namespace

// Every field of the fixed block at the offset and in the encoding of the
// file format's table, behind both cell grids: a blank board (every field 0,
// no overlay, no piece) with one field set must write that field's bytes
// there and nothing else.
TEST(BoardSaveTest, EveryFieldLiesAtItsOffset)
{
    // Three cells in each grid: the block starts 3 + 3 bytes later.
    const std::vector<uint8_t> enabled = {7, 8, 9};
    const std::vector<uint8_t> marked = {4, 5, 6};
    const int g = 26 + 3 + 3;
    using B = SavedFields::Entry<Board>;
    const std::vector<B> fields = {
        B{0, +[](Board& b) -> int32_t& { return b.gridWidth; }},
        B{4, +[](Board& b) -> int32_t& { return b.gridHeight; }},
        B{8, +[](Board& b) -> float& { return b.gridRect.x; }},
        B{12, +[](Board& b) -> float& { return b.gridRect.y; }},
        B{16, +[](Board& b) -> float& { return b.gridRect.w; }},
        B{20, +[](Board& b) -> float& { return b.gridRect.h; }},
        B{g + 0, +[](Board& b) -> float& { return b.cellSize; }},
        B{g + 4, +[](Board& b) -> float& { return b.pieceScale; }},
        B{g + 8, +[](Board& b) -> int32_t& { return b.kindCount; }},
        B{g + 12, +[](Board& b) -> bool& { return b.refillPending; }},
        B{g + 13, +[](Board& b) -> bool& { return b.strictRefill; }},
        B{g + 14, +[](Board& b) -> bool& { return b.refillAvoidsMatches; }},
        B{g + 15, +[](Board& b) -> bool& { return b.refillCheckActive; }},
        B{g + 16, +[](Board& b) -> int32_t& { return b.cascadeLevel; }},
        B{g + 20, +[](Board& b) -> float& { return b.slideOffset.x; }},
        B{g + 24, +[](Board& b) -> float& { return b.slideOffset.y; }},
        B{g + 28, +[](Board& b) -> float& { return b.gridOffset.x; }},
        B{g + 32, +[](Board& b) -> float& { return b.gridOffset.y; }},
        B{g + 36, +[](Board& b) -> bool& { return b.showReadyOverlay; }},
        B{g + 37, +[](Board& b) -> int32_t& { return b.skullCount; }},
        B{g + 41, +[](Board& b) -> bool& { return b.hintShown; }},
        B{g + 42, +[](Board& b) -> float& { return b.hintPos.x; }},
        B{g + 46, +[](Board& b) -> float& { return b.hintPos.y; }},
        B{g + 50, +[](Board& b) -> float& { return b.hintAngle; }},
        B{g + 54, +[](Board& b) -> float& { return b.hintDir.x; }},
        B{g + 58, +[](Board& b) -> float& { return b.hintDir.y; }},
        B{g + 62, +[](Board& b) -> float& { return b.hintSpin; }},
        B{g + 66, +[](Board& b) -> float& { return b.hintAlpha; }},
        B{g + 70, +[](Board& b) -> float& { return b.zoom; }},
        B{g + 74, +[](Board& b) -> float& { return b.shake; }},
        B{g + 78, +[](Board& b) -> LevelType& { return b.levelType; }},
        B{g + 82, +[](Board& b) -> bool& { return b.showMeter; }},
        B{g + 83, +[](Board& b) -> bool& { return b.duelMeter; }},
        B{g + 84, +[](Board& b) -> float& { return b.meterValue; }},
        B{g + 88, +[](Board& b) -> float& { return b.meterShown; }},
        B{g + 92, +[](Board& b) -> float& { return b.meterDrain; }},
        B{g + 96, +[](Board& b) -> float& { return b.meterMax; }},
        B{g + 100, +[](Board& b) -> bool& { return b.showPressure; }},
        B{g + 101, +[](Board& b) -> float& { return b.pressure; }},
        B{g + 105, +[](Board& b) -> float& { return b.pressurePerMove; }},
        B{g + 109, +[](Board& b) -> float& { return b.pressureShown; }},
        B{g + 113, +[](Board& b) -> float& { return b.pressureRelief; }},
        B{g + 117, +[](Board& b) -> int32_t& { return b.conversions; }},
        B{g + 121, +[](Board& b) -> bool& { return b.pressureOnMoves; }},
        B{g + 122, +[](Board& b) -> bool& { return b.goalCheckPending; }},
        B{g + 123, +[](Board& b) -> bool& { return b.loseCheckPending; }},
        B{g + 124, +[](Board& b) -> float& { return b.meterLoopVolume; }},
        B{g + 128, +[](Board& b) -> float& { return b.meterLoopTarget; }},
        B{g + 132, +[](Board& b) -> float& { return b.tint.r; }},
        B{g + 136, +[](Board& b) -> float& { return b.tint.g; }},
        B{g + 140, +[](Board& b) -> float& { return b.tint.b; }},
        B{g + 144, +[](Board& b) -> float& { return b.tint.a; }},
        B{g + 148, +[](Board& b) -> int32_t& { return b.levelScore; }},
        B{g + 152, +[](Board& b) -> int32_t& { return b.levelTicks; }},
        B{g + 156, +[](Board& b) -> int32_t& { return b.piecesMatched; }},
        B{g + 160, +[](Board& b) -> bool& { return b.started; }},
        B{g + 161, +[](Board& b) -> int32_t& { return b.matchesLeft; }},
        B{g + 165, +[](Board& b) -> bool& { return b.showMatchesLeft; }},
        B{g + 166, +[](Board& b) -> bool& { return b.showCountdown; }},
        B{g + 167, +[](Board& b) -> int32_t& { return b.countdown; }},
        B{g + 171, +[](Board& b) -> int32_t& { return b.countdownStart; }},
        B{g + 175, +[](Board& b) -> float& { return b.markThreshold; }},
        B{g + 179, +[](Board& b) -> int32_t& { return b.collectKinds[0]; }},
        B{g + 183, +[](Board& b) -> int32_t& { return b.collectKinds[1]; }},
        B{g + 187, +[](Board& b) -> int32_t& { return b.collectKinds[2]; }},
        B{g + 191, +[](Board& b) -> int32_t& { return b.collectKinds[3]; }},
        B{g + 195, +[](Board& b) -> int32_t& { return b.collectCounts[0]; }},
        B{g + 199, +[](Board& b) -> int32_t& { return b.collectCounts[1]; }},
        B{g + 203, +[](Board& b) -> int32_t& { return b.collectCounts[2]; }},
        B{g + 207, +[](Board& b) -> int32_t& { return b.collectCounts[3]; }},
        B{g + 211, +[](Board& b) -> bool& { return b.showCollect; }},
        B{g + 212, +[](Board& b) -> bool& { return b.isComputer; }},
        B{g + 213, +[](Board& b) -> int32_t& { return b.aiCountdown; }},
        B{g + 217, +[](Board& b) -> int32_t& { return b.aiThinkTime; }},
        B{g + 221, +[](Board& b) -> float& { return b.aiPointer.x; }},
        B{g + 225, +[](Board& b) -> float& { return b.aiPointer.y; }},
        B{g + 229, +[](Board& b) -> int32_t& { return b.aiWanderTimer; }},
        B{g + 233, +[](Board& b) -> bool& { return b.forceWin; }},
        B{g + 234, +[](Board& b) -> float& { return b.pressurePerTick; }},
        B{g + 238, +[](Board& b) -> int32_t& { return b.pressureReliefTicks; }},
        B{g + 242, +[](Board& b) -> float& { return b.uncheckedRefillChance; }},
        B{g + 246, +[](Board& b) -> float& { return b.lateUncheckedRefillChance; }},
    };
    // Behind the block: three overlay flags and the piece count, all 0.
    std::vector<uint8_t> blank(static_cast<size_t>(g + 250 + 3 + 4), 0);
    blank[24] = 1;
    std::copy(enabled.begin(), enabled.end(), blank.begin() + 25);
    blank[28] = 1;
    std::copy(marked.begin(), marked.end(), blank.begin() + 29);
    auto make = [&] {
        auto board = std::make_unique<Board>(nullptr, nullptr);
        board->cellEnabled = enabled;
        board->cellMarked = marked;
        return board;
    };
    for (const B& field : fields) {
        std::vector<uint8_t> expected = blank;
        const std::vector<uint8_t> written = SavedFields::WriteMarked(fields, field, make, Record, expected);
        EXPECT_EQ(written, expected) << "field at " << field.offset;
    }
}
