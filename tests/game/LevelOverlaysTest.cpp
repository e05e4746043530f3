#include "game/LevelupOverlay.h"
#include "game/LoseOverlay.h"
#include "game/ReadyOverlay.h"
#include "game/WinOverlay.h"

#include "app/IOBuffer.h"
#include "app/Random.h"
#include "game/Board.h"
#include "game/Game.h"
#include "game/QuorbSwapApp.h"
#include "game/support/TextBoard.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace
{
using Bytes = std::vector<uint8_t>;

template <typename Overlay> Bytes Record(Overlay& overlay)
{
    IOBuffer buffer;
    overlay.Save(buffer);
    return Bytes(buffer.GetData(), buffer.GetData() + buffer.GetSize());
}

// Saves the overlay, loads the record into a fresh one made by "make" and
// gives the record and the bytes the fresh one saves.
template <typename Overlay, typename Make> std::pair<Bytes, Bytes> RoundTrip(Overlay& overlay, Make make)
{
    TemporaryFolder folder;
    const String path((folder / "overlay.bin").c_str());
    IOBuffer out;
    overlay.Save(out);
    EXPECT_TRUE(out.Save(path));
    IOBuffer in;
    in.Load(path);
    auto copy = make();
    copy->Load(in);
    EXPECT_FALSE(in.HasError());
    EXPECT_EQ(in.GetCursor(), in.GetSize()) << "the record is read to its end";
    return {Bytes(out.GetData(), out.GetData() + out.GetSize()), Record(*copy)};
}
} // namespace

TEST(LevelOverlaysTest, ReadyReadyThenGoThenSkullsAndTheHint)
{
    theRandom->Seed(2);
    auto board = TextBoard::Make({"00100", "11011", "22322", "33233"}, 8);
    board->levelType = LevelType::Skulls;
    board->skullCount = 2;
    board->slideOffset = Point(0.0f, 4.0f);
    auto* overlay = new ReadyOverlay(board.get());
    board->readyOverlay = overlay;

    std::map<int, int> stateChanges; // state -> tick it began
    int tick = 0;
    while (!overlay->killed && tick < 1000) {
        const int before = overlay->state;
        overlay->Update();
        ++tick;
        if (overlay->state != before) {
            stateChanges[overlay->state] = tick;
        }
        if (tick == 5) {
            board->slideOffset = Point(0.0f, 2.9f);
        }
    }
    // Waits for the board to settle, "Ready" for 120 ticks, cross-fade of 25,
    // "Go" held 100 ticks of which the last fades in 25 steps.
    EXPECT_EQ(stateChanges[1], 6);
    EXPECT_EQ(stateChanges[2], 6 + 120);
    EXPECT_EQ(stateChanges[3], 6 + 120 + 25);
    EXPECT_EQ(tick, 6 + 120 + 25 + 99 + 25);
    EXPECT_EQ(board->flyingPieces.Count(), 2) << "the level's skulls come when \"Go\" shows";
    EXPECT_TRUE(board->hintShown);
    delete overlay;
    EXPECT_EQ(board->readyOverlay, nullptr);
}

TEST(LevelOverlaysTest, OverlaysOutliveTheirBoardSafely)
{
    auto board = TextBoard::Make({"012", "345"}, 8);
    auto* ready = new ReadyOverlay(board.get());
    board->readyOverlay = ready;
    // A level-up dies with the board, inside its destructor.
    board->levelupOverlay = new LevelupOverlay(board.get());
    board->AddChild(board->levelupOverlay);
    board.reset();
    EXPECT_EQ(ready->board, nullptr);
    ready->Update();
    EXPECT_TRUE(ready->killed);
    delete ready;
}

TEST(LevelOverlaysTest, WinSpinsInHoldsThenWaitsForOneClick)
{
    auto board = TextBoard::Make({"012", "345"}, 8);
    board->loseCheckPending = true;
    board->levelTicks = 12345;
    board->piecesMatched = 77;
    board->levelScore = 4321;
    WinOverlay overlay(board.get());
    EXPECT_EQ(board->movingCount, 1) << "the board rests under the banner";
    EXPECT_FALSE(board->loseCheckPending);
    EXPECT_STREQ(overlay.timeText.CStr(), "TOTAL TIME: 02:03:45");
    EXPECT_STREQ(overlay.matchedText.CStr(), "QUORBS MATCHED: 77");
    EXPECT_STREQ(overlay.scoreText.CStr(), "SCORE THIS LEVEL: 4321");
    EXPECT_LT(overlay.scale, 0.0f);
    EXPECT_GT(overlay.rotation, 6e9f) << "1.25 to the 101st power";

    int stateAt[4] = {};
    for (int tick = 1; tick <= 300 && overlay.state < 3; ++tick) {
        const int before = overlay.state;
        overlay.Update();
        if (overlay.state != before) {
            stateAt[overlay.state] = tick;
        }
        overlay.MouseDown(0, 0, 0);
        EXPECT_EQ(overlay.disabled, overlay.state == 3) << "clicks count only once the panel is up";
    }
    EXPECT_EQ(stateAt[1], 101);
    EXPECT_EQ(stateAt[2], 202);
    EXPECT_EQ(overlay.rotation, 0.0f);
    EXPECT_EQ(overlay.scale, 1.0f);

    const auto [saved, reloaded] = RoundTrip(overlay, [&] { return std::make_unique<WinOverlay>(board.get()); });
    EXPECT_EQ(saved.size(), 20u + (4 + 21) + (4 + 19) + (4 + 23)) << "five fields and three strings with NULs";
    EXPECT_EQ(saved, reloaded);
}

TEST(LevelOverlaysTest, LoseShowsTheReasonThenThePromptOnceThePiecesRest)
{
    theRandom->Seed(4);
    auto board = TextBoard::Make({"012", "345"}, 8);
    board->goalCheckPending = true;
    LoseOverlay overlay(board.get(), LoseReason::OutOfTime);
    EXPECT_FALSE(board->goalCheckPending);
    EXPECT_EQ(board->shake, 10.0f);
    EXPECT_GT(board->movingCount, 0) << "every piece cracks";

    int slideDone = 0;
    int promptUp = 0;
    for (int tick = 1; tick <= 2000 && promptUp == 0; ++tick) {
        board->Update();
        overlay.Update();
        if (slideDone == 0 && overlay.slide == 0.0f) {
            slideDone = tick;
        }
        if (board->movingCount > 0) {
            EXPECT_EQ(overlay.promptAlpha, 0.0f) << "the prompt waits for the pieces";
        }
        overlay.MouseDown(0, 0, 0);
        EXPECT_EQ(overlay.disabled, overlay.promptAlpha >= 1.0f);
        if (overlay.promptAlpha >= 1.0f) {
            promptUp = tick;
        }
    }
    EXPECT_EQ(slideDone, 74);
    EXPECT_GE(promptUp, slideDone + 201);
    EXPECT_EQ(overlay.flashAlpha, 0.0f);

    const auto [saved, reloaded] = RoundTrip(
        overlay, [&] { return std::make_unique<LoseOverlay>(board.get(), LoseReason::MeterDrained); });
    EXPECT_EQ(saved.size(), 20u);
    EXPECT_EQ(saved, reloaded);
}

TEST(LevelOverlaysTest, LevelupDropsBurstsAndRisesWhileHoldingTheBoard)
{
    QuorbSwapApp app;
    for (int level : {1, 4}) {
        SCOPED_TRACE(level);
        theRandom->Seed(9);
        Game game(&app);
        game.level = level;
        Board board(&app, &game);
        auto* overlay = new LevelupOverlay(&board);
        board.levelupOverlay = overlay;
        EXPECT_EQ(board.movingCount, 1);
        EXPECT_EQ(overlay->burstsLeft, level - 1);

        std::map<int, int> stateAt;
        std::vector<int> bursts;
        int tick = 0;
        while (!overlay->killed && tick < 1000) {
            const int before = overlay->state;
            const int burstsBefore = overlay->burstsLeft;
            overlay->Update();
            ++tick;
            if (overlay->state != before) {
                stateAt[overlay->state] = tick;
            }
            if (overlay->burstsLeft != burstsBefore) {
                bursts.push_back(tick);
            }
        }
        EXPECT_EQ(stateAt[1], 42);
        EXPECT_EQ(board.zoom, 0.1f);
        EXPECT_EQ(static_cast<int>(bursts.size()), level - 1);
        for (size_t i = 1; i < bursts.size(); ++i) {
            EXPECT_GE(bursts[i] - bursts[i - 1], 20);
            EXPECT_LE(bursts[i] - bursts[i - 1], 39);
        }
        EXPECT_GE(stateAt[2], 42 + 100);
        EXPECT_EQ(tick - stateAt[2], 84);

        if (level == 4) {
            overlay->state = 1;
            overlay->burstsLeft = 2;
            const auto [saved, reloaded] =
                RoundTrip(*overlay, [&] { return std::make_unique<LevelupOverlay>(&board); });
            EXPECT_EQ(saved.size(), 28u);
            EXPECT_EQ(saved, reloaded);
            EXPECT_EQ(board.movingCount, 1) << "the reloaded overlay held the board and let it go";
        }
        delete overlay;
        EXPECT_EQ(board.movingCount, 0);
        EXPECT_EQ(board.levelupOverlay, nullptr);
        EXPECT_TRUE(board.movesFinished) << "the board plays on";
    }
}
