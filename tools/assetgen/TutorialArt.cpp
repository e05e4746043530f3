#include "tools/assetgen/TutorialArt.h"

#include "tools/assetgen/ArtKit.h"
#include "tools/assetgen/BundleWriter.h"
#include "tools/assetgen/Pieces.h"

#include <functional>

namespace AssetGen {
namespace {

using Illustration = std::function<void(Canvas&, float cx, float cy)>;

void Piece(Canvas& c, int kind, float cx, float cy, float size)
{
    c.Draw(Pieces::Art(kind, 0), cx - size / 2, cy - size / 2, size / Pieces::kSize);
}

Illustration Meter(float fill, Color liquid, bool skull, float height = 112)
{
    return [=](Canvas& c, float cx, float cy) {
        float top = cy - height / 2;
        c.FillShape(Shape::RoundRect(cx - 13, top, 26, height, 13), Color::Hex(0x05030E));
        c.FillShape(Shape::Ring(Shape::RoundRect(cx - 13, top, 26, height, 13), 2), Palette::kGold);
        float level = top + 4 + (height - 8) * (1 - fill);
        c.FillShape(Shape::RoundRect(cx - 9, level, 18, top + height - 4 - level, 9),
                    Paints::Vertical(level, liquid.Lighter(0.4f), top + height, liquid.Darker(0.2f)));
        if (skull)
            Piece(c, Pieces::kSkull, cx + 34, top + 16, 34);
        else
            Piece(c, 0, cx + 34, top + 16, 30);
    };
}

Illustration Row(std::vector<int> kinds, int crossed, float size = 38)
{
    return [=](Canvas& c, float cx, float cy) {
        float x = cx - size * (kinds.size() - 1) / 2.0f;
        for (size_t i = 0; i < kinds.size(); ++i)
            Piece(c, kinds[i], x + i * size, cy, size - 2);
        if (crossed >= 0) {
            float px = x + crossed * size;
            float k = size * 0.37f;
            c.FillShape(Shape::Capsule({px - k, cy - k}, {px + k, cy + k}, 3.5f), Palette::kRose);
            c.FillShape(Shape::Capsule({px - k, cy + k}, {px + k, cy - k}, 3.5f), Palette::kRose);
        }
    };
}

Illustration CrackedSkull()
{
    return [](Canvas& c, float cx, float cy) {
        Piece(c, 2, cx - 44, cy, 36);
        Piece(c, 2, cx + 44, cy, 36);
        Piece(c, Pieces::kSkull, cx, cy, 52);
        c.FillShape(Shape::Capsule({cx - 4, cy - 20}, {cx + 3, cy - 4}, 1.6f), Palette::kInk);
        c.FillShape(Shape::Capsule({cx + 3, cy - 4}, {cx - 5, cy + 8}, 1.6f), Palette::kInk);
    };
}

Illustration GoldSquares()
{
    return [](Canvas& c, float cx, float cy) {
        for (int i = 0; i < 3; ++i) {
            c.FillShape(Shape::RoundRect(cx - 57 + i * 38.0f, cy - 19, 36, 36, 5),
                        Paints::Linear(cx - 57, cy - 19, Color::Hex(0xFFE98A), cx + 57, cy + 19,
                                       Color::Hex(0xC77A0A)));
            Piece(c, 5, cx - 39 + i * 38.0f, cy - 1, 30);
        }
    };
}

Illustration Versus(float size = 48)
{
    return [=](Canvas& c, float cx, float cy) {
        Piece(c, 4, cx - size * 0.92f, cy, size);
        Piece(c, Pieces::kSkull, cx + size * 0.92f, cy, size);
        TextStyle vs;
        vs.size = int(size / 2);
        ArtKit::DrawText(c, "VS", vs, cx, cy);
    };
}

Canvas Card(int width, int height, const Illustration& draw, float pictureHeight,
            const std::vector<std::string>& lines)
{
    Canvas c(width, height);
    ArtKit::DrawPanel(c, 2, 2, width - 4.0f, height - 10.0f, 18, 0.9f);
    draw(c, width / 2.0f, 14 + pictureHeight / 2);
    ArtKit::DrawLines(c, lines, ArtKit::BodyStyle(16), width / 2.0f, 26 + pictureHeight, 21);
    return c;
}

Canvas Wide(int width, int height, float pictureWidth, const Illustration& draw,
            const std::vector<std::string>& lines)
{
    // Picture on the left, words on the right.
    Canvas c(width, height);
    ArtKit::DrawPanel(c, 2, 2, width - 4.0f, height - 10.0f, 18, 0.9f);
    draw(c, 8 + pictureWidth / 2, (height - 8) / 2.0f);
    float lineHeight = 21, top = (height - 8) / 2.0f - lineHeight * (lines.size() - 1) / 2.0f;
    ArtKit::DrawLines(c, lines, ArtKit::BodyStyle(16), 8 + pictureWidth + (width - 14 - pictureWidth) / 2.0f,
                      top, lineHeight);
    return c;
}

Canvas Title(const std::string& name, const std::string& kind)
{
    Canvas banner = ArtKit::Banner(name, 50, Palette::kCream, Palette::kGold);
    TextStyle sub = ArtKit::BodyStyle(20);
    sub.top = sub.bottom = Color::Hex(0x9FD8FF);
    Canvas line = ArtKit::Caption(kind, sub, 2);
    Canvas c(std::max(banner.Width(), line.Width()), banner.Height() + line.Height() - 6);
    c.Draw(banner, (c.Width() - banner.Width()) / 2.0f, 0);
    c.Draw(line, (c.Width() - line.Width()) / 2.0f, banner.Height() - 8.0f);
    return c;
}

Canvas Background()
{
    Canvas c = ArtKit::Backdrop(800, 600, Color::Hex(0x22306E), Color::Hex(0x0C1030), 505);
    // Stage under the demonstration board.
    c.FillShape(Shape::RoundRect(190, 62, 420, 418, 30), Color{0, 0, 0, 0.3f});
    return c;
}

} // namespace

int TutorialArt::Write(AssetWriter& out)
{
    BundleWriter b(out, "graphics\\tutorial", true);
    b.Add("tutorbackground", Background(), ImageFormat::Jpeg);
    b.AddStrip("dontshow", ArtKit::ButtonFrames(124, 50, "Don't show", ButtonTone::Blue, 17));
    const std::pair<const char*, const char*> titles[] = {
        {"broms", "Meet the Broms"},   {"grimbo", "Meet Grimbo"},
        {"tuvos", "Meet the Tuvos"},   {"pricklets", "The Pricklets"},
        {"pallowin", "Meet Pallowin"}, {"glowby", "Meet Glowby"},
        {"qib", "Meet Qib"},           {"casual", "Casual Game"},
        {"speed", "Speed Game"}};
    const char* kinds[] = {
        "Meter levels",        "Skull levels",   "Drain levels", "Match-count levels",
        "Collect levels",      "Go Gold levels", "Duel levels",  "Play as long as you like",
        "Beat the skull meter"};
    for (int i = 0; i < 9; ++i)
        b.Add(titles[i].first, Title(titles[i].second, kinds[i]));

    Color blue = Color::Hex(0x55B6FF), red = Color::Hex(0xE8406A);
    b.Add("QuorbMeter_Brom", Card(160, 250, Meter(0.7f, blue, false), 120,
                                  {"Match pieces", "to fill the", "meter. Fill it", "to win!"}));
    b.Add("NoMoreMoves", Wide(330, 110, 108, Row({1, 3, 1}, 1, 34),
                              {"No moves left?", "Then the level is lost,", "so plan ahead!"}));
    b.Add("CrackSKulls", Card(160, 250, CrackedSkull(), 110,
                              {"Match next to a", "skull to crack it.", "Crack them all", "to win!"}));
    b.Add("Skullmeter_Grimbo", Card(200, 260, Meter(0.4f, red, true), 120,
                                    {"Skulls keep coming.", "If the skull meter", "fills, you lose!"}));
    b.Add("QuorbMeter_Tuvo", Card(160, 250, Meter(0.3f, blue, false), 120,
                                  {"The meter drains", "all the time:", "match fast to", "keep it up!"}));
    b.Add("Lose_Tuvo", Wide(330, 120, 90, Meter(0.05f, blue, false, 84),
                            {"If the meter", "runs dry, the", "level is lost."}));
    b.Add("matches", Card(160, 240, Row({2, 2, 2}, -1), 60,
                          {"Reach the goal", "within the", "matches shown", "on the left."}));
    b.Add("Lose_Pricklet",
          Card(210, 250, Row({6, 0, 6}, 1), 60,
               {"Run out of matches", "before the meter", "is full, and the", "level is lost."}));
    b.Add("collect", Card(170, 250, Row({0, 3, 4}, -1), 60,
                          {"Match the pieces", "shown at the left", "until every", "count reaches 0."}));
    b.Add("Skullmeter_Pallowin",
          Card(200, 260, Meter(0.5f, red, true), 120, {"Watch the skull", "meter while you", "collect!"}));
    b.Add("gogold", Card(180, 240, GoldSquares(), 60,
                         {"Match on the", "marked squares", "to turn them gold.", "Gild them all!"}));
    b.Add("duel", Card(170, 220, Versus(), 60,
                       {"Take turns with", "the computer.", "First to fill the", "meter wins!"}));
    b.Add("lose_qib",
          Wide(270, 140, 112, Versus(32), {"If the computer", "fills its meter", "first, you lose."}));
    b.Add("QuorbMeter", Card(160, 250, Meter(0.6f, blue, false), 120,
                             {"Fill the meter", "to go up a level", "and score more!"}));
    b.Add("SkullMeter", Card(200, 260, Meter(0.3f, red, true), 120,
                             {"Skulls slowly fill", "the skull meter.", "Crack them", "to hold it back!"}));
    b.Add("SkullMeter_Speed", Card(200, 260, Meter(0.6f, red, true), 120,
                                   {"In a speed game", "the skull meter", "rises quickly:", "be fast!"}));
    b.Finish();
    return b.Steps();
}

} // namespace AssetGen
