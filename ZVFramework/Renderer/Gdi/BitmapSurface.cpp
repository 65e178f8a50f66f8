#include "Renderer/Gdi/BitmapSurface.h"

#include "Utilities/Graphics/Bitmap.h"
#include "Utilities/Graphics/PixelImage.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace ZV::BitmapSurface {

namespace {

// A channel times alpha / 255, rounded as Cairo rounds.
std::uint32_t Premultiply(std::uint32_t channel, std::uint32_t alpha)
{
    const std::uint32_t product = channel * alpha + 0x80;
    return (product + (product >> 8)) >> 8;
}

}  // namespace

cairo_surface_t* CreatePremultiplied(const LBitmap& bitmap)
{
    const RectT<zlong>& part = bitmap.GetPart();
    if (!PixelImage::IsAcceptableSize(part.width, part.height)) {
        return nullptr;
    }
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, part.width, part.height);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return nullptr;
    }
    const PixelImage* image = bitmap.GetBitmapData();
    if (image == nullptr) {
        return surface;
    }
    cairo_surface_flush(surface);
    unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    const std::int64_t left = std::max<std::int64_t>(part.x, 0);
    const std::int64_t top = std::max<std::int64_t>(part.y, 0);
    const std::int64_t right = std::min<std::int64_t>(std::int64_t{part.x} + part.width, image->GetWidth());
    const std::int64_t bottom = std::min<std::int64_t>(std::int64_t{part.y} + part.height, image->GetHeight());
    for (std::int64_t y = top; y < bottom; ++y) {
        const std::uint32_t* from = image->GetRow(static_cast<zlong>(y));
        auto* to = reinterpret_cast<std::uint32_t*>(data + (y - part.y) * stride);
        for (std::int64_t x = left; x < right; ++x) {
            const std::uint32_t argb = from[x];
            const std::uint32_t alpha = argb >> 24;
            to[x - part.x] = alpha == 0xFF ? argb
                                  : alpha << 24 | Premultiply(argb >> 16 & 0xFF, alpha) << 16 |
                                        Premultiply(argb >> 8 & 0xFF, alpha) << 8 | Premultiply(argb & 0xFF, alpha);
        }
    }
    cairo_surface_mark_dirty(surface);
    return surface;
}

void DrawFitted(cairo_t* target, cairo_surface_t* source, const RectT<double>& destination, int resizeType,
                double alpha)
{
    const double sourceWidth = cairo_image_surface_get_width(source);
    const double sourceHeight = cairo_image_surface_get_height(source);
    cairo_pattern_t* pattern = cairo_pattern_create_for_surface(source);
    cairo_pattern_set_filter(pattern, CAIRO_FILTER_NEAREST);
    // The pattern's matrix maps the target's coordinates to the source's.
    cairo_matrix_t matrix;
    if (resizeType == kStretch) {
        cairo_matrix_init_scale(&matrix, sourceWidth / destination.width, sourceHeight / destination.height);
        // Edge pixels stretch to the rectangle's edges instead of fading out.
        cairo_pattern_set_extend(pattern, CAIRO_EXTEND_PAD);
    } else {
        cairo_matrix_init_identity(&matrix);
    }
    if (resizeType == kTile) {
        cairo_pattern_set_extend(pattern, CAIRO_EXTEND_REPEAT);
    }
    double left = destination.x;
    double top = destination.y;
    if (resizeType == kCenter) {
        left += std::trunc((destination.width - sourceWidth) / 2);
        top += std::trunc((destination.height - sourceHeight) / 2);
    }
    cairo_matrix_translate(&matrix, -left, -top);
    cairo_pattern_set_matrix(pattern, &matrix);

    cairo_save(target);
    cairo_rectangle(target, destination.x, destination.y, destination.width, destination.height);
    cairo_clip(target);
    cairo_set_source(target, pattern);
    cairo_paint_with_alpha(target, alpha);
    cairo_restore(target);
    cairo_pattern_destroy(pattern);
}

}  // namespace ZV::BitmapSurface
