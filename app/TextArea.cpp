#include "app/TextArea.h"

#include "app/App.h"
#include "app/Font.h"
#include "app/Graphics.h"
#include "platform/Dialogs.h"
#include "platform/Window.h"

#include <algorithm>

namespace {
namespace VK = Platform::VirtualKey;

constexpr int kLeft = -1;
constexpr int kMargin = 3;
constexpr int kWheelStep = 120;
constexpr int kLinesPerWheelStep = 3;
constexpr int kArrowSize = 4;
constexpr int kMinThumb = 8;
constexpr float kCaretWidth = 2.0f;

const Color kBarTrack{0.94f, 0.94f, 0.94f, 1.0f};
const Color kBarParts{0.8f, 0.8f, 0.8f, 1.0f};
const Color kArrow{0.38f, 0.38f, 0.38f, 1.0f};

// An arrow pointing up (dy -1) or down (dy 1), centred at (x, y).
void DrawArrow(float x, float y, int dy)
{
    for (int row = 0; row < kArrowSize; ++row) {
        float half = static_cast<float>(row);
        float rowY = y - static_cast<float>(dy * (row - kArrowSize / 2));
        theGraphics.FillRect(x - half, rowY, 2 * half + 1, 1);
    }
}
} // namespace

TextArea::TextArea()
{
    name = "textarea";
}

void TextArea::SetText(const String& newText)
{
    text = newText;
    Rewrap();
    topLine = 0;
}

void TextArea::SetRect(Rect r)
{
    Gadget::SetRect(r);
    Rewrap();
}

bool TextArea::HitTest(int x, int y)
{
    return !hidden && Gadget::HitTest(x, y);
}

// The text's own line breaks (CR LF or LF) stay; long lines break at the
// width left beside the scroll bar.
void TextArea::Rewrap()
{
    lines.clear();
    if (font == nullptr)
        return;
    float width = rect.w - static_cast<float>(kBarWidth + 2 * kMargin);
    std::string wrapped = font->WrapText(text, width).CStr();
    size_t start = 0;
    for (;;) {
        size_t end = wrapped.find('\n', start);
        std::string line = wrapped.substr(start, end == std::string::npos ? std::string::npos : end - start);
        line.erase(std::remove(line.begin(), line.end(), '\r'), line.end());
        lines.push_back(line);
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    topLine = std::clamp(topLine, 0, LastTopLine());
}

int TextArea::LineHeight() const
{
    return font != nullptr ? std::max(1, static_cast<int>(font->mLineHeight)) : 1;
}

int TextArea::GetVisibleLines() const
{
    return std::max(1, (static_cast<int>(rect.h) - 2 * kMargin) / LineHeight());
}

int TextArea::LastTopLine() const
{
    return std::max(0, GetLineCount() - GetVisibleLines());
}

void TextArea::ScrollBy(int count)
{
    topLine = std::clamp(topLine + count, 0, LastTopLine());
}

void TextArea::MouseEnter()
{
    TakeWheelFocus();
}

void TextArea::MouseWheel(int delta)
{
    ScrollBy(-delta / kWheelStep * kLinesPerWheelStep);
}

void TextArea::MouseDown(int x, int y, int button)
{
    if (button != kLeft)
        return;
    TakeKeyFocus();
    TakeWheelFocus();
    if (x >= static_cast<int>(rect.w) - kBarWidth)
        PressBar(y);
}

// The arrows move a line, the track above or below the thumb a page.
void TextArea::PressBar(int y)
{
    int height = static_cast<int>(rect.h);
    int page = std::max(1, GetVisibleLines() - 1);
    if (y < kBarWidth)
        ScrollBy(-1);
    else if (y >= height - kBarWidth)
        ScrollBy(1);
    else
        ScrollBy(static_cast<float>(y) < ThumbTop() ? -page : page);
}

void TextArea::KeyDown(int key)
{
    int page = std::max(1, GetVisibleLines() - 1);
    switch (static_cast<uint32_t>(key)) {
    case VK::Up:
        ScrollBy(-1);
        break;
    case VK::Down:
        ScrollBy(1);
        break;
    case VK::Prior:
        ScrollBy(-page);
        break;
    case VK::Next:
        ScrollBy(page);
        break;
    case VK::Home:
        ScrollBy(-GetLineCount());
        break;
    case VK::End:
        ScrollBy(GetLineCount());
        break;
    default:
        break;
    }
}

// Typing shows the end of the text, where the characters go.
void TextArea::Char(int character)
{
    if (readOnly || font == nullptr)
        return;
    if (character == static_cast<int>(VK::Back)) {
        if (!text.IsEmpty())
            text.Delete(text.Length() - 1, 1);
    } else if (text.Length() >= lengthLimit) {
        Platform::Dialogs::Beep();
        return;
    } else {
        text.InsertChar(character == static_cast<int>(VK::Return) ? '\n' : static_cast<char>(character),
                        text.Length());
    }
    Rewrap();
    ScrollBy(GetLineCount());
}

void TextArea::Draw()
{
    theGraphics.SetColor(backgroundColor);
    theGraphics.FillRect(0, 0, rect.w, rect.h);
    DrawBar();
    if (font == nullptr)
        return;
    float inset = static_cast<float>(kMargin);
    float lineHeight = static_cast<float>(LineHeight());
    theGraphics.PushClip();
    theGraphics.SetClipRect(inset, inset, rect.w - static_cast<float>(kBarWidth) - 2 * inset,
                            rect.h - 2 * inset);
    theGraphics.SetColor(textColor);
    int last = std::min(GetLineCount(), topLine + GetVisibleLines() + 1);
    for (int i = topLine; i < last; ++i)
        font->Draw(lines[static_cast<size_t>(i)].c_str(), inset,
                   inset + static_cast<float>(i - topLine) * lineHeight);
    bool focused = theApp != nullptr && theApp->keyFocusGadget == this;
    int caretLine = GetLineCount() - 1 - topLine;
    if (!readOnly && focused && !lines.empty() && caretLine < GetVisibleLines()) {
        float caretX = inset + static_cast<float>(font->GetWidth(lines.back().c_str()));
        theGraphics.FillRect(caretX, inset + static_cast<float>(caretLine) * lineHeight, kCaretWidth,
                             lineHeight);
    }
    theGraphics.PopClip();
}

// The thumb's share of the track is the share of the lines in view.
float TextArea::ThumbHeight() const
{
    float track = rect.h - 2 * kBarWidth;
    int count = std::max(GetLineCount(), 1);
    float shown = static_cast<float>(std::min(GetVisibleLines(), count)) / static_cast<float>(count);
    return std::max(static_cast<float>(kMinThumb), track * shown);
}

float TextArea::ThumbTop() const
{
    float travel = rect.h - 2 * kBarWidth - ThumbHeight();
    int last = LastTopLine();
    float share = last > 0 ? static_cast<float>(topLine) / static_cast<float>(last) : 0.0f;
    return static_cast<float>(kBarWidth) + travel * share;
}

void TextArea::DrawBar()
{
    float bar = static_cast<float>(kBarWidth);
    float x = rect.w - bar;
    theGraphics.SetColor(kBarTrack);
    theGraphics.FillRect(x, 0, bar, rect.h);
    theGraphics.SetColor(kBarParts);
    theGraphics.FillRect(x + 1, 1, bar - 2, bar - 2);
    theGraphics.FillRect(x + 1, rect.h - bar + 1, bar - 2, bar - 2);
    if (LastTopLine() > 0)
        theGraphics.FillRect(x + 2, ThumbTop(), bar - 4, ThumbHeight());
    theGraphics.SetColor(kArrow);
    DrawArrow(x + bar / 2, bar / 2, -1);
    DrawArrow(x + bar / 2, rect.h - bar / 2, 1);
}
