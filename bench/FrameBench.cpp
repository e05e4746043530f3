// Whole frames of the busiest screens drawn through the game's own code: a
// board (background, a 12 x 10 board mid-cascade with its effects and meters),
// a new journey's map and the records screen's jigsaw page, by the software
// renderer into each pixel format and by SDL's software renderer.
#include "app/Graphics.h"
#include "app/Random.h"
#include "game/AppAsset.h"
#include "game/Map.h"
#include "game/Puzzler.h"
#include "platform/Window.h"
#include "support/BoardScene.h"

#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

enum class Target { Software32 = 32, Software565 = 16, Software555 = 15, Sdl = 0 };

enum class Screen { Board, Map, Jigsaw };

// The scene for one target: an application with the board's art, and the
// board, on a fresh graphics device.
struct Scene
{
    Scene(Target target, Screen screen)
    {
        const bool software = target != Target::Sdl;
        if (software) {
            std::ofstream("config.cfg")
                << "DX::ScreenWidth=800\r\nDX::ScreenHeight=600\r\nDX::ColorDepth=32\r\n"
                   "DX::Fullscreen=false\r\nDX::SafeMode=true\r\n";
        } else {
            fs::remove("config.cfg");
        }
        window.Create("Frame benchmark", 0, 0, 800, 600);
        app = std::make_unique<QuorbSwapApp>();
        app->configPath = "config.cfg";
        // SDL's renderer on the dummy driver is no hardware device: only
        // the switch puts the game on it.
        if (!software)
            app->arguments = {"-hardware"};
        Graphics& g = theGraphics;
        g.SetLogicalResolution(800, 600);
        g.Startup(window.NativeHandle());
        if (software && target != Target::Software32) {
            // The 16-bit layouts come with a full-screen mode of that depth.
            g.mFullscreen = true;
            g.mColorDepth = int(target);
            g.CreateSurfaces();
        }
        BoardScene::LoadBoardArt(*app);
        if (screen == Screen::Board) {
            board = BoardScene::MakeMidGameBoard(*app, nullptr);
            return;
        }
        if (screen == Screen::Jigsaw) {
            MakeJigsawPage();
            return;
        }
        // A new journey's map, the same every run, its marker on the start.
        app->bundleMap.Load("graphics\\map");
        game = std::make_unique<Game>(app.get());
        game->level = 1;
        theRandom->Seed(2024);
        map = std::make_unique<Map>(app.get(), game.get());
        map->Generate();
        map->PlaceMarkerAtStart();
    }
    // The records screen on its jigsaw page: the first picture with twelve
    // pieces in place and eight loose ones (each with its shadow) around it;
    // the statistics and high-score pages are drawn off screen as the game
    // draws them.
    void MakeJigsawPage()
    {
        for (const AppAsset& asset : AppAssetTable()) {
            const std::string folder = asset.bundle >= 0 ? BundleFolder(asset.bundle) : "";
            if (asset.kind == AppAsset::Kind::Font || folder.starts_with("graphics\\jigsaws") ||
                folder == "graphics\\stats")
                app->LoadAsset(asset);
        }
        ProfileProgress& progress = app->progress;
        for (int i = 0; i < kJigsawPiecesPerPicture; ++i) {
            JigsawPieceRecord& piece = progress.pieces[i];
            piece.owned = 1;
            piece.placed = i < 12 ? 1 : 0;
            piece.x = float(30 + (i % 4) * 120);
            piece.y = float(20 + (i / 4) * 75);
        }
        puzzler = std::make_unique<Puzzler>(app.get());
        for (int i = 0; i < 12; ++i) {
            progress.pieces[i].x = puzzler->pieceTargets[i].x;
            progress.pieces[i].y = puzzler->pieceTargets[i].y;
        }
        // The screen opens on the high-score page: one page to the right.
        puzzler->Notify(&puzzler->scrollRightButton);
        while (puzzler->pageRemaining > 0)
            puzzler->Update();
    }
    ~Scene()
    {
        puzzler.reset();
        map.reset();
        game.reset();
        board.reset();
        app.reset();
        theGraphics.ResetState();
        window.Destroy();
    }

    Platform::Window window;
    std::unique_ptr<QuorbSwapApp> app;
    std::unique_ptr<Board> board;
    std::unique_ptr<Game> game;
    std::unique_ptr<Map> map;
    std::unique_ptr<Puzzler> puzzler;

    // The screen's gadget, for the screens drawn as one.
    Gadget* Shown() const { return map ? static_cast<Gadget*>(map.get()) : puzzler.get(); }
};

// Whether the scene runs on the renderer and pixel format asked for.
bool OnTarget(Target target)
{
    if (theGraphics.mSoftware != (target != Target::Sdl)) {
        return false;
    }
    const int bits = theGraphics.mSWHelper.GetSurfaceDesc().format.bitsPerPixel;
    return target == Target::Sdl || bits == (target == Target::Software32 ? 32 : 16);
}

// Board frames as asked: drawn, shown, or both; the same frame again, or the
// board playing on: one update between frames, so each frame changes what
// the falling pieces, popups and particles cross. After a second of play
// the cascade starts over (not timed), before the board settles.
void BoardFrames(benchmark::State& state, Target target, bool drawn, bool shown, bool playing)
{
    Scene scene(target, Screen::Board);
    if (!OnTarget(target)) {
        state.SkipWithError("the renderer or pixel format asked for is not available");
        return;
    }
    // The first frame uploads the board's textures: not part of a frame's time.
    BoardScene::DrawFrame(*scene.board);
    theGraphics.Present();
    int frames = 0;
    for (auto _ : state) {
        if (playing) {
            if (++frames % 100 == 0) {
                state.PauseTiming();
                scene.board = BoardScene::MakeMidGameBoard(*scene.app, nullptr);
                state.ResumeTiming();
            }
            scene.board->Update();
        }
        if (drawn)
            BoardScene::DrawFrame(*scene.board);
        if (shown)
            theGraphics.Present();
    }
}

// A whole frame: drawn, then shown.
void BoardFrame(benchmark::State& state, Target target)
{
    BoardFrames(state, target, true, true, false);
}

// The drawing alone. The software renderer writes its pixels as it goes;
// SDL's renderer queues the work until the frame is shown, so its drawing
// is its whole frame less showing a frame with nothing queued.
void BoardDrawing(benchmark::State& state, Target target)
{
    const bool sdl = target == Target::Sdl;
    BoardFrames(state, target, !sdl, sdl, false);
}

void BoardPlayFrame(benchmark::State& state, Target target)
{
    BoardFrames(state, target, true, true, true);
}

void BoardPlayDrawing(benchmark::State& state, Target target)
{
    BoardFrames(state, target, true, false, true);
}

// A screen with its buttons, drawn and shown.
void ScreenFrame(benchmark::State& state, Screen screen, Target target)
{
    Scene scene(target, screen);
    if (!OnTarget(target)) {
        state.SkipWithError("the renderer or pixel format asked for is not available");
        return;
    }
    const bool loaded =
        screen == Screen::Map ? scene.map->sprBackground.mLoaded : scene.app->jigsawPieceSprites[0].mLoaded;
    if (!loaded) {
        state.SkipWithError("the screen's art did not load");
        return;
    }
    auto frame = [&scene] {
        Graphics& g = theGraphics;
        g.BeginScene();
        g.mTranslation = Point(0.0f, 0.0f);
        g.ResetClip();
        scene.Shown()->CoreDraw();
        g.EndScene();
        g.Present();
    };
    // The first frame uploads the screen's textures: not part of a frame's time.
    frame();
    for (auto _ : state)
        frame();
}

void MapFrame(benchmark::State& state, Target target)
{
    ScreenFrame(state, Screen::Map, target);
}

void JigsawFrame(benchmark::State& state, Target target)
{
    ScreenFrame(state, Screen::Jigsaw, target);
}

BENCHMARK_CAPTURE(BoardFrame, software_XRGB8888, Target::Software32)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BoardFrame, software_RGB565, Target::Software565)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BoardFrame, software_RGB555, Target::Software555)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BoardFrame, sdl, Target::Sdl)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(MapFrame, software_XRGB8888, Target::Software32)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(MapFrame, software_RGB565, Target::Software565)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(MapFrame, software_RGB555, Target::Software555)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(MapFrame, sdl, Target::Sdl)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(JigsawFrame, software_XRGB8888, Target::Software32)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(JigsawFrame, software_RGB565, Target::Software565)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(JigsawFrame, software_RGB555, Target::Software555)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(JigsawFrame, sdl, Target::Sdl)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BoardDrawing, software_XRGB8888, Target::Software32)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BoardDrawing, software_RGB565, Target::Software565)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BoardDrawing, software_RGB555, Target::Software555)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BoardDrawing, sdl_present_only, Target::Sdl)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BoardPlayFrame, software_XRGB8888, Target::Software32)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BoardPlayFrame, software_RGB565, Target::Software565)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BoardPlayFrame, software_RGB555, Target::Software555)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BoardPlayDrawing, software_XRGB8888, Target::Software32)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BoardPlayDrawing, software_RGB565, Target::Software565)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BoardPlayDrawing, software_RGB555, Target::Software555)->Unit(benchmark::kMillisecond);

// Prints the milliseconds per frame and SDL's time divided by ours.
class FrameReporter : public benchmark::ConsoleReporter
{
  public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        // With repetitions the medians count, of the processor time: the machine may be
        // busy, and every frame here is work of this thread alone (the dummy driver shows
        // nothing, so nothing is waited for).
        for (const Run& run : runs) {
            const bool single = run.run_type == Run::RT_Iteration && run.repetitions <= 1;
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if ((single || median) && !run.error_occurred)
                milliseconds[run.run_name.str()] = run.GetAdjustedCPUTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
    // Per screen and target: the whole frame beside SDL's and the ratio; for
    // the board also the drawing alone (frame less present).
    void PrintSummary() const
    {
        auto at = [&](const std::string& name) {
            auto it = milliseconds.find(name);
            return it == milliseconds.end() ? -1.0 : it->second;
        };
        std::printf("\nFrame time in milliseconds of processor time, drawn and shown: the software renderer per pixel format "
                    "beside SDL's renderer\n(xN: SDL's time / ours, above 1 ours is faster)\n");
        std::printf("  %-22s %-18s %10s %10s %7s\n", "screen", "software format", "software", "SDL", "ratio");
        const std::pair<const char*, const char*> screens[] = {{"BoardFrame", "board 12x10 cascade"},
                                                               {"MapFrame", "journey map"},
                                                               {"JigsawFrame", "jigsaw page"}};
        for (const auto& [bench, title] : screens) {
            const double sdl = at(std::string(bench) + "/sdl");
            for (const char* target : {"software_XRGB8888", "software_RGB565", "software_RGB555"}) {
                const double ours = at(std::string(bench) + "/" + target);
                if (ours > 0 && sdl > 0)
                    std::printf("  %-22s %-18s %10.3f %10.3f %6.2fx\n", title, target + 9, ours, sdl,
                                sdl / ours);
            }
        }
        std::printf("\nThe board frame drawn and shown beside its drawing alone (xN: the whole frame's time / "
                    "the drawing's); the same frame again, and frames of the board playing on (16-bit frames\n"
                    "are full screen, scaled to the 1024 x 768 desktop)\n");
        std::printf("  %-22s %-18s %10s %10s %7s\n", "screen", "software format", "shown", "drawing", "ratio");
        const std::pair<const char*, const char*> boards[] = {{"Board", "board 12x10 cascade"},
                                                              {"BoardPlay", "board playing on"}};
        for (const auto& [bench, title] : boards) {
            for (const char* target : {"software_XRGB8888", "software_RGB565", "software_RGB555"}) {
                const double shown = at(std::string(bench) + "Frame/" + target);
                const double draw = at(std::string(bench) + "Drawing/" + target);
                if (shown > 0 && draw > 0)
                    std::printf("  %-22s %-18s %10.3f %10.3f %6.2fx\n", title, target + 9, shown, draw,
                                shown / draw);
            }
        }
        const double sdlDraw = at("BoardFrame/sdl") - at("BoardDrawing/sdl_present_only");
        std::printf("\nThe board's drawing alone (frame less present; SDL draws when it presents)\n");
        for (const char* target : {"software_XRGB8888", "software_RGB565", "software_RGB555"}) {
            const double draw = at(std::string("BoardDrawing/") + target);
            if (draw > 0 && sdlDraw > 0)
                std::printf("  %-22s %-18s %10.3f %10.3f %6.2fx\n", "board 12x10 cascade", target + 9, draw,
                            sdlDraw, sdlDraw / draw);
        }
    }

    std::map<std::string, double> milliseconds;
};

} // namespace

int main(int argc, char** argv)
{
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    SDL_SetHint(SDL_HINT_RENDER_DRIVER, "software");
    // Settings, caches and saved lists go to a folder of the run's own; the
    // game's art is linked in from the program folder.
    const fs::path folder = fs::temp_directory_path() / ("qs-frame-bench-" + std::to_string(getpid()));
    fs::create_directories(folder);
    fs::current_path(folder);
    BoardScene::LinkAssetFolders(QS_PROGRAM_FOLDER);

    // Without arguments every frame is timed in three runs and the medians count.
    std::vector<char*> args(argv, argv + argc);
    char repetitions[] = "--benchmark_repetitions=3";
    char aggregates[] = "--benchmark_report_aggregates_only=true";
    char minTime[] = "--benchmark_min_time=0.5";
    if (argc == 1) {
        args.push_back(repetitions);
        args.push_back(aggregates);
        args.push_back(minTime);
    }
    int count = int(args.size());
    benchmark::Initialize(&count, args.data());
    FrameReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintSummary();
    benchmark::Shutdown();
    fs::current_path(fs::temp_directory_path());
    fs::remove_all(folder);
    return 0;
}
