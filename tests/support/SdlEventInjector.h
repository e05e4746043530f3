#pragma once

#include <cstdint>

// Pushes real window-system events into the event queue, as a user at the
// keyboard and mouse would make them, for tests that drive the window's
// message pump. The window system must be running (a window exists).
namespace SdlEventInjector {
enum class Button { Left, Middle, Right };

enum class WindowChange { FocusGained, FocusLost, Close, Exposed, PointerLeft };

void MouseMotion(int x, int y);
// Stamped with the given window-system time in milliseconds, or now when 0.
void MouseButton(int x, int y, Button button, bool down, uint32_t time = 0);
void MouseWheel(int steps);
// A key by its window-system name ("A", "Return", "F12", "Left Ctrl"), with
// Alt held when asked.
void Key(const char* name, bool down, bool alt = false, bool repeat = false);
// Typed text, UTF-8.
void Text(const char* utf8);
void Window(WindowChange change);
void Quit();
} // namespace SdlEventInjector
