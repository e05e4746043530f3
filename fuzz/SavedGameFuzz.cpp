#include "FuzzFile.h"

#include "app/IOBuffer.h"
#include "game/Board.h"
#include "game/Game.h"
#include "game/Map.h"
#include "game/QuorbSwapApp.h"
#include "game/SaveValidator.h"

#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <memory>

// A saved game is checked whole before anything is built from it: the
// check must take any bytes at all, for every mode, and a file it passes is
// then read on trust, so it must load, run a few ticks and save again. The
// map takes its art from the generated data (QS_PROGRAM_DIR).
namespace {
QuorbSwapApp* app = nullptr;
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    namespace fs = std::filesystem;
    const fs::path folder = ScratchPath("save");
    fs::create_directories(folder);
    fs::current_path(folder);
    const char* program = std::getenv("QS_PROGRAM_DIR");
    std::error_code ignored;
    for (const char* art : {"graphics", "Fonts"})
        fs::create_directory_symlink(fs::path(program ? program : ".") / art, art, ignored);
    app = new QuorbSwapApp;
    app->dataFolder = folder.c_str();
    app->profiles.current = "Fuzz";
    app->bundleMap.Load("graphics\\map");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > (1 << 20))
        return 0;
    const String path = WriteFuzzFile(data, size, ".sav").c_str();
    for (GameMode mode : {GameMode::Journey, GameMode::Casual, GameMode::Speed}) {
        IOBuffer buffer;
        buffer.Load(path);
        if (!SaveValidator(buffer).IsValidGame(mode))
            continue;
        app->gameMode = mode;
        auto game = std::make_unique<Game>(app);
        app->game = game.get();
        WriteWholeFile(game->GetSavePath().CStr(), data, size);
        if (!game->Load())
            std::abort(); // the check passed what the reader refuses
        for (int tick = 0; tick < 3; ++tick) {
            for (Board* board : {game->board, game->opponentBoard})
                if (board != nullptr)
                    board->Update();
            if (game->map != nullptr)
                game->map->Update();
        }
        game->Save();
        app->game = nullptr;
    }
    return 0;
}
