#pragma once
// Reads a whole saved game without building anything and tells whether it
// can be loaded: loading constructs boards, overlays and pieces that play
// sounds and start animations, so a damaged file must be refused first.

#include "game/GameTypes.h"

#include <cstdint>

class SaveValidator
{
  public:
    SaveValidator(const uint8_t* data, int32_t size);

    // The whole file: version 2, the session, the map, the boards and the
    // child flags, with no byte left over.
    bool IsValidGame(GameMode mode);

  private:
    bool CheckMap();
    // Returns the board's level type, or -1 for a damaged record.
    int32_t CheckBoard();
    void CheckWinOverlay();
    void CheckLoseOverlay();
    void CheckLevelupOverlay();
    void CheckPiece(float gridWidth, float gridHeight);

    int32_t Int();
    int32_t Int(int32_t low, int32_t high);
    float Float();
    float Float(float low, float high);
    bool Bool();
    void Skip(int64_t count);
    void CheckString();
    int64_t BytesLeft() const { return size - cursor; }

    const uint8_t* data;
    int64_t size;
    int64_t cursor = 0;
    bool ok = true;
};
