// Bitmaps, pre-scaled and kept, and the images of offscreen contexts.
#include "Renderer/Gdi/BitmapSurface.h"
#include "Renderer/Gdi/CairoDrawing.h"
#include "Renderer/Gdi/GDIRenderContextInfo.h"
#include "Renderer/Gdi/GDIRenderer.h"
#include "Utilities/Graphics/Bitmap.h"
#include "Utilities/Graphics/PixelImage.h"

#include <cstdint>

namespace ZV {

using CairoDrawing::Limit;

cairo_surface_t* LGDIRenderer::GetFittedBitmap(const LBitmap& bitmap, zlong width, zlong height, int resizeType)
{
    const PreScaledBitmapCache::Key key{bitmap.GetIdentity(), width, height, resizeType};
    const PixelImage* image = bitmap.GetBitmapData();
    const std::uint64_t changeCount = image == nullptr ? 0 : image->GetChangeCount();
    if (cairo_surface_t* kept = mPreScaled.Find(key, changeCount)) {
        return cairo_surface_reference(kept);
    }
    cairo_surface_t* source = BitmapSurface::CreatePremultiplied(bitmap);
    if (source == nullptr) {
        return nullptr;
    }
    cairo_surface_t* fitted = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    if (cairo_surface_status(fitted) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(fitted);
        cairo_surface_destroy(source);
        return nullptr;
    }
    cairo_t* graphics = cairo_create(fitted);
    BitmapSurface::DrawFitted(graphics, source, RectT<double>(0, 0, width, height), resizeType, 1.0);
    cairo_destroy(graphics);
    cairo_surface_destroy(source);
    if (mPreScaled.Keep(key, changeCount, fitted)) {
        cairo_surface_reference(fitted);
    }
    return fitted;
}

void LGDIRenderer::DrawBitmap(const ConstRCPtr<LBitmap>& bitmap, const RectT<zlong>& destination, int resizeType)
{
    if (mCurrentContext == nullptr) {
        ZV_THROW(std::runtime_error, "");
    }
    if (bitmap.IsNull()) {
        ZV_THROW_IF_FAILED(ZV_E_INVALIDARG);
    }
    const RectT<zlong>& part = bitmap->GetPart();
    if (part.width == destination.width && part.height == destination.height) {
        resizeType = BitmapSurface::kStretch;
    }
    if (resizeType < BitmapSurface::kStretch || resizeType > BitmapSurface::kCenter) {
        ZV_THROW(std::invalid_argument, "Invalid ResizeType passed to DrawBitmap.");
    }
    if (destination.width <= 0 || destination.height <= 0 || part.width <= 0 || part.height <= 0) {
        return;
    }
    const RenderState& state = State();
    const RectT<double> device(state.origin.x + destination.x, state.origin.y + destination.y, destination.width,
                               destination.height);
    // Cut to the clip first: what lies outside it never reaches Cairo, whose fixed point holds neither far offsets
    // nor the scales of huge stretches.
    const RectT<zlong> visible = mCurrentContext->GetVisiblePixels(device);
    if (visible.width <= 0 || visible.height <= 0) {
        return;
    }
    cairo_surface_t* fitted = nullptr;
    PointT<double> at(device.x, device.y);
    if (destination.width <= LGDIRendererOffscreenSurface::kMaxSide &&
        destination.height <= LGDIRendererOffscreenSurface::kMaxSide) {
        fitted = GetFittedBitmap(*bitmap, destination.width, destination.height, resizeType);
    } else {
        // Too large to keep: fitted anew each time, only where it is seen.
        fitted = BitmapSurface::CreateFittedPart(*bitmap, device, visible, resizeType);
        at = PointT<double>(visible.x, visible.y);
    }
    if (fitted == nullptr) {
        return;
    }
    cairo_t* graphics = Graphics();
    cairo_set_source_surface(graphics, fitted, at.x, at.y);
    cairo_paint_with_alpha(graphics, state.factor);
    cairo_surface_destroy(fitted);
}

LGDIRenderContextInfo* LGDIRenderer::GetOffscreenContext(const RCPtr<LRenderContextInfo>& context) const
{
    auto* offscreen = dynamic_cast<LGDIRenderContextInfo*>(context.Get());
    return offscreen != nullptr && offscreen->IsOffscreen() ? offscreen : nullptr;
}

ZVRESULT LGDIRenderer::DrawBitmapPart(const RCPtr<LRenderContextInfo>& offscreen, const PointT<zlong>& destination,
                                      const RectT<zlong>& source)
{
    const LGDIRenderContextInfo* from = GetOffscreenContext(offscreen);
    if (from == nullptr) {
        return ZV_E_INVALIDARG;
    }
    if (mCurrentContext == nullptr) {
        return ZV_E_FAIL;
    }
    const RenderState& state = State();
    const PointT<double> at(Limit(state.origin.x + destination.x), Limit(state.origin.y + destination.y));
    cairo_t* graphics = Graphics();
    from->GetBackBuffer().DrawTo(graphics, at, source, state.factor);
    return cairo_status(graphics) == CAIRO_STATUS_SUCCESS ? ZV_S_OK : ZV_E_FAIL;
}

ZVRESULT LGDIRenderer::DrawOffscreenImage(const RCPtr<LRenderContextInfo>& offscreen, const PointT<zlong>& destination)
{
    LGDIRenderContextInfo* context = GetOffscreenContext(offscreen);
    if (context == nullptr) {
        return ZV_E_INVALIDARG;
    }
    const LGDIRendererOffscreenSurface& previous = context->GetBackBuffer();
    context->SwapSurfaces();
    context->RecoverFromError();
    cairo_t* graphics = context->GetGraphics();
    // The move ignores the state: the whole image moves within the whole surface.
    cairo_reset_clip(graphics);
    cairo_set_operator(graphics, CAIRO_OPERATOR_CLEAR);
    cairo_paint(graphics);
    cairo_set_operator(graphics, CAIRO_OPERATOR_OVER);
    const PointT<zlong> size = previous.GetSize();
    previous.DrawTo(graphics, PointT<double>(Limit(destination.x), Limit(destination.y)),
                    RectT<zlong>(0, 0, size.x, size.y));
    context->ClipToState();
    return cairo_status(graphics) == CAIRO_STATUS_SUCCESS ? ZV_S_OK : ZV_E_FAIL;
}

}  // namespace ZV
