#pragma once

#include "Controls/ListBoxItem.h"
#include "Controls/ListBoxRowWidths.h"
#include "Controls/ScrollView.h"
#include "ObjectBase/TaggableObject.h"
#include "Utilities/Storage/Array.h"

#include <cstdint>

namespace ZV {

class LStringTable;

// One row of a list: its content, whose ToString() is the row's text (none: empty text), its selection (selected
// from 0.5; the list writes 1 and 0), and two flags that its row control shows.
struct LListBoxRow {
    RCPtr<LTaggableObject> data;
    double selected = 0;
    bool marked = false;
    bool separator = false;

private:
    friend class LListBox;
    // The list's last measurement of the row, which moves with the row when rows swap.
    bool hasWidth = false;
    std::int32_t width = 0;
};

// A scrolling list of rows, any number of them, shown through a pool of row controls (LListBoxItem) that only
// covers the visible area: row control i shows row GetTopRow() + i, and scrolling refills the controls instead of
// making any. The row controls are made from the skin's "templateItem", or are the skin's own "item1", "item2", ...
//
// The list keeps a selection, single or extended (Shift and Ctrl), with an anchor and a caret row; follows the
// arrow keys and activates the caret row with Return; sorts its rows by text and fits its width to its widest row.
// In item-tracking mode it is the body of a menu: the selection follows the pointer without notifications, a release
// over a row activates it, the list hides after an activation and its height fits all its rows.
//
// Subclasses with wider rows replace the row table (GetRowCount, GetRow, InsertRow, RemoveRow, SwapRows).
//
// Notifications sent: "NID_SELECTION_CHANGE" (not in item-tracking mode), "NID_ITEM_ACTIVATED",
// "NID_ITEM_DOUBLE_CLICKED", and "NID_ITEM_HOVER_CONDITION_CHANGE" and "NID_ITEM_LEFT_DRAG_CONDITION_CHANGE" with an
// LItemConditionsParam.
//
// The bodies: ListBox.cpp (creation and the control base's hooks), ListBoxRows.cpp (the row table and the row
// operations), ListBoxRowControls.cpp (the pool, widths, fitting and scrolling), ListBoxSelection.cpp (selection,
// activation, mouse and keys).
class LListBox : public LScrollView {
public:
    using LScrollView::LScrollView;

    // --- The row table ---

    virtual std::uint32_t GetRowCount() const;
    // The row at an index below GetRowCount().
    virtual LListBoxRow* GetRow(std::uint32_t index);
    const LListBoxRow* GetRow(std::uint32_t index) const { return const_cast<LListBox*>(this)->GetRow(index); }
    // A new empty row before the index (at most the count). 0; ZV_E_INVALIDARG past the count.
    [[nodiscard]] virtual ZVRESULT InsertRow(std::uint32_t index);
    // ZV_E_INVALIDARG past the rows.
    [[nodiscard]] virtual ZVRESULT RemoveRow(std::uint32_t index);
    [[nodiscard]] virtual ZVRESULT SwapRows(std::uint32_t a, std::uint32_t b);
    // The row, or an empty one past the rows.
    const LListBoxRow& GetRowOrEmpty(std::uint32_t row) const;
    WideString GetRowText(std::uint32_t row) const;

    // --- Rows ---

    // Removes rows from the end or appends empty ones: the count, or minus the count reached when it falls short.
    virtual std::int32_t SetRowCount(std::uint32_t count);
    // The row, or ZV_E_INVALIDARG past the count.
    std::int32_t InsertRowWithData(std::uint32_t row, const RCPtr<LTaggableObject>& data);
    // 0; ZV_E_INVALIDARG past the rows.
    [[nodiscard]] ZVRESULT RemoveRowAt(std::uint32_t row);
    // 0; ZV_E_FAIL when a row could not be removed. Anchor and caret end at -1.
    [[nodiscard]] ZVRESULT RemoveAllRows();
    // The rows become the texts of the table's "ITEM.<n>" entries, row n for entry n; numbers without an entry give
    // empty rows. 0; ZV_E_INVALIDARG without a table.
    [[nodiscard]] ZVRESULT LoadItemsFromStringTable(const RCPtr<LStringTable>& table);
    // Rows past the count are left alone.
    void SetRowData(std::uint32_t row, const RCPtr<LTaggableObject>& data);
    void SetRow(std::uint32_t row, const RCPtr<LTaggableObject>& data, double selected, bool marked, bool separator);
    // False past the rows.
    bool SetRowMarked(std::uint32_t row, bool marked);
    bool SetRowSeparator(std::uint32_t row, bool separator);
    bool IsRowMarked(std::uint32_t row) const;
    // Refills the row's control, when it shows; in item-tracking mode fits the list to its rows again.
    void RefreshRow(std::uint32_t row);
    // Orders the rows by text, whatever the case; anchor and caret stay on their rows.
    void SortRows();
    // Row r takes the content of row order[r] for each of the first count rows, or none where order[r] is not
    // below count. A content keeps its measured width where it goes: only rows left empty are measured. Selection
    // and flags stay with the rows (a table sorting its columns sets them itself). ZV_E_INVALIDARG, with nothing
    // changed, when count passes the rows or the order, or the order names a row twice.
    [[nodiscard]] ZVRESULT ReorderRowData(const Array<std::uint32_t>& order, std::uint32_t count);
    // The last row whose text is the text, or -1.
    std::int32_t FindRowByText(const WideString& text, bool caseSensitive) const;
    // Selects the first row with the text after start, going round to the rows up to start (-1: from the first).
    // SelectRange's result, or -1 when no row has it.
    std::int32_t SelectRowByText(const WideString& text, std::int32_t start, bool caseSensitive);

    // --- Selection and activation ---

    // Makes anchor to end (-1: the anchor alone) the selection, or with exclusive false adds them to it; the caret
    // goes to end and is scrolled into view. The anchor, or ZV_E_INVALIDARG for a row past the rows.
    std::int32_t SelectRange(std::uint32_t anchor, std::int32_t end, bool exclusive);
    // 0; 1 when the row is not selected or past the rows. The caret and anchor move to a selected neighbour.
    [[nodiscard]] ZVRESULT DeselectRow(std::uint32_t row);
    // Anchor and caret stay.
    void ClearSelection();
    void SetRowSelected(std::uint32_t row, double selected);
    double GetRowSelected(std::uint32_t row) const;
    // The selected rows in ascending order; the array is the list's own, refilled by each call.
    const Array<std::uint32_t>& CollectSelectedRows();
    std::int32_t GetSelectedCount() const { return mSelectedCount; }
    std::int32_t GetAnchorRow() const { return mAnchorRow; }
    std::int32_t GetCaretRow() const { return mCaretRow; }
    // A selectable row: OnItemInvoked, then in item-tracking mode the list hides, then "NID_ITEM_ACTIVATED".
    void ActivateRow(std::uint32_t row);
    // Several rows may be selected; mode 1 extends with Shift and Ctrl, any other toggles each clicked row.
    void SetMultiSelect(bool multiSelect, std::int32_t selectionMode);
    bool IsMultiSelect() const { return mMultiSelect; }
    // Rows are sorted again after each insertion.
    void SetSorted(bool sorted) { mSorted = sorted; }
    [[nodiscard]] ZVRESULT SetTrackItems(bool trackItems);
    bool IsTrackingItems() const { return mTrackItems; }

    // --- Row controls and scrolling ---

    std::uint32_t GetRowControlCount() const { return mRowControls.GetCount(); }
    // Null past the row controls.
    RCPtr<LListBoxItem> GetRowControl(std::uint32_t index) const;
    // The row a control shows, or -1 for a control of no row.
    std::int32_t GetRowOfControl(const LControl* control) const;
    // The row control's index for the row, or -1 when the row is not shown.
    std::int32_t GetControlIndexOfRow(std::uint32_t row) const;
    // Null when the row is not shown.
    RCPtr<LListBoxItem> GetControlShowingRow(std::uint32_t row) const;
    // The rectangle of the control that shows the row (content coordinates); empty when the row is not shown.
    RectT<double> GetRowControlRect(std::uint32_t row) const;
    // The row under a point of the list, or -1.
    std::int32_t HitTestRow(const PointT<double>& point) const;
    // Scrolls by whole rows until the row shows. 0; ZV_E_INVALIDARG past the rows.
    [[nodiscard]] ZVRESULT EnsureRowVisible(std::uint32_t row);
    std::int32_t GetTopRow() const { return mTopRow; }
    std::int32_t GetRowHeight() const { return mRowHeight; }
    std::int32_t GetWidestRow() const { return mWidestRow; }
    // A list whose vertical scrolling is its parent's, as a column of a table: changes of its rows never move it.
    void SetScrolledByParent(bool scrolledByParent) { mScrolledByParent = scrolledByParent; }
    // 1 when the row is not shown.
    [[nodiscard]] ZVRESULT SetRowHighlighted(std::uint32_t row, bool highlighted);
    // 1 when the row is not shown or its control has no such look.
    [[nodiscard]] ZVRESULT SelectRowControlLook(std::uint32_t row, std::uint32_t look);

    // --- Fitting the list to its rows (1 while many rows change at once) ---

    // The list's height becomes what shows a content of that height.
    [[nodiscard]] ZVRESULT FitHeight(std::int32_t contentHeight);
    [[nodiscard]] ZVRESULT FitWidth(std::int32_t contentWidth);
    // Heights and height limits become whole rows.
    [[nodiscard]] ZVRESULT SnapHeightToRows();

    // --- The hooks of the control base and the scroll view ---

    [[nodiscard]] ZVRESULT ApplyDescriptor(const RCPtr<LControlDescriptor>& descriptor) override;
    [[nodiscard]] ZVRESULT Initialize() override;
    [[nodiscard]] ZVRESULT OnInitialized() override;
    // Without a control: a descriptor named "templateItem" becomes the row template. An "item<n>" row control that
    // comes next in order joins the row controls.
    [[nodiscard]] ZVRESULT AddChild(const RCPtr<LControl>& child, const RCPtr<LControlDescriptor>& descriptor) override;
    void UpdateContentExtent() override;
    void SetScrollOffset(const PointT<double>& oldOffset, const PointT<double>& newOffset) override;
    void InvalidateChildArea(const RCPtr<LControl>& child) override;
    // The list's own look: 0 normal, 1 disabled, 2 focused (0 for a look the skin does not give).
    void SelectStateLook() override;
    void OnChildRemoved(const RCPtr<LControl>& child, std::uint32_t index) override;
    void OnLeftButtonUp(const RCPtr<LMouseButtonParam>& release) override;
    void OnMouseMoved(const RCPtr<LPointWithModifiersParam>& pointer) override;
    [[nodiscard]] ZVRESULT OnKeyDown(const RCPtr<LKeyParam>& key) override;

protected:
    // Called before "NID_SELECTION_CHANGE" goes out.
    virtual void OnSelectionChanged();
    // Called when a row is activated.
    virtual void OnItemInvoked();
    // One more row control from the template, below the last one. 0, or a failure when none could be made.
    [[nodiscard]] virtual ZVRESULT CreateRowControl();
    // Fills the control that shows the row; a row past the rows shows empty and disabled. 1 when no control shows
    // the row.
    [[nodiscard]] virtual ZVRESULT UpdateRowControl(std::uint32_t row);
    // The row's text width plus the row control's margins; 0 past the rows or without row controls.
    virtual std::int32_t GetRowWidth(std::uint32_t row);
    virtual std::int32_t GetContentHeight();
    virtual bool IsRowSelectable(std::uint32_t row);
    void OnScrollBarVisibilityChanged(int axis) override;
    // Without a vertical bar to keep it there, nor a parent that scrolls it, the scroll position stays within the
    // rows.
    void OnClientExtentChanged() override;

    // Refills the row controls from the row's on. 0, or the first failure.
    [[nodiscard]] ZVRESULT UpdateRowsFrom(std::uint32_t row);
    // A list that drops down from a combo hides when a release (a point of the list) lies off the list and off the
    // combo; over the combo it stays, as the click that opened it ends there.
    void HideOnReleaseOutside(const PointT<double>& point);
    // The point, in the control's own coordinates, lies on it.
    static bool LiesOn(const LControl& control, const PointT<double>& point);

    bool OfferToNotificationHandlers(const ConstRCPtr<LNotificationDistributor>& sender,
                                     const RCPtr<LNotification>& notification) override;
    void EraseNotificationBindings(const ConstRCPtr<LNotificationDistributor>& distributor, const wchar_t* id) override;

private:
    // Makes row controls until they reach the bottom of the visible content. 0; 1 without a measured template.
    ZVRESULT FillVisibleArea();
    // Takes the row height and the text margin from a row control, fitting the list's width as the skin asks.
    void MeasureTemplate(LControl& rowTemplate);
    // The skin's numbered row controls, each with a row of its text.
    void AdoptNumberedRowControls();
    // Binds the notifications of a row control that joined the row controls and gives it the list's row behaviour.
    void AttachRowControl(LListBoxItem& control);
    [[nodiscard]] ZVRESULT SetWidestRow(std::int32_t width);
    // Measures every row again (the font or the margins changed, or many rows did), then sets the widest row.
    [[nodiscard]] ZVRESULT RecalcWidestRow();
    // The widest row becomes the widest of the rows' measured widths, all measured again first when they are out
    // of date. 1 while many rows change at once.
    [[nodiscard]] ZVRESULT FollowWidestRow();
    // Measures the row again and counts its new width among the rows'; while many rows change at once, every row
    // is measured again afterwards instead.
    void MeasureRow(std::uint32_t row);
    // The content extent from the widest row and the rows, and the row controls' widths when they follow it.
    [[nodiscard]] ZVRESULT UpdateRowControlWidths();
    bool TemplateExpandsWithText() const;
    // The list's size on the axis becomes what shows that much content.
    [[nodiscard]] ZVRESULT FitAxis(int axis, std::int32_t content);
    // Stores one of a row's flags and refills its control; false past the rows.
    bool SetRowFlag(std::uint32_t row, bool LListBoxRow::*flag, bool value);
    // The width that the vertical bar takes from the client area.
    std::int32_t GetNonClientWidth();
    void SelectionChanged();
    // Makes the row the selection, or adds it to or removes it from the selection, as a click does.
    void ToggleRow(std::int32_t row);
    std::int32_t OnRowMouseDown(const ConstRCPtr<LNotificationDistributor>& sender,
                                const RCPtr<LNotification>& notification);
    std::int32_t OnRowHoverConditionChange(const ConstRCPtr<LNotificationDistributor>& sender,
                                           const RCPtr<LNotification>& notification);
    std::int32_t OnRowLeftDragConditionChange(const ConstRCPtr<LNotificationDistributor>& sender,
                                              const RCPtr<LNotification>& notification);
    // Passes a row control's condition change on under the list's id; 1.
    std::int32_t ForwardRowConditions(const ConstRCPtr<LNotificationDistributor>& sender,
                                      const RCPtr<LNotification>& notification, const wchar_t* id);

    RCPtr<LNotificationHandler<LListBox>> mHandler;
    std::int32_t mTextMargin = 0;
    std::int32_t mWidestRow = 0;
    // The measured widths of the rows, and whether they are out of date.
    ListBoxRowWidths mRowWidths;
    bool mRowWidthsStale = false;
    Array<LListBoxRow> mRows;
    // Each row control's position in the child list, in display order.
    Array<std::uint32_t> mRowControls;
    RCPtr<LControlDescriptor> mTemplateDescriptor;
    std::int32_t mAnchorRow = -1;
    std::int32_t mCaretRow = -1;
    bool mMultiSelect = false;
    std::int32_t mSelectionMode = 1;
    bool mTrackItems = false;
    bool mSorted = false;
    std::int32_t mRowHeight = 14;
    Array<std::uint32_t> mSelectedRows;
    std::int32_t mSelectedCount = 0;
    std::int32_t mRowDragThreshold = 1;
    std::int32_t mTopRow = 0;
    bool mFilling = false;
    bool mCreatingLook = false;
    bool mTemplateMeasured = false;
    bool mBulkUpdate = false;
    bool mScrolledByParent = false;
};

// The vertical offset whose top row shows the last whole row at the bottom, in whole rows as a bar counts them.
double LastTopRowOffset(double contentHeight, double visibleHeight, std::int32_t rowHeight);

}  // namespace ZV
