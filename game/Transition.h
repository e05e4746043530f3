#pragma once
// A piece that spins and grows over the screen, switches the screens under
// a white flash and shrinks away.

#include "app/Object.h"
#include "game/GameTypes.h"

#include <cstdint>

class QuorbSwapApp;

class Transition : public Object
{
  public:
    Transition(QuorbSwapApp* app, TransitionTarget target);
    ~Transition() override;

    void Update() override;
    void Draw() override;
    void SwitchScreen();

    QuorbSwapApp* app = nullptr;
    int32_t kind = 0; // piece art 0..7, 8 for the skull
    TransitionTarget target = TransitionTarget::MainMenu;
    float scale = 0.0f;
    bool growing = true;
    float angle = 0.0f;
    float spin = 0.0f; // degrees per update; the sign is the direction
    float flash = 0.0f;
};
