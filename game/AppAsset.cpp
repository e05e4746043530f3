// The application's asset table, in load order.
#include "game/AppAsset.h"

#include "game/QuorbSwapApp.h"

#include <cstdio>

namespace {

using K = AppAsset::Kind;

#define QS_MEMBER(m) [](QuorbSwapApp& a) -> void* { return &a.m; }

enum Bundle {
    MainMenuArt,
    GameplayArt,
    MapArt,
    PopupMenu,
    Jigsaw1,
    Jigsaw2,
    Jigsaw3,
    Stats,
    Profiles,
    Tutorial
};

const char* const kBundleFolders[kAppBundleCount] = {
    "graphics\\mainmenu",
    "graphics\\gameplay",
    "graphics\\map",
    "graphics\\popupmenu",
    "graphics\\jigsaws\\puzzle1",
    "graphics\\jigsaws\\puzzle2",
    "graphics\\jigsaws\\puzzle3",
    "graphics\\stats",
    "graphics\\profiles",
    "graphics\\tutorial",
};

AppAsset Gameplay(K kind, const char* name, void* (*target)(QuorbSwapApp&), int frames = 0)
{
    return AppAsset{kind, name, frames, Bundle::GameplayArt, target, nullptr};
}

void AddSounds(std::vector<AppAsset>& t)
{
    struct SoundEntry
    {
        const char* name;
        int extraVoices;
        void* (*target)(QuorbSwapApp&);
    };
    const SoundEntry sounds[] = {
        {"sounds\\hilite", 5, QS_MEMBER(sndHilite)},
        {"sounds\\click", 5, QS_MEMBER(sndClick)},
        {"sounds\\quorbsound", 5, QS_MEMBER(sndQuorbSound)},
        {"sounds\\quorbsoundskull", 5, QS_MEMBER(sndQuorbSoundSkull)},
        {"sounds\\match", 5, QS_MEMBER(sndMatch)},
        {"sounds\\drag", 5, QS_MEMBER(sndDrag)},
        {"sounds\\snap", 5, QS_MEMBER(sndSnap)},
        {"sounds\\bonus", 5, QS_MEMBER(sndBonus)},
        {"sounds\\crack", 5, QS_MEMBER(sndCrack)},
        {"sounds\\shatter", 5, QS_MEMBER(sndShatter)},
        {"sounds\\bomb", 5, QS_MEMBER(sndBomb)},
        {"sounds\\hilitelevel", 50, QS_MEMBER(sndHiliteLevel)},
        {"sounds\\bloop", 25, QS_MEMBER(sndBloop)},
        {"sounds\\wontheme", 5, QS_MEMBER(sndWonTheme)},
        {"sounds\\quorbmeter", 5, QS_MEMBER(sndQuorbMeter)},
        {"sounds\\bell", 5, QS_MEMBER(sndBell)},
        {"sounds\\warningloop", 5, QS_MEMBER(sndWarningLoop)},
        {"sounds\\lose", 5, QS_MEMBER(sndLose)},
        {"sounds\\diedsong", 5, QS_MEMBER(sndDiedSong)},
        {"sounds\\morph", 3, QS_MEMBER(sndMorph)},
        {"sounds\\danger", 5, QS_MEMBER(sndDanger)},
        {"sounds\\chatter", 5, QS_MEMBER(sndChatter)},
        {"sounds\\crunch", 5, QS_MEMBER(sndCrunch)},
        {"sounds\\fanfare", 5, QS_MEMBER(sndFanfare[0])},
        {"sounds\\fanfare2", 5, QS_MEMBER(sndFanfare[1])},
        {"sounds\\ticktock", 5, QS_MEMBER(sndTickTock)},
        {"sounds\\gold", 1, QS_MEMBER(sndGold)},
        {"sounds\\clickbonus", 5, QS_MEMBER(sndClickBonus)},
        {"sounds\\quorbwin", 5, QS_MEMBER(sndQuorbWin)},
        {"sounds\\firework", 5, QS_MEMBER(sndFirework)},
        {"sounds\\zing", 5, QS_MEMBER(sndZing)},
        {"sounds\\shake", 5, QS_MEMBER(sndShake)},
    };
    for (const SoundEntry& s : sounds) {
        t.push_back({K::Sound, s.name, s.extraVoices, -1, s.target, nullptr});
        // The loop takes its voice as soon as the sounds up to "crunch" are in.
        if (std::string(s.name) == "sounds\\crunch")
            t.push_back(
                {K::ChatterLoop, "sounds\\chatter", 0, -1, QS_MEMBER(chatterLoop), QS_MEMBER(sndChatter)});
    }
}

void AddGameplayArt(std::vector<AppAsset>& t)
{
    t.push_back(Gameplay(K::Strip, "rim", QS_MEMBER(stripRim), 6));
    t.push_back(Gameplay(K::FastSprite, "background", QS_MEMBER(sprBackground)));
    t.push_back(Gameplay(K::Sprite, "Ready", QS_MEMBER(sprReady)));
    t.push_back(Gameplay(K::Sprite, "Go", QS_MEMBER(sprGo)));
    t.push_back(Gameplay(K::Sprite, "Flash", QS_MEMBER(sprFlash)));
    t.push_back(Gameplay(K::Strip, "Explosion", QS_MEMBER(stripExplosion), 6));
    t.push_back(Gameplay(K::Sprite, "QuorbMeter", QS_MEMBER(sprQuorbMeter)));
    t.push_back(Gameplay(K::Sprite, "QuorbMeterFill", QS_MEMBER(sprQuorbMeterFill)));
    t.push_back(Gameplay(K::Sprite, "Win", QS_MEMBER(sprWin)));
    t.push_back(Gameplay(K::Sprite, "QuickStats", QS_MEMBER(sprQuickStats)));
    t.push_back(Gameplay(K::Sprite, "warning", QS_MEMBER(sprWarning)));
    t.push_back(Gameplay(K::Sprite, "warningbkg", QS_MEMBER(sprWarningBkg)));
    t.push_back(Gameplay(K::Sprite, "youlose", QS_MEMBER(sprYouLose)));
    t.push_back(Gameplay(K::Sprite, "quorbmeterdrained", QS_MEMBER(sprQuorbMeterDrained)));
    t.push_back(Gameplay(K::Sprite, "skullmeter", QS_MEMBER(sprSkullMeter)));
    t.push_back(Gameplay(K::Sprite, "skullmeterfill", QS_MEMBER(sprSkullMeterFill)));
    t.push_back(Gameplay(K::Sprite, "skullmeterdark", QS_MEMBER(sprSkullMeterDark)));
    t.push_back(Gameplay(K::Sprite, "danger", QS_MEMBER(sprDanger)));
    t.push_back(Gameplay(K::Sprite, "scorebox", QS_MEMBER(sprScoreBox)));
    t.push_back(Gameplay(K::Strip, "hintbutton", QS_MEMBER(stripHintButton), 3));
    t.push_back(Gameplay(K::Strip, "instawin", QS_MEMBER(stripInstaWin), 3));
    t.push_back(Gameplay(K::Sprite, "matchestogo", QS_MEMBER(sprMatchesToGo)));
    t.push_back(Gameplay(K::Sprite, "stopwatch", QS_MEMBER(sprStopwatch)));
    t.push_back(Gameplay(K::Sprite, "stopwatchhand", QS_MEMBER(sprStopwatchHand)));
    t.push_back(Gameplay(K::Sprite, "stopwatchcircle", QS_MEMBER(sprStopwatchCircle)));
    t.push_back(Gameplay(K::Sprite, "outoftime", QS_MEMBER(sprOutOfTime)));
    t.push_back(Gameplay(K::Sprite, "nomovespossible", QS_MEMBER(sprNoMovesPossible)));
    t.push_back(Gameplay(K::Sprite, "collectbox", QS_MEMBER(sprCollectBox)));
    t.push_back(Gameplay(K::Sprite, "thinking", QS_MEMBER(sprThinking)));
    t.push_back(Gameplay(K::Sprite, "duelmeter", QS_MEMBER(sprDuelMeter)));
    t.push_back(Gameplay(K::Sprite, "duelmeterfill", QS_MEMBER(sprDuelMeterFill)));
    t.push_back(Gameplay(K::Sprite, "computerwins", QS_MEMBER(sprComputerWins)));
    t.push_back(Gameplay(K::Strip, "menubutton", QS_MEMBER(stripMenuButton), 3));
    t.push_back(Gameplay(K::Strip, "smallmenubutton", QS_MEMBER(stripSmallMenuButton), 3));
    t.push_back(Gameplay(K::Sprite, "level", QS_MEMBER(sprLevel)));
    t.push_back(Gameplay(K::Sprite, "levelup", QS_MEMBER(sprLevelUp)));
    t.push_back({K::SpriteFile, "graphics\\pausegame", 0, -1, QS_MEMBER(sprPauseGame), nullptr});
    t.push_back(Gameplay(K::Sprite, "combo", QS_MEMBER(sprCombo)));
    t.push_back(Gameplay(K::Sprite, "powerup", QS_MEMBER(sprPowerUp)));
    t.push_back(Gameplay(K::Sprite, "2X", QS_MEMBER(sprMultiplier[0])));
    t.push_back(Gameplay(K::Sprite, "3X", QS_MEMBER(sprMultiplier[1])));
    t.push_back(Gameplay(K::Sprite, "4X", QS_MEMBER(sprMultiplier[2])));
    t.push_back(Gameplay(K::Sprite, "5X", QS_MEMBER(sprMultiplier[3])));
    t.push_back(Gameplay(K::Sprite, "WOW", QS_MEMBER(sprMultiplier[4])));
    t.push_back(Gameplay(K::Sprite, "Circle", QS_MEMBER(sprCircle)));
}

void AddJigsawPieces(std::vector<AppAsset>& t)
{
    for (int picture = 0; picture < kJigsawPictures; ++picture)
        for (int piece = 0; piece < kJigsawPiecesPerPicture; ++piece)
            t.push_back({K::JigsawPiece, "image" + std::to_string(piece),
                         picture * kJigsawPiecesPerPicture + piece, Bundle::Jigsaw1 + picture, nullptr,
                         nullptr});
}

void AddPieceArt(std::vector<AppAsset>& t)
{
    char name[64];
    for (int kind = 0; kind < kPieceArtSlots; ++kind) {
        for (int variant = 0; variant < kPieceVariants; ++variant) {
            bool exists = variant < 2 || kind == kSkullArtSlot;
            std::snprintf(name, sizeof name, "graphics\\quorbs\\qb%d%d", kind, variant);
            t.push_back(
                {K::PieceImage, exists ? name : "", kind * kPieceVariants + variant, -1, nullptr, nullptr});
        }
        t.push_back({K::PieceSprites, "", kind, -1, nullptr, nullptr});
    }
    t.push_back({K::ImageSprite, "graphics\\quorbs\\hintarrow", 0, -1, QS_MEMBER(imageHintArrow),
                 QS_MEMBER(sprHintArrow)});
    t.push_back({K::ImageSprite, "graphics\\quorbs\\chip", 0, -1, QS_MEMBER(imageChip), QS_MEMBER(sprChip)});
    t.push_back(
        {K::ImageSprite, "graphics\\quorbs\\smoke", 0, -1, QS_MEMBER(imageSmoke), QS_MEMBER(sprSmoke)});
    t.push_back({K::ImageSprite, "graphics\\quorbs\\skullcrack", 0, -1, QS_MEMBER(imageSkullCrack),
                 QS_MEMBER(sprSkullCrack)});
    t.push_back({K::ImageSprite, "graphics\\quorbs\\goldbrick", 0, -1, QS_MEMBER(imageGoldBrick),
                 QS_MEMBER(sprGoldBrick)});
}

std::vector<AppAsset> BuildTable()
{
    std::vector<AppAsset> t;
    t.push_back({K::Font, "Fonts\\ArialBlack23", 0, -1, QS_MEMBER(fontArialBlack23), nullptr});
    t.push_back({K::Font, "Fonts\\ArialBlack16Bold", 0, -1, QS_MEMBER(fontArialBlack16Bold), nullptr});
    for (int i = 0; i < kAppBundleCount; ++i)
        t.push_back({K::Bundle, kBundleFolders[i], 0, i, nullptr, nullptr});
    AddGameplayArt(t);
    AddJigsawPieces(t);
    t.push_back({K::SpriteFile, "graphics\\optionsmenu", 0, -1, QS_MEMBER(sprOptionsMenu), nullptr});
    t.push_back({K::SpriteFile, "graphics\\donehilite", 0, -1, QS_MEMBER(sprDoneHilite), nullptr});
    t.push_back({K::SpriteFile, "graphics\\donedown", 0, -1, QS_MEMBER(sprDoneDown), nullptr});
    AddPieceArt(t);
    AddSounds(t);
    return t;
}

#undef QS_MEMBER

} // namespace

bool AppAsset::IsCountedStep() const
{
    return kind == Kind::Font || kind == Kind::SpriteFile || kind == Kind::PieceImage ||
           kind == Kind::ImageSprite || kind == Kind::Sound;
}

const std::vector<AppAsset>& AppAssetTable()
{
    static const std::vector<AppAsset> table = BuildTable();
    return table;
}

const char* BundleFolder(int i)
{
    return i >= 0 && i < kAppBundleCount ? kBundleFolders[i] : "";
}

int CountedAssetSteps()
{
    int steps = 0;
    for (const AppAsset& asset : AppAssetTable())
        steps += asset.IsCountedStep() ? 1 : 0;
    return steps;
}
