#include "Engine/UpdateEngine.h"

#include "EngineTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

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
        EXPECT_EQ(mEngine->DescribeSharedNameFailure(),
                  kind == kTwoConnected
                      ? "two devices named \"Halvista Left\" are connected; connect only the one to update"
                      : "a device named \"Halvista Left\" went missing after the one to update was sent into update "
                        "mode, so the device in update mode may be another one");
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

TEST_F(NamesakeDevices, OtherOneGoneWhenTheImageIsConfirmedIsWaitedForNoLongerThanTheWaitForUpdateMode)
{
    LUpdateProcessor::SetUpdateModeEntryWait(3000);
    ASSERT_EQ(mEngine->EnterUpdateMode(), ZV_S_OK);
    const auto sent = std::chrono::steady_clock::now();
    ASSERT_TRUE(mRig->Device(0).WaitForStateEntries(DeviceState::Update, 1, kBoundedWait));
    EXPECT_EQ(mEngine->RefreshSelectedDevice(), ZV_S_OK);
    ASSERT_EQ(mEngine->GetDeviceState(), LUpdateEngineInterface::kDeviceInUpdateMode);

    ASSERT_EQ(mEngine->StartUpdate(), ZV_S_OK);
    // Between the image and its confirmation.
    ASSERT_TRUE(mRig->Device(0).WaitForStateEntries(DeviceState::Done, 1, kBoundedWait));
    mRig->Device(1).Unplug();
    ASSERT_EQ(mEngine->WaitForUpdate(kBoundedWaitMilliseconds), ZV_S_OK);
    EXPECT_EQ(mEngine->GetUpdateStatus(false), LUpdateEngineInterface::kUpdateFinished);
    EXPECT_LT(std::chrono::steady_clock::now() - sent, std::chrono::milliseconds(3000 + 1000))
        << "two devices of the name are never there again";
}

}  // namespace
}  // namespace ZV::Testing
