#pragma once
// A tutorial page shown at the start of a level, with a demonstration board.

#include "app/Button.h"
#include "app/Gadget.h"
#include "app/Point.h"
#include "app/Sprite.h"
#include "app/SpriteStrip.h"

#include <cstdint>

class Board;
class Game;
class QuorbSwapApp;

class Tutor : public Gadget
{
  public:
    explicit Tutor(Game* game);
    ~Tutor() override;

    void Draw() override;
    void Notify(Object* sender) override;
    void Initialize() override { BuildPage(); }
    void DrawAfterChildren() override;

    void BuildPage();

  private:
    void BuildDemoBoard();

  public:

    QuorbSwapApp* application = nullptr;
    Game* game = nullptr;
    Board* demoBoard = nullptr; // a child of the page
    Sprite background;
    Sprite title;
    SpriteStrip okStrip;
    Button okButton;
    Button dontShowButton;
    Sprite pictures[10]; // the first without an image ends the list
    Point picturePositions[10];
    SpriteStrip dontShowStrip;
    int32_t page = -1; // 1..9 once chosen
};
