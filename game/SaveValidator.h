#pragma once
// Reads a whole saved game without building anything and tells whether it
// can be loaded: loading constructs boards, overlays and pieces that play
// sounds and start animations, so a damaged file must be refused first.

#include "game/GameTypes.h"

#include <cstdint>

class IOBuffer;

class SaveValidator
{
  public:
    // Far beyond any board or screen coordinate, small enough that drawing
    // code may turn it into an integer.
    static constexpr float kMaxCoordinate = 100000.0f;

    // Reads from the buffer's cursor on.
    explicit SaveValidator(IOBuffer& buffer);

    // The whole file: version 2, the session, the map, the boards and the
    // child flags, with no byte left over.
    bool IsValidGame(GameMode mode);

  private:
    // Returns the board's level type, or -1 for a damaged record or one
    // holding an overlay the mode never shows.
    int32_t CheckBoard(GameMode mode);
    void CheckMeter();
    void CheckWinOverlay();
    void CheckLoseOverlay();
    void CheckLevelupOverlay();
    void CheckPieces(int32_t count, int32_t width, int32_t height, float cellSize);

    int32_t Int();
    int32_t Int(int32_t low, int32_t high);
    float Float();
    float Float(float low, float high);
    bool Bool();
    // Marks the file damaged unless the condition holds; whether it still
    // reads as sound.
    bool Expect(bool condition);
    void Skip(int64_t count);
    void CheckString();
    int64_t BytesLeft() const;
    uint8_t NextByte() const;

    IOBuffer& buffer;
    bool ok = true;
    int32_t level = 1; // the session's, read before the boards
};
