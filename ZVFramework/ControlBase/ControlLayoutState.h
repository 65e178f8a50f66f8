#pragma once

#include "Utilities/Storage/RectT.h"

namespace ZV {

template <class T>
class RCPtr;
class LControl;

// Guards of a control's layout passes.
struct ControlLayoutState {
    // The control is its window's root control, whose rules are the window's own: they fill the client area.
    bool fillsClientArea = false;
    // Set while a change of size re-lays out the children, so that it does not re-enter itself.
    bool relayingOutChildren = false;
    // Set while the placement code moves children: their changes then do not re-lay out this control.
    bool relayoutSuppressed = false;
    // Set while ApplyLayout hands SetBounds the rectangle that the rules give.
    bool applyingRules = false;
    // Set while the children are re-laid out and nothing has changed the looks or the size since clientRect was
    // read: every child places itself against it, and reading it through the looks for each is what layout costs.
    bool clientRectKept = false;
    RectT<double> clientRect;
    // The reference by which a walk over the parent's children holds the control while it calls out; null outside
    // such a walk. A control held so needs no reference of its own to outlive the calls.
    const RCPtr<LControl>* walkHold = nullptr;
};

}  // namespace ZV
