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
        const std::uint32_t entry = mSlots[SlotOf(name, HashOf(name))].entry;
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
        Entry(const WideString& entryName, V&& entryValue) : name(entryName), value(std::forward<V>(entryValue))
        {
        }

        WideString name;
        Value value;
    };

    // The hash is kept beside the entry's index, so that a search passes other names' slots and the table grows
    // without reading the entries.
    struct Slot {
        // 0 for an empty slot, else the entry's index + 1.
        std::uint32_t entry;
        std::uint32_t hash;
    };

    // As many bits as slots can be told apart by.
    static std::uint32_t HashOf(const WideString& name)
    {
        return static_cast<std::uint32_t>(
            std::hash<std::wstring_view>()(std::wstring_view(name.GetData(), name.GetLength())));
    }

    // The slot holding the name, else the empty one where it would go.
    std::size_t SlotOf(const WideString& name, std::uint32_t hash) const
    {
        const std::size_t mask = mSlots.size() - 1;
        for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
            const Slot& found = mSlots[slot];
            if (found.entry == 0 || (found.hash == hash && mEntries[found.entry - 1].name == name)) {
                return slot;
            }
        }
    }

    template <class V>
    bool Insert(const WideString& name, V&& value)
    {
        const std::uint32_t hash = HashOf(name);
        if (mEntries.size() >= UINT32_MAX / 2) {
            throw std::length_error("too many names in one map");
        }
        // Never more than half full, so that a search soon meets an empty slot.
        if ((mEntries.size() + 1) * 2 > mSlots.size()) {
            Rehash(mSlots.empty() ? kFirstSlots : mSlots.size() * 2);
        }
        Slot& slot = mSlots[SlotOf(name, hash)];
        if (slot.entry != 0) {
            return false;
        }
        mEntries.emplace_back(name, std::forward<V>(value));
        slot = {static_cast<std::uint32_t>(mEntries.size()), hash};
        return true;
    }

    // Only the slots move, each to where its kept hash places it in the larger table.
    void Rehash(std::size_t slots)
    {
        std::vector<Slot> old(slots, Slot{0, 0});
        old.swap(mSlots);
        const std::size_t mask = slots - 1;
        for (const Slot& moved : old) {
            if (moved.entry == 0) {
                continue;
            }
            std::size_t slot = moved.hash & mask;
            while (mSlots[slot].entry != 0) {
                slot = (slot + 1) & mask;
            }
            mSlots[slot] = moved;
        }
    }

    static constexpr std::size_t kFirstSlots = 16;

    // In blocks of entries, not a block each, and never moved once added.
    std::deque<Entry> mEntries;
    // Open addressing; a power of two.
    std::vector<Slot> mSlots;
};

}  // namespace ZV
