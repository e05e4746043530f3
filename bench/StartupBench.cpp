// Start-up time of the game: from process start to the title screen's first
// frame and to the end of loading, with the software and the hardware
// renderer; then the updates per second the loop holds at normal speed while
// a busy thread runs on every core. Every run is a fresh process, as a
// player's start is.
#include "app/RunApplication.h"
#include "game/QuorbSwapApp.h"
#include "platform/Shell.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kRuns = 3;

// How long the loaded title screen is held while other threads burn the CPU.
constexpr double kHoldSeconds = 3.0;

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
    // A copy of the game someone left running holds the one-copy lock, which
    // would end a timed copy at once: the timed copies go by a name of their own.
    explicit TimedApp(long long startNs) : startNs(startNs) { SetName("Quorb Swap start-up benchmark"); }

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
        // The loader is done: from here every core also runs a busy thread,
        // and the loop's updates are counted.
        for (unsigned i = 0; i < std::max(1u, std::thread::hardware_concurrency()); ++i)
            burners.emplace_back([this] {
                volatile unsigned spin = 0;
                while (burning)
                    spin = spin + 1;
            });
        holdStartNs = NowNs();
        holdStartUpdates = updateCount;
    }
    void PostUpdate() override
    {
        QuorbSwapApp::PostUpdate();
        const double seconds = holdStartNs > 0 ? (NowNs() - holdStartNs) / 1e9 : 0.0;
        if (seconds >= kHoldSeconds && burning) {
            updatesPerSecond = (updateCount - holdStartUpdates) / seconds;
            StopBurning();
            Quit();
        }
    }
    void StopBurning()
    {
        burning = false;
        for (std::thread& t : burners)
            t.join();
        burners.clear();
    }

    long long startNs;
    double titleMs = -1;
    double loadMs = -1;
    long long holdStartNs = 0;
    int holdStartUpdates = 0;
    double updatesPerSecond = -1;
    std::atomic<bool> burning{true};
    std::vector<std::thread> burners;
};

int RunChild(const char* mode, long long startNs)
{
    std::filesystem::current_path(QS_PROGRAM_FOLDER);
    std::string dataHome = (std::filesystem::temp_directory_path() / "qs-startup-XXXXXX").string();
    if (mkdtemp(dataHome.data()) == nullptr)
        return 1;
    setenv("XDG_DATA_HOME", dataHome.c_str(), 1);
    const char* args[] = {"QuorbSwap", mode};
    Platform::Shell::SetArguments(2, args);
    auto* app = new TimedApp(startNs);
    app->Initialize();
    app->Go();
    app->StopBurning();
    app->Quit();
    std::printf("%.1f %.1f %.1f\n", app->titleMs, app->loadMs, app->updatesPerSecond);
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
    std::printf("Start-up of the game, median of %d fresh processes (video driver: %s); then the updates\n"
                "per second held over %.0f s at normal speed (100 asked for) while a busy thread runs on each core\n",
                kRuns, std::getenv("SDL_VIDEODRIVER") ? std::getenv("SDL_VIDEODRIVER") : "default", kHoldSeconds);
    std::printf("  %-10s %18s %18s %18s\n", "renderer", "title shown (ms)", "loaded (ms)", "updates/s loaded");
    for (const char* mode : {"-software", "-hardware"}) {
        std::vector<double> titles, loads, rates;
        for (int run = 0; run < kRuns; ++run) {
            std::string command =
                std::string("\"") + argv[0] + "\" --child " + mode + " " + std::to_string(NowNs());
            FILE* child = popen(command.c_str(), "r");
            double title = -1, load = -1, rate = -1;
            if (child != nullptr) {
                if (std::fscanf(child, "%lf %lf %lf", &title, &load, &rate) != 3)
                    title = load = rate = -1;
                pclose(child);
            }
            titles.push_back(title);
            loads.push_back(load);
            rates.push_back(rate);
        }
        std::printf("  %-10s %18.1f %18.1f %18.1f\n", mode + 1, Median(titles), Median(loads), Median(rates));
    }
    return 0;
}
