#pragma once
// The modal chooser of a new journey's difficulty: child, normal or hard.

#include "app/Button.h"
#include "app/Gadget.h"
#include "app/Sprite.h"
#include "game/SwingingButtons.h"

class QuorbSwapApp;

class PickDiff : public Gadget
{
  public:
    PickDiff();
    ~PickDiff() override;

    // Shows the chooser until a choice; the Difficulty value chosen. The
    // chooser is left in no manager.
    int Run();
    void Draw() override;
    void Notify(Object* sender) override;

    QuorbSwapApp* app = nullptr;
    Button childButton;
    Button normalButton;
    Button hardButton;
    Sprite title;
    Sprite childArt;
    Sprite normalArt;
    Sprite hardArt;

  private:
    SwingingButtons swinging;
};
