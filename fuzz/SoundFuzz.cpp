#include "FuzzFile.h"

#include "app/Audio.h"
#include "app/SoundFiles.h"
#include "platform/Dialogs.h"

#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // A refused WAV file tells the player in a message box: none is shown
    // here, where trying to find a display would set the pace.
    static Platform::Dialogs::Recorder noBoxes;
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    theAudio.Initialize(nullptr);
    return 0;
}

// The first byte picks the reader: WAV, Ogg Vorbis or the decoded-sound cache.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Platform::SoundMixer* mixer = theAudio.GetMixer();
    if (size < 1 || mixer == nullptr) {
        return 0;
    }
    static const char* const kExtensions[] = {".wav", ".ogg", ".cached"};
    const int reader = data[0] % 3;
    const String path = WriteFuzzFile(data + 1, size - 1, kExtensions[reader]).c_str();
    switch (reader) {
    case 0: SoundFiles::ReadWAV(*mixer, path); break;
    case 1: SoundFiles::ReadOGG(*mixer, path); break;
    default: SoundFiles::ReadCache(*mixer, path); break;
    }
    return 0;
}
