// Keys: local hot keys, sibling keys and Tab navigation.
#include "ControlBase/Control.h"

#include "ControlBase/AppendItem.h"
#include "ControlBase/ControlServices.h"
#include "ControlBase/KeyParams.h"
#include "Notification/InternTable.h"
#include "Notification/Notification.h"
#include "System/GlobalHotKeyManager.h"

namespace ZV {

namespace {

constexpr const wchar_t* kSiblingKeyId = L"NID_SIBLING_KEY";
constexpr std::uint8_t kTabVirtualKey = 0x09;
constexpr std::uint16_t kTabCharacter = 0x09;

// A Tab key going down, with or without modifiers; a Tab character is none.
bool IsTabPress(const KeyCode& key)
{
    return (key.code & KeyCode::kVirtualKeyMask) != 0 && (key.code & KeyCode::kNoKey) == 0 &&
           (key.code & KeyCode::kKeyDown) != 0 && key.GetVirtualKey() == kTabVirtualKey;
}

// The window's hot keys, then, when the window has none for the key, the application's.
void OfferToGlobalHotKeys(const LControl& control, const KeyCode& key)
{
    const RCPtr<IRootWindow>& window = control.GetRootWindowRef();
    const RCPtr<LGlobalHotKeyManager> windowKeys = window ? window->GetHotKeyManager() : nullptr;
    if (windowKeys && windowKeys->ProcessKey(key) == ZV_S_OK) {
        return;
    }
    if (const RCPtr<LGlobalHotKeyManager> applicationKeys = GetControlServices().GetHotKeyManager()) {
        // A key that is no hot key anywhere ends here.
        (void)applicationKeys->ProcessKey(key);
    }
}

// A Tab that leaves the control: its parent's navigation goes on with it, or at the top the window's.
void PassTabUp(const LControl& control, const RCPtr<LKeyParam>& key)
{
    if (const RCPtr<LControl>& parent = control.GetParent()) {
        parent->ProcessNavigationKey(key);
    } else if (const RCPtr<IRootWindow>& window = control.GetRootWindowRef()) {
        window->MoveFocusOnTab(key);
    }
}

RCPtr<LControl> LastOfRoute(const LKeyParam& key)
{
    const LKeyParam::Route& route = key.GetRoute();
    return route.GetCount() == 0 ? nullptr : route.GetData()[route.GetCount() - 1];
}

}  // namespace

void LControl::OnKey(const RCPtr<LKeyParam>& key)
{
    if (!key || !IsUsable()) {
        return;
    }
    // Hot keys and hooks may let the last reference to the control go.
    const RCPtr<LControl> self(this);
    // The control's own hot keys come first, before the control sees the key.
    const RCPtr<LSiblingKeyParam> offer = LSiblingKeyParam::Create(key->GetKey(), self);
    SendNotificationTo(self, kSiblingKeyId, offer);
    if (!offer->IsPending() || OnKeyDown(key) != ZV_S_FALSE) {
        return;
    }
    const bool tab = IsTabPress(key->GetKey());
    // A container's own children hear its keys as they hear their siblings': its bars and inner panels listen on
    // it, and would hear nothing while the container itself has the focus.
    if (!tab && SendSiblingKey(key) == ZV_S_OK) {
        return;
    }
    AppendItem(key->GetRoute(), self);
    if (!tab) {
        if (mParent) {
            mParent->ProcessHotKey(key);
        } else {
            OfferToGlobalHotKeys(*this, key->GetKey());
        }
    } else if (!mFocus.wantsTab) {
        PassTabUp(*this, key);
    }
}

ZVRESULT LControl::OnKeyDown(const RCPtr<LKeyParam>&)
{
    return ZV_S_FALSE;
}

ZVRESULT LControl::SendSiblingKey(const RCPtr<LKeyParam>& key)
{
    if (!key) {
        return ZV_S_FALSE;
    }
    const RCPtr<LNotificationClientPool> subscribers = FindClientPool(InternString(kSiblingKeyId));
    if (!subscribers || subscribers->GetClientCount() == 0) {
        return ZV_S_FALSE;
    }
    // The children that take sibling keys. A control that has moved to another parent may still be subscribed
    // here; the keys of its old siblings are none of its business.
    RCPtrArray<LControl> children;
    mChildren.TakeSnapshot(children);
    RCPtrArray<LNotificationClient> receivers;
    for (std::uint32_t index = 0; index < children.GetCount(); ++index) {
        const RCPtr<LControl>& child = children.GetData()[index];
        if (subscribers->IndexOfClient(child) >= 0) {
            AppendItem(receivers, child);
        }
    }
    const RCPtr<LControl> from = LastOfRoute(*key);
    const RCPtr<LSiblingKeyParam> offer = LSiblingKeyParam::Create(key->GetKey(), from);
    const RCPtr<LNotification> notification = LNotification::Create(kSiblingKeyId, offer);
    Array<std::uint32_t> order;
    SortByTabOrder(offer, receivers, order);
    const RCPtr<LControl> self(this);
    const ConstRCPtr<LNotificationDistributor> sender(this);
    for (std::uint32_t position = order.GetCount(); position-- > 0;) {
        const RCPtr<LNotificationClient>& receiver = receivers.GetData()[order.GetData()[position]];
        if (receiver.Get() == static_cast<LNotificationClient*>(from.Get())) {
            continue;
        }
        receiver->ReceiveNotification(sender, notification);
        if (!offer->IsPending()) {
            return ZV_S_OK;
        }
    }
    return ZV_S_FALSE;
}

void LControl::ProcessHotKey(const RCPtr<LKeyParam>& key)
{
    if (!key) {
        return;
    }
    const RCPtr<LControl> self(this);
    if (SendSiblingKey(key) == ZV_S_FALSE) {
        OfferToGlobalHotKeys(*this, key->GetKey());
    }
}

void LControl::ProcessNavigationKey(const RCPtr<LKeyParam>& key)
{
    if (!key) {
        return;
    }
    const RCPtr<LControl> self(this);
    const std::uint32_t code = key->GetKey().code;
    const bool backward = (code & KeyCode::kShift) != 0;
    if ((code & KeyCode::kCtrl) != 0) {
        // Ctrl+Tab leaves this container: a plain Tab goes on among its siblings.
        const RCPtr<LKeyParam> plainTab =
            LKeyParam::Create(KeyCode(kTabCharacter, backward ? kModifierShift : 0), false);
        AppendItem(plainTab->GetRoute(), self);
        PassTabUp(*this, plainTab);
        return;
    }
    const bool fromWindow = key->GetFlag();
    const auto leave = [&] {
        AppendItem(key->GetRoute(), self);
        PassTabUp(*this, key);
    };
    const RCPtr<LControl> start = LastOfRoute(*key);
    RCPtr<LControl> from = start;
    RCPtr<LControl> next = GetNextFocusableChild(from, backward);
    // Each step passes a child that takes no focus; after one round of the children every one has been looked at,
    // so the search ends even when none of them can take the focus.
    for (std::uint32_t steps = mChildren.GetCount(); next && next != start && steps > 0; --steps) {
        if (!fromWindow) {
            const std::int32_t fromPosition = mChildren.IndexOf(from.Get(), kTabOrder);
            const std::int32_t nextPosition = mChildren.IndexOf(next.Get(), kTabOrder);
            if (backward ? nextPosition >= fromPosition : nextPosition <= fromPosition) {
                leave();
                return;
            }
        }
        if (next->IsFocusable() || next->CanTakeFocus()) {
            (void)next->SetFocus(!backward);
            return;
        }
        from = next;
        next = GetNextFocusableChild(from, backward);
    }
    // Nothing here takes the focus. A window's key cycles inside the container; one that a control passed on
    // leaves it.
    if (!fromWindow) {
        leave();
    }
}

std::int32_t LControl::OnSiblingKey(const ConstRCPtr<LNotificationDistributor>&,
                                    const RCPtr<LNotification>& notification)
{
    const ConstRCPtr<LSiblingKeyParam> offer(notification ? notification->GetParameter() : nullptr);
    if (!offer || !mLocalHotKeys || !IsUsable()) {
        return 1;
    }
    const WideString id = mLocalHotKeys->FindNotification(offer->GetKey());
    if (!id.IsEmpty()) {
        offer->SetPending(LSiblingKeyParam::kConsumed);
        SendNotificationTo(RCPtr<LNotificationReceiver>(this), id.GetData(), offer);
    }
    return 1;
}

}  // namespace ZV
