#pragma once

#include "ControlBase/MenuDescriptor.h"
#include "ControlBase/StringTable.h"

#include <map>

namespace ZV {

// Lists of (id, text) pairs by group name: the submenus a menu list may refer to.
using MenuGroups = std::map<WideString, StringPairArray>;

// A menu from string-table entries, in the order given (a table's key order). A key is an item number, or a group
// name and an item number, then the item's notification id, joined by "." ("00.NID_EDIT_CUT_REQ",
// "CONTEXT_MENU0.01.NID_MENU_FILE_EXIT_REQ"); keys with fewer than two parts are no items. Without a group name an
// entry belongs to the menu; with one, to that group. Each list takes only the entry numbered as its next item
// (0, 1, 2, ...): one out of sequence is dropped, and so is every later entry that no longer fits. The text is
// the label, optionally followed by "|" and a tool tip. Null when the menu cannot be built.
RCPtr<LMenuDescriptor> CreateMenuDescriptor(const StringPairArray& entries);

// Fills a menu from a list of (id, text) pairs: the id "-" makes a separator, an id ending in "." a submenu of the
// group named by the id without its trailing points (nothing when no such group exists, or when that group is
// being built already further up), any other id a command. A null menu is made, any other is emptied first.
// 0, or the first failure of inserting an item.
[[nodiscard]] ZVRESULT BuildMenuDescriptor(const StringPairArray& list, const MenuGroups& groups,
                                           RCPtr<LMenuDescriptor>& menu);

}  // namespace ZV
