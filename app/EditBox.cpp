#include "app/EditBox.h"

#include "app/App.h"
#include "app/Font.h"
#include "app/Graphics.h"
#include "app/Keyboard.h"
#include "platform/Dialogs.h"
#include "platform/Keyboard.h"
#include "platform/Shell.h"
#include "platform/Window.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace {
namespace VK = Platform::VirtualKey;
namespace Key = Platform::KeyCode;

constexpr int kLeft = -1;
constexpr int kRight = 1;
constexpr int kBlinkPeriod = 25;
// Clipboard text beyond this is not pasted.
constexpr size_t kPasteLimit = 1024;

bool EitherHeld(int left, int right)
{
    return theKeyboard.IsKeyDown(left) || theKeyboard.IsKeyDown(right);
}

char Upper(char c)
{
    return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}
} // namespace

EditBox::EditBox()
{
    name = "editbox";
    SetTextCursor();
    caretBlink.period = kBlinkPeriod;
    UpdateCaret();
}

void EditBox::UpdateCaret()
{
    caret = std::clamp(caret, 0, text.Length());
    caretX = 0;
    textBeforeCaret = text.Mid(0, caret);
    if (caret > 0 && font != nullptr)
        caretX = font->GetWidth(textBeforeCaret);
}

void EditBox::ShowCaret()
{
    caretBlink.state = true;
    caretBlink.count = 0;
}

bool EditBox::HasGlyph(char c) const
{
    return font->mGlyphs[static_cast<unsigned char>(c)].present != 0;
}

// Only the printable bytes of the clipboard are typed, each under the rules
// of a typed character.
void EditBox::Paste()
{
    if (readOnly)
        return;
    std::string clipboard = Platform::Shell::GetClipboardText();
    clipboard.resize(std::min(clipboard.size(), kPasteLimit));
    for (char c : clipboard) {
        unsigned char byte = static_cast<unsigned char>(c);
        if (byte >= 32 && byte <= 127)
            Char(byte);
    }
}

void EditBox::KeyDown(int key)
{
    if (readOnly)
        return;
    ShowCaret();
    switch (static_cast<uint32_t>(key)) {
    case VK::Tab:
        if (tabTarget != nullptr)
            tabTarget->TakeKeyFocus();
        break;
    case VK::End:
        caret = text.Length();
        break;
    case VK::Home:
        caret = 0;
        break;
    case VK::Left:
        caret = std::max(caret - 1, 0);
        break;
    case VK::Right:
        caret = std::min(caret + 1, text.Length());
        break;
    case VK::Insert:
        if (EitherHeld(Key::LeftShift, Key::RightShift))
            Paste();
        break;
    case VK::Delete:
        text.Delete(caret, 1);
        break;
    case 'V':
        if (EitherHeld(Key::LeftControl, Key::RightControl))
            Paste();
        break;
    default:
        break;
    }
    UpdateCaret();
}

void EditBox::Backspace()
{
    if (caret > 0)
        text.Delete(caret - 1, 1);
    caret = std::max(caret - 1, 0);
}

// An empty text keeps the focus unless the owner accepts it.
void EditBox::Enter()
{
    if (!acceptEmptyEnter && text.IsEmpty())
        return;
    DropKeyFocus();
    if (listener != nullptr)
        listener->OnGadgetEvent(this);
}

// No leading blank, nothing past the length or the width allowed.
bool EditBox::Refuses(char c) const
{
    if (std::memchr(forbiddenCharacters.CStr(), c, static_cast<size_t>(forbiddenCharacters.Length())) !=
        nullptr)
        return true;
    if (c == ' ' && caret == 0)
        return true;
    if (lengthLimitOn && text.Length() >= lengthLimit)
        return true;
    return widthLimitOn && static_cast<float>(font->GetWidth(text) + font->GetCharWidth(c)) >
                               static_cast<float>(widthLimit) - caretWidth;
}

// A character the font cannot show is dropped without a beep.
void EditBox::Type(char c)
{
    if (Refuses(c)) {
        Platform::Dialogs::Beep();
        return;
    }
    if (forceUpperCase)
        c = Upper(c);
    else if (capitalizeFirst && text.IsEmpty() && HasGlyph(Upper(c)))
        c = Upper(c);
    if (!HasGlyph(c))
        return;
    text.InsertChar(c, caret);
    ++caret;
}

void EditBox::Char(int character)
{
    if (readOnly || font == nullptr)
        return;
    ShowCaret();
    if (character == static_cast<int>(VK::Back))
        Backspace();
    else if (character == static_cast<int>(VK::Return))
        Enter();
    else
        Type(static_cast<char>(character));
    UpdateCaret();
}

float EditBox::TextX() const
{
    if (centred)
        return rect.w * 0.5f - static_cast<float>(font->GetWidth(text) / 2);
    return static_cast<float>(margin) + textOffsetX - static_cast<float>(scroll);
}

// Character i's span reaches into half of the next character, so a click
// lands on the nearer edge between them.
void EditBox::PlaceCaretAt(int x)
{
    int rx = x - static_cast<int>(TextX());
    int length = text.Length();
    caret = length;
    int acc = 0;
    for (int i = 0; i < length; ++i) {
        int width = font->GetCharWidth(text.CharAt(i));
        int next = i + 1 < length ? font->GetCharWidth(text.CharAt(i + 1)) : 0;
        if (acc <= rx && rx <= acc + width + next / 2) {
            caret = i + 1;
            break;
        }
        acc += width;
    }
    if (rx < 0)
        caret = 0;
    UpdateCaret();
}

void EditBox::MouseDown(int x, int, int button)
{
    if (readOnly || font == nullptr)
        return;
    TakeKeyFocus();
    if (button == kLeft)
        PlaceCaretAt(x);
    else if (button == kRight) {
        Paste();
        UpdateCaret();
    }
}

void EditBox::Draw()
{
    if (backgroundColor.a != 0.0f) {
        theGraphics.SetColor(backgroundColor);
        theGraphics.FillRect(0, 0, rect.w, rect.h);
    }
    if (font == nullptr)
        return;
    float inset = static_cast<float>(margin);
    theGraphics.PushClip();
    theGraphics.SetClipRect(inset, inset, rect.w - 2 * inset, rect.h - 2 * inset);
    theGraphics.SetColor(textColor);

    float visible = rect.w - 2 * inset;
    if (static_cast<float>(caretX - scroll) > visible)
        scroll = static_cast<int>(static_cast<float>(caretX) - visible + caretWidth);
    if (caretX - scroll < margin)
        scroll = caretX;

    float textX = TextX();
    font->Draw(text, textX, textOffsetY + inset);
    if (theApp != nullptr && theApp->keyFocusGadget == this && caretBlink.state)
        theGraphics.FillRect(static_cast<float>(caretX) + textX + caretOffsetX, caretOffsetY + inset,
                             caretWidth, caretHeight);
    theGraphics.PopClip();
}
