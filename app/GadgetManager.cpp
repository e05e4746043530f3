#include "app/GadgetManager.h"

#include "app/App.h"
#include "app/Gadget.h"
#include "app/Graphics.h"

Gadget* GadgetManager::previousHover = nullptr;
Gadget* GadgetManager::currentHover = nullptr;

GadgetManager::GadgetManager()
{
    live.unique = true;
}

GadgetManager::~GadgetManager()
{
    PurgeKilled();
}

template <typename Call> void GadgetManager::UpdateWith(Call call)
{
    DeleteObjectsOf(graveyard);
    for (Gadget* gadget : LIST_LOOP(Gadget, live)) {
        if (gadget->pauseCount == 0 && !gadget->killed)
            call(gadget);
        if (gadget->killed) {
            Detach(gadget);
            live.Remove(gadget);
            saved.Remove(gadget);
            graveyard.Add(gadget);
        }
    }
}

void GadgetManager::Update()
{
    UpdateWith([](Gadget* gadget) { gadget->CoreUpdate(); });
}

void GadgetManager::UpdateFractional(float fraction)
{
    UpdateWith([fraction](Gadget* gadget) { gadget->CoreUpdateFractional(fraction); });
}

void GadgetManager::Draw()
{
    for (Gadget* gadget : LIST_LOOP(Gadget, live)) {
        if (gadget->killed)
            continue;
        gadget->ApplyClip();
        theGraphics.PushTranslation();
        theGraphics.mTranslation.x += gadget->rect.x;
        theGraphics.mTranslation.y += gadget->rect.y;
        theGraphics.PushColor();
        gadget->CoreDraw();
        theGraphics.PopColor();
        theGraphics.PopTranslation();
        if (gadget->clipToOwnRect)
            theGraphics.ResetClip();
    }
}

// A killed gadget may already sit in a graveyard; adding it again would have
// it deleted while still listed, or deleted twice.
void GadgetManager::Add(Object* object)
{
    Gadget* gadget = dynamic_cast<Gadget*>(object);
    if (gadget == nullptr || gadget->killed)
        return;
    live.Add(gadget);
    CheckMouseAfterAdd(gadget);
    if (theApp != nullptr)
        theApp->pointerTargetsStale = true;
}

// A new gadget under a held press takes the pointer away from the pressed
// one, so the press is cancelled.
void GadgetManager::CheckMouseAfterAdd(Gadget*)
{
    if (theApp == nullptr || !theApp->IsMouseDown())
        return;
    Gadget* hit =
        HitTest(static_cast<int>(theApp->mousePosition.x), static_cast<int>(theApp->mousePosition.y));
    if (hit != underPointer)
        theApp->CancelMouse();
}

void GadgetManager::Remove(Object* object)
{
    Gadget* gadget = dynamic_cast<Gadget*>(object);
    if (gadget == nullptr)
        return;
    live.Remove(gadget);
    if (theApp != nullptr && theApp->IsMouseDown() && gadget == underPointer)
        theApp->CancelMouse();
    Forget(gadget);
}

void GadgetManager::PurgeKilled()
{
    SetExclusive(nullptr);
    for (Gadget* gadget : LIST_LOOP(Gadget, live)) {
        if (gadget->killed) {
            live.Remove(gadget);
            delete gadget;
        }
    }
    DeleteObjectsOf(graveyard);
}

void GadgetManager::Detach(Gadget* gadget)
{
    Forget(gadget);
    DisableBranch(gadget);
}

void GadgetManager::DisableBranch(Gadget* gadget)
{
    gadget->disabled = true;
    if (gadget->children != nullptr)
        for (Gadget* child : LIST_LOOP(Gadget, gadget->children->live))
            DisableBranch(child);
}

// A box closed under a still pointer must not leave its button remembered
// as hovered or under the pointer: the next box's button, maybe at the same
// address, would then never be entered and refuse its click. What lies
// under the pointer now is found before the next input is replayed.
void GadgetManager::Forget(Gadget* gadget)
{
    // The press it holds ends here, as a release far off, wherever the
    // pointer went: kept, its drag would refuse every press once it is back,
    // and the release would go to a gadget never pressed.
    if (theApp != nullptr && theApp->captureGadget == gadget)
        theApp->CancelMouse();
    gadget->CoreMouseExit();
    if (gadget == underPointer)
        underPointer = nullptr;
    ForgetGadget(gadget);
    if (theApp != nullptr) {
        theApp->ForgetGadget(gadget);
        theApp->pointerTargetsStale = true;
    }
    if (gadget->children != nullptr)
        for (Gadget* child : LIST_LOOP(Gadget, gadget->children->live))
            gadget->children->Forget(child);
}

// A child takes clicks over the whole of its art, also where that runs past
// its parent's rectangle (a duel's Menu button straddles both boards), there
// only where no later sibling of its parent lies: later gadgets lie on top
// and are asked first.
Gadget* GadgetManager::HitTest(int x, int y)
{
    for (int i = live.Count() - 1; i >= 0; --i) {
        Gadget* gadget = static_cast<Gadget*>(live.Get(i));
        if (gadget->killed || gadget->inputTransparent)
            continue;
        if (gadget->HitTest(x, y) || gadget->ChildAt(x, y) != nullptr)
            return gadget;
    }
    return nullptr;
}

Gadget* GadgetManager::HitTestAndRemember(float x, float y)
{
    Gadget* hit = HitTest(static_cast<int>(x), static_cast<int>(y));
    underPointer = hit;
    if (hit != nullptr)
        currentHover = hit;
    return hit;
}

// Gadgets added while exclusive are not in the saved list and drop out when
// exclusivity ends.
void GadgetManager::SetExclusive(Gadget* gadget)
{
    if (exclusive) {
        live.Clear();
        live.AddAll(saved);
        saved.Clear();
    }
    exclusive = gadget != nullptr && live.IndexOf(gadget) >= 0;
    if (exclusive) {
        saved.AddAll(live);
        live.Clear();
        live.Add(gadget);
    }
}

void GadgetManager::UpdateHover()
{
    if (previousHover == currentHover)
        return;
    if (previousHover != nullptr)
        previousHover->CoreMouseExit();
    if (currentHover != nullptr)
        currentHover->CoreMouseEnter();
    previousHover = currentHover;
}

void GadgetManager::ForgetGadget(Gadget* gadget)
{
    if (previousHover == gadget)
        previousHover = nullptr;
    if (currentHover == gadget)
        currentHover = nullptr;
}

void GadgetManager::ClearHover()
{
    currentHover = nullptr;
}
