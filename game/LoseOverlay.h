#pragma once
// The lost level: the reason and a prompt to click.

#include "app/Gadget.h"
#include "game/GameTypes.h"

class Board;
class IOBuffer;
class QuorbSwapApp;
class Sprite;

class LoseOverlay : public Gadget
{
  public:
    LoseOverlay(Board* board, LoseReason reason);
    ~LoseOverlay() override;

    void Update() override;
    void Draw() override;
    void MouseDown(int x, int y, int button) override;

    void Save(IOBuffer& buffer);
    void Load(IOBuffer& buffer);

    Board* board = nullptr;
    QuorbSwapApp* app = nullptr;
    Sprite* reasonSprite = nullptr; // chosen on the first draw
    float flashAlpha = 1.0f;
    float slide = 800.0f;
    LoseReason reason = LoseReason::MeterDrained;
    float promptAlpha = 0.0f;
    float promptOffset = 100.0f;

  private:
    void DrawPrompt();
    float PromptCentreX() const;
};
