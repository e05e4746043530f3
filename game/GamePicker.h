#pragma once
// The modal chooser of a game mode, for a new game or for resuming one.

#include "app/Button.h"
#include "app/Gadget.h"
#include "app/Point.h"
#include "app/Sprite.h"
#include "app/String.h"
#include "platform/Files.h"

#include <vector>

class QuorbSwapApp;

class GamePicker : public Gadget
{
  public:
    // Where the picker draws: the heading's centre, and for each mode in
    // GameMode order the top-left corners of its button and of the caption
    // shown while it is hovered. The journey's caption hangs below the
    // heading, which it would otherwise cover.
    struct ModePlace
    {
        Point button;
        Point caption;
    };
    static constexpr Point kHeadingCentre{399, 135};
    static constexpr ModePlace kModePlaces[] = {
        {{320, 163}, {38, 160}}, {{225, 321}, {4, 476}}, {{403, 325}, {451, 485}}};

    GamePicker(QuorbSwapApp* app, bool newGame);
    ~GamePicker() override;

    // The chosen GameMode, or -1 for none. The caller owns the picker and
    // deletes it afterwards; Run leaves it in no manager.
    int Run();
    void Draw() override;
    void Notify(Object* sender) override;

    QuorbSwapApp* app = nullptr;
    Sprite background;
    Sprite heading;
    Sprite journeyArt;
    Sprite casualArt;
    Sprite speedArt;
    Sprite exitArt[2];
    Sprite journeyCaption;
    Sprite casualCaption;
    Sprite speedCaption;
    Button journeyButton;
    Button casualButton;
    Button speedButton;
    Button exitButton;
    bool newGame = true;
    // The messages of the saves found unreadable, each told once.
    std::vector<String> unreadable;

  private:
    // What is at the save's name in the current profile's folder; the
    // message of one that cannot be read goes to "told".
    Platform::Files::Presence FindSave(const char* saveName, String& told);
    // A new game over a saved one asks first; true when it may go ahead.
    bool MayReplace(const char* saveName, const char* question);
    void DrawModeButton(Button& button, Sprite& art);
};
