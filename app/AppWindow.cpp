#include "app/App.h"

#include "app/AppLock.h"
#include "app/Audio.h"
#include "app/Console.h"
#include "app/Graphics.h"
#include "app/Keyboard.h"
#include "platform/Cursors.h"
#include "platform/Instance.h"
#include "platform/Shell.h"
#include "platform/Window.h"

#include <cstdlib>
#include <string>

namespace {
namespace Msg = Platform::Message;
namespace Key = Platform::VirtualKey;

constexpr int kWindowedPosition = 64;
constexpr int kFullscreenPosition = 1;
// The graphics device sizes the window for its display mode.
constexpr int kInitialSize = 256;
// How long a pump waiting out a period sleeps when no message is there.
constexpr uint32_t kPumpNap = 10;

bool IsButtonDown(uint32_t message)
{
    return message == Msg::LeftButtonDown || message == Msg::RightButtonDown ||
           message == Msg::MiddleButtonDown;
}

bool IsOtherMouseMessage(uint32_t message)
{
    switch (message) {
    case Msg::MouseMove:
    case Msg::LeftButtonUp:
    case Msg::LeftButtonDoubleClick:
    case Msg::RightButtonUp:
    case Msg::RightButtonDoubleClick:
    case Msg::MiddleButtonUp:
    case Msg::MiddleButtonDoubleClick:
    case Msg::MouseWheel:
        return true;
    default:
        return false;
    }
}
} // namespace

// A second copy of the program hands over to the first and ends.
void App::RefuseSecondInstance()
{
    std::string lockName = String::StringFormat("%sMutex", name).CStr();
    instance = std::make_unique<Platform::Instance>();
    const Platform::Instance::Start start = instance->TakeOrHandOver(lockName);
    if (start == Platform::Instance::Start::HandedOver)
        std::exit(0);
    if (start == Platform::Instance::Start::WithoutName)
        theConsole->Printf("WARNING: the single-instance name %s cannot be taken; a second start will not hand "
                           "over to this copy",
                           lockName.c_str());
}

void App::CreateAppWindow()
{
    if (!window)
        window = std::make_unique<Platform::Window>();
    String caption = String::StringFormat("%s %s", title, version);
    bool fullscreen = theGraphics.mFullscreen;
    int position = fullscreen ? kFullscreenPosition : kWindowedPosition;
    if (!window->Create(caption.CStr(), position, position, kInitialSize, kInitialSize)) {
        // Said on standard error too: the session log is usually off.
        std::string reason = Platform::Window::LastError();
        theConsole->Printf("WARNING: the application window could not be created (%s); quitting", reason.c_str());
        Platform::Shell::PrintError(std::string(name.CStr()) + ": the window could not be opened (" + reason +
                                    "); quitting");
        exitStatus = 1;
        Quit();
        return;
    }
    if (!fullscreen && !captionedWindow)
        window->Show();
    PumpMessages();
}

void App::BringToFront()
{
    if (window && window->IsOpen() && !window->HasFocus())
        window->Raise();
}

bool App::PumpMessages()
{
    if (!window)
        return false;
    bool handled = false;
    // The start that asked is answered once the window has come up.
    if (instance && instance->PollRaise([this] { WindowProc(window.get(), Msg::Notify, 0, 0); }))
        handled = true;
    Platform::WindowMessage message;
    while (window->PollMessage(message)) {
        // Once quitting, the message just taken is dropped.
        if (quit)
            return handled;
        WindowProc(window.get(), message.message, message.wParam, message.lParam);
        handled = true;
    }
    return handled;
}

// A quit ends the wait too, or a window minimized for good would hold the
// program here.
void App::PumpMessagesFor(uint32_t milliseconds)
{
    uint32_t start = clock();
    while (!quit && (minimized || (window && window->IsMinimized()) || clock() - start < milliseconds)) {
        if (!PumpMessages())
            sleep(kPumpNap);
    }
}

void App::WindowProc(Platform::Window* source, uint32_t message, uint32_t wParam, uint32_t lParam)
{
    if (HandleMessage(source, message, wParam, lParam))
        return;
    if (HandleMouseMessage(source, message, wParam, lParam))
        return;
    switch (message) {
    case Msg::Activate:
        if (theGraphics.mStarted && !quit)
            HandleActivate(wParam);
        break;
    case Msg::Paint:
        if (!minimized && theGraphics.mStarted && !theGraphics.IsLost())
            HandlePaint();
        break;
    case Msg::Notify:
        if (source != nullptr)
            source->Raise();
        break;
    case Msg::Close:
        Quit();
        break;
    case Msg::KeyDown:
    case Msg::Char:
        QueueMessage(source, message, wParam, lParam);
        break;
    case Msg::KeyUp:
        if (wParam == Key::Snapshot && Platform::Window::IsKeyHeld(Key::Control))
            SaveScreenshot();
        QueueMessage(source, message, wParam, lParam);
        break;
    case Msg::SysKeyDown:
        HandleSysKeyDown(wParam);
        break;
    case Msg::SysKeyUp:
        modeSwitchRunning = false;
        break;
    default:
        break;
    }
}

bool App::HandleMessage(Platform::Window*, uint32_t, uint32_t, uint32_t)
{
    return false;
}

void App::HandleActivate(uint32_t wParam)
{
    bool activating = wParam == Platform::Activation::Active || wParam == Platform::Activation::ClickActive;
    SetActive(activating);
    if (activating)
        BringToFront();
}

void App::HandlePaint()
{
    AppLock lock(*this);
    if (!quit) {
        BeginDraw();
        Draw();
        EndDraw();
        theGraphics.Present();
    }
}

// Alt alone does nothing; Alt+Enter toggles full screen once loading is done.
void App::HandleSysKeyDown(uint32_t wParam)
{
    if (wParam != Key::Return || modeSwitchRunning || !loaded)
        return;
    ToggleFullscreen();
    if (!theGraphics.mFullscreen) {
        SetActive(false);
        SetActive(true);
    }
}

void App::ToggleFullscreen()
{
    modeSwitchRunning = true;
    theGraphics.SetFullscreen(!theGraphics.mFullscreen);
    modeSwitchRunning = false;
}

// Mouse messages are queued only while active; the first press on an
// inactive window only activates it. A move also picks the cursor, as the
// system asks the window for one whenever the pointer moves over it.
bool App::HandleMouseMessage(Platform::Window* source, uint32_t message, uint32_t wParam, uint32_t lParam)
{
    if (IsButtonDown(message)) {
        if (active)
            QueueMessage(source, message, wParam, lParam);
        else
            SetActive(true);
        return true;
    }
    if (!IsOtherMouseMessage(message))
        return false;
    if (message == Msg::MouseMove) {
        if (active)
            UpdateCursor();
        else
            Platform::Cursors::Show(arrowCursor);
    }
    if (active) {
        if (source != nullptr && source->HasCapture())
            UpdateCursor();
        QueueMessage(source, message, wParam, lParam);
    }
    return true;
}

void App::SetActive(bool isActive)
{
    if (!active && isActive)
        ResetTiming();
    if (active != isActive) {
        if (!isActive) {
            MouseMove(kNowhere, kNowhere);
            MouseUp(kNowhere, kNowhere, -1);
        }
        theAudio.SetActive(isActive);
        theGraphics.SetActive(isActive);
        active = isActive;
        if (isActive) {
            theKeyboard.Reacquire();
            return;
        }
    } else if (isActive)
        return;
    // Now inactive: one last frame shows what the application left behind.
    if (window)
        WindowProc(window.get(), Msg::Paint, 0, 0);
}

void App::QueueMessage(Platform::Window* source, uint32_t message, uint32_t wParam, uint32_t lParam)
{
    if (quit)
        return;
    AppLock lock(*this);
    inputQueue.push_back({source, message, wParam, lParam});
}

void App::PostMouseUp(int x, int y, int button)
{
    uint32_t message;
    switch (button) {
    case -1:
        message = Msg::LeftButtonUp;
        break;
    case 1:
        message = Msg::RightButtonUp;
        break;
    case 0:
        message = Msg::MiddleButtonUp;
        break;
    default:
        return;
    }
    if (window)
        window->PostMessage(message, 0, Platform::PackPoint(x, y));
}

void App::PostPaint()
{
    if (window)
        window->PostMessage(Msg::Paint, 0, 0);
}
