#pragma once

#include <memory>
#include <string>
#include <sys/types.h>

// How a child process ended, in words ("with exit status 1", "by signal 9").
std::string HowItEnded(int status);

// A file in the temporary folder a child process writes its messages to:
// the last of them say why it failed. Only the child it is handed to holds
// it open: not a process started meanwhile, nor a later server.
class MessageFile
{
  public:
    MessageFile();
    ~MessageFile();
    MessageFile(const MessageFile&) = delete;
    MessageFile& operator=(const MessageFile&) = delete;

    int Fd() const { return fd; }
    const std::string& Path() const { return path; }

    // The last few lines, joined: a program's own last words may come after
    // the one that says why.
    std::string LastLines() const;
    bool Says(const char* text) const;

  private:
    std::string path;
    int fd = -1;
};

// An X server of our own (Xvfb, 1024 x 768 at the depth given, no 3D
// hardware), on a display number no other server holds: one with neither a
// lock file nor a socket, as xvfb-run -a picks, above the numbers xvfb-run
// takes first so that a test run starting meanwhile keeps its own. A number
// taken in between makes the server fail; the next one is tried. So is one
// whose socket has no file to show for it: a server in a sandbox with a
// /tmp of its own listens on the abstract name alone, and ours then cannot
// listen. The server ends with the object.
class XServer
{
  public:
    explicit XServer(int depth);
    ~XServer() { Stop(); }
    XServer(const XServer&) = delete;
    XServer& operator=(const XServer&) = delete;

    // False once the server has ended, or never started; the error then
    // says why. A server gone under a program is why the program failed.
    bool Running();

    std::string display; // ":N"; empty when no server started
    std::string error;   // why not

  private:
    static bool Held(int number);
    bool Start(int number, int depth);
    void Stop();

    pid_t pid = -1;
    std::unique_ptr<MessageFile> messages; // what the server says
};
