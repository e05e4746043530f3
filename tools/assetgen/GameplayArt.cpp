#include "tools/assetgen/GameplayArt.h"

#include "tools/assetgen/ArtKit.h"
#include "tools/assetgen/BundleWriter.h"
#include "tools/assetgen/Pieces.h"

#include <algorithm>
#include <cmath>

namespace AssetGen {
namespace {

constexpr float kPi = 3.14159265f;
constexpr int kRim = 70;

Canvas Background()
{
    Canvas c = ArtKit::Backdrop(800, 600, Color::Hex(0x1B3A6E), Color::Hex(0x0A0F2A), 303);
    // A faint lattice of diamonds: texture behind the board.
    c.FillAll([](float x, float y) {
        float u = std::fabs(std::fmod(x + y, 80.0f) - 40), v = std::fabs(std::fmod(x - y + 800, 80.0f) - 40);
        float line = std::min(u, v);
        return Color{0.6f, 0.8f, 1, line < 1.2f ? 0.05f : 0.0f};
    });
    return c;
}

// The frame: a golden tube along the edges, centred in its 70-pixel tile
// because the same edge frame serves both sides of the board, and round
// studs on the corners.
Canvas RimEdge(bool horizontal)
{
    Canvas c(kRim, kRim);
    float a = 21, b = 49; // the tube's extent across the tile
    Sdf tube = horizontal ? Shape::RoundRect(-10, a, kRim + 20, b - a, 4)
                          : Shape::RoundRect(a, -10, b - a, kRim + 20, 4);
    Mask m = Mask::FromSdf(kRim, kRim, tube);
    Paint across = horizontal ? Paints::Vertical(a, Color::Hex(0xFFF0A8), b, Color::Hex(0x8A4A08))
                              : Paints::Linear(a, 0, Color::Hex(0xFFF0A8), b, 0, Color::Hex(0x8A4A08));
    c.Fill(m, across);
    Sdf groove =
        horizontal ? Shape::RoundRect(-10, 33, kRim + 20, 4, 2) : Shape::RoundRect(33, -10, 4, kRim + 20, 2);
    c.FillShape(groove, Color{0.3f, 0.15f, 0, 0.5f});
    // One bead per tile: the tiles repeat at (almost) their own width.
    c.FillShape(Shape::Circle(35, 35, 7),
                Paints::Radial(33, 32, 9, Color::Hex(0xBFF4FF), Color::Hex(0x1E6EC8)));
    c.FillShape(Shape::Ring(Shape::Circle(35, 35, 7), 2), Color::Hex(0x5A3000));
    return c;
}

// A corner bends the tube round a quarter circle, from where one edge stops
// (17 px short of the grid's corner) to where the next one starts, with a
// gem on the bend. It reaches no further out than the tube itself: the two
// frames of a duel meet with a gap between them, and the Hint, Skip and
// Menu buttons placed beside and below a duel board keep clear of it.
Canvas RimCorner(int frame)
{
    Canvas c(kRim, kRim);
    // The art is centred 12 px out from the grid's corner on the diagonal.
    const float sx = (frame == 2 || frame == 5) ? 1.0f : -1.0f, sy = frame >= 4 ? 1.0f : -1.0f;
    const float cx = 35 - 29 * sx, cy = 35 - 29 * sy; // the bend's centre
    constexpr float mid = 25.5f, half = 14;           // the tube's middle and half width
    // The bend starts 1.5 px back under the edges' ends (drawn after it), so
    // no seam shows where their soft edges meet.
    const float back = 1.5f;
    const Sdf quadrant = Shape::RoundRect(sx > 0 ? cx - back : cx - kRim, sy > 0 ? cy - back : cy - kRim,
                                          kRim + back, kRim + back, 0);
    const Sdf bend = Shape::Intersect(Shape::Ring(Shape::Circle(cx, cy, mid), 2 * half), quadrant);
    Mask m = Mask::FromSdf(kRim, kRim, bend);
    // Shaded as the straight tubes are, lit from the top left: across a
    // tube the colour runs from light at its upper or left side to dark.
    c.Fill(m, Paint([=](float x, float y) {
               const float dx = x - cx, dy = y - cy, r = std::max(std::hypot(dx, dy), 0.001f);
               const float t = std::clamp(0.5f + 0.5f * (r - mid) / half * (dx + dy) / r, 0.0f, 1.0f);
               return Color::Hex(0xFFF0A8).Mix(Color::Hex(0x8A4A08), t);
           }));
    c.Fill(Mask::FromSdf(kRim, kRim, Shape::Intersect(Shape::Ring(Shape::Circle(cx, cy, mid), 4), quadrant)),
           Color{0.3f, 0.15f, 0, 0.5f});
    const float gx = cx + mid * sx * 0.7071f, gy = cy + mid * sy * 0.7071f;
    Sdf gem = Shape::RoundPolygon(Shape::RegularPoints(gx, gy, 11, 4, 45), 2);
    Mask g = Mask::FromSdf(kRim, kRim, gem);
    c.Fill(g.Dilated(2), Color::Hex(0x5A3000));
    c.Fill(g, Paints::Radial(gx - 3, gy - 3, 14, Color::Hex(0xFFB0C8), Color::Hex(0xB0103A)));
    c.Bevel(g, 3, 1.5f);
    return c;
}

std::vector<Canvas> Explosion()
{
    std::vector<Canvas> frames;
    for (int i = 0; i < 6; ++i) {
        Canvas c(128, 128);
        float r = 18 + i * 9.0f, width = 14 - i * 1.6f, fade = 1 - i / 7.0f;
        Mask ring =
            Mask::FromSdf(128, 128, Shape::Ring(Shape::Circle(64, 64, r), width)).Blurred(2 + i * 0.6f);
        c.Fill(ring, Color{1, 0.85f, 0.45f, fade});
        c.Fill(Mask::FromSdf(128, 128, Shape::Ring(Shape::Circle(64, 64, r), width * 0.35f)),
               Color{1, 1, 0.9f, fade});
        frames.push_back(c);
    }
    return frames;
}

Canvas Flash()
{
    Canvas c(128, 128);
    c.Fill(Mask::FromSdf(128, 128, Shape::Circle(64, 64, 30)).Blurred(14).Scaled(1.3f), Color{1, 1, 1, 0.9f});
    c.FillShape(Shape::Polygon(Shape::StarPoints(64, 64, 62, 8, 4)), Color{1, 1, 1, 0.8f});
    c.FillShape(Shape::Polygon(Shape::StarPoints(64, 64, 40, 6, 4, 45)), Color{1, 1, 1, 0.6f});
    return c;
}

Canvas Circle()
{
    Canvas c(256, 256);
    c.Fill(Mask::FromSdf(256, 256, Shape::Ring(Shape::Circle(128, 128, 110), 14)).Blurred(3),
           Color{1, 1, 1, 0.9f});
    return c;
}

// A glass tube meter: body art, and the liquid drawn clipped into it.
Canvas TubeMeter(int width, int height, float panelWidth, float tubeX, float tubeY, float tubeW, float tubeH)
{
    Canvas c(width, height);
    ArtKit::DrawPanel(c, 2, 2, panelWidth, height - 8.0f, 18, 0.85f);
    Sdf tube = Shape::RoundRect(tubeX - 4, tubeY - 4, tubeW + 8, tubeH + 8, (tubeW + 8) / 2);
    c.FillShape(tube, Color::Hex(0x05030E));
    c.FillShape(Shape::Ring(tube, 2), Color{1, 1, 1, 0.35f});
    return c;
}

Canvas Liquid(int width, int height, Color top, Color bottom, bool horizontal)
{
    Canvas c(width, height);
    Sdf shape = Shape::RoundRect(0, 0, float(width), float(height), std::min(width, height) / 2.0f);
    Mask m = Mask::FromSdf(width, height, shape);
    c.Fill(m, horizontal ? Paints::Linear(0, 0, top, float(width), 0, bottom)
                         : Paints::Vertical(0, top, float(height), bottom));
    // A highlight down (or along) the tube reads as glass.
    Sdf shine = horizontal ? Shape::RoundRect(4, height * 0.18f, width - 8.0f, height * 0.22f, 2)
                           : Shape::RoundRect(width * 0.18f, 4, width * 0.22f, height - 8.0f, 2);
    c.Fill(Mask::FromSdf(width, height, shine).Times(m), Color{1, 1, 1, 0.45f});
    return c;
}

Canvas SkullMeter()
{
    // Skull emblem on top; the game blinks the dark face over it at (15, 48).
    Canvas c = TubeMeter(110, 370, 106, 48, 85, 18, 270);
    c.Draw(Pieces::Art(Pieces::kSkull, 0), 19, 6, 72.0f / 256);
    return c;
}

Canvas SkullMeterDark()
{
    // The emblem's eye row, lit red: laid over the skull at (15, 48).
    Canvas c(80, 34);
    for (float x : {28.0f, 52.0f}) {
        Mask eye = Mask::FromSdf(80, 34, Shape::Circle(x - 1, 10, 9));
        c.Fill(eye.Blurred(4).Scaled(1.5f), Color{1, 0.2f, 0.05f, 0.9f});
        c.Fill(Mask::FromSdf(80, 34, Shape::Circle(x - 1, 10, 3)), Color{1, 0.9f, 0.4f, 1});
    }
    return c;
}

Canvas Stopwatch()
{
    // Face centred at (62, 81), where the game wipes the time away.
    Canvas c(124, 132);
    c.FillShape(Shape::RoundRect(52, 2, 20, 16, 4), Paints::Vertical(2, Palette::kGold, 18, Palette::kAmber));
    c.FillShape(Shape::RoundRect(57, 14, 10, 12, 2), Palette::kAmber.Darker(0.3f));
    Sdf body = Shape::Circle(62, 81, 50);
    Mask m = Mask::FromSdf(124, 132, body);
    c.Fill(m, Paints::Linear(12, 30, Palette::kGold.Lighter(0.3f), 112, 131, Palette::kAmber.Darker(0.4f)));
    c.Bevel(m, 5, 1.2f);
    c.FillShape(Shape::Circle(62, 81, 42), Palette::kCream);
    for (int i = 0; i < 12; ++i) {
        float a = i * kPi / 6;
        float r0 = i % 3 == 0 ? 32.0f : 36.0f;
        c.FillShape(Shape::Capsule({62 + r0 * std::sin(a), 81 - r0 * std::cos(a)},
                                   {62 + 39 * std::sin(a), 81 - 39 * std::cos(a)}, 1.5f),
                    Palette::kInk);
    }
    return c;
}

Canvas StopwatchHand()
{
    // 50 tall: the game turns it about its bottom end.
    Canvas c(10, 50);
    c.FillShape(Shape::Polygon({{5, 1}, {8, 44}, {5, 49}, {2, 44}}), Color::Hex(0xC01830));
    c.FillShape(Shape::Circle(5, 45, 4), Palette::kInk);
    return c;
}

Canvas StopwatchCircle()
{
    Canvas c(84, 84);
    c.FillShape(Shape::Circle(42, 42, 41), Color{0.2f, 0.8f, 0.3f, 0.55f});
    return c;
}

// A counter's panel at (x, y) inside a clear picture of the given size:
// the clear margins keep it off the board frame where the game places it.
Canvas CounterBox(int width, int height, float x, float y, float panelWidth, float panelHeight,
                  const std::string& heading = "", float headingY = 0, int headingSize = 15)
{
    Canvas c(width, height);
    ArtKit::DrawPanel(c, x, y, panelWidth, panelHeight, 16, 0.9f);
    TextStyle h = ArtKit::BodyStyle(headingSize);
    h.face = Typeface::Heavy;
    h.top = Palette::kCream;
    h.bottom = Palette::kGold;
    if (!heading.empty())
        ArtKit::DrawText(c, heading, h, x + panelWidth / 2, headingY);
    return c;
}

// Drawn left of the grid's top-left corner stud: its top stays clear.
Canvas MatchesToGo()
{
    // The game centres the count on the picture, its line from y = 45.
    return CounterBox(110, 110, 2, 20, 106, 82, "Matches", 34);
}

Canvas LevelBox()
{
    // Drawn at (-3, 0) of the screen, left of a Casual board's corner stud;
    // the game centres the level on x = 68 here, its line from y = 25.
    return CounterBox(98, 62, 36, 2, 62, 52, "Level", 13, 13);
}

Canvas CollectBox()
{
    // The icon goes at (18, 32), the count right-aligned near (85, 65). Slots
    // stack down the grid's left edge from its top to its bottom corner
    // stud: the panel keeps clear of the edge and of both studs.
    Canvas c = CounterBox(125, 130, 2, 22, 98, 84);
    c.FillShape(Shape::RoundRect(14, 28, 74, 74, 10), Color{0, 0, 0, 0.45f});
    return c;
}

Canvas Warning()
{
    Canvas c(90, 84);
    Sdf tri = Shape::RoundPolygon({{45, 4}, {86, 78}, {4, 78}}, 8);
    Mask m = Mask::FromSdf(90, 84, tri);
    c.Fill(m.Dilated(2), Palette::kInk);
    c.Fill(m, Paints::Vertical(4, Color::Hex(0xFFE45A), 78, Color::Hex(0xF07A10)));
    c.Bevel(m, 5, 1.0f);
    c.FillShape(Shape::Capsule({45, 28}, {45, 52}, 5), Palette::kInk);
    c.FillShape(Shape::Circle(45, 65, 5.5f), Palette::kInk);
    return c;
}

Canvas WarningBackground()
{
    Canvas c(140, 140);
    c.Fill(Mask::FromSdf(140, 140, Shape::Circle(70, 70, 44)).Blurred(16).Scaled(1.4f),
           Color{1, 0.2f, 0.1f, 0.7f});
    return c;
}

Canvas QuickStats()
{
    // The game writes three result lines at (25, 55), (40, 90), (55, 125).
    Canvas c = ArtKit::Panel(560, 170, 26);
    TextStyle h = ArtKit::BodyStyle(20);
    h.face = Typeface::Heavy;
    h.top = Palette::kCream;
    h.bottom = Palette::kGold;
    ArtKit::DrawText(c, "Level Results", h, 280, 26);
    return c;
}

// Under each duel board, clear of the small menu button between them.
Canvas DuelMeter()
{
    Canvas c(280, 44);
    ArtKit::DrawPanel(c, 1, 1, 278, 40, 16, 0.9f);
    c.FillShape(Shape::RoundRect(9, 11, 262, 22, 11), Color::Hex(0x05030E));
    return c;
}

// A button's frames moved inside larger clear ones.
std::vector<Canvas> Inset(const std::vector<Canvas>& frames, int width, int height, int left, int top)
{
    std::vector<Canvas> out;
    for (const Canvas& frame : frames) {
        Canvas c(width, height);
        c.Draw(frame, float(left), float(top));
        out.push_back(c);
    }
    return out;
}

// The Hint and Skip buttons are placed 47 px above the grid: on a full board
// that is above the screen's top, so both start 7 px down in their pictures.
// On a duel board Hint stands 32 px left of where the frame's top right
// corner begins: a round "?" fits there.
std::vector<Canvas> HintButton()
{
    return Inset(ArtKit::ButtonFrames(30, 32, "?", ButtonTone::Blue, 20), 30, 40, 0, 7);
}

// On a duel board Skip is placed 30 px left of where the frame's top left
// corner ends, and the score panel begins 92 px to its right: the button
// sits between them.
std::vector<Canvas> SkipButton()
{
    return Inset(ArtKit::ButtonFrames(58, 34, "Skip", ButtonTone::Green, 17), 90, 41, 31, 7);
}

} // namespace

int GameplayArt::Write(AssetWriter& out)
{
    BundleWriter b(out, "graphics\\gameplay", true);
    b.SetPageSize(1024, 1024);
    b.Add("background", Background(), ImageFormat::Jpeg);
    b.AddStrip("rim",
               {RimCorner(0), RimEdge(true), RimCorner(2), RimEdge(false), RimCorner(4), RimCorner(5)});
    b.AddStrip("Explosion", Explosion());
    b.AddStrip("hintbutton", HintButton());
    b.AddStrip("instawin", SkipButton());
    b.AddStrip("menubutton", ArtKit::ButtonFrames(140, 50, "Menu", ButtonTone::Gold, 24));
    // Drawn at the screen's bottom between the duel boards: low enough to
    // pass under the frames' corners.
    b.AddStrip("smallmenubutton", ArtKit::ButtonFrames(110, 38, "Menu", ButtonTone::Gold, 19));

    Color cream = Palette::kCream, gold = Palette::kGold;
    b.Add("Ready", ArtKit::Banner("Ready?", 90, cream, gold));
    b.Add("Go", ArtKit::Banner("Go!", 110, Color::Hex(0xD8FFB0), Color::Hex(0x36B21E)));
    b.Add("Flash", Flash());
    // Drawn 8 px left of the grid: the panel ends short of the frame's edge.
    b.Add("QuorbMeter", TubeMeter(100, 380, 80, 43, 13, 24, 354));
    b.Add("QuorbMeterFill", Liquid(24, 354, Color::Hex(0x9BF6FF), Color::Hex(0x1E62D8), false));
    b.Add("skullmeter", SkullMeter());
    b.Add("skullmeterfill", Liquid(18, 270, Color::Hex(0xFF8AA0), Color::Hex(0x7A0A5A), false));
    b.Add("skullmeterdark", SkullMeterDark());
    b.Add("warning", Warning());
    b.Add("warningbkg", WarningBackground());
    b.Add("danger", ArtKit::Banner("Danger!", 48, Color::Hex(0xFFD0C0), Color::Hex(0xE82020)));
    b.Add("duelmeter", DuelMeter());
    b.Add("duelmeterfill", Liquid(258, 18, Color::Hex(0x9BF6FF), Color::Hex(0x1E62D8), true));
    b.Add("matchestogo", MatchesToGo());
    b.Add("stopwatch", Stopwatch());
    b.Add("stopwatchhand", StopwatchHand());
    b.Add("stopwatchcircle", StopwatchCircle());
    b.Add("collectbox", CollectBox());
    // Centred 17 px above the grid, which may start 40 px down the screen:
    // the panel keeps 5 px clear at its top so none of it is cut off.
    b.Add("scorebox", CounterBox(160, 56, 2, 5, 156, 41));
    b.Add("level", LevelBox());
    b.Add("levelup", ArtKit::Banner("Level Up!", 80, cream, gold));
    b.Add("Win", ArtKit::Banner("Level Complete!", 66, cream, gold));
    b.Add("QuickStats", QuickStats());
    b.Add("youlose", ArtKit::Banner("You Lose", 80, Color::Hex(0xFFD0D0), Color::Hex(0xD02040)));
    b.Add("quorbmeterdrained", ArtKit::Banner("The meter ran dry", 44, cream, Color::Hex(0x55B6FF)));
    b.Add("nomovespossible", ArtKit::Banner("No more moves", 44, cream, gold));
    b.Add("outoftime", ArtKit::Banner("Out of time", 44, cream, Color::Hex(0xFF8A3A)));
    b.Add("computerwins", ArtKit::Banner("The computer wins", 44, cream, Color::Hex(0xE8406A)));
    // Centred on the computer's pointer, which keeps 100 px inside its half
    // of the screen: no wider than the 59 px left each side of a duel grid
    // allow twice over, less the frame's tube.
    b.Add("thinking", ArtKit::Banner("Thinking...", 16, cream, Color::Hex(0x9FD8FF)));
    // Floaters are tinted by the game: light lettering takes any colour.
    Color white{1, 1, 1, 1}, pale = Color::Hex(0xE8E8F0);
    b.Add("combo", ArtKit::Banner("Combo!", 40, white, pale));
    b.Add("powerup", ArtKit::Banner("Power Up!", 40, white, pale));
    for (const char* mult : {"2X", "3X", "4X", "5X"})
        b.Add(mult, ArtKit::Banner(mult, 48, white, pale));
    b.Add("WOW", ArtKit::Banner("WOW!", 56, white, pale));
    b.Add("Circle", Circle());
    b.Finish();
    return b.Steps();
}

} // namespace AssetGen
