#pragma once
// The modal name entry for a new high score.

#include "app/EditBox.h"
#include "app/Gadget.h"
#include "app/Sprite.h"
#include "app/String.h"

class HighScoreList;
class QuorbSwapApp;

class EnterYourName : public Gadget
{
  public:
    explicit EnterYourName(QuorbSwapApp* app);
    ~EnterYourName() override;

    void Draw() override;
    void Notify(Object* sender) override;

    // Asks for the name and inserts it with the score; nothing is inserted
    // when the application closes before a name was entered.
    static void EnterHighScore(QuorbSwapApp* app, HighScoreList& list, int score);

    QuorbSwapApp* app = nullptr;
    Sprite title;
    Sprite highScoreArt;
    EditBox nameBox;
    String name; // empty until answered
};
