#include "Controls/ListBoxItem.h"

#include "ControlBase/ConditionMask.h"
#include "Utilities/Storage/SortPredicates.h"

#include <algorithm>
#include <cstdint>

namespace ZV {

namespace {

enum PointerMode : std::int32_t { kNormal = 0, kHot = 1, kPressed = 2 };

// A coordinate moved by an offset, kept within 32 bits.
std::int32_t OffsetCoordinate(std::int32_t coordinate, zlong offset)
{
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(std::int64_t{coordinate} + offset, INT32_MIN, INT32_MAX));
}

}  // namespace

std::int32_t LListBoxItem::GetLookIndex()
{
    const bool selected = GetValue() >= 0.5;
    if (mSeparator) {
        return kSeparatorLook;
    }
    if (!IsEnabled(true)) {
        return selected ? kSeparatorLook : kDisabledLook;
    }
    using namespace ConditionMask;
    const std::uint32_t conditions = GetConditions();
    const bool over = (conditions & kHoverOrHighlighted) != 0;
    const bool captured = (conditions & kCapture) != 0;
    // The press shows from the moment the button goes down, not only once it has travelled the drag threshold.
    const bool leftDown = (conditions & (kLeftPressed | kLeftDragging)) != 0;
    std::int32_t mode = kNormal;
    if (captured && leftDown) {
        mode = over ? kPressed : kHot;
    } else if (over && !captured) {
        mode = kHot;
    }
    const std::int32_t base = selected ? (mMarkedLook ? kSelectedMarkedLooks : kSelectedLooks)
                                       : (mMarkedLook ? kMarkedLooks : 0);
    return base + mode;
}

ZVRESULT LListBoxItem::RefreshLook()
{
    // A look the skin does not give leaves the item as it shows.
    (void)SelectLook(static_cast<std::uint32_t>(GetLookIndex()));
    const PointT<double> size = GetSize();
    (void)InvalidateRect(RectT<double>(0, 0, size.x, size.y), SettingsOf(this).clipToParent);
    return ZV_S_OK;
}

void LListBoxItem::SetSeparator(bool separator)
{
    if (mSeparator == separator) {
        return;
    }
    mSeparator = separator;
    if (separator) {
        (void)SetText(WideString());
    }
    (void)RefreshLook();
}

void LListBoxItem::OnValueChanged()
{
    (void)RefreshLook();
}

void LListBoxItem::OnConditionsChanged(const RCPtr<LConditionsParam>&)
{
    (void)RefreshLook();
}

ZVRESULT LListBoxItem::ApplyDescriptor(const RCPtr<LControlDescriptor>& descriptor)
{
    const ZVRESULT result = LControl::ApplyDescriptor(descriptor);
    // New looks start without weight.
    if (IsCreated()) {
        (void)RefreshLook();
    }
    return result;
}

ZVRESULT LListBoxItem::OnInitialized()
{
    FixNotFocusable(true);
    (void)RefreshLook();
    return ZV_S_OK;
}

WideString LListBoxItem::GetToolTipText() const
{
    return IsTextClipped() ? GetText() : LControl::GetToolTipText();
}

ZVRESULT LListBoxItem::ProcessMouseDown(std::uint32_t button, std::int32_t x, std::int32_t y)
{
    const RCPtr<LControl>& parent = GetParent();
    if (!mPassThrough || !parent) {
        return LControl::ProcessMouseDown(button, x, y);
    }
    const PointT<zlong> position = GetPosition().ToLongPoint();
    return parent->ProcessMouseDown(button, OffsetCoordinate(x, position.x), OffsetCoordinate(y, position.y));
}

}  // namespace ZV
