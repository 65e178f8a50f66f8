#include "Controls/ComboMenu.h"

#include "ControlBase/ConditionMask.h"
#include "Controls/ConditionChange.h"
#include "Controls/PopupMenu.h"
#include "Notification/ConditionsParam.h"

#include <algorithm>

namespace ZV {

ZVRESULT LComboMenu::Initialize()
{
    if (Failed(LDropDownControl::Initialize())) {
        return ZV_E_FAIL;
    }
    mOwnHandler = new LNotificationHandler<LComboMenu>(this);
    const RCPtr<LPopupMenu> popup = GetPopupMenu(*this);
    if (!popup) {
        return ZV_S_OK;
    }
    // Without them the title keeps its look while the popup opens and closes, and an item chosen leaves it open.
    (void)mOwnHandler->AddHandler(&LComboMenu::OnPopupVisibilityChange, popup, L"NID_VISIBLITY_CONDITION_CHANGE", 0);
    (void)mOwnHandler->AddHandler(&LComboMenu::OnPopupItemActivated, popup, L"NID_ITEM_ACTIVATED", 0);
    // The title opens and closes its popup.
    popup->SetTransient(false);
    return ZV_S_OK;
}

ZVRESULT LComboMenu::OnInitialized()
{
    (void)LDropDownControl::OnInitialized();
    const RCPtr<LPopupMenu> popup = GetPopupMenu(*this);
    const RCPtr<LLayoutDescriptor> layout = popup ? popup->GetLayoutDescriptor() : nullptr;
    mPopupOffsetX = layout ? layout->xPosition.abs : 0.0;
    SelectStateLook();
    return ZV_S_OK;
}

bool LComboMenu::IsDropDownOpen()
{
    const RCPtr<LPopupMenu> popup = GetPopupMenu(*this);
    return popup && popup->IsVisible(false);
}

ZVRESULT LComboMenu::ShowDropDown(bool show)
{
    const RCPtr<LPopupMenu> popup = GetPopupMenu(*this);
    if (!popup) {
        return ZV_E_FAIL;
    }
    const RCPtr<LControl> self(this);
    const RCPtr<LLayoutDescriptor> layout = popup->GetLayoutDescriptor();
    if (show && layout) {
        const RCPtr<LControl> top = GetTopControl();
        PointT<double> point{mPopupOffsetX, 0};
        top->MapPointFromControl(*this, point);
        const double room = top->GetSize().x;
        const double width = popup->GetSize().x;
        point.x = std::max(point.x + width > room ? room - width : point.x, 0.0);
        MapPointFromControl(*top, point);
        if (point.x != layout->xPosition.abs) {
            PositionRule position = layout->xPosition;
            position.abs = point.x;
            (void)popup->SetAxisPlacement(0, position, layout->xIsDocked, layout->xSize);
        }
    }
    (void)popup->SetVisible(show);
    if (show) {
        (void)popup->SetFocus(true);
        (void)SelectLook(kOpenLook);
        // A held button goes on as a drag in the popup, so that releasing it over an item chooses the item.
        ForwardPressTo(*popup);
    } else {
        SelectStateLook();
    }
    return ZV_S_OK;
}

void LComboMenu::SelectStateLook()
{
    if (!IsEnabled(true)) {
        (void)SelectLook(kDisabledLook);
    } else if (IsDropDownOpen()) {
        (void)SelectLook(kOpenLook);
    } else {
        (void)SelectLook((GetConditions() & ConditionMask::kHover) != 0 ? kHoverLook : kNormalLook);
    }
}

void LComboMenu::OnConditionsChanged(const RCPtr<LConditionsParam>& conditions)
{
    const RCPtr<LControl> self(this);
    if (conditions && IsEnabled(true) && TurnedOn(*conditions, ConditionMask::kHover)) {
        TakeOverOpenSibling();
    }
    LDropDownControl::OnConditionsChanged(conditions);
}

void LComboMenu::TakeOverOpenSibling()
{
    const RCPtr<LControl> parent = GetParent();
    if (!parent) {
        return;
    }
    const LControl::ChildControlList& siblings = parent->GetChildren();
    for (std::uint32_t index = siblings.GetCount(); index-- > 0;) {
        const RCPtr<LComboMenu> sibling(siblings.GetAt(index, kInsertionOrder));
        if (!sibling || !sibling->IsDropDownOpen()) {
            continue;
        }
        if (sibling.Get() != this) {
            (void)GetPopupMenu(*sibling)->SetVisible(false);
            sibling->SelectStateLook();
            (void)ShowDropDown(true);
        }
        return;
    }
}

std::int32_t LComboMenu::OnPopupVisibilityChange(const ConstRCPtr<LNotificationDistributor>&,
                                                 const RCPtr<LNotification>&)
{
    SelectStateLook();
    return 0;
}

std::int32_t LComboMenu::OnPopupItemActivated(const ConstRCPtr<LNotificationDistributor>&,
                                              const RCPtr<LNotification>&)
{
    if (const RCPtr<LPopupMenu> popup = GetPopupMenu(*this)) {
        (void)popup->SetVisible(false);
    }
    SelectStateLook();
    return 1;
}

bool LComboMenu::OfferToNotificationHandlers(const ConstRCPtr<LNotificationDistributor>& sender,
                                             const RCPtr<LNotification>& notification)
{
    return OfferToHandler(mOwnHandler, sender, notification) ||
           LDropDownControl::OfferToNotificationHandlers(sender, notification);
}

void LComboMenu::EraseNotificationBindings(const ConstRCPtr<LNotificationDistributor>& distributor,
                                           const wchar_t* id)
{
    EraseFromHandler(mOwnHandler, distributor, id);
    LDropDownControl::EraseNotificationBindings(distributor, id);
}

}  // namespace ZV
