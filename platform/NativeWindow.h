#pragma once

namespace Platform {
// The system's window behind a Platform::Window, handed to the display and
// sound start-up. Opaque: only platform/ sources know what it is.
struct NativeWindow;
} // namespace Platform
