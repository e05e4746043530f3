#include "tools/assetgen/DialogArt.h"

#include "tools/assetgen/ArtKit.h"
#include "tools/assetgen/BundleWriter.h"
#include "tools/assetgen/FontWriter.h"
#include "tools/assetgen/Pieces.h"
#include "tools/assetgen/Rng.h"

#include <cctype>
#include <cmath>

namespace AssetGen {
namespace {

constexpr float kPi = 3.14159265f;

Canvas Blot()
{
    // An ink splash behind the popup menu's buttons.
    constexpr int w = 720, h = 440;
    Canvas c(w, h);
    Sdf blot = Shape::Ellipse(w / 2.0f, h / 2.0f, 300, 170);
    Rng rng(55);
    for (int i = 0; i < 16; ++i) {
        float a = i * 2 * kPi / 16 + rng.Range(-0.1f, 0.1f);
        float r = rng.Range(34, 62);
        blot = Shape::Union(blot, Shape::Circle(w / 2.0f + std::cos(a) * 300 * 0.86f,
                                                h / 2.0f + std::sin(a) * 170 * 0.86f, r));
    }
    Mask m = Mask::FromSdf(w, h, blot);
    c.Shadow(m, 0, 8, 10, 0.5f);
    c.Fill(Mask::FromSdf(w, h, Shape::Grow(blot, 5)),
           Paints::Linear(0, 0, Palette::kGold, w, h, Palette::kAmber.Darker(0.3f)));
    c.Fill(m, Paints::Radial(w / 2.0f, h * 0.35f, 380, Palette::kViolet, Palette::kNight));
    c.Bevel(m, 8, 0.6f);
    ArtKit::DrawText(c, "Menu", TextStyle{Typeface::Heavy, 40}, w / 2.0f, 148);
    return c;
}

// A popup menu button: "1" normal, "2" highlighted.
Canvas PopupButton(const std::string& label, int width, int height, ButtonTone tone, bool hilite, int size)
{
    return ArtKit::ButtonFace(width, height, label, tone, hilite ? 1 : 0, size);
}

Canvas InfoBox()
{
    // Centred at (400, 300); the message runs from (229, 232), 344 wide;
    // the buttons sit at y = 430.
    Canvas c = ArtKit::Panel(420, 360, 30);
    c.Draw(Pieces::Art(2, 0), 178, 26, 64.0f / 256);
    c.FillShape(Shape::RoundRect(30, 98, 360, 200, 12), Color{0, 0, 0, 0.3f});
    return c;
}

Canvas UserScreen()
{
    // Centred at (400, 300): the list at (198, 149, 407, 207) is (38, 69)
    // here; the buttons are at y = 375 and 440.
    Canvas c = ArtKit::Panel(480, 440, 30);
    ArtKit::DrawText(c, "Who is playing?", TextStyle{Typeface::Heavy, 30}, 240, 38);
    c.FillShape(Shape::RoundRect(34, 65, 415, 215, 10), Palette::kGold.WithAlpha(0.8f));
    c.FillShape(Shape::RoundRect(38, 69, 407, 207, 8), Color::Hex(0x0A0618));
    return c;
}

Canvas NewUser()
{
    // Centred at (400, 300): the name field at (223, 261), 363 wide and a
    // line of the large font plus 6 high, is (43, 91) here; the buttons are
    // at y = 320.
    Canvas c = ArtKit::Panel(440, 260, 28);
    ArtKit::DrawText(c, "New Player", TextStyle{Typeface::Heavy, 32}, 220, 38);
    ArtKit::DrawText(c, "Type your name:", ArtKit::BodyStyle(20), 220, 70);
    ArtKit::DrawFieldSlot(c, 43, 91, 363, float(FontWriter::LineStep(Typeface::Heavy, 23) + 6));
    return c;
}

} // namespace

int DialogArt::WritePopupMenu(AssetWriter& out)
{
    BundleWriter b(out, "graphics\\popupmenu", false);
    b.Add("BackgroundBlot", Blot());
    struct Pair
    {
        const char* name;
        const char* label;
        int width, height, size;
        ButtonTone tone;
    };
    const Pair pairs[] = {{"BackToGame", "Back to Game", 250, 66, 26, ButtonTone::Green},
                          {"BackToMap", "Map", 186, 60, 26, ButtonTone::Blue},
                          {"Options", "Options", 150, 56, 22, ButtonTone::Blue},
                          {"BackToMenu", "Main Menu", 186, 60, 24, ButtonTone::Gold}};
    for (const Pair& p : pairs) {
        b.Add(std::string(p.name) + "1", PopupButton(p.label, p.width, p.height, p.tone, false, p.size));
        b.Add(std::string(p.name) + "2", PopupButton(p.label, p.width, p.height, p.tone, true, p.size));
    }
    b.Finish();
    return b.Steps();
}

int DialogArt::WriteProfiles(AssetWriter& out)
{
    // Buttons every dialog shares; the profiles folder reaches them
    // through its "__notfound.shortcut".
    const std::pair<const char*, ButtonTone> shared[] = {{"ok", ButtonTone::Green},
                                                         {"yes", ButtonTone::Green},
                                                         {"no", ButtonTone::Red},
                                                         {"cancel", ButtonTone::Red}};
    for (const auto& [name, tone] : shared) {
        std::string label = name == std::string("ok") ? "OK" : name;
        label[0] = char(std::toupper(label[0]));
        out.SaveImage(std::string("graphics\\buttons\\") + name,
                      ArtKit::JoinFrames(ArtKit::ButtonFrames(124, 50, label, tone, 22)));
    }

    BundleWriter b(out, "graphics\\profiles", true);
    b.SetFallback("..\\buttons");
    b.Add("infobox", InfoBox());
    b.Add("userscreen", UserScreen());
    b.Add("NewUser", NewUser());
    for (const char* name : {"yes", "no", "ok", "cancel"}) {
        b.DeclareStrip(name, 3);
        b.AddFromFallback(name);
    }
    b.AddStrip("createuser", ArtKit::ButtonFrames(135, 50, "Create", ButtonTone::Green, 21));
    b.AddStrip("deleteuser", ArtKit::ButtonFrames(135, 50, "Delete", ButtonTone::Red, 21));
    b.AddStrip("selectuser", ArtKit::ButtonFrames(135, 50, "Play", ButtonTone::Gold, 21));
    b.Finish();
    return b.Steps();
}

} // namespace AssetGen
