#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "ObjectBase/ResultCodes.h"

namespace ZV {

class LNotification;
class LNotificationDistributor;

// What a distributor hands notifications to.
class LNotificationReceiver : public virtual LRefCountedObject {
public:
    // The sender is the distributor that delivers, or null when the notification is handed straight to this receiver.
    virtual void ReceiveNotification(const ConstRCPtr<LNotificationDistributor>& sender,
                                     const RCPtr<LNotification>& notification) = 0;
    // Asked by a distributor that lets its clients go; the id is canonical.
    [[nodiscard]] virtual ZVRESULT UnregisterForNotification(const ConstRCPtr<LNotificationDistributor>& distributor,
                                               const wchar_t* id) = 0;
};

}  // namespace ZV
