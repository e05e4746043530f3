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

Illustration Stopwatch()
{
    // Run down to the last few seconds.
    return [](Canvas& c, float cx, float cy) {
        c.FillShape(Shape::RoundRect(cx - 6, cy - 30, 12, 8, 2), Palette::kGold);
        Sdf face = Shape::Circle(cx, cy + 2, 24);
        c.FillShape(Shape::Grow(face, 3), Palette::kGold);
        c.FillShape(face, Palette::kCream);
        c.FillShape(Shape::Intersect(Shape::Circle(cx, cy + 2, 21),
                                     Shape::Polygon({{cx, cy + 2}, {cx, cy - 28}, {cx - 19, cy - 28}})),
                    Palette::kRose);
        c.FillShape(Shape::Capsule({cx, cy + 2}, {cx - 11, cy - 14}, 2), Palette::kInk);
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
            const std::vector<std::string>& lines, float lineHeight = 21, int textSize = 16)
{
    // Picture on the left, words on the right.
    Canvas c(width, height);
    ArtKit::DrawPanel(c, 2, 2, width - 4.0f, height - 10.0f, 18, 0.9f);
    draw(c, 8 + pictureWidth / 2, (height - 8) / 2.0f);
    float top = (height - 8) / 2.0f - lineHeight * (lines.size() - 1) / 2.0f;
    ArtKit::DrawLines(c, lines, ArtKit::BodyStyle(textSize),
                      8 + pictureWidth + (width - 14 - pictureWidth) / 2.0f, top, lineHeight);
    return c;
}

// Drawn under the demonstration board from y = 55: small enough to end above
// the board's frame.
Canvas Title(const std::string& name)
{
    return ArtKit::Banner(name, 32, Palette::kCream, Palette::kGold);
}

// A picture moved inside a larger clear one, so that where the game places
// it the card itself stays off the demonstration board.
Canvas Inset(const Canvas& card, int left, int top)
{
    Canvas c(card.Width() + left, card.Height() + top);
    c.Draw(card, float(left), float(top));
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
        {"broms", "The Broms"},   {"grimbo", "Grimbo"},
        {"tuvos", "The Tuvos"},   {"pricklets", "The Pricklets"},
        {"pallowin", "Pallowin"}, {"glowby", "Glowby"},
        {"qib", "Qib"},           {"casual", "Casual Game"},
        {"speed", "Speed Game"}};
    for (const auto& [name, text] : titles)
        b.Add(name, Title(text));

    Color blue = Color::Hex(0x55B6FF), red = Color::Hex(0xE8406A);
    b.Add("QuorbMeter_Brom", Card(160, 250, Meter(0.7f, blue, false), 120,
                                  {"Match pieces", "to fill the", "meter. Fill it", "to win!"}));
    b.Add("NoMoreMoves",
          Inset(Wide(300, 62, 84, Row({1, 3, 1}, 1, 24), {"No moves left? You lose!"}, 18, 15), 0, 70));
    b.Add("CrackSKulls", Card(160, 250, CrackedSkull(), 110,
                              {"Match next to a", "skull twice to", "break it. Break", "them all to win!"}));
    b.Add("Skullmeter_Grimbo", Inset(Card(200, 260, Meter(0.4f, red, true), 120,
                                          {"Every move fills the", "skull meter. When it", "is full, a piece", "turns into a skull!"}),
                                     8, 0));
    b.Add("QuorbMeter_Tuvo", Card(172, 250, Meter(0.3f, blue, false), 120,
                                  {"The meter drains", "all the time:", "match fast to", "fill it up!"}));
    b.Add("Lose_Tuvo", Inset(Wide(330, 72, 80, Meter(0.05f, blue, false, 34),
                                  {"If the meter runs dry,", "the level is lost."}, 18, 14),
                             0, 60));
    b.Add("matches", Card(160, 240, Row({2, 2, 2}, -1), 60,
                          {"Make as many", "matches as the", "counter on the", "left shows."}));
    b.Add("Lose_Pricklet",
          Inset(Card(210, 250, Stopwatch(), 60,
                     {"If the stopwatch", "runs out first,", "the level", "is lost."}),
                6, 0));
    b.Add("collect", Card(170, 250, Row({0, 3, 4}, -1), 60,
                          {"Match the pieces", "shown at the left", "until every", "count reaches 0."}));
    b.Add("Skullmeter_Pallowin", Inset(Card(200, 260, Meter(0.5f, red, true), 120,
                                            {"Pieces you don't", "need fill the skull", "meter. When it is", "full, a skull comes!"}),
                                       8, 0));
    b.Add("gogold", Card(180, 240, GoldSquares(), 60,
                         {"Match on a", "square to turn", "it gold.", "Gild them all!"}));
    b.Add("duel", Card(174, 220, Versus(), 60,
                       {"You both play", "at the same time:", "fill your meter", "first to win!"}));
    // Two lines: three would touch the frame of a card this low, and it
    // cannot grow down onto the buttons nor up onto the board.
    b.Add("lose_qib", Inset(Wide(284, 75, 80, Versus(25),
                                 {"If the computer fills", "its meter first, you lose."}, 20, 14),
                            0, 108));
    b.Add("QuorbMeter", Card(172, 250, Meter(0.6f, blue, false), 120,
                             {"Fill the meter", "to go up a level", "and score more!"}));
    b.Add("SkullMeter",
          Inset(Card(200, 260, Meter(0.3f, red, true), 120,
                     {"Every move fills", "the skull meter.", "When it is full,", "a skull comes!"}),
                8, 0));
    b.Add("SkullMeter_Speed",
          Inset(Card(200, 260, Meter(0.6f, red, true), 120,
                     {"In a speed game", "the skull meter", "rises with time:", "match fast!"}),
                8, 0));
    b.Finish();
    return b.Steps();
}

} // namespace AssetGen
