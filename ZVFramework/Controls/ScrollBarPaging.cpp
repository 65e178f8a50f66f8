// Paging: a press in the scroll bar's channel moves the bar a page towards the pointer at once, then again and
// again while the pointer stays in that part of the channel, which shows its paging look there.
#include "Controls/ScrollBar.h"

#include "ControlBase/ConditionMask.h"
#include "ControlBase/ControlGeometry.h"
#include "ControlBase/ControlServices.h"
#include "Controls/ConditionChange.h"
#include "Notification/ConditionsParam.h"
#include "Notification/Notification.h"
#include "Renderer/RectList.h"

#include <cmath>

namespace ZV {

namespace {

constexpr std::int32_t kPlainLook = 0;
constexpr std::int32_t kPagingLook = 1;

double Now()
{
    return GetControlServices().GetTimeSeconds();
}

// Half up.
zlong RoundUp(double value)
{
    return static_cast<zlong>(std::floor(value + 0.5));
}

}  // namespace

std::int32_t LScrollbar::HitTestChannel(const PointT<double>& point) const
{
    if (!mThumb) {
        return kNoZone;
    }
    const int axis = Axis();
    const double along = *point.Coordinate(axis);
    const double thumbStart = *mThumb->GetPosition().Coordinate(axis);
    const double thumbEnd = thumbStart + *mThumb->GetSize().Coordinate(axis);
    if (along >= mTrackStart && along <= thumbStart) {
        return kBeforeThumb;
    }
    if (along >= thumbEnd && along <= mTrackEnd) {
        return kAfterThumb;
    }
    return kNoZone;
}

PointT<double> LScrollbar::ChannelContentPoint(const PointT<double>& channelPoint) const
{
    const RectT<double> client = mChannel->GetClientRect(-1);
    const PointT<double>& scroll = mChannel->GetScrollOffset();
    return {std::round(channelPoint.x - client.x) + scroll.x, std::round(channelPoint.y - client.y) + scroll.y};
}

std::int32_t LScrollbar::GetPointerZone() const
{
    const RCPtr<IRootWindow>& window = GetRootWindowRef();
    if (!mChannel || !window) {
        return kNoZone;
    }
    const PointT<zlong> cursor = window->GetCursorPosition();
    const PointT<double> origin = mChannel->GetAbsoluteOrigin();
    return HitTestChannel(ChannelContentPoint({cursor.x - origin.x, cursor.y - origin.y}));
}

bool LScrollbar::IsPointerInPagingZone() const
{
    return mChannel && (mChannel->GetConditions() & ConditionMask::kHover) != 0 && GetPointerZone() == mPagingZone;
}

void LScrollbar::Page()
{
    (void)SetValue(GetValue() + (mPagingZone == kBeforeThumb ? -mPageStep : mPageStep));
}

std::int32_t LScrollbar::OnChannelDragCondition(const ConstRCPtr<LNotificationDistributor>&,
                                                const RCPtr<LNotification>& notification)
{
    const ConstRCPtr<LConditionsParam> conditions(notification->GetParameter());
    if (!conditions) {
        return 1;
    }
    if (TurnedOn(*conditions, ConditionMask::kLeftPressed)) {
        mPagingZone = HitTestChannel(ChannelContentPoint(conditions->GetPoint()));
        if (mPagingZone != kNoZone) {
            Page();
            mLastPagingTick = Now();
            mTimeToNextPage = mFirstPagingDelay;
            // Without idle passes paging stops after the first page.
            (void)BeginIdleNotifications();
        }
    } else if (TurnedOff(*conditions, ConditionMask::kCapture) && mPagingZone != kNoZone) {
        mPagingZone = kNoZone;
        ClearPagingHighlight();
        (void)EndIdleNotifications();
    }
    if (mPagingZone != kNoZone) {
        UpdatePagingHighlight();
    }
    return 1;
}

std::int32_t LScrollbar::OnChannelHoverCondition(const ConstRCPtr<LNotificationDistributor>&,
                                                 const RCPtr<LNotification>& notification)
{
    const ConstRCPtr<LConditionsParam> conditions(notification->GetParameter());
    // Time away from the channel does not count towards the next page.
    if (conditions && TurnedOn(*conditions, ConditionMask::kHoverOrHighlighted)) {
        mLastPagingTick = Now();
    }
    if (mPagingZone != kNoZone) {
        UpdatePagingHighlight();
    }
    return 1;
}

void LScrollbar::OnIdle(const RCPtr<LNotification>& idle)
{
    LControl::OnIdle(idle);
    if (mPagingZone == kNoZone || !IsPointerInPagingZone()) {
        return;
    }
    const double now = Now();
    mTimeToNextPage -= now - mLastPagingTick;
    mLastPagingTick = now;
    if (mTimeToNextPage <= 0) {
        mTimeToNextPage = mPagingRepeatInterval;
        Page();
        UpdatePagingHighlight();
    }
}

void LScrollbar::UpdatePagingHighlight()
{
    if (!mChannel) {
        return;
    }
    if (mPagingZone == kNoZone || !IsPointerInPagingZone()) {
        ClearPagingHighlight();
        return;
    }
    // The part of the channel between its end and the thumb, across the whole channel, in the channel's pixels.
    const int axis = Axis();
    const RectT<double> client = mChannel->GetClientRect(-1);
    const double clientStart = *PointT<double>(client.x, client.y).Coordinate(axis);
    const double thumbStart = *mThumb->GetPosition().Coordinate(axis) + clientStart;
    const double thumbEnd = thumbStart + *mThumb->GetSize().Coordinate(axis);
    const PointT<double> size = mChannel->GetSize();
    const zlong from = mPagingZone == kBeforeThumb ? 0 : RoundUp(thumbEnd);
    const zlong to = mPagingZone == kBeforeThumb ? RoundUp(thumbStart) : RoundUp(*size.Coordinate(axis));
    const zlong across = RoundUp(*size.Coordinate(1 - axis));
    RectList region;
    region.Add(axis == 1 ? RectEdges{0, from, across, to} : RectEdges{from, 0, to, across});
    region.Normalize();
    // A channel without the paging look shows none.
    (void)mChannel->ApplyLookWeight(kPagingLook, 1.0f, false);
    (void)mChannel->SetLookRegion(kPagingLook, region);
    (void)mChannel->SetLookRegionComplement(kPlainLook, kPagingLook);
}

void LScrollbar::ClearPagingHighlight()
{
    if (!mChannel) {
        return;
    }
    mChannel->ClearLookRegions();
    // A channel without looks has nothing to show.
    (void)mChannel->SelectLook(kPlainLook);
}

}  // namespace ZV
