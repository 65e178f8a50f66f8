#include "Controls/Gui/ShownPanelWindow.h"

#include "Application/InputControl.h"
#include "ControlBase/CreateControl.h"
#include "Controls/Button.h"
#include "Notification/Notification.h"
#include "Notification/NotificationClient.h"
#include "System/Gui/LoopTurns.h"

#include <string>
#include <vector>

namespace ZV {
namespace {

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

class ButtonGui : public Testing::ShownPanelWindowTest<> {
protected:
    ButtonGui() : ShownPanelWindowTest(ZV_CONTROLS_TEST_DATA_DIR "/ButtonSkin", L"ButtonTest")
    {
        (void)mApplication.Factory().RegisterControlCreateFunction(L"Test.Window",
                                                                   &CreateControl<Testing::LInputControl<LControl>>);
    }
    // The colour of the button's middle as the server shows it.
    std::uint32_t ButtonColour() { return ColourAt(ButtonMiddle()); }
    void MoveToButton() { MoveTo(ButtonMiddle()); }
    static PointT<zlong> ButtonMiddle() { return {kButton.x + kButton.width / 2, kButton.y + kButton.height / 2}; }
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
