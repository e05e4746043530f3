#pragma once

#include "app/App.h"
#include "app/Font.h"
#include "app/String.h"

#include <cstdint>
#include <functional>

class CrashCatcher;
class CrashWindow;

// The crash reporter's own application: a window of the crash window's size
// with the graphics device, the input queue and one font from the program
// folder, and the crash window as its only gadget. It leaves alone what
// belongs to the failed program: its data folder, settings, cache and
// single-instance lock.
class CrashWindowApp : public App
{
  public:
    // The font's base name, relative to the working folder.
    static constexpr const char* kFontName = "Fonts\\Regular13";

    CrashWindowApp(CrashCatcher& catcher, const String& displayText);
    ~CrashWindowApp() override;

    // Opens the window and builds its contents; false, with nothing shown,
    // when there is no display or the font is missing.
    bool Open();
    // Shows the window until it is closed. A frame is drawn only when
    // something changed: input, a send's progress (the window system's
    // requests to paint are answered as they come). In between the loop
    // waits for the window system, no longer than until a send under way is
    // to be looked at again.
    void Run();
    // One turn of that loop: messages, one update, a frame when one is due,
    // then the wait.
    void Turn();
    void ResolveDataFolder() override;
    void CreateAppWindow() override;
    void DispatchInput(const InputRecord& record) override;

    CrashWindow* crashWindow = nullptr;
    // Waits for the window system's next event, at most that many
    // milliseconds; tests wait on a clock of their own.
    std::function<void(uint32_t)> wait;

  private:
    CrashCatcher& catcher;
    String displayText;
    Font font;
    bool redrawDue = true;
};
