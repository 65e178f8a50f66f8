#pragma once

#include "Utilities/Storage/IArray.h"

namespace ZV {

// What the idle step asks of each root window: process its own notification queue with the send-idle value and do
// what else waits for idle time. True while notifications are still queued.
class IIdleProcessor {
public:
    virtual bool OnIdle(bool sendIdle) = 0;

protected:
    ~IIdleProcessor() = default;
};

// The application's idle step on the user-interface thread: the notification centres, the last created first, then
// the root windows from the last to the first, each with the same send-idle value. True when any of them reported
// notifications left over.
bool ProcessIdleNotifications(bool sendIdle, const IArray<IIdleProcessor*>& rootWindows);

}  // namespace ZV
