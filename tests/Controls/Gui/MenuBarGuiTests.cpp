#include "Controls/Gui/ShownPanelWindow.h"

#include "ControlBase/MenuDescriptor.h"
#include "ControlBase/MenuParams.h"
#include "Controls/ComboMenu.h"
#include "Controls/PopupMenu.h"
#include "Notification/Notification.h"
#include "Notification/NotificationClient.h"
#include "System/Gui/LoopTurns.h"

#include <string>
#include <vector>

namespace ZV {
namespace {

using Testing::ControlWearing;
using Testing::FilledLook;
using Testing::LookList;
using Testing::RunLoopUntil;
using Testing::TemporaryFolder;

constexpr std::uint32_t kMenuBarWindowColour = 0x1E2A3A;
constexpr std::uint32_t kTitleColour = 0x3060C0;
constexpr std::uint32_t kOpenTitleColour = 0xC04030;
constexpr std::uint32_t kRowColour = 0x30A060;
// The titles of the bar, and where their menus' rows lie under them, in the window.
const PointT<zlong> kFileTitle(30, 12);
const PointT<zlong> kOptionsTitle(100, 12);
const PointT<zlong> kFileFirstRow(30, 24 + 7);
const PointT<zlong> kOptionsSecondRow(100, 24 + 14 + 7);

// The item notifications that the window's clients receive, by id.
class LItemIds : public LNotificationClient {
public:
    void ReceiveNotification(const ConstRCPtr<LNotificationDistributor>&,
                             const RCPtr<LNotification>& notification) override
    {
        const auto* activation = dynamic_cast<const LMenuActivationParam*>(notification->GetParameter().Get());
        ids.push_back(std::string(WideString(notification->GetId()).ToUTF8().GetData()) + " item " +
                      (activation ? std::to_string(activation->GetItem()) : "none"));
    }

    std::vector<std::string> ids;
};

std::string Title(const std::string& name, int x, int width)
{
    const std::string row = ControlWearing("Framework.MenuItem", "templateItem", "rowLooks",
                                           R"(XSizeToControl="Client" XSizeRel="1" XSizeAbs="0" YSizeAbs="14")");
    const std::string popup = ControlWearing("Framework.PopupMenu", "popupMenu", "popupLooks",
                                             R"(YPositionToControl="Parent" YPositionRel="1" XSizeAbs="75" )"
                                             R"(YSizeAbs="77" Z_Order="999" ClipToParent="False")",
                                             row);
    return ControlWearing("Framework.ComboMenu", name, "titleLooks",
                          "XPositionAbs=\"" + std::to_string(x) + "\" XSizeAbs=\"" + std::to_string(width) +
                              "\" YSizeAbs=\"24\"",
                          popup);
}

// "main" (400 x 311) holding a bar of two titles, "file" (0 to 60) and "options" (60 to 140), 24 high: blue, red
// while open; their menus' rows are green.
void WriteMenuBarSkin(const TemporaryFolder& folder)
{
    Testing::SkinDocumentBuilder skin;
    const std::string window = FilledLook(skin, "window", kMenuBarWindowColour);
    const std::string title = FilledLook(skin, "title", kTitleColour);
    const std::string open = FilledLook(skin, "open", kOpenTitleColour);
    const std::string row = FilledLook(skin, "row", kRowColour);
    skin.lookLists = LookList("windowLooks", {window}) + LookList("popupLooks", {row, row, row}) +
                     LookList("rowLooks", std::vector<std::string>(14, row)) +
                     LookList("titleLooks", {title, title, open, title});
    skin.controls = ControlWearing("Test.ShownPanel", "main", "windowLooks", R"(XSizeAbs="400" YSizeAbs="311")",
                                   Title("file", 0, 60) + Title("options", 60, 80));
    (void)folder.Write("Skins.xml", skin.Document());
    (void)folder.Write("StringTables.xml", Testing::TestStringTables(""));
    (void)folder.Write("FrameworkStrings.xml", Testing::TestStringTables(""));
}

class MenuBarGui : public Testing::ShownPanelWindowTest<> {
protected:
    MenuBarGui() : ShownPanelWindowTest(&WriteMenuBarSkin) {}
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(ShownPanelWindowTest::SetUp());
        for (const wchar_t* name : {L"file", L"options"}) {
            const RCPtr<LComboMenu> title(mRoot->GetRootControl()->FindChildByName(name));
            ASSERT_TRUE(title);
            const RCPtr<LPopupMenu> popup = GetPopupMenu(*title);
            ASSERT_TRUE(popup);
            ASSERT_EQ(popup->SetMenuReceiver(ConstRCPtr<LNotificationQueue>(mRoot.Get())), ZV_S_OK);
            const RCPtr<LMenuDescriptor> menu = LMenuDescriptor::Create();
            ASSERT_GE(menu->InsertNewItem(0, L"First", WideString(L"NID_") + name + L"_FIRST", 1, 0), 0);
            ASSERT_GE(menu->InsertNewItem(1, L"Second", WideString(L"NID_") + name + L"_SECOND", 1, 0), 0);
            ASSERT_EQ(popup->SetMenu(menu), ZV_S_OK);
            (void)mItems->RegisterForNotification(mRoot->GetNotificationDistributor(),
                                                  (WideString(L"NID_") + name + L"_FIRST").GetData(), 0);
            (void)mItems->RegisterForNotification(mRoot->GetNotificationDistributor(),
                                                  (WideString(L"NID_") + name + L"_SECOND").GetData(), 0);
        }
    }
    void TearDown() override
    {
        if (mItems) {
            mItems->UnregisterAllNotifications();
        }
    }
    RCPtr<LComboMenu> TitleOf(const wchar_t* name)
    {
        return ChildNamed<LComboMenu>(name);
    }

    RCPtr<LItemIds> mItems{new LItemIds()};
};

TEST_F(MenuBarGui, RealClicksOnATitleAndAnItemReachTheItemsNotification)
{
    ASSERT_TRUE(RunLoopUntil([&] { return ColourAt(kFileTitle) == kTitleColour; }));
    EXPECT_EQ(ColourAt(kFileFirstRow), kMenuBarWindowColour);

    MoveTo(kFileTitle);
    mInput.Click(1);
    ASSERT_TRUE(RunLoopUntil([&] { return TitleOf(L"file")->IsDropDownOpen() && ClickDone(); }));
    EXPECT_TRUE(RunLoopUntil(
        [&] { return ColourAt(kFileFirstRow) == kRowColour && ColourAt(kFileTitle) == kOpenTitleColour; }));

    // The pointer moving onto the next title switches menus.
    MoveTo(kOptionsTitle);
    ASSERT_TRUE(RunLoopUntil([&] { return TitleOf(L"options")->IsDropDownOpen(); }));
    EXPECT_FALSE(TitleOf(L"file")->IsDropDownOpen());
    EXPECT_TRUE(RunLoopUntil(
        [&] { return ColourAt(kFileFirstRow) == kMenuBarWindowColour && ColourAt(kOptionsSecondRow) == kRowColour; }));

    MoveTo(kOptionsSecondRow);
    mInput.Click(1);
    ASSERT_TRUE(RunLoopUntil([&] { return !mItems->ids.empty() && ClickDone(); }));
    EXPECT_EQ(mItems->ids, (std::vector<std::string>{"NID_options_SECOND item 1"}));
    EXPECT_TRUE(RunLoopUntil([&] { return ColourAt(kOptionsSecondRow) == kMenuBarWindowColour; }))
        << "the menu closed";
    EXPECT_FALSE(TitleOf(L"options")->IsDropDownOpen());
}

}  // namespace
}  // namespace ZV
