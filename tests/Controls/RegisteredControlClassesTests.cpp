#include "ControlBase/Harness/ControlHarness.h"
#include "Controls/Button.h"
#include "Controls/CheckedComboBox.h"
#include "Controls/CheckedListBox.h"
#include "Controls/CheckedListBoxItem.h"
#include "Controls/ComboBox.h"
#include "Controls/ComboMenu.h"
#include "Controls/ComboSlider.h"
#include "Controls/FileDropper.h"
#include "Controls/FrameworkControlClasses.h"
#include "Controls/Knob.h"
#include "Controls/Label.h"
#include "Controls/LevelMeter.h"
#include "Controls/ListBox.h"
#include "Controls/ListBoxItem.h"
#include "Controls/MainMenu.h"
#include "Controls/MenuListBoxItem.h"
#include "Controls/MultiColumnListBox.h"
#include "Controls/NumericUpDown.h"
#include "Controls/Panel.h"
#include "Controls/PopupMenu.h"
#include "Controls/ProgressBar.h"
#include "Controls/ScrollBar.h"
#include "Controls/Slider.h"
#include "Controls/Splitter.h"
#include "Controls/StatusBar.h"
#include "Controls/TabControl.h"
#include "Controls/TextBox.h"
#include "Controls/ToolTip.h"

#include <gtest/gtest.h>

#include <string>
#include <typeindex>
#include <typeinfo>
#include <vector>

namespace ZV {
namespace {

using Testing::ControlHarness;
using Testing::SubControl;

struct RegisteredClass {
    std::string name;
    std::type_index type;
};

// The framework's class names and the class that each makes.
const std::vector<RegisteredClass>& FrameworkClasses()
{
    static const std::vector<RegisteredClass> classes{
        {"Framework.Button", typeid(LButton)},
        {"Framework.OverlayButton", typeid(LListBoxItem)},
        {"Framework.ListBox", typeid(LListBox)},
        {"Framework.listboxNoScroll", typeid(LListBox)},
        {"Framework.ListBoxItem", typeid(LListBoxItem)},
        {"Framework.CheckedListBox", typeid(LCheckedListBox)},
        {"Framework.CheckedListBoxItem", typeid(LCheckedListBoxItem)},
        {"Framework.ListBoxWithIcons", typeid(LCheckedListBox)},
        {"Framework.listbox2ColumnSortable", typeid(LMultiColumnListBox)},
        {"Framework.ScrollBar", typeid(LScrollbar)},
        {"Framework.ScrollChannel", typeid(LPanel)},
        {"Framework.ComboBox", typeid(LComboBox)},
        {"Framework.ComboTextBox", typeid(LComboBox)},
        {"Framework.CheckedComboBox", typeid(LCheckedComboBox)},
        {"Framework.ComboBoxWithIcons", typeid(LCheckedComboBox)},
        {"Framework.ComboSlider", typeid(LComboSlider)},
        {"Framework.ComboSlider.DropDownPanel", typeid(LPanel)},
        {"Framework.Slider", typeid(LSlider)},
        {"Framework.Knob", typeid(LKnob)},
        {"Framework.TabControl", typeid(LTabControl)},
        {"Framework.Label", typeid(LLabel)},
        {"Framework.TextBox", typeid(LTextBox)},
        {"Framework.NumericUpDown", typeid(LNumericUpDown)},
        {"Framework.Panel", typeid(LPanel)},
        {"Framework.ToolTip", typeid(LToolTip)},
        {"Framework.PopupMenu", typeid(LPopupMenu)},
        {"Framework.MenuItem", typeid(LMenuListBoxItem)},
        {"Framework.ComboMenu", typeid(LComboMenu)},
        {"Framework.MainMenu", typeid(LMainMenu)},
        {"Framework.FileDropper", typeid(LFileDropper)},
        {"Framework.StatusBar", typeid(LStatusBar)},
        {"Framework.SplitterH", typeid(LSplitterH)},
        {"Framework.SplitterV", typeid(LSplitterV)},
        {"Framework.LevelMeter", typeid(LLevelMeter)},
        {"Framework.ProgressBar", typeid(LProgressBar)},
    };
    return classes;
}

TEST(RegisteredControlClasses, EveryNameOfTheTableMakesItsOwnClassFromAMinimalDescriptor)
{
    ControlHarness harness;
    ASSERT_EQ(RegisterFrameworkControlClasses(harness.Factory()), 0);
    std::string children;
    for (std::size_t index = 0; index < FrameworkClasses().size(); ++index) {
        children += SubControl(FrameworkClasses()[index].name, "control" + std::to_string(index));
    }
    harness.LoadSkin(SubControl("Test.Control", "main", "", children));
    const RCPtr<LControl> main = harness.CreateRoot(L"main");
    ASSERT_TRUE(main);
    for (std::size_t index = 0; index < FrameworkClasses().size(); ++index) {
        const RCPtr<LControl>& control = main->FindChildByName(WideString(("control" + std::to_string(index)).c_str()));
        ASSERT_TRUE(control) << FrameworkClasses()[index].name;
        const LControl& made = *control;
        EXPECT_EQ(std::type_index(typeid(made)), FrameworkClasses()[index].type) << FrameworkClasses()[index].name;
        EXPECT_TRUE(made.IsCreated()) << FrameworkClasses()[index].name;
    }

    // Names are case-sensitive.
    ControlCreateFunction function = nullptr;
    EXPECT_ANY_THROW((void)harness.Factory().GetControlCreateFunction(L"Framework.mainMenu", function));
    EXPECT_ANY_THROW((void)harness.Factory().GetControlCreateFunction(L"Framework.statusBar", function));
}

}  // namespace
}  // namespace ZV
