#include "App/HeadlessRoad.h"

#include "Engine/EngineTestSupport.h"
#include "Midi/MidiCommTestSupport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace ZV::Testing {
namespace {

using Simulator::DeviceStart;

class HeadlessRoad : public EngineTest {
protected:
    // Runs the program's road without a window against one simulated device, with the image as its firmware file,
    // over a cable of that many bytes per second (0: no limit).
    HeadlessOutcome Run(const Simulator::DeviceSettings& device, const Bytes& image, const std::string& switches,
                        std::uint32_t bytesPerSecond = 0)
    {
        SimulatedMidiRig rig({device}, bytesPerSecond);
        const std::string path = WriteFile("firmware image.syx", image);
        const HeadlessOutcome outcome =
            Finish(switches + " -ABSOLUTE_FIRMWARE_FILE_PATH=\"" + path + "\"", rig.Factory());
        mDeviceReachedDone = rig.Device().WaitForStateEntries(Simulator::DeviceState::Done, 1, std::chrono::seconds(0));
        mFindings = rig.Device().GetFindings();
        return outcome;
    }

    // The processor's initialisation with the command line, and the end of the program's road without a window: the
    // processor's own when it needs none, else the one that a silent run takes without a display.
    static HeadlessOutcome Finish(const std::string& commandLine, MidiCommFactory factory)
    {
        const RCPtr<LUpdateProcessor> processor(new LUpdateProcessor(std::move(factory)));
        const ZVRESULT initialized = processor->Initialize(Wide(commandLine));
        EXPECT_TRUE(initialized == LUpdateProcessor::kFinishedWithoutWindow || initialized == ZV_S_OK);
        return initialized == ZV_S_OK ? FinishWithoutDisplay(*processor) : FinishWithoutWindow(*processor);
    }

    std::string ImagePath() const { return mFolder / "firmware image.syx"; }

    std::size_t ImageMessagesReceived() const
    {
        std::size_t count = 0;
        for (const std::string& text : TextsOfKind(LogPath(), "RX")) {
            count += text != StatusRequest && text != VersionRequest && text != EnterUpdateModeRequest;
        }
        return count;
    }

    bool mDeviceReachedDone = false;
    std::vector<std::string> mFindings;
};

const std::string kSilentAutomatic = "-SILENT -START_UPDATE_AUTOMATICALLY";

TEST_F(HeadlessRoad, SilentRunThatUpdatesOrNeedsNoUpdateEndsWith1AndSaysNothing)
{
    for (const DeviceStart start : {DeviceStart::Update, DeviceStart::Normal}) {
        SCOPED_TRACE(start == DeviceStart::Update ? "in update mode" : "running");
        const HeadlessOutcome outcome = Run(QuickDevice(start, LogPath()), MakeImage(6, 12), kSilentAutomatic);
        EXPECT_EQ(outcome.ExitCode, kExitFinished);
        EXPECT_EQ(outcome.ErrorLine, "");
        EXPECT_TRUE(mDeviceReachedDone);
        EXPECT_TRUE(mFindings.empty());
    }

    Simulator::DeviceSettings upToDate = QuickDevice(DeviceStart::Normal, LogPath());
    upToDate.Build = LUpdateEngineInterface::kFirmwareFileBuild;
    const HeadlessOutcome outcome = Run(upToDate, MakeImage(6, 12), "-SILENT");
    EXPECT_EQ(outcome.ExitCode, kExitFinished);
    EXPECT_EQ(outcome.ErrorLine, "");
}

TEST_F(HeadlessRoad, SilentRunWhoseUpdateFailsEndsWith3AndOneLineSayingWhatFailed)
{
    const Bytes noise = RandomBytes(1024, 7);
    FirmwareImageBytes noiseImage;
    ToFirmwareImage(noise, noiseImage);
    const ImageCheck noiseCheck = CheckFirmwareImage(noiseImage);
    ASSERT_NE(noiseCheck.Fault, ImageFault::kNone);

    HeadlessOutcome outcome = Run(QuickDevice(DeviceStart::Update, LogPath()), noise, kSilentAutomatic);
    EXPECT_EQ(outcome.ExitCode, kExitUpdateFailed);
    EXPECT_EQ(outcome.ErrorLine, "FirmwareUpdater: the firmware file \"" + ImagePath() +
                                     "\" was refused at byte offset " + std::to_string(noiseCheck.Offset) + ": " +
                                     DescribeImageFault(noiseCheck.Fault) + "; nothing was sent\n");
    EXPECT_EQ(ImageMessagesReceived(), 0u);

    // Confirmed, but back on its old build: whether it was sent into update mode or found there.
    for (const DeviceStart start : {DeviceStart::Normal, DeviceStart::Update}) {
        Simulator::DeviceSettings notTaken = QuickDevice(start, LogPath());
        notTaken.NewBuild = 78500;
        outcome = Run(notTaken, MakeImage(3, 8), kSilentAutomatic);
        EXPECT_EQ(outcome.ExitCode, kExitUpdateFailed);
        EXPECT_EQ(outcome.ErrorLine, "FirmwareUpdater: the device confirmed the update, but came back running build "
                                     "78500, not the firmware file's build 78822; the update did not take\n");
        EXPECT_TRUE(mDeviceReachedDone);
    }

    Simulator::DeviceSettings neverDone = QuickDevice(DeviceStart::Update, LogPath());
    neverDone.Faults.NeverDone = true;
    LUpdateEngine::SetFinalPollLimit(300);
    outcome = Run(neverDone, MakeImage(3, 8), kSilentAutomatic);
    EXPECT_EQ(outcome.ExitCode, kExitUpdateFailed);
    EXPECT_EQ(outcome.ErrorLine,
              "FirmwareUpdater: the device took the image but did not confirm the update within 300 ms; where the "
              "device is now is unknown\n");

    Simulator::DeviceSettings vanishing = QuickDevice(DeviceStart::Update, LogPath());
    vanishing.Faults.VanishAfterImageMessages = 2;
    outcome = Run(vanishing, MakeImage(5, 8), kSilentAutomatic);
    EXPECT_EQ(outcome.ExitCode, kExitUpdateFailed);
    EXPECT_EQ(outcome.ErrorLine, "FirmwareUpdater: the device went away during the update (at byte offset 21 of the "
                                 "image)\n");

    Simulator::DeviceSettings neverBack = QuickDevice(DeviceStart::Normal, LogPath());
    neverBack.RestartTime = std::chrono::milliseconds(60000);
    LUpdateProcessor::SetUpdateModeEntryWait(2 * LUpdateProcessor::kUpdateModeEntryTurn);
    outcome = Run(neverBack, MakeImage(3, 8), kSilentAutomatic);
    EXPECT_EQ(outcome.ExitCode, kExitUpdateFailed);
    EXPECT_EQ(outcome.ErrorLine, "FirmwareUpdater: the device did not come back in update mode within 1 s; nothing "
                                 "was sent, and where the device is now is unknown\n");
}

// Where a silent run's wait ends: at the n-th message that the update hands the driver from its image's first on (the
// image's messages, then the status requests that ask for the confirmation), rather than at a time. The message stops
// on its way there until the cancel that the wait's end brings has come, and the wait ends only once it stands there.
class WaitsEnd {
public:
    explicit WaitsEnd(std::uint32_t message) : mMessage(message) {}

    // On the sender's thread, as a message goes into the driver.
    void OnItsWay(const Platform::MidiLongMessage& message)
    {
        std::unique_lock lock(mMutex);
        mImageBegun = mImageBegun || message.IsSysExBody;
        if (!mImageBegun || ++mSent != mMessage) {
            return;
        }
        mReached = true;
        mChanged.notify_all();
        (void)mChanged.wait_for(lock, kHangGuard, [this] { return mCancelled; });
    }
    bool AwaitStop()
    {
        std::unique_lock lock(mMutex);
        return mChanged.wait_for(lock, kHangGuard, [this] { return mReached; });
    }
    void Cancelled()
    {
        std::lock_guard lock(mMutex);
        mCancelled = true;
        mChanged.notify_all();
    }

private:
    // Long enough for any machine to reach the point, short of the test's own limit.
    static constexpr std::chrono::seconds kHangGuard{60};

    const std::uint32_t mMessage;
    std::mutex mMutex;
    std::condition_variable mChanged;
    bool mImageBegun = false;
    std::uint32_t mSent = 0;
    bool mReached = false;
    bool mCancelled = false;
};

// The program's engine, whose silent wait ends where the test says rather than at a time: it waits as long as the
// program asks once the update stands there, and the update goes on once the cancel that follows has come.
class LEngineWhoseWaitEndsAtAPoint final : public LUpdateEngine {
public:
    LEngineWhoseWaitEndsAtAPoint(MidiCommFactory factory, WaitsEnd& waitsEnd)
        : LUpdateEngine(std::move(factory)), mWaitsEnd(waitsEnd)
    {
    }

    ZVRESULT WaitForUpdate(std::uint32_t milliseconds) override
    {
        if (milliseconds != kWaitInfinite) {
            EXPECT_TRUE(mWaitsEnd.AwaitStop()) << "the update never came to the point where the wait ends";
        }
        return LUpdateEngine::WaitForUpdate(milliseconds);
    }
    ZVRESULT CancelUpdate() override
    {
        const ZVRESULT cancelled = LUpdateEngine::CancelUpdate();
        mWaitsEnd.Cancelled();
        return cancelled;
    }

private:
    WaitsEnd& mWaitsEnd;
};

TEST_F(HeadlessRoad, SilentWaitThatEndsOnceTheLastMessageIsOnItsWayLeavesTheUpdateToEndAndTheConfirmationCounts)
{
    LUpdateProcessor::SetSilentUpdateWait(700);
    // The silent road over a device in update mode, whose wait ends as the update's n-th message from the image's first
    // on goes.
    const auto runWithTheWaitEndingAt = [this](std::uint32_t message, const Bytes& image) {
        SimulatedMidiRig rig({QuickDevice(DeviceStart::Update, LogPath())});
        WaitsEnd waitsEnd(message);
        const auto driver = std::make_shared<CountingMidiDriver>(rig.SharedSystem());
        driver->Before = [&waitsEnd](const Platform::MidiLongMessage& sent) { waitsEnd.OnItsWay(sent); };
        const MidiCommFactory factory = [driver] { return RCPtr<LMidiCommInterface>(LMidiComm::Create(driver)); };
        const RCPtr<LUpdateProcessor> processor(new LUpdateProcessor(factory));
        processor->SetEngineFactory(
            [&] { return RCPtr<LUpdateEngineInterface>(new LEngineWhoseWaitEndsAtAPoint(factory, waitsEnd)); });
        const std::string path = WriteFile("firmware image.syx", image);
        EXPECT_EQ(processor->Initialize(Wide(kSilentAutomatic + " -ABSOLUTE_FIRMWARE_FILE_PATH=\"" + path + "\"")),
                  LUpdateProcessor::kFinishedWithoutWindow);
        const HeadlessOutcome outcome = FinishWithoutWindow(*processor);
        mDeviceReachedDone = rig.Device().WaitForStateEntries(Simulator::DeviceState::Done, 1, std::chrono::seconds(0));
        return outcome;
    };

    // The whole image is out, and the device's confirmation is asked for once the wait has ended.
    HeadlessOutcome outcome = runWithTheWaitEndingAt(4, MakeImage(3, 8));
    EXPECT_EQ(outcome.ExitCode, kExitFinished) << outcome.ErrorLine;
    EXPECT_EQ(outcome.ErrorLine, "");
    EXPECT_TRUE(mDeviceReachedDone);

    // The one message, the last, is on its way.
    outcome = runWithTheWaitEndingAt(1, MakeImage(1, 4000));
    EXPECT_EQ(outcome.ExitCode, kExitFinished) << outcome.ErrorLine;
    EXPECT_EQ(outcome.ErrorLine, "");
    EXPECT_TRUE(mDeviceReachedDone);

    // The second of four messages is on its way: it goes, and no further one follows.
    outcome = runWithTheWaitEndingAt(2, MakeImage(4, 1000));
    EXPECT_EQ(outcome.ExitCode, kExitUpdateFailed);
    EXPECT_EQ(outcome.ErrorLine, "FirmwareUpdater: the update did not end within 700 ms and was cancelled; the device "
                                 "waits in update mode with part of its image\n");
    EXPECT_EQ(ImageMessagesReceived(), 2u);
}

TEST_F(HeadlessRoad, FirmwareFileThatCannotBeReadEndsWith3AndSaysSoWithNothingSent)
{
    // A named pipe is there as a file, but no image can be read from it.
    SimulatedMidiRig rig({QuickDevice(DeviceStart::Update, LogPath())});
    const std::string pipe = mFolder / "firmware pipe.syx";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const HeadlessOutcome outcome =
        Finish(kSilentAutomatic + " -ABSOLUTE_FIRMWARE_FILE_PATH=\"" + pipe + "\"", rig.Factory());
    EXPECT_EQ(outcome.ExitCode, kExitUpdateFailed);
    EXPECT_EQ(outcome.ErrorLine, "FirmwareUpdater: the firmware file \"" + pipe + "\" could not be read\n");
    EXPECT_EQ(ImageMessagesReceived(), 0u);
    EXPECT_TRUE(rig.Device().GetFindings().empty());
}

TEST_F(HeadlessRoad, SilentRunWhoseDeviceHasANamesakeGoingIntoUpdateModeOrAwayWhileItRestartsEndsWith3AtOnce)
{
    // Either way one device of the name is back in update mode where two were: it may be the chosen one or the other.
    for (const bool unplugged : {false, true}) {
        SCOPED_TRACE(unplugged ? "the other unplugged" : "the other sent into update mode");
        Simulator::DeviceSettings chosen = QuickDevice(DeviceStart::Normal, LogPath());
        chosen.RestartTime = std::chrono::milliseconds(3000);
        const std::string otherLog = mFolder / "other.log";
        SimulatedMidiRig rig({chosen, QuickDevice(DeviceStart::Normal, otherLog)});
        // Another program acts on the other device while the chosen one restarts.
        std::thread anotherProgram([&rig, unplugged] {
            if (!rig.Device(0).WaitForStateEntries(Simulator::DeviceState::Restarting, 1, kBoundedWait)) {
                return;
            }
            if (unplugged) {
                rig.Device(1).Unplug();
            } else {
                SendIntoUpdateMode(rig, 0);
            }
        });
        const std::string path = WriteFile("image.syx", MakeImage(2, 8));
        const auto started = std::chrono::steady_clock::now();
        const HeadlessOutcome outcome = Finish(kSilentAutomatic + " -ABSOLUTE_FIRMWARE_FILE_PATH=\"" + path + "\"",
                                               rig.Factory());
        const auto elapsed = std::chrono::steady_clock::now() - started;
        anotherProgram.join();
        EXPECT_EQ(outcome.ExitCode, kExitUpdateFailed);
        EXPECT_EQ(outcome.ErrorLine, "FirmwareUpdater: a device named \"Halvista Left\" went missing after the one to "
                                     "update was sent into update mode, so the device in update mode may be another "
                                     "one; nothing was sent, and where the device is now is unknown\n");
        EXPECT_LT(elapsed, std::chrono::milliseconds(LUpdateProcessor::kDefaultUpdateModeEntryWait / 2))
            << "the wait for update mode ends once what came back cannot be used";
        EXPECT_EQ(ImageMessagesReceived(), 0u);
        for (const std::string& received : TextsOfKind(otherLog, "RX")) {
            EXPECT_TRUE(received == StatusRequest || received == VersionRequest || received == EnterUpdateModeRequest)
                << "the other device received " << received;
        }
    }
}

TEST_F(HeadlessRoad, SilentRunWhoseNamesakeTookTheImageWhileTheChosenOneStayedAwayEndsWith3SayingOneMayWait)
{
    // The chosen device restarts into update mode and stays away; meanwhile another of its name is plugged in, in
    // update mode already: it takes the image, confirms it and restarts, away until the end of the test.
    Simulator::DeviceSettings newcomer = QuickDevice(DeviceStart::Update, mFolder / "newcomer.log");
    newcomer.Faults.PlugInOnCue = true;
    const std::string release = mFolder / "release";
    SimulatedMidiRig rig({QuickDevice(DeviceStart::Normal, LogPath()), newcomer}, 0,
                         "1.restarting:plug=2,1.restarting:hold,2.restarting:hold", release);
    LUpdateProcessor::SetUpdateModeEntryWait(1500);
    const std::string path = WriteFile("image.syx", MakeImage(2, 8));
    const HeadlessOutcome outcome =
        Finish(kSilentAutomatic + " -ABSOLUTE_FIRMWARE_FILE_PATH=\"" + path + "\"", rig.Factory());
    EXPECT_EQ(outcome.ExitCode, kExitUpdateFailed);
    EXPECT_EQ(outcome.ErrorLine, "FirmwareUpdater: a device named \"Halvista Left\" confirmed the image, but fewer "
                                 "devices of that name are connected than when the device to update was sent into "
                                 "update mode, and one that is away may wait in update mode for its image; connect "
                                 "only that one and update it\n");
    EXPECT_TRUE(rig.Device(1).WaitForStateEntries(Simulator::DeviceState::Done, 1, std::chrono::seconds(0)));

    // Let go, the chosen one comes back in update mode, waiting for an image that never reached it.
    WriteContent(release, "1\n");
    EXPECT_TRUE(rig.Device(0).WaitForStateEntries(Simulator::DeviceState::Update, 1, kBoundedWait));
    EXPECT_EQ(ImageMessagesReceived(), 0u);
}

// An engine whose worker never takes the update: the start is refused with nothing to say about the file.
class LEngineThatCannotStart : public LUpdateEngine {
public:
    using LUpdateEngine::LUpdateEngine;
    ZVRESULT StartUpdate() override { return ZV_E_FAIL; }
};

TEST_F(HeadlessRoad, SilentRunWhoseUpdateCouldNotStartEndsWith3SayingTheDeviceWaitsInUpdateMode)
{
    SimulatedMidiRig rig({QuickDevice(DeviceStart::Update, LogPath())});
    const RCPtr<LUpdateProcessor> processor(new LUpdateProcessor(rig.Factory()));
    processor->SetEngineFactory(
        [&rig] { return RCPtr<LUpdateEngineInterface>(new LEngineThatCannotStart(rig.Factory())); });
    const std::string path = WriteFile("image.syx", MakeImage(2, 8));
    ASSERT_EQ(processor->Initialize(Wide(kSilentAutomatic + " -ABSOLUTE_FIRMWARE_FILE_PATH=\"" + path + "\"")),
              LUpdateProcessor::kFinishedWithoutWindow);
    const HeadlessOutcome outcome = FinishWithoutWindow(*processor);
    EXPECT_EQ(outcome.ExitCode, kExitUpdateFailed);
    EXPECT_EQ(outcome.ErrorLine, "FirmwareUpdater: the update could not be started; nothing was sent, and the device "
                                 "waits in update mode\n");
    EXPECT_EQ(ImageMessagesReceived(), 0u);
}

}  // namespace
}  // namespace ZV::Testing
