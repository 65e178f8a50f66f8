#include "ControlBase/Harness/ControlHarness.h"
#include "ControlBase/Harness/ControlTestAccess.h"
#include "ControlBase/Harness/NotificationSpy.h"
#include "ControlBase/MenuDescriptor.h"
#include "System/ShortcutText.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <string>
#include <vector>

namespace ZV {
namespace {

using Testing::ControlHarness;
using Testing::LNotificationSpy;
using Testing::LRecordingControl;
using Testing::StringTable;
using Testing::SubControl;
using Lines = std::vector<std::string>;

// The labels of a menu's items, joined by commas.
std::string Labels(const LMenuDescriptor& menu)
{
    std::string labels;
    for (std::uint32_t index = 0; index < menu.GetItems().GetCount(); ++index) {
        labels +=
            (index == 0 ? "" : ",") + std::string(menu.GetItems().GetData()[index]->GetLabel().ToUTF8().GetData());
    }
    return labels;
}

Lines MenusOf(const LControl& control)
{
    RCPtrArray<LMenuDescriptor> menus;
    control.BuildContextMenuDescriptors(menus);
    Lines labels;
    for (std::uint32_t index = 0; index < menus.GetCount(); ++index) {
        labels.push_back(Labels(*menus.GetData()[index]));
    }
    return labels;
}

TEST(ControlMenus, NumberedContextMenusComeOnePerNumberInOrderAndAPlainOneStandsAlone)
{
    ControlHarness harness;
    harness.LoadStrings(StringTable("Test|main", {{"CONTEXT_MENU1.00.NID_B0", "B0|Second menu"},
                                                  {"CONTEXT_MENU0.00.NID_A0", "A0"},
                                                  {"CONTEXT_MENU0.01.NID_A1", "A1"},
                                                  {"CONTEXT_MENU10.00.NID_C0", "C0"},
                                                  {"CONTEXT_MENU10.01.NID_C1", "C1"},
                                                  {"CONTEXT_MENU_TITLE", "Not a menu"}}) +
                        StringTable("Test.Control|single", {{"CONTEXT_MENU.00.NID_X", "X"},
                                                            {"CONTEXT_MENU.01.-", ""},
                                                            {"CONTEXT_MENU0.00.NID_Y", "Y"}}));
    harness.LoadSkin(SubControl("Test.Control", "main", "",
                                SubControl("Test.Control", "single") + SubControl("Test.Control", "none")));
    const RCPtr<LControl> main = harness.CreateRoot(L"main");

    // "CONTEXT_MENU1" takes none of the entries of "CONTEXT_MENU10".
    EXPECT_EQ(MenusOf(*main), (Lines{"A0,A1", "B0", "C0,C1"}));
    EXPECT_EQ(MenusOf(*main->FindChildByName(L"single")), (Lines{"X,"}));
    EXPECT_EQ(MenusOf(*main->FindChildByName(L"none")), Lines{});
}

TEST(ControlMenus, AMenuCommandGoesWhereItsHotKeyWouldSendItForAsLongAsItsMenuIsTheControls)
{
    ControlHarness harness;
    harness.LoadStrings(StringTable("Test|main", {{"CONTEXT_MENU0.00.NID_WINDOW_COMMAND", "Window"},
                                                  {"CONTEXT_MENU0.01.NID_APPLICATION_COMMAND", "Application"},
                                                  {"CONTEXT_MENU0.02.NID_PLAIN_COMMAND", "Plain"},
                                                  {"CONTEXT_MENU1.00.NID_OTHER", "Other"}}));
    harness.LoadSkin(SubControl("Test.Control", "main"));
    const RCPtr<LControl> main = harness.CreateRoot(L"main");
    (void)harness.Window().GetHotKeyManager()->RegisterHotKey(ParseShortcutText(L"Ctrl+VKEY_W"),
                                                              L"NID_WINDOW_COMMAND");
    const RCPtr<LNotificationSpy> heard = LNotificationSpy::Create();
    const RCPtr<LGlobalHotKeyManager> applicationKeys = LGlobalHotKeyManager::Create(heard);
    (void)applicationKeys->RegisterHotKey(ParseShortcutText(L"Ctrl+VKEY_A"), L"NID_APPLICATION_COMMAND");
    (void)applicationKeys->RegisterHotKey(ParseShortcutText(L"Ctrl+VKEY_W"), L"NID_WINDOW_COMMAND");
    harness.SetApplicationHotKeys(applicationKeys);
    for (const wchar_t* id : {L"NID_WINDOW_COMMAND", L"NID_APPLICATION_COMMAND", L"NID_PLAIN_COMMAND"}) {
        heard->RegisterForNotification(harness.WindowRef().Get(), id, 0);
    }
    RCPtrArray<LMenuDescriptor> menus;
    main->BuildContextMenuDescriptors(menus);
    ASSERT_EQ(menus.GetCount(), 2u);
    // As the popup menu sends the command of the item chosen to the control.
    const auto choose = [&](const wchar_t* id) {
        LControl::SendNotificationTo(main, id, nullptr);
        harness.PumpIdle();
        return heard->TakeLines();
    };

    ASSERT_EQ(main->SetContextMenuDescriptor(menus.GetData()[0]), ZV_S_OK);
    EXPECT_EQ(main->GetContextMenuDescriptor(), menus.GetData()[0]);
    // The window has the first command's hot key, and its queue takes the command; the application has the second.
    EXPECT_EQ(choose(L"NID_WINDOW_COMMAND"), (Lines{"NID_WINDOW_COMMAND"}));
    EXPECT_EQ(choose(L"NID_APPLICATION_COMMAND"), (Lines{"NID_APPLICATION_COMMAND"}));
    EXPECT_EQ(choose(L"NID_PLAIN_COMMAND"), Lines{});

    // Another menu takes the first one's routes with it.
    ASSERT_EQ(main->SetContextMenuDescriptor(menus.GetData()[1]), ZV_S_OK);
    EXPECT_EQ(choose(L"NID_WINDOW_COMMAND"), Lines{});
    EXPECT_EQ(choose(L"NID_APPLICATION_COMMAND"), Lines{});
    EXPECT_EQ(main->BindMenuCommands(nullptr, true), ZV_E_INVALIDARG);
}

// Keeps every value it is given.
class LValueControl : public LRecordingControl {
public:
    using LRecordingControl::LRecordingControl;

    double SetValue(double value) override
    {
        values.push_back(value);
        return LRecordingControl::SetValue(value);
    }

    std::vector<double> values;
};

// Switches the process to the locale for as long as it lives.
class LocaleScope {
public:
    explicit LocaleScope(const char* name)
        : mPrevious(std::setlocale(LC_ALL, nullptr)), mActive(std::setlocale(LC_ALL, name) != nullptr)
    {
    }
    LocaleScope(const LocaleScope&) = delete;
    LocaleScope& operator=(const LocaleScope&) = delete;
    ~LocaleScope() { std::setlocale(LC_ALL, mPrevious.c_str()); }

    bool IsActive() const { return mActive; }

private:
    std::string mPrevious;
    bool mActive;
};

TEST(ControlMenus, CreateParametersSetTheValueWhateverTheLocaleAndFlagsReadTrueTrimmedInAnyCase)
{
    ControlHarness harness;
    harness.Register<LValueControl>(L"Test.Value");
    const auto valued = [](const char* name, const char* text) {
        return SubControl("Test.Value", name, "", "", {{"INITIAL_VALUE", text}});
    };
    const auto focusFlag = [](const char* name, const char* text) {
        return SubControl("Test.Control", name, "", "", {{"NOT_FOCUSABLE", text}});
    };
    harness.LoadSkin(SubControl(
        "Test.Control", "main", "",
        valued("quarter", "0.25") + valued("padded", " -0.5e0 ") + valued("nan", "nan") + valued("huge", "1e999") +
            valued("words", "a quarter") + focusFlag("shouting", " TRUE ") + focusFlag("yes", "yes") +
            focusFlag("no", "false") + SubControl("Test.Control", "negative", "TabStop=\"-1\"") +
            SubControl("Test.Control", "plain", "TabStop=\"3\"")));
    RCPtr<LControl> main;
    {
        LocaleScope german("de_DE.UTF-8");
        if (!german.IsActive()) {
            GTEST_SKIP() << "no German locale on this machine";
        }
        // The C library reads numbers with a decimal comma now.
        ASSERT_EQ(std::strtod("0,25", nullptr), 0.25);
        main = harness.CreateRoot(L"main");
    }
    const auto valuesOf = [&](const wchar_t* name) {
        return static_cast<LValueControl&>(*main->FindChildByName(name)).values;
    };
    EXPECT_EQ(valuesOf(L"quarter"), std::vector<double>{0.25});
    EXPECT_EQ(valuesOf(L"padded"), std::vector<double>{-0.5});
    // No number at all reads as 0; a value that is no finite number is not given to the control.
    EXPECT_EQ(valuesOf(L"words"), std::vector<double>{0.0});
    EXPECT_EQ(valuesOf(L"nan"), std::vector<double>{});
    EXPECT_EQ(valuesOf(L"huge"), std::vector<double>{});

    ControlTestAccess::PlaceTree(*main, {0, 0, 10, 10});
    const auto focusable = [&](const wchar_t* name) { return main->FindChildByName(name)->IsFocusable(); };
    EXPECT_FALSE(focusable(L"shouting"));
    EXPECT_TRUE(focusable(L"yes"));
    EXPECT_TRUE(focusable(L"no"));
    EXPECT_FALSE(focusable(L"negative"));
    EXPECT_TRUE(focusable(L"plain"));
    EXPECT_LT(main->FindChildByName(L"shouting")->GetLayoutDescriptor()->tabStop, 0);
}

}  // namespace
}  // namespace ZV
