#include "support/XServer.h"

#include "support/Eventually.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {
constexpr int kFirstDisplay = 140;
constexpr int kAttempts = 40;
// A server starting on a loaded machine can take long to say it is up; one
// that cannot start ends, which ends the wait at once.
constexpr int kReadyMilliseconds =
    static_cast<int>(std::chrono::milliseconds(kLoadedMachinePatience).count());
// What the server says when another one holds its socket.
constexpr const char* kCannotListen = "Cannot establish any listening sockets";


// The server writes its number once it takes clients, and a line's end
// after it, each on its own: it ends when it cannot write the second. It
// ends without a word there when it cannot start. True once the line came.
bool ReadsALine(int fd)
{
    pollfd wait{fd, POLLIN, 0};
    char written = 0;
    while (poll(&wait, 1, kReadyMilliseconds) == 1 && read(fd, &written, 1) == 1) {
        if (written == '\n')
            return true;
    }
    return false;
}
} // namespace

std::string HowItEnded(int status)
{
    if (WIFSIGNALED(status))
        return "by signal " + std::to_string(WTERMSIG(status));
    return "with exit status " + std::to_string(WEXITSTATUS(status));
}

MessageFile::MessageFile() : path((std::filesystem::temp_directory_path() / "qs-messages-XXXXXX").string())
{
    fd = mkostemp(path.data(), O_CLOEXEC);
}

MessageFile::~MessageFile()
{
    if (fd >= 0) {
        close(fd);
        unlink(path.c_str());
    }
}

std::string MessageFile::LastLines() const
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

bool MessageFile::Says(const char* text) const
{
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) {
        if (line.find(text) != std::string::npos)
            return true;
    }
    return false;
}

XServer::XServer(int depth)
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

bool XServer::Running()
{
    int status = 0;
    if (pid > 0 && waitpid(pid, &status, WNOHANG) == pid) {
        pid = -1;
        const std::string said = messages->LastLines();
        error = "the X server on " + display + " ended " + HowItEnded(status) + (said.empty() ? "" : ": " + said);
        display.clear();
    }
    return !display.empty();
}

bool XServer::Held(int number)
{
    const std::string n = std::to_string(number);
    return std::filesystem::exists("/tmp/.X" + n + "-lock") || std::filesystem::exists("/tmp/.X11-unix/X" + n);
}

bool XServer::Start(int number, int depth)
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
        // A server resets when its last client leaves and refuses clients
        // meanwhile: a program that looks at the desktop before it opens its
        // window would find no display.
        execlp("Xvfb", "Xvfb", name.c_str(), "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(), "-nolisten",
               "tcp", "-noreset", static_cast<char*>(nullptr));
        std::fprintf(stderr, "Xvfb could not be run (is it installed?)\n");
        _exit(127);
    }
    close(ready[1]);
    const bool answered = ReadsALine(ready[0]);
    close(ready[0]);
    if (answered) {
        display = name;
        return true;
    }
    Stop();
    const std::string said = messages->LastLines();
    error = "Xvfb did not start on " + name + ": " +
            (said.empty() ? "no answer within " + std::to_string(kReadyMilliseconds / 1000) + " s, and not a word"
                          : said);
    return false;
}

void XServer::Stop()
{
    if (pid > 0) {
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
    }
    pid = -1;
}
