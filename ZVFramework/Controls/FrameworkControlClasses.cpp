#include "Controls/FrameworkControlClasses.h"

#include "ControlBase/ControlFactory.h"
#include "ControlBase/CreateControl.h"
#include "Controls/Button.h"
#include "Controls/CheckedComboBox.h"
#include "Controls/CheckedListBox.h"
#include "Controls/CheckedListBoxItem.h"
#include "Controls/ComboBox.h"
#include "Controls/ComboMenu.h"
#include "Controls/ComboSlider.h"
#include "Controls/FileDropper.h"
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

namespace ZV {

namespace {

struct ControlClass {
    const wchar_t* name;
    ControlCreateFunction create;
};

// Several names share a class: the skin chooses look and behaviour through its descriptor, the class only the code.
const ControlClass kFrameworkControlClasses[] = {
    {L"Framework.Button", &CreateControl<LButton>},
    {L"Framework.OverlayButton", &CreateControl<LListBoxItem>},
    {L"Framework.ListBox", &CreateControl<LListBox>},
    {L"Framework.listboxNoScroll", &CreateControl<LListBox>},
    {L"Framework.ListBoxItem", &CreateControl<LListBoxItem>},
    {L"Framework.CheckedListBox", &CreateControl<LCheckedListBox>},
    {L"Framework.CheckedListBoxItem", &CreateControl<LCheckedListBoxItem>},
    {L"Framework.ListBoxWithIcons", &CreateControl<LCheckedListBox>},
    {L"Framework.listbox2ColumnSortable", &CreateControl<LMultiColumnListBox>},
    {L"Framework.ScrollBar", &CreateControl<LScrollbar>},
    {L"Framework.ScrollChannel", &CreateControl<LPanel>},
    {L"Framework.ComboBox", &CreateControl<LComboBox>},
    {L"Framework.ComboTextBox", &CreateControl<LComboBox>},
    {L"Framework.CheckedComboBox", &CreateControl<LCheckedComboBox>},
    {L"Framework.ComboBoxWithIcons", &CreateControl<LCheckedComboBox>},
    {L"Framework.ComboSlider", &CreateControl<LComboSlider>},
    {L"Framework.ComboSlider.DropDownPanel", &CreateControl<LPanel>},
    {L"Framework.Slider", &CreateControl<LSlider>},
    {L"Framework.Knob", &CreateControl<LKnob>},
    {L"Framework.TabControl", &CreateControl<LTabControl>},
    {L"Framework.Label", &CreateControl<LLabel>},
    {L"Framework.TextBox", &CreateControl<LTextBox>},
    {L"Framework.NumericUpDown", &CreateControl<LNumericUpDown>},
    {L"Framework.Panel", &CreateControl<LPanel>},
    {L"Framework.ToolTip", &CreateControl<LToolTip>},
    {L"Framework.PopupMenu", &CreateControl<LPopupMenu>},
    {L"Framework.MenuItem", &CreateControl<LMenuListBoxItem>},
    {L"Framework.ComboMenu", &CreateControl<LComboMenu>},
    {L"Framework.MainMenu", &CreateControl<LMainMenu>},
    {L"Framework.FileDropper", &CreateControl<LFileDropper>},
    {L"Framework.StatusBar", &CreateControl<LStatusBar>},
    {L"Framework.SplitterH", &CreateControl<LSplitterH>},
    {L"Framework.SplitterV", &CreateControl<LSplitterV>},
    {L"Framework.LevelMeter", &CreateControl<LLevelMeter>},
    {L"Framework.ProgressBar", &CreateControl<LProgressBar>},
};

}  // namespace

ZVRESULT RegisterFrameworkControlClasses(LControlFactory& factory)
{
    for (const ControlClass& controlClass : kFrameworkControlClasses) {
        const ZVRESULT result = factory.RegisterControlCreateFunction(controlClass.name, controlClass.create);
        if (Failed(result)) {
            return result;
        }
    }
    return ZV_S_OK;
}

}  // namespace ZV
