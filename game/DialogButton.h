#pragma once
// The look and feel the game's dialogs share for their art buttons: hit by
// the shape of the strip's first frame, drawn by the dialog itself.

#include "app/Color.h"

class Button;
class Gadget;
class SpriteStrip;

namespace DialogButton {

// The width of the strip's first frame, which lays the buttons out; 0
// without art.
int Width(SpriteStrip& strip);

// Places the button at (x, y) with the shape of the strip's first frame,
// the dialog as listener and parent, and the menu sounds.
void Setup(Button& button, Gadget* dialog, SpriteStrip& strip, int x, int y);
// The strip frame for the button's state, top-left at the button.
void Draw(const Button& button, SpriteStrip& strip, Color color);
// Leaves the hover look first; does nothing when already so.
void SetEnabled(Button& button, bool enabled);
// Adds the dialog to the root gadgets, runs it modally and takes it out
// again; the modal result.
int RunModal(Gadget* dialog);

} // namespace DialogButton
