#pragma once

#include "platform/NativeWindow.h"

// Pointer moves addressed to one window (its native handle), as the window
// system reports them in window pixels.
namespace PointerEvents {
void MoveTo(Platform::NativeWindow* nativeWindow, int x, int y);
} // namespace PointerEvents
