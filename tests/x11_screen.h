// The X server seen from outside a program: grabs of the screen, a window's place, and the close
// request a window manager sends. libX11 is opened at run time, so the test binary needs no link
// to it; every call answers false when it is missing. Include last: Xlib defines macros with
// common names (None, True, Status, ...).
#pragma once

#include <dlfcn.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <type_traits>

#include "platform/platform.h"

#if __has_include(<X11/Xlib.h>)
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#define CD_HAVE_XLIB 1
#endif

namespace x11screen {

struct WindowRect {
    int x = 0, y = 0, width = 0, height = 0;
};

#ifdef CD_HAVE_XLIB
struct XLibrary {
    void* handle = nullptr;
    decltype(&XOpenDisplay) openDisplay = nullptr;
    decltype(&XCloseDisplay) closeDisplay = nullptr;
    decltype(&XGetImage) getImage = nullptr;
    decltype(&XGetWindowAttributes) getWindowAttributes = nullptr;
    decltype(&XTranslateCoordinates) translateCoordinates = nullptr;
    decltype(&XInternAtom) internAtom = nullptr;
    decltype(&XSendEvent) sendEvent = nullptr;
    decltype(&XFlush) flush = nullptr;
};

inline const XLibrary& Xlib() {
    static const XLibrary lib = [] {
        XLibrary l;
        l.handle = dlopen("libX11.so.6", RTLD_NOW | RTLD_LOCAL);
        if (!l.handle) return l;
        auto load = [&](auto& fn, const char* name) {
            fn = reinterpret_cast<std::remove_reference_t<decltype(fn)>>(dlsym(l.handle, name));
            return fn != nullptr;
        };
        const bool all = load(l.openDisplay, "XOpenDisplay") && load(l.closeDisplay, "XCloseDisplay") &&
                         load(l.getImage, "XGetImage") &&
                         load(l.getWindowAttributes, "XGetWindowAttributes") &&
                         load(l.translateCoordinates, "XTranslateCoordinates") &&
                         load(l.internAtom, "XInternAtom") && load(l.sendEvent, "XSendEvent") &&
                         load(l.flush, "XFlush");
        if (!all) l.handle = nullptr;
        return l;
    }();
    return lib;
}

// One connection for the length of a call.
class XConnection {
public:
    explicit XConnection(const std::string& display)
        : d_(Xlib().handle ? Xlib().openDisplay(display.c_str()) : nullptr) {}
    ~XConnection() {
        if (d_) Xlib().closeDisplay(d_);
    }
    XConnection(const XConnection&) = delete;
    XConnection& operator=(const XConnection&) = delete;
    Display* get() const { return d_; }

private:
    Display* d_;
};

// An 8-bit channel from a pixel under a visual's channel mask.
inline uint32_t Channel(unsigned long pixel, unsigned long mask) {
    if (mask == 0) return 0;
    int shift = 0;
    while (((mask >> shift) & 1) == 0) ++shift;
    const unsigned long top = mask >> shift;
    return uint32_t(((pixel & mask) >> shift) * 255 / top);
}

// The whole screen of `display`, as opaque pixels.
inline bool GrabRoot(const std::string& display, Pixels& out) {
    XConnection x(display);
    if (!x.get()) return false;
    const Window root = DefaultRootWindow(x.get());
    XWindowAttributes at{};
    if (!Xlib().getWindowAttributes(x.get(), root, &at)) return false;
    XImage* image = Xlib().getImage(x.get(), root, 0, 0, unsigned(at.width), unsigned(at.height),
                                    AllPlanes, ZPixmap);
    if (!image) return false;
    out.width = at.width;
    out.height = at.height;
    out.argb.assign(size_t(at.width) * size_t(at.height), 0);
    for (int y = 0; y < at.height; ++y)
        for (int px = 0; px < at.width; ++px) {
            const unsigned long p = XGetPixel(image, px, y);
            out.argb[size_t(y) * size_t(at.width) + size_t(px)] =
                0xFF000000u | Channel(p, image->red_mask) << 16 | Channel(p, image->green_mask) << 8 |
                Channel(p, image->blue_mask);
        }
    XDestroyImage(image);
    return true;
}

// Where a window lies on the screen and its size; `id` as xdotool prints it.
inline bool FindWindowRect(const std::string& display, const std::string& id, WindowRect& out) {
    XConnection x(display);
    if (!x.get() || id.empty()) return false;
    const Window window = std::strtoul(id.c_str(), nullptr, 10);
    XWindowAttributes at{};
    if (!Xlib().getWindowAttributes(x.get(), window, &at)) return false;
    Window child = 0;
    int rootX = 0, rootY = 0;
    if (!Xlib().translateCoordinates(x.get(), window, DefaultRootWindow(x.get()), 0, 0, &rootX,
                                     &rootY, &child))
        return false;
    out = {rootX, rootY, at.width, at.height};
    return true;
}

// What a window manager sends when the player clicks the window's close button.
inline bool SendCloseRequest(const std::string& display, const std::string& id) {
    XConnection x(display);
    if (!x.get() || id.empty()) return false;
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = std::strtoul(id.c_str(), nullptr, 10);
    event.xclient.message_type = Xlib().internAtom(x.get(), "WM_PROTOCOLS", 0);
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(Xlib().internAtom(x.get(), "WM_DELETE_WINDOW", 0));
    event.xclient.data.l[1] = CurrentTime;
    const bool sent = Xlib().sendEvent(x.get(), event.xclient.window, 0, NoEventMask, &event) != 0;
    Xlib().flush(x.get());
    return sent;
}
#else
inline bool GrabRoot(const std::string&, Pixels&) { return false; }
inline bool FindWindowRect(const std::string&, const std::string&, WindowRect&) { return false; }
inline bool SendCloseRequest(const std::string&, const std::string&) { return false; }
#endif

}  // namespace x11screen
