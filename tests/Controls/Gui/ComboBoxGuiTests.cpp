#include "Controls/Gui/ShownPanelWindow.h"

#include "ControlBase/Harness/ControlHarness.h"
#include "Controls/ComboBox.h"
#include "Controls/Gui/EditHotKeysApplication.h"
#include "Controls/TextBoxTestSkin.h"
#include "System/Gui/LoopTurns.h"

#include <string>
#include <vector>

namespace ZV {
namespace {

using Testing::ControlWearing;
using Testing::FilledLook;
using Testing::LookList;
using Testing::RunCommandWhileLoopTurns;
using Testing::RunLoopUntil;
using Testing::TemporaryFolder;

constexpr std::uint32_t kWindowColour = 0x1E2A3A;
constexpr std::uint32_t kClosedColour = 0x3060C0;
constexpr std::uint32_t kOpenColour = 0xC04030;
constexpr std::uint32_t kListColour = 0x30A060;
// The combo box and a point of its list's area below it, in the window.
const RectT<zlong> kCombo(20, 20, 100, 20);
const PointT<zlong> kInList(110, 60);

// The green list of a combo, opening below it in rows of 14 pixels; adds its looks to the skin.
std::string GreenList(Testing::SkinDocumentBuilder& skin)
{
    const std::string list = FilledLook(skin, "list", kListColour);
    skin.lookLists += LookList("listLooks", {list}) + LookList("rowLooks", std::vector<std::string>(14, list));
    const std::string row = ControlWearing("Framework.ListBoxItem", "templateItem", "rowLooks",
                                           R"(XSizeToControl="Client" XSizeRel="1" XSizeAbs="0" YSizeAbs="14")");
    return ControlWearing("Framework.ListBox", "listBox", "listLooks",
                          R"(ClipToParent="False" Z_Order="100" XSizeAbs="100" YSizeAbs="14")", row);
}

// The skin's files: its controls, and five items for the combo of that name.
void WriteComboFiles(const TemporaryFolder& folder, const Testing::SkinDocumentBuilder& skin, const std::string& combo)
{
    (void)folder.Write("Skins.xml", skin.Document());
    (void)folder.Write("StringTables.xml",
                       Testing::TestStringTables(Testing::StringTable("Test.ShownPanel|" + combo, {{"ITEM.0", "One"},
                                                                                               {"ITEM.1", "Two"},
                                                                                               {"ITEM.2", "Three"},
                                                                                               {"ITEM.3", "Four"},
                                                                                               {"ITEM.4", "Five"}})));
    (void)folder.Write("FrameworkStrings.xml", Testing::TestStringTables(""));
}

// "main" (400 x 311) holding the combo box "pick" (20, 20, 100 x 20: closed looks blue, dropped-down looks red) with
// five items in a green list that opens below it.
void WriteComboBoxSkin(const TemporaryFolder& folder)
{
    Testing::SkinDocumentBuilder skin;
    const std::string window = FilledLook(skin, "window", kWindowColour);
    const std::string closed = FilledLook(skin, "closed", kClosedColour);
    const std::string open = FilledLook(skin, "open", kOpenColour);
    const std::string listBox = GreenList(skin);
    skin.lookLists += LookList("windowLooks", {window}) +
                      LookList("comboLooks", {closed, closed, closed, closed, open, open, closed});
    skin.controls = ControlWearing(
        "Test.ShownPanel", "main", "windowLooks", R"(XSizeAbs="400" YSizeAbs="311")",
        ControlWearing("Framework.ComboBox", "pick", "comboLooks",
                       R"(XPositionAbs="20" YPositionAbs="20" XSizeAbs="100" YSizeAbs="20")", listBox));
    WriteComboFiles(folder, skin, "pick");
}

// "main" (300 x 120) holding the combo box "typed" (20, 20, 160 x 28) with a text box over its left 120 pixels and
// five items.
void WriteComboTextBoxSkin(const TemporaryFolder& folder)
{
    Testing::SkinDocumentBuilder skin;
    Testing::AddTextBoxLooks(skin);
    const std::string closed = FilledLook(skin, "closed", kClosedColour);
    const std::string listBox = GreenList(skin);
    skin.lookLists += LookList("comboLooks", std::vector<std::string>(7, closed));
    skin.controls = ControlWearing(
        "Test.ShownPanel", "main", "plain", R"(XSizeAbs="300" YSizeAbs="120")",
        ControlWearing("Framework.ComboTextBox", "typed", "comboLooks",
                       R"(XPositionAbs="20" YPositionAbs="20" XSizeAbs="160" YSizeAbs="28")",
                       listBox + Testing::TextBoxControl("textBox", R"(XSizeAbs="120" YSizeAbs="28")")));
    WriteComboFiles(folder, skin, "typed");
}

class ComboBoxGui : public Testing::ShownPanelWindowTest<> {
protected:
    ComboBoxGui() : ShownPanelWindowTest(&WriteComboBoxSkin) {}
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(ShownPanelWindowTest::SetUp());
        mCombo = ChildNamed<LComboBox>(L"pick");
        ASSERT_TRUE(mCombo);
    }
    std::uint32_t ComboColour() { return ColourAt({kCombo.x + 90, kCombo.y + kCombo.height / 2}); }
    void ClickCombo()
    {
        MoveTo({kCombo.x + 90, kCombo.y + 10});
        mInput.Click(1);
    }

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

class ComboTextBoxGui : public Testing::ShownPanelWindowTest<Testing::EditHotKeysApplication> {
protected:
    ComboTextBoxGui() : ShownPanelWindowTest(&WriteComboTextBoxSkin) {}
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(ShownPanelWindowTest::SetUp());
        mCombo = ChildNamed<LComboBox>(L"typed");
        ASSERT_TRUE(mCombo && mCombo->GetTextBox());
    }
    void PressKeys(const char* modifier, const char* key)
    {
        mInput.Key(modifier, true);
        mInput.Tap(key);
        mInput.Key(modifier, false);
    }
    std::string BoxText() const { return mCombo->GetTextBox()->GetText().ToUTF8().GetData(); }

    RCPtr<LComboBox> mCombo;
};

TEST_F(ComboTextBoxGui, CtrlVPastesTextAnotherProgramCopiedIntoTheCombosTextBox)
{
    const Testing::DesktopClipboard clipboard;
    MoveTo({40, 34});
    mInput.Click(1);
    ASSERT_TRUE(RunLoopUntil([&] { return mRoot->GetFocusControl() == mCombo->GetTextBox() && ClickDone(); }));
    const std::string file = mSkinFolder.Write("copied", "Three");
    // It stays behind to answer until the box takes the clipboard; its output must not hold the test's open.
    ASSERT_EQ(RunCommandWhileLoopTurns("xclip -selection clipboard -i < " + file + " > /dev/null 2>&1"), 0);
    ASSERT_TRUE(RunLoopUntil([&] { return Testing::DesktopClipboard::Text() == "Three"; }));

    mInput.Tap("Home");
    PressKeys("Shift_L", "End");
    PressKeys("Control_L", "v");
    EXPECT_TRUE(RunLoopUntil([&] { return BoxText() == "Three"; })) << "pasted \"" << BoxText() << "\"";
}

}  // namespace
}  // namespace ZV
