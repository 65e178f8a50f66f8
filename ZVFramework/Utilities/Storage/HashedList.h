#pragma once

#include "ObjectBase/Exception.h"
#include "ObjectBase/TypeName.h"
#include "Utilities/Storage/IHashedList.h"
#include "Utilities/Storage/LPair.h"
#include "Utilities/Storage/RCPtrArray.h"
#include "Utilities/Storage/StringT.h"

#include <cstdint>
#include <new>
#include <utility>

namespace ZV {

// The bucket of a key: the key shifted right by Shift (arithmetically for signed keys, so -1 falls into the last
// bucket) and cut to its low Bits bits.
template <unsigned Bits, unsigned Shift, class Key>
unsigned GetBits(const Key& key)
{
    return static_cast<unsigned>((key >> Shift) & ((Key(1) << Bits) - 1));
}

// A fixed table of 2^HashBits buckets, each an array of counted key/value pairs; it never rehashes. The bucket of
// a key is GetBits(key), a plain bit slice. A key occurs at most once; each bucket is searched from its newest
// pair, and a reference given out by GetEntry stays valid until that pair is removed.
template <class T, class Key, Key (*GetKey)(const T&), unsigned HashBits, unsigned (*GetBits)(const Key&)>
class HashedList : public IHashedList<T, Key> {
    static_assert(HashBits > 0 && HashBits < 16);

    // The text of a pair is the name of its key's type, never the key's value.
    static StringT<wchar_t, char> KeyToString(const Key&) { return StringT<wchar_t, char>(TypeName<Key>().c_str()); }

    // Final, like the buckets, so that the list reaches their operations and destructors without virtual calls.
    class Entry final : public LPair<Key, T, &HashedList::KeyToString> {
    public:
        using LPair<Key, T, &HashedList::KeyToString>::LPair;
    };
    // The slot of a bucket's first pair, made before the bucket's array and destroyed after it.
    struct FirstSlot {
        Entry* slot = nullptr;
    };
    // A bucket that has held one pair at most costs no heap block.
    class Bucket final : private FirstSlot, public RCPtrArray<Entry, 1, 0> {
    public:
        Bucket() { this->StartInRoom(&this->slot, 1); }
    };
    static constexpr unsigned kBucketCount = 1u << HashBits;

public:
    HashedList() = default;
    HashedList(const HashedList&) = delete;
    HashedList& operator=(const HashedList&) = delete;
    ~HashedList() override
    {
        for (unsigned index = kBucketCount; index-- > 0;) {
            if (IsMade(index)) {
                mBuckets[index].bucket.~Bucket();
            }
        }
    }

    int GetCount() const override { return mCount; }

    void RemoveAll() override
    {
        for (unsigned index = 0; index < kBucketCount; ++index) {
            if (IsMade(index)) {
                (void)mBuckets[index].bucket.SetCount(0);
            }
        }
        mCount = 0;
    }

    bool Add(const T& value) override
    {
        const Key key = GetKey(value);
        Bucket& bucket = MadeBucketOf(key);
        if (Entry* entry = Find(bucket, key)) {
            entry->second = value;
            return false;
        }
        RCPtr<Entry> entry(new Entry(key, value), kNewObject);
        const std::uint32_t end = bucket.GetCount();
        if (Failed(bucket.InsertSpace(end, 1))) {
            ZV_THROW_OUT_OF_MEMORY();
        }
        // The new pair's only reference moves into the bucket.
        bucket.GetData()[end] = std::move(entry);
        ++mCount;
        return true;
    }

    T& GetEntry(const Key& key, T& notFound) override
    {
        Bucket* bucket = BucketOf(key);
        Entry* entry = bucket != nullptr ? Find(*bucket, key) : nullptr;
        return entry != nullptr ? entry->second : notFound;
    }

    bool Remove(const Key& key) override
    {
        Bucket* bucket = BucketOf(key);
        const std::int32_t index = bucket != nullptr ? IndexOfKey(*bucket, key) : -1;
        if (index < 0) {
            return false;
        }
        (void)bucket->RemoveRange(static_cast<std::uint32_t>(index), 1);
        --mCount;
        return true;
    }

private:
    // Room for a bucket that is made on its first pair, so that a list costs nothing to make or destroy for the
    // buckets it never used.
    union BucketRoom {
        BucketRoom() {}
        ~BucketRoom() {}
        Bucket bucket;
    };

    static unsigned IndexOf(const Key& key) { return GetBits(key) & (kBucketCount - 1); }

    bool IsMade(unsigned index) const { return (mMadeBuckets[index / 64] >> (index % 64) & 1) != 0; }

    // The key's bucket, or null while no pair ever went into it.
    Bucket* BucketOf(const Key& key)
    {
        const unsigned index = IndexOf(key);
        return IsMade(index) ? &mBuckets[index].bucket : nullptr;
    }

    Bucket& MadeBucketOf(const Key& key)
    {
        const unsigned index = IndexOf(key);
        if (!IsMade(index)) {
            new (&mBuckets[index].bucket) Bucket;
            mMadeBuckets[index / 64] |= std::uint64_t{1} << (index % 64);
        }
        return mBuckets[index].bucket;
    }

    static std::int32_t IndexOfKey(const Bucket& bucket, const Key& key)
    {
        const RCPtr<Entry>* entries = bucket.GetData();
        for (std::uint32_t index = bucket.GetCount(); index-- > 0;) {
            if (entries[index]->first == key) {
                return static_cast<std::int32_t>(index);
            }
        }
        return -1;
    }

    static Entry* Find(Bucket& bucket, const Key& key)
    {
        const std::int32_t index = IndexOfKey(bucket, key);
        return index < 0 ? nullptr : bucket.GetData()[index].Get();
    }

    int mCount = 0;
    std::uint64_t mMadeBuckets[(kBucketCount + 63) / 64] = {};
    BucketRoom mBuckets[kBucketCount];
};

}  // namespace ZV
