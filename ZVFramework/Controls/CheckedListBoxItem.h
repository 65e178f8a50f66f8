#pragma once

#include "Controls/ListBoxItem.h"

#include <cstdint>

namespace ZV {

// The row control of a checked list: a list row that holds a "checkBox" (a button), which shows the row's checked
// flag or its icon. The pointer over the check box highlights the row.
class LCheckedListBoxItem : public LListBoxItem {
public:
    using LListBoxItem::LListBoxItem;

    [[nodiscard]] ZVRESULT Initialize() override;
    // Gives the look full weight; exclusive takes the weight from every other look. False when the item has no such
    // look.
    virtual bool ApplyItemLook(std::int32_t lookIndex, bool exclusive);
    // The check box's look, once the item is created; 1 before, or without a check box.
    [[nodiscard]] ZVRESULT SelectCheckBoxLook(std::uint32_t lookIndex);
    // Null without one.
    const RCPtr<LControl>& GetCheckBox() const { return mCheckBox; }

protected:
    bool OfferToNotificationHandlers(const ConstRCPtr<LNotificationDistributor>& sender,
                                     const RCPtr<LNotification>& notification) override;
    void EraseNotificationBindings(const ConstRCPtr<LNotificationDistributor>& distributor, const wchar_t* id) override;

private:
    std::int32_t OnCheckBoxHoverChange(const ConstRCPtr<LNotificationDistributor>& sender,
                                       const RCPtr<LNotification>& notification);

    RCPtr<LNotificationHandler<LCheckedListBoxItem>> mHandler;
    RCPtr<LControl> mCheckBox;
};

}  // namespace ZV
