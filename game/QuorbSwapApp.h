#pragma once
// The game's application object: shared assets, the profile's progress,
// the high-score tables, the menu choices and one slot per screen.

#include "app/App.h"
#include "app/AudioLooper.h"
#include "app/Font.h"
#include "app/HighScoreList.h"
#include "app/Image.h"
#include "app/ProfileManager.h"
#include "app/Sound.h"
#include "app/Sprite.h"
#include "app/SpriteBundle.h"
#include "app/SpriteStrip.h"
#include "app/String.h"
#include "game/FileNotices.h"
#include "game/GameTypes.h"
#include "game/ProfileProgress.h"

class IOBuffer;
struct AppAsset;

class Transition;
class TitleScreen;
class MainMenu;
class ProfileManagerDialog;
class Game;
class PopupMenu;
class Puzzler;
class OptionsMenu;
class SuperWin;

class QuorbSwapApp : public App
{
  public:
    static constexpr const char* kProgressFile = "config.cfg";

    QuorbSwapApp();
    ~QuorbSwapApp() override;

    void Update() override;
    void PostDraw() override;
    void Initialize() override;
    void SetActive(bool active) override;
    void Load() override;
    void LoadComplete() override;
    // One entry of the asset table into the member it fills.
    void LoadAsset(const AppAsset& asset);

    // The high-score tables and the profile list, as the start reads them.
    void LoadSharedFiles();
    // The per-profile progress block.
    void LoadConfig();
    void SaveConfig();
    void OnProfileChanged();
    // The block no longer belongs to any profile (its profile was deleted).
    void ForgetProgressOf(const String& profileName);

    // Bundle i in the order of the asset table's bundles.
    SpriteBundle* BundleAt(int i);
    // The modal loop of a dialog ended because the application is closing.
    bool IsQuitting() const { return quit; }

    // Screen switching: through a Transition, or at once.
    void CloseAllScreens();
    void GoToMainMenu(bool withTransition);
    void GoToGame(bool withTransition);
    void GoToPuzzler(bool withTransition);
    void TogglePuzzlerOverGame(bool withTransition);

    // Screen slots, null when that screen is not open.
    Transition* transition = nullptr;
    TitleScreen* titleScreen = nullptr;
    MainMenu* mainMenu = nullptr;
    ProfileManagerDialog* profileDialog = nullptr;
    Game* game = nullptr;
    PopupMenu* popupMenu = nullptr;
    Puzzler* puzzler = nullptr;
    OptionsMenu* optionsMenu = nullptr;
    SuperWin* superWin = nullptr;

    ProfileManager profiles;
    // The player's files that could not be read or written, to be told.
    FileNotices fileNotices{dataFolder};

    Font fontArialBlack23;
    Font fontArialBlack16Bold;

    SpriteBundle bundleMainMenu;
    SpriteBundle bundleGameplay;
    SpriteBundle bundleMap;
    SpriteBundle bundlePopupMenu;
    SpriteBundle bundleJigsaw[kJigsawPictures];
    SpriteBundle bundleStats;
    SpriteBundle bundleProfiles;
    SpriteBundle bundleTutorial;

    // Piece art: index kind x 3 + variant; only the skull (kind 8) has a
    // variant 2.
    Image pieceImages[kPieceArtCount];
    Image imageHintArrow;
    Image imageChip;
    Image imageSmoke;
    Image imageSkullCrack;
    Image imageGoldBrick;

    // Gameplay art, cut from the "graphics\gameplay" bundle.
    SpriteStrip stripRim;
    Sprite sprBackground;
    Sprite sprReady;
    Sprite sprGo;
    Sprite sprFlash;
    SpriteStrip stripExplosion;
    Sprite sprQuorbMeter;
    Sprite sprQuorbMeterFill;
    Sprite sprWin;
    Sprite sprQuickStats;
    Sprite sprWarning;
    Sprite sprWarningBkg;
    Sprite sprYouLose;
    Sprite sprQuorbMeterDrained;
    Sprite sprSkullMeter;
    Sprite sprSkullMeterFill;
    Sprite sprSkullMeterDark;
    Sprite sprDanger;
    Sprite sprScoreBox;
    SpriteStrip stripHintButton;
    SpriteStrip stripInstaWin;
    Sprite sprMatchesToGo;
    Sprite sprStopwatch;
    Sprite sprStopwatchHand;
    Sprite sprStopwatchCircle;
    Sprite sprOutOfTime;
    Sprite sprNoMovesPossible;
    Sprite sprCollectBox;
    Sprite sprThinking;
    Sprite sprDuelMeter;
    Sprite sprDuelMeterFill;
    Sprite sprComputerWins;
    SpriteStrip stripMenuButton;
    SpriteStrip stripSmallMenuButton;
    Sprite sprLevel;
    Sprite sprLevelUp;
    Sprite sprPauseGame; // own file "graphics\pausegame"
    Sprite sprCombo;
    Sprite sprPowerUp;
    Sprite sprMultiplier[5]; // "2X", "3X", "4X", "5X", "WOW"
    Sprite sprCircle;
    Sprite jigsawPieceSprites[kJigsawPieceCount]; // picture x 20 + piece
    Sprite sprOptionsMenu;                        // own files
    Sprite sprDoneHilite;
    Sprite sprDoneDown;
    // Two sets built from pieceImages, same index: the transition's and
    // the board's (which the board rescales to its cell size).
    Sprite pieceSprites[kPieceArtCount];
    Sprite boardPieceSprites[kPieceArtCount];
    Sprite sprHintArrow;
    Sprite sprChip;
    Sprite sprSmoke;
    Sprite sprSkullCrack;
    Sprite sprGoldBrick;

    Sound sndHilite;
    Sound sndClick;
    Sound sndQuorbSound;
    Sound sndQuorbSoundSkull;
    Sound sndMatch;
    Sound sndDrag;
    Sound sndSnap;
    Sound sndBonus;
    Sound sndCrack;
    Sound sndShatter;
    Sound sndBomb;
    Sound sndHiliteLevel;
    Sound sndBloop;
    Sound sndWonTheme;
    Sound sndQuorbMeter;
    Sound sndBell;
    Sound sndWarningLoop;
    Sound sndLose;
    Sound sndDiedSong;
    Sound sndMorph;
    Sound sndDanger;
    Sound sndChatter;
    Sound sndCrunch;
    Sound sndFanfare[2]; // "sounds\fanfare", "sounds\fanfare2"
    Sound sndTickTock;
    Sound sndGold;
    Sound sndClickBonus;
    Sound sndQuorbWin;
    Sound sndFirework;
    Sound sndZing;
    Sound sndShake;
    AudioLooper chatterLoop; // "sounds\chatter", started and released by the pieces

    ProfileProgress progress{};
    bool specialTransition = false; // the next Transition shows the skull
    bool progressLoaded = false;    // nothing is saved before a block was loaded
    // The profile the block was loaded for, and its file: the block is
    // written only there, and only while that profile exists.
    String progressProfile;
    String progressPath;

    HighScoreList journeyScores;
    HighScoreList casualScores;
    HighScoreList speedScores;

    GameMode gameMode = GameMode::Journey;
    bool resumeGame = false; // the next Game loads the saved game of gameMode
    Difficulty difficulty = Difficulty::Normal;
};

// The running application, beside the framework's theApp.
extern QuorbSwapApp* theQuorbSwapApp;
