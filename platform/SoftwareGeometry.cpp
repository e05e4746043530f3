#include "platform/SoftwareGeometry.h"

#include <algorithm>
#include <cmath>

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
} // namespace

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
