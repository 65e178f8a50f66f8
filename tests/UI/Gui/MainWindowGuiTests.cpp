// Google Test first: the desktop's headers define None.
#include <gtest/gtest.h>

#include "Controls/ComboMenu.h"
#include "Controls/MainMenu.h"
#include "Controls/PopupMenu.h"
#include "Controls/ProgressBar.h"
#include "Notification/NotificationCenterManager.h"
#include "Notification/NotificationClient.h"
#include "Platform/Clock.h"
#include "System/Gui/DesktopInput.h"
#include "System/Gui/LoopTurns.h"
#include "TestFiles.h"
#include "UI/ApplicationTexts.h"
#include "UI/Gui/MainWindowApplication.h"
#include "support/WindowPixels.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace ZV {
namespace {

using namespace Testing;

// An image of messages F0 <body> F7 whose bodies differ.
std::vector<Simulator::MidiBytes> MakeImage(int count, int bodyLength)
{
    std::vector<Simulator::MidiBytes> image;
    for (int message = 0; message < count; ++message) {
        Simulator::MidiBytes bytes{0xF0};
        for (int index = 0; index < bodyLength; ++index) {
            const auto byte = static_cast<std::uint8_t>((message * 31 + index * 7) % 0x80);
            bytes.push_back(byte == 0x0D ? 0x0E : byte);
        }
        bytes.push_back(0xF7);
        image.push_back(bytes);
    }
    return image;
}

std::string Hex(const Simulator::MidiBytes& bytes)
{
    std::string text;
    for (const std::uint8_t byte : bytes) {
        char digits[4];
        std::snprintf(digits, sizeof digits, "%02X ", byte);
        text += digits;
    }
    text.pop_back();
    return text;
}

class LExitRequests : public LNotificationClient {
public:
    void ReceiveNotification(const ConstRCPtr<LNotificationDistributor>&, const RCPtr<LNotification>&) override
    {
        ++count;
    }
    int count = 0;
};

class MainWindowGui : public ::testing::Test {
protected:
    MainWindowGui()
    {
        setenv("XDG_DATA_HOME", mFolder.Path().c_str(), 1);
        Simulator::DeviceSettings device;
        device.RestartTime = std::chrono::milliseconds(300);
        device.FlashTime = std::chrono::milliseconds(300);
        device.ExpectedImage = mImage;
        device.LogPath = mFolder / "device.log";
        Simulator::SimulationSettings settings;
        settings.Devices = {device};
        // Slow enough for the bar to be seen moving.
        settings.BytesPerSecond = 40000;
        mApplication = std::make_unique<Testing::MainWindowApplication>(settings);
        std::string image;
        for (const Simulator::MidiBytes& message : mImage) {
            image.append(message.begin(), message.end());
        }
        mImagePath = mFolder.Write("image.syx", image);
    }
    ~MainWindowGui() override
    {
        mApplication.reset();
        GetApplicationNotificationCenter()->Clear();
    }

    // The processor set up for the image, and the main window shown.
    void OpenWindow()
    {
        ASSERT_TRUE(mInput.IsOpen()) << "no X display";
        ASSERT_TRUE(mApplication->Open(WideString(("-ABSOLUTE_FIRMWARE_FILE_PATH=" + mImagePath).c_str())));
        mRoot = mApplication->Root();
        mMain = RCPtr<LMainControl>(&mApplication->Main());
    }
    LControl& Child(const wchar_t* name) { return *mMain->FindChildByName(name); }
    bool IsShown(const wchar_t* name) { return Child(name).IsVisible(true); }
    std::string TextOf(const wchar_t* name) { return Child(name).GetText().ToUTF8().GetData(); }
    // A click of the left button in the middle of the child, through the desktop.
    void ClickOn(const wchar_t* name) { ClickOn(Child(name)); }
    void ClickOn(const LControl& control)
    {
        const RectT<zlong> client = mRoot->GetScreenBounds();
        const PointT<double> origin = control.GetAbsoluteOrigin();
        mInput.MoveTo(static_cast<int>(client.x + origin.x + control.GetSize().x / 2),
                      static_cast<int>(client.y + origin.y + control.GetSize().y / 2));
        mInput.Click(1);
    }
    // Opens the bar's menu with a click on its title and chooses the item with a click on its row.
    void ChooseFromMenuBar(std::uint32_t menu, std::uint32_t item)
    {
        auto& bar = dynamic_cast<LMainMenu&>(Child(L"mainMenu"));
        const RCPtr<LComboMenu> title = bar.GetMenuAt(menu);
        ASSERT_TRUE(title);
        ClickOn(*title);
        ASSERT_TRUE(RunLoopUntil([&] { return title->IsDropDownOpen(); }));
        const RCPtr<LPopupMenu> popup = GetPopupMenu(*title);
        ClickOn(*popup->GetRowControl(item));
        ASSERT_TRUE(RunLoopUntil([&] { return !title->IsDropDownOpen(); }));
    }
    // The child's rectangle as the server shows it, once what was drawn has reached it.
    std::vector<std::uint32_t> PixelsOf(const wchar_t* name)
    {
        LControl& child = Child(name);
        const PointT<double> origin = child.GetAbsoluteOrigin();
        const Platform::NativeWindow& window = *mApplication->Host().GetMainWindow()->GetWindowHandle();
        Testing::WaitForServer(window);
        return Testing::ReadWindowPixels(window, static_cast<int>(origin.x), static_cast<int>(origin.y),
                                         static_cast<int>(child.GetSize().x), static_cast<int>(child.GetSize().y));
    }
    // The image messages the device's log says it took, in order.
    std::vector<std::string> ImageMessagesLogged() const
    {
        std::vector<std::string> image;
        for (const Simulator::MidiBytes& message : mImage) {
            image.push_back(Hex(message));
        }
        std::vector<std::string> logged;
        std::ifstream log(mFolder / "device.log");
        for (std::string line; std::getline(log, line);) {
            const std::size_t received = line.find(" RX ");
            if (received != std::string::npos &&
                std::find(image.begin(), image.end(), line.substr(received + 4)) != image.end()) {
                logged.push_back(line.substr(received + 4));
            }
        }
        return logged;
    }

    TemporaryFolder mFolder;
    const std::vector<Simulator::MidiBytes> mImage = MakeImage(300, 48);
    std::string mImagePath;
    std::unique_ptr<Testing::MainWindowApplication> mApplication;
    DesktopInput mInput;
    RCPtr<LRootWindow> mRoot;
    RCPtr<LMainControl> mMain;
};

TEST_F(MainWindowGui, ClicksTakeARunningDeviceThroughTheWholeUpdateRoadAndTheDeviceTakesTheWholeImage)
{
    ASSERT_NO_FATAL_FAILURE(OpenWindow());

    EXPECT_EQ(TextOf(L"labelUpdateProcessInformation"), kReady);
    EXPECT_TRUE(IsShown(L"buttonUpdateFirmware"));
    EXPECT_EQ(TextOf(L"buttonUpdateFirmware"), "UPDATE FIRMWARE");
    const std::vector<std::uint32_t> withButton = PixelsOf(L"buttonUpdateFirmware");

    // While the device restarts into update mode the window waits, saying so, under the wait cursor; its first turn
    // lasts until the test has looked.
    std::mutex turnLock;
    std::condition_variable turnChanged;
    bool turnBegun = false;
    bool looked = false;
    mMain->SetWaitTurn([&](std::uint32_t milliseconds) {
        {
            std::unique_lock held(turnLock);
            turnBegun = true;
            turnChanged.notify_all();
            (void)turnChanged.wait_for(held, std::chrono::seconds(30), [&] { return looked; });
        }
        Platform::SleepMilliseconds(milliseconds);
    });
    ClickOn(L"buttonUpdateFirmware");
    ASSERT_TRUE(RunLoopUntil([&] {
        const std::lock_guard held(turnLock);
        return turnBegun;
    }));
    EXPECT_EQ(TextOf(L"labelUpdateProcessInformation"), kResetting);
    const CursorHandle wait = mRoot->GetNamedCursor(L"UI_CURSOR_WAIT");
    const CursorHandle shown = mRoot->SetCursor(wait);
    (void)mRoot->SetCursor(shown);
    EXPECT_EQ(shown, wait);
    {
        const std::lock_guard held(turnLock);
        looked = true;
        turnChanged.notify_all();
    }
    ASSERT_TRUE(RunLoopUntil([&] { return IsShown(L"progressBar"); }, 10000));
    EXPECT_NE(mRoot->SetCursor(0), wait) << "given back after the wait";

    auto& bar = dynamic_cast<LProgressBar&>(Child(L"progressBar"));
    ASSERT_TRUE(RunLoopUntil([&] { return bar.GetValue() > 0.2; }, 10000));
    EXPECT_LT(bar.GetValue(), 1.0) << "seen on its way";
    EXPECT_EQ(TextOf(L"labelUpdateProcessInformation"), kInProgress);
    EXPECT_NE(PixelsOf(L"buttonUpdateFirmware"), withButton) << "the button has gone from the screen";
    EXPECT_FALSE(IsShown(L"buttonExit"));
    EXPECT_FALSE(mMain->IsNotUpdating());

    ASSERT_TRUE(RunLoopUntil([&] { return IsShown(L"buttonManualDeviceHasUpdatedRescanButton"); }, 30000));
    EXPECT_EQ(TextOf(L"labelUpdateProcessInformation"), kAfterUpdate);
    EXPECT_TRUE(IsShown(L"buttonExit"));
    // Once its look for the device after the update has ended.
    EXPECT_TRUE(RunLoopUntil([&] { return mMain->IsNotUpdating(); }));

    // NEXT finds nothing until the device is back from its restart.
    const auto succeeded = [&] { return TextOf(L"labelUpdateProcessInformation") == kSucceeded; };
    for (int attempt = 0; attempt < 20 && !succeeded(); ++attempt) {
        ClickOn(L"buttonManualDeviceHasUpdatedRescanButton");
        (void)RunLoopUntil(succeeded, 1000);
    }
    ASSERT_TRUE(succeeded());
    EXPECT_FALSE(IsShown(L"buttonManualDeviceHasUpdatedRescanButton"));
    EXPECT_EQ(TextOf(L"labelDeviceFirmwareVersion"), "Device Firmware Version: 78822");

    const RCPtr<LExitRequests> exits(new LExitRequests());
    ASSERT_NE(exits->RegisterForNotification(GetApplicationNotificationCenter(), L"NID_APP_EXIT_REQ", 0), nullptr);
    ClickOn(L"buttonExit");
    EXPECT_TRUE(RunLoopUntil([&] { return exits->count == 1; }));
    (void)exits->UnregisterForNotification(GetApplicationNotificationCenter(), L"NID_APP_EXIT_REQ");

    std::vector<std::string> image;
    for (const Simulator::MidiBytes& message : mImage) {
        image.push_back(Hex(message));
    }
    EXPECT_EQ(ImageMessagesLogged(), image);
}

TEST_F(MainWindowGui, FileCommandAsksThePickerWithTheApplicationsTextsAndHandsTheChosenFileToTheEngine)
{
    ASSERT_NO_FATAL_FAILURE(OpenWindow());
    const std::string chosen = mFolder.Write("other.syx", "\xF0\x01\xF7");
    const std::string arguments = mFolder / "picker-arguments";
    setenv("ZV_OPEN_FILE_HELPER", ZV_TEST_FILE_PICKER, 1);
    setenv("ZV_TEST_PICKER_LOG", arguments.c_str(), 1);
    setenv("ZV_TEST_PICKER_ANSWER", (chosen + "\n").c_str(), 1);
    const auto filePath = [&] {
        WideString path;
        (void)mApplication->GetUpdateProcessor()->GetEngine()->GetFirmwareFilePath(path);
        return std::string(path.ToUTF8().GetData());
    };

    ASSERT_EQ(mRoot->PostNotification(LNotification::Create(L"NID_MENU_FILE_SELECT", nullptr)), 0);
    EXPECT_TRUE(RunLoopUntil([&] { return filePath() == chosen; }));
    std::ifstream log(arguments);
    const std::string asked((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
    EXPECT_NE(asked.find("Select Firmware File"), std::string::npos) << asked;
    EXPECT_NE(asked.find("Firmware Files (*.syx)"), std::string::npos) << asked;
    for (const char* name : {"ZV_OPEN_FILE_HELPER", "ZV_TEST_PICKER_LOG", "ZV_TEST_PICKER_ANSWER"}) {
        unsetenv(name);
    }
}

TEST_F(MainWindowGui, TheMenuBarsClicksExitThroughTheFileMenuAndToggleAllowDowngradeWithItsCheckMark)
{
    ASSERT_NO_FATAL_FAILURE(OpenWindow());
    // The skin hides the bar; shown, it holds the application's two menus along the top.
    LControl& bar = Child(L"mainMenu");
    EXPECT_FALSE(bar.IsVisible(true));
    (void)bar.SetVisible(true);
    auto& menus = dynamic_cast<LMainMenu&>(bar);
    ASSERT_EQ(menus.GetMenuCount(), 2u);
    EXPECT_EQ(menus.GetMenuAt(0)->GetText(), WideString(L"File"));
    EXPECT_EQ(menus.GetMenuAt(1)->GetText(), WideString(L"Options"));

    // A choice gives the focus back to the control that had it before the bar took it.
    LControl& exitButton = Child(L"buttonExit");
    ClickOn(L"labelFileFirmwareVersion");
    ASSERT_TRUE(RunLoopUntil([&] { return static_cast<bool>(mRoot->GetFocusControl()); })) << "the window is active";
    ASSERT_TRUE(Succeeded(exitButton.SetFocus(true)));
    ASSERT_EQ(mRoot->GetFocusControl().Get(), &exitButton);
    const RCPtr<LExitRequests> exits(new LExitRequests());
    ASSERT_NE(exits->RegisterForNotification(GetApplicationNotificationCenter(), L"NID_APP_EXIT_REQ", 0), nullptr);
    ASSERT_NO_FATAL_FAILURE(ChooseFromMenuBar(0, 0));
    EXPECT_TRUE(RunLoopUntil([&] { return exits->count == 1; }));
    (void)exits->UnregisterForNotification(GetApplicationNotificationCenter(), L"NID_APP_EXIT_REQ");
    EXPECT_TRUE(RunLoopUntil([&] { return mRoot->GetFocusControl().Get() == &exitButton; }));

    const RCPtr<::LUpdateProcessor>& processor = mApplication->GetUpdateProcessor();
    EXPECT_FALSE(processor->GetAllowDowngrade());
    ASSERT_NO_FATAL_FAILURE(ChooseFromMenuBar(1, 0));
    EXPECT_TRUE(RunLoopUntil([&] { return processor->GetAllowDowngrade(); }));

    // The check mark follows the setting each time the menu opens.
    const RCPtr<LComboMenu> options = menus.GetMenuAt(1);
    const RCPtr<LPopupMenu> popup = GetPopupMenu(*options);
    constexpr std::int32_t kCheckedLook = 7;
    ClickOn(*options);
    ASSERT_TRUE(RunLoopUntil([&] { return options->IsDropDownOpen(); }));
    EXPECT_EQ(popup->GetItem(0)->GetChecked(), 1);
    EXPECT_EQ(popup->GetRowControl(0)->FindChildByName(L"checkBox")->GetActiveLookIndex(), kCheckedLook);
    ClickOn(*popup->GetRowControl(0));
    EXPECT_TRUE(RunLoopUntil([&] { return !processor->GetAllowDowngrade(); }));
    ClickOn(*options);
    ASSERT_TRUE(RunLoopUntil([&] { return options->IsDropDownOpen(); }));
    EXPECT_EQ(popup->GetItem(0)->GetChecked(), 0);
    EXPECT_NE(popup->GetRowControl(0)->FindChildByName(L"checkBox")->GetActiveLookIndex(), kCheckedLook);
}

}  // namespace
}  // namespace ZV
