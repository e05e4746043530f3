// The difficulty picker.
#include "game/PickDiff.h"

#include "app/Graphics.h"
#include "game/QuorbSwapApp.h"

PickDiff::PickDiff() : app(theQuorbSwapApp)
{
    name = "difficulty picker";
    SetFullScreen();
    SpriteBundle* bundle = &app->bundleMainMenu;
    title.LoadFromBundle(bundle, "choosedifficulty");
    childArt.LoadFromBundle(bundle, "child");
    normalArt.LoadFromBundle(bundle, "normal");
    hardArt.LoadFromBundle(bundle, "hard");
    childButton.SetHitSprite(static_cast<int>(kChildCorner.x), static_cast<int>(kChildCorner.y), &childArt);
    normalButton.SetHitSprite(static_cast<int>(kNormalCorner.x), static_cast<int>(kNormalCorner.y), &normalArt);
    hardButton.SetHitSprite(static_cast<int>(kHardCorner.x), static_cast<int>(kHardCorner.y), &hardArt);
    for (Button* button : {&childButton, &normalButton, &hardButton}) {
        button->SetListener(this, true);
        button->SetHoverSound(&app->sndHilite);
        button->SetClickSound(&app->sndClick);
    }
    // The art itself swings enlarged when hovered.
    swinging.Add(&childButton, &childArt, &childArt);
    swinging.Add(&normalButton, &normalArt, &normalArt);
    swinging.Add(&hardButton, &hardArt, &hardArt);
}

PickDiff::~PickDiff()
{
    for (Button* button : {&childButton, &normalButton, &hardButton})
        RemoveChild(button);
}

int PickDiff::Run()
{
    app->rootGadgets.Add(this);
    const int result = RunModal();
    app->rootGadgets.Remove(this);
    return result;
}

void PickDiff::Notify(Object* sender)
{
    if (sender == &hardButton)
        EndModal(static_cast<int>(Difficulty::Hard));
    else if (sender == &childButton)
        EndModal(static_cast<int>(Difficulty::Child));
    else
        EndModal(static_cast<int>(Difficulty::Normal));
}

void PickDiff::Draw()
{
    theGraphics.SetColor(0, 0, 0.15f, 0.75f);
    theGraphics.FillRect(0, 0, 800, 600);
    theGraphics.SetColorWhite();
    title.DrawCentered(kTitleCentre.x, kTitleCentre.y);
    swinging.Draw(1.25f);
}
