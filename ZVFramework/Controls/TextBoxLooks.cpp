// The text box's looks for its state, its reactions to focus and hover, and the caret's blink and drawing.
#include "Controls/TextBox.h"

#include "ControlBase/ConditionMask.h"
#include "ControlBase/ControlServices.h"
#include "ControlBase/FontText.h"
#include "ControlBase/Look.h"
#include "Notification/ConditionsParam.h"
#include "Renderer/RectList.h"
#include "Renderer/Renderer.h"
#include "System/RootWindow.h"
#include "Utilities/Storage/Color.h"

#include <cmath>

namespace ZV {

namespace {

using namespace ConditionMask;

enum TextBoxLook : std::uint32_t {
    kNormalLook = 0,
    kHotLook = 1,
    kCueBaseLook = 2,
    kFocusedLook = 3,
    kFocusedHotLook = 4,
    kDisabledLook = 6,
    kCueLook = 9,
    kSelectionLook = 10,
};

constexpr double kCaretShownSeconds = 0.5;
constexpr double kCaretHiddenSeconds = 0.3;
constexpr std::uint32_t kLeftHeld = kLeftPressed | kLeftDragging;

zlong Snap(float coordinate)
{
    return static_cast<zlong>(std::trunc(coordinate + 0.5f));
}

// Look index's region becomes the one rectangle.
void SetRegion(LControl& control, std::uint32_t index, zlong left, zlong top, zlong right, zlong bottom)
{
    RectList region;
    region.Add(RectEdges{left, top, right, bottom});
    (void)control.SetLookRegion(static_cast<std::int32_t>(index), region);
}

}  // namespace

void LTextBox::SelectStateLook()
{
    if (!IsEnabled(true)) {
        ClearLookRegions();
        (void)SelectLook(kDisabledLook);
        return;
    }
    const std::uint32_t conditions = GetConditions();
    const bool hot = (conditions & (kHoverOrHighlighted | kLeftHeld)) != 0;
    const bool focused = (conditions & kHasFocus) != 0;
    const RectT<float> room = GetTextRect();
    if (!focused && GetText().IsEmpty() && !mCueText.IsEmpty()) {
        const RCPtr<LLook> cue = GetLookCount() > kCueLook ? GetLook(kCueLook) : nullptr;
        if (cue && cue->GetText() && cue->GetText()->GetLineCount() > 0) {
            const zlong left = Snap(room.x);
            const zlong top = Snap(room.y);
            const zlong width = static_cast<zlong>(std::trunc(cue->GetText()->GetLineRect(0).width));
            SetRegion(*this, kCueLook, left, top, left + width, top + Snap(room.height));
            (void)SetLookRegionComplement(kCueBaseLook, kCueLook);
            (void)SelectLook(kCueBaseLook);
            (void)ApplyLookWeight(kCueLook, 1.0f, false);
            return;
        }
    }
    const std::uint32_t base = focused ? (hot ? kFocusedHotLook : kFocusedLook) : (hot ? kHotLook : kNormalLook);
    if (focused && mEditor.HasSelection()) {
        const std::int32_t start = mEditor.GetSelectionStart();
        const RectT<float> range = GetRangeRect(start, start + mEditor.GetSelectionLength() - 1);
        const PointT<double>& scroll = GetScrollOffset();
        const float left = std::max(range.x - static_cast<float>(scroll.x), room.x);
        const float top = std::max(range.y - static_cast<float>(scroll.y), room.y);
        const float right = std::min(range.x + range.width - static_cast<float>(scroll.x), room.x + room.width);
        const float bottom = std::min(range.y + range.height - static_cast<float>(scroll.y), room.y + room.height);
        // A selection scrolled out of sight has no region, which would let its look draw everywhere.
        if (Snap(left) < Snap(right) && Snap(top) < Snap(bottom)) {
            const std::uint32_t selection = kSelectionLook + (hot ? 1 : 0);
            SetRegion(*this, selection, Snap(left), Snap(top), Snap(right), Snap(bottom));
            (void)SetLookRegionComplement(static_cast<std::int32_t>(base), static_cast<std::int32_t>(selection));
            (void)SelectLook(base);
            (void)ApplyLookWeight(selection, 1.0f, false);
            return;
        }
    }
    ClearLookRegions();
    (void)SelectLook(base);
}

void LTextBox::OnConditionsChanged(const RCPtr<LConditionsParam>& conditions)
{
    Base::OnConditionsChanged(conditions);
    const std::uint32_t previous = conditions->GetPreviousConditions();
    const std::uint32_t current = conditions->GetCurrentConditions();
    const std::uint32_t changed = previous ^ current;
    const auto turnedOn = [&](std::uint32_t bits) { return (changed & current & bits) != 0; };
    const auto turnedOff = [&](std::uint32_t bits) {
        return (changed & previous & bits) != 0 && (current & bits) == 0;
    };
    const bool leftReleased = turnedOff(kLeftHeld);
    const RCPtr<LControl> self(this);
    if (turnedOn(kHasFocus)) {
        TellWindowOfEditing(true);
        ScrollCaretIntoView();
        RestartBlink();
        InvalidateAll();
        // Without idle passes the caret would not blink; it still shows.
        (void)BeginIdleNotifications();
    } else if (turnedOff(kHasFocus)) {
        TellWindowOfEditing(false);
        (void)EndIdleNotifications();
        mCaretShown = false;
        (void)ScrollTo({0, 0});
        InvalidateAll();
    } else if (turnedOn(kHoverOrHighlighted)) {
        if (const RCPtr<IRootWindow>& window = GetRootWindowRef()) {
            SetCursorType(window->GetNamedCursor(L"UI_CURSOR_IBEAM"));
            if ((current & kHover) != 0) {
                ApplyCursor();
            }
        }
    } else if (leftReleased) {
        (void)StopKineticScroll(0);
        (void)StopKineticScroll(1);
    }
}

void LTextBox::TellWindowOfEditing(bool start)
{
    if (auto* window = dynamic_cast<LRootWindow*>(GetRootWindowRef().Get())) {
        window->NotifyTextEditing(start, RCPtr<LControl>(this), 0);
    }
}

void LTextBox::OnCaretPlaced()
{
    UpdateCaretRect();
    ScrollCaretIntoView();
    RestartBlink();
    InvalidateAll();
}

void LTextBox::RestartBlink()
{
    mCaretShown = true;
    mNextBlinkTime = GetControlServices().GetTimeSeconds() + kCaretShownSeconds;
}

void LTextBox::InvalidateAll()
{
    const SubControlSettings* settings = GetSubControlSettings();
    (void)InvalidateRect({0, 0, GetSize().x, GetSize().y}, settings == nullptr || settings->clipToParent);
}

void LTextBox::OnIdle(const RCPtr<LNotification>& idle)
{
    Base::OnIdle(idle);
    const double now = GetControlServices().GetTimeSeconds();
    if (now < mNextBlinkTime) {
        return;
    }
    mCaretShown = !mCaretShown;
    mNextBlinkTime = now + (mCaretShown ? kCaretShownSeconds : kCaretHiddenSeconds);
    InvalidateAll();
}

ZVRESULT LTextBox::RenderOverlay(LRenderer& renderer)
{
    if (mCaretShown && (GetConditions() & kHasFocus) != 0) {
        const PointT<double>& scroll = GetScrollOffset();
        const float x = mCaretRect.x - static_cast<float>(scroll.x);
        const float top = mCaretRect.y - static_cast<float>(scroll.y);
        renderer.DrawLine({x, top}, {x, top + mCaretRect.height}, LColor().SetFromARGB(0xFF000000), 1.0f);
    }
    return ZV_S_OK;
}

WideString LTextBox::GetToolTipText() const
{
    return IsTextClipped() && !mEditor.IsMultiLine() ? GetText() : Base::GetToolTipText();
}

}  // namespace ZV
