#pragma once
// The look of the difficulty picker's and the popup menu's buttons: art
// centred on each button; hovered and pressed ones drawn last, swinging by
// up to 5 degrees with the application's clock, a pressed one covered by a
// half-transparent white silhouette.

#include <vector>

class Button;
class Sprite;

class SwingingButtons
{
  public:
    // In drawing order; highlighted art is drawn while hovered or pressed.
    void Add(Button* button, Sprite* normal, Sprite* highlighted);
    // The highlighted art is scaled by that much.
    void Draw(float highlightScale) const;

  private:
    struct Entry
    {
        Button* button;
        Sprite* normal;
        Sprite* highlighted;
    };
    static bool IsRaised(const Entry& entry);
    static void DrawEntry(const Entry& entry, float angle, float highlightScale);

    std::vector<Entry> entries;
};
