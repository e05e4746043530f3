// The game's modal message and question box.
#include "game/InfoDialog.h"

#include "app/Graphics.h"
#include "game/DialogButton.h"
#include "game/QuorbSwapApp.h"

InfoDialog::InfoDialog(InfoDialogKind kind, const String& newCaption, const String& newText)
{
    QuorbSwapApp* app = theQuorbSwapApp;
    if (app == nullptr || app->IsQuitting())
        return;
    panel.LoadFromBundle(&app->bundleProfiles, "infobox");
    yesArt.LoadFromBundle(&app->bundleProfiles, "yes", 3);
    noArt.LoadFromBundle(&app->bundleProfiles, "no", 3);
    okArt.LoadFromBundle(&app->bundleProfiles, "ok", 3);
    SetFullScreen();
    LoadFont(font);
    answer = 1;
    if (kind == InfoDialogKind::Message)
        RunMessage(newCaption, newText);
    else if (kind == InfoDialogKind::Question)
        RunQuestion(newCaption, newText);
    else
        answer = 0;
    if (app->IsQuitting())
        answer = 0;
}

void InfoDialog::LoadFont(Font& font)
{
    font.Load("Fonts\\ArialBlack23");
    font.AddSpacing(0, -12);
}

// Member buttons leave the child list before they are destroyed.
InfoDialog::~InfoDialog()
{
    RemoveChild(&okButton);
    RemoveChild(&yesButton);
    RemoveChild(&noButton);
}

int InfoDialog::Show(const String& newCaption, const String& newText)
{
    caption = newCaption;
    text = newText;
    lines = font.WrapText(newText, kWrapWidth);
    return DialogButton::RunModal(this);
}

void InfoDialog::RunMessage(const String& newCaption, const String& newText)
{
    DialogButton::Setup(okButton, this, okArt, 400 - DialogButton::Width(okArt) / 2, kButtonY);
    Show(newCaption, newText);
}

bool InfoDialog::RunQuestion(const String& newCaption, const String& newText)
{
    DialogButton::Setup(yesButton, this, yesArt, int(400 - 1.25 * DialogButton::Width(yesArt)), kButtonY);
    DialogButton::Setup(noButton, this, noArt, 400 + DialogButton::Width(noArt) / 4, kButtonY);
    answer = Show(newCaption, newText);
    return answer == 1;
}

void InfoDialog::Notify(Object* sender)
{
    if (sender == &okButton || sender == &yesButton)
        EndModal(1);
    else if (sender == &noButton)
        EndModal(0);
}

void InfoDialog::Draw()
{
    theGraphics.SetColor(0.0f, 0.0f, 0.0f, 0.75f);
    theGraphics.FillRect(0, 0, kScreenWidth, kScreenHeight);
    theGraphics.SetColorWhite();
    panel.DrawCentered(400, 300);
    font.Draw(lines, kTextLeft, kTextTop);
    struct Part
    {
        Button& button;
        SpriteStrip& art;
    };
    Part parts[] = {{okButton, okArt}, {yesButton, yesArt}, {noButton, noArt}};
    for (Part& part : parts)
        if (part.button.rect.y > 0)
            DialogButton::Draw(part.button, part.art,
                               Color(1.0f, 1.0f, 1.0f, part.button.disabled ? 0.5f : 1.0f));
}
