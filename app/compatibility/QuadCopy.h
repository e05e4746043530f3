#pragma once

#include "app/compatibility/RasterTypes.h"

namespace Compatibility {

// Draws the strip of four corners, triangles (0, 1, 2) and (1, 3, 2), in the plain textured
// mode as whole texture rows copied into place, when it is an upright rectangle mapped onto
// the texture one pixel to one texel, unflipped: exactly what the two triangles draw, without
// splitting every row into two spans. Returns false, having drawn nothing, for any other quad
// or mode; the caller draws the triangles then.
bool CopyQuad(TargetFormat format, uint32_t mode, const RasterVertex* strip, const RasterTarget& target,
              const RasterTexture* texture);

} // namespace Compatibility
