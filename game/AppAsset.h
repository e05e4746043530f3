#pragma once
// The application's asset table: what Load reads, in load order, and which
// member each asset fills. Tests walk the same table against the generated
// data.

#include <string>
#include <vector>

class QuorbSwapApp;

struct AppAsset
{
    enum class Kind {
        Font,         // Font::Load
        Bundle,       // SpriteBundle::Load; counts its own steps
        Strip,        // frames cut from a bundle
        Sprite,       // a sprite cut from a bundle
        FastSprite,   // the same, marked for the direct blit first
        SpriteFile,   // Sprite::Load of its own file
        PieceImage,   // one piece picture; an empty name only counts the step
        PieceSprites, // both sprite sets of one kind, built from its pictures
        ImageSprite,  // an Image, then a sprite built from it
        Sound,        // Sound::Load with extra voices
        ChatterLoop,  // the chatter loop takes a voice of "sounds\chatter"
        JigsawPiece,  // a jigsaw piece cut from its picture's bundle; count = index
    };

    Kind kind;
    std::string name;
    int count = 0;   // frames of a strip, extra voices of a sound, kind of PieceSprites
    int bundle = -1; // bundle index of a Strip or Sprite (see BundleAt)
    // The member the asset fills.
    void* (*target)(QuorbSwapApp&) = nullptr;
    // ImageSprite: the sprite built from the image.
    void* (*sprite)(QuorbSwapApp&) = nullptr;

    // The step counts towards the loading bar and may end loading on quit.
    bool IsCountedStep() const;
};

// Every asset of the application, in load order.
const std::vector<AppAsset>& AppAssetTable();

// Folder of bundle i, in the order of the application's bundles.
const char* BundleFolder(int i);
constexpr int kAppBundleCount = 10;

// Counted steps of the table, and the loading total the bar is measured by.
int CountedAssetSteps();
constexpr int kAppLoadTotal = 306;
