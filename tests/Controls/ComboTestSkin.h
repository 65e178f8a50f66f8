#pragma once

#include "Controls/ControlsHarness.h"

#include <string>

namespace ZV::Testing {

// The height of a combo's list rows in the skins below.
constexpr int kComboRowHeight = 14;

// A combo box 100 x 20 at (20, y) wearing the fourteen colour looks, whose list (and its rows) reaches outside it,
// 100 wide and at most maxHeight high (0: no limit). Its list and rows are of the classes given, the list wearing
// the look list given; children are more of the combo's parts.
inline std::string ComboAt(const std::string& className, const std::string& name, int y, int maxHeight,
                           const std::string& children = "", const std::string& listClass = "Framework.ListBox",
                           const std::string& rowClass = "Framework.ListBoxItem", const std::string& rowChildren = "",
                           const std::string& createParams = "", const std::string& listLooks = "panel")
{
    const std::string row =
        Wearing(rowClass, "templateItem", "button",
                "XSizeToControl=\"Client\" XSizeRel=\"1\" XSizeAbs=\"0\" YSizeAbs=\"" +
                    std::to_string(kComboRowHeight) + "\"",
                rowChildren);
    const std::string list =
        Wearing(listClass, "listBox", listLooks,
                R"(ClipToParent="False" Z_Order="100" XSizeAbs="100" YSizeAbs="14" YMaxSizeAbs=")" +
                    std::to_string(maxHeight) + "\"",
                row);
    return Wearing(className, name, "button",
                   "XPositionAbs=\"20\" YPositionAbs=\"" + std::to_string(y) + R"(" XSizeAbs="100" YSizeAbs="20")",
                   list + children, createParams);
}

// The items of a combo's string table.
inline std::string ComboItems(const std::string& name, std::initializer_list<std::pair<std::string, std::string>> items)
{
    return StringTable("Test.Panel|" + name, items);
}

}  // namespace ZV::Testing
