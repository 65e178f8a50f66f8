#include "Platform/PreciseSleep.h"

#include "Platform/Clock.h"
#include "Platform/ThreadingServices.h"

#include <cerrno>
#include <sys/prctl.h>
#include <time.h>

namespace ZV::Platform {

namespace {

constexpr unsigned long kTimerSlackNanoseconds = 1000;
// The system wakes a sleeper tens of microseconds late, more on a busy machine: the sleep ends this much before the
// deadline and the thread spins the rest of the way.
constexpr std::int64_t kSpunMicroseconds = 100;

void CutTimerSlackOnce()
{
    thread_local bool cut = false;
    if (!cut) {
        prctl(PR_SET_TIMERSLACK, kTimerSlackNanoseconds, 0, 0, 0);
        cut = true;
    }
}

void SleepUntil(std::int64_t wakeUpMicroseconds)
{
    const timespec wakeUp{static_cast<time_t>(wakeUpMicroseconds / 1'000'000),
                          static_cast<long>(wakeUpMicroseconds % 1'000'000) * 1000};
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &wakeUp, nullptr) == EINTR) {
    }
}

}  // namespace

void SleepUntilMicroseconds(std::int64_t deadline)
{
    CutTimerSlackOnce();
    if (!SpinningCanHelp()) {
        SleepUntil(deadline);
        return;
    }
    SleepUntil(deadline - kSpunMicroseconds);
    while (GetMicrosecondTime() < deadline) {
        PauseWhileSpinning();
    }
}

}  // namespace ZV::Platform
