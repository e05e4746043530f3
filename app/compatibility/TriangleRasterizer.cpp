#include "app/compatibility/TriangleRasterizer.h"

namespace Compatibility {

const TriangleRasterizerTable* TriangleRasterizers(TargetFormat format)
{
    switch (format) {
    case TargetFormat::ARGB8888:
        return &TriangleRasterizersARGB8888();
    case TargetFormat::RGB565:
        return &TriangleRasterizersRGB565();
    case TargetFormat::RGB555:
        return &TriangleRasterizersRGB555();
    case TargetFormat::None:
        break;
    }
    return nullptr;
}

std::string TriangleRasterizerName(TargetFormat format, uint32_t index)
{
    static const char* const kUntextured[] = {"Flat", "FlatModulate", "Gouraud", "GouraudModulate"};
    bool textured = (index & kModeTextured) != 0;
    // Both 16-bit tables share one member for the plain textured and colour-fill copies.
    bool shared = format != TargetFormat::ARGB8888 && (index == 8 || index == 24);
    std::string name = std::string("DrawTriangle_") + (shared ? "RGB16" : TargetFormatName(format)) + "_";
    if (!textured) {
        return name + kUntextured[index & 3];
    }
    if (index & kModeAdditive) {
        name += "Additive";
    }
    if (index & kModeColorFill) {
        name += "ColorFill";
    }
    name += (index & kModeTextureAlpha) ? "TexAlpha" : "Tex";
    if (index & kModeGouraud) {
        name += "Gouraud";
    }
    if (index & kModeModulate) {
        name += "Modulate";
    }
    return name;
}

} // namespace Compatibility
