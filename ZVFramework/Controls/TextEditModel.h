#pragma once

#include "ObjectBase/ResultCodes.h"
#include "System/KeyCode.h"
#include "Utilities/Storage/StringT.h"

#include <cstdint>

namespace ZV {

// What a one-line editor's model asks of the control that shows the text.
class ITextEditView {
public:
    virtual const WideString& GetEditedText() const = 0;
    // Applies a text that an edit built, which clears the selection; 0 when the text changed, 1 when it was equal.
    [[nodiscard]] virtual ZVRESULT ApplyEditedText(const WideString& text) = 0;
    // The caret was placed: the view shows it there, at once and for a whole blink period.
    virtual void OnCaretPlaced() = 0;
    virtual void OnSelectionChanged() = 0;
    // Return was pressed: a validation pass of the text; true when the text is valid.
    virtual bool ValidateEditedText() = 0;

protected:
    ~ITextEditView() = default;
};

// Characters that typing may enter: with "allows", only those of the filter; otherwise all but those. An empty filter
// lets every character through.
struct TextCharacterFilter {
    WideString characters;
    bool allows = true;

    bool Accepts(wchar_t character) const;
};

// The caret, the selection and the edits of a one-line text: the editing rules of a text box, apart from how the text
// is shown. Positions are character indices from 0 (before the first character) to the length (after the last). The
// selection is start and length, with an anchor: its fixed end, which Shift and drags extend from. The caret is
// always inside the text; a caret move without a selection takes the anchor along. User-interface thread only.
class TextEditModel {
public:
    explicit TextEditModel(ITextEditView& view) : mView(&view) {}
    TextEditModel(const TextEditModel&) = delete;
    TextEditModel& operator=(const TextEditModel&) = delete;

    std::int32_t GetCaret() const { return mCaret; }
    std::int32_t GetSelectionStart() const { return mSelectionStart; }
    std::int32_t GetSelectionLength() const { return mSelectionLength; }
    std::int32_t GetAnchor() const { return mAnchor; }
    bool HasSelection() const { return mSelectionLength > 0; }
    WideString GetSelectedText() const;
    std::int32_t GetTextLength() const { return static_cast<std::int32_t>(mView->GetEditedText().GetLength()); }

    // 0: no limit; otherwise the longest text that editing may produce.
    std::int32_t GetMaximumLength() const { return mMaximumLength; }
    void SetMaximumLength(std::int32_t length) { mMaximumLength = length < 0 ? 0 : length; }
    const TextCharacterFilter& GetFilter() const { return mFilter; }
    void SetFilter(const WideString& characters, bool allows) { mFilter = {characters, allows}; }
    // Up and Down belong to a multi-line editor; a one-line editor leaves them to its parents.
    bool IsMultiLine() const { return mMultiLine; }
    void SetMultiLine(bool multiLine) { mMultiLine = multiLine; }

    // ZV_E_INVALIDARG for an index outside the text. The same index without force only takes the anchor along and
    // answers 1; otherwise 0 when the caret moved, 1 when it was there already.
    [[nodiscard]] ZVRESULT SetCaretPosition(std::int32_t index, bool force);
    // Inclusive indices: (0, -1) selects everything, a first of -1 selects nothing; a range outside the text changes
    // nothing. The anchor goes to the start.
    void SelectRange(std::int32_t first, std::int32_t last);
    // A length below 1 is an empty selection at the start. The anchor is set last.
    void SetSelection(std::int32_t start, std::int32_t length, std::int32_t anchor);
    // Selects from the anchor to the index, which the caret moves to; the anchor stays.
    void ExtendSelectionTo(std::int32_t index);
    void ClearSelection();
    // The word at the caret, from its start to its end without the spaces after it; the caret ends at its end.
    void SelectWordAtCaret();

    // A typed character: in place of the selection, at the caret, unless the text is at its maximum length.
    void InsertCharacter(wchar_t character);
    // 0 when the text changed; 1 when not, also for a range that does not lie inside the text.
    [[nodiscard]] ZVRESULT DeleteRange(std::int32_t start, std::int32_t count);
    void DeleteSelection();
    // ZV_E_FAIL without a selection, or when the result would exceed the maximum length; else 0 when the text
    // changed, 1 when not.
    [[nodiscard]] ZVRESULT ReplaceSelection(const WideString& text);
    // The text at the caret, the caret behind it. 0 when the text changed; ZV_E_FAIL when it did not, or when the
    // result would exceed the maximum length.
    [[nodiscard]] ZVRESULT InsertAtCaret(const WideString& text);
    // Whether a text of that many characters could take the place of the selection.
    bool FitsInPlaceOfSelection(std::int32_t length) const;

    // The view's text was replaced: the selection goes; the caret goes to the start, or, when it no longer fits, to
    // the end.
    void OnTextReplaced(bool resetCaret);

    // A key or character event: 0 when the editor handled it, 1 when its parents may.
    [[nodiscard]] ZVRESULT HandleKey(const KeyCode& key);

private:
    // The key-table entries that move the caret or the selection; each answers 0.
    ZVRESULT MoveCaretTo(std::int32_t index);
    ZVRESULT ExtendByCharacter(bool forward);
    ZVRESULT SelectToEnd(bool toStart);
    ZVRESULT DeleteAtCaret(std::int32_t start, std::int32_t count);
    // Applies an edited copy of the text; 0 when it changed.
    ZVRESULT Apply(const WideString& text);
    // The selection as it is, the anchor as given, and the view told when either end moved.
    void StoreSelection(std::int32_t start, std::int32_t length, std::int32_t anchor);

    ITextEditView* mView;
    std::int32_t mCaret = 0;
    std::int32_t mSelectionStart = 0;
    std::int32_t mSelectionLength = 0;
    std::int32_t mAnchor = 0;
    std::int32_t mMaximumLength = 0;
    TextCharacterFilter mFilter;
    bool mMultiLine = false;
};

}  // namespace ZV
