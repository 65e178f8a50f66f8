#pragma once

#include "ObjectBase/Exception.h"
#include "ObjectBase/RefCountedObject.h"
#include "Utilities/Storage/IArray.h"

#include <algorithm>
#include <cstdint>
#include <new>

namespace ZV::ArrayUtils {

// Sorts items start .. start + count - 1 in place. Items the predicate finds equal keep their order, so children
// of equal layout order stay in the order the skin lists them. Fewer than two items: nothing, not even a check.
template <class T, class Predicate>
void Sort(IArray<ConstRCPtr<T>>& array, std::uint32_t start, std::uint32_t count, Predicate predicate)
{
    if (count < 2) {
        return;
    }
    if (static_cast<std::uint64_t>(start) + count > array.GetCount()) {
        ZV_THROW_IN("ZV::ArrayUtils::Sort", std::out_of_range, "");
    }
    ConstRCPtr<T>* first = array.GetData() + start;
    std::stable_sort(first, first + count, predicate);
}

// Fills indices with first .. first + count - 1 and sorts them by the keys they name; the keys stay as they are.
// The range is checked for every count.
template <class Control, class Predicate>
void SortIndecies(IArray<unsigned int>& indices, const IArray<RCPtr<Control>>& keys, std::uint32_t first,
                  std::uint32_t count, Predicate predicate)
{
    if (static_cast<std::uint64_t>(first) + count > keys.GetCount()) {
        ZV_THROW_IN("ZV::ArrayUtils::SortIndecies", std::out_of_range, "");
    }
    if (indices.SetCount(count) != static_cast<ZVRESULT>(count)) {
        ZV_THROW_OUT_OF_MEMORY();
    }
    unsigned int* data = indices.GetData();
    for (std::uint32_t i = 0; i < count; ++i) {
        data[i] = first + i;
    }
    if (count >= 2) {
        std::sort(data, data + count, predicate);
    }
}

}  // namespace ZV::ArrayUtils
