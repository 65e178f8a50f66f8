// The minimum and maximum sizes of a control: its own, those its label text needs, and those its children or a
// named child set.
#include "ControlBase/Control.h"

#include "ControlBase/ControlGeometry.h"
#include "ControlBase/LayoutAxis.h"
#include "Utilities/Storage/SortPredicates.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace ZV {

namespace {

const wchar_t kChildrenReference[] = L"Children";

double Along(const RectT<double>& rect, int axis, bool far)
{
    return axis == 0 ? rect.x + (far ? rect.width : 0) : rect.y + (far ? rect.height : 0);
}

double ExtentAlong(const RectT<double>& rect, int axis)
{
    return axis == 0 ? rect.width : rect.height;
}

// The rectangle that a named limit measures against, in the parent's coordinates with the control at the position
// computed now: the child of that name, or for "Children" the union of the first child and the further ones
// (unclipped ones only with includeUnclipped). Each child counts where its rules put it in the content: a docked
// one before docking holds it against the scroll. False without one.
bool FindLimitReference(const LControl& control, const WideString& name, bool includeUnclipped,
                        const PointT<double>& position, const RectT<double>& client, RectT<double>& reference)
{
    const bool allChildren = name == kChildrenReference;
    const PointT<double>& scroll = control.GetScrollOffset();
    const LControl::ChildControlList& children = control.GetChildren();
    bool found = false;
    for (std::uint32_t index = 0; index < children.GetCount(); ++index) {
        const RCPtr<LControl>& child = children.GetAt(index, LControl::kInsertionOrder);
        const SubControlSettings& settings = SettingsOf(child);
        if (allChildren ? found && !includeUnclipped && !settings.clipToParent : child->GetName() != name) {
            continue;
        }
        const RectT<double> rect(
            child->GetPosition().x - scroll.x + client.x + position.x - (settings.xIsDocked ? scroll.x : 0),
            child->GetPosition().y - scroll.y + client.y + position.y - (settings.yIsDocked ? scroll.y : 0),
            child->GetSize().x, child->GetSize().y);
        if (!found) {
            reference = rect;
            found = true;
        } else {
            const double left = std::min(reference.x, rect.x);
            const double top = std::min(reference.y, rect.y);
            reference = {left, top, std::max(reference.x + reference.width, rect.x + rect.width) - left,
                         std::max(reference.y + reference.height, rect.y + rect.height) - top};
        }
        if (!allChildren) {
            break;
        }
    }
    return found;
}

// Where a named limit puts the control's far edge on an axis.
double LimitEdge(const LimitRule& limit, const RectT<double>& reference, int axis)
{
    return static_cast<double>(limit.rel) * ExtentAlong(reference, axis) + Along(reference, axis, false) + limit.abs;
}

// What the children's union lacks of the control on an axis: the border beyond the client area's far edge.
double FarBorder(const PointT<double>& size, const RectT<double>& client, int axis)
{
    return std::max(*size.Coordinate(axis) - Along(client, axis, true), 0.0);
}

}  // namespace

ZVRESULT LControl::ApplyMinimumSize(PointT<double>& position, PointT<double>& size)
{
    if (!mLayout) {
        return ZV_S_OK;
    }
    const SubControlSettings& rules = *mLayout;
    bool changed = false;
    bool failed = false;
    for (int axis = 0; axis < 2; ++axis) {
        const LimitRule& minimum = AxisMinimum(rules, axis);
        const double anchor = AxisPosition(rules, axis).placementAnchor;
        double& pos = *position.Coordinate(axis);
        double& extent = *size.Coordinate(axis);
        if (!minimum.toControl) {
            double least = minimum.abs;
            const std::int32_t overflow = axis == 0 ? rules.textOverflowXType : rules.textOverflowYType;
            // The size at which the text just fits its box, whether it has room to spare now or lacks it, so that
            // the next layout finds the same. A box that does not grow with the control cannot make room for it.
            LabelTextExtent text;
            if (axis == 0 && overflow == kTextOverflowExpand) {
                (void)SetLabelTextWordWrap(false);
                if (MeasureLabelText(text) && text.boxGrowth.x > kEmptyExtent) {
                    least = std::max(least, mSize.x + std::ceil((text.width - text.box.width) / text.boxGrowth.x));
                }
                const LimitRule& maximum = rules.xMaximum;
                if (!maximum.toControl && maximum.abs > 0 && maximum.abs < least) {
                    least = maximum.abs;
                    (void)SetLabelTextWordWrap(true);
                }
            } else if (axis == 1 && overflow != kTextOverflowClip) {
                if (MeasureLabelText(text) && text.boxGrowth.y > kEmptyExtent) {
                    least = std::max(least, mSize.y + std::ceil((text.height - text.box.height) / text.boxGrowth.y));
                }
            }
            if (least > extent) {
                const double old = extent;
                extent = least;
                pos -= RoundCoordinate(anchor * (least - old));
                changed = true;
            }
            continue;
        }
        if (mChildren.GetCount() == 0) {
            continue;
        }
        const RectT<double> client = GetClientRect(-1);
        RectT<double> reference;
        if (!FindLimitReference(*this, minimum.toControlName, false, position, client, reference) ||
            !(ExtentAlong(reference, axis) > 0)) {
            continue;
        }
        const bool allChildren = minimum.toControlName == kChildrenReference;
        const double edge = LimitEdge(minimum, reference, axis);
        bool grew = false;
        if (pos <= edge && pos + extent < edge) {
            if (anchor < 0 || anchor >= 1) {
                failed = true;
                continue;
            }
            pos -= RoundCoordinate(anchor * (edge - (pos + extent)) / (1 - anchor));
            extent = RoundCoordinate(edge) - pos;
            grew = true;
        } else if (pos > edge) {
            if (anchor <= 0 || anchor > 1) {
                failed = true;
                continue;
            }
            const double distance = pos - edge;
            pos -= distance;
            extent += RoundCoordinate(distance / anchor);
            grew = true;
        }
        if (grew && allChildren) {
            // The children's union starts inside the client area already; the far border is what it lacks.
            extent += FarBorder(mSize, client, axis);
        }
        changed = changed || grew;
    }
    if (failed) {
        return ZV_E_FAIL;
    }
    return changed ? ZV_S_FALSE : ZV_S_OK;
}

ZVRESULT LControl::ApplyMaximumSize(PointT<double>& position, PointT<double>& size)
{
    if (!mLayout) {
        return ZV_S_OK;
    }
    const SubControlSettings& rules = *mLayout;
    bool changed = false;
    for (int axis = 0; axis < 2; ++axis) {
        const LimitRule& maximum = AxisMaximum(rules, axis);
        const double anchor = AxisPosition(rules, axis).placementAnchor;
        double& pos = *position.Coordinate(axis);
        double& extent = *size.Coordinate(axis);
        if (!maximum.toControl) {
            // 0 stands for no maximum, and so does a size that no control can have.
            if (maximum.abs > 0 && maximum.abs < extent) {
                const double old = extent;
                extent = maximum.abs;
                pos -= RoundCoordinate(anchor * (maximum.abs - old));
                changed = true;
            }
            continue;
        }
        if (mChildren.GetCount() == 0) {
            continue;
        }
        const bool allChildren = maximum.toControlName == kChildrenReference;
        if (allChildren && DockedAxes(SettingsOf(mChildren.GetAt(0, kInsertionOrder))) == 2) {
            continue;
        }
        const RectT<double> client = GetClientRect(-1);
        RectT<double> reference;
        if (!FindLimitReference(*this, maximum.toControlName, true, position, client, reference) ||
            !HasArea(reference)) {
            continue;
        }
        const double edge = LimitEdge(maximum, reference, axis);
        if (pos < edge && edge < pos + extent) {
            pos -= RoundCoordinate(anchor * (edge - (pos + extent)));
            extent = RoundCoordinate(edge) - pos;
            if (allChildren) {
                extent += FarBorder(mSize, client, axis);
            }
            changed = true;
        }
    }
    return changed ? ZV_S_FALSE : ZV_S_OK;
}

RectT<double> LControl::GetChildrenBounds() const
{
    std::int64_t left = std::numeric_limits<std::int32_t>::max();
    std::int64_t top = left;
    std::int64_t right = std::numeric_limits<std::int32_t>::min();
    std::int64_t bottom = right;
    for (std::uint32_t index = mChildren.GetCount(); index-- > 0;) {
        const RCPtr<LControl>& child = mChildren.GetAt(index, kInsertionOrder);
        if (DockedAxes(SettingsOf(child)) != 0) {
            continue;
        }
        const RectT<zlong> rect = RectT<double>(child->mPosition.x, child->mPosition.y, child->mSize.x,
                                                child->mSize.y).ToLong();
        left = std::min<std::int64_t>(left, rect.x);
        top = std::min<std::int64_t>(top, rect.y);
        right = std::max<std::int64_t>(right, std::int64_t{rect.x} + rect.width);
        bottom = std::max<std::int64_t>(bottom, std::int64_t{rect.y} + rect.height);
    }
    if (right < left || bottom < top) {
        // No child counts.
        return {};
    }
    const auto extent = [](std::int64_t from, std::int64_t to) {
        return static_cast<double>(std::min<std::int64_t>(to - from, std::numeric_limits<std::int32_t>::max()));
    };
    return {static_cast<double>(left), static_cast<double>(top), extent(left, right), extent(top, bottom)};
}

}  // namespace ZV
