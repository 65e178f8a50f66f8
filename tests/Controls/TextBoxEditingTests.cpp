#include "ControlBase/MenuDescriptor.h"
#include "Controls/EditingKeys.h"
#include "Controls/TextBoxFixture.h"
#include "Notification/Notification.h"
#include "Notification/NotificationCenterManager.h"
#include "System/GlobalHotKeyManager.h"
#include "Renderer/RecordingRenderer.h"
#include "Renderer/RenderingServices.h"
#include "System/RecordingRootWindow.h"
#include "Utilities/Storage/WrapperStringable.h"

#include <gtest/gtest.h>

namespace ZV {
namespace {

using Testing::LRecordingRootWindow;
using Testing::TestWindowHost;
using Testing::TextBoxFixture;

// Ctrl+C and Ctrl+V are the application's hot keys of the copy and paste requests, which the application's clipboard
// performs on the focused text editor of the active window: the box.
class TextBoxEditing : public TextBoxFixture {
protected:
    TextBoxEditing()
    {
        mActiveRoot->SetFocusedTextEditor(RCPtr<ITextEditTarget>(mBox.Get()));
        mHost.mActiveRoot = mActiveRoot.Get();
        GetClipboard()->Initialize();
        const RCPtr<LNotificationCenter> centre = GetApplicationNotificationCenter();
        const ConstRCPtr<LNotificationReceiver> posting = centre->GetPostingReceiver();
        const RCPtr<LGlobalHotKeyManager> hotKeys =
            LGlobalHotKeyManager::Create(const_cast<LNotificationReceiver*>(posting.Get()));
        EXPECT_EQ(hotKeys->RegisterHotKey(KeyCode('C', true, 0, kModifierCtrl), L"NID_EDIT_COPY_REQ"), 0);
        EXPECT_EQ(hotKeys->RegisterHotKey(KeyCode('V', true, 0, kModifierCtrl), L"NID_EDIT_PASTE_REQ"), 0);
        mHarness.SetApplicationHotKeys(hotKeys);
        EXPECT_GE(mBox->SetFocus(true), 0);
    }
    ~TextBoxEditing() override { mActiveRoot->SetFocusedTextEditor(nullptr); }

    // A hot key goes out through the application's queue, which the next idle pass delivers.
    void PressCommand(std::uint8_t key)
    {
        mKeys.Press(key, kModifierCtrl);
        while (mHarness.PumpIdle()) {
        }
    }

    TestWindowHost mHost;
    RCPtr<LRecordingRootWindow> mActiveRoot{new LRecordingRootWindow(nullptr, nullptr)};
};

TEST_F(TextBoxEditing, TypingJumpingSelectingCopyingAndPastingBuildTheTextWithOneChangeNotificationPerChange)
{
    Type(L"hello world");
    mKeys.Press(kKeyLeft, kModifierCtrl);
    EXPECT_EQ(mBox->GetCaretPosition(), 6);
    mKeys.Press(kKeyEnd, kModifierShift);
    EXPECT_EQ(Selected(), L"world");
    PressCommand('C');
    mKeys.Press(kKeyEnd);
    PressCommand('V');
    EXPECT_EQ(Text(), L"hello worldworld");
    EXPECT_EQ(mBox->GetCaretPosition(), 16);
    EXPECT_FALSE(mBox->GetSelectionLength() > 0);
    const std::vector<std::string> lines = mSpy->TakeLines();
    EXPECT_EQ(CountOf(lines, "NID_TEXTBOX_TEXT_CHANGE"), 12) << "eleven characters and one paste";
    EXPECT_EQ(lines.size(), 12u);

    mKeys.Press(kKeyHome);
    mKeys.Press(kKeyRight);
    mKeys.Press(kKeyRight);
    mKeys.Press(kKeyRight, kModifierShift);
    mKeys.Press(kKeyRight, kModifierShift);
    EXPECT_EQ(Selected(), L"ll");
    mKeys.Press(kKeyLeft, kModifierShift);
    EXPECT_EQ(Selected(), L"l");
    EXPECT_EQ(mBox->GetCaretPosition(), 3);
    EXPECT_TRUE(mSpy->TakeLines().empty()) << "moving and selecting change no text";
}

TEST_F(TextBoxEditing, EditCommandsWithNothingToActOnFailAndTheMenuAsksTheClipboard)
{
    Type(L"abc");
    EXPECT_EQ(mBox->PerformEdit(kEditCopy), ZV_E_FAIL);
    EXPECT_EQ(mBox->PerformEdit(kEditCut), ZV_E_FAIL);
    EXPECT_EQ(mBox->PerformEdit(kEditDelete), ZV_E_FAIL);
    EXPECT_EQ(mBox->PerformEdit(kEditPaste), ZV_E_FAIL) << "an empty clipboard";
    EXPECT_EQ(mBox->PerformEdit(7), ZV_E_FAIL);
    EXPECT_FALSE(mBox->CanPerformEdit(kEditPaste));
    MenuItemInfo state;
    EXPECT_EQ(mBox->IsCommandEnabled(0, 0, WideString(L"NID_EDIT_COPY_REQ"), state), 0);
    EXPECT_EQ(state.enabled, 0);
    EXPECT_EQ(mBox->IsCommandEnabled(0, 0, WideString(L"NID_MENU_FILE_EXIT_REQ"), state), ZV_S_FALSE);

    mBox->SelectRange(1, 1);
    EXPECT_EQ(mBox->IsCommandEnabled(0, 0, WideString(L"NID_EDIT_CUT_REQ"), state), 0);
    EXPECT_EQ(state.enabled, 1);
    EXPECT_EQ(mBox->PerformEdit(kEditCut), 0);
    EXPECT_EQ(Text(), L"ac");
    EXPECT_TRUE(mBox->CanPerformEdit(kEditPaste));
    mBox->SetMaximumLength(2);
    EXPECT_FALSE(mBox->CanPerformEdit(kEditPaste)) << "a paste would pass the maximum length";
    EXPECT_EQ(mBox->PerformEdit(kEditPaste), ZV_E_FAIL);
    mBox->SelectRange(0, 0);
    EXPECT_TRUE(mBox->CanPerformEdit(kEditPaste));
    EXPECT_EQ(mBox->PerformEdit(kEditPaste), 0);
    EXPECT_EQ(Text(), L"bc");
    EXPECT_EQ(mBox->PerformEdit(kEditPaste), ZV_E_FAIL);
    mBox->SelectRange(0, -1);
    EXPECT_EQ(mBox->PerformEdit(kEditDelete), 0);
    EXPECT_EQ(Text(), L"");
}

TEST_F(TextBoxFixture, SettingTheTextClearsTheSelectionPutsTheCaretFirstAndTellsOnceOnlyWhenItChanges)
{
    ASSERT_GE(mBox->SetFocus(true), 0);
    Type(L"abcdef");
    mBox->SelectRange(2, 3);
    mSpy->TakeLines();
    EXPECT_EQ(mBox->SetText(WideString(L"xyz")), 0);
    EXPECT_EQ(mBox->GetSelectionLength(), 0);
    EXPECT_EQ(mBox->GetCaretPosition(), 0);
    EXPECT_EQ(mSpy->TakeLines(), std::vector<std::string>{"box NID_TEXTBOX_TEXT_CHANGE"});
    EXPECT_EQ(mBox->SetText(WideString(L"xyz")), ZV_S_FALSE);
    EXPECT_TRUE(mSpy->TakeLines().empty());
}

TEST_F(TextBoxFixture, AValidationHandlerCorrectsTheTextOrRefusingItKeepsTheFocusOnTabAndClickAway)
{
    RCPtr<LControl> other = mMain->FindChildByName(L"other");
    bool refuse = false;
    mSpy->OnEach(L"NID_TEXTBOX_VALIDATING", [&](const LNotification& notification) {
        const ConstRCPtr<LTextValidationParams> params(notification.GetParameter());
        if (refuse) {
            params->SetValid(false);
        } else if (params->GetText() == WideString(L"teh")) {
            params->SetText(WideString(L"the"));
            EXPECT_EQ(params->GetInitialText(), WideString(L"teh"));
        }
    });
    ASSERT_GE(mBox->SetFocus(true), 0);
    Type(L"teh");
    mSpy->TakeLines();
    mKeys.Press(kKeyReturn);
    EXPECT_EQ(Text(), L"the");
    EXPECT_EQ(mBox->GetCaretPosition(), 3);
    EXPECT_EQ(mSpy->TakeLines(), (std::vector<std::string>{"box NID_TEXTBOX_VALIDATING", "box NID_TEXTBOX_TEXT_CHANGE",
                                                            "box NID_TEXTBOX_VALIDATED"}));

    refuse = true;
    EXPECT_EQ(mBox->OnKeyDown(LKeyParam::Create(KeyCode(kKeyReturn, true, 0, 0), true)), 0) << "Return stays here";
    mKeys.Tab();
    EXPECT_TRUE(mBox->GetConditions() & ConditionMask::kHasFocus);
    Click(20);
    mMouse.Press(MouseButton::kLeft, {20, 60});
    mMouse.Release(MouseButton::kLeft, {20, 60});
    EXPECT_TRUE(mBox->GetConditions() & ConditionMask::kHasFocus) << "a click on another control";
    EXPECT_EQ(Text(), L"the") << "the text stays as typed";
    EXPECT_EQ(CountOf(mSpy->TakeLines(), "NID_TEXTBOX_VALIDATED"), 0);

    refuse = false;
    mKeys.Tab();
    EXPECT_FALSE(mBox->GetConditions() & ConditionMask::kHasFocus);
    EXPECT_TRUE(other->GetConditions() & ConditionMask::kHasFocus);
}

TEST_F(TextBoxFixture, AClickPutsTheCaretAtTheNearestBoundaryAlsoBetweenCharactersAndShiftOrADragSelects)
{
    ASSERT_EQ(mBox->SetText(WideString(L"hello world")), 0);
    Click(BoundaryX(3) + 1);
    EXPECT_EQ(mBox->GetCaretPosition(), 3) << "the left half of a character: before it";
    Click(BoundaryX(3) + 4);
    EXPECT_EQ(mBox->GetCaretPosition(), 4) << "its right half: after it";
    Click(BoundaryX(5) - 1);
    EXPECT_EQ(mBox->GetCaretPosition(), 5) << "the pixel between two characters";
    Click(105);
    EXPECT_EQ(mBox->GetCaretPosition(), 11) << "past the text: its end";
    Click(11);
    EXPECT_EQ(mBox->GetCaretPosition(), 0) << "before the text";
    Click(BoundaryX(7) + 1, kModifierShift);
    EXPECT_EQ(Selected(), L"hello w");

    mHarness.Window().SetMouseButtonState(MouseButton::kLeft);
    mMouse.RouteMouseButton(IRootWindowTarget::kPress, MouseButton::kLeft, 0, {BoundaryX(6), 20});
    mMouse.Move({BoundaryX(9), 20});
    EXPECT_EQ(Selected(), L"wor");
    mMouse.Move({BoundaryX(2), 25});
    EXPECT_EQ(Selected(), L"llo ") << "backwards from where the press was";
    mMouse.Release(MouseButton::kLeft, {BoundaryX(2), 25});
    EXPECT_EQ(mBox->GetCaretPosition(), 2);
}

// Measures 6.4 pixels a character: each character is drawn 5.4 wide and is followed by a gap that whole pixels
// fall into.
class LFractionalRenderer : public Testing::LRecordingRenderer {
public:
    RectT<float> MeasureText(const WideString& text, const ConstRCPtr<LFont>& font) override
    {
        const RectT<float> measured = LRecordingRenderer::MeasureText(text, font);
        return {0, measured.y, 6.4f * static_cast<float>(text.GetLength()), measured.height};
    }
};

class FractionalMeasuring : public IRenderingServices {
public:
    explicit FractionalMeasuring(IRenderingServices& harness) : mHarness(harness) {}
    zulong GetTimeMs() override { return mHarness.GetTimeMs(); }
    RCPtr<LMeasurementRenderer> GetMeasurementRenderer() override { return mRenderer; }

private:
    IRenderingServices& mHarness;
    RCPtr<LFractionalRenderer> mRenderer{new LFractionalRenderer()};
};

TEST_F(TextBoxFixture, AClickInTheGapBetweenTwoCharactersPutsTheCaretOnTheirBoundaryNotAtTheStart)
{
    FractionalMeasuring measuring(mHarness);
    IRenderingServices* harness = SetRenderingServices(&measuring);
    ASSERT_EQ(mBox->SetText(WideString(L"abcdefgh")), 0);
    // Character 1 ends at 4 + 6.4 + 5.4 = 15.8 and character 2 begins at 16.8 of the box.
    EXPECT_EQ(mBox->HitTest(PointT<zlong>{16, 8}), 2);
    // Character 3 ends at 28.6 and character 4 begins at 29.6.
    EXPECT_EQ(mBox->HitTest(PointT<zlong>{29, 8}), 4);
    EXPECT_EQ(mBox->HitTest(PointT<zlong>{19, 8}), 2) << "the left half of character 2";
    EXPECT_EQ(mBox->HitTest(PointT<zlong>{88, 8}), 8);
    (void)SetRenderingServices(harness);
}

TEST_F(TextBoxFixture, ADoubleClickOrACtrlClickSelectsTheWordUnderThePointer)
{
    ASSERT_EQ(mBox->SetText(WideString(L"one two  three")), 0);
    Click(BoundaryX(5));
    Click(BoundaryX(5), 0, true);
    EXPECT_EQ(Selected(), L"two");
    Click(BoundaryX(9) + 1);
    Click(BoundaryX(9) + 1, 0, true);
    EXPECT_EQ(Selected(), L"three") << "on the first half of its first character";
    Click(BoundaryX(1), kModifierCtrl);
    EXPECT_EQ(Selected(), L"one");
}

}  // namespace
}  // namespace ZV
