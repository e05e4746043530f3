#include "FuzzFile.h"

#include "app/HighScoreList.h"
#include "app/ProfileManager.h"
#include "app/Registry.h"

// The settings file and the two lists kept in that format: the profile list
// and a high-score table. Nothing is written back.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const String path = WriteFuzzFile(data, size, ".ini").c_str();
    {
        Registry settings;
        settings.SetNoSave(true);
        settings.Load(path);
        settings.GetInt("Width");
        settings.GetString("Profiles");
        int8_t bytes[16];
        settings.GetByteArray("Bytes", bytes, 16);
        settings.Clear();
    }
    {
        HighScoreList scores;
        scores.SetSize(5);
        scores.Load(path);
        scores.Qualifies(1000);
        scores.Insert("Fuzz", 1000);
    }
    {
        ProfileManager profiles;
        profiles.Load(path);
        for (int i = 0; i < profiles.GetCount(); ++i) {
            profiles.GetName(i);
        }
    }
    return 0;
}
