#pragma once

#include "app/ObjectManager.h"

class Gadget;

// The ordered set of sibling gadgets: the application's root set and the
// children of every gadget. Updated and drawn in insertion order, hit-tested
// in reverse (the last added lies on top). Killed gadgets are detached at
// once and deleted one pass later.
class GadgetManager : public ObjectManager
{
  public:
    GadgetManager();
    ~GadgetManager() override;

    void Update() override;
    void UpdateFractional(float fraction) override;
    void Draw() override;
    // Only gadgets are taken; anything else is ignored.
    void Add(Object* object) override;
    void Remove(Object* object) override;
    virtual void PurgeKilled();
    virtual void Detach(Gadget* gadget);
    // The gadget and its branch have left this manager: none of them stays
    // hovered, under the pointer, captured or focused, so no later input
    // can reach them through a remembered pointer; a press one of them holds
    // is ended first, its drag with it.
    void Forget(Gadget* gadget);

    Gadget* HitTest(int x, int y);
    Gadget* HitTestAndRemember(float x, float y);
    void SetExclusive(Gadget* gadget);

    // One pair of hover gadgets for the whole program, so that enter and
    // exit calls pair up across the tree.
    static void UpdateHover();
    static void ForgetGadget(Gadget* gadget);
    static void ClearHover();
    static Gadget* previousHover;
    static Gadget* currentHover;

    bool exclusive = false;
    List saved;
    List graveyard;
    Gadget* underPointer = nullptr;

  private:
    template <typename Call> void UpdateWith(Call call);
    static void DisableBranch(Gadget* gadget);
    void CheckMouseAfterAdd(Gadget* gadget);
};
