#include "TemporaryDesktop.h"

#include <cstdlib>
#include <filesystem>

TemporaryDesktop::TemporaryDesktop()
{
    std::filesystem::create_directory(home / "Desktop");
    savedHome = Replace("HOME", home.Path());
    // No user-dirs file there, so the desktop is $HOME/Desktop.
    savedConfig = Replace("XDG_CONFIG_HOME", home / "config");
}

TemporaryDesktop::~TemporaryDesktop()
{
    Restore("HOME", savedHome);
    Restore("XDG_CONFIG_HOME", savedConfig);
}

bool TemporaryDesktop::Exists(const std::string& name) const
{
    return std::filesystem::exists(Path(name));
}

TemporaryDesktop::Saved TemporaryDesktop::Replace(const char* name, const std::string& value)
{
    const char* old = std::getenv(name);
    Saved saved{old != nullptr, old ? old : ""};
    setenv(name, value.c_str(), 1);
    return saved;
}

void TemporaryDesktop::Restore(const char* name, const Saved& saved)
{
    if (saved.present) {
        setenv(name, saved.value.c_str(), 1);
    } else {
        unsetenv(name);
    }
}
