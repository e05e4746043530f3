#pragma once

// What the X server says of its screen, for a desktop whose pixel layout
// SDL cannot name (deep colour, a palette). The server is asked once: a
// program shows itself on one display, and later calls give the answer
// kept.
namespace Platform {

struct XScreenFormat
{
    int depth = 0; // of the screen's own format; 0 with no X server to ask
    // A TrueColor visual the screen also offers whose layout SDL names,
    // which a window can take in place of the screen's own; 0 when there is
    // none.
    unsigned long namedVisual = 0;
};

XScreenFormat GetXScreenFormat();

} // namespace Platform
