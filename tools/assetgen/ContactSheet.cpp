#include "tools/assetgen/ContactSheet.h"

#include "tools/assetgen/ArtKit.h"
#include "tools/assetgen/PngWriter.h"

#include <algorithm>

namespace AssetGen {
namespace {

constexpr int kColumns = 14;
constexpr int kCell = 128;
constexpr int kLabel = 26;

Canvas Checkerboard(int width, int height)
{
    Canvas c(width, height);
    c.FillAll([](float x, float y) {
        bool odd = (int(x) / 8 + int(y) / 8) % 2;
        return odd ? Color{0.62f, 0.62f, 0.66f, 1} : Color{0.78f, 0.78f, 0.82f, 1};
    });
    return c;
}

void Label(Canvas& sheet, const std::string& text, float cx, float cy)
{
    TextStyle style;
    style.face = Typeface::Condensed;
    style.size = 10;
    style.top = style.bottom = Color{1, 1, 1, 1};
    style.outlineWidth = 0;
    style.shadow = 0;
    ArtKit::DrawText(sheet, text, style, cx, cy);
}

} // namespace

void ContactSheet::Write(const std::string& path, const std::vector<Thumbnail>& thumbnails)
{
    int rows = (int(thumbnails.size()) + kColumns - 1) / kColumns;
    Canvas sheet(kColumns * kCell, rows * (kCell + kLabel), Color::Hex(0x202028));
    for (size_t i = 0; i < thumbnails.size(); ++i) {
        const Thumbnail& t = thumbnails[i];
        float x = float(i % kColumns * kCell), y = float(i / kColumns * (kCell + kLabel));
        Canvas cell = Checkerboard(t.picture.Width(), t.picture.Height());
        cell.Draw(t.picture, 0, 0);
        sheet.Draw(cell, x + (kCell - cell.Width()) / 2, y + (kCell - cell.Height()) / 2);
        std::string name = t.name.substr(t.name.find('\\') + 1);
        Label(sheet, name, x + kCell / 2.0f, y + kCell + 6);
        Label(sheet, std::to_string(t.width) + "x" + std::to_string(t.height), x + kCell / 2.0f,
              y + kCell + 18);
    }
    PngWriter::Write(path, sheet.Width(), sheet.Height(), sheet.ToRgba8(), PngWriter::Layout::Rgb);
}

} // namespace AssetGen
