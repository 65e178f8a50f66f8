#include "Platform/WindowSurface.h"

#include "Platform/NativeWindow.h"

#include <cairo-xlib.h>

namespace ZV::Platform {

WindowSurface::WindowSurface(const NativeWindow& window, int width, int height)
    : mWindow(window),
      mSurface(cairo_xlib_surface_create(window.display, window.window, window.visual, width, height)),
      mContext(cairo_create(mSurface))
{
}

WindowSurface::~WindowSurface()
{
    cairo_destroy(mContext);
    cairo_surface_destroy(mSurface);
}

void WindowSurface::SetSize(int width, int height)
{
    cairo_xlib_surface_set_size(mSurface, width, height);
}

void WindowSurface::Flush()
{
    cairo_surface_flush(mSurface);
    XFlush(mWindow.display);
}

}  // namespace ZV::Platform
