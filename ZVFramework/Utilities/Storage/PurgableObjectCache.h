#pragma once

#include "ObjectBase/Exception.h"
#include "ObjectBase/TypeName.h"
#include "Utilities/Storage/HashedList.h"
#include "Utilities/Storage/PurgableCacheEntry.h"

#include <cstdint>
#include <memory>

namespace ZV {

// A fixed number of costly objects, each built by the caller from a key. Get hands back the object slot of the
// key's entry; a null slot asks the caller to build the object and store it there. A miss takes the next entry
// never used, then the first empty one, then the one unused for longest (ties: fewer uses, then lower position).
// The clock counts lookups; Purge drops every object not used since a tick of that clock.
template <class T, class Key, class KeyId, KeyId (*GetKeyId)(const Key&), unsigned HashBits,
          unsigned (*GetBits)(const KeyId&)>
class PurgableObjectCache {
    using Entry = PurgableCacheEntry<T, KeyId>;

public:
    explicit PurgableObjectCache(int capacity) : mCapacity(capacity)
    {
        if (capacity < 1) {
            ZV_THROW_IN(JoinTemplateName("ZV::PurgableObjectCache", TypeName<T>() + "," + TypeName<Key>()) +
                            "::PurgableObjectCache",
                        std::invalid_argument, "a cache needs at least one entry");
        }
        mEntries = std::make_unique<Entry[]>(static_cast<std::size_t>(capacity));
    }
    PurgableObjectCache(const PurgableObjectCache&) = delete;
    PurgableObjectCache& operator=(const PurgableObjectCache&) = delete;
    virtual ~PurgableObjectCache() = default;

    // With discard, a cached object of the key is released first, so that the caller builds it anew.
    RCPtr<T>& Get(const Key& key, bool discard)
    {
        const KeyId id = GetKeyId(key);
        Entry* entry = Lookup(id);
        if (entry == nullptr) {
            entry = TakeEntryFor(id);
        } else if (discard) {
            entry->Reset();
        }
        entry->MarkUsed(++mClock);
        return entry->GetObjectSlot();
    }

    // Releases the object of every entry last used before the tick (signed difference, so the clock may wrap)
    // and returns how many entries that was. The entries keep their keys: a later Get is a hit on an empty slot.
    int Purge(std::uint32_t tick)
    {
        int purged = 0;
        for (int position = 0; position < mCapacity; ++position) {
            Entry& entry = mEntries[position];
            if (static_cast<std::int32_t>(entry.GetLastUse() - tick) < 0) {
                entry.Reset();
                ++purged;
            }
        }
        return purged;
    }

    // Forgets the key: its object is released and its entry becomes the first to be taken again.
    bool Remove(const Key& key)
    {
        const KeyId id = GetKeyId(key);
        Entry* entry = Lookup(id);
        if (entry == nullptr) {
            return false;
        }
        entry->Reset();
        mIndex.Remove(id);
        return true;
    }

    int GetCapacity() const { return mCapacity; }
    std::uint32_t GetClock() const { return mClock; }
    // The tick that the owner last purged against; the owner keeps it here.
    std::uint32_t GetPurgeMark() const { return mPurgeMark; }
    void SetPurgeMark(std::uint32_t mark) { mPurgeMark = mark; }

protected:
    static KeyId GetEntryID(Entry* const& entry) { return entry->GetKeyId(); }

private:
    Entry* Lookup(const KeyId& id)
    {
        Entry* notFound = nullptr;
        return mIndex.GetEntry(id, notFound);
    }

    Entry* TakeEntryFor(const KeyId& id)
    {
        Entry* entry = nullptr;
        if (mAssignedCount < mCapacity) {
            entry = &mEntries[mAssignedCount++];
        } else {
            entry = ChooseEntryToReuse();
            // A removed key may have left the index already, and its id may since name another entry.
            if (Lookup(entry->GetKeyId()) == entry) {
                mIndex.Remove(entry->GetKeyId());
            }
        }
        entry->Reassign(id);
        mIndex.Add(entry);
        return entry;
    }

    Entry* ChooseEntryToReuse()
    {
        int best = 0;
        std::uint32_t bestAge = 0;
        std::uint32_t bestUses = UINT32_MAX;
        for (int position = 0; position < mCapacity; ++position) {
            Entry& entry = mEntries[position];
            if (entry.IsEmpty()) {
                return &entry;
            }
            const std::uint32_t age = mClock - entry.GetLastUse();
            if (age > bestAge || (age == bestAge && entry.GetUseCount() < bestUses)) {
                best = position;
                bestAge = age;
                bestUses = entry.GetUseCount();
            }
        }
        return &mEntries[best];
    }

    int mCapacity;
    std::uint32_t mClock = 0;
    std::uint32_t mPurgeMark = 0;
    // Entries are assigned in order from position 0; those below this count have been.
    int mAssignedCount = 0;
    HashedList<Entry*, KeyId, &PurgableObjectCache::GetEntryID, HashBits, GetBits> mIndex;
    std::unique_ptr<Entry[]> mEntries;
};

}  // namespace ZV
