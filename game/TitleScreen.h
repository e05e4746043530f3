#pragma once
// The first screen: title picture, loading bar, spinning arrows and, once
// loading has ended, the click-to-play button.

#include "app/Button.h"
#include "app/Gadget.h"
#include "app/Sprite.h"
#include "app/SpriteStrip.h"

class QuorbSwapApp;

class TitleScreen : public Gadget
{
  public:
    explicit TitleScreen(QuorbSwapApp* app);
    ~TitleScreen() override;

    void Update() override;
    void Draw() override;
    void Notify(Object* sender) override;

    void OnLoadComplete();
    // Share of the loading done, 0..1.
    float LoadFraction() const;

    QuorbSwapApp* app = nullptr;
    Sprite title;
    Sprite barFilled;
    Sprite barEmpty;
    Sprite arrows;
    SpriteStrip playArt; // normal, hover, pressed
    float spinAngle = 0.0f;
    float spinSpeed = 0.01f;
    Button playButton; // drawn by the screen
};
