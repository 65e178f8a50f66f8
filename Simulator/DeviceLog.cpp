#include "Simulator/DeviceLog.h"

#include <stdexcept>

namespace ZV::Simulator {

DeviceLog::DeviceLog(const std::string& path, SimulatorClock::time_point start) : mStart(start)
{
    if (path.empty()) {
        return;
    }
    mFile = std::fopen(path.c_str(), "w");
    if (mFile == nullptr) {
        throw std::invalid_argument("ZV_SIM_LOG is \"" + path + "\"; expected a file that can be written");
    }
}

DeviceLog::~DeviceLog()
{
    if (mFile != nullptr) {
        std::fclose(mFile);
    }
}

void DeviceLog::Received(const MidiBytes& message)
{
    if (IsWriting()) {
        Write("RX", FormatHexBytes(message));
    }
}

void DeviceLog::Sent(const MidiBytes& message)
{
    if (IsWriting()) {
        Write("TX", FormatHexBytes(message));
    }
}

void DeviceLog::State(std::string_view stateName)
{
    Write("STATE", stateName);
}

void DeviceLog::Write(std::string_view kind, std::string_view text)
{
    if (mFile == nullptr) {
        return;
    }
    const long long microseconds =
        std::chrono::duration_cast<std::chrono::microseconds>(SimulatorClock::now() - mStart).count();
    std::fprintf(mFile, "%lld %.*s %.*s\n", microseconds, static_cast<int>(kind.size()), kind.data(),
                 static_cast<int>(text.size()), text.data());
    std::fflush(mFile);
}

}  // namespace ZV::Simulator
