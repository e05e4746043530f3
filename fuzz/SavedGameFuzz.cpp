#include "FuzzFile.h"

#include "app/IOBuffer.h"
#include "game/SaveValidator.h"

#include <initializer_list>

// A saved game is checked whole before anything is built from it: the
// check must take any bytes at all, for every mode.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > (1 << 20))
        return 0;
    const String path = WriteFuzzFile(data, size, ".sav").c_str();
    for (GameMode mode : {GameMode::Journey, GameMode::Casual, GameMode::Speed}) {
        IOBuffer buffer;
        buffer.Load(path);
        SaveValidator(buffer).IsValidGame(mode);
    }
    return 0;
}
