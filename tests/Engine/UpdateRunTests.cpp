#include "Engine/UpdateEngine.h"

#include "EngineTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace ZV::Testing {
namespace {

using Simulator::DeviceStart;

// Runs of the update against a device that starts in update mode.
class UpdateRun : public EngineTest {
protected:
    RCPtr<LUpdateEngine> EngineInUpdateMode(SimulatedMidiRig& rig, const Bytes& image)
    {
        const RCPtr<LUpdateEngine> engine = MakeEngine(rig);
        EXPECT_TRUE(Succeeded(engine->SetFirmwareFile(Wide(WriteFile("image.syx", image)))));
        EXPECT_TRUE(Succeeded(engine->ScanForDevices()));
        EXPECT_EQ(engine->GetDeviceState(), LUpdateEngineInterface::kDeviceInUpdateMode);
        return engine;
    }

    // Waits for the run to end and for its notifications to arrive.
    void WaitForCompletions(LUpdateEngine& engine, std::size_t count)
    {
        ASSERT_EQ(engine.WaitForUpdate(kBoundedWait.count() * 1000), ZV_S_OK);
        ASSERT_TRUE(ProcessNotificationsUntil([&] { return mLog->Count(kNidFirmwareUpdateCompleted) >= count; }));
        GetApplicationNotificationCenter()->ProcessNotifications(false);
    }

    std::vector<bool> Completions() const
    {
        std::vector<bool> successes;
        for (const LEngineNotificationLog::Entry& entry : mLog->Entries) {
            if (entry.Id == kNidFirmwareUpdateCompleted) {
                successes.push_back(entry.Success);
            }
        }
        return successes;
    }

    std::size_t ImageMessagesReceived() const
    {
        const std::vector<std::string> received = TextsOfKind(LogPath(), "RX");
        return static_cast<std::size_t>(std::count_if(received.begin(), received.end(),
                                                      [](const std::string& text) { return text != StatusRequest; }));
    }

    std::uint32_t SelectedDeviceError(LUpdateEngine& engine) const
    {
        std::uint32_t code = 0;
        EXPECT_EQ(engine.GetSelectedDeviceError(code), ZV_S_OK);
        return code;
    }

    RCPtr<LEngineNotificationLog> mLog = LEngineNotificationLog::Create();
};

TEST_F(UpdateRun, DeviceThatNeverReportsDoneFailsTheUpdateOnceThePollLimitHasPassed)
{
    Simulator::DeviceSettings device = QuickDevice(DeviceStart::Update, LogPath());
    device.Faults.NeverDone = true;
    SimulatedMidiRig rig({device});
    const RCPtr<LUpdateEngine> engine = EngineInUpdateMode(rig, MakeImage(5, 16));
    LUpdateEngine::SetFinalPollLimit(300);

    ASSERT_EQ(engine->StartUpdate(), ZV_S_OK);
    WaitForCompletions(*engine, 1);
    EXPECT_EQ(Completions(), std::vector<bool>{false});
    EXPECT_EQ(engine->GetUpdateStatus(false), LUpdateEngineInterface::kUpdateFailed);
    EXPECT_EQ(engine->GetDeviceState(), LUpdateEngineInterface::kDeviceUnusable)
        << "the worker gives the device back instead of holding the updating state for ever";
    EXPECT_EQ(SelectedDeviceError(*engine), LUpdateEngineInterface::kDeviceErrorNoAccess);
    EXPECT_EQ(engine->GetUpdateFailure().Kind, LUpdateEngineInterface::FailureKind::kNotConfirmed);
    EXPECT_EQ(ImageMessagesReceived(), 5u);
}

TEST_F(UpdateRun, DeviceThatGoesAwayDuringTheImageFailsTheUpdateAtTheMessageThatCouldNotGoOut)
{
    Simulator::DeviceSettings device = QuickDevice(DeviceStart::Update, LogPath());
    device.Faults.VanishAfterImageMessages = 3;
    SimulatedMidiRig rig({device});
    const RCPtr<LUpdateEngine> engine = EngineInUpdateMode(rig, MakeImage(10, 16));

    ASSERT_EQ(engine->StartUpdate(), ZV_S_OK);
    WaitForCompletions(*engine, 1);
    EXPECT_EQ(Completions(), std::vector<bool>{false});
    EXPECT_EQ(engine->GetUpdateStatus(false), LUpdateEngineInterface::kUpdateFailed);
    EXPECT_EQ(engine->GetDeviceState(), LUpdateEngineInterface::kDeviceUnusable);
    const LUpdateEngineInterface::UpdateFailure failure = engine->GetUpdateFailure();
    EXPECT_EQ(failure.Kind, LUpdateEngineInterface::FailureKind::kDeviceVanished);
    EXPECT_EQ(failure.Offset, 3u * 18u + 1u) << "the body of the fourth message";
    EXPECT_EQ(ImageMessagesReceived(), 3u);
}

TEST_F(UpdateRun, CancelDuringTheSendStopsItAndCountsAsAFailure)
{
    SimulatedMidiRig rig({QuickDevice(DeviceStart::Update, LogPath())});
    const RCPtr<LUpdateEngine> engine = EngineInUpdateMode(rig, MakeImage(400, 32));

    ASSERT_EQ(engine->StartUpdate(), ZV_S_OK);
    ASSERT_TRUE(ProcessNotificationsUntil([&] { return mLog->Count(kNidFirmwareUpdateProgress) >= 20; }));
    EXPECT_EQ(engine->RefreshSelectedDevice(), ZV_E_FAIL) << "the worker owns the device while it updates";
    EXPECT_EQ(engine->ScanForDevices(), ZV_E_FAIL);
    ASSERT_EQ(engine->CancelUpdate(), ZV_S_OK);
    WaitForCompletions(*engine, 1);

    EXPECT_EQ(Completions(), std::vector<bool>{false}) << "one completion";
    EXPECT_EQ(engine->GetUpdateStatus(false), LUpdateEngineInterface::kUpdateFailed);
    EXPECT_EQ(engine->GetDeviceState(), LUpdateEngineInterface::kDeviceUnusable);
    EXPECT_EQ(SelectedDeviceError(*engine), LUpdateEngineInterface::kDeviceErrorNoAccess);
    EXPECT_EQ(engine->GetUpdateFailure().Kind, LUpdateEngineInterface::FailureKind::kCancelled);
    EXPECT_GE(ImageMessagesReceived(), 20u);
    EXPECT_LT(ImageMessagesReceived(), 400u) << "the rest of the image is not sent";
}

TEST_F(UpdateRun, CancelDuringTheFinalPollTakesEffectWhenTheDeviceReportsDone)
{
    Simulator::DeviceSettings device = QuickDevice(DeviceStart::Update, LogPath());
    device.FlashTime = std::chrono::milliseconds(700);
    SimulatedMidiRig rig({device});
    const RCPtr<LUpdateEngine> engine = EngineInUpdateMode(rig, MakeImage(3, 16));
    PortBench replies(rig.System(), "Halvista Left");
    ASSERT_TRUE(replies.Connect());

    ASSERT_EQ(engine->StartUpdate(), ZV_S_OK);
    ASSERT_TRUE(replies.WaitForSent(InUpdateModeReply, 1)) << "the final poll has begun";
    ASSERT_EQ(engine->CancelUpdate(), ZV_S_OK);
    WaitForCompletions(*engine, 2);

    EXPECT_EQ(Completions(), (std::vector<bool>{false, false}));
    EXPECT_EQ(engine->GetUpdateStatus(false), LUpdateEngineInterface::kUpdateCancelled);
    EXPECT_EQ(engine->GetDeviceState(), LUpdateEngineInterface::kDeviceInUpdateMode);
    EXPECT_EQ(engine->GetUpdateFailure().Kind, LUpdateEngineInterface::FailureKind::kCancelled);
    EXPECT_TRUE(rig.Device().WaitForStateEntries(Simulator::DeviceState::Done, 1, kBoundedWait));
}

TEST_F(UpdateRun, FirmwareFileThatIsEmptyCutOffOrGoneFailsTheUpdateBeforeAnythingIsSent)
{
    struct Case {
        const char* Name;
        Bytes Image;
        LUpdateEngineInterface::FailureKind Kind;
        ImageFault Fault;
    };
    Bytes cutOff = MakeImage(4, 8);
    cutOff.resize(cutOff.size() - 3);
    const Case cases[] = {
        {"empty", Bytes(), LUpdateEngineInterface::FailureKind::kImageRefused, ImageFault::kNoMessage},
        {"cut-off", cutOff, LUpdateEngineInterface::FailureKind::kImageRefused, ImageFault::kUnfinishedMessage},
        {"gone", MakeImage(2, 8), LUpdateEngineInterface::FailureKind::kImageUnreadable, ImageFault::kNone},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.Name);
        const std::string logPath = mFolder / (std::string(test.Name) + ".log");
        SimulatedMidiRig rig({QuickDevice(DeviceStart::Update, logPath)});
        const RCPtr<LUpdateEngine> engine = EngineInUpdateMode(rig, test.Image);
        ASSERT_EQ(engine->GetFirmwareFileState(), LUpdateEngineInterface::kFilePresent);
        if (test.Kind == LUpdateEngineInterface::FailureKind::kImageUnreadable) {
            std::filesystem::remove(mFolder / "image.syx");
        }
        mLog->Entries.clear();

        ASSERT_EQ(engine->StartUpdate(), ZV_S_OK);
        WaitForCompletions(*engine, 1);
        EXPECT_EQ(Completions(), std::vector<bool>{false});
        EXPECT_EQ(engine->GetUpdateStatus(false), LUpdateEngineInterface::kUpdateFailed);
        EXPECT_EQ(engine->GetDeviceState(), LUpdateEngineInterface::kDeviceUnusable);
        EXPECT_EQ(engine->GetUpdateFailure().Kind, test.Kind);
        EXPECT_EQ(engine->GetUpdateFailure().Fault, test.Fault);
        EXPECT_EQ(TextsOfKind(logPath, "RX"), (std::vector<std::string>{StatusRequest, StatusRequest}))
            << "only the scan's requests: no image, and no poll for a done that cannot come";
    }
}

}  // namespace
}  // namespace ZV::Testing
