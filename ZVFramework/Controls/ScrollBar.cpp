// The scroll bar as a control: its parts, its value and range, the thumb on the track, the step buttons and keys.
#include "Controls/ScrollBar.h"

#include "ControlBase/ConditionMask.h"
#include "ControlBase/ControlGeometry.h"
#include "ControlBase/KeyParams.h"
#include "ControlBase/LayoutAxis.h"
#include "Controls/ConditionChange.h"
#include "Notification/ConditionsParam.h"
#include "Notification/MouseParams.h"
#include "Notification/Notification.h"

#include <algorithm>
#include <cmath>

namespace ZV {

namespace {

constexpr std::uint32_t kKeyMaskBits = 0xFF;

std::uint32_t VirtualKeyDown(std::uint8_t virtualKey)
{
    return KeyCode(virtualKey, true, 0, 0).code;
}

// What a key does to the bar: the mask bit that lets it, whether it needs the bar's axis (-1 either), and the
// value it gives from the current value and the steps.
struct ScrollKey {
    std::uint8_t virtualKey;
    std::uint32_t maskBit;
    int axis;
    double (*target)(double value, double line, double page);
};

constexpr ScrollKey kScrollKeys[] = {
    {0x26, 0x01, 1, [](double v, double line, double) { return v - line; }},  // Up
    {0x28, 0x02, 1, [](double v, double line, double) { return v + line; }},  // Down
    {0x25, 0x04, 0, [](double v, double line, double) { return v - line; }},  // Left
    {0x27, 0x08, 0, [](double v, double line, double) { return v + line; }},  // Right
    {0x21, 0x10, 1, [](double v, double, double page) { return v - page; }},  // Page Up
    {0x22, 0x20, 1, [](double v, double, double page) { return v + page; }},  // Page Down
    {0x24, 0x40, -1, [](double, double, double) { return 0.0; }},             // Home
    {0x23, 0x80, -1, [](double, double, double) { return 1.0; }},             // End
};
constexpr std::uint8_t kEndKey = 0x23;

}  // namespace

LScrollbar::LScrollbar(const RCPtr<LControl>& parent, const WideString& name) : LControl(parent, name)
{
    (void)LControl::SetValueRange(0.0, 100.0, kLinearScale);
}

ZVRESULT LScrollbar::Initialize()
{
    if (Failed(LControl::Initialize())) {
        return ZV_E_FAIL;
    }
    mHandler = new LNotificationHandler<LScrollbar>(this);
    // A subscription that fails leaves its part without effect, as a missing part would.
    mChannel = FindChildByName(L"channel");
    if (mChannel) {
        (void)mHandler->AddHandler(&LScrollbar::OnChannelDragCondition, mChannel, L"NID_LEFT_DRAG_CONDITION_CHANGE", 0);
        (void)mHandler->AddHandler(&LScrollbar::OnChannelHoverCondition, mChannel, L"NID_HOVER_CONDITION_CHANGE", 0);
        mThumb = dynamic_cast<LButton*>(mChannel->FindChildByName(L"thumb").Get());
        if (mThumb) {
            (void)mHandler->AddHandler(&LScrollbar::OnThumbMouseMove, mThumb, L"NID_MOUSE_MOVE", 0);
            (void)mHandler->AddHandler(&LScrollbar::OnThumbDragCondition, mThumb, L"NID_LEFT_DRAG_CONDITION_CHANGE", 0);
            mThumb->SetKeepPressedLookWhileCaptured(true);
        }
    }
    const RCPtr<LButton> dec = dynamic_cast<LButton*>(FindChildByName(L"dec").Get());
    const RCPtr<LButton> inc = dynamic_cast<LButton*>(FindChildByName(L"inc").Get());
    for (const RCPtr<LButton>& button : {dec, inc}) {
        if (button) {
            (void)mHandler->AddHandler(&LScrollbar::OnStepButtonRepeat, button, L"NID_BUTTON_AUTOREPEAT", 0);
            button->SetAutoRepeat(true);
        }
    }
    if (dec && inc) {
        const PointT<double> decAt = dec->GetPosition();
        const PointT<double> incAt = inc->GetPosition();
        mVertical = !(incAt.x - decAt.x > incAt.y - decAt.y);
    }
    UpdateContentExtent();
    (void)SetKeyMask(kKeyMaskBits);
    return ZV_S_OK;
}

ZVRESULT LScrollbar::OnInitialized()
{
    FixNotFocusable(true);
    for (const RCPtr<LControl>& part :
         {FindChildByName(L"dec"), FindChildByName(L"inc"), mChannel, RCPtr<LControl>(mThumb)}) {
        if (part) {
            part->FixNotFocusable(true);
        }
    }
    // Without a thumb the default minimum stays.
    if (mThumb) {
        mMinimumThumbLength = *mThumb->GetSize().Coordinate(1 - Axis());
    }
    UpdateContentExtent();
    // Looks start without weight: a bar without a weighted look would show none of its parts, and neither would a
    // channel.
    if (GetLookCount() > 0) {
        (void)SelectLook(0);
    }
    ClearPagingHighlight();
    return ZV_S_OK;
}

double LScrollbar::SetValue(double value)
{
    if (mDragging) {
        mPendingValue = value;
        return GetValue();
    }
    SetValueNow(value);
    return GetValue();
}

void LScrollbar::SetValueNow(double value)
{
    if (!std::isnan(value)) {
        (void)LControl::SetValue(std::clamp(value, 0.0, 1.0));
    }
    UpdateThumbPosition();
}

ZVRESULT LScrollbar::SetValueRange(double minimum, double maximum, std::int32_t scaleMode)
{
    const double position = NormalizedToValue(GetValue());
    const ZVRESULT result = LControl::SetValueRange(minimum, maximum, scaleMode);
    (void)SetValue(ValueToNormalized(position));
    return result;
}

void LScrollbar::SetThumbFraction(double fraction)
{
    mThumbFraction = fraction;
    UpdateThumbSize();
}

void LScrollbar::UpdateContentExtent()
{
    LControl::UpdateContentExtent();
    if (!mThumb || !mChannel) {
        return;
    }
    const RectT<double> client = mChannel->GetClientRect(-1);
    mTrackStart = 0;
    mTrackEnd = mVertical ? client.height : client.width;
    UpdateThumbSize();
}

void LScrollbar::UpdateThumbSize()
{
    if (!mThumb || !mThumb->GetLayoutDescriptor()) {
        return;
    }
    const int axis = Axis();
    mThumbLength = std::trunc(std::max(mMinimumThumbLength, (mTrackEnd - mTrackStart) * mThumbFraction) + 0.5);
    const LLayoutDescriptor& layout = *mThumb->GetLayoutDescriptor();
    SizeRule size = AxisSize(layout, axis);
    size.toControlKind = kSizeToSelf;
    size.rel = 0;
    size.abs = mThumbLength;
    // The rules read back are the ones given.
    (void)mThumb->SetAxisPlacement(axis, AxisPosition(layout, axis), AxisDocked(layout, axis), size);
    UpdateThumbPosition();
}

void LScrollbar::UpdateThumbPosition()
{
    if (mDragging || !mThumb) {
        return;
    }
    // A thumb as long as the track, or longer, stays at its start.
    const double travel = std::max(mTrackEnd - mTrackStart - mThumbLength, 0.0);
    const double position = RoundCoordinate(travel * GetValue() + mTrackStart);
    if (position != RoundCoordinate(*mThumb->GetPosition().Coordinate(Axis()))) {
        MoveThumb(position);
    }
}

void LScrollbar::MoveThumb(double position)
{
    const int axis = Axis();
    const LLayoutDescriptor& layout = *mThumb->GetLayoutDescriptor();
    PositionRule rule = AxisPosition(layout, axis);
    rule.abs = position;
    (void)mThumb->SetAxisPlacement(axis, rule, AxisDocked(layout, axis), AxisSize(layout, axis));
}

void LScrollbar::OnThumbMoved()
{
    const double travel = mTrackEnd - mTrackStart - mThumbLength;
    // A thumb that fills its track has nowhere to go: the value stays.
    if (travel > 0) {
        const double along = *mThumb->GetPosition().Coordinate(Axis());
        (void)LControl::SetValue(std::clamp((along - mTrackStart) / travel, 0.0, 1.0));
    }
    UpdateThumbPosition();
}

std::int32_t LScrollbar::OnThumbDragCondition(const ConstRCPtr<LNotificationDistributor>&,
                                              const RCPtr<LNotification>& notification)
{
    const ConstRCPtr<LConditionsParam> conditions(notification->GetParameter());
    if (!conditions) {
        return 1;
    }
    if (TurnedOn(*conditions, ConditionMask::kLeftDragging)) {
        mDragging = true;
        mGrabOffset = conditions->GetPoint().ToLongPoint();
        mPendingValue = -1.0;
    } else if (TurnedOff(*conditions, ConditionMask::kLeftDragging)) {
        mDragging = false;
        const double pending = mPendingValue;
        mPendingValue = -1.0;
        if (pending >= 0.0 && pending <= 1.0) {
            SetValueNow(pending);
        } else {
            UpdateThumbPosition();
        }
    }
    return 1;
}

std::int32_t LScrollbar::OnThumbMouseMove(const ConstRCPtr<LNotificationDistributor>& sender,
                                          const RCPtr<LNotification>& notification)
{
    const ConstRCPtr<LPointWithModifiersParam> pointer(notification->GetParameter());
    if (!mDragging || !pointer || sender.Get() != static_cast<LNotificationDistributor*>(mThumb.Get())) {
        return 0;
    }
    const int axis = Axis();
    const double thumbAt = RoundCoordinate(*mThumb->GetPosition().Coordinate(axis));
    const double pointerAt = static_cast<double>(axis == 0 ? pointer->GetX() : pointer->GetY());
    const double grabbedAt = static_cast<double>(axis == 0 ? mGrabOffset.x : mGrabOffset.y);
    // The thumb follows the pointer, held where it was taken, inside the track.
    const double position =
        std::trunc(std::max(std::min(thumbAt + pointerAt - grabbedAt, mTrackEnd - mThumbLength), mTrackStart));
    if (position != thumbAt) {
        MoveThumb(position);
        OnThumbMoved();
    }
    return 0;
}

std::int32_t LScrollbar::OnStepButtonRepeat(const ConstRCPtr<LNotificationDistributor>& sender,
                                            const RCPtr<LNotification>&)
{
    const auto* button = dynamic_cast<const LControl*>(sender.Get());
    if (button != nullptr && button->GetName() == L"dec") {
        (void)SetValue(GetValue() - mLineStep);
    } else if (button != nullptr && button->GetName() == L"inc") {
        (void)SetValue(GetValue() + mLineStep);
    }
    return 1;
}

ZVRESULT LScrollbar::SetKeyMask(std::uint32_t mask)
{
    mKeyMask = mask & kKeyMaskBits;
    if (mKeyMask != 0 && !mHearsSiblingKeys && GetParent()) {
        mHearsSiblingKeys = true;
        // Without the subscription the bar hears only keys handed to it directly.
        (void)mHandler->AddHandler(&LScrollbar::OnSiblingKey, GetParent(), L"NID_SIBLING_KEY", 0);
        (void)mHandler->MapHandler(&LScrollbar::OnSiblingKey, L"NID_SIBLING_KEY");
    }
    return (mask & ~kKeyMaskBits) != 0 ? ZV_E_INVALIDARG : ZV_S_OK;
}

void LScrollbar::OnParentChanged()
{
    LControl::OnParentChanged();
    // The old parent's subscription has ended; a bar not yet initialized takes its mask there.
    mHearsSiblingKeys = false;
    if (mHandler) {
        (void)SetKeyMask(mKeyMask);
    }
}

std::int32_t LScrollbar::OnSiblingKey(const ConstRCPtr<LNotificationDistributor>&,
                                      const RCPtr<LNotification>& notification)
{
    const ConstRCPtr<LSiblingKeyParam> offer(notification->GetParameter());
    if (!offer || !offer->IsPending() || !IsVisible(true)) {
        return 0;
    }
    const std::uint32_t code = offer->GetKey().code;
    for (const ScrollKey& key : kScrollKeys) {
        // End moves to the end also with Ctrl or Shift held; every other key only on its own.
        const std::uint32_t ignored = key.virtualKey == kEndKey ? KeyCode::kCtrl | KeyCode::kShift : 0;
        const bool axisFits = key.axis < 0 || key.axis == Axis();
        if ((code & ~ignored) == VirtualKeyDown(key.virtualKey) && (mKeyMask & key.maskBit) != 0 && axisFits) {
            (void)SetValue(key.target(GetValue(), mLineStep, mPageStep));
            offer->SetPending(LSiblingKeyParam::kConsumed);
            break;
        }
    }
    // The control base's handler still hears the key for the bar's own hot keys.
    return 0;
}

bool LScrollbar::OfferToNotificationHandlers(const ConstRCPtr<LNotificationDistributor>& sender,
                                             const RCPtr<LNotification>& notification)
{
    return OfferToHandler(mHandler, sender, notification) ||
           LControl::OfferToNotificationHandlers(sender, notification);
}

void LScrollbar::EraseNotificationBindings(const ConstRCPtr<LNotificationDistributor>& distributor, const wchar_t* id)
{
    EraseFromHandler(mHandler, distributor, id);
    LControl::EraseNotificationBindings(distributor, id);
}

}  // namespace ZV
