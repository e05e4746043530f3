#pragma once

#include "app/Gadget.h"
#include "app/Image.h"

class Sound;
class SpriteStrip;

// The clickable control: drawn from a strip of frames chosen by its state
// (normal, hover, pressed, disabled; or up, down for two frames), hit where
// its first frame is opaque, and reporting a click to its listener through
// OnGadgetEvent. A plain button reports a release over it after a press on
// it; releasing elsewhere cancels the click.
class Button : public Gadget
{
  public:
    Button();
    ~Button() override;

    void Draw() override;
    void MouseDown(int x, int y, int button) override;
    void DoubleClick(int x, int y, int button) override;
    void MouseUp(int x, int y, int button) override;
    void MouseEnter() override;

    void SetPosition(float x, float y);
    // The strip stays its caller's; its first frame gives size and hit shape.
    void SetStrip(SpriteStrip* newStrip);
    void SetClickSound(Sound* sound) { clickSound = sound; }
    void SetHoverSound(Sound* sound) { hoverSound = sound; }
    void SetListener(Gadget* newListener, bool addAsChild);
    void Setup(Gadget* newListener, SpriteStrip* newStrip, float x, float y, Sound* click, Sound* hover);
    int GetFrame(bool hasDisabledFrame) const;

    SpriteStrip* strip = nullptr;
    // False while the button owns the strip and deletes it.
    bool stripShared = false;
    Image hitMask;
    Sound* clickSound = nullptr;
    Sound* hoverSound = nullptr;
    // The last left press on this button started a click.
    bool armed = false;
    // The left button is held on this button.
    bool down = false;
    // Report the press itself; releases are then ignored.
    bool notifyOnPress = false;
    // Report every press, a double click included, instead of the release.
    bool notifyOnPressAndDoubleClick = false;
    Gadget* listener = nullptr;

  private:
    void Press();
    void Tell();
    void ReleaseOwnedStrip();
};
