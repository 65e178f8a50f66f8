#pragma once

#include "Engine/DeviceMessages.h"
#include "Engine/UpdateEngine.h"
#include "Engine/UpdateNotificationData.h"
#include "Engine/UpdateProcessor.h"
#include "Midi/MidiComm.h"
#include "Notification/Notification.h"
#include "Notification/NotificationCenterManager.h"
#include "Notification/NotificationClient.h"
#include "Simulator/SimulatedMidiDriver.h"
#include "Simulator/SimulatedDeviceBench.h"
#include "TestFiles.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace ZV::Testing {

using namespace std::chrono_literals;

// A device with short delays, so that the tests wait for the engine rather than for the device.
inline Simulator::DeviceSettings QuickDevice(Simulator::DeviceStart start, const std::string& logPath)
{
    Simulator::DeviceSettings device;
    device.Start = start;
    device.RestartTime = 50ms;
    device.FlashTime = 150ms;
    device.LogPath = logPath;
    return device;
}

// A simulated MIDI system with its devices; the engine talks to them through real MIDI objects over its driver.
class SimulatedMidiRig {
public:
    // With cues (as ZV_SIM_CUES writes them) the devices' moments plug, unplug or hold devices; the file's lines
    // release the holds.
    explicit SimulatedMidiRig(std::vector<Simulator::DeviceSettings> devices, std::uint32_t bytesPerSecond = 0,
                              const std::string& cues = "", const std::string& releasePath = "")
    {
        Simulator::SimulationSettings settings;
        settings.Cues = Simulator::ParseCues(cues, devices.size());
        settings.ReleasePath = releasePath;
        settings.Devices = std::move(devices);
        settings.BytesPerSecond = bytesPerSecond;
        mSystem = std::make_shared<Simulator::SimulatedMidiSystem>(settings);
        mDriver = std::make_shared<Simulator::SimulatedMidiDriver>(mSystem);
    }

    MidiCommFactory Factory() const
    {
        const std::shared_ptr<Platform::MidiDriver> driver = mDriver;
        return [driver] { return RCPtr<LMidiCommInterface>(LMidiComm::Create(driver)); };
    }

    Simulator::SimulatedMidiSystem& System() { return *mSystem; }
    std::shared_ptr<Simulator::SimulatedMidiSystem> SharedSystem() const { return mSystem; }
    Simulator::SimulatedDisplayDevice& Device(std::size_t index = 0) { return mSystem->GetDevice(index); }

private:
    std::shared_ptr<Simulator::SimulatedMidiSystem> mSystem;
    std::shared_ptr<Simulator::SimulatedMidiDriver> mDriver;
};

// As another program would: sends the enter-update-mode request to the device at the place (0 the first) among those
// named "Halvista Left".
inline void SendIntoUpdateMode(SimulatedMidiRig& rig, std::uint32_t place)
{
    const RCPtr<LMidiCommInterface> midi = rig.Factory()();
    RCPtr<LMidiRenderPort> port;
    ASSERT_EQ(midi->OpenRenderPortAt(WideString(L"Halvista Left"), place, port), ZV_S_OK);
    MidiMessageBytes request;
    DeviceMessages::BuildRequest(DeviceMessages::Request::EnterUpdateMode, request);
    EXPECT_EQ(midi->SendMidiMessage(ConstRCPtr<LRefCountedObject>(port), request), 9);
}

// Every notification of the engine that the "application" centre delivers, with the thread it arrived on.
class LEngineNotificationLog final : public LNotificationClient {
public:
    struct Entry {
        std::wstring Id;
        std::thread::id Thread;
        std::int32_t NewState = 0;
        std::int32_t OldState = 0;
        bool Success = false;
        // Progress.
        std::uint32_t Stage = 0;
        double Fraction = 0.0;
        std::uint32_t TimeRemaining = 0;
        bool Estimate = false;
        bool Last = false;
    };

    static RCPtr<LEngineNotificationLog> Create()
    {
        RCPtr<LEngineNotificationLog> log(new LEngineNotificationLog);
        const RCPtr<LNotificationCenter> center = GetApplicationNotificationCenter();
        for (const wchar_t* id : {kNidDeviceStateChange, kNidFirmwareFileStateChange, kNidFoundDeviceListChange,
                                  kNidFirmwareUpdateProgress, kNidFirmwareUpdateCompleted}) {
            log->RegisterForNotification(center, id, 0);
        }
        return log;
    }

    void ReceiveNotification(const ConstRCPtr<LNotificationDistributor>&,
                             const RCPtr<LNotification>& notification) override
    {
        Entry entry{notification->GetId(), std::this_thread::get_id()};
        const ConstRCPtr<LRefCountedObject>& data = notification->GetParameter();
        if (const ConstRCPtr<LDeviceStateChangeNotificationData> state(data); state) {
            entry.NewState = state->GetNewState();
            entry.OldState = state->GetOldState();
        } else if (const ConstRCPtr<LFirmwareFileStateChangeNotificationData> file(data); file) {
            entry.NewState = file->GetNewState();
            entry.OldState = file->GetOldState();
        } else if (const ConstRCPtr<LFirmwareUpdateProgressNotificationData> progress(data); progress) {
            entry.Stage = progress->GetStage();
            entry.Fraction = progress->GetFraction();
            entry.TimeRemaining = progress->GetTimeRemaining();
            entry.Estimate = progress->IsEstimate();
            entry.Last = progress->IsLast();
        } else if (const ConstRCPtr<LFirmwareUpdateCompletedNotificationData> completed(data); completed) {
            entry.Success = completed->IsSuccess();
        }
        Entries.push_back(entry);
    }

    std::size_t Count(const wchar_t* id) const
    {
        return static_cast<std::size_t>(
            std::count_if(Entries.begin(), Entries.end(), [id](const Entry& entry) { return entry.Id == id; }));
    }

    // "5<-3" for each device-state change, in order.
    std::vector<std::string> DeviceStateChanges() const
    {
        std::vector<std::string> changes;
        for (const Entry& entry : Entries) {
            if (entry.Id == kNidDeviceStateChange) {
                changes.push_back(std::to_string(entry.NewState) + "<-" + std::to_string(entry.OldState));
            }
        }
        return changes;
    }

    std::vector<Entry> Entries;

private:
    LEngineNotificationLog() = default;
};

// Delivers what the engine posted, on this thread, as the window's idle processing does, until the condition
// holds; false when it does not within the bounded wait.
inline bool ProcessNotificationsUntil(const std::function<bool()>& condition)
{
    const RCPtr<LNotificationCenter> center = GetApplicationNotificationCenter();
    const auto deadline = std::chrono::steady_clock::now() + kBoundedWait;
    for (;;) {
        center->ProcessNotifications(false);
        if (condition()) {
            return true;
        }
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        // The queue has no event to wait on; the window looks at it on every idle pass in the same way.
        std::this_thread::sleep_for(1ms);
    }
}

// Starts every test with an empty "application" queue and the default waits, and lets go of what the test left.
class EngineTest : public ::testing::Test {
protected:
    void SetUp() override { StartAfresh(); }
    void TearDown() override { StartAfresh(); }

    static void StartAfresh()
    {
        GetApplicationNotificationCenter()->Clear();
        LUpdateEngine::SetFinalPollLimit(LUpdateEngine::kDefaultFinalPollLimit);
        LUpdateProcessor::SetUpdateModeEntryWait(LUpdateProcessor::kDefaultUpdateModeEntryWait);
        LUpdateProcessor::SetSilentUpdateWait(LUpdateProcessor::kDefaultSilentUpdateWait);
    }

    std::string LogPath() const { return mFolder / "device.log"; }

    std::string WriteFile(const std::string& name, const Bytes& bytes) const
    {
        WriteContent(mFolder / name, std::string(bytes.begin(), bytes.end()));
        return mFolder / name;
    }

    TemporaryFolder mFolder;
};

// The engine's device definitions as the update processor gives them: both device types, one name each.
inline Array<LUpdateEngineInterface::DeviceDefinition> StandardDefinitions()
{
    Array<LUpdateEngineInterface::DeviceDefinition> definitions;
    for (const wchar_t* name : {L"Halvista Left", L"VT5 Display Left"}) {
        LUpdateEngineInterface::DeviceDefinition definition;
        definition.NormalCapturePortName = WideString(name);
        definition.UpdateCapturePortName = WideString(name);
        definition.NormalRenderPortName = WideString(name);
        definition.UpdateRenderPortName = WideString(name);
        EXPECT_TRUE(Succeeded(definitions.AddItem(definition)));
    }
    return definitions;
}

// An initialised engine over the rig's devices, with the processor's device definitions.
inline RCPtr<LUpdateEngine> MakeEngine(SimulatedMidiRig& rig, bool notificationsEnabled = true)
{
    RCPtr<LUpdateEngine> engine(new LUpdateEngine(rig.Factory()));
    EXPECT_EQ(engine->Initialize(WideString()), ZV_S_OK);
    engine->SetNotificationsEnabled(notificationsEnabled);
    EXPECT_EQ(engine->SetDeviceDefinitions(StandardDefinitions()), ZV_S_OK);
    return engine;
}

inline WideString Wide(const std::string& text)
{
    return WideString(text.c_str());
}

// An image of count messages of the given body length, F0 ... F7 each, bodies of 7-bit data that avoids 0x0D.
inline Bytes MakeImage(std::size_t count, std::size_t bodyLength)
{
    Bytes image;
    for (std::size_t message = 0; message < count; ++message) {
        image.push_back(0xF0);
        for (std::size_t index = 0; index < bodyLength; ++index) {
            const auto byte = static_cast<std::uint8_t>((message * 31 + index * 7) % 0x80);
            image.push_back(byte == 0x0D ? 0x0E : byte);
        }
        image.push_back(0xF7);
    }
    return image;
}

// Bytes of no form at all, the same for the same seed.
inline Bytes RandomBytes(std::size_t count, std::uint32_t seed)
{
    std::mt19937 random(seed);
    Bytes bytes(count);
    for (std::uint8_t& byte : bytes) {
        byte = static_cast<std::uint8_t>(random());
    }
    return bytes;
}

inline void ToFirmwareImage(const Bytes& bytes, FirmwareImageBytes& image)
{
    EXPECT_TRUE(Succeeded(image.SetCount(static_cast<std::uint32_t>(bytes.size()))));
    std::copy(bytes.begin(), bytes.end(), image.GetData());
}

}  // namespace ZV::Testing
