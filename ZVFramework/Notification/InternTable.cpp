#include "Notification/InternTable.h"

#include "Notification/NotificationLock.h"
#include "Utilities/Storage/Array.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <cwchar>

namespace ZV {

namespace {

std::uint32_t HashText(const wchar_t* text)
{
    std::uint32_t hash = 2166136261u;
    for (; *text != 0; ++text) {
        hash = (hash ^ static_cast<std::uint32_t>(*text)) * 16777619u;
    }
    return hash;
}

// The intern table's entries by the hash of their text, so that a text is found without comparing it to every entry:
// open addressing with linear probing, never more than half full. Guarded by the notification lock.
class InternIndex {
public:
    // The index of the entry with exactly these characters, or -1; the entry at this very address is the match
    // without a text comparison.
    int Find(const WideStringArray& table, const wchar_t* text, std::uint32_t hash) const
    {
        const Slot* slots = mSlots.GetData();
        const std::uint32_t mask = mSlots.GetCount() - 1;
        for (std::uint32_t slot = hash & mask; slots != nullptr; slot = (slot + 1) & mask) {
            const Slot& candidate = slots[slot];
            if (candidate.entryPlusOne == 0) {
                return -1;
            }
            if (candidate.hash == hash) {
                const wchar_t* entry = table.GetData()[candidate.entryPlusOne - 1].GetData();
                if (entry == text || std::wcscmp(entry, text) == 0) {
                    return static_cast<int>(candidate.entryPlusOne - 1);
                }
            }
        }
        return -1;
    }

    void Add(std::uint32_t hash, std::uint32_t entry)
    {
        if ((mCount + 1) * 2 > mSlots.GetCount()) {
            Grow();
        }
        Place({hash, entry + 1});
        ++mCount;
    }

private:
    struct Slot {
        std::uint32_t hash = 0;
        std::uint32_t entryPlusOne = 0;
    };

    static constexpr std::uint32_t kFirstSlots = 64;

    void Grow()
    {
        Array<Slot> previous;
        previous.SetCount(mSlots.GetCount() == 0 ? kFirstSlots : mSlots.GetCount() * 2);
        std::swap(previous, mSlots);
        for (std::uint32_t slot = 0; slot < previous.GetCount(); ++slot) {
            if (previous.GetItemPointer(slot)->entryPlusOne != 0) {
                Place(*previous.GetItemPointer(slot));
            }
        }
    }

    void Place(const Slot& placed)
    {
        const std::uint32_t mask = mSlots.GetCount() - 1;
        std::uint32_t slot = placed.hash & mask;
        while (mSlots.GetItemPointer(slot)->entryPlusOne != 0) {
            slot = (slot + 1) & mask;
        }
        *mSlots.GetItemPointer(slot) = placed;
    }

    Array<Slot> mSlots;
    std::uint32_t mCount = 0;
};

InternIndex& GetInternIndex()
{
    // Never destroyed, like the table it indexes.
    static InternIndex& index = *new InternIndex;
    return index;
}

// The canonical pointers of texts met lately, each at the place of the address it was asked for by, so that a text
// asked for again (a canonical pointer, or the same literal) is found without the lock. An entry is always a
// canonical pointer, whose text never changes: when its text is the one asked for, it is the answer, whatever address
// put it there. Two addresses that share a place only push each other out.
constexpr std::size_t kRecentPlaces = 256;
std::array<std::atomic<const wchar_t*>, kRecentPlaces> gRecentCanonical{};

std::atomic<const wchar_t*>& RecentPlace(const wchar_t* text)
{
    const auto address = reinterpret_cast<std::uintptr_t>(text);
    return gRecentCanonical[(address >> 4 ^ address >> 12) % kRecentPlaces];
}

const wchar_t* FindRecent(const wchar_t* text)
{
    const wchar_t* recent = RecentPlace(text).load(std::memory_order_acquire);
    if (recent == text || (recent != nullptr && std::wcscmp(recent, text) == 0)) {
        return recent;
    }
    return nullptr;
}

void NoteRecent(const wchar_t* text, const wchar_t* canonical)
{
    RecentPlace(text).store(canonical, std::memory_order_release);
    RecentPlace(canonical).store(canonical, std::memory_order_release);
}

}  // namespace

WideStringArray& GetInternTable()
{
    // Never destroyed: canonical ids stay valid for threads that outlive main.
    static WideStringArray& table = *new WideStringArray;
    return table;
}

int FindInternedIndex(const WideStringArray& table, const wchar_t* pointer)
{
    const WideString* entries = table.GetData();
    for (std::uint32_t index = table.GetCount(); index-- > 0;) {
        if (entries[index].GetData() == pointer) {
            return static_cast<int>(index);
        }
    }
    return -1;
}

const wchar_t* InternString(const wchar_t* text)
{
    if (text == nullptr || text[0] == 0) {
        return nullptr;
    }
    if (const wchar_t* recent = FindRecent(text)) {
        return recent;
    }
    const std::uint32_t hash = HashText(text);
    MutexLock lock(GetNotificationLock());
    WideStringArray& table = GetInternTable();
    InternIndex& index = GetInternIndex();
    int entry = index.Find(table, text, hash);
    if (entry < 0) {
        entry = table.AddItem(WideString(text));
        index.Add(hash, static_cast<std::uint32_t>(entry));
    }
    const wchar_t* canonical = table.GetData()[entry].GetData();
    NoteRecent(text, canonical);
    return canonical;
}

}  // namespace ZV
