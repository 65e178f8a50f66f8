// The condition mask and its notifications, visibility, enabling and highlighting.
#include "ControlBase/Control.h"

#include "ControlBase/ConditionMask.h"
#include "ControlBase/NotificationSending.h"
#include "Notification/ConditionsParam.h"
#include "Utilities/Storage/SortPredicates.h"

namespace ZV {

namespace {

using namespace ConditionMask;

// The notifications of a change of the mask, in the order they go out; each goes when one of its bits changed.
struct ConditionNotification {
    const wchar_t* id;
    std::uint32_t bits;
};

// Receivers subscribe by these spellings, "VISIBLITY" included.
constexpr ConditionNotification kConditionNotifications[] = {
    {L"NID_CONDITION_CHANGE", ~0u},
    {L"NID_HAS_FOCUS_CONDITION_CHANGE", kHasFocus},
    {L"NID_CONTAINS_FOCUS_CONDITION_CHANGE", kContainsFocus},
    {L"NID_HOVER_CONDITION_CHANGE", kHoverOrHighlighted},
    {L"NID_CAPTURE_CONDITION_CHANGE", kCapture},
    {L"NID_LEFT_DRAG_CONDITION_CHANGE", kLeftPressed | kLeftDragging},
    {L"NID_MIDDLE_DRAG_CONDITION_CHANGE", kMiddlePressed | kMiddleDragging},
    {L"NID_RIGHT_DRAG_CONDITION_CHANGE", kRightPressed | kRightDragging},
    {L"NID_ENABLED_CONDITION_CHANGE", kEnabled},
    {L"NID_VISIBLITY_CONDITION_CHANGE", kVisible},
};

constexpr std::uint32_t kPressedBits[3] = {kLeftPressed, kMiddlePressed, kRightPressed};
constexpr std::uint32_t kDraggingBits[3] = {kLeftDragging, kMiddleDragging, kRightDragging};

}  // namespace

std::uint32_t LControl::GetConditions() const
{
    std::uint32_t mask = 0;
    const auto add = [&mask](bool condition, std::uint32_t bit) { mask |= condition ? bit : 0; };
    add(mFocus.hasFocus, kHasFocus);
    add(mFocus.containsFocus, kContainsFocus);
    add(mMouse.hover, kHover);
    add(mMouse.captured, kCapture);
    for (int button = 0; button < 3; ++button) {
        add(mMouse.pressed[button], kPressedBits[button]);
        add(mMouse.dragging[button], kDraggingBits[button]);
    }
    add(IsEnabled(true), kEnabled);
    add(IsVisible(true), kVisible);
    add(mMouse.hover || mFocus.highlighted, kHoverOrHighlighted);
    return mask;
}

void LControl::UpdateConditions()
{
    const std::uint32_t current = GetConditions();
    const RCPtr<LConditionsParam> parameter = mFocus.conditions;
    const std::uint32_t previous = parameter->GetCurrentConditions();
    if (current == previous) {
        return;
    }
    // Hooks and receivers may let the last reference to the control go.
    const RCPtr<LControl> self(this);
    parameter->Set(previous, current, mFocus.lastMousePoint);
    const std::uint32_t changed = previous ^ current;
    const auto turnedOn = [&](std::uint32_t bit) { return (changed & current & bit) != 0; };
    const auto turnedOff = [&](std::uint32_t bit) { return (changed & previous & bit) != 0; };
    const bool hovered = (current & kHover) != 0;
    const bool captured = (current & kCapture) != 0;

    if (mFocus.cursor != 0) {
        if (const RCPtr<IRootWindow> window = GetRootWindowRef()) {
            if (turnedOn(kHover) && !captured) {
                mFocus.savedCursor = window->SetCursor(mFocus.cursor);
            }
            if ((turnedOff(kHover) && !captured) || (turnedOff(kCapture) && !hovered)) {
                (void)window->SetCursor(mFocus.savedCursor);
            }
        }
    }
    if (mMouse.dragMode != 0 && turnedOff(kLeftDragging)) {
        EndDrag();
    }
    OnConditionsChanged(parameter);
    // Whatever bits changed: the first change is reported against no conditions at all, so a control disabled
    // before any other change never sees its enabled bit turn off.
    SelectStateLook();
    for (const ConditionNotification& notification : kConditionNotifications) {
        if ((changed & notification.bits) != 0) {
            SendNewNotification(*this, notification.id, parameter);
        }
    }
    // A mode set while the conditions changed counts for this drag.
    if (mMouse.dragMode != 0 && turnedOn(kLeftDragging)) {
        BeginDrag();
    }
    // The hover moves to whatever lies under the pointer now.
    const bool hiddenUnderPointer = hovered && (changed & kVisible) != 0 && (current & kVisible) == 0 && !captured;
    if (hiddenUnderPointer || (turnedOff(kCapture) && !hovered)) {
        if (const RCPtr<IRootWindow> window = GetRootWindowRef()) {
            PointT<zlong> localPoint;
            (void)window->HitTest(window->GetCursorPosition(), localPoint, true);
        }
    }
    if ((changed & (kEnabled | kVisible)) != 0) {
        RCPtrArray<LControl> children;
        mChildren.TakeSnapshot(children);
        for (std::uint32_t index = children.GetCount(); index-- > 0;) {
            const RCPtr<LControl>& child = children.GetData()[index];
            if (child->mParent.Get() == this) {
                child->UpdateConditions();
            }
        }
    }
}

void LControl::SetHighlighted(bool highlighted)
{
    if (mFocus.highlighted != highlighted) {
        mFocus.highlighted = highlighted;
        UpdateConditions();
    }
}

void LControl::OnConditionsChanged(const RCPtr<LConditionsParam>&) {}

void LControl::SetCursorType(CursorHandle cursor)
{
    mFocus.cursor = cursor;
}

bool LControl::SetVisible(bool visible)
{
    if (!mLayout || mLayout->isVisible == visible) {
        return IsVisible(true);
    }
    const RCPtr<LControl> self(this);
    const RectT<double> whole(0, 0, mSize.x, mSize.y);
    if (!visible) {
        // While the area, and what reaches outside it, is still shown.
        (void)InvalidateRect(whole, mLayout->clipToParent);
        InvalidateUnclippedDescendants();
    }
    mLayout->isVisible = visible;
    if (visible) {
        if ((IsFocusable() || CanTakeFocus()) && mParent && mParent->mFocus.hasFocus) {
            (void)SetFocus(true);
        }
        (void)InvalidateRect(whole, mLayout->clipToParent);
        InvalidateUnclippedDescendants();
    } else if (mFocus.hasFocus || mFocus.containsFocus) {
        PassFocusOn();
    }
    UpdateConditions();
    return IsVisible(true);
}

bool LControl::IsVisible(bool withParents) const
{
    for (const LControl* control = this; control != nullptr; control = control->mParent.Get()) {
        const bool visible = SettingsOf(control).isVisible && control->mSize.x > 0 && control->mSize.y > 0;
        if (!visible || !withParents) {
            return visible;
        }
    }
    return true;
}

void LControl::SetEnabled(bool enabled)
{
    if (!mLayout || mLayout->isEnabled == enabled) {
        return;
    }
    const RCPtr<LControl> self(this);
    mLayout->isEnabled = enabled;
    if (!enabled && (mFocus.hasFocus || mFocus.containsFocus)) {
        PassFocusOn();
    }
    if ((IsFocusable() || CanTakeFocus()) && mParent && mParent->mFocus.hasFocus) {
        (void)SetFocus(true);
    }
    UpdateConditions();
    (void)InvalidateRect(RectT<double>(0, 0, mSize.x, mSize.y), mLayout->clipToParent);
    InvalidateUnclippedDescendants();
}

bool LControl::IsEnabled(bool withAncestors) const
{
    for (const LControl* control = this; control != nullptr; control = control->mParent.Get()) {
        if (!SettingsOf(control).isEnabled) {
            return false;
        }
        if (!withAncestors) {
            break;
        }
    }
    return true;
}

bool LControl::IsUsable() const
{
    return IsVisible(true) && IsEnabled(true);
}

}  // namespace ZV
