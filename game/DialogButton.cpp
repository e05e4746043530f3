// Art buttons of the game's dialogs, and running a dialog modally.
#include "game/DialogButton.h"

#include "app/Button.h"
#include "app/GadgetManager.h"
#include "app/Graphics.h"
#include "app/SpriteStrip.h"
#include "game/QuorbSwapApp.h"

namespace DialogButton {

int Width(SpriteStrip& strip)
{
    Sprite* first = strip.GetFrame(0);
    return first ? first->mWidth : 0;
}

void Setup(Button& button, Gadget* dialog, SpriteStrip& strip, int x, int y)
{
    Sprite* first = strip.GetFrame(0);
    if (first != nullptr)
        button.SetHitSprite(x, y, first);
    else
        button.SetRect(float(x), float(y), 1.0f, 1.0f);
    button.SetListener(dialog, true);
    if (theQuorbSwapApp != nullptr) {
        button.SetHoverSound(&theQuorbSwapApp->sndHilite);
        button.SetClickSound(&theQuorbSwapApp->sndClick);
    }
}

void Draw(const Button& button, SpriteStrip& strip, Color color)
{
    Sprite* frame = strip.GetFrame(button.GetFrame(false));
    if (frame == nullptr)
        return;
    theGraphics.SetColor(color);
    frame->Draw(button.rect.x, button.rect.y);
    theGraphics.SetColorWhite();
}

void SetEnabled(Button& button, bool enabled)
{
    if (button.disabled == !enabled)
        return;
    button.CoreMouseExit();
    button.disabled = !enabled;
    // A button enabled under a pointer that has not moved since would
    // otherwise stay without hover, and so refuse its click.
    if (enabled && GadgetManager::currentHover == &button)
        button.CoreMouseEnter();
}

int RunModal(Gadget* dialog)
{
    if (theApp == nullptr)
        return 0;
    theApp->rootGadgets.Add(dialog);
    int result = dialog->RunModal();
    // The caller owns the dialog: a kill while it ran must not make the
    // manager delete it later.
    theApp->rootGadgets.Remove(dialog);
    theApp->rootGadgets.graveyard.Remove(dialog);
    return result;
}

} // namespace DialogButton
