#include "tools/assetgen/ArtKit.h"

#include "tools/assetgen/Rng.h"

#include <algorithm>
#include <cmath>

namespace AssetGen {
namespace {

struct InkBox
{
    int x0, y0, x1, y1;
};

InkBox FindInk(const Mask& m)
{
    InkBox b{m.Width(), m.Height(), 0, 0};
    for (int y = 0; y < m.Height(); ++y)
        for (int x = 0; x < m.Width(); ++x)
            if (m.At(x, y) > 0.05f) {
                b.x0 = std::min(b.x0, x);
                b.y0 = std::min(b.y0, y);
                b.x1 = std::max(b.x1, x + 1);
                b.y1 = std::max(b.y1, y + 1);
            }
    if (b.x1 <= b.x0)
        b = {0, 0, m.Width(), m.Height()};
    return b;
}

// The text as a small layer: shadow, outline, then the gradient letters.
Canvas TextLayer(const std::string& text, const TextStyle& style, InkBox& ink)
{
    int pad = style.outlineWidth + 6;
    TextBlock block = ArtKit::Text().Line(style.face, style.size, text, pad);
    ink = FindInk(block.mask);
    Canvas layer(block.mask.Width(), block.mask.Height());
    Mask outline = style.outlineWidth > 0 ? block.mask.Dilated(style.outlineWidth) : block.mask;
    if (style.shadow > 0)
        layer.Shadow(outline, 1, std::max(2, style.size / 14), 2.5f, style.shadow);
    if (style.outlineWidth > 0)
        layer.Fill(outline, style.outline);
    layer.Fill(block.mask, Paints::Vertical(float(ink.y0), style.top, float(ink.y1), style.bottom));
    return layer;
}

Color ToneLight(ButtonTone tone)
{
    switch (tone) {
    case ButtonTone::Gold:
        return Color::Hex(0xFFE07A);
    case ButtonTone::Blue:
        return Color::Hex(0x8FD3FF);
    case ButtonTone::Green:
        return Color::Hex(0xA8F27A);
    case ButtonTone::Red:
        break;
    }
    return Color::Hex(0xFF9A9A);
}

} // namespace

TextRenderer& ArtKit::Text()
{
    static TextRenderer renderer;
    return renderer;
}

Color ArtKit::ToneColor(ButtonTone tone)
{
    switch (tone) {
    case ButtonTone::Gold:
        return Color::Hex(0xF29A12);
    case ButtonTone::Blue:
        return Color::Hex(0x2F7BE0);
    case ButtonTone::Green:
        return Color::Hex(0x3FAE2A);
    case ButtonTone::Red:
        break;
    }
    return Color::Hex(0xD8324A);
}

int ArtKit::DrawText(Canvas& canvas, const std::string& text, const TextStyle& style, float cx, float cy)
{
    InkBox ink;
    Canvas layer = TextLayer(text, style, ink);
    canvas.Draw(layer, std::round(cx - (ink.x0 + ink.x1) / 2.0f), std::round(cy - (ink.y0 + ink.y1) / 2.0f));
    return ink.x1 - ink.x0;
}

void ArtKit::DrawLines(Canvas& canvas, const std::vector<std::string>& lines, const TextStyle& style,
                       float cx, float top, float lineHeight)
{
    // Centre each line on the line box, not on its own ink, so that lines
    // with and without descenders keep an even rhythm.
    float capCentre = Text().Ascender(style.face, style.size) * 0.36f;
    for (size_t i = 0; i < lines.size(); ++i) {
        InkBox ink;
        Canvas layer = TextLayer(lines[i], style, ink);
        int pad = style.outlineWidth + 6;
        float baseline = float(pad + Text().Ascender(style.face, style.size));
        float y = top + lineHeight * float(i);
        canvas.Draw(layer, std::round(cx - (ink.x0 + ink.x1) / 2.0f), std::round(y - (baseline - capCentre)));
    }
}

Canvas ArtKit::Caption(const std::string& text, const TextStyle& style, int pad)
{
    InkBox ink;
    Canvas layer = TextLayer(text, style, ink);
    int extra = style.outlineWidth + pad;
    return layer.Cropped(ink.x0 - extra, ink.y0 - extra, ink.x1 - ink.x0 + 2 * extra,
                         ink.y1 - ink.y0 + 2 * extra + 2);
}

Canvas ArtKit::ButtonFace(int width, int height, const std::string& label, ButtonTone tone, int state,
                          int textSize)
{
    Canvas c(width, height);
    float inset = 3, radius = (height - 2 * inset) / 2.0f;
    float push = state == 2 ? 2.0f : 0.0f;
    Sdf body = Shape::RoundRect(inset, inset + push, width - 2 * inset, height - 2 * inset - 2, radius);
    Mask bodyMask = Mask::FromSdf(width, height, body);
    Mask rimMask = Mask::FromSdf(width, height, Shape::Grow(body, 2.5f));
    Color base = ToneColor(tone);
    Color light = ToneLight(tone);
    if (state == 1) {
        base = base.Lighter(0.25f);
        light = light.Lighter(0.35f);
    } else if (state == 2) {
        base = base.Darker(0.2f);
        light = light.Darker(0.1f);
    }
    c.Fill(rimMask, Palette::kInk);
    c.Fill(bodyMask, Paints::Vertical(inset + push, light, height - inset + push, base.Darker(0.15f)));
    c.Bevel(bodyMask, 5, 1.2f);
    if (state != 2)
        c.Gloss(Mask::FromSdf(width, height,
                              Shape::RoundRect(inset + radius * 0.5f, inset + 3, width - 2 * inset - radius,
                                               (height - 2 * inset) * 0.42f, radius * 0.5f)),
                inset + 2, height * 0.5f, 0.55f);
    if (state == 1)
        c.Fill(Mask::FromSdf(width, height, Shape::Ring(body, 3)), Color{1, 1, 0.85f, 0.8f});
    TextStyle style;
    style.size = textSize > 0 ? textSize : std::min(int(height * 0.48f), 30);
    style.top = Color{1, 1, 1, 1};
    style.bottom = state == 1 ? Palette::kCream : Color::Hex(0xFFEFC0);
    style.outlineWidth = std::max(2, style.size / 9);
    style.shadow = 0.4f;
    DrawText(c, label, style, width / 2.0f, height / 2.0f + push - 1);
    c.KeepInside(rimMask);
    return c;
}

std::vector<Canvas> ArtKit::ButtonFrames(int width, int height, const std::string& label, ButtonTone tone,
                                         int textSize)
{
    return {ButtonFace(width, height, label, tone, 0, textSize),
            ButtonFace(width, height, label, tone, 1, textSize),
            ButtonFace(width, height, label, tone, 2, textSize)};
}

Canvas ArtKit::RoundButton(int radius, const std::string& label, ButtonTone tone, bool hover, int textSize)
{
    int size = radius * 2;
    Canvas c(size, size);
    float r = radius - 3.0f;
    Sdf disc = Shape::Circle(radius, radius, r - 3);
    Mask outer = Mask::FromSdf(size, size, Shape::Circle(radius, radius, r));
    Mask discMask = Mask::FromSdf(size, size, disc);
    Color base = ToneColor(tone), light = ToneLight(tone);
    if (hover) {
        base = base.Lighter(0.12f);
        light = light.Lighter(0.2f);
    }
    c.Fill(outer,
           Paints::Linear(0, 0, Palette::kGold.Lighter(0.4f), size, size, Palette::kAmber.Darker(0.4f)));
    c.Fill(discMask, Paints::Radial(radius * 0.7f, radius * 0.55f, r * 1.3f, light, base.Darker(0.35f)));
    c.Bevel(discMask, 8, 1.0f);
    c.Gloss(Mask::FromSdf(size, size, Shape::Ellipse(radius, radius * 0.62f, r * 0.72f, r * 0.42f)),
            radius - r * 0.8f, radius * 1.05f, 0.6f);
    if (hover) {
        c.Fill(Mask::FromSdf(size, size, Shape::Ring(Shape::Circle(radius, radius, r - 1.5f), 3)),
               Color{1, 1, 0.9f, 0.9f});
        Sparkle(c, radius * 0.45f, radius * 0.45f, r * 0.22f, Color{1, 1, 1, 0.9f});
    }
    TextStyle style;
    style.size = textSize;
    style.top = Color{1, 1, 1, 1};
    style.bottom = Palette::kCream;
    style.outlineWidth = std::max(2, textSize / 8);
    size_t split = label.find('\n');
    if (split == std::string::npos)
        DrawText(c, label, style, radius, radius + 2);
    else
        DrawLines(c, {label.substr(0, split), label.substr(split + 1)}, style, radius,
                  radius - textSize * 0.55f + 2, textSize * 1.1f);
    c.KeepInside(outer);
    return c;
}

void ArtKit::DrawPanel(Canvas& canvas, float x, float y, float width, float height, float radius, float alpha)
{
    int w = canvas.Width(), h = canvas.Height();
    Sdf frame = Shape::RoundRect(x, y, width, height, radius);
    Sdf inner = Shape::RoundRect(x + 9, y + 9, width - 18, height - 18, std::max(4.0f, radius - 8));
    Mask frameMask = Mask::FromSdf(w, h, frame);
    Mask innerMask = Mask::FromSdf(w, h, inner);
    canvas.Shadow(frameMask.Minus(innerMask.Scaled(alpha)), 0, 6, 8, 0.45f);
    // Only the rim is gold: a see-through panel must not show gold through.
    Mask rim = frameMask.Minus(innerMask);
    canvas.Fill(rim, Paints::Linear(x, y, Palette::kGold.Lighter(0.3f), x + width, y + height,
                                    Palette::kAmber.Darker(0.35f)));
    canvas.Bevel(rim, 4, 1.2f);
    canvas.Fill(innerMask, Paint([=](float, float py) {
                    Color top = Palette::kIndigo.WithAlpha(alpha), bottom = Palette::kNight.WithAlpha(alpha);
                    return top.Mix(bottom, Clamp01((py - y) / height));
                }));
    canvas.Fill(Mask::FromSdf(w, h, Shape::Ring(inner, 2)), Color{0, 0, 0, 0.5f});
}

void ArtKit::DrawFieldSlot(Canvas& canvas, float x, float y, float width, float height)
{
    canvas.FillShape(Shape::RoundRect(x - 4, y - 4, width + 8, height + 8, 8), Palette::kGold.WithAlpha(0.85f));
    canvas.FillShape(Shape::RoundRect(x - 1, y - 1, width + 2, height + 2, 5), Color::Hex(0x0A0618));
}

Canvas ArtKit::Panel(int width, int height, float radius, float alpha)
{
    // Room for the shadow below; the frame fills the rest.
    Canvas c(width, height);
    DrawPanel(c, 4, 2, width - 8.0f, height - 12.0f, radius, alpha);
    return c;
}

Canvas ArtKit::Backdrop(int width, int height, Color top, Color bottom, unsigned seed)
{
    Canvas c(width, height);
    c.FillAll(Paints::Vertical(0, top, float(height), bottom));
    Rng rng(seed);
    // Broad rays fanning from above the screen.
    for (int i = 0; i < 7; ++i) {
        float a = rng.Range(-0.9f, 0.9f);
        float cx = width * 0.5f, cy = -height * 0.3f;
        std::vector<Vec2> ray{{cx, cy},
                              {cx + std::sin(a - 0.05f) * 2000, cy + std::cos(a - 0.05f) * 2000},
                              {cx + std::sin(a + 0.05f) * 2000, cy + std::cos(a + 0.05f) * 2000}};
        c.Fill(Mask::FromSdf(width, height, Shape::Polygon(ray)).Blurred(10),
               Paints::Vertical(0, Color{1, 1, 1, 0.08f}, float(height), Color{1, 1, 1, 0}));
    }
    Mask bokeh(width, height);
    for (int i = 0; i < 26; ++i) {
        float x = rng.Range(0, float(width)), y = rng.Range(0, float(height)), r = rng.Range(8, 46);
        Color tint = (i % 3 == 0) ? Palette::kGold : (i % 3 == 1) ? Palette::kSky : Palette::kRose;
        Mask m = Mask::FromSdf(width, height, Shape::Circle(x, y, r)).Blurred(r * 0.25f);
        c.Fill(m, tint.WithAlpha(rng.Range(0.05f, 0.14f)));
    }
    for (int i = 0; i < 60; ++i)
        Sparkle(c, rng.Range(0, float(width)), rng.Range(0, float(height)), rng.Range(2, 6),
                Color{1, 1, 1, rng.Range(0.3f, 0.8f)});
    return c;
}

void ArtKit::Sparkle(Canvas& canvas, float cx, float cy, float size, Color c)
{
    std::vector<Vec2> star = Shape::StarPoints(cx, cy, size, size * 0.22f, 4);
    int x0 = std::max(0, int(cx - size - 2)), y0 = std::max(0, int(cy - size - 2));
    int span = int(size * 2 + 5);
    Canvas local(span, span);
    std::vector<Vec2> moved = star;
    for (Vec2& p : moved)
        p = {p.x - x0, p.y - y0};
    local.FillShape(Shape::Polygon(moved), c);
    local.FillShape(Shape::Circle(cx - x0, cy - y0, size * 0.3f), Color{1, 1, 1, c.a});
    canvas.Draw(local, float(x0), float(y0));
}

Canvas ArtKit::JoinFrames(const std::vector<Canvas>& frames)
{
    int w = frames.front().Width(), h = frames.front().Height();
    Canvas strip(w * int(frames.size()), h);
    for (size_t i = 0; i < frames.size(); ++i)
        strip.Draw(frames[i], float(w * int(i)), 0);
    return strip;
}

Canvas ArtKit::Banner(const std::string& text, int size, Color top, Color bottom)
{
    TextStyle style;
    style.size = size;
    style.top = top;
    style.bottom = bottom;
    style.outline = Palette::kInk;
    style.outlineWidth = std::max(3, size / 11);
    style.shadow = 0.6f;
    Canvas word = Caption(text, style, 4);
    // A soft light behind the letters lifts them off any background.
    Canvas c(word.Width() + 16, word.Height() + 16);
    Mask glow = Mask(c.Width(), c.Height());
    glow.Merge(word.Alpha(), 8, 8);
    c.Fill(glow.Blurred(6).Scaled(0.8f), Color{1, 1, 0.9f, 0.35f});
    c.Draw(word, 8, 8);
    return c;
}

TextStyle ArtKit::BodyStyle(int size)
{
    TextStyle s;
    s.face = Typeface::Condensed;
    s.size = size;
    s.top = Color{1, 1, 1, 1};
    s.bottom = Palette::kCream;
    s.outlineWidth = 2;
    s.shadow = 0.3f;
    return s;
}

Canvas ArtKit::Bubble(int width, const std::string& heading, const std::vector<std::string>& lines,
                      int textSize)
{
    // Grow to the longest line rather than let it touch the frame.
    TextStyle body = BodyStyle(textSize);
    for (const std::string& line : lines)
        width = std::max(width, Text().Measure(body.face, body.size, line) + 36);
    if (!heading.empty())
        width = std::max(width, Text().Measure(Typeface::Heavy, textSize + 4, heading) + 36);
    float line = textSize * 1.3f;
    float top = heading.empty() ? 22.0f : 22.0f + textSize * 1.5f;
    int height = int(top + line * float(lines.size()) + 10);
    Canvas c(width, height + 8);
    DrawPanel(c, 2, 2, width - 4.0f, float(height), 14, 0.95f);
    if (!heading.empty()) {
        TextStyle h = BodyStyle(textSize + 4);
        h.face = Typeface::Heavy;
        h.top = Palette::kCream;
        h.bottom = Palette::kGold;
        DrawText(c, heading, h, width / 2.0f, 12 + textSize * 0.9f);
    }
    DrawLines(c, lines, body, width / 2.0f, top + textSize * 0.35f, line);
    return c;
}

} // namespace AssetGen
