// Saved games end to end: the bytes a session writes, resuming it, damaged
// files and a save cut short by the death of the process.
#include "app/IOBuffer.h"
#include "app/Random.h"
#include "game/Anim_Bonus.h"
#include "game/Board.h"
#include "game/Game.h"
#include "game/LevelupOverlay.h"
#include "game/LoseOverlay.h"
#include "game/Map.h"
#include "game/QuorbSwapApp.h"
#include "game/Quorb.h"
#include "game/ReadyOverlay.h"
#include "game/WinOverlay.h"
#include "platform/Files.h"
#include "support/BoardScene.h"
#include "support/TemporaryFolder.h"

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
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
        EXPECT_EQ(SaveOf(resumed), saved) << c.what;
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

TEST_F(GameSaveTest, DamagedSavesLoadAsAbsentAndStayOnDisk)
{
    Game* game = JourneyLevel(LevelType::Collect);
    Bytes whole = SaveOf(game);
    String path = game->GetSavePath();
    auto loadsAsAbsent = [&](const Bytes& bytes) {
        Platform::Files::WriteWhole(path.CStr(), bytes.data(), bytes.size());
        Game* resumed = NewGame(GameMode::Journey, true);
        bool loaded = resumed->Load();
        bool untouched = resumed->map == nullptr && resumed->board == nullptr && resumed->score == 0;
        Drop();
        return !loaded && untouched && ReadFile(path) == bytes;
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

TEST_F(GameSaveTest, AFreshGameStartsWhenTheSaveIsDamaged)
{
    Game* casual = StartedGame(GameMode::Casual);
    Bytes bytes = SaveOf(casual);
    bytes[5] = 9; // difficulty
    Platform::Files::WriteWhole(casual->GetSavePath().CStr(), bytes.data(), bytes.size());
    Game* resumed = NewGame(GameMode::Casual, true);
    resumed->Initialize();
    ASSERT_NE(resumed->board, nullptr);
    EXPECT_FALSE(app.resumeGame);
    EXPECT_EQ(ReadFile(casual->GetSavePath()), bytes);
}

TEST_F(GameSaveTest, DeleteFlagRemovesTheFileInsteadOfWriting)
{
    Game* speed = StartedGame(GameMode::Speed);
    speed->Save();
    ASSERT_TRUE(Platform::Files::Exists(speed->GetSavePath().CStr()));
    speed->deleteSave = 1;
    speed->Save();
    EXPECT_FALSE(Platform::Files::Exists(speed->GetSavePath().CStr()));
    speed->Save(); // no file is no error
    Game* journey = StartedGame(GameMode::Journey);
    journey->Save();
    journey->DeleteSave();
    EXPECT_FALSE(Platform::Files::Exists(journey->GetSavePath().CStr()));
    journey->Save();
    EXPECT_FALSE(Platform::Files::Exists(journey->GetSavePath().CStr()));
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
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (int32_t score = 1;; ++score) {
                game->score = score;
                game->Save();
            }
        }
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
