#pragma once

#include "Utilities/Storage/StringT.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <stdexcept>
#include <string_view>
#include <utility>
#include <vector>

namespace ZV {

// Values by name, names compared exactly; a name keeps the first value added under it. Hashed, as a skin adds
// thousands of names and only ever looks them up one by one. A value found stays where it is while others are
// added.
template <class Value>
class NameMap {
public:
    // Whether the value went in.
    bool Add(const WideString& name, const Value& value) { return Insert(name, value); }
    // The same, taking the value over when it goes in.
    bool Add(const WideString& name, Value&& value) { return Insert(name, std::move(value)); }

    // The value of the name, or null.
    const Value* Find(const WideString& name) const
    {
        if (mSlots.empty()) {
            return nullptr;
        }
        const std::uint32_t entry = mSlots[SlotOf(name, HashOf(name))];
        return entry == 0 ? nullptr : &mEntries[entry - 1].value;
    }

    void Clear()
    {
        mEntries.clear();
        mSlots.clear();
    }
    std::size_t GetCount() const { return mEntries.size(); }

private:
    struct Entry {
        template <class V>
        Entry(const WideString& entryName, V&& entryValue, std::size_t entryHash)
            : name(entryName), value(std::forward<V>(entryValue)), hash(entryHash)
        {
        }

        WideString name;
        Value value;
        std::size_t hash;
    };

    static std::size_t HashOf(const WideString& name)
    {
        return std::hash<std::wstring_view>()(std::wstring_view(name.GetData(), name.GetLength()));
    }

    // The slot holding the name, else the empty one where it would go.
    std::size_t SlotOf(const WideString& name, std::size_t hash) const
    {
        const std::size_t mask = mSlots.size() - 1;
        for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
            const std::uint32_t entry = mSlots[slot];
            if (entry == 0 || (mEntries[entry - 1].hash == hash && mEntries[entry - 1].name == name)) {
                return slot;
            }
        }
    }

    template <class V>
    bool Insert(const WideString& name, V&& value)
    {
        const std::size_t hash = HashOf(name);
        if (mEntries.size() >= UINT32_MAX / 2) {
            throw std::length_error("too many names in one map");
        }
        // Never more than half full, so that a search soon meets an empty slot.
        if ((mEntries.size() + 1) * 2 > mSlots.size()) {
            Rehash(mSlots.empty() ? kFirstSlots : mSlots.size() * 2);
        }
        std::uint32_t& slot = mSlots[SlotOf(name, hash)];
        if (slot != 0) {
            return false;
        }
        mEntries.emplace_back(name, std::forward<V>(value), hash);
        slot = static_cast<std::uint32_t>(mEntries.size());
        return true;
    }

    // Only the slots move: the entries stay, and their kept hashes place them.
    void Rehash(std::size_t slots)
    {
        mSlots.assign(slots, 0);
        const std::size_t mask = slots - 1;
        for (std::uint32_t entry = 1; entry <= mEntries.size(); ++entry) {
            std::size_t slot = mEntries[entry - 1].hash & mask;
            while (mSlots[slot] != 0) {
                slot = (slot + 1) & mask;
            }
            mSlots[slot] = entry;
        }
    }

    static constexpr std::size_t kFirstSlots = 16;

    // In blocks of entries, not a block each, and never moved once added.
    std::deque<Entry> mEntries;
    // Open addressing: 0 for an empty slot, else the entry's index + 1. A power of two.
    std::vector<std::uint32_t> mSlots;
};

}  // namespace ZV
