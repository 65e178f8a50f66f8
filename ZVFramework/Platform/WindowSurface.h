#pragma once

#include <cairo.h>

namespace ZV::Platform {

struct NativeWindow;

// A Cairo surface that draws straight onto a window, with one Cairo context on it: the only code that knows
// Cairo's X11 back-end.
class WindowSurface {
public:
    WindowSurface(const NativeWindow& window, int width, int height);
    WindowSurface(const WindowSurface&) = delete;
    WindowSurface& operator=(const WindowSurface&) = delete;
    ~WindowSurface();

    cairo_t* GetContext() const { return mContext; }
    // The window's size changed: drawing reaches its new area.
    void SetSize(int width, int height);
    // Hands what was drawn to the server, so that the window shows it without waiting for other requests.
    void Flush();

private:
    const NativeWindow& mWindow;
    cairo_surface_t* mSurface;
    cairo_t* mContext;
};

}  // namespace ZV::Platform
