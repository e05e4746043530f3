// The processor time the game takes on its quiet screens: per second of wall
// time, on the title screen, the main menu and a Casual board in play, at
// the game's normal 100 updates a second. The real program runs in a fresh
// process under an X server of the benchmark's own (Xvfb, 1024 x 768 at 24
// bits, no 3D hardware), in software mode at 16 bits (full screen, the only
// place 16-bit frames are shown) and at 32 bits (an 800 x 600 window), and
// as a first start leaves it: in the mode the hardware test chooses. Every
// thread of the game counts, the driver's included.
#include "app/Graphics.h"
#include "game/QuorbSwapApp.h"
#include "platform/Shell.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr double kSettleSeconds = 1.5;
constexpr double kMeasureSeconds = 4.0;

double Seconds(clockid_t clock)
{
    timespec t{};
    clock_gettime(clock, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

// The game walking itself through the three screens, measuring each once it
// has settled.
class MeasuredApp : public QuorbSwapApp
{
  public:
    enum Phase { Title, Menu, Board, Done };

    explicit MeasuredApp(const char* config) : config(config)
    {
        // Away from a copy someone left running, and its data folder.
        SetName("Quorb Swap processor benchmark");
    }

    void Initialize() override
    {
        ResolveDataFolder();
        if (*config != '\0')
            std::ofstream(configPath.CStr()) << config;
        QuorbSwapApp::Initialize();
    }

    void PostUpdate() override
    {
        QuorbSwapApp::PostUpdate();
        if (!loaded || loading || transition != nullptr || phase == Done)
            return;
        const double now = Seconds(CLOCK_MONOTONIC);
        if (phaseStart < 0) {
            phaseStart = now;
            return;
        }
        if (measureStart < 0 && now - phaseStart >= Settle()) {
            measureStart = now;
            cpuStart = Seconds(CLOCK_PROCESS_CPUTIME_ID);
            return;
        }
        if (measureStart < 0 || now - measureStart < kMeasureSeconds)
            return;
        share[phase] = (Seconds(CLOCK_PROCESS_CPUTIME_ID) - cpuStart) / (now - measureStart);
        Advance();
    }

    void Advance()
    {
        phase = Phase(phase + 1);
        phaseStart = measureStart = -1;
        if (phase == Menu) {
            profiles.Add("Bench");
            LoadConfig();
            for (uint8_t& off : progress.tutorialShown)
                off = 1;
            GoToMainMenu(false);
        } else if (phase == Board) {
            gameMode = GameMode::Casual;
            GoToGame(false);
        } else {
            Quit();
        }
    }

    // The board opens with its pieces falling in and its greeting.
    double Settle() const { return phase == Board ? 3 * kSettleSeconds : kSettleSeconds; }

    const char* config;
    Phase phase = Title;
    double phaseStart = -1;
    double measureStart = -1;
    double cpuStart = 0;
    double share[Done] = {-1, -1, -1};
};

int RunChild(const char* switchName, const char* config)
{
    std::filesystem::current_path(QS_PROGRAM_FOLDER);
    std::string dataHome = (std::filesystem::temp_directory_path() / "qs-cpu-XXXXXX").string();
    if (mkdtemp(dataHome.data()) == nullptr)
        return 1;
    setenv("XDG_DATA_HOME", dataHome.c_str(), 1);
    const char* args[] = {"QuorbSwap", switchName};
    Platform::Shell::SetArguments(*switchName != '\0' ? 2 : 1, args);
    auto* app = new MeasuredApp(config);
    app->Initialize();
    app->Go();
    const bool software = theGraphics.mSoftware;
    const int bits = software ? theGraphics.mSWHelper.GetSurfaceDesc().format.bitsPerPixel : 32;
    std::printf("%.3f %.3f %.3f %s-%d\n", app->share[0], app->share[1], app->share[2],
                software ? "software" : "hardware", bits);
    delete app;
    std::filesystem::remove_all(dataHome);
    return 0;
}

// An X server of our own; its display name, or empty when none starts.
std::string StartXvfb(pid_t& server)
{
    int ready[2];
    if (pipe(ready) != 0)
        return "";
    server = fork();
    if (server == 0) {
        close(ready[0]);
        const std::string fd = std::to_string(ready[1]);
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1024x768x24", "-nolisten", "tcp",
               static_cast<char*>(nullptr));
        _exit(127);
    }
    close(ready[1]);
    char number[16] = {};
    const ssize_t got = server > 0 ? read(ready[0], number, sizeof number - 1) : -1;
    close(ready[0]);
    return got > 0 ? ":" + std::to_string(std::atoi(number)) : "";
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && std::string(argv[1]) == "--child")
        return RunChild(argv[2], argv[3]);

    pid_t server = -1;
    const std::string display = StartXvfb(server);
    if (display.empty()) {
        std::printf("Processor time per screen: skipped, no X server (Xvfb) could be started\n");
        return 0;
    }
    setenv("DISPLAY", display.c_str(), 1);
    unsetenv("SDL_VIDEODRIVER");
    unsetenv("WAYLAND_DISPLAY");
    setenv("SDL_AUDIODRIVER", "dummy", 0);

    struct Mode
    {
        const char* title;
        const char* switchName;
        const char* config;
    };
    const Mode modes[] = {
        {"software, 16 bits", "-software",
         "DX::ScreenWidth=800\r\nDX::ScreenHeight=600\r\nDX::ColorDepth=16\r\nDX::Fullscreen=true\r\n"},
        {"software, 32 bits", "-software",
         "DX::ScreenWidth=800\r\nDX::ScreenHeight=600\r\nDX::ColorDepth=32\r\nDX::Fullscreen=false\r\n"},
        {"first start", "", ""},
    };
    std::printf("\nProcessor time of the game per second of wall time, all its threads, at 100 updates a second\n"
                "(the real program under Xvfb 1024 x 768 x 24, no 3D hardware; %.0f s per screen)\n",
                kMeasureSeconds);
    std::printf("  %-20s %-14s %9s %9s %9s\n", "mode", "renderer", "title", "menu", "board");
    for (const Mode& mode : modes) {
        const std::string command = std::string("\"") + argv[0] + "\" --child '" + mode.switchName + "' '" +
                                    mode.config + "'";
        FILE* child = popen(command.c_str(), "r");
        double title = -1, menu = -1, board = -1;
        char renderer[32] = "?";
        if (child != nullptr) {
            if (std::fscanf(child, "%lf %lf %lf %31s", &title, &menu, &board, renderer) != 4)
                title = menu = board = -1;
            pclose(child);
        }
        std::printf("  %-20s %-14s %8.1f%% %8.1f%% %8.1f%%\n", mode.title, renderer, 100 * title, 100 * menu,
                    100 * board);
    }
    kill(server, SIGTERM);
    waitpid(server, nullptr, 0);
    return 0;
}
