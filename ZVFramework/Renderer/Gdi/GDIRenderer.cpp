#include "Renderer/Gdi/GDIRenderer.h"

#include "Renderer/ColorRectList.h"
#include "Renderer/Gdi/CairoDrawing.h"
#include "Renderer/Gdi/GDIRenderContextInfo.h"
#include "Renderer/RenderingServices.h"
#include "Utilities/Graphics/Bitmap.h"

#include <algorithm>

namespace ZV {

using CairoDrawing::AddRectangle;
using CairoDrawing::Limit;
using CairoDrawing::SetSourceColor;

void LGDIRenderer::Register()
{
    SetFactory(kGdi, [](const Platform::NativeWindow*) { return RCPtr<LRenderer>(new LGDIRenderer()); });
}

LGDIRenderer::LGDIRenderer()
    : mLastPurgeTime(GetRenderingServices().GetTimeMs()),
      mPathSurface(cairo_image_surface_create(CAIRO_FORMAT_A8, 1, 1)),
      mPathBuilder(cairo_create(mPathSurface))
{
}

LGDIRenderer::~LGDIRenderer()
{
    cairo_destroy(mPathBuilder);
    cairo_surface_destroy(mPathSurface);
}

ZVRESULT LGDIRenderer::InitRenderContextInfo(const RectT<zlong>& viewport, const Platform::NativeWindow* window,
                                             bool offscreen, RCPtr<LRenderContextInfo>& context)
{
    context = new LGDIRenderContextInfo(viewport, window, offscreen);
    return ZV_S_OK;
}

ZVRESULT LGDIRenderer::RenderStart(const RCPtr<LRenderContextInfo>& context)
{
    if (const ZVRESULT started = LRenderer::RenderStart(context); Failed(started)) {
        return started;
    }
    mCurrentContext = dynamic_cast<LGDIRenderContextInfo*>(context.Get());
    if (mCurrentContext != nullptr) {
        mCurrentContext->PrepareSurfaces();
        mCurrentContext->RecoverFromError();
        // Set absolutely, from the context's state: nothing of an earlier frame carries over.
        mCurrentContext->ClipToState();
    }
    return ZV_S_OK;
}

ZVRESULT LGDIRenderer::RenderFinish(const RCPtr<LRenderContextInfo>& context)
{
    if (mCurrentContext != nullptr && mCurrentContext == context.Get()) {
        mCurrentContext->PresentDirtyRegion();
    }
    const ZVRESULT finished = LRenderer::RenderFinish(context);
    mCurrentContext = dynamic_cast<LGDIRenderContextInfo*>(GetCurrentContext());
    PurgeWhenDue();
    return finished;
}

void LGDIRenderer::PurgeWhenDue()
{
    const zulong now = GetRenderingServices().GetTimeMs();
    if (static_cast<std::int32_t>(now - mLastPurgeTime) <= kPurgeIntervalMs) {
        return;
    }
    // What was not drawn since the last purge goes: a bitmap survives one purge unused, not two.
    mPreScaled.Purge();
    mLastPurgeTime = now;
}

const RenderState& LGDIRenderer::State() const
{
    return mCurrentContext->GetState();
}

cairo_t* LGDIRenderer::Graphics()
{
    mCurrentContext->RecoverFromError();
    return mCurrentContext->GetGraphics();
}

void LGDIRenderer::SetClipRect(const RectT<double>& clip)
{
    LRenderer::SetClipRect(clip);
    if (mCurrentContext != nullptr) {
        mCurrentContext->ClipToState();
    }
}

void LGDIRenderer::FrameRect(const RectT<zlong>& rect, const LColor& color, float lineWidth)
{
    if (mCurrentContext == nullptr) {
        return;
    }
    cairo_t* graphics = Graphics();
    const RenderState& state = State();
    // The pen runs along the rectangle's edges, on the pixels at x and at x + width as a one-pixel pen is seen.
    const double left = Limit(state.origin.x + rect.x + 0.5);
    const double top = Limit(state.origin.y + rect.y + 0.5);
    cairo_rectangle(graphics, left, top, Limit(left + rect.width) - left, Limit(top + rect.height) - top);
    SetSourceColor(graphics, color, state.factor);
    cairo_set_line_width(graphics, std::max(1.0f, lineWidth));
    cairo_stroke(graphics);
}

void LGDIRenderer::FillRect(const RectT<zlong>& rect, const LColor& color, bool blend)
{
    if (mCurrentContext == nullptr) {
        return;
    }
    cairo_t* graphics = Graphics();
    if (blend) {
        const RenderState& state = State();
        if (AddRectangle(graphics, rect, state.origin.x, state.origin.y)) {
            SetSourceColor(graphics, color, state.factor);
            cairo_fill(graphics);
        }
        return;
    }
    // Surface coordinates, no clip; the surface's own edges still bound what is written.
    cairo_save(graphics);
    cairo_reset_clip(graphics);
    if (AddRectangle(graphics, rect, 0, 0)) {
        cairo_set_operator(graphics, CAIRO_OPERATOR_SOURCE);
        cairo_set_source_rgba(graphics, color.r, color.g, color.b, color.a);
        cairo_fill(graphics);
    }
    cairo_restore(graphics);
}

void LGDIRenderer::DrawColorRectList(const ColorRectListT<float>& list, const PointT<float>& offset, bool)
{
    if (mCurrentContext == nullptr) {
        return;
    }
    // Put back as it was, not moved back: an offset that is huge or not a number cannot be taken off again.
    PointT<double>& origin = mCurrentContext->GetState().origin;
    const PointT<double> saved = origin;
    SetOrigin(PointT<double>(offset.x, offset.y));
    // From the last to the first, so the first ends on top.
    for (std::uint32_t index = list.GetCount(); index-- > 0;) {
        FillRect(list.GetScaledRect(index).ToLong(), LColor().SetFromARGB(list.GetColor(index)), true);
    }
    origin = saved;
}

void LGDIRenderer::DrawLine(const PointT<float>& from, const PointT<float>& to, const LColor& color, float width)
{
    if (mCurrentContext == nullptr) {
        return;
    }
    cairo_t* graphics = Graphics();
    const RenderState& state = State();
    cairo_move_to(graphics, Limit(state.origin.x + from.x + 0.5), Limit(state.origin.y + from.y + 0.5));
    cairo_line_to(graphics, Limit(state.origin.x + to.x + 0.5), Limit(state.origin.y + to.y + 0.5));
    SetSourceColor(graphics, color, state.factor);
    cairo_set_line_width(graphics, std::max(1.0f, width));
    cairo_stroke(graphics);
}

}  // namespace ZV
