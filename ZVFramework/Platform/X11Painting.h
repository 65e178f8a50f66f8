#pragma once

#include "Platform/WindowBackEnd.h"

#include <X11/Xlib.h>
#include <cairo.h>

#include <cstdint>

// What the platform's own small windows (the message box, the splash) share to draw with Cairo on X.
namespace ZV::Platform {

// The desktop's work area on the display's default screen; the whole screen when the desktop does not say.
WindowRect ReadDesktopWorkArea(Display* display);

// Sets the source colour from 0xRRGGBB.
void SetCairoColor(cairo_t* graphics, std::uint32_t rgb);

// Puts a picture drawn off-screen onto the window in one step, so that the window never shows it half drawn.
void CopyImageToWindow(Display* display, Window window, cairo_surface_t* image, int width, int height);

}  // namespace ZV::Platform
