#include "Controls/SplitterBase.h"

#include "ControlBase/ConditionMask.h"
#include "ControlBase/ControlDragState.h"
#include "ControlBase/LayoutAxis.h"
#include "ControlBase/LayoutDescriptor.h"
#include "Notification/ConditionsParam.h"

#include <algorithm>
#include <cmath>

namespace ZV {

namespace {

using namespace ConditionMask;

// The highest position, which stands for no limit.
constexpr double kNoLimit = 4503599627370496.0;
// The least difference between the size that a layout pass gives a control and the size its limits leave it that
// counts as cut.
constexpr double kCutTolerance = 2.220446049250313e-15;

constexpr std::uint32_t kNormalLook = 0;
constexpr std::uint32_t kHoverLook = 1;
constexpr std::uint32_t kPressedLook = 2;
// The focused looks follow the three above in the same order.
constexpr std::uint32_t kFocusedLookOffset = 3;
constexpr std::uint32_t kDisabledLook = 6;

double Along(const PointT<double>& point, int axis)
{
    return *point.Coordinate(axis);
}

bool Names(const PositionRule& rule, const WideString& name)
{
    return rule.toControlKind == kPositionToNamedControl && rule.toControlName == name;
}

bool Names(const SizeRule& rule, const WideString& name)
{
    return rule.toControlKind == kSizeToNamedControl && rule.toControlName == name;
}

// The size along the axis that the control's rules ask of the layout in the parent, before its limits cut it.
double AskedSize(const LControl& control, const LControl& parent, int axis)
{
    RectT<double> placement;
    (void)LControl::CalculatePlacement(control.GetLayoutDescriptor().Get(), &parent, {}, {}, {}, placement);
    return axis == 0 ? placement.width : placement.height;
}

// Gives one axis of the control's rules another position rule, keeping its docking and size.
void Reposition(LControl& control, int axis, const PositionRule& position)
{
    const SubControlSettings& rules = *control.GetLayoutDescriptor();
    // 1 only tells that the limits kept the rules from holding as asked.
    (void)control.SetAxisPlacement(axis, position, AxisDocked(rules, axis), AxisSize(rules, axis));
}

}  // namespace

LSplitterBase::LSplitterBase(const RCPtr<LControl>& parent, const WideString& name, Orientation orientation)
    : LControl(parent, name), mOrientation(orientation), mTravel{0, kNoLimit}
{
}

ZVRESULT LSplitterBase::Initialize()
{
    const ZVRESULT result = LControl::Initialize();
    if (const RCPtr<IRootWindow> window = GetRootWindowRef()) {
        TakeCursorFrom(*window);
    }
    return result;
}

void LSplitterBase::ProcessRootWindowAquired()
{
    // The cursors are the window's: a bar created before its tree reached a window takes its cursor now.
    if (const RCPtr<IRootWindow> window = GetRootWindowRef()) {
        TakeCursorFrom(*window);
    }
    LControl::ProcessRootWindowAquired();
}

void LSplitterBase::TakeCursorFrom(IRootWindow& window)
{
    SetCursorType(window.GetNamedCursor(mOrientation == kHorizontal ? L"UI_CURSOR_SIZE_NS" : L"UI_CURSOR_SIZE_WE"));
}

void LSplitterBase::OnConditionsChanged(const RCPtr<LConditionsParam>& conditions)
{
    const std::uint32_t now = conditions->GetCurrentConditions();
    const std::uint32_t before = conditions->GetPreviousConditions();
    const bool dragging = (now & kLeftDragging) != 0;
    const bool wasDragging = (before & kLeftDragging) != 0;
    if (dragging && !wasDragging) {
        (void)SetDragMode(kDragMoveScrollingParent, GetAxis() == 0 ? kDragAxisX : kDragAxisY);
    } else if (!dragging && wasDragging) {
        mAnchor = nullptr;
    }
}

ZVRESULT LSplitterBase::OnInitialized()
{
    // A bar without a look of weight would neither show nor be hit until its state first changed.
    SelectStateLook();
    return LControl::OnInitialized();
}

void LSplitterBase::SelectStateLook()
{
    const std::uint32_t conditions = GetConditions();
    std::uint32_t look = kDisabledLook;
    if ((conditions & kEnabled) != 0) {
        const bool hover = (conditions & kHover) != 0;
        // Pressed from the moment the button goes down, before the pointer has moved the drag threshold.
        const bool held = (conditions & kCapture) != 0 && (conditions & (kLeftPressed | kLeftDragging)) != 0;
        look = held && hover ? kPressedLook : (hover || held ? kHoverLook : kNormalLook);
        if ((conditions & kHasFocus) != 0) {
            look += kFocusedLookOffset;
        }
    }
    // A skin with fewer looks keeps the one it shows.
    (void)SelectLook(look);
}

void LSplitterBase::BeginDrag()
{
    const int axis = GetAxis();
    const double position = Along(GetPosition(), axis);
    mAnchor = FindAnchor();
    if (mAnchor) {
        PositionRule own = AxisPosition(*GetLayoutDescriptor(), axis);
        mSavedPositionAbs = own.abs;
        mSavedPositionRel = own.rel;
        // Where it is now, no longer after the anchor, which is about to change its size under it.
        own.toControlKind = kPositionToClient;
        own.rel = 0;
        own.abs = position;
        Reposition(*this, axis, own);
        // The drag grows the anchor from the size it shows, also when its rules ask for less than its minimum.
        mAnchorSizeAbs = AxisSize(*mAnchor->GetLayoutDescriptor(), axis).abs + Along(mAnchor->GetSize(), axis) -
                         AskedSize(*mAnchor, *GetParent(), axis);
    }
    mTravel = ComputeTravel(mAnchor, position, false);
    // The dragging bounds the pointer, which holds the bar where it was pressed.
    const double pressOffset = Along(GetPressPoint(), axis) - position;
    mTravel.low += pressOffset;
    mTravel.high += pressOffset;
    LControl::BeginDrag();
}

void LSplitterBase::OnTrackingMoved(const RCPtr<LPointWithModifiersParam>&)
{
    if (!mAnchor || !mAnchor->GetLayoutDescriptor()) {
        return;
    }
    const int axis = GetAxis();
    const SubControlSettings& anchorRules = *mAnchor->GetLayoutDescriptor();
    SizeRule size = AxisSize(anchorRules, axis);
    size.abs = mAnchorSizeAbs + Along(GetDragTravel(), axis);
    (void)mAnchor->SetAxisPlacement(axis, AxisPosition(anchorRules, axis), AxisDocked(anchorRules, axis), size);
}

void LSplitterBase::EndDrag()
{
    if (mAnchor) {
        const int axis = GetAxis();
        PositionRule own = AxisPosition(*GetLayoutDescriptor(), axis);
        own.toControlKind = kPositionToNamedControl;
        own.rel = mSavedPositionRel;
        own.abs = mSavedPositionAbs;
        Reposition(*this, axis, own);
    }
    LControl::EndDrag();
}

void LSplitterBase::GetSplitterBounds(RectT<double>& bounds)
{
    if (GetAxis() == 0) {
        bounds.x = mTravel.low;
        bounds.width = mTravel.high - mTravel.low;
    } else {
        bounds.y = mTravel.low;
        bounds.height = mTravel.high - mTravel.low;
    }
}

ZVRESULT LSplitterBase::ProcessRelayout(const PointT<zlong>& size)
{
    (void)LControl::ProcessRelayout(size);
    const RCPtr<LControl> anchor = FindAnchor();
    if (!anchor) {
        return ZV_S_OK;
    }
    const int axis = GetAxis();
    const double position = Along(GetPosition(), axis);
    const Travel travel = ComputeTravel(anchor, position, true);
    const double least = std::min(travel.low, travel.high);
    const double most = std::max(travel.low, travel.high);
    const double shift = position < least ? least - position : (position > most ? most - position : 0.0);
    if (shift != 0) {
        PositionRule own = AxisPosition(*GetLayoutDescriptor(), axis);
        own.abs += shift;
        Reposition(*this, axis, own);
    }
    return ZV_S_OK;
}

RCPtr<LControl> LSplitterBase::FindAnchor() const
{
    const RCPtr<LControl>& parent = GetParent();
    if (!parent || !GetLayoutDescriptor()) {
        return nullptr;
    }
    const PositionRule& own = AxisPosition(*GetLayoutDescriptor(), GetAxis());
    if (own.toControlKind != kPositionToNamedControl) {
        return nullptr;
    }
    const RCPtr<LControl>& anchor = parent->FindChildByName(own.toControlName);
    return anchor && anchor->GetLayoutDescriptor() ? anchor : nullptr;
}

LSplitterBase::Travel LSplitterBase::ComputeTravel(const RCPtr<LControl>& anchor, double position, bool afterRelayout)
{
    Travel travel{0, kNoLimit};
    if (anchor) {
        NarrowByAnchor(*anchor, position, travel);
    }
    NarrowBySiblings(position, afterRelayout, travel);
    return travel;
}

void LSplitterBase::NarrowByAnchor(LControl& anchor, double position, Travel& travel)
{
    const int axis = GetAxis();
    // The size it shows: its rules may size it against its parent, or ask for less than its minimum.
    const double size = Along(anchor.GetSize(), axis);
    const double least = Along(anchor.ComputeLayoutSize(), axis);
    const double most = Along(anchor.GetDescriptorSize(), axis);
    travel.low = std::max(travel.low, position - (size - least));
    if (most > 0) {
        travel.high = std::min(travel.high, position + (most - size));
    }
}

void LSplitterBase::NarrowBySiblings(double position, bool afterRelayout, Travel& travel)
{
    const RCPtr<LControl>& parent = GetParent();
    if (!parent) {
        return;
    }
    const int axis = GetAxis();
    const std::int32_t own = parent->IndexOfChild(this, kLayoutOrder);
    if (own < 0) {
        return;
    }
    // The walk measures siblings, which lays them out: it holds each of those there now.
    RCPtrArray<LControl> siblings;
    parent->GetChildren().TakeSnapshot(siblings);
    for (std::uint32_t index = 0; index < siblings.GetCount(); ++index) {
        const RCPtr<LControl>& sibling = siblings.GetData()[index];
        if (sibling->GetParent() != parent || !sibling->GetLayoutDescriptor() ||
            parent->IndexOfChild(sibling.Get(), kLayoutOrder) <= own) {
            continue;
        }
        const SubControlSettings& rules = *sibling->GetLayoutDescriptor();
        const PositionRule& placedBy = AxisPosition(rules, axis);
        const SizeRule& sizedBy = AxisSize(rules, axis);
        const bool placedAfter = Names(placedBy, GetName());
        if (!Names(sizedBy, GetName()) && !(placedAfter && sizedBy.toControlKind != kSizeToSelf)) {
            continue;
        }
        double size = Along(sibling->GetSize(), axis);
        if (afterRelayout) {
            // The size the layout gives it, before its limits cut it; a sibling that they leave alone has room.
            RectT<double> placement;
            (void)CalculatePlacement(sibling->GetLayoutDescriptor().Get(), parent.Get(), {}, {}, {}, placement);
            PointT<double> origin(placement.x, placement.y);
            PointT<double> limited(placement.width, placement.height);
            (void)sibling->ApplyMinimumSize(origin, limited);
            (void)sibling->ApplyMaximumSize(origin, limited);
            size = axis == 0 ? placement.width : placement.height;
            if (std::fabs(Along(limited, axis) - size) < kCutTolerance) {
                continue;
            }
        }
        const double least = Along(sibling->ComputeLayoutSize(), axis);
        const double most = Along(sibling->GetDescriptorSize(), axis);
        // Placed at the bar's far edge, the sibling shrinks as the bar moves on; sized up to its near edge, it grows.
        const float relative = placedAfter ? placedBy.rel : sizedBy.rel;
        if (relative != 0) {
            travel.high = std::min(travel.high, position + (size - least));
            if (most > 0) {
                travel.low = std::max(travel.low, position - (most - size));
            }
        } else {
            travel.low = std::max(travel.low, position - (size - least));
            if (most > 0) {
                travel.high = std::min(travel.high, position + (most - size));
            }
        }
    }
}

}  // namespace ZV
