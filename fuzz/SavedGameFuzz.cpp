#include "game/SaveValidator.h"

#include <cstddef>
#include <initializer_list>

// A saved game is checked whole before anything is built from it: the
// check must take any bytes at all, for every mode.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > (1 << 20))
        return 0;
    for (GameMode mode : {GameMode::Journey, GameMode::Casual, GameMode::Speed})
        SaveValidator(data, int32_t(size)).IsValidGame(mode);
    return 0;
}
