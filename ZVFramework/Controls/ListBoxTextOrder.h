#pragma once

#include "Utilities/Storage/Array.h"
#include "Utilities/Storage/StringT.h"

#include <cstdint>
#include <vector>

namespace ZV {

// Rows' texts in lower case, one after another in one block, and the order that sorts them whatever their case:
// the order of the rows of a list or a table sorted by text.
class ListBoxTextOrder {
public:
    explicit ListBoxTextOrder(std::uint32_t count);

    // The text of the next row, 0, 1, 2...
    void Add(const WideString& text);
    // The rows added, ascending or descending by text; equal texts keep the order of their rows. order[k] is the
    // row that comes k-th.
    void Sort(bool ascending, Array<std::uint32_t>& order) const;

private:
    // Where each text starts in mUnits, and one past the last.
    std::vector<std::uint32_t> mStarts;
    std::vector<wchar_t> mUnits;
};

}  // namespace ZV
