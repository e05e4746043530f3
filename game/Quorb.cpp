// Piece logic, animations and the piece record.
#include "game/Quorb.h"

#include "app/IOBuffer.h"
#include "app/Math.h"
#include "app/Random.h"
#include "game/Anim_Sprite.h"
#include "game/Board.h"
#include "game/Game.h"
#include "game/QuorbSwapApp.h"
#include "game/SaveValidator.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

Point Along(Point from, Point dir, float distance)
{
    return Point(from.x + dir.x * distance, from.y + dir.y * distance);
}

Anim_Sprite* MakeParticle(Sprite* sprite, Point at)
{
    auto* particle = new Anim_Sprite();
    particle->sprite = sprite;
    particle->x = at.x;
    particle->y = at.y;
    return particle;
}

// Sounds are optional (no application in tests), but their random pitch is
// drawn all the same so that a seeded game plays alike with or without one.
void PlayPitched(Sound* sound, float pitch)
{
    if (sound != nullptr)
        sound->PlayPitched(pitch, 1.0f);
}

float RandomPitch()
{
    return 1.0f + theRandom->GetFloatScaled(0.1f, true);
}

} // namespace

Quorb::Quorb(Board* board) : board(board)
{
    app = board->app;
    RandomizeKind();
    animPhase = theRandom->Get(100000);
}

Quorb::~Quorb()
{
    if (hitShaking) {
        pendingMoves = std::max(pendingMoves - 1, 0);
        board->PieceMoveDone();
    }
    while (pendingMoves > 0) {
        pendingMoves--;
        board->PieceMoveDone();
    }
    // A piece deleted in mid-flight still holds its request on the chatter.
    if (flying && app != nullptr)
        app->chatterLoop.Release();
    board->flyingPieces.Remove(this);
    if (board->selected == this)
        board->selected = nullptr;
}

void Quorb::StartAnimation()
{
    pendingMoves++;
    board->movingCount++;
}

void Quorb::EndAnimation()
{
    pendingMoves = std::max(pendingMoves - 1, 0);
    board->PieceMoveDone();
}

bool Quorb::IsGameOver() const
{
    return board->game != nullptr && board->game->deleteSave != 0;
}

void Quorb::RandomizeKind()
{
    kind = theRandom->Get(board->kindCount);
}

bool Quorb::Contains(float x, float y) const
{
    if (killed)
        return false;
    const float half = board->cellSize / 2.0f;
    return x >= pos.x - half && x < pos.x + half && y >= pos.y - half && y < pos.y + half;
}

bool Quorb::IsMatchable() const
{
    if (board->refillCheckActive && skull)
        return !levelSkull;
    return !skull;
}

bool Quorb::CanMove() const
{
    return true;
}

bool Quorb::IsSameKind(const Quorb* other) const
{
    return other != nullptr && IsMatchable() && other->IsMatchable() && kind == other->kind;
}

void Quorb::MoveBy(float dx, float dy)
{
    age = 0;
    Point d(dx, dy);
    d.SetLength(1.0f);
    const float cell = board->cellSize;
    moveMid = Along(pos, d, cell / 2.0f);
    moveDir = d;
    moveAngle = 90.0f;
    drawOffset = Point(-cell * d.x, -cell * d.y);
    pos = Along(pos, d, cell);
    if (!swapping)
        StartAnimation();
    swapping = true;
}

void Quorb::StartFall()
{
    if (!falling)
        StartAnimation();
    pos.y += board->cellSize;
    drawOffset.y -= board->cellSize;
    falling = true;
    fallSpeed = 0.0f;
}

void Quorb::Pop()
{
    if (!popping) {
        StartAnimation();
        popTicks = 0;
    }
    popScale = 0.0f;
    popping = true;
    popFlash = 1.25f;
    if (super) {
        popScale = -0.0075f;
        board->QueueExplosion(pos);
        super = false;
    }
}

void Quorb::MakeSuper()
{
    super = true;
    pulsePhase = 0.0f;
}

void Quorb::ThrowChips()
{
    Sprite* chip = app != nullptr ? &app->sprChip : nullptr;
    for (int step = 0; step < 8; step++) {
        Point dir;
        Math::AngleToVector(static_cast<float>(step * 45) + theRandom->GetFloatScaled(30.0f), dir);
        Anim_Sprite* particle = MakeParticle(chip, Along(pos, dir, board->cellSize / 2.0f));
        particle->rotation = theRandom->GetFloatScaled(360.0f);
        particle->vx = dir.x * 2.0f;
        particle->vy = dir.y * 2.0f;
        particle->fade = 2.0f;
        particle->fadeChange = (theRandom->GetFloatScaled(0.01f, true) - 0.02f) * 2.0f;
        particle->spin = theRandom->GetFloatScaled(10.0f, true);
        particle->accelY = 0.05f;
        board->effects.Add(particle);
    }
}

void Quorb::Hit(int damage)
{
    if (hitShaking || !skull)
        return;
    hitPoints = Math::AddSaturated(hitPoints, -damage);
    shakeAmplitude = 5.0f;
    hitShaking = true;
    PlayPitched(app != nullptr ? &app->sndCrack : nullptr, RandomPitch());
    StartAnimation();
    ThrowChips();
}

void Quorb::StartChange(int delay)
{
    if (changing)
        return;
    changeDelay = std::max(delay, 1);
    changeScale = 1.0f;
    changing = true;
    changeTicks = IsGameOver() ? 10 : 80;
    StartAnimation();
    super = false;
}

void Quorb::StartFlyIn()
{
    if (flying)
        return;
    StartAnimation();
    flyAngle = 0.0f;
    flyHeight = 250.0f;
    flyScale = 1.0f;
    flying = true;
    const float screenX = board->gridRect.x + pos.x;
    if (theRandom->Get(2) == 0) {
        flySide = -1.0f;
        flyDistance = -screenX - 100.0f;
    } else {
        flySide = 1.0f;
        flyDistance = 900.0f - screenX;
    }
    flySpeed = 1.5f;
    board->flyingPieces.Add(this);
    if (app != nullptr)
        app->chatterLoop.Start();
}

void Quorb::Shatter()
{
    if (app != nullptr)
        app->sndShatter.Play(1.0f);
    Pop();
    board->OnSkullBroken(this);

    const float half = board->cellSize / 2.0f;
    Sprite* chip = app != nullptr ? &app->sprChip : nullptr;
    for (int step = 0; step < 36; step++) {
        Point dir;
        Math::AngleToVector(static_cast<float>(step * 10) + theRandom->GetFloatScaled(3.0f), dir);
        const float rotation = theRandom->GetFloatScaled(360.0f);
        Anim_Sprite* particle =
            MakeParticle(chip, Along(pos, dir, (1.0f - theRandom->GetFloatScaled(0.75f)) * half));
        particle->rotation = rotation;
        const float speed = 2.0f * (1.0f + theRandom->GetFloat());
        particle->vx = dir.x * speed;
        particle->vy = dir.y * speed;
        particle->fade = 2.0f;
        particle->fadeChange = (theRandom->GetFloatScaled(0.01f, true) - 0.02f) * 2.0f;
        particle->spin = theRandom->GetFloatScaled(10.0f, true);
        particle->accelY = 0.05f;
        particle->scale = 1.0f + theRandom->GetFloatScaled(0.25f, true);
        board->effects.Add(particle);
    }

    Sprite* smoke = app != nullptr ? &app->sprSmoke : nullptr;
    for (int step = 0; step < 8; step++) {
        Point dir;
        Math::AngleToVector(static_cast<float>(step * 45) + theRandom->GetFloatScaled(3.0f), dir);
        Anim_Sprite* particle =
            MakeParticle(smoke, Along(pos, dir, (1.0f - theRandom->GetFloatScaled(0.75f)) * half));
        particle->vx = dir.x * 0.25f;
        particle->vy = dir.y * 0.25f;
        particle->fade = 0.75f;
        particle->scale = 1.0f + theRandom->GetFloatScaled(0.25f, true);
        const float spin = 2.0f + theRandom->GetFloatScaled(0.5f, true);
        particle->spin = theRandom->RandomSignFloat(spin);
        particle->fadeChange = (theRandom->GetFloatScaled(0.01f, true) - 0.02f) * 0.5f;
        board->effects.Add(particle);
    }

    Anim_Sprite* flash = MakeParticle(app != nullptr ? &app->sprFlash : nullptr, pos);
    flash->r = 1.0f;
    flash->g = 0.5f;
    flash->b = 0.0f;
    flash->dg = 0.1f;
    flash->db = 0.1f;
    flash->scale = 2.0f * board->pieceScale;
    flash->scaleFactor = 0.99f;
    flash->fadeChange = -0.015f;
    board->effects.Add(flash);
    board->zoom = 0.1f;
}

void Quorb::ExplosionHit()
{
    // The old pop ends and a fresh one starts, so the board's count of
    // running animations stays balanced.
    if (popping) {
        popping = false;
        EndAnimation();
    }
    if (skull && !super)
        Shatter();
    else
        Pop();
}

void Quorb::Update()
{
    blinkTimer = std::max(blinkTimer - 1, 0);
    if (blinkTimer == 0 && theRandom->Get(12000) == 25)
        blinkTimer = 200 + theRandom->Get(200);
    animPhase++;
    age = Math::AddSaturated(age, 1);

    const float cell = board->cellSize;
    if (swapping) {
        age = 0;
        const float s = Math::SinDegrees(moveAngle);
        drawOffset = Point(-cell * s * s * moveDir.x, -cell * s * s * moveDir.y);
        moveAngle += 2.0f;
        if (moveAngle >= 180.0f) {
            swapping = false;
            drawOffset = Point();
            EndAnimation();
        }
    }

    if (popping) {
        // A super piece's pop starts below the point from which the scale
        // grows, so it runs backwards until kMaxPopTicks end it; it is held
        // finite for a save taken meanwhile.
        popScale = std::max((popScale + 0.001f) * 1.2f, -kMaxPopScale);
        popFlash = std::max(popFlash - 0.035f, 0.0f);
        popTicks++;
        if (popScale >= 1.0f || popTicks >= kMaxPopTicks) {
            Kill();
            EndAnimation();
        }
    }

    if (falling) {
        drawOffset.y += fallSpeed;
        fallSpeed += 0.25f;
        if (drawOffset.y >= 0.0f) {
            drawOffset.y = 0.0f;
            falling = false;
            EndAnimation();
        }
    }

    if (super) {
        // An angle: a turn further draws the same, and the value stays small
        // however long the piece pulses.
        pulsePhase = std::fmod(pulsePhase + 4.0f, 360.0f);
        scale = 1.0f + 0.15f * Math::SinDegrees(pulsePhase);
    }

    if (hitShaking) {
        shakeAmplitude -= 0.1f;
        Point dir;
        Math::RandomDirection(nullptr, dir);
        shakeOffset = Point(dir.x * shakeAmplitude, dir.y * shakeAmplitude);
        if (shakeAmplitude <= 0.0f) {
            hitShaking = false;
            shakeOffset = Point();
            if (hitPoints < 1) {
                board->refillPending = true;
                Shatter();
            }
            EndAnimation();
        }
    }

    if (changing) {
        // Only the tick it reaches 0 and the ticks after it count, so it
        // rests at -1 instead of running down without end.
        changeDelay = std::max(changeDelay, 0) - 1;
        if (changeDelay < 1) {
            if (changeDelay == 0)
                PlayPitched(app != nullptr ? &app->sndMorph : nullptr, RandomPitch());
            Point dir;
            Math::RandomDirection(nullptr, dir);
            shakeOffset = Point(dir.x * 0.1f * cell, dir.y * 0.1f * cell);
            changeTicks--;
            if (changeTicks < 1) {
                if (skull) {
                    changeScale = std::min(changeScale + 0.075f, 1.0f);
                    if (changeScale >= 1.0f) {
                        changing = false;
                        EndAnimation();
                        shakeOffset = Point();
                    }
                } else {
                    changeScale = std::max(changeScale - 0.05f, 0.0f);
                    if (changeScale <= 0.0f) {
                        skull = true;
                        if (!IsGameOver()) {
                            Anim_Sprite* circle =
                                MakeParticle(app != nullptr ? &app->sprCircle : nullptr, pos);
                            circle->scale = 0.75f * board->pieceScale;
                            circle->scaleChange = 0.01f;
                            circle->fadeChange = -0.03f;
                            board->effects.Add(circle);
                        }
                    }
                }
                scale = changeScale;
            }
        }
    }

    if (flying) {
        flyAngle += flySpeed;
        flySpeed += 0.01f;
        if (flyAngle >= 180.0f) {
            skull = true;
            EndAnimation();
            flying = false;
            board->flyingPieces.Remove(this);
            if (app != nullptr) {
                app->chatterLoop.Release();
                app->sndCrunch.Play(1.0f);
            }
            super = false;
            board->zoom = 0.1f;
            ThrowChips();
        }
        const float f = (180.0f - flyAngle) / 180.0f;
        flyPos = Point(pos.x + f * flyDistance, pos.y - Math::SinDegrees(flyAngle) * flyHeight);
        flyScale = f * 2.5f + 1.0f;
    }
}

void Quorb::Save(IOBuffer& buffer)
{
    buffer.WriteFloat(pos.x);
    buffer.WriteFloat(pos.y);
    buffer.WriteFloat(drawOffset.x);
    buffer.WriteFloat(drawOffset.y);
    buffer.WriteInt(kind);
    buffer.WriteFloat(scale);
    buffer.WriteBool(swapping);
    buffer.WriteFloat(moveMid.x);
    buffer.WriteFloat(moveMid.y);
    buffer.WriteFloat(moveDir.x);
    buffer.WriteFloat(moveDir.y);
    buffer.WriteFloat(moveAngle);
    buffer.WriteBool(popping);
    buffer.WriteFloat(popScale);
    buffer.WriteFloat(popFlash);
    buffer.WriteBool(falling);
    buffer.WriteFloat(fallSpeed);
    buffer.WriteBool(super);
    buffer.WriteFloat(pulsePhase);
    buffer.WriteInt(age);
    buffer.WriteInt(hitPoints);
    buffer.WriteBool(hitShaking);
    buffer.WriteFloat(shakeOffset.x);
    buffer.WriteFloat(shakeOffset.y);
    buffer.WriteFloat(shakeAmplitude);
    buffer.WriteBool(skull);
    buffer.WriteInt(changeDelay);
    buffer.WriteBool(changing);
    buffer.WriteFloat(changeScale);
    buffer.WriteInt(reserved);
    buffer.WriteBool(flying);
    buffer.WriteFloat(flyAngle);
    buffer.WriteFloat(flyHeight);
    buffer.WriteFloat(flyDistance);
    buffer.WriteFloat(flyScale);
    buffer.WriteFloat(flyPos.x);
    buffer.WriteFloat(flyPos.y);
    buffer.WriteFloat(flySide);
    buffer.WriteFloat(flySpeed);
    buffer.WriteBool(levelSkull);
}

void Quorb::Load(IOBuffer& buffer)
{
    pos.x = buffer.ReadFloat();
    pos.y = buffer.ReadFloat();
    drawOffset.x = buffer.ReadFloat();
    drawOffset.y = buffer.ReadFloat();
    kind = buffer.ReadInt();
    scale = buffer.ReadFloat();
    swapping = buffer.ReadBool();
    moveMid.x = buffer.ReadFloat();
    moveMid.y = buffer.ReadFloat();
    moveDir.x = buffer.ReadFloat();
    moveDir.y = buffer.ReadFloat();
    moveAngle = buffer.ReadFloat();
    popping = buffer.ReadBool();
    popScale = buffer.ReadFloat();
    popFlash = buffer.ReadFloat();
    falling = buffer.ReadBool();
    fallSpeed = buffer.ReadFloat();
    super = buffer.ReadBool();
    pulsePhase = buffer.ReadFloat();
    age = buffer.ReadInt();
    hitPoints = buffer.ReadInt();
    hitShaking = buffer.ReadBool();
    shakeOffset.x = buffer.ReadFloat();
    shakeOffset.y = buffer.ReadFloat();
    shakeAmplitude = buffer.ReadFloat();
    skull = buffer.ReadBool();
    changeDelay = buffer.ReadInt();
    changing = buffer.ReadBool();
    changeScale = buffer.ReadFloat();
    reserved = buffer.ReadInt();
    flying = buffer.ReadBool();
    flyAngle = buffer.ReadFloat();
    flyHeight = buffer.ReadFloat();
    flyDistance = buffer.ReadFloat();
    flyScale = buffer.ReadFloat();
    flyPos.x = buffer.ReadFloat();
    flyPos.y = buffer.ReadFloat();
    flySide = buffer.ReadFloat();
    flySpeed = buffer.ReadFloat();
    levelSkull = buffer.ReadBool();
    if (flying)
        board->flyingPieces.Add(this);
}

namespace {

constexpr double kAnyFloat = std::numeric_limits<float>::max();
constexpr double kCoordinate = SaveValidator::kMaxCoordinate;
// A fly-in lands at some 2.3 degrees a tick.
constexpr float kMaxFlySpeed = 10.0f;
// Skulls of a lost level start their change a few hundred ticks apart at
// most.
constexpr double kMaxChangeDelay = 10000.0;

// The record's fields in order, each with the values play can give it.
struct FieldRange
{
    char type; // 'f' float, 'i' int32, 'b' bool
    double low;
    double high;
};
constexpr FieldRange kRecordFields[] = {
    {'f', 0.0, kCoordinate},                  // pos.x, inside the grid (below)
    {'f', 0.0, kCoordinate},                  // pos.y
    {'f', -kCoordinate, kCoordinate},         // drawOffset.x
    {'f', -kCoordinate, kCoordinate},         // drawOffset.y
    {'i', 0.0, kPieceKinds - 1},              // kind
    {'f', 0.0, 2.0},                          // scale: 1 + 0.15 at the pulse's top
    {'b', 0.0, 1.0},                          // swapping
    {'f', -kCoordinate, kCoordinate},         // moveMid.x
    {'f', -kCoordinate, kCoordinate},         // moveMid.y
    {'f', -1.0, 1.0},                         // moveDir.x
    {'f', -1.0, 1.0},                         // moveDir.y
    {'f', 0.0, 182.0},                        // moveAngle: 90 to 180 in steps of 2
    {'b', 0.0, 1.0},                          // popping
    {'f', -Quorb::kMaxPopScale, 1.0},         // popScale
    {'f', 0.0, 1.25},                         // popFlash
    {'b', 0.0, 1.0},                          // falling
    {'f', 0.0, kAnyFloat},                    // fallSpeed: a fall at any speed ends at its cell
    {'b', 0.0, 1.0},                          // super
    {'f', -kAnyFloat, kAnyFloat},             // pulsePhase, an angle
    {'i', 0.0, INT32_MAX},                    // age
    {'i', INT32_MIN, INT32_MAX},              // hitPoints
    {'b', 0.0, 1.0},                          // hitShaking
    {'f', -kCoordinate, kCoordinate},         // shakeOffset.x
    {'f', -kCoordinate, kCoordinate},         // shakeOffset.y
    {'f', -1.0, 10.0},                        // shakeAmplitude: 5 down to 0
    {'b', 0.0, 1.0},                          // skull
    {'i', -kMaxChangeDelay, kMaxChangeDelay}, // changeDelay
    {'b', 0.0, 1.0},                          // changing
    {'f', 0.0, 1.0},                          // changeScale
    {'i', INT32_MIN, INT32_MAX},              // reserved
    {'b', 0.0, 1.0},                          // flying
    {'f', 0.0, 180.0 + kMaxFlySpeed},         // flyAngle: 0 up to 180 and a step
    {'f', 0.0, 1000.0},                       // flyHeight
    {'f', -2000.0, 2000.0},                   // flyDistance: from beyond a screen edge
    {'f', 0.0, 4.0},                          // flyScale
    {'f', -kCoordinate, kCoordinate},         // flyPos.x
    {'f', -kCoordinate, kCoordinate},         // flyPos.y
    {'f', -1.0, 1.0},                         // flySide
    {'f', 0.0, 2.0 * kMaxFlySpeed},           // flySpeed
    {'b', 0.0, 1.0},                          // levelSkull
};
constexpr int kSwappingOffset = 24;
constexpr int kMoveAngleOffset = 41;
constexpr int kHitShakingOffset = 72;
constexpr int kShakeAmplitudeOffset = 81;
constexpr int kFlyingOffset = 99;
constexpr int kFlyAngleOffset = 100;
constexpr int kFlySpeedOffset = 128;

template <typename T> T ValueAt(const uint8_t* bytes, int offset)
{
    T value;
    std::memcpy(&value, bytes + offset, sizeof value);
    return value;
}

// An animation ends on the tick its value passes its end, so a piece in one
// holds a value short of that end; a loaded one then ends within the
// ranges above.
bool AnimationsRunning(const uint8_t* bytes)
{
    if (bytes[kSwappingOffset] && ValueAt<float>(bytes, kMoveAngleOffset) >= 180.0f)
        return false;
    if (bytes[kHitShakingOffset] && ValueAt<float>(bytes, kShakeAmplitudeOffset) <= 0.0f)
        return false;
    return !bytes[kFlyingOffset] || (ValueAt<float>(bytes, kFlyAngleOffset) < 180.0f &&
                                     ValueAt<float>(bytes, kFlySpeedOffset) <= kMaxFlySpeed);
}

} // namespace

bool Quorb::IsValidRecord(const uint8_t* bytes, int32_t size, const Board& board)
{
    if (bytes == nullptr || size < kRecordSize)
        return false;
    int offset = 0;
    for (const FieldRange& field : kRecordFields) {
        double value = bytes[offset];
        if (field.type == 'f')
            value = ValueAt<float>(bytes, offset);
        else if (field.type == 'i')
            value = ValueAt<int32_t>(bytes, offset);
        if (std::isnan(value) || value < field.low || value > field.high)
            return false;
        offset += field.type == 'b' ? 1 : 4;
    }
    static_assert(sizeof kRecordFields / sizeof kRecordFields[0] == 40);
    const float x = ValueAt<float>(bytes, 0);
    const float y = ValueAt<float>(bytes, 4);
    return AnimationsRunning(bytes) && x < static_cast<float>(board.gridWidth) * board.cellSize &&
           y < static_cast<float>(board.gridHeight) * board.cellSize;
}
