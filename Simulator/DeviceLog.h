#pragma once

#include "Simulator/Scheduler.h"
#include "Simulator/SimulationSettings.h"

#include <string>
#include <string_view>

namespace ZV::Simulator {

// The device's log: one line per event, written at once so that a reader sees it while the device runs.
//     <microseconds since the device started> RX <bytes in upper-case hex, separated by single spaces>
//     <microseconds> TX <bytes>
//     <microseconds> STATE normal|update|restarting|absent|done
//     <microseconds> CUE <the cue as written>
//     <microseconds> HOLD <number of the hold>, and RELEASE <number> once the test released it
class DeviceLog {
public:
    // An empty path writes nothing. Throws std::invalid_argument when the file cannot be made or written, or lies
    // behind a folder or link that another user controls (see Platform/CheckedFolder.h).
    DeviceLog(const std::string& path, SimulatorClock::time_point start);
    DeviceLog(const DeviceLog&) = delete;
    DeviceLog& operator=(const DeviceLog&) = delete;
    ~DeviceLog();

    // Whether lines go anywhere: without a file the messages are not even formatted.
    bool IsWriting() const { return mDescriptor >= 0; }

    void Received(const MidiBytes& message);
    void Sent(const MidiBytes& message);
    void State(std::string_view stateName);
    // A line of a kind of its own, such as CUE.
    void Mark(std::string_view kind, std::string_view text);

private:
    void Write(std::string_view kind, std::string_view text);

    int mDescriptor = -1;
    SimulatorClock::time_point mStart;
};

}  // namespace ZV::Simulator
