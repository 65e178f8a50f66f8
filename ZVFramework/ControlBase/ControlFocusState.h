#pragma once

#include "ControlBase/IRootWindow.h"
#include "ObjectBase/RefCountedObject.h"
#include "Utilities/Storage/PointT.h"

namespace ZV {

class LConditionsParam;

// The conditions a control keeps beside its mouse flags, and what decides whether it takes the focus.
struct ControlFocusState {
    bool hasFocus = false;
    // A descendant has the focus.
    bool containsFocus = false;
    bool highlighted = false;
    bool notFocusable = true;
    // Whether the skin decides notFocusable, or the control's class has fixed it to the value below.
    bool notFocusableFixed = false;
    bool fixedNotFocusable = false;
    // Stops the inheritance of not-focusable from the ancestors.
    bool focusRoot = false;
    // Tab reaches the control instead of moving the focus.
    bool wantsTab = false;
    // The control shows its parent's tool tip while it has none of its own.
    bool usesParentToolTip = false;
    CursorHandle cursor = 0;
    CursorHandle savedCursor = 0;
    // Rewritten in place for every change of the condition mask.
    RCPtr<LConditionsParam> conditions;
    // In the control's coordinates.
    PointT<double> lastMousePoint;
};

}  // namespace ZV
