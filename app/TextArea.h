#pragma once

#include "app/Color.h"
#include "app/Gadget.h"
#include "app/String.h"

#include <string>
#include <vector>

class Font;

// A block of text in lines wrapped to its width, with a scroll bar at the
// right: the mouse wheel, the bar's arrows, a press on its track and the
// cursor keys move it. Read-only it only shows its text; editable it takes
// typed characters at the end of the text, up to its length limit (a refused
// character beeps), and Backspace erases the last one. Enter starts a new
// line; other control characters are kept as typed, for the owner to read.
// A hidden area is not hit, so areas may share one place.
class TextArea : public Gadget
{
  public:
    static constexpr int kBarWidth = 16;

    TextArea();

    void SetText(const String& newText);
    const String& GetText() const { return text; }
    void ScrollBy(int lines);
    int GetTopLine() const { return topLine; }
    int GetLineCount() const { return static_cast<int>(lines.size()); }
    int GetVisibleLines() const;

    using Gadget::SetRect;
    void SetRect(Rect r) override;
    bool HitTest(int x, int y) override;
    void Draw() override;
    void MouseDown(int x, int y, int button) override;
    void MouseEnter() override;
    void MouseWheel(int delta) override;
    void KeyDown(int key) override;
    void Char(int character) override;

    Font* font = nullptr;
    Color backgroundColor{1, 1, 1, 1};
    Color textColor{0, 0, 0, 1};
    bool readOnly = true;
    int lengthLimit = 255;

  private:
    void Rewrap();
    int LineHeight() const;
    int LastTopLine() const;
    void DrawBar();
    void PressBar(int y);
    float ThumbHeight() const;
    float ThumbTop() const;

    String text;
    std::vector<std::string> lines;
    int topLine = 0;
};
