#pragma once

#include <cstdint>

namespace ZV::Platform {

// Sleeps until the monotonic clock of GetMicrosecondTime reaches the deadline, and returns at once when it has
// passed already. Waking at an absolute time keeps a short pause from growing by the time spent around the call,
// and the calling thread's timer slack is cut to a microsecond, so the overshoot stays in the tens of microseconds.
void SleepUntilMicroseconds(std::int64_t deadline);

}  // namespace ZV::Platform
