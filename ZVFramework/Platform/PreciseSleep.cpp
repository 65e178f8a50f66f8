#include "Platform/PreciseSleep.h"

#include <cerrno>
#include <sys/prctl.h>
#include <time.h>

namespace ZV::Platform {

namespace {

constexpr unsigned long kTimerSlackNanoseconds = 1000;

void CutTimerSlackOnce()
{
    thread_local bool cut = false;
    if (!cut) {
        prctl(PR_SET_TIMERSLACK, kTimerSlackNanoseconds, 0, 0, 0);
        cut = true;
    }
}

}  // namespace

void SleepUntilMicroseconds(std::int64_t deadline)
{
    CutTimerSlackOnce();
    const timespec wakeUp{static_cast<time_t>(deadline / 1'000'000), static_cast<long>(deadline % 1'000'000) * 1000};
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &wakeUp, nullptr) == EINTR) {
    }
}

}  // namespace ZV::Platform
