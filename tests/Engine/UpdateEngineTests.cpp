#include "Engine/UpdateEngine.h"

#include "EngineTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>

namespace ZV::Testing {
namespace {

using Simulator::DeviceStart;

class UpdateEngineRoad : public EngineTest {
protected:
    RCPtr<LEngineNotificationLog> mLog = LEngineNotificationLog::Create();
};

// Polls the device as the window does while it restarts into update mode.
bool RefreshUntilInUpdateMode(LUpdateEngine& engine)
{
    const auto deadline = std::chrono::steady_clock::now() + kBoundedWait;
    while (engine.GetDeviceState() == LUpdateEngineInterface::kDeviceEnteringUpdateMode &&
           std::chrono::steady_clock::now() < deadline) {
        if (Failed(engine.RefreshSelectedDevice())) {
            return false;
        }
    }
    return engine.GetDeviceState() == LUpdateEngineInterface::kDeviceInUpdateMode;
}

TEST_F(UpdateEngineRoad, RunningDeviceWithLowerBuildIsSwitchedToUpdateModeAndUpdatedWithOrderedNotifications)
{
    SimulatedMidiRig rig({QuickDevice(DeviceStart::Normal, LogPath())});
    const Bytes image = MakeImage(20, 24);
    const RCPtr<LUpdateEngine> engine = MakeEngine(rig);
    ASSERT_EQ(engine->SetFirmwareFile(Wide(WriteFile("image.syx", image))), ZV_S_OK);

    ASSERT_EQ(engine->ScanForDevices(), ZV_S_OK);
    ASSERT_EQ(engine->GetDeviceState(), LUpdateEngineInterface::kDeviceRunning);
    WideString version;
    EXPECT_EQ(engine->GetDeviceFirmwareVersionText(version), ZV_S_OK);
    EXPECT_EQ(version, "78500");
    EXPECT_TRUE(engine->IsUpdateAvailable());

    ASSERT_EQ(engine->EnterUpdateMode(), ZV_S_OK);
    EXPECT_EQ(engine->GetDeviceState(), LUpdateEngineInterface::kDeviceEnteringUpdateMode);
    ASSERT_TRUE(RefreshUntilInUpdateMode(*engine));
    EXPECT_EQ(engine->EnterUpdateMode(), ZV_S_FALSE) << "in update mode already";

    ASSERT_EQ(engine->StartUpdate(), ZV_S_OK);
    ASSERT_TRUE(ProcessNotificationsUntil([&] { return mLog->Count(kNidFirmwareUpdateCompleted) == 1; }));
    EXPECT_TRUE(mLog->Entries.back().Success);
    EXPECT_EQ(engine->GetUpdateStatus(false), LUpdateEngineInterface::kUpdateFinished);
    EXPECT_EQ(engine->GetDeviceState(), LUpdateEngineInterface::kDeviceUpdateEnded)
        << "the device is given back when the update has ended, to be looked for again";
    EXPECT_TRUE(rig.Device().WaitForStateEntries(Simulator::DeviceState::Done, 1, kBoundedWait));

    EXPECT_EQ(mLog->DeviceStateChanges(), (std::vector<std::string>{"1<-0", "5<-3", "6<-5", "7<-6", "8<-7", "9<-8"}));
    EXPECT_EQ(mLog->Count(kNidFirmwareFileStateChange), 1u);
    // A report still waiting when the next one comes is replaced by it.
    EXPECT_GE(mLog->Count(kNidFirmwareUpdateProgress), 1u);
    EXPECT_LE(mLog->Count(kNidFirmwareUpdateProgress), 20u);
    double lastFraction = 0.0;
    for (const LEngineNotificationLog::Entry& entry : mLog->Entries) {
        EXPECT_EQ(entry.Thread, std::this_thread::get_id()) << "notifications arrive on the processing thread";
        if (entry.Id == kNidFirmwareUpdateProgress) {
            EXPECT_GT(entry.Fraction, lastFraction) << "progress arrives in the order it was made";
            EXPECT_LT(entry.Fraction, 1.0);
            lastFraction = entry.Fraction;
        }
    }
    const std::vector<std::string> received = TextsOfKind(LogPath(), "RX");
    EXPECT_EQ(std::count(received.begin(), received.end(), EnterUpdateModeRequest), 1);
}

TEST_F(UpdateEngineRoad, AbsentDeviceIsFoundNowhereWithoutARequestSentAndCannotBeSwitchedOrCancelled)
{
    SimulatedMidiRig rig({QuickDevice(DeviceStart::Absent, LogPath())});
    const RCPtr<LUpdateEngine> engine = MakeEngine(rig);
    EXPECT_EQ(engine->ScanForDevices(), ZV_S_OK);
    EXPECT_EQ(engine->GetDeviceState(), LUpdateEngineInterface::kDeviceNotFound);
    EXPECT_EQ(engine->GetFoundDeviceCount(), 0);
    EXPECT_TRUE(TextsOfKind(LogPath(), "RX").empty())
        << "no port opens, so no request goes out and no reply is waited for";
    EXPECT_EQ(engine->RefreshSelectedDevice(), ZV_E_FAIL);
    EXPECT_EQ(engine->EnterUpdateMode(), ZV_E_FAIL);
    EXPECT_EQ(engine->GetDeviceState(), LUpdateEngineInterface::kDeviceNotFound);
    EXPECT_EQ(engine->CancelUpdate(), ZV_E_FAIL) << "nothing to cancel";
}

TEST_F(UpdateEngineRoad, DeviceWhosePortAnotherProgramHoldsIsFoundUnusableSayingSoInAScanAndARefreshAndIsNeverAsked)
{
    Simulator::DeviceSettings device = QuickDevice(DeviceStart::Normal, LogPath());
    device.Faults.BusyPorts = true;
    SimulatedMidiRig busy({device});
    SimulatedMidiRig running({QuickDevice(DeviceStart::Normal, mFolder / "running.log")});
    const SimulatedMidiRig* connected = &busy;
    const RCPtr<LUpdateEngine> engine(new LUpdateEngine([&connected] { return connected->Factory()(); }));
    ASSERT_EQ(engine->Initialize(WideString()), ZV_S_OK);
    ASSERT_EQ(engine->SetDeviceDefinitions(StandardDefinitions()), ZV_S_OK);
    const std::string said = "the MIDI port \"Halvista Left\" is in use by another program";

    EXPECT_EQ(engine->ScanForDevices(), ZV_S_OK);
    EXPECT_EQ(engine->GetDeviceState(), LUpdateEngineInterface::kDeviceUnusable) << "found, not absent";
    std::uint32_t code = 0;
    EXPECT_EQ(engine->GetSelectedDeviceError(code), ZV_S_OK);
    EXPECT_EQ(code, LUpdateEngineInterface::kDeviceErrorNoAccess);
    EXPECT_EQ(engine->DescribeDeviceProbeFailure(), said);
    EXPECT_TRUE(TextsOfKind(LogPath(), "RX").empty());

    // The other program lets go, and takes the port again after a scan found the device.
    connected = &running;
    EXPECT_EQ(engine->ScanForDevices(), ZV_S_OK);
    ASSERT_EQ(engine->GetDeviceState(), LUpdateEngineInterface::kDeviceRunning);
    connected = &busy;
    EXPECT_EQ(engine->RefreshSelectedDevice(), ZV_S_OK);
    EXPECT_EQ(engine->GetDeviceState(), LUpdateEngineInterface::kDeviceUnusable);
    EXPECT_EQ(engine->DescribeDeviceProbeFailure(), said);
}

TEST_F(UpdateEngineRoad, RefreshWhileTheDeviceIsAwayKeepsEnteringUpdateModeAndOtherwiseMarksItUnusable)
{
    Simulator::DeviceSettings device = QuickDevice(DeviceStart::Normal, LogPath());
    device.RestartTime = std::chrono::milliseconds(60000);
    SimulatedMidiRig rig({device});
    const RCPtr<LUpdateEngine> entering = MakeEngine(rig);
    const RCPtr<LUpdateEngine> watching = MakeEngine(rig);
    EXPECT_TRUE(Succeeded(entering->ScanForDevices()));
    EXPECT_TRUE(Succeeded(watching->ScanForDevices()));
    ASSERT_EQ(watching->GetDeviceState(), LUpdateEngineInterface::kDeviceRunning);

    ASSERT_EQ(entering->EnterUpdateMode(), ZV_S_OK);
    ASSERT_TRUE(rig.Device().WaitForStateEntries(Simulator::DeviceState::Restarting, 1, kBoundedWait));
    EXPECT_EQ(entering->RefreshSelectedDevice(), ZV_S_OK);
    EXPECT_EQ(entering->GetDeviceState(), LUpdateEngineInterface::kDeviceEnteringUpdateMode);

    EXPECT_EQ(watching->RefreshSelectedDevice(), ZV_S_OK);
    EXPECT_EQ(watching->GetDeviceState(), LUpdateEngineInterface::kDeviceUnusable);
    std::uint32_t code = 0;
    EXPECT_EQ(watching->GetSelectedDeviceError(code), ZV_S_OK);
    EXPECT_EQ(code, LUpdateEngineInterface::kDeviceErrorNoAccess);
}

class UpdateEngineDiscoverySlow : public EngineTest {};

TEST_F(UpdateEngineDiscoverySlow, SilentDeviceCostsBothStatusWaitsAndIsFoundNowhere)
{
    SimulatedMidiRig rig({QuickDevice(DeviceStart::Silent, LogPath())});
    const RCPtr<LUpdateEngine> engine = MakeEngine(rig);
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(engine->ScanForDevices(), ZV_S_OK);
    const auto elapsed = std::chrono::steady_clock::now() - started;
    EXPECT_EQ(engine->GetDeviceState(), LUpdateEngineInterface::kDeviceNotFound);
    EXPECT_EQ(TextsOfKind(LogPath(), "RX"), (std::vector<std::string>{StatusRequest, StatusRequest}))
        << "one status request on the normal ports and one on the update-mode ports";
    EXPECT_GE(elapsed, std::chrono::milliseconds(2 * LUpdateEngine::kStatusReplyTimeout));
}

TEST_F(UpdateEngineDiscoverySlow, DeviceThatNeverSendsItsVersionIsNotFound)
{
    Simulator::DeviceSettings device = QuickDevice(DeviceStart::Normal, LogPath());
    device.Faults.NoVersion = true;
    SimulatedMidiRig rig({device});
    const RCPtr<LUpdateEngine> engine = MakeEngine(rig);
    EXPECT_EQ(engine->ScanForDevices(), ZV_S_OK);
    EXPECT_EQ(engine->GetDeviceState(), LUpdateEngineInterface::kDeviceNotFound);
    EXPECT_EQ(TextsOfKind(LogPath(), "RX"), (std::vector<std::string>{StatusRequest, VersionRequest}));
}

LUpdateEngineInterface::DeviceDefinition Definition(const wchar_t* normalCapture, const wchar_t* normalRender,
                                                    const wchar_t* updatePorts)
{
    LUpdateEngineInterface::DeviceDefinition definition;
    definition.NormalCapturePortName = WideString(normalCapture);
    definition.NormalRenderPortName = WideString(normalRender);
    definition.UpdateCapturePortName = WideString(updatePorts);
    definition.UpdateRenderPortName = WideString(updatePorts);
    return definition;
}

TEST_F(UpdateEngineDiscoverySlow, PortsThatAreThereButLeaveARequestUnansweredAreToldWithTheirNamesInAScanAndARefresh)
{
    // The device answers on its normal ports that it is in update mode, and no update-mode ports are there.
    SimulatedMidiRig inUpdateMode({QuickDevice(DeviceStart::Update, LogPath())});
    const RCPtr<LUpdateEngine> engine = MakeEngine(inUpdateMode);
    Array<LUpdateEngineInterface::DeviceDefinition> definitions;
    ASSERT_TRUE(Succeeded(definitions.AddItem(Definition(L"halvista left", L"Halvista", L"No Such Port"))));
    ASSERT_EQ(engine->SetDeviceDefinitions(definitions), ZV_S_OK);
    EXPECT_EQ(engine->GetDeviceProbeFailure().Request, LUpdateEngineInterface::DeviceRequest::kNone);
    EXPECT_EQ(engine->ScanForDevices(), ZV_S_OK);
    EXPECT_EQ(engine->GetDeviceState(), LUpdateEngineInterface::kDeviceNotFound);
    EXPECT_EQ(engine->DescribeDeviceProbeFailure(), "the device at MIDI port \"Halvista Left\" answered the status "
                                                    "request neither as running nor as in update mode")
        << "the driver's name of the port, whatever part of it was looked for";

    // Requests go to a port that leads nowhere.
    definitions.GetItemPointer(0)->NormalRenderPortName = WideString(L"Midi Through");
    ASSERT_EQ(engine->SetDeviceDefinitions(definitions), ZV_S_OK);
    EXPECT_EQ(engine->ScanForDevices(), ZV_S_OK);
    EXPECT_EQ(engine->DescribeDeviceProbeFailure(),
              "the device at MIDI ports \"" + std::string(Simulator::SimulatedMidiSystem::DecoyPortName) +
                  "\" (requests) and \"Halvista Left\" (replies) did not answer the status request within 1 s");

    // A device that was found stops telling its version: the refresh marks it unusable, and says why.
    SimulatedMidiRig running({QuickDevice(DeviceStart::Normal, LogPath())});
    Simulator::DeviceSettings withoutVersion = QuickDevice(DeviceStart::Normal, mFolder / "without version.log");
    withoutVersion.Faults.NoVersion = true;
    SimulatedMidiRig mute({withoutVersion});
    const SimulatedMidiRig* connected = &running;
    const RCPtr<LUpdateEngine> refreshed(new LUpdateEngine([&connected] { return connected->Factory()(); }));
    ASSERT_EQ(refreshed->Initialize(WideString()), ZV_S_OK);
    ASSERT_EQ(refreshed->SetDeviceDefinitions(StandardDefinitions()), ZV_S_OK);
    ASSERT_EQ(refreshed->ScanForDevices(), ZV_S_OK);
    ASSERT_EQ(refreshed->GetDeviceState(), LUpdateEngineInterface::kDeviceRunning);
    EXPECT_EQ(refreshed->GetDeviceProbeFailure().Request, LUpdateEngineInterface::DeviceRequest::kNone);
    connected = &mute;
    EXPECT_EQ(refreshed->RefreshSelectedDevice(), ZV_S_OK);
    EXPECT_EQ(refreshed->GetDeviceState(), LUpdateEngineInterface::kDeviceUnusable);
    std::uint32_t code = 0;
    EXPECT_EQ(refreshed->GetSelectedDeviceError(code), ZV_S_OK);
    EXPECT_EQ(code, LUpdateEngineInterface::kDeviceErrorNoAccess);
    EXPECT_EQ(refreshed->DescribeDeviceProbeFailure(),
              "the device at MIDI port \"Halvista Left\" did not answer the firmware version request within 2 s");
}

}  // namespace
}  // namespace ZV::Testing
