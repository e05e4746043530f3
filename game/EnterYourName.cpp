// The modal name entry for a new high score.
#include "game/EnterYourName.h"

#include "app/Graphics.h"
#include "app/HighScoreList.h"
#include "game/QuorbSwapApp.h"

EnterYourName::EnterYourName(QuorbSwapApp* app) : app(app)
{
    title.LoadFromBundle(&app->bundleMap, "enteryourname");
    highScoreArt.LoadFromBundle(&app->bundleMap, "yougotahighscore");
    nameBox.SetRect(250, 400, 300, 45);
    nameBox.backgroundColor = Color(0.25f, 0.0f, 0.25f, 1.0f);
    nameBox.textColor = Color(1.0f, 1.0f, 1.0f, 1.0f);
    nameBox.font = &app->fontArialBlack23;
    nameBox.margin = 3;
    nameBox.widthLimitOn = true;
    nameBox.widthLimit = 295;
    nameBox.listener = this;
    AddChild(&nameBox);
    nameBox.TakeKeyFocus();
    SetFullScreen();
}

EnterYourName::~EnterYourName()
{
    RemoveChild(&nameBox);
}

void EnterYourName::Notify(Object* sender)
{
    if (sender != &nameBox)
        return;
    EndModal(0);
    name = nameBox.GetText();
}

void EnterYourName::Draw()
{
    theGraphics.SetColor(0.0f, 0.0f, 0.15f, 0.75f);
    theGraphics.FillRect(0, 0, kScreenWidth, kScreenHeight);
    theGraphics.SetColorWhite();
    title.DrawCentered(400, 300);
    highScoreArt.DrawCentered(625, 150);
}

void EnterYourName::EnterHighScore(QuorbSwapApp* app, HighScoreList& list, int score)
{
    auto* dialog = new EnterYourName(app);
    Gadget::ShowModal(dialog);
    if (!app->IsQuitting() && !dialog->name.IsEmpty()) {
        list.Insert(dialog->name, score);
        // On disk at once: a game killed before it ends would lose it.
        list.Save();
    }
    dialog->Kill();
}
