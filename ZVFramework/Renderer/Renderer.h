#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "ObjectBase/ResultCodes.h"
#include "Renderer/MeasurementRenderer.h"
#include "Renderer/RenderContextInfo.h"
#include "Renderer/Stencil.h"
#include "Utilities/Storage/Color.h"
#include "Utilities/Storage/PointT.h"
#include "Utilities/Storage/RCPtrArray.h"
#include "Utilities/Storage/RectT.h"
#include "Utilities/Storage/StringT.h"

#include <cstdint>

namespace ZV {

class LBitmap;
class LFont;
// The drawn objects that renderers may compile and cache: a point path (also a polygon's outline) and a list of
// coloured rectangles. They carry a changed flag that the renderer reads and clears.
template <class T>
class PolylineT;
template <class T>
class ColorRectListT;

// The one interface through which everything on screen is drawn. Coordinates are device-independent doubles (one
// unit per pixel, y downwards); colours are LColor. The drawing state lives in the render context that the
// current frame started (RenderStart ... RenderFinish); the state operations act on the context started last and
// do nothing while no frame is running. User-interface thread only.
class LRenderer : public LMeasurementRenderer {
public:
    // The kinds that Create makes.
    static constexpr int kOpenGL = 0;
    static constexpr int kGdi = 1;
    // Draws nothing: a window runs with the whole framework and shows no output.
    static constexpr int kPlaceholder = 2;

    using Factory = RCPtr<LRenderer> (*)(const Platform::NativeWindow* window);

    // A new renderer of the kind for the window. A kind without a renderer throws a "Domain Error".
    static RCPtr<LRenderer> Create(int kind, const Platform::NativeWindow* window);
    // Makes Create build kind 0 or 1 with the factory; the drawing back-ends register themselves.
    static void SetFactory(int kind, Factory factory);
    // Registers the OpenGL and the 2D renderer, the kinds a program's windows may ask for; the program calls it once
    // at start.
    static void RegisterDrawingKinds();

    virtual int GetRendererType() const = 0;
    // A new context of this renderer's kind for the window, in context; 0 or a failure code.
    [[nodiscard]] virtual ZVRESULT InitRenderContextInfo(const RectT<zlong>& viewport,
                                                         const Platform::NativeWindow* window, bool offscreen,
                                                         RCPtr<LRenderContextInfo>& context) = 0;
    [[nodiscard]] virtual ZVRESULT SetViewport(const RectT<zlong>& viewport);
    [[nodiscard]] virtual ZVRESULT SetStencil(const ConstRCPtr<LStencil>& stencil);

    // Frames nest: a frame may start another context (an offscreen surface), never one already started. A null
    // context, a context started twice and a finish of any but the last started context throw a "Runtime Error".
    [[nodiscard]] virtual ZVRESULT RenderStart(const RCPtr<LRenderContextInfo>& context);
    [[nodiscard]] virtual ZVRESULT RenderFinish(const RCPtr<LRenderContextInfo>& context);
    // RenderFinish where a failure is already under way (a frame that did not start, a paint that threw): a frame
    // left open inside this one is not reported again, the first failure is the one worth reporting.
    void FinishAfterFailure(const RCPtr<LRenderContextInfo>& context) noexcept;

    virtual void DrawText(const WideString& text, const ConstRCPtr<LFont>& font, const PointT<zlong>& position,
                          const LColor& color) = 0;
    // DrawText of a text that is a head of the text laid out in layout (which may be null): drawn from the layout when
    // this renderer made it in that font, else from the text.
    virtual void DrawLaidOutText(const WideString& text, const LLaidOutText* layout, const ConstRCPtr<LFont>& font,
                                 const PointT<zlong>& position, const LColor& color)
    {
        (void)layout;
        DrawText(text, font, position, color);
    }
    virtual void FrameRect(const RectT<zlong>& rect, const LColor& color, float lineWidth) = 0;
    // Without blend the rectangle's pixels are replaced instead of painted over.
    virtual void FillRect(const RectT<zlong>& rect, const LColor& color, bool blend) = 0;
    // Fills when the fill colour has any alpha, then frames when the line colour has any.
    virtual void DrawRect(const RectT<zlong>& rect, const LColor& fillColor, const LColor& lineColor, float lineWidth);
    virtual void DrawColorRectList(const ColorRectListT<float>& list, const PointT<float>& offset, bool cache) = 0;
    virtual void DrawLine(const PointT<float>& from, const PointT<float>& to, const LColor& color, float width) = 0;
    // Pairs of points as separate segments.
    virtual void DrawLineSegments(const PolylineT<float>& path, const LColor& color, const PointT<float>& translation,
                                  const PointT<float>& scale, bool cache) = 0;
    virtual void DrawPolyline(const PolylineT<float>& path, const LColor& color, const PointT<float>& translation,
                              const PointT<float>& scale, bool cache) = 0;
    virtual void DrawPolygon(const PolylineT<float>& polygon, const LColor& color, const PointT<float>& translation,
                             const PointT<float>& scale, bool cache) = 0;
    virtual void FillPolygon(const PolylineT<float>& polygon, const LColor& color, const PointT<float>& translation,
                             const PointT<float>& scale, bool cache) = 0;
    // Resize type 0 stretches, 1 tiles, 2 centres.
    virtual void DrawBitmap(const ConstRCPtr<LBitmap>& bitmap, const RectT<zlong>& destination, int resizeType) = 0;
    [[nodiscard]] virtual ZVRESULT DrawBitmapPart(const RCPtr<LRenderContextInfo>& offscreen,
                                                  const PointT<zlong>& destination, const RectT<zlong>& source) = 0;
    [[nodiscard]] virtual ZVRESULT DrawOffscreenImage(const RCPtr<LRenderContextInfo>& offscreen,
                                        const PointT<zlong>& destination) = 0;

    // Saves the state and moves the origin by the offset rounded to whole pixels; the clip stays where it was on
    // the device. Does nothing while no state is saved.
    virtual void PushOffset(const PointT<double>& offset);
    // Saves the state, moves the origin to the bounds' corner (rounded to whole pixels; given in window
    // coordinates unless relative) and clips to the clip (relative: cut to the bounds and the current clip, then
    // seen from the new origin). A stencil given is installed as well.
    virtual void PushClip(const RectT<double>& bounds, const RectT<double>& clip, const ConstRCPtr<LStencil>& stencil,
                          bool relative);
    virtual void PushState();
    // Restores the last saved state; does nothing while none is saved.
    virtual void PopState();
    // Renderers extend these two to follow the state on their device: the clip in current coordinates, and a move of
    // the origin.
    virtual void SetClipRect(const RectT<double>& clip);
    virtual void SetOrigin(const PointT<double>& delta);
    // The state that drawing uses now, which the code that draws may read and scale the factor of; null outside a
    // frame.
    RenderState* GetCurrentState() const;

protected:
    // The context started last, or null outside a frame.
    LRenderContextInfo* GetCurrentContext() const;

private:
    RCPtrArray<LRenderContextInfo> mContexts;
};

}  // namespace ZV
