#pragma once

#include "app/Color.h"
#include "app/Gadget.h"
#include "app/String.h"

class CrashCatcher;
class Font;
class LabelButton;
class TextArea;

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

    void Update() override;
    void Draw() override;
    void OnGadgetEvent(Gadget* sender) override;

    // What the window shows in the current state.
    const char* GetHeading() const;
    Color GetPanelColor() const;

    TextArea* report;
    TextArea* description;
    TextArea* result;
    LabelButton* sendButton;
    LabelButton* closeButton;

  private:
    TextArea* AddArea(const Color& background, const Color& text);
    LabelButton* AddButton(float x, const String& label);
    void ShowState();
    void DrawPanel();

    CrashCatcher& catcher;
    Font* font;
    TextArea* shown = nullptr;
};
