#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "Utilities/Storage/StringT.h"

namespace ZV {

// A counted key/value pair: the entries of hashed-list buckets and of object maps. Its text is the text that
// ToStringFn gives for the key. Destroying it releases the value first, then the key.
template <class A, class B, StringT<wchar_t, char> (*ToStringFn)(const A&)>
class LPair : public virtual LRefCountedObject {
public:
    LPair(const A& firstValue, const B& secondValue) : first(firstValue), second(secondValue) {}

    StringT<wchar_t, char> ToString() const override { return ToStringFn(first); }

    A first;
    B second;
};

}  // namespace ZV
