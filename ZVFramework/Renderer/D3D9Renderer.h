#pragma once

#include "Renderer/Renderer.h"

namespace ZV {

// The renderer of kind 2: it keeps the render state like every renderer but draws nothing, so a window runs with
// the whole control framework and shows no output. Measuring gives empty boxes and leaves fonts unresolved.
class LD3D9Renderer : public LRenderer {
public:
    [[nodiscard]] ZVRESULT GetFontMetrics(const ConstRCPtr<LFont>& font, zlong& lineHeight, zlong& top,
                                          zlong& bottom) override;
    RectT<float> MeasureText(const WideString& text, const ConstRCPtr<LFont>& font) override;
    int GetRendererType() const override { return kPlaceholder; }
    [[nodiscard]] ZVRESULT InitRenderContextInfo(const RectT<zlong>& viewport, const Platform::NativeWindow* window,
                                                 bool offscreen, RCPtr<LRenderContextInfo>& context) override;

    void DrawText(const WideString& text, const ConstRCPtr<LFont>& font, const PointT<zlong>& position,
                  const LColor& color) override;
    void FrameRect(const RectT<zlong>& rect, const LColor& color, float lineWidth) override;
    void FillRect(const RectT<zlong>& rect, const LColor& color, bool blend) override;
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
    // Both answer ZV_E_NOTIMPL.
    [[nodiscard]] ZVRESULT DrawBitmapPart(const RCPtr<LRenderContextInfo>& offscreen, const PointT<zlong>& destination,
                            const RectT<zlong>& source) override;
    [[nodiscard]] ZVRESULT DrawOffscreenImage(const RCPtr<LRenderContextInfo>& offscreen,
                                              const PointT<zlong>& destination) override;
};

// Its context: it can draw no surface at all (0 x 0).
class LD3D9RenderContextInfo : public LRenderContextInfo {
public:
    using LRenderContextInfo::LRenderContextInfo;
    PointT<zlong> GetMaxSurfaceSize() const override { return {0, 0}; }
};

}  // namespace ZV
