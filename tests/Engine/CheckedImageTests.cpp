#include "Engine/UpdateEngine.h"

#include "EngineTestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace ZV::Testing {
namespace {

using Simulator::DeviceStart;

// The messages of an image as the device logs them, one hex text each.
std::vector<std::string> MessagesOf(const Bytes& image)
{
    std::vector<std::string> messages;
    Bytes message;
    for (const std::uint8_t byte : image) {
        message.push_back(byte);
        if (byte == 0xF7) {
            messages.push_back(ToHex(message));
            message.clear();
        }
    }
    return messages;
}

// What the device received other than the engine's own requests.
std::vector<std::string> ImageReceived(const std::string& logPath)
{
    std::vector<std::string> image;
    for (const std::string& text : TextsOfKind(logPath, "RX")) {
        if (text != StatusRequest && text != VersionRequest && text != EnterUpdateModeRequest) {
            image.push_back(text);
        }
    }
    return image;
}

class CheckedImage : public EngineTest {};

// The road of every start from a running device, in the window or without it: the file is checked, the device is sent
// into update mode, and once it is back there the update starts. The file changes while the device restarts.
TEST_F(CheckedImage, IsTheOnlyImageSentAndAFileThatNoLongerHoldsItSendsNothingUntilTheNextStartChecksItAfresh)
{
    const Bytes checked = MakeImage(4, 8);
    const Bytes cut(checked.begin(), checked.begin() + 20);
    const Bytes swapped = MakeImage(4, 9);
    struct Case {
        const char* Name;
        std::function<void(LUpdateEngine&)> Change;
        // What goes out: nothing at first for a file changed since the check, then what the file holds.
        bool Refused;
        Bytes Sent;
    };
    const std::string path = mFolder / "image.syx";
    const Case cases[] = {
        {"unchanged", [](LUpdateEngine&) {}, false, checked},
        {"cut at a message boundary", [&](LUpdateEngine&) { WriteFile("image.syx", cut); }, true, cut},
        {"swapped for another image",
         [&](LUpdateEngine&) {
             WriteFile("other.syx", swapped);
             std::filesystem::rename(mFolder / "other.syx", path);
         },
         true, swapped},
        {"another file chosen",
         [&](LUpdateEngine& engine) {
             ASSERT_EQ(engine.SetFirmwareFile(Wide(WriteFile("chosen.syx", swapped))), ZV_S_OK);
         },
         false, swapped},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.Name);
        const std::string logPath = mFolder / (std::string(test.Name) + ".log");
        SimulatedMidiRig rig({QuickDevice(DeviceStart::Normal, logPath)});
        const RCPtr<LUpdateEngine> engine = MakeEngine(rig);
        ASSERT_EQ(engine->SetFirmwareFile(Wide(WriteFile("image.syx", checked))), ZV_S_OK);
        ASSERT_EQ(engine->ScanForDevices(), ZV_S_OK);
        ASSERT_EQ(engine->CheckFirmwareFile(), ZV_S_OK);
        ASSERT_EQ(engine->EnterUpdateMode(), ZV_S_OK);
        test.Change(*engine);
        const auto deadline = std::chrono::steady_clock::now() + kBoundedWait;
        while (engine->GetDeviceState() == LUpdateEngineInterface::kDeviceEnteringUpdateMode &&
               std::chrono::steady_clock::now() < deadline) {
            ASSERT_EQ(engine->RefreshSelectedDevice(), ZV_S_OK);
        }
        ASSERT_EQ(engine->GetDeviceState(), LUpdateEngineInterface::kDeviceInUpdateMode);

        if (test.Refused) {
            EXPECT_EQ(engine->StartUpdate(), ZV_E_FAIL);
            EXPECT_EQ(engine->GetUpdateFailure().Kind, LUpdateEngineInterface::FailureKind::kImageChanged);
            EXPECT_EQ(engine->DescribeFirmwareFileFailure(),
                      "the firmware file \"" + path +
                          "\" changed after it was checked; nothing was sent, and the device waits in update mode");
            EXPECT_EQ(engine->GetDeviceState(), LUpdateEngineInterface::kDeviceInUpdateMode);
            EXPECT_TRUE(ImageReceived(logPath).empty()) << "neither half an image nor another file";
        }
        ASSERT_EQ(engine->StartUpdate(), ZV_S_OK);
        ASSERT_EQ(engine->WaitForUpdate(kBoundedWaitMilliseconds), ZV_S_OK);
        EXPECT_EQ(engine->GetUpdateStatus(false), LUpdateEngineInterface::kUpdateFinished);
        EXPECT_EQ(ImageReceived(logPath), MessagesOf(test.Sent));
    }
}

}  // namespace
}  // namespace ZV::Testing
