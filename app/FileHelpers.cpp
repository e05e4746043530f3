#include "app/FileHelpers.h"

#include "platform/Files.h"

#include <string>

namespace {
bool IsSeparator(char c)
{
    return c == '\\' || c == '/';
}

// A drive root such as "C:" or "C:\" names a whole volume.
bool IsDriveRoot(const std::string& path)
{
    return (path.size() == 2 || path.size() == 3) && path[1] == ':';
}
} // namespace

bool FileExists(const String& path)
{
    return Platform::Files::Exists(path.CStr()) != Platform::Files::Presence::Missing;
}

bool DeleteFolder(const String& path)
{
    std::string text = path.CStr();
    if (text.size() <= 1 || text == "." || text == ".." || IsDriveRoot(text))
        return false;
    return Platform::Files::DeleteFolderTree(text);
}

bool MakeFolders(const String& path)
{
    std::string text = path.CStr();
    bool hasSeparator = false;
    bool made = true;
    for (size_t i = 0; i < text.size(); ++i) {
        if (!IsSeparator(text[i]))
            continue;
        hasSeparator = true;
        if (i > 0)
            made = Platform::Files::MakeFolder(text.substr(0, i)) && made;
    }
    if (!hasSeparator && !text.empty())
        made = Platform::Files::MakeFolder(text);
    return made;
}
