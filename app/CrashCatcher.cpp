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
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

CrashCatcher theCrashCatcher;

namespace {
constexpr char kReporterName[] = "CrashReporter";
constexpr char kReportFileName[] = "CrashReport.txt";
constexpr char kServerVariable[] = "QS_CRASH_REPORT_SERVER";
constexpr size_t kPathRoom = 4200;

using PathText = CrashCatcherText<kPathRoom>;

// What the report needs that only a call allocating a String gives, noted
// at Install; the rest is read at the fault where it lies: the application's
// names and folders, the graphics device's mode.
char osDescription[512];
char displayVersion[128];
// The report being made at a fault, kept for the error stream should no
// folder take it.
CrashReportText reportText;

void KeepText(char* kept, size_t room, const String& text)
{
    std::strncpy(kept, text.CStr(), room - 1);
    kept[room - 1] = '\0';
}

void OnFault(const Platform::Crash::Fault& fault)
{
    theCrashCatcher.Filter(fault);
}

const char* TrueFalse(bool value)
{
    return value ? "true" : "false";
}

// The application's own time source: the system clock, or a test's.
void AppendRunTime(CrashReportText& text)
{
    uint32_t now = theApp->clock ? theApp->clock() : Platform::Clock::Milliseconds();
    uint32_t seconds = (now - theApp->creationTime) / 1000;
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
    if (theApp == nullptr)
        return;
    text.AppendTag("PRODUCT", theApp->name.CStr());
    text.AppendTag("VERSION", theApp->version.CStr());
    AppendRunTime(text);
    text.AppendTag("FULLSCREEN", TrueFalse(theGraphics.mFullscreen));
    text.AppendTag("SAFEMODE", TrueFalse(theGraphics.mSoftware));
    text.OpenTag("RESOLUTION");
    text.AppendNumber(theGraphics.mWidth, 1);
    text.Append(" x ");
    text.AppendNumber(theGraphics.mHeight, 1);
    text.Append(" : ");
    text.AppendNumber(theGraphics.mColorDepth, 1);
    text.CloseTag("RESOLUTION");
    text.AppendTag("OS", osDescription);
    text.AppendTag("DDRAW", displayVersion);
    if (extended[0] != '\0')
        text.AppendTag("EXTENDED_INFO", extended);
}

void AppendCrashText(const Platform::Crash::Fault& fault, const char* extended, CrashReportText& text)
{
    text.Clear();
    if (theApp == nullptr) {
        text.Append("(null)");
        return;
    }
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

// A file of the name given in a folder; the working folder when none.
const char* PathIn(const char* folder, const char* name, PathText& path)
{
    path.Clear();
    path.Append(folder[0] != '\0' ? folder : ".");
    path.Append("/");
    path.Append(name);
    return path.Text();
}

// A settings file the reporter is to switch to safe mode, as the graphics
// device would on a crash of a session that ran on hardware the tester
// recommended against; empty for none.
const char* SafeModeConfig()
{
    const bool wanted = theGraphics.mConfirmHardware && !theGraphics.mSoftware &&
                        theGraphics.mSafeModeRecommended && theApp != nullptr;
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
    Platform::Crash::Install(&OnFault);
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

// The application's data folder, else the working folder; when it cannot
// take the report, the first spare folder that can.
const char* CrashCatcher::WriteReportWhereItFits(const CrashReportText& text) const
{
    static PathText path;
    path.Clear();
    if (!reportPath.IsEmpty())
        path.Append(reportPath.CStr());
    else
        PathIn(theApp != nullptr ? theApp->dataFolder.CStr() : "", kReportFileName, path);
    if (Platform::Files::WriteWholeAtFault(path.Text(), text.Text(), text.Size()))
        return path.Text();
    const char* spare = Platform::Crash::SpareFolder();
    if (spare != nullptr && Platform::Files::WriteWholeAtFault(PathIn(spare, kReportFileName, path), text.Text(), text.Size()))
        return path.Text();
    return nullptr;
}

// The reporter is told the report file, the application's name and
// publisher, whether sending is allowed, where to send, and the settings
// file to switch to safe mode.
const char* const* CrashCatcher::ReporterArguments(const char* path) const
{
    static const char* arguments[8];
    const bool named = theApp != nullptr;
    const char* list[] = {reporterPath.c_str(),
                          path,
                          named ? theApp->name.CStr() : "",
                          named ? theApp->company.CStr() : "",
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
