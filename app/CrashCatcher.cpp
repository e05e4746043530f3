#include "app/CrashCatcher.h"

#include "app/App.h"
#include "app/Graphics.h"
#include "app/OSFunctions.h"
#include "app/WebClient.h"
#include "platform/Clock.h"
#include "platform/Crash.h"
#include "platform/Files.h"
#include "platform/Folders.h"
#include "platform/Window.h"

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>

CrashCatcher theCrashCatcher;

namespace {
constexpr char kReporterName[] = "CrashReporter";
constexpr char kReportFileName[] = "CrashReport.txt";
constexpr char kServerVariable[] = "QS_CRASH_REPORT_SERVER";

void OnFault(const Platform::Crash::Fault& fault)
{
    theCrashCatcher.Filter(fault);
}

const char* TrueFalse(bool value)
{
    return value ? "true" : "false";
}

String RunTime()
{
    uint32_t now = theApp->clock ? theApp->clock() : Platform::Clock::Milliseconds();
    uint32_t seconds = (now - theApp->creationTime) / 1000;
    return String::StringFormat("%.2d:%.2d:%.2d", seconds / 3600, seconds / 60 % 60, seconds % 60);
}

String ReadFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    return String(text.c_str());
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
    Platform::Crash::Install(&OnFault);
}

// Called on the main thread, so unlike a fault it may hide the window.
void CrashCatcher::RunNow()
{
    Platform::Crash::Uninstall();
    if (theApp != nullptr && theApp->window)
        theApp->window->Hide();
    Platform::Crash::Fault fault;
    Platform::Crash::CaptureHere(fault);
    Filter(fault);
    std::exit(0);
}

// The window of the failed program stays as it is: no window call can be
// trusted on a thread that has just failed. The reporter's window comes up
// in front of it.
void CrashCatcher::Filter(const Platform::Crash::Fault& fault)
{
    theGraphics.ForceSafeModeNextRun();
    crashText = BuildCrashText(fault);
    String path = GetReportPath();
    // Written as every other file is: a new file renamed into place, so a
    // link standing there is replaced, and what it names is never written.
    const bool written =
        Platform::Files::WriteWhole(path.CStr(), crashText.CStr(), size_t(crashText.Length()));
    if (!written || !Platform::Crash::RunProgram(ReporterArguments(path)))
        std::cerr << "Unexpected error: " << crashText.CStr() << std::endl;
}

String CrashCatcher::BuildCrashText(const Platform::Crash::Fault& fault)
{
    if (theApp == nullptr)
        return String("(null)");
    String text;
    text.AppendXMLTag("MODULE", fault.frameCount > 0 ? fault.frames[0].module : "");
    for (int i = 0; i < fault.frameCount; ++i) {
        const Platform::Crash::Frame& frame = fault.frames[i];
        text.AppendXMLTag("STACKWALK", String::StringFormat("%.04X:%.08X", frame.section,
                                                            static_cast<uint32_t>(frame.offset)));
    }
    text.AppendString(GetSystemInfo());
    return text;
}

String CrashCatcher::GetSystemInfo()
{
    String info;
    if (theApp == nullptr)
        return info;
    info.AppendXMLTag("PRODUCT", theApp->name);
    info.AppendXMLTag("VERSION", theApp->version);
    info.AppendXMLTag("RUNTIME", RunTime());
    info.AppendXMLTag("FULLSCREEN", TrueFalse(theGraphics.mFullscreen));
    info.AppendXMLTag("SAFEMODE", TrueFalse(theGraphics.mSoftware));
    info.AppendXMLTag("RESOLUTION", String::StringFormat("%d x %d : %d", theGraphics.mWidth,
                                                         theGraphics.mHeight, theGraphics.mColorDepth));
    info.AppendXMLTag("OS", theOSFunctions->GetOSDescription());
    info.AppendXMLTag("DDRAW", theOSFunctions->GetProductVersion("ddraw.dll"));
    String extended = theApp->GetExtendedInfo();
    if (!extended.IsEmpty())
        info.AppendXMLTag("EXTENDED_INFO", extended);
    return info;
}

String CrashCatcher::GetReportPath() const
{
    if (!reportPath.IsEmpty())
        return reportPath;
    return GetDataFilePath(kReportFileName);
}

// The reporter is told the report file, the application's name and
// publisher, whether sending is allowed, and where to send.
std::vector<std::string> CrashCatcher::ReporterArguments(const String& path) const
{
    String name = theApp != nullptr ? theApp->name : String();
    String publisher = theApp != nullptr ? theApp->company : String();
    return {reporterPath,       path.CStr(), name.CStr(), publisher.CStr(), reportsEnabled ? "1" : "0",
            reportServer.CStr()};
}

bool CrashCatcher::RunReporter(const std::vector<std::string>& arguments)
{
    if (arguments.size() != 6)
        return false;
    crashText = ReadFile(arguments[1]);
    appName = arguments[2].c_str();
    company = arguments[3].c_str();
    reportsEnabled = arguments[4] == "1";
    reportServer = arguments[5].c_str();
    RunWindow(crashText.TagsToLines());
    return true;
}
