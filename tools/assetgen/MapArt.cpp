#include "tools/assetgen/MapArt.h"

#include "tools/assetgen/ArtKit.h"
#include "tools/assetgen/BundleWriter.h"
#include "tools/assetgen/Pieces.h"
#include "tools/assetgen/Rng.h"

#include <algorithm>
#include <cmath>

namespace AssetGen {
namespace {

constexpr int kTileW = 50, kTileH = 48;
constexpr float kPi = 3.14159265f;

Canvas Background()
{
    Canvas c = ArtKit::Backdrop(800, 600, Color::Hex(0x23408A), Color::Hex(0x0E1A40), 404);
    // The land: a soft green field under the 9 x 9 squares, with a river.
    Sdf land = Shape::RoundRect(190, 68, 495, 479, 36);
    Mask landMask = Mask::FromSdf(800, 600, land);
    c.Shadow(landMask, 0, 8, 10, 0.5f);
    c.Fill(landMask, Paints::Linear(190, 68, Color::Hex(0x7ED46A), 685, 547, Color::Hex(0x2E7A3A)));
    Rng rng(77);
    for (int i = 0; i < 40; ++i) {
        float x = rng.Range(200, 675), y = rng.Range(80, 535), r = rng.Range(10, 30);
        c.Fill(Mask::FromSdf(800, 600, Shape::Ellipse(x, y, r, r * 0.6f)).Times(landMask).Blurred(3),
               Color::Hex(i % 2 ? 0x1E5A2A : 0xA8E890, 0.25f));
    }
    Mask river(800, 600);
    for (float t = 0; t < 1; t += 0.01f) {
        float x = 190 + t * 495, y = 300 + 120 * std::sin(t * 2.4f * kPi);
        river.Merge(Mask::FromSdf(30, 30, Shape::Circle(15, 15, 11)), int(x) - 15, int(y) - 15);
    }
    c.Fill(river.Times(landMask).Blurred(2), Color::Hex(0x3AA8E8, 0.6f));
    c.Fill(Mask::FromSdf(800, 600, Shape::Ring(land, 6)),
           Paints::Linear(190, 68, Palette::kGold, 685, 547, Palette::kAmber));
    c.Bevel(Mask::FromSdf(800, 600, Shape::Ring(land, 6)), 3, 1.2f);

    // Left panel: score, journey level, best time; the game writes the
    // numbers at (17, 226), (17, 331) and (17, 437).
    ArtKit::DrawPanel(c, 6, 150, 170, 330, 22, 0.85f);
    TextStyle label = ArtKit::BodyStyle(18);
    label.face = Typeface::Heavy;
    label.top = Palette::kCream;
    label.bottom = Palette::kGold;
    const std::pair<const char*, float> boxes[] = {{"Score", 226}, {"Level", 331}, {"Best Time", 437}};
    for (const auto& [text, y] : boxes) {
        ArtKit::DrawText(c, text, label, 91, y - 18);
        c.FillShape(Shape::RoundRect(13, y - 4, 145, 34, 8), Color{0, 0, 0, 0.45f});
    }
    ArtKit::DrawText(c, "Journey", TextStyle{Typeface::Heavy, 30}, 91, 172);
    // Power-slot column and the button sockets on the right.
    ArtKit::DrawPanel(c, 712, -30, 60, 372, 24, 0.7f);
    for (float y : {398.0f, 488.0f})
        c.FillShape(Shape::Circle(745, y + 3, 44), Color{0, 0, 0, 0.4f});
    return c;
}

Canvas Tile(Color top, Color bottom)
{
    Canvas c(kTileW, kTileH);
    Sdf tile = Shape::RoundRect(2, 2, kTileW - 4, kTileH - 4, 9);
    Mask m = Mask::FromSdf(kTileW, kTileH, tile);
    c.Fill(m, Paints::Vertical(2, top, kTileH - 2, bottom));
    c.Bevel(m, 4, 1.0f);
    c.Fill(Mask::FromSdf(kTileW, kTileH, Shape::Ring(tile, 1.5f)), Color{0, 0, 0, 0.5f});
    return c;
}

Canvas Locked()
{
    // Light grey: the game tints it with the square's colour.
    return Tile(Color::Hex(0xF4F4F8), Color::Hex(0xB8BAC8));
}

Canvas PieceTile(int kind, int variant = 0)
{
    Canvas c = Tile(Color::Hex(0x5A4AB8), Color::Hex(0x22185A));
    c.Draw(Pieces::Art(kind, variant), 7, 6, 36.0f / 256);
    return c;
}

Canvas SymbolTile(const std::string& text, Color top, Color bottom, int size = 20)
{
    Canvas c = Tile(top, bottom);
    TextStyle t;
    t.size = size;
    t.top = Color{1, 1, 1, 1};
    t.bottom = Palette::kCream;
    t.outlineWidth = 2;
    ArtKit::DrawText(c, text, t, kTileW / 2.0f, kTileH / 2.0f);
    return c;
}

// One picture per level type: Meter, Skulls, Drain, Matches, Collect,
// GoGold, Surprise, Duel.
std::vector<Canvas> GameIcons()
{
    std::vector<Canvas> icons;
    Color top = Color::Hex(0x6A5AD8), bottom = Color::Hex(0x2A1E6A);
    Canvas meter = Tile(top, bottom);
    meter.FillShape(Shape::RoundRect(19, 8, 12, 32, 6), Color::Hex(0x05030E));
    meter.FillShape(Shape::RoundRect(21, 20, 8, 18, 4),
                    Paints::Vertical(20, Color::Hex(0x9BF6FF), 38, Color::Hex(0x1E62D8)));
    icons.push_back(meter);
    icons.push_back(PieceTile(Pieces::kSkull));
    Canvas drain = Tile(top, bottom);
    drain.FillShape(Shape::RoundRect(19, 8, 12, 32, 6), Color::Hex(0x05030E));
    drain.FillShape(Shape::RoundRect(21, 32, 8, 6, 3), Color::Hex(0x55B6FF));
    drain.FillShape(Shape::Polygon({{34, 26}, {44, 26}, {39, 36}}), Palette::kRose);
    icons.push_back(drain);
    icons.push_back(SymbolTile("x3", top, bottom));
    Canvas collect = Tile(top, bottom);
    collect.Draw(Pieces::Art(0, 0), 6, 8, 22.0f / 256);
    collect.Draw(Pieces::Art(3, 0), 22, 8, 22.0f / 256);
    collect.Draw(Pieces::Art(4, 0), 14, 22, 22.0f / 256);
    icons.push_back(collect);
    Canvas gold = Tile(top, bottom);
    gold.FillShape(Shape::RoundRect(10, 12, 30, 24, 4),
                   Paints::Linear(10, 12, Color::Hex(0xFFE98A), 40, 36, Color::Hex(0xC77A0A)));
    icons.push_back(gold);
    icons.push_back(SymbolTile("?", top, bottom, 26));
    icons.push_back(SymbolTile("VS", Color::Hex(0xD84A6A), Color::Hex(0x6A1A2A), 17));
    return icons;
}

Canvas Coin(const std::string& text, int size)
{
    Canvas c(kTileW, kTileH);
    Sdf coin = Shape::Circle(25, 24, 21);
    Mask m = Mask::FromSdf(kTileW, kTileH, coin);
    c.Shadow(m, 1, 2, 2, 0.4f);
    c.Fill(m, Paints::Linear(6, 4, Color::Hex(0xFFF0A0), 46, 46, Color::Hex(0xB86A08)));
    c.Fill(Mask::FromSdf(kTileW, kTileH, Shape::Ring(Shape::Circle(25, 24, 16), 1.5f)),
           Color::Hex(0x8A4A00, 0.7f));
    c.Bevel(m, 3, 1.2f);
    TextStyle t;
    t.size = size;
    t.top = Color{1, 1, 1, 1};
    t.bottom = Palette::kCream;
    t.outline = Color::Hex(0x6A3A00);
    t.outlineWidth = 2;
    t.shadow = 0;
    if (!text.empty())
        ArtKit::DrawText(c, text, t, 25, 24);
    return c;
}

Canvas Lock()
{
    Canvas c(26, 26);
    c.FillShape(Shape::Ring(Shape::RoundRect(7, 2, 12, 16, 6), 3), Color::Hex(0xC0C4D0));
    Mask body = Mask::FromSdf(26, 26, Shape::RoundRect(3, 11, 20, 14, 3));
    c.Fill(body, Paints::Vertical(11, Palette::kGold, 25, Palette::kAmber));
    c.Bevel(body, 2, 1.2f);
    c.FillShape(Shape::Circle(13, 17, 2.2f), Palette::kInk);
    return c;
}

Canvas Pips(int count)
{
    Canvas c(100, 20);
    for (int i = 0; i < 5; ++i) {
        Sdf star = Shape::RoundPolygon(Shape::StarPoints(10 + i * 20.0f, 10.5f, 9, 4, 5), 1);
        c.FillShape(star, i < count ? Paints::Vertical(2, Color::Hex(0xFFF0A0), 19, Palette::kAmber)
                                    : Paints::Solid(Color{1, 1, 1, 0.25f}));
    }
    return c;
}

Canvas TipArrow()
{
    // Centred 120 px left of its square, pointing right; the game mirrors
    // it for a square on the left. Its caption sits over the tail, so the
    // head reaches out past it to stop just short of the square.
    constexpr int w = 184, h = 46;
    Canvas c(w, h);
    Sdf arrow =
        Shape::RoundPolygon({{4, 15}, {138, 15}, {138, 3}, {180, 23}, {138, 43}, {138, 31}, {4, 31}}, 2);
    Mask m = Mask::FromSdf(w, h, arrow);
    c.Fill(m.Dilated(2), Palette::kInk);
    c.Fill(m, Paints::Vertical(3, Color::Hex(0xFFF6A8), 43, Palette::kAmber));
    c.Bevel(m, 3, 1.2f);
    return c;
}

// The tip marker's caption lies on the arrow's row of squares, 6 px above
// its middle: one line, no taller than the gap the rows above and below
// leave (their jigsaw pieces pulse to 53 px tall), so it hides none of
// their squares.
Canvas TipCaption(const std::string& text)
{
    TextStyle body = ArtKit::BodyStyle(14);
    const int width = ArtKit::Text().Measure(body.face, body.size, text) + 22;
    constexpr int height = 30;
    Canvas c(width, height);
    Sdf box = Shape::RoundRect(1.5f, 1.5f, width - 3.0f, height - 3.0f, 9);
    c.FillShape(box, Paints::Vertical(0, Palette::kIndigo, float(height), Palette::kNight));
    c.FillShape(Shape::Ring(box, 2), Palette::kGold);
    ArtKit::DrawText(c, text, body, width / 2.0f, height / 2.0f);
    return c;
}

Canvas Firework()
{
    Canvas c(64, 64);
    c.Fill(Mask::FromSdf(64, 64, Shape::Circle(32, 32, 10)).Blurred(8).Scaled(1.5f), Color{1, 1, 1, 0.9f});
    c.FillShape(Shape::Polygon(Shape::StarPoints(32, 32, 30, 5, 4)), Color{1, 1, 1, 0.9f});
    return c;
}

Canvas NameEntry()
{
    // Centred at (400, 300): the game's 300 x 45 name box at (250, 400) of
    // the screen is (70, 270) here; its slot frames it. The panel starts
    // low, under the "High Score!" banner drawn centred at (625, 150).
    Canvas c(440, 340);
    ArtKit::DrawPanel(c, 4, 84, 432, 244, 30, 0.97f);
    TextStyle body = ArtKit::BodyStyle(22);
    ArtKit::DrawLines(c, {"Well played!", "Type your name and", "press Enter."}, body, 220, 134, 32);
    ArtKit::DrawFieldSlot(c, 70, 270, 300, 45);
    return c;
}

} // namespace

int MapArt::Write(AssetWriter& out)
{
    BundleWriter b(out, "graphics\\map", true);
    b.Add("background", Background(), ImageFormat::Jpeg);
    b.Add("gridsquare_locked", Locked());
    b.AddStrip("gameicon", GameIcons());
    b.Add("goal", SymbolTile("Goal", Color::Hex(0xFFD84A), Color::Hex(0xC06A08), 14));
    b.Add("start", SymbolTile("Start", Color::Hex(0x6AE85A), Color::Hex(0x1E7A2A), 13));
    Canvas won = Tile(Color::Hex(0x9AE8FF), Color::Hex(0x2A7AB8));
    won.FillShape(Shape::Capsule({14, 25}, {22, 33}, 4), Color{1, 1, 1, 1});
    won.FillShape(Shape::Capsule({22, 33}, {37, 14}, 4), Color{1, 1, 1, 1});
    b.Add("wonlevel", won);
    b.Add("lock", Lock());
    b.Add("bonuscoin", Coin("", 14));
    // DoubleScore, TripleScore, Points5000, Points10000, SkipLevel, Hint,
    // ExtraPieces.
    std::vector<Canvas> coins;
    for (const char* text : {"2x", "3x", "5K", "10K", ">>", "?", "+"})
        coins.push_back(Coin(text, std::string(text).size() > 2 ? 12 : 17));
    b.AddStrip("bonuscoins", coins);

    const std::vector<std::pair<std::string, std::vector<std::string>>> captions = {
        {"Meter", {"Fill the quorb meter", "by making matches."}},
        {"Skulls", {"Break every skull", "with matches beside it."}},
        {"Drain", {"The meter drains away:", "fill it before it runs dry."}},
        {"Matches", {"Make the matches shown", "before the time runs out."}},
        {"Collect", {"Collect the pieces", "shown at the left."}},
        {"Go Gold", {"Turn every square gold", "by matching on it."}},
        {"Surprise", {"Anything can happen", "on this square!"}},
        {"Duel", {"Beat the computer", "to a full meter."}},
    };
    for (size_t i = 0; i < captions.size(); ++i)
        b.Add("caption" + std::to_string(i), ArtKit::Bubble(230, captions[i].first, captions[i].second, 15));
    b.Add("caption9",
          ArtKit::Bubble(230, "Jigsaw Piece", {"Win a level next to it,", "then click to take the piece."}, 15));
    b.Add("caption10", ArtKit::Bubble(230, "Bonus", {"Win a level next to it", "to open this bonus."}, 15));
    b.Add("captiongoal",
          ArtKit::Bubble(230, "The Goal", {"Reach this square to", "finish the journey."}, 15));
    const std::vector<std::pair<std::string, std::vector<std::string>>> bonuses = {
        {"Double Score", {"Every score counts twice."}},
        {"Triple Score", {"Every score counts 3 times."}},
        {"5000 Points", {"A gift of 5000 points."}},
        {"10000 Points", {"A gift of 10000 points."}},
        {"Skip Level", {"Win a level at a click."}},
        {"Free Hints", {"Hints cost you nothing."}},
        {"Extra Pieces", {"Two more jigsaw pieces", "when you reach the goal."}},
    };
    for (size_t i = 0; i < bonuses.size(); ++i)
        b.Add("bcaption" + std::to_string(i), ArtKit::Bubble(230, bonuses[i].first, bonuses[i].second, 15));
    TextStyle diff = ArtKit::BodyStyle(16);
    b.Add("difficultycaption", ArtKit::Caption("Difficulty:", diff, 2));
    for (int i = 1; i <= 5; ++i)
        b.Add("diff" + std::to_string(i), Pips(i));
    b.Add("tiparrow", TipArrow());
    // Narrow, so that the arrow's head shows beside them.
    b.Add("tip1", TipCaption("Click it to play!"));
    b.Add("tip2", TipCaption("Try this one!"));
    b.Add("menu", ArtKit::RoundButton(40, "Menu", ButtonTone::Gold, false, 18));
    b.Add("menu_hilite", ArtKit::RoundButton(40, "Menu", ButtonTone::Gold, true, 18));
    b.Add("puzzle", ArtKit::RoundButton(40, "Jigsaw", ButtonTone::Blue, false, 15));
    b.Add("puzzle_hilite", ArtKit::RoundButton(40, "Jigsaw", ButtonTone::Blue, true, 15));
    b.Add("enteryourname", NameEntry());
    // Centred at (625, 150): no wider than twice its distance from the
    // screen's right edge.
    b.Add("yougotahighscore", ArtKit::Banner("High Score!", 44, Palette::kCream, Palette::kGold));
    b.Add("firework", Firework());
    b.Add("win1", ArtKit::Banner("Journey Complete!", 56, Palette::kCream, Palette::kGold));
    b.Add("win2", ArtKit::Banner("You are a Quorb Master!", 40, Color::Hex(0xD8F8FF), Color::Hex(0x55B6FF)));
    b.Finish();
    return b.Steps();
}

} // namespace AssetGen
