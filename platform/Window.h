#pragma once

#include "platform/NativeWindow.h"

#include <cstdint>
#include <deque>
#include <string>

// The one application window and its message pump, in place of a window
// class, its window procedure and the system's message queue. Events of the
// window system arrive as the window messages the application handles, with
// their numbers and parameter packing: mouse messages carry
// lParam = (y << 16) | x with each half a signed 16-bit window-pixel value,
// wheel turns come as multiples of 120 in the high 16 bits of wParam, the
// second press of a double click comes as its own message, keys come as
// virtual-key codes, typed text as Windows-1252 characters, and Backspace,
// Tab, Enter and Escape also arrive as characters.
namespace Platform {
namespace Message {
constexpr uint32_t Activate = 0x0006;
constexpr uint32_t Paint = 0x000F;
constexpr uint32_t Close = 0x0010;
constexpr uint32_t KeyDown = 0x0100;
constexpr uint32_t KeyUp = 0x0101;
constexpr uint32_t Char = 0x0102;
// Keys pressed while Alt is held.
constexpr uint32_t SysKeyDown = 0x0104;
constexpr uint32_t SysKeyUp = 0x0105;
constexpr uint32_t MouseMove = 0x0200;
constexpr uint32_t LeftButtonDown = 0x0201;
constexpr uint32_t LeftButtonUp = 0x0202;
constexpr uint32_t LeftButtonDoubleClick = 0x0203;
constexpr uint32_t RightButtonDown = 0x0204;
constexpr uint32_t RightButtonUp = 0x0205;
constexpr uint32_t RightButtonDoubleClick = 0x0206;
constexpr uint32_t MiddleButtonDown = 0x0207;
constexpr uint32_t MiddleButtonUp = 0x0208;
constexpr uint32_t MiddleButtonDoubleClick = 0x0209;
constexpr uint32_t MouseWheel = 0x020A;
// Another copy of the program was started and asks this one to come to the
// front (a number from the range of messages registered by name).
constexpr uint32_t Notify = 0xC000;
} // namespace Message

// Activate's wParam.
namespace Activation {
constexpr uint32_t Inactive = 0;
constexpr uint32_t Active = 1;
constexpr uint32_t ClickActive = 2;
} // namespace Activation

namespace VirtualKey {
constexpr uint32_t Back = 0x08;
constexpr uint32_t Tab = 0x09;
constexpr uint32_t Return = 0x0D;
constexpr uint32_t Shift = 0x10;
constexpr uint32_t Control = 0x11;
constexpr uint32_t Menu = 0x12; // Alt
constexpr uint32_t Pause = 0x13;
constexpr uint32_t Capital = 0x14;
constexpr uint32_t Escape = 0x1B;
constexpr uint32_t Space = 0x20;
constexpr uint32_t Prior = 0x21; // Page Up
constexpr uint32_t Next = 0x22;  // Page Down
constexpr uint32_t End = 0x23;
constexpr uint32_t Home = 0x24;
constexpr uint32_t Left = 0x25;
constexpr uint32_t Up = 0x26;
constexpr uint32_t Right = 0x27;
constexpr uint32_t Down = 0x28;
constexpr uint32_t Snapshot = 0x2C; // Print Screen
constexpr uint32_t Insert = 0x2D;
constexpr uint32_t Delete = 0x2E;
// Digits and letters are their own upper-case ASCII codes ('0', 'A').
constexpr uint32_t LeftWindows = 0x5B;
constexpr uint32_t RightWindows = 0x5C;
constexpr uint32_t Apps = 0x5D;
constexpr uint32_t Numpad0 = 0x60; // to Numpad9 = 0x69
constexpr uint32_t Multiply = 0x6A;
constexpr uint32_t Add = 0x6B;
constexpr uint32_t Subtract = 0x6D;
constexpr uint32_t Decimal = 0x6E;
constexpr uint32_t Divide = 0x6F;
constexpr uint32_t F1 = 0x70; // to F24 = 0x87
constexpr uint32_t NumLock = 0x90;
constexpr uint32_t ScrollLock = 0x91;
constexpr uint32_t Semicolon = 0xBA;
constexpr uint32_t Plus = 0xBB;
constexpr uint32_t Comma = 0xBC;
constexpr uint32_t Minus = 0xBD;
constexpr uint32_t Period = 0xBE;
constexpr uint32_t Slash = 0xBF;
constexpr uint32_t Grave = 0xC0;
constexpr uint32_t LeftBracket = 0xDB;
constexpr uint32_t Backslash = 0xDC;
constexpr uint32_t RightBracket = 0xDD;
constexpr uint32_t Quote = 0xDE;
} // namespace VirtualKey

struct WindowMessage
{
    uint32_t message = 0;
    uint32_t wParam = 0;
    uint32_t lParam = 0;
};

// Packs window-pixel coordinates the way mouse messages carry them.
constexpr uint32_t PackPoint(int x, int y)
{
    return (static_cast<uint32_t>(y) << 16) | (static_cast<uint32_t>(x) & 0xFFFF);
}

constexpr int PointX(uint32_t lParam)
{
    return static_cast<int16_t>(lParam & 0xFFFF);
}

constexpr int PointY(uint32_t lParam)
{
    return static_cast<int16_t>(lParam >> 16);
}

// Tells a double click from two presses as the system the program was
// written for does by default: the same button pressed again within 500 ms
// and both presses inside one 4 x 4 pixel square (at most 3 pixels apart
// each way). The press after a double click starts a new series.
class DoubleClickDetector
{
  public:
    static constexpr uint32_t kTime = 500;
    static constexpr int kSize = 4;

    // True when this press completes a double click.
    bool Press(uint8_t button, int x, int y, uint32_t time);

  private:
    bool open_ = false;
    uint8_t button_ = 0;
    int x_ = 0;
    int y_ = 0;
    uint32_t time_ = 0;
};

class Window
{
  public:
    Window() = default;
    ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    // Starts the window system when needed and opens a hidden window; false
    // when either fails, and when no display answers: SDL's drivers that
    // show nothing are taken only when SDL_VIDEODRIVER names them.
    bool Create(const char* title, int x, int y, int width, int height);
    // Why the last Create failed.
    static std::string LastError();
    void Destroy();
    bool IsOpen() const { return window_ != nullptr; }

    // The window system's own handle (an SDL_Window*) for the display code of
    // the platform layer; opaque everywhere else.
    NativeWindow* NativeHandle() const { return window_; }

    void SetTitle(const char* title);
    void Show();
    void Hide();
    void Minimize();
    // Restores a minimized window and brings it to the front with the focus.
    void Raise();
    bool IsMinimized() const;
    bool HasFocus() const;
    void GetClientSize(int& width, int& height) const;
    // The pointer in client pixels as the last mouse event placed it (it
    // may lie outside the client area); far outside once it left the window.
    void GetCursorPosition(int& x, int& y) const;

    // Messages posted by the program come first, then the window system's
    // events; false when nothing is waiting.
    bool PollMessage(WindowMessage& message);
    void PostMessage(uint32_t message, uint32_t wParam, uint32_t lParam);
    // Waits until an event arrives or the time has passed.
    void WaitMessage(uint32_t milliseconds);

    // The window system keeps the screen saver away while this is off.
    void AllowScreenSaver(bool allow);

    // Keeps mouse events coming while the pointer is outside the window.
    void SetCapture();
    void ReleaseCapture();
    bool HasCapture() const { return captured_; }

    // Whether a modifier key (Shift, Control or Menu, either side) is held
    // right now; false for any other key.
    static bool IsKeyHeld(uint32_t virtualKey);

  private:
    bool Translate(const void* event, WindowMessage& message);

    NativeWindow* window_ = nullptr;
    bool videoStarted_ = false;
    bool captured_ = false;
    bool screenSaverAllowed_ = false;
    int pointerX_ = -1;
    int pointerY_ = -1;
    DoubleClickDetector doubleClicks_;
    std::deque<WindowMessage> posted_;
    // One window-system event can give two messages (a key and its
    // character, a text of several characters).
    std::deque<WindowMessage> translated_;
};
} // namespace Platform
