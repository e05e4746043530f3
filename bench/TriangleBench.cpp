// Fill rate of the triangle rasterisers: full-screen quads per family and format, 64x64
// sprites at sub-pixel positions in each blend mode, glyph-sized quads and flat-colour
// rectangles, beside SDL_RenderGeometry and SDL_RenderCopyF doing the same work with the
// matching blend modes.
#include "SdlTarget.h"

#include "app/compatibility/QuadCopy.h"
#include "app/compatibility/TriangleRasterizer.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <utility>

using namespace Compatibility;

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;

// One family as both renderers express it.
struct Family
{
    const char* name;
    uint32_t index;
    SDL_BlendMode sdlBlend; // SDL_BLENDMODE_INVALID: SDL has no such mode
    bool textured;
    bool translucent;
    bool modulated;
};

constexpr Family kFamilies[] = {
    {"Gouraud", kModeGouraud, SDL_BLENDMODE_BLEND, false, true, false},
    {"Tex", kModeTextured, SDL_BLENDMODE_NONE, true, false, false},
    {"TexModulate", kModeTextured | kModeModulate, SDL_BLENDMODE_BLEND, true, false, true},
    {"TexAlpha", kModeTextured | kModeTextureAlpha, SDL_BLENDMODE_BLEND, true, true, false},
    {"TexAlphaModulate", kModeTextured | kModeTextureAlpha | kModeModulate, SDL_BLENDMODE_BLEND, true, true,
     true},
    {"ColorFillTexAlpha", kModeColorFill | kModeTextured | kModeTextureAlpha, SDL_BLENDMODE_INVALID, true,
     true, false},
    {"AdditiveTex", kModeAdditive | kModeTextured, SDL_BLENDMODE_ADD, true, false, false},
    {"AdditiveTexAlpha", kModeAdditive | kModeTextured | kModeTextureAlpha, SDL_BLENDMODE_ADD, true, true,
     false},
    {"AdditiveColorFillTexAlpha", kModeAdditive | kModeColorFill | kModeTextured | kModeTextureAlpha,
     SDL_BLENDMODE_INVALID, true, true, false},
};

constexpr TargetFormat kFormats[] = {TargetFormat::ARGB8888, TargetFormat::RGB565, TargetFormat::RGB555};

const RasterColor kModulation{200, 230, 180, 160};
const RasterColor kFill{0, 255, 255, 255};
const SDL_Color kSdlModulation{230, 180, 160, 200};

RasterVertex Corner(float x, float y, float u, float v, uint32_t argb)
{
    RasterVertex r{};
    r.x = static_cast<int32_t>(x * 65536);
    r.y = static_cast<int32_t>(y * 65536);
    r.a = static_cast<int32_t>((argb >> 24) << 16);
    r.r = static_cast<int32_t>(((argb >> 16) & 0xFF) << 16);
    r.g = static_cast<int32_t>(((argb >> 8) & 0xFF) << 16);
    r.b = static_cast<int32_t>((argb & 0xFF) << 16);
    r.u = static_cast<int32_t>(u * 65536);
    r.v = static_cast<int32_t>(v * 65536);
    return r;
}

// A rectangle as two triangles in both forms: texture coordinates 0..1 stretch the
// texture over it once; the corners take the colour given, or each its own (gouraud).
struct Quad
{
    Quad(float x, float y, float w, float h, float texW, float texH, bool gouraud, SDL_Color sdlColor)
    {
        const uint32_t colors[4] = {0xC8FF2040, 0xF020FF40, 0x804020FF, 0xFFFFFFFF};
        const float xs[4] = {x, x + w, x, x + w};
        const float ys[4] = {y, y, y + h, y + h};
        const float us[4] = {0, 1, 0, 1};
        const float vs[4] = {0, 0, 1, 1};
        for (int i = 0; i < 4; ++i) {
            const uint32_t flat = (uint32_t(sdlColor.a) << 24) | (uint32_t(sdlColor.r) << 16) |
                                  (uint32_t(sdlColor.g) << 8) | sdlColor.b;
            corners[i] = Corner(xs[i], ys[i], us[i] * texW, vs[i] * texH, gouraud ? colors[i] : flat);
            SDL_Color c =
                gouraud ? SDL_Color{static_cast<Uint8>(colors[i] >> 16), static_cast<Uint8>(colors[i] >> 8),
                                    static_cast<Uint8>(colors[i]), static_cast<Uint8>(colors[i] >> 24)}
                        : sdlColor;
            sdl[i] = SDL_Vertex{{xs[i], ys[i]}, c, {us[i], vs[i]}};
        }
    }

    // As the renderer draws a strip of four: an upright sprite mapped 1:1 without gouraud
    // colour is shaded row by row, anything else is two triangles.
    void Draw(TargetFormat format, uint32_t index, TriangleRasterizer draw, const RasterTarget& target,
              const RasterTexture& texture) const
    {
        if (CopyQuad(format, index, corners, target, &texture, &kModulation, &kFill)) {
            return;
        }
        const RasterVertex first[3] = {corners[0], corners[1], corners[2]};
        const RasterVertex second[3] = {corners[1], corners[3], corners[2]};
        draw(first, target, &texture, &kModulation, &kFill);
        draw(second, target, &texture, &kModulation, &kFill);
    }

    RasterVertex corners[4];
    SDL_Vertex sdl[4];
};

const int kQuadIndices[6] = {0, 1, 2, 1, 3, 2};

void FullScreenOurs(benchmark::State& state, Family family, TargetFormat format)
{
    SdlTarget target(format, kWidth, kHeight);
    SdlTexture texture(target, 256, 256, family.translucent);
    const Quad quad(0, 0, kWidth, kHeight, 256, 256, !family.textured, SDL_Color{255, 255, 255, 255});
    const TriangleRasterizer draw = (*TriangleRasterizers(format))[family.index];
    const RasterTexture raster = texture.Raster();
    for (auto _ : state) {
        quad.Draw(format, family.index, draw, target.Raster(), raster);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}

void FullScreenSdl(benchmark::State& state, Family family, TargetFormat format)
{
    SdlTarget target(format, kWidth, kHeight);
    SdlTexture texture(target, 256, 256, family.translucent);
    SDL_Color color = family.modulated ? kSdlModulation : SDL_Color{255, 255, 255, 255};
    const Quad quad(0, 0, kWidth, kHeight, 256, 256, !family.textured, color);
    SDL_SetTextureBlendMode(texture.texture, family.sdlBlend);
    SDL_SetRenderDrawBlendMode(target.renderer, family.sdlBlend);
    for (auto _ : state) {
        SDL_RenderGeometry(target.renderer, family.textured ? texture.texture : nullptr, quad.sdl, 4,
                           kQuadIndices, 6);
        SDL_RenderFlush(target.renderer);
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}

// Where the i-th of many small quads of one size goes: spread over the
// target at sub-pixel positions.
SDL_FPoint Place(int i, int width, int height)
{
    return {static_cast<float>((i * 37) % (kWidth - width - 1)) + 0.37f,
            static_cast<float>((i * 53) % (kHeight - height - 1)) + 0.61f};
}

// Many small textured quads per iteration, each drawing its texture once.
struct SpriteWork
{
    int size;
    int count;
    uint32_t index;         // our member
    SDL_BlendMode sdlBlend; // SDL's blend mode for the same work
    bool translucent;       // texture with soft edges and clear corners
    bool modulated;
};

void SpritesOurs(benchmark::State& state, TargetFormat format, SpriteWork work)
{
    SdlTarget target(format, kWidth, kHeight);
    const int side = work.size >= 16 ? work.size : 16;
    SdlTexture texture(target, side, side, work.translucent);
    const TriangleRasterizer draw = (*TriangleRasterizers(format))[work.index];
    const RasterTexture raster = texture.Raster();
    const float size = static_cast<float>(work.size);
    for (auto _ : state) {
        for (int i = 0; i < work.count; ++i) {
            const SDL_FPoint at = Place(i, work.size, work.size);
            const Quad quad(at.x, at.y, size, size, size, size, false, SDL_Color{});
            quad.Draw(format, work.index, draw, target.Raster(), raster);
        }
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * work.count * work.size * work.size);
}

void SpritesSdl(benchmark::State& state, TargetFormat format, SpriteWork work)
{
    SdlTarget target(format, kWidth, kHeight);
    const int side = work.size >= 16 ? work.size : 16;
    SdlTexture texture(target, side, side, work.translucent);
    SDL_SetTextureBlendMode(texture.texture, work.sdlBlend);
    if (work.modulated) {
        SDL_SetTextureColorMod(texture.texture, kSdlModulation.r, kSdlModulation.g, kSdlModulation.b);
        SDL_SetTextureAlphaMod(texture.texture, kSdlModulation.a);
    }
    const SDL_Rect source{0, 0, work.size, work.size};
    const float size = static_cast<float>(work.size);
    for (auto _ : state) {
        for (int i = 0; i < work.count; ++i) {
            const SDL_FPoint at = Place(i, work.size, work.size);
            const SDL_FRect dest{at.x, at.y, size, size};
            SDL_RenderCopyF(target.renderer, texture.texture, &source, &dest);
        }
        SDL_RenderFlush(target.renderer);
    }
    state.SetItemsProcessed(state.iterations() * work.count * work.size * work.size);
}

// Rectangles of one flat colour, as the game fills panels and shades: the
// software renderer draws untextured triangles with interpolated colour.
constexpr int kFillWidth = 200;
constexpr int kFillHeight = 40;
constexpr int kFillCount = 40;

void FillsOurs(benchmark::State& state, TargetFormat format, SDL_Color color)
{
    SdlTarget target(format, kWidth, kHeight);
    const TriangleRasterizer draw = (*TriangleRasterizers(format))[kModeGouraud];
    const RasterTexture none{};
    for (auto _ : state) {
        for (int i = 0; i < kFillCount; ++i) {
            const SDL_FPoint at = Place(i, kFillWidth, kFillHeight);
            Quad(at.x, at.y, kFillWidth, kFillHeight, 1, 1, false, color)
                .Draw(format, kModeGouraud, draw, target.Raster(), none);
        }
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kFillCount * kFillWidth * kFillHeight);
}

void FillsSdl(benchmark::State& state, TargetFormat format, SDL_Color color)
{
    SdlTarget target(format, kWidth, kHeight);
    SDL_SetRenderDrawBlendMode(target.renderer, SDL_BLENDMODE_BLEND);
    for (auto _ : state) {
        for (int i = 0; i < kFillCount; ++i) {
            const SDL_FPoint at = Place(i, kFillWidth, kFillHeight);
            const Quad quad(at.x, at.y, kFillWidth, kFillHeight, 1, 1, false, color);
            SDL_RenderGeometry(target.renderer, nullptr, quad.sdl, 4, kQuadIndices, 6);
        }
        SDL_RenderFlush(target.renderer);
    }
    state.SetItemsProcessed(state.iterations() * kFillCount * kFillWidth * kFillHeight);
}

std::string FormatName(TargetFormat format)
{
    return TargetFormatName(format);
}

// The small-quad workloads: sprites of 64 x 64 in each blend mode the game
// draws them with, 16 x 16 ones in the translucent modes, and glyph-sized quads of
// modulated text.
struct NamedSprites
{
    const char* name;
    SpriteWork work;
};

constexpr uint32_t kTexAlpha = kModeTextured | kModeTextureAlpha;

constexpr NamedSprites kSprites[] = {
    {"Sprite64/%s/Tex", {64, 100, kModeTextured, SDL_BLENDMODE_NONE, false, false}},
    {"Sprite64/%s/TexAlpha", {64, 100, kTexAlpha, SDL_BLENDMODE_BLEND, true, false}},
    {"Sprite64/%s/TexAlphaModulate", {64, 100, kTexAlpha | kModeModulate, SDL_BLENDMODE_BLEND, true, true}},
    {"Sprite64/%s/AdditiveTexAlpha", {64, 100, kModeAdditive | kTexAlpha, SDL_BLENDMODE_ADD, true, false}},
    // SDL has no fill-coloured texture mode: its nearest work is the plain alpha blend.
    {"Sprite64/%s/ColorFillTexAlpha",
     {64, 100, kModeColorFill | kTexAlpha, SDL_BLENDMODE_BLEND, true, false}},
    {"Sprite16/%s/TexAlpha", {16, 1000, kTexAlpha, SDL_BLENDMODE_BLEND, true, false}},
    {"Sprite16/%s/TexAlphaModulate", {16, 1000, kTexAlpha | kModeModulate, SDL_BLENDMODE_BLEND, true, true}},
    {"Sprite16/%s/AdditiveTexAlpha", {16, 1000, kModeAdditive | kTexAlpha, SDL_BLENDMODE_ADD, true, false}},
    {"Sprite16/%s/ColorFillTexAlpha",
     {16, 1000, kModeColorFill | kTexAlpha, SDL_BLENDMODE_BLEND, true, false}},
    {"Glyph8/%s/TexAlphaModulate", {8, 2000, kTexAlpha | kModeModulate, SDL_BLENDMODE_BLEND, true, true}},
};

const bool kRegistered = [] {
    for (TargetFormat format : kFormats) {
        for (const Family& family : kFamilies) {
            const std::string name = "FullScreen/" + FormatName(format) + "/" + family.name;
            benchmark::RegisterBenchmark((name + "/ours").c_str(), FullScreenOurs, family, format)
                ->Unit(benchmark::kMicrosecond);
            if (family.sdlBlend != SDL_BLENDMODE_INVALID) {
                benchmark::RegisterBenchmark((name + "/sdl").c_str(), FullScreenSdl, family, format)
                    ->Unit(benchmark::kMicrosecond);
            }
        }
        for (const NamedSprites& sprites : kSprites) {
            char name[64];
            std::snprintf(name, sizeof name, sprites.name, FormatName(format).c_str());
            benchmark::RegisterBenchmark((std::string(name) + "/ours").c_str(), SpritesOurs, format,
                                         sprites.work)
                ->Unit(benchmark::kMicrosecond);
            benchmark::RegisterBenchmark((std::string(name) + "/sdl").c_str(), SpritesSdl, format,
                                         sprites.work)
                ->Unit(benchmark::kMicrosecond);
        }
        const std::pair<const char*, SDL_Color> fills[] = {{"FillOpaque", {20, 40, 200, 255}},
                                                           {"FillTranslucent", {0, 0, 255, 128}}};
        for (const auto& [mode, color] : fills) {
            const std::string name = "Fill200x40/" + FormatName(format) + "/" + mode;
            benchmark::RegisterBenchmark((name + "/ours").c_str(), FillsOurs, format, color)
                ->Unit(benchmark::kMicrosecond);
            benchmark::RegisterBenchmark((name + "/sdl").c_str(), FillsSdl, format, color)
                ->Unit(benchmark::kMicrosecond);
        }
    }
    return true;
}();

} // namespace
