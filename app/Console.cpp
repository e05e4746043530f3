#include "app/Console.h"

#include "platform/Folders.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {
constexpr const char* kLogName = "TARNQUILL.LOG";
constexpr const char* kBeginBanner = "*** BEGIN TARNQUILL SESSION ***";
constexpr const char* kEndBanner = "*** END TARNQUILL SESSION ***";

// Constant-initialised, so it exists before any other static object is
// built and is destroyed after all of them.
constinit Console console;

std::string LogPath()
{
    std::string desktop = Platform::Folders::Desktop();
    return desktop.empty() ? kLogName : desktop + "/" + kLogName;
}
} // namespace

Console* theConsole = &console;

Console::~Console()
{
    if (enabled) {
        Printf("%s", kEndBanner);
    }
}

void Console::Printf(const char* format, ...)
{
    if (!enabled) {
        return;
    }
    char line[2048] = "";
    if (format != nullptr) {
        va_list arguments;
        va_start(arguments, format);
        // Bounded: a longer line is cut at 2047 bytes.
        std::vsnprintf(line, sizeof(line), format, arguments);
        va_end(arguments);
    }

    // The loader thread logs too: one line at a time, the banner first.
    std::lock_guard<std::mutex> guard(mLock);
    if (mFirstLine) {
        mFirstLine = false;
        mPath = std::make_unique<std::string>(LogPath());
        WriteLine(kBeginBanner, true);
    }
    WriteLine(line, false);
}

void Console::WriteLine(const char* line, bool truncate)
{
    // Opened and closed per line, so every line is on disk at once; the
    // session's first line starts the file afresh.
    std::FILE* file = std::fopen(mPath->c_str(), truncate ? "wb" : "ab");
    if (!file) {
        return;
    }
    std::fwrite(line, 1, std::strlen(line), file);
    std::fwrite("\r\n", 1, 2, file);
    std::fclose(file);
}
