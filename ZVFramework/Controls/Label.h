#pragma once

#include "ControlBase/Control.h"

namespace ZV {

// Static text: never takes the focus, and offers its own text as its tool tip while the text does not fit.
class LLabel : public LControl {
public:
    using LControl::LControl;

    [[nodiscard]] ZVRESULT OnInitialized() override;
    WideString GetToolTipText() const override;
};

}  // namespace ZV
