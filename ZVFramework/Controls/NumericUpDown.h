#pragma once

#include "Controls/Panel.h"

#include <cstdint>

namespace ZV {

class LButton;
class LTextBox;

// A number to edit ("Framework.NumericUpDown"): the control's value, in its range and scale, shown in the text box
// "textBox", which takes digits (a point with decimals, a minus sign for a range below 0), and stepped by the
// repeating buttons "buttonUp" and "buttonDown" or the Up and Down keys. A typed number counts when the text box
// commits it (Return, or the focus leaving), clamped into the range; the box then shows the value as it is. Numbers
// are read and written with a point whatever the user's locale. A missing part switches its feature off.
//
// It passes on the text box's "NID_TEXTBOX_VALIDATING" and "NID_TEXTBOX_VALIDATED", and sends "NID_VALUE_CHANGE" as
// every control does. User-interface thread only.
class LNumericUpDown : public LPanel {
public:
    using LPanel::LPanel;

    // Reads the text's leading number (0 when there is none) into the value. 0.
    [[nodiscard]] ZVRESULT SetText(const WideString& text) override;
    // Shows the value in the text box, which then validates it.
    void OnValueChanged() override;
    // Linear, or logarithmic with both bounds above 0; ZV_E_INVALIDARG with nothing changed otherwise. The filter
    // follows the range, and the text box shows the value at its place in the new range.
    [[nodiscard]] ZVRESULT SetValueRange(double minimum, double maximum, std::int32_t scaleMode) override;
    // Up and Down without modifiers click the step buttons; other keys go as a panel's do.
    void ProcessHotKey(const RCPtr<LKeyParam>& key) override;
    // Finds the parts, has the buttons repeat and hears them and the text box.
    [[nodiscard]] ZVRESULT Initialize() override;
    // The up-down shows its first look and takes the focus; its buttons never do.
    [[nodiscard]] ZVRESULT OnInitialized() override;

    // The value with the decimals, a point between them.
    WideString FormatValue() const;
    // The text box takes digits, a point when there are decimals, a minus sign when the range goes below 0.
    void UpdateInputFilter();
    // The amount a step adds or takes off, in the range's units; and the digits shown after the point.
    double GetStep() const { return mStep; }
    std::int32_t GetDecimals() const { return mDecimals; }
    const RCPtr<LTextBox>& GetTextBox() const { return mTextBox; }
    const RCPtr<LButton>& GetUpButton() const { return mUpButton; }
    const RCPtr<LButton>& GetDownButton() const { return mDownButton; }

protected:
    bool OfferToNotificationHandlers(const ConstRCPtr<LNotificationDistributor>& sender,
                                     const RCPtr<LNotification>& notification) override;
    void EraseNotificationBindings(const ConstRCPtr<LNotificationDistributor>& distributor, const wchar_t* id) override;

private:
    // The handlers; each answers 1.
    std::int32_t OnTextValidating(const ConstRCPtr<LNotificationDistributor>& sender,
                                  const RCPtr<LNotification>& notification);
    std::int32_t OnTextValidated(const ConstRCPtr<LNotificationDistributor>& sender,
                                 const RCPtr<LNotification>& notification);
    std::int32_t OnButtonAutoRepeat(const ConstRCPtr<LNotificationDistributor>& sender,
                                    const RCPtr<LNotification>& notification);
    // The value of the number, clamped into the range.
    void SetNumber(double number);
    // The value shown again in the text box.
    void ShowValue();

    RCPtr<LNotificationHandler<LNumericUpDown>> mHandler;
    RCPtr<LTextBox> mTextBox;
    RCPtr<LButton> mUpButton;
    RCPtr<LButton> mDownButton;
    double mStep = 1.0;
    std::int32_t mDecimals = 0;
};

}  // namespace ZV
