#pragma once

#include "ControlBase/ConditionMask.h"
#include "ControlBase/Harness/ControlHarness.h"
#include "ControlBase/Harness/KeyRouter.h"
#include "ControlBase/Harness/MouseRouter.h"
#include "ControlBase/Harness/NotificationSpy.h"
#include "ControlBase/KeyParams.h"
#include "Controls/TextBox.h"
#include "Controls/TextBoxTestSkin.h"
#include "Notification/MouseParams.h"
#include "System/ClipBoard.h"

#include <gtest/gtest.h>

#include <string>

namespace ZV::Testing {

// A window of the harness with a text box "box" at (10, 10), 100 x 24, whose text starts 4 pixels in (the harness
// measures 7 pixels a character, so character i covers x = 14 + 7i to 20 + 7i of the window), and a focusable
// control "other" below it. The application's clipboard is one of the test's own, which the desktop never sees.
class TextBoxFixture : public ::testing::Test {
protected:
    explicit TextBoxFixture(const std::string& strings = "")
        : mPreviousClipboard(SetClipboard(LClipboard::Create(nullptr)))
    {
        mHarness.Register<LTextBox>(L"Framework.TextBox");
        if (!strings.empty()) {
            mHarness.LoadStrings(strings);
        }
        SkinDocumentBuilder skin;
        AddTextBoxLooks(skin);
        skin.controls = ControlWearing(
            "Test.Control", "main", "plain", "",
            TextBoxControl("box", R"(XPositionAbs="10" YPositionAbs="10" XSizeAbs="100" YSizeAbs="24")") +
                ControlWearing("Test.Control", "other", "plain",
                               R"(XPositionAbs="10" YPositionAbs="50" XSizeAbs="40" YSizeAbs="20")"));
        mHarness.LoadSkinDocument(skin.Document());
        mMain = mHarness.CreateRoot(L"main");
        mBox = RCPtr<LTextBox>(dynamic_cast<LTextBox*>(mMain->FindChildByName(L"box").Get()));
        (void)mMain->SelectLook(0);
        (void)mMain->FindChildByName(L"other")->SelectLook(0);
        mHarness.Window().HitTestThroughRootControl();
        mSpy->Watch(RCPtr<LControl>(mBox.Get()),
                    {L"NID_TEXTBOX_TEXT_CHANGE", L"NID_TEXTBOX_VALIDATING", L"NID_TEXTBOX_VALIDATED"});
    }
    ~TextBoxFixture() override
    {
        mHarness.Window().SetRootControl(nullptr);
        (void)SetClipboard(mPreviousClipboard);
    }

    // Each character as the window delivers it: its key going down, then the character.
    void Type(const std::wstring& text)
    {
        for (const wchar_t character : text) {
            const bool letter = character >= L'a' && character <= L'z';
            const std::uint8_t key = letter ? static_cast<std::uint8_t>(character - L'a' + L'A')
                                            : static_cast<std::uint8_t>(character);
            mKeys.Press(key);
            mKeys.RouteKey(LKeyParam::Create(KeyCode(static_cast<std::uint16_t>(character), 0), true));
        }
    }
    std::wstring Text() const { return std::wstring(mBox->GetText().GetData(), mBox->GetText().GetLength()); }
    std::wstring Selected() const
    {
        const WideString selected = mBox->GetSelectedText();
        return std::wstring(selected.GetData(), selected.GetLength());
    }
    // The window's x of the boundary before character index.
    static zlong BoundaryX(std::int32_t index) { return 14 + 7 * index; }
    // A left press and release at the window's point, with the modifiers.
    void Click(zlong x, std::uint32_t modifiers = 0, bool doubleClick = false)
    {
        const PointT<zlong> point{x, 20};
        mHarness.Window().SetMouseButtonState(MouseButton::kLeft);
        mMouse.RouteMouseButton(doubleClick ? IRootWindowTarget::kDoubleClick : IRootWindowTarget::kPress,
                                MouseButton::kLeft, modifiers, point);
        mHarness.Window().SetMouseButtonState(0);
        mMouse.RouteMouseButton(IRootWindowTarget::kRelease, MouseButton::kLeft, modifiers, point);
    }
    int CountOf(const std::vector<std::string>& lines, const std::string& id)
    {
        int count = 0;
        for (const std::string& line : lines) {
            count += line.find(id) != std::string::npos ? 1 : 0;
        }
        return count;
    }

    RCPtr<LClipboard> mPreviousClipboard;
    ControlHarness mHarness;
    RCPtr<LControl> mMain;
    RCPtr<LTextBox> mBox;
    KeyRouter mKeys{mHarness.Window()};
    MouseRouter mMouse{mHarness.Window()};
    RCPtr<LNotificationSpy> mSpy = LNotificationSpy::Create();
};

}  // namespace ZV::Testing
