// The in-game popup menu.
#include "game/PopupMenu.h"

#include "app/Graphics.h"
#include "game/Game.h"
#include "game/InfoDialog.h"
#include "game/Map.h"
#include "game/OptionsMenu.h"
#include "game/QuorbSwapApp.h"
#include "game/Transition.h"

namespace {
struct Placement
{
    Button PopupMenu::*button;
    Sprite (PopupMenu::*art)[2];
    int journeyX;
    int journeyY;
    int shortX;
    int shortY;
};

const Placement kPlacements[] = {
    {&PopupMenu::backToGameButton, &PopupMenu::backToGameArt, 275, 122, 270, 122},
    {&PopupMenu::optionsButton, &PopupMenu::optionsArt, 325, 380, 225, 360},
    // Off screen in the short layout: there is no map to go back to.
    {&PopupMenu::backToMapButton, &PopupMenu::backToMapArt, 117, 290, -9999, -9999},
    {&PopupMenu::backToMenuButton, &PopupMenu::backToMenuArt, 496, 290, 421, 340},
};
} // namespace

PopupMenu::PopupMenu(Game* owner) : game(owner), app(owner->application)
{
    name = "popup menu";
    game->Pause();
    SetFullScreen();
    LoadArt();
    const bool journey = IsJourneyLevel();
    for (const Placement& place : kPlacements) {
        Button& button = this->*place.button;
        button.SetListener(this, true);
        button.SetHoverSound(&app->sndHilite);
        button.SetClickSound(&app->sndClick);
        Sprite* art = this->*place.art;
        button.SetHitSprite(journey ? place.journeyX : place.shortX, journey ? place.journeyY : place.shortY, &art[0]);
    }
    swinging.Add(&optionsButton, &optionsArt[0], &optionsArt[1]);
    swinging.Add(&backToMapButton, &backToMapArt[0], &backToMapArt[1]);
    swinging.Add(&backToMenuButton, &backToMenuArt[0], &backToMenuArt[1]);
    swinging.Add(&backToGameButton, &backToGameArt[0], &backToGameArt[1]);
}

PopupMenu::~PopupMenu()
{
    for (Button* button : {&optionsButton, &backToMapButton, &backToMenuButton, &backToGameButton})
        RemoveChild(button);
    if (app->game != nullptr)
        app->game->Resume();
    if (app->popupMenu == this)
        app->popupMenu = nullptr;
}

void PopupMenu::LoadArt()
{
    SpriteBundle* bundle = &app->bundlePopupMenu;
    backToGameArt[0].LoadFromBundle(bundle, "BackToGame1");
    backToGameArt[1].LoadFromBundle(bundle, "BackToGame2");
    backToMapArt[0].LoadFromBundle(bundle, "BackToMap1");
    backToMapArt[1].LoadFromBundle(bundle, "BackToMap2");
    optionsArt[0].LoadFromBundle(bundle, "Options1");
    optionsArt[1].LoadFromBundle(bundle, "Options2");
    backToMenuArt[0].LoadFromBundle(bundle, "BackToMenu1");
    backToMenuArt[1].LoadFromBundle(bundle, "BackToMenu2");
    blot.LoadFromBundle(bundle, "BackgroundBlot");
}

// A journey level is being played: the game has a map that is not shown.
bool PopupMenu::IsJourneyLevel() const
{
    if (game->map == nullptr)
        return false;
    return game->children == nullptr || game->children->live.IndexOf(game->map) < 0;
}

void PopupMenu::Notify(Object* sender)
{
    // A switch under way closes this menu at its midpoint; a dialog opened
    // now would return into a deleted menu.
    if (app->transition != nullptr && app->transition->growing)
        return;
    if (sender == &backToGameButton) {
        Kill();
    } else if (sender == &backToMenuButton) {
        // Written now as well as when the game goes, so that a save that
        // cannot be written (a read-only data folder) is told, not promised.
        String text = "Your game will be saved so you can resume it later.";
        if (!game->Save()) {
            // A save from before, if any, stays whole: it is where a resume
            // would start.
            const String reason = app->fileNotices.TakeReason(game->GetSavePath());
            text = String::StringFormat("Your game could not be saved%s%s. It cannot be resumed later from where "
                                        "you leave it.",
                                        reason.IsEmpty() ? "" : ": ", reason.CStr());
        }
        InfoDialog message(InfoDialogKind::Message, "", text);
        if (message.answer == 1)
            app->GoToMainMenu(true);
    } else if (sender == &backToMapButton) {
        InfoDialog ask(InfoDialogKind::Question, "", "You sure?  If you return to the map, progress here will be lost!");
        if (ask.answer == 1)
            game->ShowMap(true);
        else
            Kill();
    } else if (sender == &optionsButton) {
        OptionsMenu::Open(app);
    }
}

void PopupMenu::Draw()
{
    theGraphics.SetColor(0, 0, 0.05f, 0.85f);
    theGraphics.FillRect(0, 0, 800, 600);
    theGraphics.SetColorWhite();
    blot.DrawCentered(400, 300);
    swinging.Draw(1.0f);
}
