// Conditions, focus, visibility and enabling.
#include "ControlBase/Control.h"

#include "Utilities/Storage/SortPredicates.h"

namespace ZV {

void LControl::OnConditionsChanged(const RCPtr<LConditionsParam>&) {}

ZVRESULT LControl::SetFocus(bool)
{
    return ZV_E_NOTIMPL;
}

void LControl::SetNotFocusable(bool) {}

bool LControl::CanTakeFocus()
{
    return false;
}

bool LControl::CanReleaseFocus()
{
    return true;
}

bool LControl::ReleaseFocus()
{
    return false;
}

RCPtr<LControl> LControl::GetNextFocusableChild(const RCPtr<LControl>&, bool)
{
    return nullptr;
}

void LControl::SortByTabOrder(const RCPtr<LSiblingKeyParam>&, const RCPtrArray<LNotificationClient>&,
                              Array<std::uint32_t>& order)
{
    (void)order.Clear();
}

bool LControl::SetVisible(bool visible)
{
    if (mLayout) {
        mLayout->isVisible = visible;
    }
    return IsVisible(true);
}

bool LControl::IsVisible(bool withParents) const
{
    for (const LControl* control = this; control != nullptr; control = control->mParent.Get()) {
        const bool visible = SettingsOf(control).isVisible && control->mSize.x > 0 && control->mSize.y > 0;
        if (!visible || !withParents) {
            return visible;
        }
    }
    return true;
}

void LControl::SetEnabled(bool) {}

}  // namespace ZV
