#pragma once

#include "Controls/Button.h"
#include "Controls/ListBox.h"
#include "Controls/Panel.h"
#include "Utilities/Storage/ArrayBuffer.h"
#include "Utilities/Storage/RCPtrArray.h"

#include <cstdint>

namespace ZV {

// A table shown as list boxes side by side, one a column: the skin's "listboxNoScroll1", "listboxNoScroll2", ...
// Row r of the table is row r of every column. The columns stay in step: a row selected or hovered in one is
// selected or highlighted in all, and they scroll together, by whole rows, under the table's own scrolling. A click
// on the header button "buttonColumnHeader<n>" sorts the table by column n, whatever the case, the other way at the
// next click; rows keep their marks and selection.
//
// Notifications sent: "NID_SELECTION_CHANGE" once after each selection change and after a sort,
// "NID_ITEM_ACTIVATED" and "NID_ITEM_DOUBLE_CLICKED" as a column sends them; none has a parameter.
class LMultiColumnListBox : public LPanel {
public:
    using LPanel::LPanel;

    std::uint32_t GetColumnCount() const { return mColumns.GetCount(); }
    // Null past the columns.
    RCPtr<LListBox> GetColumn(std::uint32_t index) const;
    // The text of a cell; empty for a column or row that does not exist.
    WideString GetCellText(std::uint32_t column, std::uint32_t row) const;
    // Orders the rows by the column's texts, ascending or descending by turns. A column shorter than the first sorts
    // its missing cells as empty ones and keeps its row count, unless one of its own cells sorts past its end: it
    // grows as far as that cell, so that no cell is lost.
    void PerformSort(std::uint32_t column);
    // The row whose hover the columns show; -1 for none.
    std::int32_t GetHoveredRow() const { return mHoveredRow; }

    [[nodiscard]] ZVRESULT Initialize() override;
    [[nodiscard]] ZVRESULT OnInitialized() override;
    // Every column scrolls to the new vertical offset, keeping its own horizontal one.
    void SetScrollOffset(const PointT<double>& oldOffset, const PointT<double>& newOffset) override;
    void InvalidateChildArea(const RCPtr<LControl>& child) override;
    // The rows in view: from the first column's origin, as tall as its client area, as wide as the table's less its
    // vertical bar.
    RectT<double> GetLookClientRect() override;

protected:
    // Without a vertical bar to keep it there, the table's scroll position stays within the first column's rows.
    void OnClientExtentChanged() override;
    bool OfferToNotificationHandlers(const ConstRCPtr<LNotificationDistributor>& sender,
                                     const RCPtr<LNotification>& notification) override;
    void EraseNotificationBindings(const ConstRCPtr<LNotificationDistributor>& distributor, const wchar_t* id) override;

private:
    // The content: as wide as the columns reach, as tall as the first column's rows.
    void UpdateClientExtent();
    // A column without a minimum height of its own is at least a row tall.
    void ApplyColumnSizeDefaults();
    std::int32_t IndexOfColumn(const LNotificationDistributor* sender) const;

    std::int32_t OnColumnSelectionChange(const ConstRCPtr<LNotificationDistributor>& sender,
                                         const RCPtr<LNotification>& notification);
    std::int32_t OnColumnHoverChange(const ConstRCPtr<LNotificationDistributor>& sender,
                                     const RCPtr<LNotification>& notification);
    std::int32_t OnColumnItemActivated(const ConstRCPtr<LNotificationDistributor>& sender,
                                       const RCPtr<LNotification>& notification);
    std::int32_t OnColumnItemDoubleClicked(const ConstRCPtr<LNotificationDistributor>& sender,
                                           const RCPtr<LNotification>& notification);
    std::int32_t OnFirstColumnScrolled(const ConstRCPtr<LNotificationDistributor>& sender,
                                       const RCPtr<LNotification>& notification);
    std::int32_t OnFirstColumnExtentChange(const ConstRCPtr<LNotificationDistributor>& sender,
                                           const RCPtr<LNotification>& notification);
    std::int32_t OnHeaderClick(const ConstRCPtr<LNotificationDistributor>& sender,
                               const RCPtr<LNotification>& notification);

    RCPtr<LNotificationHandler<LMultiColumnListBox>> mOwnHandler;
    RCPtrArray<LListBox> mColumns;
    // Header n sorts column n.
    RCPtrArray<LButton> mHeaders;
    // Per column: the next sort by it is ascending.
    ArrayBuffer<bool> mAscending;
    std::int32_t mHoveredRow = -1;
};

}  // namespace ZV
