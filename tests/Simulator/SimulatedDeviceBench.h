#pragma once

#include "Platform/MidiTestSupport.h"
#include "Simulator/SimulatedMidiSystem.h"

#include <algorithm>
#include <fstream>
#include <sstream>
#include <condition_variable>
#include <future>
#include <mutex>
#include <memory>
#include <string>
#include <vector>

namespace ZV::Testing {

inline const std::string StatusRequest = "F0 47 00 37 07 02 00 00 F7";
inline const std::string VersionRequest = "F0 47 10 33 07 05 00 00 F7";
inline const std::string EnterUpdateModeRequest = "F0 47 00 37 07 00 00 00 F7";
inline const std::string RunningReply = "F0 47 00 37 07 03 00 01 00 F7";
inline const std::string InUpdateModeReply = "F0 47 00 37 07 03 00 01 05 F7";
inline const std::string UpdateDoneReply = "F0 47 00 37 07 03 00 01 07 F7";

// The version reply for a build, its 7-bit groups given by hand.
inline std::string VersionReply(const std::string& buildGroups)
{
    return "F0 47 10 33 07 06 00 13 " + buildGroups + " 00 00 00 00 00 00 00 00 00 00 00 00 00 00 F7";
}

// Talks by hand to the device behind a port of a simulated MIDI system, by the port's name, one message at a time,
// and hears everything the device sends on that port.
class PortBench {
public:
    PortBench(Simulator::SimulatedMidiSystem& system, std::string name) : mSystem(system), mName(std::move(name)) {}
    PortBench(const PortBench&) = delete;
    PortBench& operator=(const PortBench&) = delete;
    ~PortBench() { mSystem.DisconnectHostInput(mConnection); }

    // Takes the port afresh by its name; false when it is not listed now.
    bool Connect()
    {
        mSystem.DisconnectHostInput(mConnection);
        mConnection = 0;
        for (const Simulator::PortListing& port : mSystem.ListPorts()) {
            if (port.Name == mName) {
                mPort = port.Key;
                mConnection = mSystem.ConnectHostInput(port.Key, mHeard);
            }
        }
        return mConnection != 0;
    }

    // Sends a message and waits until it has reached the device. Whatever the device answered has arrived by then:
    // it answers as it takes a message.
    bool Send(const std::string& hex)
    {
        auto done = std::make_shared<std::promise<bool>>();
        std::future<bool> delivered = done->get_future();
        return mSystem.SendFromHost(mPort, ParseHex(hex), [done](bool reached) { done->set_value(reached); }) &&
               delivered.wait_for(kBoundedWait) == std::future_status::ready && delivered.get();
    }

    // The device's answer to a message, "" for none, "not sent" when it could not be sent.
    std::string Ask(const std::string& hex)
    {
        const std::size_t before = Heard().size();
        if (!Send(hex)) {
            return "not sent";
        }
        const std::vector<std::string> heard = Heard();
        return heard.size() > before ? heard[before] : "";
    }

    std::vector<std::string> Heard() const
    {
        std::lock_guard lock(mHeard->Mutex);
        return mHeard->Messages;
    }

    // Waits until the device has sent the message count times.
    bool WaitForSent(const std::string& hex, std::size_t count) const
    {
        std::unique_lock lock(mHeard->Mutex);
        return mHeard->Arrived.wait_for(lock, kBoundedWait, [&] {
            return static_cast<std::size_t>(std::count(mHeard->Messages.begin(), mHeard->Messages.end(), hex)) >= count;
        });
    }

private:
    struct Recorder final : Simulator::HostInputSink {
        void ReceiveFromDevice(const Simulator::MidiBytes& bytes) override
        {
            std::lock_guard lock(Mutex);
            Messages.push_back(ToHex(bytes));
            Arrived.notify_all();
        }

        std::mutex Mutex;
        std::condition_variable Arrived;
        std::vector<std::string> Messages;
    };

    Simulator::SimulatedMidiSystem& mSystem;
    std::string mName;
    std::shared_ptr<Recorder> mHeard = std::make_shared<Recorder>();
    Simulator::PortKey mPort;
    std::uint64_t mConnection = 0;
};

// One simulated device at unlimited cable speed, with a bench on its port.
class SimulatedDeviceBench {
public:
    explicit SimulatedDeviceBench(const Simulator::DeviceSettings& device)
        : mSystem(Settings(device)), mPort(mSystem, device.PortName)
    {
    }

    Simulator::SimulatedMidiSystem& System() { return mSystem; }
    Simulator::SimulatedDisplayDevice& Device() { return mSystem.GetDevice(0); }
    bool Connect() { return mPort.Connect(); }
    bool Send(const std::string& hex) { return mPort.Send(hex); }
    std::string Ask(const std::string& hex) { return mPort.Ask(hex); }

private:
    static Simulator::SimulationSettings Settings(const Simulator::DeviceSettings& device)
    {
        Simulator::SimulationSettings settings = UnlimitedSpeed();
        settings.Devices = {device};
        return settings;
    }

    Simulator::SimulatedMidiSystem mSystem;
    PortBench mPort;
};

// One line of a simulated device's log: "<microseconds> RX|TX|STATE <text>"; -1 for a line without its time.
struct DeviceLogLine {
    long long Microseconds = -1;
    std::string Kind;
    std::string Text;
};

inline std::vector<DeviceLogLine> ReadDeviceLog(const std::string& path)
{
    std::vector<DeviceLogLine> lines;
    std::ifstream file(path);
    for (std::string text; std::getline(file, text);) {
        std::istringstream words(text);
        DeviceLogLine line;
        if (!(words >> line.Microseconds)) {
            line.Microseconds = -1;
            words.clear();
        }
        words >> line.Kind;
        std::getline(words >> std::ws, line.Text);
        lines.push_back(line);
    }
    return lines;
}

// The texts of the log's lines of one kind, in order.
inline std::vector<std::string> TextsOfKind(const std::string& path, const std::string& kind)
{
    std::vector<std::string> texts;
    for (const DeviceLogLine& line : ReadDeviceLog(path)) {
        if (line.Kind == kind) {
            texts.push_back(line.Text);
        }
    }
    return texts;
}

// "<kind> <text>" of every line, or "" when a line lacks its time or the time goes backwards.
inline std::vector<std::string> LogEventsInTimeOrder(const std::vector<DeviceLogLine>& lines)
{
    std::vector<std::string> events;
    long long previous = 0;
    for (const DeviceLogLine& line : lines) {
        events.push_back(line.Microseconds >= previous ? line.Kind + " " + line.Text : "");
        previous = line.Microseconds;
    }
    return events;
}

}  // namespace ZV::Testing
