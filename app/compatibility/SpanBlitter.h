#pragma once

#include "app/compatibility/RasterTypes.h"

#include <array>
#include <cstdint>
#include <string>

namespace Compatibility {

// Indexed by the span dispatch index: textured always set, gouraud never; the other
// 48 entries are null.
using SpanBlitterTable = std::array<SpanBlitter, 64>;

// The span blitters of one target format; null for a format that cannot be drawn.
const SpanBlitterTable* SpanBlitters(TargetFormat format);

// Count pixels of a 16-bit format as the opaque 32-bit texels the blitters read; copied
// back into that format they come out bit for bit.
void WidenPixels(TargetFormat format, const uint16_t* source, uint32_t* out, int32_t count);

// The member's name, such as "Span_RGB565_AlphaModulate", for diagnostics.
std::string SpanBlitterName(TargetFormat format, uint32_t index);

} // namespace Compatibility
