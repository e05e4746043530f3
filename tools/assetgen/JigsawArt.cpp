#include "tools/assetgen/JigsawArt.h"

#include "tools/assetgen/ArtKit.h"
#include "tools/assetgen/BundleWriter.h"
#include "tools/assetgen/Pieces.h"
#include "tools/assetgen/Rng.h"

#include <cmath>
#include <string>

namespace AssetGen {
namespace {

constexpr int W = JigsawArt::kWidth, H = JigsawArt::kHeight;
constexpr float kTab = 15;  // knob radius
constexpr int kMargin = 26; // room for a knob around each cell

Sdf Hills(float base, float a1, float f1, float a2, float f2, float phase)
{
    std::vector<Vec2> p{{-10, float(H + 10)}};
    for (int x = -10; x <= W + 10; x += 6)
        p.push_back({float(x), base + a1 * std::sin(x * f1 + phase) + a2 * std::sin(x * f2 + phase * 1.7f)});
    p.push_back({float(W + 10), float(H + 10)});
    return Shape::Polygon(p);
}

Canvas Sunset()
{
    Canvas c(W, H);
    c.FillAll(Paints::Vertical(0, Color::Hex(0x3A1C6E), 230, Color::Hex(0xFF9A4A)));
    c.Fill(Mask::FromSdf(W, H, Shape::Circle(300, 190, 60)).Blurred(30).Scaled(1.2f),
           Color::Hex(0xFFE08A, 0.6f));
    c.FillShape(Shape::Circle(300, 190, 44),
                Paints::Vertical(146, Color::Hex(0xFFF6C0), 234, Color::Hex(0xFF7A2A)));
    const uint32_t layers[] = {0x7A3A8A, 0x4A2A7A, 0x2A5A4A, 0x1A3A2A};
    for (int i = 0; i < 4; ++i)
        c.FillShape(Hills(200 + i * 45.0f, 22 - i * 3.0f, 0.012f + i * 0.004f, 10, 0.031f, i * 1.3f),
                    Paints::Vertical(150 + i * 45.0f, Color::Hex(layers[i]).Lighter(0.15f), H,
                                     Color::Hex(layers[i]).Darker(0.3f)));
    // A path winding down the near hill, with trees and flowers beside it.
    Mask path(W, H);
    for (float t = 0; t <= 1; t += 0.01f) {
        float y = 300 + t * 80, x = 240 + 60 * std::sin(t * 5) + t * 30;
        float r = 4 + t * 16;
        path.Merge(Mask::FromSdf(int(2 * r + 4), int(2 * r + 4), Shape::Ellipse(r + 2, r + 2, r, r * 0.5f)),
                   int(x - r), int(y - r));
    }
    c.Fill(path, Color::Hex(0xE8C88A, 0.85f));
    for (float x : {40.0f, 95.0f, 380.0f, 430.0f}) {
        float base = 318 + std::fmod(x, 23.0f);
        c.FillShape(Shape::RoundRect(x - 3, base - 10, 6, 22, 2), Color::Hex(0x4A2A1A));
        Sdf crown = Shape::Union(Shape::Circle(x, base - 26, 18), Shape::Circle(x - 11, base - 14, 12));
        crown = Shape::Union(crown, Shape::Circle(x + 11, base - 14, 12));
        Mask m = Mask::FromSdf(W, H, crown);
        c.Fill(m, Paints::Vertical(base - 44, Color::Hex(0x5ABA4A), base, Color::Hex(0x1E5A2A)));
        c.Bevel(m, 4, 0.8f);
    }
    Rng flowers(61);
    const uint32_t petals[] = {0xFF5FB4, 0xFFD31F, 0xFFFFFF, 0xE8273C};
    for (int i = 0; i < 40; ++i) {
        float x = flowers.Range(10, W - 10), y = flowers.Range(335, H - 6);
        c.FillShape(Shape::Circle(x, y, flowers.Range(2, 3.5f)), Color::Hex(petals[i % 4]));
    }
    // Pieces drifting like balloons, strings trailing.
    const Vec2 spots[] = {{70, 70}, {150, 40}, {390, 60}, {430, 120}};
    for (int i = 0; i < 4; ++i) {
        c.FillShape(Shape::Capsule({spots[i].x, spots[i].y + 18}, {spots[i].x + 6, spots[i].y + 60}, 0.8f),
                    Color{1, 1, 1, 0.6f});
        c.Draw(Pieces::Art(i * 2 + 1, 0), spots[i].x - 20, spots[i].y - 20, 40.0f / 256);
    }
    return c;
}

Canvas Sea()
{
    Canvas c(W, H);
    c.FillAll(Paints::Vertical(0, Color::Hex(0x3AC8E8), H, Color::Hex(0x0A2A6A)));
    for (int i = 0; i < 5; ++i) {
        float x = 40 + i * 100.0f;
        Sdf ray = Shape::Polygon({{x, -5}, {x + 40, -5}, {x + 10, float(H)}, {x - 40, float(H)}});
        c.Fill(Mask::FromSdf(W, H, ray).Blurred(8),
               Paints::Vertical(0, Color{1, 1, 1, 0.18f}, H, Color{1, 1, 1, 0}));
    }
    c.FillShape(Hills(330, 10, 0.02f, 5, 0.05f, 0.5f),
                Paints::Vertical(310, Color::Hex(0xE8D08A), H, Color::Hex(0x8A6A3A)));
    Rng rng(31);
    for (int i = 0; i < 7; ++i) {
        float x = 20 + i * 68.0f + rng.Range(-10, 10);
        for (int k = 0; k < 10; ++k) {
            float y0 = 340 - k * 14.0f, y1 = y0 - 14;
            float sway = 8 * std::sin(k * 0.7f + i);
            c.FillShape(
                Shape::Capsule({x + sway, y0}, {x + 8 * std::sin((k + 1) * 0.7f + i), y1}, 4.5f - k * 0.3f),
                Color::Hex(i % 2 ? 0x2A9A4A : 0x4ABA3A));
        }
    }
    const uint32_t fish[] = {0xFF8A1A, 0xFFD31F, 0xE8406A, 0x9B3FE0};
    for (int i = 0; i < 4; ++i) {
        float x = 80 + i * 95.0f, y = 90 + (i % 2) * 70.0f;
        Sdf body = Shape::Union(Shape::Ellipse(x, y, 30, 17),
                                Shape::Polygon({{x + 24, y}, {x + 46, y - 16}, {x + 46, y + 16}}));
        Mask m = Mask::FromSdf(W, H, body);
        c.Fill(m, Paints::Vertical(y - 17, Color::Hex(fish[i]).Lighter(0.3f), y + 17,
                                   Color::Hex(fish[i]).Darker(0.2f)));
        c.Bevel(m, 4, 1.0f);
        c.FillShape(Shape::Circle(x - 16, y - 4, 4), Color{1, 1, 1, 1});
        c.FillShape(Shape::Circle(x - 17, y - 4, 2), Palette::kInk);
    }
    for (int i = 0; i < 18; ++i)
        c.FillShape(Shape::Ring(Shape::Circle(rng.Range(0, W), rng.Range(0, 300), rng.Range(3, 9)), 1.5f),
                    Color{1, 1, 1, 0.6f});
    c.Draw(Pieces::Art(4, 0), 330, 300, 48.0f / 256);
    c.Draw(Pieces::Art(6, 0), 390, 310, 40.0f / 256);
    return c;
}

Canvas Castle()
{
    Canvas c(W, H);
    c.FillAll(Paints::Vertical(0, Color::Hex(0x14144A), 260, Color::Hex(0x6A7AC8)));
    Rng rng(47);
    for (int i = 0; i < 60; ++i)
        ArtKit::Sparkle(c, rng.Range(0, W), rng.Range(0, 160), rng.Range(1.5f, 4),
                        Color{1, 1, 1, rng.Range(0.4f, 0.9f)});
    c.Fill(Mask::FromSdf(W, H, Shape::Circle(380, 70, 50)).Blurred(25), Color::Hex(0xFFF4C0, 0.4f));
    c.FillShape(Shape::Subtract(Shape::Circle(380, 70, 36), Shape::Circle(398, 60, 32)),
                Color::Hex(0xFFF4C0));
    for (int i = 0; i < 4; ++i) {
        float x = rng.Range(30, 430), y = rng.Range(60, 150);
        Sdf cloud = Shape::Union(Shape::Ellipse(x, y, 50, 12), Shape::Ellipse(x + 20, y - 8, 26, 12));
        c.Fill(Mask::FromSdf(W, H, cloud).Blurred(4), Color{0.85f, 0.88f, 1, 0.35f});
    }
    c.FillShape(Hills(230, 16, 0.013f, 8, 0.04f, 2.0f),
                Paints::Vertical(200, Color::Hex(0x4A4A9A), H, Color::Hex(0x2A2A6A)));
    // The castle, moonlit from the right.
    Sdf castle = Shape::RoundRect(110, 170, 260, 140, 2);
    for (float x : {86.0f, 206.0f, 346.0f}) {
        float top = x == 206 ? 70.0f : 120.0f;
        castle = Shape::Union(castle, Shape::RoundRect(x, top, 52, 310 - top, 2));
        castle =
            Shape::Union(castle, Shape::Polygon({{x - 9, top + 1}, {x + 26, top - 56}, {x + 61, top + 1}}));
    }
    for (int k = 0; k < 9; ++k)
        castle = Shape::Union(castle, Shape::RoundRect(118 + k * 28.0f, 160, 14, 12, 1));
    Mask m = Mask::FromSdf(W, H, castle);
    c.Fill(m, Paints::Linear(80, 60, Color::Hex(0x8A8AC8), 420, 320, Color::Hex(0x3A3A78)));
    c.Bevel(m, 4, 0.8f);
    for (float x : {86.0f, 206.0f, 346.0f}) {
        float top = x == 206 ? 70.0f : 120.0f;
        c.FillShape(Shape::Polygon({{x - 9, top + 1}, {x + 26, top - 56}, {x + 61, top + 1}}),
                    Paints::Linear(x, top - 56, Color::Hex(0xE8406A), x + 61, top, Color::Hex(0x8A1A3A)));
    }
    for (auto [x, y] : {std::pair{104.0f, 160.0f},
                        {224.0f, 110.0f},
                        {224.0f, 180.0f},
                        {364.0f, 160.0f},
                        {150.0f, 210.0f},
                        {290.0f, 210.0f}})
        c.FillShape(Shape::RoundRect(x, y, 16, 24, 8), Color::Hex(0xFFD36A));
    c.FillShape(Shape::RoundRect(210, 250, 60, 62, 30), Color::Hex(0x1A1238));
    c.FillShape(Hills(320, 8, 0.02f, 4, 0.05f, 0.7f),
                Paints::Vertical(300, Color::Hex(0x3A8A5A), H, Color::Hex(0x1A4A2A)));
    c.FillShape(Shape::Polygon({{228, 312}, {252, 312}, {300, H + 2.0f}, {180, H + 2.0f}}),
                Color::Hex(0xC8B88A, 0.8f));
    for (float x : {30.0f, 60.0f, 410.0f, 440.0f}) {
        float base = 330 + (int(x) % 3) * 6.0f;
        c.FillShape(Shape::Polygon({{x, base - 70}, {x + 22, base}, {x - 22, base}}), Color::Hex(0x1E5A3A));
        c.FillShape(Shape::RoundRect(x - 3, base, 6, 12, 1), Color::Hex(0x4A2A1A));
    }
    c.Draw(Pieces::Art(Pieces::kSkull, 0), 20, 30, 44.0f / 256);
    c.Draw(Pieces::Art(2, 0), 120, 330, 30.0f / 256);
    c.Draw(Pieces::Art(6, 0), 330, 336, 30.0f / 256);
    c.Draw(Pieces::Art(3, 0), 150, 345, 26.0f / 256);
    return c;
}

// Which way each inner edge's knob points: +1 into the next cell.
struct Cuts
{
    int across[JigsawArt::kRows][JigsawArt::kColumns]; // edges to the right of a cell
    int down[JigsawArt::kRows][JigsawArt::kColumns];   // edges below a cell
};

Cuts MakeCuts(unsigned seed)
{
    Rng rng(seed);
    Cuts cuts{};
    for (int r = 0; r < JigsawArt::kRows; ++r)
        for (int c = 0; c < JigsawArt::kColumns; ++c) {
            cuts.across[r][c] = rng.Int(2) ? 1 : -1;
            cuts.down[r][c] = rng.Int(2) ? 1 : -1;
        }
    return cuts;
}

// The piece at (col, row) in picture coordinates: its cell, with knobs
// added where they point out and taken away where a neighbour's points in.
Sdf PieceShape(const Cuts& cuts, int col, int row)
{
    float cw = float(W) / JigsawArt::kColumns, ch = float(H) / JigsawArt::kRows;
    float x0 = col * cw, y0 = row * ch, x1 = x0 + cw, y1 = y0 + ch;
    Sdf shape = Shape::RoundRect(x0, y0, cw, ch, 0.5f);
    auto knob = [&](float ex, float ey, float nx, float ny, int sign) {
        Sdf circle = Shape::Circle(ex + nx * sign * kTab * 0.6f, ey + ny * sign * kTab * 0.6f, kTab);
        shape = sign > 0 ? Shape::Union(shape, circle) : Shape::Subtract(shape, circle);
    };
    if (col + 1 < JigsawArt::kColumns)
        knob(x1, (y0 + y1) / 2, 1, 0, cuts.across[row][col]);
    if (col > 0)
        knob(x0, (y0 + y1) / 2, -1, 0, -cuts.across[row][col - 1]);
    if (row + 1 < JigsawArt::kRows)
        knob((x0 + x1) / 2, y1, 0, 1, cuts.down[row][col]);
    if (row > 0)
        knob((x0 + x1) / 2, y0, 0, -1, -cuts.down[row - 1][col]);
    return shape;
}

} // namespace

Canvas JigsawArt::Picture(int index)
{
    switch (index) {
    case 0:
        return Sunset();
    case 1:
        return Sea();
    default:
        return Castle();
    }
}

int JigsawArt::WritePuzzle(AssetWriter& out, int index)
{
    Canvas picture = Picture(index);
    Cuts cuts = MakeCuts(900 + unsigned(index));
    std::string folder = "graphics\\jigsaws\\puzzle" + std::to_string(index + 1);
    BundleWriter b(out, folder, true);
    std::string layout;
    float cw = float(W) / kColumns, ch = float(H) / kRows;
    for (int piece = 0; piece < kColumns * kRows; ++piece) {
        int col = piece % kColumns, row = piece / kColumns;
        int x0 = std::max(0, int(std::floor(col * cw)) - kMargin),
            y0 = std::max(0, int(std::floor(row * ch)) - kMargin);
        int x1 = std::min(W, int(std::ceil((col + 1) * cw)) + kMargin);
        int y1 = std::min(H, int(std::ceil((row + 1) * ch)) + kMargin);
        Sdf shape = Shape::Translate(PieceShape(cuts, col, row), float(-x0), float(-y0));
        Canvas art = picture.Cropped(x0, y0, x1 - x0, y1 - y0);
        Mask m = Mask::FromSdf(art.Width(), art.Height(), shape);
        art.Bevel(m, 4, 0.8f);
        art.Fill(Mask::FromSdf(art.Width(), art.Height(), Shape::Ring(Shape::Grow(shape, -0.8f), 1.6f)),
                 Color{0, 0, 0, 0.45f});
        art.KeepInside(m);
        b.Add("image" + std::to_string(piece), art, ImageFormat::JpegWithMask);
        layout += "<PIECE><POS>" + std::to_string(x0) + "," + std::to_string(y0) + "</POS></PIECE>\r\n";
    }
    b.Finish();
    out.SaveText(folder + "\\info.cfg", layout);
    return b.Steps();
}

int JigsawArt::Write(AssetWriter& out)
{
    int steps = 0;
    for (int i = 0; i < 3; ++i)
        steps += WritePuzzle(out, i);
    return steps;
}

} // namespace AssetGen
