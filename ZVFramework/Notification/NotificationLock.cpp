#include "Notification/NotificationLock.h"

namespace ZV {

Mutex& GetNotificationLock()
{
    // Never destroyed: threads that outlive main still take it.
    static Mutex& lock = *new Mutex;
    return lock;
}

}  // namespace ZV
