// The processor time the game takes on its quiet screens: per second of wall
// time, on the title screen, the main menu, a Casual board being played and
// a new journey's map, at the game's normal 100 updates a second. The real
// program runs in a fresh process under X servers of the benchmark's own
// (Xvfb, 1024 x 768, no 3D hardware): on a 24-bit desktop and a deep-colour
// (30-bit) one in turn, in software mode at 16 and 32 bits in full screen
// (the only place 16-bit frames are shown), at 32 bits in an 800 x 600
// window, and as a first start leaves it, in the mode the hardware test
// chooses; then on a 16-bit desktop (remote sessions, small machines) in
// software full screen at 16 and 32 bits. Every thread of the game counts,
// the driver's included. A server or game that does not start is an error
// naming why, never a figure.
#include "app/Graphics.h"
#include "game/Board.h"
#include "game/Game.h"
#include "game/QuorbSwapApp.h"
#include "platform/Shell.h"
#include "support/XServer.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr double kSettleSeconds = 1.5;
constexpr double kMeasureSeconds = 4.0;
constexpr const char* kScreens[] = {"title", "menu", "board", "map"};
constexpr int kScreenCount = 4;
// A move is made on the board this often, in updates, when one is there.
constexpr int kMoveEvery = 60;

double Seconds(clockid_t clock)
{
    timespec t{};
    clock_gettime(clock, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

// The game walking itself through the screens, measuring each once it has
// settled.
class MeasuredApp : public QuorbSwapApp
{
  public:
    enum Phase { Title, Menu, Board, Map, Done };

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
        if (phase == Board && ++updates % kMoveEvery == 0)
            MakeAMove();
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
        } else if (phase == Map) {
            gameMode = GameMode::Journey;
            GoToGame(false);
        } else {
            Quit();
        }
    }

    // A swap that makes a line, as a player would make it.
    void MakeAMove()
    {
        ::Board* board = game ? game->board : nullptr;
        Point at;
        Point way;
        if (board == nullptr || !board->IsUncovered() || !board->FindPossibleMove(&at, &way))
            return;
        board->TrySwap(board->PieceAtPoint(at),
                       board->PieceAt(at.x + way.x * board->cellSize, at.y + way.y * board->cellSize));
    }

    // The board opens with its pieces falling in and its greeting.
    double Settle() const { return phase == Board ? 3 * kSettleSeconds : kSettleSeconds; }

    const char* config;
    Phase phase = Title;
    double phaseStart = -1;
    double measureStart = -1;
    double cpuStart = 0;
    int updates = 0;
    double share[Done] = {-1, -1, -1, -1};
};

int RunChild(const char* switchName, const char* config)
{
    std::filesystem::current_path(QS_PROGRAM_FOLDER);
    std::string dataHome = (std::filesystem::temp_directory_path() / "qs-cpu-XXXXXX").string();
    if (mkdtemp(dataHome.data()) == nullptr) {
        std::fprintf(stderr, "no data folder could be made in the temporary folder\n");
        return 1;
    }
    setenv("XDG_DATA_HOME", dataHome.c_str(), 1);
    const char* args[] = {"QuorbSwap", switchName};
    Platform::Shell::SetArguments(*switchName != '\0' ? 2 : 1, args);
    auto* app = new MeasuredApp(config);
    app->Initialize();
    app->Go();
    const bool software = theGraphics.mSoftware;
    const int bits = software ? theGraphics.mSWHelper.GetSurfaceDesc().format.bitsPerPixel : 32;
    const auto unmeasured =
        std::find_if(std::begin(app->share), std::end(app->share), [](double s) { return s < 0; });
    const bool measured = unmeasured == std::end(app->share);
    if (measured) {
        std::printf("%.3f %.3f %.3f %.3f %s-%d\n", app->share[0], app->share[1], app->share[2],
                    app->share[3], software ? "software" : "hardware", bits);
    } else {
        // The game says why on standard error before it ends, if it knows.
        std::fprintf(stderr, "the game ended before its %s screen was measured\n",
                     kScreens[unmeasured - std::begin(app->share)]);
    }
    delete app;
    std::filesystem::remove_all(dataHome);
    return measured ? 0 : 1;
}

struct Mode
{
    const char* title;
    const char* switchName;
    const char* config;
};

struct Figures
{
    double share[kScreenCount] = {-1, -1, -1, -1};
    std::string renderer;
    std::string error; // why there are none
};

// One run of the real program in a fresh process, in the mode given.
Figures Measure(const char* self, const Mode& mode)
{
    Figures figures;
    const MessageFile messages;
    const std::string command = std::string("\"") + self + "\" --child '" + mode.switchName + "' '" +
                                mode.config + "' 2>'" + messages.Path() + "'";
    FILE* child = popen(command.c_str(), "r");
    if (child == nullptr) {
        figures.error = std::string("the game could not be started: ") + std::strerror(errno);
        return figures;
    }
    char renderer[32] = "";
    const int read = std::fscanf(child, "%lf %lf %lf %lf %31s", &figures.share[0], &figures.share[1],
                                 &figures.share[2], &figures.share[3], renderer);
    const int status = pclose(child);
    figures.renderer = renderer;
    if (read != kScreenCount + 1 || status != 0) {
        const std::string said = messages.LastLines();
        figures.error = "the game did not run on " + std::string(std::getenv("DISPLAY")) + ": " +
                        (said.empty() ? "it ended " + HowItEnded(status) : said);
    }
    return figures;
}

void PrintRow(const char* desktop, const char* mode, const Figures& figures)
{
    if (!figures.error.empty()) {
        std::printf("  %-9s %-20s error: %s\n", desktop, mode, figures.error.c_str());
        return;
    }
    std::printf("  %-9s %-20s %-14s", desktop, mode, figures.renderer.c_str());
    for (double share : figures.share)
        std::printf(" %8.1f%%", 100 * share);
    std::printf("\n");
}

// A desktop of the depth given, under an X server of its own, and the
// figures of each mode run there, in order.
struct Desktop
{
    explicit Desktop(int depth) : depth(depth), server(depth) {}

    // Measures the mode here and prints its row; false on an error.
    bool Run(const char* self, const Mode& mode)
    {
        Figures figures;
        if (server.Running()) {
            setenv("DISPLAY", server.display.c_str(), 1);
            figures = Measure(self, mode);
        }
        if (!server.Running())
            figures.error = server.error;
        PrintRow((std::to_string(depth) + " bits").c_str(), mode.title, figures);
        results.push_back(figures);
        return figures.error.empty();
    }

    const int depth;
    XServer server;
    std::vector<Figures> results;
};

// Each screen's figure on one desktop over the 24-bit one's, for the modes
// both ran first.
void PrintRatios(const std::vector<Mode>& modes, const Desktop& base, const Desktop& other)
{
    std::printf("  the %d-bit desktop's over the %d-bit one's:\n", other.depth, base.depth);
    for (size_t i = 0; i < other.results.size(); ++i) {
        std::printf("  %-9s %-20s %-14s", "", modes[i].title, "");
        for (int screen = 0; screen < kScreenCount; ++screen) {
            const Figures& over = other.results[i];
            const Figures& under = base.results[i];
            if (over.error.empty() && under.error.empty())
                std::printf(" %8.2fx", over.share[screen] / under.share[screen]);
            else
                std::printf(" %9s", "-");
        }
        std::printf("\n");
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && std::string(argv[1]) == "--child")
        return RunChild(argv[2], argv[3]);

    unsetenv("SDL_VIDEODRIVER");
    unsetenv("WAYLAND_DISPLAY");
    setenv("SDL_AUDIODRIVER", "dummy", 0);

    const Mode software16 = {"software, 16 bits", "-software",
                             "DX::ScreenWidth=800\r\nDX::ScreenHeight=600\r\nDX::ColorDepth=16\r\n"
                             "DX::Fullscreen=true\r\n"};
    const Mode software32 = {"software, 32 bits", "-software",
                             "DX::ScreenWidth=800\r\nDX::ScreenHeight=600\r\nDX::ColorDepth=32\r\n"
                             "DX::Fullscreen=true\r\n"};
    const Mode window32 = {"window, 32 bits", "-software",
                           "DX::ScreenWidth=800\r\nDX::ScreenHeight=600\r\nDX::ColorDepth=32\r\n"
                           "DX::Fullscreen=false\r\n"};
    const Mode firstStart = {"first start", "", ""};
    // The full-screen modes first, which the 16-bit desktop runs too.
    const std::vector<Mode> modes = {software16, software32, window32, firstStart};
    constexpr size_t kOnSixteenBits = 2;

    std::printf(
        "\nProcessor time of the game per second of wall time, all its threads, at 100 updates a second\n"
        "(the real program under Xvfb 1024 x 768, no 3D hardware; software modes in full screen but for\n"
        "the window; %.0f s per screen; the 24- and 30-bit desktops take turns, mode by mode)\n",
        kMeasureSeconds);
    std::printf("  %-9s %-20s %-14s %9s %9s %9s %9s\n", "desktop", "mode", "renderer", kScreens[0], kScreens[1],
                kScreens[2], kScreens[3]);
    bool ran = true;
    Desktop usual(24);
    {
        Desktop deep(30);
        for (const Mode& mode : modes) {
            ran = usual.Run(argv[0], mode) && ran;
            ran = deep.Run(argv[0], mode) && ran;
        }
        PrintRatios(modes, usual, deep);
    }
    Desktop sixteen(16);
    for (size_t i = 0; i < kOnSixteenBits; ++i)
        ran = sixteen.Run(argv[0], modes[i]) && ran;
    PrintRatios(modes, usual, sixteen);
    return ran ? 0 : 1;
}
