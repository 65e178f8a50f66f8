#include "Controls/TextEditModel.h"

#include "Controls/TextWords.h"
#include "Platform/TextLocale.h"

#include <algorithm>
#include <cstdlib>

namespace ZV {

namespace {

// The text without count characters from start, which both lie inside it.
WideString WithoutRange(const WideString& text, std::int32_t start, std::int32_t count)
{
    return text.Left(static_cast<std::uint32_t>(start)) + text.MidToEnd(start + count);
}

}  // namespace

bool TextCharacterFilter::Accepts(wchar_t character) const
{
    if (characters.IsEmpty()) {
        return true;
    }
    const bool listed = characters.Find(WideString(character)) >= 0;
    return allows ? listed : !listed;
}

WideString TextEditModel::GetSelectedText() const
{
    return mView->GetEditedText().Mid(mSelectionStart, static_cast<std::uint32_t>(mSelectionLength));
}

ZVRESULT TextEditModel::SetCaretPosition(std::int32_t index, bool force)
{
    if (index < 0 || index > GetTextLength()) {
        return ZV_E_INVALIDARG;
    }
    if (index == mCaret && !force) {
        if (!HasSelection()) {
            mAnchor = mCaret;
        }
        return ZV_S_FALSE;
    }
    const std::int32_t previous = mCaret;
    mCaret = index;
    if (!HasSelection()) {
        mAnchor = index;
    }
    mView->OnCaretPlaced();
    return index == previous ? ZV_S_FALSE : ZV_S_OK;
}

void TextEditModel::StoreSelection(std::int32_t start, std::int32_t length, std::int32_t anchor)
{
    const bool changed = start != mSelectionStart || length != mSelectionLength;
    mSelectionStart = start;
    mSelectionLength = length;
    mAnchor = anchor;
    if (changed) {
        mView->OnSelectionChanged();
    }
}

void TextEditModel::SelectRange(std::int32_t first, std::int32_t last)
{
    const std::int32_t length = GetTextLength();
    if (first == 0 && last == -1) {
        StoreSelection(0, length, 0);
    } else if (first == -1) {
        StoreSelection(0, 0, 0);
    } else if (first >= 0 && first < length && last >= 0 && last < length) {
        const std::int32_t start = std::min(first, last);
        StoreSelection(start, std::abs(last - first) + 1, start);
    }
}

void TextEditModel::SetSelection(std::int32_t start, std::int32_t length, std::int32_t anchor)
{
    if (length < 1) {
        StoreSelection(std::clamp(start, 0, GetTextLength()), 0, mAnchor);
    } else {
        SelectRange(start, start + length - 1);
    }
    mAnchor = anchor;
}

void TextEditModel::ExtendSelectionTo(std::int32_t index)
{
    if (index < 0 || index > GetTextLength()) {
        return;
    }
    SetSelection(std::min(mAnchor, index), std::abs(index - mAnchor), mAnchor);
    (void)SetCaretPosition(index, false);
}

void TextEditModel::ClearSelection()
{
    const bool hadSelection = HasSelection();
    mSelectionStart = 0;
    mSelectionLength = 0;
    mAnchor = 0;
    if (hadSelection) {
        mView->OnSelectionChanged();
    }
}

void TextEditModel::SelectWordAtCaret()
{
    const WideString text = mView->GetEditedText();
    ClearSelection();
    // A caret before a word's first character is on that word, not after the one before it.
    const std::int32_t start = IsWordStart(text, mCaret) ? mCaret : FindPreviousWordStart(text, mCaret);
    (void)SetCaretPosition(start, false);
    std::int32_t end = FindNextWordStart(text, start);
    while (end > start && Platform::IsSpaceUnit(text.GetData()[end - 1])) {
        --end;
    }
    ExtendSelectionTo(end);
}

ZVRESULT TextEditModel::Apply(const WideString& text)
{
    return mView->ApplyEditedText(text);
}

void TextEditModel::InsertCharacter(wchar_t character)
{
    WideString text = mView->GetEditedText();
    if (HasSelection()) {
        text = WithoutRange(text, mSelectionStart, mSelectionLength);
        mCaret = mSelectionStart;
        ClearSelection();
    }
    const bool fits = mMaximumLength == 0 || static_cast<std::int32_t>(text.GetLength()) < mMaximumLength;
    if (fits && Failed(text.InsertChars(static_cast<std::uint32_t>(mCaret), &character, 1))) {
        return;
    }
    if (Apply(text) == ZV_S_OK) {
        (void)SetCaretPosition(mCaret + (fits ? 1 : 0), true);
    }
}

ZVRESULT TextEditModel::DeleteRange(std::int32_t start, std::int32_t count)
{
    const std::int64_t length = GetTextLength();
    if (start < 0 || count < 0 || start >= length || std::int64_t{start} + count > length) {
        return ZV_S_FALSE;
    }
    if (Apply(WithoutRange(mView->GetEditedText(), start, count)) != ZV_S_OK) {
        return ZV_S_FALSE;
    }
    (void)SetCaretPosition(start, true);
    return ZV_S_OK;
}

void TextEditModel::DeleteSelection()
{
    if (!HasSelection()) {
        return;
    }
    const std::int32_t start = mSelectionStart;
    if (Apply(WithoutRange(mView->GetEditedText(), start, mSelectionLength)) == ZV_S_OK) {
        (void)SetCaretPosition(start, true);
    }
}

bool TextEditModel::FitsInPlaceOfSelection(std::int32_t length) const
{
    return mMaximumLength == 0 ||
           std::int64_t{GetTextLength()} - mSelectionLength + length <= std::int64_t{mMaximumLength};
}

ZVRESULT TextEditModel::ReplaceSelection(const WideString& text)
{
    if (!HasSelection() || !FitsInPlaceOfSelection(static_cast<std::int32_t>(text.GetLength()))) {
        return ZV_E_FAIL;
    }
    const std::int32_t start = mSelectionStart;
    const WideString& current = mView->GetEditedText();
    const WideString replaced = current.Left(static_cast<std::uint32_t>(start)) + text +
                                current.MidToEnd(start + mSelectionLength);
    const ZVRESULT result = Apply(replaced);
    ClearSelection();
    (void)SetCaretPosition(start + static_cast<std::int32_t>(text.GetLength()), true);
    return result;
}

ZVRESULT TextEditModel::InsertAtCaret(const WideString& text)
{
    const std::int32_t caret = mCaret;
    if (mMaximumLength != 0 && std::int64_t{GetTextLength()} + text.GetLength() > std::int64_t{mMaximumLength}) {
        return ZV_E_FAIL;
    }
    WideString inserted = mView->GetEditedText();
    if (Failed(inserted.Insert(static_cast<std::uint32_t>(caret), text)) || Apply(inserted) != ZV_S_OK) {
        return ZV_E_FAIL;
    }
    (void)SetCaretPosition(caret + static_cast<std::int32_t>(text.GetLength()), true);
    return ZV_S_OK;
}

void TextEditModel::OnTextReplaced(bool resetCaret)
{
    ClearSelection();
    // Positions moved with the text even where the caret index did not.
    (void)SetCaretPosition(resetCaret ? 0 : std::min(mCaret, GetTextLength()), true);
}

}  // namespace ZV
