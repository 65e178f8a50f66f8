// The slider's input: the thumb's drag and clicks, presses held on the track, the keys and the wheel.
#include "Controls/Slider.h"

#include "ControlBase/ConditionMask.h"
#include "ControlBase/ControlServices.h"
#include "ControlBase/KeyParams.h"
#include "ControlBase/NotificationSending.h"
#include "Controls/ConditionChange.h"
#include "Notification/MouseParams.h"
#include "Notification/ValueParam.h"
#include "ObjectBase/Holder.h"

#include <algorithm>
#include <cmath>

namespace ZV {

namespace {

using namespace ConditionMask;

constexpr std::uint32_t kLeftHeld = kLeftPressed | kLeftDragging;

double Distance(const PointT<double>& from, const PointT<double>& to)
{
    return std::hypot(to.x - from.x, to.y - from.y);
}

double RoundHalfAway(float value)
{
    return static_cast<double>(RoundToLong(static_cast<double>(value)));
}

// The point of the segment's line nearest to the point (single precision, whole pixels), kept inside the box that
// the segment spans.
PointT<double> ProjectOnSegment(const PointT<double>& point, const PointT<double>& start, const PointT<double>& end)
{
    PointT<double> projected;
    if (end.x == start.x) {
        projected = {start.x, point.y};
    } else if (end.y == start.y) {
        projected = {point.x, start.y};
    } else {
        const float slope = static_cast<float>(end.y - start.y) / static_cast<float>(end.x - start.x);
        const float intercept = static_cast<float>(start.y) - static_cast<float>(start.x) * slope;
        const float footX =
            (static_cast<float>(point.x) + slope * (static_cast<float>(point.y) - intercept)) / (1 + slope * slope);
        projected.x = RoundHalfAway(footX);
        projected.y = RoundHalfAway(static_cast<float>(projected.x) * slope + intercept);
    }
    projected.x = std::clamp(projected.x, std::min(start.x, end.x), std::max(start.x, end.x));
    projected.y = std::clamp(projected.y, std::min(start.y, end.y), std::max(start.y, end.y));
    return projected;
}

}  // namespace

std::int32_t LSlider::OnThumbDragConditionChange(const ConstRCPtr<LNotificationDistributor>&,
                                                 const RCPtr<LNotification>& notification)
{
    const ConstRCPtr<LConditionsParam> conditions(notification->GetParameter());
    if (!conditions) {
        return 1;
    }
    const RCPtr<LControl> self(this);
    if (TurnedOn(*conditions, kLeftDragging)) {
        mDragging = true;
        mGrabOffset = conditions->GetPoint().ToLongPoint().ToDouble();
        mPendingValue = -1.0;
        SendNewNotification(*this, L"NID_VALUE_CHANGE_CAPTURE", LHolder<bool>::Create(true));
    } else if (TurnedOff(*conditions, kLeftDragging)) {
        mDragging = false;
        if (mApplyPendingAtRelease && mPendingValue >= 0 && mPendingValue <= 1) {
            if (mAnnouncePending && GetValue() != mPendingValue) {
                SendNewNotification(*this, L"NID_VALUE_CHANGE",
                                    LValueParam::Create(mPendingValue, NormalizedToValue(mPendingValue)));
            }
            (void)LPanel::SetValue(mPendingValue);
            PlaceThumb();
        }
        mPendingValue = -1.0;
        SendNewNotification(*this, L"NID_VALUE_CHANGE_CAPTURE", LHolder<bool>::Create(false));
    }
    return 1;
}

std::int32_t LSlider::OnThumbMouseMove(const ConstRCPtr<LNotificationDistributor>&,
                                       const RCPtr<LNotification>& notification)
{
    const ConstRCPtr<LPointWithModifiersParam> pointer(notification->GetParameter());
    if (!mDragging || !pointer || !mThumb || !mStartMarker || !mEndMarker) {
        return 1;
    }
    const PointT<double> thumb = ThumbPoint();
    const PointT<double> aim(pointer->GetX() + thumb.x - mGrabOffset.x, pointer->GetY() + thumb.y - mGrabOffset.y);
    const PointT<double> position = ProjectOnSegment(aim, StartPoint(), EndPoint());
    if (!(position == thumb)) {
        MoveThumbTo(position);
        TakeValueFromThumb();
    }
    return 1;
}

std::int32_t LSlider::OnThumbClick(const ConstRCPtr<LNotificationDistributor>&,
                                   const RCPtr<LNotification>& notification)
{
    const ConstRCPtr<LMouseButtonParam> click(notification->GetParameter());
    if (mClickSetsValue && click && IsValueSettingClick(*click)) {
        (void)LPanel::SetValue(mClickValue);
        PlaceThumb();
    }
    return 0;
}

void LSlider::PageToward(const PointT<double>& point)
{
    if (!mThumb || SegmentLength() <= 0) {
        return;
    }
    const PointT<double> target = ToChildPositions(point);
    const PointT<double> aim(target.x - mThumbHotSpot.x, target.y - mThumbHotSpot.y);
    const PointT<double> start = StartPoint();
    const double ratio = RatioOf(aim);
    const double value = GetValue();
    const bool beyondTarget = Distance(start, ThumbPoint()) > Distance(start, aim);
    (void)LPanel::SetValue(beyondTarget ? std::max(value - kPageStep, ratio) : std::min(value + kPageStep, ratio));
    PlaceThumb();
}

void LSlider::HandleLeftClick(const RCPtr<LMouseButtonParam>& click)
{
    LPanel::HandleLeftClick(click);
    if (click) {
        PageToward(click->GetPoint().ToDouble());
    }
}

void LSlider::OnConditionsChanged(const RCPtr<LConditionsParam>& conditions)
{
    LPanel::OnConditionsChanged(conditions);
    const RCPtr<LControl> self(this);
    if (TurnedOn(*conditions, kLeftHeld) && IsEnabled(true)) {
        mTrackPressed = true;
        (void)BeginIdleNotifications();
        mLastRepeatTime = GetControlServices().GetTimeSeconds();
        mRepeatCountdown = kFirstRepeatDelay;
    } else if (TurnedOff(*conditions, kLeftHeld) && mTrackPressed) {
        mTrackPressed = false;
        (void)EndIdleNotifications();
    }
    // The focus left the slider and its thumb.
    if (TurnedOff(*conditions, kHasFocus | kContainsFocus)) {
        mKeys.EndOnFocusLoss(*this);
    }
}

void LSlider::SelectStateLook()
{
    // The thumb usually holds the focus; a slider whose thumb takes none holds it itself.
    const bool focused = (GetConditions() & (kHasFocus | kContainsFocus)) != 0;
    (void)SelectLook(IsEnabled(true) ? (focused ? 1 : 0) : 2);
}

void LSlider::OnIdle(const RCPtr<LNotification>& idle)
{
    LPanel::OnIdle(idle);
    const std::uint32_t conditions = GetConditions();
    if (!mTrackPressed || (conditions & kHoverOrHighlighted) == 0 || (conditions & kEnabled) == 0) {
        return;
    }
    const double now = GetControlServices().GetTimeSeconds();
    mRepeatCountdown -= now - mLastRepeatTime;
    mLastRepeatTime = now;
    if (mRepeatCountdown > 0) {
        return;
    }
    mRepeatCountdown = kRepeatInterval;
    const RCPtr<IRootWindow>& window = GetRootWindowRef();
    if (window) {
        const PointT<zlong> cursor = window->GetCursorPosition();
        const PointT<double> origin = GetAbsoluteOrigin();
        PageToward({cursor.x - origin.x, cursor.y - origin.y});
    }
}

ZVRESULT LSlider::OnKeyDown(const RCPtr<LKeyParam>& key)
{
    const ZVRESULT handled = mKeys.HandleKey(*this, key);
    return handled == ZV_S_FALSE ? LPanel::OnKeyDown(key) : handled;
}

void LSlider::ProcessHotKey(const RCPtr<LKeyParam>& key)
{
    if (mKeys.HandleKey(*this, key) == ZV_S_OK) {
        return;
    }
    LPanel::ProcessHotKey(key);
}

ZVRESULT LSlider::OnMouseWheel(const RCPtr<LMouseWheelParam>& wheel)
{
    return StepValueByWheel(*this, wheel);
}

ZVRESULT LSlider::OnMouseHWheel(const RCPtr<LMouseWheelParam>& wheel)
{
    return StepValueByWheel(*this, wheel);
}

}  // namespace ZV
