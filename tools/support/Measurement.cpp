#include "Measurement.h"

#include "Platform/Clock.h"
#include "Platform/DesktopWindows.h"
#include "Platform/EventSource.h"
#include "Platform/ProcessTimes.h"

#include <algorithm>
#include <cstdio>

namespace ZV::Tools {

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double CpuShare(const std::function<void()>& run)
{
    const std::int64_t cpu = Platform::GetProcessCpuMicroseconds();
    const std::int64_t wall = Platform::GetMicrosecondTime();
    run();
    return 100.0 * static_cast<double>(Platform::GetProcessCpuMicroseconds() - cpu) /
           static_cast<double>(Platform::GetMicrosecondTime() - wall);
}

void Report(const char* what, const char* unit, const std::vector<double>& measured,
            const std::vector<double>& baseline)
{
    std::vector<double> ratios;
    for (std::size_t index = 0; index < measured.size(); ++index) {
        ratios.push_back(measured[index] / std::max(baseline[index], 1e-9));
    }
    std::printf("%-40s min %8.3f %s  median %8.3f %s | baseline min %8.3f median %8.3f | ratio min %6.2f median "
                "%6.2f\n",
                what, *std::min_element(measured.begin(), measured.end()), unit, Median(measured), unit,
                *std::min_element(baseline.begin(), baseline.end()), Median(baseline),
                *std::min_element(ratios.begin(), ratios.end()), Median(ratios));
}

bool PumpDesktopUntil(const std::function<bool()>& done, std::uint32_t waitMs)
{
    Platform::IEventSource* desktop = Platform::GetDesktopEventSource();
    const int descriptor = desktop->GetDescriptor();
    const std::uint32_t start = Platform::GetMillisecondTick();
    while (!done()) {
        if (Platform::GetMillisecondTick() - start >= waitMs) {
            return false;
        }
        while (desktop->HasPendingEvent()) {
            (void)desktop->DispatchEvent();
        }
        if (!done()) {
            Platform::WaitForDescriptors(&descriptor, 1, 1);
        }
    }
    return true;
}

void PrintFrameSeenTime()
{
    std::printf("%lld\n", static_cast<long long>(Platform::GetMicrosecondTime()));
}

double MillisecondsToFrameSeen(const std::string& command)
{
    const std::int64_t start = Platform::GetMicrosecondTime();
    FILE* child = popen(command.c_str(), "r");
    if (child == nullptr) {
        return -1.0;
    }
    long long seen = 0;
    const bool read = std::fscanf(child, "%lld", &seen) == 1;
    const int status = pclose(child);
    return read && status == 0 ? static_cast<double>(seen - start) / 1000.0 : -1.0;
}

}  // namespace ZV::Tools
