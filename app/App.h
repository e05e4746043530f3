#pragma once

#include "app/GadgetManager.h"
#include "app/ObjectManager.h"
#include "app/Point.h"
#include "app/String.h"

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class Gadget;
namespace Platform {
class Instance;
class Window;
struct Cursor;
} // namespace Platform

// One recorded window message, replayed by the next logic tick.
struct InputRecord
{
    Platform::Window* window = nullptr;
    uint32_t message = 0;
    uint32_t wParam = 0;
    uint32_t lParam = 0;
};

// The application: one instance per run, reached through theApp. It owns the
// window, the queued input, the data folder, the root gadget tree and the
// root set of free objects, and runs the program: initialisation, a loader
// thread that calls Load once, and a fixed-step main loop that updates the
// logic in steps scaled by a speed factor, draws only when the logic has
// caught up, sleeps the rest and gives way to the loader while loading.
class App
{
  public:
    // The position of a pointer that is nowhere: no gadget contains it.
    static constexpr int kNowhere = -9999;

    App();
    App(const App&) = delete;
    App& operator=(const App&) = delete;
    virtual ~App();

    // --- virtual operations, in the framework's order ---
    virtual void Update();
    virtual void PostUpdate();
    virtual void BeginDraw();
    virtual void Draw();
    virtual void EndDraw();
    virtual void PreDraw();
    virtual void PostDraw();
    virtual void Initialize();
    virtual void SetName(const String& s);
    virtual void SetTitle(const String& s);
    virtual void SetVersion(const String& s);
    virtual void CreateCursors();
    virtual bool Quit();
    virtual void CreateAppWindow();
    virtual void SetCursor(Platform::Cursor* cursor);
    virtual void UpdateCursor();
    virtual void SetActive(bool active);
    // Runs on the loader thread.
    virtual void Load();
    // Runs on the main thread in the first update after Load returned.
    virtual void LoadComplete();
    virtual void MouseMove(int x, int y);
    virtual void MouseDrag(int x, int y);
    virtual void MouseDown(int x, int y, int button);
    virtual void DoubleClick(int x, int y, int button);
    virtual void MouseUp(int x, int y, int button);
    virtual void MouseWheel(int delta);
    virtual void CancelMouse();
    virtual void KeyDown(uint32_t key);
    virtual void KeyUp(uint32_t key);
    virtual void Char(uint32_t character);
    virtual bool OpenURL(const String& url);
    // Asked before any other handling of a window message; true sends the
    // message straight to the default handling.
    virtual bool HandleMessage(Platform::Window* window, uint32_t message, uint32_t wParam, uint32_t lParam);
    virtual String GetExtendedInfo();
    virtual bool Restart();
    virtual void ProcessInputQueue();
    virtual void DispatchInput(const InputRecord& record);
    virtual void CheatKeys();
    virtual void ExtraCheatKeys();
    virtual void UpdateFractional(float fraction);
    virtual void ResolveDataFolder();

    // --- lifecycle and main loop ---
    void Go();
    // One pass of the main loop; modal dialogs call it while they wait.
    void Step();
    void DoUpdate();
    void DrawFrame();
    void SetSpeed(float speed);
    void SetVsync(bool on);
    void ResetTiming();
    void MeasureElapsed();
    // True when a message was handled.
    bool PumpMessages();
    // Keeps the window answering for that long, and for as long as it stays
    // minimized.
    void PumpMessagesFor(uint32_t milliseconds);
    void BringToFront();

    // --- window and system messages ---
    void WindowProc(Platform::Window* window, uint32_t message, uint32_t wParam, uint32_t lParam);
    void QueueMessage(Platform::Window* window, uint32_t message, uint32_t wParam, uint32_t lParam);
    void ToggleFullscreen();

    // --- input ---
    bool IsMouseDown() const { return buttonsDown > 0; }
    void SetHoverGadget(Gadget* gadget);
    void ClearHoverGadget(Gadget* gadget);
    // The gadget has left the tree: it is no longer the capture, hover, key
    // or wheel focus gadget.
    void ForgetGadget(Gadget* gadget);
    void CheckMouseOutside();
    void RefreshMouse();
    void PostMouseUp(int x, int y, int button);
    void PostPaint();

    // --- data folder, cache, command line, cursors, debug keys ---
    String GetDataFolder() const { return dataFolder; }
    String GetConfigPath() const { return configPath; }
    void CheckCacheVersion();
    void ReadCommandLine();
    // True when the whole lower-cased argument was given on the command line.
    bool HasCommandLineSwitch(const char* name) const;
    bool CheatKey(int key) const;
    void SaveScreenshot();

    // Window pixels to game units, and back.
    Point WindowToGame(int x, int y) const;

    String name = "Unnamed App";
    String version = ".01alpha";
    String company = "Tarnquill";
    String title = "Unnamed App";
    // The arguments, lower-cased and joined by spaces.
    String commandLine;
    std::vector<std::string> arguments;
    // "-crash" was given: the crash reporter is to run at once.
    bool crashSwitch = false;
    String dataFolder;
    String configPath;

    std::unique_ptr<Platform::Window> window;
    std::unique_ptr<Platform::Instance> instance;
    // The process's exit status: not 0 when the game could not start.
    int exitStatus = 0;

    // Written by one thread and read by another.
    std::atomic<bool> quit{false};
    std::atomic<bool> restart{false};
    std::atomic<bool> loading{false};
    std::atomic<bool> loaderBusy{false};
    std::atomic<bool> loaded{false};
    std::atomic<bool> loadDonePending{false};
    // Asset loaders count what they load; the application sets the total.
    std::atomic<int> loadDone{0};
    std::atomic<int> loadTotal{0};
    // Serial numbers of objects; objects are also built on the loader thread.
    std::atomic<int> objectCounter{0};

    bool active = true;
    bool pauseWhenInactive = false;
    bool minimized = false;
    bool modeSwitchRunning = false;
    bool captionedWindow = false;

    int stepLength = 10;
    float requestedSpeed = 1.0f;
    float effectiveSpeed = 1.0f;
    double elapsed = 0.0;
    uint32_t lastClock = 0;
    double stepFraction = 0.0;
    bool drawDue = false;
    int passesWithoutDraw = 0;
    bool vsyncMode = false;
    bool vsyncRefused = false;
    uint32_t watchdogBatchCount = 0;
    uint32_t watchdogBatchStart = 0;
    int watchdogStrikes = 0;
    // One increment per logic tick: the animation clock of the game, and the
    // parity that ObjectManager's kill lists follow.
    int updateCount = 0;
    int drawCount = 0;
    int framesThisSecond = 0;
    int framesLastSecond = 0;
    uint32_t nextFrameSample = 0;
    String frameRateText;
    bool inUpdate = false;
    bool inDraw = false;
    int mouseCheckCountdown = 10;

    bool showDebugText = false;
    bool showFrameRate = false;
    bool showSwaps = false;
    bool showVideoMemory = false;
    bool cheatsEnabled = false;
    bool developerWarnings = true;
    uint32_t creationTime = 0;
    int instanceNumber = 0;
    bool forceDocumentsFolder = false;
    bool cacheSounds = false;
    int speedPercent = 100;

    // Input state (game units for positions).
    Point mousePosition;
    Point previousMousePosition;
    int buttonsDown = 0;
    Gadget* captureGadget = nullptr;
    bool forcedDrag = false;
    Gadget* hoverGadget = nullptr;
    Gadget* wheelFocusGadget = nullptr;
    Gadget* keyFocusGadget = nullptr;
    bool cancelRunning = false;
    // Gadgets came or went since the last move or press found what lies
    // under the pointer: the next press or release finds it afresh first.
    // Not done at once, as a gadget is often added before its rectangle is
    // set.
    bool pointerTargetsStale = false;
    // A move or press has told where the pointer is.
    bool pointerSeen = false;

    // Cursors; the first five, in this order, are the ones the graphics
    // device's custom cursor knows by index.
    Platform::Cursor* arrowCursor = nullptr;
    Platform::Cursor* waitCursor = nullptr;
    Platform::Cursor* handCursor = nullptr;
    Platform::Cursor* ibeamCursor = nullptr;
    Platform::Cursor* ownCursor = nullptr;
    Platform::Cursor* invisibleCursor = nullptr;
    Platform::Cursor* currentCursor = nullptr;
    int busyCount = 0;

    GadgetManager rootGadgets;
    ObjectManager rootObjects;
    std::deque<InputRecord> inputQueue;

    // The loop's time source; tests put a clock of their own here.
    std::function<uint32_t()> clock;
    std::function<void(uint32_t)> sleep;

  protected:
    void StartLoader();
    void VsyncWatchdog(uint32_t now);
    void FractionalUpdate(float fraction);
    void DoUpdateFractional(float fraction);
    void DrawDebugText();
    void HandleActivate(uint32_t wParam);
    void HandlePaint();
    void HandleSysKeyDown(uint32_t wParam);
    bool HandleMouseMessage(Platform::Window* window, uint32_t message, uint32_t wParam, uint32_t lParam);
    void RefuseSecondInstance();
    void SpeedKeys();
    void ReleaseCapture();
    void PressAt(int x, int y, int button, void (Gadget::*handler)(int, int, int));
    // A gadget holds the pointer: moves drag it.
    bool PointerHeld() const { return captureGadget != nullptr && (buttonsDown != 0 || forcedDrag); }
    void RefreshStalePointer(const InputRecord& record);
    void FreeCursors();

  private:
    friend class AppLock;
    std::recursive_mutex lock;
    std::thread loader;
    bool ownCursorsMade = false;
};

// The one application object, or null when none exists.
extern App* theApp;

// That file on the user's desktop; the name alone when there is no desktop.
String GetDesktopFilePath(const String& name);

// That file of the application's data folder; of the working folder while
// there is no application or its folder is not resolved, never of the
// file-system root.
String GetDataFilePath(const String& name);
