#include "game/SaveValidator.h"

#include "app/IOBuffer.h"
#include "game/Board.h"
#include "game/Map.h"
#include "game/Quorb.h"

#include <climits>
#include <cmath>
#include <limits>
#include <vector>

namespace {
constexpr int32_t kSaveVersion = 2;
constexpr int32_t kMaxGridWidth = 12;
constexpr int32_t kMaxGridHeight = 10;
constexpr float kMaxCellSize = 800.0f;
constexpr float kMaxFloat = std::numeric_limits<float>::max();
// The computer's waits, a Speed game's relief and the overlays' holds: a few
// hundred ticks in play.
constexpr int32_t kMaxTimer = 1000;
// Goal counters: a few dozen in play.
constexpr int32_t kMaxCount = 1000;
constexpr int32_t kMaxTextLength = 1024;
} // namespace

SaveValidator::SaveValidator(IOBuffer& source) : buffer(source) {}

bool SaveValidator::IsValidGame(GameMode mode)
{
    if (Int() != kSaveVersion)
        return false;
    Int(0, 2); // difficulty
    Int(0, kMapSize - 1);
    Int(0, kMapSize - 1);
    level = Int(1, INT32_MAX);
    Int();             // score
    Int();             // best time
    Int(0, 7);         // level type
    Int(0, 100);       // map difficulty
    for (int i = 0; i < kPowerSlotCount; ++i)
        Int(kNoPower, int32_t(PowerKind::ExtraPieces));
    for (int i = 0; i < 10; ++i)
        Float(0.0f, 1.0f);

    bool hasMap = Bool();
    if (hasMap && (mode != GameMode::Journey || !Map::CheckRecord(buffer)))
        return false;
    bool hasBoard = Bool();
    if (hasBoard && CheckBoard(mode) < 0)
        return false;
    bool hasOpponent = Bool();
    if (hasOpponent && (!hasBoard || CheckBoard(mode) < 0))
        return false;
    // A journey level reports its end to the map.
    if (mode == GameMode::Journey && hasBoard && !hasMap)
        return false;

    bool mapShown = Bool();
    bool boardShown = Bool();
    bool opponentShown = Bool();
    if ((mapShown && !hasMap) || (boardShown && !hasBoard) || (opponentShown && !hasOpponent))
        return false;
    return ok && !buffer.HasError() && BytesLeft() == 0;
}

int32_t SaveValidator::CheckBoard(GameMode mode)
{
    int32_t width = Int(1, kMaxGridWidth);
    int32_t height = Int(1, kMaxGridHeight);
    int64_t cells = ok ? int64_t(width) * height : 0;
    Float(-kMaxCoordinate, kMaxCoordinate);
    Float(-kMaxCoordinate, kMaxCoordinate);
    Float(0.0f, kMaxCoordinate);
    Float(0.0f, kMaxCoordinate);
    // Every rule looks cells up in the grid, so it must be there.
    if (!Bool())
        ok = false;
    Skip(cells);
    bool marked = Bool();
    if (marked)
        Skip(cells);

    float cellSize = Float(1.0f, kMaxCellSize);
    Float(0.0f, kMaxCellSize / 256.0f); // piece scale
    Int(1, kPieceKinds);
    for (int i = 0; i < 4; ++i)
        Bool();
    Int(0, Board::kMaxCascade);
    for (int i = 0; i < 4; ++i)
        Float(-kMaxCoordinate, kMaxCoordinate); // slide and grid offsets
    Bool();                                     // show ready overlay
    Int(0, int32_t(cells));                     // skull count
    Bool();                                     // hint shown
    Float(-kMaxCoordinate, kMaxCoordinate);     // hint position
    Float(-kMaxCoordinate, kMaxCoordinate);
    Float(0.0f, 720.0f); // hint angle: a direction plus 360
    Float(-1.0f, 1.0f);  // hint direction
    Float(-1.0f, 1.0f);
    Float();             // hint spin: any angle, loaded as one
    Float(0.0f, 1.0f);   // hint alpha
    Float(0.0f, 1.0f);   // zoom: 0.1 at a pulse
    Float(0.0f, 100.0f); // shake: 10 at a blast
    int32_t levelType = Int(0, 7);
    Bool();
    Bool();
    CheckMeter();
    Bool();
    // Pressure: the meter 0..100; the rises grow with every level of an
    // endless game, the relief shrinks.
    Float(0.0f, 100.0f);
    Float(0.0f, kMaxFloat);
    Float(0.0f, 100.0f);
    Float(-100.0f, 100.0f);
    Int(0, int32_t(cells)); // conversions
    for (int i = 0; i < 3; ++i)
        Bool();
    for (int i = 0; i < 6; ++i)
        Float(0.0f, 1.0f); // meter loop volumes and tint
    Int();                 // level score
    Int(0, INT32_MAX);
    Int(0, INT32_MAX);
    Bool();            // started
    Int(0, kMaxCount); // matches left
    Bool();
    Bool();
    // The stopwatch of a Matches level runs down from its start.
    int32_t countdown = Int(0, kMatchesTicks);
    if (countdown > Int(0, kMatchesTicks))
        ok = false;
    Float(0.0f, 1.0f); // mark threshold
    for (int i = 0; i < 4; ++i)
        Int(-1, kPieceKinds - 1);
    for (int i = 0; i < 4; ++i)
        Int(0, kMaxCount);
    Bool();
    Bool(); // is computer
    // The next move comes one and a half think times away at most.
    Int(0, 2 * kMaxTimer);
    Int(0, kMaxTimer);
    Float(-kMaxCoordinate, kMaxCoordinate);
    Float(-kMaxCoordinate, kMaxCoordinate);
    Int(0, kMaxTimer);
    Bool(); // force win
    Float(0.0f, kMaxFloat); // pressure per tick
    Int(0, kMaxTimer);
    Float(-1.0f, 1.0f); // unchecked refill chance, -1 for never
    Float(0.0f, 1.0f);
    // GoGold levels count their marked cells.
    if (levelType == int32_t(LevelType::GoGold) && !marked)
        ok = false;

    // Only a journey level is won, and only the endless games level up: a
    // win in a Casual game would open a map there, which no save can hold.
    const bool journey = mode == GameMode::Journey;
    if (Bool() && Expect(journey))
        CheckWinOverlay();
    if (Bool())
        CheckLoseOverlay();
    if (Bool() && Expect(!journey))
        CheckLevelupOverlay();

    CheckPieces(Int(0, int32_t(cells)), width, height, cellSize);
    return ok ? levelType : -1;
}

// Both values run between 0 and a full meter, which grows with every
// level of an endless game; the drain empties it.
void SaveValidator::CheckMeter()
{
    float value = Float();
    float shown = Float();
    Float(-1.0f, 0.0f); // drain
    float full = Float(0.0f, kMaxFloat);
    if (value < 0.0f || value > full || shown < 0.0f || shown > full)
        ok = false;
}

void SaveValidator::CheckWinOverlay()
{
    Int(0, 3);
    Int(0, kMaxTimer); // hold counter
    // The banner starts spun far out (1.25 to the 101st power) and grows
    // from 0 to 1.
    Float();
    Float(-1.0f, 2.0f);
    Float(-kMaxCoordinate, 0.0f); // the panel slides up
    for (int i = 0; i < 3; ++i)
        CheckString();
}

void SaveValidator::CheckLoseOverlay()
{
    Int(0, 3);
    Float(0.0f, 1.0f);                // flash
    Float(0.0f, float(kScreenWidth)); // the reason slides in from the right
    Float(0.0f, 1.0f);                // prompt
    Float(0.0f, float(kScreenHeight));
}

void SaveValidator::CheckLevelupOverlay()
{
    Int(0, 2);
    Float(-float(kScreenHeight), float(kScreenHeight)); // drops in, rises out
    // The hold and the next burst count down below 0 while bursts remain.
    Int(INT32_MIN, kMaxTimer);
    Float(0.0f, 1.0f); // dim
    Int(INT32_MIN, kMaxTimer);
    // One burst a level reached, and the level only ever rises.
    Int(0, level - 1); // bursts left
    Float(0.0f, 1.0f);
}

void SaveValidator::CheckPieces(int32_t count, int32_t width, int32_t height, float cellSize)
{
    if (!ok || int64_t(count) * Quorb::kRecordSize > BytesLeft()) {
        ok = false;
        return;
    }
    // The piece check needs the grid's size only.
    Board grid(nullptr, nullptr);
    grid.gridWidth = width;
    grid.gridHeight = height;
    grid.cellSize = cellSize;
    for (int32_t i = 0; i < count && ok; ++i) {
        const uint8_t* record = buffer.GetData() + buffer.GetCursor();
        ok = Quorb::IsValidRecord(record, int32_t(BytesLeft()), grid);
        Skip(Quorb::kRecordSize);
    }
}

int32_t SaveValidator::Int()
{
    if (!ok || BytesLeft() < 4) {
        ok = false;
        return 0;
    }
    return buffer.ReadInt();
}

int32_t SaveValidator::Int(int32_t low, int32_t high)
{
    int32_t value = Int();
    if (value < low || value > high)
        ok = false;
    return value;
}

float SaveValidator::Float()
{
    if (!ok || BytesLeft() < 4) {
        ok = false;
        return 0.0f;
    }
    float value = buffer.ReadFloat();
    if (!std::isfinite(value)) {
        ok = false;
        return 0.0f;
    }
    return value;
}

float SaveValidator::Float(float low, float high)
{
    float value = Float();
    if (value < low || value > high)
        ok = false;
    return value;
}

bool SaveValidator::Expect(bool condition)
{
    ok = ok && condition;
    return ok;
}

// Booleans are written as 1 or 0; any other byte means damage.
bool SaveValidator::Bool()
{
    if (!ok || BytesLeft() < 1 || NextByte() > 1) {
        ok = false;
        return false;
    }
    return buffer.ReadBool();
}

void SaveValidator::Skip(int64_t count)
{
    if (!ok || count < 0 || count > BytesLeft()) {
        ok = false;
        return;
    }
    std::vector<uint8_t> skipped(size_t(count) + 1);
    buffer.ReadBytes(skipped.data(), int32_t(count));
}

void SaveValidator::CheckString()
{
    int32_t length = Int(1, kMaxTextLength);
    if (ok && (length > BytesLeft() || buffer.GetData()[buffer.GetCursor() + length - 1] != 0))
        ok = false;
    Skip(length);
}

int64_t SaveValidator::BytesLeft() const
{
    return int64_t(buffer.GetSize()) - buffer.GetCursor();
}

uint8_t SaveValidator::NextByte() const
{
    return buffer.GetData()[buffer.GetCursor()];
}
