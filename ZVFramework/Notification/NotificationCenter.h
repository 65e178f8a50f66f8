#pragma once

#include "Notification/NotificationDistributor.h"
#include "Notification/NotificationQueue.h"
#include "Utilities/Storage/StringT.h"

namespace ZV {

// A named distributor with its own queue, which delivers through it: what is posted to the centre from any thread
// reaches the centre's clients on the user-interface thread.
//
// The queue's reference to its own distributor is counted as internal, as is its posting receiver's reference
// back: when the centre's owners let it go, it unregisters its clients, drains its queue and breaks both cycles.
class LNotificationCenter : public LNotificationDistributor, public LNotificationQueue {
public:
    explicit LNotificationCenter(const WideString& name);
    ~LNotificationCenter() override;

    const WideString& GetName() const { return mName; }

    // 0 when nothing but the reference being released is left, else 0x80004005.
    [[nodiscard]] ZVRESULT ReleaseInternalReferences() override;

private:
    WideString mName;
};

}  // namespace ZV
