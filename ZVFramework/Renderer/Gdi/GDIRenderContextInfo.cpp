#include "Renderer/Gdi/GDIRenderContextInfo.h"

#include "Platform/WindowSurface.h"
#include "Utilities/Debug/DebugOutput.h"
#include "Utilities/Storage/Array.h"

#include <algorithm>
#include <cmath>
#include <ostream>

namespace ZV {

namespace {

PointT<zlong> ViewportSize(const RectT<zlong>& viewport)
{
    return {viewport.width, viewport.height};
}

void ReportCairoError(const char* what, cairo_status_t error)
{
    MutexLock lock(GetDebugOutputLock());
    GetDebugOutput().GetNarrowTarget() << "Cairo failed while " << what << " (" << cairo_status_to_string(error)
                                   << "); its context is made anew" << std::endl;
}

}  // namespace

LGDIRenderContextInfo::LGDIRenderContextInfo(const RectT<zlong>& viewport, const Platform::NativeWindow* window,
                                             bool offscreen)
    : LRenderContextInfo(viewport, window, offscreen),
      mBackBuffer(LGDIRendererOffscreenSurface::Create(ViewportSize(viewport))),
      mSpareBuffer(LGDIRendererOffscreenSurface::Create(ViewportSize(viewport)))
{
}

LGDIRenderContextInfo::~LGDIRenderContextInfo() = default;

PointT<zlong> LGDIRenderContextInfo::GetMaxSurfaceSize() const
{
    return {LGDIRendererOffscreenSurface::kMaxSide, LGDIRendererOffscreenSurface::kMaxSide};
}

void LGDIRenderContextInfo::SwapSurfaces()
{
    std::swap(mBackBuffer, mSpareBuffer);
}

void LGDIRenderContextInfo::PrepareSurfaces()
{
    const RectT<zlong>& viewport = GetViewport();
    const PointT<zlong> size = LGDIRendererOffscreenSurface::FitSize(ViewportSize(viewport));
    if (mBackBuffer->GetSize() == size) {
        const RectNode* dirty = GetDirtyRegion().GetHead();
        const bool wholeViewportDirty = dirty != nullptr && dirty->next == nullptr && dirty->left == viewport.x &&
                                        dirty->top == viewport.y &&
                                        std::int64_t{dirty->right} - dirty->left == viewport.width &&
                                        std::int64_t{dirty->bottom} - dirty->top == viewport.height;
        if (!wholeViewportDirty) {
            return;
        }
    }
    // A size that cannot be had leaves a surface of one pixel: the frame is lost, not the context.
    (void)mBackBuffer->Resize(size);
    (void)mSpareBuffer->Resize(size);
    if (mWindowSurface) {
        mWindowSurface->SetSize(size.x, size.y);
    }
}

void LGDIRenderContextInfo::PresentDirtyRegion()
{
    cairo_surface_flush(mBackBuffer->GetBitmap());
    if (!PresentsToWindow()) {
        return;
    }
    if (!mWindowSurface) {
        const PointT<zlong> size = mBackBuffer->GetSize();
        mWindowSurface = std::make_unique<Platform::WindowSurface>(*GetWindow(), size.x, size.y);
    }
    Array<RectT<zlong>> rects;
    if (Failed(GetDirtyRegion().CopyToArray(rects))) {
        return;
    }
    cairo_t* window = mWindowSurface->GetContext();
    // A copy: the window shows the back buffer's pixels as they are, not blended over what it showed before.
    cairo_set_operator(window, CAIRO_OPERATOR_SOURCE);
    for (std::uint32_t index = rects.GetCount(); index-- > 0;) {
        const RectT<zlong>& rect = *rects.GetItemPointer(index);
        mBackBuffer->DrawTo(window, PointT<double>(rect.x, rect.y), rect);
    }
    mWindowSurface->Flush();
    if (const cairo_status_t error = cairo_status(window); error != CAIRO_STATUS_SUCCESS) {
        // Made anew at the next present.
        ReportCairoError("presenting", error);
        mWindowSurface.reset();
    }
}

RectT<double> LGDIRenderContextInfo::GetSurfaceClip() const
{
    const RectT<double> clip = GetState().GetDeviceClip();
    const PointT<zlong> size = mBackBuffer->GetSize();
    // Cut to the surface in double first: Cairo's fixed-point coordinates cannot hold the unbounded clip.
    const double left = std::clamp(clip.x, 0.0, static_cast<double>(size.x));
    const double top = std::clamp(clip.y, 0.0, static_cast<double>(size.y));
    const double right = std::clamp(clip.x + clip.width, left, static_cast<double>(size.x));
    const double bottom = std::clamp(clip.y + clip.height, top, static_cast<double>(size.y));
    return {left, top, right - left, bottom - top};
}

void LGDIRenderContextInfo::ClipToState()
{
    const RectT<double> clip = GetSurfaceClip();
    cairo_t* graphics = GetGraphics();
    cairo_reset_clip(graphics);
    cairo_rectangle(graphics, clip.x, clip.y, clip.width, clip.height);
    cairo_clip(graphics);
}

RectT<zlong> LGDIRenderContextInfo::GetVisiblePixels(const RectT<double>& device) const
{
    const RectT<double> clip = GetSurfaceClip();
    // A pixel counts when its centre lies inside; the clip keeps every bound within the surface.
    const double left = std::ceil(std::max(device.x, clip.x) - 0.5);
    const double top = std::ceil(std::max(device.y, clip.y) - 0.5);
    const double right = std::ceil(std::min(device.x + device.width, clip.x + clip.width) - 0.5);
    const double bottom = std::ceil(std::min(device.y + device.height, clip.y + clip.height) - 0.5);
    if (!(right > left && bottom > top)) {
        return {};
    }
    return RectT<zlong>(static_cast<zlong>(left), static_cast<zlong>(top), static_cast<zlong>(right - left),
                        static_cast<zlong>(bottom - top));
}

void LGDIRenderContextInfo::RecoverFromError()
{
    const cairo_status_t error = mBackBuffer->RenewGraphicsAfterError();
    if (error == CAIRO_STATUS_SUCCESS) {
        return;
    }
    ReportCairoError("drawing", error);
    ClipToState();
}

}  // namespace ZV
