#pragma once
// The new-user dialog: one name field, create and cancel. The constructor
// runs it modally.

#include "app/Button.h"
#include "app/EditBox.h"
#include "app/Font.h"
#include "app/Gadget.h"
#include "app/Sprite.h"
#include "app/SpriteStrip.h"

class ProfileManager;

class AddProfileDialog : public Gadget
{
  public:
    explicit AddProfileDialog(ProfileManager* profiles);
    ~AddProfileDialog() override;

    void Update() override;
    void Draw() override;
    void Notify(Object* sender) override;

    ProfileManager* profiles = nullptr;
    Font font;
    EditBox nameField;
    Button createButton;
    Button cancelButton;
    Sprite panel;
    SpriteStrip createArt;
    SpriteStrip cancelArt;
    bool built = false;

  private:
    void Create();
};
