#pragma once

#include "Platform/MidiTestSupport.h"
#include "Platform/SimulatedMidiDriver.h"
#include "Simulator/SimulatedMidiSystem.h"

#include <algorithm>
#include <memory>
#include <string>

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

// One simulated device at unlimited cable speed, talked to by hand through the simulated driver, as the
// program talks to it: by port name, one request at a time.
class SimulatedDeviceBench {
public:
    explicit SimulatedDeviceBench(const Simulator::DeviceSettings& device)
    {
        Simulator::SimulationSettings settings;
        settings.Devices = {device};
        settings.BytesPerSecond = 0;
        mSystem = std::make_shared<Simulator::SimulatedMidiSystem>(settings);
        mDriver = std::make_unique<Platform::SimulatedMidiDriver>(mSystem);
    }

    Simulator::SimulatedDisplayDevice& Device() { return mSystem->GetDevice(0); }
    Platform::MidiDriver& Driver() { return *mDriver; }

    // Opens the device's ports afresh by name; false when they are not listed now.
    bool Connect()
    {
        mInput.reset();
        mOutput.reset();
        const std::string& name = Device().GetPortName();
        const std::vector<std::string> inputs = mDriver->ListInputDevices();
        const std::vector<std::string> outputs = mDriver->ListOutputDevices();
        const auto input = std::find(inputs.begin(), inputs.end(), name);
        const auto output = std::find(outputs.begin(), outputs.end(), name);
        if (input == inputs.end() || output == outputs.end()) {
            return false;
        }
        mInput = mDriver->OpenInput(static_cast<std::size_t>(input - inputs.begin()), mClient);
        mOutput = mDriver->OpenOutput(static_cast<std::size_t>(output - outputs.begin()), mClient);
        return mInput && mOutput && mClient.GiveBuffersTo(*mInput) && mInput->Start();
    }

    // Sends a message and waits until it has reached the device. Whatever the device answered has arrived by
    // then: it answers as it takes a message, before the driver reports the message done.
    bool Send(const std::string& hex)
    {
        const Bytes message = ParseHex(hex);
        if (!mOutput->SendLongMessage(message.data(), message.size(), ++mSent)) {
            --mSent;
            return false;
        }
        return mClient.WaitForDones(mSent) && mClient.Dones().back().Delivered;
    }

    // The device's answer to a message, "" for none, "not sent" when it could not be sent.
    std::string Ask(const std::string& hex)
    {
        const std::size_t before = mClient.Messages().size();
        if (!Send(hex)) {
            return "not sent";
        }
        const std::vector<std::string> messages = mClient.MessagesInHex();
        return messages.size() > before ? messages[before] : "";
    }

private:
    std::shared_ptr<Simulator::SimulatedMidiSystem> mSystem;
    std::unique_ptr<Platform::SimulatedMidiDriver> mDriver;
    RecordingMidiClient mClient;
    std::unique_ptr<Platform::MidiInput> mInput;
    std::unique_ptr<Platform::MidiOutput> mOutput;
    std::uint64_t mSent = 0;
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
