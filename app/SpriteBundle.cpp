#include "app/SpriteBundle.h"

#include "app/App.h"
#include "app/ClumpFile.h"
#include "app/FXImage.h"
#include "app/FileHelpers.h"
#include "app/Graphics.h"
#include "app/Image.h"
#include "app/ParseXML.h"
#include "app/Texture.h"
#include "platform/Files.h"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr int kDefaultPageSize = 2048;
const char* const kImageKinds[] = {".png", ".jpg", ".gif", ".shortcut"};

bool IsImageFile(const String& name)
{
    return std::any_of(std::begin(kImageKinds), std::end(kImageKinds),
                       [&name](const char* kind) { return name.Find(kind) >= 0; });
}

int ToInt(float v)
{
    return v > -1.0e9f && v < 1.0e9f ? int(v) : 0;
}

} // namespace

SpriteBundle::SpriteBundle() = default;

SpriteBundle::~SpriteBundle() = default;

String SpriteBundle::PathOf(const String& name) const
{
    return String::StringFormat("%s\\%s", mFolder, name);
}

void SpriteBundle::Load(const String& folder)
{
    mFolder = folder;
    if (!theGraphics.mUseAtlas) {
        return;
    }
    mLoadPending = false;
    if (mProgress == nullptr && theApp != nullptr) {
        mProgress = &theApp->loadDone;
    }
    if (theGraphics.mSoftware) {
        return;
    }
    if (FileExists(PathOf("splat.dat"))) {
        LoadDescribed();
    } else {
        LoadFolderScan();
    }
    theGraphics.mActiveAtlas = nullptr;
    ClearStrips();
}

void SpriteBundle::AdvanceProgress()
{
    if (mProgress != nullptr && !mNoProgress) {
        ++*mProgress;
    }
}

void SpriteBundle::AddEntry(const String& name, Image& image)
{
    auto entry = std::make_unique<SpriteBundleEntry>();
    entry->name = name;
    entry->texture = std::make_unique<Texture>(image);
    entry->width = image.mWidth;
    entry->height = image.mHeight;
    mEntries.push_back(std::move(entry));
}

void SpriteBundle::LoadFolderScan()
{
    mAtlas.Create(kDefaultPageSize, kDefaultPageSize);
    theGraphics.mActiveAtlas = &mAtlas;
    for (const Platform::Files::FolderEntry& file : Platform::Files::ListFolder(mFolder.CStr())) {
        String name(file.name.c_str());
        if (file.isFolder || !IsImageFile(name)) {
            continue;
        }
        for (const char* kind : kImageKinds) {
            name.RemoveAll(kind);
        }
        Image image(PathOf(name).CStr());
        AddEntry(name, image);
        AdvanceProgress();
    }
}

void SpriteBundle::LoadDescribed()
{
    mAtlasWidth = 0;
    mAtlasHeight = 0;
    ParseXML file;
    file.OpenFile(PathOf("splat.dat"));
    for (ParseXMLTag tag = file.NextTag(); !tag.empty; tag = file.NextTag()) {
        if (tag.name.CompareNoCase("EXTENDEDINFO") == 0) {
            ParseExtendedInfo(tag.content);
        } else if (tag.name.CompareNoCase("TSIZE") == 0 && mPageSizes.empty()) {
            float w = 0.0f;
            float h = 0.0f;
            tag.content.GetTwoNumbers(w, h);
            mAtlasWidth = ToInt(w);
            mAtlasHeight = ToInt(h);
        } else if (tag.name.CompareNoCase("IMAGE") == 0) {
            String name = tag.content;
            name.TrimLeft();
            name.TrimRight();
            LoadDescribedImage(name);
        }
    }
}

void SpriteBundle::ParseExtendedInfo(const String& content)
{
    ParseXML info;
    info.SetText(content.CStr());
    for (ParseXMLTag tag = info.NextTag(); !tag.empty; tag = info.NextTag()) {
        if (tag.name.CompareNoCase("STRIP") == 0) {
            String text = tag.content;
            Strip strip;
            strip.name = text.FirstToken(':');
            strip.count = std::atoi(text.NextToken(':').CStr());
            strip.horizontal = text.NextToken(':').IsEmpty();
            mStrips.push_back(strip);
            mExtendedInfoSeen = true;
        } else if (tag.name.CompareNoCase("TEX") == 0) {
            float w = 0.0f;
            float h = 0.0f;
            tag.content.GetTwoNumbers(w, h);
            mPageSizes.emplace_back(ToInt(w), ToInt(h));
            mAtlasWidth = std::max(mAtlasWidth, ToInt(w));
            mAtlasHeight = std::max(mAtlasHeight, ToInt(h));
        }
    }
}

const SpriteBundle::Strip* SpriteBundle::FindStrip(const String& name) const
{
    for (const Strip& strip : mStrips) {
        if (strip.name == name) {
            return &strip;
        }
    }
    return nullptr;
}

void SpriteBundle::LoadDescribedImage(const String& name)
{
    if (!mAtlas.IsValid()) {
        if (mAtlasWidth == 0 || mAtlasHeight == 0) {
            mAtlasWidth = kDefaultPageSize;
            mAtlasHeight = kDefaultPageSize;
        }
        mAtlas.Create(mAtlasWidth, mAtlasHeight);
        for (size_t i = 0; i < mPageSizes.size(); ++i) {
            mAtlas.AddPageSize(int(i), mPageSizes[i].first, mPageSizes[i].second);
        }
        theGraphics.mActiveAtlas = &mAtlas;
    }
    Image image(PathOf(name).CStr());
    if (const Strip* strip = FindStrip(name)) {
        AddStripFrames(name, *strip, image);
    } else if (FileExists(PathOf(name).Concat(".clump"))) {
        AddClumpParts(name, image);
    } else {
        AddEntry(name, image);
    }
    AdvanceProgress();
}

// A count beyond the image's pixels would give frames of no pixels at all,
// and a damaged declaration could ask for billions of them: such a strip
// gets no frames, like one whose count is below 1.
void SpriteBundle::AddStripFrames(const String& name, const Strip& strip, Image& image)
{
    const int length = strip.horizontal ? image.mWidth : image.mHeight;
    if (strip.count < 1 || strip.count > length) {
        return;
    }
    const int frameWidth = strip.horizontal ? image.mWidth / strip.count : image.mWidth;
    const int frameHeight = strip.horizontal ? image.mHeight : image.mHeight / strip.count;
    for (int k = 0; k < strip.count; ++k) {
        Image frame;
        frame.CopyRect(image, strip.horizontal ? k * frameWidth : 0, strip.horizontal ? 0 : k * frameHeight,
                       frameWidth, frameHeight);
        AddEntry(String::StringFormat("%s__%d", name, k), frame);
    }
}

void SpriteBundle::AddClumpParts(const String& name, Image& image)
{
    ClumpFile clump;
    clump.Load(PathOf(name).Concat(".clump"));
    for (ClumpFile::Part part : clump.parts) {
        FXImage piece;
        if (part.Cut(image, piece)) {
            AddEntry(String::StringFormat("%s__%d", name, part.number), piece);
        }
    }
}

Texture* SpriteBundle::Get(const String& name, int* size)
{
    if (mLoadPending) {
        Load(mFolder);
        if (theApp != nullptr) {
            theApp->ResetTiming();
        }
    }
    if (theGraphics.mSoftware) {
        AdvanceProgress();
    }
    if (!theGraphics.mUseAtlas) {
        return nullptr;
    }
    for (const auto& entry : mEntries) {
        if (entry->name.CompareNoCase(name) == 0) {
            if (size != nullptr) {
                size[0] = entry->width;
                size[1] = entry->height;
            }
            return entry->texture.get();
        }
    }
    return nullptr;
}

void SpriteBundle::ClearStrips()
{
    mStrips.clear();
}
