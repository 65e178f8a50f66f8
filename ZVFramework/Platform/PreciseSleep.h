#pragma once

#include <cstdint>

namespace ZV::Platform {

// Sleeps until the monotonic clock of GetMicrosecondTime reaches the deadline, and returns at once when it has
// passed already. Waking at an absolute time keeps a short pause from growing by the time spent around the call; the
// calling thread's timer slack is cut to a microsecond, and the last stretch before the deadline is spun rather than
// slept, so the pause ends within microseconds of its deadline. How long that stretch is follows how late the
// calling thread's recent wake-ups were, so that it holds on a busy machine too.
void SleepUntilMicroseconds(std::int64_t deadline);

}  // namespace ZV::Platform
