#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "Utilities/Storage/HashedList.h"
#include "Utilities/Storage/LPair.h"
#include "Utilities/Storage/StringT.h"

#include <cstdint>

namespace ZV {

// The text of the object a counted pointer holds; empty for null.
template <class T>
StringT<wchar_t, char> ToString(const ConstRCPtr<T>& pointer)
{
    return pointer ? pointer->ToString() : StringT<wchar_t, char>();
}

// The counted part of a pair's first element, whose address identifies the key object. It is read without
// taking a reference, so that a key that is held unshareable is neither copied nor refused.
template <class P>
const LRefCountedObject* GetFirstObject(const RCPtr<P>& pair)
{
    return pair ? static_cast<const LRefCountedObject*>(pair->first.Get()) : nullptr;
}

// The identity of a counted object as a map key: the address of its counted part; 0 for none.
inline std::intptr_t ObjectKey(const LRefCountedObject* object)
{
    return reinterpret_cast<std::intptr_t>(object);
}

template <class P, const LRefCountedObject* (*GetFirst)(const RCPtr<P>&), unsigned Bits>
struct RCPtrHalfMapHelper {
    static std::intptr_t GetKey(const RCPtr<P>& pair) { return ObjectKey(GetFirst(pair)); }
    // Bits 4 and up of the address: the low four are the same for every object.
    static unsigned GetHandleBits(const std::intptr_t& key) { return GetBits<Bits, 4, std::intptr_t>(key); }
};

// Counted pairs kept by the identity of their first element, in 2^Bits buckets.
template <class P, const LRefCountedObject* (*GetFirst)(const RCPtr<P>&), unsigned Bits>
class RCPtrHalfMap
    : public HashedList<RCPtr<P>, std::intptr_t, &RCPtrHalfMapHelper<P, GetFirst, Bits>::GetKey, Bits,
                        &RCPtrHalfMapHelper<P, GetFirst, Bits>::GetHandleBits> {
public:
    // The pair whose first element is the key object, or a null pair.
    virtual const RCPtr<P>& GetPair(const ConstRCPtr<LRefCountedObject>& key) { return FindPair(key.Get()); }
    virtual bool RemovePair(const ConstRCPtr<LRefCountedObject>& key) { return this->Remove(ObjectKey(key.Get())); }

protected:
    const RCPtr<P>& FindPair(const LRefCountedObject* keyObject)
    {
        static RCPtr<P> nullPair;
        return this->GetEntry(ObjectKey(keyObject), nullPair);
    }
};

// Counted values by the identity of counted key objects. Each entry pair holds a reference to its key and to its
// value, so a key object stays alive while it is in the map.
template <class K, class V, unsigned Bits>
class RCPtrMap
    : public RCPtrHalfMap<LPair<ConstRCPtr<K>, RCPtr<V>, &ToString<K>>,
                          &GetFirstObject<LPair<ConstRCPtr<K>, RCPtr<V>, &ToString<K>>>, Bits> {
public:
    using EntryPair = LPair<ConstRCPtr<K>, RCPtr<V>, &ToString<K>>;

    // The value stored for the key object, or a null value.
    virtual const RCPtr<V>& GetValue(const ConstRCPtr<K>& key)
    {
        static const RCPtr<V> nullValue;
        const RCPtr<EntryPair>& pair = this->FindPair(key.Get());
        return pair ? pair->second : nullValue;
    }

    // A new entry pair replaces the one held for the key object: true when the key was not held before.
    virtual bool SetValue(const ConstRCPtr<K>& key, const RCPtr<V>& value)
    {
        return this->Add(RCPtr<EntryPair>(new EntryPair(key, value)));
    }
};

}  // namespace ZV
