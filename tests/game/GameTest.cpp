// The play session's rules, its tutorial pages and the final win screen.
#include "app/Audio.h"
#include "app/Random.h"
#include "game/Board.h"
#include "game/Game.h"
#include "game/LoseOverlay.h"
#include "game/Map.h"
#include "game/PopupMenu.h"
#include "game/QuorbSwapApp.h"
#include "game/SuperWin.h"
#include "game/Transition.h"
#include "game/Tutor.h"
#include "platform/Files.h"
#include "support/BoardScene.h"
#include "support/SoundTestFolder.h"
#include "support/TemporaryFolder.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace {
std::vector<uint8_t> ReadFile(const String& path)
{
    std::vector<uint8_t> bytes;
    Platform::Files::ReadWhole(path.CStr(), bytes);
    return bytes;
}
} // namespace

class GameTest : public testing::Test
{
  protected:
    void SetUp() override
    {
        app.dataFolder = folder.Path().c_str();
        app.LoadConfig();
        const char* programFolder = std::getenv("QS_PROGRAM_DIR");
        BoardScene::LinkAssetFolders(programFolder ? programFolder : std::filesystem::current_path());
        app.bundleMap.Load("graphics\\map");
        app.bundleTutorial.Load("graphics\\tutorial");
        app.bundleProfiles.Load("graphics\\profiles");
        app.bundlePopupMenu.Load("graphics\\popupmenu");
        app.journeyScores.SetSize(5);
        for (int score : {500000, 400000, 300000, 200000, 100000})
            app.journeyScores.Insert("Tobb", score);
        theRandom->Seed(11);
    }

    void TearDown() override
    {
        app.CloseAllScreens();
        app.rootGadgets.PurgeKilled();
        app.rootGadgets.DeleteAll();
    }

    Game* StartedGame(GameMode mode, Difficulty difficulty = Difficulty::Normal)
    {
        app.gameMode = mode;
        app.difficulty = difficulty;
        app.resumeGame = false;
        app.game = new Game(&app);
        app.rootGadgets.Add(app.game);
        app.game->Initialize();
        return app.game;
    }

    Tutor* BuiltTutor(Game* game)
    {
        Tutor* tutor = game->tutor;
        tutor->BuildPage();
        return tutor;
    }

    TemporaryFolder folder;
    QuorbSwapApp app;
};

TEST_F(GameTest, ScoreMultiplierByPowersAndDifficulty)
{
    struct Case {
        Difficulty difficulty;
        std::vector<int32_t> slots;
        int points;
        int expected;
    };
    const Case cases[] = {
        {Difficulty::Child, {}, 15, 7},
        {Difficulty::Child, {}, -15, -7},
        {Difficulty::Normal, {}, 10, 10},
        {Difficulty::Hard, {0, 0, 1}, 10, 240},
        {Difficulty::Normal, {4, 1, 5}, 5000, 15000},
        // Ten triples overflow 32 bits; the result wraps as it always did.
        {Difficulty::Normal, {1, 1, 1, 1, 1, 1, 1, 1, 1, 1}, 100000, int(uint32_t(100000) * 59049u)},
    };
    Game* game = StartedGame(GameMode::Casual);
    for (const Case& c : cases) {
        game->difficulty = c.difficulty;
        std::fill(std::begin(game->powerSlots), std::end(game->powerSlots), kNoPower);
        std::copy(c.slots.begin(), c.slots.end(), game->powerSlots);
        EXPECT_EQ(game->ScoreMultiplier(c.points), c.expected);
    }
    EXPECT_EQ(game->CountPowerSlots(1), 10);
}

TEST_F(GameTest, WonJourneyLevelsRaiseTheModifiers)
{
    struct Case {
        Difficulty difficulty;
        LevelType type;
        float won;
        float others;
        int32_t score; // before the win, and after it
        int32_t level;
        int32_t scoreAfter;
        int32_t levelAfter;
        bool skipped = false; // the Skip button won it: it was not played
        int32_t bestTime = 4321;
    };
    const Case cases[] = {
        {Difficulty::Normal, LevelType::Matches, 0.25f, 0.05f, 0, 1, 700, 2},
        {Difficulty::Hard, LevelType::Collect, 1.0f, 1.0f, 0, 1, 700, 2},
        // The largest score and level stay the largest.
        {Difficulty::Normal, LevelType::Drain, 0.25f, 0.05f, INT32_MAX - 100, INT32_MAX, INT32_MAX,
         INT32_MAX},
        {Difficulty::Normal, LevelType::Meter, 0.25f, 0.25f, 0, 1, 700, 2, true, kNoBestTime},
    };
    for (const Case& c : cases) {
        Game* game = StartedGame(GameMode::Journey, c.difficulty);
        game->levelType = c.type;
        game->mapDifficulty = 20;
        game->StartLevel(false);
        game->board->levelScore = 700;
        game->board->levelTicks = 4321;
        game->score = c.score;
        game->level = c.level;
        if (c.skipped)
            game->board->Notify(&game->board->skipButton);
        game->OnLevelWon();
        EXPECT_FLOAT_EQ(game->difficultyModifiers[int(c.type)], c.won);
        EXPECT_FLOAT_EQ(game->difficultyModifiers[int(LevelType::Meter)], c.others);
        EXPECT_EQ(game->score, c.scoreAfter);
        EXPECT_EQ(game->bestTime, c.bestTime);
        EXPECT_EQ(game->level, c.levelAfter);
        ASSERT_NE(app.transition, nullptr);
        EXPECT_EQ(app.transition->target, TransitionTarget::ShowMap);
        app.transition->Kill();
        app.transition = nullptr;
        app.CloseAllScreens();
    }
}

// A lost Journey level counts when the lose screen's click settles it, not
// when the screen appears, and only once however often the player clicks.
TEST_F(GameTest, ALostJourneyLevelCountsOnceWhenTheLossIsSettled)
{
    Game* game = StartedGame(GameMode::Journey);
    game->StartLevel(false);
    Board* board = game->board;
    board->loseOverlay = new LoseOverlay(board, LoseReason::NoMoves);
    board->AddChild(board->loseOverlay);
    board->loseOverlay->promptAlpha = 1.0f;
    EXPECT_EQ(app.progress.journeyLevelsLost, 0u);
    board->loseOverlay->CoreMouseDown(0, 0, 1);
    board->loseOverlay->CoreMouseDown(0, 0, 1);
    EXPECT_EQ(app.progress.journeyLevelsLost, 1u);
    ASSERT_NE(app.transition, nullptr);
    EXPECT_EQ(app.transition->target, TransitionTarget::ShowMap);
    app.transition->Kill();
    app.transition = nullptr;
}

TEST_F(GameTest, LevelsStartAsTheirTypeAsks)
{
    Game* game = StartedGame(GameMode::Journey);
    game->levelType = LevelType::Surprise;
    game->StartLevel(false);
    EXPECT_NE(game->levelType, LevelType::Surprise);
    EXPECT_EQ(game->board->levelType, game->levelType);
    EXPECT_FALSE(game->map->parent == game);

    game->ShowMap(false);
    EXPECT_EQ(game->board, nullptr);
    game->levelType = LevelType::Duel;
    game->StartLevel(false);
    ASSERT_NE(game->opponentBoard, nullptr);
    EXPECT_EQ(game->board->rect.w, 400.0f);
    EXPECT_EQ(game->opponentBoard->rect.x, 400.0f);
    EXPECT_TRUE(game->opponentBoard->isComputer);
}

TEST_F(GameTest, PauseAndMenuOpenOnlyOnce)
{
    Game* game = StartedGame(GameMode::Casual);
    game->tutor->Kill();
    app.rootGadgets.PurgeKilled();
    int gadgets = app.rootGadgets.Count();
    game->OnKey(27);
    PopupMenu* menu = app.popupMenu;
    ASSERT_NE(menu, nullptr);
    game->OnKey(27);
    EXPECT_EQ(app.popupMenu, menu);
    EXPECT_EQ(app.rootGadgets.Count(), gadgets + 1);
    menu->Kill();
    app.rootGadgets.PurgeKilled();
    ASSERT_FALSE(game->IsPaused());

    game->SetPaused(1);
    game->SetPaused(1);
    EXPECT_TRUE(game->IsPaused());
    EXPECT_EQ(app.rootGadgets.Count(), gadgets + 1);
    game->SetPaused(0);
    EXPECT_FALSE(game->IsPaused());
    new Transition(&app, TransitionTarget::ShowMap);
    game->OnKey('p');
    EXPECT_FALSE(game->IsPaused());
}

// A paused game makes no sound of its own: the meter's hum, running as the
// meter rises after a match, falls silent under the in-game menu, the pause
// screen, a tutorial page and while the window is in the background, and
// comes back as it was when the game goes on.
TEST(GamePauseTest, TheMeterHumIsSilentWhileTheGameIsPaused)
{
    SoundTestFolder folder;
    // A steady tone: every sample of it the mixer takes is heard.
    std::vector<uint8_t> tone(44100);
    for (size_t i = 0; i < tone.size(); i += 2)
        tone[i + 1] = 0x20;
    folder.WriteBytes("cached/quorbmeter.cached", MakeSoundCacheFile(1, 16, 22050, tone));
    const char* programFolder = std::getenv("QS_PROGRAM_DIR");
    BoardScene::LinkAssetFolders(programFolder ? programFolder : std::filesystem::current_path());
    QuorbSwapApp app;
    app.dataFolder = std::filesystem::current_path().c_str(); // the sound folder's
    app.bundlePopupMenu.Load("graphics\\popupmenu");
    app.bundleTutorial.Load("graphics\\tutorial");
    app.bundleProfiles.Load("graphics\\profiles");
    app.sndQuorbMeter.Load("quorbmeter", 1);
    app.gameMode = GameMode::Speed;
    app.game = new Game(&app);
    app.rootGadgets.Add(app.game);
    Game& game = *app.game;
    game.Initialize();
    game.initialised = true;
    game.tutor->Kill();
    app.rootGadgets.PurgeKilled();
    auto run = [&](int updates) {
        for (int i = 0; i < updates; ++i) {
            app.rootGadgets.Update();
            app.rootObjects.Update();
        }
    };
    auto heard = [&] {
        std::vector<int16_t> samples(2 * 2048);
        theAudio.GetMixer()->Render(samples.data(), 2048);
        return std::any_of(samples.begin(), samples.end(), [](int16_t sample) { return sample != 0; });
    };
    run(1);
    ASSERT_FALSE(game.IsPaused());
    // A match raised the meter: its display climbs with the hum.
    game.board->meterValue = game.board->meterMax / 2.0f;
    run(20);
    ASSERT_TRUE(heard()) << "the hum of the rising meter";

    struct Case
    {
        const char* what;
        std::function<void()> pause, resume;
    };
    const Case cases[] = {
        {"the in-game menu", [&] { game.OnKey(27); },
         [&] {
             app.popupMenu->Kill();
             app.rootGadgets.PurgeKilled();
         }},
        {"the pause screen", [&] { game.OnKey('p'); }, [&] { game.SetPaused(0); }},
        {"a tutorial page",
         [&] {
             game.tutor = new Tutor(&game);
             app.rootGadgets.Add(game.tutor);
         },
         [&] {
             game.tutor->Kill();
             app.rootGadgets.PurgeKilled();
         }},
        {"the window in the background", [&] { app.SetActive(false); },
         [&] {
             app.SetActive(true);
             game.SetPaused(0);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.pause();
        ASSERT_TRUE(game.IsPaused());
        run(50);
        EXPECT_FALSE(heard());
        c.resume();
        ASSERT_FALSE(game.IsPaused());
        EXPECT_TRUE(heard()) << "the hum goes on as it was";
        run(1);
    }
    app.CloseAllScreens();
    app.rootGadgets.PurgeKilled();
    app.rootGadgets.DeleteAll();
}

TEST_F(GameTest, TutorialPagesByModeAndLevelType)
{
    struct Case {
        GameMode mode;
        int levelType;
        int page; // 0: not shown
    };
    const Case cases[] = {
        {GameMode::Journey, 0, 1}, {GameMode::Journey, 5, 6}, {GameMode::Journey, 7, 7},
        {GameMode::Casual, 0, 8},  {GameMode::Speed, 0, 9},   {GameMode::Journey, 8, 0},
    };
    for (const Case& c : cases) {
        Game* game = StartedGame(c.mode);
        if (c.mode == GameMode::Journey) {
            game->levelType = LevelType(c.levelType);
            game->StartLevel(false);
        }
        ProfileProgress before = app.progress;
        Tutor* tutor = BuiltTutor(game);
        if (c.page == 0) {
            // A level type no page knows writes nowhere.
            EXPECT_TRUE(tutor->killed);
            EXPECT_EQ(std::memcmp(&before, &app.progress, sizeof before), 0);
            continue;
        }
        EXPECT_EQ(tutor->page, c.page);
        EXPECT_FALSE(tutor->killed);
        ASSERT_NE(tutor->demoBoard, nullptr);
        EXPECT_TRUE(tutor->demoBoard->demoMode);
        EXPECT_EQ(tutor->demoBoard->gridWidth, 4);
        EXPECT_TRUE(game->IsPaused());
        app.CloseAllScreens();
        app.rootGadgets.PurgeKilled();
        app.rootGadgets.PurgeKilled();
    }
}

TEST_F(GameTest, DontShowAgainIsKeptPerProfile)
{
    Game* game = StartedGame(GameMode::Casual);
    Tutor* tutor = BuiltTutor(game);
    tutor->Notify(&tutor->okButton);
    EXPECT_TRUE(tutor->killed);
    EXPECT_EQ(app.progress.tutorialShown[8], 0);

    game->levelType = LevelType::Meter;
    game->StartLevel(false);
    tutor = BuiltTutor(game);
    ASSERT_FALSE(tutor->killed);
    tutor->Notify(&tutor->dontShowButton);
    EXPECT_EQ(app.progress.tutorialShown[8], 1);
    std::vector<uint8_t> config = ReadFile(app.profiles.GetProfilePath("config.cfg"));
    ASSERT_EQ(config.size(), sizeof(ProfileProgress));
    EXPECT_EQ(config[1264 + 8], 1);

    game->StartLevel(false);
    tutor = BuiltTutor(game);
    EXPECT_TRUE(tutor->killed);
    EXPECT_EQ(tutor->demoBoard, nullptr);
}

TEST_F(GameTest, DemonstrationNeverTouchesTheSession)
{
    Game* game = StartedGame(GameMode::Casual);
    game->Save();
    std::vector<uint8_t> before = ReadFile(game->GetSavePath());
    Tutor* tutor = BuiltTutor(game);
    for (int tick = 0; tick < 3000; ++tick)
        tutor->demoBoard->Update();
    EXPECT_EQ(game->score, 0);
    game->Save();
    EXPECT_EQ(ReadFile(game->GetSavePath()), before);

    // Leaving the level while the page is up: the page goes without it.
    game->ShowMap(false);
    tutor->Kill();
    app.rootGadgets.PurgeKilled();
    app.rootGadgets.PurgeKilled();
    EXPECT_EQ(game->tutor, nullptr);
}

TEST_F(GameTest, FinalWinScreenEndsTheJourney)
{
    Game* game = StartedGame(GameMode::Journey);
    game->Save();
    String path = game->GetSavePath();
    ASSERT_EQ(Platform::Files::Exists(path.CStr()), Platform::Files::Presence::Readable);
    uint32_t completed = app.progress.journeysCompleted;
    SuperWin* win = new SuperWin(game);
    app.superWin = win;
    app.rootGadgets.Add(win);
    EXPECT_EQ(Platform::Files::Exists(path.CStr()), Platform::Files::Presence::Missing);
    EXPECT_EQ(app.progress.journeysCompleted, completed + 1);
    // The map under it points at nothing, not even at an open square the
    // pointer rests on.
    Map* map = game->map;
    ASSERT_NE(map, nullptr);
    map->Square(4, 4).locked = 0;
    map->Square(4, 4).won = 0;
    map->OnMouseMove(190 + 55 * 4 + 27, 68 + 53 * 4 + 26);
    for (int i = 0; i < 12; ++i)
        map->Update();
    EXPECT_EQ(map->tooltipCaption, nullptr);

    // No sound device: the jingle counts as over, and a score that does not
    // qualify brings no name entry.
    win->Update();
    EXPECT_EQ(win->clickEnabled, 1);
    win->OnMouseDown(10, 10, 0);
    Transition* leaving = app.transition;
    ASSERT_NE(leaving, nullptr);
    win->OnMouseDown(10, 10, 0);
    EXPECT_EQ(app.transition, leaving);

    game->Kill();
    EXPECT_EQ(Platform::Files::Exists(path.CStr()), Platform::Files::Presence::Missing);
}
