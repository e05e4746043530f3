#include "GameAppHarness.h"

#include "app/Gadget.h"
#include "app/Random.h"
#include "platform/Shell.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

fs::path ProgramFolder()
{
    const char* dir = std::getenv("QS_PROGRAM_DIR");
    return dir ? fs::path(dir) : fs::current_path();
}

std::string UniqueAppName()
{
    return "QuorbSwapTest" + std::to_string(getpid());
}

} // namespace

ScriptedQuorbSwapApp::ScriptedQuorbSwapApp()
{
    // Its own name: no clash with a running game's single-instance lock.
    SetName(UniqueAppName().c_str());
    SetSpeed(4.0f);
}

void ScriptedQuorbSwapApp::Update()
{
    QuorbSwapApp::Update();
    ++updates;
    if (updates > updateLimit) {
        timedOut = true;
        Quit();
        return;
    }
    if (everyUpdate)
        everyUpdate();
    // One step per update: the screens see each step before the next.
    if (nextStep < steps.size() && steps[nextStep].ready()) {
        Step& step = steps[nextStep++];
        step.action();
    }
}

void ScriptedQuorbSwapApp::Draw()
{
    if (!handDrawnOnly || drawingByHand)
        QuorbSwapApp::Draw();
}

void ScriptedQuorbSwapApp::DrawByHand()
{
    drawingByHand = true;
    DrawFrame();
    drawingByHand = false;
}

void ScriptedQuorbSwapApp::When(std::function<bool()> ready, std::function<void()> action)
{
    steps.push_back({std::move(ready), std::move(action)});
}

void ScriptedQuorbSwapApp::ClickOn(const Gadget& gadget)
{
    Point at = gadget.GetAbsolutePosition();
    input.Click(int(at.x + gadget.rect.w / 2), int(at.y + gadget.rect.h / 2));
}

GameAppHarness::GameAppHarness()
{
    previousFolder = fs::current_path();
    fs::current_path(work.Path());
    for (const char* folder : {"graphics", "Fonts", "data", "sounds"})
        fs::create_directory_symlink(ProgramFolder() / folder, folder);
    appFolderName = UniqueAppName();
}

GameAppHarness::~GameAppHarness()
{
    delete app;
    Platform::Shell::SetArguments(0, nullptr);
    fs::current_path(previousFolder);
}

ScriptedQuorbSwapApp& GameAppHarness::Start(const char* rendererSwitch)
{
    // SDL's renderer on the dummy driver is no hardware device: "-hardware"
    // keeps the scripts on the hardware path, whose frame is the game's
    // 800 x 600 space they click in. Either switch keeps the hardware tester
    // from running.
    const char* const arguments[] = {"QuorbSwap", rendererSwitch};
    Platform::Shell::SetArguments(2, arguments);
    app = new ScriptedQuorbSwapApp();
    app->Initialize();
    return *app;
}

void GameAppHarness::RunAndClose()
{
    app->Go();
    EXPECT_FALSE(app->timedOut) << "the script stopped at step " << app->nextStep << " of "
                                << app->steps.size();
    app->Quit();
    delete app;
    app = nullptr;
}

fs::path GameAppHarness::DataPath(const std::string& relative) const
{
    return fs::path(work.Path()) / "userdata" / "KEXGames" / appFolderName / relative;
}
