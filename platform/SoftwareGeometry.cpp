#include "platform/SoftwareGeometry.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace Platform {

namespace {
// The rasteriser's products are the doubled area in half pixels (8 times
// the area in pixels) times the texture's side; half of 2^31 leaves room
// for its rounding. The side limit keeps its edge products in range too.
constexpr double kProductLimit = 1073741824.0;
constexpr float kSideLimit = 4096.0f;
// Far beyond what any real draw needs: only pieces on the target survive
// each cut, so this bounds the work for absurd coordinates.
constexpr int kMaxCuts = 24;

SDL_Vertex Midpoint(const SDL_Vertex& a, const SDL_Vertex& b)
{
    auto mix = [](Uint8 p, Uint8 q) { return static_cast<Uint8>((p + q + 1) / 2); };
    return SDL_Vertex{
        SDL_FPoint{(a.position.x + b.position.x) * 0.5f, (a.position.y + b.position.y) * 0.5f},
        SDL_Color{mix(a.color.r, b.color.r), mix(a.color.g, b.color.g), mix(a.color.b, b.color.b),
                  mix(a.color.a, b.color.a)},
        SDL_FPoint{(a.tex_coord.x + b.tex_coord.x) * 0.5f, (a.tex_coord.y + b.tex_coord.y) * 0.5f}};
}

struct Cutter
{
    double areaLimit; // in pixels
    float width;
    float height;
    std::vector<SDL_Vertex>& out;

    void Add(const SDL_Vertex& a, const SDL_Vertex& b, const SDL_Vertex& c, int cuts)
    {
        const float left = std::min({a.position.x, b.position.x, c.position.x});
        const float right = std::max({a.position.x, b.position.x, c.position.x});
        const float top = std::min({a.position.y, b.position.y, c.position.y});
        const float bottom = std::max({a.position.y, b.position.y, c.position.y});
        // Written so that a NaN coordinate drops the triangle too.
        if (!(right >= 0.0f && bottom >= 0.0f && left <= width && top <= height)) {
            return;
        }
        const double area = std::fabs((double(b.position.x) - a.position.x) * (double(c.position.y) - a.position.y) -
                                      (double(b.position.y) - a.position.y) * (double(c.position.x) - a.position.x)) /
                            2.0;
        const bool small = area <= areaLimit && right - left <= kSideLimit && bottom - top <= kSideLimit;
        if (small || cuts == kMaxCuts) {
            if (small) {
                out.insert(out.end(), {a, b, c});
            }
            return;
        }
        const SDL_Vertex ab = Midpoint(a, b);
        const SDL_Vertex bc = Midpoint(b, c);
        const SDL_Vertex ca = Midpoint(c, a);
        Add(a, ab, ca, cuts + 1);
        Add(ab, b, bc, cuts + 1);
        Add(ca, bc, c, cuts + 1);
        Add(ab, bc, ca, cuts + 1);
    }
};
// Whether the texture runs along the triangle's axes, u with x and v with y
// (either may be reversed).
bool TextureUpright(const SDL_Vertex& a, const SDL_Vertex& b, const SDL_Vertex& c)
{
    const double dx1 = b.position.x - a.position.x, dy1 = b.position.y - a.position.y;
    const double dx2 = c.position.x - a.position.x, dy2 = c.position.y - a.position.y;
    const double det = dx1 * dy2 - dx2 * dy1;
    if (det == 0.0) {
        return true;
    }
    const double du1 = b.tex_coord.x - a.tex_coord.x, du2 = c.tex_coord.x - a.tex_coord.x;
    const double dv1 = b.tex_coord.y - a.tex_coord.y, dv2 = c.tex_coord.y - a.tex_coord.y;
    const double uAlongY = (dx1 * du2 - dx2 * du1) / det;
    const double vAlongX = (dv1 * dy2 - dv2 * dy1) / det;
    constexpr double kTolerance = 1e-6; // texture widths a pixel
    return std::fabs(uAlongY) < kTolerance && std::fabs(vAlongX) < kTolerance;
}

bool SameVertex(const SDL_Vertex& a, const SDL_Vertex& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

int SharedVertices(const SDL_Vertex* first, const SDL_Vertex* second)
{
    int shared = 0;
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            if (SameVertex(first[i], second[j])) {
                ++shared;
                break;
            }
        }
    }
    return shared;
}
} // namespace

int SafeBatchEnd(const std::vector<SDL_Vertex>& triangles, int first)
{
    const int end = static_cast<int>(triangles.size());
    for (int at = first + 3; at + 2 < end; at += 3) {
        const SDL_Vertex* previous = &triangles[at - 3];
        const SDL_Vertex* current = &triangles[at];
        if (SharedVertices(previous, current) == 2 &&
            !(TextureUpright(previous[0], previous[1], previous[2]) &&
              TextureUpright(current[0], current[1], current[2]))) {
            return at;
        }
    }
    return end;
}

void CutForSoftwareRaster(const SDL_Vertex* vertices, const int* indices, int indexCount, int textureSide,
                          int targetWidth, int targetHeight, std::vector<SDL_Vertex>& out)
{
    out.clear();
    Cutter cutter{kProductLimit / 8.0 / std::max(textureSide, 1), float(targetWidth), float(targetHeight), out};
    for (int i = 0; i + 2 < indexCount; i += 3) {
        cutter.Add(vertices[indices[i]], vertices[indices[i + 1]], vertices[indices[i + 2]], 0);
    }
}

} // namespace Platform
