#include "tools/assetgen/AssetWriter.h"
#include "tools/assetgen/ContactSheet.h"
#include "tools/assetgen/Pieces.h"

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

} // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fprintf(stderr, "usage: assetgen --out PROGRAM_FOLDER [--stamp FILE] [--contact-sheet FILE.png]\n");
        return 2;
    }
    try {
        ClearOldAssets(options.out);
        AssetGen::AssetWriter out(options.out);
        AssetGen::Pieces::Write(out);
        if (!options.sheet.empty())
            AssetGen::ContactSheet::Write(options.sheet, out.Thumbnails());
        if (!options.stamp.empty())
            out.SaveText(std::filesystem::relative(options.stamp, options.out).string(),
                         std::to_string(out.FileCount()) + " files\n");
    } catch (const std::exception& e) {
        std::fprintf(stderr, "assetgen: %s\n", e.what());
        return 1;
    }
    return 0;
}
