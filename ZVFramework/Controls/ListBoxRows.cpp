// The row table of a list and the operations on its rows: inserting, removing, loading, changing and sorting them.
#include "Controls/ListBox.h"

#include "ControlBase/StringTable.h"
#include "Controls/ListBoxTextOrder.h"
#include "Utilities/Storage/WrapperStringable.h"

#include <cstdint>
#include <utility>
#include <vector>

namespace ZV {

namespace {

const wchar_t kItemPrefix[] = L"ITEM.";
// A string table names rows up to this number; a larger one is a mistake that must not claim that much memory.
constexpr std::int64_t kLargestItemNumber = 65535;

// The number after "ITEM." as the C library's _wtoi reads it: blanks, a sign, the digits up to the first other
// character, 0 without any. -1 for a negative number or one beyond kLargestItemNumber.
std::int64_t ItemNumber(const WideString& key)
{
    const wchar_t* text = key.GetData() + (sizeof(kItemPrefix) / sizeof(wchar_t) - 1);
    while (*text == L' ' || *text == L'\t' || *text == L'\n' || *text == L'\r' || *text == L'\f' || *text == L'\v') {
        ++text;
    }
    bool negative = false;
    if (*text == L'+' || *text == L'-') {
        negative = *text == L'-';
        ++text;
    }
    std::int64_t number = 0;
    for (; *text >= L'0' && *text <= L'9'; ++text) {
        number = number * 10 + (*text - L'0');
        if (number > kLargestItemNumber) {
            return -1;
        }
    }
    return negative && number != 0 ? -1 : number;
}

bool StartsWith(const WideString& text, const wchar_t* prefix)
{
    const WideString start(prefix);
    return text.GetLength() >= start.GetLength() && text.Left(start.GetLength()) == start;
}

// Keeps bulkUpdate set for a batch and gives it back as it was, so that batches nest.
class BulkUpdateScope {
public:
    BulkUpdateScope(bool& flag) : mFlag(flag), mWas(flag) { mFlag = true; }
    BulkUpdateScope(const BulkUpdateScope&) = delete;
    BulkUpdateScope& operator=(const BulkUpdateScope&) = delete;
    ~BulkUpdateScope() { mFlag = mWas; }

private:
    bool& mFlag;
    bool mWas;
};

}  // namespace

std::uint32_t LListBox::GetRowCount() const
{
    return mRows.GetCount();
}

LListBoxRow* LListBox::GetRow(std::uint32_t index)
{
    return mRows.GetItemPointer(index);
}

ZVRESULT LListBox::InsertRow(std::uint32_t index)
{
    return Failed(mRows.InsertItem(index, LListBoxRow())) ? ZV_E_INVALIDARG : ZV_S_OK;
}

ZVRESULT LListBox::RemoveRow(std::uint32_t index)
{
    return Failed(mRows.RemoveRange(index, 1)) ? ZV_E_INVALIDARG : ZV_S_OK;
}

ZVRESULT LListBox::SwapRows(std::uint32_t a, std::uint32_t b)
{
    if (a >= GetRowCount() || b >= GetRowCount()) {
        return ZV_E_INVALIDARG;
    }
    std::swap(*GetRow(a), *GetRow(b));
    return ZV_S_OK;
}

const LListBoxRow& LListBox::GetRowOrEmpty(std::uint32_t row) const
{
    static const LListBoxRow kEmptyRow;
    return row < GetRowCount() ? *GetRow(row) : kEmptyRow;
}

WideString LListBox::GetRowText(std::uint32_t row) const
{
    const RCPtr<LTaggableObject>& data = GetRowOrEmpty(row).data;
    return data ? data->ToString() : WideString();
}

std::int32_t LListBox::SetRowCount(std::uint32_t count)
{
    if (count == GetRowCount()) {
        return static_cast<std::int32_t>(count);
    }
    {
        const BulkUpdateScope bulk(mBulkUpdate);
        for (std::uint32_t row = GetRowCount(); row-- > count;) {
            (void)RemoveRowAt(row);
        }
        while (GetRowCount() < count && InsertRowWithData(GetRowCount(), nullptr) >= 0) {
        }
    }
    (void)UpdateRowControlWidths();
    (void)RecalcWidestRow();
    if (mTrackItems) {
        (void)FitHeight(GetContentHeight());
    }
    const auto reached = static_cast<std::int32_t>(GetRowCount());
    return GetRowCount() == count ? reached : -reached;
}

std::int32_t LListBox::InsertRowWithData(std::uint32_t row, const RCPtr<LTaggableObject>& data)
{
    if (Failed(InsertRow(row))) {
        return ZV_E_INVALIDARG;
    }
    GetRow(row)->data = data;
    (void)FillVisibleArea();
    (void)UpdateRowsFrom(row);
    (void)UpdateRowControlWidths();
    MeasureRow(row);
    (void)FollowWidestRow();
    if (mTrackItems) {
        (void)FitHeight(GetContentHeight());
    }
    if (mSorted) {
        SortRows();
    }
    return static_cast<std::int32_t>(row);
}

ZVRESULT LListBox::RemoveRowAt(std::uint32_t row)
{
    if (row >= GetRowCount()) {
        return ZV_E_INVALIDARG;
    }
    (void)DeselectRow(row);
    // The subscribers told of the selection may have changed the rows.
    if (row >= GetRowCount()) {
        return ZV_E_FAIL;
    }
    const LListBoxRow& removed = *GetRow(row);
    const bool measured = removed.hasWidth;
    const std::int32_t width = removed.width;
    if (Failed(RemoveRow(row))) {
        return ZV_E_FAIL;
    }
    if (measured) {
        mRowWidths.Remove(width);
    }
    const auto count = static_cast<std::int32_t>(GetRowCount());
    if (mCaretRow >= count || mAnchorRow >= count) {
        mCaretRow = -1;
        mAnchorRow = -1;
    }
    (void)FillVisibleArea();
    (void)UpdateRowsFrom(row);
    // The content is a row shorter: the scroll range follows.
    (void)UpdateRowControlWidths();
    (void)FollowWidestRow();
    if (mTrackItems) {
        (void)FitHeight(GetContentHeight());
    }
    return ZV_S_OK;
}

ZVRESULT LListBox::RemoveAllRows()
{
    ZVRESULT result = ZV_S_OK;
    {
        const BulkUpdateScope bulk(mBulkUpdate);
        for (std::uint32_t row = GetRowCount(); row-- > 0;) {
            if (Failed(RemoveRowAt(row))) {
                result = ZV_E_FAIL;
            }
        }
        mAnchorRow = -1;
        mCaretRow = -1;
    }
    (void)UpdateRowControlWidths();
    (void)RecalcWidestRow();
    if (mTrackItems) {
        (void)FitHeight(GetContentHeight());
    }
    return result;
}

ZVRESULT LListBox::LoadItemsFromStringTable(const RCPtr<LStringTable>& table)
{
    if (!table) {
        return ZV_E_INVALIDARG;
    }
    StringPairArray entries;
    table->GetAllEntries(entries);
    Array<WideString> texts;
    for (std::uint32_t index = 0; index < entries.GetCount(); ++index) {
        const StringPair& entry = entries.GetData()[index];
        if (!StartsWith(entry.first, kItemPrefix)) {
            continue;
        }
        const std::int64_t number = ItemNumber(entry.first);
        if (number < 0) {
            continue;
        }
        const auto item = static_cast<std::uint32_t>(number);
        if (item >= texts.GetCount()) {
            (void)texts.SetCount(item + 1);
        }
        texts.GetData()[item] = entry.second;
    }
    {
        const BulkUpdateScope bulk(mBulkUpdate);
        (void)SetRowCount(texts.GetCount());
        for (std::uint32_t row = 0; row < texts.GetCount() && row < GetRowCount(); ++row) {
            SetRowData(row, LStringWrapper::Create(texts.GetData()[row]));
        }
    }
    (void)UpdateRowControlWidths();
    (void)RecalcWidestRow();
    if (mTrackItems) {
        (void)FitHeight(GetContentHeight());
    }
    return ZV_S_OK;
}

void LListBox::SetRowData(std::uint32_t row, const RCPtr<LTaggableObject>& data)
{
    if (row >= GetRowCount()) {
        return;
    }
    GetRow(row)->data = data;
    RefreshRow(row);
    MeasureRow(row);
    (void)FollowWidestRow();
}

void LListBox::SetRow(std::uint32_t row, const RCPtr<LTaggableObject>& data, double selected, bool marked,
                      bool separator)
{
    if (row >= GetRowCount()) {
        return;
    }
    LListBoxRow& stored = *GetRow(row);
    // The count of selected rows follows, so that the selection rules that read it stay right.
    mSelectedCount += (selected >= 0.5 ? 1 : 0) - (stored.selected >= 0.5 ? 1 : 0);
    stored.data = data;
    stored.selected = selected;
    stored.marked = marked;
    stored.separator = separator;
    RefreshRow(row);
    // The widest row stays for callers that size the list themselves; the row's width counts from the next change.
    MeasureRow(row);
}

bool LListBox::SetRowMarked(std::uint32_t row, bool marked)
{
    return SetRowFlag(row, &LListBoxRow::marked, marked);
}

bool LListBox::SetRowSeparator(std::uint32_t row, bool separator)
{
    return SetRowFlag(row, &LListBoxRow::separator, separator);
}

bool LListBox::SetRowFlag(std::uint32_t row, bool LListBoxRow::*flag, bool value)
{
    if (row >= GetRowCount()) {
        return false;
    }
    GetRow(row)->*flag = value;
    (void)UpdateRowControl(row);
    return true;
}

bool LListBox::IsRowMarked(std::uint32_t row) const
{
    return GetRowOrEmpty(row).marked;
}

void LListBox::RefreshRow(std::uint32_t row)
{
    if (const RCPtr<LListBoxItem> control = GetControlShowingRow(row)) {
        (void)control->SetText(GetRowText(row));
        (void)UpdateRowControl(row);
    }
    if (mTrackItems) {
        (void)UpdateRowControlWidths();
        (void)FitHeight(GetContentHeight());
    }
}

void LListBox::SortRows()
{
    const std::uint32_t count = GetRowCount();
    ListBoxTextOrder texts(count);
    for (std::uint32_t row = 0; row < count; ++row) {
        texts.Add(GetRowText(row));
    }
    Array<std::uint32_t> order;
    texts.Sort(true, order);
    const std::uint32_t* const sorted = order.GetData();
    // Where each row goes, for the anchor and the caret, which stay on their rows.
    Array<std::uint32_t> destination;
    (void)destination.SetCount(count);
    for (std::uint32_t position = 0; position < count; ++position) {
        destination.GetData()[sorted[position]] = position;
    }
    const auto follow = [&destination](std::int32_t row) {
        return row >= 0 && static_cast<std::uint32_t>(row) < destination.GetCount()
                   ? static_cast<std::int32_t>(destination.GetData()[row])
                   : row;
    };
    mAnchorRow = follow(mAnchorRow);
    mCaretRow = follow(mCaretRow);
    // In place: where each original row is now, and which original row each place holds.
    Array<std::uint32_t> placeOf;
    Array<std::uint32_t> rowAt;
    (void)placeOf.SetCount(count);
    (void)rowAt.SetCount(count);
    for (std::uint32_t row = 0; row < count; ++row) {
        placeOf.GetData()[row] = row;
        rowAt.GetData()[row] = row;
    }
    for (std::uint32_t position = 0; position < count; ++position) {
        const std::uint32_t wanted = sorted[position];
        const std::uint32_t from = placeOf.GetData()[wanted];
        if (from == position) {
            continue;
        }
        (void)SwapRows(position, from);
        const std::uint32_t displaced = rowAt.GetData()[position];
        placeOf.GetData()[displaced] = from;
        rowAt.GetData()[from] = displaced;
        placeOf.GetData()[wanted] = position;
        rowAt.GetData()[position] = wanted;
    }
    (void)UpdateRowsFrom(static_cast<std::uint32_t>(mTopRow));
    if (mCaretRow >= 0) {
        (void)EnsureRowVisible(static_cast<std::uint32_t>(mCaretRow));
    }
}

ZVRESULT LListBox::ReorderRowData(const Array<std::uint32_t>& order, std::uint32_t count)
{
    if (count > order.GetCount() || count > GetRowCount()) {
        return ZV_E_INVALIDARG;
    }
    const std::uint32_t* const from = order.GetData();
    std::vector<bool> taken(count);
    for (std::uint32_t row = 0; row < count; ++row) {
        if (from[row] < count) {
            if (taken[from[row]]) {
                return ZV_E_INVALIDARG;
            }
            taken[from[row]] = true;
        }
    }
    // The contents move out and back in their new places, with their widths: only rows left empty are measured.
    std::vector<LListBoxRow> moved(count);
    for (std::uint32_t row = 0; row < count; ++row) {
        moved[row] = std::move(*GetRow(row));
        if (!taken[row] && moved[row].hasWidth) {
            mRowWidths.Remove(moved[row].width);
        }
    }
    for (std::uint32_t row = 0; row < count; ++row) {
        LListBoxRow& target = *GetRow(row);
        if (from[row] < count) {
            LListBoxRow& content = moved[from[row]];
            target.data = std::move(content.data);
            target.hasWidth = content.hasWidth;
            target.width = content.width;
        } else {
            target.data = nullptr;
            target.hasWidth = false;
            MeasureRow(row);
        }
    }
    (void)UpdateRowsFrom(static_cast<std::uint32_t>(mTopRow));
    (void)FollowWidestRow();
    if (mTrackItems) {
        (void)UpdateRowControlWidths();
        (void)FitHeight(GetContentHeight());
    }
    return ZV_S_OK;
}

std::int32_t LListBox::FindRowByText(const WideString& text, bool caseSensitive) const
{
    for (std::uint32_t row = GetRowCount(); row-- > 0;) {
        const WideString rowText = GetRowText(row);
        if (caseSensitive ? rowText == text : rowText.EqualsNoCase(text)) {
            return static_cast<std::int32_t>(row);
        }
    }
    return -1;
}

std::int32_t LListBox::SelectRowByText(const WideString& text, std::int32_t start, bool caseSensitive)
{
    const auto count = static_cast<std::int64_t>(GetRowCount());
    if (start < -1 || start >= count) {
        start = -1;
    }
    for (std::int64_t step = 1; step <= count; ++step) {
        const auto row = static_cast<std::uint32_t>((start + step) % count);
        const WideString rowText = GetRowText(row);
        if (caseSensitive ? rowText == text : rowText.EqualsNoCase(text)) {
            return SelectRange(row, -1, true);
        }
    }
    return -1;
}

}  // namespace ZV
