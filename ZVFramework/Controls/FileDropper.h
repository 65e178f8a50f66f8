#pragma once

#include "ControlBase/Control.h"

namespace ZV {

// A small token that the user drags with the left button: it follows the pointer freely on both axes, and when the
// drag ends it takes itself out of its parent (hidden at once, detached at the parent's next idle pass). A press
// that never travels the drag threshold leaves it where it is. Shown, and never takes the focus.
class LFileDropper : public LControl {
public:
    using LControl::LControl;

    [[nodiscard]] ZVRESULT OnInitialized() override;
    void OnConditionsChanged(const RCPtr<LConditionsParam>& conditions) override;
    void EndDrag() override;
};

}  // namespace ZV
