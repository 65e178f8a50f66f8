#pragma once

#include "ControlBase/Control.h"

namespace ZV {

// The main window's control while the window's own logic is not built: it shows the looks that the skin gives the
// main control, and none of its children, whose classes are not built either.
class LMainPanel : public LControl {
public:
    LMainPanel(const RCPtr<LControl>& parent, const WideString& name) : LControl(parent, name) {}

    [[nodiscard]] ZVRESULT CreateChildControls(const RCPtr<LControlDescriptor>&) override { return ZV_S_OK; }
};

}  // namespace ZV
