#include "Notification/InternTable.h"

#include "Notification/NotificationLock.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <cwchar>
#include <memory>

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

// The canonical pointers by the hash of their text, so that a text is found without comparing it to every entry and
// without the lock: open addressing with linear probing, never more than half full. A filled slot never changes
// and a canonical text never changes, so readers need no lock; a grown index is made whole before it is published,
// and the smaller ones it replaces stay behind it, since a reader may still be probing one. Only the thread that
// holds the notification lock adds.
class InternIndex {
public:
    // The canonical pointer with exactly these characters (the text itself when it is canonical), or null.
    const wchar_t* Find(const wchar_t* text, std::uint32_t hash) const
    {
        const Slots* slots = mCurrent.load(std::memory_order_acquire);
        if (slots == nullptr) {
            return nullptr;
        }
        for (std::uint32_t slot = hash & slots->mask;; slot = (slot + 1) & slots->mask) {
            const wchar_t* canonical = slots->texts[slot].load(std::memory_order_acquire);
            if (canonical == nullptr) {
                return nullptr;
            }
            if (canonical == text ||
                (slots->hashes[slot].load(std::memory_order_relaxed) == hash && std::wcscmp(canonical, text) == 0)) {
                return canonical;
            }
        }
    }

    void Add(const wchar_t* canonical, std::uint32_t hash)
    {
        const Slots* slots = mCurrent.load(std::memory_order_relaxed);
        if (slots == nullptr || (mCount + 1) * 2 > slots->mask + 1) {
            slots = Grow(slots);
        }
        Place(*slots, canonical, hash);
        ++mCount;
    }

private:
    struct Slots {
        explicit Slots(std::uint32_t count, const Slots* smaller)
            : mask(count - 1), texts(new std::atomic<const wchar_t*>[count]()),
              hashes(new std::atomic<std::uint32_t>[count]()), replaced(smaller)
        {
        }

        const std::uint32_t mask;
        const std::unique_ptr<std::atomic<const wchar_t*>[]> texts;
        const std::unique_ptr<std::atomic<std::uint32_t>[]> hashes;
        // Kept, and reachable, for readers that may still probe it.
        const std::unique_ptr<const Slots> replaced;
    };

    static constexpr std::uint32_t kFirstSlots = 64;

    const Slots* Grow(const Slots* smaller)
    {
        auto* grown = new Slots(smaller == nullptr ? kFirstSlots : (smaller->mask + 1) * 2, smaller);
        for (std::uint32_t slot = 0; smaller != nullptr && slot <= smaller->mask; ++slot) {
            if (const wchar_t* canonical = smaller->texts[slot].load(std::memory_order_relaxed)) {
                Place(*grown, canonical, smaller->hashes[slot].load(std::memory_order_relaxed));
            }
        }
        mCurrent.store(grown, std::memory_order_release);
        return grown;
    }

    // The hash goes in first: a reader that sees the text sees its hash.
    static void Place(const Slots& slots, const wchar_t* canonical, std::uint32_t hash)
    {
        std::uint32_t slot = hash & slots.mask;
        while (slots.texts[slot].load(std::memory_order_relaxed) != nullptr) {
            slot = (slot + 1) & slots.mask;
        }
        slots.hashes[slot].store(hash, std::memory_order_relaxed);
        slots.texts[slot].store(canonical, std::memory_order_release);
    }

    std::atomic<const Slots*> mCurrent{nullptr};
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
    InternIndex& index = GetInternIndex();
    const wchar_t* canonical = index.Find(text, hash);
    if (canonical == nullptr) {
        MutexLock lock(GetNotificationLock());
        // Another thread may have added the text since.
        canonical = index.Find(text, hash);
        if (canonical == nullptr) {
            WideStringArray& table = GetInternTable();
            const int entry = table.AddItem(WideString(text));
            canonical = table.GetData()[entry].GetData();
            index.Add(canonical, hash);
        }
    }
    NoteRecent(text, canonical);
    return canonical;
}

}  // namespace ZV
