#pragma once

#include "tools/assetgen/Canvas.h"
#include "tools/assetgen/TextRenderer.h"

#include <string>
#include <vector>

namespace AssetGen {

// The game's look in one place: palette, lettering, buttons, panels and
// backdrops, so that every screen's art reads as one game.
namespace Palette {
inline const Color kNight = Color::Hex(0x141034);
inline const Color kIndigo = Color::Hex(0x2B2270);
inline const Color kViolet = Color::Hex(0x5B3AA8);
inline const Color kGold = Color::Hex(0xFFC63D);
inline const Color kAmber = Color::Hex(0xF08A1C);
inline const Color kCream = Color::Hex(0xFFF4D6);
inline const Color kInk = Color::Hex(0x1A0E2E);
inline const Color kTeal = Color::Hex(0x27C4B8);
inline const Color kRose = Color::Hex(0xE8406A);
inline const Color kSky = Color::Hex(0x55B6FF);
} // namespace Palette

struct TextStyle
{
    Typeface face = Typeface::Heavy;
    int size = 24;
    Color top = Palette::kCream;
    Color bottom = Palette::kGold;
    Color outline = Palette::kInk;
    int outlineWidth = 3;
    float shadow = 0.5f;
};

enum class ButtonTone {
    Gold,
    Blue,
    Green,
    Red,
};

class ArtKit
{
  public:
    static TextRenderer& Text();

    // Text centred (by its ink) on (cx, cy); returns the ink width.
    static int DrawText(Canvas& canvas, const std::string& text, const TextStyle& style, float cx, float cy);
    // Lines centred on cx, the first line's centre at top.
    static void DrawLines(Canvas& canvas, const std::vector<std::string>& lines, const TextStyle& style,
                          float cx, float top, float lineHeight);
    // A picture just big enough for the text.
    static Canvas Caption(const std::string& text, const TextStyle& style, int pad = 6);

    // Normal, hover and pressed frames of a bevelled pill button.
    static std::vector<Canvas> ButtonFrames(int width, int height, const std::string& label, ButtonTone tone,
                                            int textSize = 0);
    static Canvas ButtonFace(int width, int height, const std::string& label, ButtonTone tone, int state,
                             int textSize = 0);
    // Round glossy button with a label (main menu, map); `hover` glows.
    static Canvas RoundButton(int radius, const std::string& label, ButtonTone tone, bool hover,
                              int textSize);
    // A framed panel; the inner area is left dark for text or pictures.
    static Canvas Panel(int width, int height, float radius = 24, float alpha = 0.97f);
    static void DrawPanel(Canvas& canvas, float x, float y, float width, float height, float radius,
                          float alpha = 0.92f);
    // A dark slot with a gold rim around the rectangle where the game draws
    // a text field, the rim just outside it.
    static void DrawFieldSlot(Canvas& canvas, float x, float y, float width, float height);
    // Full-screen backdrop: gradient, light rays and soft bokeh.
    static Canvas Backdrop(int width, int height, Color top, Color bottom, unsigned seed);
    // A little star of light, for sparkles on art.
    static void Sparkle(Canvas& canvas, float cx, float cy, float size, Color c);
    static Color ToneColor(ButtonTone tone);
    // Frames of equal size side by side, as strips are cut.
    static Canvas JoinFrames(const std::vector<Canvas>& frames);
    // Big lettering for announcements ("Ready", "You Lose"): cropped to fit.
    static Canvas Banner(const std::string& text, int size, Color top, Color bottom);
    // A small panel with an optional gold heading and centred lines.
    static Canvas Bubble(int width, const std::string& heading, const std::vector<std::string>& lines,
                         int textSize = 16);
    // Plain light lettering for body text on panels.
    static TextStyle BodyStyle(int size);
};

} // namespace AssetGen
