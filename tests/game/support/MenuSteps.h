#pragma once
// Helpers of the scripts that walk the menus of a whole game.

#include "GameAppHarness.h"

#include "app/IOBuffer.h"
#include "game/Transition.h"
#include "platform/Files.h"

// Loading alone takes thousands of updates in a sanitizer build.
constexpr int kUpdateLimit = 30000;

// Start-up is over and no screen switch is running.
inline bool Settled(ScriptedQuorbSwapApp& app)
{
    return !app.loading && app.loaded && app.transition == nullptr;
}

// The topmost root gadget when it is a T, or null.
template <typename T> T* Top(ScriptedQuorbSwapApp& app)
{
    int count = app.rootGadgets.Count();
    return count > 0 ? dynamic_cast<T*>(app.rootGadgets.Get(count - 1)) : nullptr;
}

// A profile made current with its progress block, its tutorial pages
// switched off.
inline void EnterProfile(ScriptedQuorbSwapApp& app)
{
    if (app.profiles.GetCount() == 0)
        app.profiles.Add("Tester");
    app.LoadConfig();
    for (uint8_t& off : app.progress.tutorialShown)
        off = 1;
}

// Writes a file of that name into the current profile's folder, or removes it.
inline void SetProfileFile(ScriptedQuorbSwapApp& app, const char* fileName, bool present)
{
    String path = app.profiles.GetProfilePath(fileName);
    if (!present) {
        Platform::Files::DeleteFile(path.CStr());
        return;
    }
    IOBuffer bytes;
    bytes.WriteString("saved");
    bytes.Save(path);
}
