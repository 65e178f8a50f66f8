// The main window over the real update engine and the simulated device.

#include "UI/ApplicationTexts.h"
#include "UI/MainWindowHarness.h"

#include "Engine/EngineTestSupport.h"

#include <gtest/gtest.h>

namespace ZV::Testing {
namespace {

using Engine = ::LUpdateEngineInterface;

TEST(MainControlWithDevice, RestartAfterAFailedUpdateBuildsAFreshEngineWhoseLaterStatesReachTheLabels)
{
    TemporaryFolder folder;
    const std::string image = folder / "image.syx";
    const Bytes bytes = MakeImage(6, 16);
    WriteContent(image, std::string(bytes.begin(), bytes.end()));
    Simulator::DeviceSettings device = QuickDevice(Simulator::DeviceStart::Update, "");
    device.Faults.NeverDone = true;
    SimulatedMidiRig rig({device});
    struct ShortFinalPoll {
        ShortFinalPoll() { LUpdateEngine::SetFinalPollLimit(300); }
        ~ShortFinalPoll() { LUpdateEngine::SetFinalPollLimit(LUpdateEngine::kDefaultFinalPollLimit); }
    } shortFinalPoll;
    MainWindowHarness window(ApplicationSkinDocument(), [&rig] { return CreateUpdateEngine(rig.Factory()); });
    window.StartProcessor(WideString((std::string("-ALWAYS_UPDATE -ABSOLUTE_FIRMWARE_FILE_PATH=") + image).c_str()));
    window.OpenWindow();

    const auto updateFails = [&] {
        ASSERT_TRUE(window.IsShown(L"buttonUpdateFirmware"));
        window.Click(L"buttonUpdateFirmware");
        EXPECT_TRUE(window.IsShown(L"progressBar"));
        ASSERT_TRUE(window.PumpUntil([&] { return window.IsShown(L"buttonReinitialize"); }));
        EXPECT_FALSE(window.IsShown(L"progressBar"));
        EXPECT_EQ(window.TextOf(L"labelDeviceCannotUpdateError"), kDeviceAccessFailure);
    };
    updateFails();
    const RCPtr<Engine> first = window.GetUpdateProcessor()->GetEngine();

    window.Click(L"buttonReinitialize");
    ASSERT_NE(window.GetUpdateProcessor()->GetEngine(), first) << "a fresh engine";
    EXPECT_FALSE(window.IsShown(L"buttonReinitialize"));
    updateFails();
}

}  // namespace
}  // namespace ZV::Testing
