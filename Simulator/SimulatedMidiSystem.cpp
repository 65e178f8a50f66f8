#include "Simulator/SimulatedMidiSystem.h"

#include "Platform/FileSystem.h"

#include <algorithm>

namespace ZV::Simulator {

// Plugs one device into its endpoint.
class SimulatedMidiSystem::DevicePorts final : public DeviceLink {
public:
    DevicePorts(SimulatedMidiSystem& system, std::size_t endpoint) : mSystem(system), mEndpoint(endpoint) {}

    void SendToHost(const MidiBytes& message) override { mSystem.DeliverToHost(mEndpoint, message); }
    void SetPortsPresent(bool present) override { mSystem.SetPresent(mEndpoint, present); }
    void RunAfter(std::chrono::microseconds delay, std::function<void()> task) override
    {
        mSystem.mScheduler.RunAfter(delay, std::move(task));
    }
    std::uint32_t MeetMoment(const Moment& moment, std::vector<std::string>& cueTexts) override
    {
        Moment met = moment;
        met.Device = mEndpoint - 1;
        return mSystem.DoCues(met, cueTexts);
    }
    bool IsReleased(std::uint32_t hold) override { return mSystem.CountReleases() >= hold; }

private:
    SimulatedMidiSystem& mSystem;
    std::size_t mEndpoint;
};

SimulatedMidiSystem::SimulatedMidiSystem(const SimulationSettings& settings) : mSettings(settings)
{
    mEndpoints.reserve(settings.Devices.size() + 1);
    Endpoint& decoy = mEndpoints.emplace_back();
    decoy.Name = DecoyPortName;
    decoy.Present = true;
    decoy.Receive = [this](const Platform::MidiLongMessage& message, SimulatorClock::time_point,
                           SimulatorClock::time_point) {
        MidiBytes bytes;
        bytes.reserve(message.GetSize());
        message.WriteParts([&](const std::uint8_t* part, std::size_t count) {
            bytes.insert(bytes.end(), part, part + count);
            return true;
        });
        DeliverToHost(0, bytes);
    };
    for (const DeviceSettings& deviceSettings : settings.Devices) {
        const std::size_t endpoint = mEndpoints.size();
        Endpoint& deviceEndpoint = mEndpoints.emplace_back();
        deviceEndpoint.Name = deviceSettings.PortName;
        deviceEndpoint.Busy = deviceSettings.Faults.BusyPorts;
        deviceEndpoint.BusyWhenBack = deviceSettings.Faults.BusyAfterRestart;
        mDevicePorts.push_back(std::make_unique<DevicePorts>(*this, endpoint));
        auto device = std::make_unique<SimulatedDisplayDevice>(deviceSettings, *mDevicePorts.back());
        mEndpoints[endpoint].Receive = [device = device.get()](const Platform::MidiLongMessage& message,
                                                               SimulatorClock::time_point start,
                                                               SimulatorClock::time_point end) {
            device->ReceiveFromHost(message, start, end);
        };
        mDevices.push_back(std::move(device));
    }
}

SimulatedMidiSystem::~SimulatedMidiSystem()
{
    mScheduler.Stop();
}

std::vector<PortListing> SimulatedMidiSystem::ListPorts() const
{
    std::lock_guard lock(mMutex);
    std::vector<PortListing> ports;
    for (std::size_t index = 0; index < mEndpoints.size(); ++index) {
        if (mEndpoints[index].Present) {
            ports.push_back({{index, mEndpoints[index].Generation}, mEndpoints[index].Name});
        }
    }
    return ports;
}

bool SimulatedMidiSystem::IsPortPresent(const PortKey& port) const
{
    std::lock_guard lock(mMutex);
    return IsCurrent(port);
}

bool SimulatedMidiSystem::IsPortBusy(const PortKey& port) const
{
    std::lock_guard lock(mMutex);
    return port.Endpoint < mEndpoints.size() && mEndpoints[port.Endpoint].Busy;
}

std::uint64_t SimulatedMidiSystem::ConnectHostInput(const PortKey& port, std::shared_ptr<HostInputSink> sink)
{
    std::lock_guard lock(mMutex);
    if (!IsCurrent(port)) {
        return 0;
    }
    const std::uint64_t connection = mNextConnection++;
    mConnections.emplace(connection, Connection{port, std::move(sink)});
    return connection;
}

void SimulatedMidiSystem::DisconnectHostInput(std::uint64_t connection)
{
    std::shared_ptr<HostInputSink> sink;
    std::lock_guard lock(mMutex);
    const auto found = mConnections.find(connection);
    if (found != mConnections.end()) {
        sink = std::move(found->second.Sink);
        mConnections.erase(found);
    }
}

bool SimulatedMidiSystem::SendFromHost(const PortKey& port, MidiBytes bytes, std::function<void(bool delivered)> onDone)
{
    return SendFromHost(port, Platform::MidiLongMessage::Holding(std::move(bytes)), std::move(onDone));
}

bool SimulatedMidiSystem::SendFromHost(const PortKey& port, Platform::MidiLongMessage message,
                                       std::function<void(bool delivered)> onDone,
                                       std::function<void(std::size_t carried)> onProgress)
{
    SimulatorClock::time_point start;
    SimulatorClock::time_point end;
    std::size_t carried = 0;
    bool stalls = false;
    bool transferNow = false;
    {
        std::lock_guard lock(mMutex);
        if (!IsCurrent(port)) {
            return false;
        }
        if (onDone && mSettings.StuckLongMessages) {
            return true;
        }
        Endpoint& endpoint = mEndpoints[port.Endpoint];
        if (endpoint.Stalled) {
            return true;
        }
        carried = CarryOnCable(endpoint, message.GetSize());
        stalls = endpoint.Stalled;
        const SimulatorClock::time_point now = SimulatorClock::now();
        start = std::max(now, endpoint.CableFreeAt);
        end = start + TransferTime(carried);
        endpoint.CableFreeAt = end;
        // A cable that takes no time has carried the bytes as they are sent. When the simulation has nothing else
        // under way by then, the device takes them at once on this thread, in its turn, and the sender hears of it
        // before the call returns instead of waiting for the scheduler's thread to wake.
        transferNow = !stalls && end <= now && mScheduler.ClaimIdleThrough(end);
    }
    if (onProgress && !transferNow) {
        ReportProgress(port, start, carried, stalls, onProgress);
    }
    if (stalls) {
        // The message never arrives, and its sender never hears that it is done.
        return true;
    }
    auto transfer = [this, port, message = std::move(message), start, end, onDone = std::move(onDone)] {
        bool delivered = false;
        {
            std::lock_guard lock(mMutex);
            delivered = IsCurrent(port);
        }
        if (delivered) {
            mEndpoints[port.Endpoint].Receive(message, start, end);
        }
        if (onDone) {
            onDone(delivered);
        }
    };
    if (!transferNow) {
        mScheduler.RunAt(end, std::move(transfer));
        return true;
    }
    struct TurnEnd {
        Scheduler& scheduler;
        ~TurnEnd() { scheduler.EndClaim(); }
    } turnEnd{mScheduler};
    transfer();
    return true;
}

std::uint32_t SimulatedMidiSystem::DoCues(const Moment& moment, std::vector<std::string>& cueTexts)
{
    std::uint32_t hold = 0;
    for (const Cue& cue : mSettings.Cues) {
        if (!(cue.When == moment)) {
            continue;
        }
        cueTexts.push_back(cue.Text);
        switch (cue.Do) {
        case Cue::Action::PlugIn:
            mDevices.at(cue.Target)->PlugInNow();
            break;
        case Cue::Action::Unplug:
            mDevices.at(cue.Target)->UnplugNow();
            break;
        case Cue::Action::Hold:
            hold = ++mHoldsMade;
            break;
        }
    }
    return hold;
}

std::uint32_t SimulatedMidiSystem::CountReleases() const
{
    // Opened afresh each time and never waited on: the test appends to it, and whatever else stands at its name
    // (a named pipe) releases nothing.
    const int file = Platform::OpenFile(mSettings.ReleasePath.c_str(), Platform::FileOpenOptions{});
    if (file < 0) {
        return 0;
    }
    std::uint32_t lines = 0;
    char buffer[256];
    for (std::int64_t count; (count = Platform::ReadFile(file, buffer, sizeof buffer)) > 0;) {
        lines += static_cast<std::uint32_t>(std::count(buffer, buffer + count, '\n'));
    }
    (void)Platform::CloseFile(file);
    return lines;
}

bool SimulatedMidiSystem::IsCurrent(const PortKey& port) const
{
    return port.Endpoint < mEndpoints.size() && mEndpoints[port.Endpoint].Present &&
           mEndpoints[port.Endpoint].Generation == port.Generation;
}

void SimulatedMidiSystem::SetPresent(std::size_t endpoint, bool present)
{
    std::vector<std::shared_ptr<HostInputSink>> endedSinks;
    std::lock_guard lock(mMutex);
    Endpoint& changed = mEndpoints.at(endpoint);
    if (changed.Present == present) {
        return;
    }
    changed.Present = present;
    if (present) {
        // Present for the first time at generation 0 (plugged in, late or not); any later time it comes back.
        changed.Busy = changed.Busy || (changed.BusyWhenBack && changed.Generation != 0);
        ++changed.Generation;
        return;
    }
    for (auto connection = mConnections.begin(); connection != mConnections.end();) {
        if (connection->second.Port.Endpoint == endpoint) {
            endedSinks.push_back(std::move(connection->second.Sink));
            connection = mConnections.erase(connection);
        } else {
            ++connection;
        }
    }
}

void SimulatedMidiSystem::DeliverToHost(std::size_t endpoint, const MidiBytes& bytes)
{
    std::vector<std::shared_ptr<HostInputSink>> sinks;
    {
        std::lock_guard lock(mMutex);
        for (const auto& [id, connection] : mConnections) {
            if (connection.Port.Endpoint == endpoint && IsCurrent(connection.Port)) {
                sinks.push_back(connection.Sink);
            }
        }
    }
    for (const std::shared_ptr<HostInputSink>& sink : sinks) {
        sink->ReceiveFromDevice(bytes);
    }
}

std::size_t SimulatedMidiSystem::CarryOnCable(Endpoint& endpoint, std::size_t byteCount) const
{
    std::size_t carried = byteCount;
    if (mSettings.StallAfterBytes != 0) {
        const std::uint64_t room = mSettings.StallAfterBytes - std::min<std::uint64_t>(endpoint.BytesCarried,
                                                                                     mSettings.StallAfterBytes);
        if (byteCount > room) {
            carried = static_cast<std::size_t>(room);
            endpoint.Stalled = true;
        }
    }
    endpoint.BytesCarried += carried;
    return carried;
}

void SimulatedMidiSystem::ReportProgress(const PortKey& port, SimulatorClock::time_point start, std::size_t carried,
                                         bool stalls, const std::function<void(std::size_t carried)>& onProgress)
{
    const SimulatorClock::duration duration = TransferTime(carried);
    const auto report = [this, port, onProgress](std::size_t bytes) {
        return [this, port, onProgress, bytes] {
            bool present = false;
            {
                std::lock_guard lock(mMutex);
                present = IsCurrent(port);
            }
            if (present) {
                onProgress(bytes);
            }
        };
    };
    for (std::chrono::milliseconds elapsed = kProgressInterval; elapsed < duration; elapsed += kProgressInterval) {
        const std::uint64_t bytes =
            std::uint64_t{mSettings.BytesPerSecond} * static_cast<std::uint64_t>(elapsed.count()) / 1000;
        mScheduler.RunAt(start + elapsed, report(static_cast<std::size_t>(std::min<std::uint64_t>(bytes, carried))));
    }
    if (stalls && carried != 0) {
        mScheduler.RunAt(start + duration, report(carried));
    }
}

SimulatorClock::duration SimulatedMidiSystem::TransferTime(std::size_t byteCount) const
{
    if (mSettings.BytesPerSecond == 0) {
        return SimulatorClock::duration::zero();
    }
    return std::chrono::duration_cast<SimulatorClock::duration>(
        std::chrono::duration<double>(static_cast<double>(byteCount) / mSettings.BytesPerSecond));
}

}  // namespace ZV::Simulator
