#include "Platform/Clock.h"

#include <gtest/gtest.h>

namespace ZV::Platform {
namespace {

TEST(Clock, MillisecondTickAndMicrosecondTimeAdvanceTogether)
{
    const std::uint32_t tickBefore = GetMillisecondTick();
    const std::int64_t microsecondsBefore = GetMicrosecondTime();
    SleepMilliseconds(20);
    const std::uint32_t elapsedTicks = GetMillisecondTick() - tickBefore;
    const std::int64_t elapsedMicroseconds = GetMicrosecondTime() - microsecondsBefore;
    EXPECT_GE(elapsedTicks, 19u) << "the sleep lasts at least as long as asked";
    EXPECT_GE(elapsedMicroseconds, 19000);
    EXPECT_LE(static_cast<std::int64_t>(elapsedTicks), elapsedMicroseconds / 1000 + 1);
}

}  // namespace
}  // namespace ZV::Platform
