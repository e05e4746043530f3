#pragma once

#include <cstdint>

// Mouse cursors, in place of the system's cursor handles. A cursor is made
// from its description at once and realised by the window system when first
// shown, so cursors can be made before any window exists.
namespace Platform {
struct Cursor;

namespace Cursors {
enum class System { Arrow, Wait, Hand, IBeam };

Cursor* LoadSystem(System kind);

// A 32 x 32 monochrome cursor from AND and XOR masks, one 32-bit row each,
// most significant bit leftmost: AND 1 / XOR 0 transparent, 0 / 0 black,
// 0 / 1 white, 1 / 1 inverted.
Cursor* Create(const uint32_t andMask[32], const uint32_t xorMask[32], int hotX, int hotY);

// A colour cursor from width x height pixels 0xAARRGGBB, row by row from the
// top, with straight alpha. The pixels are copied.
Cursor* CreateColor(const uint32_t* pixels, int width, int height, int hotX, int hotY);

void Free(Cursor* cursor);

// Shows the cursor over the window; null hides the pointer. A cursor the
// window system cannot make shows as its default pointer.
void Show(Cursor* cursor);

// The window calls this before the window system stops, which takes every
// realised cursor with it.
void ForgetRealised();
} // namespace Cursors
} // namespace Platform
