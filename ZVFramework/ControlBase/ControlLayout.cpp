// Placement and the bounds of a control: its rectangle from its layout rules, and what a new rectangle sets off in
// its looks, its children, its following siblings and its window.
#include "ControlBase/Control.h"

#include "ControlBase/ChildWalk.h"
#include "ControlBase/ControlGeometry.h"
#include "ControlBase/LayoutAxis.h"
#include "ControlBase/ScopedFlag.h"
#include "System/RootWindowTarget.h"
#include "System/WindowHost.h"
#include "Utilities/Storage/SortPredicates.h"

#include <cmath>
#include <utility>

namespace ZV {

namespace {

// One axis of a reference frame: where it starts and how far it reaches.
struct Span {
    double origin = 0;
    double extent = 0;
};

// What the rules of one axis measure against: the parent as a whole (seen from its client origin) and its client
// area, or for a top-level control the screen and its window's client area.
struct AxisFrames {
    Span parent;
    Span client;
    // The parent's scroll offset, which a docked control follows.
    double scroll = 0;
    // Where the pointer is, for a top-level control's named reference.
    double pointer = 0;
};

// Where a control starts on one axis and how far it reaches, before its edges are rounded.
struct AxisPlacement {
    double position = 0;
    double extent = 0;
    // Whether both edges are whole already: rounded shares, a parent's or client's whole origin and whole absolute
    // parts, with no anchor's share taken off and no scroll offset added.
    bool wholeEdges = false;
};

// A sibling as its parent shows it, or for a top-level control the pointer.
Span NamedSpan(const LControl* parent, const WideString& name, int axis, const AxisFrames& frames)
{
    if (parent == nullptr) {
        return {frames.pointer, 0};
    }
    const RCPtr<LControl>& sibling = parent->FindChildByName(name);
    if (!sibling) {
        return {};
    }
    const double scrolled = AxisDocked(SettingsOf(sibling), axis) ? frames.scroll : 0;
    return {*sibling->GetPosition().Coordinate(axis) - scrolled, *sibling->GetSize().Coordinate(axis)};
}

// Where a rule puts an edge: its share of the frame's extent, rounded, from the frame's origin, and its pixels.
inline double EdgeOf(const Span& frame, float rel, double abs)
{
    const double share = static_cast<double>(rel) * frame.extent;
    // A rule with no relative part is common, and rounding leaves its share (a zero or not a number) alone.
    return (rel == 0 ? share : RoundCoordinate(share)) + frame.origin + abs;
}

// Half away from zero; an edge known to be whole, or not a number, could only be clamped.
inline double RoundEdge(double edge, bool whole)
{
    return whole ? ClampToExactDouble(edge) : RoundCoordinate(edge);
}

template <int kAxis>
AxisPlacement PlaceOnAxis(const SubControlSettings& rules, const AxisFrames& frames, const LControl* parent)
{
    const PositionRule& positionRule = AxisPosition(rules, kAxis);
    const SizeRule& sizeRule = AxisSize(rules, kAxis);
    const double anchor = positionRule.placementAnchor;

    const bool positionNamed = positionRule.toControlKind == kPositionToNamedControl;
    const Span positionFrame = positionRule.toControlKind == kPositionToParent ? frames.parent
                               : positionNamed ? NamedSpan(parent, positionRule.toControlName, kAxis, frames)
                                               : frames.client;
    double position = EdgeOf(positionFrame, positionRule.rel, positionRule.abs);

    double extent = 0;
    bool sizeNamed = false;
    if (sizeRule.toControlKind == kSizeToSelf) {
        extent = std::max(sizeRule.abs, 0.0);
    } else {
        sizeNamed = sizeRule.toControlKind != kSizeToParent && sizeRule.toControlKind != kSizeToClient;
        const Span frame = sizeRule.toControlKind == kSizeToParent ? frames.parent
                           : sizeNamed ? NamedSpan(parent, sizeRule.toControlName, kAxis, frames)
                                       : frames.client;
        // The far edge; the anchor's share of the size lies before the position.
        const double span = EdgeOf(frame, sizeRule.rel, sizeRule.abs) - position;
        if (span > 0 && anchor >= 0 && anchor < 1) {
            // Most controls hang from their near edge: no division to wait for.
            extent = anchor == 0 ? span : span / (1 - anchor);
        } else if (span < 0 && anchor > 0 && anchor <= 1) {
            extent = span / -anchor;
        }
    }
    position -= anchor * extent;
    const bool docked = AxisDocked(rules, kAxis);
    if (docked) {
        // Docked: it stays where it is while the parent's content scrolls.
        position += frames.scroll;
    }
    // A parent's frames start at whole pixels; a sibling's rectangle or a top-level control's frames need not.
    const bool wholeEdges = parent != nullptr && !positionNamed && !sizeNamed && anchor == 0 && !docked &&
                            IsWholeCoordinate(positionRule.abs) && IsWholeCoordinate(sizeRule.abs);
    return {position, extent, wholeEdges};
}

// Whether snapping leaves a rectangle of whole edges as it is: its extents are not negative and its edges lie
// where doubles are exact. The placement's edges are whole, and most controls have no limit that moves them.
bool IsSnappedAlready(const RectT<double>& wholeEdges)
{
    // With no negative extent, the near edge's distance from 0 plus the extent bounds both edges' distances.
    return wholeEdges.width >= 0 && wholeEdges.height >= 0 &&
           std::fabs(wholeEdges.x) + wholeEdges.width < kExactDoubleLimit &&
           std::fabs(wholeEdges.y) + wholeEdges.height < kExactDoubleLimit;
}

// Whether the minimum rules measure the label text, whose room follows the control's own size.
bool MeasuresLabelText(const RCPtr<LLayoutDescriptor>& layout)
{
    return layout &&
           (layout->textOverflowXType == kTextOverflowExpand || layout->textOverflowYType != kTextOverflowClip);
}

// Whether a position or size rule of the child at the index names a sibling that comes after it in layout order.
bool NamesLaterSibling(const LControl::ChildControlList& children, std::uint32_t index)
{
    // Read straight: this runs for every child of every control laid out again, and few name a sibling.
    const LLayoutDescriptor* layout = children.GetAt(index, LControl::kLayoutOrder)->GetLayoutDescriptor().Get();
    if (layout == nullptr || !NamesAControl(*layout)) {
        return false;
    }
    const SubControlSettings& rules = *layout;
    const auto later = [&](const WideString& name) {
        for (std::uint32_t k = index + 1; k < children.GetCount(); ++k) {
            if (children.GetAt(k, LControl::kLayoutOrder)->GetName() == name) {
                return true;
            }
        }
        return false;
    };
    for (int axis = 0; axis < 2; ++axis) {
        const PositionRule& position = AxisPosition(rules, axis);
        const SizeRule& size = AxisSize(rules, axis);
        if ((position.toControlKind == kPositionToNamedControl && later(position.toControlName)) ||
            (size.toControlKind == kSizeToNamedControl && later(size.toControlName))) {
            return true;
        }
    }
    return false;
}

// The application's active root window, else its first; null without one.
RCPtr<IRootWindow> FindApplicationRootWindow()
{
    IWindowHost* host = GetWindowHost();
    if (host == nullptr) {
        return nullptr;
    }
    IRootWindowTarget* target = host->GetActiveRootWindow();
    if (target == nullptr) {
        target = host->GetFirstRootWindow();
    }
    return RCPtr<IRootWindow>(dynamic_cast<IRootWindow*>(target));
}

bool SamePosition(const PositionRule& a, const PositionRule& b)
{
    return a.placementAnchor == b.placementAnchor && a.toControlKind == b.toControlKind &&
           (a.toControlKind != kPositionToNamedControl || a.toControlName == b.toControlName) && a.rel == b.rel &&
           a.abs == b.abs;
}

bool SameSize(const SizeRule& a, const SizeRule& b)
{
    return a.toControlKind == b.toControlKind &&
           (a.toControlKind != kSizeToNamedControl || a.toControlName == b.toControlName) && a.rel == b.rel &&
           a.abs == b.abs;
}

bool SameLimit(const LimitRule& a, const LimitRule& b)
{
    return a.toControl == b.toControl && (!a.toControl || a.toControlName == b.toControlName) && a.rel == b.rel &&
           a.abs == b.abs;
}

}  // namespace

ZVRESULT LControl::ApplyLayout()
{
    if (!mLayout) {
        return ZV_E_FAIL;
    }
    RectT<double> placement;
    if (mParent) {
        // A layout is there: the placement succeeds.
        (void)CalculatePlacement(mLayout.Get(), mParent.Get(), {}, {}, {}, placement);
    } else {
        // A top-level control is placed in its window's frames; one still being made, before it has a window, in
        // those of the window the application works in.
        const RCPtr<IRootWindow> window = mRootWindow || mCreated ? mRootWindow : FindApplicationRootWindow();
        if (!window) {
            return ZV_E_FAIL;
        }
        if (mLayoutState.fillsClientArea) {
            // A descriptor applied again brings the skin's rules, which would hold the window to the size they give.
            mLayout->FillClientFrame();
        }
        const RectT<zlong> client = window->GetScreenBounds();
        const RectT<zlong> workArea = window->GetWorkArea();
        const RectT<double> screen(-client.x, -client.y, workArea.width, workArea.height);
        const PointT<double> clientSize(client.width, client.height);
        const PointT<zlong> cursor = window->GetCursorPosition();
        (void)CalculatePlacement(mLayout.Get(), nullptr, screen, clientSize, {static_cast<double>(cursor.x),
                                 static_cast<double>(cursor.y)}, placement);
    }
    PointT<double> position(placement.x, placement.y);
    PointT<double> size(placement.width, placement.height);
    bool limited = false;
    if (HasSizeLimits(*mLayout)) {
        // An anchor out of range leaves its axis as the placement gave it.
        limited = ApplyMinimumSize(position, size) != ZV_S_OK;
        limited = ApplyMaximumSize(position, size) != ZV_S_OK || limited;
    }
    RectT<double> snapped(position.x, position.y, size.x, size.y);
    if (limited || !IsSnappedAlready(snapped)) {
        snapped.SnapToPixels();
    }
    const ScopedFlag applyingRules(mLayoutState.applyingRules);
    return SetBounds({snapped.x, snapped.y}, {snapped.width, snapped.height});
}

ZVRESULT LControl::FillClientArea()
{
    mLayoutState.fillsClientArea = true;
    return ApplyLayout();
}

ZVRESULT LControl::CalculatePlacement(const LLayoutDescriptor* layout, const LControl* parent,
                                      const RectT<double>& screenFrame, const PointT<double>& clientSize,
                                      const PointT<double>& namedPoint, RectT<double>& placement)
{
    if (layout == nullptr) {
        return ZV_E_INVALIDARG;
    }
    RectT<double> client(0, 0, clientSize.x, clientSize.y);
    RectT<double> whole(screenFrame);
    PointT<double> scroll;
    if (parent != nullptr) {
        client = parent->mLayoutState.clientRectKept ? parent->mLayoutState.clientRect : parent->GetClientRect(-1);
        whole = {-client.x, -client.y, parent->mSize.x, parent->mSize.y};
        scroll = parent->mScroll.offset;
    }
    const AxisFrames frames[2] = {{{whole.x, whole.width}, {0, client.width}, scroll.x, namedPoint.x},
                                  {{whole.y, whole.height}, {0, client.height}, scroll.y, namedPoint.y}};
    // One function for each axis, each written out where it is called: the two axes' placements then overlap.
    const AxisPlacement x = PlaceOnAxis<0>(*layout, frames[0], parent);
    const AxisPlacement y = PlaceOnAxis<1>(*layout, frames[1], parent);
    const double left = RoundEdge(x.position, x.wholeEdges);
    const double top = RoundEdge(y.position, y.wholeEdges);
    const double right = RoundEdge(x.position + x.extent, x.wholeEdges);
    const double bottom = RoundEdge(y.position + y.extent, y.wholeEdges);
    placement = {left, top, right - left, bottom - top};
    return ZV_S_OK;
}

ZVRESULT LControl::SetBounds(const PointT<double>& position, const PointT<double>& size)
{
    if (position == mPosition && size == mSize) {
        return ZV_S_FALSE;
    }
    // Taken at once: a call made from here on with a rectangle of its own is not one the rules gave.
    const bool givenByRules = std::exchange(mLayoutState.applyingRules, false);
    // The calls out below may let the last outside reference go; a walk over the parent's children holds it already.
    const RCPtr<LControl> ownHold(mLayoutState.walkHold != nullptr ? nullptr : this);
    const RCPtr<LControl>& self = mLayoutState.walkHold != nullptr ? *mLayoutState.walkHold : ownHold;
    SaveLookBounds();
    const bool sizeChanged =
        std::fabs(size.x - mSize.x) >= kSizeTolerance || std::fabs(size.y - mSize.y) >= kSizeTolerance;
    const RectT<double> oldRect(mPosition.x, mPosition.y, mSize.x, mSize.y);
    const bool clip = ClipsToParent(GetSubControlSettings());
    const auto repaint = [&] {
        (void)InvalidateRect({0, 0, mSize.x, mSize.y}, clip);
        if (mUnclippedDescendants > 0) {
            InvalidateUnclippedDescendants();
        }
    };

    repaint();
    mPosition = position;
    mSize = size;
    mLayoutState.clientRectKept = false;
    SizeLooks(RoundSize(mSize));

    // A rectangle the rules have just given a control without children, whose rules leave the label text alone,
    // is what laying it out again would give: its own size enters nothing its layout reads.
    const bool layoutWouldRepeat = givenByRules && mChildren.GetCount() == 0 && !MeasuresLabelText(mLayout);
    if (sizeChanged && !mLayoutState.relayingOutChildren && !layoutWouldRepeat) {
        const ScopedFlag relayingOut(mLayoutState.relayingOutChildren);
        mLayoutState.clientRect = GetClientRect(-1);
        {
            const ScopedFlag clientRectKept(mLayoutState.clientRectKept);
            // The control lays itself out once when its children are done, not once for each of them.
            const ScopedFlag suppressed(mLayoutState.relayoutSuppressed);
            // Rounded again only when a child's call has resized this control.
            PointT<double> roundedFrom = mSize;
            PointT<zlong> rounded = RoundSize(mSize);
            VisitChildren(mChildren, 0, kLayoutOrder, [&](const RCPtr<LControl>& child) {
                if (!(mSize == roundedFrom)) {
                    roundedFrom = mSize;
                    rounded = RoundSize(mSize);
                }
                // What a child answers changes nothing here.
                (void)child->ProcessRelayout(rounded);
                return true;
            });
        }
        (void)ApplyLayout();
        // A child placed against a sibling later in layout order saw that sibling's old rectangle.
        for (std::uint32_t index = 0; index < mChildren.GetCount(); ++index) {
            if (NamesLaterSibling(mChildren, index)) {
                const RCPtr<LControl> child = mChildren.GetAt(index, kLayoutOrder);
                (void)child->ApplyLayout();
            }
        }
    }

    if (mParent) {
        // While the parent lays out all its children in order, it reaches the following ones itself.
        if (!mParent->mLayoutState.relayingOutChildren) {
            const RCPtr<LControl> parent = mParent;
            const std::int32_t index = parent->IndexOfChild(this, kLayoutOrder);
            if (index >= 0) {
                // A sibling that moves carries the chain on through its own following siblings.
                VisitChildren(parent->GetChildren(), static_cast<std::uint32_t>(index) + 1, kLayoutOrder,
                              [](const RCPtr<LControl>& sibling) { return sibling->ApplyLayout() != ZV_S_OK; });
            }
        }
        if (mParent) {
            (void)mParent->OnChildBoundsChanged(self, oldRect);
        }
    } else if (mRootWindow) {
        // The control's rectangle is in client coordinates; the window's are the screen's.
        const RectT<zlong> client = mRootWindow->GetScreenBounds();
        (void)mRootWindow->SetBounds({client.x + RoundToLong(mPosition.x), client.y + RoundToLong(mPosition.y),
                                      RoundToLong(mSize.x), RoundToLong(mSize.y)});
    }

    if ((mSize.x <= 0 || mSize.y <= 0) && mParent && (mFocus.hasFocus || mFocus.containsFocus)) {
        // The parent takes the focus that a control of no size cannot show.
        (void)mParent->SetFocus(true);
    }
    repaint();
    UpdateContentExtent();
    return ZV_S_OK;
}

PointT<double> LControl::ComputeLayoutSize()
{
    if (!mLayout) {
        return mSize;
    }
    PointT<double> natural;
    for (int axis = 0; axis < 2; ++axis) {
        const PositionRule position = AxisPosition(*mLayout, axis);
        const bool docked = AxisDocked(*mLayout, axis);
        const SizeRule size = AxisSize(*mLayout, axis);
        SizeRule minimumOnly;
        minimumOnly.toControlKind = kSizeToSelf;
        minimumOnly.abs = 0;
        // The rules read back are the ones given: nothing here changes them.
        (void)SetAxisPlacement(axis, position, docked, minimumOnly);
        *natural.Coordinate(axis) = *mSize.Coordinate(axis);
        (void)SetAxisPlacement(axis, position, docked, size);
    }
    return natural;
}

PointT<double> LControl::GetDescriptorSize() const
{
    if (!mLayout) {
        return {};
    }
    // A maximum measured against the control itself is the size the skin means it to have.
    const auto selfMaximum = [](const LimitRule& rule) { return rule.toControl ? 0.0 : rule.abs; };
    return {selfMaximum(mLayout->xMaximum), selfMaximum(mLayout->yMaximum)};
}

ZVRESULT LControl::SetAxisPlacement(int axis, const PositionRule& position, bool docked, const SizeRule& size)
{
    if (axis != 0 && axis != 1) {
        return ZV_E_INVALIDARG;
    }
    if (!mLayout) {
        return ZV_E_FAIL;
    }
    if (AxisDocked(*mLayout, axis) != docked && mParent) {
        // Docking moves the control in its parent's layout order.
        mParent->mChildren.MarkOrderChanged();
    }
    AxisPosition(*mLayout, axis) = position;
    AxisDocked(*mLayout, axis) = docked;
    AxisSize(*mLayout, axis) = size;
    const RCPtr<LLayoutDescriptor> layout = mLayout;
    (void)ApplyLayout();
    const bool same = SamePosition(AxisPosition(*layout, axis), position) && AxisDocked(*layout, axis) == docked &&
                      SameSize(AxisSize(*layout, axis), size);
    return same ? ZV_S_OK : ZV_S_FALSE;
}

ZVRESULT LControl::SetAxisSizeLimits(int axis, const LimitRule& minimum, const LimitRule& maximum)
{
    if (axis != 0 && axis != 1) {
        return ZV_E_INVALIDARG;
    }
    if (!mLayout) {
        return ZV_E_FAIL;
    }
    AxisMinimum(*mLayout, axis) = minimum;
    AxisMaximum(*mLayout, axis) = maximum;
    const RCPtr<LLayoutDescriptor> layout = mLayout;
    (void)ApplyLayout();
    LimitRule storedMinimum;
    LimitRule storedMaximum;
    (void)GetAxisLimits(*layout, axis, storedMinimum, storedMaximum);
    return SameLimit(storedMinimum, minimum) && SameLimit(storedMaximum, maximum) ? ZV_S_OK : ZV_S_FALSE;
}

}  // namespace ZV
