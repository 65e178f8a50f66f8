// Google Test first: the desktop's headers define None.
#include <gtest/gtest.h>

#include "Application/Gui/SkinApplication.h"
#include "ControlBase/CreateControl.h"
#include "ControlBase/Harness/ControlHarness.h"
#include "ControlBase/SkinTestSupport.h"
#include "Controls/ComboBox.h"
#include "Controls/FrameworkControlClasses.h"
#include "Controls/Gui/ShownPanelWindow.h"
#include "Platform/NativeWindow.h"
#include "System/Gui/DesktopInput.h"
#include "System/Gui/LoopTurns.h"
#include "TestFiles.h"
#include "support/WindowPixels.h"

#include <cstdio>
#include <string>

namespace ZV {
namespace {

using Testing::LShownPanel;
using Testing::DesktopInput;
using Testing::RunLoopUntil;
using Testing::TemporaryFolder;

constexpr std::uint32_t kWindowColour = 0x1E2A3A;
constexpr std::uint32_t kClosedColour = 0x3060C0;
constexpr std::uint32_t kOpenColour = 0xC04030;
constexpr std::uint32_t kListColour = 0x30A060;
// The combo box and a point of its list's area below it, in the window.
const RectT<zlong> kCombo(20, 20, 100, 20);
const PointT<zlong> kInList(110, 60);

std::string FilledLook(Testing::SkinDocumentBuilder& skin, const std::string& name, std::uint32_t colour)
{
    char text[16];
    std::snprintf(text, sizeof text, "0xFF%06X", static_cast<unsigned>(colour));
    skin.colorizers += "<Colorizer Name=\"" + name + "\" ColorType=\"SolidFill\" Color=\"" + text + "\"/>";
    skin.parts += "<Part Name=\"" + name + "\" ColorizerName=\"" + name +
                  "\" Width=\"1\" Height=\"1\" ResizeType=\"Stretch\"/>";
    skin.looks += "<Look Name=\"" + name + "\"><ClientPart Name=\"" + name +
                  "\" OffsetLeft=\"0\" OffsetTop=\"0\" OffsetRight=\"0\" OffsetBottom=\"0\"/></Look>";
    return name;
}

std::string LookList(const std::string& name, const std::string& look, int count)
{
    std::string list = "<LookList Name=\"" + name + "\" NumLooks=\"" + std::to_string(count) + "\">";
    for (int index = 0; index < count; ++index) {
        list += "<Look Name=\"" + look + "\" Index=\"" + std::to_string(index) + "\"/>";
    }
    return list + "</LookList>";
}

std::string Control(const std::string& className, const std::string& name, const std::string& lookList,
                    const std::string& attributes, const std::string& children = "")
{
    return "<SubControl Class=\"" + className + "\" Name=\"" + name + "\" " + attributes + "><Skin Name=\"" + name +
           "Skin\" LookList=\"" + lookList + "\">" + children + "</Skin></SubControl>";
}

// "main" (400 x 311) holding the combo box "pick" (20, 20, 100 x 20: closed looks blue, dropped-down looks red) with
// five items in a green list that opens below it.
void WriteSkin(const TemporaryFolder& folder)
{
    Testing::SkinDocumentBuilder skin;
    const std::string window = FilledLook(skin, "window", kWindowColour);
    const std::string closed = FilledLook(skin, "closed", kClosedColour);
    const std::string open = FilledLook(skin, "open", kOpenColour);
    const std::string list = FilledLook(skin, "list", kListColour);
    skin.lookLists = LookList("windowLooks", window, 1) + LookList("listLooks", list, 1) +
                     LookList("rowLooks", list, 14) +
                     "<LookList Name=\"comboLooks\" NumLooks=\"7\">" + "<Look Name=\"" + closed +
                     "\" Index=\"0\"/><Look Name=\"" + closed + "\" Index=\"1\"/><Look Name=\"" + closed +
                     "\" Index=\"2\"/><Look Name=\"" + closed + "\" Index=\"3\"/><Look Name=\"" + open +
                     "\" Index=\"4\"/><Look Name=\"" + open + "\" Index=\"5\"/><Look Name=\"" + closed +
                     "\" Index=\"6\"/></LookList>";
    const std::string row = Control("Framework.ListBoxItem", "templateItem", "rowLooks",
                                    R"(XSizeToControl="Client" XSizeRel="1" XSizeAbs="0" YSizeAbs="14")");
    const std::string listBox = Control("Framework.ListBox", "listBox", "listLooks",
                                        R"(ClipToParent="False" Z_Order="100" XSizeAbs="100" YSizeAbs="14")", row);
    skin.controls = Control("Test.ShownPanel", "main", "windowLooks", R"(XSizeAbs="400" YSizeAbs="311")",
                            Control("Framework.ComboBox", "pick", "comboLooks",
                                    R"(XPositionAbs="20" YPositionAbs="20" XSizeAbs="100" YSizeAbs="20")", listBox));
    (void)folder.Write("Skins.xml", skin.Document());
    (void)folder.Write("StringTables.xml",
                       Testing::TestStringTables(Testing::StringTable("Test.ShownPanel|pick", {{"ITEM.0", "One"},
                                                                              {"ITEM.1", "Two"},
                                                                              {"ITEM.2", "Three"},
                                                                              {"ITEM.3", "Four"},
                                                                              {"ITEM.4", "Five"}})));
    (void)folder.Write("FrameworkStrings.xml", Testing::TestStringTables(""));
}

class ComboBoxGui : public ::testing::Test {
protected:
    ComboBoxGui() : mApplication((WriteSkin(mSkinFolder), mSkinFolder.Path().string()), L"Test")
    {
        setenv("XDG_DATA_HOME", mDataFolder.Path().string().c_str(), 1);
        (void)RegisterFrameworkControlClasses(mApplication.Factory());
        (void)mApplication.Factory().RegisterControlCreateFunction(L"Test.ShownPanel", &CreateControl<LShownPanel>);
    }
    void SetUp() override
    {
        ASSERT_TRUE(mInput.IsOpen()) << "no X display";
        ASSERT_TRUE(mApplication.IsLoaded());
        ASSERT_EQ(mApplication.Host().CreateMainWindow(LRenderer::kGdi, L"main"), ZV_S_OK);
        ASSERT_TRUE(mApplication.WaitUntilShown());
        mRoot = mApplication.Host().GetMainRootWindow();
        mCombo = RCPtr<LComboBox>(dynamic_cast<LComboBox*>(mRoot->GetRootControl()->FindChildByName(L"pick").Get()));
        ASSERT_TRUE(mCombo);
    }
    std::uint32_t ColourAt(const PointT<zlong>& point)
    {
        const Platform::NativeWindow& window = *mApplication.Host().GetMainWindow()->GetWindowHandle();
        Testing::WaitForServer(window);
        return Testing::ReadWindowPixels(window, static_cast<int>(point.x), static_cast<int>(point.y), 1, 1).at(0);
    }
    std::uint32_t ComboColour() { return ColourAt({kCombo.x + 90, kCombo.y + kCombo.height / 2}); }
    void ClickCombo()
    {
        const RectT<zlong> client = mRoot->GetScreenBounds();
        mInput.MoveTo(static_cast<int>(client.x + kCombo.x + 90), static_cast<int>(client.y + kCombo.y + 10));
        mInput.Click(1);
    }
    // The release went through: nothing holds the mouse any more.
    bool ClickDone() { return !mRoot->GetCaptureControl(); }

    TemporaryFolder mSkinFolder;
    TemporaryFolder mDataFolder;
    Testing::SkinApplication mApplication;
    DesktopInput mInput;
    RCPtr<LRootWindow> mRoot;
    RCPtr<LComboBox> mCombo;
};

TEST_F(ComboBoxGui, ARealClickOpensTheListAndASecondOneClosesItForGood)
{
    ASSERT_TRUE(RunLoopUntil([&] { return ComboColour() == kClosedColour; }));
    EXPECT_EQ(ColourAt(kInList), kWindowColour);

    ClickCombo();
    ASSERT_TRUE(RunLoopUntil([&] { return mCombo->IsDropDownOpen() && ClickDone(); }));
    EXPECT_EQ(mRoot->GetFocusControl().Get(), mCombo->GetListBox().Get());
    EXPECT_TRUE(RunLoopUntil([&] { return ColourAt(kInList) == kListColour && ComboColour() == kOpenColour; }));

    ClickCombo();
    ASSERT_TRUE(RunLoopUntil([&] { return !mCombo->IsDropDownOpen() && ClickDone(); }));
    EXPECT_TRUE(RunLoopUntil([&] { return ColourAt(kInList) == kWindowColour && ComboColour() == kClosedColour; }));
    EXPECT_FALSE(mCombo->IsDropDownOpen());
    EXPECT_EQ(mRoot->GetFocusControl().Get(), mCombo.Get());

    // The keys of the desktop: Down opens, Escape closes.
    mInput.Tap("Down");
    ASSERT_TRUE(RunLoopUntil([&] { return mCombo->IsDropDownOpen(); }));
    mInput.Tap("Escape");
    EXPECT_TRUE(RunLoopUntil([&] { return !mCombo->IsDropDownOpen(); }));
}

}  // namespace
}  // namespace ZV
