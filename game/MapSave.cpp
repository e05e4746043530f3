// The map's record inside a saved journey: the 81 squares byte for byte,
// the hover, the queued flips and the tip marker. A record is read in full
// and checked before anything of it is used.
#include "app/IOBuffer.h"
#include "game/Map.h"

#include <cstring>

namespace {

constexpr int32_t kSquareBytes = int32_t(sizeof(MapSquare)) * kMapSquareCount;
constexpr int32_t kHeadBytes = kSquareBytes + 4 * 4 + 1 + 4;
constexpr int32_t kStepBytes = 4 + 4 + 1 + 1 + 1 + 4 + 4 + 4;
constexpr int32_t kTailBytes = 4 + 6 * 4 + 4 + 1;
// The latest a flip can start: a won level's delay, the lead of the first
// unlock and seven gaps of at most 9.
constexpr int32_t kLatestFlipStart = 100 + 75 + 7 * 9;
// A running flip counts its delay below zero for its 34 updates.
constexpr int32_t kLongestFlip = 40;
// Updates allowed for the items in flight to land before a save.
constexpr int kLandingLimit = 100000;

struct MapRecord {
    MapSquare squares[kMapSquareCount];
    int32_t hover[4] = {};
    bool chosen = false;
    std::vector<RevealStep> steps;
    int32_t tipNumber = 0;
    float tip[5] = {}; // x, y, side override, facing, caption offset
    float puzzleFlash = 0.0f;
    int32_t lastBonusKind = 0;
    bool journeyEndPending = false;
};

bool InRange(float v, float low, float high)
{
    return v >= low && v <= high;
}

bool InRange(int32_t v, int32_t low, int32_t high)
{
    return v >= low && v <= high;
}

// Flags are single bytes, and only 0 and 1 are flags.
bool ReadFlag(IOBuffer& buffer, bool& out)
{
    uint8_t byte = 0;
    buffer.ReadBytes(&byte, 1);
    out = byte == 1;
    return byte <= 1;
}

bool SquareIsSound(const MapSquare& s)
{
    if (s.isGoal > 1 || s.isStart > 1 || s.locked > 1 || s.won > 1)
        return false;
    // A flip runs the scale between 0 and 1; the tint is a colour.
    if (!InRange(s.scaleX, 0.0f, 1.0f) || !InRange(s.scaleY, 0.0f, 1.0f) ||
        !InRange(s.difficulty, 0.0f, 1.0f))
        return false;
    for (float c : s.color)
        if (!InRange(c, 0.0f, 1.0f))
            return false;
    if (s.type == kJigsawSquare)
        return InRange(s.item, 0, kJigsawPictures - 1) && InRange(s.piece, 0, kJigsawPiecesPerPicture - 1);
    if (s.type == kBonusSquare)
        return InRange(s.item, 0, 6);
    return InRange(s.type, 0, 7);
}

// The marker points at a square from beside it, on the screen; it faces
// left or right, and its caption sits 10 or 25 units off (0 before any).
bool TipIsSound(const MapRecord& r)
{
    const auto [x, y, sideOverride, facing, captionOffset] = r.tip;
    return InRange(r.tipNumber, 0, 2) && InRange(x, 0.0f, float(kScreenWidth)) &&
           InRange(y, 0.0f, float(kScreenHeight)) && InRange(sideOverride, -1.0f, 0.0f) &&
           InRange(facing, -1.0f, 1.0f) && InRange(captionOffset, 0.0f, 25.0f);
}

bool ReadStep(IOBuffer& buffer, RevealStep& step)
{
    step.x = buffer.ReadInt();
    step.y = buffer.ReadInt();
    bool ok = ReadFlag(buffer, step.markWon);
    ok = ReadFlag(buffer, step.unlock) && ok;
    ok = ReadFlag(buffer, step.flipX) && ok;
    step.value = buffer.ReadFloat();
    step.phase = buffer.ReadInt();
    step.delay = buffer.ReadInt();
    // Anything else would leave the queue running for ever.
    return ok && InRange(step.x, 0, kMapSize - 1) && InRange(step.y, 0, kMapSize - 1) &&
           InRange(step.value, 0.0f, 1.0f) && InRange(step.phase, 0, 1) &&
           InRange(step.delay, -kLongestFlip, kLatestFlipStart);
}

// The bytes left are checked before every part is read: the buffer reads
// zeros without an error at exactly its end.
bool ReadRecord(IOBuffer& buffer, MapRecord& r)
{
    if (buffer.GetSize() - buffer.GetCursor() < kHeadBytes)
        return false;
    buffer.ReadBytes(r.squares, kSquareBytes);
    for (const MapSquare& square : r.squares)
        if (!SquareIsSound(square))
            return false;
    for (int32_t& h : r.hover)
        h = buffer.ReadInt();
    for (int32_t h : r.hover)
        if (!InRange(h, -1, kMapSize - 1))
            return false;
    if (!ReadFlag(buffer, r.chosen))
        return false;
    const int32_t count = buffer.ReadInt();
    const int32_t left = buffer.GetSize() - buffer.GetCursor();
    if (count < 0 || count > (left - kTailBytes) / kStepBytes || left < kTailBytes)
        return false;
    r.steps.resize(size_t(count));
    for (RevealStep& step : r.steps)
        if (!ReadStep(buffer, step))
            return false;
    r.tipNumber = buffer.ReadInt();
    for (float& f : r.tip)
        f = buffer.ReadFloat();
    r.puzzleFlash = buffer.ReadFloat();
    r.lastBonusKind = buffer.ReadInt();
    if (!ReadFlag(buffer, r.journeyEndPending))
        return false;
    return TipIsSound(r) && InRange(r.puzzleFlash, 0.0f, 1.0f) && InRange(r.lastBonusKind, 0, 6) &&
           !buffer.HasError();
}

} // namespace

void Map::Save(IOBuffer& buffer)
{
    // Items in flight land first, so their rewards are kept.
    for (int i = 0; i < kLandingLimit && items.Count() > 0; ++i)
        Update();
    buffer.WriteBytes(squares, kSquareBytes);
    buffer.WriteInt(hoverX);
    buffer.WriteInt(hoverY);
    buffer.WriteInt(previousHoverX);
    buffer.WriteInt(previousHoverY);
    buffer.WriteBool(chosen);
    buffer.WriteInt(int32_t(revealQueue.size()));
    for (const RevealStep& step : revealQueue) {
        buffer.WriteInt(step.x);
        buffer.WriteInt(step.y);
        buffer.WriteBool(step.markWon);
        buffer.WriteBool(step.unlock);
        buffer.WriteBool(step.flipX);
        buffer.WriteFloat(step.value);
        buffer.WriteInt(step.phase);
        buffer.WriteInt(step.delay);
    }
    buffer.WriteInt(tipNumber);
    buffer.WriteFloat(tipX);
    buffer.WriteFloat(tipY);
    buffer.WriteFloat(tipSideOverride);
    buffer.WriteFloat(tipFacing);
    buffer.WriteFloat(tipCaptionOffset);
    buffer.WriteFloat(puzzleFlash);
    buffer.WriteInt(lastBonusKind);
    buffer.WriteBool(journeyEndPending);
}

bool Map::CheckRecord(IOBuffer& buffer)
{
    MapRecord record;
    return ReadRecord(buffer, record);
}

bool Map::Load(IOBuffer& buffer)
{
    MapRecord r;
    if (!ReadRecord(buffer, r))
        return false;
    std::memcpy(squares, r.squares, sizeof(squares));
    // The hovered square of the record was where the pointer was then.
    ForgetHover();
    // A square chosen before the save is no longer on its way to a level.
    chosen = false;
    revealQueue.insert(revealQueue.end(), r.steps.begin(), r.steps.end());
    tipNumber = r.tipNumber;
    tipX = r.tip[0];
    tipY = r.tip[1];
    tipSideOverride = r.tip[2];
    tipFacing = r.tip[3];
    tipCaptionOffset = r.tip[4];
    puzzleFlash = r.puzzleFlash;
    lastBonusKind = r.lastBonusKind;
    journeyEndPending = r.journeyEndPending;
    return true;
}
