#include "platform/Window.h"

#include "platform/Cursors.h"
#include "platform/Keyboard.h"
#include "platform/XScreen.h"

#include <SDL2/SDL.h>

#include <cstdlib>
#include <string>

namespace Platform {
namespace {
// Where the pointer is once it has left the window.
constexpr int kPointerGone = -30000;

SDL_Window* Native(Platform::NativeWindow* window)
{
    return reinterpret_cast<SDL_Window*>(window);
}

uint32_t LetterOrDigitKey(SDL_Keycode key)
{
    if (key >= SDLK_a && key <= SDLK_z)
        return 'A' + static_cast<uint32_t>(key - SDLK_a);
    if (key >= SDLK_0 && key <= SDLK_9)
        return '0' + static_cast<uint32_t>(key - SDLK_0);
    if (key >= SDLK_F1 && key <= SDLK_F12)
        return VirtualKey::F1 + static_cast<uint32_t>(key - SDLK_F1);
    if (key >= SDLK_F13 && key <= SDLK_F24)
        return VirtualKey::F1 + 12 + static_cast<uint32_t>(key - SDLK_F13);
    if (key >= SDLK_KP_1 && key <= SDLK_KP_9)
        return VirtualKey::Numpad0 + 1 + static_cast<uint32_t>(key - SDLK_KP_1);
    return 0;
}

uint32_t VirtualKeyOf(SDL_Keycode key)
{
    if (uint32_t code = LetterOrDigitKey(key))
        return code;
    switch (key) {
    case SDLK_BACKSPACE:
        return VirtualKey::Back;
    case SDLK_TAB:
        return VirtualKey::Tab;
    case SDLK_RETURN:
        return VirtualKey::Return;
    case SDLK_KP_ENTER:
        return VirtualKey::Return;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT:
        return VirtualKey::Shift;
    case SDLK_LCTRL:
    case SDLK_RCTRL:
        return VirtualKey::Control;
    case SDLK_LALT:
    case SDLK_RALT:
        return VirtualKey::Menu;
    case SDLK_PAUSE:
        return VirtualKey::Pause;
    case SDLK_CAPSLOCK:
        return VirtualKey::Capital;
    case SDLK_ESCAPE:
        return VirtualKey::Escape;
    case SDLK_SPACE:
        return VirtualKey::Space;
    case SDLK_PAGEUP:
        return VirtualKey::Prior;
    case SDLK_PAGEDOWN:
        return VirtualKey::Next;
    case SDLK_END:
        return VirtualKey::End;
    case SDLK_HOME:
        return VirtualKey::Home;
    case SDLK_LEFT:
        return VirtualKey::Left;
    case SDLK_UP:
        return VirtualKey::Up;
    case SDLK_RIGHT:
        return VirtualKey::Right;
    case SDLK_DOWN:
        return VirtualKey::Down;
    case SDLK_PRINTSCREEN:
        return VirtualKey::Snapshot;
    case SDLK_INSERT:
        return VirtualKey::Insert;
    case SDLK_DELETE:
        return VirtualKey::Delete;
    case SDLK_LGUI:
        return VirtualKey::LeftWindows;
    case SDLK_RGUI:
        return VirtualKey::RightWindows;
    case SDLK_APPLICATION:
        return VirtualKey::Apps;
    case SDLK_KP_0:
        return VirtualKey::Numpad0;
    case SDLK_KP_MULTIPLY:
        return VirtualKey::Multiply;
    case SDLK_KP_PLUS:
        return VirtualKey::Add;
    case SDLK_KP_MINUS:
        return VirtualKey::Subtract;
    case SDLK_KP_PERIOD:
        return VirtualKey::Decimal;
    case SDLK_KP_DIVIDE:
        return VirtualKey::Divide;
    case SDLK_NUMLOCKCLEAR:
        return VirtualKey::NumLock;
    case SDLK_SCROLLLOCK:
        return VirtualKey::ScrollLock;
    case SDLK_SEMICOLON:
        return VirtualKey::Semicolon;
    case SDLK_EQUALS:
        return VirtualKey::Plus;
    case SDLK_COMMA:
        return VirtualKey::Comma;
    case SDLK_MINUS:
        return VirtualKey::Minus;
    case SDLK_PERIOD:
        return VirtualKey::Period;
    case SDLK_SLASH:
        return VirtualKey::Slash;
    case SDLK_BACKQUOTE:
        return VirtualKey::Grave;
    case SDLK_LEFTBRACKET:
        return VirtualKey::LeftBracket;
    case SDLK_BACKSLASH:
        return VirtualKey::Backslash;
    case SDLK_RIGHTBRACKET:
        return VirtualKey::RightBracket;
    case SDLK_QUOTE:
        return VirtualKey::Quote;
    default:
        return 0;
    }
}

// The keys that also type a control character.
uint32_t CharacterOfKey(uint32_t virtualKey)
{
    switch (virtualKey) {
    case VirtualKey::Back:
    case VirtualKey::Tab:
    case VirtualKey::Return:
    case VirtualKey::Escape:
        return virtualKey;
    default:
        return 0;
    }
}

// Code points of 0x80..0x9F in Windows-1252; 0 where the code page has none.
constexpr uint16_t kWindows1252High[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                           0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                           0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                           0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

uint8_t Windows1252Of(uint32_t codePoint)
{
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF))
        return static_cast<uint8_t>(codePoint);
    for (int i = 0; i < 32; ++i)
        if (kWindows1252High[i] != 0 && kWindows1252High[i] == codePoint)
            return static_cast<uint8_t>(0x80 + i);
    // As the system does for a character outside the window's code page.
    return '?';
}

// Decodes one UTF-8 sequence; a broken sequence yields U+FFFD and moves on
// by one byte.
uint32_t NextCodePoint(const unsigned char*& text)
{
    unsigned char lead = *text++;
    int extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
    if (lead >= 0x80 && extra == 0)
        return 0xFFFD;
    uint32_t code = extra == 0 ? lead : lead & (0x3F >> extra);
    for (int i = 0; i < extra; ++i) {
        if ((text[i] & 0xC0) != 0x80)
            return 0xFFFD;
        code = (code << 6) | (text[i] & 0x3F);
    }
    text += extra;
    return code;
}

// The press or release message of a button; 0 for buttons the program
// does not know. A double click is the press's number + 2.
uint32_t ButtonMessage(uint8_t button, bool down)
{
    uint32_t base;
    switch (button) {
    case SDL_BUTTON_LEFT:
        base = Message::LeftButtonDown;
        break;
    case SDL_BUTTON_RIGHT:
        base = Message::RightButtonDown;
        break;
    case SDL_BUTTON_MIDDLE:
        base = Message::MiddleButtonDown;
        break;
    default:
        return 0;
    }
    return down ? base : base + 1;
}

// When no display answers (none in the session, or an X server resetting as
// its last client left), SDL falls back on a driver that draws nowhere, and
// the game would run where nobody can see it. Saying the window cannot open
// is better; such a driver is taken only when asked for.
bool ShowsNothingUnasked(const char* driver)
{
    const char* asked = SDL_GetHint(SDL_HINT_VIDEODRIVER);
    if (asked != nullptr && *asked != '\0')
        return false;
    return driver == nullptr || SDL_strcasecmp(driver, "offscreen") == 0 || SDL_strcasecmp(driver, "dummy") == 0;
}

// A window of a desktop whose own layout SDL cannot name (deep colour) has
// no surface of its own: software frames would go through a 3D pipeline
// run on the processor, several times the cost of any other desktop. Such a
// window takes a visual of 24 or 32 bits the X server also offers, and its
// frames go as they do on a 24-bit desktop. Any other desktop keeps SDL's
// own choice, also after a deep one (the hint holds for every window SDL
// makes, and it remakes the window for OpenGL).
void ChooseWindowVisual()
{
    SDL_DisplayMode desktop;
    const bool unnamed = SDL_GetDesktopDisplayMode(0, &desktop) == 0 && desktop.format == SDL_PIXELFORMAT_UNKNOWN;
    const unsigned long visual = unnamed ? GetXScreenFormat().namedVisual : 0;
    if (visual != 0)
        SDL_SetHint(SDL_HINT_VIDEO_X11_WINDOW_VISUALID, std::to_string(visual).c_str());
    else
        SDL_ResetHint(SDL_HINT_VIDEO_X11_WINDOW_VISUALID);
}
} // namespace

bool DoubleClickDetector::Press(uint8_t button, int x, int y, uint32_t time)
{
    const bool second = open_ && button == button_ && std::abs(x - x_) < kSize && std::abs(y - y_) < kSize &&
                        time - time_ <= kTime;
    open_ = !second;
    button_ = button;
    x_ = x;
    y_ = y;
    time_ = time;
    return second;
}

Window::~Window()
{
    Destroy();
}

bool Window::Create(const char* title, int x, int y, int width, int height)
{
    Destroy();
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
        return false;
    if (ShowsNothingUnasked(SDL_GetCurrentVideoDriver())) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        SDL_SetError("no display answered");
        return false;
    }
    videoStarted_ = true;
    ChooseWindowVisual();
    window_ = reinterpret_cast<NativeWindow*>(SDL_CreateWindow(title, x, y, width, height, SDL_WINDOW_HIDDEN));
    screenSaverAllowed_ = SDL_IsScreenSaverEnabled() == SDL_TRUE;
    if (window_ == nullptr) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        videoStarted_ = false;
        return false;
    }
    return true;
}

std::string Window::LastError()
{
    return SDL_GetError();
}

void Window::Destroy()
{
    ReleaseCapture();
    if (window_ != nullptr)
        SDL_DestroyWindow(Native(window_));
    window_ = nullptr;
    posted_.clear();
    translated_.clear();
    if (videoStarted_) {
        Cursors::ForgetRealised();
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }
    videoStarted_ = false;
}

void Window::SetTitle(const char* title)
{
    if (window_ != nullptr)
        SDL_SetWindowTitle(Native(window_), title);
}

void Window::Show()
{
    if (window_ != nullptr)
        SDL_ShowWindow(Native(window_));
}

void Window::Hide()
{
    if (window_ != nullptr)
        SDL_HideWindow(Native(window_));
}

void Window::Minimize()
{
    if (window_ != nullptr)
        SDL_MinimizeWindow(Native(window_));
}

void Window::Raise()
{
    if (window_ == nullptr)
        return;
    if (IsMinimized())
        SDL_RestoreWindow(Native(window_));
    SDL_RaiseWindow(Native(window_));
}

bool Window::IsMinimized() const
{
    return window_ != nullptr && (SDL_GetWindowFlags(Native(window_)) & SDL_WINDOW_MINIMIZED) != 0;
}

bool Window::HasFocus() const
{
    return window_ != nullptr && SDL_GetKeyboardFocus() == Native(window_);
}

void Window::GetClientSize(int& width, int& height) const
{
    width = height = 0;
    if (window_ != nullptr)
        SDL_GetWindowSize(Native(window_), &width, &height);
}

void Window::GetCursorPosition(int& x, int& y) const
{
    x = pointerX_;
    y = pointerY_;
}

bool Window::PollMessage(WindowMessage& message)
{
    if (!posted_.empty()) {
        message = posted_.front();
        posted_.pop_front();
        return true;
    }
    SDL_Event event;
    while (translated_.empty() && window_ != nullptr && SDL_PollEvent(&event)) {
        WindowMessage translated;
        if (Translate(&event, translated))
            translated_.push_front(translated);
    }
    if (translated_.empty())
        return false;
    message = translated_.front();
    translated_.pop_front();
    return true;
}

void Window::PostMessage(uint32_t message, uint32_t wParam, uint32_t lParam)
{
    posted_.push_back({message, wParam, lParam});
}

void Window::WaitMessage(uint32_t milliseconds)
{
    if (!posted_.empty() || !translated_.empty())
        return;
    if (window_ == nullptr) {
        SDL_Delay(milliseconds);
        return;
    }
    SDL_PumpEvents();
    SDL_Event event;
    if (SDL_PeepEvents(&event, 1, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) == 0)
        SDL_WaitEventTimeout(nullptr, static_cast<int>(milliseconds));
}

void Window::AllowScreenSaver(bool allow)
{
    if (window_ == nullptr || allow == screenSaverAllowed_)
        return;
    if (allow)
        SDL_EnableScreenSaver();
    else
        SDL_DisableScreenSaver();
    screenSaverAllowed_ = allow;
}

void Window::SetCapture()
{
    if (window_ != nullptr && !captured_)
        captured_ = SDL_CaptureMouse(SDL_TRUE) == 0;
}

void Window::ReleaseCapture()
{
    if (captured_)
        SDL_CaptureMouse(SDL_FALSE);
    captured_ = false;
}

bool Window::IsKeyHeld(uint32_t virtualKey)
{
    auto either = [](int left, int right) { return Keyboard::IsHeld(left) || Keyboard::IsHeld(right); };
    switch (virtualKey) {
    case VirtualKey::Shift:
        return either(KeyCode::LeftShift, KeyCode::RightShift);
    case VirtualKey::Control:
        return either(KeyCode::LeftControl, KeyCode::RightControl);
    case VirtualKey::Menu:
        return either(KeyCode::LeftAlt, KeyCode::RightAlt);
    default:
        return false;
    }
}

// Fills the message for one event; a key that also types a character, and a
// text of several characters, leave the rest in the translated queue.
bool Window::Translate(const void* native, WindowMessage& message)
{
    const SDL_Event& event = *static_cast<const SDL_Event*>(native);
    switch (event.type) {
    case SDL_QUIT:
        message = {Message::Close, 0, 0};
        return true;
    case SDL_WINDOWEVENT:
        switch (event.window.event) {
        case SDL_WINDOWEVENT_CLOSE:
            message = {Message::Close, 0, 0};
            return true;
        case SDL_WINDOWEVENT_LEAVE:
            if (!captured_)
                pointerX_ = pointerY_ = kPointerGone;
            return false;
        case SDL_WINDOWEVENT_EXPOSED:
            message = {Message::Paint, 0, 0};
            return true;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            Keyboard::ReportFocus(true);
            message = {Message::Activate, Activation::Active, 0};
            return true;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            Keyboard::ReportFocus(false);
            message = {Message::Activate, Activation::Inactive, 0};
            return true;
        default:
            return false;
        }
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
        Keyboard::ReportKey(event.key.keysym.scancode, event.type == SDL_KEYDOWN);
        uint32_t key = VirtualKeyOf(event.key.keysym.sym);
        if (key == 0)
            return false;
        bool alt = (event.key.keysym.mod & KMOD_ALT) != 0 || key == VirtualKey::Menu;
        bool down = event.type == SDL_KEYDOWN;
        message.message = down ? (alt ? Message::SysKeyDown : Message::KeyDown)
                               : (alt ? Message::SysKeyUp : Message::KeyUp);
        message.wParam = key;
        message.lParam = event.key.repeat ? 0x40000000u : 0;
        uint32_t character = CharacterOfKey(key);
        if (down && !alt && character != 0)
            translated_.push_back({Message::Char, character, 0});
        return true;
    }
    case SDL_TEXTINPUT: {
        const unsigned char* text = reinterpret_cast<const unsigned char*>(event.text.text);
        bool first = true;
        while (*text != 0) {
            WindowMessage character{Message::Char, Windows1252Of(NextCodePoint(text)), 0};
            if (first)
                message = character;
            else
                translated_.push_back(character);
            first = false;
        }
        return !first;
    }
    case SDL_MOUSEMOTION:
        pointerX_ = event.motion.x;
        pointerY_ = event.motion.y;
        message = {Message::MouseMove, 0, PackPoint(event.motion.x, event.motion.y)};
        return true;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
        const bool down = event.type == SDL_MOUSEBUTTONDOWN;
        uint32_t number = ButtonMessage(event.button.button, down);
        pointerX_ = event.button.x;
        pointerY_ = event.button.y;
        if (number == 0)
            return false;
        // SDL's own click count reaches much further than the system the
        // program was written for: two quick clicks on neighbouring pieces
        // would be one double click there.
        if (down &&
            doubleClicks_.Press(event.button.button, event.button.x, event.button.y, event.button.timestamp))
            number += 2;
        message = {number, 0, PackPoint(event.button.x, event.button.y)};
        return true;
    }
    case SDL_MOUSEWHEEL: {
        int steps = event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.wheel.y : event.wheel.y;
        if (steps == 0)
            return false;
        message = {Message::MouseWheel, static_cast<uint32_t>(steps * 120) << 16,
                   PackPoint(pointerX_, pointerY_)};
        return true;
    }
    default:
        return false;
    }
}
} // namespace Platform
