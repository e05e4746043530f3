#pragma once
// The options screen over the main menu or the game: sound volume, full
// screen or window, and the renderer used after a restart.

#include "app/Button.h"
#include "app/Gadget.h"
#include "app/Slider.h"
#include "app/Sprite.h"

class QuorbSwapApp;

class OptionsMenu : public Gadget
{
  public:
    explicit OptionsMenu(QuorbSwapApp* app);
    ~OptionsMenu() override;

    // Builds a menu, keeps it in the application's slot and puts it on top.
    static void Open(QuorbSwapApp* app);

    void Draw() override;
    void Notify(Object* sender) override;

    QuorbSwapApp* app = nullptr;
    Button doneButton;
    Slider volumeSlider;
    Sprite sliderThumb;
    Button fullScreenOnButton;
    Button fullScreenOffButton;
    Button hardwareOnButton;
    Button hardwareOffButton;
    bool wantHardware = true; // the renderer chosen here

  private:
    void Close();
    static bool IsSafeMode();
    static void DrawMark(const Button& chosen);
};
