#pragma once

#include "ControlBase/Control.h"
#include "ControlBase/PopupControls.h"

#include <cstdint>

namespace ZV {

// The tool tip of the skins: the control that a control's ShowToolTip makes from the skin's top-level "toolTip"
// while the pointer rests on it. It starts hidden, appears kAppearDelay after Start (at once when another tip went
// less than kFollowOnTime before), below the pointer and inside the window, and goes after kShowTime on screen or at
// Hide; each tip lives for one showing, and its parent removes it. Times are the application's millisecond clock,
// compared in wrapping 32-bit arithmetic. User-interface thread only.
class LToolTip : public LControl, public IToolTipPopup {
public:
    enum State : std::uint32_t { kIdle = 0, kWaiting = 1, kShown = 2 };

    // Milliseconds; a tip appears and goes at the first idle pass after more than these.
    static constexpr std::uint32_t kAppearDelay = 500;
    static constexpr std::uint32_t kShowTime = 5000;
    static constexpr std::uint32_t kFollowOnTime = 50;
    // Pixels below the pointer, and kept free on the right of the window.
    static constexpr double kPointerOffsetY = 20;
    static constexpr double kWindowMargin = 8;

    using LControl::LControl;

    // Holds the tip's width to the window's less kWindowMargin, and arms it: waiting, or shown at once when another
    // tip went less than kFollowOnTime ago. 0.
    [[nodiscard]] ZVRESULT Start() override;
    // Ends the tip, which its parent removes at its next idle pass; a tip that showed counts as the last to go. 0.
    [[nodiscard]] ZVRESULT Hide() override;
    // Puts the tip kPointerOffsetY below the pointer, moved back inside the window where it would reach out of it.
    void Place();
    State GetState() const { return mState; }

    // The moment the last shown tip went is shared by all tips; a clock that starts again (a new application, a test)
    // forgets it.
    static void ForgetLastHide();

    // A tip takes the pointer wherever it is.
    bool IsTransparentAtPoint(const PointT<zlong>& point) override;
    void OnIdle(const RCPtr<LNotification>& idle) override;
    // Only takes no focus: no create parameter of the base is read. 0.
    [[nodiscard]] ZVRESULT ProcessCreateParams() override;
    // Hidden until it appears, in its first look. 0.
    [[nodiscard]] ZVRESULT OnInitialized() override;

private:
    void Appear(std::uint32_t now);

    State mState = kIdle;
    std::uint32_t mStateStart = 0;
};

}  // namespace ZV
