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

// The member's name, such as "Span_RGB565_AlphaModulate", for diagnostics.
std::string SpanBlitterName(TargetFormat format, uint32_t index);

} // namespace Compatibility
