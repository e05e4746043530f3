#pragma once

#include <SDL.h>

#include <vector>

namespace Platform {

// SDL's own software rasteriser works out a triangle's texture coordinates
// in 32-bit integers: once the triangle's area times the texture's size
// passes that range it reads texels far outside the texture, and huge
// coordinates overflow its integer conversions. CutForSoftwareRaster turns
// an indexed triangle list into a plain one in which every triangle is
// small enough, cutting the large ones into four at their edges' midpoints
// (texture mapping is affine, so the picture is the same) and dropping the
// pieces that lie wholly outside the target.
void CutForSoftwareRaster(const SDL_Vertex* vertices, const int* indices, int indexCount, int textureSide,
                          int targetWidth, int targetHeight, std::vector<SDL_Vertex>& out);

// SDL draws two triangles in a row that make an upright rectangle as one
// rectangle copy, taking the texture from its top-left and bottom-right
// corners: a picture turned a quarter is drawn mirrored instead. Returns
// the vertex at which a new draw call must start so that the triangle
// starting at `first` is not paired that way with the one before it, or
// the list's end.
int SafeBatchEnd(const std::vector<SDL_Vertex>& triangles, int first);

} // namespace Platform
