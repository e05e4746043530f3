#include "app/CrashCatcher.h"

#include "app/App.h"
#include "app/CrashCatcherText.h"
#include "app/Graphics.h"
#include "app/OSFunctions.h"
#include "app/Registry.h"
#include "app/WebClient.h"
#include "platform/Clock.h"
#include "platform/Crash.h"
#include "platform/Files.h"
#include "platform/Folders.h"
#include "platform/Instance.h"
#include "platform/Window.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

// Never destroyed: the handler stays to the process's very end, through the
// exit handlers and the destructors of statics, and reads this at a fault.
CrashCatcher& theCrashCatcher = *new CrashCatcher;

namespace {
constexpr char kReporterName[] = "CrashReporter";
constexpr char kReportFileName[] = "CrashReport.txt";
constexpr char kServerVariable[] = "QS_CRASH_REPORT_SERVER";
constexpr size_t kPathRoom = 4200;

using PathText = CrashCatcherText<kPathRoom>;
// A report's path in the spare folder, and its temporary file's, whose name
// adds a marker and the process's and the run's numbers, stay within the
// system's longest path.
constexpr size_t kReportNameRoom = 128;

// What the report needs that only a call allocating a String gives, noted
// at Install; the rest is read at the fault where it lies: the application's
// names and folders, the graphics device's mode.
char osDescription[512];
char displayVersion[128];
// The report being made at a fault, kept for the error stream should no
// folder take it.
CrashReportText reportText;
// Where a report goes when the data folder cannot take it: the first of the
// player's private folders that serves, chosen at Install, as nothing says
// another thread is not changing the environment at the fault.
char spareFolder[PATH_MAX];

// The graphics device's mode, as a report gives it.
struct DisplayMode
{
    bool fullscreen;
    bool software;
    int width;
    int height;
    int depth;
};

// What a report says of the application and its graphics device, and its
// data folder, copied as the application goes: a fault while the process
// ends, however many statics have gone, is reported as one during play, by
// name, in the player's folder.
struct KeptApplication
{
    DisplayMode mode;
    char name[256];
    char version[64];
    char company[256];
    char dataFolder[PATH_MAX];
    // By the system clock, at Install: the application's own may be a
    // test's, gone with it.
    uint32_t startedAt;
} kept;

// The application's facts as a report gives them: its own while it is
// there, else the copy kept as it went.
struct Facts
{
    const char* name;
    const char* version;
    const char* company;
    const char* dataFolder;
    uint32_t ranFor;
    DisplayMode mode;
};

void KeepText(char* kept, size_t room, const String& text)
{
    std::strncpy(kept, text.CStr(), room - 1);
    kept[room - 1] = '\0';
}

DisplayMode GraphicsMode()
{
    return {theGraphics.mFullscreen, theGraphics.mSoftware, theGraphics.mWidth, theGraphics.mHeight,
            theGraphics.mColorDepth};
}

Facts ApplicationFacts()
{
    if (theApp == nullptr)
        return {kept.name,
                kept.version,
                kept.company,
                kept.dataFolder,
                Platform::Clock::Milliseconds() - kept.startedAt,
                kept.mode};
    // The application's own time source: the system clock, or a test's.
    const uint32_t now = theApp->clock ? theApp->clock() : Platform::Clock::Milliseconds();
    return {theApp->name.CStr(),       theApp->version.CStr(),     theApp->company.CStr(),
            theApp->dataFolder.CStr(), now - theApp->creationTime, GraphicsMode()};
}

// No other write there clears what a report cut short left.
void KeepSpareFolder()
{
    spareFolder[0] = '\0';
    for (const std::string& place : Platform::Folders::PrivatePlaces()) {
        if (place.size() + kReportNameRoom < sizeof(spareFolder) &&
            Platform::Folders::WhyNotPrivate(place).empty()) {
            std::strcpy(spareFolder, place.c_str());
            Platform::Files::ClearLeftTemporaries(place);
            return;
        }
    }
}

void OnFault(const Platform::Crash::Fault& fault)
{
    theCrashCatcher.Filter(fault);
}

const char* TrueFalse(bool value)
{
    return value ? "true" : "false";
}

void AppendRunTime(uint32_t ranFor, CrashReportText& text)
{
    const uint32_t seconds = ranFor / 1000;
    text.OpenTag("RUNTIME");
    text.AppendNumber(seconds / 3600, 2);
    text.Append(":");
    text.AppendNumber(seconds / 60 % 60, 2);
    text.Append(":");
    text.AppendNumber(seconds % 60, 2);
    text.CloseTag("RUNTIME");
}

void AppendSystemInfo(const char* extended, CrashReportText& text)
{
    const Facts facts = ApplicationFacts();
    text.AppendTag("PRODUCT", facts.name);
    text.AppendTag("VERSION", facts.version);
    AppendRunTime(facts.ranFor, text);
    text.AppendTag("FULLSCREEN", TrueFalse(facts.mode.fullscreen));
    text.AppendTag("SAFEMODE", TrueFalse(facts.mode.software));
    text.OpenTag("RESOLUTION");
    text.AppendNumber(facts.mode.width, 1);
    text.Append(" x ");
    text.AppendNumber(facts.mode.height, 1);
    text.Append(" : ");
    text.AppendNumber(facts.mode.depth, 1);
    text.CloseTag("RESOLUTION");
    text.AppendTag("OS", osDescription);
    text.AppendTag("DDRAW", displayVersion);
    if (extended[0] != '\0')
        text.AppendTag("EXTENDED_INFO", extended);
}

void AppendCrashText(const Platform::Crash::Fault& fault, const char* extended, CrashReportText& text)
{
    text.Clear();
    text.AppendTag("MODULE", fault.frameCount > 0 ? fault.frames[0].module : "");
    for (int i = 0; i < fault.frameCount; ++i) {
        text.OpenTag("STACKWALK");
        text.AppendNumber(fault.frames[i].section, 4, 16);
        text.Append(":");
        text.AppendNumber(static_cast<uint32_t>(fault.frames[i].offset), 8, 16);
        text.CloseTag("STACKWALK");
    }
    if (fault.walk != Platform::Crash::Walk::Whole)
        text.AppendTag("STACKEND", fault.walk == Platform::Crash::Walk::NotYet
                                       ? "The stack was not read."
                                       : "The stack could not be read further.");
    AppendSystemInfo(extended, text);
}

const char* PathIn(const char* folder, const char* name, PathText& path)
{
    path.Clear();
    path.Append(folder);
    path.Append("/");
    path.Append(name);
    return path.Text();
}

// A settings file the reporter is to switch to safe mode, as the graphics
// device would on a crash of a session that ran on hardware the tester
// recommended against; empty for none, and once the application (and with
// it the graphics device) has gone.
const char* SafeModeConfig()
{
    const bool wanted = theApp != nullptr && theGraphics.mConfirmHardware && !theGraphics.mSoftware &&
                        theGraphics.mSafeModeRecommended;
    return wanted ? theApp->configPath.CStr() : "";
}

void MarkSafeMode(const std::string& configPath)
{
    if (configPath.empty())
        return;
    Registry config;
    config.Load(configPath.c_str());
    config.SetBool("DX::SafeMode", true);
    config.Save();
}

// Only the player's own report: whatever another user put at the name, or
// a link there, is not shown, nor sent.
String ReadReport(const std::string& path)
{
    std::vector<uint8_t> bytes;
    Platform::Files::ReadOwnFile(path, bytes);
    return String(std::string(bytes.begin(), bytes.end()).c_str());
}
} // namespace

CrashCatcher::CrashCatcher() = default;

CrashCatcher::~CrashCatcher()
{
    Platform::Crash::Uninstall();
}

void CrashCatcher::Install()
{
    done = false;
    if (reporterPath.empty())
        reporterPath = Platform::Folders::Program() + "/" + kReporterName;
    if (const char* server = std::getenv(kServerVariable)) {
        reportServer = server;
        reportsEnabled = true;
    }
    KeepText(osDescription, sizeof(osDescription), theOSFunctions->GetOSDescription());
    KeepText(displayVersion, sizeof(displayVersion), theOSFunctions->GetProductVersion("ddraw.dll"));
    KeepSpareFolder();
    kept.startedAt = Platform::Clock::Milliseconds();
    Platform::Crash::Install(&OnFault);
}

void CrashCatcher::KeepApplication(const App& app)
{
    kept.mode = GraphicsMode();
    KeepText(kept.name, sizeof(kept.name), app.name);
    KeepText(kept.version, sizeof(kept.version), app.version);
    KeepText(kept.company, sizeof(kept.company), app.company);
    KeepText(kept.dataFolder, sizeof(kept.dataFolder), app.dataFolder);
}

// Called on the main thread, so unlike a fault it may hide the window, and
// may ask the application for its extended information.
void CrashCatcher::RunNow()
{
    Platform::Crash::Uninstall();
    if (theApp != nullptr && theApp->window)
        theApp->window->Hide();
    Platform::Crash::Fault fault;
    Platform::Crash::CaptureHere(fault);
    String extended = theApp != nullptr ? theApp->GetExtendedInfo() : String();
    Report(fault, extended.CStr());
    std::exit(0);
}

// The application's extended information is its own code, which may
// allocate or lock: a fault's report goes without it. The report made
// before the stack is walked is only written: it is there should the walk
// never end.
void CrashCatcher::Filter(const Platform::Crash::Fault& fault)
{
    if (fault.walk != Platform::Crash::Walk::NotYet) {
        Report(fault, "");
        return;
    }
    WriteReportOf(fault, "");
}

// Everything from here to the reporter's start is async-signal-safe: the
// thread that failed, or another one stopped for good, may hold any lock.
// The window of the failed program stays as it is: no window call can be
// trusted now. The reporter's window comes up in front of it. The name of
// the running copy goes first, so a start meanwhile becomes the game.
void CrashCatcher::Report(const Platform::Crash::Fault& fault, const char* extended)
{
    const char* path = WriteReportOf(fault, extended);
    if (path == nullptr || !Platform::Crash::RunProgram(ReporterArguments(path))) {
        const char* lines[] = {"Unexpected error: ", reportText.Text(), "\n", nullptr};
        Platform::Crash::WriteError(lines);
    }
}

const char* CrashCatcher::WriteReportOf(const Platform::Crash::Fault& fault, const char* extended) const
{
    Platform::ReleaseInstanceNameOnFault();
    AppendCrashText(fault, extended, reportText);
    return WriteReportWhereItFits(reportText);
}

String CrashCatcher::BuildCrashText(const Platform::Crash::Fault& fault)
{
    auto text = std::make_unique<CrashReportText>();
    String extended = theApp != nullptr ? theApp->GetExtendedInfo() : String();
    AppendCrashText(fault, extended.CStr(), *text);
    return String(text->Text());
}

String CrashCatcher::GetSystemInfo()
{
    auto text = std::make_unique<CrashReportText>();
    String extended = theApp != nullptr ? theApp->GetExtendedInfo() : String();
    AppendSystemInfo(extended.CStr(), *text);
    return String(text->Text());
}

// The data folder once it is known, but not the working folder, which a
// start without a data home takes for it: that is the program's own, and
// other users may share it. Else, or when the data folder cannot take the
// report, the spare folder.
const char* CrashCatcher::WriteReportWhereItFits(const CrashReportText& text) const
{
    static PathText path;
    const char* dataFolder = ApplicationFacts().dataFolder;
    const char* first = nullptr;
    path.Clear();
    if (!reportPath.IsEmpty()) {
        path.Append(reportPath.CStr());
        first = path.Text();
    } else if (dataFolder[0] != '\0' && std::strcmp(dataFolder, ".") != 0) {
        first = PathIn(dataFolder, kReportFileName, path);
    }
    if (first != nullptr && Platform::Files::WriteWholeAtFault(first, text.Text(), text.Size()))
        return first;
    if (spareFolder[0] != '\0' && Platform::Files::WriteWholeAtFault(
                                      PathIn(spareFolder, kReportFileName, path), text.Text(), text.Size()))
        return path.Text();
    return nullptr;
}

// The reporter is told the report file, the application's name and
// publisher, whether sending is allowed, where to send, and the settings
// file to switch to safe mode.
const char* const* CrashCatcher::ReporterArguments(const char* path) const
{
    static const char* arguments[8];
    const Facts facts = ApplicationFacts();
    const char* list[] = {reporterPath.c_str(),
                          path,
                          facts.name,
                          facts.company,
                          reportsEnabled ? "1" : "0",
                          reportServer.CStr(),
                          SafeModeConfig(),
                          nullptr};
    std::copy(std::begin(list), std::end(list), arguments);
    return arguments;
}

bool CrashCatcher::RunReporter(const std::vector<std::string>& arguments)
{
    if (arguments.size() != 7)
        return false;
    MarkSafeMode(arguments[6]);
    crashText = ReadReport(arguments[1]);
    appName = arguments[2].c_str();
    company = arguments[3].c_str();
    reportsEnabled = arguments[4] == "1";
    reportServer = arguments[5].c_str();
    RunWindow(crashText.TagsToLines());
    return true;
}
