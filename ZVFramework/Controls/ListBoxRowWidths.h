#pragma once

#include <cstdint>
#include <map>

namespace ZV {

// The measured widths of a list's rows, kept as the number of rows at each width, so that a row whose width
// changes is taken out and put back without measuring any other row, and the widest is known at once.
class ListBoxRowWidths {
public:
    void Add(std::int32_t width) { ++mRowsAtWidth[width]; }
    // A width added before.
    void Remove(std::int32_t width)
    {
        const auto found = mRowsAtWidth.find(width);
        if (found != mRowsAtWidth.end() && --found->second == 0) {
            mRowsAtWidth.erase(found);
        }
    }
    void Clear() { mRowsAtWidth.clear(); }
    // 0 without rows.
    std::int32_t GetWidest() const { return mRowsAtWidth.empty() ? 0 : mRowsAtWidth.rbegin()->first; }

private:
    std::map<std::int32_t, std::uint32_t> mRowsAtWidth;
};

}  // namespace ZV
