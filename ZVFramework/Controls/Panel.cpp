#include "Controls/Panel.h"

#include "ControlBase/AppendItem.h"
#include "ControlBase/KeyParams.h"
#include "Notification/Notification.h"
#include "ObjectBase/Exception.h"

namespace ZV {

ZVRESULT LPanel::Initialize()
{
    const ZVRESULT result = LScrollView::Initialize();
    if (Failed(result) || !GetParent()) {
        return result;
    }
    if (!mHandler) {
        mHandler = new LNotificationHandler<LPanel>(this);
    }
    ZV_THROW_IF_FAILED(mHandler->AddHandler(&LPanel::OnParentSiblingKey, GetParent(), L"NID_SIBLING_KEY", 0));
    return ZV_S_OK;
}

void LPanel::OnParentChanged()
{
    LScrollView::OnParentChanged();
    if (!mHandler) {
        mHandler = new LNotificationHandler<LPanel>(this);
    }
    // A panel that does not hear them leaves its children's hot keys deaf; nothing reports it.
    (void)mHandler->AddHandler(&LPanel::OnParentSiblingKey, GetParent(), L"NID_SIBLING_KEY", 0);
}

ZVRESULT LPanel::OnInitialized()
{
    // Looks start without weight, and a panel has no state to choose one by: without a weighted look neither it
    // nor its children would show, and the pointer would reach none of them.
    if (GetLookCount() > 0) {
        (void)SelectLook(0);
    }
    return LScrollView::OnInitialized();
}

std::int32_t LPanel::OnParentSiblingKey(const ConstRCPtr<LNotificationDistributor>&,
                                        const RCPtr<LNotification>& notification)
{
    const ConstRCPtr<LSiblingKeyParam> offer(notification->GetParameter());
    if (offer && SendSiblingKey(LKeyParam::Create(offer->GetKey(), false)) == ZV_S_OK) {
        offer->SetPending(LSiblingKeyParam::kConsumed);
    }
    return 1;
}

void LPanel::ProcessHotKey(const RCPtr<LKeyParam>& key)
{
    if (!key) {
        return;
    }
    const RCPtr<LControl> self(this);
    const RCPtr<LControl> parent = GetParent();
    if (!parent) {
        // At the top the panel's children, then the window's and the application's hot keys, as for any control.
        LScrollView::ProcessHotKey(key);
        return;
    }
    if (SendSiblingKey(key) == ZV_S_FALSE) {
        AppendItem(key->GetRoute(), self);
        parent->ProcessHotKey(key);
    }
}

RCPtr<LControl> LPanel::GetNextFocusableChild(const RCPtr<LControl>& from, bool backward)
{
    RCPtr<LControl> next = LScrollView::GetNextFocusableChild(from, backward);
    if (!next || !GetParent()) {
        return next;
    }
    const std::int32_t fromPosition = IndexOfChild(from.Get(), kTabOrder);
    const std::int32_t nextPosition = IndexOfChild(next.Get(), kTabOrder);
    const bool onwards = backward ? nextPosition < fromPosition : nextPosition > fromPosition;
    return onwards ? next : nullptr;
}

void LPanel::ProcessNavigationKey(const RCPtr<LKeyParam>& key)
{
    if (!key) {
        return;
    }
    const std::uint32_t code = key->GetKey().code;
    if ((code & KeyCode::kCtrl) != 0) {
        // Past the panel's children at once: a plain Tab goes on among the panel's siblings.
        LScrollView::ProcessNavigationKey(key);
        return;
    }
    const RCPtr<LControl> self(this);
    const bool backward = (code & KeyCode::kShift) != 0;
    const LKeyParam::Route& route = key->GetRoute();
    const RCPtr<LControl> start = route.GetCount() == 0 ? nullptr : route.GetData()[route.GetCount() - 1];
    RCPtr<LControl> candidate = GetNextFocusableChild(start, backward);
    // One round of the children looks at each of them: the search ends even when the control the key came from is
    // not met again, as when it has left the panel.
    for (std::uint32_t steps = GetChildren().GetCount(); candidate && candidate != start && steps > 0; --steps) {
        if (candidate->IsFocusable() || candidate->CanTakeFocus()) {
            (void)candidate->SetFocus(!backward);
            return;
        }
        candidate = GetNextFocusableChild(candidate, backward);
    }
    if (const RCPtr<LControl> parent = GetParent()) {
        AppendItem(key->GetRoute(), self);
        parent->ProcessNavigationKey(key);
    }
}

bool LPanel::OfferToNotificationHandlers(const ConstRCPtr<LNotificationDistributor>& sender,
                                         const RCPtr<LNotification>& notification)
{
    return OfferToHandler(mHandler, sender, notification) ||
           LScrollView::OfferToNotificationHandlers(sender, notification);
}

void LPanel::EraseNotificationBindings(const ConstRCPtr<LNotificationDistributor>& distributor, const wchar_t* id)
{
    EraseFromHandler(mHandler, distributor, id);
    LScrollView::EraseNotificationBindings(distributor, id);
}

}  // namespace ZV
