#include "Platform/PreciseSleep.h"

#include "Platform/Clock.h"
#include "Platform/ThreadingServices.h"

#include <algorithm>
#include <cerrno>
#include <sys/prctl.h>
#include <time.h>

namespace ZV::Platform {

namespace {

constexpr unsigned long kTimerSlackNanoseconds = 1000;
// The system wakes a sleeper late, by tens of microseconds on a quiet machine and by hundreds on a busy one: the
// sleep ends early by a margin learnt from the thread's own wake-ups, and the thread spins the rest of the way.
constexpr std::int64_t kFirstMarginMicroseconds = 100;
constexpr std::int64_t kLeastMarginMicroseconds = 20;
// Half a millisecond at most: a pause of a millisecond still sleeps, and so keeps learning.
constexpr std::int64_t kMostMarginMicroseconds = 500;
// Lateness varies from one wake-up to the next; the margin keeps this much over the lateness seen.
constexpr std::int64_t kMarginOverLatenessMicroseconds = 30;
// A margin follows a late wake-up at once and eases back over this many punctual ones, so that one quiet moment on
// a busy machine does not shrink it.
constexpr std::int64_t kMarginEasing = 64;

struct WakeUpMargin {
    bool slackCut = false;
    std::int64_t microseconds = kFirstMarginMicroseconds;

    void Learn(std::int64_t lateness)
    {
        const std::int64_t wanted =
            std::clamp(lateness + kMarginOverLatenessMicroseconds, kLeastMarginMicroseconds, kMostMarginMicroseconds);
        if (wanted > microseconds) {
            microseconds = wanted;
        } else {
            microseconds -= (microseconds - wanted) / kMarginEasing;
        }
    }
};

WakeUpMargin& ThisThreadsMargin()
{
    thread_local WakeUpMargin margin;
    if (!margin.slackCut) {
        prctl(PR_SET_TIMERSLACK, kTimerSlackNanoseconds, 0, 0, 0);
        margin.slackCut = true;
    }
    return margin;
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
    WakeUpMargin& margin = ThisThreadsMargin();
    if (!SpinningCanHelp()) {
        SleepUntil(deadline);
        return;
    }
    const std::int64_t wakeUp = deadline - margin.microseconds;
    if (wakeUp > GetMicrosecondTime()) {
        SleepUntil(wakeUp);
        margin.Learn(GetMicrosecondTime() - wakeUp);
    }
    while (GetMicrosecondTime() < deadline) {
        PauseWhileSpinning();
    }
}

}  // namespace ZV::Platform
