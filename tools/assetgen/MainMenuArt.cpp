#include "tools/assetgen/MainMenuArt.h"

#include "tools/assetgen/ArtKit.h"
#include "tools/assetgen/BundleWriter.h"
#include "tools/assetgen/Pieces.h"

#include <cmath>

namespace AssetGen {
namespace {

struct RoundSpec
{
    const char* name;
    const char* label;
    float cx, cy;
    int radius;
    ButtonTone tone;
    int textSize;
};

const RoundSpec kRoundButtons[] = {
    {"highscores", "High\nScores", 84, 521, 81, ButtonTone::Blue, 24},
    {"newgame", "New\nGame", 295, 512, 92, ButtonTone::Green, 30},
    {"resumegame", "Resume\nGame", 516, 509, 94, ButtonTone::Gold, 28},
    {"options", "Options", 715, 525, 81, ButtonTone::Blue, 24},
    {"exit", "Exit", 774, 37, 52, ButtonTone::Red, 22},
};

Canvas Background()
{
    Canvas c = ArtKit::Backdrop(800, 600, Color::Hex(0x3A2A8C), Color::Hex(0x120C30), 202);
    TextStyle logo;
    logo.size = 84;
    logo.top = Color::Hex(0xFFF7C2);
    logo.bottom = Color::Hex(0xFF9D1E);
    logo.outlineWidth = 7;
    logo.shadow = 0.7f;
    ArtKit::DrawText(c, "Quorb Swap", logo, 400, 110);
    // Sockets under the round buttons, so the buttons sit in the scene.
    for (const RoundSpec& b : kRoundButtons) {
        Sdf socket = Shape::Circle(b.cx, b.cy + 4, b.radius + 8.0f);
        c.FillShape(socket, Color{0, 0, 0, 0.4f});
        c.FillShape(Shape::Ring(socket, 3), Palette::kGold.WithAlpha(0.6f));
    }
    // A plaque behind the welcome and the player's name, its top rim above
    // the welcome's letters (drawn from y 284) rather than through them.
    ArtKit::DrawPanel(c, 241, 262, 360, 178, 26, 0.7f);
    for (int kind = 0; kind < Pieces::kColourKinds; ++kind) {
        float a = (kind * 45 - 90) * 3.14159265f / 180;
        c.Draw(Pieces::Art(kind, 0), 110 + 30 * std::cos(a) - 20, 270 + 30 * std::sin(a) - 20, 40.0f / 256);
        c.Draw(Pieces::Art(7 - kind, 0), 690 + 30 * std::cos(a) - 20, 270 + 30 * std::sin(a) - 20,
               40.0f / 256);
    }
    return c;
}

// Centred at (421, 328) with the player's name drawn from y = 340: the
// words sit in the upper half, clear of the name.
Canvas WelcomeBack()
{
    Canvas words = ArtKit::Banner("Welcome back,", 32, Palette::kCream, Palette::kGold);
    Canvas c(words.Width(), words.Height() * 2);
    c.Draw(words, 0, 4);
    return c;
}

Canvas ChooserPanel()
{
    return ArtKit::Panel(540, 460, 36);
}

// A mode's picture: a round medallion with a symbol and its name.
Canvas ModeArt(const std::string& name, int width, int height, int kindA, int kindB, ButtonTone tone)
{
    Canvas c(width, height);
    float r = std::min(width, height - 30) / 2.0f - 4;
    float cx = width / 2.0f, cy = r + 4;
    Canvas medal = ArtKit::RoundButton(int(r), "", tone, false, 10);
    c.Draw(medal, cx - r, cy - r);
    float s = r * 0.95f / 256;
    c.Draw(Pieces::Art(kindA, 0), cx - r * 0.78f, cy - r * 0.55f, s);
    c.Draw(Pieces::Art(kindB, 0), cx - r * 0.2f, cy - r * 0.35f, s);
    TextStyle label;
    label.size = 24;
    ArtKit::DrawText(c, name, label, cx, height - 18.0f);
    return c;
}

Canvas DifficultyArt(const std::string& name, int size, int skulls, ButtonTone tone)
{
    Canvas c(size, size);
    float r = size / 2.0f - 2;
    c.Draw(ArtKit::RoundButton(int(r), "", tone, false, 10), 2, 2);
    float s = size * 0.26f / 256;
    float total = skulls * size * 0.26f;
    for (int i = 0; i < skulls; ++i)
        c.Draw(Pieces::Art(Pieces::kSkull, 0), size / 2.0f - total / 2 + i * size * 0.26f, size * 0.2f, s);
    TextStyle label;
    label.size = size / 6;
    label.top = Color{1, 1, 1, 1};
    label.bottom = Palette::kCream;
    ArtKit::DrawText(c, name, label, size / 2.0f, size * 0.68f);
    return c;
}

} // namespace

int MainMenuArt::Write(AssetWriter& out)
{
    BundleWriter b(out, "graphics\\mainmenu", false);
    b.Add("background", Background(), ImageFormat::Jpeg);
    for (const RoundSpec& r : kRoundButtons) {
        b.Add(r.name, ArtKit::RoundButton(r.radius, r.label, r.tone, false, r.textSize));
        b.Add(std::string(r.name) + "_hilite",
              ArtKit::RoundButton(r.radius, r.label, r.tone, true, r.textSize));
    }
    b.Add("welcomeback", WelcomeBack());
    TextStyle change = ArtKit::BodyStyle(22);
    change.face = Typeface::Heavy;
    change.top = change.bottom = Color{1, 1, 1, 1};
    b.Add("changeuser", ArtKit::Caption("Not you? Change player", change));

    b.Add("ChooserBKG", ChooserPanel());
    b.Add("ChooseAGame", ArtKit::Banner("Choose a Game", 46, Palette::kCream, Palette::kGold));
    b.Add("ChooseAGame2", ArtKit::Banner("Resume a Game", 46, Palette::kCream, Palette::kGold));
    b.Add("ChooseJourney", ModeArt("Journey", 160, 150, 0, 4, ButtonTone::Gold));
    b.Add("ChooseNormal", ModeArt("Casual", 170, 150, 3, 6, ButtonTone::Green));
    b.Add("ChooseSpeed", ModeArt("Speed", 170, 150, 2, 5, ButtonTone::Red));
    b.Add("journeycaption",
          ArtKit::Bubble(250, "Journey",
                         {"Travel the map,", "beat every kind", "of level and", "finish the jigsaws."}));
    b.Add("casualcaption", ArtKit::Bubble(220, "Casual", {"Play at your own pace", "as long as you like."}));
    b.Add("speedcaption", ArtKit::Bubble(300, "Speed", {"The skull meter rises", "with time: match fast!"}));

    Canvas difficulty = ArtKit::Panel(470, 390, 34);
    ArtKit::DrawText(difficulty, "Choose Difficulty", TextStyle{Typeface::Heavy, 34}, 235, 48);
    b.Add("choosedifficulty", difficulty);
    b.Add("child", DifficultyArt("Child", 120, 1, ButtonTone::Green));
    b.Add("normal", DifficultyArt("Normal", 130, 2, ButtonTone::Gold));
    b.Add("hard", DifficultyArt("Hard", 130, 3, ButtonTone::Red));
    b.Finish();
    return b.Steps();
}

} // namespace AssetGen
