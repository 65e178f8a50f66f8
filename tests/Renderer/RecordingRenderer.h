#pragma once

#include "Renderer/Renderer.h"

#include <string>
#include <vector>

namespace ZV::Testing {

// One call on a recording renderer, with the state in force when it was made.
struct RecordedCall {
    // The operation's name and its arguments: "FillRect 1,2,3,4 #FF102030 blend".
    std::string operation;
    // Whether a frame was running; origin, device clip and factor are those of its current state.
    bool inFrame = false;
    PointT<double> origin;
    RectT<double> deviceClip;
    float factor = 1.0f;

    // The operation, and "@ origin x,y clip x,y,w,h" in a frame.
    std::string ToString() const;
};

// A renderer that draws no pixels and logs every operation called on it (drawing, measuring, frames and the state
// operations, including those the state operations call in turn), so that tests see what was drawn where. As a
// measurement renderer it answers the font metrics it was given; text measures 7 pixels a character.
class LRecordingRenderer : public LRenderer {
public:
    static constexpr float kCharacterWidth = 7.0f;

    void SetFontMetrics(zlong lineHeight, zlong top, zlong bottom);
    const std::vector<RecordedCall>& GetCalls() const { return mCalls; }
    // The operations alone, in order.
    std::vector<std::string> GetOperations() const;
    void ClearCalls() { mCalls.clear(); }
    // The next RenderStart takes the context, as a renderer does before it finds it cannot draw, and fails.
    void FailNextRenderStart() { mFailNextStart = true; }

    ZVRESULT GetFontMetrics(const ConstRCPtr<LFont>& font, zlong& lineHeight, zlong& top, zlong& bottom) override;
    RectT<float> MeasureText(const WideString& text, const ConstRCPtr<LFont>& font) override;
    // The kind the application draws with.
    int GetRendererType() const override { return kGdi; }
    ZVRESULT InitRenderContextInfo(const RectT<zlong>& viewport, const Platform::NativeWindow* window, bool offscreen,
                                   RCPtr<LRenderContextInfo>& context) override;
    ZVRESULT SetViewport(const RectT<zlong>& viewport) override;
    ZVRESULT SetStencil(const ConstRCPtr<LStencil>& stencil) override;
    ZVRESULT RenderStart(const RCPtr<LRenderContextInfo>& context) override;
    ZVRESULT RenderFinish(const RCPtr<LRenderContextInfo>& context) override;

    void DrawText(const WideString& text, const ConstRCPtr<LFont>& font, const PointT<zlong>& position,
                  const LColor& color) override;
    void FrameRect(const RectT<zlong>& rect, const LColor& color, float lineWidth) override;
    void FillRect(const RectT<zlong>& rect, const LColor& color, bool blend) override;
    void DrawRect(const RectT<zlong>& rect, const LColor& fillColor, const LColor& lineColor, float lineWidth) override;
    void DrawColorRectList(const ColorRectListT<float>& list, const PointT<float>& offset, bool cache) override;
    void DrawLine(const PointT<float>& from, const PointT<float>& to, const LColor& color, float width) override;
    void DrawLineSegments(const PolylineT<float>& path, const LColor& color, const PointT<float>& translation,
                          const PointT<float>& scale, bool cache) override;
    void DrawPolyline(const PolylineT<float>& path, const LColor& color, const PointT<float>& translation,
                      const PointT<float>& scale, bool cache) override;
    void DrawPolygon(const PolylineT<float>& polygon, const LColor& color, const PointT<float>& translation,
                     const PointT<float>& scale, bool cache) override;
    void FillPolygon(const PolylineT<float>& polygon, const LColor& color, const PointT<float>& translation,
                     const PointT<float>& scale, bool cache) override;
    void DrawBitmap(const ConstRCPtr<LBitmap>& bitmap, const RectT<zlong>& destination, int resizeType) override;
    ZVRESULT DrawBitmapPart(const RCPtr<LRenderContextInfo>& offscreen, const PointT<zlong>& destination,
                            const RectT<zlong>& source) override;
    ZVRESULT DrawOffscreenImage(const RCPtr<LRenderContextInfo>& offscreen, const PointT<zlong>& destination) override;

    void PushOffset(const PointT<double>& offset) override;
    void PushClip(const RectT<double>& bounds, const RectT<double>& clip, const ConstRCPtr<LStencil>& stencil,
                  bool relative) override;
    void PushState() override;
    void PopState() override;
    void SetClipRect(const RectT<double>& clip) override;
    void SetOrigin(const PointT<double>& delta) override;

private:
    void Record(std::string operation);

    zlong mLineHeight = -1;
    zlong mTop = 0;
    zlong mBottom = 0;
    std::vector<RecordedCall> mCalls;
    bool mFailNextStart = false;
};

// The recording renderer's context; it draws surfaces of up to 4096 x 4096.
class LRecordingRenderContext : public LRenderContextInfo {
public:
    using LRenderContextInfo::LRenderContextInfo;
    PointT<zlong> GetMaxSurfaceSize() const override { return {4096, 4096}; }
};

}  // namespace ZV::Testing
