// The level overlays drawn over a board in the middle of a game, headless
// through the software renderer.
#include "game/LevelupOverlay.h"
#include "game/LoseOverlay.h"
#include "game/ReadyOverlay.h"
#include "game/WinOverlay.h"

#include "app/Graphics.h"
#include "platform/Window.h"

#include "support/BoardLayouts.h"
#include "support/BoardScene.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace fs = std::filesystem;

namespace
{
// The pixel bytes of a saved frame, header left out.
using Pixels = std::vector<uint8_t>;

double Mean(const Pixels& pixels)
{
    double sum = 0.0;
    for (uint8_t byte : pixels) {
        sum += byte;
    }
    return pixels.empty() ? 0.0 : sum / static_cast<double>(pixels.size());
}

// The share of bytes that differ by more than a little.
double Changed(const Pixels& a, const Pixels& b)
{
    size_t changed = 0;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
        changed += std::abs(int(a[i]) - int(b[i])) > 24 ? 1 : 0;
    }
    return a.empty() ? 0.0 : static_cast<double>(changed) / static_cast<double>(a.size());
}

class LevelOverlaysDrawTest : public testing::Test
{
  protected:
    void SetUp() override
    {
        previous = fs::current_path();
        fs::current_path(folder.Path());
        const char* dir = std::getenv("QS_PROGRAM_DIR");
        BoardScene::LinkAssetFolders(dir ? fs::path(dir) : previous);
        folder.WriteText("config.cfg", "DX::ScreenWidth=800\r\nDX::ScreenHeight=600\r\nDX::ColorDepth=32\r\n"
                                       "DX::Fullscreen=false\r\nDX::SafeMode=true\r\n");
        ASSERT_TRUE(window.Create("Overlays", 0, 0, 800, 600));
        app = std::make_unique<QuorbSwapApp>();
        app->arguments = {"-software"};
        app->dataFolder = folder.Path().c_str();
        app->configPath = "config.cfg";
        theGraphics.SetLogicalResolution(800, 600);
        ASSERT_TRUE(theGraphics.Startup(window.NativeHandle()));
        BoardScene::LoadBoardArt(*app);
        SpriteBundle& bundle = app->bundleGameplay;
        const std::pair<Sprite*, const char*> art[] = {
            {&app->sprReady, "Ready"},     {&app->sprGo, "Go"},
            {&app->sprWin, "Win"},         {&app->sprQuickStats, "QuickStats"},
            {&app->sprYouLose, "youlose"}, {&app->sprNoMovesPossible, "nomovespossible"},
            {&app->sprLevelUp, "levelup"}, {&app->sprComputerWins, "computerwins"},
        };
        for (const auto& [sprite, name] : art) {
            sprite->LoadFromBundle(&bundle, name);
        }
        board = BoardScene::MakeMidGameBoard(*app, nullptr);
    }

    void TearDown() override
    {
        board.reset();
        app.reset();
        theGraphics.ResetState();
        window.Destroy();
        fs::current_path(previous);
    }

    Pixels Frame(Object* overlay)
    {
        BoardScene::DrawFrame(*board, overlay);
        theGraphics.Present();
        EXPECT_TRUE(theGraphics.SaveBMP("frame.bmp"));
        std::ifstream in("frame.bmp", std::ios::binary);
        Pixels bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        return bytes.size() > 54 ? Pixels(bytes.begin() + 54, bytes.end()) : Pixels();
    }

    // The box round the pixels the lose prompt adds to its overlay, drawn
    // alone; the banner as good as unchanged without it.
    Rect PromptBox(LoseOverlay& lose)
    {
        return BoardScene::DifferenceBox(
            [&] {
                lose.promptAlpha = 1.0f;
                BoardScene::DrawOverBlack(lose);
            },
            [&] {
                lose.promptAlpha = 0.999f;
                BoardScene::DrawOverBlack(lose);
            });
    }

    TemporaryFolder folder;
    fs::path previous;
    Platform::Window window;
    std::unique_ptr<QuorbSwapApp> app;
    std::unique_ptr<Board> board;
};
} // namespace

TEST_F(LevelOverlaysDrawTest, EachOverlayShowsOverTheBoard)
{
    const Pixels plain = Frame(nullptr);
    ASSERT_FALSE(plain.empty());
    EXPECT_LT(Changed(plain, Frame(nullptr)), 0.02) << "the board alone draws alike twice";

    ReadyOverlay ready(board.get());
    ready.state = 1;
    EXPECT_GT(Changed(plain, Frame(&ready)), 0.02) << "\"Ready\"";
    ready.state = 3;
    ready.alpha = 0.0f;
    EXPECT_GT(Changed(plain, Frame(&ready)), 0.02) << "\"Go\"";

    WinOverlay win(board.get());
    while (win.state < 3) {
        win.Update();
    }
    EXPECT_LT(win.panelOffset, -50.0f) << "the panel rose by its height";
    EXPECT_GT(Changed(plain, Frame(&win)), 0.05) << "banner and results";

    LoseOverlay lose(board.get(), LoseReason::NoMoves);
    EXPECT_GT(Mean(Frame(&lose)), 250.0) << "the loss starts with a white flash";
    lose.flashAlpha = 0.0f;
    lose.slide = 0.0f;
    lose.promptAlpha = 1.0f;
    lose.promptOffset = 0.0f;
    EXPECT_GT(Changed(plain, Frame(&lose)), 0.02) << "reason and prompt";

    LevelupOverlay levelup(board.get());
    levelup.state = 1;
    levelup.offset = 0.0f;
    levelup.dim = 0.75f;
    EXPECT_LT(Mean(Frame(&levelup)), Mean(plain) * 0.6) << "the board is dimmed under the banner";
}

// The prompt of a lost level lies over the player's own pieces, inside its
// frame, wherever it rises from: it hides no meter, frame or button, and
// passes under neither banner, on every layout.
TEST_F(LevelOverlaysDrawTest, TheLosePromptRisesInsideThePlayersFrameOnEveryLayout)
{
    const float reach = BoardScene::FrameReach(*app);
    ASSERT_GT(reach, 0.0f);
    const auto banner = [](const Sprite& art, float y, float scale) {
        return Rect(400.0f - float(art.mWidth) * scale / 2, y - float(art.mHeight) * scale / 2,
                    float(art.mWidth) * scale, float(art.mHeight) * scale);
    };
    for (const BoardLayout& layout : BoardLayouts()) {
        const bool duel = layout.type == LevelType::Duel;
        Game game(app.get());
        game.board = new Board(app.get(), &game);
        if (duel) {
            game.board->SetRect(0, 0, 400, 600);
            game.opponentBoard = new Board(app.get(), &game);
            game.opponentBoard->SetRect(400, 0, 400, 600);
            game.opponentBoard->SetupLevel(LevelType::Duel, 0);
        }
        Board& board = *game.board;
        board.SetupLevel(layout.type, layout.difficulty);
        LoseOverlay lose(&board, duel ? LoseReason::OpponentWon : LoseReason::NoMoves);
        lose.flashAlpha = 0.0f;
        lose.slide = 0.0f;
        lose.promptOffset = 100.0f;
        const Rect low = PromptBox(lose);
        lose.promptOffset = 0.0f;
        const Rect risen = PromptBox(lose);
        const Rect swept(risen.x, risen.y, risen.w, low.y + low.h - risen.y);
        const Rect grid = board.gridRect;
        const Rect inside(grid.x + reach, grid.y + reach, grid.w - 2 * reach, grid.h - 2 * reach);
        SCOPED_TRACE(std::string(layout.what) + " " + std::to_string(layout.difficulty));
        EXPECT_GT(risen.w, 100.0f) << "the prompt shows";
        EXPECT_EQ(swept.Intersection(inside).w, swept.w) << "across " << swept.x << ".." << swept.x + swept.w;
        EXPECT_EQ(swept.Intersection(inside).h, swept.h) << "down " << swept.y << ".." << swept.y + swept.h;
        for (const Rect& art :
             {banner(app->sprYouLose, 265, 1.015f), banner(*lose.reasonSprite, 510, 1.01f)}) {
            const Rect overlap = swept.Intersection(art);
            EXPECT_TRUE(overlap.w <= 0 || overlap.h <= 0) << "a banner at " << art.y;
        }
    }
}
