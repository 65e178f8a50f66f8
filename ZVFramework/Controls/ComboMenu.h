#pragma once

#include "Controls/DropDownControl.h"

#include <cstdint>

namespace ZV {

class LPopupMenu;

// A menu title: a drop-down whose part is its child "popupMenu" (a popup menu that it opens and closes itself),
// placed under the title and kept inside the top-level control. Its looks: 0 normal, 1 under the pointer, 2 open,
// 3 disabled. While one title of a row of titles is open, the pointer moving onto another opens that one instead,
// without a click; choosing an item closes the popup. Without a "popupMenu" the control only shows its text.
class LComboMenu : public LDropDownControl {
public:
    static constexpr std::uint32_t kNormalLook = 0;
    static constexpr std::uint32_t kHoverLook = 1;
    static constexpr std::uint32_t kOpenLook = 2;
    static constexpr std::uint32_t kDisabledLook = 3;

    using LDropDownControl::LDropDownControl;

    // The popup shows with a width above 0.
    bool IsDropDownOpen() override;
    // Opens the popup under the title, moved left as far as the top-level control needs, with the focus; or closes
    // it. 0; ZV_E_FAIL without a popup.
    [[nodiscard]] ZVRESULT ShowDropDown(bool show) override;

    [[nodiscard]] ZVRESULT Initialize() override;
    [[nodiscard]] ZVRESULT OnInitialized() override;
    void OnConditionsChanged(const RCPtr<LConditionsParam>& conditions) override;
    // The look of the title's state: the disabled one, else 2 open, else 1 under the pointer, else 0.
    void SelectStateLook() override;

protected:
    bool OfferToNotificationHandlers(const ConstRCPtr<LNotificationDistributor>& sender,
                                     const RCPtr<LNotification>& notification) override;
    void EraseNotificationBindings(const ConstRCPtr<LNotificationDistributor>& distributor, const wchar_t* id) override;

private:
    // Another title of the same row whose popup is open closes, and this one opens.
    void TakeOverOpenSibling();
    std::int32_t OnPopupVisibilityChange(const ConstRCPtr<LNotificationDistributor>& sender,
                                         const RCPtr<LNotification>& notification);
    std::int32_t OnPopupItemActivated(const ConstRCPtr<LNotificationDistributor>& sender,
                                      const RCPtr<LNotification>& notification);

    RCPtr<LNotificationHandler<LComboMenu>> mOwnHandler;
    // Where the skin puts the popup across, in the title's coordinates.
    double mPopupOffsetX = 0;
};

}  // namespace ZV
