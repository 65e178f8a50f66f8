#include "ControlBase/ConditionMask.h"
#include "ControlBase/KeyParams.h"
#include "Controls/Button.h"
#include "Controls/ControlsHarness.h"
#include "Controls/EditingKeys.h"
#include "Controls/NumericUpDown.h"
#include "Controls/TextBox.h"
#include "Controls/TextBoxTestSkin.h"
#include "LocaleEnvironment.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

namespace ZV {
namespace {

using Testing::ControlsHarness;
using Testing::LNotificationRecorder;

// A window with an up-down "upDown" (100 x 24 at 10, 10): its text box 80 wide, and the two buttons beside it, one
// above the other; and an up-down "bare" without parts.
class NumericUpDownTest : public ::testing::Test {
protected:
    NumericUpDownTest()
    {
        Testing::SkinDocumentBuilder skin = Testing::ControlsSkin();
        Testing::AddTextBoxLooks(skin);
        skin.controls += Testing::MainControl(
            Testing::ControlWearing(
                "Framework.NumericUpDown", "upDown", "plain",
                R"(XPositionAbs="10" YPositionAbs="10" XSizeAbs="100" YSizeAbs="24")",
                Testing::TextBoxControl("textBox", R"(XSizeAbs="80" YSizeAbs="24")") +
                    Testing::Wearing("Framework.Button", "buttonUp", "button",
                                     R"(XPositionAbs="80" XSizeAbs="20" YSizeAbs="12")") +
                    Testing::Wearing("Framework.Button", "buttonDown", "button",
                                     R"(XPositionAbs="80" YPositionAbs="12" XSizeAbs="20" YSizeAbs="12")")) +
            Testing::ControlWearing("Framework.NumericUpDown", "bare", "plain",
                                    R"(XPositionAbs="10" YPositionAbs="50" XSizeAbs="100" YSizeAbs="24")"));
        mMain = mHarness.CreateMain(skin);
        mUpDown = RCPtr<LNumericUpDown>(dynamic_cast<LNumericUpDown*>(mMain->FindChildByName(L"upDown").Get()));
        mRecorder->Watch(RCPtr<LControl>(mUpDown.Get()),
                         {L"NID_VALUE_CHANGE", L"NID_TEXTBOX_VALIDATING", L"NID_TEXTBOX_VALIDATED"});
    }
    ~NumericUpDownTest() override { mHarness.Window().SetRootControl(nullptr); }

    void Type(const std::wstring& text)
    {
        for (const wchar_t character : text) {
            mHarness.Keys().RouteKey(LKeyParam::Create(KeyCode(static_cast<std::uint16_t>(character), 0), true));
        }
    }
    std::wstring Shown() const
    {
        const WideString& text = mUpDown->GetTextBox()->GetText();
        return std::wstring(text.GetData(), text.GetLength());
    }
    double Number() const { return mUpDown->NormalizedToValue(mUpDown->GetValue()); }
    // Clicks into the text box, which takes the focus.
    void ClickIntoTheBox()
    {
        mHarness.PressAt(*mUpDown->GetTextBox(), {30, 10});
        mHarness.ReleaseAt(*mUpDown->GetTextBox(), {30, 10});
    }

    ControlsHarness mHarness;
    RCPtr<LControl> mMain;
    RCPtr<LNumericUpDown> mUpDown;
    RCPtr<LNotificationRecorder> mRecorder = LNotificationRecorder::Create();
};

TEST_F(NumericUpDownTest, ATypedNumberBeyondTheRangeCommitsAsTheBoundAndANegativeOneOnlyWhereTheRangeHasThem)
{
    ASSERT_TRUE(mUpDown && mUpDown->GetTextBox() && mUpDown->GetUpButton() && mUpDown->GetDownButton());
    ASSERT_EQ(mUpDown->SetValueRange(0, 100, kLinearScale), 0);
    EXPECT_EQ(Shown(), L"0");
    ClickIntoTheBox();
    mHarness.Keys().Press(kKeyEnd);
    mHarness.Keys().Press(kKeyBackspace);
    Type(L"-25a0");
    EXPECT_EQ(Shown(), L"250") << "no sign while the range has no negative numbers, and no letters";
    mHarness.Keys().Press(kKeyReturn);
    EXPECT_EQ(Shown(), L"100");
    EXPECT_EQ(mUpDown->GetValue(), 1.0);
    EXPECT_EQ(mRecorder->CountOf(L"NID_VALUE_CHANGE"), 1u);
    EXPECT_GE(mRecorder->CountOf(L"NID_TEXTBOX_VALIDATED"), 1u) << "the text box's validation is passed on";
    mHarness.Keys().Press(kKeyBackspace);
    mHarness.Keys().Press(kKeyBackspace);
    mHarness.Keys().Press(kKeyBackspace);
    mHarness.Keys().Press(kKeyEnd);
    Type(L"999");
    mHarness.Keys().Press(kKeyReturn);
    EXPECT_EQ(Shown(), L"100") << "the value was the bound already";

    ASSERT_EQ(mUpDown->SetValueRange(-10, 10, kLinearScale), 0);
    EXPECT_EQ(Shown(), L"10") << "the same place in the new range";
    mHarness.Keys().Press(kKeyEnd);
    mHarness.Keys().Press(kKeyBackspace);
    mHarness.Keys().Press(kKeyBackspace);
    Type(L"-3");
    mHarness.Keys().Press(kKeyReturn);
    EXPECT_EQ(Shown(), L"-3");
    EXPECT_DOUBLE_EQ(Number(), -3.0);
    mHarness.Keys().Press(kKeyEnd);
    mHarness.Keys().Press(kKeyBackspace);
    mHarness.Keys().Press(kKeyBackspace);
    Type(L"x");
    ASSERT_GE(mMain->FindChildByName(L"bare")->SetFocus(true), 0);
    EXPECT_EQ(Shown(), L"0") << "leaving the box commits what it holds: no number reads as 0";
    EXPECT_EQ(Number(), 0.0);
}

TEST_F(NumericUpDownTest, HoldingTheUpButtonStepsAtItsRepeatPaceToTheMaximumAndStopsThere)
{
    ASSERT_EQ(mUpDown->SetValueRange(0, 5, kLinearScale), 0);
    mHarness.PressAt(*mUpDown->GetUpButton(), {5, 5});
    EXPECT_EQ(Number(), 1.0) << "a step at the press";
    mHarness.RunFor(290);
    EXPECT_EQ(Number(), 1.0);
    mHarness.RunFor(20);
    EXPECT_EQ(Number(), 2.0) << "the second after 0.3 s";
    mHarness.RunFor(100);
    EXPECT_EQ(Number(), 3.0) << "then one every 0.1 s";
    mHarness.RunFor(1000);
    EXPECT_EQ(Number(), 5.0);
    EXPECT_EQ(Shown(), L"5");
    EXPECT_EQ(mRecorder->CountOf(L"NID_VALUE_CHANGE"), 5u) << "no change past the maximum";
    mHarness.ReleaseAt(*mUpDown->GetUpButton(), {5, 5});
    mHarness.PressAt(*mUpDown->GetDownButton(), {5, 5});
    mHarness.ReleaseAt(*mUpDown->GetDownButton(), {5, 5});
    EXPECT_EQ(Number(), 4.0);
}

TEST_F(NumericUpDownTest, UpAndDownKeysInTheTextBoxClickTheStepButtons)
{
    ASSERT_EQ(mUpDown->SetValueRange(0, 3, kLinearScale), 0);
    ClickIntoTheBox();
    for (int press = 0; press < 5; ++press) {
        mHarness.Keys().Press(kKeyUp);
        mHarness.RunFor(20);
    }
    mHarness.RunFor(200);
    EXPECT_EQ(Number(), 3.0) << "each key a step, up to the maximum";
    EXPECT_TRUE(mUpDown->GetTextBox()->GetConditions() & ConditionMask::kHasFocus) << "the buttons take no focus";
    mHarness.Keys().Press(kKeyDown);
    mHarness.RunFor(200);
    EXPECT_EQ(Number(), 2.0);
    mHarness.Keys().Press(kKeyDown, kModifierShift);
    mHarness.RunFor(200);
    EXPECT_EQ(Number(), 2.0) << "only without modifiers";
}

TEST_F(NumericUpDownTest, AnInvalidRangeIsRefusedAndALogarithmicOneShowsTheValueAtItsPlace)
{
    ASSERT_EQ(mUpDown->SetValueRange(0, 100, kLinearScale), 0);
    ASSERT_EQ(mUpDown->SetText(WideString(L"50")), 0);
    EXPECT_EQ(mUpDown->SetValueRange(0, 10, kLogarithmicScale), static_cast<ZVRESULT>(0x80070057));
    EXPECT_EQ(mUpDown->SetValueRange(-1, 10, kLogarithmicScale), static_cast<ZVRESULT>(0x80070057));
    EXPECT_EQ(mUpDown->SetValueRange(1, 10, 2), static_cast<ZVRESULT>(0x80070057));
    EXPECT_EQ(Shown(), L"50");
    EXPECT_EQ(mUpDown->GetValueMaximum(), 100.0) << "nothing changed";
    ASSERT_EQ(mUpDown->SetValueRange(1, 1000, kLogarithmicScale), 0);
    EXPECT_EQ(Shown(), L"32") << "halfway is the square root of 1000, without decimals";
    EXPECT_EQ(mUpDown->GetValue(), 0.5);
}

TEST_F(NumericUpDownTest, NumbersReadAndShowWithAPointAndAccentedLettersTypeUnderAGermanLocale)
{
    Testing::LocaleEnvironment environment;
    Testing::LocaleEnvironment::Set("LANG", "de_DE.UTF-8");
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr) << "scripts/install-deps generates de_DE.UTF-8";
    ASSERT_EQ(mUpDown->SetValueRange(0, 10, kLinearScale), 0);
    ASSERT_EQ(mUpDown->SetText(WideString(L"2.75")), 0);
    EXPECT_EQ(Shown(), L"3");
    EXPECT_DOUBLE_EQ(Number(), 3.0) << "the value is the number shown";
    ASSERT_EQ(mUpDown->SetText(WideString(L"4,75")), 0);
    EXPECT_DOUBLE_EQ(Number(), 4.0) << "a comma is no decimal point here";

    const RCPtr<LTextBox>& box = mUpDown->GetTextBox();
    box->SetCharacterFilter(WideString(L""), true);
    ASSERT_GE(box->SetFocus(true), 0);
    (void)box->SetText(WideString(L""));
    Type(L"Gr\x00FC\x00DF" L"e \x00E0 \x20AC");
    EXPECT_EQ(box->GetText(), WideString(L"Gr\x00FC\x00DF" L"e \x00E0 \x20AC"));
    std::setlocale(LC_ALL, previous.c_str());
}

TEST_F(NumericUpDownTest, AnUpDownWithoutPartsStillTakesItsValueAndPassesKeysOn)
{
    const RCPtr<LControl> bare = mMain->FindChildByName(L"bare");
    auto& upDown = dynamic_cast<LNumericUpDown&>(*bare);
    EXPECT_FALSE(upDown.GetTextBox());
    ASSERT_EQ(upDown.SetValueRange(0, 10, kLinearScale), 0);
    ASSERT_EQ(upDown.SetText(WideString(L"7")), 0);
    EXPECT_DOUBLE_EQ(upDown.NormalizedToValue(upDown.GetValue()), 7.0);
    ASSERT_GE(upDown.SetFocus(true), 0);
    mHarness.Keys().Press(kKeyUp);
    mHarness.RunFor(200);
    EXPECT_DOUBLE_EQ(upDown.NormalizedToValue(upDown.GetValue()), 7.0);
    EXPECT_FALSE(mUpDown->GetUpButton()->IsFocusable());
    EXPECT_TRUE(mUpDown->CanTakeFocus()) << "it hands the focus to its text box";
}

}  // namespace
}  // namespace ZV
