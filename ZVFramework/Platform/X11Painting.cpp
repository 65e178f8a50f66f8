#include "Platform/X11Painting.h"

#include <X11/Xatom.h>
#include <cairo-xlib.h>

namespace ZV::Platform {

WindowRect ReadDesktopWorkArea(Display* display)
{
    const int screen = DefaultScreen(display);
    WindowRect area{0, 0, DisplayWidth(display, screen), DisplayHeight(display, screen)};
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, RootWindow(display, screen), XInternAtom(display, "_NET_WORKAREA", False), 0, 4,
                           False, XA_CARDINAL, &type, &format, &count, &after, &data) == Success &&
        type == XA_CARDINAL && format == 32 && count >= 4) {
        // Xlib hands format 32 items over as longs.
        const auto* values = reinterpret_cast<const long*>(data);
        area = {static_cast<int>(values[0]), static_cast<int>(values[1]), static_cast<int>(values[2]),
                static_cast<int>(values[3])};
    }
    if (data != nullptr) {
        XFree(data);
    }
    return area;
}

void SetCairoColor(cairo_t* graphics, std::uint32_t rgb)
{
    cairo_set_source_rgb(graphics, (rgb >> 16 & 0xFF) / 255.0, (rgb >> 8 & 0xFF) / 255.0, (rgb & 0xFF) / 255.0);
}

void CopyImageToWindow(Display* display, Window window, cairo_surface_t* image, int width, int height)
{
    const int screen = DefaultScreen(display);
    cairo_surface_t* target = cairo_xlib_surface_create(display, window, DefaultVisual(display, screen), width, height);
    cairo_t* copy = cairo_create(target);
    cairo_set_source_surface(copy, image, 0, 0);
    cairo_paint(copy);
    cairo_destroy(copy);
    cairo_surface_flush(target);
    cairo_surface_destroy(target);
    XFlush(display);
}

}  // namespace ZV::Platform
