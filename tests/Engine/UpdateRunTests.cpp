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

// An engine whose update task is run straight, without the image that StartUpdate hands over to it.
class LEngineRunWithoutStart : public LUpdateEngine {
public:
    using LUpdateEngine::LUpdateEngine;
    using LUpdateEngine::RunUpdate;
};

TEST_F(UpdateRun, TaskThatBeginsWithoutAnImageSendsNothingAndBlamesNotTheFile)
{
    SimulatedMidiRig rig({QuickDevice(DeviceStart::Update, LogPath())});
    const RCPtr<LEngineRunWithoutStart> engine(new LEngineRunWithoutStart(rig.Factory()));
    ASSERT_EQ(engine->Initialize(WideString()), ZV_S_OK);
    ASSERT_EQ(engine->SetDeviceDefinitions(StandardDefinitions()), ZV_S_OK);
    ASSERT_EQ(engine->SetFirmwareFile(Wide(WriteFile("image.syx", MakeImage(2, 8)))), ZV_S_OK);
    ASSERT_EQ(engine->ScanForDevices(), ZV_S_OK);
    ASSERT_EQ(engine->GetDeviceState(), LUpdateEngineInterface::kDeviceInUpdateMode);

    EXPECT_EQ(engine->RunUpdate(), ZV_E_FAIL);
    const LUpdateEngineInterface::UpdateFailure failure = engine->GetUpdateFailure();
    EXPECT_EQ(failure.Kind, LUpdateEngineInterface::FailureKind::kNoImageToSend);
    EXPECT_EQ(failure.DeviceLeft, LUpdateEngineInterface::DevicePlace::kInUpdateMode);
    EXPECT_EQ(engine->DescribeFirmwareFileFailure(), "") << "nothing is wrong with the file";
    EXPECT_EQ(engine->GetFirmwareFileState(), LUpdateEngineInterface::kFilePresent);
    EXPECT_EQ(engine->GetDeviceState(), LUpdateEngineInterface::kDeviceInUpdateMode);
    EXPECT_EQ(engine->GetUpdateStatus(false), LUpdateEngineInterface::kUpdateFailed);
    EXPECT_EQ(ImageMessagesReceived(), 0u);
}

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

TEST_F(UpdateRun, ImageWithA0DInItsBodiesIsTakenByADeviceThatExpectsItsFileAndTheUpdateCompletes)
{
    // Over three read blocks, with a 0x0D on the first byte of the second block.
    Bytes image = MakeImage(300, 498);
    for (const std::size_t index : {5, 65536, 131072, 149998}) {
        image[index] = 0x0D;
    }
    Simulator::DeviceSettings device = QuickDevice(DeviceStart::Update, LogPath());
    device.ExpectedImage = Simulator::ReadSysExFile(WriteFile("expected.syx", image));
    SimulatedMidiRig rig({device});
    const RCPtr<LUpdateEngine> engine = EngineInUpdateMode(rig, image);
    // A device that finds the image spoilt never reports done.
    LUpdateEngine::SetFinalPollLimit(10000);

    ASSERT_EQ(engine->StartUpdate(), ZV_S_OK);
    WaitForCompletions(*engine, 1);
    EXPECT_EQ(Completions(), std::vector<bool>{true});
    EXPECT_EQ(engine->GetUpdateStatus(false), LUpdateEngineInterface::kUpdateFinished);
    EXPECT_TRUE(rig.Device().GetFindings().empty());
    EXPECT_EQ(ImageMessagesReceived(), 304u);
}

TEST_F(UpdateRun, SecondStartRightAfterASuccessfulRunIsRefusedAndSendsNothing)
{
    SimulatedMidiRig rig({QuickDevice(DeviceStart::Update, LogPath())});
    const RCPtr<LUpdateEngine> engine = EngineInUpdateMode(rig, MakeImage(4, 16));
    ASSERT_EQ(engine->StartUpdate(), ZV_S_OK);
    WaitForCompletions(*engine, 1);
    const std::vector<std::string> received = TextsOfKind(LogPath(), "RX");

    EXPECT_EQ(engine->StartUpdate(), ZV_E_FAIL);
    EXPECT_EQ(engine->WaitForUpdate(kBoundedWait.count() * 1000), ZV_S_OK);
    EXPECT_EQ(engine->GetDeviceState(), LUpdateEngineInterface::kDeviceUpdateEnded);
    EXPECT_EQ(engine->GetUpdateStatus(false), LUpdateEngineInterface::kUpdateFinished);
    EXPECT_EQ(Completions(), std::vector<bool>{true});
    EXPECT_EQ(TextsOfKind(LogPath(), "RX"), received);
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
    EXPECT_EQ(engine->GetUpdateFailure().DeviceLeft, LUpdateEngineInterface::DevicePlace::kInUpdateModeWithPartOfImage);
    EXPECT_GE(ImageMessagesReceived(), 20u);
    EXPECT_LT(ImageMessagesReceived(), 400u) << "the rest of the image is not sent";
}

TEST_F(UpdateRun, CancelDuringTheFinalPollChangesNothingAndTheDevicesConfirmationCompletesTheUpdate)
{
    Simulator::DeviceSettings device = QuickDevice(DeviceStart::Update, LogPath());
    device.FlashTime = std::chrono::milliseconds(700);
    SimulatedMidiRig rig({device});
    const RCPtr<LUpdateEngine> engine = EngineInUpdateMode(rig, MakeImage(3, 16));
    PortBench replies(rig.System(), "Halvista Left");
    ASSERT_TRUE(replies.Connect());

    ASSERT_EQ(engine->StartUpdate(), ZV_S_OK);
    // The first answer is the one that binds the device before its image.
    ASSERT_TRUE(replies.WaitForSent(InUpdateModeReply, 2)) << "the final poll has begun";
    EXPECT_EQ(engine->CancelUpdate(), ZV_S_FALSE) << "the whole image is out";
    WaitForCompletions(*engine, 1);

    EXPECT_EQ(Completions(), std::vector<bool>{true});
    EXPECT_EQ(engine->GetUpdateStatus(false), LUpdateEngineInterface::kUpdateFinished);
    EXPECT_EQ(engine->GetDeviceState(), LUpdateEngineInterface::kDeviceUpdateEnded);
    EXPECT_EQ(engine->GetUpdateFailure().Kind, LUpdateEngineInterface::FailureKind::kNone);
    EXPECT_TRUE(rig.Device().WaitForStateEntries(Simulator::DeviceState::Done, 1, kBoundedWait));
}

TEST_F(UpdateRun, FirmwareFileThatIsEmptyCutOffOrGoneIsRefusedBeforeAnythingIsSentAndTheDeviceStaysInUpdateMode)
{
    struct Case {
        const char* Name;
        Bytes Image;
        LUpdateEngineInterface::FailureKind Kind;
        ImageFault Fault;
    };
    Bytes cutOff = MakeImage(4, 8);
    cutOff.resize(cutOff.size() - 3);
    Bytes trailing = MakeImage(4, 8);
    trailing.insert(trailing.end(), {0x41, 0x42, 0x43});
    const Case cases[] = {
        {"empty", Bytes(), LUpdateEngineInterface::FailureKind::kImageRefused, ImageFault::kNoMessage},
        {"cut-off", cutOff, LUpdateEngineInterface::FailureKind::kImageRefused, ImageFault::kUnfinishedMessage},
        {"trailing", trailing, LUpdateEngineInterface::FailureKind::kImageRefused, ImageFault::kByteOutsideMessages},
        {"gone", MakeImage(2, 8), LUpdateEngineInterface::FailureKind::kImageUnreadable, ImageFault::kNone},
    };
    const auto spoil = [this](const Case& test) {
        if (test.Kind != LUpdateEngineInterface::FailureKind::kImageUnreadable) {
            WriteFile("image.syx", test.Image);
        }
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.Name);
        std::filesystem::remove_all(mFolder / "image.syx");
        const std::string logPath = mFolder / (std::string(test.Name) + ".log");
        SimulatedMidiRig rig({QuickDevice(DeviceStart::Update, logPath)});

        // Chosen as it is: the file is not offered.
        const RCPtr<LUpdateEngine> chosen = MakeEngine(rig);
        spoil(test);
        EXPECT_EQ(chosen->SetFirmwareFile(Wide(mFolder / "image.syx")), ZV_E_FAIL);
        EXPECT_EQ(chosen->GetFirmwareFileState(), LUpdateEngineInterface::kFileMissing);
        // A file that is not there is missing: there was nothing to read.
        const bool gone = test.Kind == LUpdateEngineInterface::FailureKind::kImageUnreadable;
        EXPECT_EQ(chosen->GetUpdateFailure().Kind, gone ? LUpdateEngineInterface::FailureKind::kNone : test.Kind);
        std::filesystem::remove_all(mFolder / "image.syx");

        // Spoiled after it was chosen: the start checks it again. Spoiled after it was checked before the device was
        // touched: the start finds the file no longer holds the image checked.
        for (const bool checkedBefore : {false, true}) {
            SCOPED_TRACE(checkedBefore ? "checked before the start" : "checked at the start");
            const RCPtr<LUpdateEngine> engine = EngineInUpdateMode(rig, MakeImage(2, 8));
            ASSERT_EQ(engine->GetFirmwareFileState(), LUpdateEngineInterface::kFilePresent);
            if (checkedBefore) {
                ASSERT_EQ(engine->CheckFirmwareFile(), ZV_S_OK);
            }
            std::filesystem::remove_all(mFolder / "image.syx");
            spoil(test);
            mLog->Entries.clear();

            EXPECT_EQ(engine->StartUpdate(), ZV_E_FAIL);
            EXPECT_EQ(engine->GetUpdateStatus(false), LUpdateEngineInterface::kUpdateIdle);
            EXPECT_EQ(engine->GetDeviceState(), LUpdateEngineInterface::kDeviceInUpdateMode)
                << "the file's fault is not the device's";
            const bool changed = checkedBefore && !gone;
            EXPECT_EQ(engine->GetFirmwareFileState(), LUpdateEngineInterface::kFileMissing)
                << "the file as it is now, also one that changed after it was checked";
            // Gone since it was chosen, it could not be read when the image was to be sent.
            EXPECT_EQ(engine->GetUpdateFailure().Kind,
                      changed ? LUpdateEngineInterface::FailureKind::kImageChanged : test.Kind);
            EXPECT_EQ(engine->GetUpdateFailure().Fault, checkedBefore ? ImageFault::kNone : test.Fault);
            EXPECT_TRUE(engine->DescribeFirmwareFileFailure().ends_with(
                "; nothing was sent, and the device waits in update mode"))
                << engine->DescribeFirmwareFileFailure();
            std::filesystem::remove_all(mFolder / "image.syx");
        }
        for (const std::string& text : TextsOfKind(logPath, "RX")) {
            EXPECT_EQ(text, StatusRequest) << "only the scans' requests: no image, and no poll for a done";
        }
    }
}

}  // namespace
}  // namespace ZV::Testing
