#pragma once

#include <cstdint>

namespace ZV::Platform {

// Milliseconds since an arbitrary start; wraps at 2^32 like the original timer, so callers compare by difference.
std::uint32_t GetMillisecondTick();

// Monotonic time in microseconds, for measuring intervals.
std::int64_t GetMicrosecondTime();

void SleepMilliseconds(std::uint32_t milliseconds);

}  // namespace ZV::Platform
