#pragma once

#include "Controls/ListBox.h"
#include "Utilities/Graphics/Bitmap.h"
#include "Utilities/Storage/ConstRCPtrArray.h"

#include <cstdint>

namespace ZV {

// A row of a checked list: the list's row, its checked flag and its own icon.
struct LCheckedListBoxRow : LListBoxRow {
    bool checked = false;
    ConstRCPtr<LBitmap> icon;
};

// A list whose rows carry a checked flag and an icon, which each row control shows in its "checkBox" button. A
// click on a row's check box flips it, checks or unchecks the row, selects the row and sends
// "NID_ITEM_CHECK_CHANGE" with an LIndexedDataWithValueParam (no data, the row, the new value); the list's own
// changes to its check boxes send nothing. A skin that gives the list a fourth look makes an icon list: the images
// of look 3 become the rows' icons, repeating down the list, and clicks on the check boxes go to the rows.
class LCheckedListBox : public LListBox {
public:
    using LListBox::LListBox;

    std::uint32_t GetRowCount() const override;
    LListBoxRow* GetRow(std::uint32_t index) override;
    [[nodiscard]] ZVRESULT InsertRow(std::uint32_t index) override;
    [[nodiscard]] ZVRESULT RemoveRow(std::uint32_t index) override;
    [[nodiscard]] ZVRESULT SwapRows(std::uint32_t a, std::uint32_t b) override;
    // The row at an index below GetRowCount().
    virtual LCheckedListBoxRow* GetCheckedRow(std::uint32_t index);

    std::int32_t SetRowCount(std::uint32_t count) override;
    [[nodiscard]] ZVRESULT Initialize() override;

    // False past the rows.
    bool IsItemChecked(std::uint32_t row) const;
    // Changes the row's flag and its check box; nothing past the rows or when the flag is the row's already.
    void SetItemChecked(std::uint32_t row, bool checked);
    std::int32_t GetCheckedCount() const { return mCheckedCount; }
    // The skin's icons, by row, when it gives any; else the row's own icon. The empty bitmap past the rows.
    ConstRCPtr<LBitmap> GetItemIcon(std::uint32_t row) const;
    // The skin gave the list images for its rows' icons.
    bool HasIcons() const { return mIcons.GetCount() != 0; }
    // Check boxes that let clicks through to their rows.
    void SetCheckBoxClickThrough(bool clickThrough);

protected:
    [[nodiscard]] ZVRESULT CreateRowControl() override;
    [[nodiscard]] ZVRESULT UpdateRowControl(std::uint32_t row) override;

    bool OfferToNotificationHandlers(const ConstRCPtr<LNotificationDistributor>& sender,
                                     const RCPtr<LNotification>& notification) override;
    void EraseNotificationBindings(const ConstRCPtr<LNotificationDistributor>& distributor, const wchar_t* id) override;

private:
    // The check box of a row control; null without one.
    static RCPtr<LControl> CheckBoxOf(const LControl& rowControl);
    // Sets the check box's value without hearing it back.
    void SetCheckBoxValue(const RCPtr<LControl>& checkBox, double value);
    static void ShowIcon(LControl& checkBox, const ConstRCPtr<LBitmap>& icon);
    std::int32_t OnCheckBoxValueChange(const ConstRCPtr<LNotificationDistributor>& sender,
                                       const RCPtr<LNotification>& notification);

    Array<LCheckedListBoxRow> mRows;
    RCPtr<LNotificationHandler<LCheckedListBox>> mHandler;
    bool mCheckBoxClickThrough = false;
    std::int32_t mCheckedCount = 0;
    ConstRCPtrArray<LBitmap> mIcons;
};

}  // namespace ZV
