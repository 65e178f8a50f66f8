#pragma once

#include "ControlBase/Control.h"

namespace ZV {

class LKeyParam;
class LMouseButtonParam;
class LMouseWheelParam;

// The keys of the value controls (slider, knob): Right and Up raise the value by one unit of the control's range,
// Left and Down lower it, through the control's own SetValue. A run of presses is announced to the control's
// subscribers: "NID_VALUE_CHANGE_KEY_DOWN" with the key at its first press, "NID_VALUE_CHANGE_KEY_UP" with the key at
// the release, or without a parameter when the control loses the focus while the key is down.
class ValueKeyRun {
public:
    // 0 for an arrow key going down or up, 1 for any other key.
    [[nodiscard]] ZVRESULT HandleKey(LControl& control, const RCPtr<LKeyParam>& key);
    // The control no longer has the focus: a run still going ends.
    void EndOnFocusLoss(LControl& control);
    bool IsKeyHeld() const { return mKeyHeld; }

private:
    bool mKeyHeld = false;
};

// The value moves by whole units of the control's range, through its own SetValue.
void StepValue(LControl& control, double units);

// One notch of either wheel: one unit up for directions 1 and 3, down for the others. 0, handled; 1 without a
// wheel record.
[[nodiscard]] ZVRESULT StepValueByWheel(LControl& control, const RCPtr<LMouseWheelParam>& wheel);

// The clicks that set a value control to its click value, where its owner gives it one: a double click, or a click
// with Ctrl held.
bool IsValueSettingClick(const LMouseButtonParam& click);

}  // namespace ZV
