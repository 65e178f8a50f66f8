#pragma once

#include "ControlBase/Control.h"

#include <cstdint>

namespace ZV {

// The push button of the skins. It shows one of fourteen looks chosen from its state (normal, hover, pressed,
// focused, focused and hover, focused and pressed, disabled; seven more while it is on, at a value of 0.5 or more),
// can toggle or be one of a radio group of its siblings, can repeat while held ("NID_BUTTON_AUTOREPEAT"), and can be
// clicked by the program or the Return key, showing its pressed look for a moment. Its clicks are the control's:
// owners subscribe to "NID_LEFT_CLICK". User-interface thread only.
class LButton : public LControl {
public:
    // Look numbers while off; add kOnLookOffset while on.
    enum LookState : std::uint32_t {
        kNormalLook = 0,
        kHoverLook = 1,
        kPressedLook = 2,
        kFocusedLook = 3,
        kFocusedHoverLook = 4,
        kFocusedPressedLook = 5,
        kDisabledLook = 6,
    };
    static constexpr std::uint32_t kOnLookOffset = 7;
    // Seconds from the press to the second repeat, and between the later ones.
    static constexpr double kFirstRepeatDelay = 0.3;
    static constexpr double kRepeatInterval = 0.1;
    // Seconds that a click without the mouse shows the pressed look before it clicks.
    static constexpr double kSimulatedPressTime = 0.15;

    using LControl::LControl;

    // While held, the button sends "NID_BUTTON_AUTOREPEAT" at the press, after kFirstRepeatDelay and then every
    // kRepeatInterval that the pointer spends over it. No skin sets it; owners do (step buttons).
    void SetAutoRepeat(bool autoRepeat) { mAutoRepeat = autoRepeat; }
    bool IsAutoRepeat() const { return mAutoRepeat; }
    // While the button holds the capture with the left button down, it shows its pressed look even with the pointer
    // off it (thumbs that the pointer drags).
    void SetKeepPressedLookWhileCaptured(bool keep) { mKeepPressedLookWhileCaptured = keep; }
    bool KeepsPressedLookWhileCaptured() const { return mKeepPressedLookWhileCaptured; }
    // A click sets the value: a toggle flips it, a radio button turns on. Read from the create parameter
    // "AUTO_VALUE_SET"; owners may set it too.
    void SetAutoValueSet(bool autoValueSet) { mAutoValueSet = autoValueSet; }
    bool IsAutoValueSet() const { return mAutoValueSet; }
    // From the create parameter "IS_RADIO": turning on turns off the sibling radio buttons.
    bool IsRadio() const { return mRadio; }
    // A click-through button is never hit by the pointer: what lies under it gets the mouse.
    void SetClickThrough(bool clickThrough) { mClickThrough = clickThrough; }
    bool IsClickThrough() const { return mClickThrough; }

    bool IsOn() const { return GetValue() >= 0.5; }
    bool IsRepeating() const { return mRepeating; }
    bool IsShowingSimulatedPress() const { return mSimulatedPressShowing; }

    // A click without the mouse: the button takes the focus and shows its pressed look, and the idle pass after
    // kSimulatedPressTime delivers the click. A click still showing is delivered at once first.
    void SimulateClick();
    // The handler of "NID_SIMULATE_CLICK" sent to the button itself: clicks a button that is enabled with its
    // ancestors. Consumes the notification in every case: 1.
    std::int32_t OnSimulateClickNotification(const ConstRCPtr<LNotificationDistributor>& sender,
                                             const RCPtr<LNotification>& notification);
    // Selects the look of the button's state; a simulated press keeps its pressed look. 0.
    ZVRESULT UpdateLook();

    // The base's, then the button's handler, "NID_SIMULATE_CLICK" and the create parameters. A failure of the base
    // is answered unchanged.
    [[nodiscard]] ZVRESULT Initialize() override;
    void OnValueChanged() override;
    void OnConditionsChanged(const RCPtr<LConditionsParam>& conditions) override;
    void SelectStateLook() override { (void)UpdateLook(); }
    void SetEnabled(bool enabled) override;
    // Toggles or turns on, before "NID_LEFT_CLICK" goes out.
    void HandleLeftClick(const RCPtr<LMouseButtonParam>& click) override;
    // Return without modifiers clicks: 0; any other key 1.
    [[nodiscard]] ZVRESULT OnKeyDown(const RCPtr<LKeyParam>& key) override;
    void OnIdle(const RCPtr<LNotification>& idle) override;
    // The button's own text while it is clipped, else the base's tip.
    WideString GetToolTipText() const override;
    bool IsTransparentAtPoint(const PointT<zlong>& point) override;

protected:
    bool OfferToNotificationHandlers(const ConstRCPtr<LNotificationDistributor>& sender,
                                     const RCPtr<LNotification>& notification) override;
    void EraseNotificationBindings(const ConstRCPtr<LNotificationDistributor>& distributor, const wchar_t* id) override;

private:
    void StartRepeating();
    void StopRepeating();
    void SendAutoRepeat();
    // Ends the simulated press that shows: the look follows the state again, then the click is delivered.
    void FinishSimulatedPress();
    // A left click at (0, 0) without modifiers, with the buttons the window reports held.
    void DeliverSimulatedClick();
    // Turns off the other radio buttons among the siblings, the last first.
    void TurnOffRadioSiblings();

    RCPtr<LNotificationHandler<LButton>> mHandler;
    bool mAutoValueSet = false;
    bool mRadio = false;
    bool mAutoRepeat = false;
    bool mRepeating = false;
    bool mKeepPressedLookWhileCaptured = false;
    bool mClickThrough = false;
    // Seconds of the application's clock.
    double mLastRepeatTick = 0;
    double mTimeToNextRepeat = 0;
    double mSimulatedPressStart = 0;
    bool mSimulatedPressShowing = false;
};

}  // namespace ZV
