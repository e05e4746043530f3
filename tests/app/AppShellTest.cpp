#include "app/App.h"

#include "app/Gadget.h"
#include "app/Graphics.h"
#include "platform/Instance.h"
#include "platform/Shell.h"
#include "platform/Window.h"
#include "support/RecordingGadget.h"
#include "support/ScopedVariable.h"
#include "support/SdlEventInjector.h"
#include "support/TemporaryDesktop.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {
namespace fs = std::filesystem;
namespace Msg = Platform::Message;
using Inject = SdlEventInjector::Button;
using Log = std::vector<std::string>;

constexpr const char* kChildNameVariable = "QS_SHELL_SECOND_COPY";
// The first copy's runtime folder, where the second finds its name.
constexpr const char* kChildRuntimeVariable = "QS_SHELL_FIRST_RUNTIME";

int ThreadCount()
{
    int count = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator("/proc/self/task"))
        ++count;
    return count;
}

// A sanitizer starts threads of its own the first time the program starts
// one; one thread started and joined first keeps those out of the comparison.
int ThreadCountAfterWarmUp()
{
    std::thread([] {}).join();
    return ThreadCount();
}

std::string InstanceName(const char* what)
{
    return std::string("QuorbShellTest") + what + std::to_string(getpid());
}

// A real application: its window under the dummy video driver, the graphics
// device, input and sound started, a loader thread, and a script of window
// events pushed in at given updates.
class ShellApp : public App
{
  public:
    explicit ShellApp(const std::string& appName)
    {
        SetName(appName.c_str());
        SetVersion("1.0");
    }

    void Load() override
    {
        loadTotal = 3;
        for (int i = 0; i < 3; ++i)
            ++loadDone;
    }

    void LoadComplete() override { ++completions; }

    void Update() override
    {
        App::Update();
        ++updates;
        auto step = script.find(updates);
        if (step != script.end())
            step->second();
    }

    bool HandleMessage(Platform::Window*, uint32_t message, uint32_t, uint32_t) override
    {
        if (message == Msg::Notify) {
            ++notifications;
            if (raising)
                raising();
        }
        return false;
    }

    int updates = 0;
    int completions = 0;
    int notifications = 0;
    // What raising the window takes beside.
    std::function<void()> raising;
    std::map<int, std::function<void()>> script;
};

// Runs in its own working folder (screenshots land there) with a private
// home and data home.
class AppShell : public testing::Test
{
  protected:
    void SetUp() override
    {
        oldFolder = fs::current_path();
        fs::current_path(work.Path());
    }

    void TearDown() override { fs::current_path(oldFolder); }

    TemporaryDesktop desktop;
    TemporaryFolder work;
    const ScopedVariable dataHome{"XDG_DATA_HOME", (work / "data").c_str()};
    fs::path oldFolder;
};

TEST_F(AppShell, RunsHeadlessWithRealEventsAndLeavesNoThreadBehind)
{
    int threadsBefore = ThreadCountAfterWarmUp();
    fs::create_directories("Screenshots");
    std::ofstream("Screenshots/screenshot1.bmp") << "taken";
    std::ofstream("Screenshots/screenshot3.bmp") << "taken";

    // SDL's renderer on the dummy driver is no hardware device: the switch
    // keeps the frame, and so the pointer's pixels, at the window's size.
    const char* const arguments[] = {"AppShellTest", "-hardware"};
    Platform::Shell::SetArguments(2, arguments);
    auto* app = new ShellApp(InstanceName("Run"));
    app->Initialize();
    Platform::Shell::SetArguments(0, nullptr);
    ASSERT_FALSE(app->quit);
    ASSERT_TRUE(app->window && app->window->IsOpen());
    app->cheatsEnabled = true;
    app->SetSpeed(4.0f);

    auto* target = new RecordingGadget(100, 100, 200, 200);
    target->SetExclusiveDrag(true);
    app->rootGadgets.Add(target);
    bool frameRateShown = false;
    int updatesWhileInactive = 0;
    bool fullscreenAfterToggle = false;
    bool windowedAgain = false;
    app->script = {
        {10, [] { SdlEventInjector::MouseMotion(110, 110); }},
        {20, [] { SdlEventInjector::MouseButton(110, 110, Inject::Left, true); }},
        {21, [] { SdlEventInjector::MouseMotion(150, 160); }},
        {22, [] { SdlEventInjector::MouseButton(150, 160, Inject::Left, false); }},
        {30, [target] { target->TakeKeyFocus(); }},
        {31,
         [] {
             SdlEventInjector::Key("A", true);
             SdlEventInjector::Text("a");
             SdlEventInjector::Key("A", false);
         }},
        {40, [] { SdlEventInjector::Key("F12", true); }},
        {42, [&] { frameRateShown = app->showFrameRate; }},
        {43, [] { SdlEventInjector::Key("F12", false); }},
        {50,
         [] {
             SdlEventInjector::MouseButton(120, 120, Inject::Left, true);
             SdlEventInjector::MouseButton(120, 120, Inject::Left, false);
             SdlEventInjector::MouseButton(120, 120, Inject::Left, true);
             SdlEventInjector::MouseButton(120, 120, Inject::Left, false);
         }},
        {60, [target] { target->TakeWheelFocus(); }},
        {61, [] { SdlEventInjector::MouseWheel(-1); }},
        {70, [] { SdlEventInjector::Window(SdlEventInjector::WindowChange::FocusLost); }},
        {75, [&] { updatesWhileInactive = app->active ? -1 : 1; }},
        {80, [] { SdlEventInjector::Window(SdlEventInjector::WindowChange::FocusGained); }},
        {90,
         [] {
             SdlEventInjector::Key("Left Ctrl", true);
             SdlEventInjector::Key("PrintScreen", true);
             SdlEventInjector::Key("PrintScreen", false);
             SdlEventInjector::Key("Left Ctrl", false);
         }},
        {100, [] { SdlEventInjector::Window(SdlEventInjector::WindowChange::Exposed); }},
        {110,
         [] {
             SdlEventInjector::Key("Left Alt", true);
             SdlEventInjector::Key("Return", true, true);
             SdlEventInjector::Key("Return", false, true);
             SdlEventInjector::Key("Left Alt", false);
         }},
        {130, [&] { fullscreenAfterToggle = theGraphics.mFullscreen; }},
        {140,
         [] {
             SdlEventInjector::Key("Return", true, true);
             SdlEventInjector::Key("Return", false, true);
         }},
        {160, [&] { windowedAgain = !theGraphics.mFullscreen && app->active; }},
        {300, [] { SdlEventInjector::Window(SdlEventInjector::WindowChange::Close); }},
    };
    app->Go();
    app->Quit();
    EXPECT_GE(app->updates, 300);
    EXPECT_LT(app->updates, 320);
    EXPECT_EQ(app->completions, 1);
    EXPECT_EQ(app->loadDone, 3);
    EXPECT_TRUE(frameRateShown);
    EXPECT_EQ(updatesWhileInactive, 1);
    EXPECT_GT(app->drawCount, 0);
    EXPECT_TRUE(fullscreenAfterToggle);
    EXPECT_TRUE(windowedAgain);

    Log log = target->Take();
    auto has = [&log](const std::string& entry) {
        return std::find(log.begin(), log.end(), entry) != log.end();
    };
    EXPECT_TRUE(has("enter"));
    EXPECT_TRUE(has("down 10,10 -1"));
    EXPECT_TRUE(has("dragstart 50,60"));
    EXPECT_TRUE(has("up 50,60 -1"));
    EXPECT_TRUE(has("key 65"));
    EXPECT_TRUE(has("char 97"));
    EXPECT_TRUE(has("keyup 65"));
    EXPECT_TRUE(has("double 20,20 -1"));
    EXPECT_TRUE(has("wheel -120"));
    // Deactivation releases the hover.
    EXPECT_TRUE(has("exit"));
    // The gap in the numbers is filled first.
    EXPECT_TRUE(fs::exists("Screenshots/screenshot2.bmp"));
    EXPECT_FALSE(fs::exists("Screenshots/screenshot4.bmp"));

    // The root purge deletes only killed gadgets.
    target->Kill();
    delete app;
    EXPECT_EQ(theApp, nullptr);
    EXPECT_EQ(ThreadCount(), threadsBefore);
}

TEST_F(AppShell, SecondCopyHandsOverToTheFirstAndEndsWithStatusZero)
{
    std::string name = InstanceName("Twice");
    auto* app = new ShellApp(name);
    app->Initialize();
    ASSERT_TRUE(app->window && app->window->IsOpen());

    setenv(kChildNameVariable, name.c_str(), 1);
    setenv(kChildRuntimeVariable, std::getenv("XDG_RUNTIME_DIR"), 1);
    std::string filter = "--gtest_filter=AppShellSecondCopy.*";
    char* argv[] = {const_cast<char*>("second copy"), filter.data(), nullptr};
    pid_t child = 0;
    ASSERT_EQ(posix_spawn(&child, "/proc/self/exe", nullptr, nullptr, argv, environ), 0);
    unsetenv(kChildNameVariable);
    unsetenv(kChildRuntimeVariable);
    // The second copy ends once the first has answered, from its pump.
    int status = -1;
    while (waitpid(child, &status, WNOHANG) == 0) {
        app->PumpMessages();
        usleep(1000);
    }
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(app->notifications, 1);

    // A start whose wait a slow raise of the window outlasts is not
    // answered: the answer comes once the window is up.
    const pid_t asker = fork();
    ASSERT_GE(asker, 0);
    if (asker == 0)
        _exit(Platform::Instance::NotifyHolder(name + "Mutex") ? 0 : 1);
    bool asked = false;
    app->raising = [&] { asked = waitpid(asker, &status, 0) == asker; };
    while (!asked && waitpid(asker, &status, WNOHANG) == 0) {
        app->PumpMessages();
        usleep(1000);
    }
    EXPECT_TRUE(asked) << "the window was not raised";
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1)
        << "the start was answered before the window was raised";
    app->Quit();
    delete app;
}

// Runs only as the second copy started above: its start-up must end the
// process before this test can fail.
TEST(AppShellSecondCopy, HandsOverDuringInitialize)
{
    const char* name = std::getenv(kChildNameVariable);
    if (name == nullptr)
        GTEST_SKIP() << "runs only as the second copy of another test";
    // This process's main gave it a runtime folder of its own.
    setenv("XDG_RUNTIME_DIR", std::getenv(kChildRuntimeVariable), 1);
    ShellApp app(name);
    app.Initialize();
    ADD_FAILURE() << "the second copy went on running";
    std::_Exit(3);
}
} // namespace
