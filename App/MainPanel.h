#pragma once

#include "ControlBase/Control.h"

namespace ZV {

// The main window's control while the window's own logic is not built: it shows the looks that the skin gives the
// main control, and none of its children, whose classes are not built either.
class LMainPanel : public LControl {
public:
    LMainPanel(const RCPtr<LControl>& parent, const WideString& name) : LControl(parent, name) {}

    // Lays the control out without children.
    [[nodiscard]] ZVRESULT CreateChildControls(const RCPtr<LControlDescriptor>&) override
    {
        return LControl::CreateChildControls(nullptr);
    }
    // Looks start without weight: the first one shows.
    [[nodiscard]] ZVRESULT OnInitialized() override
    {
        if (GetLookCount() > 0) {
            (void)SelectLook(0);
        }
        return LControl::OnInitialized();
    }
};

}  // namespace ZV
