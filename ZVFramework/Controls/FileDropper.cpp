#include "Controls/FileDropper.h"

#include "ControlBase/ConditionMask.h"
#include "ControlBase/ControlDragState.h"
#include "Notification/ConditionsParam.h"

namespace ZV {

ZVRESULT LFileDropper::OnInitialized()
{
    FixNotFocusable(true);
    (void)SetVisible(true);
    return ZV_S_OK;
}

void LFileDropper::OnConditionsChanged(const RCPtr<LConditionsParam>& conditions)
{
    const std::uint32_t pressed = ConditionMask::kLeftPressed;
    if ((conditions->GetCurrentConditions() & pressed) != 0 && (conditions->GetPreviousConditions() & pressed) == 0) {
        // The threshold stays: a press alone must not throw the token away at its release.
        (void)SetDragMode(kDragAndDrop, kDragAxisX | kDragAxisY);
    }
}

void LFileDropper::EndDrag()
{
    const RCPtr<LFileDropper> self(this);
    LControl::EndDrag();
    if (const RCPtr<LControl> parent = GetParent()) {
        (void)parent->ScheduleChildRemoval(self);
    }
}

}  // namespace ZV
