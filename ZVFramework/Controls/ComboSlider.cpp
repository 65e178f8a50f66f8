#include "Controls/ComboSlider.h"

#include "ControlBase/ConditionMask.h"
#include "ObjectBase/Exception.h"

#include <algorithm>
#include <cmath>

namespace ZV {

bool LComboSlider::IsDropDownOpen()
{
    return mDropDownPanel && mDropDownPanel->IsVisible(false);
}

double LComboSlider::DropDownPanelX() const
{
    const RCPtr<LControlDescriptor>& descriptor = mDropDownPanel->GetControlDescriptor();
    const SubControlSettings* skin = descriptor ? descriptor->GetSubControlSettings() : nullptr;
    PointT<double> point{skin != nullptr ? skin->xPosition.abs : 0.0, 0.0};
    const RCPtr<LControl> top = GetTopControl();
    top->MapPointFromControl(*this, point);
    const double panelWidth = mDropDownPanel->GetSize().x;
    const double topWidth = top->GetSize().x;
    if (point.x + panelWidth > topWidth) {
        point.x = std::max(topWidth - panelWidth, 0.0);
    }
    MapPointFromControl(*top, point);
    return point.x;
}

ZVRESULT LComboSlider::ShowDropDown(bool show)
{
    if (!mDropDownPanel) {
        return ZV_E_FAIL;
    }
    const RCPtr<LPanel> panel = mDropDownPanel;
    const RCPtr<LLayoutDescriptor> layout = panel->GetLayoutDescriptor();
    if (show && layout) {
        const double x = DropDownPanelX();
        if (layout->xPosition.abs != x) {
            PositionRule position = layout->xPosition;
            position.abs = x;
            const SizeRule size = layout->xSize;
            // The rules read back are the ones given.
            (void)panel->SetAxisPlacement(0, position, layout->xIsDocked, size);
        }
    }
    (void)panel->SetVisible(show);
    // Closing by the focus leaving comes after the conditions changed, and would leave the open look on.
    SelectStateLook();
    return ZV_S_OK;
}

double LComboSlider::SetValue(double value)
{
    if (mSlider) {
        (void)mSlider->SetValue(value);
    }
    return LDropDownControl::SetValue(value);
}

void LComboSlider::OnValueChanged()
{
    LDropDownControl::OnValueChanged();
    // The slider's own change comes back here as no change; during its drag it holds the latest value for the
    // release.
    if (mSlider) {
        (void)mSlider->SetValue(GetValue());
    }
    // 1 when the text stays the same. Rounded as the format rounds; adding 0 turns a negative value that rounds to
    // zero into "0", not "-0".
    (void)SetText(WideString::Format(L"%0.0f", std::nearbyint(NormalizedToValue(GetValue())) + 0.0));
}

void LComboSlider::SelectStateLook()
{
    using namespace ConditionMask;
    const std::uint32_t conditions = GetConditions();
    const bool hover = (conditions & kHover) != 0;
    const bool focus = (conditions & (kHasFocus | kContainsFocus)) != 0;
    std::uint32_t look = kDisabledLook;
    if (IsEnabled(true)) {
        if (IsDropDownOpen()) {
            look = hover ? kOpenHoverLook : kOpenLook;
        } else {
            look = hover ? (focus ? kHoverFocusedLook : kHoverLook) : (focus ? kFocusedLook : kNormalLook);
        }
    }
    // A skin with fewer looks keeps the one it shows.
    (void)SelectLook(look);
}

ZVRESULT LComboSlider::Initialize()
{
    if (Failed(LDropDownControl::Initialize())) {
        return ZV_E_FAIL;
    }
    mDropDownPanel = dynamic_cast<LPanel*>(FindChildByName(L"dropDownPanel").Get());
    if (!mDropDownPanel) {
        return ZV_S_OK;
    }
    (void)mDropDownPanel->SetVisible(false);
    mOwnHandler = new LNotificationHandler<LComboSlider>(this);
    mSlider = mDropDownPanel->FindChildByName(L"slider");
    if (mSlider) {
        ZV_THROW_IF_FAILED(
            mOwnHandler->AddHandler(&LComboSlider::OnSliderValueChange, mSlider, L"NID_VALUE_CHANGE", 0));
    }
    return ZV_S_OK;
}

ZVRESULT LComboSlider::OnInitialized()
{
    // Without a weighted look the control would neither show nor be hit until its conditions first changed.
    SelectStateLook();
    return LDropDownControl::OnInitialized();
}

std::int32_t LComboSlider::OnSliderValueChange(const ConstRCPtr<LNotificationDistributor>&,
                                               const RCPtr<LNotification>&)
{
    // Past the override: the slider has the value already.
    (void)LDropDownControl::SetValue(mSlider->GetValue());
    return 1;
}

bool LComboSlider::OfferToNotificationHandlers(const ConstRCPtr<LNotificationDistributor>& sender,
                                               const RCPtr<LNotification>& notification)
{
    return OfferToHandler(mOwnHandler, sender, notification) ||
           LDropDownControl::OfferToNotificationHandlers(sender, notification);
}

void LComboSlider::EraseNotificationBindings(const ConstRCPtr<LNotificationDistributor>& distributor,
                                             const wchar_t* id)
{
    EraseFromHandler(mOwnHandler, distributor, id);
    LDropDownControl::EraseNotificationBindings(distributor, id);
}

}  // namespace ZV
