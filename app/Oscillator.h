#pragma once

#include "app/Object.h"

// Flips a flag every "period" updates (a caret's blink). It lives in the
// application's root set of objects from construction to destruction, so an
// application must exist while one is built.
class Oscillator : public Object
{
  public:
    Oscillator();
    ~Oscillator() override;
    Oscillator(const Oscillator&) = delete;
    Oscillator& operator=(const Oscillator&) = delete;

    void Update() override;

    int count = 0;
    int period = 100;
    bool state = false;
    // Set on every flip; whoever reads it clears it.
    bool changed = false;
};
