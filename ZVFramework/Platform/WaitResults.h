#pragma once

#include <cstdint>

// The values that waits on events and threads take and give back; callers store and compare them as they are.
namespace ZV::Platform {

inline constexpr std::uint32_t kWaitInfinite = 0xFFFFFFFF;
inline constexpr std::uint32_t kWaitSignalled = 0;
inline constexpr std::uint32_t kWaitAbandoned = 128;
inline constexpr std::uint32_t kWaitTimedOut = 258;
inline constexpr std::uint32_t kWaitFailed = 0xFFFFFFFF;
inline constexpr std::uint32_t kMaximumWaitEvents = 64;

}  // namespace ZV::Platform
