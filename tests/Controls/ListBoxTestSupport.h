#pragma once

#include "Controls/ControlsHarness.h"
#include "Controls/ListBox.h"
#include "Controls/ListTestSkin.h"
#include "Notification/MouseParams.h"
#include "System/RootWindowTarget.h"
#include "Utilities/Storage/WrapperStringable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace ZV::Testing {

// How many texts the harness's renderer measured while the work ran: the rows' widths and the row controls' own
// texts.
template <class Work>
std::size_t MeasurementsDuring(ControlHarness& harness, Work&& work)
{
    harness.Renderer().ClearCalls();
    work();
    const std::vector<RecordedCall>& calls = harness.Renderer().GetCalls();
    return static_cast<std::size_t>(std::count_if(calls.begin(), calls.end(), [](const RecordedCall& call) {
        return call.operation.rfind("MeasureText ", 0) == 0;
    }));
}

// What a test's list is made of; the defaults make a plain list of plain rows.
struct ListSpec {
    std::string listClass = "Framework.ListBox";
    std::string listLooks = "listLooks";
    std::string templateClass = "Framework.ListBoxItem";
    std::string templateAttributes = R"(XSizeToControl="Client" XSizeRel="1" XSizeAbs="0" YSizeAbs="14")";
    std::string templateChildren;
    std::string listAttributes = R"(XSizeAbs="200" YSizeAbs="140")";
    // Children of the list besides its template.
    std::string listChildren;
    // More of the skin document.
    std::string topLevelControls;
    std::string parts;
    std::string looks;
    std::string lookLists;
};

// The window's control holding one list at (0, 0), unless the test sizes it 200 x 140: ten rows of 14 pixels, made
// from a template as wide as the list's client area. Hit tests go through the controls, as in a real window.
class ListBoxFixture : public ::testing::Test {
protected:
    static constexpr int kRowHeight = 14;

    // A plain list whose row template has the attributes.
    static ListSpec WithTemplate(const std::string& templateAttributes)
    {
        ListSpec spec;
        spec.templateAttributes = templateAttributes;
        return spec;
    }

    template <class List = LListBox>
    List& CreateList(const ListSpec& spec = ListSpec())
    {
        const std::string rowTemplate =
            Wearing(spec.templateClass, "templateItem", "rowLooks", spec.templateAttributes, spec.templateChildren);
        harness.LoadSkinDocument(ListSkinDocument(
            Wearing("Test.Panel", "main", "listLooks", "",
                    Wearing(spec.listClass, "list", spec.listLooks, spec.listAttributes,
                            rowTemplate + spec.listChildren)) +
                spec.topLevelControls,
            spec.parts, spec.looks, spec.lookLists));
        main = harness.CreateRoot(L"main");
        list = main->FindChildByName(L"list");
        return dynamic_cast<List&>(*list);
    }

    // A vertical bar 10 pixels wide along the list's right edge: its step buttons at its ends and a channel with a
    // thumb between them.
    static std::string VerticalBar()
    {
        const std::string button = R"(XSizeAbs="10" YSizeAbs="10")";
        return SubControl("Framework.ScrollBar", "vBar",
                          R"(XIsDocked="True" YIsDocked="True" XPositionToControl="Parent" XPositionRel="1" )"
                          R"(XPlacementAnchor="1" XSizeAbs="10" YSizeToControl="Parent" YSizeRel="1" YSizeAbs="0")",
                          SubControl("Framework.Button", "dec", button) +
                              SubControl("Framework.Button", "inc",
                                         button + R"( YPositionToControl="Parent" YPositionRel="1" )"
                                                  R"(YPlacementAnchor="1")") +
                              SubControl("Framework.ScrollChannel", "channel",
                                         R"(XSizeAbs="10" YPositionAbs="10" YSizeToControl="Parent" YSizeRel="1" )"
                                         R"(YSizeAbs="-20")",
                                         SubControl("Framework.Button", "thumb", button)));
    }

    static void AddRows(LListBox& box, const std::vector<std::wstring>& texts)
    {
        for (const std::wstring& text : texts) {
            ASSERT_GE(box.InsertRowWithData(box.GetRowCount(), LStringWrapper::Create(text.c_str())), 0);
        }
    }

    static void AddNumberedRows(LListBox& box, int count)
    {
        for (int row = 0; row < count; ++row) {
            ASSERT_GE(box.InsertRowWithData(box.GetRowCount(),
                                            LStringWrapper::Create(WideString::Format(L"Row %d", row))),
                      0);
        }
    }

    // What the row controls show, in order; "(none)" where the list has lost a row control.
    static std::vector<std::wstring> Shown(const LListBox& box)
    {
        std::vector<std::wstring> texts;
        for (std::uint32_t index = 0; index < box.GetRowControlCount(); ++index) {
            const RCPtr<LListBoxItem> control = box.GetRowControl(index);
            if (!control) {
                texts.emplace_back(L"(none)");
                continue;
            }
            const WideString& text = control->GetText();
            texts.emplace_back(text.GetData(), text.GetLength());
        }
        return texts;
    }

    static std::vector<std::uint32_t> Selected(LListBox& box)
    {
        const Array<std::uint32_t>& rows = box.CollectSelectedRows();
        return std::vector<std::uint32_t>(rows.GetData(), rows.GetData() + rows.GetCount());
    }

    // A click on the row control at that index, with the modifier keys (0x1 Ctrl, 0x8 Shift).
    void ClickControl(std::uint32_t index, std::uint32_t modifiers = 0)
    {
        const PointT<zlong> point{10, static_cast<zlong>(index) * kRowHeight + 5};
        harness.Window().SetMouseButtonState(MouseButton::kLeft);
        harness.Mouse().RouteMouseButton(IRootWindowTarget::kPress, MouseButton::kLeft, modifiers, point);
        harness.Window().SetMouseButtonState(0);
        harness.Mouse().RouteMouseButton(IRootWindowTarget::kRelease, MouseButton::kLeft, modifiers, point);
    }

    ControlsHarness harness;
    RCPtr<LControl> main;
    RCPtr<LControl> list;
};

}  // namespace ZV::Testing
