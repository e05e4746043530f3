#pragma once
// "Ready" and "Go" at the start of a level; holds the board until done.

#include "app/Gadget.h"

#include <cstdint>

class Board;
class QuorbSwapApp;

class ReadyOverlay : public Gadget
{
  public:
    explicit ReadyOverlay(Board* board);
    ~ReadyOverlay() override;

    void Update() override;
    void Draw() override;

    Board* board = nullptr; // cleared by the board when it goes
    QuorbSwapApp* app = nullptr;
    int32_t state = 0;
    float phase = 0.0f;
    int32_t timer = 0;
    float spin = 0.0f;
    float spinSpeed = 0.0f;
    float alpha = 1.0f;
};
