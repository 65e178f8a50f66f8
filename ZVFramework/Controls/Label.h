#pragma once

#include "ControlBase/Control.h"

namespace ZV {

// Static text: never takes the focus, and offers its own text as its tool tip while the text does not fit. Text,
// font, looks and overflow are the control base's; the owner sets the text.
class LLabel : public LControl {
public:
    using LControl::LControl;

    // Not focusable, and shown in its first look. 0.
    [[nodiscard]] ZVRESULT OnInitialized() override;
    // The label's own text while it is clipped, else the base's tip (the "TOOLTIP" text).
    WideString GetToolTipText() const override;
};

}  // namespace ZV
