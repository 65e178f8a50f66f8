#pragma once

#include "Notification/Notification.h"
#include "Notification/NotificationDistributor.h"

namespace ZV {

// Makes a notification of the id with the parameter and hands it at once to the distributor's clients of that id.
inline void SendNewNotification(const LNotificationDistributor& distributor, const wchar_t* id,
                                const ConstRCPtr<LRefCountedObject>& parameter)
{
    if (const RCPtr<LNotification> notification = LNotification::Create(id, parameter)) {
        // A notification that nobody listens to is no failure.
        (void)distributor.SendNotification(notification);
    }
}

}  // namespace ZV
