// The options menu.
#include "game/OptionsMenu.h"

#include "app/Audio.h"
#include "app/FXImage.h"
#include "app/Graphics.h"
#include "game/QuorbSwapApp.h"

namespace {
constexpr float kPanelX = 134.5f;
constexpr float kPanelY = 40.0f;

struct OptionRow
{
    Button OptionsMenu::*button;
    int x;
    int y;
    int w;
    int h;
};

const OptionRow kOptionRows[] = {
    {&OptionsMenu::fullScreenOnButton, 200, 315, 209, 26},
    {&OptionsMenu::fullScreenOffButton, 200, 343, 209, 26},
    {&OptionsMenu::hardwareOnButton, 200, 390, 287, 26},
    {&OptionsMenu::hardwareOffButton, 200, 418, 287, 26},
};
} // namespace

OptionsMenu::OptionsMenu(QuorbSwapApp* owner) : app(owner)
{
    name = "options menu";
    SetFullScreen();
    doneButton.SetHitRect(231, 468, 336, 75);
    doneButton.SetListener(this, true);
    doneButton.SetClickSound(&app->sndClick);

    FXImage thumb;
    thumb.Create(75, 15, true);
    thumb.Fill(Color(1, 1, 1, 1), true);
    sliderThumb.SetImage(&thumb);
    volumeSlider.SetHitRect(320, 260, 292, 25);
    volumeSlider.SetListener(this, true);
    volumeSlider.thumbSprite = &sliderThumb;
    volumeSlider.thumbWidth = static_cast<float>(sliderThumb.mWidth);
    volumeSlider.thumbHeight = static_cast<float>(sliderThumb.mHeight);
    volumeSlider.value = theAudio.GetSoundVolume();
    // A slider starts hidden.
    volumeSlider.invisible = false;

    for (const OptionRow& row : kOptionRows) {
        Button& button = this->*row.button;
        button.SetHitRect(row.x, row.y, row.w, row.h);
        button.SetListener(this, true);
        button.SetClickSound(&app->sndClick);
    }
    wantHardware = !theGraphics.mSoftware;
}

OptionsMenu::~OptionsMenu()
{
    for (Gadget* control : std::initializer_list<Gadget*>{&doneButton, &volumeSlider, &fullScreenOnButton,
                                                           &fullScreenOffButton, &hardwareOnButton,
                                                           &hardwareOffButton})
        RemoveChild(control);
    // A newer menu may have taken the slot since.
    if (app->optionsMenu == this)
        app->optionsMenu = nullptr;
}

void OptionsMenu::Open(QuorbSwapApp* app)
{
    app->optionsMenu = new OptionsMenu(app);
    app->rootGadgets.Add(app->optionsMenu);
}

bool OptionsMenu::IsSafeMode()
{
    return theGraphics.mSafeModeRequired || theGraphics.mSafeModeRecommended;
}

void OptionsMenu::Close()
{
    Kill();
    if (IsSafeMode() || wantHardware != theGraphics.mSoftware)
        return;
    const bool software = !wantHardware;
    theGraphics.SetPendingMode(software, software ? 640 : 800, software ? 480 : 600);
    app->Restart();
}

void OptionsMenu::Notify(Object* sender)
{
    if (sender == &doneButton)
        Close();
    else if (sender == &volumeSlider)
        theAudio.SetSoundVolume(volumeSlider.value, true);
    else if (sender == &fullScreenOnButton && !theGraphics.mFullscreen)
        theGraphics.SetFullscreen(true);
    else if (sender == &fullScreenOffButton && theGraphics.mFullscreen)
        theGraphics.SetFullscreen(false);
    else if (sender == &hardwareOnButton)
        wantHardware = true;
    else if (sender == &hardwareOffButton)
        wantHardware = false;
}

void OptionsMenu::Draw()
{
    theGraphics.SetColor(0, 0, 0.15f, 0.75f);
    theGraphics.FillRect(0, 0, 800, 600);
    theGraphics.SetColorWhite();
    app->sprOptionsMenu.Draw(kPanelX, kPanelY);
    if (doneButton.down)
        app->sprDoneDown.Draw(doneButton.rect.x, doneButton.rect.y);
    else if (doneButton.hovered)
        app->sprDoneHilite.Draw(doneButton.rect.x, doneButton.rect.y);

    // Only the hovered option's strip of the panel is redrawn, tinted.
    for (const OptionRow& row : kOptionRows) {
        const Button& button = this->*row.button;
        theGraphics.SetClipRect(button.rect.x, button.rect.y, button.rect.w, button.rect.h);
        if (button.hovered) {
            theGraphics.SetColor(0.75f, 0.75f, 1, 1);
            app->sprOptionsMenu.Draw(kPanelX, kPanelY);
        }
    }
    theGraphics.ResetClip();
    theGraphics.SetColorWhite();
    DrawMark(theGraphics.mFullscreen ? fullScreenOnButton : fullScreenOffButton);
    DrawMark(wantHardware ? hardwareOnButton : hardwareOffButton);
}

void OptionsMenu::DrawMark(const Button& chosen)
{
    theGraphics.FillRect(chosen.rect.x + 7, chosen.rect.y + 7, 11, 11);
}
