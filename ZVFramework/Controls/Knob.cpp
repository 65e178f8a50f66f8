#include "Controls/Knob.h"

#include "ControlBase/ConditionMask.h"
#include "ControlBase/KeyParams.h"
#include "ControlBase/Look.h"
#include "ControlBase/NotificationSending.h"
#include "ControlBase/SkinValueSyntax.h"
#include "Controls/ConditionChange.h"
#include "Notification/ConditionsParam.h"
#include "Notification/MouseParams.h"
#include "ObjectBase/Holder.h"
#include "Utilities/Graphics/Bitmap.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace ZV {

namespace {

constexpr std::uint32_t kLeftHeld = ConditionMask::kLeftPressed | ConditionMask::kLeftDragging;
// The scale of a linear knob without a usable one of its own: about a pixel per unit of the default range.
constexpr std::int32_t kDefaultFullRange = 128;
constexpr double kDefaultFineMultiplier = 0.25;
constexpr double kDegreesPerRadian = 57.29577951308232;

// The create parameter as a number, or the fallback without it.
double ReadParameter(const LStringTable* parameters, const wchar_t* key, double fallback)
{
    WideString text;
    if (parameters == nullptr || !parameters->GetString(key, text)) {
        return fallback;
    }
    return SkinValueSyntax::ParseFloat(text.ToUTF8().GetData());
}

// Into [0, 360); an angle that is no finite number counts as 0.
double NormalizeDegrees(double degrees)
{
    if (!std::isfinite(degrees)) {
        return 0;
    }
    double normalized = std::fmod(degrees, 360.0);
    if (normalized < 0) {
        normalized += 360.0;
    }
    // A tiny negative angle comes back as 360 itself.
    return normalized >= 360.0 ? 0.0 : normalized;
}

// The client part of the look as a bitmap to lay over other looks: its image, or one pixel of its colour that the
// overlay stretches; null for a look without a client part.
ConstRCPtr<LBitmap> OverlayOf(const LLook& look)
{
    const RCPtr<LLookDescriptor>& descriptor = look.GetDescriptor();
    const RCPtr<LDockedPart>& client = descriptor ? descriptor->GetClientPart() : RCPtr<LDockedPart>();
    const RCPtr<LVisualPart> part = client && client->GetPart() ? client->GetPart()->GetVisualPart() : nullptr;
    if (!part) {
        return nullptr;
    }
    if (part->GetBitmap()) {
        return part->GetBitmap();
    }
    return LBitmap::CreateFilledBitmap({1, 1}, part->GetFillColor());
}

}  // namespace

double LKnob::SetValue(double value)
{
    if (mHeld) {
        mPendingValue = value;
        return GetValue();
    }
    return LControl::SetValue(value);
}

void LKnob::OnValueChanged()
{
    if (mFrameCount > 0) {
        (void)SelectLook(static_cast<std::uint32_t>(std::round((mFrameCount - 1) * GetValue())));
    }
}

void LKnob::OnConditionsChanged(const RCPtr<LConditionsParam>& conditions)
{
    using namespace ConditionMask;
    const RCPtr<LControl> self(this);
    if (TurnedOn(*conditions, kLeftHeld)) {
        mHeld = true;
        mLastPoint = mPreviousPoint = conditions->GetPoint().ToLongPoint();
        if (mRadial) {
            TurnToward(mLastPoint);
        }
        mPendingValue = -1.0;
        SendNewNotification(*this, L"NID_VALUE_CHANGE_CAPTURE", LHolder<bool>::Create(true));
    } else if (TurnedOff(*conditions, kLeftHeld)) {
        mHeld = false;
        if (mApplyPendingAtRelease && mPendingValue >= 0 && mPendingValue <= 1) {
            (void)LControl::SetValue(mPendingValue);
        }
        mPendingValue = -1.0;
        SendNewNotification(*this, L"NID_VALUE_CHANGE_CAPTURE", LHolder<bool>::Create(false));
    }
    if (TurnedOff(*conditions, kHasFocus)) {
        mKeys.EndOnFocusLoss(*this);
    }
    // On every change: the first change a control sees is reported against none, so a knob disabled before any
    // other change never sees its enabled bit turn off.
    UpdateOverlay();
}

void LKnob::OnMouseMoved(const RCPtr<LPointWithModifiersParam>& pointer)
{
    if (!mHeld || !pointer) {
        return;
    }
    if (mRadial) {
        TurnToward(pointer->GetPoint());
    } else {
        DragLinearly(pointer->GetPoint(), (pointer->GetModifiers() & ModifierMask::kControl) != 0);
    }
}

void LKnob::DragLinearly(const PointT<zlong>& pointer, bool fine)
{
    // In doubles: points at both ends of the 32-bit range lie further apart than 32 bits hold.
    double dx = static_cast<double>(pointer.x) - mLastPoint.x;
    double dy = static_cast<double>(pointer.y) - mLastPoint.y;
    const double ddx = static_cast<double>(pointer.x) - mPreviousPoint.x;
    const double ddy = static_cast<double>(pointer.y) - mPreviousPoint.y;
    // Right and down pull against each other: a diagonal step counts along the axis the last two steps favour.
    if (dx > 0 && dy > 0) {
        if (ddx - ddy > 0 && dy > dx) {
            dy = 0;
        } else if (ddx - ddy < 0 && dx > dy) {
            dx = 0;
        }
    } else if (dx < 0 && dy < 0) {
        if (ddx - ddy > 0 && dy > dx) {
            dx = 0;
        } else if (ddx - ddy < 0 && dx > dy) {
            dy = 0;
        }
    }
    const double multiplier = fine ? mFineMultiplier : 1.0;
    const double delta = (dx - dy) / (mFullRange - 1) * multiplier;
    const double value = std::clamp(GetValue() + delta, 0.0, 1.0);
    const double steps = fine ? mFullRange / mFineMultiplier - 1 : mFullRange - 1;
    (void)LControl::SetValue(steps > 0 ? std::round(steps * value) / steps : value);
    mPreviousPoint = mLastPoint;
    mLastPoint = pointer;
}

void LKnob::TurnToward(const PointT<zlong>& point)
{
    const double dx = static_cast<double>(point.x - mCentre.x);
    const double dy = static_cast<double>(point.y - mCentre.y);
    if (dx == 0 && dy == 0) {
        return;
    }
    // Clockwise from 12 o'clock: y grows downwards.
    const double angle = NormalizeDegrees((std::atan2(dy, dx) + std::numbers::pi / 2) * kDegreesPerRadian);
    const double end = mStartAngle >= mEndAngle ? mEndAngle + 360 : mEndAngle;
    const double turned = mStartAngle >= angle ? angle + 360 : angle;
    if (turned >= mStartAngle && turned <= end) {
        (void)LControl::SetValue((turned - mStartAngle) / (end - mStartAngle));
        return;
    }
    const double middleOfGap = end + (mStartAngle + 360 - end) / 2;
    (void)LControl::SetValue(turned <= middleOfGap ? 1.0 : 0.0);
}

ZVRESULT LKnob::OnMouseWheel(const RCPtr<LMouseWheelParam>& wheel)
{
    return StepValueByWheel(*this, wheel);
}

ZVRESULT LKnob::OnMouseHWheel(const RCPtr<LMouseWheelParam>& wheel)
{
    return StepValueByWheel(*this, wheel);
}

void LKnob::HandleLeftClick(const RCPtr<LMouseButtonParam>& click)
{
    if (mClickSetsValue && click && IsValueSettingClick(*click)) {
        (void)LControl::SetValue(mClickValue);
    }
}

void LKnob::SetClickValue(double value)
{
    mClickValue = value;
    mClickSetsValue = true;
}

ZVRESULT LKnob::OnKeyDown(const RCPtr<LKeyParam>& key)
{
    return mKeys.HandleKey(*this, key);
}

ZVRESULT LKnob::Initialize()
{
    const ZVRESULT result = LControl::Initialize();
    if (Failed(result)) {
        return result;
    }
    const RCPtr<LControlDescriptor>& descriptor = GetControlDescriptor();
    const LStringTable* parameters = descriptor ? descriptor->GetCreateParams().Get() : nullptr;
    const double fullRange = ReadParameter(parameters, L"LINEAR_GESTURE_FULL_RANGE", 0);
    mFullRange = static_cast<std::int32_t>(std::clamp(std::trunc(fullRange), 0.0, 1e9));
    const double startAngle = ReadParameter(parameters, L"RADIAL_GESTURE_START_ANGLE", 0);
    const double endAngle = ReadParameter(parameters, L"RADIAL_GESTURE_END_ANGLE", 0);
    mFineMultiplier = ReadParameter(parameters, L"FINE_ADJUST_MULTIPLIER", 0);
    mRadial = startAngle != 0 || endAngle != 0;
    mStartAngle = NormalizeDegrees(startAngle);
    mEndAngle = NormalizeDegrees(endAngle);
    if (mFineMultiplier == 0 || !std::isfinite(mFineMultiplier)) {
        mFineMultiplier = kDefaultFineMultiplier;
    }
    (void)SetValueRange(0, 127, kLinearScale);
    return result;
}

ZVRESULT LKnob::OnInitialized()
{
    TakeFrames();
    if (!mRadial && mFullRange == 0 && mFrameCount > 0) {
        mFullRange = static_cast<std::int32_t>(std::round(128.0 / mFrameCount)) * mFrameCount;
    }
    // Without frames (or with a skin's range of one pixel) the gesture would divide by nothing.
    if (mFullRange < 2) {
        mFullRange = kDefaultFullRange;
    }
    TakeCentre();
    return ZV_S_OK;
}

ZVRESULT LKnob::ApplyDescriptor(const RCPtr<LControlDescriptor>& descriptor)
{
    const ZVRESULT result = LControl::ApplyDescriptor(descriptor);
    if (IsCreated()) {
        TakeFrames();
    }
    return result;
}

void LKnob::SizeLooks(const PointT<zlong>& size)
{
    LControl::SizeLooks(size);
    // A knob sized by its parent has no size yet when it is initialised.
    TakeCentre();
}

void LKnob::TakeFrames()
{
    mFrameCount = 0;
    while (static_cast<std::uint32_t>(mFrameCount) < GetLookCount() && GetLook(mFrameCount)) {
        ++mFrameCount;
    }
    const auto overlayLook = [this](std::int32_t index) {
        return static_cast<std::uint32_t>(index) < GetLookCount() && GetLook(index) ? index : -1;
    };
    mFocusLookIndex = overlayLook(mFrameCount + 1);
    mDisabledLookIndex = overlayLook(mFrameCount + 2);
    // New looks carry no overlay yet.
    mShownOverlayIndex = -1;
    UpdateOverlay();
    // A value given before the frames were counted chooses its frame now.
    OnValueChanged();
}

void LKnob::TakeCentre()
{
    const RectT<double> client =
        GetLookCount() != 0 ? GetClientRect(-1) : RectT<double>(0, 0, GetSize().x, GetSize().y);
    mCentre = {static_cast<zlong>(client.x + client.width / 2), static_cast<zlong>(client.y + client.height / 2)};
}

void LKnob::UpdateOverlay()
{
    std::int32_t wanted = -1;
    if (!IsEnabled(true)) {
        wanted = mDisabledLookIndex;
    } else if ((GetConditions() & ConditionMask::kHasFocus) != 0) {
        wanted = mFocusLookIndex;
    }
    if (wanted == mShownOverlayIndex) {
        return;
    }
    mShownOverlayIndex = wanted;
    const RCPtr<LLook> source = wanted >= 0 ? GetLook(wanted) : nullptr;
    const ConstRCPtr<LBitmap> overlay = source ? OverlayOf(*source) : nullptr;
    for (std::int32_t frame = mFrameCount; frame-- > 0;) {
        (void)SetLookOverlay(overlay, {0, 0}, frame, false);
    }
}

}  // namespace ZV
