#include "app/ProfileManager.h"

#include "app/App.h"
#include "app/FileHelpers.h"
#include "app/Registry.h"

#include <cstring>

namespace {
String ProfilesFolder()
{
    return GetDataFilePath("Profiles");
}

bool ContainsNoCase(const std::vector<String>& list, const String& name)
{
    for (const String& item : list) {
        if (item.CompareNoCase(name) == 0)
            return true;
    }
    return false;
}

bool IsControl(unsigned char c)
{
    return c < 32 || c == 127;
}
} // namespace

bool ProfileManager::IsValidName(const String& name)
{
    if (name.Length() > kMaxNameBytes)
        return false;
    bool onlyDotsAndBlanks = true;
    for (int i = 0; i < name.Length(); ++i) {
        unsigned char c = static_cast<unsigned char>(name.CharAt(i));
        if (IsControl(c) || std::strchr(kForbiddenNameCharacters, c) != nullptr)
            return false;
        if (c != '.' && c != ' ')
            onlyDotsAndBlanks = false;
    }
    return !onlyDotsAndBlanks;
}

// Names another program or a hand wrote into the file are checked like
// typed ones: a bad or repeated name is left out.
void ProfileManager::Load(const String& path)
{
    settingsPath = path;
    Registry settings;
    settings.Load(path);
    String text = settings.GetString("Profiles");
    current = settings.GetString("CurrentProfile");
    settings.Clear();

    names.clear();
    for (String name = text.FirstToken(','); !name.IsEmpty(); name = text.NextToken(',')) {
        if (IsValidName(name) && !IsTaken(name))
            names.push_back(name);
    }
    // A current name that no profile could bear (a bad name, or a shared
    // file's in any case) counts as none: its saves could not be kept.
    if (!IsValidName(current) || IsSharedFileName(current))
        current = String();
    if (current.IsEmpty() && !names.empty())
        current = names.front();
    loaded = true;
}

void ProfileManager::Save()
{
    if (!loaded)
        return;
    String list;
    for (size_t i = 0; i < names.size(); ++i) {
        if (i > 0)
            list.Append(",");
        list.AppendString(names[i]);
    }
    Registry settings;
    settings.Load(settingsPath);
    settings.SetString("Profiles", list);
    settings.SetString("CurrentProfile", current);
    settings.Clear();
}

String ProfileManager::UniqueName(const String& name) const
{
    String candidate = name;
    for (int n = 2; IsTaken(candidate); ++n)
        candidate = name.Concat(String::StringFormat("%d", n).CStr());
    return candidate;
}

bool ProfileManager::Add(const String& name)
{
    if (!IsValidName(name))
        return false;
    String unique = UniqueName(name);
    names.push_back(unique);
    current = unique;
    justAdded = true;
    return true;
}

// Every stored name is valid, so the folder removed is always a direct child
// of the Profiles folder.
void ProfileManager::Delete(int index)
{
    justAdded = false;
    if (index < 0 || index >= GetCount())
        return;
    String name = names[static_cast<size_t>(index)];
    names.erase(names.begin() + index);
    if (IsValidName(name))
        DeleteFolder(String::StringFormat("%s/%s", ProfilesFolder(), name));
    if (name.CompareNoCase(current) == 0)
        current = names.empty() ? String() : names.front();
}

bool ProfileManager::Exists(const String& name) const
{
    return ContainsNoCase(names, name);
}

// A profile's folder cannot be made where a shared file lies, and a file
// system may not tell the cases apart.
bool ProfileManager::IsTaken(const String& name) const
{
    return IsSharedFileName(name) || Exists(name);
}

bool ProfileManager::IsSharedFileName(const String& name) const
{
    return ContainsNoCase(sharedFiles, name);
}

String ProfileManager::GetName(int index) const
{
    if (index < 0 || index >= GetCount())
        return String();
    return names[static_cast<size_t>(index)];
}

int ProfileManager::GetCurrentIndex() const
{
    for (int i = 0; i < GetCount(); ++i) {
        if (names[static_cast<size_t>(i)].CompareNoCase(current) == 0)
            return i;
    }
    return -1;
}

void ProfileManager::SetCurrent(int index)
{
    if (index < 0 || index >= GetCount())
        return;
    const String& name = names[static_cast<size_t>(index)];
    if (name.Compare(current.CStr()) != 0)
        justAdded = false;
    current = name;
}

String ProfileManager::GetCurrentFolder()
{
    if (current.IsEmpty())
        current = kNobody;
    String profiles = ProfilesFolder();
    MakeFolders(String::StringFormat("%s/", profiles));
    String folder = String::StringFormat("%s/%s", profiles, current);
    MakeFolders(String::StringFormat("%s/", folder));
    return folder;
}

String ProfileManager::GetProfilePath(const String& file)
{
    return String::StringFormat("%s/%s", GetCurrentFolder(), file);
}

String ProfileManager::GetSharedPath(const String& file)
{
    if (!ContainsNoCase(sharedFiles, file))
        sharedFiles.push_back(file);
    String path = String::StringFormat("%s/%s", ProfilesFolder(), file);
    MakeFolders(path);
    return path;
}

void ProfileManager::Clear()
{
    Save();
    names.clear();
    loaded = false;
}
