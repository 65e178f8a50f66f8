#include "Renderer/Renderer.h"

#include "ObjectBase/Exception.h"
#include "Renderer/D3D9Renderer.h"
#include "Renderer/Gdi/GDIRenderer.h"
#include "Renderer/OpenGL/GLRenderer.h"

#include <algorithm>
#include <exception>

namespace ZV {

namespace {

RCPtr<LRenderer> CreatePlaceholder(const Platform::NativeWindow*)
{
    return RCPtr<LRenderer>(new LD3D9Renderer());
}

constexpr int kKindCount = 3;
LRenderer::Factory gFactories[kKindCount] = {nullptr, nullptr, &CreatePlaceholder};

}  // namespace

RCPtr<LRenderer> LRenderer::Create(int kind, const Platform::NativeWindow* window)
{
    if (kind < 0 || kind >= kKindCount || gFactories[kind] == nullptr) {
        ZV_THROW(std::domain_error, "");
    }
    return gFactories[kind](window);
}

void LRenderer::SetFactory(int kind, Factory factory)
{
    if (kind < 0 || kind >= kKindCount) {
        ZV_THROW(std::out_of_range, "");
    }
    gFactories[kind] = factory;
}

void LRenderer::RegisterDrawingKinds()
{
    LGLRenderer::Register();
    LGDIRenderer::Register();
}

LRenderContextInfo* LRenderer::GetCurrentContext() const
{
    const std::uint32_t count = mContexts.GetCount();
    return count == 0 ? nullptr : mContexts.GetItemPointer(count - 1)->Get();
}

RenderState* LRenderer::GetCurrentState() const
{
    LRenderContextInfo* context = GetCurrentContext();
    return context == nullptr ? nullptr : &context->GetState();
}

ZVRESULT LRenderer::SetViewport(const RectT<zlong>& viewport)
{
    if (LRenderContextInfo* context = GetCurrentContext()) {
        context->SetViewport(viewport);
    }
    return ZV_S_OK;
}

ZVRESULT LRenderer::SetStencil(const ConstRCPtr<LStencil>& stencil)
{
    if (LRenderContextInfo* context = GetCurrentContext()) {
        context->GetState().stencil = stencil;
    }
    return ZV_S_OK;
}

ZVRESULT LRenderer::RenderStart(const RCPtr<LRenderContextInfo>& context)
{
    if (context.IsNull()) {
        ZV_THROW(std::runtime_error, "Render context is NULL");
    }
    if (mContexts.IndexOf(context) >= 0) {
        ZV_THROW(std::runtime_error, "Render context reentered.");
    }
    ZV_THROW_IF_FAILED(mContexts.AddItem(context));
    return ZV_S_OK;
}

ZVRESULT LRenderer::RenderFinish(const RCPtr<LRenderContextInfo>& context)
{
    const std::uint32_t count = mContexts.GetCount();
    if (count == 0) {
        return ZV_S_OK;
    }
    if (*mContexts.GetItemPointer(count - 1) != context) {
        ZV_THROW(std::runtime_error, "RenderFinish context does not match RenderStart context");
    }
    RCPtr<LRenderContextInfo> finished;
    (void)mContexts.RemoveLast(finished);
    return ZV_S_OK;
}

void LRenderer::FinishAfterFailure(const RCPtr<LRenderContextInfo>& context) noexcept
{
    try {
        (void)RenderFinish(context);
    } catch (const std::exception&) {
        // Reported by whoever met the first failure.
    }
}

void LRenderer::DrawRect(const RectT<zlong>& rect, const LColor& fillColor, const LColor& lineColor, float lineWidth)
{
    if (fillColor.a > 0) {
        FillRect(rect, fillColor, true);
    }
    if (lineColor.a > 0) {
        FrameRect(rect, lineColor, lineWidth);
    }
}

void LRenderer::PushOffset(const PointT<double>& offset)
{
    LRenderContextInfo* context = GetCurrentContext();
    if (context == nullptr || context->GetSavedStateCount() == 0) {
        return;
    }
    context->SaveState();
    PointT<double> step = offset;
    step.Round();
    SetOrigin(step);
    RectT<double>& clip = context->GetState().clip;
    clip.x -= step.x;
    clip.y -= step.y;
}

void LRenderer::PushClip(const RectT<double>& bounds, const RectT<double>& clip, const ConstRCPtr<LStencil>& stencil,
                         bool relative)
{
    LRenderContextInfo* context = GetCurrentContext();
    if (context == nullptr) {
        return;
    }
    RenderState& state = context->GetState();
    PointT<double> step(bounds.x, bounds.y);
    if (!relative) {
        step.x -= state.origin.x;
        step.y -= state.origin.y;
    }
    step.Round();
    context->SaveState();

    RectT<double> newClip = clip;
    if (relative) {
        RectT<double>::Intersect(newClip, newClip, bounds);
        RectT<double>::Intersect(newClip, newClip, state.clip);
        // Rectangles that do not meet leave nothing visible; snapping would turn their negative extent into an
        // area elsewhere.
        newClip.width = std::max(newClip.width, 0.0);
        newClip.height = std::max(newClip.height, 0.0);
    }
    newClip.SnapToPixels();
    // The clip first: renderers place their device clip by the origin that is still in force.
    SetClipRect(newClip);
    SetOrigin(step);
    if (relative) {
        state.clip.x -= step.x;
        state.clip.y -= step.y;
    }

    if (!stencil.IsNull()) {
        if (state.stencilInstalled) {
            ZV_THROW_IF_FAILED(SetStencil(ConstRCPtr<LStencil>(new LStencil(*stencil))));
        } else {
            ZV_THROW_IF_FAILED(SetStencil(stencil));
            state.stencilInstalled = true;
        }
    }
}

void LRenderer::PushState()
{
    if (LRenderContextInfo* context = GetCurrentContext()) {
        context->SaveState();
    }
}

void LRenderer::PopState()
{
    LRenderContextInfo* context = GetCurrentContext();
    RenderState saved;
    if (context == nullptr || !context->TakeSavedState(saved)) {
        return;
    }
    RenderState& state = context->GetState();
    SetOrigin(PointT<double>(saved.origin.x - state.origin.x, saved.origin.y - state.origin.y));
    state.origin = saved.origin;
    state.factor = saved.factor;
    SetClipRect(saved.clip);
    ZV_THROW_IF_FAILED(SetStencil(saved.stencil));
    state.stencilInstalled = saved.stencilInstalled;
}

void LRenderer::SetClipRect(const RectT<double>& clip)
{
    if (LRenderContextInfo* context = GetCurrentContext()) {
        context->GetState().clip = clip;
    }
}

void LRenderer::SetOrigin(const PointT<double>& delta)
{
    if (LRenderContextInfo* context = GetCurrentContext()) {
        PointT<double>& origin = context->GetState().origin;
        origin.x += delta.x;
        origin.y += delta.y;
    }
}

}  // namespace ZV
