#include "platform/XScreen.h"

#include <SDL.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstring>
#include <initializer_list>

namespace Platform {

namespace {
// The X library's calls, from the copy SDL itself loaded.
struct XLibrary
{
    void* handle = SDL_LoadObject("libX11.so.6");
    decltype(&XOpenDisplay) open = Find<decltype(&XOpenDisplay)>("XOpenDisplay");
    decltype(&XCloseDisplay) close = Find<decltype(&XCloseDisplay)>("XCloseDisplay");
    decltype(&XDefaultScreen) screen = Find<decltype(&XDefaultScreen)>("XDefaultScreen");
    decltype(&XDefaultDepth) depth = Find<decltype(&XDefaultDepth)>("XDefaultDepth");
    decltype(&XGetVisualInfo) visuals = Find<decltype(&XGetVisualInfo)>("XGetVisualInfo");
    decltype(&XFree) free = Find<decltype(&XFree)>("XFree");

    ~XLibrary()
    {
        if (handle) {
            SDL_UnloadObject(handle);
        }
    }
    XLibrary() = default;
    XLibrary(const XLibrary&) = delete;
    XLibrary& operator=(const XLibrary&) = delete;

    template <typename Call> Call Find(const char* name) const
    {
        return handle ? reinterpret_cast<Call>(SDL_LoadFunction(handle, name)) : nullptr;
    }
    bool Complete() const { return open && close && screen && depth && visuals && free; }
};

// A TrueColor visual of 24 or 32 bits, which SDL names; a 24-bit one first,
// since a 32-bit visual's fourth byte is alpha to a compositing window
// manager.
unsigned long NamedVisual(const XLibrary& x, Display* display, int screen)
{
    XVisualInfo wanted{};
    wanted.screen = screen;
    wanted.c_class = TrueColor;
    int count = 0;
    XVisualInfo* found = x.visuals(display, VisualScreenMask | VisualClassMask, &wanted, &count);
    unsigned long chosen = 0;
    for (const int depth : {24, 32}) {
        for (int i = 0; i < count && chosen == 0; ++i) {
            if (found[i].depth == depth) {
                chosen = found[i].visualid;
            }
        }
    }
    if (found) {
        x.free(found);
    }
    return chosen;
}

XScreenFormat AskServer()
{
    const XLibrary x;
    XScreenFormat format;
    if (!x.Complete()) {
        return format;
    }
    if (Display* display = x.open(nullptr)) {
        const int screen = x.screen(display);
        format.depth = x.depth(display, screen);
        format.namedVisual = NamedVisual(x, display, screen);
        x.close(display);
    }
    return format;
}
} // namespace

XScreenFormat GetXScreenFormat()
{
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!driver || std::strcmp(driver, "x11") != 0) {
        return {};
    }
    static const XScreenFormat asked = AskServer();
    return asked;
}

} // namespace Platform
