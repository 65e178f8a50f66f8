#pragma once

#include "Controls/ScrollView.h"
#include "Controls/TextEditModel.h"
#include "Controls/TextValidationParams.h"
#include "Utilities/Storage/RectT.h"

#include <cstdint>

namespace ZV {

// The framework's one-line text field ("Framework.TextBox"): the control's text with a caret, a selection, editing by
// keys and mouse, the edit commands through the application's clipboard and an edit menu, a blinking caret, a cue
// text while it is empty and unfocused, a character filter, and validation when the text is committed (Return, or
// the focus leaving). It scrolls a text longer than its room so that the caret stays in sight.
//
// Notifications, sent at once through the box: "NID_TEXTBOX_TEXT_CHANGE" (the box as parameter) after every change
// of the text; "NID_TEXTBOX_VALIDATING", then for a valid text "NID_TEXTBOX_VALIDATED", with the pass's
// LTextValidationParams.
//
// Looks: 0 normal, 1 hot (hovered or pressed), 3 focused, 4 focused and hot, 6 disabled; 2 under the cue text, 9 the
// cue text; 10 the selection, 11 the selection while hot. Positions are character indices from 0 (before the first
// character) to the length. User-interface thread only.
//
// The bodies: TextBox.cpp (creation, text, validation, edit commands), TextBoxGeometry.cpp (measuring and hit
// testing), TextBoxLooks.cpp (looks, focus, hover, the caret's blink and drawing), TextBoxInput.cpp (mouse, keys,
// scrolling).
class LTextBox : public LScrollView, private ITextEditView {
public:
    using Base = LScrollView;

    LTextBox(const RCPtr<LControl>& parent, const WideString& name);
    ~LTextBox() override;

    // --- The text ---

    // ChangeText with the caret back at the start.
    [[nodiscard]] ZVRESULT SetText(const WideString& text) override;
    // Shows the text, clears the selection and tells the subscribers; with resetCaret the caret goes to the start.
    // 0 when the text changed, 1 when it was the same (nothing else happens then).
    [[nodiscard]] virtual ZVRESULT ChangeText(const WideString& text, bool resetCaret);
    std::int32_t GetTextLength() const { return static_cast<std::int32_t>(GetText().GetLength()); }
    // The string table's "LABEL", shown while the box is empty and unfocused.
    const WideString& GetCueText() const { return mCueText; }
    // A validation pass: "NID_TEXTBOX_VALIDATING", the text its handlers corrected, then "NID_TEXTBOX_VALIDATED" when
    // it is valid. The pass's record.
    RCPtr<LTextValidationParams> Validate();

    // --- Caret, selection and edits (TextEditModel's rules) ---

    std::int32_t GetCaretPosition() const { return mEditor.GetCaret(); }
    std::int32_t GetSelectionStart() const { return mEditor.GetSelectionStart(); }
    std::int32_t GetSelectionLength() const { return mEditor.GetSelectionLength(); }
    std::int32_t GetAnchor() const { return mEditor.GetAnchor(); }
    WideString GetSelectedText() const { return mEditor.GetSelectedText(); }
    [[nodiscard]] ZVRESULT SetCaretPosition(std::int32_t index, bool force)
    {
        return mEditor.SetCaretPosition(index, force);
    }
    void SelectRange(std::int32_t first, std::int32_t last) { mEditor.SelectRange(first, last); }
    void SetSelection(std::int32_t start, std::int32_t length, std::int32_t anchor)
    {
        mEditor.SetSelection(start, length, anchor);
    }
    void ExtendSelectionTo(std::int32_t index) { mEditor.ExtendSelectionTo(index); }
    void ClearSelection() { mEditor.ClearSelection(); }
    void InsertCharacter(wchar_t character) { mEditor.InsertCharacter(character); }
    [[nodiscard]] ZVRESULT DeleteRange(std::int32_t start, std::int32_t count)
    {
        return mEditor.DeleteRange(start, count);
    }
    void DeleteSelection() { mEditor.DeleteSelection(); }
    [[nodiscard]] ZVRESULT ReplaceSelection(const WideString& text) { return mEditor.ReplaceSelection(text); }
    std::int32_t FindNextWordStart() const;
    std::int32_t FindPreviousWordStart() const;

    // --- Settings ---

    // Characters that typing may enter (allows) or may not (!allows); empty: any.
    void SetCharacterFilter(const WideString& characters, bool allows) { mEditor.SetFilter(characters, allows); }
    const TextCharacterFilter& GetCharacterFilter() const { return mEditor.GetFilter(); }
    // 0: no limit.
    void SetMaximumLength(std::int32_t length) { mEditor.SetMaximumLength(length); }
    // Up and Down stay in a multi-line box, which never offers its whole text as its tool tip.
    void SetMultiLine(bool multiLine) { mEditor.SetMultiLine(multiLine); }
    // Whether the view scrolls to keep the caret in sight, and a drag near an edge scrolls; only the horizontal
    // setting acts, and either one switches it on. On unless switched off.
    void SetScrollFollowsCaret(bool horizontal, bool vertical);

    // --- Geometry, in the control's pixels; the content is the text at scroll offset 0 ---

    // The room of the text: the text box of look 0; empty without one.
    RectT<float> GetTextRect() const;
    // Where character index lies in the content: from its left edge, one pixel narrower than it; (0, 0, 0, 0)
    // outside 0 .. the length.
    RectT<float> GetCharRect(std::int32_t index) const;
    // From the smaller index's left edge to the larger's right edge; (0, 0, 0, 0) when either lies outside the text.
    RectT<float> GetRangeRect(std::int32_t first, std::int32_t last) const;
    // The character boundary nearest to the point (control coordinates), the point held inside the text's room.
    using LScrollView::HitTest;
    std::int32_t HitTest(const PointT<zlong>& point) const;
    // The text of a line of look 0's text, at most maxChars characters of it (0: all); false past the lines.
    bool GetLineText(std::uint32_t line, WideString& text, std::uint32_t maxChars) const;
    // The caret line's rectangle in the content.
    const RectT<float>& GetCaretRect() const { return mCaretRect; }
    void UpdateCaretRect();
    void ScrollCaretIntoView();
    // The looks of the state the box is in: disabled, the cue text, focus and hover, the selection.
    void SelectStateLook() override;
    bool IsCaretShown() const { return mCaretShown; }

    // --- Overrides ---

    const PointT<double>& ScrollTo(const PointT<double>& offset) override;
    bool IsTextEditor() const override { return true; }
    bool CanPerformEdit(std::int32_t command) const override;
    // 0, or ZV_E_FAIL when there was nothing to act on.
    [[nodiscard]] ZVRESULT PerformEdit(std::int32_t command) override;
    [[nodiscard]] ZVRESULT SetFocus(bool forward) override;
    bool CanReleaseFocus() override;
    void OnConditionsChanged(const RCPtr<LConditionsParam>& conditions) override;
    void ProcessRootWindowAquired() override;
    [[nodiscard]] ZVRESULT IsCommandEnabled(std::uint32_t first, std::uint32_t second, const WideString& notificationId,
                                            MenuItemInfo& state) override;
    [[nodiscard]] ZVRESULT ApplyDescriptor(const RCPtr<LControlDescriptor>& descriptor) override;
    void OnLeftButtonDown(const RCPtr<LMouseButtonParam>& press) override;
    void OnMouseMoved(const RCPtr<LPointWithModifiersParam>& pointer) override;
    void HandleLeftClick(const RCPtr<LMouseButtonParam>& click) override;
    [[nodiscard]] ZVRESULT OnKeyDown(const RCPtr<LKeyParam>& key) override;
    void OnIdle(const RCPtr<LNotification>& idle) override;
    [[nodiscard]] ZVRESULT RenderOverlay(LRenderer& renderer) override;
    [[nodiscard]] ZVRESULT Initialize() override;
    WideString GetToolTipText() const override;

private:
    // ITextEditView: the editing rules reach the box through these.
    const WideString& GetEditedText() const override { return GetText(); }
    ZVRESULT ApplyEditedText(const WideString& text) override { return ChangeText(text, false); }
    void OnCaretPlaced() override;
    void OnSelectionChanged() override { SelectStateLook(); }
    bool ValidateEditedText() override { return Validate()->IsValid(); }

    // The text's corner in the content: the text room's corner and line 0's of look 0's text.
    PointT<float> GetTextOrigin() const;
    // The drawn width of the first count characters.
    float MeasurePrefix(std::int32_t count) const;
    // How far the view may scroll to the right: the part of the text beyond the room, with a margin.
    double GetScrollLimit() const;
    // Whether the left button went down on the box and is still held.
    bool IsLeftButtonHeld() const;
    // Tells a desktop window that text editing starts or ends in the box.
    void TellWindowOfEditing(bool start);
    // The shown caret's period starts again.
    void RestartBlink();
    void InvalidateAll();
    void BuildEditMenu();

    TextEditModel mEditor;
    WideString mCueText;
    bool mFollowCaretX = true;
    bool mFollowCaretY = false;
    RectT<float> mCaretRect;
    bool mScrollGuard = false;
    bool mCaretShown = true;
    double mNextBlinkTime = 0;
};

}  // namespace ZV
