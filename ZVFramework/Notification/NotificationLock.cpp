#include "Notification/NotificationLock.h"

namespace ZV {

Mutex& GetNotificationLock()
{
    static Mutex lock;
    return lock;
}

}  // namespace ZV
