#pragma once

#include "app/App.h"

#include <cstdint>
#include <string>

// Mouse and key messages sent the whole way: queued as the window procedure
// queues them, then replayed as an update replays them, through the gadget
// tree. Positions are window pixels.
class QueuedInput
{
  public:
    explicit QueuedInput(App& app) : app(app) {}

    void Move(int x, int y);
    void Press(int x, int y);
    void Release(int x, int y);
    void DoubleClick(int x, int y);
    void RightClick(int x, int y);
    // A pointer move there, then a left press and release.
    void Click(int x, int y);
    void KeyDown(uint32_t virtualKey);
    // Characters as the window delivers typed text, byte by byte.
    void Type(const std::string& text);
    void Char(uint32_t character);

  private:
    void Send(uint32_t message, uint32_t wParam, uint32_t lParam);

    App& app;
};
