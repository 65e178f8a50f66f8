#include "Controls/Gui/ShownPanelWindow.h"

#include "ControlBase/Harness/ControlHarness.h"
#include "Controls/ComboBox.h"
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

constexpr std::uint32_t kWindowColour = 0x1E2A3A;
constexpr std::uint32_t kClosedColour = 0x3060C0;
constexpr std::uint32_t kOpenColour = 0xC04030;
constexpr std::uint32_t kListColour = 0x30A060;
// The combo box and a point of its list's area below it, in the window.
const RectT<zlong> kCombo(20, 20, 100, 20);
const PointT<zlong> kInList(110, 60);

// "main" (400 x 311) holding the combo box "pick" (20, 20, 100 x 20: closed looks blue, dropped-down looks red) with
// five items in a green list that opens below it.
void WriteComboBoxSkin(const TemporaryFolder& folder)
{
    Testing::SkinDocumentBuilder skin;
    const std::string window = FilledLook(skin, "window", kWindowColour);
    const std::string closed = FilledLook(skin, "closed", kClosedColour);
    const std::string open = FilledLook(skin, "open", kOpenColour);
    const std::string list = FilledLook(skin, "list", kListColour);
    skin.lookLists = LookList("windowLooks", {window}) + LookList("listLooks", {list}) +
                     LookList("rowLooks", std::vector<std::string>(14, list)) +
                     LookList("comboLooks", {closed, closed, closed, closed, open, open, closed});
    const std::string row = ControlWearing("Framework.ListBoxItem", "templateItem", "rowLooks",
                                           R"(XSizeToControl="Client" XSizeRel="1" XSizeAbs="0" YSizeAbs="14")");
    const std::string listBox =
        ControlWearing("Framework.ListBox", "listBox", "listLooks",
                       R"(ClipToParent="False" Z_Order="100" XSizeAbs="100" YSizeAbs="14")", row);
    skin.controls = ControlWearing(
        "Test.ShownPanel", "main", "windowLooks", R"(XSizeAbs="400" YSizeAbs="311")",
        ControlWearing("Framework.ComboBox", "pick", "comboLooks",
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

}  // namespace
}  // namespace ZV
