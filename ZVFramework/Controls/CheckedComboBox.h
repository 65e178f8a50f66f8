#pragma once

#include "Controls/ComboBox.h"

#include <cstdint>

namespace ZV {

class LBitmap;
class LCheckedListBox;

// A combo box whose list is a checked list ("Framework.CheckedComboBox", "Framework.ComboBoxWithIcons"); its own
// "checkBox" shows the selected row's checked state and icon. Its looks tell whether any row is checked: the combo
// box's seven looks (0 to 6) while none is, the same states as looks 7 to 13 while some are. With a list of icons,
// clicks on its check box go to the combo. It passes the list's "NID_ITEM_CHECK_CHANGE" on. User-interface thread
// only.
class LCheckedComboBox : public LComboBox {
public:
    using LComboBox::LComboBox;

    [[nodiscard]] ZVRESULT SetItemCount(std::int32_t count) override;
    // The check box shows the row's checked state and icon; past the rows, no icon and the state it had.
    std::int32_t SetSelectedIndex(std::int32_t index) override;
    [[nodiscard]] ZVRESULT UpdateLook() override;
    // Clicks on the combo's check box go through it to the combo.
    void SetCheckBoxClickThrough(bool clickThrough);
    // ZV_E_FAIL unless "listBox" is a checked list.
    [[nodiscard]] ZVRESULT Initialize() override;
    // The check box shows the selected row.
    [[nodiscard]] ZVRESULT OnInitialized() override;

    const RCPtr<LCheckedListBox>& GetCheckedList() const { return mCheckedList; }
    const RCPtr<LControl>& GetCheckBox() const { return mCheckBox; }

protected:
    bool OfferToNotificationHandlers(const ConstRCPtr<LNotificationDistributor>& sender,
                                     const RCPtr<LNotification>& notification) override;
    void EraseNotificationBindings(const ConstRCPtr<LNotificationDistributor>& distributor, const wchar_t* id) override;

private:
    // The check box's looks show the icon (none: the empty image).
    void ShowIcon(const ConstRCPtr<LBitmap>& icon);
    // The check box shows whether the row is checked.
    void ShowChecked(std::int32_t row);
    std::int32_t OnItemCheckChange(const ConstRCPtr<LNotificationDistributor>& sender,
                                   const RCPtr<LNotification>& notification);

    RCPtr<LNotificationHandler<LCheckedComboBox>> mHandler;
    RCPtr<LCheckedListBox> mCheckedList;
    RCPtr<LControl> mCheckBox;
    bool mCheckBoxClickThrough = false;
};

}  // namespace ZV
