#include "app/compatibility/SpanBlitter.h"

#include "app/compatibility/PixelKernelRows.h"

#include <algorithm>
#include <utility>

namespace Compatibility {

namespace {

template <class Fmt, class K>
void Blit(void* destination, const uint32_t* source, int32_t count, const RasterColor* modulation,
          const RasterColor* fill)
{
    const uint32_t fillRGB = K::kReadsFill ? Kernel::FillWord(*fill) : 0;
    const Kernel::Weights k = K::kReadsModulation
                                  ? Kernel::MakeWeights<Kernel::Factor::Modulate>(*modulation, 0, 0, 0, 0)
                                  : Kernel::Weights{};
    Rows::Shade<Fmt, K>(static_cast<typename Fmt::Pixel*>(destination), source, count, fillRGB, k);
}

template <class Fmt, uint32_t I> constexpr SpanBlitter Member()
{
    if constexpr ((I & kModeTextured) == 0 || (I & kModeGouraud) != 0) {
        return nullptr;
    } else {
        constexpr Kernel::Source source = (I & kModeColorFill) ? Kernel::Source::Fill : Kernel::Source::Texel;
        constexpr Kernel::Factor factor =
            (I & kModeModulate) ? Kernel::Factor::Modulate : Kernel::Factor::None;
        constexpr Kernel::Combine combine =
            (I & kModeAdditive) ? Kernel::Combine::AddBlended : Kernel::Combine::Replace;
        return &Blit<Fmt, Kernel::Textured<Fmt, source, factor, (I & kModeTextureAlpha) != 0, combine>>;
    }
}

template <class Fmt, size_t... I> constexpr SpanBlitterTable MakeTable(std::index_sequence<I...>)
{
    return {Member<Fmt, static_cast<uint32_t>(I)>()...};
}

template <class Fmt> const SpanBlitterTable& Table()
{
    static constexpr SpanBlitterTable table = MakeTable<Fmt>(std::make_index_sequence<64>());
    return table;
}

} // namespace

const SpanBlitterTable* SpanBlitters(TargetFormat format)
{
    switch (format) {
    case TargetFormat::ARGB8888:
        return &Table<Pixels::ARGB8888>();
    case TargetFormat::RGB565:
        return &Table<Pixels::RGB565>();
    case TargetFormat::RGB555:
        return &Table<Pixels::RGB555>();
    case TargetFormat::None:
        break;
    }
    return nullptr;
}

void WidenPixels(TargetFormat format, const uint16_t* source, uint32_t* out, int32_t count)
{
    const auto widen = [&](auto unpack) { std::transform(source, source + count, out, unpack); };
    if (format == TargetFormat::RGB565) {
        widen([](uint16_t p) { return Pixels::RGB565::Unpack(p); });
    } else if (format == TargetFormat::RGB555) {
        widen([](uint16_t p) { return Pixels::RGB555::Unpack(p); });
    }
}

std::string SpanBlitterName(TargetFormat format, uint32_t index)
{
    std::string mode;
    if (index & kModeAdditive) {
        mode += "Additive";
    }
    if (index & kModeColorFill) {
        mode += "ColorFill";
    }
    if (index & kModeTextureAlpha) {
        mode += "Alpha";
    }
    if (index & kModeModulate) {
        mode += "Modulate";
    }
    return std::string("Span_") + TargetFormatName(format) + "_" + (mode.empty() ? "Copy" : mode);
}

} // namespace Compatibility
