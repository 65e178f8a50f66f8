#include "Controls/Gui/ShownPanelWindow.h"

#include "Notification/Notification.h"
#include "Notification/NotificationClient.h"
#include "System/Gui/LoopTurns.h"
#include "System/OSWindow.h"

#include <string>
#include <vector>

namespace ZV {
namespace {

using Testing::RunLoopUntil;

std::string ChoicePlacement(int x, int y, int width, int height)
{
    return "XPositionAbs=\"" + std::to_string(x) + "\" YPositionAbs=\"" + std::to_string(y) + "\" XSizeAbs=\"" +
           std::to_string(width) + "\" YSizeAbs=\"" + std::to_string(height) + "\"";
}

// A window like the updater's: the buttons "update" and, after it in tab order, "exit", side by side, and below them
// the label "status", which takes no focus.
void WriteChoiceSkin(const Testing::TemporaryFolder& folder)
{
    Testing::SkinDocumentBuilder skin;
    const std::string grey = Testing::FilledLook(skin, "grey", 0x808080);
    const std::string blue = Testing::FilledLook(skin, "blue", 0x3060C0);
    skin.lookLists += Testing::LookList("greyLooks", {grey}) + Testing::LookList("blueLooks", {blue});
    const std::string children =
        Testing::ControlWearing("Framework.Button", "update", "blueLooks", ChoicePlacement(10, 10, 100, 30)) +
        Testing::ControlWearing("Framework.Button", "exit", "blueLooks", ChoicePlacement(130, 10, 100, 30)) +
        Testing::ControlWearing("Framework.Label", "status", "greyLooks", ChoicePlacement(10, 60, 220, 40));
    skin.controls =
        Testing::ControlWearing("Test.ShownPanel", "main", "greyLooks", ChoicePlacement(0, 0, 240, 110), children);
    (void)folder.Write("Skins.xml", skin.Document());
    (void)folder.Write("StringTables.xml", Testing::TestStringTables(""));
    (void)folder.Write("FrameworkStrings.xml", Testing::TestStringTables(""));
}

// Writes down the names of the controls that were clicked.
class LClickedNames : public LNotificationClient {
public:
    void ReceiveNotification(const ConstRCPtr<LNotificationDistributor>& sender, const RCPtr<LNotification>&) override
    {
        const auto* control = dynamic_cast<const LControl*>(sender.Get());
        names.push_back(control != nullptr ? control->GetName().ToUTF8().GetData() : "?");
    }
    std::vector<std::string> names;
};

class ActivatingClickGui : public Testing::ShownPanelWindowTest<> {
protected:
    ActivatingClickGui() : ShownPanelWindowTest(&WriteChoiceSkin) {}

    RCPtr<LControl> Named(const wchar_t* name) { return mRoot->GetRootControl()->FindChildByName(name); }
    void ClickOn(const LControl& control)
    {
        const PointT<double> origin = control.GetAbsoluteOrigin();
        const PointT<double> size = control.GetSize();
        MoveTo(PointT<double>(origin.x + size.x / 2, origin.y + size.y / 2).ToLongPoint());
        mInput.Click(1);
    }
};

TEST_F(ActivatingClickGui, AClickOnALabelOfAWindowWithoutTheKeyboardLeavesTheRememberedButtonToReturn)
{
    const RCPtr<LControl> update = Named(L"update");
    const RCPtr<LControl> exit = Named(L"exit");
    const RCPtr<LClickedNames> clicked(new LClickedNames());
    for (const RCPtr<LControl>& button : {update, exit}) {
        (void)clicked->RegisterForNotification(button, L"NID_LEFT_CLICK", 0);
    }
    ClickOn(*exit);
    ASSERT_TRUE(RunLoopUntil([&] { return !clicked->names.empty(); }));
    ASSERT_EQ(mRoot->GetFocusControl(), exit);
    const RCPtr<OSWindow> window = mApplication.Host().GetMainWindow();
    // Without a window manager the window takes the keyboard itself on the click; a window manager may give it only
    // after the press has reached the window.
    for (const bool windowManager : {false, true}) {
        SCOPED_TRACE(windowManager ? "focus given by a window manager after the press" : "no window manager");
        clicked->names.clear();
        ASSERT_TRUE(mInput.TakeFocusToOwnWindow());
        ASSERT_TRUE(RunLoopUntil([&] { return !window->HasFocus() && !mRoot->GetFocusControl(); }));
        ClickOn(*Named(L"status"));
        if (windowManager) {
            mInput.GiveFocusTo(Native().window);
        }
        ASSERT_TRUE(RunLoopUntil([&] { return window->HasFocus() && ClickDone(); }));
        EXPECT_EQ(mRoot->GetFocusControl(), exit);
        mInput.Tap("Return");
        ASSERT_TRUE(RunLoopUntil([&] { return !clicked->names.empty(); }));
        EXPECT_EQ(clicked->names, std::vector<std::string>{"exit"});
    }
    (void)clicked->UnregisterAllNotifications();
}

}  // namespace
}  // namespace ZV
