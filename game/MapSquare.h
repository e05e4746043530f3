#pragma once
// One journey map square; its 44 bytes are saved unchanged.

#include <cstdint>

struct MapSquare {
    uint8_t isGoal = 0;
    uint8_t isStart = 0;
    uint8_t locked = 1;
    uint8_t won = 0;
    float scaleX = 1.0f; // flip animation, 1 at rest
    float scaleY = 1.0f;
    int32_t type = 0; // LevelType 0..7, kJigsawSquare or kBonusSquare
    float difficulty = 0.0f;
    float color[4] = {1.0f, 1.0f, 1.0f, 1.0f}; // tint while locked
    int32_t item = 0;  // jigsaw picture, or PowerKind of a bonus square
    int32_t piece = 0; // jigsaw piece within its picture
};
static_assert(sizeof(MapSquare) == 44);
