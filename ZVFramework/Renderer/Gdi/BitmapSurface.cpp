#include "Renderer/Gdi/BitmapSurface.h"

#include "ObjectBase/ResultCodes.h"
#include "Utilities/Graphics/Bitmap.h"
#include "Utilities/Graphics/PixelImage.h"
#include "Utilities/Storage/Array.h"

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

std::uint32_t PremultipliedPixel(std::uint32_t argb)
{
    const std::uint32_t alpha = argb >> 24;
    return alpha == 0xFF ? argb
                         : alpha << 24 | Premultiply(argb >> 16 & 0xFF, alpha) << 16 |
                               Premultiply(argb >> 8 & 0xFF, alpha) << 8 | Premultiply(argb & 0xFF, alpha);
}

// One axis of a fitted draw: where the destination lies on the device, the visible pixels, and the part's place in
// its image.
struct Axis {
    double start;
    double extent;
    zlong visibleStart;
    zlong visibleExtent;
    zlong partStart;
    zlong partExtent;
    zlong imageExtent;
};

// For each visible pixel of the axis, the index into the image of the source pixel that its centre shows; -1 where
// it shows none. False when there is no memory for the indexes.
bool MapAxis(const Axis& axis, int resizeType, Array<std::int64_t>& indexes)
{
    if (Failed(indexes.SetCount(static_cast<std::uint32_t>(axis.visibleExtent)))) {
        return false;
    }
    const double sourceExtent = static_cast<double>(axis.partExtent);
    const double centredStart = axis.start + std::trunc((axis.extent - sourceExtent) / 2);
    for (zlong pixel = 0; pixel < axis.visibleExtent; ++pixel) {
        const double centre = static_cast<double>(axis.visibleStart + pixel) + 0.5;
        std::int64_t index = 0;
        if (resizeType == kStretch) {
            const double scaled = std::floor((centre - axis.start) * sourceExtent / axis.extent);
            index = std::clamp<std::int64_t>(static_cast<std::int64_t>(scaled), 0, axis.partExtent - 1);
        } else if (resizeType == kTile) {
            index = static_cast<std::int64_t>(std::floor(centre - axis.start)) % axis.partExtent;
            index += index < 0 ? axis.partExtent : 0;
        } else {
            index = static_cast<std::int64_t>(std::floor(centre - centredStart));
            index = index < axis.partExtent ? index : -1;
        }
        index = index < 0 ? -1 : index + axis.partStart;
        *indexes.GetItemPointer(static_cast<std::uint32_t>(pixel)) =
            index >= 0 && index < axis.imageExtent ? index : -1;
    }
    return true;
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
            to[x - part.x] = PremultipliedPixel(from[x]);
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

cairo_surface_t* CreateFittedPart(const LBitmap& bitmap, const RectT<double>& destination,
                                  const RectT<zlong>& visible, int resizeType)
{
    const RectT<zlong>& part = bitmap.GetPart();
    const PixelImage* image = bitmap.GetBitmapData();
    if (!PixelImage::IsAcceptableSize(visible.width, visible.height) || part.width <= 0 || part.height <= 0) {
        return nullptr;
    }
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, visible.width, visible.height);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return nullptr;
    }
    if (image == nullptr) {
        return surface;
    }
    Array<std::int64_t> columns;
    Array<std::int64_t> rows;
    const Axis across{destination.x, destination.width, visible.x, visible.width, part.x, part.width,
                      image->GetWidth()};
    const Axis down{destination.y, destination.height, visible.y, visible.height, part.y, part.height,
                    image->GetHeight()};
    if (!MapAxis(across, resizeType, columns) || !MapAxis(down, resizeType, rows)) {
        cairo_surface_destroy(surface);
        return nullptr;
    }
    cairo_surface_flush(surface);
    unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (zlong y = 0; y < visible.height; ++y) {
        const std::int64_t row = *rows.GetItemPointer(static_cast<std::uint32_t>(y));
        auto* to = reinterpret_cast<std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
        const std::uint32_t* from = row < 0 ? nullptr : image->GetRow(static_cast<zlong>(row));
        for (zlong x = 0; x < visible.width; ++x) {
            const std::int64_t column = *columns.GetItemPointer(static_cast<std::uint32_t>(x));
            to[x] = from == nullptr || column < 0 ? 0 : PremultipliedPixel(from[column]);
        }
    }
    cairo_surface_mark_dirty(surface);
    return surface;
}

}  // namespace ZV::BitmapSurface
