#pragma once

#include <cstdint>
#include <fstream>
#include <string>

namespace bench {

// A line of /proc/self/status or /proc/self/io ("VmHWM:", "rchar:"), as a number; 0 when it is not there.
inline std::uint64_t ProcessFigure(const char* file, const std::string& name)
{
    std::ifstream figures(file);
    std::string line;
    while (std::getline(figures, line)) {
        if (line.starts_with(name)) {
            return std::stoull(line.substr(name.size()));
        }
    }
    return 0;
}

// Makes the peak resident memory start again from what is resident now.
inline void ResetPeakMemory()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

}  // namespace bench
