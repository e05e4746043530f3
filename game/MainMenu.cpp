// The main menu: hit circles, wobble, shadowed labels and the button actions.
#include "game/MainMenu.h"

#include "app/Graphics.h"
#include "app/Random.h"
#include "game/GamePicker.h"
#include "game/OptionsMenu.h"
#include "game/ProfileManagerDialog.h"
#include "game/QuorbSwapApp.h"
#include "game/Transition.h"

#include <cmath>
#include <numbers>

namespace {
struct RoundButton
{
    Button MainMenu::*button;
    Sprite (MainMenu::*art)[2];
    float cx;
    float cy;
    float radius;
};

// In drawing order: high scores, new game, resume, options, exit.
constexpr RoundButton kRoundButtons[] = {
    {&MainMenu::highScoresButton, &MainMenu::highScoresArt, 84, 521, 81},
    {&MainMenu::newGameButton, &MainMenu::newGameArt, 295, 512, 92},
    {&MainMenu::resumeButton, &MainMenu::resumeArt, 516, 509, 94},
    {&MainMenu::optionsButton, &MainMenu::optionsArt, 715, 525, 81},
    {&MainMenu::exitButton, &MainMenu::exitArt, 774, 37, 52},
};

float SinDegrees(float degrees)
{
    return std::sin(degrees * std::numbers::pi_v<float> / 180.0f);
}
} // namespace

MainMenu::MainMenu(QuorbSwapApp* owner) : app(owner)
{
    name = "main menu";
    SetFullScreen();
    background.EnableFastBlit();
    LoadArt();
    for (const RoundButton& round : kRoundButtons) {
        Button& button = this->*round.button;
        button.SetHitCircle(round.cx, round.cy, round.radius);
        button.SetListener(this, true);
        button.SetHoverSound(&app->sndHilite);
        button.SetClickSound(&app->sndClick);
    }
    const int w = changeUser.mWidth;
    const int h = changeUser.mHeight;
    changeUserButton.SetHitRect(416 - w / 2, 390 - h / 2, w + 10, h + 10);
    changeUserButton.SetListener(this, true);
    changeUserButton.SetClickSound(&app->sndClick);
    wobbleAngle = theRandom->GetFloatScaled(360.0f);
}

MainMenu::~MainMenu()
{
    // The buttons are members: take them out of the child list before they go.
    for (Button* button : {&highScoresButton, &exitButton, &newGameButton, &resumeButton, &optionsButton,
                           &changeUserButton})
        RemoveChild(button);
}

void MainMenu::LoadArt()
{
    SpriteBundle* bundle = &app->bundleMainMenu;
    background.LoadFromBundle(bundle, "background");
    exitArt[0].LoadFromBundle(bundle, "exit");
    exitArt[1].LoadFromBundle(bundle, "exit_hilite");
    highScoresArt[0].LoadFromBundle(bundle, "highscores");
    highScoresArt[1].LoadFromBundle(bundle, "highscores_hilite");
    newGameArt[0].LoadFromBundle(bundle, "newgame");
    newGameArt[1].LoadFromBundle(bundle, "newgame_hilite");
    resumeArt[0].LoadFromBundle(bundle, "resumegame");
    resumeArt[1].LoadFromBundle(bundle, "resumegame_hilite");
    optionsArt[0].LoadFromBundle(bundle, "options");
    optionsArt[1].LoadFromBundle(bundle, "options_hilite");
    welcomeBack.LoadFromBundle(bundle, "welcomeback");
    changeUser.LoadFromBundle(bundle, "changeuser");
}

void MainMenu::Update()
{
    wobbleAngle += 1.25f;
    if (wobbleAngle >= 360.0f)
        wobbleAngle -= 360.0f;
    // Resting on the background: the next button hovered starts upright.
    if (hovered)
        wobbleAngle = 0.0f;
}

void MainMenu::Draw()
{
    theGraphics.SetColorWhite();
    background.Draw(0, 0);

    theGraphics.SetColor(0, 0, 0, 1);
    theGraphics.PushTranslation();
    theGraphics.mTranslation.y += 5.0f;
    DrawLabels();
    theGraphics.PopTranslation();
    theGraphics.SetColorWhite();
    DrawLabels();

    if (changeUserButton.hovered)
        theGraphics.SetColor(changeUserButton.down ? Color(0, 1, 0, 1) : Color(1, 1, 0, 1));
    changeUser.Draw(changeUserButton.rect.x + 5, changeUserButton.rect.y + 5);
    theGraphics.SetColorWhite();

    for (const RoundButton& round : kRoundButtons) {
        Button& button = this->*round.button;
        DrawRoundButton(button, this->*round.art, &button == &highScoresButton ? 0.1f : 0.25f);
    }
}

void MainMenu::DrawLabels()
{
    welcomeBack.DrawCentered(kWelcomeCentre.x, kWelcomeCentre.y);
    app->fontArialBlack23.DrawCentered(app->profiles.GetCurrentName(), 421, 340);
    changeUser.Draw(changeUserButton.rect.x + 5, changeUserButton.rect.y + 5);
}

void MainMenu::DrawRoundButton(Button& button, Sprite* art, float glowAlpha)
{
    const float cx = button.rect.x + button.rect.w * 0.5f;
    const float cy = button.rect.y + button.rect.h * 0.5f;
    if (!button.hovered) {
        art[0].DrawCentered(cx, cy);
        return;
    }
    const float angle = 10.0f * SinDegrees(wobbleAngle);
    theGraphics.PushTranslation();
    if (button.down)
        theGraphics.mTranslation.y += 10.0f;
    art[1].DrawRotated(cx, cy, angle, 1.0f);
    if (button.down) {
        theGraphics.SetColorFill(true);
        theGraphics.SetWhiteAlpha(glowAlpha);
        theGraphics.SetAdditive(true);
        art[1].DrawRotated(cx, cy, angle, 1.0f);
        theGraphics.SetAdditive(false);
        theGraphics.SetColorFill(false);
        theGraphics.SetColorWhite();
    }
    theGraphics.PopTranslation();
}

void MainMenu::Notify(Object* sender)
{
    // A switch under way closes this screen at its midpoint; a dialog opened
    // now would return into a deleted menu.
    if (app->transition != nullptr && app->transition->growing)
        return;
    if (sender == &exitButton) {
        app->Quit();
    } else if (sender == &changeUserButton) {
        ProfileManagerDialog dialog(&app->profiles);
    } else if (sender == &newGameButton) {
        PlayPicked(true);
    } else if (sender == &resumeButton) {
        PlayPicked(false);
    } else if (sender == &highScoresButton) {
        app->GoToPuzzler(true);
    } else if (sender == &optionsButton) {
        OptionsMenu::Open(app);
    }
}

void MainMenu::PlayPicked(bool newGame)
{
    int mode;
    {
        GamePicker picker(app, newGame);
        mode = picker.Run();
    }
    app->gameMode = static_cast<GameMode>(mode);
    if (mode < 0)
        return;
    app->resumeGame = !newGame;
    app->GoToGame(true);
}
