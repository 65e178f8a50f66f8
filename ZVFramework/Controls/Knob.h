#pragma once

#include "ControlBase/Control.h"
#include "Controls/ValueStepping.h"

#include <cstdint>

namespace ZV {

// A rotary control drawn as a filmstrip: one look per position, the value choosing the look. It is dragged linearly
// (right and up raise the value; with Ctrl held, in finer steps) or, when its skin gives it an arc, radially: the
// value follows the pointer's angle around the knob's centre. Arrow keys and the wheel step it by one unit of its
// range, 0 .. 127 unless its owner sets another. A value set from outside while the left button holds the knob
// waits for the release.
//
// The frames are the looks from number 0 up to the first number without a look. After that gap an optional focus
// look and an optional disabled look lend their client part, laid over every frame, while the knob has the focus or
// is disabled.
class LKnob : public LControl {
public:
    using LControl::LControl;

    // While the knob is held the value waits for the release; answers the value the knob has now.
    double SetValue(double value) override;
    void OnValueChanged() override;
    void OnConditionsChanged(const RCPtr<LConditionsParam>& conditions) override;
    void OnMouseMoved(const RCPtr<LPointWithModifiersParam>& pointer) override;
    [[nodiscard]] ZVRESULT OnMouseWheel(const RCPtr<LMouseWheelParam>& wheel) override;
    [[nodiscard]] ZVRESULT OnMouseHWheel(const RCPtr<LMouseWheelParam>& wheel) override;
    void HandleLeftClick(const RCPtr<LMouseButtonParam>& click) override;
    [[nodiscard]] ZVRESULT OnKeyDown(const RCPtr<LKeyParam>& key) override;
    // Reads "LINEAR_GESTURE_FULL_RANGE", "RADIAL_GESTURE_START_ANGLE", "RADIAL_GESTURE_END_ANGLE" and
    // "FINE_ADJUST_MULTIPLIER".
    [[nodiscard]] ZVRESULT Initialize() override;
    [[nodiscard]] ZVRESULT OnInitialized() override;
    // Under a new skin the frames are counted again, and the value and the state choose among them.
    [[nodiscard]] ZVRESULT ApplyDescriptor(const RCPtr<LControlDescriptor>& descriptor) override;
    // The centre follows the knob's size.
    void SizeLooks(const PointT<zlong>& size) override;

    bool IsRadial() const { return mRadial; }
    std::int32_t GetFrameCount() const { return mFrameCount; }
    // The pixels of linear drag that cover the whole range.
    std::int32_t GetLinearFullRange() const { return mFullRange; }

protected:
    // From now on a double click or a click with Ctrl sets the value: the knob's way back to a default.
    void SetClickValue(double value);
    // Whether a value set while the knob is held applies at the release (so unless changed) or is dropped.
    void SetApplyPendingAtRelease(bool apply) { mApplyPendingAtRelease = apply; }

private:
    void DragLinearly(const PointT<zlong>& pointer, bool fine);
    // The value of the pointer's angle around the centre: on the arc its place there, past the arc's ends the
    // nearer end.
    void TurnToward(const PointT<zlong>& point);
    // Counts the frames and finds the focus and disabled looks after them; then shows the value's frame under the
    // overlay of the knob's state.
    void TakeFrames();
    void TakeCentre();
    // Lays the overlay that the knob's state asks for over every frame: the disabled look's while disabled, else
    // the focus look's while focused, else none.
    void UpdateOverlay();

    bool mRadial = false;
    std::int32_t mFullRange = 0;
    // Degrees clockwise from 12 o'clock, in [0, 360).
    double mStartAngle = 0;
    double mEndAngle = 0;
    double mFineMultiplier = 0;
    std::int32_t mFrameCount = 0;
    PointT<zlong> mLastPoint;
    PointT<zlong> mPreviousPoint;
    PointT<zlong> mCentre;
    double mClickValue = 0;
    bool mClickSetsValue = false;
    // -1 for none.
    double mPendingValue = -1.0;
    bool mApplyPendingAtRelease = true;
    std::int32_t mFocusLookIndex = -1;
    std::int32_t mDisabledLookIndex = -1;
    // The look whose part lies over the frames now; -1 for none.
    std::int32_t mShownOverlayIndex = -1;
    bool mHeld = false;
    ValueKeyRun mKeys;
};

}  // namespace ZV
