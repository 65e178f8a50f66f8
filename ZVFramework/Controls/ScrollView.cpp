// The scroll view as a control: creation, the client extent, and the hooks through which the control base tells it
// of layout passes, scrolling and children.
#include "Controls/ScrollView.h"

#include "ControlBase/ControlGeometry.h"
#include "ControlBase/LayoutAxis.h"
#include "ControlBase/ScopedFlag.h"
#include "Controls/CreateParamFlag.h"
#include "Notification/Notification.h"
#include "Utilities/Storage/SortPredicates.h"

#include <algorithm>
#include <cmath>

namespace ZV {

namespace {

// The largest offset a double holds exactly at whole pixels: no limit.
constexpr double kUnlimitedScroll = 4503599627370496.0;

// Turns the automatic extent off for a scope and back on when it ends, also when an exception leaves it.
class AutoExtentPause {
public:
    explicit AutoExtentPause(std::uint32_t& flags) : mFlags(flags), mSaved(flags) { mFlags = 0; }
    AutoExtentPause(const AutoExtentPause&) = delete;
    AutoExtentPause& operator=(const AutoExtentPause&) = delete;
    ~AutoExtentPause() { mFlags = mSaved; }

private:
    std::uint32_t& mFlags;
    std::uint32_t mSaved;
};

}  // namespace

ZVRESULT LScrollView::Initialize()
{
    const ZVRESULT result = LControl::Initialize();
    if (Failed(result)) {
        return result;
    }
    mHandler = new LNotificationHandler<LScrollView>(this);
    mCorner = FindChildByName(L"corner");
    mHorizontalBar = dynamic_cast<LScrollbar*>(FindChildByName(L"hBar").Get());
    mVerticalBar = dynamic_cast<LScrollbar*>(FindChildByName(L"vBar").Get());
    return AttachScrollBars();
}

ZVRESULT LScrollView::ProcessCreateParams()
{
    const ZVRESULT result = LControl::ProcessCreateParams();
    mAutoClientExtent = (IsCreateParamFlagSet(*this, L"AUTO_CLIENT_EXTENT_X") ? kAutoWidth : 0) |
                        (IsCreateParamFlagSet(*this, L"AUTO_CLIENT_EXTENT_Y") ? kAutoHeight : 0);
    mAutoExtentMargin = {};
    (void)UpdateAutoClientExtent();
    return result;
}

ZVRESULT LScrollView::AttachScrollBars()
{
    const RCPtr<LLayoutDescriptor> cornerLayout = mCorner ? mCorner->GetLayoutDescriptor() : nullptr;
    mBarThickness = cornerLayout ? PointT<double>(cornerLayout->xSize.abs, cornerLayout->ySize.abs) : PointT<double>();
    for (const int axis : {0, 1}) {
        RCPtr<LScrollbar>& bar = axis == 0 ? mHorizontalBar : mVerticalBar;
        if (!bar) {
            continue;
        }
        // The bars are coupled once, while the view is made; a new skin keeps the coupling.
        if (!IsCreated() && Failed(mHandler->AddHandler(&LScrollView::OnScrollBarValueChange, bar,
                                                        L"NID_VALUE_CHANGE", 0))) {
            // A bar that cannot move the view is no bar of it.
            bar = nullptr;
            continue;
        }
        // The horizontal bar's height, the vertical bar's width.
        double& thickness = *mBarThickness.Coordinate(1 - axis);
        if (thickness <= 0) {
            thickness = *bar->GetSize().Coordinate(1 - axis);
        }
    }
    UpdateScrollBars();
    return ZV_S_OK;
}

ZVRESULT LScrollView::SetClientExtent(double width, double height)
{
    if (std::fabs(width - mClientExtent.x) < kSizeTolerance && std::fabs(height - mClientExtent.y) < kSizeTolerance) {
        return ZV_S_FALSE;
    }
    // Subscribers may let the last outside reference go.
    const RCPtr<LControl> self(this);
    mClientExtent = {width, height};
    OnClientExtentChanged();
    (void)SendNotification(LNotification::Create(L"NID_CLIENT_EXTENT_CHANGE", nullptr));
    return ZV_S_OK;
}

ZVRESULT LScrollView::SetAutoClientExtent(std::uint32_t flags, std::int32_t marginX, std::int32_t marginY)
{
    mAutoClientExtent = flags;
    mAutoExtentMargin = {static_cast<double>(marginX), static_cast<double>(marginY)};
    (void)UpdateAutoClientExtent();
    return ZV_S_OK;
}

ZVRESULT LScrollView::UpdateAutoClientExtent()
{
    if ((mAutoClientExtent & (kAutoWidth | kAutoHeight)) == 0) {
        return ZV_S_FALSE;
    }
    const PointT<double> children = GetChildrenExtent();
    const double width = (mAutoClientExtent & kAutoWidth) != 0 ? children.x + mAutoExtentMargin.x : mClientExtent.x;
    const double height = (mAutoClientExtent & kAutoHeight) != 0 ? children.y + mAutoExtentMargin.y : mClientExtent.y;
    return SetClientExtent(width, height);
}

PointT<double> LScrollView::GetChildrenExtent() const
{
    PointT<double> extent;
    const ChildControlList& children = GetChildren();
    for (std::uint32_t index = 0; index < children.GetCount(); ++index) {
        const RCPtr<LControl>& child = children.GetAt(index, kInsertionOrder);
        const SubControlSettings& settings = SettingsOf(child);
        for (const int axis : {0, 1}) {
            if (!AxisDocked(settings, axis)) {
                const double edge = RoundCoordinate(*child->GetPosition().Coordinate(axis) +
                                                    *child->GetSize().Coordinate(axis));
                *extent.Coordinate(axis) = std::max(*extent.Coordinate(axis), edge);
            }
        }
    }
    return extent;
}

void LScrollView::SetScrollStep(int axis, std::int32_t step)
{
    mScrollStep[axis == 0 ? 0 : 1] = step;
    UpdateScrollBarRanges();
}

void LScrollView::OnClientExtentChanged()
{
    UpdateScrollBars();
    if (HasScrollableContent()) {
        RequestContentExtentUpdate();
    }
}

void LScrollView::OnClientAreaChanged() {}

void LScrollView::OnScrollBarVisibilityChanged(int) {}

ZVRESULT LScrollView::ApplyDescriptor(const RCPtr<LControlDescriptor>& descriptor)
{
    if (!IsCreated()) {
        return LControl::ApplyDescriptor(descriptor);
    }
    ZVRESULT result = ZV_S_OK;
    {
        // A new skin: the children it lays out must not be measured into the extent one by one.
        const AutoExtentPause pause(mAutoClientExtent);
        result = LControl::ApplyDescriptor(descriptor);
        (void)AttachScrollBars();
    }
    (void)UpdateAutoClientExtent();
    UpdateScrollBars();
    UpdateContentExtent();
    return result;
}

void LScrollView::SaveLookBounds()
{
    mLayoutPending = true;
    LControl::SaveLookBounds();
}

void LScrollView::UpdateContentExtent()
{
    LControl::UpdateContentExtent();
    mLayoutPending = false;
    (void)UpdateAutoClientExtent();
    UpdateScrollBars();
}

void LScrollView::InvalidateChildArea(const RCPtr<LControl>& child)
{
    // While the view moves its bars, scrolls or lays itself out, it fits the bars once at the end.
    if (child && !mUpdatingBars && !mScrolling && !mLayoutPending) {
        if (DockedAxes(SettingsOf(child)) == 2) {
            UpdateScrollBars();
        } else {
            (void)UpdateAutoClientExtent();
        }
    }
    LControl::InvalidateChildArea(child);
}

PointT<double> LScrollView::GetDescriptorSize() const
{
    PointT<double> size = LControl::GetDescriptorSize();
    const RCPtr<LLayoutDescriptor>& layout = GetLayoutDescriptor();
    if (!layout) {
        return size;
    }
    const PointT<double> children = GetChildrenExtent();
    for (const int axis : {0, 1}) {
        const LimitRule& maximum = AxisMaximum(*layout, axis);
        if (maximum.toControl && maximum.toControlName == L"Children") {
            *size.Coordinate(axis) = *children.Coordinate(axis);
        }
    }
    return size;
}

const PointT<double>& LScrollView::ScrollTo(const PointT<double>& offset)
{
    const ScopedFlag scrolling(mScrolling);
    return LControl::ScrollTo(offset);
}

RectT<double> LScrollView::GetScrollRange(const RCPtr<LControl>&)
{
    const RectT<double> client = GetLookClientRect();
    const auto limit = [](double extent, double visible) {
        return extent == 0 ? kUnlimitedScroll : std::max(extent - visible, 0.0);
    };
    return {0, 0, limit(mClientExtent.x, client.width), limit(mClientExtent.y, client.height)};
}

RectT<double> LScrollView::GetLookClientRect()
{
    RectT<double> client = LControl::GetLookClientRect();
    if (mVerticalBar && mVerticalBar->IsVisible(false)) {
        client.width = std::max(client.width - mBarThickness.x, 0.0);
    }
    if (mHorizontalBar && mHorizontalBar->IsVisible(false)) {
        client.height = std::max(client.height - mBarThickness.y, 0.0);
    }
    return client;
}

RectT<double> LScrollView::GetLookMargins()
{
    const RectT<double> client = GetClientRect(-1);
    const RectT<double> children = GetChildrenBounds();
    const PointT<double>& offset = GetScrollOffset();
    return {std::max(offset.x, 0.0), std::max(offset.y, 0.0),
            std::max(std::min(client.width, children.x + children.width), 1.0),
            std::max(std::min(client.height, children.y + children.height), 1.0)};
}

void LScrollView::OnChildRemoved(const RCPtr<LControl>& child, std::uint32_t index)
{
    LControl::OnChildRemoved(child, index);
    if (GetRootWindowRef()) {
        (void)UpdateAutoClientExtent();
    }
}

bool LScrollView::OfferToNotificationHandlers(const ConstRCPtr<LNotificationDistributor>& sender,
                                              const RCPtr<LNotification>& notification)
{
    return OfferToHandler(mHandler, sender, notification) ||
           LControl::OfferToNotificationHandlers(sender, notification);
}

void LScrollView::EraseNotificationBindings(const ConstRCPtr<LNotificationDistributor>& distributor, const wchar_t* id)
{
    EraseFromHandler(mHandler, distributor, id);
    LControl::EraseNotificationBindings(distributor, id);
}

}  // namespace ZV
