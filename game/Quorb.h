#pragma once
// One piece on a board, with its animations and its save record.

#include "app/Object.h"
#include "app/Point.h"

#include <cstdint>

class Board;
class IOBuffer;
class QuorbSwapApp;

class Quorb : public Object
{
  public:
    explicit Quorb(Board* board);
    ~Quorb() override;

    void Update() override;
    void Draw() override;
    // The skull of a fly-in on its way (drawn by the board, above the frame).
    void DrawFlying();

    void RandomizeKind();
    bool Contains(float x, float y) const;
    bool IsMatchable() const;
    bool CanMove() const;
    bool IsSameKind(const Quorb* other) const;
    void MoveBy(float dx, float dy);
    void StartFall();
    void Pop();
    void MakeSuper();
    void Hit(int damage);
    void StartChange(int delay);
    void StartFlyIn();
    void Shatter();
    void ExplosionHit();

    void Save(IOBuffer& buffer);
    void Load(IOBuffer& buffer);
    // Bytes of one record written by Save.
    static constexpr int32_t kRecordSize = 133;
    // Whether the record at "bytes" may be loaded onto "board": booleans 0 or
    // 1, finite floats, a piece kind and a position inside the grid.
    static bool IsValidRecord(const uint8_t* bytes, int32_t size, const Board& board);

    QuorbSwapApp* app = nullptr;
    Board* board = nullptr;
    Point pos;        // cell centre in grid coordinates
    Point drawOffset; // while a swap or a fall runs
    int32_t kind = 0;
    float scale = 1.0f;
    bool swapping = false;
    Point moveMid;
    Point moveDir;
    float moveAngle = 0.0f;
    bool popping = false;
    float popScale = 0.0f;
    float popFlash = 0.0f;
    bool falling = false;
    float fallSpeed = 0.0f;
    bool super = false;
    float pulsePhase = 0.0f;
    int32_t age = 0;
    int32_t animPhase = 0;
    int32_t hitPoints = 2;
    bool hitShaking = false;
    Point shakeOffset;
    float shakeAmplitude = 0.0f;
    bool skull = false;
    int32_t changeDelay = 0;
    bool changing = false;
    float changeScale = 1.0f;
    int32_t changeTicks = 0;
    int32_t reserved = 0;
    bool flying = false;
    float flyAngle = 0.0f;
    float flyHeight = 0.0f;
    float flyDistance = 0.0f;
    float flyScale = 0.0f;
    Point flyPos;
    float flySide = 0.0f;
    float flySpeed = 0.0f;
    bool levelSkull = false;
    int32_t blinkTimer = 0;
    // Animations of this piece that raised the board's movingCount.
    int32_t pendingMoves = 0;
    // Ticks of the running pop; a pop that has not ended by itself after
    // kMaxPopTicks is finished.
    int32_t popTicks = 0;
    static constexpr int32_t kMaxPopTicks = 200;
    // Far beyond what kMaxPopTicks lets a backward pop reach.
    static constexpr float kMaxPopScale = 1e15f;

  private:
    void StartAnimation();
    void EndAnimation();
    void ThrowChips();
    bool IsGameOver() const;
};
