// Every name the game loads, loaded through the framework's own loaders
// from the program folder the build filled, with the sizes and frame counts
// the screens' layouts rely on.
#include "app/Font.h"
#include "app/Graphics.h"
#include "app/Image.h"
#include "app/ParseXML.h"
#include "app/Sound.h"
#include "app/Sprite.h"
#include "app/SpriteBundle.h"
#include "app/SpriteStrip.h"
#include "support/SoundTestFolder.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <filesystem>
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
    ExpectSizeWithin("graphics\\gameplay\\level", 110, 150, 50, 70);
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
