#include "TemporaryDesktop.h"

#include <filesystem>

TemporaryDesktop::TemporaryDesktop()
{
    std::filesystem::create_directory(home / "Desktop");
}

bool TemporaryDesktop::Exists(const std::string& name) const
{
    return std::filesystem::exists(Path(name));
}
