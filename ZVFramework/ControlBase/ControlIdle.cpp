#include "ControlBase/Control.h"

#include "Notification/InternTable.h"

namespace ZV {

namespace {

constexpr const wchar_t* kIdleId = L"NID_IDLE";

}  // namespace

ZVRESULT LControl::SubscribeToIdle()
{
    const RCPtr<IRootWindow>& rootWindow = GetRootWindowRef();
    if (!rootWindow) {
        // Subscribed once the tree reaches a window.
        return ZV_S_OK;
    }
    return GetNotificationHandler().AddHandler(&LControl::OnIdleNotification, rootWindow->GetNotificationDistributor(),
                                               kIdleId, 0);
}

ZVRESULT LControl::UnsubscribeFromIdle(const ConstRCPtr<LNotificationDistributor>& distributor)
{
    const bool mapped = mHandler && mHandler->EraseHandler(distributor, kIdleId);
    const ZVRESULT result = LNotificationClient::UnregisterForNotification(distributor, InternString(kIdleId));
    return mapped ? result : ZV_E_FAIL;
}

ZVRESULT LControl::BeginIdleNotifications()
{
    if (++mIdleSubscribers > 1) {
        return ZV_S_OK;
    }
    const ZVRESULT subscribed = SubscribeToIdle();
    if (Failed(subscribed)) {
        // So that the next user tries again.
        mIdleSubscribers = 0;
        return subscribed;
    }
    return ZV_S_OK;
}

ZVRESULT LControl::EndIdleNotifications()
{
    // An end without a beginning must not leave a debt that the next beginning would only pay off.
    if (mIdleSubscribers <= 0) {
        return ZV_S_FALSE;
    }
    if (--mIdleSubscribers > 0) {
        return ZV_S_OK;
    }
    const RCPtr<IRootWindow> rootWindow = GetRootWindowRef();
    return rootWindow ? UnsubscribeFromIdle(rootWindow->GetNotificationDistributor()) : ZV_S_OK;
}

std::int32_t LControl::OnIdleNotification(const ConstRCPtr<LNotificationDistributor>&,
                                          const RCPtr<LNotification>& notification)
{
    // What runs here may detach this control and let its last reference go.
    const RCPtr<LControl> self(this);
    StepKineticScroll(0);
    StepKineticScroll(1);
    (void)ProcessScheduledRemovals();
    OnIdle(notification);
    return 0;
}

void LControl::OnIdle(const RCPtr<LNotification>&) {}

}  // namespace ZV
