// The game picker: mode buttons, the replace questions and the resume check.
#include "game/GamePicker.h"

#include "app/Graphics.h"
#include "game/InfoDialog.h"
#include "game/PickDiff.h"
#include "game/QuorbSwapApp.h"

#include <algorithm>

namespace {
struct ModeButton
{
    Button GamePicker::*button;
    Sprite GamePicker::*art;
    Sprite GamePicker::*caption;
    const char* artName;
    const char* captionName;
    GamePicker::ModePlace place;
    const char* saveName;
    const char* replaceQuestion;
};

// In GameMode order: journey, casual, speed.
const ModeButton kModeButtons[] = {
    {&GamePicker::journeyButton, &GamePicker::journeyArt, &GamePicker::journeyCaption, "ChooseJourney", "journeycaption",
     GamePicker::kModePlaces[0], "journey.sav", "A saved Journey exists.  Really erase it and start a new one?"},
    {&GamePicker::casualButton, &GamePicker::casualArt, &GamePicker::casualCaption, "ChooseNormal", "casualcaption",
     GamePicker::kModePlaces[1], "casual.sav", "A saved Casual Game exists.  Really erase it and start a new one?"},
    {&GamePicker::speedButton, &GamePicker::speedArt, &GamePicker::speedCaption, "ChooseSpeed", "speedcaption",
     GamePicker::kModePlaces[2], "speed.sav", "A saved Speed Game exists.  Really erase it and start a new one?"},
};
} // namespace

GamePicker::GamePicker(QuorbSwapApp* owner, bool isNewGame) : app(owner), newGame(isNewGame)
{
    name = "game picker";
    SetFullScreen();
    SpriteBundle* bundle = &app->bundleMainMenu;
    background.LoadFromBundle(bundle, "ChooserBKG");
    heading.LoadFromBundle(bundle, newGame ? "ChooseAGame" : "ChooseAGame2");
    for (const ModeButton& mode : kModeButtons) {
        (this->*mode.art).LoadFromBundle(bundle, mode.artName);
        (this->*mode.caption).LoadFromBundle(bundle, mode.captionName);
    }
    exitArt[0].LoadFromBundle(bundle, "exit");
    exitArt[1].LoadFromBundle(bundle, "exit_hilite");

    for (const ModeButton& mode : kModeButtons)
        (this->*mode.button)
            .SetHitSprite(static_cast<int>(mode.place.button.x), static_cast<int>(mode.place.button.y),
                          &(this->*mode.art));
    exitButton.SetHitSprite(613, 373, &exitArt[0]);
    for (Button* button : {&journeyButton, &casualButton, &speedButton, &exitButton}) {
        button->SetListener(this, true);
        button->SetClickSound(&app->sndClick);
        button->SetHoverSound(&app->sndHilite);
    }

    if (!newGame) {
        for (const ModeButton& mode : kModeButtons) {
            String told;
            if (FindSave(mode.saveName, told) == Platform::Files::Presence::Readable)
                continue;
            // A folder of saves that cannot be opened is told once.
            if (!told.IsEmpty() && std::find(unreadable.begin(), unreadable.end(), told) == unreadable.end())
                unreadable.push_back(told);
            Button& button = this->*mode.button;
            button.CoreMouseExit();
            button.disabled = true;
        }
    }
}

GamePicker::~GamePicker()
{
    for (Button* button : {&journeyButton, &casualButton, &speedButton, &exitButton})
        RemoveChild(button);
}

Platform::Files::Presence GamePicker::FindSave(const char* saveName, String& told)
{
    return app->fileNotices.Find(app->profiles.GetProfilePath(saveName), told);
}

// Saves that cannot be read are told before the picker, whose buttons of
// them are disabled; only when none is there at all are there none to
// resume.
int GamePicker::Run()
{
    for (const String& told : unreadable)
        InfoDialog message(InfoDialogKind::Message, "", told);
    if (!newGame && journeyButton.disabled && casualButton.disabled && speedButton.disabled) {
        if (unreadable.empty())
            InfoDialog message(InfoDialogKind::Message, "", "You don't have any saved games to resume!");
        return -1;
    }
    app->rootGadgets.Add(this);
    const int result = RunModal();
    app->rootGadgets.Remove(this);
    // A loop ended by a kill or a quit, also one inside a nested dialog, is
    // no choice.
    if (killed || app->quit)
        return -1;
    return result;
}

// A new game beside a save that cannot be read goes ahead: the save was
// told and is left as it is.
bool GamePicker::MayReplace(const char* saveName, const char* question)
{
    String told;
    const Platform::Files::Presence presence = FindSave(saveName, told);
    if (!told.IsEmpty())
        InfoDialog message(InfoDialogKind::Message, "", told);
    if (presence != Platform::Files::Presence::Readable)
        return true;
    InfoDialog ask(InfoDialogKind::Question, "", question);
    return ask.answer == 1;
}

void GamePicker::Notify(Object* sender)
{
    app->difficulty = Difficulty::Normal;
    if (sender == &exitButton) {
        EndModal(-1);
        return;
    }
    for (int mode = 0; mode < 3; ++mode) {
        const ModeButton& entry = kModeButtons[mode];
        if (sender != &(this->*entry.button))
            continue;
        if (newGame && !MayReplace(entry.saveName, entry.replaceQuestion))
            return;
        if (newGame && mode == static_cast<int>(GameMode::Journey)) {
            PickDiff chooser;
            app->difficulty = static_cast<Difficulty>(chooser.Run());
        }
        EndModal(mode);
        return;
    }
}

void GamePicker::Draw()
{
    theGraphics.SetColor(0, 0, 0, 0.75f);
    theGraphics.FillRect(0, 0, 800, 600);
    theGraphics.SetColorWhite();
    background.DrawCentered(400, 300);
    heading.DrawCentered(kHeadingCentre.x, kHeadingCentre.y);
    for (const ModeButton& mode : kModeButtons)
        DrawModeButton(this->*mode.button, this->*mode.art);
    const Rect& exit = exitButton.rect;
    exitArt[exitButton.hovered ? 1 : 0].DrawCentered(exit.x + exit.w * 0.5f, exit.y + exit.h * 0.5f);
    for (const ModeButton& mode : kModeButtons) {
        if ((this->*mode.button).hovered)
            (this->*mode.caption).Draw(mode.place.caption.x, mode.place.caption.y);
    }
}

void GamePicker::DrawModeButton(Button& button, Sprite& art)
{
    if (button.disabled)
        theGraphics.SetColor(0.25f, 0.25f, 0.25f, 1);
    const float cx = button.rect.x + button.rect.w * 0.5f;
    const float cy = button.rect.y + button.rect.h * 0.5f + (button.down ? 5.0f : 0.0f);
    art.DrawScaled(cx, cy, button.hovered ? 1.05f : 1.0f);
    theGraphics.SetColorWhite();
}
