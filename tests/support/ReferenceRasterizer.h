#pragma once

#include "app/compatibility/RasterTypes.h"

#include <cstdint>

// A slow, per-channel software rasteriser written straight from the rules of the triangle
// walk, the pixel families and the span modes, sharing no code with the renderer, so that
// every specialised member can be compared with it byte for byte.
namespace Reference {

// Draws one triangle with the member of the given dispatch index into a surface of the
// given format (pixels are uint32_t for ARGB8888, uint16_t otherwise).
void DrawTriangle(Compatibility::TargetFormat format, uint32_t index,
                  const Compatibility::RasterVertex* vertices, const Compatibility::RasterTarget& target,
                  const Compatibility::RasterTexture& texture, const Compatibility::RasterColor& modulation,
                  const Compatibility::RasterColor& fill);

// Draws one span with the blitter of the given span dispatch index.
void DrawSpan(Compatibility::TargetFormat format, uint32_t index, void* destination, const uint32_t* source,
              int32_t count, const Compatibility::RasterColor& modulation,
              const Compatibility::RasterColor& fill);

// Per-channel scalar forms of the pixel operations.
uint32_t Channel(uint32_t c, int shift);
uint32_t Blend32(uint32_t s, uint32_t d, uint32_t w);
uint32_t Weighted32(uint32_t s, uint32_t w);
uint32_t Modulate32(uint32_t s, uint32_t kr, uint32_t kg, uint32_t kb);
uint32_t AddSat32(uint32_t d, uint32_t s);
uint32_t Pack16(Compatibility::TargetFormat format, uint32_t c);
uint32_t Blend16(Compatibility::TargetFormat format, uint32_t c, uint32_t a, uint32_t d);
uint32_t AddSat16(Compatibility::TargetFormat format, uint32_t d, uint32_t s);

} // namespace Reference
