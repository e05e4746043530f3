#pragma once

#include "app/compatibility/RasterTypes.h"

namespace Compatibility {

// Draws the strip of four corners, triangles (0, 1, 2) and (1, 3, 2), in a textured mode
// without per-corner colour as whole rows shaded in place, when it is an upright rectangle
// mapped onto the texture one pixel to one texel, unflipped: exactly what the two triangles
// draw, without their set-up and without splitting every row into two spans. Returns false,
// having drawn nothing, for any other quad or mode; the caller draws the triangles then.
bool CopyQuad(TargetFormat format, uint32_t mode, const RasterVertex* strip, const RasterTarget& target,
              const RasterTexture* texture, const RasterColor* modulation, const RasterColor* fill);

} // namespace Compatibility
