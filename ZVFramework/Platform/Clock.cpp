#include "Platform/Clock.h"

#include <time.h>

namespace ZV::Platform {

namespace {
std::int64_t MonotonicNanoseconds()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}
}  // namespace

std::uint32_t GetMillisecondTick()
{
    return static_cast<std::uint32_t>(MonotonicNanoseconds() / 1'000'000);
}

std::int64_t GetMicrosecondTime()
{
    return MonotonicNanoseconds() / 1'000;
}

void SleepMilliseconds(std::uint32_t milliseconds)
{
    timespec remaining{static_cast<time_t>(milliseconds / 1000), static_cast<long>(milliseconds % 1000) * 1'000'000};
    while (nanosleep(&remaining, &remaining) != 0) {
    }
}

}  // namespace ZV::Platform
