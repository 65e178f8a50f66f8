#include "ControlBase/MenuDescriptor.h"
#include "ControlBase/MenuParams.h"
#include "Controls/ComboMenu.h"
#include "Controls/MainMenu.h"
#include "Controls/PopupMenuTestSupport.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace ZV {
namespace {

using Testing::StringTable;
using Testing::Wearing;
using Strings = std::initializer_list<std::pair<std::string, std::string>>;

// A combo menu for the bar to make its menus of, 4 pixels from the left, widened by its text, with a popup under it.
std::string TemplateMenu(const std::string& name = "templateMenu", const std::string& lookList = "rowLooks")
{
    return Wearing("Framework.ComboMenu", name, lookList,
                   R"(XPositionAbs="4" XSizeAbs="20" YSizeAbs="24" TextOverflowXType="Expand")",
                   Testing::PopupMenuDescription("popupMenu", R"(YPositionToControl="Parent" YPositionRel="1" )"
                                                              R"(XSizeAbs="75" YSizeAbs="77")"));
}

// The application's menus: "File" with "Exit", "Options" with "Allow Downgrade".
const Strings kApplicationMenus = {{"MENU_LABEL.00", "File"},
                                   {"MENU_LABEL.01", "Options"},
                                   {"CONTEXT_MENU0.00.NID_MENU_FILE_EXIT_REQ", "Exit|Exit Application"},
                                   {"CONTEXT_MENU1.00.NID_MENU_OPTIONS_ALLOW_DOWNGRADE", "Allow Downgrade"},
                                   {"TOOLTIP", "mainMenu"}};

// The window "main" (Test.Owner) with the bar "mainMenu" along its top, holding the bar's children.
std::string BarWindowSkin(const std::string& barChildren)
{
    return Testing::ListSkinDocument(Testing::OwnerWindow(
        Wearing("Framework.MainMenu", "mainMenu", "listLooks",
                R"(XSizeToControl="Client" XSizeRel="1" XSizeAbs="0" YSizeAbs="24")", barChildren)));
}

// A window made from BarWindowSkin, with the bar's strings.
class BarWindow {
public:
    explicit BarWindow(const std::string& barChildren, Strings strings = kApplicationMenus)
    {
        harness.Register<Testing::LMenuOwnerControl>(L"Test.Owner");
        harness.LoadSkinDocument(BarWindowSkin(barChildren));
        harness.LoadStrings(StringTable("Test.Owner|mainMenu", strings));
        main = harness.CreateRoot(L"main");
        bar = RCPtr<LMainMenu>(main ? main->FindChildByName(L"mainMenu") : nullptr);
    }

    // Each menu as "name:title:item labels", the skin's own first.
    std::vector<std::string> Menus() const
    {
        std::vector<std::string> menus;
        for (std::uint32_t position = 0; position < bar->GetMenuCount(); ++position) {
            const RCPtr<LComboMenu> menu = bar->GetMenuAt(position);
            std::string shown =
                std::string(menu->GetName().ToUTF8().GetData()) + ":" + menu->GetText().ToUTF8().GetData() + ":";
            const RCPtr<LPopupMenu> popup = GetPopupMenu(*menu);
            const RCPtrArray<LMenuItemDescriptor>* items =
                popup && popup->GetMenu() ? &popup->GetMenu()->GetItems() : nullptr;
            for (std::uint32_t index = 0; items != nullptr && index < items->GetCount(); ++index) {
                shown += std::string(index == 0 ? "" : ",") + items->GetData()[index]->GetLabel().ToUTF8().GetData();
            }
            menus.push_back(shown);
        }
        return menus;
    }

    Testing::StatusTextHarness harness;
    RCPtr<LControl> main;
    RCPtr<LMainMenu> bar;
};

RCPtr<LMenuDescriptor> MenuOf(std::initializer_list<const wchar_t*> labels)
{
    const RCPtr<LMenuDescriptor> menu = LMenuDescriptor::Create();
    std::uint32_t index = 0;
    for (const wchar_t* label : labels) {
        EXPECT_GE(menu->InsertNewItem(index++, label, WideString(L"NID_") + WideString(label), 1, 0), 0);
    }
    return menu;
}

TEST(MainMenu, TheStringTableGivesOneMenuPerTitleNamedAfterItEachStartingWhereTheOneBeforeEnds)
{
    BarWindow window(TemplateMenu());
    ASSERT_TRUE(window.bar);
    LMainMenu& bar = *window.bar;
    EXPECT_EQ(window.Menus(), (std::vector<std::string>{"File:File:Exit", "Options:Options:Allow Downgrade"}));
    EXPECT_FALSE(bar.FindChildByName(L"templateMenu")) << "the template lends its descriptor only";
    EXPECT_EQ(bar.GetFixedMenuCount(), 0u);
    const RCPtr<LComboMenu> file = bar.GetMenuAt(0);
    const RCPtr<LComboMenu> options = bar.GetMenuAt(1);
    EXPECT_EQ(file->GetPosition().x, 4);
    EXPECT_GT(file->GetSize().x, 20) << "widened by its title";
    EXPECT_EQ(options->GetPosition().x, file->GetPosition().x + file->GetSize().x);
    const RCPtr<LMenuItemDescriptor> exit = GetPopupMenu(*file)->GetItem(0);
    ASSERT_TRUE(exit);
    EXPECT_EQ(exit->GetNotificationId(), WideString(L"NID_MENU_FILE_EXIT_REQ"));
    EXPECT_EQ(exit->GetToolTip(), WideString(L"Exit Application"));
    EXPECT_EQ(bar.GetMenuName(1), WideString(L"Options"));
    EXPECT_EQ(bar.GetMenuName(2), WideString());
    EXPECT_EQ(bar.IndexOfMenu(L"Options"), 1);
    EXPECT_EQ(bar.IndexOfMenu(L"Help"), -1);
    EXPECT_FALSE(bar.GetMenuAt(2));
    EXPECT_FALSE(bar.IsFocusable()) << "its menus take the focus, not the bar";
}

TEST(MainMenu, AGapInTheTitlesIsAnEmptyTitleAndMenusComeOnlyWhenThereAreAsManyMenusAsTitles)
{
    const Strings gap = {{"MENU_LABEL.00", "File"},
                         {"MENU_LABEL.02", "Help"},
                         {"CONTEXT_MENU0.00.NID_A", "A"},
                         {"CONTEXT_MENU1.00.NID_B", "B"},
                         {"CONTEXT_MENU2.00.NID_C", "C"}};
    {
        BarWindow window(TemplateMenu(), gap);
        ASSERT_TRUE(window.bar);
        EXPECT_EQ(window.Menus(), (std::vector<std::string>{"File:File:A", "::B", "Help:Help:C"}));
    }
    {
        BarWindow window(TemplateMenu(), {{"MENU_LABEL.00", "File"},
                                          {"MENU_LABEL.02", "Help"},
                                          {"CONTEXT_MENU0.00.NID_A", "A"},
                                          {"CONTEXT_MENU1.00.NID_B", "B"}});
        ASSERT_TRUE(window.bar);
        EXPECT_EQ(window.bar->GetMenuCount(), 0u) << "three titles, two menus";
    }
    {
        // A title number far past the menus asks for no room.
        BarWindow window(TemplateMenu(), {{"MENU_LABEL.4294967295", "Far"},
                                          {"MENU_LABEL.99999999999999999999999", "Farther"},
                                          {"CONTEXT_MENU0.00.NID_A", "A"}});
        ASSERT_TRUE(window.bar);
        EXPECT_EQ(window.bar->GetMenuCount(), 0u);
    }
}

TEST(MainMenu, InsertingShiftsTheLaterMenusAlongAndARefusedInsertionChangesNothing)
{
    BarWindow window(TemplateMenu());
    ASSERT_TRUE(window.bar);
    LMainMenu& bar = *window.bar;
    EXPECT_EQ(bar.InsertMenuBefore(L"Options", L"Edit", L"Edit", MenuOf({L"Cut", L"Paste"})), 1);
    EXPECT_EQ(window.Menus(),
              (std::vector<std::string>{"File:File:Exit", "Edit:Edit:Cut,Paste", "Options:Options:Allow Downgrade"}));
    for (std::uint32_t position = 1; position < bar.GetMenuCount(); ++position) {
        const RCPtr<LComboMenu> before = bar.GetMenuAt(position - 1);
        EXPECT_EQ(bar.GetMenuAt(position)->GetPosition().x, before->GetPosition().x + before->GetSize().x);
    }
    EXPECT_EQ(bar.InsertMenuAt(0, L"First", L"1st", MenuOf({L"One"})), 0);
    EXPECT_EQ(bar.InsertMenuAt(4, L"Last", L"Last", MenuOf({L"End"})), 4) << "the index of the end appends";
    EXPECT_EQ(bar.InsertMenuBefore(L"", L"After", L"After", MenuOf({L"More"})), 5);
    const std::vector<std::string> menus = {"First:1st:One",          "File:File:Exit",
                                            "Edit:Edit:Cut,Paste",    "Options:Options:Allow Downgrade",
                                            "Last:Last:End",          "After:After:More"};
    EXPECT_EQ(window.Menus(), menus);

    const std::uint32_t children = bar.GetChildren().GetCount();
    EXPECT_EQ(bar.InsertMenuAt(7, L"Far", L"Far", MenuOf({L"X"})), ZV_E_INVALIDARG);
    EXPECT_EQ(bar.InsertMenuBefore(L"Help", L"New", L"New", MenuOf({L"X"})), ZV_E_INVALIDARG);
    EXPECT_EQ(bar.InsertMenuBefore(L"File", L"Edit", L"Again", MenuOf({L"X"})), ZV_E_INVALIDARG) << "a name in use";
    EXPECT_EQ(bar.InsertMenuAt(0, L"Empty", L"Empty", nullptr), ZV_E_INVALIDARG);
    EXPECT_EQ(window.Menus(), menus);
    EXPECT_EQ(bar.GetChildren().GetCount(), children);
}

TEST(MainMenu, ABarWithoutATemplateRefusesToInsertAndStaysAsItIs)
{
    BarWindow window(Wearing("Framework.Label", "caption", "listLooks", R"(XSizeAbs="40" YSizeAbs="24")"));
    ASSERT_TRUE(window.bar);
    LMainMenu& bar = *window.bar;
    EXPECT_EQ(bar.GetMenuCount(), 0u) << "the strings' menus have nothing to be made of";
    EXPECT_EQ(bar.InsertMenuAt(0, L"File", L"File", MenuOf({L"Exit"})), ZV_E_FAIL);
    EXPECT_EQ(bar.InsertMenuBefore(L"", L"File", L"File", MenuOf({L"Exit"})), ZV_E_FAIL);
    EXPECT_EQ(bar.GetMenuCount(), 0u);
    EXPECT_EQ(bar.GetChildren().GetCount(), 1u);
}

TEST(MainMenu, TheSkinsOwnMenusStayFirstAndTheIndicesCountTheAddedMenusAfterThem)
{
    BarWindow window(TemplateMenu("help") + TemplateMenu());
    ASSERT_TRUE(window.bar);
    LMainMenu& bar = *window.bar;
    EXPECT_EQ(bar.GetFixedMenuCount(), 1u);
    EXPECT_EQ(window.Menus(),
              (std::vector<std::string>{"help::", "File:File:Exit", "Options:Options:Allow Downgrade"}));
    EXPECT_EQ(bar.IndexOfMenu(L"help"), -1);
    EXPECT_EQ(bar.IndexOfMenu(L"File"), 0);
    EXPECT_EQ(bar.GetMenuName(0), WideString(L"File"));
    EXPECT_EQ(bar.InsertMenuAt(0, L"Edit", L"Edit", MenuOf({L"Cut"})), 0);
    EXPECT_EQ(window.Menus(), (std::vector<std::string>{"help::", "Edit:Edit:Cut", "File:File:Exit",
                                                        "Options:Options:Allow Downgrade"}));
}

TEST(MainMenu, TheUpdatersControlAnswersForTheItemsOfEveryMenu)
{
    BarWindow window(TemplateMenu(), {{"MENU_LABEL.00", "Options"},
                                      {"CONTEXT_MENU0.00.NID_ALLOW_DOWNGRADE", "Allow Downgrade"},
                                      {"CONTEXT_MENU0.01.NID_APP_EXIT_REQ", "Exit"}});
    ASSERT_TRUE(window.bar);
    LMainMenu& bar = *window.bar;
    MenuItemInfo state;
    state.enabled = 1;
    state.checked = 0;
    EXPECT_EQ(bar.IsCommandEnabled(0, 0, L"NID_ALLOW_DOWNGRADE", state), ZV_S_FALSE) << "no updater yet";
    EXPECT_EQ(state.checked, 0);

    EXPECT_EQ(bar.SetMenuItemUpdater(LMenuItemUpdater::Create(nullptr)), ZV_S_OK);
    EXPECT_EQ(bar.IsCommandEnabled(0, 0, L"NID_ALLOW_DOWNGRADE", state), ZV_E_FAIL) << "an updater without a control";

    const RCPtr<LMenuItemUpdater>& updater = window.main->GetMenuItemUpdater();
    EXPECT_EQ(bar.SetMenuItemUpdater(updater), ZV_S_OK);
    EXPECT_EQ(bar.SetMenuItemUpdater(updater), ZV_S_FALSE);
    EXPECT_EQ(bar.IsCommandEnabled(0, 0, L"NID_ALLOW_DOWNGRADE", state), ZV_S_OK);
    EXPECT_EQ(state.checked, 1);

    // Opening the menu asks the window's control about each command.
    const RCPtr<LComboMenu> options = bar.GetMenuAt(0);
    ASSERT_EQ(options->ShowDropDown(true), ZV_S_OK);
    const RCPtr<LPopupMenu> popup = GetPopupMenu(*options);
    EXPECT_EQ(popup->GetItem(0)->GetChecked(), 1);
    EXPECT_EQ(popup->GetItem(1)->GetEnabled(), 0);
    EXPECT_FALSE(dynamic_cast<Testing::LMenuOwnerControl&>(*window.main).asked.empty());
}

TEST(MainMenu, ChosenItemsGoIntoTheWindowsQueueAndANewSkinKeepsTheMenusWithItsOwnLooks)
{
    BarWindow window(TemplateMenu());
    ASSERT_TRUE(window.bar);
    LMainMenu& bar = *window.bar;
    ASSERT_EQ(bar.InsertMenuBefore(L"Options", L"Edit", L"Edit", MenuOf({L"Cut", L"Paste"})), 1);
    const RCPtr<Testing::LItemRecorder> recorder = Testing::LItemRecorder::Create();
    recorder->Watch(window.harness.Window().GetNotificationDistributor(), {L"NID_MENU_FILE_EXIT_REQ", L"NID_Paste"});
    const auto choose = [&](std::uint32_t menu, std::uint32_t row) {
        LComboMenu& title = *bar.GetMenuAt(menu);
        window.harness.MoveTo(title, {5, 5});
        window.harness.PressAt(title, {5, 5});
        window.harness.ReleaseAt(title, {5, 5});
        ASSERT_TRUE(title.IsDropDownOpen());
        LControl& item = *GetPopupMenu(title)->GetRowControl(row);
        window.harness.MoveTo(item, {20, 5});
        window.harness.PressAt(item, {20, 5});
        window.harness.ReleaseAt(item, {20, 5});
        window.harness.PumpIdle();
    };
    choose(0, 0);
    choose(1, 1);
    EXPECT_EQ(recorder->lines, (std::vector<std::string>{"NID_MENU_FILE_EXIT_REQ item 0", "NID_Paste item 1"}));

    // The new skin's template has three looks where the old one had fourteen.
    const std::vector<std::string> menus = window.Menus();
    window.harness.LoadSkinDocument(BarWindowSkin(TemplateMenu("templateMenu", "fewRowLooks")));
    window.harness.Factory().SetCurrentSkinIndex(static_cast<std::int32_t>(window.harness.Factory().GetSkinCount()) -
                                                 1);
    const RCPtr<LControlDescriptor> main = window.harness.Factory().FindControlDescriptor(L"main");
    ASSERT_TRUE(main);
    ASSERT_EQ(main->GetSubControls().GetCount(), 1u);
    EXPECT_EQ(bar.ApplyDescriptor(main->GetSubControls().GetData()[0]), ZV_S_OK);
    EXPECT_EQ(window.Menus(), menus);
    for (std::uint32_t position = 0; position < bar.GetMenuCount(); ++position) {
        EXPECT_EQ(bar.GetMenuAt(position)->GetLookCount(), 3u) << position;
    }
    EXPECT_EQ(bar.GetMenuAt(1)->GetPosition().x, bar.GetMenuAt(0)->GetPosition().x + bar.GetMenuAt(0)->GetSize().x);
    choose(1, 0);
    EXPECT_EQ(recorder->lines.size(), 2u) << "Cut posts nothing that is watched";
    choose(0, 0);
    EXPECT_EQ(recorder->lines.back(), "NID_MENU_FILE_EXIT_REQ item 0") << "the new menus post into the window's queue";
}

}  // namespace
}  // namespace ZV
