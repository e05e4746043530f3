#pragma once

#include "app/App.h"
#include "app/Font.h"
#include "app/String.h"

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
    void ResolveDataFolder() override;
    void CreateAppWindow() override;

    CrashWindow* crashWindow = nullptr;

  private:
    CrashCatcher& catcher;
    String displayText;
    Font font;
};
