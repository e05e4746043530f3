// The game application: start-up, asset loading, progress block and screen switching.
#include "game/QuorbSwapApp.h"

#include "app/Console.h"
#include "app/Graphics.h"
#include "app/IOBuffer.h"
#include "game/AppAsset.h"
#include "game/Game.h"
#include "game/MainMenu.h"
#include "game/OptionsMenu.h"
#include "game/PopupMenu.h"
#include "game/ProfileManagerDialog.h"
#include "game/Puzzler.h"
#include "game/SuperWin.h"
#include "game/TitleScreen.h"
#include "game/Transition.h"

#include <algorithm>
#include <set>

QuorbSwapApp* theQuorbSwapApp = nullptr;

namespace {

struct DefaultScore
{
    const char* name;
    int score;
};
const DefaultScore kDefaultScores[kHighScoreEntries] = {
    {"Tobb", 500000}, {"Wynna", 400000}, {"Drusk", 300000}, {"Pim", 200000}, {"Orvald", 100000},
};

void FillDefaults(HighScoreList& list)
{
    list.SetSize(kHighScoreEntries);
    for (const DefaultScore& entry : kDefaultScores)
        list.Insert(entry.name, entry.score);
}

// Deletes what the manager would delete on its next updates: killed live
// objects and its kill lists. Members of the application that live in the
// manager (looping sounds) are never killed, so they stay.
void DeleteKilledObjects(ObjectManager& manager)
{
    std::set<Object*> doomed;
    for (int i = 0; i < manager.live.Count(); ++i) {
        auto* object = static_cast<Object*>(manager.live.Get(i));
        if (object->killed)
            doomed.insert(object);
    }
    for (List& kill : manager.killList)
        for (int i = 0; i < kill.Count(); ++i)
            doomed.insert(static_cast<Object*>(kill.Get(i)));
    for (Object* object : doomed) {
        manager.Remove(object);
        delete object;
    }
}

template <typename T> T& Member(QuorbSwapApp& app, void* (*target)(QuorbSwapApp&))
{
    return *static_cast<T*>(target(app));
}

} // namespace

QuorbSwapApp::QuorbSwapApp()
{
    theQuorbSwapApp = this;
    SetName("Quorb Swap");
    SetVersion("1.11");
    company = "KEXGames";
    cheatsEnabled = false;
    cacheSounds = true;
    developerWarnings = false;
    if (theConsole != nullptr)
        theConsole->enabled = false;
}

// Screens go while the assets, lists and progress they touch still exist:
// the framework's managers would delete them only after these members.
QuorbSwapApp::~QuorbSwapApp()
{
    CloseAllScreens();
    if (transition != nullptr)
        transition->Kill();
    rootGadgets.PurgeKilled();
    rootGadgets.DeleteAll();
    DeleteKilledObjects(rootObjects);
    profiles.Clear();
    journeyScores.Save();
    casualScores.Save();
    speedScores.Save();
    if (theQuorbSwapApp == this)
        theQuorbSwapApp = nullptr;
}

void QuorbSwapApp::Initialize()
{
    theGraphics.SetLogicalResolution(kScreenWidth, kScreenHeight);
    App::Initialize();
    LoadSharedFiles();
    titleScreen = new TitleScreen(this);
    rootGadgets.Add(titleScreen);
}

void QuorbSwapApp::LoadSharedFiles()
{
    FillDefaults(journeyScores);
    FillDefaults(casualScores);
    FillDefaults(speedScores);
    journeyScores.Load(profiles.GetSharedPath("Journey.hs"));
    casualScores.Load(profiles.GetSharedPath("Normal.hs"));
    speedScores.Load(profiles.GetSharedPath("Speed.hs"));
    // After the shared files, whose names no stored profile may bear.
    profiles.Load(GetConfigPath());
}

SpriteBundle* QuorbSwapApp::BundleAt(int i)
{
    SpriteBundle* bundles[kAppBundleCount] = {
        &bundleMainMenu,  &bundleGameplay,  &bundleMap,   &bundlePopupMenu, &bundleJigsaw[0],
        &bundleJigsaw[1], &bundleJigsaw[2], &bundleStats, &bundleProfiles,  &bundleTutorial,
    };
    return i >= 0 && i < kAppBundleCount ? bundles[i] : nullptr;
}

void QuorbSwapApp::Load()
{
    loadTotal = kAppLoadTotal;
    for (const AppAsset& asset : AppAssetTable()) {
        LoadAsset(asset);
        if (asset.IsCountedStep()) {
            ++loadDone;
            if (quit)
                return;
        }
    }
}

void QuorbSwapApp::LoadAsset(const AppAsset& asset)
{
    using K = AppAsset::Kind;
    switch (asset.kind) {
    case K::Font:
        Member<Font>(*this, asset.target).Load(asset.name.c_str());
        break;
    case K::Bundle:
        BundleAt(asset.bundle)->Load(asset.name.c_str());
        break;
    case K::Strip:
        Member<SpriteStrip>(*this, asset.target)
            .LoadFromBundle(BundleAt(asset.bundle), asset.name.c_str(), asset.count);
        break;
    case K::FastSprite:
        Member<Sprite>(*this, asset.target).EnableFastBlit();
        [[fallthrough]];
    case K::Sprite:
        Member<Sprite>(*this, asset.target).LoadFromBundle(BundleAt(asset.bundle), asset.name.c_str());
        break;
    case K::JigsawPiece:
        jigsawPieceSprites[asset.count].LoadFromBundle(BundleAt(asset.bundle), asset.name.c_str());
        break;
    case K::SpriteFile:
        Member<Sprite>(*this, asset.target).Load(asset.name.c_str());
        break;
    case K::PieceImage:
        if (!asset.name.empty())
            pieceImages[asset.count].Load(asset.name.c_str());
        break;
    case K::PieceSprites:
        for (int variant = 0; variant < kPieceVariants; ++variant) {
            int index = asset.count * kPieceVariants + variant;
            if (!pieceImages[index].HasPixels())
                continue;
            pieceSprites[index].SetImage(&pieceImages[index]);
            boardPieceSprites[index].SetImage(&pieceImages[index]);
        }
        break;
    case K::ImageSprite:
        Member<Image>(*this, asset.target).Load(asset.name.c_str());
        Member<Sprite>(*this, asset.sprite).SetImage(&Member<Image>(*this, asset.target));
        break;
    case K::Sound:
        Member<Sound>(*this, asset.target).Load(asset.name.c_str(), asset.count);
        break;
    case K::ChatterLoop:
        chatterLoop.SetSound(Member<Sound>(*this, asset.sprite));
        break;
    }
}

void QuorbSwapApp::LoadComplete()
{
    if (titleScreen != nullptr)
        titleScreen->OnLoadComplete();
}

void QuorbSwapApp::SetActive(bool isActive)
{
    App::SetActive(isActive);
    if (!isActive && game != nullptr)
        game->SetPaused(1);
}

// The player's files that could not be read or written are told once the
// message box's art is there, when no switch or menu holds the screen; a
// level being played waits meanwhile.
void QuorbSwapApp::Update()
{
    App::Update();
    if (!loaded || loading || quit || transition != nullptr || popupMenu != nullptr || !fileNotices.HasPending())
        return;
    Game* playing = game;
    if (playing != nullptr)
        playing->Pause();
    fileNotices.ShowPending();
    if (playing != nullptr && playing == game)
        playing->Resume();
}

void QuorbSwapApp::PostDraw()
{
    if (transition != nullptr)
        transition->Draw();
}

void QuorbSwapApp::LoadConfig()
{
    String path = profiles.GetProfilePath(kProgressFile);
    progress = ProfileProgress{};
    bool good = false;
    // The read itself tells whether the file is there: one there that
    // cannot be read is told and kept, never taken for a missing one.
    IOBuffer file;
    if (file.Load(path)) {
        // A short file fills the start of the block; the rest stays zero.
        int available = std::min<int>(file.GetSize(), int(sizeof progress));
        file.ReadBytes(&progress, available);
        good = progress.version == ProfileProgress::kVersion;
    }
    if (good) {
        progress.Sanitize();
    } else {
        if (theConsole != nullptr)
            theConsole->Printf("Creating new data file!");
        progress = ProfileProgress::CreateNew();
    }
    progress.RenumberPieces();
    progressProfile = profiles.GetCurrentName();
    progressPath = path;
    progressLoaded = true;
}

void QuorbSwapApp::OnProfileChanged()
{
    LoadConfig();
}

void QuorbSwapApp::ForgetProgressOf(const String& profileName)
{
    if (progressLoaded && progressProfile.CompareNoCase(profileName) == 0)
        progressLoaded = false;
}

void QuorbSwapApp::SaveConfig()
{
    if (!progressLoaded || progress.version != ProfileProgress::kVersion)
        return;
    // Written only to the profile it belongs to, and only while it exists.
    bool ownerExists = progressProfile == ProfileManager::kNobody || profiles.Exists(progressProfile);
    if (!ownerExists)
        return;
    IOBuffer file;
    file.Load(progressPath);
    file.WriteBytes(&progress, sizeof progress);
    file.Save(progressPath);
}

void QuorbSwapApp::CloseAllScreens()
{
    SaveConfig();
    auto close = [](auto*& slot) {
        if (slot != nullptr)
            slot->Kill();
        slot = nullptr;
    };
    close(titleScreen);
    close(mainMenu);
    close(profileDialog);
    close(game);
    close(popupMenu);
    close(puzzler);
    close(optionsMenu);
    close(superWin);
}

void QuorbSwapApp::GoToMainMenu(bool withTransition)
{
    if (withTransition) {
        new Transition(this, TransitionTarget::MainMenu);
        return;
    }
    CloseAllScreens();
    mainMenu = new MainMenu(this);
    rootGadgets.Add(mainMenu);
}

void QuorbSwapApp::GoToGame(bool withTransition)
{
    if (withTransition) {
        new Transition(this, TransitionTarget::Game);
        return;
    }
    CloseAllScreens();
    game = new Game(this);
    rootGadgets.Add(game);
}

void QuorbSwapApp::GoToPuzzler(bool withTransition)
{
    if (withTransition) {
        new Transition(this, TransitionTarget::Puzzler);
        return;
    }
    CloseAllScreens();
    puzzler = new Puzzler(this);
    rootGadgets.Add(puzzler);
}

void QuorbSwapApp::TogglePuzzlerOverGame(bool withTransition)
{
    if (withTransition) {
        new Transition(this, TransitionTarget::PuzzlerOverGame);
        return;
    }
    puzzler = new Puzzler(this);
    rootGadgets.Add(puzzler);
}
