#include "ControlBase/ContentBuffer.h"

#include "ControlBase/AutoClip.h"
#include "ControlBase/DirtyRect.h"
#include "ObjectBase/Exception.h"
#include "Utilities/Storage/Color.h"

#include <algorithm>
#include <cmath>

namespace ZV {

namespace {

RectT<double> BufferArea(const ControlScrollState& scroll)
{
    return {0, 0, scroll.contentExtent.width, scroll.contentExtent.height};
}

}  // namespace

ContentBufferFrame::ContentBufferFrame(ControlScrollState& scroll)
    : mRenderer(scroll.bufferRenderer), mBuffer(scroll.contentBuffer)
{
    const ZVRESULT started = mRenderer->RenderStart(mBuffer);
    if (Failed(started)) {
        // A frame that fails to start still holds the buffer until it is finished.
        mRenderer->FinishAfterFailure(mBuffer);
        ZV_THROW_IF_FAILED(started);
    }
}

ContentBufferFrame::~ContentBufferFrame()
{
    // A destructor must not throw; a frame left open inside this one was reported where it failed.
    mRenderer->FinishAfterFailure(mBuffer);
}

bool CreateContentBuffer(ControlScrollState& scroll, LRenderer& renderer, const RectT<double>& visible)
{
    const RectT<zlong> viewport(0, 0, RoundToLong(std::ceil(visible.width)), RoundToLong(std::ceil(visible.height)));
    RCPtr<LRenderContextInfo> buffer;
    if (Failed(renderer.InitRenderContextInfo(viewport, nullptr, true, buffer)) || !buffer) {
        return false;
    }
    const PointT<zlong> largest = buffer->GetMaxSurfaceSize();
    scroll.contentBuffer = buffer;
    scroll.bufferRenderer = &renderer;
    scroll.bufferCapacity = {static_cast<double>(std::min(viewport.width, largest.x)),
                             static_cast<double>(std::min(viewport.height, largest.y))};
    return true;
}

void DropContentBuffer(ControlScrollState& scroll)
{
    scroll.contentBuffer = nullptr;
    scroll.bufferRenderer = nullptr;
    scroll.bufferCapacity = {};
    scroll.contentExtent = {};
    scroll.renderRegion.Clear();
    scroll.shownRegion.Clear();
}

void MarkContentBuffer(ControlScrollState& scroll, const RectT<double>& content)
{
    const RectEdges pixels = TouchedPixels(content);
    if (pixels.IsEmpty() || !scroll.shownRegion.Overlaps(pixels)) {
        return;
    }
    // Marks outside what the buffer shows are dropped.
    RectList shown;
    shown.Add(pixels);
    shown.Intersect(scroll.shownRegion);
    for (const RectNode* node = shown.GetHead(); node != nullptr; node = node->next) {
        scroll.renderRegion.Add(*node);
    }
}

bool FitContentBuffer(ControlScrollState& scroll, const RectT<double>& visible)
{
    if (!scroll.contentBuffer || scroll.bufferCapacity.x < visible.width || scroll.bufferCapacity.y < visible.height) {
        return false;
    }
    scroll.contentExtent = visible;
    scroll.contentBuffer->SetViewport({0, 0, RoundToLong(visible.width), RoundToLong(visible.height)});
    scroll.shownRegion.Clear();
    scroll.shownRegion.Add(TouchedPixels(visible));
    scroll.renderRegion.Clear();
    return true;
}

void ScrollContentBuffer(ControlScrollState& scroll, const RectT<double>& visible)
{
    if (!scroll.contentBuffer) {
        return;
    }
    const RectT<double>& extent = scroll.contentExtent;
    const PointT<zlong> displacement(RoundToLong(extent.x - visible.x), RoundToLong(extent.y - visible.y));
    {
        const ContentBufferFrame frame(scroll);
        // A failed copy leaves stale pixels that the marks below do not cover: render everything again.
        if (Failed(frame.Renderer().DrawOffscreenImage(scroll.contentBuffer, displacement))) {
            scroll.renderRegion.Add(TouchedPixels(visible));
        }
    }

    RectList uncovered;
    uncovered.Add(TouchedPixels(visible));
    uncovered.SubtractRect(TouchedPixels(extent));
    for (const RectNode* node = uncovered.GetHead(); node != nullptr; node = node->next) {
        scroll.renderRegion.Add(*node);
    }
    scroll.shownRegion.Clear();
    scroll.shownRegion.Add(TouchedPixels(visible));
    scroll.renderRegion.Intersect(scroll.shownRegion);
    scroll.contentExtent = visible;
}

void TakeContentBufferMarks(ControlScrollState& scroll, RectList& region)
{
    region.Clear();
    if (!scroll.contentBuffer) {
        return;
    }
    const RectT<double>& extent = scroll.contentExtent;
    scroll.renderRegion.SubtractRect(TouchedPixels(extent), &region);
    if (region.GetCount() == 0) {
        return;
    }
    region.Normalize();
    region.Offset(-RoundToLong(extent.x), -RoundToLong(extent.y));

    const ContentBufferFrame frame(scroll);
    const CAutoClip clip(frame.Renderer(), ClipRequest(BufferArea(scroll), BufferArea(scroll), nullptr));
    for (const RectNode* node = region.GetHead(); node != nullptr; node = node->next) {
        frame.Renderer().FillRect({node->left, node->top, node->right - node->left, node->bottom - node->top},
                                  LColor(0, 0, 0, 0), false);
    }
}

}  // namespace ZV
