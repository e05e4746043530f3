#pragma once

#include "TemporaryFolder.h"

#include <string>

// Points the user's home (and so the desktop folder) at a fresh temporary
// folder holding an empty "Desktop", for as long as the object lives.
class TemporaryDesktop
{
  public:
    TemporaryDesktop();
    ~TemporaryDesktop();
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
    struct Saved
    {
        bool present = false;
        std::string value;
    };
    static Saved Replace(const char* name, const std::string& value);
    static void Restore(const char* name, const Saved& saved);

    TemporaryFolder home;
    Saved savedHome;
    Saved savedConfig;
};
