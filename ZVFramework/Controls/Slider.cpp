// The slider as a control: creation, the value, and the thumb's place on the segment.
#include "Controls/Slider.h"

#include "ControlBase/ControlFactory.h"
#include "ControlBase/ControlServices.h"
#include "ControlBase/LayoutAxis.h"

#include <cmath>

namespace ZV {

namespace {

PointT<double> RoundedPosition(const LControl& control)
{
    const PointT<zlong> rounded = control.GetPosition().ToLongPoint();
    return {static_cast<double>(rounded.x), static_cast<double>(rounded.y)};
}

double Distance(const PointT<double>& from, const PointT<double>& to)
{
    return std::hypot(to.x - from.x, to.y - from.y);
}

}  // namespace

double LSlider::SetValue(double value)
{
    if (mDragging) {
        mPendingValue = value;
        return GetValue();
    }
    const double result = LPanel::SetValue(value);
    PlaceThumb();
    return result;
}

void LSlider::UpdateContentExtent()
{
    LPanel::UpdateContentExtent();
    if (!mThumb) {
        mThumb = dynamic_cast<LButton*>(FindChildByName(L"thumb").Get());
    } else {
        PlaceThumb();
    }
}

ZVRESULT LSlider::Initialize()
{
    const ZVRESULT result = LPanel::Initialize();
    if (Failed(result)) {
        return result;
    }
    mHandler = new LNotificationHandler<LSlider>(this);
    mEndMarker = FindChildByName(L"thumbEnd");
    mStartMarker = FindChildByName(L"thumbStart");
    if (mStartMarker) {
        MakeThumb();
    }
    UpdateContentExtent();
    (void)SetValueRange(0, 127, kLinearScale);
    (void)SetDragThreshold(0);
    return ZV_S_OK;
}

RCPtr<LLayoutDescriptor> LSlider::MakeThumbLayout() const
{
    const RCPtr<LLayoutDescriptor> layout = LControlFactory::MakeLayoutDescriptor();
    if (const RCPtr<LLayoutDescriptor>& marker = mStartMarker->GetLayoutDescriptor()) {
        static_cast<SubControlSettings&>(*layout) = *marker;
    }
    layout->xIsDocked = false;
    layout->yIsDocked = false;
    layout->tabStop = 0;
    for (const int axis : {0, 1}) {
        PositionRule& position = AxisPosition(*layout, axis);
        position.placementAnchor = 0;
        position.rel = 0;
    }
    return layout;
}

void LSlider::MakeThumb()
{
    const RCPtr<LControlFactory> factory = GetControlServices().GetControlFactory();
    if (!factory) {
        return;
    }
    const RCPtr<LControlDescriptor> descriptor =
        LControlFactory::DeriveControlDescriptor(mStartMarker->GetControlDescriptor(), MakeThumbLayout(), L"thumb");
    mThumb = dynamic_cast<LButton*>(factory->CreateControl(descriptor, this).Get());
    if (!mThumb) {
        return;
    }
    (void)mThumb->SetVisible(true);
    // A thumb that cannot be heard still shows the value; only dragging it does nothing.
    (void)mHandler->AddHandler(&LSlider::OnThumbMouseMove, mThumb, L"NID_MOUSE_MOVE", 0);
    (void)mHandler->AddHandler(&LSlider::OnThumbClick, mThumb, L"NID_LEFT_CLICK", 0);
    (void)mHandler->AddHandler(&LSlider::OnThumbDragConditionChange, mThumb, L"NID_LEFT_DRAG_CONDITION_CHANGE", 0);
    mThumb->SetKeepPressedLookWhileCaptured(true);
}

ZVRESULT LSlider::AddChild(const RCPtr<LControl>& child, const RCPtr<LControlDescriptor>& descriptor)
{
    if (descriptor && mStartMarker && descriptor->GetName() == L"thumb") {
        return LPanel::AddChild(child,
                                LControlFactory::DeriveControlDescriptor(descriptor, MakeThumbLayout(), L"thumb"));
    }
    return LPanel::AddChild(child, descriptor);
}

ZVRESULT LSlider::OnInitialized()
{
    for (const RCPtr<LControl>& marker : {mStartMarker, mEndMarker}) {
        if (marker) {
            (void)marker->SetVisible(false);
        }
    }
    if (mStartMarker) {
        const PointT<double> size = mStartMarker->GetSize();
        mThumbHotSpot = PointT<double>(size.x / 2, size.y / 2).ToLongPoint().ToDouble();
        if (const RCPtr<LLayoutDescriptor>& layout = mStartMarker->GetLayoutDescriptor()) {
            for (const int axis : {0, 1}) {
                const float anchor = AxisPosition(*layout, axis).placementAnchor;
                if (anchor != 0) {
                    *mThumbHotSpot.Coordinate(axis) = std::round(anchor * *size.Coordinate(axis));
                }
            }
        }
    }
    // Looks start unweighted: the slider shows, and can be hit, once it wears the look of its state.
    SelectStateLook();
    UpdateContentExtent();
    return ZV_S_OK;
}

PointT<double> LSlider::StartPoint() const
{
    return RoundedPosition(*mStartMarker);
}

PointT<double> LSlider::EndPoint() const
{
    return RoundedPosition(*mEndMarker);
}

PointT<double> LSlider::ThumbPoint() const
{
    return RoundedPosition(*mThumb);
}

double LSlider::SegmentLength() const
{
    return mStartMarker && mEndMarker ? Distance(StartPoint(), EndPoint()) : 0.0;
}

double LSlider::RatioOf(const PointT<double>& point) const
{
    const double length = SegmentLength();
    const double ratio = Distance(StartPoint(), point) / length;
    return mSquared ? ratio * ratio : ratio;
}

PointT<double> LSlider::ToChildPositions(const PointT<double>& point) const
{
    const RectT<double> client = GetClientRect(-1);
    const PointT<double>& offset = GetScrollOffset();
    return {point.x - client.x + offset.x, point.y - client.y + offset.y};
}

void LSlider::PlaceThumb()
{
    if (mDragging || !mThumb || !mStartMarker || !mEndMarker) {
        return;
    }
    const double travel = mSquared ? std::sqrt(GetValue()) : GetValue();
    const PointT<double> start = StartPoint();
    const PointT<double> end = EndPoint();
    const PointT<double> position =
        PointT<double>(start.x + (end.x - start.x) * travel, start.y + (end.y - start.y) * travel)
            .ToLongPoint()
            .ToDouble();
    if (!(position == ThumbPoint())) {
        MoveThumbTo(position);
    }
}

void LSlider::MoveThumbTo(const PointT<double>& position)
{
    for (const int axis : {0, 1}) {
        const RCPtr<LLayoutDescriptor>& layout = mThumb->GetLayoutDescriptor();
        if (!layout) {
            return;
        }
        PositionRule rule = AxisPosition(*layout, axis);
        rule.abs = *position.Coordinate(axis);
        const SizeRule size = AxisSize(*layout, axis);
        (void)mThumb->SetAxisPlacement(axis, rule, AxisDocked(*layout, axis), size);
    }
}

void LSlider::TakeValueFromThumb()
{
    // Markers at one place make no segment: there is no ratio to take.
    if (SegmentLength() <= 0) {
        return;
    }
    (void)LPanel::SetValue(RatioOf(ThumbPoint()));
    PlaceThumb();
}

void LSlider::SetClickValue(double value)
{
    mClickValue = value;
    mClickSetsValue = true;
}

void LSlider::SetPendingValueRules(bool applyAtRelease, bool announce)
{
    mApplyPendingAtRelease = applyAtRelease;
    mAnnouncePending = announce;
}

bool LSlider::OfferToNotificationHandlers(const ConstRCPtr<LNotificationDistributor>& sender,
                                          const RCPtr<LNotification>& notification)
{
    return OfferToHandler(mHandler, sender, notification) || LPanel::OfferToNotificationHandlers(sender, notification);
}

void LSlider::EraseNotificationBindings(const ConstRCPtr<LNotificationDistributor>& distributor, const wchar_t* id)
{
    EraseFromHandler(mHandler, distributor, id);
    LPanel::EraseNotificationBindings(distributor, id);
}

}  // namespace ZV
