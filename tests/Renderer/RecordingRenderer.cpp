#include "Renderer/RecordingRenderer.h"

#include "Renderer/Font.h"
#include "Utilities/Graphics/Bitmap.h"

#include <cstdio>
#include <locale>
#include <sstream>

namespace ZV::Testing {

namespace {

std::string Number(double value)
{
    std::ostringstream text;
    text.imbue(std::locale::classic());
    text << value;
    return text.str();
}

template <class T>
std::string Point(const PointT<T>& point)
{
    return Number(point.x) + "," + Number(point.y);
}

template <class T>
std::string Rect(const RectT<T>& rect)
{
    return Number(rect.x) + "," + Number(rect.y) + "," + Number(rect.width) + "," + Number(rect.height);
}

std::string Color(const LColor& color)
{
    char text[16];
    std::snprintf(text, sizeof text, "#%08X", color.ToARGB());
    return text;
}

std::string Text(const WideString& text)
{
    return std::string("\"") + text.ToUTF8().GetData() + "\"";
}

std::string Font(const ConstRCPtr<LFont>& font)
{
    if (font.IsNull()) {
        return "no font";
    }
    return Text(font->GetFaceName()) + " " + Number(font->GetSize()) + " style " + std::to_string(font->GetStyle());
}

std::string Cache(bool cache)
{
    return cache ? "cached" : "uncached";
}

std::string Path(const char* name, const LColor& color, const PointT<float>& translation, const PointT<float>& scale,
                 bool cache)
{
    return std::string(name) + " " + Color(color) + " moved " + Point(translation) + " scaled " + Point(scale) + " " +
           Cache(cache);
}

std::string Context(const RCPtr<LRenderContextInfo>& context)
{
    return context.IsNull() ? "no context" : "context " + Rect(context->GetViewport());
}

std::string Stencil(const ConstRCPtr<LStencil>& stencil)
{
    return stencil.IsNull() ? "no stencil" : "stencil " + Point(stencil->GetSize());
}

}  // namespace

std::string RecordedCall::ToString() const
{
    if (!inFrame) {
        return operation;
    }
    return operation + " @ origin " + Point(origin) + " clip " + Rect(deviceClip);
}

void LRecordingRenderer::SetFontMetrics(zlong lineHeight, zlong top, zlong bottom)
{
    mLineHeight = lineHeight;
    mTop = top;
    mBottom = bottom;
}

std::vector<std::string> LRecordingRenderer::GetOperations() const
{
    std::vector<std::string> operations;
    for (const RecordedCall& call : mCalls) {
        operations.push_back(call.operation);
    }
    return operations;
}

void LRecordingRenderer::Record(std::string operation)
{
    RecordedCall call;
    call.operation = std::move(operation);
    if (const RenderState* state = GetCurrentState()) {
        call.inFrame = true;
        call.origin = state->origin;
        call.deviceClip = state->GetDeviceClip();
        call.factor = state->factor;
    }
    mCalls.push_back(std::move(call));
}

ZVRESULT LRecordingRenderer::GetFontMetrics(const ConstRCPtr<LFont>& font, zlong& lineHeight, zlong& top,
                                            zlong& bottom)
{
    Record("GetFontMetrics " + Font(font));
    lineHeight = mLineHeight;
    top = mTop;
    bottom = mBottom;
    return ZV_S_OK;
}

RectT<float> LRecordingRenderer::MeasureText(const WideString& text, const ConstRCPtr<LFont>& font)
{
    Record("MeasureText " + Text(text) + " " + Font(font));
    return {0, static_cast<float>(mTop), kCharacterWidth * static_cast<float>(text.GetLength()),
            static_cast<float>(mBottom - mTop)};
}

ZVRESULT LRecordingRenderer::InitRenderContextInfo(const RectT<zlong>& viewport, const Platform::NativeWindow* window,
                                                   bool offscreen, RCPtr<LRenderContextInfo>& context)
{
    Record("InitRenderContextInfo " + Rect(viewport) + (offscreen ? " offscreen" : ""));
    context = new LRecordingRenderContext(viewport, window, offscreen);
    return ZV_S_OK;
}

ZVRESULT LRecordingRenderer::SetViewport(const RectT<zlong>& viewport)
{
    Record("SetViewport " + Rect(viewport));
    return LRenderer::SetViewport(viewport);
}

ZVRESULT LRecordingRenderer::SetStencil(const ConstRCPtr<LStencil>& stencil)
{
    Record("SetStencil " + Stencil(stencil));
    return LRenderer::SetStencil(stencil);
}

ZVRESULT LRecordingRenderer::RenderStart(const RCPtr<LRenderContextInfo>& context)
{
    Record("RenderStart " + Context(context));
    const ZVRESULT started = LRenderer::RenderStart(context);
    if (mFailNextStart) {
        mFailNextStart = false;
        return ZV_E_FAIL;
    }
    return started;
}

ZVRESULT LRecordingRenderer::RenderFinish(const RCPtr<LRenderContextInfo>& context)
{
    Record("RenderFinish " + Context(context));
    return LRenderer::RenderFinish(context);
}

void LRecordingRenderer::DrawText(const WideString& text, const ConstRCPtr<LFont>& font,
                                  const PointT<zlong>& position, const LColor& color)
{
    Record("DrawText " + Text(text) + " " + Font(font) + " at " + Point(position) + " " + Color(color));
}

void LRecordingRenderer::FrameRect(const RectT<zlong>& rect, const LColor& color, float lineWidth)
{
    Record("FrameRect " + Rect(rect) + " " + Color(color) + " width " + Number(lineWidth));
}

void LRecordingRenderer::FillRect(const RectT<zlong>& rect, const LColor& color, bool blend)
{
    Record("FillRect " + Rect(rect) + " " + Color(color) + (blend ? " blend" : " replace"));
}

void LRecordingRenderer::DrawRect(const RectT<zlong>& rect, const LColor& fillColor, const LColor& lineColor,
                                  float lineWidth)
{
    Record("DrawRect " + Rect(rect) + " " + Color(fillColor) + " " + Color(lineColor) + " width " +
           Number(lineWidth));
    LRenderer::DrawRect(rect, fillColor, lineColor, lineWidth);
}

void LRecordingRenderer::DrawColorRectList(const ColorRectListT<float>&, const PointT<float>& offset, bool cache)
{
    Record("DrawColorRectList moved " + Point(offset) + " " + Cache(cache));
}

void LRecordingRenderer::DrawLine(const PointT<float>& from, const PointT<float>& to, const LColor& color,
                                  float width)
{
    Record("DrawLine " + Point(from) + " " + Point(to) + " " + Color(color) + " width " + Number(width));
}

void LRecordingRenderer::DrawLineSegments(const PolylineT<float>&, const LColor& color,
                                          const PointT<float>& translation, const PointT<float>& scale, bool cache)
{
    Record(Path("DrawLineSegments", color, translation, scale, cache));
}

void LRecordingRenderer::DrawPolyline(const PolylineT<float>&, const LColor& color, const PointT<float>& translation,
                                      const PointT<float>& scale, bool cache)
{
    Record(Path("DrawPolyline", color, translation, scale, cache));
}

void LRecordingRenderer::DrawPolygon(const PolylineT<float>&, const LColor& color, const PointT<float>& translation,
                                     const PointT<float>& scale, bool cache)
{
    Record(Path("DrawPolygon", color, translation, scale, cache));
}

void LRecordingRenderer::FillPolygon(const PolylineT<float>&, const LColor& color, const PointT<float>& translation,
                                     const PointT<float>& scale, bool cache)
{
    Record(Path("FillPolygon", color, translation, scale, cache));
}

void LRecordingRenderer::DrawBitmap(const ConstRCPtr<LBitmap>& bitmap, const RectT<zlong>& destination,
                                    int resizeType)
{
    const std::string source = bitmap.IsNull() ? "no bitmap" : "bitmap part " + Rect(bitmap->GetPart());
    Record("DrawBitmap " + source + " to " + Rect(destination) + " resize " + std::to_string(resizeType));
}

ZVRESULT LRecordingRenderer::DrawBitmapPart(const RCPtr<LRenderContextInfo>& offscreen,
                                            const PointT<zlong>& destination, const RectT<zlong>& source)
{
    Record("DrawBitmapPart " + Context(offscreen) + " " + Rect(source) + " to " + Point(destination));
    return ZV_S_OK;
}

ZVRESULT LRecordingRenderer::DrawOffscreenImage(const RCPtr<LRenderContextInfo>& offscreen,
                                                const PointT<zlong>& destination)
{
    Record("DrawOffscreenImage " + Context(offscreen) + " to " + Point(destination));
    return ZV_S_OK;
}

void LRecordingRenderer::PushOffset(const PointT<double>& offset)
{
    Record("PushOffset " + Point(offset));
    LRenderer::PushOffset(offset);
}

void LRecordingRenderer::PushClip(const RectT<double>& bounds, const RectT<double>& clip,
                                  const ConstRCPtr<LStencil>& stencil, bool relative)
{
    Record("PushClip " + Rect(bounds) + " " + Rect(clip) + " " + Stencil(stencil) +
           (relative ? " relative" : " absolute"));
    LRenderer::PushClip(bounds, clip, stencil, relative);
}

void LRecordingRenderer::PushState()
{
    Record("PushState");
    LRenderer::PushState();
}

void LRecordingRenderer::PopState()
{
    Record("PopState");
    LRenderer::PopState();
}

void LRecordingRenderer::SetClipRect(const RectT<double>& clip)
{
    Record("SetClipRect " + Rect(clip));
    LRenderer::SetClipRect(clip);
}

void LRecordingRenderer::SetOrigin(const PointT<double>& delta)
{
    Record("SetOrigin " + Point(delta));
    LRenderer::SetOrigin(delta);
}

}  // namespace ZV::Testing
