#pragma once

#include <X11/Xlib.h>

namespace ZV::Platform {

// A window as renderers draw into it: the connection it belongs to, the window, its visual and depth. Every render
// context made for a window holds a pointer to its record, so the record outlives them.
struct NativeWindow {
    Display* display = nullptr;
    Window window = 0;
    Visual* visual = nullptr;
    int depth = 0;
};

}  // namespace ZV::Platform
