#pragma once
// The modal chooser of a new journey's difficulty: child, normal or hard.

#include "app/Button.h"
#include "app/Gadget.h"
#include "app/Point.h"
#include "app/Sprite.h"
#include "game/SwingingButtons.h"

class QuorbSwapApp;

class PickDiff : public Gadget
{
  public:
    // Where the chooser draws: the title's centre and the buttons' top-left
    // corners. Normal stands low enough that, swinging enlarged, it leaves
    // the title whole.
    static constexpr Point kTitleCentre{405, 305};
    static constexpr Point kChildCorner{270, 184};
    static constexpr Point kNormalCorner{400, 184};
    static constexpr Point kHardCorner{320, 320};

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
