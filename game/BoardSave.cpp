// The board's saved-game record.
#include "game/Board.h"

#include "app/IOBuffer.h"
#include "game/LevelupOverlay.h"
#include "game/LoseOverlay.h"
#include "game/Quorb.h"
#include "game/ReadyOverlay.h"
#include "game/WinOverlay.h"

#include <cmath>

namespace {
// Each pass is three board updates; pieces settle within a few hundred.
constexpr int kMaxRestPasses = 1000;
// "Ready" places the skulls of a skull level when it fades to "Go".
constexpr int32_t kReadySkullsPlaced = 3;
constexpr int32_t kReadyGoTicks = 100;

bool PiecesMoving(const Board& board)
{
    for (int i = 0; i < board.pieces.Count(); ++i) {
        const Quorb* piece = static_cast<const Quorb*>(board.pieces.Get(i));
        if (!piece->killed && piece->pendingMoves > 0)
            return true;
    }
    return !board.explosions.empty();
}

void WritePoint(IOBuffer& buffer, Point p)
{
    buffer.WriteFloat(p.x);
    buffer.WriteFloat(p.y);
}

Point ReadPoint(IOBuffer& buffer)
{
    Point p;
    p.x = buffer.ReadFloat();
    p.y = buffer.ReadFloat();
    return p;
}

void WriteGrid(IOBuffer& buffer, const std::vector<uint8_t>& grid)
{
    buffer.WriteBool(!grid.empty());
    buffer.WriteBytes(grid.data(), int32_t(grid.size()));
}

void ReadGrid(IOBuffer& buffer, std::vector<uint8_t>& grid, int32_t cells)
{
    if (!buffer.ReadBool())
        return;
    grid.assign(size_t(cells), 0);
    buffer.ReadBytes(grid.data(), cells);
}
} // namespace

// No piece is saved in mid-flight and no explosion is lost. A press is
// dropped (it would never be released), and the overlays that hold the
// board are not waited for: they are saved with it.
void Board::BringToRest()
{
    if (winOverlay)
        PieceMoveDone();
    if (levelupOverlay)
        PieceMoveDone();
    pressed = false;
    // The end of "Ready" is not saved, so its skulls are placed now or
    // never.
    if (readyOverlay && readyOverlay->state < kReadySkullsPlaced) {
        PlaceLevelSkulls();
        readyOverlay->state = kReadySkullsPlaced;
        readyOverlay->timer = kReadyGoTicks;
    }
    for (int pass = 0; pass < kMaxRestPasses && PiecesMoving(*this); ++pass)
        for (int i = 0; i < 3; ++i)
            Update();
}

void Board::Save(IOBuffer& buffer)
{
    BringToRest();
    buffer.WriteInt(gridWidth);
    buffer.WriteInt(gridHeight);
    buffer.WriteFloat(gridRect.x);
    buffer.WriteFloat(gridRect.y);
    buffer.WriteFloat(gridRect.w);
    buffer.WriteFloat(gridRect.h);
    WriteGrid(buffer, cellEnabled);
    WriteGrid(buffer, cellMarked);
    buffer.WriteFloat(cellSize);
    buffer.WriteFloat(pieceScale);
    buffer.WriteInt(kindCount);
    buffer.WriteBool(refillPending);
    buffer.WriteBool(strictRefill);
    buffer.WriteBool(refillAvoidsMatches);
    buffer.WriteBool(refillCheckActive);
    buffer.WriteInt(cascadeLevel);
    WritePoint(buffer, slideOffset);
    WritePoint(buffer, gridOffset);
    buffer.WriteBool(showReadyOverlay);
    buffer.WriteInt(skullCount);
    buffer.WriteBool(hintShown);
    WritePoint(buffer, hintPos);
    buffer.WriteFloat(hintAngle);
    WritePoint(buffer, hintDir);
    buffer.WriteFloat(hintSpin);
    buffer.WriteFloat(hintAlpha);
    buffer.WriteFloat(zoom);
    buffer.WriteFloat(shake);
    buffer.WriteInt(int32_t(levelType));
    buffer.WriteBool(showMeter);
    buffer.WriteBool(duelMeter);
    buffer.WriteFloat(meterValue);
    buffer.WriteFloat(meterShown);
    buffer.WriteFloat(meterDrain);
    buffer.WriteFloat(meterMax);
    buffer.WriteBool(showPressure);
    buffer.WriteFloat(pressure);
    buffer.WriteFloat(pressurePerMove);
    buffer.WriteFloat(pressureShown);
    buffer.WriteFloat(pressureRelief);
    buffer.WriteInt(conversions);
    buffer.WriteBool(pressureOnMoves);
    buffer.WriteBool(goalCheckPending);
    buffer.WriteBool(loseCheckPending);
    buffer.WriteFloat(meterLoopVolume);
    buffer.WriteFloat(meterLoopTarget);
    buffer.WriteFloat(tint.r);
    buffer.WriteFloat(tint.g);
    buffer.WriteFloat(tint.b);
    buffer.WriteFloat(tint.a);
    buffer.WriteInt(levelScore);
    buffer.WriteInt(levelTicks);
    buffer.WriteInt(piecesMatched);
    buffer.WriteBool(started);
    buffer.WriteInt(matchesLeft);
    buffer.WriteBool(showMatchesLeft);
    buffer.WriteBool(showCountdown);
    buffer.WriteInt(countdown);
    buffer.WriteInt(countdownStart);
    buffer.WriteFloat(markThreshold);
    for (int32_t kind : collectKinds)
        buffer.WriteInt(kind);
    for (int32_t count : collectCounts)
        buffer.WriteInt(count);
    buffer.WriteBool(showCollect);
    buffer.WriteBool(isComputer);
    buffer.WriteInt(aiCountdown);
    buffer.WriteInt(aiThinkTime);
    WritePoint(buffer, aiPointer);
    buffer.WriteInt(aiWanderTimer);
    buffer.WriteBool(forceWin);
    buffer.WriteFloat(pressurePerTick);
    buffer.WriteInt(pressureReliefTicks);
    buffer.WriteFloat(uncheckedRefillChance);
    buffer.WriteFloat(lateUncheckedRefillChance);

    buffer.WriteBool(winOverlay != nullptr);
    if (winOverlay)
        winOverlay->Save(buffer);
    buffer.WriteBool(loseOverlay != nullptr);
    if (loseOverlay)
        loseOverlay->Save(buffer);
    buffer.WriteBool(levelupOverlay != nullptr);
    if (levelupOverlay)
        levelupOverlay->Save(buffer);

    // A piece that finished popping is gone, even before its manager has
    // let go of it.
    std::vector<Quorb*> live;
    for (int i = 0; i < pieces.Count(); ++i) {
        Quorb* piece = static_cast<Quorb*>(pieces.Get(i));
        if (!piece->killed)
            live.push_back(piece);
    }
    buffer.WriteInt(int32_t(live.size()));
    for (Quorb* piece : live)
        piece->Save(buffer);
}

void Board::Load(IOBuffer& buffer)
{
    gridWidth = buffer.ReadInt();
    gridHeight = buffer.ReadInt();
    gridRect.x = buffer.ReadFloat();
    gridRect.y = buffer.ReadFloat();
    gridRect.w = buffer.ReadFloat();
    gridRect.h = buffer.ReadFloat();
    int32_t cells = gridWidth > 0 && gridHeight > 0 ? gridWidth * gridHeight : 0;
    ReadGrid(buffer, cellEnabled, cells);
    ReadGrid(buffer, cellMarked, cells);
    cellSize = buffer.ReadFloat();
    pieceScale = buffer.ReadFloat();
    kindCount = buffer.ReadInt();
    refillPending = buffer.ReadBool();
    strictRefill = buffer.ReadBool();
    refillAvoidsMatches = buffer.ReadBool();
    refillCheckActive = buffer.ReadBool();
    cascadeLevel = buffer.ReadInt();
    slideOffset = ReadPoint(buffer);
    gridOffset = ReadPoint(buffer);
    showReadyOverlay = buffer.ReadBool();
    skullCount = buffer.ReadInt();
    hintShown = buffer.ReadBool();
    hintPos = ReadPoint(buffer);
    hintAngle = buffer.ReadFloat();
    hintDir = ReadPoint(buffer);
    // Older saves carry the spin as it grew without bound over long play.
    hintSpin = std::fmod(buffer.ReadFloat(), 360.0f);
    hintAlpha = buffer.ReadFloat();
    zoom = buffer.ReadFloat();
    shake = buffer.ReadFloat();
    levelType = LevelType(buffer.ReadInt());
    showMeter = buffer.ReadBool();
    duelMeter = buffer.ReadBool();
    meterValue = buffer.ReadFloat();
    meterShown = buffer.ReadFloat();
    meterDrain = buffer.ReadFloat();
    meterMax = buffer.ReadFloat();
    showPressure = buffer.ReadBool();
    pressure = buffer.ReadFloat();
    pressurePerMove = buffer.ReadFloat();
    pressureShown = buffer.ReadFloat();
    pressureRelief = buffer.ReadFloat();
    conversions = buffer.ReadInt();
    pressureOnMoves = buffer.ReadBool();
    goalCheckPending = buffer.ReadBool();
    loseCheckPending = buffer.ReadBool();
    meterLoopVolume = buffer.ReadFloat();
    meterLoopTarget = buffer.ReadFloat();
    tint.r = buffer.ReadFloat();
    tint.g = buffer.ReadFloat();
    tint.b = buffer.ReadFloat();
    tint.a = buffer.ReadFloat();
    levelScore = buffer.ReadInt();
    levelTicks = buffer.ReadInt();
    piecesMatched = buffer.ReadInt();
    started = buffer.ReadBool();
    matchesLeft = buffer.ReadInt();
    showMatchesLeft = buffer.ReadBool();
    showCountdown = buffer.ReadBool();
    countdown = buffer.ReadInt();
    countdownStart = buffer.ReadInt();
    markThreshold = buffer.ReadFloat();
    for (int32_t& kind : collectKinds)
        kind = buffer.ReadInt();
    for (int32_t& count : collectCounts)
        count = buffer.ReadInt();
    showCollect = buffer.ReadBool();
    isComputer = buffer.ReadBool();
    aiCountdown = buffer.ReadInt();
    aiThinkTime = buffer.ReadInt();
    aiPointer = ReadPoint(buffer);
    aiWanderTimer = buffer.ReadInt();
    forceWin = buffer.ReadBool();
    pressurePerTick = buffer.ReadFloat();
    pressureReliefTicks = buffer.ReadInt();
    uncheckedRefillChance = buffer.ReadFloat();
    lateUncheckedRefillChance = buffer.ReadFloat();

    // The overlays' constructors run in full, as when the level ended: the
    // lose overlay shakes the board again, and each drops the pending check
    // it ends.
    if (buffer.ReadBool()) {
        winOverlay = new WinOverlay(this);
        AddChild(winOverlay);
        winOverlay->Load(buffer);
    }
    if (buffer.ReadBool()) {
        loseOverlay = new LoseOverlay(this, LoseReason::MeterDrained);
        AddChild(loseOverlay);
        loseOverlay->Load(buffer);
        EndLostEndlessGame();
    }
    if (buffer.ReadBool()) {
        levelupOverlay = new LevelupOverlay(this);
        AddChild(levelupOverlay);
        levelupOverlay->Load(buffer);
    }

    int32_t pieceCount = buffer.ReadInt();
    for (int32_t i = 0; i < pieceCount; ++i) {
        Quorb* piece = new Quorb(this);
        piece->Load(buffer);
        pieces.Add(piece);
    }
    BuildFrame();
    PreparePieceArt();
    PrepareCollectIcons();
}
