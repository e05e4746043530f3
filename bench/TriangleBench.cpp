// Fill rate of the triangle rasterisers: full-screen quads per family and format, 64x64
// sprites at sub-pixel positions and glyph-sized quads, beside SDL_RenderGeometry and
// SDL_RenderCopyF doing the same work with the matching blend modes.
#include "SdlTarget.h"

#include "app/compatibility/TriangleRasterizer.h"

#include <benchmark/benchmark.h>

#include <string>

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
// texture over it once.
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
            corners[i] = Corner(xs[i], ys[i], us[i] * texW, vs[i] * texH, gouraud ? colors[i] : 0xFFFFFFFF);
            SDL_Color c =
                gouraud ? SDL_Color{static_cast<Uint8>(colors[i] >> 16), static_cast<Uint8>(colors[i] >> 8),
                                    static_cast<Uint8>(colors[i]), static_cast<Uint8>(colors[i] >> 24)}
                        : sdlColor;
            sdl[i] = SDL_Vertex{{xs[i], ys[i]}, c, {us[i], vs[i]}};
        }
    }

    void Draw(TriangleRasterizer draw, const RasterTarget& target, const RasterTexture& texture) const
    {
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
        quad.Draw(draw, target.Raster(), raster);
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

// Many small textured quads per iteration at sub-pixel positions.
void SpritesOurs(benchmark::State& state, TargetFormat format, int size, int count, uint32_t index)
{
    SdlTarget target(format, kWidth, kHeight);
    SdlTexture texture(target, size >= 16 ? size : 16, size >= 16 ? size : 16, true);
    const TriangleRasterizer draw = (*TriangleRasterizers(format))[index];
    const RasterTexture raster = texture.Raster();
    for (auto _ : state) {
        for (int i = 0; i < count; ++i) {
            const float x = static_cast<float>((i * 37) % (kWidth - size - 1)) + 0.37f;
            const float y = static_cast<float>((i * 53) % (kHeight - size - 1)) + 0.61f;
            const Quad quad(x, y, static_cast<float>(size), static_cast<float>(size),
                            static_cast<float>(size), static_cast<float>(size), false, SDL_Color{});
            quad.Draw(draw, target.Raster(), raster);
        }
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * count * size * size);
}

void SpritesSdl(benchmark::State& state, TargetFormat format, int size, int count, bool modulated)
{
    SdlTarget target(format, kWidth, kHeight);
    SdlTexture texture(target, size >= 16 ? size : 16, size >= 16 ? size : 16, true);
    SDL_SetTextureBlendMode(texture.texture, SDL_BLENDMODE_BLEND);
    if (modulated) {
        SDL_SetTextureColorMod(texture.texture, kSdlModulation.r, kSdlModulation.g, kSdlModulation.b);
        SDL_SetTextureAlphaMod(texture.texture, kSdlModulation.a);
    }
    const SDL_Rect source{0, 0, size, size};
    for (auto _ : state) {
        for (int i = 0; i < count; ++i) {
            const SDL_FRect dest{static_cast<float>((i * 37) % (kWidth - size - 1)) + 0.37f,
                                 static_cast<float>((i * 53) % (kHeight - size - 1)) + 0.61f,
                                 static_cast<float>(size), static_cast<float>(size)};
            SDL_RenderCopyF(target.renderer, texture.texture, &source, &dest);
        }
        SDL_RenderFlush(target.renderer);
    }
    state.SetItemsProcessed(state.iterations() * count * size * size);
}

std::string FormatName(TargetFormat format)
{
    return TargetFormatName(format);
}

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
        const std::string sprites = "Sprite64/" + FormatName(format) + "/TexAlpha";
        benchmark::RegisterBenchmark((sprites + "/ours").c_str(), SpritesOurs, format, 64, 100,
                                     kModeTextured | kModeTextureAlpha)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark((sprites + "/sdl").c_str(), SpritesSdl, format, 64, 100, false)
            ->Unit(benchmark::kMicrosecond);
        const std::string glyphs = "Glyph8/" + FormatName(format) + "/TexAlphaModulate";
        benchmark::RegisterBenchmark((glyphs + "/ours").c_str(), SpritesOurs, format, 8, 2000,
                                     kModeTextured | kModeTextureAlpha | kModeModulate)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark((glyphs + "/sdl").c_str(), SpritesSdl, format, 8, 2000, true)
            ->Unit(benchmark::kMicrosecond);
    }
    return true;
}();

} // namespace
