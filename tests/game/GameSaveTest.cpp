// Saved games end to end: the bytes a session writes, resuming it, damaged
// files, a save cut short by the death of the process, and every file of
// the player's that cannot be read or written.
#include "app/IOBuffer.h"
#include "app/Random.h"
#include "game/Anim_Bonus.h"
#include "game/Board.h"
#include "game/Game.h"
#include "game/GamePicker.h"
#include "game/InfoDialog.h"
#include "game/LevelupOverlay.h"
#include "game/LoseOverlay.h"
#include "game/Map.h"
#include "game/QuorbSwapApp.h"
#include "game/Quorb.h"
#include "game/ReadyOverlay.h"
#include "game/Transition.h"
#include "game/WinOverlay.h"
#include "platform/Files.h"
#include "support/BoardScene.h"
#include "support/CaughtStderr.h"
#include "support/ChildExit.h"
#include "support/FileModes.h"
#include "support/MessageFit.h"
#include "support/TemporaryFolder.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <chrono>
#include <fcntl.h>
#include <functional>
#include <map>
#include <gtest/gtest.h>
#include <iterator>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {
using Bytes = std::vector<uint8_t>;

Bytes ReadFile(const String& path)
{
    Bytes bytes;
    Platform::Files::ReadWhole(path.CStr(), bytes);
    return bytes;
}

int32_t IntAt(const Bytes& bytes, size_t at)
{
    int32_t v;
    std::memcpy(&v, &bytes[at], 4);
    return v;
}

bool HasChild(Gadget& parent, Gadget* child)
{
    return child && parent.children && parent.children->live.IndexOf(child) >= 0;
}

// The board of a level being played, and its pieces.
Board& Playing(Game& game)
{
    game.board->started = true;
    return *game.board;
}

bool AnyPiece(Game& game, bool (*test)(const Quorb&))
{
    for (int i = 0; i < game.board->pieces.Count(); ++i)
        if (test(*static_cast<const Quorb*>(game.board->pieces.Get(i))))
            return true;
    return false;
}

Quorb& FirstPiece(Game& game)
{
    return *static_cast<Quorb*>(Playing(game).pieces.Get(0));
}

// The meter is full and its display arrives at once: the next settle
// levels an endless game up.
void LevelUpNext(Game& game)
{
    Board& board = Playing(game);
    board.meterValue = board.meterShown = board.meterMax;
    board.goalCheckPending = true;
}
} // namespace

class GameSaveTest : public testing::Test
{
  protected:
    void SetUp() override
    {
        app.dataFolder = folder.Path().c_str();
        app.profiles.current = "Tester";
        theRandom->Seed(7);
        // The map and its effects take their art from the map's bundle.
        const char* programFolder = std::getenv("QS_PROGRAM_DIR");
        BoardScene::LinkAssetFolders(programFolder ? programFolder : std::filesystem::current_path());
        app.bundleMap.Load("graphics\\map");
    }

    void TearDown() override
    {
        app.game = nullptr;
        games.clear();
    }

    // Drops the newest session.
    void Drop()
    {
        games.pop_back();
        app.game = games.empty() ? nullptr : games.back().get();
    }

    // A session of the mode, started as the application starts it.
    Game* NewGame(GameMode mode, bool resume = false)
    {
        app.gameMode = mode;
        app.resumeGame = resume;
        games.push_back(std::make_unique<Game>(&app));
        Game* game = games.back().get();
        app.game = game;
        return game;
    }

    Game* StartedGame(GameMode mode)
    {
        Game* game = NewGame(mode);
        game->Initialize();
        return game;
    }

    // A journey level of the type, from the map.
    Game* JourneyLevel(LevelType type, int mapDifficulty = 30)
    {
        Game* game = StartedGame(GameMode::Journey);
        game->levelType = type;
        game->mapDifficulty = mapDifficulty;
        game->StartLevel(false);
        return game;
    }

    Bytes SaveOf(Game* game)
    {
        game->Save();
        return ReadFile(game->GetSavePath());
    }

    TemporaryFolder folder;
    QuorbSwapApp app;
    std::vector<std::unique_ptr<Game>> games;
};

TEST_F(GameSaveTest, ByteLayoutOfTheRecords)
{
    Game* casual = StartedGame(GameMode::Casual);
    ASSERT_NE(casual->board, nullptr);
    ASSERT_EQ(casual->board->pieces.Count(), 64);
    Bytes file = SaveOf(casual);
    EXPECT_EQ(file.size(), 8981u);
    EXPECT_EQ(IntAt(file, 0), 2);
    // No map; a board, no opponent; the board is the only child.
    EXPECT_EQ(file[116], 0);
    EXPECT_EQ(file[117], 1);
    EXPECT_EQ(Bytes(file.end() - 4, file.end()), (Bytes{0, 0, 1, 0}));

    app.gameMode = GameMode::Journey;
    Board gold(&app, casual);
    gold.SetupLevel(LevelType::GoGold, 45);
    ASSERT_EQ(gold.gridWidth, 9);
    ASSERT_EQ(gold.gridHeight, 7);
    IOBuffer buffer;
    gold.Save(buffer);
    Bytes record(buffer.GetData(), buffer.GetData() + buffer.GetSize());
    float cellSize;
    std::memcpy(&cellSize, &record[152], 4);
    EXPECT_EQ(cellSize, gold.cellSize);
    EXPECT_EQ(IntAt(record, 152 + 78), int32_t(LevelType::GoGold));
    EXPECT_EQ(Bytes(record.begin() + 402, record.begin() + 405), (Bytes{0, 0, 0}));
    EXPECT_EQ(IntAt(record, 405), 63);
    EXPECT_EQ(record.size(), 409u + 63u * 133u);
}

TEST_F(GameSaveTest, SaveLoadSaveGivesTheSameBytes)
{
    struct Case {
        const char* what;
        std::function<Game*()> make;
    };
    const Case cases[] = {
        {"casual", [&] { return StartedGame(GameMode::Casual); }},
        {"speed", [&] { return StartedGame(GameMode::Speed); }},
        {"journey on the map", [&] { return StartedGame(GameMode::Journey); }},
        {"journey GoGold", [&] { return JourneyLevel(LevelType::GoGold, 60); }},
        {"journey duel", [&] { return JourneyLevel(LevelType::Duel); }},
        {"win overlay",
         [&] {
             Game* g = JourneyLevel(LevelType::Meter);
             g->board->winOverlay = new WinOverlay(g->board);
             g->board->AddChild(g->board->winOverlay);
             return g;
         }},
        {"lose overlay",
         [&] {
             Game* g = JourneyLevel(LevelType::Drain);
             g->board->loseOverlay = new LoseOverlay(g->board, LoseReason::NoMoves);
             g->board->AddChild(g->board->loseOverlay);
             return g;
         }},
        {"level-up overlay",
         [&] {
             Game* g = StartedGame(GameMode::Speed);
             g->level = 4;
             g->board->levelupOverlay = new LevelupOverlay(g->board);
             g->board->AddChild(g->board->levelupOverlay);
             for (int i = 0; i < 60; ++i)
                 g->board->levelupOverlay->Update();
             return g;
         }},
    };
    for (const Case& c : cases) {
        Game* first = c.make();
        Bytes saved = SaveOf(first);
        Game* resumed = NewGame(app.gameMode, true);
        ASSERT_TRUE(resumed->Load()) << c.what;
        // A resumed lose overlay shakes the board again, as when it opened.
        if (first->board && first->board->loseOverlay) {
            const size_t board = 118 + 3618;
            const size_t shakeAt = board + 26 + size_t(first->board->gridWidth * first->board->gridHeight) + 74;
            const float shake = 10.0f;
            std::memcpy(&saved[shakeAt], &shake, 4);
        }
        EXPECT_EQ(SaveOf(resumed), saved) << c.what;
    }
}

// A save that passes the check is read on trust: whatever it holds, the
// game must run on from it and save again as a file that loads. Each case
// writes one hostile value through the game's own save; the load may refuse
// it, or the resumed game runs a few ticks (animations caught mid-way) and
// a few hundred more, saving after each stretch.
TEST_F(GameSaveTest, AnAcceptedSaveRunsAndSavesAgain)
{
    const float huge = 3e38f;
    auto casual = [&] { return StartedGame(GameMode::Casual); };
    auto matches = [&] { return JourneyLevel(LevelType::Matches); };
    auto duel = [&] { return JourneyLevel(LevelType::Duel); };
    struct Case
    {
        const char* what;
        std::function<Game*()> make;
        std::function<void(Game&)> spoil;
        // What the resumed game must show after the run, besides its saves.
        std::function<bool(Game&)> sane = [](Game&) { return true; };
    };
    const Case cases[] = {
        {"falling at -3e38", casual,
         [&](Game& g) {
             Quorb& q = FirstPiece(g);
             q.falling = true;
             q.fallSpeed = -huge;
         }},
        {"flying at -3e38", casual,
         [&](Game& g) {
             Quorb& q = FirstPiece(g);
             q.flying = true;
             q.flySpeed = -huge;
         }},
        {"swapping from -3e38", casual,
         [&](Game& g) {
             Quorb& q = FirstPiece(g);
             q.swapping = true;
             q.moveAngle = -huge;
         },
         [](Game& g) { return !AnyPiece(g, [](const Quorb& q) { return q.swapping; }); }},
        {"shaking by 3e38", casual,
         [&](Game& g) {
             Quorb& q = FirstPiece(g);
             q.skull = q.hitShaking = true;
             q.shakeAmplitude = huge;
         },
         [](Game& g) { return !AnyPiece(g, [](const Quorb& q) { return q.hitShaking; }); }},
        {"popping from -3e38", casual,
         [&](Game& g) {
             Quorb& q = FirstPiece(g);
             q.popping = true;
             q.popScale = -huge;
         }},
        {"pulsing from 3e38", casual,
         [&](Game& g) {
             Quorb& q = FirstPiece(g);
             q.super = true;
             q.pulsePhase = huge;
         }},
        {"pieces 2^31-1 ticks old", casual,
         [](Game& g) {
             for (int i = 0; i < Playing(g).pieces.Count(); ++i)
                 static_cast<Quorb*>(g.board->pieces.Get(i))->age = INT32_MAX;
         },
         [](Game& g) { return !AnyPiece(g, [](const Quorb& q) { return q.age < 0; }); }},
        {"a change due in -2^31 ticks", casual,
         [](Game& g) {
             Quorb& q = FirstPiece(g);
             q.changing = true;
             q.changeDelay = INT32_MIN;
         },
         [](Game& g) { return !AnyPiece(g, [](const Quorb& q) { return q.changing; }); }},
        {"played for 2^31-1 ticks", casual, [](Game& g) { Playing(g).levelTicks = INT32_MAX; }},
        {"a meter drained below -3e38", casual,
         [&](Game& g) {
             Board& b = Playing(g);
             b.meterValue = b.meterShown = -huge;
             b.meterDrain = -huge;
         }},
        {"a meter of 3e38 filling", casual,
         [&](Game& g) {
             Playing(g).meterMax = huge;
             LevelUpNext(g);
         }},
        {"pressure rising by 3e38 a move", casual,
         [&](Game& g) {
             Playing(g).pressurePerMove = huge;
             LevelUpNext(g);
         }},
        {"level 2^31-1 going up", casual,
         [](Game& g) {
             g.level = INT32_MAX;
             LevelUpNext(g);
         }},
        {"a stopwatch at -2^31", matches, [](Game& g) { Playing(g).countdown = INT32_MIN; },
         [](Game& g) { return g.board->countdown <= g.board->countdownStart; }},
        {"a stopwatch of 2^31-1", matches, [](Game& g) { Playing(g).countdown = INT32_MAX; },
         [](Game& g) { return g.board->countdown <= g.board->countdownStart; }},
        {"the computer's move due at -2^31", duel, [](Game& g) { g.opponentBoard->aiCountdown = INT32_MIN; },
         [](Game& g) { return g.opponentBoard->aiCountdown < 450; }},
        {"the computer's pointer due at -2^31", duel,
         [](Game& g) { g.opponentBoard->aiWanderTimer = INT32_MIN; },
         [](Game& g) { return g.opponentBoard->aiWanderTimer <= 100; }},
        {"the computer thinking 2^31-1 ticks", duel,
         [](Game& g) {
             g.opponentBoard->aiThinkTime = INT32_MAX;
             g.opponentBoard->aiCountdown = 1;
         }},
        {"a won banner held 2^31-1 ticks", matches,
         [](Game& g) {
             Board& b = Playing(g);
             b.winOverlay = new WinOverlay(&b);
             b.AddChild(b.winOverlay);
             b.winOverlay->state = 1;
             b.winOverlay->holdCounter = INT32_MAX;
         },
         [](Game& g) { return g.board->winOverlay->state == 3; }},
        {"a level-up held -2^31 ticks", casual,
         [](Game& g) {
             Board& b = Playing(g);
             b.levelupOverlay = new LevelupOverlay(&b);
             b.AddChild(b.levelupOverlay);
             b.levelupOverlay->state = 1;
             b.levelupOverlay->burstsLeft = 0;
             b.levelupOverlay->holdTimer = INT32_MIN;
         },
         [](Game& g) { return g.board->levelupOverlay == nullptr; }},
    };
    auto reloads = [&] {
        bool loaded = NewGame(app.gameMode, true)->Load();
        Drop();
        return loaded;
    };
    for (const Case& c : cases) {
        Game* spoilt = c.make();
        c.spoil(*spoilt);
        ASSERT_TRUE(spoilt->Save()) << c.what;
        Game* resumed = NewGame(app.gameMode, true);
        if (!resumed->Load())
            continue;
        for (int ticks : {5, 300}) {
            for (int tick = 0; tick < ticks; ++tick)
                resumed->CoreUpdate();
            ASSERT_TRUE(resumed->Save()) << c.what;
            EXPECT_TRUE(reloads()) << c.what << ", saved after " << ticks << " more ticks";
        }
        EXPECT_TRUE(c.sane(*resumed)) << c.what;
    }
}

TEST_F(GameSaveTest, ResumesWhereTheGameWasLeft)
{
    // A duel: both boards side by side, the map kept but not shown.
    Game* duel = JourneyLevel(LevelType::Duel);
    duel->Save();
    Game* back = NewGame(GameMode::Journey, true);
    back->Initialize();
    ASSERT_NE(back->board, nullptr);
    ASSERT_NE(back->opponentBoard, nullptr);
    EXPECT_EQ(back->board->rect.x, 0.0f);
    EXPECT_EQ(back->opponentBoard->rect.x, 400.0f);
    EXPECT_EQ(back->opponentBoard->rect.w, 400.0f);
    EXPECT_EQ(back->board->rect.h, 600.0f);
    EXPECT_TRUE(back->opponentBoard->isComputer);
    EXPECT_TRUE(HasChild(*back, back->board));
    EXPECT_TRUE(HasChild(*back, back->opponentBoard));
    ASSERT_NE(back->map, nullptr);
    EXPECT_FALSE(HasChild(*back, back->map));
    EXPECT_EQ(back->board->readyOverlay, nullptr);

    // A level-up in progress keeps its state and the bursts still to come.
    Game* speed = StartedGame(GameMode::Speed);
    speed->level = 5;
    LevelupOverlay* overlay = new LevelupOverlay(speed->board);
    speed->board->levelupOverlay = overlay;
    speed->board->AddChild(overlay);
    for (int i = 0; i < 80; ++i)
        overlay->Update();
    int32_t state = overlay->state;
    int32_t bursts = overlay->burstsLeft;
    speed->Save();
    Game* again = NewGame(GameMode::Speed, true);
    again->Initialize();
    ASSERT_NE(again->board->levelupOverlay, nullptr);
    EXPECT_EQ(again->board->levelupOverlay->state, state);
    EXPECT_EQ(again->board->levelupOverlay->burstsLeft, bursts);
    EXPECT_EQ(again->board->levelupOverlay->particles.Count(), 0);
    // More bursts than the level could have started is a damaged save.
    again->board->levelupOverlay->burstsLeft = again->level;
    again->Save();
    EXPECT_FALSE(NewGame(GameMode::Speed, true)->Load());

    // A journey on the map comes back on the map.
    Game* journey = StartedGame(GameMode::Journey);
    journey->score = 1234;
    journey->powerSlots[0] = int32_t(PowerKind::Hint);
    Bytes file = SaveOf(journey);
    Game* mapBack = NewGame(GameMode::Journey, true);
    mapBack->Initialize();
    EXPECT_EQ(mapBack->board, nullptr);
    ASSERT_NE(mapBack->map, nullptr);
    EXPECT_TRUE(HasChild(*mapBack, mapBack->map));
    EXPECT_EQ(mapBack->score, 1234);
    EXPECT_EQ(mapBack->powerSlots[0], int32_t(PowerKind::Hint));
    EXPECT_EQ(Bytes(file.end() - 3, file.end()), (Bytes{1, 0, 0}));
}

// The hint arrow's spin grew by 2.5 an update without bound and was saved
// so: after some 400 s on one level the save no longer loaded.
TEST_F(GameSaveTest, TheHintSpinStaysAnAngleInPlayAndInOldSaves)
{
    Game* casual = StartedGame(GameMode::Casual);
    Board* board = casual->board;
    board->hintSpin = 358.5f;
    board->Update();
    EXPECT_EQ(board->hintSpin, 1.0f);

    casual->level = 5;
    Bytes file = SaveOf(casual);
    // No map, then the board: its spin follows the grid and 62 bytes.
    const size_t spinAt = 118 + 26 + size_t(board->gridWidth * board->gridHeight) + 62;
    const float old = 100002.5f; // some 40 000 updates
    std::memcpy(&file[spinAt], &old, 4);
    Platform::Files::WriteWhole(casual->GetSavePath().CStr(), file.data(), file.size());
    Game* resumed = NewGame(GameMode::Casual, true);
    ASSERT_TRUE(resumed->Load());
    EXPECT_EQ(resumed->level, 5);
    EXPECT_EQ(resumed->board->hintSpin, std::fmod(old, 360.0f));
}

TEST_F(GameSaveTest, SkullsOfAReadyLevelAreSavedPlaced)
{
    Game* game = JourneyLevel(LevelType::Skulls, 40);
    game->board->Initialize();
    ASSERT_NE(game->board->readyOverlay, nullptr);
    int32_t skulls = game->board->skullCount;
    game->Save();
    Game* back = NewGame(GameMode::Journey, true);
    ASSERT_TRUE(back->Load());
    int placed = 0;
    for (int i = 0; i < back->board->pieces.Count(); ++i) {
        Quorb* piece = static_cast<Quorb*>(back->board->pieces.Get(i));
        placed += piece->skull && piece->levelSkull ? 1 : 0;
        EXPECT_FALSE(piece->flying);
    }
    EXPECT_EQ(placed, skulls);
}

TEST_F(GameSaveTest, DamagedSavesLoadAsAbsentAndAreMovedAside)
{
    Game* game = JourneyLevel(LevelType::Collect);
    Bytes whole = SaveOf(game);
    String path = game->GetSavePath();
    const String aside = String::StringFormat("%s.damaged", path.CStr());
    auto loadsAsAbsent = [&](const Bytes& bytes) {
        Platform::Files::WriteWhole(path.CStr(), bytes.data(), bytes.size());
        Game* resumed = NewGame(GameMode::Journey, true);
        bool loaded = resumed->Load();
        bool untouched = resumed->map == nullptr && resumed->board == nullptr && resumed->score == 0;
        Drop();
        return !loaded && untouched &&
               Platform::Files::Exists(path.CStr()) == Platform::Files::Presence::Missing &&
               ReadFile(aside) == bytes;
    };
    for (size_t length = 0; length < whole.size(); length += 97)
        ASSERT_TRUE(loadsAsAbsent(Bytes(whole.begin(), whole.begin() + long(length)))) << length;
    struct Case {
        const char* what;
        size_t at;
        int32_t value;
    };
    const size_t board = 118 + 3618;
    const Case cases[] = {
        {"version 3", 0, 3},
        {"width 13", board, 13},
        {"height 0", board + 4, 0},
        {"level type 8", 28, 8},
    };
    for (const Case& c : cases) {
        Bytes bytes = whole;
        std::memcpy(&bytes[c.at], &c.value, 4);
        EXPECT_TRUE(loadsAsAbsent(bytes)) << c.what;
    }

    // Seeded damage under the sanitizers: what is accepted must load.
    Random random;
    random.Seed(99);
    for (int round = 0; round < 300; ++round) {
        Bytes bytes = whole;
        bytes[size_t(random.Get(int32_t(bytes.size())))] = uint8_t(random.Get(256));
        Platform::Files::WriteWhole(path.CStr(), bytes.data(), bytes.size());
        Game* resumed = NewGame(GameMode::Journey, true);
        resumed->Load();
        Drop();
    }
}

// A file that fails the check is moved aside before the fresh game that
// follows is saved in its place, in every mode, and standard error names it
// (the game runs with the session log off).
TEST_F(GameSaveTest, AFreshGameStartsWhenTheSaveIsDamagedAndTheFileIsKeptAside)
{
    for (GameMode mode : {GameMode::Journey, GameMode::Casual, GameMode::Speed}) {
        Game* first = StartedGame(mode);
        const String path = first->GetSavePath();
        const std::string aside = std::string(path.CStr()) + ".damaged";
        Platform::Files::WriteWhole(aside, "older", 5);
        Bytes bytes = SaveOf(first);
        bytes[5] = 9; // difficulty
        Platform::Files::WriteWhole(path.CStr(), bytes.data(), bytes.size());

        Game* resumed = NewGame(mode, true);
        CaughtStderr caught;
        resumed->Initialize();
        const std::string warned = caught.Text();
        EXPECT_TRUE(resumed->board != nullptr || resumed->map != nullptr) << path.CStr();
        EXPECT_EQ(ReadFile(aside.c_str()), bytes) << "replaces the older one";
        resumed->Kill();
        EXPECT_EQ(ReadFile(aside.c_str()), bytes) << "the fresh game is saved beside it";
        Game* fresh = NewGame(mode, true);
        EXPECT_TRUE(fresh->Load()) << path.CStr();
        EXPECT_NE(warned.find("WARNING: the saved game " + std::string(path.CStr()) +
                              " is damaged and was not loaded; it is kept as " + aside + "\n"),
                  std::string::npos)
            << warned;
    }
}

// The board record does not say that the player cannot touch the computer's
// board: it follows from the board being the opponent's.
TEST_F(GameSaveTest, AResumedDuelLeavesTheComputersBoardToTheComputer)
{
    Game* duel = JourneyLevel(LevelType::Duel);
    duel->Save();
    Game* back = NewGame(GameMode::Journey, true);
    back->Initialize();
    ASSERT_NE(back->opponentBoard, nullptr);
    Board* computer = back->opponentBoard;
    Quorb* piece = static_cast<Quorb*>(computer->pieces.Get(0));
    const int x = int(computer->rect.x + computer->gridRect.x + piece->pos.x);
    const int y = int(computer->rect.y + computer->gridRect.y + piece->pos.y);
    const int leftButton = -1;
    back->CoreMouseDown(x, y, leftButton);
    back->CoreMouseUp(x, y, leftButton);
    EXPECT_EQ(computer->selected, nullptr);
    EXPECT_FALSE(computer->pressed);
    EXPECT_TRUE(computer->disabled);
}

// Closing the window in the moment between the click on a won level and the
// switch to the map saved the level with its win still open: the resumed
// game offered the win again and paid it twice.
TEST_F(GameSaveTest, AWinClickedBeforeTheSwitchToTheMapResumesTakenOnce)
{
    Game* game = JourneyLevel(LevelType::Meter);
    Board* board = game->board;
    board->levelScore = 1000;
    board->forceWin = true;
    board->CheckGoal();
    ASSERT_NE(board->winOverlay, nullptr);
    board->winOverlay->state = 3;
    board->winOverlay->MouseDown(0, 0, -1);
    const int32_t level = game->level;
    ASSERT_EQ(game->score, 1000);
    ASSERT_NE(app.transition, nullptr) << "on its way to the map";
    game->Kill();
    delete app.transition; // the program ends with it

    Game* back = NewGame(GameMode::Journey, true);
    back->Initialize();
    EXPECT_EQ(back->board, nullptr);
    ASSERT_NE(back->map, nullptr);
    EXPECT_TRUE(HasChild(*back, back->map));
    EXPECT_EQ(back->score, 1000);
    EXPECT_EQ(back->level, level);
    // The square turns over once the reveal the win started has run.
    for (int i = 0; i < 500; ++i)
        back->map->Update();
    EXPECT_TRUE(back->map->Square(back->squareX, back->squareY).won);
}

// A resumed overlay is built as when its level ended: the lose overlay
// shakes the board, and each drops the check its end made pointless.
TEST_F(GameSaveTest, ResumedOverlaysShakeAndDropTheirChecksAsWhenOpened)
{
    struct Case {
        const char* what;
        LevelType type;
        size_t flagAt; // from the fields after the grids
        std::function<void(Board*)> open;
        std::function<bool(const Board&)> resumed;
    };
    const Case cases[] = {
        {"lose", LevelType::Drain, 122,
         [](Board* b) {
             b->loseOverlay = new LoseOverlay(b, LoseReason::MeterDrained);
             b->AddChild(b->loseOverlay);
         },
         [](const Board& b) { return b.loseOverlay && b.shake == 10.0f && !b.goalCheckPending; }},
        {"win", LevelType::Meter, 123,
         [](Board* b) {
             b->winOverlay = new WinOverlay(b);
             b->AddChild(b->winOverlay);
         },
         [](const Board& b) { return b.winOverlay && !b.loseCheckPending; }},
    };
    for (const Case& c : cases) {
        Game* game = JourneyLevel(c.type);
        c.open(game->board);
        Bytes file = SaveOf(game);
        // The map, then the board; its fields follow the grid.
        const size_t board = 118 + 3618;
        ASSERT_EQ(IntAt(file, board), game->board->gridWidth) << c.what;
        const size_t fields = board + 26 + size_t(game->board->gridWidth * game->board->gridHeight);
        const float still = 0.0f;
        std::memcpy(&file[fields + 74], &still, 4);
        file[fields + c.flagAt] = 1;
        Platform::Files::WriteWhole(game->GetSavePath().CStr(), file.data(), file.size());
        Game* back = NewGame(GameMode::Journey, true);
        ASSERT_TRUE(back->Load()) << c.what;
        EXPECT_TRUE(c.resumed(*back->board)) << c.what;
    }
}

// A Casual or Speed save holding a lost game's screen is accepted; resumed,
// it goes once that screen is clicked through, as a game lost in play does,
// instead of coming back lost again and again.
TEST_F(GameSaveTest, AResumedLostEndlessGameLeavesNoSaveWhenItsLoseScreenEnds)
{
    for (GameMode mode : {GameMode::Casual, GameMode::Speed}) {
        Board& lost = Playing(*StartedGame(mode));
        lost.loseOverlay = new LoseOverlay(&lost, LoseReason::NoMoves);
        lost.AddChild(lost.loseOverlay);
        lost.levelScore = 0; // no record to name
        const String path = lost.game->GetSavePath();
        lost.game->Save();
        ASSERT_EQ(Platform::Files::Exists(path.CStr()), Platform::Files::Presence::Readable) << int(mode);

        Game* resumed = NewGame(mode, true);
        ASSERT_TRUE(resumed->Load()) << int(mode);
        LoseOverlay& lose = *resumed->board->loseOverlay;
        for (int i = 0; i < 1000 && lose.promptAlpha < 1.0f; ++i)
            lose.Update();
        lose.MouseDown(400, 560, 1);
        ASSERT_NE(app.transition, nullptr) << "the click goes on to the records";
        app.transition->Kill();
        app.CloseAllScreens(); // as the switch to the records does
        EXPECT_EQ(Platform::Files::Exists(path.CStr()), Platform::Files::Presence::Missing) << int(mode);
    }
}

TEST_F(GameSaveTest, DeleteFlagRemovesTheFileInsteadOfWriting)
{
    Game* speed = StartedGame(GameMode::Speed);
    speed->Save();
    ASSERT_EQ(Platform::Files::Exists(speed->GetSavePath().CStr()), Platform::Files::Presence::Readable);
    speed->deleteSave = 1;
    speed->Save();
    EXPECT_EQ(Platform::Files::Exists(speed->GetSavePath().CStr()), Platform::Files::Presence::Missing);
    speed->Save(); // no file is no error
    Game* journey = StartedGame(GameMode::Journey);
    journey->Save();
    journey->DeleteSave();
    EXPECT_EQ(Platform::Files::Exists(journey->GetSavePath().CStr()), Platform::Files::Presence::Missing);
    journey->Save();
    EXPECT_EQ(Platform::Files::Exists(journey->GetSavePath().CStr()), Platform::Files::Presence::Missing);
}

// A child saves in a loop, each save with a new score, and is killed at
// random moments: the file is always one whole save.
TEST_F(GameSaveTest, AKilledSaveLeavesAWholeFile)
{
    Game* game = StartedGame(GameMode::Casual);
    Bytes first = SaveOf(game);
    String path = game->GetSavePath();
    Random random;
    random.Seed(5);
    for (int round = 0; round < 200; ++round) {
        const pid_t child = StartWorkingChild([game] {
            for (int32_t score = 1;; ++score) {
                game->score = score;
                game->Save();
            }
        });
        ASSERT_GT(child, 0);
        usleep(useconds_t(1000 + random.Get(10000)));
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        Bytes now = ReadFile(path);
        ASSERT_EQ(now.size(), first.size()) << round;
        // Only the score differs from the first save.
        EXPECT_TRUE(std::equal(now.begin() + 24, now.end(), first.begin() + 24)) << round;
        Game* resumed = NewGame(GameMode::Casual, true);
        EXPECT_TRUE(resumed->Load()) << round;
        Drop();
    }
}

TEST_F(GameSaveTest, SavingBringsTheSessionToRest)
{
    // A bonus still flying over the map lands before the score and the
    // power slots are written.
    Game* journey = StartedGame(GameMode::Journey);
    Map* map = journey->map;
    map->lastBonusKind = int32_t(PowerKind::Points10000);
    Anim_Bonus* bonus = new Anim_Bonus(map, map);
    bonus->x = 100.0f;
    bonus->y = 100.0f;
    bonus->targetX = 742.0f;
    bonus->targetY = 310.0f;
    map->items.Add(bonus);
    Bytes file = SaveOf(journey);
    EXPECT_EQ(IntAt(file, 20), 10000);
    EXPECT_EQ(IntAt(file, 36), int32_t(PowerKind::Points10000));

    // A press held on the board would never be released: the save neither
    // waits for it nor keeps a piece in mid-swap.
    Game* casual = StartedGame(GameMode::Casual);
    Board* board = casual->board;
    board->pressed = true;
    Quorb* a = static_cast<Quorb*>(board->pieces.Get(0));
    a->MoveBy(0.0f, 1.0f);
    casual->Save();
    EXPECT_FALSE(board->pressed);
    EXPECT_FALSE(a->swapping);
    EXPECT_EQ(a->pendingMoves, 0);
}

namespace {
// What the game was doing when it was closed.
enum Moment { kPlaying, kCascade, kOverlay, kTransition, kMomentCount };

// One game mode played by the board's own move finder through the
// application's own updates and screen switches, closed and resumed at
// random updates. Every file it leaves must load, and a loaded game saved
// again at once must give the same bytes.
class LongPlay
{
  public:
    LongPlay(QuorbSwapApp& app, GameMode mode, uint32_t seed) : app(app), mode(mode)
    {
        theRandom->Seed(seed);
        choices.Seed(seed);
        app.gameMode = mode;
        Open(false);
    }

    void Run(int ticks)
    {
        int closeAt = NextClose(0);
        for (int tick = 1; tick <= ticks && !testing::Test::HasFatalFailure(); ++tick) {
            app.rootGadgets.Update();
            app.rootObjects.Update();
            ++app.updateCount;
            Act();
            // A running transition is short: closes are sought in it.
            if (tick >= closeAt || (app.transition && choices.Get(150) == 0)) {
                CloseAndResume();
                closeAt = NextClose(tick);
            }
        }
        CloseAndResume();
    }

    int closes = 0;
    int duelSaves = 0;
    int moments[kMomentCount] = {};

  private:
    int NextClose(int tick) { return tick + 200 + choices.Get(4000); }

    void Open(bool resume)
    {
        app.resumeGame = resume;
        app.GoToGame(false);
    }

    void Act()
    {
        Game* game = app.game;
        if (game == nullptr || !game->initialised || app.transition)
            return;
        if (game->board)
            PlayLevel(*game->board);
        else if (game->map)
            PlayMap(*game->map);
    }

    bool Waited(int most)
    {
        if (--wait > 0)
            return false;
        wait = choices.Get(most) + 1;
        return true;
    }

    void PlayLevel(Board& board)
    {
        if (board.winOverlay) {
            if (board.winOverlay->state == 3 && !board.winOverlay->disabled && Waited(300))
                board.winOverlay->MouseDown(0, 0, kLeftButton);
            return;
        }
        if (board.loseOverlay) {
            LoseOverlay& lose = *board.loseOverlay;
            // A lost Casual or Speed game ends with its file removed.
            if (mode == GameMode::Journey && lose.promptAlpha >= 1.0f && !lose.disabled && Waited(300))
                lose.MouseDown(0, 0, kLeftButton);
            return;
        }
        if (board.readyOverlay || board.levelupOverlay || board.movingCount > 0 || !board.initialised ||
            !Waited(40))
            return;
        // Skull and marked-cell levels can take long for a player that looks
        // no further than the next move.
        if (mode == GameMode::Journey && board.levelTicks > kLongestLevel && !board.forceWin) {
            board.forceWin = true;
            board.goalCheckPending = true;
        }
        Point pos;
        Point dir;
        if (!board.FindPossibleMove(&pos, &dir))
            return; // the loss check finds it
        Quorb* first = board.PieceAt(pos.x, pos.y);
        Quorb* second = board.PieceAt(pos.x + dir.x * board.cellSize, pos.y + dir.y * board.cellSize);
        board.cascadeLevel = 0;
        board.hintShown = false;
        board.TrySwap(first, second);
    }

    void PlayMap(Map& map)
    {
        if (map.parent != app.game || !map.revealQueue.empty() || map.items.Count() > 0 || map.disabled ||
            !Waited(100))
            return;
        std::vector<int> open;
        for (int i = 0; i < kMapSquareCount; ++i) {
            const MapSquare& square = map.squares[i];
            if (!square.locked && !square.won && !square.isGoal)
                open.push_back(i);
        }
        if (open.empty()) {
            Open(false); // the way is walked: a new journey
            return;
        }
        const int chosen = open[size_t(choices.Get(int(open.size())))];
        MapSquare& square = map.squares[chosen];
        // Every third level played is a duel.
        if (square.type < 8 && levelsChosen++ % 3 == 0)
            square.type = int32_t(LevelType::Duel);
        const int x = int(Map::kLeft + Map::kColumnPitch * float(chosen / kMapSize));
        const int y = int(Map::kTop + Map::kRowPitch * float(chosen % kMapSize));
        map.OnMouseMove(x, y);
        map.OnMouseDown(x, y, kLeftButton);
    }

    Moment MomentNow() const
    {
        if (app.transition)
            return kTransition;
        const Board* board = app.game ? app.game->board : nullptr;
        if (board == nullptr)
            return kPlaying;
        if (board->winOverlay || board->loseOverlay || board->levelupOverlay)
            return kOverlay;
        return board->movingCount > 0 || board->cascadeLevel > 0 ? kCascade : kPlaying;
    }

    void CloseAndResume()
    {
        ++closes;
        moments[MomentNow()] += 1;
        const String path = app.game->GetSavePath();
        const bool lost = app.game->deleteSave != 0;
        app.CloseAllScreens(); // the game saves as it goes
        if (app.transition)
            app.transition->Kill();
        if (lost) {
            EXPECT_EQ(Platform::Files::Exists(path.CStr()), Platform::Files::Presence::Missing)
                << "a lost game leaves no save";
            Open(false);
            return;
        }
        ExpectLoadsAsSaved(path);
        Open(true);
    }

    void ExpectLoadsAsSaved(const String& path)
    {
        Bytes saved = ReadFile(path);
        Game again(&app);
        ASSERT_TRUE(again.Load()) << "close " << closes;
        // A square chosen on the way to its level is free again on the
        // resumed map, and none is hovered until the pointer moves.
        if (again.map) {
            saved[kChosenAt] = 0;
            std::fill(saved.begin() + kChosenAt - 16, saved.begin() + kChosenAt, uint8_t(0xFF));
        }
        duelSaves += again.opponentBoard != nullptr ? 1 : 0;
        const Board* board = again.board;
        // A resumed lose overlay shakes the board again, and the resumed lose
        // and win overlays drop the checks their ends made pointless.
        const bool reopened = board && (board->loseOverlay || board->winOverlay);
        again.saveName = "again.sav";
        again.Save();
        const Bytes resaved = ReadFile(again.GetSavePath());
        ASSERT_EQ(resaved.size(), saved.size()) << "close " << closes;
        size_t differing = 0;
        for (size_t i = 0; i < saved.size(); ++i)
            differing += saved[i] != resaved[i] ? 1 : 0;
        EXPECT_LE(differing, reopened ? 6u : 0u) << "close " << closes;
    }

    static constexpr int kLeftButton = -1;
    // The map record follows the session's fields and its bool; its chosen
    // flag follows the squares and four ints.
    static constexpr size_t kChosenAt = 117 + sizeof(MapSquare) * kMapSquareCount + 4 * 4;
    static constexpr int32_t kLongestLevel = 15000;

    QuorbSwapApp& app;
    GameMode mode;
    Random choices;
    int wait = 0;
    int levelsChosen = 0;
};
} // namespace

// Saves after long play, with cascades running, overlays open and screens
// switching, must come back: a refused save starts the game afresh.
TEST_F(GameSaveTest, LongPlayClosedAndResumedAtRandomKeepsEverySave)
{
    for (uint8_t& shown : app.progress.tutorialShown)
        shown = 1;
    const struct {
        GameMode mode;
        uint32_t seed;
    } cases[] = {{GameMode::Casual, 11}, {GameMode::Speed, 12}, {GameMode::Journey, 13}};
    for (const auto& c : cases) {
        LongPlay play(app, c.mode, c.seed);
        play.Run(200000);
        const int mode = int(c.mode);
        EXPECT_GE(play.closes, 50) << mode;
        EXPECT_GT(play.moments[kCascade], 0) << mode;
        EXPECT_GT(play.moments[kOverlay], 0) << mode;
        if (c.mode == GameMode::Journey) {
            EXPECT_GT(play.moments[kTransition], 0);
            EXPECT_GT(play.duelSaves, 0);
        }
        app.CloseAllScreens();
        app.rootGadgets.Update();
    }
}

namespace {
namespace fs = std::filesystem;

constexpr int kCannotDropCapabilities = 3;
constexpr int kNoFullDisk = 4;

// A name as long as a player's may be, in a wide letter: the longest
// messages of the player's files are of that player's.
const std::string kLongestPlayer(ProfileManager::kMaxNameBytes, 'W');

// Every file a played data folder holds, as the data folder names it.
const std::vector<std::string> kPlayersFiles = {
    "config.cfg", // the settings and the profile list
    "Profiles/Journey.hs",
    "Profiles/Normal.hs",
    "Profiles/Speed.hs",
    "Profiles/" + kLongestPlayer + "/config.cfg", // the profile's progress
    "Profiles/" + kLongestPlayer + "/journey.sav",
    "Profiles/" + kLongestPlayer + "/casual.sav",
    "Profiles/" + kLongestPlayer + "/speed.sav",
};
constexpr GameMode kModes[] = {GameMode::Journey, GameMode::Casual, GameMode::Speed};

// How often the line naming the file stands in what the game printed.
size_t LinesNaming(const std::string& printed, const std::string& path, const std::string& what)
{
    const std::string line = "WARNING: " + path + (what.empty() ? "" : " could not be " + what);
    size_t count = 0;
    for (size_t at = printed.find(line); at != std::string::npos; at = printed.find(line, at + 1))
        ++count;
    return count;
}

// Whether the folder can be mounted over with a small file system of the
// process's own: as root in a private mount namespace, or as anyone in a
// user namespace of its own.
bool MountSmallDisk(const std::string& folder, std::string& why)
{
    const uid_t uid = geteuid();
    const gid_t gid = getegid();
    if (unshare(CLONE_NEWNS) != 0) {
        if (unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) {
            why = std::string("no mount namespace: ") + std::strerror(errno);
            return false;
        }
        const auto put = [](const char* file, const std::string& text) {
            const int fd = open(file, O_WRONLY | O_CLOEXEC);
            const bool done = fd >= 0 && write(fd, text.data(), text.size()) == ssize_t(text.size());
            if (fd >= 0)
                close(fd);
            return done;
        };
        const bool mapped = put("/proc/self/setgroups", "deny") &&
                            put("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1") &&
                            put("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1");
        if (!mapped) {
            why = "no user mapping in the user namespace";
            return false;
        }
    }
    if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        mount("tmpfs", folder.c_str(), "tmpfs", 0, "size=256k,mode=0700") != 0) {
        why = std::string("no tmpfs can be mounted: ") + std::strerror(errno);
        return false;
    }
    return true;
}

// Fills the file system of the folder up to the last byte.
void Fill(const std::string& folder)
{
    const int fd = open((folder + "/filler").c_str(), O_WRONLY | O_CREAT, 0600);
    const std::vector<char> block(4096, 'f');
    while (write(fd, block.data(), block.size()) > 0) {
    }
    while (write(fd, block.data(), 1) > 0) {
    }
    close(fd);
}

// The lines told on standard error that begin with the tag, without it.
std::vector<std::string> TaggedLines(const std::string& printed, const std::string& tag)
{
    std::vector<std::string> lines;
    for (size_t at = printed.find(tag); at != std::string::npos; at = printed.find(tag, at + 1)) {
        if (at > 0 && printed[at - 1] != '\n')
            continue;
        const size_t end = printed.find('\n', at);
        lines.push_back(
            printed.substr(at + tag.size(), end == std::string::npos ? end : end - at - tag.size()));
    }
    return lines;
}
} // namespace

// Each file of a played data folder made unreadable to the user the game
// runs as (no permission: root's 0600 or mode 000, on the file or on its
// folder; a pipe, which held the start for good; a folder), then one
// start, one save, a lost game and a look for saves to resume: every file
// is still there as it was, nothing is set aside in its place, and a line
// names each, once, or the folder that could not be searched for all in
// it. The player's message of it ends above the message box's button, an
// unreadable save is told by Resume in those words, and a game left whose
// save was refused says why: the folder that could not be opened, or the
// save that could not be read. The start is
// bounded (a pipe was waited on): it may take many times as long as a
// start of the same folder readable.
TEST_F(GameSaveTest, AFileThatCannotBeReadIsToldAndNeverWrittenOver)
{
    // The picker's art, for the look for saves to resume.
    app.bundleMainMenu.Load("graphics\\mainmenu");
    app.configPath = (folder / "config.cfg").c_str();
    app.LoadSharedFiles();
    ASSERT_TRUE(app.profiles.Add(kLongestPlayer.c_str()));
    app.LoadConfig();
    for (HighScoreList* table : {&app.journeyScores, &app.casualScores, &app.speedScores})
        table->Insert(kLongestPlayer.c_str(), 250000);
    for (GameMode mode : kModes)
        StartedGame(mode)->Save();
    app.SaveConfig();
    app.profiles.Save();
    for (HighScoreList* table : {&app.journeyScores, &app.casualScores, &app.speedScores})
        table->Save();
    std::vector<std::string> paths;
    std::vector<Bytes> played;
    for (const std::string& name : kPlayersFiles) {
        paths.push_back(folder / name);
        played.push_back(ReadFile(paths.back().c_str()));
        ASSERT_FALSE(played.back().empty()) << name;
    }
    const fs::path copy = folder / "played";
    fs::create_directory(copy);
    for (const char* name : {"config.cfg", "Profiles"})
        fs::copy(folder / name, copy / name, fs::copy_options::recursive);

    // One start and one save, as the game makes them, in a child of its own.
    const auto startAndSave = [&](unsigned bound) {
        return RunInChild([&] {
            alarm(bound);
            if (!ObeyFileModes())
                _exit(kCannotDropCapabilities);
            FileProblems::SetListener([&](const FileProblems::Problem& problem) {
                std::fprintf(stderr, "told: %s\n", app.fileNotices.TextOf(problem).CStr());
            });
            app.LoadSharedFiles();
            app.LoadConfig();
            // A new Speed game is started, without reading the save it
            // replaces.
            // Each left as the player leaves it: a save refused says why.
            for (GameMode mode : kModes) {
                NewGame(mode, mode != GameMode::Speed)->Initialize();
                if (!games.back()->Save())
                    std::fprintf(stderr, "leave: %s\n",
                                 app.fileNotices.TakeReason(games.back()->GetSavePath()).CStr());
            }
            // A Speed game lost takes its save away, but not one that could
            // not be read.
            Game* lost = StartedGame(GameMode::Speed);
            lost->deleteSave = 1;
            lost->Save();
            app.SaveConfig();
            app.profiles.Save();
            for (HighScoreList* table : {&app.journeyScores, &app.casualScores, &app.speedScores})
                table->Save();
            const GamePicker resume(&app, false);
            for (const String& words : resume.unreadable)
                std::fprintf(stderr, "resume: %s\n", words.CStr());
            _exit(0);
        });
    };
    const auto started = std::chrono::steady_clock::now();
    const ChildExit readable = startAndSave(0);
    ASSERT_EQ(readable.code, 0) << readable.errorText;
    const auto baseline = std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - started);
    const unsigned bound = unsigned(20 * baseline.count() + 5);

    // Why each save refused was not written, when the file or the folder
    // "spoiled" could not be read: the folder is named, for the three saves
    // in it; a save on its own is kept.
    const std::map<std::string, std::string> folderWords = {
        {folder.Path(), "the game's data folder (\"" + fs::path(folder.Path()).filename().string() + "\")"},
        {folder / "Profiles", "the players' folder (\"Profiles\")"},
        {folder / ("Profiles/" + kLongestPlayer), kLongestPlayer + "'s folder"},
    };
    const auto leftSaysWhy = [&](bool folderSpoiled, const std::string& spoiled) {
        if (folderSpoiled) {
            const std::string why = folderWords.at(fs::path(spoiled).parent_path().string()) +
                                    " could not be opened";
            return std::vector<std::string>(std::size(kModes), why);
        }
        if (fs::path(spoiled).extension() == ".sav")
            return std::vector<std::string>{"the file there could not be read, and is kept as it is"};
        return std::vector<std::string>();
    };

    Font boxFont;
    InfoDialog::LoadFont(boxFont);
    enum class Spoil { NoPermission, FolderNoPermission, Pipe, Folder };
    for (const Spoil spoil : {Spoil::NoPermission, Spoil::FolderNoPermission, Spoil::Pipe, Spoil::Folder}) {
        for (size_t i = 0; i < paths.size(); ++i) {
            const std::string& path = paths[i];
            const std::string parent = fs::path(path).parent_path().string();
            SCOPED_TRACE(std::string(spoil == Spoil::NoPermission         ? "no permission: "
                                     : spoil == Spoil::FolderNoPermission ? "no permission on its folder: "
                                     : spoil == Spoil::Pipe               ? "a pipe: "
                                                                          : "a folder: ") +
                         kPlayersFiles[i]);
            fs::remove_all(folder / "config.cfg");
            fs::remove_all(folder / "Profiles");
            for (const char* name : {"config.cfg", "Profiles"})
                fs::copy(copy / name, folder / name, fs::copy_options::recursive);
            if (spoil == Spoil::NoPermission) {
                ASSERT_EQ(chmod(path.c_str(), 0), 0);
            } else if (spoil == Spoil::FolderNoPermission) {
                ASSERT_EQ(chmod(parent.c_str(), 0600), 0);
            } else {
                fs::remove(path);
                ASSERT_EQ(spoil == Spoil::Pipe ? mkfifo(path.c_str(), 0600) : mkdir(path.c_str(), 0700), 0);
            }
            const ChildExit ran = startAndSave(bound);
            chmod(parent.c_str(), 0700);
            if (ran.code == kCannotDropCapabilities)
                GTEST_SKIP() << "the game's process cannot give up passing over the files' modes";
            EXPECT_EQ(ran.code, 0) << "ended by a signal (held past " << bound << " s?)\n" << ran.errorText;
            if (spoil == Spoil::FolderNoPermission) {
                EXPECT_EQ(LinesNaming(ran.errorText, "the folder " + parent, "searched"), 1u) << ran.errorText;
                EXPECT_EQ(LinesNaming(ran.errorText, folder.Path(), ""), 0u) << "no file is named\n" << ran.errorText;
            } else {
                EXPECT_EQ(LinesNaming(ran.errorText, path, "read"), 1u) << ran.errorText;
                EXPECT_EQ(LinesNaming(ran.errorText, folder.Path(), ""), 1u) << "no other file is named\n"
                                                                             << ran.errorText;
            }
            const std::vector<std::string> told = TaggedLines(ran.errorText, "told: ");
            ASSERT_EQ(told.size(), 1u) << ran.errorText;
            EXPECT_LT(BelowButtonsTop(boxFont, told[0].c_str()), 0.0f) << told[0] << " runs under the button";
            // Every folder of the data folder holds the profile's saves, or
            // the folder that does.
            const bool saveSpoiled = fs::path(path).extension() == ".sav" || spoil == Spoil::FolderNoPermission;
            EXPECT_EQ(TaggedLines(ran.errorText, "resume: "), saveSpoiled ? told : std::vector<std::string>())
                << "Resume tells the save that could not be read as the message does\n"
                << ran.errorText;
            EXPECT_EQ(TaggedLines(ran.errorText, "leave: "), leftSaysWhy(spoil == Spoil::FolderNoPermission, path))
                << "a save refused tells the file or folder that could not be read\n"
                << ran.errorText;
            for (size_t j = 0; spoil == Spoil::FolderNoPermission && j < paths.size(); ++j)
                EXPECT_EQ(ReadFile(paths[j].c_str()), played[j]) << "written over: " << kPlayersFiles[j];
            EXPECT_FALSE(fs::exists(path + ".damaged"));
            struct stat info;
            ASSERT_EQ(lstat(path.c_str(), &info), 0);
            if (spoil == Spoil::NoPermission || spoil == Spoil::FolderNoPermission) {
                chmod(path.c_str(), 0600);
                EXPECT_EQ(ReadFile(path.c_str()), played[i]) << "written over";
            } else {
                EXPECT_TRUE(spoil == Spoil::Pipe ? S_ISFIFO(info.st_mode) : S_ISDIR(info.st_mode));
            }
        }
    }
}

// A save that cannot be written, into a profile folder the player cannot
// write or onto a full disk: the play since is told lost, in the player's
// words, and on standard error with the full path, and the save before is
// whole.
TEST_F(GameSaveTest, ASaveThatCannotBeWrittenIsToldAndTheSaveBeforeStaysWhole)
{
    Game* first = StartedGame(GameMode::Casual);
    const String save = first->GetSavePath();
    const Bytes before = SaveOf(first);
    const std::string profile = fs::path(save.CStr()).parent_path().string();
    const std::string reasonLine = "told: ";

    struct Case
    {
        const char* what;
        const char* reason; // the system's
        const char* told;   // the player's
    };
    const Case cases[] = {
        {"a folder the player cannot write", "(Permission denied)", "you do not have permission to save in its folder"},
        {"a full disk", "(No space left on device)", "the disk is full"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const bool fullDisk = &c == &cases[1];
        if (!fullDisk) {
            ASSERT_EQ(chmod(profile.c_str(), 0555), 0);
        }
        const ChildExit ran = RunInChild([&] {
            std::string why;
            if (fullDisk) {
                if (!MountSmallDisk(profile, why)) {
                    std::fprintf(stderr, "%s", why.c_str());
                    _exit(kNoFullDisk);
                }
                Platform::Files::WriteWhole(save.CStr(), before.data(), before.size());
                Fill(profile);
            }
            if (!ObeyFileModes())
                _exit(kCannotDropCapabilities);
            Game* resumed = NewGame(GameMode::Casual, true);
            resumed->Initialize();
            resumed->score += 1000;
            const bool saved = resumed->Save();
            std::fprintf(stderr, "%s%s\n", reasonLine.c_str(), app.fileNotices.TakeReason(save).CStr());
            const bool whole = ReadFile(save) == before;
            _exit(!saved && whole ? 0 : 1);
        });
        chmod(profile.c_str(), 0755);
        if (ran.code == kNoFullDisk) {
            std::printf("[  SKIPPED ] a full disk: %s\n", ran.errorText.c_str());
            continue;
        }
        if (ran.code == kCannotDropCapabilities)
            GTEST_SKIP() << "the game's process cannot give up passing over the files' modes";
        EXPECT_EQ(ran.code, 0) << "the save was written, or the one before is damaged\n" << ran.errorText;
        EXPECT_EQ(LinesNaming(ran.errorText, save.CStr(), std::string("written ") + c.reason), 1u) << ran.errorText;
        EXPECT_NE(ran.errorText.find(reasonLine + c.told + "\n"), std::string::npos) << ran.errorText;
        EXPECT_EQ(ReadFile(save), before);
    }
}
