#include "app/App.h"

#include "app/Audio.h"
#include "app/CrashCatcher.h"
#include "app/FileHelpers.h"
#include "app/Gadget.h"
#include "app/Graphics.h"
#include "app/InputManager.h"
#include "app/Keyboard.h"
#include "app/Random.h"
#include "platform/Clock.h"
#include "platform/Cursors.h"
#include "platform/Instance.h"
#include "platform/Shell.h"
#include "platform/Window.h"

App* theApp = nullptr;

App::App() : clock(&Platform::Clock::Milliseconds), sleep(&Platform::Clock::Sleep)
{
    theGraphics.ResetState();
    theApp = this;
    if (theRandom != nullptr)
        instanceNumber = theRandom->Get(999999, true);
    creationTime = clock();
    theCrashCatcher.Install();
    SetName("Unnamed App");
    arrowCursor = Platform::Cursors::LoadSystem(Platform::Cursors::System::Arrow);
    waitCursor = Platform::Cursors::LoadSystem(Platform::Cursors::System::Wait);
    handCursor = Platform::Cursors::LoadSystem(Platform::Cursors::System::Hand);
    ibeamCursor = Platform::Cursors::LoadSystem(Platform::Cursors::System::IBeam);
    currentCursor = arrowCursor;
    cheatsEnabled = FileExists(GetDesktopFilePath("tarnquill.cheat"));
}

// The window goes last: the graphics device still draws into it while it
// shuts down.
App::~App()
{
    if (loader.joinable())
        loader.join();
    instance.reset();
    rootGadgets.PurgeKilled();
    theAudio.Shutdown();
    theInputManager.Shutdown();
    theGraphics.Shutdown();
    inputQueue.clear();
    if (window)
        window->Destroy();
    window.reset();
    FreeCursors();
    theCrashCatcher.KeepApplication(*this);
    theApp = nullptr;
}

void App::Initialize()
{
    ResolveDataFolder();
    ReadCommandLine();
    if (crashSwitch)
        theCrashCatcher.RunNow();
    CreateCursors();
    CheckCacheVersion();
    RefuseSecondInstance();
    CreateAppWindow();
    if (quit)
        return;
    if (!theGraphics.Startup(window->NativeHandle()))
        Quit();
    theInputManager.Initialize();
    theKeyboard.Initialize(window.get());
    theAudio.Initialize(window->NativeHandle());
    BringToFront();
}

void App::SetName(const String& s)
{
    name = s;
    SetTitle(s);
}

void App::SetTitle(const String& s)
{
    title = s;
    if (window)
        window->SetTitle(title.CStr());
}

void App::SetVersion(const String& s)
{
    version = s;
}

// The window disappears at once but is destroyed with the application, after
// the graphics device has let go of it.
bool App::Quit()
{
    if (quit)
        return true;
    if (window)
        window->Hide();
    quit = true;
    return true;
}

bool App::Restart()
{
    restart = true;
    return Quit();
}

bool App::OpenURL(const String& url)
{
    MouseUp(kNowhere, kNowhere, -1);
    MouseMove(kNowhere, kNowhere);
    return Platform::Shell::Open(url.CStr());
}

String App::GetExtendedInfo()
{
    return String();
}

void App::PostUpdate() {}
void App::PreDraw() {}
void App::PostDraw() {}
void App::Load() {}
void App::LoadComplete() {}
void App::ExtraCheatKeys() {}
void App::UpdateFractional(float) {}
