#pragma once

#include "app/String.h"

#include <vector>

// The player profiles: the names in their stored order and the current one,
// kept in the settings file under "Profiles" and "CurrentProfile", and one
// folder per profile in the "Profiles" folder of the data folder, which also
// holds the files all profiles share.
class ProfileManager
{
  public:
    // The characters a profile name may not hold: they would leave the
    // Profiles folder, name no file at all, or split the stored list.
    static constexpr const char* kForbiddenNameCharacters = ",\\/:*?\"<>|";
    // Stands for the current profile while there is none.
    static constexpr const char* kNobody = "Nobody";

    ProfileManager() = default;
    ProfileManager(const ProfileManager&) = delete;
    ProfileManager& operator=(const ProfileManager&) = delete;
    virtual ~ProfileManager() = default;

    // The longest name, in bytes: as many letters as the new player's name
    // box accepts, well within the 255 bytes of a folder's name however many
    // bytes a stored name's letters take.
    static constexpr int kMaxNameBytes = 25;
    // A name that can be stored and made a folder: not empty, no longer than
    // the limit, no forbidden or control characters, and more than dots and
    // blanks.
    static bool IsValidName(const String& name);

    void Load(const String& path);
    void Save();
    // Refuses an invalid name (false); a name already taken gets a number
    // from 2 on.
    bool Add(const String& name);
    void Delete(int index);
    bool Exists(const String& name) const;
    // A profile of that name exists, or a file the profiles share bears it:
    // a new profile may not take it.
    bool IsTaken(const String& name) const;
    // A file the profiles share bears the name, in any case.
    bool IsSharedFileName(const String& name) const;
    String GetName(int index) const;
    int GetCount() const { return static_cast<int>(names.size()); }
    int GetCurrentIndex() const;
    String GetCurrentName() const { return current; }
    void SetCurrent(int index);
    // Creates the folder when needed; "Nobody" becomes current while there
    // is none.
    String GetCurrentFolder();
    String GetProfilePath(const String& file);
    // The file's name is taken from then on.
    String GetSharedPath(const String& file);
    void Clear();

    String settingsPath;
    String current;
    bool loaded = false;
    // The current profile was made by Add and has not been left since.
    bool justAdded = false;

  private:
    String UniqueName(const String& name) const;

    std::vector<String> names;
    std::vector<String> sharedFiles;
};
