// Every name the game loads, loaded through the framework's own loaders
// from the program folder the build filled, with the sizes and frame counts
// the screens' layouts rely on.
#include "app/Audio.h"
#include "app/Font.h"
#include "app/Graphics.h"
#include "app/Image.h"
#include "app/ParseXML.h"
#include "app/Sound.h"
#include "app/Sprite.h"
#include "app/SpriteBundle.h"
#include "app/SpriteStrip.h"
#include "game/Game.h"
#include "game/GamePicker.h"
#include "game/MainMenu.h"
#include "game/Map.h"
#include "game/PickDiff.h"
#include "game/Puzzler.h"
#include "game/QuorbSwapApp.h"
#include "platform/Sound.h"
#include "support/SoundTestFolder.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

fs::path ProgramFolder()
{
    const char* dir = std::getenv("QS_PROGRAM_DIR");
    return dir ? fs::path(dir) : fs::current_path();
}

// Links the program folder's asset folders into the current folder, so the
// game's relative names resolve while settings and caches go elsewhere.
void LinkAssetFolders()
{
    for (const char* folder : {"graphics", "Fonts", "data", "sounds"})
        fs::create_directory_symlink(ProgramFolder() / folder, folder);
}

std::string Lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return s;
}

std::string ToPath(std::string name)
{
    std::replace(name.begin(), name.end(), '\\', '/');
    return name;
}

// Whether the image loader will find something for a base name: one of its
// file kinds, or the folder's fallback redirect. (A miss would end the
// test program inside the loader.)
// The folder with each part matched without regard to case, as the game's
// file layer does ("Graphics" finds "graphics").
fs::path ResolveFolder(const fs::path& folder)
{
    fs::path resolved = ".";
    for (const fs::path& part : folder) {
        fs::path exact = resolved / part;
        if (!fs::exists(exact) && fs::is_directory(resolved))
            for (const auto& entry : fs::directory_iterator(resolved))
                if (Lower(entry.path().filename().string()) == Lower(part.string()))
                    exact = entry.path();
        resolved = exact;
    }
    return resolved;
}

bool Findable(const std::string& baseName)
{
    fs::path base = ToPath(baseName);
    fs::path folder = ResolveFolder(base.parent_path());
    if (!fs::is_directory(folder))
        return false;
    std::string stem = Lower(base.filename().string());
    for (const auto& entry : fs::directory_iterator(folder)) {
        std::string file = Lower(entry.path().filename().string());
        for (const char* ext : {".png", ".jpg", ".gif", ".shortcut"})
            if (file == stem + ext)
                return true;
        if (file == "__notfound.shortcut")
            return true;
    }
    return false;
}

struct Loaded
{
    int width = 0;
    int height = 0;
    Image image;
};

// The picture by the image loader, or a failure when nothing is there.
::testing::AssertionResult LoadPicture(const std::string& name, Image& image)
{
    if (!Findable(name))
        return ::testing::AssertionFailure() << name << " has no file";
    image.Load(name.c_str());
    if (!image.HasPixels())
        return ::testing::AssertionFailure() << name << " did not decode";
    return ::testing::AssertionSuccess();
}

uint8_t AlphaAt(const Image& image, int x, int y)
{
    return uint8_t(image.mPixels[y * image.mWidth + x] >> 24);
}

// Top-level tags of a tag file by the game's own reader.
std::vector<ParseXMLTag> ReadTags(const std::string& path)
{
    std::vector<ParseXMLTag> tags;
    ParseXML reader;
    reader.OpenFile(path.c_str());
    for (ParseXMLTag tag = reader.NextTag(); !tag.empty; tag = reader.NextTag())
        tags.push_back(tag);
    return tags;
}

std::vector<ParseXMLTag> ReadTagText(const String& text)
{
    std::vector<ParseXMLTag> tags;
    ParseXML reader;
    reader.SetText(text.CStr());
    for (ParseXMLTag tag = reader.NextTag(); !tag.empty; tag = reader.NextTag())
        tags.push_back(tag);
    return tags;
}

class GameAssetsTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        previous = fs::current_path();
        fs::current_path(folder.Path());
        LinkAssetFolders();
    }
    void TearDown() override { fs::current_path(previous); }

    // Loads and checks the size; 0 accepts any value.
    void ExpectSize(const std::string& name, int width, int height)
    {
        Image image;
        ASSERT_TRUE(LoadPicture(name, image));
        if (width > 0) {
            EXPECT_EQ(image.mWidth, width) << name;
        }
        if (height > 0) {
            EXPECT_EQ(image.mHeight, height) << name;
        }
    }
    // Loads and checks the size lies within the given ranges.
    void ExpectSizeWithin(const std::string& name, int minW, int maxW, int minH, int maxH)
    {
        Image image;
        ASSERT_TRUE(LoadPicture(name, image));
        EXPECT_GE(image.mWidth, minW) << name;
        EXPECT_LE(image.mWidth, maxW) << name;
        EXPECT_GE(image.mHeight, minH) << name;
        EXPECT_LE(image.mHeight, maxH) << name;
    }
    // A strip of frames side by side: the width divides into them.
    void ExpectStrip(const std::string& name, int frames, int frameWidth = 0, int height = 0)
    {
        Image image;
        ASSERT_TRUE(LoadPicture(name, image));
        EXPECT_EQ(image.mWidth % frames, 0) << name;
        if (frameWidth > 0) {
            EXPECT_EQ(image.mWidth / frames, frameWidth) << name;
        }
        if (height > 0) {
            EXPECT_EQ(image.mHeight, height) << name;
        }
    }

    TemporaryFolder folder;
    fs::path previous;
};

TEST_F(GameAssetsTest, TitleScreenArtFitsItsLayout)
{
    ExpectSize("graphics\\title", 800, 600);
    Image empty, filled;
    ASSERT_TRUE(LoadPicture("graphics\\loadingbarempty", empty));
    ASSERT_TRUE(LoadPicture("graphics\\loadingbarfilled", filled));
    EXPECT_EQ(empty.mWidth, filled.mWidth);
    EXPECT_EQ(empty.mHeight, filled.mHeight);
    EXPECT_NEAR(empty.mWidth, 234, 20);
    Image arrows;
    ASSERT_TRUE(LoadPicture("graphics\\spinarrows", arrows));
    EXPECT_EQ(arrows.mWidth, arrows.mHeight) << "it spins about its centre";
    ExpectStrip("graphics\\clicktoplay", 3);
    // The title's quarters cover it exactly.
    std::vector<ParseXMLTag> clumps = ReadTags("graphics\\title.clump");
    ASSERT_EQ(clumps.size(), 1u);
    int area = 0;
    for (const ParseXMLTag& t : ReadTagText(clumps[0].content))
        if (t.name.CompareNoCase("RECT") == 0) {
            int x, y, w, h;
            ASSERT_EQ(std::sscanf(t.content.CStr(), "%d,%d,%d,%d", &x, &y, &w, &h), 4);
            EXPECT_TRUE(x >= 0 && y >= 0 && x + w <= 800 && y + h <= 600);
            area += w * h;
        }
    EXPECT_EQ(area, 800 * 600);
}

TEST_F(GameAssetsTest, MenuPicturesMatchTheirBakedPositions)
{
    ExpectSize("graphics\\pausegame", 0, 0);
    ExpectSize("graphics\\optionsmenu", 531, 510);
    ExpectSize("graphics\\donehilite", 336, 75);
    ExpectSize("graphics\\donedown", 336, 75);
    Image cursors;
    ASSERT_TRUE(LoadPicture("Graphics\\customcursors", cursors));
    EXPECT_EQ(cursors.mWidth % 5, 0);
    // The frame is centred on the pointer: the arrow's tip is at the centre.
    const int frame = cursors.mWidth / 5;
    EXPECT_GT(AlphaAt(cursors, frame / 2 + 1, cursors.mHeight / 2 + 3), 0);
    EXPECT_EQ(AlphaAt(cursors, 0, 0), 0);
}

TEST_F(GameAssetsTest, PiecesAreSolidSquaresWithClearCorners)
{
    for (int kind = 0; kind <= 8; ++kind)
        for (int variant = 0; variant < (kind == 8 ? 3 : 2); ++variant) {
            std::string name = "graphics\\quorbs\\qb" + std::to_string(kind) + std::to_string(variant);
            Image piece;
            ASSERT_TRUE(LoadPicture(name, piece));
            EXPECT_EQ(piece.mWidth, 256) << name;
            EXPECT_EQ(piece.mHeight, 256) << name;
            EXPECT_EQ(AlphaAt(piece, 0, 0), 0) << name;
            EXPECT_EQ(AlphaAt(piece, 255, 0), 0) << name;
            EXPECT_EQ(AlphaAt(piece, 128, 128), 255) << name << ": the transition shows its silhouette";
        }
    for (const char* name : {"hintarrow", "chip", "smoke", "skullcrack", "goldbrick"})
        ExpectSize(std::string("graphics\\quorbs\\") + name, 0, 0);
    Image arrow;
    ASSERT_TRUE(LoadPicture("graphics\\quorbs\\hintarrow", arrow));
    EXPECT_EQ(arrow.mWidth, arrow.mHeight) << "it is scaled to the cell size";
}

// Average colour (0..255 a channel) of the pixels at least half opaque whose
// distance from the centre, as a fraction of the side, lies in [from, to).
std::array<float, 3> MeanColour(const Image& image, float from, float to)
{
    std::array<float, 3> sum{};
    int count = 0;
    for (int y = 0; y < image.mHeight; ++y)
        for (int x = 0; x < image.mWidth; ++x) {
            const float r = std::hypot(x + 0.5f - image.mWidth / 2.0f, y + 0.5f - image.mHeight / 2.0f) / image.mWidth;
            const uint32_t p = image.mPixels[y * image.mWidth + x];
            if ((p >> 24) < 128 || r < from || r >= to)
                continue;
            for (int c = 0; c < 3; ++c)
                sum[c] += float((p >> (16 - 8 * c)) & 0xFF);
            ++count;
        }
    for (float& c : sum)
        c /= float(std::max(count, 1));
    return sum;
}

float Chroma(const std::array<float, 3>& c)
{
    return std::max({c[0], c[1], c[2]}) - std::min({c[0], c[1], c[2]});
}

float Distance(const std::array<float, 3>& a, const std::array<float, 3>& b)
{
    return std::hypot(a[0] - b[0], a[1] - b[1], a[2] - b[2]);
}

// Each colour piece about as wide and tall as the others and plainly
// coloured beside the ivory skull; on a gold cell, what shows round a piece
// (it covers 0.8 of the cell) far from the colour of the piece's edge.
TEST_F(GameAssetsTest, PiecesStandApartFromEachOtherAndTheGoldCells)
{
    Image pieces[9], gold;
    int extents[8] = {};
    for (int kind = 0; kind <= 8; ++kind) {
        ASSERT_TRUE(LoadPicture("graphics\\quorbs\\qb" + std::to_string(kind) + "0", pieces[kind]));
        if (kind == 8)
            break;
        int x0 = 256, x1 = 0, y0 = 256, y1 = 0;
        for (int y = 0; y < pieces[kind].mHeight; ++y)
            for (int x = 0; x < pieces[kind].mWidth; ++x)
                if (AlphaAt(pieces[kind], x, y) >= 128)
                    x0 = std::min(x0, x), x1 = std::max(x1, x), y0 = std::min(y0, y), y1 = std::max(y1, y);
        extents[kind] = std::min(x1 - x0, y1 - y0);
    }
    ASSERT_TRUE(LoadPicture("graphics\\quorbs\\goldbrick", gold));
    const int largest = *std::max_element(extents, extents + 8);
    const std::array<float, 3> around = MeanColour(gold, 0.4f, 0.47f);
    EXPECT_LT(Chroma(MeanColour(pieces[8], 0.1f, 0.3f)), 60) << "the skull is ivory";
    for (int kind = 0; kind < 8; ++kind) {
        EXPECT_GT(extents[kind] * 10, largest * 8) << "kind " << kind << " looks small beside the others";
        EXPECT_GT(Chroma(MeanColour(pieces[kind], 0.1f, 0.3f)), 60) << "kind " << kind << " looks grey";
        EXPECT_GT(Distance(MeanColour(pieces[kind], 0.3f, 0.4f), around), 55) << "kind " << kind << " on gold";
    }
}

// What the game loads from each bundle: the name and, for strips, the
// number of frames.
struct BundleItem
{
    const char* name;
    int frames = 0;
};

const std::map<std::string, std::vector<BundleItem>>& Bundles()
{
    static const std::map<std::string, std::vector<BundleItem>> bundles = {
        {"graphics\\mainmenu",
         {{"background"},
          {"exit"},
          {"exit_hilite"},
          {"highscores"},
          {"highscores_hilite"},
          {"newgame"},
          {"newgame_hilite"},
          {"resumegame"},
          {"resumegame_hilite"},
          {"options"},
          {"options_hilite"},
          {"welcomeback"},
          {"changeuser"},
          {"ChooserBKG"},
          {"ChooseAGame"},
          {"ChooseAGame2"},
          {"ChooseJourney"},
          {"ChooseNormal"},
          {"ChooseSpeed"},
          {"journeycaption"},
          {"casualcaption"},
          {"speedcaption"},
          {"choosedifficulty"},
          {"child"},
          {"normal"},
          {"hard"}}},
        {"graphics\\gameplay",
         {{"background"},
          {"rim", 6},
          {"Ready"},
          {"Go"},
          {"Flash"},
          {"Explosion", 6},
          {"QuorbMeter"},
          {"QuorbMeterFill"},
          {"Win"},
          {"QuickStats"},
          {"warning"},
          {"warningbkg"},
          {"youlose"},
          {"quorbmeterdrained"},
          {"skullmeter"},
          {"skullmeterfill"},
          {"skullmeterdark"},
          {"danger"},
          {"scorebox"},
          {"hintbutton", 3},
          {"instawin", 3},
          {"matchestogo"},
          {"stopwatch"},
          {"stopwatchhand"},
          {"stopwatchcircle"},
          {"outoftime"},
          {"nomovespossible"},
          {"collectbox"},
          {"thinking"},
          {"duelmeter"},
          {"duelmeterfill"},
          {"computerwins"},
          {"menubutton", 3},
          {"smallmenubutton", 3},
          {"level"},
          {"levelup"},
          {"combo"},
          {"powerup"},
          {"2X"},
          {"3X"},
          {"4X"},
          {"5X"},
          {"WOW"},
          {"Circle"}}},
        {"graphics\\map", {{"background"},    {"gridsquare_locked"},
                           {"gameicon", 8},   {"goal"},
                           {"start"},         {"wonlevel"},
                           {"lock"},          {"bonuscoin"},
                           {"bonuscoins", 7}, {"caption0"},
                           {"caption1"},      {"caption2"},
                           {"caption3"},      {"caption4"},
                           {"caption5"},      {"caption6"},
                           {"caption7"},      {"caption9"},
                           {"caption10"},     {"captiongoal"},
                           {"bcaption0"},     {"bcaption1"},
                           {"bcaption2"},     {"bcaption3"},
                           {"bcaption4"},     {"bcaption5"},
                           {"bcaption6"},     {"difficultycaption"},
                           {"diff1"},         {"diff2"},
                           {"diff3"},         {"diff4"},
                           {"diff5"},         {"tiparrow"},
                           {"tip1"},          {"tip2"},
                           {"menu"},          {"menu_hilite"},
                           {"puzzle"},        {"puzzle_hilite"},
                           {"enteryourname"}, {"yougotahighscore"},
                           {"firework"},      {"win1"},
                           {"win2"}}},
        {"graphics\\popupmenu",
         {{"BackgroundBlot"},
          {"BackToGame1"},
          {"BackToGame2"},
          {"BackToMap1"},
          {"BackToMap2"},
          {"Options1"},
          {"Options2"},
          {"BackToMenu1"},
          {"BackToMenu2"}}},
        {"graphics\\stats",
         {{"mainmenu", 3},
          {"scrollleft", 3},
          {"scrollright", 3},
          {"nextpuzzle", 3},
          {"previouspuzzle", 3},
          {"backtogame", 3},
          {"background"},
          {"puzzleoverlay"},
          {"puzzletitle"},
          {"highscoreoverlay"},
          {"highscoretitle"},
          {"statstitle"},
          {"tiny_scores"},
          {"tiny_puzzle"},
          {"tiny_stats"}}},
        {"graphics\\profiles",
         {{"infobox"},
          {"yes", 3},
          {"no", 3},
          {"ok", 3},
          {"createuser", 3},
          {"deleteuser", 3},
          {"selectuser", 3},
          {"cancel", 3},
          {"userscreen"},
          {"NewUser"}}},
        {"graphics\\tutorial", {{"tutorbackground"}, {"dontshow", 3}, {"broms"},
                                {"grimbo"},          {"tuvos"},       {"pricklets"},
                                {"pallowin"},        {"glowby"},      {"qib"},
                                {"casual"},          {"speed"},       {"QuorbMeter_Brom"},
                                {"NoMoreMoves"},     {"CrackSKulls"}, {"Skullmeter_Grimbo"},
                                {"QuorbMeter_Tuvo"}, {"Lose_Tuvo"},   {"matches"},
                                {"Lose_Pricklet"},   {"collect"},     {"Skullmeter_Pallowin"},
                                {"gogold"},          {"duel"},        {"lose_qib"},
                                {"QuorbMeter"},      {"SkullMeter"},  {"SkullMeter_Speed"}}},
    };
    return bundles;
}

// The entries the bundle loader makes of a folder: a described folder's
// IMAGE tags, or the listed picture files with their kinds taken off.
std::set<std::string> BundleEntries(const std::string& folder, std::map<std::string, int>* strips)
{
    std::set<std::string> entries;
    std::string splat = folder + "\\splat.dat";
    if (fs::exists(ToPath(splat))) {
        for (const ParseXMLTag& tag : ReadTags(splat)) {
            if (tag.name.CompareNoCase("IMAGE") == 0)
                entries.insert(Lower(tag.content.CStr()));
            if (tag.name.CompareNoCase("EXTENDEDINFO") == 0 && strips != nullptr)
                for (const ParseXMLTag& strip : ReadTagText(tag.content))
                    if (strip.name.CompareNoCase("STRIP") == 0) {
                        std::string text = strip.content.CStr();
                        size_t colon = text.find(':');
                        (*strips)[Lower(text.substr(0, colon))] = std::atoi(text.c_str() + colon + 1);
                    }
        }
        return entries;
    }
    for (const auto& entry : fs::directory_iterator(ToPath(folder))) {
        std::string name = entry.path().filename().string();
        for (const char* kind : {".png", ".jpg", ".gif", ".shortcut"})
            for (size_t at; (at = name.find(kind)) != std::string::npos;)
                name.erase(at, std::string(kind).size());
        if (name != entry.path().filename().string())
            entries.insert(Lower(name));
    }
    return entries;
}

TEST_F(GameAssetsTest, EveryBundleHoldsExactlyWhatTheGameAsksFor)
{
    for (const auto& [folder, items] : Bundles()) {
        std::map<std::string, int> strips;
        std::set<std::string> entries = BundleEntries(folder, &strips);
        std::set<std::string> wanted;
        for (const BundleItem& item : items) {
            wanted.insert(Lower(item.name));
            if (item.frames > 0 && !strips.empty()) {
                EXPECT_EQ(strips[Lower(item.name)], item.frames) << folder << "\\" << item.name;
            }
            if (item.frames > 0)
                ExpectStrip(folder + "\\" + item.name, item.frames);
            else
                ExpectSize(folder + "\\" + item.name, 0, 0);
        }
        EXPECT_EQ(entries, wanted) << folder;
    }
}

TEST_F(GameAssetsTest, FullScreenPicturesAreScreenSized)
{
    for (const char* name :
         {"graphics\\mainmenu\\background", "graphics\\gameplay\\background", "graphics\\map\\background",
          "graphics\\stats\\background", "graphics\\tutorial\\tutorbackground"})
        ExpectSize(name, 800, 600);
}

TEST_F(GameAssetsTest, MainMenuButtonsAreHitByTheirCircles)
{
    const std::pair<const char*, int> buttons[] = {
        {"highscores", 81}, {"newgame", 92}, {"resumegame", 94}, {"options", 81}, {"exit", 52}};
    for (const auto& [name, radius] : buttons)
        for (const char* suffix : {"", "_hilite"}) {
            std::string full = std::string("graphics\\mainmenu\\") + name + suffix;
            Image button;
            ASSERT_TRUE(LoadPicture(full, button));
            EXPECT_EQ(button.mWidth, 2 * radius) << full;
            EXPECT_EQ(button.mHeight, 2 * radius) << full;
            EXPECT_EQ(AlphaAt(button, 0, 0), 0) << full;
            EXPECT_EQ(AlphaAt(button, button.mWidth - 1, button.mHeight - 1), 0) << full;
            EXPECT_EQ(AlphaAt(button, radius, radius), 255) << full;
        }
}

TEST_F(GameAssetsTest, GameplayArtFitsAroundTheBoard)
{
    ExpectStrip("graphics\\gameplay\\rim", 6, 70, 70);
    ExpectSizeWithin("graphics\\gameplay\\QuorbMeter", 60, 120, 200, 420);
    ExpectSizeWithin("graphics\\gameplay\\skullmeter", 60, 110, 200, 420);
    ExpectSizeWithin("graphics\\gameplay\\duelmeter", 200, 420, 20, 45);
    ExpectSizeWithin("graphics\\gameplay\\stopwatchhand", 4, 20, 50, 50);
    ExpectSizeWithin("graphics\\gameplay\\collectbox", 115, 135, 120, 140);
    ExpectSizeWithin("graphics\\gameplay\\level", 90, 150, 50, 70);
    ExpectSizeWithin("graphics\\gameplay\\QuickStats", 540, 580, 150, 190);
    // The fills sit inside their meters at the offsets the board draws them.
    Image meter, fill, skull, skullFill, duel, duelFill;
    ASSERT_TRUE(LoadPicture("graphics\\gameplay\\QuorbMeter", meter));
    ASSERT_TRUE(LoadPicture("graphics\\gameplay\\QuorbMeterFill", fill));
    EXPECT_LE(43 + fill.mWidth, meter.mWidth);
    EXPECT_LE(13 + fill.mHeight, meter.mHeight);
    ASSERT_TRUE(LoadPicture("graphics\\gameplay\\skullmeter", skull));
    ASSERT_TRUE(LoadPicture("graphics\\gameplay\\skullmeterfill", skullFill));
    EXPECT_LE(48 + skullFill.mWidth, skull.mWidth);
    EXPECT_LE(85 + skullFill.mHeight, skull.mHeight);
    ASSERT_TRUE(LoadPicture("graphics\\gameplay\\duelmeter", duel));
    ASSERT_TRUE(LoadPicture("graphics\\gameplay\\duelmeterfill", duelFill));
    EXPECT_LE(11 + duelFill.mWidth, duel.mWidth);
    EXPECT_LE(13 + duelFill.mHeight, duel.mHeight);
}

TEST_F(GameAssetsTest, MapTilesFitTheirPitch)
{
    for (const char* name : {"gridsquare_locked", "goal", "start", "wonlevel", "bonuscoin"})
        ExpectSizeWithin(std::string("graphics\\map\\") + name, 40, 55, 40, 53);
    ExpectStrip("graphics\\map\\gameicon", 8, 50, 48);
    ExpectStrip("graphics\\map\\bonuscoins", 7, 50, 48);
    for (const char* name : {"menu", "menu_hilite", "puzzle", "puzzle_hilite"})
        ExpectSizeWithin(std::string("graphics\\map\\") + name, 70, 90, 70, 90);
    // Centred at (400, 300), the name panel has room for the box at
    // (250, 400), 300 x 45.
    Image entry;
    ASSERT_TRUE(LoadPicture("graphics\\map\\enteryourname", entry));
    EXPECT_GE(entry.mWidth / 2, 150);
    EXPECT_GE(entry.mHeight / 2, 145);
}

TEST_F(GameAssetsTest, DialogsFrameTheirFieldsAndButtons)
{
    // Centred at (400, 300): the list box and the buttons below it.
    Image users, newUser, create;
    ASSERT_TRUE(LoadPicture("graphics\\profiles\\userscreen", users));
    EXPECT_GE(users.mWidth / 2, 605 - 400);
    EXPECT_GE(users.mHeight / 2, 300 - 149);
    ASSERT_TRUE(LoadPicture("graphics\\profiles\\NewUser", newUser));
    EXPECT_GE(newUser.mWidth / 2, 586 - 400);
    ASSERT_TRUE(LoadPicture("graphics\\profiles\\CreateUser", create));
    EXPECT_LE(320 + create.mWidth / 3, 460) << "create and cancel must not overlap";
    ExpectSizeWithin("graphics\\profiles\\infobox", 400, 440, 340, 380);
    // Popup menu buttons: the highlighted picture replaces the normal one.
    for (const char* pair : {"BackToGame", "BackToMap", "Options", "BackToMenu"}) {
        Image normal, hilite;
        std::string base = std::string("graphics\\popupmenu\\") + pair;
        ASSERT_TRUE(LoadPicture(base + "1", normal));
        ASSERT_TRUE(LoadPicture(base + "2", hilite));
        EXPECT_EQ(normal.mWidth, hilite.mWidth) << pair;
        EXPECT_EQ(normal.mHeight, hilite.mHeight) << pair;
    }
}

// A picture, or one frame of a strip, as a screen draws it: top-left at
// (x, y), optionally mirrored left to right and clipped to a rectangle.
struct Placed
{
    const Image* image;
    float x, y;
    int frame = 0, frames = 1;
    bool mirrored = false;
    float clipX0 = -1e9f, clipY0 = -1e9f, clipX1 = 1e9f, clipY1 = 1e9f;
    // Drawn scaled and turned about its centre.
    float scale = 1.0f, degrees = 0.0f;

    int Width() const { return image->mWidth / frames; }
    int Height() const { return image->mHeight; }
    uint8_t Alpha(int sx, int sy) const
    {
        if (sx < clipX0 || sx >= clipX1 || sy < clipY0 || sy >= clipY1)
            return 0;
        float fx = float(sx), fy = float(sy);
        if (scale != 1.0f || degrees != 0.0f) {
            const float cx = x + float(Width()) / 2, cy = y + float(Height()) / 2;
            const float a = -degrees * 3.14159265f / 180.0f, dx = fx + 0.5f - cx, dy = fy + 0.5f - cy;
            fx = cx + (dx * std::cos(a) - dy * std::sin(a)) / scale - 0.5f;
            fy = cy + (dx * std::sin(a) + dy * std::cos(a)) / scale - 0.5f;
        }
        int lx = int(std::floor(fx - x)), ly = int(std::floor(fy - y));
        if (lx < 0 || ly < 0 || lx >= Width() || ly >= Height())
            return 0;
        return AlphaAt(*image, frame * Width() + (mirrored ? Width() - 1 - lx : lx), ly);
    }
};

Placed Centred(const Image& image, float cx, float cy, int frame = 0, int frames = 1)
{
    Placed p{&image, 0, 0, frame, frames};
    p.x = cx - float(p.Width() / 2);
    p.y = cy - float(p.Height() / 2);
    return p;
}

// The frame a board draws round a full grid at (gx, gy), w x h pixels:
// corner studs 12 px out on the diagonals, edges 8.5 px out, tiled from
// 17 px in and clipped there.
std::vector<Placed> BoardFrame(const Image& rim, float gx, float gy, float w, float h)
{
    std::vector<Placed> pieces = {Centred(rim, gx - 12, gy - 12, 0, 6), Centred(rim, gx + w + 12, gy - 12, 2, 6),
                                  Centred(rim, gx - 12, gy + h + 12, 4, 6),
                                  Centred(rim, gx + w + 12, gy + h + 12, 5, 6)};
    for (float x = 17 + 34; x < w - 17 + 34; x += 68) {
        for (float y : {-8.5f, h + 8.5f}) {
            Placed tile = Centred(rim, gx + x, gy + y, 1, 6);
            tile.clipX0 = gx + 17, tile.clipX1 = gx + w - 17;
            pieces.push_back(tile);
        }
    }
    for (float y = 17 + 33; y < h - 17 + 33; y += 66) {
        for (float x : {-8.5f, w + 8.5f}) {
            Placed tile = Centred(rim, gx + x, gy + y, 3, 6);
            tile.clipY0 = gy + 17, tile.clipY1 = gy + h - 17;
            pieces.push_back(tile);
        }
    }
    return pieces;
}

// The frame's four corner pieces alone.
std::vector<Placed> Corners(const Image& rim, float gx, float gy, float w, float h)
{
    std::vector<Placed> frame = BoardFrame(rim, gx, gy, w, h);
    return {frame.begin(), frame.begin() + 4};
}

// Plainly visible pixels that fall off the 800 x 600 screen, or closer to
// its edge than the margin.
int OffScreen(const Placed& p, int margin)
{
    int count = 0;
    for (int sy = int(p.y) - 1; sy < int(p.y) + p.Height() + 1; ++sy)
        for (int sx = int(p.x) - 1; sx < int(p.x) + p.Width() + 1; ++sx)
            if ((sx < margin || sy < margin || sx >= 800 - margin || sy >= 600 - margin) &&
                p.Alpha(sx, sy) >= 64)
                ++count;
    return count;
}

bool IsGoldRim(const Image& image, int x, int y)
{
    const uint32_t p = image.mPixels[y * image.mWidth + x];
    return (p >> 24) > 128 && ((p >> 16) & 0xFF) > 200 && ((p >> 8) & 0xFF) > 140 && (p & 0xFF) < 120;
}

// A text field the game draws at (x, y), w x h, over a picture drawn at
// (px, py): the picture's gold rim runs just outside the field on every side
// and nowhere under it.
::testing::AssertionResult FieldInItsSlot(const Image& art, float px, float py, int x, int y, int w, int h)
{
    const int left = x - int(px), top = y - int(py);
    if (left < 6 || top < 6 || left + w + 6 > art.mWidth || top + h + 6 > art.mHeight)
        return ::testing::AssertionFailure() << "the field runs off the picture";
    for (int fy = top; fy < top + h; ++fy)
        for (int fx = left; fx < left + w; ++fx)
            if (IsGoldRim(art, fx, fy))
                return ::testing::AssertionFailure() << "the field covers the rim at " << fx << "," << fy;
    auto rimWithin6 = [&](int fx, int fy, int dx, int dy) {
        for (int step = 1; step <= 6; ++step)
            if (IsGoldRim(art, fx + dx * step, fy + dy * step))
                return true;
        return false;
    };
    const int midX = left + w / 2, midY = top + h / 2;
    if (!rimWithin6(midX, top, 0, -1) || !rimWithin6(midX, top + h - 1, 0, 1) || !rimWithin6(left, midY, -1, 0) ||
        !rimWithin6(left + w - 1, midY, 1, 0))
        return ::testing::AssertionFailure() << "no rim round the field at " << left << "," << top;
    return ::testing::AssertionSuccess();
}

// The journey map's tip marker: the arrow centred on the tip position,
// mirrored by the facing, the caption centred a little off it, towards the
// side away from the square 120 px beyond the arrow's centre.
::testing::AssertionResult TipArrowShows(const Image& arrow, const Image& caption, float offset, float facing)
{
    const float tipX = 400, tipY = 300, square = tipX + 120 * facing;
    Placed a = Centred(arrow, tipX, tipY);
    a.mirrored = facing < 0;
    const Placed c = Centred(caption, tipX - offset * facing, tipY - 3);
    // The arrow's end towards the square, and how much of it the caption
    // leaves to be seen.
    int end = int(tipX), shown = 0;
    for (int sx = int(a.x); sx < int(a.x) + a.Width(); ++sx)
        for (int sy = int(a.y); sy < int(a.y) + a.Height(); ++sy)
            if (a.Alpha(sx, sy) >= 128) {
                if ((sx - end) * facing > 0)
                    end = sx;
                if (c.Alpha(sx, sy) < 64 && (sx - tipX) * facing > 0 && sy == int(tipY))
                    ++shown;
            }
    const float gap = (square - float(end)) * facing;
    if (gap < 8 || gap > 45)
        return ::testing::AssertionFailure() << "the arrow ends " << gap << " px from the square's centre";
    if (shown < 30)
        return ::testing::AssertionFailure() << "only " << shown << " px of the arrow show past the caption";
    // It points: near its end the arrow is a thin tip, not a shaft.
    auto rows = [&](int sx) {
        int n = 0;
        for (int sy = int(a.y); sy < int(a.y) + a.Height(); ++sy)
            n += a.Alpha(sx, sy) >= 128;
        return n;
    };
    if (rows(end - int(4 * facing)) * 3 > a.Height())
        return ::testing::AssertionFailure() << "the arrow's end towards the square is blunt";
    return ::testing::AssertionSuccess();
}

// The pixels of a picture that pass the test; the rest clear.
Image Only(const Image& art, const std::function<bool(const Image&, int, int)>& keep)
{
    Image part;
    part.Create(art.mWidth, art.mHeight, true);
    for (int y = 0; y < art.mHeight; ++y)
        for (int x = 0; x < art.mWidth; ++x)
            part.mPixels[y * art.mWidth + x] = keep(art, x, y) ? art.mPixels[y * art.mWidth + x] : 0;
    return part;
}

// Plainly visible pixels of the first within the margin of the second's.
int Near(const Placed& a, const Placed& b, int margin)
{
    int count = 0;
    for (int sy = int(a.y); sy < int(a.y) + a.Height() + 1; ++sy)
        for (int sx = int(a.x); sx < int(a.x) + a.Width() + 1; ++sx) {
            if (a.Alpha(sx, sy) < 64)
                continue;
            bool near = false;
            for (int dy = -margin; dy <= margin && !near; ++dy)
                for (int dx = -margin; dx <= margin && !near; ++dx)
                    near = b.Alpha(sx + dx, sy + dy) >= 64;
            count += near;
        }
    return count;
}

// Every piece of art the screens draw together, placed as they place it,
// with nothing hiding another.
TEST_F(GameAssetsTest, ArtFitsWhereTheScreensDrawIt)
{
    std::map<std::string, Image> art;
    for (const char* name : {"graphics\\gameplay\\rim", "graphics\\gameplay\\level", "graphics\\gameplay\\matchestogo",
                             "graphics\\gameplay\\collectbox", "graphics\\gameplay\\QuorbMeter",
                             "graphics\\gameplay\\duelmeter", "graphics\\gameplay\\smallmenubutton",
                             "graphics\\gameplay\\hintbutton", "graphics\\gameplay\\instawin",
                             "graphics\\gameplay\\scorebox", "graphics\\map\\bonuscoins", "graphics\\map\\gameicon",
                             "graphics\\map\\enteryourname", "graphics\\map\\yougotahighscore",
                             "graphics\\profiles\\NewUser", "graphics\\map\\tiparrow",
                             "graphics\\map\\tip1", "graphics\\map\\tip2", "graphics\\title", "graphics\\spinarrows"})
        ASSERT_TRUE(LoadPicture(name, art[name]));
    auto get = [&](const char* name) -> const Image& { return art.at(name); };
    const Image& rim = get("graphics\\gameplay\\rim");

    // An 8 x 8 board fills the screen with 65 px cells from (140, 40); a duel
    // board has the half screen, 6 x 9 cells of 53 px from (41, 61.5).
    const std::vector<Placed> frame = BoardFrame(rim, 140, 40, 520, 520);
    const Image& matches = get("graphics\\gameplay\\matchestogo");
    const Image& meter = get("graphics\\gameplay\\QuorbMeter");
    const Image& duel = get("graphics\\gameplay\\duelmeter");
    const Image& menu = get("graphics\\gameplay\\smallmenubutton");
    struct Clear
    {
        const char* what;
        Placed piece;
        std::vector<Placed> others;
        // Pixels kept between them, where a screen drawn smaller must not
        // bring them together.
        int margin = 0;
    };
    std::vector<Clear> clear = {
        {"level box", {&get("graphics\\gameplay\\level"), -3, 0}, frame},
        {"matches counter", {&matches, 140.0f - float(matches.mWidth) - 25, 40}, frame},
        {"level meter", {&meter, 140.0f - float(meter.mWidth) - 8, 300.0f - float(meter.mHeight / 2)}, frame},
        {"left duel meter", {&duel, 41 + 159 - float(duel.mWidth) / 2, 61.5f + 477 + 8},
         {{&menu, 400.0f - float(menu.mWidth / 6), 600.0f - float(menu.mHeight), 0, 3}}},
        {"right duel meter", {&duel, 441 + 159 - float(duel.mWidth) / 2, 61.5f + 477 + 8},
         {{&menu, 400.0f - float(menu.mWidth / 6), 600.0f - float(menu.mHeight), 0, 3}}},
    };
    clear.push_back({"high-score banner", Centred(get("graphics\\map\\yougotahighscore"), 625, 150),
                     {Centred(get("graphics\\map\\enteryourname"), 400, 300)}});
    // The buttons 47 px above the grid and the score panel between them sit
    // on the frame's top edge, as Menu sits on its bottom edge, but clear of
    // its corners and of each other; on a duel board Hint stands 15 px
    // further left and Skip 15 px further right, and Menu is at the bottom
    // of the screen between the two boards, whose corners keep apart.
    const Image& hint = get("graphics\\gameplay\\hintbutton");
    const Image& skip = get("graphics\\gameplay\\instawin");
    const Image& score = get("graphics\\gameplay\\scorebox");
    auto with = [](std::vector<Placed> pieces, const std::vector<Placed>& more) {
        pieces.insert(pieces.end(), more.begin(), more.end());
        return pieces;
    };
    const std::vector<Placed> corners = Corners(rim, 140, 40, 520, 520);
    const std::vector<Placed> player = Corners(rim, 41, 61.5f, 318, 477);
    // The blue studs along a duel frame's edges.
    const Image studArt = Only(rim, [](const Image& image, int x, int y) {
        const uint32_t p = image.mPixels[y * image.mWidth + x];
        return (p >> 24) >= 64 && (p & 0xFF) > 150 && int(p & 0xFF) > int((p >> 16) & 0xFF) + 40;
    });
    const std::vector<Placed> studs = BoardFrame(studArt, 41, 61.5f, 318, 477);
    const std::vector<Placed> computer = Corners(rim, 441, 61.5f, 318, 477);
    const Placed panel = Centred(score, 400, 23), duelPanel = Centred(score, 200, 44.5f);
    for (int frame = 0; frame < 3; ++frame) {
        clear.push_back({"hint", {&hint, 525, -7, frame, 3}, with(corners, {panel})});
        clear.push_back({"skip", {&skip, 213, -7, frame, 3}, with(corners, {panel})});
        clear.push_back({"duel hint", {&hint, 310, 14.5f, frame, 3}, with(player, {duelPanel})});
        clear.push_back({"duel skip", {&skip, 31, 4, frame, 3}, with(with(player, studs), {duelPanel}), 2});
        clear.push_back({"duel menu",
                         {&menu, 400.0f - float(menu.mWidth / 6), 600.0f - float(menu.mHeight), frame, 3},
                         with(player, computer)});
    }
    for (const Placed& corner : player)
        clear.push_back({"duel corner", corner, computer});
    for (int slot = 0; slot < 4; ++slot)
        clear.push_back({"collect box", {&get("graphics\\gameplay\\collectbox"), 140 - 132, 40 + 135.0f * slot}, frame});
    for (const Clear& c : clear)
        for (const Placed& other : c.others)
            EXPECT_EQ(Near(c.piece, other, c.margin), 0) << c.what << " at " << c.piece.x << "," << c.piece.y;
    const struct
    {
        const char* what;
        Placed piece;
        int margin;
    } onScreen[] = {{"hint", {&hint, 525, -7, 0, 3}, 0},
                    {"skip", {&skip, 213, -7, 0, 3}, 0},
                    {"score panel", panel, 0},
                    {"high-score banner", Centred(get("graphics\\map\\yougotahighscore"), 625, 150), 8}};
    for (const auto& [what, piece, margin] : onScreen)
        EXPECT_EQ(OffScreen(piece, margin), 0) << what << " runs off the screen";

    // Text fields: the high-score name box, and the new player's name field
    // a line of the large font plus 6 high.
    int lineHeight = 0;
    for (const ParseXMLTag& tag : ReadTags("Fonts\\ArialBlack23.font"))
        if (tag.name.CompareNoCase("HEIGHT") == 0)
            lineHeight = std::atoi(tag.content.CStr());
    ASSERT_GT(lineHeight, 0);
    const Image& nameArt = get("graphics\\map\\enteryourname");
    const Image& newUser = get("graphics\\profiles\\NewUser");
    EXPECT_TRUE(FieldInItsSlot(nameArt, 400.0f - float(nameArt.mWidth / 2), 300.0f - float(nameArt.mHeight / 2),
                               250, 400, 300, 45))
        << "high-score name";
    EXPECT_TRUE(FieldInItsSlot(newUser, 400.0f - float(newUser.mWidth / 2), 300.0f - float(newUser.mHeight / 2),
                               223, 261, 363, lineHeight + 6))
        << "new player's name";

    for (float facing : {1.0f, -1.0f}) {
        EXPECT_TRUE(TipArrowShows(get("graphics\\map\\tiparrow"), get("graphics\\map\\tip1"), 25, facing)) << facing;
        EXPECT_TRUE(TipArrowShows(get("graphics\\map\\tiparrow"), get("graphics\\map\\tip2"), 10, facing)) << facing;
    }
    // The tip's caption, 3 px above the arrow, which is 3 px above its row's
    // centre, stays within that row of squares: the rows above and below,
    // 53 px away, reach towards it by half their tallest square: a bonus coin
    // pulsing 10 % larger, or a jigsaw piece drawn at 0.36 with its 5-px
    // outline.
    float half =
        float(std::max(get("graphics\\map\\bonuscoins").mHeight, get("graphics\\map\\gameicon").mHeight)) *
        1.1f / 2;
    for (int piece = 0; piece < 20; ++piece) {
        Image image;
        ASSERT_TRUE(LoadPicture("graphics\\jigsaws\\puzzle1\\image" + std::to_string(piece), image));
        half = std::max(half, float(image.mHeight) * 0.36f / 2 + 5);
    }
    for (const char* tip : {"graphics\\map\\tip1", "graphics\\map\\tip2"}) {
        const Placed caption = Centred(get(tip), 400, 294);
        int outside = 0;
        for (int sy = int(caption.y); sy < int(caption.y) + caption.Height(); ++sy)
            for (int sx = int(caption.x); sx < int(caption.x) + caption.Width(); ++sx)
                outside += caption.Alpha(sx, sy) >= 64 && std::fabs(float(sy) + 0.5f - 300) > 53 - half;
        EXPECT_EQ(outside, 0) << tip << " reaches into the rows beside its own";
    }

    // The title's lettering stays out of the circle the arrows sweep at
    // (175, 287), and of the ring drawn round it.
    const Image& arrows = get("graphics\\spinarrows");
    float reach = 0;
    for (int y = 0; y < arrows.mHeight; ++y)
        for (int x = 0; x < arrows.mWidth; ++x)
            if (AlphaAt(arrows, x, y) >= 64)
                reach = std::max(reach, std::hypot(float(x) - float(arrows.mWidth / 2), float(y) - float(arrows.mHeight / 2)));
    const Image& title = get("graphics\\title");
    int lettering = 0;
    for (int y = 0; y < title.mHeight; ++y)
        for (int x = 0; x < title.mWidth; ++x) {
            const uint32_t p = title.mPixels[y * title.mWidth + x];
            const bool light = ((p >> 16) & 0xFF) > 0xE0 && ((p >> 8) & 0xFF) > 0xE0 && (p & 0xFF) > 0xC0;
            if (light && std::hypot(float(x) - 175, float(y) - 287) < reach + 12)
                ++lettering;
        }
    EXPECT_EQ(lettering, 0) << "arrows reach " << reach;
}

bool Solid(const Image& art, int x, int y)
{
    return AlphaAt(art, x, y) >= 160;
}

// The light fill of lettering drawn on a dark panel.
bool Lettering(const Image& art, int x, int y)
{
    const uint32_t p = art.mPixels[y * art.mWidth + x];
    return (p >> 24) > 128 && ((p >> 16) & 0xFF) > 200 && ((p >> 8) & 0xFF) > 140;
}

// A heading's lettering stays whole under whatever a screen draws near it,
// hovered, swinging or scaled, and clear of its panel's rim, by a margin that
// keeps them apart on a screen drawn smaller than the game's 800 x 600.
TEST_F(GameAssetsTest, HeadingsStayWholeAndClearOfTheirRims)
{
    std::map<std::string, Image> art;
    for (const char* name :
         {"graphics\\mainmenu\\ChooseAGame", "graphics\\mainmenu\\ChooseAGame2", "graphics\\mainmenu\\ChooseJourney",
          "graphics\\mainmenu\\ChooseNormal", "graphics\\mainmenu\\ChooseSpeed", "graphics\\mainmenu\\journeycaption",
          "graphics\\mainmenu\\casualcaption", "graphics\\mainmenu\\speedcaption",
          "graphics\\mainmenu\\choosedifficulty", "graphics\\mainmenu\\child", "graphics\\mainmenu\\normal",
          "graphics\\mainmenu\\hard", "graphics\\stats\\highscoretitle", "graphics\\stats\\statstitle",
          "graphics\\stats\\highscoreoverlay", "graphics\\stats\\puzzletitle", "graphics\\stats\\puzzleoverlay",
          "graphics\\mainmenu\\background", "graphics\\mainmenu\\welcomeback"})
        ASSERT_TRUE(LoadPicture(name, art[name]));
    auto get = [&](const char* name) -> const Image& { return art.at(name); };
    // A button's art as the screen draws it hovered: scaled about the
    // centre of the rectangle its top-left corner starts.
    auto hovered = [&](const char* name, float x, float y, float scale, float degrees) {
        Placed p{&get(name), x, y};
        p.scale = scale;
        p.degrees = degrees;
        return p;
    };
    struct Heading
    {
        const char* what;
        Image letters;
        float x, y;
        std::vector<Placed> others;
    };
    std::vector<Heading> headings;
    // Drawn centred, as the screens draw it.
    auto centred = [&](const char* what, Image letters, Point centre, std::vector<Placed> others) {
        const float x = centre.x - float(letters.mWidth / 2), y = centre.y - float(letters.mHeight / 2);
        headings.push_back({what, std::move(letters), x, y, std::move(others)});
    };
    std::vector<Placed> picker;
    const char* modes[][2] = {{"graphics\\mainmenu\\ChooseJourney", "graphics\\mainmenu\\journeycaption"},
                              {"graphics\\mainmenu\\ChooseNormal", "graphics\\mainmenu\\casualcaption"},
                              {"graphics\\mainmenu\\ChooseSpeed", "graphics\\mainmenu\\speedcaption"}};
    for (int mode = 0; mode < 3; ++mode) {
        const GamePicker::ModePlace place = GamePicker::kModePlaces[mode];
        picker.push_back({&get(modes[mode][1]), place.caption.x, place.caption.y});
        picker.push_back(hovered(modes[mode][0], place.button.x, place.button.y, 1.05f, 0));
    }
    for (const char* name : {"graphics\\mainmenu\\ChooseAGame", "graphics\\mainmenu\\ChooseAGame2"})
        centred(name, Only(get(name), Solid), GamePicker::kHeadingCentre, picker);
    const Image& difficulty = get("graphics\\mainmenu\\choosedifficulty");
    std::vector<Placed> swinging;
    for (float degrees : {-5.0f, 5.0f}) {
        swinging.push_back(
            hovered("graphics\\mainmenu\\child", PickDiff::kChildCorner.x, PickDiff::kChildCorner.y, 1.25f, degrees));
        swinging.push_back(hovered("graphics\\mainmenu\\normal", PickDiff::kNormalCorner.x, PickDiff::kNormalCorner.y,
                                   1.25f, degrees));
        swinging.push_back(
            hovered("graphics\\mainmenu\\hard", PickDiff::kHardCorner.x, PickDiff::kHardCorner.y, 1.25f, degrees));
    }
    // The title is lettered on its panel above the buttons, which the panel
    // itself lies under.
    centred("Choose Difficulty", Only(difficulty, [&](const Image& image, int x, int y) {
                return y < 100 && x > 30 && x < image.mWidth - 30 && Lettering(image, x, y);
            }),
            PickDiff::kTitleCentre, swinging);
    const Image recordsRim = Only(get("graphics\\stats\\highscoreoverlay"), IsGoldRim);
    const Placed recordsPanel{&recordsRim, Puzzler::kRecordsPanelCorner.x, Puzzler::kRecordsPanelCorner.y};
    for (const char* name : {"graphics\\stats\\highscoretitle", "graphics\\stats\\statstitle"})
        headings.push_back(
            {name, Only(get(name), Solid), Puzzler::kRecordsTitleCorner.x, Puzzler::kRecordsTitleCorner.y, {recordsPanel}});
    const Image pictureRim = Only(get("graphics\\stats\\puzzleoverlay"), IsGoldRim);
    headings.push_back({"graphics\\stats\\puzzletitle",
                        Only(get("graphics\\stats\\puzzletitle"), Solid),
                        Puzzler::kJigsawTitleCorner.x,
                        Puzzler::kJigsawTitleCorner.y,
                        {{&pictureRim, Puzzler::kPicturePanelCorner.x, Puzzler::kPicturePanelCorner.y}}});
    // The main menu's plaque is part of its background; its bevelled rim
    // runs from white through gold to its shadow.
    const Image plaqueRim = Only(get("graphics\\mainmenu\\background"), [](const Image& image, int x, int y) {
        const uint32_t p = image.mPixels[y * image.mWidth + x];
        return IsGoldRim(image, x, y) || (((p >> 16) & 0xFF) > 180 && ((p >> 8) & 0xFF) > 140);
    });
    centred("Welcome back,", Only(get("graphics\\mainmenu\\welcomeback"), Solid), MainMenu::kWelcomeCentre,
            {{&plaqueRim, 0, 0}});

    for (const Heading& heading : headings) {
        const Placed letters{&heading.letters, heading.x, heading.y};
        int shown = 0;
        for (int y = 0; y < heading.letters.mHeight; ++y)
            for (int x = 0; x < heading.letters.mWidth; ++x)
                shown += AlphaAt(heading.letters, x, y) >= 64;
        EXPECT_GT(shown, 500) << heading.what << " has lettering";
        for (const Placed& other : heading.others)
            EXPECT_EQ(Near(letters, other, 2), 0)
                << heading.what << " meets " << other.image->mWidth << " x " << other.image->mHeight << " art at "
                << other.x << "," << other.y;
    }
}

// The options screen's labels are part of its picture, drawn over whatever
// screen it opens on: between its rims, on every row, nothing shows through.
TEST_F(GameAssetsTest, TheOptionsPanelHidesTheScreenUnderIt)
{
    Image panel;
    ASSERT_TRUE(LoadPicture("graphics\\optionsmenu", panel));
    int seeThrough = 0, rows = 0;
    for (int y = 0; y < panel.mHeight; ++y) {
        int left = 0, right = panel.mWidth - 1;
        while (left < panel.mWidth && AlphaAt(panel, left, y) < 255)
            ++left;
        while (right > left && AlphaAt(panel, right, y) < 255)
            --right;
        rows += right > left;
        for (int x = left; x < right; ++x)
            seeThrough += AlphaAt(panel, x, y) < 255;
    }
    EXPECT_GT(rows, panel.mHeight * 9 / 10);
    EXPECT_EQ(seeThrough, 0) << "pixels the screen below shows through";
}

// The journey map's tip marker, at every square with either tip and either
// side asked for, swaying both ways: no pixel of its arrow or caption lies on
// the map's gold frame or beyond it.
TEST_F(GameAssetsTest, TheTipMarkerStaysInsideTheMapsFrame)
{
    Image background, arrow, captions[2];
    ASSERT_TRUE(LoadPicture("graphics\\map\\background", background));
    ASSERT_TRUE(LoadPicture("graphics\\map\\tiparrow", arrow));
    ASSERT_TRUE(LoadPicture("graphics\\map\\tip1", captions[0]));
    ASSERT_TRUE(LoadPicture("graphics\\map\\tip2", captions[1]));
    // The frame's inside on a row: from the map's middle out to its gold.
    std::map<int, std::pair<int, int>> rows;
    const auto inside = [&](int y) {
        if (!rows.count(y)) {
            int left = 430, right = 430;
            while (left > 0 && !IsGoldRim(background, left - 1, y))
                --left;
            while (right < 799 && !IsGoldRim(background, right + 1, y))
                ++right;
            rows[y] = {left, right};
        }
        return rows[y];
    };
    QuorbSwapApp app;
    Game game(&app);
    Map map(nullptr, &game);
    map.sprTipArrow.mWidth = arrow.mWidth;
    for (int i = 0; i < 2; ++i)
        map.sprTips[i].mWidth = captions[i].mWidth;
    for (int x = 0; x < kMapSize; ++x)
        for (int y = 0; y < kMapSize; ++y)
            for (int tip : {1, 2})
                for (float side : {0.0f, -1.0f}) {
                    map.tipSideOverride = side;
                    map.MoveMarker(x, y, tip);
                    int outside = 0;
                    for (float sway : {-Map::kTipSway, Map::kTipSway}) {
                        Placed a = Centred(arrow, map.tipX + sway, map.tipY);
                        a.mirrored = map.tipFacing < 0;
                        const Placed c =
                            Centred(captions[tip - 1], map.tipX - map.tipCaptionOffset * map.tipFacing + sway,
                                    map.tipY - 3);
                        for (const Placed& p : {a, c})
                            for (int sy = int(p.y); sy < int(p.y) + p.Height() + 1; ++sy)
                                for (int sx = int(p.x); sx < int(p.x) + p.Width() + 1; ++sx)
                                    outside += p.Alpha(sx, sy) >= 64 &&
                                               (sx <= inside(sy).first - 1 || sx >= inside(sy).second + 1);
                    }
                    EXPECT_EQ(outside, 0)
                        << "square " << x << "," << y << ", tip " << tip << ", side " << side;
                }
}

// Where the page draws a picture, no pixel of it may cover the live
// demonstration board, the two buttons or run off the screen.
::testing::AssertionResult ClearOfTheTutorialBoard(const std::string& name, int x, int y)
{
    Image picture;
    if (::testing::AssertionResult loaded = LoadPicture("graphics\\tutorial\\" + name, picture); !loaded)
        return loaded;
    struct Area
    {
        int x0, y0, x1, y1;
    };
    const Area keepClear[] = {{215, 85, 585, 455}, {542, 530, 800, 580}};
    for (int py = 0; py < picture.mHeight; ++py)
        for (int px = 0; px < picture.mWidth; ++px) {
            if (AlphaAt(picture, px, py) == 0)
                continue;
            int sx = x + px, sy = y + py;
            if (sx >= 800 || sy >= 600)
                return ::testing::AssertionFailure() << name << " runs off the screen at " << sx << "," << sy;
            for (const Area& area : keepClear)
                if (sx >= area.x0 && sx < area.x1 && sy >= area.y0 && sy < area.y1)
                    return ::testing::AssertionFailure() << name << " covers " << sx << "," << sy;
        }
    return ::testing::AssertionSuccess();
}

// Along a line of a tutorial card from its outside in: the pixels of the
// card's dark inside between its frame and the first light pixel of text
// or picture; -1 when the line never enters the inside, or meets the
// frame's gold again first (it runs through a rounded corner).
int InsideMargin(const Image& picture, int x, int y, int dx, int dy)
{
    bool inside = false;
    int run = 0;
    for (; x >= 0 && y >= 0 && x < picture.mWidth && y < picture.mHeight; x += dx, y += dy) {
        const uint32_t c = picture.mPixels[y * picture.mWidth + x];
        const int a = int(c >> 24), r = int((c >> 16) & 0xFF), g = int((c >> 8) & 0xFF), b = int(c & 0xFF);
        if (!inside) {
            inside = a > 200 && r + g + b < 160 && b >= r && b >= g;
        } else if (r > 200 && g > 200 && b > 150) {
            return run;
        } else if (r > b + 60 && r > 100) {
            return -1;
        } else {
            ++run;
        }
    }
    return inside ? run : -1;
}

TEST_F(GameAssetsTest, TutorialPicturesStayClearOfTheDemonstrationBoard)
{
    struct Placed
    {
        const char* name;
        int x, y;
    };
    const Placed pictures[] = {{"QuorbMeter_Brom", 31, 267},
                               {"NoMoreMoves", 456, 396},
                               {"CrackSKulls", 31, 267},
                               {"Skullmeter_Grimbo", 577, 138},
                               {"QuorbMeter_Tuvo", 31, 267},
                               {"Lose_Tuvo", 451, 396},
                               {"matches", 39, 280},
                               {"Lose_Pricklet", 580, 187},
                               {"collect", 29, 259},
                               {"Skullmeter_Pallowin", 577, 145},
                               {"gogold", 12, 289},
                               {"NoMoreMoves", 494, 385},
                               {"duel", 41, 351},
                               {"lose_qib", 514, 347},
                               {"QuorbMeter", 31, 267},
                               {"SkullMeter", 577, 138},
                               {"NoMoreMoves", 199, 468},
                               {"SkullMeter_Speed", 577, 138}};
    for (const Placed& p : pictures) {
        EXPECT_TRUE(ClearOfTheTutorialBoard(p.name, p.x, p.y));
        // Text and pictures keep a margin inside the card's frame.
        Image picture;
        ASSERT_TRUE(LoadPicture(std::string("graphics\\tutorial\\") + p.name, picture));
        int margin = 1 << 30;
        auto fold = [&](int run) { margin = run < 0 ? margin : std::min(margin, run); };
        for (int y = 0; y < picture.mHeight; ++y) {
            fold(InsideMargin(picture, 0, y, 1, 0));
            fold(InsideMargin(picture, picture.mWidth - 1, y, -1, 0));
        }
        for (int x = 0; x < picture.mWidth; ++x) {
            fold(InsideMargin(picture, x, 0, 0, 1));
            fold(InsideMargin(picture, x, picture.mHeight - 1, 0, -1));
        }
        EXPECT_GE(margin, 5) << p.name << " has text or picture close to its frame";
    }
    // Titles are drawn from y = 55, centred, before the board: their
    // lettering ends above the board's frame.
    for (const char* title :
         {"broms", "grimbo", "tuvos", "pricklets", "pallowin", "glowby", "qib", "casual", "speed"}) {
        Image picture;
        ASSERT_TRUE(LoadPicture(std::string("graphics\\tutorial\\") + title, picture));
        for (int py = 0; py < picture.mHeight; ++py)
            for (int px = 0; px < picture.mWidth; ++px)
                if (AlphaAt(picture, px, py) > 128) {
                    ASSERT_LT(55 + py, 104) << title;
                }
    }
}

TEST_F(GameAssetsTest, JigsawPiecesRebuildTheirPictures)
{
    for (int puzzle = 1; puzzle <= 3; ++puzzle) {
        std::string folder = "graphics\\jigsaws\\puzzle" + std::to_string(puzzle);
        std::vector<ParseXMLTag> tags = ReadTags(folder + "\\info.cfg");
        ASSERT_EQ(tags.size(), 20u) << folder;
        // Laying every piece at its place covers the picture, each pixel once.
        std::vector<int> cover(466 * 374, 0);
        for (int piece = 0; piece < 20; ++piece) {
            ASSERT_EQ(tags[piece].name.CompareNoCase("PIECE"), 0);
            float x = 0, y = 0;
            for (const ParseXMLTag& pos : ReadTagText(tags[piece].content))
                if (pos.name.CompareNoCase("POS") == 0)
                    pos.content.GetTwoNumbers(x, y);
            Image image;
            ASSERT_TRUE(LoadPicture(folder + "\\image" + std::to_string(piece), image));
            for (int py = 0; py < image.mHeight; ++py)
                for (int px = 0; px < image.mWidth; ++px) {
                    int cx = int(x) + px, cy = int(y) + py;
                    ASSERT_TRUE(cx >= 0 && cy >= 0 && cx < 466 && cy < 374) << folder << " piece " << piece;
                    if (AlphaAt(image, px, py) >= 128)
                        ++cover[cy * 466 + cx];
                }
        }
        int holes = int(std::count(cover.begin(), cover.end(), 0));
        int doubles = int(std::count_if(cover.begin(), cover.end(), [](int n) { return n > 1; }));
        // Only the anti-aliased seams may round either way.
        EXPECT_LT(holes, 466 * 374 / 100) << folder;
        EXPECT_LT(doubles, 466 * 374 / 100) << folder;
    }
}

TEST_F(GameAssetsTest, DeviceListHoldsOnlyNamedCards)
{
    std::vector<ParseXMLTag> cards = ReadTags("data\\devices.xml");
    ASSERT_FALSE(cards.empty());
    for (const ParseXMLTag& card : cards) {
        EXPECT_EQ(card.name.CompareNoCase("CARD"), 0);
        EXPECT_EQ(card.GetAttribute(0).name.CompareNoCase("name"), 0);
    }
}

// Fonts, sprites and bundles need the graphics device for their textures.
class GameFontsTest : public GameAssetsTest
{
  protected:
    void SetUp() override
    {
        GameAssetsTest::SetUp();
        theGraphics.ResetState();
        ASSERT_TRUE(theGraphics.Startup(nullptr));
    }
    void TearDown() override
    {
        theGraphics.Shutdown();
        theGraphics.ResetState();
        GameAssetsTest::TearDown();
    }

    static void ExpectGlyphs(const Font& font, const std::string& name)
    {
        for (int c = 33; c < 127; ++c)
            EXPECT_GT(font.GetCharWidth(char(c)), 0) << name << " lacks '" << char(c) << "'";
        EXPECT_GT(font.GetCharWidth(' '), 0) << name;
    }
};

TEST_F(GameFontsTest, LargeFontHasEveryPrintableGlyphAndFitsItsLines)
{
    ASSERT_TRUE(fs::exists("Fonts/ArialBlack23.font"));
    Font font;
    font.Load("Fonts\\ArialBlack23");
    ExpectGlyphs(font, "ArialBlack23");
    EXPECT_GT(font.mLineHeight, 20);
    EXPECT_LE(font.mLineHeight, 39);
    EXPECT_EQ(font.mPages.size(), 1u);
}

TEST_F(GameFontsTest, SmallFontHasEveryPrintableGlyphAndFitsItsLines)
{
    ASSERT_TRUE(fs::exists("Fonts/ArialBlack16Bold/font.description"));
    Font font;
    font.Load("Fonts\\ArialBlack16Bold");
    ExpectGlyphs(font, "ArialBlack16Bold");
    EXPECT_GT(font.mLineHeight, 12);
    EXPECT_LE(font.mLineHeight, 20);
}

TEST_F(GameFontsTest, ScriptFontLoadsItsGlyphsIntoTheAtlas)
{
    ASSERT_TRUE(fs::exists("Fonts/Condensed18.txt"));
    Font font;
    font.Load("Fonts\\Condensed18");
    EXPECT_GT(font.GetCharWidth('A'), 0);
    EXPECT_GT(font.GetCharWidth(' '), 0);
    ASSERT_NE(font.GetCharImage('A'), nullptr);
    EXPECT_GT(font.GetWidth("Quorb Swap"), 60);
}

using GameSpritesTest = GameFontsTest;

TEST_F(GameSpritesTest, TitleIsDrawnInItsFourQuarters)
{
    ASSERT_FALSE(theGraphics.mSoftware);
    Sprite title;
    title.Load("graphics\\title");
    EXPECT_EQ(title.mTiles.size(), 4u);
    EXPECT_EQ(title.mWidth, 800);
    EXPECT_EQ(title.mHeight, 600);
}

// The application's bundles, loaded in its order into atlases, count the
// loading steps the title screen's bar expects, and every sprite and strip
// the screens take comes from them.
TEST_F(GameSpritesTest, BundlesHoldEverySpriteAndStripFrame)
{
    theGraphics.mUseAtlas = true;
    std::atomic<int> progress{0};
    const char* order[] = {"graphics\\mainmenu",
                           "graphics\\gameplay",
                           "graphics\\map",
                           "graphics\\popupmenu",
                           "graphics\\jigsaws\\puzzle1",
                           "graphics\\jigsaws\\puzzle2",
                           "graphics\\jigsaws\\puzzle3",
                           "graphics\\stats",
                           "graphics\\profiles",
                           "graphics\\tutorial"};
    std::map<std::string, std::unique_ptr<SpriteBundle>> bundles;
    for (const char* folder : order) {
        auto bundle = std::make_unique<SpriteBundle>();
        bundle->mProgress = &progress;
        bundle->Load(folder);
        bundles[folder] = std::move(bundle);
    }
    EXPECT_EQ(progress.load(), 306 - 70);

    for (const auto& [folder, items] : Bundles()) {
        SpriteBundle* bundle = bundles[folder].get();
        bool described = fs::exists(ToPath(folder + "\\splat.dat"));
        for (const BundleItem& item : items) {
            std::string where = folder + "\\" + item.name;
            if (item.frames == 0) {
                int size[2] = {0, 0};
                EXPECT_NE(bundle->Get(item.name, size), nullptr) << where;
                Sprite sprite;
                sprite.LoadFromBundle(bundle, item.name);
                EXPECT_EQ(sprite.mWidth, size[0]) << where;
                EXPECT_EQ(sprite.mHeight, size[1]) << where;
                continue;
            }
            // Described bundles pack each frame on its own.
            if (described) {
                EXPECT_NE(bundle->Get((std::string(item.name) + "__0").c_str()), nullptr) << where;
            }
            Image whole;
            ASSERT_TRUE(LoadPicture(where, whole));
            SpriteStrip strip;
            strip.LoadFromBundle(bundle, item.name, item.frames);
            ASSERT_EQ(strip.mFrameCount, item.frames) << where;
            for (int i = 0; i < item.frames; ++i) {
                EXPECT_EQ(strip.GetFrame(i)->mWidth, whole.mWidth / item.frames) << where << " frame " << i;
                EXPECT_EQ(strip.GetFrame(i)->mHeight, whole.mHeight) << where << " frame " << i;
            }
        }
    }
    for (int puzzle = 1; puzzle <= 3; ++puzzle) {
        SpriteBundle* bundle = bundles["graphics\\jigsaws\\puzzle" + std::to_string(puzzle)].get();
        for (int piece = 0; piece < 20; ++piece) {
            EXPECT_NE(bundle->Get(("image" + std::to_string(piece)).c_str()), nullptr)
                << puzzle << " " << piece;
        }
    }
}

struct SoundName
{
    const char* name;
    int extraVoices;
    bool loops;
};

const SoundName kSounds[] = {
    {"hilite", 5, false},     {"click", 5, false},    {"quorbsound", 5, false}, {"quorbsoundskull", 5, false},
    {"match", 5, false},      {"drag", 5, false},     {"snap", 5, false},       {"bonus", 5, false},
    {"crack", 5, false},      {"shatter", 5, false},  {"bomb", 5, false},       {"hilitelevel", 50, false},
    {"bloop", 25, false},     {"wontheme", 5, false}, {"quorbmeter", 5, true},  {"bell", 5, false},
    {"warningloop", 5, true}, {"lose", 5, false},     {"diedsong", 5, false},   {"morph", 3, false},
    {"danger", 5, false},     {"chatter", 5, true},   {"crunch", 5, false},     {"fanfare", 5, false},
    {"fanfare2", 5, false},   {"ticktock", 5, true},  {"gold", 1, false},       {"clickbonus", 5, false},
    {"quorbwin", 5, false},   {"firework", 5, false}, {"zing", 5, false},       {"shake", 5, false},
};

TEST(GameSoundsTest, EverySoundLoadsWithItsVoicesAndLoopsJoinSmoothly)
{
    SoundTestFolder folder;
    fs::create_directory_symlink(ProgramFolder() / "sounds", "sounds");
    for (const SoundName& s : kSounds) {
        std::string name = std::string("sounds\\") + s.name;
        Sound sound;
        sound.Load(name.c_str(), s.extraVoices);
        ASSERT_EQ(sound.GetVoiceCount(), s.extraVoices + 1) << name;
        std::vector<uint8_t> pcm = SoundTestFolder::VoicePCM(sound);
        ASSERT_GE(pcm.size(), 200u) << name;
        EXPECT_LT(pcm.size(), 44100u * 2 * 3) << name << ": effects are short";
        if (!s.loops)
            continue;
        // The step from the last sample back to the first is no bigger
        // than the steps inside the sound.
        auto sample = [&](size_t i) { return int16_t(pcm[2 * i] | pcm[2 * i + 1] << 8); };
        size_t count = pcm.size() / 2;
        int largest = 0;
        for (size_t i = 1; i < count; ++i)
            largest = std::max(largest, std::abs(sample(i) - sample(i - 1)));
        EXPECT_LE(std::abs(sample(0) - sample(count - 1)), largest) << name;
    }
}

} // namespace

// One voice the loudest moment starts: at `start` seconds, at a pitch, once
// or looping.
struct Cue
{
    const char* name;
    float start;
    float pitch;
    bool loop;
};

// A four-step cascade on a board whose meter runs its loops (the hum at
// its top pitch, the drain warning, skulls flying in): every step with its
// match and super-piece bonus at the step's rising pitch, its combo, long
// line and a skull cracked beside it; the last step fills the meter and
// breaks the skull. Steps come as fast as pieces can fall one cell, and
// slower.
std::vector<Cue> LoudestCascade(float stepSeconds)
{
    std::vector<Cue> cues = {{"quorbmeter", 0, 1.25f, true},
                             {"warningloop", 0, 1.0f, true},
                             {"chatter", 0, 1.0f, true}};
    for (int step = 0; step < 4; ++step) {
        const float at = 0.05f + step * stepSeconds, pitch = 1.0f + 0.25f * step;
        for (const char* name : {"match", "bonus"})
            cues.push_back({name, at, pitch, false});
        for (const char* name : {step == 0 ? "fanfare" : "fanfare2", "zing", "crack"})
            cues.push_back({name, at, 1.0f, false});
    }
    const float last = 0.05f + 3 * stepSeconds;
    for (const char* name : {"bell", "shatter"})
        cues.push_back({name, last, 1.0f, false});
    return cues;
}

// Plays the cues through the mixer at full volume, a 10 ms step at a time
// as the game starts them, and returns the largest sample it put out.
int LoudestSample(const std::vector<Cue>& cues, float seconds)
{
    Platform::SoundMixer mixer;
    std::vector<std::unique_ptr<Platform::SoundBuffer>> voices;
    std::vector<bool> started(cues.size(), false);
    constexpr size_t kStep = Platform::SoundMixer::kOutputRate / 100;
    std::vector<int16_t> out(kStep * 2);
    int loudest = 0;
    for (int tick = 0; tick < int(seconds * 100); ++tick) {
        for (size_t i = 0; i < cues.size(); ++i) {
            if (started[i] || cues[i].start * 100 > float(tick))
                continue;
            started[i] = true;
            Sound sound;
            sound.Load((std::string("sounds\\") + cues[i].name).c_str());
            const Platform::SoundBuffer& source = *sound.GetVoice(0)->GetBuffer();
            std::vector<uint8_t> pcm = SoundTestFolder::VoicePCM(sound);
            auto voice = mixer.CreateBuffer(source.GetFormat(), uint32_t(pcm.size()));
            uint32_t bytes = 0;
            std::copy(pcm.begin(), pcm.end(), voice->Lock(bytes));
            voice->Unlock();
            voice->SetVolume(Audio::VolumeToAttenuation(1.0f));
            voice->SetFrequency(uint32_t(float(source.GetFormat().samplesPerSecond) * cues[i].pitch));
            voice->Play(cues[i].loop);
            voices.push_back(std::move(voice));
        }
        mixer.Render(out.data(), kStep);
        for (int16_t s : out)
            loudest = std::max(loudest, std::abs(int(s)));
    }
    return loudest;
}

TEST(GameSoundsTest, LoudestCascadeStaysBelowFullScaleAtFullVolume)
{
    SoundTestFolder folder;
    fs::create_directory_symlink(ProgramFolder() / "sounds", "sounds");
    for (float step : {0.2f, 0.3f, 0.4f, 0.5f}) {
        const int loudest = LoudestSample(LoudestCascade(step), 3.5f);
        EXPECT_LT(loudest, 32767) << "steps " << step << " s apart clip";
    }
}
