#include "Engine/UpdateEngine.h"

#include "EngineTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>

namespace ZV::Testing {
namespace {

using Simulator::DeviceStart;
using Simulator::DeviceState;

// Two devices of one model, both running, both named "Halvista Left": the first, which the engine chooses, and
// another, which a second program may send into update mode at any time.
class NamesakeDevices : public EngineTest {
protected:
    NamesakeDevices()
    {
        Simulator::DeviceSettings chosen = QuickDevice(DeviceStart::Normal, LogPath());
        Simulator::DeviceSettings other = QuickDevice(DeviceStart::Normal, OtherLogPath());
        // The chosen one is away long enough for the other to be sent into update mode and back meanwhile.
        chosen.RestartTime = std::chrono::milliseconds(1500);
        mRig = std::make_unique<SimulatedMidiRig>(std::vector<Simulator::DeviceSettings>{chosen, other});
        mEngine = MakeEngine(*mRig);
        EXPECT_EQ(mEngine->SetFirmwareFile(Wide(WriteFile("image.syx", MakeImage(3, 8)))), ZV_S_OK);
        EXPECT_EQ(mEngine->ScanForDevices(), ZV_S_OK);
        EXPECT_EQ(mEngine->GetDeviceState(), LUpdateEngineInterface::kDeviceRunning)
            << "two running devices of one name are no reason to stop";
    }

    std::string OtherLogPath() const { return mFolder / "other.log"; }

    // The device at the place among those of the name, found there as the rig's device, goes into update mode.
    void SendIntoUpdateMode(std::uint32_t place, std::size_t device)
    {
        Testing::SendIntoUpdateMode(*mRig, place);
        ASSERT_TRUE(mRig->Device(device).WaitForStateEntries(DeviceState::Update, 1, kBoundedWait));
    }

    // The engine cannot tell the chosen device from the other: it is unusable, and neither device got an image byte.
    void ExpectStoppedBeforeTheImage(LUpdateEngineInterface::FailureKind kind = kTwoConnected)
    {
        EXPECT_EQ(mEngine->GetDeviceState(), LUpdateEngineInterface::kDeviceUnusable);
        std::uint32_t code = 0;
        EXPECT_EQ(mEngine->GetSelectedDeviceError(code), ZV_S_OK);
        EXPECT_EQ(code, LUpdateEngineInterface::kDeviceErrorNoAccess) << "the window's reason for such a device";
        EXPECT_EQ(mEngine->GetUpdateFailure().Kind, kind);
        switch (kind) {
        case kTwoConnected:
            EXPECT_EQ(mEngine->DescribeSharedNameFailure(),
                      "two devices named \"Halvista Left\" are connected; connect only the one to update");
            break;
        case LUpdateEngineInterface::FailureKind::kNamesakeMissing:
            EXPECT_EQ(mEngine->DescribeSharedNameFailure(),
                      "a device named \"Halvista Left\" went missing after the one to update was sent into update "
                      "mode, so the device in update mode may be another one");
            break;
        default:
            EXPECT_EQ(mEngine->DescribeSharedNameFailure(),
                      "no device named \"Halvista Left\" answered in update mode when its image was to be sent");
            EXPECT_EQ(mEngine->GetUpdateFailure().DeviceLeft, LUpdateEngineInterface::DevicePlace::kUnknownBeforeImage);
            break;
        }
        EXPECT_EQ(mEngine->StartUpdate(), ZV_E_FAIL);
        for (const std::string& log : {LogPath(), OtherLogPath()}) {
            for (const std::string& received : TextsOfKind(log, "RX")) {
                EXPECT_TRUE(received == StatusRequest || received == VersionRequest ||
                            received == EnterUpdateModeRequest)
                    << log << " received " << received;
            }
        }
    }

    static constexpr auto kTwoConnected = LUpdateEngineInterface::FailureKind::kDevicesShareName;

    std::unique_ptr<SimulatedMidiRig> mRig;
    RCPtr<LUpdateEngine> mEngine;
};

TEST_F(NamesakeDevices, OtherOneInUpdateModeWhileTheChosenOneRestartsIsNeverTakenForIt)
{
    ASSERT_EQ(mEngine->EnterUpdateMode(), ZV_S_OK);
    ASSERT_TRUE(mRig->Device(0).WaitForStateEntries(DeviceState::Restarting, 1, kBoundedWait));
    // Alone under the name, the other one answers in update mode as the chosen one would, were the other gone.
    SendIntoUpdateMode(0, 1);
    EXPECT_EQ(mEngine->ScanForDevices(), ZV_S_OK);
    EXPECT_EQ(mEngine->RefreshSelectedDevice(), ZV_S_OK);
    ExpectStoppedBeforeTheImage(LUpdateEngineInterface::FailureKind::kNamesakeMissing);

    // Back beside it, the chosen one is one of two in update mode.
    ASSERT_TRUE(mRig->Device(0).WaitForStateEntries(DeviceState::Update, 1, kBoundedWait));
    EXPECT_EQ(mEngine->ScanForDevices(), ZV_S_OK);
    EXPECT_EQ(mEngine->RefreshSelectedDevice(), ZV_S_OK);
    ExpectStoppedBeforeTheImage();
}

TEST_F(NamesakeDevices, OtherOneInUpdateModeBeforeTheChosenOneIsSentThereLeavesTheChosenOneAsItIs)
{
    SendIntoUpdateMode(1, 1);
    EXPECT_EQ(mEngine->EnterUpdateMode(), ZV_E_FAIL);
    ExpectStoppedBeforeTheImage();
    const std::vector<std::string> received = TextsOfKind(LogPath(), "RX");
    EXPECT_EQ(std::count(received.begin(), received.end(), EnterUpdateModeRequest), 0);
}

TEST_F(NamesakeDevices, OtherOneInUpdateModeBesideTheChosenOneWhenItsImageIsToGoStopsTheUpdate)
{
    RCPtr<LEngineNotificationLog> log = LEngineNotificationLog::Create();
    ASSERT_EQ(mEngine->EnterUpdateMode(), ZV_S_OK);
    ASSERT_TRUE(mRig->Device(0).WaitForStateEntries(DeviceState::Update, 1, kBoundedWait));
    EXPECT_EQ(mEngine->RefreshSelectedDevice(), ZV_S_OK);
    ASSERT_EQ(mEngine->GetDeviceState(), LUpdateEngineInterface::kDeviceInUpdateMode)
        << "the one in update mode, first of the name, beside the other running: the chosen one";

    SendIntoUpdateMode(1, 1);
    ASSERT_EQ(mEngine->StartUpdate(), ZV_S_OK);
    ASSERT_EQ(mEngine->WaitForUpdate(static_cast<std::uint32_t>(kBoundedWait.count() * 1000)), ZV_S_OK);
    ASSERT_TRUE(ProcessNotificationsUntil([&] { return log->Count(kNidFirmwareUpdateCompleted) == 1; }));
    EXPECT_FALSE(log->Entries.back().Success);
    EXPECT_EQ(mEngine->GetUpdateStatus(false), LUpdateEngineInterface::kUpdateFailed);
    ExpectStoppedBeforeTheImage();
}

TEST_F(NamesakeDevices, ChosenOneGoneRightAfterItCameBackInUpdateModeLeavesARunningOneInItsPlaceWithoutAnImageByte)
{
    // An image that went to a device that never confirms it is not waited for long.
    LUpdateEngine::SetFinalPollLimit(300);
    // Sent into update mode beside the other, which runs on.
    ASSERT_EQ(mEngine->EnterUpdateMode(), ZV_S_OK);
    ASSERT_TRUE(mRig->Device(0).WaitForStateEntries(DeviceState::Update, 1, kBoundedWait));
    EXPECT_EQ(mEngine->RefreshSelectedDevice(), ZV_S_OK);
    ASSERT_EQ(mEngine->GetDeviceState(), LUpdateEngineInterface::kDeviceInUpdateMode);
    mRig->Device(0).Unplug();
    ASSERT_TRUE(mRig->Device(0).WaitForStateEntries(DeviceState::Absent, 1, kBoundedWait));
    ASSERT_EQ(mEngine->StartUpdate(), ZV_S_OK);
    ASSERT_EQ(mEngine->WaitForUpdate(kBoundedWaitMilliseconds), ZV_S_OK);
    EXPECT_EQ(mEngine->GetUpdateStatus(false), LUpdateEngineInterface::kUpdateFailed);
    ExpectStoppedBeforeTheImage(LUpdateEngineInterface::FailureKind::kNotInUpdateMode);

    // Found in update mode at the start, alone of its name; unplugged, and a running one plugged in in its place.
    mEngine = nullptr;
    Simulator::DeviceSettings waiting = QuickDevice(DeviceStart::Update, LogPath());
    Simulator::DeviceSettings running = QuickDevice(DeviceStart::Normal, OtherLogPath());
    running.Faults.PlugInOnCue = true;
    mRig = std::make_unique<SimulatedMidiRig>(std::vector<Simulator::DeviceSettings>{waiting, running});
    mEngine = MakeEngine(*mRig);
    EXPECT_EQ(mEngine->SetFirmwareFile(Wide(WriteFile("image.syx", MakeImage(3, 8)))), ZV_S_OK);
    EXPECT_EQ(mEngine->ScanForDevices(), ZV_S_OK);
    ASSERT_EQ(mEngine->GetDeviceState(), LUpdateEngineInterface::kDeviceInUpdateMode);
    mRig->Device(0).Unplug();
    mRig->Device(1).PlugIn();
    ASSERT_TRUE(mRig->Device(1).WaitForStateEntries(DeviceState::Normal, 1, kBoundedWait));
    ASSERT_EQ(mEngine->StartUpdate(), ZV_S_OK);
    ASSERT_EQ(mEngine->WaitForUpdate(kBoundedWaitMilliseconds), ZV_S_OK);
    ExpectStoppedBeforeTheImage(LUpdateEngineInterface::FailureKind::kNotInUpdateMode);
}

TEST_F(NamesakeDevices, ThreeOfOneNameOneInUpdateModeAreSaidToBeThree)
{
    mEngine = nullptr;
    mRig = std::make_unique<SimulatedMidiRig>(std::vector<Simulator::DeviceSettings>{
        QuickDevice(DeviceStart::Normal, LogPath()), QuickDevice(DeviceStart::Normal, OtherLogPath()),
        QuickDevice(DeviceStart::Update, "")});
    mEngine = MakeEngine(*mRig);
    EXPECT_EQ(mEngine->ScanForDevices(), ZV_S_OK);
    EXPECT_EQ(mEngine->GetDeviceState(), LUpdateEngineInterface::kDeviceUnusable);
    EXPECT_EQ(mEngine->GetUpdateFailure().DeviceCount, 3u);
    EXPECT_EQ(mEngine->DescribeSharedNameFailure(),
              "three devices named \"Halvista Left\" are connected; connect only the one to update");
}

// The chosen device confirms its image while the other is unplugged; after its restart a third device of the name
// may be plugged in, in update mode. Until as many are there as when the chosen one was sent into update mode, the
// engine waits (no longer than the wait for update mode from the confirmation on), then asks each.
TEST_F(NamesakeDevices, OtherOneAwayWhenTheImageIsConfirmedIsWaitedForAndLeavesTheUpdateUnfinished)
{
    for (const bool thirdComes : {true, false}) {
        SCOPED_TRACE(thirdComes ? "a third plugged in in update mode" : "none comes");
        // Ample for the chosen one's restart when one comes; else the time the test waits.
        LUpdateProcessor::SetUpdateModeEntryWait(thirdComes ? kBoundedWaitMilliseconds : 1000);
        mEngine = nullptr;
        Simulator::DeviceSettings chosen = QuickDevice(DeviceStart::Normal, LogPath());
        // Away after its confirmation for long enough that a look at once would find it away.
        chosen.RestartTime = std::chrono::milliseconds(1000);
        Simulator::DeviceSettings third = QuickDevice(DeviceStart::Update, "");
        third.Faults.PlugInOnCue = true;
        const std::string cues = std::string("1.done:unplug=2") + (thirdComes ? ",1.normal#2:plug=3" : "");
        mRig = std::make_unique<SimulatedMidiRig>(
            std::vector<Simulator::DeviceSettings>{chosen, QuickDevice(DeviceStart::Normal, OtherLogPath()), third}, 0,
            cues);
        mEngine = MakeEngine(*mRig);
        EXPECT_EQ(mEngine->SetFirmwareFile(Wide(WriteFile("image.syx", MakeImage(3, 8)))), ZV_S_OK);
        EXPECT_EQ(mEngine->ScanForDevices(), ZV_S_OK);
        ASSERT_EQ(mEngine->EnterUpdateMode(), ZV_S_OK);
        ASSERT_TRUE(mRig->Device(0).WaitForStateEntries(DeviceState::Update, 1, kBoundedWait));
        EXPECT_EQ(mEngine->RefreshSelectedDevice(), ZV_S_OK);
        ASSERT_EQ(mEngine->GetDeviceState(), LUpdateEngineInterface::kDeviceInUpdateMode);

        ASSERT_EQ(mEngine->StartUpdate(), ZV_S_OK);
        ASSERT_EQ(mEngine->WaitForUpdate(2 * kBoundedWaitMilliseconds), ZV_S_OK);
        EXPECT_TRUE(mRig->Device(0).WaitForStateEntries(DeviceState::Done, 1, std::chrono::seconds(0)));
        EXPECT_EQ(mEngine->GetUpdateStatus(false), LUpdateEngineInterface::kUpdateFailed);
        EXPECT_EQ(mEngine->GetDeviceState(), LUpdateEngineInterface::kDeviceUnusable);
        EXPECT_EQ(mEngine->GetUpdateFailure().Kind, kTwoConnected);
        using Detail = LUpdateEngineInterface::FailureDetail;
        EXPECT_EQ(mEngine->GetUpdateFailure().Detail, thirdComes ? Detail::kNamesakeWaiting : Detail::kNamesakeAway);
        if (!thirdComes) {
            EXPECT_EQ(mEngine->DescribeSharedNameFailure(),
                      "a device named \"Halvista Left\" confirmed the image, but fewer devices of that name are "
                      "connected than when the device to update was sent into update mode, and one that is away may "
                      "wait in update mode for its image; connect only that one and update it");
        }
    }
}

}  // namespace
}  // namespace ZV::Testing
