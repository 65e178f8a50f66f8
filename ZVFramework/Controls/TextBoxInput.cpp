// The text box's mouse and keys, and the scrolling that keeps its caret in sight.
#include "Controls/TextBox.h"

#include "ControlBase/ConditionMask.h"
#include "ControlBase/KeyParams.h"
#include "ControlBase/ScopedFlag.h"
#include "Notification/MouseParams.h"

#include <algorithm>
#include <cmath>

namespace ZV {

namespace {

// Pixels before an edge of the text's room where a drag starts scrolling, and the speed that each pixel further adds.
constexpr double kDragScrollBand = 20.0;
constexpr double kDragScrollSpeed = 5.0;
// Pixels kept between the caret and the edge of the room that it was scrolled into view at.
constexpr double kCaretMargin = 3.0;

}  // namespace

void LTextBox::SetScrollFollowsCaret(bool horizontal, bool vertical)
{
    mFollowCaretX = horizontal;
    mFollowCaretY = vertical;
}

bool LTextBox::IsLeftButtonHeld() const
{
    return (GetConditions() & (ConditionMask::kLeftPressed | ConditionMask::kLeftDragging)) != 0;
}

double LTextBox::GetScrollLimit() const
{
    const double room = GetTextRect().width;
    const double extent = GetClientExtent().x;
    return extent > room ? extent - room + kCaretMargin : 0.0;
}

void LTextBox::ScrollCaretIntoView()
{
    if (!(mFollowCaretX || mFollowCaretY) || IsKineticScrollRunning(0) || IsKineticScrollRunning(1) || mScrollGuard ||
        !mFollowCaretX) {
        return;
    }
    const RectT<float> room = GetTextRect();
    const PointT<double> scroll = GetScrollOffset();
    const double inView = mCaretRect.x - scroll.x;
    double target = scroll.x;
    if (inView < room.x) {
        target = mCaretRect.x - room.x - kCaretMargin;
    } else if (inView + mCaretRect.width > room.x + room.width) {
        target = mCaretRect.width + mCaretRect.x + kCaretMargin - (room.x + room.width);
    }
    // Nothing stays hidden at the left while the text leaves room at the right.
    target = std::clamp(target, 0.0, GetScrollLimit());
    if (target == scroll.x) {
        return;
    }
    (void)ScrollTo({target, scroll.y});
    UpdateCaretRect();
    SelectStateLook();
}

const PointT<double>& LTextBox::ScrollTo(const PointT<double>& offset)
{
    if (mScrollGuard) {
        return GetScrollOffset();
    }
    const RCPtr<LControl> self(this);
    const ScopedFlag guard(mScrollGuard);
    (void)Base::ScrollTo(offset);
    if (IsKineticScrollRunning(0)) {
        const double x = GetScrollOffset().x;
        if (x <= 0 || x >= GetScrollLimit()) {
            (void)StopKineticScroll(0);
        }
    }
    const RCPtr<IRootWindow>& window = GetRootWindowRef();
    if (IsLeftButtonHeld() && window) {
        // The text moved under the pointer: the selection follows to where the pointer is now.
        const PointT<zlong> cursor = window->GetCursorPosition();
        const PointT<double> origin = GetAbsoluteOrigin();
        ExtendSelectionTo(HitTest(PointT<double>(cursor.x - origin.x, cursor.y - origin.y).ToLongPoint()));
    }
    SelectStateLook();
    return GetScrollOffset();
}

void LTextBox::OnLeftButtonDown(const RCPtr<LMouseButtonParam>& press)
{
    Base::OnLeftButtonDown(press);
    const std::int32_t index = HitTest(press->GetPoint());
    if ((press->GetModifiers() & kModifierShift) != 0) {
        ExtendSelectionTo(index);
        return;
    }
    ClearSelection();
    (void)SetCaretPosition(index, false);
}

void LTextBox::OnMouseMoved(const RCPtr<LPointWithModifiersParam>& pointer)
{
    Base::OnMouseMoved(pointer);
    if (!IsLeftButtonHeld()) {
        return;
    }
    const RectT<float> room = GetTextRect();
    const zlong left = static_cast<zlong>(room.x);
    const zlong right = static_cast<zlong>(room.x + room.width);
    const zlong top = static_cast<zlong>(room.y);
    const zlong bottom = static_cast<zlong>(room.y + room.height);
    const PointT<zlong> held(std::clamp(pointer->GetX(), left, std::max(left, right)),
                             std::clamp(pointer->GetY(), top, std::max(top, bottom)));
    ExtendSelectionTo(HitTest(held));
    if (!mFollowCaretX) {
        return;
    }
    const double x = static_cast<double>(pointer->GetX());
    const double rightBand = static_cast<double>(right) - kDragScrollBand;
    const double leftBand = static_cast<double>(left) + kDragScrollBand;
    if (x > rightBand || x < leftBand) {
        // Faster the further the pointer is past the band's inner edge, and never still inside the band.
        const double past = x > rightBand ? x - rightBand + 1.0 : x - leftBand - 1.0;
        (void)StartKineticScroll(0, past * kDragScrollSpeed, GetScrollLimit(), 0.0, nullptr);
    } else {
        (void)StopKineticScroll(0);
    }
}

void LTextBox::HandleLeftClick(const RCPtr<LMouseButtonParam>& click)
{
    Base::HandleLeftClick(click);
    if (click->IsDoubleClick() || (click->GetModifiers() & kModifierCtrl) != 0) {
        mEditor.SelectWordAtCaret();
    }
}

ZVRESULT LTextBox::OnKeyDown(const RCPtr<LKeyParam>& key)
{
    return key ? mEditor.HandleKey(key->GetKey()) : ZV_S_FALSE;
}

}  // namespace ZV
