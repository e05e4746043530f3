#pragma once

// What the X server says of its screen, for a desktop whose pixel layout
// SDL cannot name (deep colour, a palette). The server is asked once per
// display: later calls give the answer kept.
namespace Platform {

struct XScreenFormat
{
    int depth = 0; // of the screen's own format; 0 with no X server to ask
    // A TrueColor visual of 8-bit channels the screen also offers, which a
    // window can take in place of the screen's own; 0 when there is none.
    unsigned long namedVisual = 0;
};

XScreenFormat GetXScreenFormat();

} // namespace Platform
