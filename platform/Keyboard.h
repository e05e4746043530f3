#pragma once

#include <cstdint>

// The whole keyboard's state, one byte per key code (0x80 while held), in
// place of the system's direct keyboard device. The codes are the scan-code
// based key codes the application tests (KeyCode below).
namespace Platform {
namespace KeyCode {
constexpr int Escape = 0x01;
constexpr int Digit1 = 0x02; // to Digit9 = 0x0A, Digit0 = 0x0B
constexpr int Minus = 0x0C;
constexpr int Equals = 0x0D;
constexpr int Back = 0x0E;
constexpr int Tab = 0x0F;
constexpr int Q = 0x10;
constexpr int W = 0x11;
constexpr int E = 0x12;
constexpr int R = 0x13;
constexpr int T = 0x14;
constexpr int Y = 0x15;
constexpr int U = 0x16;
constexpr int I = 0x17;
constexpr int O = 0x18;
constexpr int P = 0x19;
constexpr int Return = 0x1C;
constexpr int LeftControl = 0x1D;
constexpr int A = 0x1E;
constexpr int S = 0x1F;
constexpr int D = 0x20;
constexpr int F = 0x21;
constexpr int G = 0x22;
constexpr int H = 0x23;
constexpr int J = 0x24;
constexpr int K = 0x25;
constexpr int L = 0x26;
constexpr int LeftShift = 0x2A;
constexpr int Z = 0x2C;
constexpr int X = 0x2D;
constexpr int C = 0x2E;
constexpr int V = 0x2F;
constexpr int B = 0x30;
constexpr int N = 0x31;
constexpr int M = 0x32;
constexpr int RightShift = 0x36;
constexpr int LeftAlt = 0x38;
constexpr int Space = 0x39;
constexpr int F1 = 0x3B; // to F10 = 0x44
constexpr int F10 = 0x44;
constexpr int F11 = 0x57;
constexpr int F12 = 0x58;
constexpr int NumpadEnter = 0x9C;
constexpr int RightControl = 0x9D;
constexpr int RightAlt = 0xB8;
constexpr int Home = 0xC7;
constexpr int Up = 0xC8;
constexpr int PageUp = 0xC9;
constexpr int Left = 0xCB;
constexpr int Right = 0xCD;
constexpr int End = 0xCF;
constexpr int Down = 0xD0;
constexpr int PageDown = 0xD1;
constexpr int Insert = 0xD2;
constexpr int Delete = 0xD3;
} // namespace KeyCode

namespace Keyboard {
// Fills the 256 bytes; false (bytes untouched) while the application's
// window does not have the keyboard focus, as a foreground-only device
// refuses to read then.
bool GetState(uint8_t state[256]);

// Whether the key (a key code) is held by what the window's pump saw.
bool IsHeld(int code);

// The window's pump reports every key it sees, by the window system's scan
// code, and every change of focus. Losing the focus forgets held keys, since
// their releases go to another window.
void ReportKey(int scancode, bool down);
void ReportFocus(bool focused);

// The key code of a scan code of the window system; 0 when it has none.
int KeyCodeOfScancode(int scancode);
} // namespace Keyboard
} // namespace Platform
