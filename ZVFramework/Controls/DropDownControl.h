#pragma once

#include "ControlBase/Control.h"

#include <cstdint>

namespace ZV {

// The base of the controls that drop a part down below or above themselves (the combo box, the combo slider, the
// combo menu). It owns the gesture: a left press on a closed control opens the part; a press while it is open
// closes it, and the same press does not open it again; the control giving up the focus closes it. Subclasses say
// what being open means and how the part shows. User-interface thread only.
class LDropDownControl : public LControl {
public:
    using LControl::LControl;

    // Whether the dropped-down part shows.
    virtual bool IsDropDownOpen() = 0;
    // Opens or closes the dropped-down part.
    [[nodiscard]] virtual ZVRESULT ShowDropDown(bool show) = 0;

    // Taking the focus closes an open drop-down, and remembers that it was open, so that the press that brought the
    // focus does not open it again.
    [[nodiscard]] ZVRESULT SetFocus(bool forward) override;
    // Giving up the focus closes the drop-down.
    bool ReleaseFocus() override;
    // A left press opens the drop-down, unless the press has just closed it.
    void OnConditionsChanged(const RCPtr<LConditionsParam>& conditions) override;
    // Hears the control's own presses.
    [[nodiscard]] ZVRESULT Initialize() override;

protected:
    // Where the latest left press went down, in the control's coordinates; set before that press opens the
    // drop-down.
    const PointT<double>& GetDropDownPressPoint() const { return mPressPoint; }
    // Whether the left button that pressed the control is still down on it.
    bool IsLeftButtonHeld() const;
    // When the left button that opened the drop-down is still held, the part gets a left press at the press point
    // (in the part's coordinates), so that the held button goes on as a drag inside the part.
    void ForwardPressTo(LControl& part);

    bool OfferToNotificationHandlers(const ConstRCPtr<LNotificationDistributor>& sender,
                                     const RCPtr<LNotification>& notification) override;
    void EraseNotificationBindings(const ConstRCPtr<LNotificationDistributor>& distributor, const wchar_t* id) override;

private:
    std::int32_t OnOwnMouseDown(const ConstRCPtr<LNotificationDistributor>& sender,
                                const RCPtr<LNotification>& notification);

    RCPtr<LNotificationHandler<LDropDownControl>> mHandler;
    PointT<double> mPressPoint;
    // The drop-down was open when the control last took the focus (which closed it).
    bool mWasOpenAtFocus = false;
    // A press is closing the drop-down: the left press it brings must not open it again.
    bool mCloseByPress = false;
};

}  // namespace ZV
