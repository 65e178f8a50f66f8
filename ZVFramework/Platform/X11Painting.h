#pragma once

#include "Platform/WindowBackEnd.h"

#include <X11/Xlib.h>
#include <cairo.h>

#include <cstdint>

// What the platform's X windows share: the desktop's work area (the top-level window, the message box, the splash),
// and drawing with Cairo off-screen (the message box, the splash).
namespace ZV::Platform {

// The desktop's work area on the display's default screen; the whole screen when the desktop does not say.
WindowRect ReadDesktopWorkArea(Display* display);

// Sets the source colour from 0xRRGGBB.
void SetCairoColor(cairo_t* graphics, std::uint32_t rgb);

// Puts a picture drawn off-screen onto the window in one step, so that the window never shows it half drawn.
void CopyImageToWindow(Display* display, Window window, cairo_surface_t* image, int width, int height);

}  // namespace ZV::Platform
