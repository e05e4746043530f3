#pragma once
// The in-game menu: back to the game, back to the journey map (while a
// journey level is played), options, and back to the main menu.

#include "app/Button.h"
#include "app/Gadget.h"
#include "app/Sprite.h"
#include "game/SwingingButtons.h"

class Game;
class QuorbSwapApp;

class PopupMenu : public Gadget
{
  public:
    explicit PopupMenu(Game* game);
    ~PopupMenu() override;

    void Draw() override;
    void Notify(Object* sender) override;

    Game* game = nullptr;
    QuorbSwapApp* app = nullptr;
    Button optionsButton;
    Button backToMapButton;
    Button backToMenuButton;
    Button backToGameButton;
    Sprite backToGameArt[2];
    Sprite backToMapArt[2];
    Sprite optionsArt[2];
    Sprite backToMenuArt[2];
    Sprite blot;

  private:
    bool IsJourneyLevel() const;
    void LoadArt();

    SwingingButtons swinging;
};
