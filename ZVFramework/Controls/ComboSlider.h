#pragma once

#include "Controls/DropDownControl.h"
#include "Controls/Panel.h"
#include "Notification/NotificationHandler.h"

#include <cstdint>

namespace ZV {

// A drop-down control that shows its value as a whole number of its range and drops down the panel
// "dropDownPanel", which holds the slider "slider": moving the slider sets the control's value, and setting the
// control's value moves the slider. The panel opens where the skin places it, moved left as far as it must to stay
// inside the window, never past the window's left edge. Without the panel or the slider the value and the text still
// work and nothing drops down. Looks: 0 normal, 1 focused, 2 hovered, 3 hovered and focused, 4 open, 5 open and
// hovered, 6 disabled.
class LComboSlider : public LDropDownControl {
public:
    static constexpr std::uint32_t kNormalLook = 0;
    static constexpr std::uint32_t kFocusedLook = 1;
    static constexpr std::uint32_t kHoverLook = 2;
    static constexpr std::uint32_t kHoverFocusedLook = 3;
    static constexpr std::uint32_t kOpenLook = 4;
    static constexpr std::uint32_t kOpenHoverLook = 5;
    static constexpr std::uint32_t kDisabledLook = 6;

    using LDropDownControl::LDropDownControl;

    bool IsDropDownOpen() override;
    // 0x80004005 without a panel.
    [[nodiscard]] ZVRESULT ShowDropDown(bool show) override;
    // The slider takes the value too.
    double SetValue(double value) override;
    // The slider and the text follow the value.
    void OnValueChanged() override;
    void SelectStateLook() override;
    // Finds the panel and its slider, hides the panel and hears the slider's value; succeeds without them.
    [[nodiscard]] ZVRESULT Initialize() override;
    // Shows the look of its state from the start.
    [[nodiscard]] ZVRESULT OnInitialized() override;

protected:
    bool OfferToNotificationHandlers(const ConstRCPtr<LNotificationDistributor>& sender,
                                     const RCPtr<LNotification>& notification) override;
    void EraseNotificationBindings(const ConstRCPtr<LNotificationDistributor>& distributor, const wchar_t* id) override;

private:
    std::int32_t OnSliderValueChange(const ConstRCPtr<LNotificationDistributor>& sender,
                                     const RCPtr<LNotification>& notification);
    // The x that keeps the panel, placed at its skin's offset, inside the top-level control's width.
    double DropDownPanelX() const;

    RCPtr<LNotificationHandler<LComboSlider>> mOwnHandler;
    RCPtr<LPanel> mDropDownPanel;
    RCPtr<LControl> mSlider;
};

}  // namespace ZV
