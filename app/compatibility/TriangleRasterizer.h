#pragma once

#include "app/compatibility/RasterTypes.h"

#include <array>
#include <cstdint>
#include <string>

namespace Compatibility {

using TriangleRasterizerTable = std::array<TriangleRasterizer, 64>;

// The 64 rasterisers of one target format, indexed by the six mode bits; null for a
// format that cannot be drawn.
const TriangleRasterizerTable* TriangleRasterizers(TargetFormat format);

// The member's name, such as "DrawTriangle_RGB565_TexAlphaModulate", for diagnostics.
std::string TriangleRasterizerName(TargetFormat format, uint32_t index);

const TriangleRasterizerTable& TriangleRasterizersARGB8888();
const TriangleRasterizerTable& TriangleRasterizersRGB565();
const TriangleRasterizerTable& TriangleRasterizersRGB555();

} // namespace Compatibility
