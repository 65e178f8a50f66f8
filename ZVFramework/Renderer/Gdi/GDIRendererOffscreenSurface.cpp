#include "Renderer/Gdi/GDIRendererOffscreenSurface.h"

#include <algorithm>

namespace ZV {

RCPtr<LGDIRendererOffscreenSurface> LGDIRendererOffscreenSurface::Create(const PointT<zlong>& size)
{
    RCPtr<LGDIRendererOffscreenSurface> surface(new LGDIRendererOffscreenSurface());
    // A size that cannot be had leaves a surface of one pixel, which draws nothing but never fails.
    (void)surface->Resize(size);
    return surface;
}

LGDIRendererOffscreenSurface::~LGDIRendererOffscreenSurface()
{
    Destroy();
}

void LGDIRendererOffscreenSurface::Destroy()
{
    cairo_destroy(mGraphics);
    cairo_surface_destroy(mBitmap);
    mGraphics = nullptr;
    mBitmap = nullptr;
}

PointT<zlong> LGDIRendererOffscreenSurface::FitSize(const PointT<zlong>& size)
{
    return {std::clamp<zlong>(size.x, 1, kMaxSide), std::clamp<zlong>(size.y, 1, kMaxSide)};
}

ZVRESULT LGDIRendererOffscreenSurface::Resize(const PointT<zlong>& size)
{
    Destroy();
    const PointT<zlong> fitted = FitSize(size);
    ZVRESULT result = ZV_S_OK;
    mBitmap = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, fitted.x, fitted.y);
    if (cairo_surface_status(mBitmap) != CAIRO_STATUS_SUCCESS) {
        // A surface in error would put every context drawing from it in error for good; a 1 x 1 one never fails.
        cairo_surface_destroy(mBitmap);
        mBitmap = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1);
        result = ZV_E_FAIL;
    }
    CreateGraphics();
    return result;
}

void LGDIRendererOffscreenSurface::CreateGraphics()
{
    mGraphics = cairo_create(mBitmap);
    // The speed modes: hard edges, painting over what is there.
    cairo_set_antialias(mGraphics, CAIRO_ANTIALIAS_NONE);
    cairo_set_operator(mGraphics, CAIRO_OPERATOR_OVER);
}

cairo_status_t LGDIRendererOffscreenSurface::RenewGraphicsAfterError()
{
    const cairo_status_t status = cairo_status(mGraphics);
    if (status != CAIRO_STATUS_SUCCESS) {
        cairo_destroy(mGraphics);
        CreateGraphics();
    }
    return status;
}

PointT<zlong> LGDIRendererOffscreenSurface::GetSize() const
{
    return {cairo_image_surface_get_width(mBitmap), cairo_image_surface_get_height(mBitmap)};
}

void LGDIRendererOffscreenSurface::DrawTo(cairo_t* target, const PointT<double>& destination,
                                          const RectT<zlong>& source, double alpha) const
{
    cairo_set_source_surface(target, mBitmap, destination.x - source.x, destination.y - source.y);
    cairo_pattern_set_filter(cairo_get_source(target), CAIRO_FILTER_NEAREST);
    if (alpha >= 1.0) {
        cairo_rectangle(target, destination.x, destination.y, source.width, source.height);
        cairo_fill(target);
        return;
    }
    cairo_save(target);
    cairo_rectangle(target, destination.x, destination.y, source.width, source.height);
    cairo_clip(target);
    cairo_paint_with_alpha(target, alpha);
    cairo_restore(target);
}

}  // namespace ZV
