#pragma once

#include "app/Color.h"
#include "app/Gadget.h"
#include "app/LabelButton.h"
#include "app/String.h"
#include "app/TextArea.h"

class CrashCatcher;
class Font;

// The whole client area of the crash window: the intro text, the panel in
// the colour of the state with its heading, the report, description and
// result areas in one place (one shown at a time), and the send and close
// buttons. It follows the crash catcher's state, and moves a send on while
// one is under way.
class CrashWindow : public Gadget
{
  public:
    static constexpr int kWidth = 500;
    static constexpr int kHeight = 460;

    CrashWindow(CrashCatcher& catcher, Font* font, const String& displayText);
    ~CrashWindow() override;

    void Update() override;
    void Draw() override;
    void OnGadgetEvent(Gadget* sender) override;

    // What the window shows in the current state.
    const char* GetHeading() const;
    Color GetPanelColor() const;
    // True once after the result area took a new text from the catcher: a
    // send's progress, which no input brought.
    bool TakeResultChange();

    TextArea report;
    TextArea description;
    TextArea result;
    LabelButton sendButton;
    LabelButton closeButton;

  private:
    void AddArea(TextArea& area, const Color& background, const Color& text);
    void AddButton(LabelButton& button, float x, const String& label);
    void ShowState();
    void DrawPanel();

    CrashCatcher& catcher;
    Font* font;
    TextArea* shown = nullptr;
    bool resultChanged = false;
};
