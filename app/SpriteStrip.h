#pragma once

#include "app/Sprite.h"
#include "app/String.h"

#include <memory>

class Image;
class SpriteBundle;

// Equal frames side by side in one image (button states, cursor frames,
// animations), held as an array of sprites.
class SpriteStrip
{
  public:
    SpriteStrip() = default;
    virtual ~SpriteStrip();
    SpriteStrip(const SpriteStrip&) = delete;
    SpriteStrip& operator=(const SpriteStrip&) = delete;

    // Called by GetFrame before it returns a frame.
    virtual void PrepareFrame() {}

    void Free();
    // Null for an index outside the strip.
    Sprite* GetFrame(int i);
    Sprite* GetSprite(int i) { return GetFrame(i); }
    void Load(const String& name, int count);
    void Load(const String& name, const String& alphaName, int count);
    void CreateFromImage(Image* image, int count);
    void LoadFromBundle(SpriteBundle* bundle, const String& name, int count);

    std::unique_ptr<Sprite[]> mFrames;
    int mFrameCount = 0;
    bool mInset = false;
};
