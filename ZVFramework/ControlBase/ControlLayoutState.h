#pragma once

namespace ZV {

// Guards of a control's layout passes.
struct ControlLayoutState {
    // Set while a change of size re-lays out the children, so that it does not re-enter itself.
    bool relayingOutChildren = false;
    // Set while the placement code moves children: their changes then do not re-lay out this control.
    bool relayoutSuppressed = false;
    // Set while ApplyLayout hands SetBounds the rectangle that the rules give.
    bool applyingRules = false;
};

}  // namespace ZV
