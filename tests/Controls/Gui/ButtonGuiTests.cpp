// Google Test first: the desktop's headers define None.
#include <gtest/gtest.h>

#include "Application/Gui/SkinApplication.h"
#include "Application/InputControl.h"
#include "ControlBase/CreateControl.h"
#include "Controls/Button.h"
#include "Controls/FrameworkControlClasses.h"
#include "Notification/Notification.h"
#include "Notification/NotificationClient.h"
#include "Platform/NativeWindow.h"
#include "System/Gui/DesktopInput.h"
#include "System/Gui/LoopTurns.h"
#include "TestFiles.h"
#include "support/WindowPixels.h"

#include <string>
#include <vector>

namespace ZV {
namespace {

using Testing::DesktopInput;
using Testing::RunLoopUntil;

// The skin's button (Controls/data/ButtonSkin/Skins.xml) in the window's client area, and its looks' colours.
const RectT<zlong> kButton(16, 16, 96, 32);
constexpr std::uint32_t kNormalColour = 0x3060C0;
constexpr std::uint32_t kPressedColour = 0xC04030;

class LClickRecorder : public LNotificationClient {
public:
    void ReceiveNotification(const ConstRCPtr<LNotificationDistributor>&,
                             const RCPtr<LNotification>& notification) override
    {
        ids.push_back(WideString(notification->GetId()).ToUTF8().GetData());
    }
    std::vector<std::string> ids;
};

class ButtonGui : public ::testing::Test {
protected:
    ButtonGui()
    {
        // The main window keeps its placement in the user's folder when it closes.
        setenv("XDG_DATA_HOME", mDataFolder.Path().string().c_str(), 1);
        EXPECT_EQ(RegisterFrameworkControlClasses(mApplication.Factory()), 0);
        (void)mApplication.Factory().RegisterControlCreateFunction(L"Test.Window",
                                                                   &CreateControl<Testing::LInputControl<LControl>>);
    }
    void SetUp() override
    {
        ASSERT_TRUE(mInput.IsOpen()) << "no X display";
        ASSERT_TRUE(mApplication.IsLoaded());
        ASSERT_EQ(mApplication.Host().CreateMainWindow(LRenderer::kGdi, L"main"), ZV_S_OK);
        ASSERT_TRUE(mApplication.WaitUntilShown());
        mRoot = mApplication.Host().GetMainRootWindow();
    }
    // The colour of the button's middle as the server shows it.
    std::uint32_t ButtonColour()
    {
        const Platform::NativeWindow& window = *mApplication.Host().GetMainWindow()->GetWindowHandle();
        Testing::WaitForServer(window);
        return Testing::ReadWindowPixels(window, kButton.x + kButton.width / 2, kButton.y + kButton.height / 2, 1,
                                         1)
            .at(0);
    }
    // The button's middle, on the screen.
    void MoveToButton()
    {
        const RectT<zlong> client = mRoot->GetScreenBounds();
        mInput.MoveTo(static_cast<int>(client.x + kButton.x + kButton.width / 2),
                      static_cast<int>(client.y + kButton.y + kButton.height / 2));
    }

    Testing::TemporaryFolder mDataFolder;
    Testing::SkinApplication mApplication{ZV_CONTROLS_TEST_DATA_DIR "/ButtonSkin", L"ButtonTest"};
    DesktopInput mInput;
    RCPtr<LRootWindow> mRoot;
};

TEST_F(ButtonGui, ARealClickOnASkinButtonShowsItPressedWhileHeldAndSendsItsClick)
{
    auto* button = dynamic_cast<LButton*>(mRoot->GetRootControl()->FindChildByName(L"ok").Get());
    ASSERT_NE(button, nullptr);
    const RCPtr<LClickRecorder> recorder(new LClickRecorder());
    (void)recorder->RegisterForNotification(button, L"NID_LEFT_CLICK", 0);
    EXPECT_TRUE(RunLoopUntil([&] { return ButtonColour() == kNormalColour; }));

    MoveToButton();
    mInput.Button(1, true);
    ASSERT_TRUE(RunLoopUntil([&] { return mRoot->GetCaptureControl().Get() == button; }));
    // Held still: pressed, and nothing clicked yet.
    EXPECT_TRUE(RunLoopUntil([&] { return ButtonColour() == kPressedColour; }));
    EXPECT_TRUE(recorder->ids.empty());

    mInput.Button(1, false);
    ASSERT_TRUE(RunLoopUntil([&] { return !recorder->ids.empty(); }));
    EXPECT_EQ(recorder->ids, (std::vector<std::string>{"NID_LEFT_CLICK"}));
    EXPECT_EQ(button->GetIdleSubscriberCount(), 0);
    (void)recorder->UnregisterAllNotifications();
}

}  // namespace
}  // namespace ZV
