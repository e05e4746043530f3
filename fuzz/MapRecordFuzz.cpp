#include "FuzzFile.h"

#include "app/IOBuffer.h"
#include "game/Game.h"
#include "game/Map.h"
#include "game/QuorbSwapApp.h"

#include <cstdlib>
#include <cstring>
#include <vector>

// The journey map's record: whatever the check accepts must load, and a
// loaded map must write back the very bytes it was read from, but for the
// hovered squares and the chosen flag, which loading clears (the pointer has
// moved on, and no square is on its way to a level).

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > (1 << 16))
        return 0;
    const String path = WriteFuzzFile(data, size, ".map").c_str();
    IOBuffer check;
    check.Load(path);
    const bool sound = Map::CheckRecord(check);
    const int32_t recordSize = check.GetCursor();

    static QuorbSwapApp app;
    static Game game(&app);
    ProfileProgress progress;
    Map map(nullptr, &game);
    map.progress = &progress;
    IOBuffer read;
    read.Load(path);
    const bool loaded = map.Load(read);
    if (loaded != sound)
        std::abort(); // the check and the reader disagree
    if (!loaded)
        return 0;
    IOBuffer written;
    map.Save(written);
    std::vector<uint8_t> expected(data, data + recordSize);
    const size_t hover = sizeof(MapSquare) * kMapSquareCount;
    std::memset(expected.data() + hover, 0xFF, 4 * 4);
    expected[hover + 4 * 4] = 0;
    if (written.GetSize() != recordSize || std::memcmp(written.GetData(), expected.data(), expected.size()) != 0)
        std::abort(); // a sound record does not survive a round trip
    return 0;
}
