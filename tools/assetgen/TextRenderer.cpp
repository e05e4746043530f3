#include "tools/assetgen/TextRenderer.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <stdexcept>

namespace AssetGen {
namespace {

const char* FontFile(Typeface face)
{
    switch (face) {
    case Typeface::Heavy:
        return "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
    case Typeface::Condensed:
        return "/usr/share/fonts/truetype/dejavu/DejaVuSansCondensed-Bold.ttf";
    case Typeface::Regular:
        break;
    }
    return "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
}

} // namespace

TextRenderer::TextRenderer()
{
    FT_Library lib;
    if (FT_Init_FreeType(&lib) != 0)
        throw std::runtime_error("FreeType could not start");
    mLibrary = lib;
}

TextRenderer::~TextRenderer()
{
    for (auto& [face, handle] : mFaces)
        FT_Done_Face(static_cast<FT_Face>(handle));
    FT_Done_FreeType(static_cast<FT_Library>(mLibrary));
}

void* TextRenderer::FaceFor(Typeface face, int pixelSize)
{
    auto it = mFaces.find(face);
    if (it == mFaces.end()) {
        FT_Face f;
        if (FT_New_Face(static_cast<FT_Library>(mLibrary), FontFile(face), 0, &f) != 0)
            throw std::runtime_error(std::string("missing font ") + FontFile(face));
        it = mFaces.emplace(face, f).first;
    }
    FT_Face f = static_cast<FT_Face>(it->second);
    FT_Set_Pixel_Sizes(f, 0, FT_UInt(pixelSize));
    return f;
}

GlyphImage TextRenderer::Glyph(Typeface face, int pixelSize, unsigned char c)
{
    FT_Face f = static_cast<FT_Face>(FaceFor(face, pixelSize));
    GlyphImage g;
    if (FT_Load_Char(f, c, FT_LOAD_RENDER) != 0)
        return g;
    const FT_Bitmap& bm = f->glyph->bitmap;
    g.mask = Mask(int(bm.width), int(bm.rows));
    for (unsigned y = 0; y < bm.rows; ++y)
        for (unsigned x = 0; x < bm.width; ++x)
            g.mask.Ref(int(x), int(y)) = bm.buffer[y * bm.pitch + x] / 255.0f;
    g.left = f->glyph->bitmap_left;
    g.top = f->glyph->bitmap_top;
    g.advance = int(f->glyph->advance.x >> 6);
    return g;
}

int TextRenderer::Ascender(Typeface face, int pixelSize)
{
    FT_Face f = static_cast<FT_Face>(FaceFor(face, pixelSize));
    return int(f->size->metrics.ascender >> 6);
}

int TextRenderer::Descender(Typeface face, int pixelSize)
{
    FT_Face f = static_cast<FT_Face>(FaceFor(face, pixelSize));
    return int(-(f->size->metrics.descender >> 6));
}

int TextRenderer::Measure(Typeface face, int pixelSize, const std::string& text)
{
    int width = 0;
    for (unsigned char c : text)
        width += Glyph(face, pixelSize, c).advance;
    return width;
}

TextBlock TextRenderer::Line(Typeface face, int pixelSize, const std::string& text, int pad)
{
    int ascender = Ascender(face, pixelSize);
    int height = ascender + Descender(face, pixelSize);
    TextBlock block;
    block.mask = Mask(Measure(face, pixelSize, text) + 2 * pad, height + 2 * pad);
    block.baseline = pad + ascender;
    int pen = pad;
    for (unsigned char c : text) {
        GlyphImage g = Glyph(face, pixelSize, c);
        block.mask.Merge(g.mask, pen + g.left, block.baseline - g.top);
        pen += g.advance;
    }
    return block;
}

} // namespace AssetGen
