#pragma once

#include "Utilities/Storage/RectT.h"

#include <cairo.h>

namespace ZV {

class LBitmap;

// Premultiplied Cairo surfaces made from bitmaps, whose master pixels stay straight.
namespace BitmapSurface {

// Resize types: how a bitmap is fitted to the rectangle it is drawn into.
inline constexpr int kStretch = 0;
inline constexpr int kTile = 1;
inline constexpr int kCenter = 2;

// A premultiplied copy of the bitmap's part rectangle; what lies outside its image stays transparent. Null when
// the part is empty or larger than any image.
cairo_surface_t* CreatePremultiplied(const LBitmap& bitmap);

// Draws the source into the destination rectangle (x, y, width, height) of the target with nearest-neighbour
// sampling: stretched over it, tiled from its corner, or centred in it (at half the difference of the sizes, in
// whole pixels), with the alpha.
void DrawFitted(cairo_t* target, cairo_surface_t* source, const RectT<double>& destination, int resizeType,
                double alpha);

// The bitmap fitted as DrawFitted fits it to a destination of any size and place (device coordinates), made only
// for the pixels of the visible rectangle (whole pixels on the surface, inside the destination): a premultiplied
// surface of the visible rectangle's size. Pixels are sampled at their centres with double arithmetic, so that no
// scale or offset has to fit Cairo's fixed point. Null when the visible rectangle is empty or too large for an
// image.
cairo_surface_t* CreateFittedPart(const LBitmap& bitmap, const RectT<double>& destination,
                                  const RectT<zlong>& visible, int resizeType);

}  // namespace BitmapSurface

}  // namespace ZV
