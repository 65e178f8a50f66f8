#pragma once

#include "Utilities/Storage/Color.h"
#include "Utilities/Storage/RectT.h"

#include <cairo.h>

#include <algorithm>

namespace ZV::CairoDrawing {

// Cairo keeps coordinates in 24.8 fixed point and garbles those beyond +-2^23. Device coordinates are kept within
// +-2^22, far outside any surface, so that cutting them there changes no pixel drawn.
inline constexpr double kCoordinateLimit = 4194304.0;

// Not a number becomes 0.
inline double Limit(double value)
{
    return value >= -kCoordinateLimit ? (value <= kCoordinateLimit ? value : kCoordinateLimit)
                                      : (value < 0 ? -kCoordinateLimit : 0.0);
}

// The colour with its alpha times the state's factor.
inline void SetSourceColor(cairo_t* graphics, const LColor& color, float factor)
{
    cairo_set_source_rgba(graphics, color.r, color.g, color.b, static_cast<double>(color.a) * factor);
}

// An integer rectangle (x, y, width, height) moved by the origin, as a Cairo path; false when it has no area.
inline bool AddRectangle(cairo_t* graphics, const RectT<zlong>& rect, double originX, double originY)
{
    const double left = Limit(originX + rect.x);
    const double top = Limit(originY + rect.y);
    const double right = Limit(originX + rect.x + static_cast<double>(rect.width));
    const double bottom = Limit(originY + rect.y + static_cast<double>(rect.height));
    if (!(right > left && bottom > top)) {
        return false;
    }
    cairo_rectangle(graphics, left, top, right - left, bottom - top);
    return true;
}

}  // namespace ZV::CairoDrawing
