#pragma once

#include "Controls/DropDownControl.h"
#include "Controls/ListBox.h"
#include "Controls/TextBox.h"
#include "ObjectBase/TaggableObject.h"

#include <cstdint>

namespace ZV {

// Picks one of many items in little space ("Framework.ComboBox", "Framework.ComboTextBox"): its drop-down part is
// the list box "listBox" (required), and its text is the text of the selected item, shown also in the optional text
// box "textBox", where a typed text selects the item of that text. The list opens below the control, or above it
// when there is more room there, as high as its rows need, the skin lets it and the window has room for, in whole
// rows; items that come or go while it is open place it again. Down or Return opens it, Escape closes it. Looks:
// 0 normal, 1 focused, 2 hover, 3 hover and focused, 4 dropped down, 5 dropped down with hover, 6 disabled.
//
// Notifications sent: "NID_DROPDOWN_OPENING" (before the list is sized and shown: its items may still change),
// "NID_SELECTION_CHANGE", and the text box's "NID_TEXTBOX_VALIDATING", "NID_TEXTBOX_VALIDATED" and
// "NID_TEXTBOX_TEXT_CHANGE" passed on. User-interface thread only.
class LComboBox : public LDropDownControl {
public:
    using LDropDownControl::LDropDownControl;

    // The list box shows with a size above 0.
    bool IsDropDownOpen() override;
    // Opening sizes and places the list, selects the item of the control's text and hands the list the focus.
    // ZV_E_FAIL without a list box.
    [[nodiscard]] ZVRESULT ShowDropDown(bool show) override;
    // Removes items from the end or appends empty ones; a selected item that goes clears the selection, and an open
    // list takes the size of its new items. The list box's result; ZV_E_FAIL without a list box.
    [[nodiscard]] virtual ZVRESULT SetItemCount(std::int32_t count);
    // Selects the item and takes its text, sending "NID_SELECTION_CHANGE" when the selection changed. A negative
    // index clears the selection and keeps the text. The index selected, or -1.
    virtual std::int32_t SetSelectedIndex(std::int32_t index);
    // Selects the look of the control's state. 0.
    [[nodiscard]] virtual ZVRESULT UpdateLook();
    void SelectStateLook() override { (void)UpdateLook(); }

    // An item of the text, at the end. The item's index, or a failure.
    std::int32_t AddItem(const WideString& text);
    // An item before the index; the selected item stays selected, and an open list takes the place its items need.
    // The item's index, ZV_E_INVALIDARG without data, ZV_E_FAIL without a list box.
    std::int32_t InsertItem(std::int32_t index, const RCPtr<LTaggableObject>& data);
    // The item's data; null past the items.
    RCPtr<LTaggableObject> GetItem(std::int32_t index) const;
    std::int32_t GetSelectedIndex() const { return mSelectedIndex; }
    const RCPtr<LListBox>& GetListBox() const { return mListBox; }
    const RCPtr<LTextBox>& GetTextBox() const { return mTextBox; }

    // 1 for the text the control has; else selects the item of the text, whatever the case, or none. 0.
    [[nodiscard]] ZVRESULT SetText(const WideString& text) override;
    [[nodiscard]] ZVRESULT OnKeyDown(const RCPtr<LKeyParam>& key) override;
    // Escape from the list or the text box closes the list; the parts' other keys go on to the hot keys.
    void ProcessHotKey(const RCPtr<LKeyParam>& key) override;
    [[nodiscard]] ZVRESULT Initialize() override;
    // Reads "INITIAL_SELECTED_INDEX" (0 without it).
    [[nodiscard]] ZVRESULT ProcessCreateParams() override;
    // The list starts closed and sized to the control, and the control shows its look. ZV_E_FAIL without a list
    // box.
    [[nodiscard]] ZVRESULT OnInitialized() override;
    // The whole text when the looks clip it, else the skin's tool tip.
    WideString GetToolTipText() const override;

protected:
    // The list as wide as the control and at least a row high where the skin leaves that open; its height limits
    // in whole rows. ZV_E_FAIL without a list box.
    [[nodiscard]] ZVRESULT UpdateDropDownSizeLimits();
    // The look of the combo's state (0 to 6), as UpdateLook selects it.
    std::uint32_t GetStateLook();

    bool OfferToNotificationHandlers(const ConstRCPtr<LNotificationDistributor>& sender,
                                     const RCPtr<LNotification>& notification) override;
    void EraseNotificationBindings(const ConstRCPtr<LNotificationDistributor>& distributor, const wchar_t* id) override;

private:
    // Places the list below (or above) the control, as high as the rows need within the room and the skin's cap.
    void PlaceDropDown();
    // Selects the first item of the control's text, or item 0, and scrolls it into view.
    void SelectItemOfText();
    std::int32_t OnListVisibilityChange(const ConstRCPtr<LNotificationDistributor>& sender,
                                        const RCPtr<LNotification>& notification);
    std::int32_t OnItemActivated(const ConstRCPtr<LNotificationDistributor>& sender,
                                 const RCPtr<LNotification>& notification);
    std::int32_t OnTextBoxValidated(const ConstRCPtr<LNotificationDistributor>& sender,
                                    const RCPtr<LNotification>& notification);
    std::int32_t OnTextBoxFocusChange(const ConstRCPtr<LNotificationDistributor>& sender,
                                      const RCPtr<LNotification>& notification);
    // Sends the text box's notification on, unchanged. 1.
    std::int32_t ForwardTextBoxNotification(const ConstRCPtr<LNotificationDistributor>& sender,
                                            const RCPtr<LNotification>& notification);

    RCPtr<LNotificationHandler<LComboBox>> mHandler;
    RCPtr<LListBox> mListBox;
    RCPtr<LTextBox> mTextBox;
    std::int32_t mSelectedIndex = -1;
    std::int32_t mInitialSelectedIndex = 0;
};

}  // namespace ZV
