#pragma once

#include "ControlBase/Control.h"
#include "Renderer/RectList.h"
#include "Renderer/Renderer.h"

namespace ZV {

// Draws a window's control tree over the region (client pixels) in a frame that the caller has started: the root
// control with everything that clips to its parent, then, in ascending order of their effective z-order (ties in
// the order drawing found them), the controls that reach outside their parents, each with its own descendants of
// that kind after it. Nothing for a null root or an empty region.
void PaintControlTree(LRenderer& renderer, const RCPtr<LControl>& root, const RectList& region);

}  // namespace ZV
