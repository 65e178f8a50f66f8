#pragma once

#include "ControlBase/Control.h"

namespace ZV {

// Places controls in tests, where no layout rules do.
class ControlTestAccess {
public:
    // Gives the control its rectangle in its parent, then lets its conditions follow (visible once it has an
    // extent).
    static void Place(LControl& control, const RectT<double>& bounds);
    // Places the control and every control below it at the same rectangle of its parent.
    static void PlaceTree(LControl& control, const RectT<double>& bounds);
};

}  // namespace ZV
