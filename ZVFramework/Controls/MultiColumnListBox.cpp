#include "Controls/MultiColumnListBox.h"

#include "ControlBase/ConditionMask.h"
#include "ControlBase/LayoutDescriptor.h"
#include "ControlBase/NotificationSending.h"
#include "Controls/ListBoxParams.h"
#include "Controls/ListBoxTextOrder.h"
#include "Notification/AutoNotificationDisabler.h"
#include "ObjectBase/Exception.h"

#include <algorithm>
#include <memory>
#include <new>
#include <vector>

namespace ZV {

namespace {

using Disabler = CAutoNotificationDisabler<LMultiColumnListBox>;

const wchar_t kSelectionChange[] = L"NID_SELECTION_CHANGE";
const wchar_t kScrollOffsetChange[] = L"NID_SCROLL_OFFSET_CHANGE";

// Docked on Y the control stays where it is while the table scrolls its rows.
void DockVertically(LControl& control)
{
    const PositionRule position = control.GetLayoutDescriptor()->yPosition;
    const SizeRule size = control.GetLayoutDescriptor()->ySize;
    (void)control.SetAxisPlacement(1, position, true, size);
}

template <class T>
void Append(RCPtrArray<T>& array, const RCPtr<T>& item)
{
    if (Failed(array.AddItem(item))) {
        throw Exception<std::bad_alloc>();
    }
}

}  // namespace

RCPtr<LListBox> LMultiColumnListBox::GetColumn(std::uint32_t index) const
{
    return index < mColumns.GetCount() ? mColumns.GetData()[index] : nullptr;
}

WideString LMultiColumnListBox::GetCellText(std::uint32_t column, std::uint32_t row) const
{
    return column < mColumns.GetCount() ? mColumns.GetData()[column]->GetRowText(row) : WideString();
}

ZVRESULT LMultiColumnListBox::Initialize()
{
    const ZVRESULT result = LPanel::Initialize();
    mOwnHandler = new LNotificationHandler<LMultiColumnListBox>(this);
    for (std::uint32_t number = 1;; ++number) {
        const RCPtr<LListBox> column(FindChildByName(WideString::Format(L"listboxNoScroll%u", number)));
        if (!column) {
            break;
        }
        Append(mColumns, column);
        // A column that cannot be heard still shows its rows; it only falls out of step.
        (void)mOwnHandler->AddHandler(&LMultiColumnListBox::OnColumnHoverChange, column,
                                      L"NID_ITEM_HOVER_CONDITION_CHANGE", 0);
        (void)mOwnHandler->AddHandler(&LMultiColumnListBox::OnColumnSelectionChange, column, kSelectionChange, 0);
        (void)mOwnHandler->AddHandler(&LMultiColumnListBox::OnColumnItemActivated, column, L"NID_ITEM_ACTIVATED", 0);
        (void)mOwnHandler->AddHandler(&LMultiColumnListBox::OnColumnItemDoubleClicked, column,
                                      L"NID_ITEM_DOUBLE_CLICKED", 0);
        if (number == 1) {
            (void)mOwnHandler->AddHandler(&LMultiColumnListBox::OnFirstColumnScrolled, column, kScrollOffsetChange, 0);
            (void)mOwnHandler->AddHandler(&LMultiColumnListBox::OnFirstColumnExtentChange, column,
                                          L"NID_CLIENT_EXTENT_CHANGE", 0);
        }
        DockVertically(*column);
        // Row r of the table is row r of every column: only the table moves them.
        column->SetScrolledByParent(true);
    }
    for (std::uint32_t number = 1;; ++number) {
        const RCPtr<LButton> header(FindChildByName(WideString::Format(L"buttonColumnHeader%u", number)));
        if (!header) {
            break;
        }
        Append(mHeaders, header);
        (void)mOwnHandler->AddHandler(&LMultiColumnListBox::OnHeaderClick, header, L"NID_LEFT_CLICK", 0);
        DockVertically(*header);
    }
    if (Failed(mAscending.SetCount(mColumns.GetCount()))) {
        throw Exception<std::bad_alloc>();
    }
    std::fill_n(mAscending.GetData(), mAscending.GetCount(), true);
    // The extent is the columns', which UpdateClientExtent sets.
    (void)SetAutoClientExtent(0, 0, 0);
    return result;
}

ZVRESULT LMultiColumnListBox::OnInitialized()
{
    const ZVRESULT result = LPanel::OnInitialized();
    if (mColumns.GetCount() == 0) {
        return result;
    }
    // Keys go to the first column, whose selection the others follow.
    for (std::uint32_t index = 1; index < mColumns.GetCount(); ++index) {
        mColumns.GetData()[index]->FixNotFocusable(true);
    }
    // The table scrolls by whole rows.
    SetScrollStep(1, mColumns.GetData()[0]->GetRowHeight());
    ApplyColumnSizeDefaults();
    UpdateClientExtent();
    return result;
}

void LMultiColumnListBox::ApplyColumnSizeDefaults()
{
    for (std::uint32_t index = mColumns.GetCount(); index-- > 0;) {
        LListBox& column = *mColumns.GetData()[index];
        const SubControlSettings& rules = *column.GetLayoutDescriptor();
        if (!rules.yMinimum.toControl && rules.yMinimum.abs <= 0) {
            LimitRule minimum;
            minimum.abs = column.GetRowHeight();
            (void)column.SetAxisSizeLimits(1, minimum, rules.yMaximum);
        }
    }
}

void LMultiColumnListBox::UpdateClientExtent()
{
    if (mColumns.GetCount() == 0) {
        return;
    }
    const LListBox& last = *mColumns.GetData()[mColumns.GetCount() - 1];
    (void)SetClientExtent(last.GetPosition().x + last.GetSize().x, mColumns.GetData()[0]->GetClientExtent().y);
}

void LMultiColumnListBox::OnClientExtentChanged()
{
    LPanel::OnClientExtentChanged();
    if (GetVerticalBar() || mColumns.GetCount() == 0) {
        return;
    }
    const double lastTop =
        LastTopRowOffset(GetClientExtent().y, GetLookClientRect().height, mColumns.GetData()[0]->GetRowHeight());
    if (GetScrollOffset().y > lastTop) {
        (void)ScrollTo({GetScrollOffset().x, lastTop});
    }
}

void LMultiColumnListBox::SetScrollOffset(const PointT<double>& oldOffset, const PointT<double>& newOffset)
{
    if (mColumns.GetCount() != 0 && mOwnHandler) {
        // The first column's own report of the scroll would come back here.
        const Disabler quiet(mOwnHandler, mColumns.GetData()[0], kScrollOffsetChange);
        for (std::uint32_t index = 0; index < mColumns.GetCount(); ++index) {
            LListBox& column = *mColumns.GetData()[index];
            (void)column.ScrollTo({column.GetScrollOffset().x, newOffset.y});
        }
    }
    LPanel::SetScrollOffset(oldOffset, newOffset);
}

void LMultiColumnListBox::InvalidateChildArea(const RCPtr<LControl>& child)
{
    LPanel::InvalidateChildArea(child);
    if (mColumns.GetCount() != 0 && child == mColumns.GetData()[mColumns.GetCount() - 1]) {
        UpdateClientExtent();
    }
}

RectT<double> LMultiColumnListBox::GetLookClientRect()
{
    if (mColumns.GetCount() == 0) {
        return {};
    }
    const LListBox& first = *mColumns.GetData()[0];
    const RCPtr<LScrollbar>& bar = GetVerticalBar();
    // A hidden bar has no width.
    const double barWidth = bar ? bar->GetSize().x : 0.0;
    return {first.GetPosition().x, first.GetPosition().y, GetClientRect(-1).width - barWidth,
            first.GetClientRect(-1).height};
}

void LMultiColumnListBox::PerformSort(std::uint32_t column)
{
    if (column >= mColumns.GetCount()) {
        return;
    }
    const RCPtr<LMultiColumnListBox> self(this);
    LListBox& first = *mColumns.GetData()[0];
    const std::uint32_t count = first.GetRowCount();
    std::vector<bool> marked(count);
    std::vector<bool> selected(count);
    for (std::uint32_t row = 0; row < count; ++row) {
        marked[row] = first.IsRowMarked(row);
    }
    const Array<std::uint32_t>& selectedRows = first.CollectSelectedRows();
    for (std::uint32_t index = 0; index < selectedRows.GetCount(); ++index) {
        selected[*selectedRows.GetItemPointer(index)] = true;
    }

    const bool ascending = mAscending.GetData()[column];
    ListBoxTextOrder texts(count);
    for (std::uint32_t row = 0; row < count; ++row) {
        texts.Add(GetCellText(column, row));
    }
    // from[r]: the row whose cells go to row r.
    Array<std::uint32_t> order;
    texts.Sort(ascending, order);
    const std::uint32_t* const from = order.GetData();
    // A column shorter than the first keeps its row count, unless one of its cells sorts past its end: then it grows
    // as far as that cell. All grow before any moves, so that a column that cannot grow leaves the table unsorted.
    for (std::uint32_t index = mColumns.GetCount(); index-- > 0;) {
        LListBox& list = *mColumns.GetData()[index];
        const std::uint32_t ownRows = list.GetRowCount();
        std::uint32_t neededRows = ownRows;
        for (std::uint32_t row = 0; row < count; ++row) {
            if (from[row] < ownRows) {
                neededRows = std::max(neededRows, row + 1);
            }
        }
        if (neededRows > ownRows && list.SetRowCount(neededRows) < 0) {
            ZV_THROW_OUT_OF_MEMORY();
        }
    }
    mAscending.GetData()[column] = !ascending;

    {
        // The columns' selections change here, row by row: none of it comes back as a change in a column.
        std::vector<std::unique_ptr<Disabler>> quiet;
        for (std::uint32_t index = mColumns.GetCount(); index-- > 0;) {
            quiet.push_back(std::make_unique<Disabler>(mOwnHandler, mColumns.GetData()[index], kSelectionChange));
        }
        for (std::uint32_t index = mColumns.GetCount(); index-- > 0;) {
            mColumns.GetData()[index]->ClearSelection();
        }
        // Grown as far as its cells go, a column holds all its cells in the rows that the sort reaches.
        for (std::uint32_t index = mColumns.GetCount(); index-- > 0;) {
            LListBox& list = *mColumns.GetData()[index];
            (void)list.ReorderRowData(order, std::min(count, list.GetRowCount()));
        }
        for (std::uint32_t row = count; row-- > 0;) {
            for (std::uint32_t index = 0; index < mColumns.GetCount(); ++index) {
                (void)mColumns.GetData()[index]->SetRowMarked(row, marked[from[row]]);
            }
            for (std::uint32_t index = 0; selected[from[row]] && index < mColumns.GetCount(); ++index) {
                if (mColumns.GetData()[index]->SelectRange(row, -1, false) < 0) {
                    break;
                }
            }
        }
    }
    SendNewNotification(*this, kSelectionChange, nullptr);
}

std::int32_t LMultiColumnListBox::IndexOfColumn(const LNotificationDistributor* sender) const
{
    for (std::uint32_t index = mColumns.GetCount(); index-- > 0;) {
        if (static_cast<const LNotificationDistributor*>(mColumns.GetData()[index].Get()) == sender) {
            return static_cast<std::int32_t>(index);
        }
    }
    return -1;
}

std::int32_t LMultiColumnListBox::OnColumnSelectionChange(const ConstRCPtr<LNotificationDistributor>& sender,
                                                          const RCPtr<LNotification>&)
{
    const std::int32_t changed = IndexOfColumn(sender.Get());
    if (changed < 0) {
        return 1;
    }
    const RCPtr<LMultiColumnListBox> self(this);
    const LListBox& source = *mColumns.GetData()[changed];
    const bool exclusive = !mColumns.GetData()[0]->IsMultiSelect();
    for (std::uint32_t row = mColumns.GetData()[0]->GetRowCount(); row-- > 0;) {
        const bool selected = source.GetRowSelected(row) >= 0.5;
        for (std::uint32_t index = mColumns.GetCount(); index-- > 0;) {
            const RCPtr<LListBox>& other = mColumns.GetData()[index];
            if (static_cast<std::int32_t>(index) == changed || (other->GetRowSelected(row) >= 0.5) == selected) {
                continue;
            }
            const Disabler quiet(mOwnHandler, other, kSelectionChange);
            if (selected) {
                (void)other->SelectRange(row, -1, exclusive);
            } else {
                (void)other->DeselectRow(row);
            }
        }
    }
    SendNewNotification(*this, kSelectionChange, nullptr);
    return 1;
}

std::int32_t LMultiColumnListBox::OnColumnHoverChange(const ConstRCPtr<LNotificationDistributor>& sender,
                                                      const RCPtr<LNotification>& notification)
{
    const std::int32_t changed = IndexOfColumn(sender.Get());
    const ConstRCPtr<LItemConditionsParam> item(notification->GetParameter());
    if (changed < 0 || !item || item->GetRow() < 0) {
        return 1;
    }
    const std::uint32_t hot = ConditionMask::kHoverOrHighlighted;
    const bool wasHot = (item->GetPreviousConditions() & hot) != 0;
    const bool isHot = (item->GetCurrentConditions() & hot) != 0;
    if (isHot && !wasHot && !item->IsHover()) {
        return 1;
    }
    const auto row = static_cast<std::uint32_t>(item->GetRow());
    if (isHot != wasHot) {
        mHoveredRow = isHot ? item->GetRow() : -1;
    }
    // Highlighting a row in another column comes back from it as a change without the pointer, which stops here.
    for (std::uint32_t index = mColumns.GetCount(); index-- > 0;) {
        LListBox& other = *mColumns.GetData()[index];
        if (static_cast<std::int32_t>(index) == changed) {
            continue;
        }
        if (isHot != wasHot) {
            (void)other.SetRowHighlighted(row, isHot);
        } else if (item->GetLook() >= 0) {
            (void)other.SelectRowControlLook(row, static_cast<std::uint32_t>(item->GetLook()));
        }
    }
    return 1;
}

std::int32_t LMultiColumnListBox::OnColumnItemActivated(const ConstRCPtr<LNotificationDistributor>&,
                                                        const RCPtr<LNotification>&)
{
    SendNewNotification(*this, L"NID_ITEM_ACTIVATED", nullptr);
    return 1;
}

std::int32_t LMultiColumnListBox::OnColumnItemDoubleClicked(const ConstRCPtr<LNotificationDistributor>&,
                                                            const RCPtr<LNotification>&)
{
    SendNewNotification(*this, L"NID_ITEM_DOUBLE_CLICKED", nullptr);
    return 1;
}

std::int32_t LMultiColumnListBox::OnFirstColumnScrolled(const ConstRCPtr<LNotificationDistributor>&,
                                                        const RCPtr<LNotification>&)
{
    (void)ScrollTo(mColumns.GetData()[0]->GetScrollOffset());
    return 1;
}

std::int32_t LMultiColumnListBox::OnFirstColumnExtentChange(const ConstRCPtr<LNotificationDistributor>&,
                                                            const RCPtr<LNotification>&)
{
    SetScrollStep(1, mColumns.GetData()[0]->GetRowHeight());
    UpdateClientExtent();
    return 1;
}

std::int32_t LMultiColumnListBox::OnHeaderClick(const ConstRCPtr<LNotificationDistributor>& sender,
                                                const RCPtr<LNotification>&)
{
    for (std::uint32_t index = mHeaders.GetCount(); index-- > 0;) {
        if (static_cast<const LNotificationDistributor*>(mHeaders.GetData()[index].Get()) == sender.Get()) {
            PerformSort(index);
            break;
        }
    }
    return 1;
}

bool LMultiColumnListBox::OfferToNotificationHandlers(const ConstRCPtr<LNotificationDistributor>& sender,
                                                      const RCPtr<LNotification>& notification)
{
    return OfferToHandler(mOwnHandler, sender, notification) ||
           LPanel::OfferToNotificationHandlers(sender, notification);
}

void LMultiColumnListBox::EraseNotificationBindings(const ConstRCPtr<LNotificationDistributor>& distributor,
                                                    const wchar_t* id)
{
    EraseFromHandler(mOwnHandler, distributor, id);
    LPanel::EraseNotificationBindings(distributor, id);
}

}  // namespace ZV
