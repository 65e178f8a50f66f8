#pragma once

#include "ControlBase/Look.h"
#include "Utilities/Storage/Array.h"
#include "Utilities/Storage/RCPtrArray.h"

namespace ZV {

// A control's looks and how it blends them.
struct ControlLookState {
    // In the skin's order; an entry is null where the skin gives that look number none.
    RCPtrArray<LLook> looks;
    // One per look, 0 to 1: the opacity the look is drawn with.
    Array<float> weights;
    // Multiplies the renderer's opacity while the control draws.
    float opacity = 1.0f;
    // The label text moves with the scroll offset.
    bool textScrolls = false;
};

}  // namespace ZV
