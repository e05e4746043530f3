#include "tools/assetgen/AssetWriter.h"
#include "tools/assetgen/ContactSheet.h"
#include "tools/assetgen/DataFiles.h"
#include "tools/assetgen/DialogArt.h"
#include "tools/assetgen/GameplayArt.h"
#include "tools/assetgen/JigsawArt.h"
#include "tools/assetgen/MainMenuArt.h"
#include "tools/assetgen/MapArt.h"
#include "tools/assetgen/Pieces.h"
#include "tools/assetgen/Screens.h"
#include "tools/assetgen/Sounds.h"
#include "tools/assetgen/StatsArt.h"
#include "tools/assetgen/TutorialArt.h"

#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <string>

namespace {

struct Options
{
    std::string out;
    std::string stamp;
    std::string sheet;
};

bool ParseOptions(int argc, char** argv, Options& options)
{
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--out") == 0)
            options.out = argv[i + 1];
        else if (std::strcmp(argv[i], "--stamp") == 0)
            options.stamp = argv[i + 1];
        else if (std::strcmp(argv[i], "--contact-sheet") == 0)
            options.sheet = argv[i + 1];
        else
            return false;
    }
    return !options.out.empty() && argc % 2 == 1;
}

// A fresh set every time: nothing stale from an earlier generation stays.
void ClearOldAssets(const std::string& root)
{
    for (const char* folder : {"graphics", "sounds", "Fonts", "data"})
        std::filesystem::remove_all(std::filesystem::path(root) / folder);
}

// Writes everything; returns the loading steps the bundles will count.
int WriteAll(AssetGen::AssetWriter& out)
{
    using namespace AssetGen;
    DataFiles::Write(out);
    Screens::Write(out);
    Pieces::Write(out);
    Sounds::Write(out);
    // The bundles, in the order the game loads them.
    int steps = MainMenuArt::Write(out);
    steps += GameplayArt::Write(out);
    steps += MapArt::Write(out);
    steps += DialogArt::WritePopupMenu(out);
    steps += JigsawArt::Write(out);
    steps += StatsArt::Write(out);
    steps += DialogArt::WriteProfiles(out);
    steps += TutorialArt::Write(out);
    return steps;
}

} // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fprintf(stderr,
                     "usage: assetgen --out PROGRAM_FOLDER [--stamp FILE] [--contact-sheet FILE.png]\n");
        return 2;
    }
    try {
        ClearOldAssets(options.out);
        AssetGen::AssetWriter out(options.out);
        int bundleSteps = WriteAll(out);
        if (!options.sheet.empty())
            AssetGen::ContactSheet::Write(options.sheet, out.Thumbnails());
        if (!options.stamp.empty())
            out.SaveText(std::filesystem::relative(options.stamp, options.out).string(),
                         std::to_string(out.FileCount()) + " files\n" + std::to_string(bundleSteps) +
                             " bundle loading steps\n");
    } catch (const std::exception& e) {
        std::fprintf(stderr, "assetgen: %s\n", e.what());
        return 1;
    }
    return 0;
}
