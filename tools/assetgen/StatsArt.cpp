#include "tools/assetgen/StatsArt.h"

#include "tools/assetgen/ArtKit.h"
#include "tools/assetgen/BundleWriter.h"
#include "tools/assetgen/Pieces.h"

namespace AssetGen {
namespace {

enum class Pointing {
    Left,
    Right,
    Up,
    Down,
};

Sdf Arrow(Pointing dir, float cx, float cy, float s)
{
    switch (dir) {
    case Pointing::Left:
        return Shape::RoundPolygon({{cx - s, cy}, {cx + s * 0.7f, cy - s}, {cx + s * 0.7f, cy + s}}, 3);
    case Pointing::Right:
        return Shape::RoundPolygon({{cx + s, cy}, {cx - s * 0.7f, cy + s}, {cx - s * 0.7f, cy - s}}, 3);
    case Pointing::Up:
        return Shape::RoundPolygon({{cx, cy - s}, {cx + s, cy + s * 0.7f}, {cx - s, cy + s * 0.7f}}, 3);
    case Pointing::Down:
        break;
    }
    return Shape::RoundPolygon({{cx, cy + s}, {cx - s, cy - s * 0.7f}, {cx + s, cy - s * 0.7f}}, 3);
}

// A button with an arrow: at its end for the page arrows (the game puts a
// small picture of the page in the middle), above its label otherwise.
std::vector<Canvas> ArrowFrames(int width, int height, Pointing dir, const std::string& label)
{
    std::vector<Canvas> frames;
    for (int state = 0; state < 3; ++state) {
        Canvas c = ArtKit::ButtonFace(width, height, label.empty() ? "" : " ", ButtonTone::Blue, state);
        float push = state == 2 ? 2.0f : 0.0f;
        float ax = dir == Pointing::Left ? 28.0f : dir == Pointing::Right ? width - 28.0f : width / 2.0f;
        float ay = label.empty() ? height / 2.0f + push : height * 0.36f + push;
        Mask m = Mask::FromSdf(width, height, Arrow(dir, ax, ay, label.empty() ? 14.0f : 20.0f));
        c.Fill(m.Dilated(2), Palette::kInk);
        c.Fill(m, Paints::Vertical(ay - 20, Color{1, 1, 1, 1}, ay + 20, Palette::kCream));
        if (!label.empty()) {
            TextStyle t = ArtKit::BodyStyle(18);
            t.face = Typeface::Heavy;
            ArtKit::DrawText(c, label, t, width / 2.0f, height * 0.76f + push);
        }
        frames.push_back(c);
    }
    return frames;
}

Canvas PuzzleOverlay()
{
    // Drawn at (88, 56) around the picture at (168, 129), 466 x 374.
    constexpr int w = 626, h = 500;
    constexpr float x = 80, y = 73, pw = 466, ph = 374;
    Canvas c(w, h);
    Sdf outer = Shape::RoundRect(x - 22, y - 22, pw + 44, ph + 44, 18);
    Sdf window = Shape::RoundRect(x, y, pw, ph, 2);
    Mask frame = Mask::FromSdf(w, h, Shape::Subtract(outer, window));
    c.Shadow(frame, 0, 6, 8, 0.5f);
    c.Fill(frame, Paints::Linear(x, y, Color::Hex(0x9A5A2A), x + pw, y + ph, Color::Hex(0x4A2410)));
    c.Bevel(frame, 6, 1.0f);
    c.Fill(Mask::FromSdf(w, h, Shape::Ring(Shape::RoundRect(x - 8, y - 8, pw + 16, ph + 16, 6), 3)),
           Palette::kGold.WithAlpha(0.9f));
    for (auto [cx, cy] : {std::pair{x - 11, y - 11},
                          {x + pw + 11, y - 11},
                          {x - 11, y + ph + 11},
                          {x + pw + 11, y + ph + 11}})
        c.Draw(Pieces::Art(int(cx + cy) % 8, 0), cx - 16, cy - 16, 32.0f / 256);
    return c;
}

Canvas Tiny(const std::string& text, int kind)
{
    Canvas c(92, 46);
    c.FillShape(Shape::RoundRect(1, 1, 90, 44, 8),
                Paints::Vertical(1, Palette::kIndigo, 45, Palette::kNight));
    c.FillShape(Shape::Ring(Shape::RoundRect(1, 1, 90, 44, 8), 2), Palette::kGold);
    c.Draw(Pieces::Art(kind, 0), 6, 9, 28.0f / 256);
    TextStyle t = ArtKit::BodyStyle(15);
    ArtKit::DrawText(c, text, t, 60, 23);
    return c;
}

Canvas HighScoreOverlay()
{
    // Backdrop of both record pages, drawn at (30, 56).
    Canvas c = ArtKit::Panel(740, 456, 30, 0.9f);
    return c;
}

} // namespace

int StatsArt::Write(AssetWriter& out)
{
    BundleWriter b(out, "graphics\\stats", true);
    b.AddRedirect("background", "..\\gameplay");
    b.AddStrip("mainmenu", ArtKit::ButtonFrames(214, 62, "Main Menu", ButtonTone::Gold, 24));
    b.AddStrip("backtogame", ArtKit::ButtonFrames(214, 62, "Back to Game", ButtonTone::Green, 22));
    b.AddStrip("scrollleft", ArrowFrames(186, 62, Pointing::Left, ""));
    b.AddStrip("scrollright", ArrowFrames(186, 62, Pointing::Right, ""));
    b.AddStrip("nextpuzzle", ArrowFrames(130, 110, Pointing::Down, "Next"));
    b.AddStrip("previouspuzzle", ArrowFrames(130, 110, Pointing::Up, "Previous"));
    b.Add("puzzleoverlay", PuzzleOverlay());
    b.Add("puzzletitle", ArtKit::Banner("Jigsaw Puzzles", 44, Palette::kCream, Palette::kGold));
    b.Add("highscoretitle", ArtKit::Banner("High Scores", 48, Palette::kCream, Palette::kGold));
    b.Add("statstitle", ArtKit::Banner("Statistics", 48, Palette::kCream, Palette::kGold));
    b.Add("highscoreoverlay", HighScoreOverlay());
    b.Add("tiny_scores", Tiny("Scores", 2));
    b.Add("tiny_puzzle", Tiny("Jigsaw", 4));
    b.Add("tiny_stats", Tiny("Stats", 5));
    b.Finish();
    return b.Steps();
}

} // namespace AssetGen
