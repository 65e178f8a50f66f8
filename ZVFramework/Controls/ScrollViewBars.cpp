// The scroll view's bars: which of them the content needs, their ranges and steps, and the coupling of their values
// to the scroll offset in both directions.
#include "Controls/ScrollView.h"

#include "ControlBase/ControlGeometry.h"
#include "ControlBase/LayoutAxis.h"
#include "ControlBase/ScopedFlag.h"
#include "Notification/AutoNotificationDisabler.h"
#include "Notification/MouseParams.h"

#include <algorithm>
#include <cmath>

namespace ZV {

namespace {

constexpr std::uint32_t kWheelShift = 0x8;
constexpr std::uint32_t kWheelAlt = 0x40;

bool IsShown(const RCPtr<LScrollbar>& bar)
{
    return bar && bar->IsVisible(false);
}

double Along(const RectT<double>& rect, int axis)
{
    return axis == 0 ? rect.width : rect.height;
}

}  // namespace

void LScrollView::UpdateScrollBars()
{
    if (mUpdatingBars) {
        return;
    }
    // Showing a bar lays the view out and tells its subscribers, who may let the last outside reference go.
    const RCPtr<LControl> self(this);
    const ScopedFlag updating(mUpdatingBars);
    const RectT<double> clientBefore = GetLookClientRect();
    const bool shownBefore[2] = {IsShown(mHorizontalBar), IsShown(mVerticalBar)};
    (void)UpdateAutoClientExtent();

    // Whether the content fits is asked of the whole client area, as it would be without bars; a bar that shows
    // takes its thickness from the other axis.
    const RectT<double> full = LControl::GetLookClientRect();
    const double verticalThickness = mVerticalBar ? mBarThickness.x : 0;
    const double horizontalThickness = mHorizontalBar ? mBarThickness.y : 0;
    bool vertical = mClientExtent.y > full.height;
    const bool horizontal = mClientExtent.x > full.width - (vertical ? verticalThickness : 0);
    if (horizontal && !vertical) {
        vertical = mClientExtent.y > full.height - horizontalThickness;
    }
    ShowScrollBar(1, vertical);
    ShowScrollBar(0, horizontal);
    UpdateScrollBarRanges();

    for (const int axis : {1, 0}) {
        if (IsShown(BarOf(axis)) != shownBefore[axis]) {
            OnScrollBarVisibilityChanged(axis);
        }
    }
    if (GetLookClientRect() != clientBefore) {
        OnClientAreaChanged();
        (void)UpdateAutoClientExtent();
    }
}

void LScrollView::ShowScrollBar(int axis, bool show)
{
    const RCPtr<LScrollbar> bar = BarOf(axis);
    if (!bar || IsShown(bar) == show || !bar->GetLayoutDescriptor()) {
        return;
    }
    // The horizontal bar's height, the vertical bar's width.
    const int across = 1 - axis;
    const RCPtr<LLayoutDescriptor> corner = mCorner ? mCorner->GetLayoutDescriptor() : nullptr;
    const LLayoutDescriptor& placement = corner ? *corner : *bar->GetLayoutDescriptor();
    SizeRule size;
    size.toControlKind = kSizeToSelf;
    size.abs = show ? *mBarThickness.Coordinate(across) : 0;
    // The rules read back are the ones given.
    (void)bar->SetAxisPlacement(across, AxisPosition(placement, across),
                                AxisDocked(*bar->GetLayoutDescriptor(), across), size);
}

void LScrollView::UpdateScrollBarRanges()
{
    UpdateScrollBarRange(0);
    UpdateScrollBarRange(1);
}

void LScrollView::UpdateScrollBarRange(int axis)
{
    const RCPtr<LScrollbar> bar = BarOf(axis);
    if (!bar || !bar->GetParent()) {
        return;
    }
    const double visible = Along(GetLookClientRect(), axis);
    const double extent = *mClientExtent.Coordinate(axis);
    double thumbFraction = 1.0;
    double pageStep = 1.0;
    double lineStep = 1.0;
    double range = 0;
    if (IsStepScrolling(axis)) {
        const double step = mScrollStep[axis];
        const double steps = std::trunc(extent / step);
        const double visibleSteps = std::trunc(visible / step);
        if (steps > visibleSteps) {
            lineStep = 1.0 / (steps - visibleSteps);
            thumbFraction = visibleSteps / steps;
        }
        pageStep = std::min(visibleSteps * lineStep, 1.0);
        range = std::max(steps - visibleSteps, 0.0);
    } else {
        if (extent > visible) {
            thumbFraction = static_cast<float>(visible / extent);
            pageStep = std::clamp(static_cast<float>(visible / (extent - visible)), 0.0f, 1.0f);
        }
        lineStep = pageStep / 10;
        range = std::max(extent - visible, 0.0);
    }
    PointT<double> offset = GetScrollOffset();
    {
        // The bar takes the content's place in its new range quietly: a place the range cut short scrolls below.
        const CAutoNotificationDisabler<LScrollView> quiet(mHandler, bar, L"NID_VALUE_CHANGE");
        (void)bar->SetValueRange(0, range, kLinearScale);
        bar->SetThumbFraction(thumbFraction);
        bar->SetPageStep(pageStep);
        bar->SetLineStep(lineStep);
        (void)bar->SetValue(bar->ValueToNormalized(ToBarUnits(axis, *offset.Coordinate(axis))));
    }
    const double position = std::max(FromBarUnits(axis, bar->NormalizedToValue(bar->GetValue())), 0.0);
    if (*offset.Coordinate(axis) != position) {
        *offset.Coordinate(axis) = position;
        (void)ScrollTo(offset);
    }
}

double LScrollView::ToBarUnits(int axis, double offset) const
{
    return IsStepScrolling(axis) ? offset / mScrollStep[axis] : offset;
}

double LScrollView::FromBarUnits(int axis, double value) const
{
    return IsStepScrolling(axis) ? std::trunc(value) * mScrollStep[axis] : RoundCoordinate(value);
}

std::int32_t LScrollView::OnScrollBarValueChange(const ConstRCPtr<LNotificationDistributor>& sender,
                                                 const RCPtr<LNotification>&)
{
    const int axis = sender.Get() == static_cast<LNotificationDistributor*>(mHorizontalBar.Get())  ? 0
                     : sender.Get() == static_cast<LNotificationDistributor*>(mVerticalBar.Get()) ? 1
                                                                                                 : -1;
    if (axis < 0) {
        return 1;
    }
    const RCPtr<LScrollbar> bar = BarOf(axis);
    PointT<double> offset = GetScrollOffset();
    *offset.Coordinate(axis) = FromBarUnits(axis, bar->NormalizedToValue(bar->GetValue()));
    (void)ScrollTo(offset);
    return 1;
}

void LScrollView::SetScrollOffset(const PointT<double>& oldOffset, const PointT<double>& newOffset)
{
    for (const int axis : {0, 1}) {
        const RCPtr<LScrollbar> bar = BarOf(axis);
        if (!bar) {
            continue;
        }
        // The bar follows the view without its change coming back as a scroll.
        const CAutoNotificationDisabler<LScrollView> quiet(mHandler, bar, L"NID_VALUE_CHANGE");
        (void)bar->SetValue(bar->ValueToNormalized(ToBarUnits(axis, *newOffset.Coordinate(axis))));
    }
    // Only a content buffer has pixels to move, and measuring the content in view for none costs a walk of the
    // children at every step.
    if (HasScrollableContent()) {
        LControl::SetScrollOffset(oldOffset, newOffset);
    }
}

ZVRESULT LScrollView::OnMouseWheel(const RCPtr<LMouseWheelParam>& wheel)
{
    return wheel ? TurnWheel(*wheel, false) : ZV_S_FALSE;
}

ZVRESULT LScrollView::OnMouseHWheel(const RCPtr<LMouseWheelParam>& wheel)
{
    return wheel ? TurnWheel(*wheel, true) : ZV_S_FALSE;
}

ZVRESULT LScrollView::TurnWheel(const LMouseWheelParam& wheel, bool horizontalWheel)
{
    const bool horizontalShown = IsShown(mHorizontalBar);
    const bool verticalShown = IsShown(mVerticalBar);
    if (!horizontalShown && !verticalShown) {
        return ZV_S_FALSE;
    }
    const std::uint32_t modifiers = wheel.GetModifiers();
    bool horizontal = !verticalShown;
    if (horizontalShown && verticalShown) {
        horizontal = horizontalWheel || (modifiers & kWheelAlt) != 0;
    }
    const RCPtr<LScrollbar> bar = horizontal ? mHorizontalBar : mVerticalBar;
    const double step = (modifiers & kWheelShift) != 0 ? bar->GetPageStep() : bar->GetLineStep();
    const std::uint32_t forward =
        horizontalWheel ? LMouseWheelParam::kHorizontalNegative : LMouseWheelParam::kVerticalNegative;
    (void)bar->SetValue(bar->GetValue() + (wheel.GetDirection() == forward ? step : -step));
    return ZV_S_OK;
}

}  // namespace ZV
