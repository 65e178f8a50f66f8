#pragma once

#include "Platform/MidiTestSupport.h"
#include "Simulator/SimulatedMidiSystem.h"

#include <algorithm>
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
               delivered.wait_for(EventTimeout) == std::future_status::ready && delivered.get();
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
        return mHeard->Arrived.wait_for(lock, EventTimeout, [&] {
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
        Simulator::SimulationSettings settings;
        settings.Devices = {device};
        settings.BytesPerSecond = 0;
        return settings;
    }

    Simulator::SimulatedMidiSystem mSystem;
    PortBench mPort;
};

// The log's lines without their time stamps; false in `wellFormed` when a line is not in the log's form or
// time goes backwards.
inline std::vector<std::string> ReadLogEvents(const std::filesystem::path& path, bool& wellFormed,
                                              std::vector<long long>* times = nullptr)
{
    std::vector<std::string> events;
    wellFormed = true;
    long long previous = 0;
    for (const std::string& line : ReadLines(path)) {
        const std::size_t space = line.find(' ');
        const std::string time = line.substr(0, space);
        const bool timeIsNumber = !time.empty() && time.find_first_not_of("0123456789") == std::string::npos;
        const long long microseconds = timeIsNumber ? std::stoll(time) : -1;
        wellFormed = wellFormed && space != std::string::npos && microseconds >= previous;
        previous = microseconds;
        if (times != nullptr) {
            times->push_back(microseconds);
        }
        events.push_back(space == std::string::npos ? line : line.substr(space + 1));
    }
    return events;
}

}  // namespace ZV::Testing
