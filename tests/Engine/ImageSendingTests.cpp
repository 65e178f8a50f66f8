#include "Engine/UpdateEngine.h"

#include "EngineTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>

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
        return Send(hex, received, [this](const FirmwareImageBytes& image) {
            return mEngine->SendFileMessages(image, WideString(L"halvista left"));
        });
    }

    ZVRESULT Send(const std::string& hex, std::vector<std::string>& received,
                  const std::function<ZVRESULT(const FirmwareImageBytes&)>& sender)
    {
        const Bytes bytes = ParseHex(hex);
        FirmwareImageBytes image;
        image.SetCount(static_cast<std::uint32_t>(bytes.size()));
        if (!bytes.empty()) {
            std::memcpy(image.GetData(), bytes.data(), bytes.size());
        }
        const std::size_t before = TextsOfKind(LogPath(), "RX").size();
        const ZVRESULT result = sender(image);
        const std::vector<std::string> all = TextsOfKind(LogPath(), "RX");
        received.assign(all.begin() + static_cast<std::ptrdiff_t>(before), all.end());
        return result;
    }

    std::vector<double> ProgressFractions()
    {
        GetApplicationNotificationCenter()->ProcessNotifications(false);
        std::vector<double> fractions;
        for (const LEngineNotificationLog::Entry& entry : mLog->Entries) {
            fractions.push_back(entry.Fraction);
        }
        mLog->Entries.clear();
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
    EXPECT_EQ(ProgressFractions(), (std::vector<double>{6.0 / 7.0}))
        << "progress never reaches 1, and of the reports nobody took, only the newest waits";

    EXPECT_EQ(SendMessages("F0 10 11 0D 20 F7 F0 30 F7 44 55", received), ZV_S_OK);
    EXPECT_EQ(received, (std::vector<std::string>{"F0 10 11 F7", "F0 0D 20 F7", "F0 30 F7"}))
        << "0x0D ends a message and begins the next; bytes after the last F7 are not sent";

    EXPECT_EQ(SendMessages("F0 01 F0 02 F7 05 0D 03 F7", received), ZV_S_OK);
    EXPECT_EQ(received, (std::vector<std::string>{"F0 01 02 F7", "F0 05 F7", "F0 0D 03 F7"}))
        << "an F0 inside a body is dropped, and a body may begin without one";
    EXPECT_TRUE(mRig->Device().GetFindings().empty());
}

TEST_F(ImageSending, ImageThatYieldsNoWholeMessageFailsWithNothingSent)
{
    for (const std::string hex : {"", "F0 F7", "11 22 33", "F0 01 02", "F0 01 F7 0D 02 F7", "F0 01 F7 F0 F7"}) {
        std::vector<std::string> received;
        EXPECT_EQ(SendMessages(hex, received), ZV_E_FAIL) << "image \"" << hex << "\"";
        EXPECT_TRUE(received.empty()) << "image \"" << hex << "\": nothing may reach the device";
    }
    EXPECT_TRUE(ProgressFractions().empty());
}

TEST_F(ImageSending, ChunksCarryTheImageAsItIsInPiecesOf128Bytes)
{
    const Bytes image = MakeImage(3, 98);
    std::vector<std::string> received;
    EXPECT_EQ(Send(ToHex(image), received,
                   [this](const FirmwareImageBytes& bytes) {
                       return mEngine->SendFileInChunks(bytes, WideString(L"Halvista Left"));
                   }),
              ZV_S_OK);
    EXPECT_EQ(received, (std::vector<std::string>{ToHex(Bytes(image.begin(), image.begin() + 100)),
                                                   ToHex(Bytes(image.begin() + 100, image.begin() + 200)),
                                                   ToHex(Bytes(image.begin() + 200, image.end()))}));
    EXPECT_EQ(ProgressFractions(), (std::vector<double>{1.0}));
}

}  // namespace
}  // namespace ZV::Testing
