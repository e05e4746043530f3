#pragma once
// The whole game application, headless: its window under the dummy video
// driver, the generated assets, a private data folder, and a script of
// steps that run inside the application's own updates (so they also run
// while a modal dialog waits).

#include "game/QuorbSwapApp.h"
#include "support/QueuedInput.h"
#include "support/ScopedVariable.h"
#include "support/TemporaryDesktop.h"
#include "support/TemporaryFolder.h"

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

class ScriptedQuorbSwapApp : public QuorbSwapApp
{
  public:
    struct Step
    {
        std::function<bool()> ready; // the step waits until this holds
        std::function<void()> action;
    };

    ScriptedQuorbSwapApp();

    void Update() override;
    // With handDrawnOnly, the main loop's frames draw nothing: only DrawByHand draws, so
    // that drawing takes no random numbers between the frames a test looks at.
    void Draw() override;
    void DrawByHand();

    // Adds a step that runs once its condition holds, at the earliest one
    // update after the step before it.
    void When(std::function<bool()> ready, std::function<void()> action);
    // The first root gadget of that class, or null.
    template <typename T> T* Find()
    {
        for (int i = 0; i < rootGadgets.live.Count(); ++i)
            if (auto* found = dynamic_cast<T*>(static_cast<Object*>(rootGadgets.live.Get(i))))
                if (!found->killed)
                    return found;
        return nullptr;
    }
    // Click at the centre of a gadget given in screen coordinates.
    void ClickOn(const Gadget& gadget);

    // Runs after every update, before the steps.
    std::function<void()> everyUpdate;
    QueuedInput input{*this};
    std::vector<Step> steps;
    size_t nextStep = 0;
    int updates = 0;
    // The run is ended by force after this many updates.
    int updateLimit = 6000;
    bool timedOut = false;
    bool handDrawnOnly = false;

  private:
    bool drawingByHand = false;
};

// Runs one application in a fresh working folder with the program's asset
// folders linked in and a private data folder.
class GameAppHarness
{
  public:
    GameAppHarness();
    ~GameAppHarness();

    // Builds and initialises a new application (the previous one must be
    // gone), on the renderer the switch names.
    ScriptedQuorbSwapApp& Start(const char* rendererSwitch = "-hardware");
    // Runs the main loop until the script quits, then deletes the
    // application as the program's entry point does.
    void RunAndClose();

    // A file of the data folder (the application's own folder in it).
    std::filesystem::path DataPath(const std::string& relative) const;

    ScriptedQuorbSwapApp* app = nullptr;

  private:
    TemporaryDesktop desktop;
    TemporaryFolder work;
    const ScopedVariable dataHome{"XDG_DATA_HOME", work / "userdata"};
    std::filesystem::path previousFolder;
    std::string appFolderName;
};
