#pragma once
// The user screen: the scrolling list of profiles with create, delete,
// select and cancel. The constructor runs it modally.

#include "app/Button.h"
#include "app/Font.h"
#include "app/Gadget.h"
#include "app/Rect.h"
#include "app/Sprite.h"
#include "app/SpriteStrip.h"
#include "app/String.h"
#include "game/ProfileScrollbar.h"

#include <cstdint>
#include <vector>

class ProfileManager;

class ProfileManagerDialog : public Gadget
{
  public:
    explicit ProfileManagerDialog(ProfileManager* profiles);
    ~ProfileManagerDialog() override;

    void Update() override;
    void Draw() override;
    void Notify(Object* sender) override;
    void Initialize() override;
    void MouseMove(int x, int y) override;
    void MouseDown(int x, int y, int button) override;
    void MouseExit() override;

    float RowTop(int row) const;
    void ScrollToSelected();

    bool result = false; // the dialog ended with 1
    ProfileManager* profiles = nullptr;
    Font font; // its line height is the row pitch
    Rect listArea{198, 149, 407, 207};
    ProfileScrollbar scrollBar;
    std::vector<String> rows;
    float contentHeight = 0.0f;
    Button createButton;
    Button deleteButton;
    Button selectButton;
    Button cancelButton;
    int32_t selected = -1;
    int32_t openingRow = -1;
    int32_t hover = -1;
    bool noCurrent = false;
    Sprite panel;
    SpriteStrip createArt;
    SpriteStrip deleteArt;
    SpriteStrip selectArt;
    SpriteStrip cancelArt;
    bool built = false;

  private:
    void DeleteSelected();
    void Select();
    void Cancel();
    // Runs the new-user dialog; false when the application is closing.
    bool AddProfile();
    void DrawList();
};
