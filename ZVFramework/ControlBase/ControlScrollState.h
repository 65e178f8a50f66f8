#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "Renderer/RectList.h"
#include "Renderer/RenderContextInfo.h"
#include "Renderer/Renderer.h"
#include "Utilities/Storage/PointT.h"
#include "Utilities/Storage/RectT.h"

namespace ZV {

// How far a control's content is scrolled, and the offscreen buffer of a control that keeps its content in one.
struct ControlScrollState {
    // First, together: laying out reads and writes these for every control it places, the rest only where content
    // scrolls in a buffer.
    bool scrollableContent = false;
    // Children docked on an axis are drawn straight to the screen, not into the buffer.
    bool dockedOutsideBuffer = true;
    // While either is set, invalidation leaves the buffer alone.
    bool suppressBufferMarks[2] = {};
    bool sizeChangePending = false;
    // Set while the offset changes, and while a docked child hears of it.
    bool scrolling = false;
    bool dockedChildScrolling = false;
    RCPtr<LRenderContextInfo> contentBuffer;
    // Whole pixels; children and the label text move by minus this.
    PointT<double> offset;
    // The renderer that made the buffer, which draws into it.
    RCPtr<LRenderer> bufferRenderer;
    PointT<double> bufferCapacity;
    // The part of the content that the buffer holds, in content coordinates.
    RectT<double> contentExtent;
    // Buffer rectangles to render again, and the part of the content the buffer must show.
    RectList renderRegion;
    RectList shownRegion;
    RectT<double> savedLookBounds;
};

}  // namespace ZV
