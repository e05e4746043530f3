#pragma once

#include "app/Color.h"
#include "app/Gadget.h"
#include "app/Oscillator.h"
#include "app/String.h"

class Font;

// The one-line text entry (player names). It takes characters while it has
// the key focus, edits with the usual keys, pastes clipboard text, scrolls to
// keep the caret in view and tells its listener when Enter ends the entry.
// Refused characters make the system beep. Without a font it neither draws
// text nor takes characters. Its caret blinks through an oscillator in the
// application's root objects, so an application must exist while one lives.
class EditBox : public Gadget
{
  public:
    EditBox();

    void Draw() override;
    void MouseDown(int x, int y, int button) override;
    void KeyDown(int key) override;
    void Char(int character) override;

    void UpdateCaret();
    void Paste();
    String GetText() const { return text; }

    String text;
    // Character index, 0 to the length.
    int caret = 0;
    Color backgroundColor{1, 1, 1, 1};
    Color textColor{0, 0, 0, 1};
    Font* font = nullptr;
    Oscillator caretBlink;
    String textBeforeCaret;
    // Width of the text before the caret, in pixels.
    int caretX = 0;
    // Pixels of text scrolled out at the left.
    int scroll = 0;
    // The clip cuts the caret's height to the box.
    float caretWidth = 4.0f;
    float caretHeight = 600.0f;
    float caretOffsetX = 0.0f;
    float caretOffsetY = 0.0f;
    // The clip inset and the text's offset.
    int margin = 2;
    float textOffsetX = 0.0f;
    float textOffsetY = 0.0f;
    Gadget* listener = nullptr;
    // A character that would make the text wider than this less the caret's
    // width is refused.
    bool widthLimitOn = false;
    int widthLimit = 0;
    bool lengthLimitOn = true;
    int lengthLimit = 25;
    // Centred text never scrolls.
    bool centred = false;
    String forbiddenCharacters;
    Gadget* tabTarget = nullptr;
    // The first character of an empty text is upper-cased when the font has
    // that glyph.
    bool capitalizeFirst = true;
    bool forceUpperCase = false;
    // Enter on an empty text still ends the entry.
    bool acceptEmptyEnter = false;
    bool readOnly = false;

  private:
    void ShowCaret();
    bool HasGlyph(char c) const;
    bool Refuses(char c) const;
    void Type(char c);
    void Backspace();
    void Enter();
    void PlaceCaretAt(int x);
    float TextX() const;
};
