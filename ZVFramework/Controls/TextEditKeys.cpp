// The keys of a one-line editor: caret moves, selection by Shift, words by Ctrl, deletions, Return and typed
// characters.
#include "Controls/TextEditModel.h"

#include "Controls/EditingKeys.h"
#include "Controls/TextWords.h"
#include "Platform/TextLocale.h"

#include <algorithm>

namespace ZV {

namespace {

constexpr std::uint32_t kShift = kModifierShift;
constexpr std::uint32_t kCtrl = kModifierCtrl;

// The code of the key going down with exactly these modifiers.
constexpr std::uint32_t Press(std::uint8_t virtualKey, std::uint32_t modifiers = 0)
{
    return KeyCode(virtualKey, true, 0, modifiers).code;
}

bool IsUpOrDown(std::uint32_t code)
{
    for (const std::uint8_t key : {kKeyUp, kKeyDown}) {
        for (const std::uint32_t modifiers : {0u, kShift, kCtrl, kCtrl | kShift}) {
            if (code == Press(key, modifiers)) {
                return true;
            }
        }
    }
    return false;
}

// Keys whose characters arrive as character events of their own.
bool IsTypingKey(std::uint8_t virtualKey)
{
    return virtualKey == kKeySpace || (virtualKey >= '0' && virtualKey <= '9') ||
           (virtualKey >= 'A' && virtualKey <= 'Z');
}

}  // namespace

ZVRESULT TextEditModel::MoveCaretTo(std::int32_t index)
{
    ClearSelection();
    (void)SetCaretPosition(std::clamp(index, 0, GetTextLength()), false);
    return ZV_S_OK;
}

ZVRESULT TextEditModel::ExtendByCharacter(bool forward)
{
    if (forward ? mCaret >= GetTextLength() : mCaret <= 0) {
        return ZV_S_OK;
    }
    const std::int32_t anchor = mAnchor;
    if (!HasSelection()) {
        SetSelection(forward ? mCaret : mCaret - 1, 1, mCaret);
    } else if (forward ? mCaret < anchor : mCaret > anchor) {
        // The caret is at the moving end's far side: the selection shrinks there.
        SetSelection(forward ? mSelectionStart + 1 : mSelectionStart, mSelectionLength - 1, anchor);
    } else {
        SetSelection(forward ? mSelectionStart : mSelectionStart - 1, mSelectionLength + 1, anchor);
    }
    (void)SetCaretPosition(mCaret + (forward ? 1 : -1), false);
    return ZV_S_OK;
}

ZVRESULT TextEditModel::SelectToEnd(bool toStart)
{
    const std::int32_t length = GetTextLength();
    if (toStart ? mCaret <= 0 : mCaret >= length) {
        return ZV_S_OK;
    }
    const std::int32_t anchor = mAnchor;
    if (toStart) {
        SetSelection(0, anchor, anchor);
    } else {
        SetSelection(anchor, length - anchor, anchor);
    }
    (void)SetCaretPosition(toStart ? 0 : length, false);
    return ZV_S_OK;
}

ZVRESULT TextEditModel::DeleteAtCaret(std::int32_t start, std::int32_t count)
{
    if (HasSelection()) {
        DeleteSelection();
    } else if (count > 0) {
        (void)DeleteRange(start, count);
    }
    return ZV_S_OK;
}

ZVRESULT TextEditModel::HandleKey(const KeyCode& key)
{
    const WideString& text = mView->GetEditedText();
    const std::int32_t length = GetTextLength();
    switch (key.code) {
    case Press(kKeyLeft):
        return MoveCaretTo(mCaret - 1);
    case Press(kKeyRight):
        return MoveCaretTo(mCaret + 1);
    case Press(kKeyLeft, kShift):
        return ExtendByCharacter(false);
    case Press(kKeyRight, kShift):
        return ExtendByCharacter(true);
    case Press(kKeyLeft, kCtrl):
        return MoveCaretTo(FindPreviousWordStart(text, mCaret));
    case Press(kKeyRight, kCtrl):
        return MoveCaretTo(FindNextWordStart(text, mCaret));
    case Press(kKeyLeft, kCtrl | kShift):
        ExtendSelectionTo(FindPreviousWordStart(text, mCaret));
        return ZV_S_OK;
    case Press(kKeyRight, kCtrl | kShift):
        ExtendSelectionTo(FindNextWordStart(text, mCaret));
        return ZV_S_OK;
    case Press(kKeyHome):
        return MoveCaretTo(0);
    case Press(kKeyEnd):
        return MoveCaretTo(length);
    case Press(kKeyHome, kShift):
        return SelectToEnd(true);
    case Press(kKeyEnd, kShift):
        return SelectToEnd(false);
    case Press(kKeyBackspace):
    case Press(kKeyDelete, kShift):
        return DeleteAtCaret(mCaret - 1, mCaret > 0 ? 1 : 0);
    case Press(kKeyDelete):
        return DeleteAtCaret(mCaret, mCaret < length ? 1 : 0);
    case Press(kKeyDelete, kCtrl):
        return DeleteAtCaret(mCaret, length - mCaret);
    case Press(kKeyReturn):
        // A valid text lets Return go on to the parents (a dialog's default button); an invalid one stays here.
        return mView->ValidateEditedText() ? ZV_S_FALSE : ZV_S_OK;
    default:
        break;
    }
    if (IsUpOrDown(key.code)) {
        return mMultiLine ? ZV_S_OK : ZV_S_FALSE;
    }
    if ((key.code & (KeyCode::kVirtualKeyMask | KeyCode::kNoKey)) == 0) {
        const wchar_t character = key.GetCharacter();
        if (character == L'\t' || !Platform::IsPrintableUnit(character)) {
            return ZV_S_FALSE;
        }
        if (mFilter.Accepts(character)) {
            InsertCharacter(character);
        }
        return ZV_S_OK;
    }
    if ((key.code & KeyCode::kKeyDown) == 0) {
        return ZV_S_OK;
    }
    const bool commandModifier = (key.code & (KeyCode::kCtrl | KeyCode::kAlt | KeyCode::kCmd)) != 0;
    return IsTypingKey(key.GetVirtualKey()) && !commandModifier ? ZV_S_OK : ZV_S_FALSE;
}

}  // namespace ZV
