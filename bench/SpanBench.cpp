// Span blitters over rows of several lengths beside SDL_BlitSurface of the same rows with
// the matching blend and colour modulation, and the plain 32-bit copy beside memcpy.
#include "SdlTarget.h"

#include "app/compatibility/SpanBlitter.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <string>

using namespace Compatibility;

namespace {

constexpr int kRows = 256;
constexpr int kWidth = 800;

struct Mode
{
    const char* name;
    uint32_t index;
    SDL_BlendMode sdlBlend;
    bool modulated;
};

constexpr Mode kModes[] = {
    {"Copy", kModeTextured, SDL_BLENDMODE_NONE, false},
    {"Alpha", kModeTextured | kModeTextureAlpha, SDL_BLENDMODE_BLEND, false},
    {"AlphaModulate", kModeTextured | kModeTextureAlpha | kModeModulate, SDL_BLENDMODE_BLEND, true},
    {"AdditiveAlpha", kModeAdditive | kModeTextured | kModeTextureAlpha, SDL_BLENDMODE_ADD, false},
};

constexpr TargetFormat kFormats[] = {TargetFormat::ARGB8888, TargetFormat::RGB565, TargetFormat::RGB555};
constexpr int kLengths[] = {8, 64, 512};

const RasterColor kModulation{200, 230, 180, 160};

// Each iteration draws one span into each of kRows rows, so the destination is not all in cache.
void SpansOurs(benchmark::State& state, Mode mode, TargetFormat format, int length)
{
    SdlTarget target(format, kWidth, kRows);
    SdlTexture source(target, 512, 1, true);
    const SpanBlitter blit = (*SpanBlitters(format))[mode.index];
    const RasterColor fill{0, 255, 255, 255};
    const int bytes = target.BytesPerPixel();
    for (auto _ : state) {
        for (int y = 0; y < kRows; ++y) {
            blit(target.Row(y) + (y * 7 % 64) * bytes, source.texels.data(), length, &kModulation, &fill);
        }
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kRows * length);
}

void SpansSdl(benchmark::State& state, Mode mode, TargetFormat format, int length)
{
    SdlTarget target(format, kWidth, kRows);
    SdlTexture source(target, 512, 1, true);
    SDL_SetSurfaceBlendMode(source.surface, mode.sdlBlend);
    if (mode.modulated) {
        SDL_SetSurfaceColorMod(source.surface, static_cast<Uint8>(kModulation.r),
                               static_cast<Uint8>(kModulation.g), static_cast<Uint8>(kModulation.b));
        SDL_SetSurfaceAlphaMod(source.surface, static_cast<Uint8>(kModulation.a));
    }
    for (auto _ : state) {
        for (int y = 0; y < kRows; ++y) {
            SDL_Rect from{0, 0, length, 1};
            SDL_Rect to{y * 7 % 64, y, length, 1};
            SDL_BlitSurface(source.surface, &from, target.surface, &to);
        }
    }
    state.SetItemsProcessed(state.iterations() * kRows * length);
}

void CopyMemcpy(benchmark::State& state, int length)
{
    SdlTarget target(TargetFormat::ARGB8888, kWidth, kRows);
    SdlTexture source(target, 512, 1, false);
    for (auto _ : state) {
        for (int y = 0; y < kRows; ++y) {
            std::memcpy(target.Row(y) + (y * 7 % 64) * 4, source.texels.data(),
                        static_cast<size_t>(length) * 4);
        }
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kRows * length);
}

const bool kRegistered = [] {
    for (TargetFormat format : kFormats) {
        for (const Mode& mode : kModes) {
            for (int length : kLengths) {
                const std::string name =
                    "Span" + std::to_string(length) + "/" + TargetFormatName(format) + "/" + mode.name;
                benchmark::RegisterBenchmark((name + "/ours").c_str(), SpansOurs, mode, format, length);
                benchmark::RegisterBenchmark((name + "/sdl").c_str(), SpansSdl, mode, format, length);
                if (format == TargetFormat::ARGB8888 && mode.index == kModeTextured) {
                    benchmark::RegisterBenchmark((name + "/memcpy").c_str(), CopyMemcpy, length);
                }
            }
        }
    }
    return true;
}();

} // namespace
