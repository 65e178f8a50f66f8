#include "Platform/ProcessTimes.h"

#include <sys/resource.h>

namespace ZV::Platform {

std::int64_t GetProcessCpuMicroseconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto microseconds = [](const timeval& time) {
        return static_cast<std::int64_t>(time.tv_sec) * 1000000 + time.tv_usec;
    };
    return microseconds(usage.ru_utime) + microseconds(usage.ru_stime);
}

}  // namespace ZV::Platform
