// The play session: levels, map, power slots and saved games.
#include "game/Game.h"

#include "app/Console.h"
#include "app/FileProblems.h"
#include "app/IOBuffer.h"
#include "app/Math.h"
#include "app/Random.h"
#include "game/Board.h"
#include "game/Map.h"
#include "game/PauseOverlay.h"
#include "game/PopupMenu.h"
#include "game/QuorbSwapApp.h"
#include "game/SaveValidator.h"
#include "game/Transition.h"
#include "game/Tutor.h"
#include "game/WinOverlay.h"
#include "platform/Files.h"

#include <algorithm>
#include <cstdio>

namespace {
constexpr int32_t kSaveVersion = 2;
constexpr int kEscape = 27;
// Flying map items land within a few hundred updates; the bound only keeps
// a stuck one from hanging the close of the game.
constexpr int kMaxLandingUpdates = 10000;

bool HasChild(const Gadget* parent, const Gadget* child)
{
    return child && parent->children && parent->children->live.IndexOf(child) >= 0;
}

// Killed as a child, so that the parent's child manager deletes it: the map
// is not a child while a level is played.
template <typename T> void Discard(Gadget* parent, T*& gadget)
{
    if (gadget == nullptr)
        return;
    if (!HasChild(parent, gadget))
        parent->AddChild(gadget);
    gadget->Kill();
    gadget = nullptr;
}

const char* SaveNameOf(GameMode mode)
{
    switch (mode) {
    case GameMode::Casual:
        return "casual.sav";
    case GameMode::Speed:
        return "speed.sav";
    default:
        return "journey.sav";
    }
}
} // namespace

Game::Game(QuorbSwapApp* app) : application(app), saveName(SaveNameOf(app->gameMode))
{
    for (float& modifier : difficultyModifiers)
        modifier = 0.0f;
    SetFullScreen();
    TakeKeyFocus();
}

Game::~Game()
{
    Discard(this, board);
    Discard(this, map);
    Discard(this, opponentBoard);
}

void Game::Draw()
{
    if (board && !board->demoMode)
        board->DrawBackground();
}

void Game::Kill()
{
    if (tutor) {
        tutor->Kill();
        tutor = nullptr;
    }
    Gadget::Kill();
    Save();
}

void Game::Initialize()
{
    // A damaged or missing save counts as absent: the mode starts afresh.
    if (application->resumeGame && Load())
        return;
    difficulty = application->difficulty;
    if (difficulty == Difficulty::Hard)
        std::fill(std::begin(difficultyModifiers), std::end(difficultyModifiers), 1.0f);
    if (application->gameMode == GameMode::Journey) {
        ShowMap(false);
    } else {
        levelType = LevelType::Meter;
        StartLevel(false);
    }
}

void Game::StartLevel(bool withTransition)
{
    if (withTransition) {
        new Transition(application, TransitionTarget::StartLevel);
        return;
    }
    ClosePopupMenu();
    if (map)
        map->PlaceMarkerAtStart();
    // A second start (two transitions at once) replaces the level instead
    // of stacking a second one over it.
    Discard(this, board);
    Discard(this, opponentBoard);
    board = new Board(application, this);
    application->resumeGame = false;
    while (levelType == LevelType::Surprise)
        levelType = LevelType(theRandom->Get(8));
    bool duel = levelType == LevelType::Duel;
    if (duel)
        board->SetRect(0, 0, kScreenWidth / 2, kScreenHeight);
    int type = int(levelType);
    if (theConsole)
        theConsole->Printf("Difficulty Mod[%d]: %f (Original Difficulty is %d)", type,
                           double(difficultyModifiers[type]), mapDifficulty);
    board->SetupLevel(levelType, int(difficultyModifiers[type] * float(mapDifficulty)));
    if (duel) {
        opponentBoard = new Board(application, this);
        opponentBoard->SetRect(kScreenWidth / 2, 0, kScreenWidth / 2, kScreenHeight);
        opponentBoard->SetupLevel(LevelType::Duel, 0);
        AddChild(opponentBoard);
    }
    AddChild(board);
    tutor = new Tutor(this);
    application->rootGadgets.Add(tutor);
    if (map)
        RemoveChild(map);
}

void Game::ShowMap(bool withTransition)
{
    if (withTransition) {
        new Transition(application, TransitionTarget::ShowMap);
        return;
    }
    ClosePopupMenu();
    if (!map) {
        map = new Map(application, this);
        map->Generate();
    }
    map->PlaceMarkerAtStart();
    if (!HasChild(this, map))
        AddChild(map);
    Discard(this, board);
    Discard(this, opponentBoard);
}

void Game::ClosePopupMenu()
{
    if (application->popupMenu) {
        application->popupMenu->Kill();
        application->popupMenu = nullptr;
    }
}

void Game::OnLevelWon()
{
    if (board == nullptr)
        return;
    score = Math::AddSaturated(score, board->levelScore);
    // A level won by the Skip button was not played: its time is no record.
    if (!board->forceWin)
        bestTime = std::min(bestTime, board->levelTicks);
    if (map)
        map->CompleteSquare(squareX, squareY, 100);
    int type = int(levelType);
    difficultyModifiers[type] = std::min(difficultyModifiers[type], 1.0f) + 0.2f;
    for (float& modifier : difficultyModifiers)
        modifier = std::min(modifier + 0.05f, 1.0f);
    ShowMap(true);
}

void Game::OnLevelLost()
{
    // Counted here, where the lose screen's one click settles the loss, not
    // when the screen appears: a game saved and resumed on the lose screen
    // would count it twice.
    ++application->progress.journeyLevelsLost;
    application->specialTransition = true;
    ShowMap(true);
}

int Game::ScoreMultiplier(int points)
{
    // 32-bit arithmetic that wraps as the machine does, without undefined
    // overflow.
    uint32_t p = uint32_t(points);
    for (int32_t slot : powerSlots) {
        if (slot == int32_t(PowerKind::DoubleScore))
            p *= 2u;
        else if (slot == int32_t(PowerKind::TripleScore))
            p *= 3u;
    }
    int32_t result = int32_t(p);
    if (difficulty == Difficulty::Child)
        result /= 2;
    else if (difficulty == Difficulty::Hard)
        result = int32_t(uint32_t(result) * 2u);
    return result;
}

int Game::CountPowerSlots(int kind) const
{
    return int(std::count(std::begin(powerSlots), std::end(powerSlots), kind));
}

void Game::SetPaused(int mode)
{
    if (application->transition)
        return;
    bool want = mode == -1 ? !IsPaused() : mode != 0;
    if (want == IsPaused())
        return;
    if (want) {
        Pause();
        application->rootGadgets.Add(new PauseOverlay(application));
    } else {
        Resume();
    }
}

// The menu, the pause screen, a tutorial page and the application in the
// background all pause the game, each once: its boards' loops fall silent
// with the first and sound again after the last.
void Game::Pause()
{
    Gadget::Pause();
    if (pauseCount == 1)
        PauseBoardSounds(true);
}

void Game::Resume()
{
    if (pauseCount == 1)
        PauseBoardSounds(false);
    Gadget::Resume();
}

void Game::PauseBoardSounds(bool paused)
{
    for (Board* shown : {board, opponentBoard})
        if (shown)
            shown->PauseSounds(paused);
}

void Game::OpenPopupMenu()
{
    // A second menu would be left over the next screen, pointing at a
    // deleted game.
    if (application->popupMenu)
        return;
    application->popupMenu = new PopupMenu(this);
    application->rootGadgets.Add(application->popupMenu);
}

void Game::OnKey(int character)
{
    if (character == 'P' || character == 'p')
        SetPaused(-1);
    else if (character == kEscape)
        OpenPopupMenu();
}

String Game::GetSavePath()
{
    return application->profiles.GetProfilePath(saveName);
}

bool Game::Save()
{
    String path = GetSavePath();
    if (!deleteSave)
        BringToRest();
    // A game lost while it came to rest goes as well.
    if (deleteSave) {
        RemoveSaveFile(path);
        return true;
    }

    IOBuffer buffer;
    buffer.WriteInt(kSaveVersion);
    buffer.WriteInt(int32_t(difficulty));
    buffer.WriteInt(squareX);
    buffer.WriteInt(squareY);
    buffer.WriteInt(level);
    buffer.WriteInt(score);
    buffer.WriteInt(bestTime);
    buffer.WriteInt(int32_t(levelType));
    buffer.WriteInt(mapDifficulty);
    for (int32_t slot : powerSlots)
        buffer.WriteInt(slot);
    for (float modifier : difficultyModifiers)
        buffer.WriteFloat(modifier);
    buffer.WriteBool(map != nullptr);
    if (map)
        map->Save(buffer);
    buffer.WriteBool(board != nullptr);
    if (board)
        board->Save(buffer);
    buffer.WriteBool(opponentBoard != nullptr);
    if (opponentBoard)
        opponentBoard->Save(buffer);
    buffer.WriteBool(HasChild(this, map));
    buffer.WriteBool(HasChild(this, board));
    buffer.WriteBool(HasChild(this, opponentBoard));

    // A file that could not be written is told by the buffer.
    const bool written = buffer.Save(path);
    if (theConsole)
        theConsole->Printf("SAVE Filename: %s", path.CStr());
    return written;
}

// Whatever the file holds comes to rest before any of it is written: a
// board that settles may level up or end its level, which changes the
// session's own fields that are written first.
void Game::BringToRest()
{
    // A clicked win has been paid, but the switch to the map it started may
    // not have come yet: made now, it keeps the resumed game from offering
    // the win again.
    if (board && board->winOverlay && board->winOverlay->taken)
        ShowMap(false);
    // Items still flying over the map add to the score and the power slots
    // when they land.
    for (int i = 0; map && map->items.Count() > 0 && i < kMaxLandingUpdates; ++i)
        map->Update();
    for (Board* shown : {board, opponentBoard})
        if (shown)
            shown->BringToRest();
}

bool Game::Load()
{
    String path = GetSavePath();
    // Checked whole first, in a buffer of its own: the records are read on
    // trust below. A file that cannot be read is no damaged one: it stays
    // where it is.
    IOBuffer check;
    if (!check.Load(path))
        return false;
    if (!SaveValidator(check).IsValidGame(application->gameMode)) {
        KeepDamagedSave(path);
        return false;
    }
    IOBuffer buffer;
    buffer.Load(path);
    buffer.ReadInt(); // version
    Discard(this, map);
    Discard(this, board);
    difficulty = Difficulty(buffer.ReadInt());
    squareX = buffer.ReadInt();
    squareY = buffer.ReadInt();
    level = buffer.ReadInt();
    score = buffer.ReadInt();
    bestTime = buffer.ReadInt();
    levelType = LevelType(buffer.ReadInt());
    mapDifficulty = buffer.ReadInt();
    for (int32_t& slot : powerSlots)
        slot = buffer.ReadInt();
    for (float& modifier : difficultyModifiers)
        modifier = buffer.ReadFloat();
    if (buffer.ReadBool()) {
        map = new Map(application, this);
        map->Load(buffer);
    }
    if (buffer.ReadBool()) {
        board = new Board(application, this);
        board->Load(buffer);
    }
    if (buffer.ReadBool()) {
        Discard(this, opponentBoard);
        opponentBoard = new Board(application, this);
        opponentBoard->Load(buffer);
        // The computer plays this board; the player's presses never reach it.
        opponentBoard->disabled = true;
    }
    const bool mapShown = buffer.ReadBool();
    const bool boardShown = buffer.ReadBool();
    const bool opponentShown = buffer.ReadBool();
    // Stacked as a new level stacks them, whatever order the file names
    // them in: the player's board over the computer's, which it would
    // otherwise cover, and updated after it.
    if (mapShown)
        AddChild(map);
    if (opponentShown)
        AddChild(opponentBoard);
    if (boardShown)
        AddChild(board);
    if (opponentBoard) {
        board->SetRect(0, 0, kScreenWidth / 2, kScreenHeight);
        opponentBoard->SetRect(kScreenWidth / 2, 0, kScreenWidth / 2, kScreenHeight);
    }
    return true;
}

// The fresh game that follows would be saved over a file it could not read,
// and a file refused by a fault of the check would be lost for good: it is
// moved aside first, replacing one moved aside before.
void Game::KeepDamagedSave(const String& path)
{
    if (Platform::Files::Exists(path.CStr()) == Platform::Files::Presence::Missing)
        return;
    const String aside = String::StringFormat("%s.damaged", path.CStr());
    const bool moved = Platform::Files::Rename(path.CStr(), aside.CStr());
    const String kept =
        moved ? String::StringFormat("it is kept as %s", aside.CStr()) : String("it could not be kept");
    const String warning = String::StringFormat(
        "WARNING: the saved game %s is damaged and was not loaded; %s", path.CStr(), kept.CStr());
    // The game switches the session log off: a player started from a
    // terminal sees the warning there.
    std::fprintf(stderr, "%s\n", warning.CStr());
    if (theConsole != nullptr)
        theConsole->Printf("%s", warning.CStr());
}

void Game::DeleteSave()
{
    deleteSave = 1;
    RemoveSaveFile(GetSavePath());
}

// A save that could not be read is kept as a save of it would keep it: the
// game just lost is not the one it holds.
void Game::RemoveSaveFile(const String& path)
{
    if (!FileProblems::MayReplace(path.CStr()))
        return;
    // A file that is not there is no error.
    if (Platform::Files::Exists(path.CStr()) != Platform::Files::Presence::Missing &&
        !Platform::Files::DeleteFile(path.CStr()) && theConsole)
        theConsole->Printf("WARNING: the saved game %s could not be removed", path.CStr());
}
