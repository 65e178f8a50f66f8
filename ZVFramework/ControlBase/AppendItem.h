#pragma once

#include "ObjectBase/Exception.h"
#include "ObjectBase/ResultCodes.h"

#include <new>

namespace ZV {

// Appends the item to a framework array; an array that cannot grow throws, so a skin is never silently short of a
// descriptor.
template <class Array, class Item>
void AppendItem(Array& array, const Item& item)
{
    if (Failed(array.AddItem(item))) {
        ZV_THROW_OUT_OF_MEMORY();
    }
}

}  // namespace ZV
