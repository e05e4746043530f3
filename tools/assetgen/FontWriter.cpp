#include "tools/assetgen/FontWriter.h"

#include "tools/assetgen/ArtKit.h"

#include <cstring>

namespace AssetGen {
namespace {

constexpr int kPageWidth = 512;
constexpr int kGap = 2;

std::string Printable()
{
    std::string s;
    for (int c = 33; c < 127; ++c)
        s += char(c);
    return s;
}

void PutInt(std::vector<uint8_t>& out, int32_t v)
{
    uint32_t u = uint32_t(v);
    for (int i = 0; i < 4; ++i)
        out.push_back(uint8_t(u >> (8 * i)));
}

void PutFloat(std::vector<uint8_t>& out, float v)
{
    uint32_t u;
    std::memcpy(&u, &v, 4);
    PutInt(out, int32_t(u));
}

int PageHeight(int used)
{
    int h = 32;
    while (h < used)
        h *= 2;
    return h;
}

} // namespace

FontWriter::FontWriter(AssetWriter& out, Typeface face, int pixelSize)
    : mOut(out), mFace(face), mSize(pixelSize), mAscender(ArtKit::Text().Ascender(face, pixelSize)),
      mDescender(ArtKit::Text().Descender(face, pixelSize))
{
}

int FontWriter::LineStep(Typeface face, int pixelSize)
{
    return ArtKit::Text().Ascender(face, pixelSize) + ArtKit::Text().Descender(face, pixelSize) +
           (3 * pixelSize + 5) / 10;
}

Canvas FontWriter::Pack(const std::string& chars, int cellHeight, std::vector<Placed>& placed) const
{
    int x = kGap, y = kGap, rowHeight = 0;
    for (unsigned char c : chars) {
        GlyphImage g = ArtKit::Text().Glyph(mFace, mSize, c);
        int w = g.mask.Width() + 2, h = cellHeight > 0 ? cellHeight : g.mask.Height() + 2;
        if (x + w + kGap > kPageWidth) {
            x = kGap;
            y += rowHeight + kGap;
            rowHeight = 0;
        }
        placed.push_back({c, g, x + 1, cellHeight > 0 ? y + mAscender - g.top : y + 1});
        x += w + kGap;
        rowHeight = std::max(rowHeight, h);
    }
    Canvas page(kPageWidth, PageHeight(y + rowHeight + kGap));
    Mask coverage(page.Width(), page.Height());
    for (const Placed& p : placed)
        coverage.Merge(p.glyph.mask, p.x, p.y);
    page.Fill(coverage, Color{1, 1, 1, 1});
    return page;
}

void FontWriter::WriteTagForm(const std::string& name)
{
    std::vector<Placed> placed;
    Canvas page = Pack(Printable(), 0, placed);
    mOut.SaveImage(name, page);
    // The game wraps its message box text with this font and tightens the
    // line step by 12.
    std::string text =
        "<HEIGHT>" + std::to_string(LineStep(mFace, mSize)) + "</HEIGHT>\r\n<YOFFSET>0</YOFFSET>\r\n";
    text += "<SPACE>" + std::to_string(ArtKit::Text().Glyph(mFace, mSize, ' ').advance) + "</SPACE>\r\n";
    for (const Placed& p : placed) {
        // The loader takes one off each offset; the cell has a pixel of margin.
        int x1 = p.x - 1, y1 = p.y - 1;
        int x2 = x1 + p.glyph.mask.Width() + 2, y2 = y1 + p.glyph.mask.Height() + 2;
        text += "<CHAR><ID>" + std::to_string(p.code) + "</ID><WIDTH>" + std::to_string(p.glyph.advance) +
                "</WIDTH><OFFSET>" + std::to_string(p.glyph.left) + "," +
                std::to_string(mAscender - p.glyph.top) + "</OFFSET><RECT>" + std::to_string(x1) + "," +
                std::to_string(y1) + "-" + std::to_string(x2) + "," + std::to_string(y2) +
                "</RECT></CHAR>\r\n";
    }
    mOut.SaveText(name + ".font", text);
}

void FontWriter::WriteBinaryForm(const std::string& name)
{
    // Every cell spans the whole line box: the loader takes the tallest
    // cell as the line height and places glyphs with no vertical offset.
    std::vector<Placed> placed;
    Canvas page = Pack(" " + Printable(), LineHeight(), placed);
    mOut.SaveImage(name + "\\data0", page);
    std::vector<uint8_t> bytes;
    PutInt(bytes, 1);
    PutInt(bytes, int32_t(placed.size()));
    for (const Placed& p : placed) {
        bytes.push_back(p.code);
        PutInt(bytes, 0);
        PutFloat(bytes, float(p.x - 1));
        PutFloat(bytes, float(p.y - (mAscender - p.glyph.top)));
        PutFloat(bytes, float(p.glyph.mask.Width() + 2));
        PutFloat(bytes, float(LineHeight()));
        PutInt(bytes, p.glyph.advance);
        PutInt(bytes, p.glyph.left - 1);
        PutInt(bytes, 0);
    }
    mOut.SaveBytes(name + "\\font.description", bytes);
}

void FontWriter::WriteScriptForm(const std::string& name)
{
    // The script's lists split at ',' and count parentheses, so those
    // three characters have no glyph in this form.
    std::string chars;
    for (char c : Printable())
        if (c != ',' && c != '(' && c != ')')
            chars += c;
    std::vector<Placed> placed;
    Canvas page = Pack(chars, 0, placed);
    std::string file = name.substr(name.find_last_of('\\') + 1);
    mOut.SaveImage(name + "_layer", page);

    std::string charList, widths, rects, offsets;
    for (const Placed& p : placed) {
        std::string sep = charList.empty() ? "" : ",";
        char quote = p.code == '\'' ? '"' : '\'';
        charList += sep + quote + char(p.code) + quote;
        widths += sep + std::to_string(p.glyph.advance);
        rects += sep + "(" + std::to_string(p.x) + "," + std::to_string(p.y) + "," +
                 std::to_string(p.glyph.mask.Width()) + "," + std::to_string(p.glyph.mask.Height()) + ")";
        offsets +=
            sep + "(" + std::to_string(p.glyph.left) + "," + std::to_string(mAscender - p.glyph.top) + ")";
    }
    std::string text = "LayerSetImage 0 '" + file + "_layer';\r\n";
    text += "Define CharList glyphs (" + charList + ");\r\n";
    text += "Define WidthList advances (" + widths + ");\r\n";
    text += "Define RectList cells (" + rects + ");\r\n";
    text += "Define OffsetList offsets (" + offsets + ");\r\n";
    text += "LayerSetCharWidths 0 (' ') (" + std::to_string(ArtKit::Text().Glyph(mFace, mSize, ' ').advance) +
            ");\r\n";
    mOut.SaveText(name + ".txt", text);
}

} // namespace AssetGen
