#include "Notification/NotificationLock.h"

namespace ZV {

Mutex& GetNotificationLock()
{
    static Mutex& lock = MakeProcessWideMutex();
    return lock;
}

}  // namespace ZV
