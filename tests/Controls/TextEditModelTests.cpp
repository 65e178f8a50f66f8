#include "Controls/EditingKeys.h"
#include "Controls/TextEditModel.h"
#include "Controls/TextWords.h"

#include <gtest/gtest.h>

#include <string>

namespace ZV {
namespace {

constexpr std::uint32_t kShift = kModifierShift;
constexpr std::uint32_t kCtrl = kModifierCtrl;

// A view that keeps the text as the text box keeps it, and counts what the model tells it.
class RecordingView : public ITextEditView {
public:
    RecordingView() : model(*this) {}

    const WideString& GetEditedText() const override { return text; }
    ZVRESULT ApplyEditedText(const WideString& edited) override
    {
        if (edited == text) {
            return ZV_S_FALSE;
        }
        text = edited;
        ++changes;
        model.OnTextReplaced(false);
        return ZV_S_OK;
    }
    void OnCaretPlaced() override { ++caretPlacements; }
    void OnSelectionChanged() override { ++selectionChanges; }
    bool ValidateEditedText() override
    {
        ++validations;
        return valid;
    }

    void Press(std::uint8_t virtualKey, std::uint32_t modifiers = 0)
    {
        lastAnswer = model.HandleKey(KeyCode(virtualKey, true, 0, modifiers));
    }
    void Type(const std::wstring& characters)
    {
        for (const wchar_t character : characters) {
            lastAnswer = model.HandleKey(KeyCode(static_cast<std::uint16_t>(character), 0));
        }
    }
    std::wstring Selected() const
    {
        const WideString selected = model.GetSelectedText();
        return std::wstring(selected.GetData(), selected.GetLength());
    }

    WideString text;
    TextEditModel model;
    int changes = 0;
    int caretPlacements = 0;
    int selectionChanges = 0;
    int validations = 0;
    bool valid = true;
    ZVRESULT lastAnswer = 0;
};

TEST(TextWords, WordJumpsStopAtWordStartsAndPassSpaceRunsWithTheWordAfterThem)
{
    const WideString text(L"one two   three");
    EXPECT_EQ(FindNextWordStart(text, 1), 4) << "from inside a word: the next word";
    EXPECT_EQ(FindNextWordStart(text, 7), 15) << "from spaces: past the following word and its spaces";
    EXPECT_EQ(FindNextWordStart(text, 15), 15);
    EXPECT_EQ(FindPreviousWordStart(text, 15), 10);
    EXPECT_EQ(FindPreviousWordStart(text, 10), 4) << "from a word's start: the word before";
    EXPECT_EQ(FindPreviousWordStart(text, 9), 4) << "from spaces: the word before them";
    EXPECT_EQ(FindPreviousWordStart(text, 0), 0);
    EXPECT_EQ(FindPreviousWordStart(WideString(L"  x"), 2), 0) << "leading spaces hold no word";
    EXPECT_TRUE(IsWordStart(text, 4));
    EXPECT_FALSE(IsWordStart(text, 5));
    EXPECT_FALSE(IsWordStart(text, 3));
    // A non-breaking space is no word boundary, an ideographic space is, whatever the locale.
    EXPECT_EQ(FindNextWordStart(WideString(L"a\x00A0" L"b c"), 0), 4);
    EXPECT_EQ(FindNextWordStart(WideString(L"a\x3000" L"b"), 0), 2);
}

TEST(TextEditModel, TypingAndCaretKeysEditAtTheCaretAndLeaveUpDownAndCommandsToTheParents)
{
    RecordingView view;
    view.Type(L"hello world");
    EXPECT_EQ(view.text, WideString(L"hello world"));
    EXPECT_EQ(view.changes, 11) << "one change per character";
    EXPECT_EQ(view.model.GetCaret(), 11);
    view.Press(kKeyLeft, kCtrl);
    EXPECT_EQ(view.model.GetCaret(), 6);
    view.Press(kKeyHome);
    view.Press(kKeyRight, kCtrl);
    EXPECT_EQ(view.model.GetCaret(), 6);
    view.Press(kKeyEnd);
    EXPECT_EQ(view.model.GetCaret(), 11);
    view.Press(kKeyBackspace);
    view.Press(kKeyHome);
    view.Press(kKeyDelete);
    EXPECT_EQ(view.text, WideString(L"ello worl"));
    view.Press(kKeyRight);
    view.Press(kKeyDelete, kCtrl);
    EXPECT_EQ(view.text, WideString(L"e"));
    view.Press(kKeyDelete, kShift);
    EXPECT_EQ(view.text, WideString(L"")) << "Shift+Delete deletes backwards";
    view.Press(kKeyBackspace);
    view.Press(kKeyLeft);
    EXPECT_EQ(view.lastAnswer, 0);
    EXPECT_EQ(view.model.GetCaret(), 0);

    view.Press(kKeyUp);
    EXPECT_EQ(view.lastAnswer, ZV_S_FALSE);
    view.Press(kKeyDown, kCtrl | kShift);
    EXPECT_EQ(view.lastAnswer, ZV_S_FALSE);
    view.model.SetMultiLine(true);
    view.Press(kKeyDown, kShift);
    EXPECT_EQ(view.lastAnswer, 0);
    view.Press('C', kCtrl);
    EXPECT_EQ(view.lastAnswer, ZV_S_FALSE) << "a command goes up to the hot keys";
    view.Press('C');
    EXPECT_EQ(view.lastAnswer, 0) << "its character comes as a character event";
    view.Press(kKeyLeft, kModifierAlt);
    EXPECT_EQ(view.lastAnswer, ZV_S_FALSE) << "combinations compare exactly";
    EXPECT_EQ(view.model.HandleKey(KeyCode(kKeyLeft, false, 1, 0)), 0) << "a key-up is taken";
    view.Type(L"\t");
    EXPECT_EQ(view.lastAnswer, ZV_S_FALSE);
    view.Type(L"\x0003");
    EXPECT_EQ(view.lastAnswer, ZV_S_FALSE);
    EXPECT_EQ(view.text, WideString(L""));
    view.Type(L"\x00E9t\x00E9");
    EXPECT_EQ(view.text, WideString(L"\x00E9t\x00E9")) << "accented letters type whatever the locale";
}

TEST(TextEditModel, ShiftExtendsAndShrinksTheSelectionFromItsAnchor)
{
    RecordingView view;
    view.Type(L"abcd");
    view.Press(kKeyHome);
    view.Press(kKeyRight);
    view.Press(kKeyRight);
    view.Press(kKeyRight, kShift);
    EXPECT_EQ(view.Selected(), L"c");
    view.Press(kKeyRight, kShift);
    EXPECT_EQ(view.Selected(), L"cd");
    view.Press(kKeyRight, kShift);
    EXPECT_EQ(view.Selected(), L"cd") << "nothing past the end";
    view.Press(kKeyLeft, kShift);
    EXPECT_EQ(view.Selected(), L"c");
    view.Press(kKeyLeft, kShift);
    EXPECT_FALSE(view.model.HasSelection());
    EXPECT_EQ(view.model.GetCaret(), 2);
    view.Press(kKeyLeft, kShift);
    view.Press(kKeyLeft, kShift);
    EXPECT_EQ(view.Selected(), L"ab") << "leftwards from the anchor it grows at its start";
    view.Press(kKeyRight, kShift);
    EXPECT_EQ(view.Selected(), L"b");
    view.Press(kKeyEnd, kShift);
    EXPECT_EQ(view.Selected(), L"cd") << "from the anchor to the end";
    EXPECT_EQ(view.model.GetCaret(), 4);
    view.Press(kKeyHome, kShift);
    EXPECT_EQ(view.Selected(), L"ab");
    EXPECT_EQ(view.model.GetCaret(), 0);
    view.Press(kKeyRight, kCtrl | kShift);
    EXPECT_EQ(view.Selected(), L"cd");
    view.Press(kKeyRight);
    EXPECT_FALSE(view.model.HasSelection());
    view.Press(kKeyHome, kShift);
    EXPECT_EQ(view.Selected(), L"abcd") << "after a plain move the anchor is at the caret";
}

TEST(TextEditModel, EditsReplaceTheSelectionKeepToTheMaximumLengthAndTheFilter)
{
    RecordingView view;
    view.Type(L"abcdef");
    view.model.SelectRange(1, 2);
    view.Type(L"X");
    EXPECT_EQ(view.text, WideString(L"aXdef"));
    EXPECT_EQ(view.model.GetCaret(), 2);
    view.model.SetMaximumLength(5);
    view.Type(L"Y");
    EXPECT_EQ(view.text, WideString(L"aXdef")) << "at the maximum length";
    view.model.SelectRange(0, 0);
    view.Type(L"Z");
    EXPECT_EQ(view.text, WideString(L"ZXdef")) << "in place of a selection it fits";
    view.model.SelectRange(3, 4);
    view.Press(kKeyDelete);
    EXPECT_EQ(view.text, WideString(L"ZXd"));
    view.model.SetMaximumLength(4);
    view.model.SelectRange(0, 1);
    view.Press(kKeyBackspace);
    EXPECT_EQ(view.text, WideString(L"d"));
    view.model.SetMaximumLength(0);
    view.model.SelectRange(0, -1);
    view.Type(L"Q");
    EXPECT_EQ(view.text, WideString(L"Q"));

    view.model.SetFilter(WideString(L"0123456789"), true);
    const int changes = view.changes;
    view.Type(L"a");
    EXPECT_EQ(view.lastAnswer, 0) << "a refused character still counts as handled";
    view.Type(L"7");
    EXPECT_EQ(view.text, WideString(L"Q7"));
    view.model.SetFilter(WideString(L"-"), false);
    view.Type(L"-x");
    EXPECT_EQ(view.text, WideString(L"Q7x"));
    EXPECT_EQ(view.changes, changes + 2);
}

TEST(TextEditModel, ReplacingPastingAndDeletingRangesAnswerWhetherTheTextChanged)
{
    RecordingView view;
    view.Type(L"hello");
    EXPECT_EQ(view.model.ReplaceSelection(WideString(L"x")), ZV_E_FAIL) << "no selection";
    view.model.SelectRange(1, 3);
    EXPECT_EQ(view.model.ReplaceSelection(WideString(L"ipp")), 0);
    EXPECT_EQ(view.text, WideString(L"hippo"));
    EXPECT_EQ(view.model.GetCaret(), 4);
    EXPECT_FALSE(view.model.HasSelection());
    view.model.SelectRange(1, 3);
    EXPECT_EQ(view.model.ReplaceSelection(WideString(L"ipp")), ZV_S_FALSE) << "the same text";

    view.model.SetMaximumLength(7);
    ASSERT_EQ(view.model.SetCaretPosition(5, false), 0);
    EXPECT_EQ(view.model.InsertAtCaret(WideString(L"!!!")), ZV_E_FAIL);
    EXPECT_EQ(view.model.InsertAtCaret(WideString(L"!!")), 0);
    EXPECT_EQ(view.text, WideString(L"hippo!!"));
    EXPECT_EQ(view.model.GetCaret(), 7);
    EXPECT_EQ(view.model.InsertAtCaret(WideString(L"")), ZV_E_FAIL) << "nothing changed";
    view.model.SelectRange(0, 0);
    EXPECT_TRUE(view.model.FitsInPlaceOfSelection(1));
    EXPECT_FALSE(view.model.FitsInPlaceOfSelection(2));
    view.model.SetMaximumLength(0);

    EXPECT_EQ(view.model.DeleteRange(5, 3), ZV_S_FALSE) << "past the end";
    EXPECT_EQ(view.model.DeleteRange(-1, 1), ZV_S_FALSE);
    EXPECT_EQ(view.model.DeleteRange(7, 0), ZV_S_FALSE);
    EXPECT_EQ(view.model.DeleteRange(5, 2), 0);
    EXPECT_EQ(view.text, WideString(L"hippo"));
    EXPECT_EQ(view.model.GetCaret(), 5);
}

TEST(TextEditModel, CaretAndSelectionRequestsOutsideTheTextChangeNothing)
{
    RecordingView view;
    view.Type(L"abc");
    const int placements = view.caretPlacements;
    EXPECT_EQ(view.model.SetCaretPosition(4, false), ZV_E_INVALIDARG);
    EXPECT_EQ(view.model.SetCaretPosition(-1, true), ZV_E_INVALIDARG);
    EXPECT_EQ(view.model.SetCaretPosition(3, false), ZV_S_FALSE) << "already there";
    EXPECT_EQ(view.caretPlacements, placements);
    EXPECT_EQ(view.model.SetCaretPosition(3, true), ZV_S_FALSE) << "placed again when forced";
    EXPECT_EQ(view.caretPlacements, placements + 1);
    EXPECT_EQ(view.model.SetCaretPosition(1, false), 0);

    const int selections = view.selectionChanges;
    view.model.SelectRange(1, 3);
    view.model.SelectRange(-2, 0);
    view.model.SelectRange(0, -2);
    EXPECT_FALSE(view.model.HasSelection());
    EXPECT_EQ(view.selectionChanges, selections);
    view.model.SelectRange(2, 0);
    EXPECT_EQ(view.Selected(), L"abc");
    EXPECT_EQ(view.model.GetAnchor(), 0);
    view.model.SelectRange(-1, 5);
    EXPECT_FALSE(view.model.HasSelection());
    view.model.SetSelection(1, 2, 3);
    EXPECT_EQ(view.Selected(), L"bc");
    EXPECT_EQ(view.model.GetAnchor(), 3);
    view.model.ExtendSelectionTo(7);
    EXPECT_EQ(view.Selected(), L"bc");
    view.model.ExtendSelectionTo(0);
    EXPECT_EQ(view.Selected(), L"abc");
    EXPECT_EQ(view.model.GetCaret(), 0);
    EXPECT_EQ(view.model.GetAnchor(), 3);
}

TEST(TextEditModel, ADoubleClickSelectsTheWordItLandsOnWithoutTheSpacesAfterIt)
{
    RecordingView view;
    view.Type(L"hello   world");
    for (const std::int32_t caret : {6, 8, 9, 11, 13}) {
        ASSERT_EQ(view.model.SetCaretPosition(caret, true), caret == 13 ? ZV_S_FALSE : ZV_S_OK);
        view.model.SelectWordAtCaret();
        EXPECT_EQ(view.Selected(), caret < 8 ? L"hello" : L"world") << "caret " << caret;
        view.model.ClearSelection();
    }
    (void)view.model.SetCaretPosition(2, false);
    view.model.SelectWordAtCaret();
    EXPECT_EQ(view.Selected(), L"hello");
    EXPECT_EQ(view.model.GetCaret(), 5);
}

TEST(TextEditModel, ReturnValidatesAndStaysOnlyWhenTheTextIsRefused)
{
    RecordingView view;
    view.Press(kKeyReturn);
    EXPECT_EQ(view.lastAnswer, ZV_S_FALSE);
    view.valid = false;
    view.Press(kKeyReturn);
    EXPECT_EQ(view.lastAnswer, 0);
    EXPECT_EQ(view.validations, 2);
}

TEST(TextEditModel, ATextReplacedFromOutsideKeepsTheCaretInsideIt)
{
    RecordingView view;
    view.Type(L"12345");
    view.text = WideString(L"123");
    view.model.OnTextReplaced(false);
    EXPECT_EQ(view.model.GetCaret(), 3);
    view.Press(kKeyBackspace);
    EXPECT_EQ(view.text, WideString(L"12"));
    view.model.SelectRange(0, 0);
    view.model.OnTextReplaced(true);
    EXPECT_EQ(view.model.GetCaret(), 0);
    EXPECT_FALSE(view.model.HasSelection());
}

}  // namespace
}  // namespace ZV
