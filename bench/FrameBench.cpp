// One whole board frame (background, a 12 x 10 board mid-cascade with its
// effects and meters) drawn through the game's own code: by the software
// renderer into each pixel format, and by SDL's software renderer.
#include "app/Graphics.h"
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

namespace fs = std::filesystem;

namespace {

enum class Target { Software32 = 32, Software565 = 16, Software555 = 15, Sdl = 0 };

// The scene for one target: an application with the board's art, and the
// board, on a fresh graphics device.
struct Scene
{
    explicit Scene(Target target)
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
        board = BoardScene::MakeMidGameBoard(*app, nullptr);
    }
    ~Scene()
    {
        board.reset();
        app.reset();
        theGraphics.ResetState();
        window.Destroy();
    }

    Platform::Window window;
    std::unique_ptr<QuorbSwapApp> app;
    std::unique_ptr<Board> board;
};

void BoardFrame(benchmark::State& state, Target target)
{
    Scene scene(target);
    const bool ok = theGraphics.mSoftware == (target != Target::Sdl) &&
                    (target == Target::Sdl || theGraphics.mSWHelper.GetSurfaceDesc().format.bitsPerPixel ==
                                                  (target == Target::Software32 ? 32 : 16));
    if (!ok) {
        state.SkipWithError("the renderer or pixel format asked for is not available");
        return;
    }
    for (auto _ : state) {
        BoardScene::DrawFrame(*scene.board);
        theGraphics.Present();
    }
}

BENCHMARK_CAPTURE(BoardFrame, software_XRGB8888, Target::Software32)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BoardFrame, software_RGB565, Target::Software565)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BoardFrame, software_RGB555, Target::Software555)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BoardFrame, sdl, Target::Sdl)->Unit(benchmark::kMillisecond);

// Prints the milliseconds per frame and SDL's time divided by ours.
class FrameReporter : public benchmark::ConsoleReporter
{
  public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            if (!run.error_occurred && run.iterations > 0)
                milliseconds[run.benchmark_name()] = run.GetAdjustedRealTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
    void PrintSummary() const
    {
        auto sdl = milliseconds.find("BoardFrame/sdl");
        std::printf("\nOne board frame, milliseconds (SDL's time / ours: above 1, ours is faster)\n");
        for (const auto& [name, ms] : milliseconds) {
            if (sdl != milliseconds.end() && name != sdl->first)
                std::printf("  %-32s %7.3f ms   x%.2f\n", name.c_str(), ms, sdl->second / ms);
            else
                std::printf("  %-32s %7.3f ms\n", name.c_str(), ms);
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

    benchmark::Initialize(&argc, argv);
    FrameReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintSummary();
    benchmark::Shutdown();
    fs::current_path(fs::temp_directory_path());
    fs::remove_all(folder);
    return 0;
}
