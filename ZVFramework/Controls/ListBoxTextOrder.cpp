#include "Controls/ListBoxTextOrder.h"

#include <algorithm>
#include <string_view>

namespace ZV {

namespace {

// A row while the rows sort: its first four units of text, which decide most comparisons without reaching the
// texts themselves, and the row.
struct SortKey {
    std::uint64_t head;
    std::uint32_t row;
};

// The first four UTF-16 units, 0 past the end: ordered as the texts are, unless they share those units.
std::uint64_t HeadOf(std::wstring_view text)
{
    std::uint64_t head = 0;
    for (std::size_t index = 0; index < 4; ++index) {
        head = (head << 16) | (index < text.size() ? static_cast<std::uint16_t>(text[index]) : 0u);
    }
    return head;
}

}  // namespace

ListBoxTextOrder::ListBoxTextOrder(std::uint32_t count)
{
    mStarts.reserve(std::size_t{count} + 1);
    mStarts.push_back(0);
}

void ListBoxTextOrder::Add(const WideString& text)
{
    const WideString lower = text.ToLower();
    mUnits.insert(mUnits.end(), lower.GetData(), lower.GetData() + lower.GetLength());
    mStarts.push_back(static_cast<std::uint32_t>(mUnits.size()));
}

void ListBoxTextOrder::Sort(bool ascending, Array<std::uint32_t>& order) const
{
    const auto count = static_cast<std::uint32_t>(mStarts.size() - 1);
    const auto textOf = [this](std::uint32_t row) {
        return std::wstring_view(mUnits.data() + mStarts[row], mStarts[row + 1] - mStarts[row]);
    };
    std::vector<SortKey> keys(count);
    for (std::uint32_t row = 0; row < count; ++row) {
        keys[row] = {HeadOf(textOf(row)), row};
    }
    const auto before = [&textOf](const SortKey& a, const SortKey& b) {
        return a.head != b.head ? a.head < b.head : textOf(a.row) < textOf(b.row);
    };
    if (ascending) {
        std::stable_sort(keys.begin(), keys.end(), before);
    } else {
        std::stable_sort(keys.begin(), keys.end(),
                         [&before](const SortKey& a, const SortKey& b) { return before(b, a); });
    }
    (void)order.SetCount(count);
    for (std::uint32_t place = 0; place < count; ++place) {
        order.GetData()[place] = keys[place].row;
    }
}

}  // namespace ZV
