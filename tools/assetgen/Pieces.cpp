#include "tools/assetgen/Pieces.h"

#include "tools/assetgen/ArtKit.h"

#include <cmath>
#include <string>
#include <tuple>

namespace AssetGen {
namespace {

constexpr float kC = Pieces::kSize / 2.0f;

Sdf Heart(float cx, float cy, float s)
{
    Sdf lobes = Shape::Union(Shape::Circle(cx - s * 0.48f, cy - s * 0.3f, s * 0.56f),
                             Shape::Circle(cx + s * 0.48f, cy - s * 0.3f, s * 0.56f));
    Sdf point = Shape::RoundPolygon(
        {{cx - s * 1.0f, cy - s * 0.12f}, {cx + s * 1.0f, cy - s * 0.12f}, {cx, cy + s * 1.02f}}, s * 0.12f);
    return Shape::Union(lobes, point);
}

Sdf Clover(float cx, float cy, float s)
{
    Sdf shape = Shape::Circle(cx, cy, s * 0.5f);
    for (int i = 0; i < 4; ++i) {
        float a = 3.14159265f / 2 * i + 3.14159265f / 4;
        shape = Shape::Union(
            shape, Shape::Circle(cx + std::cos(a) * s * 0.5f, cy + std::sin(a) * s * 0.5f, s * 0.5f));
    }
    return shape;
}

// Silhouette of each colour kind around (cx, cy), s about the radius.
Sdf KindShape(int kind, float cx, float cy, float s)
{
    switch (kind) {
    case 0:
        return Shape::Circle(cx, cy, s);
    case 1:
        return Shape::RoundRect(cx - s * 0.9f, cy - s * 0.9f, s * 1.8f, s * 1.8f, s * 0.28f);
    case 2:
        return Shape::RoundPolygon(Shape::StarPoints(cx, cy + s * 0.06f, s * 1.08f, s * 0.52f, 5), s * 0.1f);
    case 3:
        return Shape::RoundPolygon(Shape::RegularPoints(cx, cy + s * 0.22f, s * 1.18f, 3), s * 0.2f);
    case 4:
        return Shape::RoundPolygon(
            {{cx, cy - s * 1.05f}, {cx + s * 0.9f, cy}, {cx, cy + s * 1.05f}, {cx - s * 0.9f, cy}},
            s * 0.14f);
    case 5:
        return Shape::RoundPolygon(Shape::RegularPoints(cx, cy, s * 1.02f, 6, 30), s * 0.12f);
    case 6:
        return Heart(cx, cy + s * 0.02f, s * 0.9f);
    default:
        return Clover(cx, cy, s * 1.12f);
    }
}

// Centre of mass of the lighter area of each shape, for the inner glyph.
float GlyphDrop(int kind)
{
    return kind == 3 ? 26.0f : kind == 2 ? 8.0f : 0.0f;
}

} // namespace

Color Pieces::KindColor(int kind)
{
    static const uint32_t colours[] = {0xE8273C, 0xFF8C12, 0xFFD31F, 0x3FC92E,
                                       0x2E7BFF, 0x9B3FE0, 0xFF5FB4, 0x16D6D0};
    return Color::Hex(colours[kind % kColourKinds]);
}

Canvas Pieces::Art(int kind, int variant)
{
    if (kind == kSkull)
        return Skull(variant);
    Canvas c(kSize, kSize);
    bool active = variant == 1;
    Color base = KindColor(kind);
    Color dark = base.Darker(0.55f);
    Color light = base.Lighter(0.3f);
    if (active) {
        base = base.Lighter(0.2f);
        light = light.Lighter(0.4f);
    }
    Sdf outer = KindShape(kind, kC, kC, 112);
    Sdf body = Shape::Grow(outer, -8);
    Mask outerMask = Mask::FromSdf(kSize, kSize, outer);
    Mask bodyMask = Mask::FromSdf(kSize, kSize, body);
    c.Fill(outerMask, Paints::Linear(40, 40, dark.Lighter(0.2f), 220, 220, dark.Darker(0.4f)));
    c.Fill(bodyMask, Paints::Radial(96, 84, 190, light, base.Darker(0.3f)));
    c.Bevel(bodyMask, 14, 1.0f);

    // The same silhouette again, small and raised: the shape reads even at
    // the smallest board size.
    float drop = GlyphDrop(kind);
    Sdf glyph = KindShape(kind, kC, kC + drop * 0.4f, 44.0f);
    Mask glyphMask = Mask::FromSdf(kSize, kSize, glyph);
    c.Shadow(glyphMask, 3, 4, 4, 0.35f);
    c.Fill(glyphMask, Paints::Linear(96, 96, light.Lighter(0.5f), 170, 170, base));
    c.Bevel(glyphMask, 5, 1.4f);

    c.Gloss(Mask::FromSdf(kSize, kSize, Shape::Ellipse(kC - 10, 78, 70, 34)).Times(bodyMask), 40, 112, 0.75f);
    if (active) {
        c.Fill(Mask::FromSdf(kSize, kSize, Shape::Ring(body, 7)).Blurred(3), Color{1, 1, 0.92f, 0.9f});
        ArtKit::Sparkle(c, 176, 70, 22, Color{1, 1, 1, 0.95f});
        ArtKit::Sparkle(c, 70, 182, 12, Color{1, 1, 1, 0.8f});
    } else {
        ArtKit::Sparkle(c, 84, 70, 12, Color{1, 1, 1, 0.85f});
    }
    c.KeepInside(outerMask);
    return c;
}

Canvas Pieces::Skull(int variant)
{
    Canvas c(kSize, kSize);
    Sdf cranium = Shape::Circle(kC, 108, 98);
    Sdf jaw = Shape::RoundRect(74, 150, 108, 92, 26);
    Sdf outer = Shape::Union(cranium, jaw);
    Sdf body = Shape::Grow(outer, -8);
    Mask outerMask = Mask::FromSdf(kSize, kSize, outer);
    Mask bodyMask = Mask::FromSdf(kSize, kSize, body);
    c.Fill(outerMask, Color::Hex(0x24142E));
    c.Fill(bodyMask, Paints::Radial(100, 70, 220, Color::Hex(0xFFFBEE), Color::Hex(0xB9AC92)));
    c.Bevel(bodyMask, 14, 1.0f);

    Sdf eyes = Shape::Union(Shape::Ellipse(88, 126, 30, 34), Shape::Ellipse(168, 126, 30, 34));
    Sdf nose = Shape::RoundPolygon({{kC, 158}, {kC + 14, 184}, {kC - 14, 184}}, 4);
    Mask holes = Mask::FromSdf(kSize, kSize, Shape::Union(eyes, nose));
    c.Fill(holes, Color::Hex(0x1A0B1E));
    c.Bevel(holes, 6, -0.8f);
    for (int i = 0; i < 4; ++i) {
        float x = 98 + i * 20.0f;
        c.FillShape(Shape::Capsule({x, 206}, {x, 228}, 2.5f), Color::Hex(0x4A3A40));
    }
    c.FillShape(Shape::Capsule({88, 204}, {168, 204}, 2.5f), Color::Hex(0x4A3A40));
    if (variant > 0) {
        // Embers in the eyes: dim while idle, bright while flying in.
        float glow = variant == 1 ? 0.55f : 1.0f;
        Mask eyeMask = Mask::FromSdf(kSize, kSize, eyes);
        c.Fill(
            Mask::FromSdf(kSize, kSize, Shape::Union(Shape::Circle(88, 130, 14), Shape::Circle(168, 130, 14)))
                .Blurred(8)
                .Scaled(2)
                .Times(eyeMask),
            Color{1, 0.25f, 0.1f, glow});
        c.FillShape(Shape::Union(Shape::Circle(88, 130, 6), Shape::Circle(168, 130, 6)),
                    Color{1, 0.9f, 0.5f, glow});
    }
    c.Gloss(Mask::FromSdf(kSize, kSize, Shape::Ellipse(110, 52, 60, 26)).Times(bodyMask), 24, 80, 0.7f);
    c.KeepInside(outerMask);
    return c;
}

Canvas Pieces::Crack()
{
    Canvas c(kSize, kSize);
    // Jagged lines from a point of impact; dark with a light lower lip.
    const std::vector<std::vector<Vec2>> lines = {
        {{128, 40}, {118, 78}, {138, 104}, {120, 140}},
        {{120, 140}, {84, 160}, {70, 196}},
        {{120, 140}, {150, 170}, {146, 214}},
        {{138, 104}, {178, 96}, {206, 118}},
        {{118, 78}, {84, 70}, {60, 92}},
    };
    for (int pass = 0; pass < 2; ++pass)
        for (const auto& line : lines)
            for (size_t i = 0; i + 1 < line.size(); ++i) {
                Vec2 a = line[i], b = line[i + 1];
                float w = pass == 0 ? 5.0f : 2.2f;
                float off = pass == 0 ? 2.0f : 0.0f;
                c.FillShape(Shape::Capsule({a.x + off, a.y + off}, {b.x + off, b.y + off}, w),
                            pass == 0 ? Color{1, 1, 1, 0.55f} : Color::Hex(0x1A0B1E));
            }
    return c;
}

Canvas Pieces::HintArrow()
{
    constexpr int s = 128;
    Canvas c(s, s);
    std::vector<Vec2> arrow{{64, 8}, {118, 62}, {86, 62}, {86, 118}, {42, 118}, {42, 62}, {10, 62}};
    Sdf shape = Shape::RoundPolygon(arrow, 5);
    Mask outline = Mask::FromSdf(s, s, Shape::Grow(shape, 3));
    Mask body = Mask::FromSdf(s, s, Shape::Grow(shape, -3));
    c.Fill(outline, Palette::kInk);
    c.Fill(body, Paints::Vertical(8, Color::Hex(0xFFF6A8), 118, Palette::kAmber));
    c.Bevel(body, 6, 1.2f);
    return c;
}

Canvas Pieces::Chip()
{
    constexpr int s = 48;
    Canvas c(s, s);
    Sdf shard = Shape::RoundPolygon({{8, 14}, {30, 4}, {44, 22}, {34, 42}, {12, 38}}, 2);
    Mask m = Mask::FromSdf(s, s, shard);
    c.Fill(m, Paints::Linear(8, 4, Color{1, 1, 1, 1}, 40, 44, Color::Hex(0xB8C0D0)));
    c.Bevel(m, 4, 1.4f);
    return c;
}

Canvas Pieces::Smoke()
{
    constexpr int s = 64;
    Canvas c(s, s);
    Mask puff = Mask::FromSdf(s, s, Shape::Circle(32, 34, 16))
                    .Plus(Mask::FromSdf(s, s, Shape::Circle(22, 28, 11)))
                    .Plus(Mask::FromSdf(s, s, Shape::Circle(42, 26, 12)))
                    .Blurred(6);
    c.Fill(puff, Paints::Vertical(10, Color{1, 1, 1, 0.95f}, 56, Color{0.8f, 0.82f, 0.88f, 0.7f}));
    return c;
}

Canvas Pieces::GoldBrick()
{
    // A bright gold rim round a deep gold floor: the pieces (0.8 of the
    // cell) stand on the dark part, so orange and yellow ones stay clear.
    constexpr int s = 128;
    Canvas c(s, s);
    Sdf plate = Shape::RoundRect(3, 3, s - 6, s - 6, 14);
    Mask m = Mask::FromSdf(s, s, plate);
    c.Fill(m, Paints::Radial(64, 64, 64, Color::Hex(0xB07A10, 0.9f), Color::Hex(0x5A3604, 0.92f)));
    for (float y : {46.0f, 86.0f})
        c.Fill(Mask::FromSdf(s, s, Shape::Capsule({14, y}, {114, y}, 1.2f)).Times(m),
               Color::Hex(0xFFD860, 0.35f));
    for (auto [x, y0, y1] : {std::tuple{64.0f, 12.0f, 46.0f},
                             {36.0f, 46.0f, 86.0f},
                             {92.0f, 46.0f, 86.0f},
                             {64.0f, 86.0f, 116.0f}})
        c.Fill(Mask::FromSdf(s, s, Shape::Capsule({x, y0}, {x, y1}, 1.2f)).Times(m),
               Color::Hex(0xFFD860, 0.35f));
    Mask rim = Mask::FromSdf(s, s, Shape::Ring(Shape::Grow(plate, -3), 6));
    c.Fill(rim, Paints::Linear(0, 0, Color::Hex(0xFFF3B0), s, s, Color::Hex(0xE0A020)));
    c.Bevel(rim, 3, 1.2f);
    ArtKit::Sparkle(c, 16, 14, 9, Color{1, 1, 1, 0.9f});
    return c;
}

void Pieces::Write(AssetWriter& out)
{
    for (int kind = 0; kind <= kSkull; ++kind)
        for (int variant = 0; variant < (kind == kSkull ? 3 : 2); ++variant)
            out.SaveImage("graphics\\quorbs\\qb" + std::to_string(kind) + std::to_string(variant),
                          Art(kind, variant));
    out.SaveImage("graphics\\quorbs\\hintarrow", HintArrow());
    out.SaveImage("graphics\\quorbs\\chip", Chip());
    out.SaveImage("graphics\\quorbs\\smoke", Smoke());
    out.SaveImage("graphics\\quorbs\\skullcrack", Crack());
    out.SaveImage("graphics\\quorbs\\goldbrick", GoldBrick());
}

} // namespace AssetGen
