#include "Notification/IdleProcessing.h"

#include "Notification/NotificationCenterManager.h"

namespace ZV {

bool ProcessIdleNotifications(bool sendIdle, const IArray<IIdleProcessor*>& rootWindows)
{
    // Held, so that a client may let the manager go from inside a delivery.
    const RCPtr<LNotificationCenterManager> manager = LNotificationCenterManager::GetInstance();
    bool pending = manager->ProcessNotifications(sendIdle);
    IIdleProcessor* const* windows = rootWindows.GetData();
    for (std::uint32_t index = rootWindows.GetCount(); index-- > 0;) {
        if (windows[index]->OnIdle(sendIdle)) {
            pending = true;
        }
    }
    return pending;
}

}  // namespace ZV
