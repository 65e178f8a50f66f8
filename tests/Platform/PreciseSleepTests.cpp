#include "Platform/Clock.h"
#include "Platform/PreciseSleep.h"

#include <gtest/gtest.h>

namespace ZV::Platform {
namespace {

TEST(PreciseSleep, WakesNoEarlierThanTheDeadlineAndAtOnceForOneThatPassed)
{
    for (int round = 0; round < 20; ++round) {
        const std::int64_t deadline = GetMicrosecondTime() + 1000;
        SleepUntilMicroseconds(deadline);
        EXPECT_GE(GetMicrosecondTime(), deadline) << "a pause between image messages must last its full millisecond";
    }
    const std::int64_t before = GetMicrosecondTime();
    SleepUntilMicroseconds(before - 5'000'000);
    EXPECT_LT(GetMicrosecondTime() - before, 1'000'000) << "a deadline in the past does not wait";
}

}  // namespace
}  // namespace ZV::Platform
