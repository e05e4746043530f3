#pragma once
// The screen after the title and the one every game returns to: five round
// buttons that wobble under the pointer and a change-user button.

#include "app/Button.h"
#include "app/Gadget.h"
#include "app/Point.h"
#include "app/Sprite.h"

class QuorbSwapApp;

class MainMenu : public Gadget
{
  public:
    // The centre of the welcome, written on the plaque the background
    // carries, above the player's name.
    static constexpr Point kWelcomeCentre{421, 328};

    explicit MainMenu(QuorbSwapApp* app);
    ~MainMenu() override;

    void Update() override;
    void Draw() override;
    void Notify(Object* sender) override;

    QuorbSwapApp* app = nullptr;
    Sprite background;
    // Normal and highlighted art of each round button.
    Sprite exitArt[2];
    Sprite highScoresArt[2];
    Sprite newGameArt[2];
    Sprite resumeArt[2];
    Sprite optionsArt[2];
    Sprite welcomeBack;
    Sprite changeUser;
    Button highScoresButton;
    Button exitButton;
    Button newGameButton;
    Button resumeButton;
    Button optionsButton;
    Button changeUserButton;
    float wobbleAngle = 0.0f; // degrees, 0..360

  private:
    void LoadArt();
    void DrawLabels();
    void DrawRoundButton(Button& button, Sprite* art, float glowAlpha);
    void PlayPicked(bool newGame);
};
