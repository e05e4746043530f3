#include "app/CrashWindowApp.h"

#include "app/Console.h"
#include "app/CrashCatcher.h"
#include "app/CrashWindow.h"
#include "app/FileHelpers.h"
#include "app/Graphics.h"
#include "app/InputManager.h"
#include "app/Keyboard.h"
#include "platform/Crash.h"
#include "platform/Window.h"

namespace {
constexpr int kWindowPosition = 100;
constexpr int kColorDepth = 32;
constexpr int kLineSpacing = -4;
// A send under way is looked at this often; with none, the loop wakes this
// seldom when the window system has nothing for it.
constexpr uint32_t kSendPoll = 10;
constexpr uint32_t kIdleWake = 250;
} // namespace

CrashWindowApp::CrashWindowApp(CrashCatcher& catcher, const String& displayText)
    : wait([this](uint32_t milliseconds) { window->WaitMessage(milliseconds); }), catcher(catcher),
      displayText(displayText)
{
    // A fault in here must not start another reporter.
    Platform::Crash::Uninstall();
    cheatsEnabled = false;
    SetName(catcher.appName);
    SetTitle(String::StringFormat("%s - Unexpected Error", catcher.appName));
    // Straight to the renderer, without the hardware tester: the window must
    // come up at once, and the tester's results belong to the game.
    arguments = {"-hardware"};
    theGraphics.SetRequestedMode(CrashWindow::kWidth, CrashWindow::kHeight, false, kColorDepth);
    theGraphics.SetLogicalResolution(CrashWindow::kWidth, CrashWindow::kHeight);
}

// The application deletes the root gadgets it finds killed as it goes; the
// window goes while its font is still there.
CrashWindowApp::~CrashWindowApp()
{
    if (crashWindow != nullptr)
        crashWindow->Kill();
    rootGadgets.PurgeKilled();
}

// No data folder, so no settings file: the graphics device neither reads
// the failed program's settings nor writes any.
void CrashWindowApp::ResolveDataFolder() {}

void CrashWindowApp::CreateAppWindow()
{
    window = std::make_unique<Platform::Window>();
    if (!window->Create(title.CStr(), kWindowPosition, kWindowPosition, CrashWindow::kWidth,
                        CrashWindow::kHeight)) {
        theConsole->Printf("WARNING: the crash window could not be opened");
        Quit();
        return;
    }
    window->Show();
    PumpMessages();
}

bool CrashWindowApp::Open()
{
    String fontName(kFontName);
    if (!FileExists(fontName.Concat(".font")) || !FileExists(fontName.Concat(".png"))) {
        theConsole->Printf("WARNING: the crash window's font is missing [%s]", kFontName);
        return false;
    }
    CreateAppWindow();
    if (quit)
        return false;
    if (!theGraphics.Startup(window->NativeHandle())) {
        Quit();
        return false;
    }
    theInputManager.Initialize();
    theKeyboard.Initialize(window.get());
    font.Load(fontName);
    // The font's lines leave room for accents above the capitals; the
    // window's running text sits closer, as four lines of the intro must
    // fit above the panel.
    font.AddSpacing(0, kLineSpacing);
    crashWindow = new CrashWindow(catcher, &font, displayText);
    rootGadgets.Add(crashWindow);
    BringToFront();
    // Nothing to load: the screen saver may come as over any other window.
    loaded = true;
    return true;
}

void CrashWindowApp::Run()
{
    while (!quit)
        Turn();
}

void CrashWindowApp::Turn()
{
    PumpMessages();
    DoUpdate();
    redrawDue |= crashWindow->TakeResultChange();
    if (redrawDue && !quit) {
        redrawDue = false;
        DrawFrame();
    }
    if (!quit)
        wait(catcher.sending && !catcher.finished ? kSendPoll : kIdleWake);
}

void CrashWindowApp::DispatchInput(const InputRecord& record)
{
    redrawDue = true;
    App::DispatchInput(record);
}
