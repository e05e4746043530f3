#pragma once
// The game's modal message box: wrapped text with ok, or yes and no. The
// constructor shows it and waits for the answer.

#include "app/Button.h"
#include "app/Font.h"
#include "app/Gadget.h"
#include "app/Sprite.h"
#include "app/SpriteStrip.h"
#include "app/String.h"

enum class InfoDialogKind { Message = 0, Question = 1 };

class InfoDialog : public Gadget
{
  public:
    InfoDialog(InfoDialogKind kind, const String& caption, const String& text);
    ~InfoDialog() override;

    void Draw() override;
    void Notify(Object* sender) override;

    // Where the text starts, how wide it wraps, and the top of the buttons
    // below it: a text must end above them.
    static constexpr float kTextLeft = 229.0f;
    static constexpr float kTextTop = 232.0f;
    static constexpr float kWrapWidth = 344.0f;
    static constexpr int kButtonY = 430;
    // The box's font, its lines closer than the font's own.
    static void LoadFont(Font& font);

    void RunMessage(const String& caption, const String& text);
    bool RunQuestion(const String& caption, const String& text);

    Font font;
    Button okButton;
    Button yesButton;
    Button noButton;
    String caption; // kept, not drawn
    String text;
    String lines; // the text wrapped to the panel
    // 1 for ok or yes; 0 for no, and when nothing was shown or the
    // application closed the dialog.
    int answer = 0;
    Sprite panel;
    SpriteStrip yesArt;
    SpriteStrip noArt;
    SpriteStrip okArt;

  private:
    int Show(const String& newCaption, const String& newText);
};
