#pragma once
// The won journey level: banner and quick statistics; a click goes on.

#include "app/Gadget.h"
#include "app/String.h"

#include <cstdint>

class Board;
class IOBuffer;
class QuorbSwapApp;

class WinOverlay : public Gadget
{
  public:
    explicit WinOverlay(Board* board);
    ~WinOverlay() override;

    void Update() override;
    void Draw() override;
    void MouseDown(int x, int y, int button) override;

    void Save(IOBuffer& buffer);
    void Load(IOBuffer& buffer);

    Board* board = nullptr;
    QuorbSwapApp* app = nullptr;
    int32_t state = 0;
    int32_t holdCounter = 0;
    float rotation = 0.0f;
    float scale = 0.0f;
    float panelOffset = 0.0f;
    String timeText;
    String matchedText;
    String scoreText;
    bool taken = false; // clicked: the win is paid (not saved)
};
