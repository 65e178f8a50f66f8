#include "Engine/UpdateEngine.h"

#include "DebuggerOutputCapture.h"
#include "EngineTestSupport.h"

#include <gtest/gtest.h>


namespace ZV::Testing {
namespace {

using Simulator::DeviceStart;

// The image senders, called straight on an engine whose device waits in update mode.
class ImageSending : public EngineTest {
protected:
    ImageSending()
    {
        Simulator::DeviceSettings device = QuickDevice(DeviceStart::Update, LogPath());
        // Never done while a test sends several images.
        device.FlashTime = std::chrono::milliseconds(60000);
        mRig = std::make_unique<SimulatedMidiRig>(std::vector<Simulator::DeviceSettings>{device});
        mEngine = MakeEngine(*mRig, false);
    }

    // Sends the image written in hex; the result, with the messages that reached the device in received.
    ZVRESULT SendMessages(const std::string& hex, std::vector<std::string>& received)
    {
        return Send(hex, received, [this](const SharedFirmwareImage& image) {
            return mEngine->SendFileMessages(image, WideString(L"halvista left"));
        });
    }

    ZVRESULT Send(const std::string& hex, std::vector<std::string>& received,
                  const std::function<ZVRESULT(const SharedFirmwareImage&)>& sender)
    {
        auto image = std::make_shared<FirmwareImageBytes>();
        ToFirmwareImage(ParseHex(hex), *image);
        const std::size_t before = TextsOfKind(LogPath(), "RX").size();
        const ZVRESULT result = sender(image);
        const std::vector<std::string> all = TextsOfKind(LogPath(), "RX");
        received.assign(all.begin() + static_cast<std::ptrdiff_t>(before), all.end());
        return result;
    }

    std::vector<LEngineNotificationLog::Entry> TakeProgress()
    {
        GetApplicationNotificationCenter()->ProcessNotifications(false);
        std::vector<LEngineNotificationLog::Entry> progress = std::move(mLog->Entries);
        mLog->Entries.clear();
        return progress;
    }

    std::vector<double> ProgressFractions()
    {
        std::vector<double> fractions;
        for (const LEngineNotificationLog::Entry& entry : TakeProgress()) {
            fractions.push_back(entry.Fraction);
        }
        return fractions;
    }

    std::unique_ptr<SimulatedMidiRig> mRig;
    RCPtr<LUpdateEngine> mEngine;
    RCPtr<LEngineNotificationLog> mLog = LEngineNotificationLog::Create();
};

TEST_F(ImageSending, EachMessageGoesOutAsTheImageHoldsItWithProgressByBytesConsumed)
{
    std::vector<std::string> received;
    EXPECT_EQ(SendMessages("F0 01 02 F7 F0 03 F7", received), ZV_S_OK);
    EXPECT_EQ(received, (std::vector<std::string>{"F0 01 02 F7", "F0 03 F7"}));
    const std::vector<LEngineNotificationLog::Entry> progress = TakeProgress();
    ASSERT_EQ(progress.size(), 1u) << "of the reports nobody took, only the newest waits";
    EXPECT_EQ(progress[0].Id, kNidFirmwareUpdateProgress);
    EXPECT_EQ(progress[0].Fraction, 6.0 / 7.0) << "progress never reaches 1";
    EXPECT_EQ(progress[0].Stage, 0u);
    EXPECT_TRUE(progress[0].Estimate) << "the receiver estimates the time remaining";
    EXPECT_EQ(progress[0].TimeRemaining, 0xFFFFFFFFu);
    EXPECT_FALSE(progress[0].Last);

    EXPECT_EQ(SendMessages("F0 10 11 0D 20 F7 F0 30 0D 0D 31 F7", received), ZV_S_OK);
    EXPECT_EQ(received, (std::vector<std::string>{"F0 10 11 F7", "F0 0D 20 F7", "F0 30 F7", "F0 0D F7", "F0 0D 31 F7"}))
        << "0x0D ends a message and begins the next";
    EXPECT_EQ(mEngine->GetUpdateFailure().Kind, LUpdateEngineInterface::FailureKind::kNone);
    EXPECT_TRUE(mRig->Device().GetFindings().empty());
}

TEST_F(ImageSending, ImageThatIsNotACleanRunOfMessagesIsRefusedWholeAtItsFirstFaultWithNothingSent)
{
    struct Refused {
        std::string Hex;
        ImageFault Fault;
        std::uint32_t Offset;
    };
    std::vector<Refused> images = {
        {"", ImageFault::kNoMessage, 0},
        {"11 22 33", ImageFault::kByteOutsideMessages, 0},
        {"7E F0 01 F7", ImageFault::kByteOutsideMessages, 0},
        {"F0 01 F7 05 F0 02 F7", ImageFault::kByteOutsideMessages, 3},
        {"F0 01 F7 0D 02 F7", ImageFault::kByteOutsideMessages, 3},
        {"F0 01 F7 F7", ImageFault::kByteOutsideMessages, 3},
        {"F0 01 02 F7 41 42 43", ImageFault::kByteOutsideMessages, 4},
        {"F0 01 F0 02 F7", ImageFault::kMessageInsideMessage, 2},
        {"F0 01 F7 F0 02 90 40 F7", ImageFault::kStatusByteInMessage, 5},
        {"F0 F7", ImageFault::kEmptyMessage, 1},
        {"F0 0D 01 F7", ImageFault::kEmptyMessage, 1},
        {"F0 01 02", ImageFault::kUnfinishedMessage, 0},
        {"F0 01 F7 F0 02 03", ImageFault::kUnfinishedMessage, 3},
        {"F0 01 F7 F0 02 0D 03", ImageFault::kUnfinishedMessage, 5},
    };
    const Bytes noise = RandomBytes(1024, 20261207);
    FirmwareImageBytes noiseImage;
    ToFirmwareImage(noise, noiseImage);
    const ImageCheck noiseCheck = CheckFirmwareImage(noiseImage);
    ASSERT_NE(noiseCheck.Fault, ImageFault::kNone);
    images.push_back({ToHex(noise), noiseCheck.Fault, noiseCheck.Offset});

    for (const Refused& image : images) {
        SCOPED_TRACE("image \"" + image.Hex.substr(0, 40) + "\"");
        std::vector<std::string> received;
        const DebuggerOutputCapture debugger;
        EXPECT_EQ(SendMessages(image.Hex, received), ZV_E_FAIL);
        EXPECT_EQ(debugger.Texts(), std::vector<std::string>{"Firmware image refused at byte offset " +
                                                             std::to_string(image.Offset) + ": " +
                                                             DescribeImageFault(image.Fault) + "\n"});
        EXPECT_TRUE(received.empty()) << "nothing may reach the device";
        const LUpdateEngineInterface::UpdateFailure failure = mEngine->GetUpdateFailure();
        EXPECT_EQ(failure.Kind, LUpdateEngineInterface::FailureKind::kImageRefused);
        EXPECT_EQ(failure.Fault, image.Fault);
        EXPECT_EQ(failure.Offset, image.Offset);
    }
    EXPECT_TRUE(TakeProgress().empty());
    EXPECT_TRUE(mRig->Device().GetFindings().empty());
}

TEST_F(ImageSending, IdentityRequestGoesToTheNamedPortOnlyAndTheReservedSendSendsNothing)
{
    EXPECT_EQ(mEngine->SendIdentityRequest(WideString(L"No Such Device")), ZV_E_FAIL);
    EXPECT_EQ(mEngine->ReservedSend(1, 2, 3), ZV_S_OK);
    EXPECT_TRUE(TextsOfKind(LogPath(), "RX").empty());
    EXPECT_EQ(mEngine->SendIdentityRequest(WideString(L"Halvista Left")), 6);
    EXPECT_EQ(TextsOfKind(LogPath(), "RX"), std::vector<std::string>{"F0 7E 7F 06 01 F7"});
}

TEST_F(ImageSending, ChunksCarryTheImageAsItIsInPiecesOf128Bytes)
{
    const Bytes image = MakeImage(3, 98);
    std::vector<std::string> received;
    EXPECT_EQ(Send(ToHex(image), received,
                   [this](const SharedFirmwareImage& bytes) {
                       return mEngine->SendFileInChunks(*bytes, WideString(L"Halvista Left"));
                   }),
              ZV_S_OK);
    EXPECT_EQ(received, (std::vector<std::string>{ToHex(Bytes(image.begin(), image.begin() + 100)),
                                                   ToHex(Bytes(image.begin() + 100, image.begin() + 200)),
                                                   ToHex(Bytes(image.begin() + 200, image.end()))}));
    EXPECT_EQ(ProgressFractions(), (std::vector<double>{1.0}));
}

}  // namespace
}  // namespace ZV::Testing
