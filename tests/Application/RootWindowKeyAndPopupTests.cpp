#include "Application/RootWindowTestWindow.h"

#include "ControlBase/Harness/NotificationSpy.h"
#include "ControlBase/MenuDescriptor.h"
#include "ControlBase/PopupControls.h"
#include "System/ShortcutText.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace ZV {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using Testing::ControlEvents;
using Testing::StringTable;
using Testing::SubControl;

constexpr std::uint8_t kTab = 0x09;
constexpr std::uint8_t kF1 = 0x70;

std::string NameOf(const LControl& control)
{
    return control.GetName().ToUTF8().GetData();
}

// The skin's tool tip: what it is asked goes into the control events under its parent's name.
class LTestToolTip : public LControl, public IToolTipPopup {
public:
    using LControl::LControl;

    ZVRESULT Start() override
    {
        ControlEvents().push_back(NameOf(*GetParent()) + "'s tip shows \"" + mText.ToUTF8().GetData() + "\"");
        return ZV_S_OK;
    }
    ZVRESULT Hide() override
    {
        ControlEvents().push_back(NameOf(*GetParent()) + "'s tip hides");
        return ZV_S_OK;
    }
    ZVRESULT SetText(const WideString& text) override
    {
        mText = text;
        return ZV_S_OK;
    }

private:
    WideString mText;
};

// The skin's context menu, writing down what it is asked in the same way.
class LTestContextMenu : public LControl, public IContextMenuPopup {
public:
    using LControl::LControl;

    ZVRESULT SetMenu(const RCPtr<LMenuDescriptor>& menu) override
    {
        ControlEvents().push_back(NameOf(*GetParent()) + "'s menu of " +
                                  std::to_string(menu->GetItems().GetCount()) + " items");
        return ZV_S_OK;
    }
    ZVRESULT PlaceAtCursor() override
    {
        ControlEvents().push_back(NameOf(*GetParent()) + "'s menu placed");
        return ZV_S_OK;
    }
};

// A window of 300 x 200 with two controls side by side, the first with a hot key of its own, a tool tip and a
// context menu; the window's own hot key; the skin's tool tip and context menu beside the window's control.
class RootWindowKeysAndPopups : public ::testing::Test {
protected:
    void SetUp() override
    {
        mTest.mHarness.Register<LTestToolTip>(L"Test.ToolTip");
        mTest.mHarness.Register<LTestContextMenu>(L"Test.ContextMenu");
        mApplicationHeard = Testing::LNotificationSpy::Create();
        const RCPtr<LGlobalHotKeyManager> applicationKeys = LGlobalHotKeyManager::Create(mApplicationHeard);
        ASSERT_EQ(applicationKeys->RegisterHotKey(ParseShortcutText(L"VKEY_F3"), L"NID_APPLICATION"), ZV_S_OK);
        mTest.mHarness.SetApplicationHotKeys(applicationKeys);
        const std::string controls =
            SubControl("Test.Input", "main", "",
                       SubControl("Test.Input", "first", R"(XPositionAbs="20" YPositionAbs="20" XSizeAbs="80" )"
                                                         R"(YSizeAbs="30")") +
                           SubControl("Test.Input", "second", R"(XPositionAbs="120" YPositionAbs="20" )"
                                                              R"(XSizeAbs="80" YSizeAbs="30")")) +
            SubControl("Test.ToolTip", "toolTip", R"(ClipToParent="False")") +
            SubControl("Test.ContextMenu", "contextMenu", R"(ClipToParent="False")");
        mTest.Open(controls, 300, 200,
                   StringTable("Test|main", {{"GHK.NID_SAVE", "VKEY_F2"}}) +
                       StringTable("Test.Input|first", {{"LHK.NID_HOTKEY_OWN", "VKEY_F1"},
                                                        {"TOOLTIP", "Saves the file"},
                                                        {"CONTEXT_MENU.00.NID_ONE", "One"},
                                                        {"CONTEXT_MENU.01.NID_TWO", "Two"}}));
        mFirst = mTest.Find(L"first");
        mSecond = mTest.Find(L"second");
    }

    // The key through the desktop and one idle pass; what the controls, the window and the application heard.
    std::vector<std::string> Press(std::uint8_t virtualKey)
    {
        ControlEvents().clear();
        mTest.Key(virtualKey);
        (void)mTest.mHost.ProcessIdle(true);
        std::vector<std::string> heard = ControlEvents();
        for (const std::string& line : mWindowHeard->TakeLines()) {
            heard.push_back("window " + line);
        }
        for (const std::string& line : mApplicationHeard->TakeLines()) {
            heard.push_back("application " + line);
        }
        return heard;
    }

    Testing::RootWindowTestWindow mTest;
    RCPtr<Testing::LNotificationSpy> mWindowHeard = Testing::LNotificationSpy::Create();
    RCPtr<Testing::LNotificationSpy> mApplicationHeard;
    RCPtr<LControl> mFirst;
    RCPtr<LControl> mSecond;
};

TEST_F(RootWindowKeysAndPopups, KeysReachTheFocusedControlsHotKeysThenTheControlThenTheWindowsThenTheApplications)
{
    ASSERT_EQ(mTest.mRoot->GetFocusControl(), mFirst);
    (void)mWindowHeard->RegisterForNotification(mTest.mRoot->GetNotificationDistributor(), L"NID_SAVE", 0);
    EXPECT_THAT(Press(kF1), ElementsAre("first Heard NID_HOTKEY_OWN"));
    EXPECT_THAT(Press(kF1 + 1), ElementsAre("first Key 113", "window NID_SAVE"));
    EXPECT_THAT(Press(kF1 + 2), ElementsAre("first Key 114", "application NID_APPLICATION"));
    // A key that is nobody's ends with the focused control; so does everything while no control has the focus.
    EXPECT_THAT(Press(kF1 + 3), ElementsAre("first Key 115"));
    mTest.Desktop().OnFocusChanged(false);
    EXPECT_THAT(Press(kF1 + 1), IsEmpty());
}

TEST_F(RootWindowKeysAndPopups, TabFromTheDesktopMovesAlongTheControlsAndTheWindowTakesItRoundAtEitherEnd)
{
    ASSERT_EQ(mTest.mRoot->GetFocusControl(), mFirst);
    (void)Press(kTab);
    EXPECT_EQ(mTest.mRoot->GetFocusControl(), mSecond);
    (void)Press(kTab);
    EXPECT_EQ(mTest.mRoot->GetFocusControl(), mFirst);
    mTest.mDesktop->SetKey(Platform::VirtualKey::kShift, true);
    (void)Press(kTab);
    EXPECT_EQ(mTest.mRoot->GetFocusControl(), mSecond);
    (void)Press(kTab);
    EXPECT_EQ(mTest.mRoot->GetFocusControl(), mFirst);
}

TEST_F(RootWindowKeysAndPopups, TheHoveredControlsToolTipAndARightClicksContextMenuAreTheSkinsPopUps)
{
    RCPtrArray<LMenuDescriptor> menus;
    mFirst->BuildContextMenuDescriptors(menus);
    ASSERT_EQ(menus.GetCount(), 1u);
    ASSERT_EQ(mFirst->SetContextMenuDescriptor(menus.GetData()[0]), ZV_S_OK);
    mTest.Move(30, 30);
    ASSERT_TRUE(mFirst->FindChildByName(L"toolTip"));
    mTest.Click(MouseButton::kRight, 30, 30);
    EXPECT_THAT(ControlEvents(),
                ElementsAre("first ToolTip 1", "first's tip shows \"Saves the file\"", "first Enter", "first ToolTip 0",
                            "first's tip hides", "first ToolTip 0", "first's tip hides", "first's menu of 2 items",
                            "first's menu placed"));
    // A control without a tip of its own shows none.
    ControlEvents().clear();
    mTest.Move(130, 30);
    EXPECT_FALSE(mSecond->FindChildByName(L"toolTip"));
    EXPECT_EQ(mTest.mRoot->GetToolTipControl(), nullptr);
}

}  // namespace
}  // namespace ZV
