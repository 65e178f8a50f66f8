#pragma once

#include <cstdint>

namespace ZV::Platform {

// The processor time the process has used so far, in user and system mode together, in microseconds.
std::int64_t GetProcessCpuMicroseconds();

}  // namespace ZV::Platform
