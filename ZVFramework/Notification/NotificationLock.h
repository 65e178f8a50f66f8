#pragma once

#include "Threading/Mutex.h"

namespace ZV {

// The process-wide lock of the notification bookkeeping that threads share: additions to the table of interned ids
// (looking an id up needs no lock) and the list of distributors with registrations. It is re-entrant, and no client,
// handler or parameter record is called while it is held.
Mutex& GetNotificationLock();

}  // namespace ZV
