#pragma once

#include "app/CrashCatcherText.h"
#include "app/String.h"

#include <memory>
#include <string>
#include <vector>

class App;
class WebClient;
namespace Platform::Crash {
struct Fault;
}

// Turns a fatal fault anywhere in the process into a report. The failing
// process only writes the report (where the fault happened, and a block of
// system information) to a file and starts the crash reporter program, which
// shows it in the crash window, lets the user describe what happened and
// sends it to the report server over HTTP.
class CrashCatcher
{
  public:
    CrashCatcher();
    CrashCatcher(const CrashCatcher&) = delete;
    CrashCatcher& operator=(const CrashCatcher&) = delete;
    virtual ~CrashCatcher();

    // --- in the program being watched ---
    // Also chooses the spare folder, the first of the player's private
    // folders that serves, and clears what a report cut short left there.
    void Install();
    // Keeps what a report says of the application as it goes, and its data
    // folder: a fault in what runs after it is reported all the same.
    void KeepApplication(const App& app);
    // Reports as for a fault at this point, then ends the process.
    [[noreturn]] void RunNow();
    // The handling of a fault: the report file, the crash reporter (which
    // also switches the next start to safe mode when the graphics device
    // asks for it); returns once the reporter has ended. Async-signal-safe.
    void Filter(const Platform::Crash::Fault& fault);
    static String BuildCrashText(const Platform::Crash::Fault& fault);
    // The application's system information, as the crash report carries it.
    static String GetSystemInfo();

    // --- in the crash reporter program ---
    // Reads the reporter's arguments and runs the crash window; false when
    // they are not what the failing program passes. A settings file named
    // among them is switched to safe mode first: the failed process could
    // not write it without the heap.
    bool RunReporter(const std::vector<std::string>& arguments);
    // The crash window; when it cannot be shown (no display, or its font is
    // missing), message boxes and the terminal stand in for it.
    void RunWindow(const String& displayText);
    // The text above the report; it asks for a description from the
    // description stage on.
    String IntroText() const;
    void StartDescription();
    // What the user typed, as the report carries it: control characters
    // made blanks, at most 255 characters.
    void SetUserText(const String& typed);
    String BuildReportMessage() const;
    void SendReport();
    // Reads the answer of a finished send into the result text; may start
    // the next try of a send the server asked to repeat.
    void HandleAnswer();
    // Moves the current send on as far as it goes without waiting, and
    // handles its answer once there is one.
    void PollSend();
    // Moves the current send on until it has an answer, then handles it.
    void FinishSend();

    // The crash reporter program, beside the program by default.
    std::string reporterPath;
    // Where the report file goes; empty for the application's data folder
    // (none before it is known, nor when it is the working folder). When
    // that cannot take it, the spare folder does.
    String reportPath;
    // The report server; the report script's path is added to it. A server
    // named in the environment variable QS_CRASH_REPORT_SERVER takes its
    // place and enables the "Send Report" button (a test's own server).
    String reportServer = "http://errors.tarnquill.com";
    // Enables the "Send Report" button; nothing else in the framework sets it.
    bool reportsEnabled = false;

    String appName;
    String company;
    String crashText;
    String userText;
    String resultText;
    bool describing = false;
    bool sentOnce = false;
    bool sending = false;
    bool finished = false;
    bool done = false;
    bool sendEnabled = false;
    // Repeats asked for by the server since the user last pressed a button.
    int retries = 0;
    std::unique_ptr<WebClient> webClient;

  private:
    void Report(const Platform::Crash::Fault& fault, const char* extended);
    // The report's text, written where it fits, after the name of the
    // running copy is given up; the path, as below.
    const char* WriteReportOf(const Platform::Crash::Fault& fault, const char* extended) const;
    // The path written to, in storage of its own; null when no folder
    // could take the report.
    const char* WriteReportWhereItFits(const CrashReportText& text) const;
    const char* const* ReporterArguments(const char* path) const;
    void RunMessageBoxes(const String& displayText);
    int ShowWindowState(const String& displayText);
};

extern CrashCatcher& theCrashCatcher;
