#include "App/Application.h"

#include "ControlBase/ControlFactory.h"
#include "Controls/FrameworkControlClasses.h"
#include "Engine/EngineTestSupport.h"
#include "Platform/VersionInfo.h"
#include "support/ScopedEnvironment.h"

#include <gtest/gtest.h>

namespace ZV::Testing {
namespace {

using Simulator::DeviceStart;

// Every class name that a skin may give a control: the framework's, then the program's own.
constexpr const wchar_t* kSkinClassNames[] = {
    L"Framework.Button",          L"Framework.OverlayButton",
    L"Framework.ListBox",         L"Framework.listboxNoScroll",
    L"Framework.ListBoxItem",     L"Framework.CheckedListBox",
    L"Framework.CheckedListBoxItem", L"Framework.ListBoxWithIcons",
    L"Framework.listbox2ColumnSortable", L"Framework.ScrollBar",
    L"Framework.ScrollChannel",   L"Framework.ComboBox",
    L"Framework.ComboTextBox",    L"Framework.CheckedComboBox",
    L"Framework.ComboBoxWithIcons", L"Framework.ComboSlider",
    L"Framework.ComboSlider.DropDownPanel", L"Framework.Slider",
    L"Framework.Knob",            L"Framework.TabControl",
    L"Framework.Label",           L"Framework.TextBox",
    L"Framework.NumericUpDown",   L"Framework.Panel",
    L"Framework.ToolTip",         L"Framework.PopupMenu",
    L"Framework.MenuItem",        L"Framework.ComboMenu",
    L"Framework.MainMenu",        L"Framework.FileDropper",
    L"Framework.StatusBar",       L"Framework.SplitterH",
    L"Framework.SplitterV",       L"Framework.LevelMeter",
    L"Framework.ProgressBar",
};

// The factory's create function of the class name; null when it has none.
ControlCreateFunction CreateFunctionOf(const LControlFactory& factory, const wchar_t* className)
{
    ControlCreateFunction function = nullptr;
    try {
        if (Failed(factory.GetControlCreateFunction(className, function))) {
            return nullptr;
        }
    } catch (const std::exception&) {
        return nullptr;
    }
    return function;
}

// The program's application over its own skin, with its names and a data folder of the test's own.
class ProgramStartup : public EngineTest {
protected:
    ProgramStartup()
    {
        Platform::OverrideProgramVersionInfo("\\VarFileInfo\\Translation=040904b0\n"
                                             "\\StringFileInfo\\040904b0\\CompanyName=Corvan\n"
                                             "\\StringFileInfo\\040904b0\\ProductName=Halvista Firmware Updater\n");
        mEnvironment.Set("XDG_DATA_HOME", mFolder.Path().c_str());
        mEnvironment.Set("XDG_CONFIG_HOME", mFolder.Path().c_str());
    }
    ~ProgramStartup() override { Platform::OverrideProgramVersionInfo(std::nullopt); }

    ScopedEnvironment mEnvironment;
};

TEST_F(ProgramStartup, TheFactoryHoldsTheFrameworksClassesWithTheirOwnFunctionsAndTheMainControlsClass)
{
    SimulatedMidiRig rig({QuickDevice(DeviceStart::Absent, LogPath())});
    const RCPtr<LControlFactory> factory(new LControlFactory(L"Halvista Firmware Updater"));
    ASSERT_EQ(factory->LoadResources(WideString(ZV_TEST_PROGRAM_SKIN_DIR), 0x0409), ZV_S_OK);
    const RCPtr<LApplication> application(
        new LApplication(factory, factory->GetFrameworkStringTable(), WideString(), rig.Factory()));
    EXPECT_EQ(CreateFunctionOf(*factory, L"FirmwareUpdater.MainControl"), nullptr);
    // The processor finds no device, which does not end the start.
    EXPECT_EQ(application->RunApplicationStartup(), ZV_S_OK);

    LControlFactory frameworkOnly(L"Halvista Firmware Updater");
    ASSERT_EQ(RegisterFrameworkControlClasses(frameworkOnly), ZV_S_OK);
    int registered = 0;
    for (const wchar_t* className : kSkinClassNames) {
        const ControlCreateFunction function = CreateFunctionOf(*factory, className);
        EXPECT_EQ(function, CreateFunctionOf(frameworkOnly, className)) << WideString(className).ToUTF8().GetData();
        registered += function != nullptr ? 1 : 0;
    }
    // Every class built so far.
    EXPECT_GE(registered, 26);
    EXPECT_NE(CreateFunctionOf(*factory, L"FirmwareUpdater.MainControl"), nullptr);
    EXPECT_EQ(CreateFunctionOf(frameworkOnly, L"FirmwareUpdater.MainControl"), nullptr);
    EXPECT_EQ(application->RunApplicationShutdown(), ZV_S_OK);
}

}  // namespace
}  // namespace ZV::Testing
