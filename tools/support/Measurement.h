#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace ZV::Tools {

double Median(std::vector<double> values);

// Processor time of this process as a share of one core, in percent, over the run.
double CpuShare(const std::function<void()>& run);

// Prints min and median of the measured runs and of their baseline, and of the ratios of the runs side by side.
void Report(const char* what, const char* unit, const std::vector<double>& measured,
            const std::vector<double>& baseline);

// Handles the desktop's events until the condition holds or the wait ends; false when it ended first.
bool PumpDesktopUntil(const std::function<bool()>& done, std::uint32_t waitMs);

// What a timed child process prints once it saw its frame: the monotonic time, in microseconds.
void PrintFrameSeenTime();

// Milliseconds from starting the shell command to the time it printed with PrintFrameSeenTime; negative when it
// printed none or failed.
double MillisecondsToFrameSeen(const std::string& command);

}  // namespace ZV::Tools
