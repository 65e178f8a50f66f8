#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "Renderer/Stencil.h"
#include "Utilities/Storage/PointT.h"
#include "Utilities/Storage/RectT.h"

#include <cstdint>

namespace ZV {

// What drawing, hit testing and layout take from one of a control's looks.
struct LookFrame {
    // False where a weight stands without a look.
    bool present = false;
    // 0 to 1; the look is drawn, and its children with it, only above 0.
    float weight = 0;
    // In the control's coordinates; (0, 0, width, height) without a look.
    RectT<zlong> clientRect;
    // The stencil of the look's own region, which the children are clipped by; null without a region.
    ConstRCPtr<LStencil> regionStencil;
};

// The three layers a look draws in a control's pass: under the content, over it, and its label text.
enum class LookLayer : std::int32_t { kClientParts, kNonClientParts, kLabelText };

// The active look's label text measured at the control's current size, as the minimum size needs it.
struct LabelTextExtent {
    // The text box in the control.
    RectT<double> box;
    // How many pixels the box grows for each pixel the control grows: across (its right edge's relative part minus
    // its left edge's) and down (bottom's minus top's).
    PointT<double> boxGrowth;
    // The widest line, and all lines together at the box's width.
    double width = 0;
    double height = 0;
};

}  // namespace ZV
