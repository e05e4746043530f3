#pragma once

#include "ScopedVariable.h"
#include "TemporaryFolder.h"

#include <string>

// Points the user's home (and so the desktop folder) at a fresh temporary
// folder holding an empty "Desktop", for as long as the object lives.
class TemporaryDesktop
{
  public:
    TemporaryDesktop();
    TemporaryDesktop(const TemporaryDesktop&) = delete;
    TemporaryDesktop& operator=(const TemporaryDesktop&) = delete;

    // A file on the desktop, by name.
    std::string Path(const std::string& name) const { return home / ("Desktop/" + name); }
    bool Exists(const std::string& name) const;
    std::string ReadText(const std::string& name) const { return home.ReadText("Desktop/" + name); }
    void WriteText(const std::string& name, const std::string& text) const
    {
        home.WriteText("Desktop/" + name, text);
    }

  private:
    TemporaryFolder home;
    ScopedVariable homeVariable{"HOME", home.Path().c_str()};
    // No user-dirs file there, so the desktop is $HOME/Desktop.
    ScopedVariable configVariable{"XDG_CONFIG_HOME", (home / "config").c_str()};
};
