#pragma once

#include "ControlBase/ControlScrollState.h"
#include "Renderer/RectList.h"
#include "Renderer/Renderer.h"
#include "Utilities/Storage/RectT.h"

namespace ZV {

// The offscreen copy of a scrolling control's content, kept in its scroll state. Content coordinates are the
// control's own coordinates less its client origin plus its scroll offset: its children sit there at their
// positions. The buffer holds the content extent; buffer pixels are content coordinates less the extent's origin.

// Draws into the buffer for a scope: the frame ends also when an exception leaves the scope, so that the buffer can
// be started again.
class ContentBufferFrame {
public:
    explicit ContentBufferFrame(ControlScrollState& scroll);
    ContentBufferFrame(const ContentBufferFrame&) = delete;
    ContentBufferFrame& operator=(const ContentBufferFrame&) = delete;
    ~ContentBufferFrame();

    LRenderer& Renderer() const { return *mRenderer; }

private:
    RCPtr<LRenderer> mRenderer;
    RCPtr<LRenderContextInfo> mBuffer;
};

// Makes a buffer as large as the visible content (whole pixels, at most the largest surface the renderer draws);
// false when the renderer makes none.
bool CreateContentBuffer(ControlScrollState& scroll, LRenderer& renderer, const RectT<double>& visible);
void DropContentBuffer(ControlScrollState& scroll);
// Marks a rectangle of content coordinates for rendering again, where the buffer shows it.
void MarkContentBuffer(ControlScrollState& scroll, const RectT<double>& content);
// The buffer holds the visible content from now on, none of it rendered yet; false, with nothing changed, when the
// buffer is too small for it.
bool FitContentBuffer(ControlScrollState& scroll, const RectT<double>& visible);
// Moves the buffer's pixels with the content to the visible content, so that only the strips that scrolled into
// view are rendered again.
void ScrollContentBuffer(ControlScrollState& scroll, const RectT<double>& visible);
// Moves the marked rectangles that the buffer holds into the region, in buffer pixels, and clears them in the
// buffer to transparent for rendering again.
void TakeContentBufferMarks(ControlScrollState& scroll, RectList& region);

}  // namespace ZV
