#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "ObjectBase/ResultCodes.h"
#include "Utilities/Storage/HashedList.h"

#include <cairo.h>

#include <cstddef>
#include <cstdint>

namespace ZV {

// Bitmaps already scaled, tiled or centred to the sizes they are drawn at, premultiplied; bounded in count and in
// bytes, the copy used longest ago going first. A copy knows its bitmap by identity and holds nothing of it: a
// bitmap let go is freed at once, its copy at the latest by the next purge but one. A copy made from pixels that
// changed since is not handed out again. User-interface thread only.
class PreScaledBitmapCache {
public:
    struct Key {
        // LBitmap::GetIdentity.
        std::uint64_t bitmap = 0;
        zlong width = 0;
        zlong height = 0;
        int resizeType = 0;

        bool operator==(const Key&) const = default;
    };

    PreScaledBitmapCache(int maxCount, std::size_t budget);
    PreScaledBitmapCache(const PreScaledBitmapCache&) = delete;
    PreScaledBitmapCache& operator=(const PreScaledBitmapCache&) = delete;
    ~PreScaledBitmapCache();

    // The copy kept for the key and made from the pixels at that change count, as the newest; null when there is
    // none. A copy of the key made from other pixels goes.
    cairo_surface_t* Find(const Key& key, std::uint64_t changeCount);
    // Keeps the copy as the newest and takes its reference; the oldest go while the count or the bytes are past
    // their bounds. A copy larger than the whole budget is not kept: false, and the caller still owns it.
    bool Keep(const Key& key, std::uint64_t changeCount, cairo_surface_t* surface);
    // Drops every copy not used since the previous purge.
    void Purge();

    int GetCount() const { return mIndex.GetCount(); }
    std::size_t GetBytes() const { return mBytes; }
    std::size_t GetBudget() const { return mBudget; }
    // The oldest copies go until the rest fit.
    void SetBudget(std::size_t bytes);

private:
    // One copy, linked into the order of use from the newest to the oldest; the index owns it.
    class LEntry : public virtual LRefCountedObject {
    public:
        // Takes the surface's reference.
        LEntry(const Key& key, std::uint64_t changeCount, cairo_surface_t* surface);
        ~LEntry() override { cairo_surface_destroy(surface); }

        const Key key;
        const std::uint64_t changeCount;
        cairo_surface_t* const surface;
        const std::size_t bytes;
        std::uint64_t lastUse = 0;
        LEntry* newer = nullptr;
        LEntry* older = nullptr;
    };

    static Key KeyOf(const RCPtr<LEntry>& entry) { return entry->key; }
    static unsigned HashOf(const Key& key);

    void MakeNewest(LEntry& entry);
    void Unlink(LEntry& entry);
    void Drop(LEntry& entry);
    void DropOldestWhile(int count, std::size_t bytes);

    int mMaxCount;
    std::size_t mBudget;
    std::size_t mBytes = 0;
    std::uint64_t mClock = 0;
    std::uint64_t mPurgeMark = 0;
    LEntry* mNewest = nullptr;
    LEntry* mOldest = nullptr;
    HashedList<RCPtr<LEntry>, Key, &PreScaledBitmapCache::KeyOf, 8, &PreScaledBitmapCache::HashOf> mIndex;
};

}  // namespace ZV
