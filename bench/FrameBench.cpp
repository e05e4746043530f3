// Whole frames of the busiest screens drawn through the game's own code: a
// board (background, a 12 x 10 board mid-cascade with its effects and meters)
// and a new journey's map, by the software renderer into each pixel format
// and by SDL's software renderer.
#include "app/Graphics.h"
#include "app/Random.h"
#include "game/Map.h"
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

enum class Screen { Board, Map };

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
        // A new journey's map, the same every run, its marker on the start.
        app->bundleMap.Load("graphics\\map");
        game = std::make_unique<Game>(app.get());
        game->level = 1;
        theRandom->Seed(2024);
        map = std::make_unique<Map>(app.get(), game.get());
        map->Generate();
        map->PlaceMarkerAtStart();
    }
    ~Scene()
    {
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

// A whole frame: drawn, then shown.
void BoardFrame(benchmark::State& state, Target target)
{
    Scene scene(target, Screen::Board);
    if (!OnTarget(target)) {
        state.SkipWithError("the renderer or pixel format asked for is not available");
        return;
    }
    for (auto _ : state) {
        BoardScene::DrawFrame(*scene.board);
        theGraphics.Present();
    }
}

// The map screen with its buttons, drawn and shown.
void MapFrame(benchmark::State& state, Target target)
{
    Scene scene(target, Screen::Map);
    if (!OnTarget(target)) {
        state.SkipWithError("the renderer or pixel format asked for is not available");
        return;
    }
    if (!scene.map->sprBackground.mLoaded) {
        state.SkipWithError("the map's art did not load");
        return;
    }
    Graphics& g = theGraphics;
    for (auto _ : state) {
        g.BeginScene();
        g.mTranslation = Point(0.0f, 0.0f);
        g.ResetClip();
        scene.map->CoreDraw();
        g.EndScene();
        g.Present();
    }
}

// The drawing alone. The software renderer writes its pixels as it goes;
// SDL's renderer queues the work until the frame is shown, so its drawing
// is its whole frame less showing a frame with nothing queued.
void BoardDrawing(benchmark::State& state, Target target)
{
    Scene scene(target, Screen::Board);
    if (!OnTarget(target)) {
        state.SkipWithError("the renderer or pixel format asked for is not available");
        return;
    }
    const bool sdl = target == Target::Sdl;
    for (auto _ : state) {
        if (sdl)
            theGraphics.Present();
        else
            BoardScene::DrawFrame(*scene.board);
    }
}

BENCHMARK_CAPTURE(BoardFrame, software_XRGB8888, Target::Software32)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BoardFrame, software_RGB565, Target::Software565)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BoardFrame, software_RGB555, Target::Software555)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BoardFrame, sdl, Target::Sdl)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(MapFrame, software_XRGB8888, Target::Software32)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(MapFrame, software_RGB565, Target::Software565)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(MapFrame, software_RGB555, Target::Software555)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(MapFrame, sdl, Target::Sdl)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BoardDrawing, software_XRGB8888, Target::Software32)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BoardDrawing, software_RGB565, Target::Software565)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BoardDrawing, software_RGB555, Target::Software555)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BoardDrawing, sdl_present_only, Target::Sdl)->Unit(benchmark::kMillisecond);

// Prints the milliseconds per frame and SDL's time divided by ours.
class FrameReporter : public benchmark::ConsoleReporter
{
  public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        // With repetitions the medians count: the machine may be busy.
        for (const Run& run : runs) {
            const bool single = run.run_type == Run::RT_Iteration && run.repetitions <= 1;
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if ((single || median) && !run.error_occurred)
                milliseconds[run.run_name.str()] = run.GetAdjustedRealTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
    // Per target: the whole frame, the drawing alone (frame less present),
    // and SDL's times divided by ours.
    void PrintSummary() const
    {
        auto at = [&](const std::string& name) {
            auto it = milliseconds.find(name);
            return it == milliseconds.end() ? -1.0 : it->second;
        };
        const double sdlFrame = at("BoardFrame/sdl");
        const double sdlDraw = sdlFrame - at("BoardDrawing/sdl_present_only");
        std::printf("\nOne board frame in milliseconds, drawn and shown, and drawn alone "
                    "(xN: SDL's time / ours, above 1 ours is faster)\n");
        for (const char* target : {"software_XRGB8888", "software_RGB565", "software_RGB555"}) {
            const double frame = at(std::string("BoardFrame/") + target);
            const double draw = at(std::string("BoardDrawing/") + target);
            if (frame > 0 && draw > 0)
                std::printf("  %-18s frame %7.3f ms (x%.2f)   drawing %7.3f ms (x%.2f)\n", target, frame,
                            sdlFrame / frame, draw, sdlDraw / draw);
        }
        std::printf("  %-18s frame %7.3f ms           drawing %7.3f ms\n", "sdl", sdlFrame, sdlDraw);
        const double sdlMap = at("MapFrame/sdl");
        std::printf("\nThe journey map in milliseconds, drawn and shown (xN: SDL's time / ours)\n");
        for (const char* target : {"software_XRGB8888", "software_RGB565", "software_RGB555"}) {
            const double frame = at(std::string("MapFrame/") + target);
            if (frame > 0 && sdlMap > 0)
                std::printf("  %-18s frame %7.3f ms (x%.2f)\n", target, frame, sdlMap / frame);
        }
        std::printf("  %-18s frame %7.3f ms\n", "sdl", sdlMap);
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
