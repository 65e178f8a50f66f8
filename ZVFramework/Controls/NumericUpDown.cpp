#include "Controls/NumericUpDown.h"

#include "ControlBase/KeyParams.h"
#include "ControlBase/NotificationSending.h"
#include "Controls/Button.h"
#include "Controls/EditingKeys.h"
#include "Controls/LeadingNumber.h"
#include "Controls/TextBox.h"
#include "Controls/TextValidationParams.h"
#include "Notification/Notification.h"

#include <algorithm>

namespace ZV {

namespace {

constexpr const wchar_t* kValidatingId = L"NID_TEXTBOX_VALIDATING";
constexpr const wchar_t* kValidatedId = L"NID_TEXTBOX_VALIDATED";
constexpr const wchar_t* kAutoRepeatId = L"NID_BUTTON_AUTOREPEAT";

template <class T>
RCPtr<T> ChildAs(const LControl& parent, const wchar_t* name)
{
    return RCPtr<T>(dynamic_cast<T*>(parent.FindChildByName(name).Get()));
}

}  // namespace

ZVRESULT LNumericUpDown::Initialize()
{
    const ZVRESULT result = LPanel::Initialize();
    mTextBox = ChildAs<LTextBox>(*this, L"textBox");
    mUpButton = ChildAs<LButton>(*this, L"buttonUp");
    mDownButton = ChildAs<LButton>(*this, L"buttonDown");
    UpdateInputFilter();
    mHandler = new LNotificationHandler<LNumericUpDown>(this);
    if (mTextBox) {
        ZV_THROW_IF_FAILED(mHandler->AddHandler(&LNumericUpDown::OnTextValidating, mTextBox, kValidatingId, 0));
        ZV_THROW_IF_FAILED(mHandler->AddHandler(&LNumericUpDown::OnTextValidated, mTextBox, kValidatedId, 0));
    }
    for (const RCPtr<LButton>& button : {mUpButton, mDownButton}) {
        if (button) {
            button->SetAutoRepeat(true);
            ZV_THROW_IF_FAILED(mHandler->AddHandler(&LNumericUpDown::OnButtonAutoRepeat, button, kAutoRepeatId, 0));
        }
    }
    return result;
}

ZVRESULT LNumericUpDown::OnInitialized()
{
    (void)LPanel::OnInitialized();
    // Its look holds the parts: without a weighted look they would neither show nor be hit. A skin without looks
    // leaves nothing to select.
    (void)SelectLook(0);
    FixNotFocusable(false);
    for (const RCPtr<LButton>& button : {mUpButton, mDownButton}) {
        if (button) {
            button->FixNotFocusable(true);
        }
    }
    return ZV_S_OK;
}

bool LNumericUpDown::OfferToNotificationHandlers(const ConstRCPtr<LNotificationDistributor>& sender,
                                                 const RCPtr<LNotification>& notification)
{
    return OfferToHandler(mHandler, sender, notification) || LPanel::OfferToNotificationHandlers(sender, notification);
}

void LNumericUpDown::EraseNotificationBindings(const ConstRCPtr<LNotificationDistributor>& distributor,
                                               const wchar_t* id)
{
    EraseFromHandler(mHandler, distributor, id);
    LPanel::EraseNotificationBindings(distributor, id);
}

WideString LNumericUpDown::FormatValue() const
{
    const double value = NormalizedToValue(GetValue());
    if (mDecimals > 0) {
        const WideString format = WideString(L"%0.") + WideString::Format(L"%df", mDecimals);
        return WideString::Format(format.GetData(), value);
    }
    return WideString::Format(L"%0.0f", value);
}

void LNumericUpDown::UpdateInputFilter()
{
    if (!mTextBox) {
        return;
    }
    WideString filter(L"0123456789");
    if (mDecimals > 0) {
        filter += WideString(L".");
    }
    if (std::min(GetValueMinimum(), GetValueMaximum()) < 0.0) {
        filter += WideString(L"-");
    }
    mTextBox->SetCharacterFilter(filter, true);
}

void LNumericUpDown::ShowValue()
{
    if (mTextBox) {
        (void)mTextBox->SetText(FormatValue());
    }
}

void LNumericUpDown::SetNumber(double number)
{
    (void)SetValue(ValueToNormalized(number));
}

ZVRESULT LNumericUpDown::SetText(const WideString& text)
{
    SetNumber(ReadLeadingNumber(text));
    return ZV_S_OK;
}

void LNumericUpDown::OnValueChanged()
{
    LPanel::OnValueChanged();
    if (!mTextBox) {
        return;
    }
    const RCPtr<LControl> self(this);
    ShowValue();
    // A validation pass tells the up-down's subscribers of the text as it now is; nothing is asked of the focus.
    (void)mTextBox->CanReleaseFocus();
}

ZVRESULT LNumericUpDown::SetValueRange(double minimum, double maximum, std::int32_t scaleMode)
{
    const ZVRESULT result = LPanel::SetValueRange(minimum, maximum, scaleMode);
    if (Failed(result)) {
        return result;
    }
    UpdateInputFilter();
    ShowValue();
    return ZV_S_OK;
}

void LNumericUpDown::ProcessHotKey(const RCPtr<LKeyParam>& key)
{
    const std::uint32_t code = key ? key->GetKey().code : 0;
    RCPtr<LButton> button;
    if (code == KeyCode(kKeyUp, true, 0, 0).code) {
        button = mUpButton;
    } else if (code == KeyCode(kKeyDown, true, 0, 0).code) {
        button = mDownButton;
    }
    if (!button) {
        LPanel::ProcessHotKey(key);
        return;
    }
    SendNotificationTo(RCPtr<LNotificationReceiver>(button.Get()), L"NID_SIMULATE_CLICK", nullptr);
}

std::int32_t LNumericUpDown::OnTextValidating(const ConstRCPtr<LNotificationDistributor>&,
                                              const RCPtr<LNotification>& notification)
{
    const RCPtr<LControl> self(this);
    SendNewNotification(*this, kValidatingId, notification->GetParameter());
    const ConstRCPtr<LTextValidationParams> params(notification->GetParameter());
    if (!params || !params->IsValid()) {
        return 1;
    }
    const double number = std::clamp(ReadLeadingNumber(params->GetText()),
                                     std::min(GetValueMinimum(), GetValueMaximum()),
                                     std::max(GetValueMinimum(), GetValueMaximum()));
    const double current = NormalizedToValue(GetValue());
    if (current != number) {
        SetNumber(number);
    } else if (current != GetValueMinimum() && current != GetValueMaximum()) {
        // A number inside the range that is already the value stays as typed.
        return 1;
    }
    // Beyond the range the text shows the bound it was held to.
    params->SetText(FormatValue());
    params->SetValid(true);
    return 1;
}

std::int32_t LNumericUpDown::OnTextValidated(const ConstRCPtr<LNotificationDistributor>&,
                                             const RCPtr<LNotification>& notification)
{
    SendNewNotification(*this, kValidatedId, notification->GetParameter());
    return 1;
}

std::int32_t LNumericUpDown::OnButtonAutoRepeat(const ConstRCPtr<LNotificationDistributor>& sender,
                                                const RCPtr<LNotification>&)
{
    const double current = NormalizedToValue(GetValue());
    if (sender.Get() == static_cast<const LNotificationDistributor*>(mUpButton.Get())) {
        SetNumber(current + mStep);
    } else if (sender.Get() == static_cast<const LNotificationDistributor*>(mDownButton.Get())) {
        SetNumber(current - mStep);
    }
    return 1;
}

}  // namespace ZV
