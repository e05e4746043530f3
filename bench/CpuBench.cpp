// The processor time the game takes on its quiet screens: per second of wall
// time, on the title screen, the main menu and a Casual board in play, at
// the game's normal 100 updates a second. The real program runs in a fresh
// process under X servers of the benchmark's own (Xvfb, 1024 x 768, no 3D
// hardware): on a 24-bit desktop in software mode at 16 and 32 bits in full
// screen (the only place 16-bit frames are shown) and at 32 bits in an
// 800 x 600 window, and as a first start leaves it, in the mode the hardware
// test chooses; on a 16-bit desktop (remote sessions, small machines) in
// software full screen at 16 and 32 bits. Every thread of the game counts,
// the driver's included. A server or game that does not start is an error
// naming why, never a figure.
#include "app/Graphics.h"
#include "game/QuorbSwapApp.h"
#include "platform/Shell.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <memory>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr double kSettleSeconds = 1.5;
constexpr double kMeasureSeconds = 4.0;
constexpr const char* kScreens[] = {"title", "menu", "board"};

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
        std::printf("%.3f %.3f %.3f %s-%d\n", app->share[0], app->share[1], app->share[2],
                    software ? "software" : "hardware", bits);
    } else {
        // The game says why on standard error before it ends, if it knows.
        std::fprintf(stderr, "the game ended before its %s screen was measured\n",
                     kScreens[unmeasured - std::begin(app->share)]);
    }
    delete app;
    std::filesystem::remove_all(dataHome);
    return measured ? 0 : 1;
}

std::string HowItEnded(int status)
{
    if (WIFSIGNALED(status))
        return "by signal " + std::to_string(WTERMSIG(status));
    return "with exit status " + std::to_string(WEXITSTATUS(status));
}

// A file in the temporary folder a child process writes its messages to:
// the last of them say why it failed. Only the child it is handed to holds
// it open: not a game started meanwhile, nor the servers of later rows.
class MessageFile
{
  public:
    MessageFile() : path((std::filesystem::temp_directory_path() / "qs-cpu-messages-XXXXXX").string())
    {
        fd = mkostemp(path.data(), O_CLOEXEC);
    }
    ~MessageFile()
    {
        if (fd >= 0) {
            close(fd);
            unlink(path.c_str());
        }
    }
    MessageFile(const MessageFile&) = delete;
    MessageFile& operator=(const MessageFile&) = delete;

    int Fd() const { return fd; }
    const std::string& Path() const { return path; }

    // The last few lines, joined: a program's own last words may come after
    // the one that says why.
    std::string LastLines() const
    {
        constexpr size_t kLines = 3;
        std::ifstream in(path);
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);) {
            if (line.find_first_not_of(" \t\r") != std::string::npos)
                lines.push_back(line);
        }
        std::string joined;
        for (size_t i = lines.size() > kLines ? lines.size() - kLines : 0; i < lines.size(); ++i)
            joined += (joined.empty() ? "" : "; ") + lines[i];
        return joined;
    }

    bool Says(const char* text) const
    {
        std::ifstream in(path);
        for (std::string line; std::getline(in, line);) {
            if (line.find(text) != std::string::npos)
                return true;
        }
        return false;
    }

  private:
    std::string path;
    int fd = -1;
};

// An X server of our own, on a display number no other server holds: one
// with neither a lock file nor a socket, as xvfb-run -a picks, above the
// numbers xvfb-run takes first so that a test run starting meanwhile keeps
// its own. A number taken in between makes the server fail; the next one is
// tried. So is one whose socket has no file to show for it: a server in a
// sandbox with a /tmp of its own listens on the abstract name alone, and
// ours then cannot listen.
class XServer
{
  public:
    XServer(int depth)
    {
        for (int number = kFirstDisplay; number < kFirstDisplay + kAttempts; ++number) {
            if (Held(number))
                continue;
            if (Start(number, depth))
                return;
            // A server that failed for a reason of its own would fail again.
            if (!Held(number) && !messages->Says(kCannotListen))
                return;
        }
        error = "every display number from " + std::to_string(kFirstDisplay) + " to " +
                std::to_string(kFirstDisplay + kAttempts - 1) + " is held by another X server";
    }
    ~XServer() { Stop(); }
    XServer(const XServer&) = delete;
    XServer& operator=(const XServer&) = delete;

    // False once the server has ended, or never started; the error then
    // says why. A server gone under a game is why the game failed.
    bool Running()
    {
        int status = 0;
        if (pid > 0 && waitpid(pid, &status, WNOHANG) == pid) {
            pid = -1;
            const std::string said = messages->LastLines();
            error = "the X server on " + display + " ended " + HowItEnded(status) +
                    (said.empty() ? "" : ": " + said);
            display.clear();
        }
        return !display.empty();
    }

    std::string display; // empty when no server started
    std::string error;   // why not

  private:
    static constexpr int kFirstDisplay = 140;
    static constexpr int kAttempts = 40;
    static constexpr int kReadyMilliseconds = 15000;
    // What the server says when another one holds its socket.
    static constexpr const char* kCannotListen = "Cannot establish any listening sockets";

    static bool Held(int number)
    {
        const std::string n = std::to_string(number);
        return std::filesystem::exists("/tmp/.X" + n + "-lock") ||
               std::filesystem::exists("/tmp/.X11-unix/X" + n);
    }

    bool Start(int number, int depth)
    {
        int ready[2];
        if (pipe(ready) != 0) {
            error = "no pipe for the X server";
            return false;
        }
        messages = std::make_unique<MessageFile>();
        std::string name(":");
        name += std::to_string(number);
        pid = fork();
        if (pid < 0) {
            error = std::string("the X server could not be started: fork failed: ") + std::strerror(errno);
            close(ready[0]);
            close(ready[1]);
            return false;
        }
        if (pid == 0) {
            close(ready[0]);
            dup2(messages->Fd(), STDERR_FILENO);
            const std::string screen = "1024x768x" + std::to_string(depth);
            const std::string fd = std::to_string(ready[1]);
            // A server resets when its last client leaves and refuses
            // clients meanwhile: the game, which looks at the desktop before
            // it opens its window, would find no display.
            execlp("Xvfb", "Xvfb", name.c_str(), "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(),
                   "-nolisten", "tcp", "-noreset", static_cast<char*>(nullptr));
            std::fprintf(stderr, "Xvfb could not be run (is it installed?)\n");
            _exit(127);
        }
        close(ready[1]);
        // The server writes its number once it takes clients, and ends
        // without a word there when it cannot start.
        pollfd wait{ready[0], POLLIN, 0};
        const bool woke = poll(&wait, 1, kReadyMilliseconds) == 1;
        char written[16] = {};
        const bool answered = woke && read(ready[0], written, sizeof written - 1) > 0;
        close(ready[0]);
        if (answered) {
            display = name;
            return true;
        }
        Stop();
        const std::string said = messages->LastLines();
        error = "Xvfb did not start on " + name + ": " +
                (!woke          ? "no answer within " + std::to_string(kReadyMilliseconds / 1000) + " s"
                 : said.empty() ? std::string("it ended without a word")
                                : said);
        return false;
    }

    void Stop()
    {
        if (pid > 0) {
            kill(pid, SIGTERM);
            waitpid(pid, nullptr, 0);
        }
        pid = -1;
    }

    pid_t pid = -1;
    std::unique_ptr<MessageFile> messages; // what the server says
};

struct Mode
{
    const char* title;
    const char* switchName;
    const char* config;
};

struct Figures
{
    double share[3] = {-1, -1, -1};
    std::string renderer;
    std::string error; // why there are none
};

struct Desktop
{
    int depth;
    std::vector<Mode> modes;
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
    const int read = std::fscanf(child, "%lf %lf %lf %31s", &figures.share[0], &figures.share[1],
                                 &figures.share[2], renderer);
    const int status = pclose(child);
    figures.renderer = renderer;
    if (read != 4 || status != 0) {
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

// Each screen's figure on the 16-bit desktop over the 24-bit one's, for the
// first modes, which both desktops run.
void PrintRatios(const std::vector<Mode>& modes, const std::vector<Figures>& deep,
                 const std::vector<Figures>& shallow, size_t compared)
{
    std::printf("  the 16-bit desktop's over the 24-bit one's:\n");
    for (size_t i = 0; i < compared; ++i) {
        std::printf("  %-9s %-20s %-14s", "", modes[i].title, "");
        for (int screen = 0; screen < 3; ++screen) {
            if (deep[i].error.empty() && shallow[i].error.empty())
                std::printf(" %8.2fx", shallow[i].share[screen] / deep[i].share[screen]);
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
    // Both desktops run the full-screen modes first, to be compared screen
    // by screen.
    const Desktop desktops[] = {{24, {software16, software32, window32, firstStart}},
                                {16, {software16, software32}}};
    constexpr size_t kCompared = 2;
    std::vector<Figures> results[std::size(desktops)];

    std::printf(
        "\nProcessor time of the game per second of wall time, all its threads, at 100 updates a second\n"
        "(the real program under Xvfb 1024 x 768, no 3D hardware; software modes in full screen but for\n"
        "the window; %.0f s per screen)\n",
        kMeasureSeconds);
    std::printf("  %-9s %-20s %-14s %9s %9s %9s\n", "desktop", "mode", "renderer", kScreens[0], kScreens[1],
                kScreens[2]);
    bool failed = false;
    for (size_t d = 0; d < std::size(desktops); ++d) {
        const std::string name = std::to_string(desktops[d].depth) + " bits";
        XServer server(desktops[d].depth);
        for (const Mode& mode : desktops[d].modes) {
            Figures figures;
            if (server.Running()) {
                setenv("DISPLAY", server.display.c_str(), 1);
                figures = Measure(argv[0], mode);
            }
            if (!server.Running())
                figures.error = server.error;
            failed = failed || !figures.error.empty();
            PrintRow(name.c_str(), mode.title, figures);
            results[d].push_back(figures);
        }
    }
    PrintRatios(desktops[0].modes, results[0], results[1], kCompared);
    return failed ? 1 : 0;
}
