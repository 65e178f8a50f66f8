#pragma once

namespace ZV {

// Two plain values, copied and destroyed field by field (key/value texts of menus and string tables).
template <class A, class B>
struct Pair {
    A first;
    B second;
};

}  // namespace ZV
