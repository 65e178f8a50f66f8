#include "Controls/LevelMeter.h"

#include "ControlBase/ControlDescriptor.h"
#include "ControlBase/LayoutAxis.h"
#include "ControlBase/LayoutDescriptor.h"
#include "ControlBase/NotificationSending.h"
#include "ControlBase/ScopedFlag.h"

#include <algorithm>
#include <cmath>

namespace ZV {

namespace {

// Levels past the meter's ends would size the overlay past the meter, or place the marker past its travel; a level
// that is no number shows as none.
double ClampToUnit(double level)
{
    return std::isnan(level) ? 0.0 : std::clamp(level, 0.0, 1.0);
}

double AxisOf(const PointT<double>& point, int axis)
{
    return axis == 0 ? point.x : point.y;
}

int AxisOfShape(const PointT<double>& size)
{
    return size.y > size.x ? 1 : 0;
}

// The child's rules on the axis as its skin gives them, undoing what the meter wrote there.
void RestoreSkinRules(LControl& child, int axis)
{
    const RCPtr<LControlDescriptor>& descriptor = child.GetControlDescriptor();
    const LLayoutDescriptor* skin = descriptor ? descriptor->GetLayoutDescriptor().Get() : nullptr;
    if (skin != nullptr && child.GetLayoutDescriptor()) {
        (void)child.SetAxisPlacement(axis, AxisPosition(*skin, axis), AxisDocked(*skin, axis), AxisSize(*skin, axis));
    }
}

// The absolute parts of the child's position rules, on both axes.
PointT<double> PositionOffsets(const LControl& child)
{
    const RCPtr<LLayoutDescriptor>& layout = child.GetLayoutDescriptor();
    return layout ? PointT<double>(layout->xPosition.abs, layout->yPosition.abs) : PointT<double>();
}

// The child hidden and out of the tab order: the meter shows it only as a level or a marker.
void MakeShownOnlyByMeter(LControl& child)
{
    (void)child.SetVisible(false);
    child.FixNotFocusable(true);
}

}  // namespace

RCPtr<LPanel> LLevelMeter::PanelNamed(const wchar_t* name) const
{
    return RCPtr<LPanel>(dynamic_cast<LPanel*>(FindChildByName(name).Get()));
}

ZVRESULT LLevelMeter::Initialize()
{
    const ZVRESULT result = LControl::Initialize();
    mHandler = new LNotificationHandler<LLevelMeter>(this);
    mPeakMarker = PanelNamed(L"peakLo");
    if (mPeakMarker) {
        mPeakMarker->SetUsesParentToolTip(true);
    }
    mOverlay = PanelNamed(L"activeOverlay");
    if (mOverlay) {
        mOverlay->SetUsesParentToolTip(true);
    }
    mClipLight = FindChildByName(L"clipButton");
    return result;
}

ZVRESULT LLevelMeter::OnInitialized()
{
    mAxis = AxisOfShape(GetSize());
    if (mPeakMarker) {
        MakeShownOnlyByMeter(*mPeakMarker);
        mPeakLowOffset = PositionOffsets(*mPeakMarker);
        if (const RCPtr<LControl> high = FindChildByName(L"peakHi")) {
            MakeShownOnlyByMeter(*high);
            TakePeakEnds();
        } else {
            mPeakMarker = nullptr;
        }
    }
    if (mOverlay) {
        MakeShownOnlyByMeter(*mOverlay);
    }
    if (mClipLight) {
        mClipLight->FixNotFocusable(true);
    }
    FixNotFocusable(true);
    // Looks start unweighted, and a control draws its children only under a weighted look: the overlay and the
    // marker would never show.
    if (GetActiveLookIndex() < 0 && GetLookCount() != 0) {
        (void)SelectLook(0);
    }
    OnValueChanged();
    return ZV_S_OK;
}

void LLevelMeter::OnValueChanged()
{
    if (!mUpdating) {
        (void)SetLevelsAndClip(GetValue(), 0.0, mClipCounter);
    }
}

void LLevelMeter::SizeLooks(const PointT<zlong>& size)
{
    LControl::SizeLooks(size);
    // A meter sized by its parent has no shape yet when it is initialised; it takes it as it is laid out.
    if (!IsCreated()) {
        return;
    }
    const int axis = AxisOfShape(GetSize());
    if (axis != mAxis) {
        if (mOverlay) {
            RestoreSkinRules(*mOverlay, mAxis);
        }
        if (mPeakMarker) {
            RestoreSkinRules(*mPeakMarker, mAxis);
        }
        mAxis = axis;
        // A peak placed along the old axis says nothing on the new one; the next levels place it again.
        PlacePeakMarker(0.0);
    }
    SizeOverlay(GetValue());
}

void LLevelMeter::UpdateContentExtent()
{
    LControl::UpdateContentExtent();
    // Laid out anew, the children stand where the ends of the marker's travel are now: a meter sized by its parent
    // had no size yet when it was initialised.
    if (!IsCreated() || !mPeakMarker) {
        return;
    }
    const PointT<double> low = mPeakLowPosition;
    const PointT<double> high = mPeakHighPosition;
    TakePeakEnds();
    if (!(low == mPeakLowPosition && high == mPeakHighPosition)) {
        PlacePeakMarker(mPeak);
    }
}

void LLevelMeter::TakePeakEnds()
{
    const RCPtr<LControl> high = FindChildByName(L"peakHi");
    if (!mPeakMarker || !high) {
        return;
    }
    mPeakHighPosition = high->GetPosition();
    // The marker stands off its own place by what the peak it shows added to its offsets.
    const PointT<double> shown = mPeakMarker->GetPosition();
    const PointT<double> offsets = PositionOffsets(*mPeakMarker);
    mPeakLowPosition = {shown.x - (offsets.x - mPeakLowOffset.x), shown.y - (offsets.y - mPeakLowOffset.y)};
}

ZVRESULT LLevelMeter::SetLevels(double level, double peak)
{
    return SetLevelsAndClip(level, peak, mClipCounter);
}

ZVRESULT LLevelMeter::SetLevelsAndClip(double level, double peak, std::int32_t clipCounter)
{
    if (mClipLight) {
        if (clipCounter != mClipCounter) {
            (void)mClipLight->SetValue(1.0);
        } else if (!mClipLatchOn) {
            (void)mClipLight->SetValue(0.0);
        }
    }
    mClipCounter = clipCounter;
    {
        const ScopedFlag updating(mUpdating);
        (void)SetValue(level);
    }
    SizeOverlay(level);
    PlacePeakMarker(peak);
    return ZV_S_OK;
}

void LLevelMeter::SizeOverlay(double level)
{
    if (!mOverlay || !mOverlay->GetLayoutDescriptor()) {
        return;
    }
    const double lit = ClampToUnit(level);
    const double fraction = mAxis == 1 ? 1.0 - lit : lit;
    const double length = std::round(AxisOf(GetSize(), mAxis) * fraction);
    if (length < 1) {
        (void)mOverlay->SetVisible(false);
        return;
    }
    (void)mOverlay->SetVisible(true);
    const LLayoutDescriptor& layout = *mOverlay->GetLayoutDescriptor();
    const PositionRule position = AxisPosition(layout, mAxis);
    SizeRule size = AxisSize(layout, mAxis);
    size.toControlKind = kSizeToSelf;
    size.abs = length;
    (void)mOverlay->SetAxisPlacement(mAxis, position, AxisDocked(layout, mAxis), size);
}

void LLevelMeter::PlacePeakMarker(double peak)
{
    mPeak = ClampToUnit(peak);
    if (!mPeakMarker || !mPeakMarker->GetLayoutDescriptor()) {
        return;
    }
    const double travel = AxisOf(mPeakHighPosition, mAxis) - AxisOf(mPeakLowPosition, mAxis);
    const double offset = std::round(travel * mPeak);
    if (offset == 0) {
        (void)mPeakMarker->SetVisible(false);
        return;
    }
    (void)mPeakMarker->SetVisible(true);
    const LLayoutDescriptor& layout = *mPeakMarker->GetLayoutDescriptor();
    PositionRule position = AxisPosition(layout, mAxis);
    // From the marker's own place in the skin, so that a full peak reaches "peakHi".
    position.abs = AxisOf(mPeakLowOffset, mAxis) + offset;
    const SizeRule size = AxisSize(layout, mAxis);
    (void)mPeakMarker->SetAxisPlacement(mAxis, position, AxisDocked(layout, mAxis), size);
}

ZVRESULT LLevelMeter::SetClipLatch(bool on)
{
    if (!mClipLight) {
        return ZV_E_FAIL;
    }
    (void)mClipLight->SetValue(0.0);
    if (on == mClipLatchOn) {
        return ZV_S_OK;
    }
    mClipLatchOn = on;
    if (on) {
        // A light that cannot be subscribed to stays dark until the next change of the counter.
        (void)mHandler->AddHandler(&LLevelMeter::OnClipButtonClick, mClipLight, L"NID_LEFT_CLICK", 0);
    } else {
        (void)UnregisterForNotification(mClipLight, L"NID_LEFT_CLICK");
    }
    return ZV_S_OK;
}

bool LLevelMeter::IsClipLit() const
{
    return mClipLight && mClipLight->GetValue() >= 0.5;
}

std::int32_t LLevelMeter::SetClipCounter(std::int32_t counter)
{
    mClipCounter = counter;
    return counter;
}

std::int32_t LLevelMeter::OnClipButtonClick(const ConstRCPtr<LNotificationDistributor>&,
                                            const RCPtr<LNotification>&)
{
    if (IsClipLit()) {
        (void)mClipLight->SetValue(0.0);
        SendNewNotification(*this, L"NID_CLIPLIGHT_UNLATCHED", nullptr);
    }
    return 1;
}

bool LLevelMeter::OfferToNotificationHandlers(const ConstRCPtr<LNotificationDistributor>& sender,
                                              const RCPtr<LNotification>& notification)
{
    return OfferToHandler(mHandler, sender, notification) ||
           LControl::OfferToNotificationHandlers(sender, notification);
}

void LLevelMeter::EraseNotificationBindings(const ConstRCPtr<LNotificationDistributor>& distributor, const wchar_t* id)
{
    EraseFromHandler(mHandler, distributor, id);
    LControl::EraseNotificationBindings(distributor, id);
}

}  // namespace ZV
