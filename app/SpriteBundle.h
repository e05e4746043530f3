#pragma once

#include "app/String.h"
#include "app/TextureSplatter.h"

#include <atomic>
#include <memory>
#include <utility>
#include <vector>

class Image;
class Texture;

struct SpriteBundleEntry
{
    String name;
    std::unique_ptr<Texture> texture;
    int width = 0; // of the image the texture was made from
    int height = 0;
};

// One asset folder loaded into an atlas of its own: every image of the
// folder (or every IMAGE of its "splat.dat"), every clump part and every
// declared strip frame becomes a named entry holding a texture on an atlas
// page.
class SpriteBundle
{
  public:
    SpriteBundle();
    virtual ~SpriteBundle();
    SpriteBundle(const SpriteBundle&) = delete;
    SpriteBundle& operator=(const SpriteBundle&) = delete;

    void Load(const String& folder);
    // The entry's texture or null; its width and height go to size[0], size[1].
    Texture* Get(const String& name, int* size = nullptr);
    void ClearStrips();
    // "%s\%s" of the folder and a name.
    String PathOf(const String& name) const;

    struct Strip
    {
        String name;
        int count = 0;
        bool horizontal = true;
    };

    bool mLoadPending = true;
    String mFolder;
    std::atomic<int>* mProgress = nullptr; // the application's count of loaded items
    bool mNoProgress = false;
    TextureSplatter mAtlas;
    std::vector<std::unique_ptr<SpriteBundleEntry>> mEntries;
    std::vector<Strip> mStrips;
    bool mExtendedInfoSeen = false;
    std::vector<std::pair<int, int>> mPageSizes;
    int mAtlasWidth = 0;
    int mAtlasHeight = 0;

  private:
    void LoadFolderScan();
    void LoadDescribed();
    void ParseExtendedInfo(const String& content);
    const Strip* FindStrip(const String& name) const;
    void LoadDescribedImage(const String& name);
    void AddStripFrames(const String& name, const Strip& strip, Image& image);
    void AddClumpParts(const String& name, Image& image);
    void AddEntry(const String& name, Image& image);
    void AdvanceProgress();
};
