#include "Renderer/D3D9Renderer.h"

namespace ZV {

ZVRESULT LD3D9Renderer::GetFontMetrics(const ConstRCPtr<LFont>&, zlong&, zlong&, zlong&)
{
    return ZV_S_OK;
}

RectT<float> LD3D9Renderer::MeasureText(const WideString&, const ConstRCPtr<LFont>&)
{
    return {};
}

ZVRESULT LD3D9Renderer::InitRenderContextInfo(const RectT<zlong>& viewport, const Platform::NativeWindow* window,
                                              bool offscreen, RCPtr<LRenderContextInfo>& context)
{
    context = new LD3D9RenderContextInfo(viewport, window, offscreen);
    return ZV_S_OK;
}

void LD3D9Renderer::DrawText(const WideString&, const ConstRCPtr<LFont>&, const PointT<zlong>&, const LColor&) {}

void LD3D9Renderer::FrameRect(const RectT<zlong>&, const LColor&, float) {}

void LD3D9Renderer::FillRect(const RectT<zlong>&, const LColor&, bool) {}

void LD3D9Renderer::DrawColorRectList(const ColorRectListT<float>&, const PointT<float>&, bool) {}

void LD3D9Renderer::DrawLine(const PointT<float>&, const PointT<float>&, const LColor&, float) {}

void LD3D9Renderer::DrawLineSegments(const PolylineT<float>&, const LColor&, const PointT<float>&,
                                     const PointT<float>&, bool)
{
}

void LD3D9Renderer::DrawPolyline(const PolylineT<float>&, const LColor&, const PointT<float>&, const PointT<float>&,
                                 bool)
{
}

void LD3D9Renderer::DrawPolygon(const PolylineT<float>&, const LColor&, const PointT<float>&, const PointT<float>&,
                                bool)
{
}

void LD3D9Renderer::FillPolygon(const PolylineT<float>&, const LColor&, const PointT<float>&, const PointT<float>&,
                                bool)
{
}

void LD3D9Renderer::DrawBitmap(const ConstRCPtr<LBitmap>&, const RectT<zlong>&, int) {}

ZVRESULT LD3D9Renderer::DrawBitmapPart(const RCPtr<LRenderContextInfo>&, const PointT<zlong>&, const RectT<zlong>&)
{
    return ZV_E_NOTIMPL;
}

ZVRESULT LD3D9Renderer::DrawOffscreenImage(const RCPtr<LRenderContextInfo>&, const PointT<zlong>&)
{
    return ZV_E_NOTIMPL;
}

}  // namespace ZV
