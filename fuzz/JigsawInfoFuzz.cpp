#include "FuzzFile.h"

#include "game/Puzzler.h"

// A jigsaw picture's "info.cfg": the home of each piece.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const String path = WriteFuzzFile(data, size, ".cfg").c_str();
    Puzzler::ReadPieceCorners(path);
    return 0;
}
