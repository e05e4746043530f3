#pragma once

#include "platform/Display.h"

#include <cstdint>

namespace Platform {

// Copies a software frame (XRGB8888, RGB565 or RGB555) row by row into
// memory laid out as XRGB8888, as the window and the streaming texture are,
// so that showing a 16-bit frame costs one pass over it. Each 5- or 6-bit
// field widens to its nearest 8-bit value, as DecodePixel gives (and as a
// graphics card shows it). The target's fourth byte is 0.
void CopyFrameToXrgb(const Surface& frame, uint8_t* target, int targetPitch);

} // namespace Platform
