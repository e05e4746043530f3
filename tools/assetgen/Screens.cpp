#include "tools/assetgen/Screens.h"

#include "tools/assetgen/ArtKit.h"
#include "tools/assetgen/Pieces.h"

#include <cmath>

namespace AssetGen {
namespace {

constexpr float kPi = 3.14159265f;

// The game's name as lettering, for the title and the main menu.
TextStyle LogoStyle(int size)
{
    TextStyle s;
    s.size = size;
    s.top = Color::Hex(0xFFF7C2);
    s.bottom = Color::Hex(0xFF9D1E);
    s.outline = Palette::kInk;
    s.outlineWidth = size / 12;
    s.shadow = 0.7f;
    return s;
}

// The eight pieces and the skull along a gentle arc.
void DrawPieceArc(Canvas& c, float y, float scale)
{
    for (int i = 0; i < 9; ++i) {
        int kind = i < 4 ? i : i == 4 ? Pieces::kSkull : i - 1;
        float x = 96 + i * 76.0f, lift = 28 * std::cos((x - 400) / 400 * kPi / 2);
        float size = Pieces::kSize * scale * (i == 4 ? 1.25f : 1.0f);
        c.Draw(Pieces::Art(kind, 0), x - size / 2, y - lift - size / 2, size / Pieces::kSize);
    }
}

// Frame and socket for a check box of the options menu, the mark itself
// drawn by the game at (x + 7, y + 7), 11 pixels square.
void CheckSocket(Canvas& c, float x, float y)
{
    Sdf box = Shape::RoundRect(x + 3, y + 3, 19, 19, 4);
    c.FillShape(Shape::Grow(box, 1.5f), Palette::kGold);
    c.FillShape(box, Palette::kNight);
}

} // namespace

Canvas Screens::Title()
{
    Canvas c = ArtKit::Backdrop(800, 600, Color::Hex(0x2A1C6E), Color::Hex(0x0C0826), 101);
    DrawPieceArc(c, 530, 0.27f);
    ArtKit::DrawText(c, "Quorb Swap", LogoStyle(104), 400, 150);
    TextStyle tag;
    tag.size = 22;
    tag.top = tag.bottom = Palette::kCream;
    tag.outlineWidth = 2;
    // Above the socket of the spinning arrows, clear of its ring.
    ArtKit::DrawText(c, "swap, match and beat the skulls", tag, 400, 216);
    // Socket for the spinning arrows and a tray behind the loading bar.
    c.FillShape(Shape::Circle(175, 287, 58), Color{0, 0, 0, 0.35f});
    c.FillShape(Shape::Ring(Shape::Circle(175, 287, 58), 3), Palette::kGold.WithAlpha(0.8f));
    ArtKit::DrawPanel(c, 262, 320, 276, 80, 20, 0.8f);
    return c;
}

Canvas Screens::LoadingBar(bool filled)
{
    constexpr int w = 234, h = 28;
    Canvas c(w, h);
    Sdf trough = Shape::RoundRect(1, 1, w - 2, h - 2, 13);
    Mask troughMask = Mask::FromSdf(w, h, trough);
    c.Fill(troughMask, Palette::kInk);
    Mask inner = Mask::FromSdf(w, h, Shape::Grow(trough, -3));
    if (filled) {
        c.Fill(inner, Paints::Vertical(3, Color::Hex(0xB8FF7A), h - 3, Color::Hex(0x2F9E1E)));
        c.Gloss(inner, 3, 15, 0.6f);
        for (int i = 0; i < 12; ++i) {
            float x = 10 + i * 20.0f;
            Sdf stripe = Shape::Polygon({{x, 3}, {x + 8, 3}, {x - 2, h - 3.0f}, {x - 10, h - 3.0f}});
            c.Fill(Mask::FromSdf(w, h, stripe).Times(inner), Color{1, 1, 1, 0.15f});
        }
    } else {
        c.Fill(inner, Paints::Vertical(3, Color::Hex(0x0A0718), h - 3, Color::Hex(0x2A2150)));
    }
    return c;
}

Canvas Screens::SpinArrows()
{
    constexpr int s = 100;
    Canvas c(s, s);
    Mask m(s, s);
    for (int k = 0; k < 2; ++k) {
        float base = k * kPi;
        // An arc of about 140 degrees with a head at its leading end.
        Sdf arc = Shape::Intersect(
            Shape::Ring(Shape::Circle(50, 50, 34), 11),
            Shape::Polygon({{50, 50},
                            {50 + 80 * std::cos(base + 0.2f), 50 + 80 * std::sin(base + 0.2f)},
                            {50 + 80 * std::cos(base + 1.4f), 50 + 80 * std::sin(base + 1.4f)},
                            {50 + 80 * std::cos(base + 2.6f), 50 + 80 * std::sin(base + 2.6f)}}));
        float ha = base + 2.6f;
        Vec2 tip{50 + 34 * std::cos(ha + 0.45f), 50 + 34 * std::sin(ha + 0.45f)};
        Vec2 outer{50 + 50 * std::cos(ha), 50 + 50 * std::sin(ha)};
        Vec2 inner{50 + 18 * std::cos(ha), 50 + 18 * std::sin(ha)};
        Sdf head = Shape::Polygon({outer, tip, inner});
        m = m.Plus(Mask::FromSdf(s, s, Shape::Union(arc, head)));
    }
    c.Fill(m.Dilated(2), Palette::kInk);
    c.Fill(m, Paints::Linear(10, 10, Color::Hex(0xFFF2A0), 90, 90, Palette::kAmber));
    c.Bevel(m, 4, 1.2f);
    return c;
}

Canvas Screens::PauseSign()
{
    Canvas c = ArtKit::Panel(380, 200);
    ArtKit::DrawText(c, "Paused", TextStyle{Typeface::Heavy, 56}, 190, 80);
    TextStyle small;
    small.size = 20;
    small.top = small.bottom = Palette::kCream;
    small.outlineWidth = 2;
    ArtKit::DrawText(c, "Click or press a key", small, 190, 142);
    return c;
}

Canvas Screens::OptionsMenu()
{
    // Laid out in the menu's own coordinates: it is drawn at (134.5, 40).
    constexpr int w = 531, h = 510;
    constexpr float ox = 134.5f, oy = 40;
    Canvas c(w, h);
    // Opaque: the screen it opens over (the main menu's title and welcome
    // box, a board) would show through among its labels, and through the
    // seam where the rim meets the inside.
    c.FillShape(Shape::RoundRect(2, 2, w - 4, h - 4, 30), Palette::kNight);
    ArtKit::DrawPanel(c, 2, 2, w - 4, h - 4, 30, 1.0f);
    ArtKit::DrawText(c, "Options", TextStyle{Typeface::Heavy, 48}, w / 2.0f, 60);
    TextStyle label;
    label.size = 22;
    label.top = Color{1, 1, 1, 1};
    label.bottom = Palette::kCream;
    label.outlineWidth = 2;
    // A row of the pieces under the heading.
    for (int kind = 0; kind < Pieces::kColourKinds; ++kind)
        c.Draw(Pieces::Art(kind, 0), w / 2.0f - 4 * 44 + kind * 44 + 4, 112, 36.0f / 256);
    // Slider track: the game draws the thumb over it.
    c.FillShape(Shape::RoundRect(320 - ox, 260 - oy, 292, 25, 12), Palette::kInk);
    c.FillShape(Shape::RoundRect(324 - ox, 268 - oy, 284, 9, 4),
                Paints::Vertical(268 - oy, Palette::kViolet, 277 - oy, Palette::kSky));
    ArtKit::DrawText(c, "Volume", label, (200 - ox + 310 - ox) / 2 - 12, 272 - oy);

    struct Row
    {
        const char* text;
        float x, y, width;
    };
    const Row rows[] = {{"Full Screen", 200, 315, 209},
                        {"Windowed", 200, 343, 209},
                        {"Hardware 3D", 200, 390, 287},
                        {"Software", 200, 418, 287}};
    label.size = 20;
    for (const Row& r : rows) {
        CheckSocket(c, r.x - ox, r.y - oy);
        TextStyle left = label;
        int textWidth = ArtKit::Text().Measure(left.face, left.size, r.text);
        ArtKit::DrawText(c, r.text, left, r.x - ox + 34 + textWidth / 2.0f, r.y - oy + 13);
    }
    TextStyle heading = label;
    heading.size = 16;
    heading.top = heading.bottom = Palette::kGold;
    ArtKit::DrawText(c, "Display", heading, 460 - ox, 329 - oy);
    ArtKit::DrawText(c, "Renderer", heading, 540 - ox, 404 - oy);
    c.Draw(ArtKit::ButtonFace(336, 75, "Done", ButtonTone::Gold, 0, 34), 231 - ox, 468 - oy);
    return c;
}

Canvas Screens::CursorSheet()
{
    // Five 64-pixel cursors; the game centres each frame on the pointer, so
    // every hot spot is at the frame's centre.
    constexpr int s = 64;
    Canvas c(s * 5, s);
    auto draw = [&](int frame, const Sdf& shape) {
        Canvas f(s, s);
        Mask m = Mask::FromSdf(s, s, shape);
        f.Fill(m.Dilated(2), Color{0, 0, 0, 1});
        f.Fill(m, Color{1, 1, 1, 1});
        c.Draw(f, float(frame * s), 0);
    };
    draw(0, Shape::Polygon({{32, 32}, {32, 56}, {38, 50}, {43, 60}, {47, 58}, {42, 48}, {50, 48}}));
    draw(1, Shape::Union(Shape::RoundPolygon({{20, 14}, {44, 14}, {32, 32}}, 2),
                         Shape::Union(Shape::RoundPolygon({{32, 32}, {44, 50}, {20, 50}}, 2),
                                      Shape::Union(Shape::RoundRect(17, 10, 30, 5, 2),
                                                   Shape::RoundRect(17, 49, 30, 5, 2)))));
    Sdf palm = Shape::RoundRect(26, 42, 20, 18, 6);
    Sdf finger = Shape::RoundRect(29, 30, 6, 20, 3);
    Sdf knuckles = Shape::Union(Shape::RoundRect(35, 38, 5, 10, 2.5f), Shape::RoundRect(40, 39, 5, 10, 2.5f));
    draw(2, Shape::Union(Shape::Union(palm, finger), knuckles));
    draw(3,
         Shape::Union(Shape::RoundRect(30.5f, 18, 3, 28, 1),
                      Shape::Union(Shape::RoundRect(25, 16, 14, 3, 1), Shape::RoundRect(25, 45, 14, 3, 1))));
    Sdf fist = Shape::RoundRect(21, 26, 22, 18, 7);
    Sdf curled = Shape::Union(Shape::Union(Shape::Circle(24, 26, 4), Shape::Circle(30, 24, 4)),
                              Shape::Union(Shape::Circle(36, 24, 4), Shape::Circle(41, 26, 4)));
    draw(4, Shape::Union(fist, curled));
    return c;
}

void Screens::Write(AssetWriter& out)
{
    Canvas title = Title();
    out.SaveImage("graphics\\title", title, ImageFormat::Jpeg);
    // Four quarters: with 3D hardware each becomes a tile of the atlas
    // instead of one mostly empty 1024 x 1024 texture.
    out.SaveText("graphics\\title.clump",
                 "<CLUMP><SIZE>800,600</SIZE>"
                 "<RECT>0,0,400,300</RECT><RECT>400,0,400,300</RECT>"
                 "<RECT>0,300,400,300</RECT><RECT>400,300,400,300</RECT></CLUMP>\r\n");
    out.SaveImage("graphics\\loadingbarempty", LoadingBar(false));
    out.SaveImage("graphics\\loadingbarfilled", LoadingBar(true));
    out.SaveImage("graphics\\spinarrows", SpinArrows());
    out.SaveImage("graphics\\clicktoplay",
                  ArtKit::JoinFrames(ArtKit::ButtonFrames(260, 70, "Click to Play", ButtonTone::Green, 30)));
    out.SaveImage("graphics\\pausegame", PauseSign());
    out.SaveImage("graphics\\optionsmenu", OptionsMenu());
    out.SaveImage("graphics\\donehilite", ArtKit::ButtonFace(336, 75, "Done", ButtonTone::Gold, 1, 34));
    out.SaveImage("graphics\\donedown", ArtKit::ButtonFace(336, 75, "Done", ButtonTone::Gold, 2, 34));
    out.SaveImage("graphics\\customcursors", CursorSheet(), ImageFormat::Gif);
}

} // namespace AssetGen
