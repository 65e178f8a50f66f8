#pragma once

#include "Platform/MidiLongMessage.h"
#include "Simulator/Scheduler.h"
#include "Simulator/SimulatedDisplayDevice.h"
#include "Simulator/SimulationSettings.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace ZV::Simulator {

// One port of the simulated system, as one listing saw it. A device that leaves and comes back gets new
// ports: keys of its earlier ports stay dead.
struct PortKey {
    std::size_t Endpoint = 0;
    std::uint64_t Generation = 0;
};

struct PortListing {
    PortKey Key;
    std::string Name;
};

// Where the computer receives what a port's device sends.
class HostInputSink {
public:
    virtual void ReceiveFromDevice(const MidiBytes& bytes) = 0;

protected:
    ~HostInputSink() = default;
};

// The MIDI system of a computer with the simulated devices plugged in: a decoy ("Midi Through Port-0", which
// sends back whatever it receives) first, then each device. Every endpoint offers one input and one output
// port under one name. Bytes from the computer travel at the configured byte rate, one message after another
// per port. Devices, transfers and deliveries to the computer all run one at a time under the system's scheduler:
// on its thread, or on a sender's thread for a transfer that is due at once (see SendFromHost). So the system
// must not be destroyed from one of its own callbacks.
class SimulatedMidiSystem {
public:
    explicit SimulatedMidiSystem(const SimulationSettings& settings);
    SimulatedMidiSystem(const SimulatedMidiSystem&) = delete;
    SimulatedMidiSystem& operator=(const SimulatedMidiSystem&) = delete;
    ~SimulatedMidiSystem();

    static constexpr const char* DecoyPortName = "Midi Through Port-0";

    // The endpoints present now, in order; each stands for an input and an output port.
    std::vector<PortListing> ListPorts() const;

    bool IsPortPresent(const PortKey& port) const;
    // Another program holds the port open (the busy-port fault).
    bool IsPortBusy(const PortKey& port) const;

    // Registers a receiver of the port's input; 0 when the port is gone. A connection ends when the port goes.
    std::uint64_t ConnectHostInput(const PortKey& port, std::shared_ptr<HostInputSink> sink);
    void DisconnectHostInput(std::uint64_t connection);

    // Queues a message on the port's cable, which reads its bytes where they lie; false when the port is gone. onDone,
    // when given, runs once the last byte has reached the device and the device has taken it (true), or was lost
    // because the port went away (false). When the cable takes no time and nothing else of the simulation is under way,
    // the transfer happens on the calling thread, before SendFromHost returns: the device's answers and onDone then run
    // there too. onProgress, when given, hears every kProgressInterval of a transfer how many of its bytes the cable
    // has carried so far.
    bool SendFromHost(const PortKey& port, Platform::MidiLongMessage message,
                      std::function<void(bool delivered)> onDone,
                      std::function<void(std::size_t carried)> onProgress = {});
    bool SendFromHost(const PortKey& port, MidiBytes bytes, std::function<void(bool delivered)> onDone);

    static constexpr std::chrono::milliseconds kProgressInterval{100};

    std::size_t GetDeviceCount() const { return mDevices.size(); }
    SimulatedDisplayDevice& GetDevice(std::size_t index) { return *mDevices.at(index); }

private:
    class DevicePorts;

    struct Endpoint {
        std::string Name;
        bool Present = false;
        bool Busy = false;
        // Busy from the first time it comes back present.
        bool BusyWhenBack = false;
        std::uint64_t Generation = 0;
        SimulatorClock::time_point CableFreeAt;
        // Bytes the cable has carried or is carrying; once it has stalled it takes messages and carries nothing.
        std::uint64_t BytesCarried = 0;
        bool Stalled = false;
        std::function<void(const Platform::MidiLongMessage&, SimulatorClock::time_point, SimulatorClock::time_point)>
            Receive;
    };

    struct Connection {
        PortKey Port;
        std::shared_ptr<HostInputSink> Sink;
    };

    bool IsCurrent(const PortKey& port) const;
    // Does the cues at the moment, in the simulation's turn: the texts of those done, and the hold one put the device
    // in (0 for none).
    std::uint32_t DoCues(const Moment& moment, std::vector<std::string>& cueTexts);
    // How many holds the release file lets go.
    std::uint32_t CountReleases() const;
    void SetPresent(std::size_t endpoint, bool present);
    void DeliverToHost(std::size_t endpoint, const MidiBytes& bytes);
    SimulatorClock::duration TransferTime(std::size_t byteCount) const;
    // How many of the message's bytes the cable carries before it stalls: all of them, unless it stalls on the way.
    std::size_t CarryOnCable(Endpoint& endpoint, std::size_t byteCount) const;
    // Tells onProgress how far the transfer of carried bytes that begins at start has come, every kProgressInterval
    // while the port lasts, and once more at its end when the cable stalls there.
    void ReportProgress(const PortKey& port, SimulatorClock::time_point start, std::size_t carried, bool stalls,
                        const std::function<void(std::size_t carried)>& onProgress);

    const SimulationSettings mSettings;
    mutable std::mutex mMutex;
    std::vector<Endpoint> mEndpoints;
    std::map<std::uint64_t, Connection> mConnections;
    std::uint64_t mNextConnection = 1;
    std::vector<std::unique_ptr<DevicePorts>> mDevicePorts;
    std::vector<std::unique_ptr<SimulatedDisplayDevice>> mDevices;
    // Holds that cues made, in the simulation's turn alone.
    std::uint32_t mHoldsMade = 0;
    Scheduler mScheduler;
};

}  // namespace ZV::Simulator
