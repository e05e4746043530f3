// Start-up time of the game: from process start to the title screen's first
// frame and to the end of loading, with the software and the hardware
// renderer. Every run is a fresh process, as a player's start is.
#include "app/RunApplication.h"
#include "game/QuorbSwapApp.h"
#include "platform/Shell.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kRuns = 3;

long long NowNs()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1000000000LL + t.tv_nsec;
}

// The game as it starts, noting when it first draws and when loading ends.
class TimedApp : public QuorbSwapApp
{
  public:
    explicit TimedApp(long long startNs) : startNs(startNs) {}

    void PostDraw() override
    {
        QuorbSwapApp::PostDraw();
        if (titleMs < 0 && titleScreen != nullptr)
            titleMs = (NowNs() - startNs) / 1e6;
    }
    void LoadComplete() override
    {
        QuorbSwapApp::LoadComplete();
        loadMs = (NowNs() - startNs) / 1e6;
        Quit();
    }

    long long startNs;
    double titleMs = -1;
    double loadMs = -1;
};

int RunChild(const char* mode, long long startNs)
{
    std::filesystem::current_path(QS_PROGRAM_FOLDER);
    char dataHome[] = "/tmp/qs-startup-XXXXXX";
    if (mkdtemp(dataHome) == nullptr)
        return 1;
    setenv("XDG_DATA_HOME", dataHome, 1);
    const char* args[] = {"QuorbSwap", mode};
    Platform::Shell::SetArguments(2, args);
    auto* app = new TimedApp(startNs);
    app->Initialize();
    app->Go();
    app->Quit();
    std::printf("%.1f %.1f\n", app->titleMs, app->loadMs);
    delete app;
    std::filesystem::remove_all(dataHome);
    return 0;
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? -1 : v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && std::string(argv[1]) == "--child")
        return RunChild(argv[2], std::atoll(argv[3]));

    // Without a display the game still starts, on SDL's dummy driver.
    if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr)
        setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    std::printf("Start-up of the game, median of %d fresh processes (video driver: %s)\n", kRuns,
                std::getenv("SDL_VIDEODRIVER") ? std::getenv("SDL_VIDEODRIVER") : "default");
    std::printf("  %-10s %18s %18s\n", "renderer", "title shown (ms)", "loaded (ms)");
    for (const char* mode : {"-software", "-hardware"}) {
        std::vector<double> titles, loads;
        for (int run = 0; run < kRuns; ++run) {
            std::string command =
                std::string("\"") + argv[0] + "\" --child " + mode + " " + std::to_string(NowNs());
            FILE* child = popen(command.c_str(), "r");
            double title = -1, load = -1;
            if (child != nullptr) {
                if (std::fscanf(child, "%lf %lf", &title, &load) != 2)
                    title = load = -1;
                pclose(child);
            }
            titles.push_back(title);
            loads.push_back(load);
        }
        std::printf("  %-10s %18.1f %18.1f\n", mode + 1, Median(titles), Median(loads));
    }
    return 0;
}
