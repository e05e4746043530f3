#pragma once
// The veil over a paused game; any click or typed key resumes it.

#include "app/Gadget.h"

class QuorbSwapApp;

class PauseOverlay : public Gadget
{
  public:
    explicit PauseOverlay(QuorbSwapApp* app);

    void Resume() override;
    void Draw() override;
    void MouseDown(int x, int y, int button) override;
    void Char(int character) override;

    QuorbSwapApp* app = nullptr;
};
