// The board drawn headless through the software renderer and through SDL's
// renderer under the dummy driver: both pictures must show the board, and
// agree with each other. A resumed duel draws as the game it came from.
#include "app/Graphics.h"
#include "app/Random.h"
#include "game/Quorb.h"
#include "platform/Window.h"

#include "support/BoardScene.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace fs = std::filesystem;

namespace {

fs::path ProgramFolder()
{
    const char* dir = std::getenv("QS_PROGRAM_DIR");
    return dir ? fs::path(dir) : fs::current_path();
}

// A screenshot as 0xRRGGBB pixels.
// A piece at rest, by its kind and its centre on the logical screen.
struct StillPiece
{
    int kind;
    Point centre;
};

struct Shot
{
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
    std::vector<StillPiece> pieces;

    uint32_t At(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }

    // The mean of one channel over a rectangle given in logical (800 x 600)
    // units.
    double Mean(double lx, double ly, double lw, double lh, int shift) const
    {
        const double sx = width / 800.0;
        const double sy = height / 600.0;
        const int x0 = int(lx * sx), x1 = int((lx + lw) * sx);
        const int y0 = int(ly * sy), y1 = int((ly + lh) * sy);
        double sum = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                sum += (At(x, y) >> shift) & 0xFF;
        return sum / double((x1 - x0) * (y1 - y0));
    }
};

Shot ReadBMP(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    Shot shot;
    if (bytes.size() < 54)
        return shot;
    shot.width = bytes[18] | (bytes[19] << 8);
    shot.height = bytes[22] | (bytes[23] << 8);
    const size_t stride = (size_t(shot.width) * 3 + 3) & ~size_t(3);
    shot.pixels.resize(size_t(shot.width) * size_t(shot.height));
    for (int y = 0; y < shot.height; ++y) {
        const uint8_t* row = bytes.data() + 54 + size_t(shot.height - 1 - y) * stride;
        for (int x = 0; x < shot.width; ++x)
            shot.pixels[size_t(y) * size_t(shot.width) + size_t(x)] =
                uint32_t(row[3 * x + 2]) << 16 | uint32_t(row[3 * x + 1]) << 8 | row[3 * x];
    }
    return shot;
}

class BoardDrawTest : public testing::Test
{
  protected:
    void SetUp() override
    {
        previous = fs::current_path();
        fs::current_path(folder.Path());
        BoardScene::LinkAssetFolders(ProgramFolder());
    }
    void TearDown() override { fs::current_path(previous); }

    // The mid-game board drawn once through the chosen renderer.
    Shot Render(bool software)
    {
        if (software)
            folder.WriteText("config.cfg",
                             "DX::ScreenWidth=800\r\nDX::ScreenHeight=600\r\nDX::ColorDepth=32\r\n"
                             "DX::Fullscreen=false\r\nDX::SafeMode=true\r\n");
        else
            fs::remove(folder / "config.cfg");
        Platform::Window window;
        EXPECT_TRUE(window.Create("Board", 0, 0, 800, 600));
        Shot shot;
        {
            QuorbSwapApp app;
            // Each renderer by its switch, with the settings and the hardware
            // tester's results in this test's folder.
            app.arguments = {software ? "-software" : "-hardware"};
            app.dataFolder = folder.Path().c_str();
            app.configPath = "config.cfg";
            theGraphics.SetLogicalResolution(800, 600);
            EXPECT_TRUE(theGraphics.Startup(window.NativeHandle()));
            EXPECT_EQ(theGraphics.mSoftware, software);
            BoardScene::LoadBoardArt(app);
            auto board = BoardScene::MakeMidGameBoard(app, nullptr);
            BoardScene::DrawFrame(*board);
            theGraphics.Present();
            const std::string file = software ? "software.bmp" : "sdl.bmp";
            EXPECT_TRUE(theGraphics.SaveBMP(file.c_str()));
            shot = ReadBMP(folder / file);
            for (int i = 0; i < board->pieces.Count(); ++i) {
                const auto* q = static_cast<const Quorb*>(board->pieces.Get(i));
                const bool still = !q->popping && !q->falling && !q->swapping && !q->skull && !q->flying &&
                                   !q->super && q != board->selected;
                if (still)
                    shot.pieces.push_back(
                        {q->kind, Point(board->gridRect.x + q->pos.x, board->gridRect.y + q->pos.y)});
            }
            board.reset();
        }
        theGraphics.ResetState();
        window.Destroy();
        return shot;
    }

    // The software renderer in a window of this test's, with its settings
    // here and the board's art loaded.
    bool StartSoftware(Platform::Window& window, QuorbSwapApp& app)
    {
        folder.WriteText("config.cfg", "DX::ScreenWidth=800\r\nDX::ScreenHeight=600\r\nDX::ColorDepth=32\r\n"
                                       "DX::Fullscreen=false\r\nDX::SafeMode=true\r\n");
        app.configPath = "config.cfg";
        app.dataFolder = folder.Path().c_str();
        theGraphics.SetLogicalResolution(800, 600);
        if (!window.Create("Duel", 0, 0, 800, 600) || !theGraphics.Startup(window.NativeHandle()))
            return false;
        BoardScene::LoadBoardArt(app);
        return true;
    }

    TemporaryFolder folder;
    fs::path previous;
};

// The pieces where the board says, by the colour at the centres of the
// pieces at rest: each one's nearest in colour is a piece of its own kind
// (a blank board, a missing piece pass or a shifted grid fail). A few may
// lie under a popup or a particle.
void ExpectPiecesWhereTheBoardSays(const Shot& shot, const char* renderer)
{
    ASSERT_GT(shot.width, 0) << renderer;
    ASSERT_GT(shot.pieces.size(), 60u) << renderer;
    std::vector<std::array<double, 3>> colours;
    for (const StillPiece& p : shot.pieces) {
        std::array<double, 3> c{};
        for (int i = 0; i < 3; ++i)
            c[size_t(i)] = shot.Mean(p.centre.x - 5, p.centre.y - 5, 10, 10, 8 * i);
        colours.push_back(c);
    }
    size_t strays = 0;
    for (size_t a = 0; a < colours.size(); ++a) {
        size_t nearest = a;
        double best = 1e9;
        for (size_t b = 0; b < colours.size(); ++b) {
            double d = 0;
            for (int i = 0; i < 3; ++i)
                d += std::abs(colours[a][size_t(i)] - colours[b][size_t(i)]);
            if (b != a && d < best) {
                best = d;
                nearest = b;
            }
        }
        strays += shot.pieces[nearest].kind == shot.pieces[a].kind ? 0 : 1;
    }
    EXPECT_LE(strays * 10, shot.pieces.size())
        << renderer << ": pieces whose colour is nearest another kind's";
}

} // namespace

TEST_F(BoardDrawTest, BothRenderersShowTheSameBoard)
{
    const Shot software = Render(true);
    const Shot sdl = Render(false);
    ASSERT_EQ(software.width, 640);
    ASSERT_EQ(sdl.width, 800);
    ExpectPiecesWhereTheBoardSays(software, "software");
    ExpectPiecesWhereTheBoardSays(sdl, "sdl");

    // Blocks of 20 x 20 logical pixels, compared channel by channel.
    double sum = 0, largest = 0;
    int count = 0;
    for (int by = 0; by < 600; by += 20) {
        for (int bx = 0; bx < 800; bx += 20) {
            for (int shift : {0, 8, 16}) {
                const double d =
                    std::abs(software.Mean(bx, by, 20, 20, shift) - sdl.Mean(bx, by, 20, 20, shift));
                sum += d;
                largest = std::max(largest, d);
                ++count;
            }
        }
    }
    const double mean = sum / count;
    std::printf("software against SDL, per channel over 20 x 20 blocks: mean %.2f, largest %.2f\n", mean,
                largest);
    EXPECT_LT(mean, 8.0);
    EXPECT_LT(largest, 100.0);
}

// A resumed duel draws the frames its game would have drawn had it not been
// left: its boards stacked as a new level stacks them (the player's Menu
// button over the computer's frame), and updated in the same order, so that
// with the same seed the same meter colours and new pieces come.
TEST_F(BoardDrawTest, AResumedDuelDrawsTheFramesOfTheGameItWasSavedFrom)
{
    Platform::Window window;
    {
        QuorbSwapApp app;
        ASSERT_TRUE(StartSoftware(window, app));
        app.profiles.current = "Tester";
        app.gameMode = GameMode::Journey;
        app.bundleMap.Load("graphics\\map");
        // The same seed, then as many updates of the game on either side
        // of the save, and its frame.
        auto frameAfterUpdates = [&](Game& game, const char* file) {
            theRandom->Seed(9);
            for (int tick = 0; tick < 50; ++tick)
                game.CoreUpdate();
            BoardScene::DrawScreen(game);
            theGraphics.Present();
            EXPECT_TRUE(theGraphics.SaveBMP(file));
            return ReadBMP(folder / file).pixels;
        };
        theRandom->Seed(5);
        Game played(&app);
        app.game = &played;
        played.Initialize();
        played.initialised = true;
        played.levelType = LevelType::Duel;
        played.StartLevel(false);
        // Past the banners and the boards' slide-in, the computer playing.
        for (int tick = 0; tick < 600; ++tick)
            played.CoreUpdate();
        for (Board* board : {played.board, played.opponentBoard}) {
            // Both meters on their way up: their fills change colour as they go.
            board->meterShown = board->meterMax / 4.0f;
            board->meterValue = board->meterMax / 2.0f;
            // A shine is not saved.
            for (int i = 0; i < board->pieces.Count(); ++i)
                static_cast<Quorb*>(board->pieces.Get(i))->blinkTimer = 0;
        }
        ASSERT_TRUE(played.Save());

        app.resumeGame = true;
        Game resumed(&app);
        app.game = &resumed;
        ASSERT_TRUE(resumed.Load());
        resumed.initialised = true;
        const std::vector<uint32_t> resumedFrame = frameAfterUpdates(resumed, "resumed.bmp");
        EXPECT_TRUE(resumedFrame == frameAfterUpdates(played, "played.bmp"))
            << "the resumed duel's frame differs from the game's own";
        app.game = nullptr;
    }
    theGraphics.ResetState();
    window.Destroy();
}

// Wherever the computer's pointer wanders, its "Thinking..." label stays
// inside the computer's frame: over its pieces, off its frame and off the
// screen's edge.
TEST_F(BoardDrawTest, TheComputersThinkingLabelStaysInsideItsFrame)
{
    Platform::Window window;
    {
        QuorbSwapApp app;
        ASSERT_TRUE(StartSoftware(window, app));
        Game game(&app);
        game.board = new Board(&app, &game);
        game.board->SetRect(0, 0, 400, 600);
        game.board->SetupLevel(LevelType::Duel, 50);
        Board& computer = *(game.opponentBoard = new Board(&app, &game));
        computer.SetRect(400, 0, 400, 600);
        computer.SetupLevel(LevelType::Duel, 0);
        // Slid in.
        computer.Initialize();
        computer.initialised = true;
        computer.slideOffset = Point();
        // The far corners of where the pointer wanders while it thinks.
        Point least(1e9f, 1e9f), most(-1e9f, -1e9f);
        theRandom->Seed(3);
        for (int jump = 0; jump < 2000; ++jump) {
            computer.aiCountdown = 1000;
            computer.aiWanderTimer = 0;
            computer.UpdateComputer();
            least = Point(std::min(least.x, computer.aiPointer.x), std::min(least.y, computer.aiPointer.y));
            most = Point(std::max(most.x, computer.aiPointer.x), std::max(most.y, computer.aiPointer.y));
        }
        const float reach = BoardScene::FrameReach(app);
        const Rect grid = computer.gridRect;
        const Rect inside(grid.x + reach, grid.y + reach, grid.w - 2 * reach, grid.h - 2 * reach);
        for (const Point& at : {least, most, Point(least.x, most.y), Point(most.x, least.y)}) {
            const auto drawWith = [&](Point pointer) {
                return [&computer, pointer] {
                    computer.aiPointer = pointer;
                    BoardScene::DrawOverBlack(computer);
                };
            };
            const Rect label = BoardScene::DifferenceBox(drawWith(at), drawWith(Point(9999.0f, 9999.0f)));
            ASSERT_GT(label.w, 30.0f) << "the label shows at " << at.x << "," << at.y;
            const Rect kept = label.Intersection(inside);
            EXPECT_TRUE(kept.w == label.w && kept.h == label.h)
                << "the label at " << at.x << "," << at.y << " spans " << label.x << ".." << label.x + label.w
                << " x " << label.y << ".." << label.y + label.h << " in the board, its frame's inside "
                << inside.x << ".." << inside.x + inside.w << " x " << inside.y << ".."
                << inside.y + inside.h;
        }
    }
    theGraphics.ResetState();
    window.Destroy();
}
