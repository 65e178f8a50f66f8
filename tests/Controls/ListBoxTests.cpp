#include "ControlBase/Harness/NotificationSpy.h"
#include "Controls/ListBoxTestSupport.h"

#include <gtest/gtest.h>

#include <utility>

namespace ZV {
namespace {

using Testing::ListBoxFixture;
using Testing::ListSpec;
using Testing::StringTable;
using Texts = std::vector<std::wstring>;

class ListBox : public ListBoxFixture {};

TEST_F(ListBox, AThousandRowsScrollThroughTheSameTenRowControls)
{
    LListBox& box = CreateList();
    AddNumberedRows(box, 1000);
    ASSERT_EQ(box.GetRowHeight(), 14);
    ASSERT_EQ(box.GetRowControlCount(), 10u) << "as many as cover 140 pixels";
    std::vector<LListBoxItem*> controls;
    for (std::uint32_t index = 0; index < 10; ++index) {
        controls.push_back(box.GetRowControl(index).Get());
    }
    const std::uint32_t children = box.GetChildren().GetCount();
    const auto showsFrom = [&](int top) {
        for (std::uint32_t index = 0; index < box.GetRowControlCount(); ++index) {
            const std::wstring expected = L"Row " + std::to_wstring(top + static_cast<int>(index));
            if (Shown(box)[index] != expected) {
                return false;
            }
        }
        return true;
    };
    EXPECT_TRUE(showsFrom(0));

    (void)box.ScrollTo({0, 42});
    EXPECT_EQ(box.GetTopRow(), 3);
    EXPECT_TRUE(showsFrom(3));
    (void)box.ScrollTo({0, 41});
    EXPECT_EQ(box.GetTopRow(), 2) << "41 / 14, truncated";
    EXPECT_TRUE(showsFrom(2));
    (void)box.ScrollTo({0, 990.0 * 14});
    EXPECT_EQ(box.GetTopRow(), 990);
    EXPECT_TRUE(showsFrom(990));

    EXPECT_EQ(box.GetRowControlCount(), 10u);
    EXPECT_EQ(box.GetChildren().GetCount(), children) << "no control made or let go";
    for (std::uint32_t index = 0; index < 10; ++index) {
        EXPECT_EQ(box.GetRowControl(index).Get(), controls[index]);
    }
}

TEST_F(ListBox, ABarBesideTheRowsScrollsThemByWholeRowsWithItsKeysAndTheWheel)
{
    ListSpec spec;
    spec.listChildren = VerticalBar();
    LListBox& box = CreateList(spec);
    AddNumberedRows(box, 100);
    ASSERT_TRUE(box.GetVerticalBar());
    EXPECT_TRUE(box.GetVerticalBar()->IsVisible(false)) << "the rows do not fit";
    ClickControl(0);
    harness.Keys().Press(0x22);
    EXPECT_EQ(box.GetTopRow(), 10) << "Page Down: ten rows on";
    EXPECT_EQ(Shown(box)[0], L"Row 10");
    harness.Keys().Press(0x23);
    EXPECT_EQ(box.GetTopRow(), 90) << "End";
    EXPECT_EQ(Shown(box)[9], L"Row 99");
    harness.Keys().Press(0x24);
    EXPECT_EQ(box.GetTopRow(), 0) << "Home";
    harness.Mouse().RouteMouseWheel({50, 50}, 0, LMouseWheelParam::kVerticalNegative);
    EXPECT_EQ(box.GetTopRow(), 1) << "a wheel step is a row";
    EXPECT_EQ(box.GetScrollOffset().y, 14.0);
    EXPECT_EQ(Selected(box), (std::vector<std::uint32_t>{0})) << "the keys that scroll leave the selection";
}

TEST_F(ListBox, RowControlsMadeWhileTheListsToolTipLivedStayInStepWhenTheTipGoes)
{
    harness.LoadStrings(StringTable("Test.Panel|list", {{"TOOLTIP", "Devices"}}));
    ListSpec spec;
    spec.listAttributes = R"(XSizeAbs="200" YSizeToControl="Parent" YSizeRel="1" YSizeAbs="0")";
    spec.listChildren = VerticalBar();
    spec.topLevelControls = Testing::Wearing("Framework.ToolTip", "toolTip", "listLooks",
                                             R"(Z_Order="9999" ClipToParent="False" XSizeAbs="60" YSizeAbs="22")");
    harness.Window().Resize(400, 140);
    LListBox& box = CreateList(spec);
    AddNumberedRows(box, 100);
    ASSERT_EQ(box.GetRowControlCount(), 10u);

    // The rows, whose texts fit, share the list's tip, which becomes a child of the list; the window grows under it.
    harness.PaintAll();
    harness.MoveTo(box, {10, 20});
    ASSERT_TRUE(box.FindChildByName(L"toolTip"));
    harness.Window().Resize(400, 280);
    ASSERT_EQ(box.GetRowControlCount(), 20u);
    harness.MoveAway();
    harness.RunFor(20);
    ASSERT_FALSE(box.FindChildByName(L"toolTip")) << "removed at the list's idle pass";

    harness.Mouse().RouteMouseWheel({50, 50}, 0, LMouseWheelParam::kVerticalNegative);
    ASSERT_EQ(box.GetTopRow(), 1);
    // One more for the bottom that the scroll brought into view, and no second pool.
    EXPECT_EQ(box.GetRowControlCount(), 21u);
    const Texts shown = Shown(box);
    ASSERT_EQ(shown.size(), 21u);
    for (std::size_t place = 0; place < shown.size(); ++place) {
        EXPECT_EQ(shown[place], L"Row " + std::to_wstring(place + 1)) << "place " << place;
    }
    ClickControl(11);
    EXPECT_EQ(Selected(box), (std::vector<std::uint32_t>{12}));
}

TEST_F(ListBox, RowControlsPastTheRowsShowEmptyDisabledRows)
{
    LListBox& box = CreateList();
    AddRows(box, {L"one", L"two"});
    ASSERT_EQ(box.GetRowControlCount(), 10u);
    EXPECT_EQ(Shown(box)[1], L"two");
    EXPECT_TRUE(box.GetRowControl(1)->IsEnabled(true));
    EXPECT_EQ(Shown(box)[2], L"");
    EXPECT_FALSE(box.GetRowControl(2)->IsEnabled(true));
    EXPECT_EQ(box.GetRowControl(2)->GetActiveLookIndex(), 6);
    EXPECT_EQ(box.GetRowControlRect(2), RectT<double>()) << "no row there";
    EXPECT_EQ(box.GetRowControlRect(1), (RectT<double>(0, 14, 200, 14)));
}

TEST_F(ListBox, RowsComeFromTheListsStringTableWithGapsAsEmptyRowsAndBadNumbersLeftOut)
{
    harness.LoadStrings(StringTable("Test.Panel|list", {{"ITEM.0", "a"},
                                                          {"ITEM.2", "c"},
                                                          {"ITEM.-1", "negative"},
                                                          {"ITEM.99999999999", "huge"},
                                                          {"LABEL", "not a row"}}));
    LListBox& box = CreateList();
    ASSERT_EQ(box.GetRowCount(), 3u);
    EXPECT_EQ(Shown(box)[0], L"a");
    EXPECT_EQ(Shown(box)[1], L"");
    EXPECT_TRUE(box.GetRowControl(1)->IsEnabled(true)) << "an empty row is still a row";
    EXPECT_EQ(Shown(box)[2], L"c");
    EXPECT_EQ(box.LoadItemsFromStringTable(nullptr), ZV_E_INVALIDARG);
    EXPECT_EQ(box.GetRowCount(), 3u);
}

TEST_F(ListBox, SortingOrdersTheRowsWhateverTheirCaseAndKeepsAnchorAndCaretOnTheirRows)
{
    LListBox& box = CreateList();
    AddRows(box, {L"c", L"A", L"b"});
    ClickControl(0);
    ASSERT_EQ(box.GetCaretRow(), 0);
    box.SortRows();
    EXPECT_EQ(Shown(box)[0], L"A");
    EXPECT_EQ(Shown(box)[1], L"b");
    EXPECT_EQ(Shown(box)[2], L"c");
    EXPECT_EQ(box.GetCaretRow(), 2);
    EXPECT_EQ(box.GetAnchorRow(), 2);
    EXPECT_EQ(Selected(box), (std::vector<std::uint32_t>{2}));
    EXPECT_EQ(box.GetRowControl(2)->GetValue(), 1.0) << "the control shows the selection where the row went";

    box.SetSorted(true);
    ASSERT_EQ(box.InsertRowWithData(0, LStringWrapper::Create(L"B2")), 0);
    EXPECT_EQ(Shown(box)[2], L"B2") << "a sorted list sorts what it takes";
    EXPECT_EQ(box.FindRowByText(L"b2", false), 2);
    EXPECT_EQ(box.FindRowByText(L"b2", true), -1);
}

TEST_F(ListBox, RemovingRowsRefillsTheRowsShownAndRemovingAllLeavesNoAnchorOrCaret)
{
    LListBox& box = CreateList();
    AddNumberedRows(box, 30);
    (void)box.ScrollTo({0, 5.0 * 14});
    ASSERT_EQ(Shown(box)[0], L"Row 5");
    EXPECT_EQ(box.RemoveRowAt(1), 0) << "a row above those shown";
    EXPECT_EQ(Shown(box)[0], L"Row 6") << "the rows shown moved up";
    EXPECT_EQ(box.RemoveRowAt(29), ZV_E_INVALIDARG);

    ASSERT_EQ(box.SelectRange(10, 12, true), 10);
    auto spy = Testing::LNotificationSpy::Create();
    spy->Watch(list, {L"NID_SELECTION_CHANGE"});
    EXPECT_EQ(box.RemoveAllRows(), 0);
    EXPECT_EQ(box.GetRowCount(), 0u);
    EXPECT_EQ(box.GetAnchorRow(), -1);
    EXPECT_EQ(box.GetCaretRow(), -1);
    EXPECT_EQ(box.GetSelectedCount(), 0);
    EXPECT_FALSE(spy->TakeLines().empty());
    for (const std::wstring& text : Shown(box)) {
        EXPECT_EQ(text, L"");
    }
    EXPECT_EQ(box.GetClientExtent().y, 0.0) << "nothing left to scroll to";
}

TEST_F(ListBox, SettingTheRowCountAddsEmptyRowsOrDropsTheLastOnes)
{
    LListBox& box = CreateList();
    EXPECT_EQ(box.SetRowCount(5), 5);
    EXPECT_EQ(box.GetRowCount(), 5u);
    EXPECT_EQ(box.GetClientExtent().y, 5.0 * 14);
    AddRows(box, {L"six"});
    EXPECT_EQ(box.SetRowCount(6), 6) << "the count it has already";
    EXPECT_EQ(box.SetRowCount(2), 2);
    EXPECT_EQ(box.FindRowByText(L"six", true), -1);
    EXPECT_EQ(box.GetClientExtent().y, 2.0 * 14);
}

TEST_F(ListBox, ScrollingARowIntoViewNeverGoesAboveTheFirstRow)
{
    LListBox& box = CreateList();
    AddNumberedRows(box, 40);
    EXPECT_EQ(box.EnsureRowVisible(25), 0);
    EXPECT_EQ(box.GetTopRow(), 16) << "the row comes in at the bottom";
    EXPECT_EQ(box.EnsureRowVisible(3), 0);
    EXPECT_EQ(box.GetTopRow(), 3) << "and at the top";
    EXPECT_EQ(box.EnsureRowVisible(40), ZV_E_INVALIDARG);

    (void)box.ScrollTo({0, 5.0 * 14});
    ASSERT_EQ(box.SetRowCount(3), 3);
    EXPECT_EQ(box.EnsureRowVisible(2), 0);
    EXPECT_EQ(box.GetScrollOffset().y, 0.0) << "three rows in room for ten start at the first";
    EXPECT_EQ(box.GetTopRow(), 0);
}

TEST_F(ListBox, RowsCutBelowTheScrollPositionBringTheListBackToItsRowsWithOrWithoutABar)
{
    for (const bool withBar : {false, true}) {
        SCOPED_TRACE(withBar ? "with a bar" : "without bars");
        ListSpec spec;
        if (withBar) {
            spec.listChildren = VerticalBar();
        }
        LListBox& box = CreateList(spec);
        ASSERT_EQ(box.SetRowCount(100000), 100000);
        for (std::uint32_t row = 0; row < 3; ++row) {
            box.SetRowData(row, LStringWrapper::Create(WideString::Format(L"Row %u", row)));
        }
        (void)box.ScrollTo({0, 99990.0 * kRowHeight});
        ASSERT_EQ(box.GetTopRow(), 99990);

        ASSERT_EQ(box.SetRowCount(3), 3);
        EXPECT_EQ(box.GetTopRow(), 0);
        EXPECT_EQ(box.GetScrollOffset().y, 0.0);
        EXPECT_EQ(Shown(box), (Texts{L"Row 0", L"Row 1", L"Row 2", L"", L"", L"", L"", L"", L"", L""}));

        // Row by row: the last rows stay at the bottom while the rows still fill the list.
        ASSERT_EQ(box.SetRowCount(30), 30);
        (void)box.ScrollTo({0, 20.0 * kRowHeight});
        ASSERT_EQ(box.RemoveRowAt(29), 0);
        EXPECT_EQ(box.GetTopRow(), 19);
        for (int removed = 0; removed < 25; ++removed) {
            ASSERT_EQ(box.RemoveRowAt(0), 0);
        }
        EXPECT_EQ(box.GetTopRow(), 0) << "four rows left";
    }
}

TEST_F(ListBox, AListWithoutTemplateShowsItsNumberedChildrenAsItsRows)
{
    const auto row = [](const std::string& name, int y) {
        return Testing::Wearing("Framework.ListBoxItem", name, "rowLooks",
                                "YPositionAbs=\"" + std::to_string(y) + R"(" XSizeAbs="100" YSizeAbs="20")");
    };
    harness.LoadStrings(StringTable("Framework.ListBox|item1", {{"LABEL", "first"}}) +
                        StringTable("Framework.ListBox|item2", {{"LABEL", "second"}}));
    harness.LoadSkinDocument(Testing::ListSkinDocument(Testing::Wearing(
        "Test.Panel", "main", "listLooks", "",
        Testing::Wearing("Framework.ListBox", "list", "listLooks", R"(XSizeAbs="200" YSizeAbs="140")",
                         row("item2", 20) + row("item1", 0) + row("item0", 40) + row("itemX", 60) +
                             row("item4", 80)))));
    main = harness.CreateRoot(L"main");
    auto& box = dynamic_cast<LListBox&>(*main->FindChildByName(L"list"));
    ASSERT_EQ(box.GetRowCount(), 2u) << "item1 and item2; the numbering stops at the first gap";
    EXPECT_EQ(box.GetRowText(0), L"first");
    EXPECT_EQ(box.GetRowText(1), L"second");
    EXPECT_EQ(box.GetRowHeight(), 20);
    ASSERT_EQ(box.GetRowControlCount(), 2u);
    EXPECT_EQ(box.GetRowControl(0)->GetName(), L"item1");
    EXPECT_EQ(box.GetRowControl(1)->GetName(), L"item2");
    EXPECT_EQ(box.GetRowControl(0)->GetSize().x, 100.0 + 6 * 7) << "the widest row: \"second\" and the margin";
}

TEST_F(ListBox, ControlsAddedLaterJoinTheRowControlsOnlyInTheirOrderAndADeferredTemplateIsTaken)
{
    const std::string emptyList =
        Testing::Wearing("Framework.ListBox", "list", "listLooks", R"(XSizeAbs="200" YSizeAbs="140")");
    harness.LoadSkinDocument(Testing::ListSkinDocument(
        Testing::Wearing("Test.Panel", "main", "listLooks", "", emptyList) +
        Testing::Wearing("Framework.ListBoxItem", "spareRow", "rowLooks", R"(XSizeAbs="200" YSizeAbs="20")")));
    main = harness.CreateRoot(L"main");
    auto& box = dynamic_cast<LListBox&>(*main->FindChildByName(L"list"));
    const RCPtr<LControlDescriptor> spare = harness.Factory().FindControlDescriptor(L"spareRow");
    const auto named = [&](const wchar_t* name) {
        return LControlFactory::DeriveControlDescriptor(spare, spare->GetLayoutDescriptor(), name);
    };
    const auto add = [&](const wchar_t* name) {
        const RCPtr<LControlDescriptor> descriptor = named(name);
        return box.AddChild(harness.Factory().CreateControl(descriptor, nullptr), descriptor);
    };
    AddRows(box, {L"abc"});
    EXPECT_EQ(add(L"item2"), 0);
    EXPECT_EQ(add(L"itemX"), 0);
    EXPECT_EQ(box.GetRowControlCount(), 0u) << "not the next in order";
    EXPECT_EQ(add(L"item1"), 0);
    ASSERT_EQ(box.GetRowControlCount(), 1u);
    EXPECT_EQ(box.GetRowControl(0)->GetName(), L"item1");
    EXPECT_EQ(box.GetWidestRow(), 3 * 7) << "the row given before, measured once it shows";

    EXPECT_EQ(box.AddChild(nullptr, named(L"other")), ZV_E_FAIL);
    EXPECT_EQ(box.AddChild(nullptr, nullptr), 0);
    EXPECT_EQ(box.AddChild(nullptr, named(L"templateItem")), 0);
    EXPECT_EQ(box.GetRowHeight(), 20) << "measured from the template";
    EXPECT_EQ(box.FindChildByName(L"templateItem"), nullptr) << "the template lends only its descriptor";
}

TEST_F(ListBox, SnappingTheHeightToRowsKeepsWholeRows)
{
    ListSpec spec;
    LListBox& box = CreateList(spec);
    ASSERT_EQ(box.FitHeight(150), 0);
    EXPECT_EQ(box.GetSize().y, 150.0);
    EXPECT_EQ(box.SnapHeightToRows(), 0);
    EXPECT_EQ(box.GetSize().y, 140.0);
    ASSERT_EQ(box.FitHeight(5), 0);
    EXPECT_EQ(box.SnapHeightToRows(), 0);
    EXPECT_EQ(box.GetSize().y, 14.0) << "at least one row";
}

TEST_F(ListBox, ATemplateOfNoHeightGivesRowsOf14PixelsAndMakesNoEndlessRowControls)
{
    LListBox& box = CreateList(WithTemplate(R"(XSizeToControl="Client" XSizeRel="1" XSizeAbs="0" YSizeAbs="0")"));
    AddRows(box, {L"a", L"b"});
    EXPECT_EQ(box.GetRowHeight(), 14);
    EXPECT_EQ(box.GetRowControlCount(), 1u);
}

TEST_F(ListBox, TheWidestRowSetsTheContentWidthAndIsFoundAgainWhenItGoes)
{
    // Rows as wide as their text: 7 pixels a character and 2 on each side of the text.
    LListBox& box = CreateList(WithTemplate(R"(XSizeAbs="4" YSizeAbs="14" TextOverflowXType="Expand")"));
    AddRows(box, {L"abc", L"abcdefghij", L"ab"});
    EXPECT_EQ(box.GetWidestRow(), 10 * 7 + 4);
    EXPECT_EQ(box.GetClientExtent().x, 10.0 * 7 + 4);
    EXPECT_EQ(box.GetRowControl(0)->GetSize().x, 10.0 * 7 + 4) << "every row control as wide as the widest row";
    EXPECT_EQ(box.RemoveRowAt(1), 0);
    EXPECT_EQ(box.GetWidestRow(), 3 * 7 + 4);
    box.SetRowData(1, LStringWrapper::Create(L"abcdef"));
    EXPECT_EQ(box.GetWidestRow(), 6 * 7 + 4);
}

TEST_F(ListBox, ChangingAddingOrRemovingOneRowMeasuresThatRowAndTheRowsShownNotEveryRow)
{
    LListBox& box = CreateList(WithTemplate(R"(XSizeAbs="4" YSizeAbs="14" TextOverflowXType="Expand")"));
    // Texts of one width, as a table's often are: every row is as wide as the widest.
    Texts rows;
    for (int row = 0; row < 300; ++row) {
        rows.push_back(std::wstring(WideString::Format(L"Row %03d", row).GetData()));
    }
    AddRows(box, rows);
    ASSERT_EQ(box.GetWidestRow(), 7 * 7 + 4);
    // The changed row, and at most the texts of the row controls that show rows: never one per row of the list.
    const std::size_t bound = box.GetRowControlCount() + 2;
    const auto measurements = [&](auto&& change) { return Testing::MeasurementsDuring(harness, change); };

    EXPECT_LE(measurements([&] { box.SetRowData(5, LStringWrapper::Create(L"Row 5b5")); }), bound);
    EXPECT_LE(measurements([&] { box.SetRowData(5, LStringWrapper::Create(L"The widest row")); }), bound);
    EXPECT_EQ(box.GetWidestRow(), 14 * 7 + 4);
    EXPECT_LE(measurements([&] { box.SetRowData(5, LStringWrapper::Create(L"a")); }), bound);
    EXPECT_EQ(box.GetWidestRow(), 7 * 7 + 4) << "the widest row narrowed: the next widest is found";
    EXPECT_LE(measurements([&] { EXPECT_EQ(box.RemoveRowAt(0), 0); }), bound);
    EXPECT_LE(measurements([&] { EXPECT_GE(box.InsertRowWithData(7, LStringWrapper::Create(L"Row 7b7")), 0); }),
              bound);
    EXPECT_EQ(box.GetWidestRow(), 7 * 7 + 4);

    // Sorted last, the one widest row goes, and with it its width.
    box.SetRowData(5, LStringWrapper::Create(L"zz the widest row"));
    EXPECT_LE(measurements([&] { box.SortRows(); }), bound);
    const std::uint32_t last = box.GetRowCount() - 1;
    ASSERT_EQ(box.GetRowText(last), WideString(L"zz the widest row"));
    EXPECT_EQ(box.RemoveRowAt(last), 0);
    EXPECT_EQ(box.GetWidestRow(), 7 * 7 + 4) << "the rows' widths moved with them";
}

TEST_F(ListBox, AListWhoseRowsExpandWithTheirTextWidensForItsWidestRowAndForItsBar)
{
    ListSpec spec = WithTemplate(R"(XSizeAbs="4" YSizeAbs="14" TextOverflowXType="Expand")");
    spec.listChildren = VerticalBar();
    LListBox& box = CreateList(spec);
    const std::wstring wide(30, L'w');
    AddRows(box, {wide, L"a", L"b"});
    EXPECT_EQ(box.GetSize().x, 30.0 * 7 + 4) << "as wide as the widest row";
    AddRows(box, std::vector<std::wstring>(10, L"c"));
    ASSERT_TRUE(box.GetVerticalBar()->IsVisible(false));
    EXPECT_EQ(box.GetSize().x, 30.0 * 7 + 4 + 10) << "and the bar beside it";
    EXPECT_EQ(box.RemoveRowAt(0), 0);
    EXPECT_EQ(box.GetSize().x, 200.0) << "never narrower than the skin made it";
}

TEST_F(ListBox, RowsGivenBeforeAnyRowShowsAreMeasuredOnceTheyShow)
{
    ListSpec spec = WithTemplate(R"(XSizeAbs="4" YSizeAbs="14" TextOverflowXType="Expand")");
    spec.listAttributes = R"(XSizeAbs="20" YSizeAbs="0")";
    LListBox& box = CreateList(spec);
    AddRows(box, {L"abc", L"abcdefghij", L"ab"});
    ASSERT_EQ(box.GetRowControlCount(), 0u) << "no height yet";
    ASSERT_EQ(box.FitHeight(140), 0);
    EXPECT_EQ(box.GetWidestRow(), 10 * 7 + 4);
    EXPECT_EQ(box.GetClientExtent().x, 10.0 * 7 + 4);
    EXPECT_EQ(box.GetSize().x, 10.0 * 7 + 4) << "widened for it";

    LListBox& menu = CreateList(spec);
    ASSERT_EQ(menu.SetTrackItems(true), 0);
    AddRows(menu, {L"abcdef"});
    ASSERT_EQ(menu.GetRowControlCount(), 1u);
    EXPECT_EQ(menu.GetWidestRow(), 6 * 7 + 4) << "a tracking list grows to its one row";
}

TEST_F(ListBox, TheListsLookFollowsItsFocusAndEnabling)
{
    LListBox& box = CreateList();
    AddRows(box, {L"a"});
    EXPECT_EQ(box.GetActiveLookIndex(), 0);
    ClickControl(0);
    EXPECT_EQ(harness.Window().GetFocusControl(), list) << "a row passes the focus to its list";
    EXPECT_EQ(box.GetActiveLookIndex(), 2);
    box.SetEnabled(false);
    EXPECT_EQ(box.GetActiveLookIndex(), 1);
}

TEST_F(ListBox, AListDisabledBeforeAnyOtherChangeShowsItsDisabledLookAndKeepsItUnderNewLooks)
{
    for (const auto& [listClass, rowClass] : {std::pair{"Framework.ListBox", "Framework.ListBoxItem"},
                                              std::pair{"Framework.CheckedListBox", "Framework.CheckedListBoxItem"}}) {
        SCOPED_TRACE(listClass);
        ListSpec spec;
        spec.listClass = listClass;
        spec.templateClass = rowClass;
        LListBox& box = CreateList(spec);
        AddRows(box, {L"a"});
        box.SetEnabled(false);
        EXPECT_EQ(box.GetActiveLookIndex(), 1);
        EXPECT_EQ(box.GetRowControl(0)->GetActiveLookIndex(), LListBoxItem::kDisabledLook);

        // As a new skin gives them.
        ASSERT_EQ(box.ApplyDescriptor(box.GetControlDescriptor()), ZV_S_OK);
        EXPECT_EQ(box.GetActiveLookIndex(), 1);
        ASSERT_EQ(box.GetRowControl(0)->ApplyDescriptor(box.GetRowControl(0)->GetControlDescriptor()), ZV_S_OK);
        EXPECT_EQ(box.GetRowControl(0)->GetActiveLookIndex(), LListBoxItem::kDisabledLook);
        box.SetEnabled(true);
        EXPECT_EQ(box.GetActiveLookIndex(), 0);
        EXPECT_EQ(box.GetRowControl(0)->GetActiveLookIndex(), 0);
    }
}

}  // namespace
}  // namespace ZV
