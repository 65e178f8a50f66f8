#pragma once

#include "Controls/CheckedListBoxItem.h"

namespace ZV {

// The row of a popup menu: a checked row whose "checkBox" shows the item's check mark, and whose "hotKeyLabel"
// (a label) shows its shortcut text. The menu fills both; a row with a submenu shows the marked looks.
class LMenuListBoxItem : public LCheckedListBoxItem {
public:
    using LCheckedListBoxItem::LCheckedListBoxItem;
};

}  // namespace ZV
