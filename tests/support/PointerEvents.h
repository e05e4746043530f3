#pragma once

// Pointer moves addressed to one window (its native handle), as the window
// system reports them in window pixels.
namespace PointerEvents {
void MoveTo(void* nativeWindow, int x, int y);
} // namespace PointerEvents
