#pragma once

#include "Utilities/Storage/Array.h"

namespace ZV {

// How a control blends its looks.
struct ControlLookState {
    // One per look, 0 to 1.
    Array<float> weights;
    // Multiplies the renderer's opacity while the control draws.
    float opacity = 1.0f;
    // The label text moves with the scroll offset.
    bool textScrolls = false;
};

}  // namespace ZV
