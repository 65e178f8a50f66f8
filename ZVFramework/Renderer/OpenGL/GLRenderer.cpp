#include "Renderer/OpenGL/GLRenderer.h"

#include "Platform/GlxContext.h"
#include "Renderer/FontRenderer/FreetypeFontRenderer.h"
#include "Renderer/OpenGL/GLErrorTexts.h"
#include "Renderer/OpenGL/GLGlyphRenderer.h"
#include "Renderer/OpenGL/GLRenderContextInfo.h"
#include "Renderer/RenderingServices.h"
#include "Utilities/Debug/DebugOutput.h"
#include "Utilities/Graphics/PixelImage.h"
#include "Utilities/Storage/Array.h"

#include <GL/glu.h>

#include <ostream>

namespace ZV {

namespace {

// Within [low, high]; not a number gives low.
double Limit(double value, double low, double high)
{
    return value >= low ? (value <= high ? value : high) : low;
}

template <class Cache>
void PurgeUnused(Cache& cache)
{
    // The mark is the clock of the previous purge: what was last used at or before it was not used since.
    cache.Purge(cache.GetPurgeMark() + 1);
    cache.SetPurgeMark(cache.GetClock());
}

}  // namespace

void LGLRenderer::Register()
{
    SetFactory(kOpenGL, [](const Platform::NativeWindow* window) {
        const RCPtr<LGLGlyphRenderer> glyphs(new LGLGlyphRenderer());
        const RCPtr<LFontRenderer> fonts(new LFreetypeFontRenderer(glyphs, glyphs));
        return RCPtr<LRenderer>(new LGLRenderer(fonts, window));
    });
}

LGLRenderer::LGLRenderer(const RCPtr<LFontRenderer>& fontRenderer, const Platform::NativeWindow* window)
    : mFontRenderer(fontRenderer), mLastPurgeTime(GetRenderingServices().GetTimeMs())
{
    Platform::GlxFailure failure;
    if (window == nullptr) {
        failure = {Platform::GlxFailure::Step::kChooseConfig, 0, "no window"};
    } else {
        mGlx = Platform::GlxContext::Create(*window, failure);
    }
    if (mGlx == nullptr || !mGlx->MakeCurrentWithoutWindow(failure)) {
        ZV_THROW(std::runtime_error, ShowGLSetupFailure(failure));
    }
    mFunctions = GLEntryPoints::Load();
    GLint dimensions[2] = {0, 0};
    glGetIntegerv(GL_MAX_VIEWPORT_DIMS, dimensions);
    mMaxSurfaceSize = {dimensions[0], dimensions[1]};
    ApplyDefaultState();
    mGlx->ReleaseCurrent();

    if (!mFontRenderer.IsNull()) {
        mGlyphs = RCPtr<LGLGlyphRenderer>(mFontRenderer->GetSecondProcessor());
        if (!mGlyphs.IsNull()) {
            mGlyphs->SetObjectBin(mBin);
        }
    }
}

LGLRenderer::~LGLRenderer()
{
    // The context takes its objects with it.
    mBin->Close();
}

void LGLRenderer::ApplyDefaultState()
{
    glClearColor(0, 0, 0, 0);
    glColor4f(1, 1, 1, 1);
    glDisable(GL_LIGHTING);
    glDisable(GL_DITHER);
    glDisable(GL_DEPTH_TEST);
    glShadeModel(GL_SMOOTH);
    glDisable(GL_CULL_FACE);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    mFunctions.SetDefaultBlending();
    glHint(GL_POLYGON_SMOOTH_HINT, GL_NICEST);
    glHint(GL_LINE_SMOOTH_HINT, GL_NICEST);
    glHint(GL_POINT_SMOOTH_HINT, GL_NICEST);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 1.0f / 255.0f);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    // Geometry is not smoothed: its pixels are those the 2D renderer draws.
    glDisable(GL_POINT_SMOOTH);
    glDisable(GL_LINE_SMOOTH);
    glDisable(GL_POLYGON_SMOOTH);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glEnable(GL_SCISSOR_TEST);
    glEnableClientState(GL_VERTEX_ARRAY);
}

void LGLRenderer::UsePaint(Paint paint)
{
    // OpenGL passes over a setting that does not change, so what stays as it was costs nothing.
    if (paint == Paint::kColor) {
        glDisable(GL_TEXTURE_2D);
    } else {
        glEnable(GL_TEXTURE_2D);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, paint == Paint::kGlyphs ? GL_MODULATE : GL_REPLACE);
    }
    if (paint == Paint::kOpaqueImage) {
        glDisable(GL_BLEND);
        glDisable(GL_ALPHA_TEST);
        return;
    }
    glEnable(GL_BLEND);
    glEnable(GL_ALPHA_TEST);
    if (paint == Paint::kPremultipliedImage) {
        glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    } else {
        mFunctions.SetDefaultBlending();
    }
}

ZVRESULT LGLRenderer::GetFontMetrics(const ConstRCPtr<LFont>& font, zlong& lineHeight, zlong& top, zlong& bottom)
{
    if (mFontRenderer.IsNull() || font.IsNull()) {
        return ZV_E_FAIL;
    }
    return mFontRenderer->GetFontMetrics(font, lineHeight, top, bottom);
}

RectT<float> LGLRenderer::MeasureText(const WideString& text, const ConstRCPtr<LFont>& font)
{
    if (mFontRenderer.IsNull() || font.IsNull()) {
        return {};
    }
    return mFontRenderer->MeasureText(text, font);
}

bool LGLRenderer::MeasureHeads(const WideString& text, const ConstRCPtr<LFont>& font, float widthLimit,
                               Array<RectT<float>>& heads)
{
    (void)heads.Clear();
    return !mFontRenderer.IsNull() && mFontRenderer->MeasureHeads(text, font, widthLimit, heads);
}

bool LGLRenderer::MeasureHeadsAndLayOut(const WideString& text, const ConstRCPtr<LFont>& font, float widthLimit,
                                        Array<RectT<float>>& heads, RCPtr<LLaidOutText>& layout)
{
    (void)heads.Clear();
    layout = nullptr;
    return !mFontRenderer.IsNull() && mFontRenderer->MeasureHeadsAndLayOut(text, font, widthLimit, heads, layout);
}

ZVRESULT LGLRenderer::InitRenderContextInfo(const RectT<zlong>& viewport, const Platform::NativeWindow* window,
                                            bool offscreen, RCPtr<LRenderContextInfo>& context)
{
    std::unique_ptr<Platform::GlxSurface> surface;
    if (offscreen || window == nullptr) {
        if (!mFunctions.HasFramebuffers()) {
            return ZV_E_NOTIMPL;
        }
    } else {
        Platform::GlxFailure failure;
        surface = mGlx->CreateSurface(*window, failure);
        if (surface == nullptr) {
            ZV_THROW(std::runtime_error, ShowGLSetupFailure(failure));
        }
    }
    context = new LGLRenderContextInfo(viewport, window, offscreen, mMaxSurfaceSize, std::move(surface), mBin);
    return ZV_S_OK;
}

ZVRESULT LGLRenderer::RenderStart(const RCPtr<LRenderContextInfo>& context)
{
    if (const ZVRESULT started = LRenderer::RenderStart(context); Failed(started)) {
        return started;
    }
    mCurrent = dynamic_cast<LGLRenderContextInfo*>(context.Get());
    if (mCurrent == nullptr) {
        return ZV_S_OK;
    }
    if (!BindTarget(*mCurrent)) {
        mCurrent = nullptr;
        return ZV_E_FAIL;
    }
    mBin->Empty(mFunctions);
    return ZV_S_OK;
}

ZVRESULT LGLRenderer::RenderFinish(const RCPtr<LRenderContextInfo>& context)
{
    if (mCurrent != nullptr && mCurrent == context.Get()) {
        Present(*mCurrent);
    }
    const ZVRESULT finished = LRenderer::RenderFinish(context);
    mCurrent = dynamic_cast<LGLRenderContextInfo*>(GetCurrentContext());
    if (mCurrent != nullptr && !BindTarget(*mCurrent)) {
        mCurrent = nullptr;
    }
    // The context stays current after the outermost frame: making it current again costs round trips to the server.
    if (GetCurrentContext() == nullptr && mGlx->IsCurrent()) {
        PurgeWhenDue();
        mBin->Empty(mFunctions);
    }
    return finished;
}

bool LGLRenderer::BindTarget(LGLRenderContextInfo& context)
{
    const RectT<zlong>& viewport = context.GetViewport();
    Platform::GlxFailure failure;
    bool bound = false;
    if (Platform::GlxSurface* surface = context.GetSurface()) {
        surface->FitTo(viewport.x + viewport.width, viewport.y + viewport.height);
        bound = mGlx->MakeCurrent(*surface, failure);
        if (bound) {
            mFunctions.BindWindowFramebuffer();
        }
    } else {
        // Any drawable of the context serves an image of its own.
        bound = mGlx->IsCurrent() || mGlx->MakeCurrentWithoutWindow(failure);
        if (bound) {
            bound = context.GetImage().Bind(mFunctions, {viewport.width, viewport.height});
            if (!bound) {
                failure = {Platform::GlxFailure::Step::kMakeCurrent, 0, "no framebuffer of the context's size"};
            } else {
                // Nothing is presented: the frame has succeeded once it has its target.
                context.SetFailureReported(false);
            }
        }
    }
    if (!bound) {
        ReportFrameFailure(context, failure);
        return false;
    }
    mCurrent = &context;
    (void)SetViewport(viewport);
    LoadOrigin();
    return true;
}

void LGLRenderer::Present(LGLRenderContextInfo& context)
{
    DrainGLErrors();
    Platform::GlxSurface* surface = context.GetSurface();
    if (surface == nullptr) {
        glFlush();
        return;
    }
    Platform::GlxFailure failure;
    const bool shown = mGlx->Present([&] { ShowBackBuffer(context, *surface); }, failure);
    DrainGLErrors();
    if (shown) {
        context.SetFailureReported(false);
    } else {
        ReportFrameFailure(context, failure);
    }
}

void LGLRenderer::ShowBackBuffer(const LGLRenderContextInfo& context, const Platform::GlxSurface& surface)
{
    if (!mGlx->IsDoubleBuffered()) {
        glFlush();
        return;
    }
    if (mGlx->SwapsByCopy()) {
        mGlx->SwapBuffers(surface);
        return;
    }
    // Without a swap that keeps the back buffer it is copied, only where the window has to change: the dirty
    // region, or the whole viewport when the frame names none.
    const RectT<zlong>& viewport = context.GetViewport();
    Array<RectT<zlong>> rects;
    if (context.GetDirtyRegion().GetHead() == nullptr || Failed(context.GetDirtyRegion().CopyToArray(rects))) {
        (void)rects.SetCount(0);
        ZV_THROW_IF_FAILED(rects.AddItem(RectT<zlong>(0, 0, viewport.width, viewport.height)));
    }
    glFlush();
    for (std::uint32_t index = 0; index < rects.GetCount(); ++index) {
        RectT<zlong> rect = *rects.GetItemPointer(index);
        // In the viewport's pixels, rows counted from its bottom.
        RectT<zlong>::Intersect(rect, rect, RectT<zlong>(0, 0, viewport.width, viewport.height));
        if (rect.width <= 0 || rect.height <= 0) {
            continue;
        }
        const RectT<zlong> window(viewport.x + rect.x, viewport.y + viewport.height - (rect.y + rect.height),
                                  rect.width, rect.height);
        if (mGlx->CopiesSubBuffers()) {
            mGlx->CopySubBuffer(surface, window.x, window.y, window.width, window.height);
        } else {
            CopyBackBufferToFront(viewport, window);
        }
    }
    if (!mGlx->CopiesSubBuffers()) {
        glFlush();
    }
}

void LGLRenderer::ReportFrameFailure(LGLRenderContextInfo& context, const Platform::GlxFailure& failure)
{
    if (context.IsFailureReported()) {
        return;
    }
    MutexLock lock(GetDebugOutputLock());
    GetDebugOutput().GetNarrowTarget() << DescribeGLFrameFailure(failure) << std::endl;
    context.SetFailureReported(true);
}

void LGLRenderer::CopyBackBufferToFront(const RectT<zlong>& viewport, const RectT<zlong>& area)
{
    // A straight copy of every pixel: nothing of the drawing state may touch it.
    glPushAttrib(GL_COLOR_BUFFER_BIT | GL_ENABLE_BIT | GL_PIXEL_MODE_BIT | GL_CURRENT_BIT);
    glDisable(GL_SCISSOR_TEST);
    glReadBuffer(GL_BACK);
    glDrawBuffer(GL_FRONT);
    const GLint right = area.x + area.width;
    const GLint top = area.y + area.height;
    if (mFunctions.blitFramebuffer != nullptr) {
        mFunctions.blitFramebuffer(area.x, area.y, right, top, area.x, area.y, right, top, GL_COLOR_BUFFER_BIT,
                                   GL_NEAREST);
    } else {
        glDisable(GL_BLEND);
        glDisable(GL_ALPHA_TEST);
        glDisable(GL_TEXTURE_2D);
        glMatrixMode(GL_PROJECTION);
        glPushMatrix();
        glLoadIdentity();
        gluOrtho2D(0, static_cast<GLdouble>(viewport.width), 0, static_cast<GLdouble>(viewport.height));
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        glLoadIdentity();
        glRasterPos4d(static_cast<GLdouble>(area.x - viewport.x), static_cast<GLdouble>(area.y - viewport.y), 0, 1);
        glCopyPixels(area.x, area.y, area.width, area.height, GL_COLOR);
        glPopMatrix();
        glMatrixMode(GL_PROJECTION);
        glPopMatrix();
        glMatrixMode(GL_MODELVIEW);
    }
    DrainGLErrors();
    glPopAttrib();
}

ZVRESULT LGLRenderer::SetViewport(const RectT<zlong>& viewport)
{
    (void)LRenderer::SetViewport(viewport);
    if (mCurrent == nullptr) {
        return ZV_S_OK;
    }
    glViewport(viewport.x, viewport.y, viewport.width, viewport.height);
    GLint applied[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, applied);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, applied[2], applied[3], 0, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    ScissorTo(mCurrent->GetState().GetDeviceClip());
    return ZV_S_OK;
}

RectT<double> LGLRenderer::GetVisibleArea() const
{
    const RectT<double> clip = mCurrent->GetState().GetDeviceClip();
    const RectT<zlong>& viewport = mCurrent->GetViewport();
    // Cut to the viewport in double: the unbounded clip's edges fit no 32-bit integer.
    const double left = Limit(clip.x, 0, viewport.width);
    const double top = Limit(clip.y, 0, viewport.height);
    const double right = Limit(clip.x + clip.width, left, viewport.width);
    const double bottom = Limit(clip.y + clip.height, top, viewport.height);
    return {left, top, right - left, bottom - top};
}

void LGLRenderer::ScissorTo(const RectT<double>& device)
{
    const RectT<zlong>& viewport = mCurrent->GetViewport();
    const double left = Limit(device.x, 0, viewport.width);
    const double top = Limit(device.y, 0, viewport.height);
    const zlong x = RoundToLong(left);
    const zlong y = RoundToLong(top);
    const zlong width = RoundToLong(Limit(device.x + device.width, left, viewport.width)) - x;
    const zlong height = RoundToLong(Limit(device.y + device.height, top, viewport.height)) - y;
    if (width > 0 && height > 0) {
        glScissor(viewport.x + x, viewport.y + viewport.height - (y + height), width, height);
    } else {
        // One pixel just right of the viewport: nothing is drawn.
        glScissor(viewport.x + viewport.width, viewport.y, 1, 1);
    }
}

void LGLRenderer::SetClipRect(const RectT<double>& clip)
{
    LRenderer::SetClipRect(clip);
    if (mCurrent != nullptr) {
        ScissorTo(mCurrent->GetState().GetDeviceClip());
    }
}

void LGLRenderer::SetOrigin(const PointT<double>& delta)
{
    LRenderer::SetOrigin(delta);
    if (mCurrent != nullptr && (delta.x != 0 || delta.y != 0)) {
        LoadOrigin();
    }
}

void LGLRenderer::LoadOrigin()
{
    // Set whole from the state, never moved by differences: an origin that went far away comes back exactly.
    const PointT<double>& origin = mCurrent->GetState().origin;
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslated(origin.x, origin.y, 0);
}

void LGLRenderer::PurgeWhenDue()
{
    const zulong now = GetRenderingServices().GetTimeMs();
    if (static_cast<std::int32_t>(now - mLastPurgeTime) <= kPurgeIntervalMs) {
        return;
    }
    mLastPurgeTime = now;
    PurgeUnused(mFillLists);
    PurgeUnused(mOutlineLists);
    PurgeUnused(mSegmentLists);
    PurgeUnused(mPolylineLists);
    PurgeUnused(mColorRectLists);
    PurgeUnused(mTextures);
}

std::intptr_t LGLRenderer::GetImageKey(const PixelImage& image)
{
    return reinterpret_cast<std::intptr_t>(&image);
}

}  // namespace ZV
