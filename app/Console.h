#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <string>

// The session log: "TARNQUILL.LOG" on the user's desktop, holding the last
// session only. Every line is on disk as soon as it is written, so the trace
// survives a crash.
class Console
{
  public:
    constexpr Console() = default;
    Console(const Console&) = delete;
    Console& operator=(const Console&) = delete;
    virtual ~Console();

    // One line in the C library's printf format (a String goes in through
    // CStr); lines longer than 2047 bytes after formatting are cut there.
    void Printf(const char* format, ...) __attribute__((format(printf, 2, 3)));

    // Lines are written only while set; the application may clear it.
    std::atomic<bool> enabled = true;

  private:
    void WriteLine(const char* line, bool truncate);

    std::mutex mLock;
    bool mFirstLine = true;
    // Behind a pointer: a constant-initialised object cannot hold a
    // std::string with every compiler the project builds with.
    std::unique_ptr<std::string> mPath;
};

// Built before any other static object and destroyed after them all.
extern Console* theConsole;
