#include "Controls/Gui/ShownPanelWindow.h"

#include "Controls/Gui/EditHotKeysApplication.h"
#include "Controls/TextBox.h"
#include "Controls/TextBoxTestSkin.h"
#include "System/Gui/LoopTurns.h"

#include <cmath>
#include <string>

namespace ZV {
namespace {

using Testing::RunCommandWhileLoopTurns;
using Testing::RunLoopUntil;
using Testing::TemporaryFolder;

constexpr std::uint32_t kSelectionColour = 0x0000FF;
// "Grüße" and the euro sign.
const wchar_t* const kWideText = L"Gr\x00FC\x00DF" L"e \x20AC";
const char* const kUtf8Text = "Gr\xC3\xBC\xC3\x9F" "e \xE2\x82\xAC";

// The skin of the test's window: "main" (a panel, 300 x 120) holding the text box "box" (20, 20, 160 x 28) and the
// text box "other" below it.
void WriteTextBoxSkin(const TemporaryFolder& folder)
{
    Testing::SkinDocumentBuilder skin;
    Testing::AddTextBoxLooks(skin);
    skin.controls = Testing::ControlWearing(
        "Test.ShownPanel", "main", "plain", R"(XSizeAbs="300" YSizeAbs="120")",
        Testing::TextBoxControl("box", R"(XPositionAbs="20" YPositionAbs="20" XSizeAbs="160" YSizeAbs="28")") +
            Testing::TextBoxControl("other", R"(XPositionAbs="20" YPositionAbs="70" XSizeAbs="160" YSizeAbs="28")"));
    (void)folder.Write("Skins.xml", skin.Document());
    (void)folder.Write("StringTables.xml", Testing::TestStringTables(""));
    (void)folder.Write("FrameworkStrings.xml", Testing::TestStringTables(""));
}

class TextBoxGui : public Testing::ShownPanelWindowTest<Testing::EditHotKeysApplication> {
protected:
    TextBoxGui() : ShownPanelWindowTest(&WriteTextBoxSkin) {}
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(ShownPanelWindowTest::SetUp());
        mBox = ChildNamed<LTextBox>(L"box");
        ASSERT_TRUE(mBox);
    }
    // The screen's point of a point of the box.
    PointT<zlong> OnScreen(double x, double y)
    {
        const RectT<zlong> client = mRoot->GetScreenBounds();
        const PointT<double> origin = mBox->GetAbsoluteOrigin();
        return {client.x + static_cast<zlong>(std::floor(origin.x + x)),
                client.y + static_cast<zlong>(std::floor(origin.y + y))};
    }
    void ClickAt(const PointT<zlong>& point)
    {
        mInput.MoveTo(static_cast<int>(point.x), static_cast<int>(point.y));
        mInput.Click(1);
    }
    void PressKeys(std::initializer_list<const char*> held, const char* key)
    {
        for (const char* modifier : held) {
            mInput.Key(modifier, true);
        }
        mInput.Tap(key);
        for (const char* modifier : held) {
            mInput.Key(modifier, false);
        }
    }
    std::string Text() const { return mBox->GetText().ToUTF8().GetData(); }
    std::string Selected() const { return mBox->GetSelectedText().ToUTF8().GetData(); }

    RCPtr<LTextBox> mBox;
};

TEST_F(TextBoxGui, AClickBetweenTwoCharactersPutsTheCaretThereAndADoubleClickSelectsAWordInTheSelectionLook)
{
    ASSERT_EQ(mBox->SetText(WideString(L"hello world")), 0);
    // The pixel before the second "l", where "e" ends: its last column, or the gap after it.
    const double between = std::floor(mBox->GetCharRect(3).x) - 1.0;
    ClickAt(OnScreen(between, 14));
    EXPECT_TRUE(RunLoopUntil([&] { return mBox->GetCaretPosition() == 3; })) << "caret " << mBox->GetCaretPosition();

    const RectT<float> w = mBox->GetCharRect(7);
    const PointT<zlong> inWorld = OnScreen(w.x + 1, 14);
    mInput.MoveTo(static_cast<int>(inWorld.x), static_cast<int>(inWorld.y));
    mInput.Click(1);
    mInput.Click(1);
    EXPECT_TRUE(RunLoopUntil([&] { return Selected() == "world"; })) << "selected \"" << Selected() << "\"";
    // The selection look shows behind the word once the window has painted; the pointer away, not the hot one.
    const PointT<zlong> away = OnScreen(200, 80);
    mInput.MoveTo(static_cast<int>(away.x), static_cast<int>(away.y));
    EXPECT_TRUE(RunLoopUntil([&] {
        Testing::WaitForServer(Native());
        const RectT<float> selected = mBox->GetRangeRect(6, 10);
        const PointT<double> origin = mBox->GetAbsoluteOrigin();
        const std::vector<std::uint32_t> row = Testing::ReadWindowPixels(
            Native(), static_cast<int>(origin.x + selected.x), static_cast<int>(origin.y + 6),
            static_cast<int>(selected.width), 1);
        int blue = 0;
        for (const std::uint32_t pixel : row) {
            blue += pixel == kSelectionColour ? 1 : 0;
        }
        return blue > static_cast<int>(row.size()) / 2;
    }));
}

TEST_F(TextBoxGui, DraggingPastTheRightEdgeScrollsTheTextAndTheSelectionFollows)
{
    ASSERT_EQ(mBox->SetText(WideString(L"the quick brown fox jumps over the lazy dog again and again")), 0);
    ASSERT_GT(mBox->GetClientExtent().x, mBox->GetTextRect().width) << "the text must be longer than the box";
    const PointT<zlong> start = OnScreen(mBox->GetCharRect(1).x + 1, 14);
    mInput.MoveTo(static_cast<int>(start.x), static_cast<int>(start.y));
    mInput.Button(1, true);
    const PointT<zlong> past = OnScreen(200, 14);
    mInput.MoveTo(static_cast<int>(past.x), static_cast<int>(past.y));
    EXPECT_TRUE(RunLoopUntil([&] { return mBox->GetScrollOffset().x > 20; })) << "offset " << mBox->GetScrollOffset().x;
    const std::int32_t selected = mBox->GetSelectionLength();
    EXPECT_TRUE(RunLoopUntil([&] { return mBox->GetSelectionLength() > selected; })) << "the selection grows";
    mInput.Button(1, false);
    EXPECT_TRUE(RunLoopUntil([&] { return !mBox->IsKineticScrollRunning(0); }));
    EXPECT_EQ(mBox->GetSelectionStart(), 1);
}

TEST_F(TextBoxGui, TextAnotherProgramCopiedPastesInAndTextCopiedFromTheBoxPastesThere)
{
    const Testing::DesktopClipboard clipboard;
    ClickAt(OnScreen(10, 14));
    ASSERT_TRUE(RunLoopUntil([&] { return (mBox->GetConditions() & 0x1) != 0; }));
    const std::string file = mSkinFolder.Write("copied", kUtf8Text);
    // It stays behind to answer until the box takes the clipboard; its output must not hold the test's open.
    ASSERT_EQ(RunCommandWhileLoopTurns("xclip -selection clipboard -i < " + file + " > /dev/null 2>&1"), 0);
    ASSERT_TRUE(RunLoopUntil([&] { return Testing::DesktopClipboard::Text() == kUtf8Text; }))
        << "the other program offers its text";
    PressKeys({"Control_L"}, "v");
    EXPECT_TRUE(RunLoopUntil([&] { return Text() == kUtf8Text; })) << "pasted \"" << Text() << "\"";
    EXPECT_EQ(mBox->GetText(), WideString(kWideText));
    EXPECT_EQ(mBox->GetCaretPosition(), 7);

    PressKeys({}, "Home");
    PressKeys({"Shift_L"}, "End");
    ASSERT_TRUE(RunLoopUntil([&] { return mBox->GetSelectionLength() == 7; }));
    PressKeys({"Control_L"}, "c");
    ASSERT_TRUE(RunLoopUntil([&] { return Testing::DesktopClipboard::Text() == kUtf8Text; }));
    EXPECT_EQ(RunCommandWhileLoopTurns("timeout 20 xclip -selection clipboard -o -t UTF8_STRING > " +
                                       (mSkinFolder / "pasted")),
              0);
    EXPECT_EQ(mSkinFolder.Read("pasted"), kUtf8Text);
}

}  // namespace
}  // namespace ZV
