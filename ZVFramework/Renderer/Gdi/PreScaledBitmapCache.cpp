#include "Renderer/Gdi/PreScaledBitmapCache.h"

namespace ZV {

namespace {

std::size_t BytesOf(cairo_surface_t* surface)
{
    return static_cast<std::size_t>(cairo_image_surface_get_stride(surface)) *
           static_cast<std::size_t>(cairo_image_surface_get_height(surface));
}

}  // namespace

PreScaledBitmapCache::LEntry::LEntry(const Key& entryKey, std::uint64_t pixelsChangeCount, cairo_surface_t* copy)
    : key(entryKey), changeCount(pixelsChangeCount), surface(copy), bytes(BytesOf(copy))
{
}

PreScaledBitmapCache::PreScaledBitmapCache(int maxCount, std::size_t budget) : mMaxCount(maxCount), mBudget(budget) {}

PreScaledBitmapCache::~PreScaledBitmapCache()
{
    // The links point into entries that the index owns: undone first, so none is left dangling.
    mNewest = nullptr;
    mOldest = nullptr;
    mIndex.RemoveAll();
}

unsigned PreScaledBitmapCache::HashOf(const Key& key)
{
    const std::uint64_t mixed = (key.bitmap * 0x9E3779B97F4A7C15u) ^ static_cast<std::uint64_t>(key.width) << 16 ^
                                static_cast<std::uint64_t>(key.height) ^ static_cast<std::uint64_t>(key.resizeType);
    return static_cast<unsigned>(mixed >> 56 ^ mixed);
}

cairo_surface_t* PreScaledBitmapCache::Find(const Key& key, std::uint64_t changeCount)
{
    RCPtr<LEntry> notFound;
    const RCPtr<LEntry>& found = mIndex.GetEntry(key, notFound);
    if (found.IsNull()) {
        return nullptr;
    }
    LEntry& entry = *found;
    if (entry.changeCount != changeCount) {
        Drop(entry);
        return nullptr;
    }
    MakeNewest(entry);
    return entry.surface;
}

bool PreScaledBitmapCache::Keep(const Key& key, std::uint64_t changeCount, cairo_surface_t* surface)
{
    const std::size_t bytes = BytesOf(surface);
    if (bytes > mBudget) {
        return false;
    }
    RCPtr<LEntry> notFound;
    if (const RCPtr<LEntry>& replaced = mIndex.GetEntry(key, notFound); !replaced.IsNull()) {
        Drop(*replaced);
    }
    DropOldestWhile(mMaxCount - 1, mBudget - bytes);
    RCPtr<LEntry> entry(new LEntry(key, changeCount, surface), kNewObject);
    mIndex.Add(entry);
    mBytes += entry->bytes;
    MakeNewest(*entry);
    return true;
}

void PreScaledBitmapCache::Purge()
{
    while (mOldest != nullptr && mOldest->lastUse <= mPurgeMark) {
        Drop(*mOldest);
    }
    mPurgeMark = mClock;
}

void PreScaledBitmapCache::SetBudget(std::size_t bytes)
{
    mBudget = bytes;
    DropOldestWhile(mMaxCount, mBudget);
}

void PreScaledBitmapCache::MakeNewest(LEntry& entry)
{
    entry.lastUse = ++mClock;
    if (mNewest == &entry) {
        return;
    }
    // Any linked entry but the newest has a newer one.
    if (entry.newer != nullptr) {
        Unlink(entry);
    }
    entry.older = mNewest;
    if (mNewest != nullptr) {
        mNewest->newer = &entry;
    }
    mNewest = &entry;
    if (mOldest == nullptr) {
        mOldest = &entry;
    }
}

void PreScaledBitmapCache::Unlink(LEntry& entry)
{
    (entry.newer != nullptr ? entry.newer->older : mNewest) = entry.older;
    (entry.older != nullptr ? entry.older->newer : mOldest) = entry.newer;
    entry.newer = nullptr;
    entry.older = nullptr;
}

void PreScaledBitmapCache::Drop(LEntry& entry)
{
    Unlink(entry);
    mBytes -= entry.bytes;
    // The index holds the entry's only reference: it goes here.
    const Key key = entry.key;
    mIndex.Remove(key);
}

void PreScaledBitmapCache::DropOldestWhile(int count, std::size_t bytes)
{
    while (mOldest != nullptr && (mIndex.GetCount() > count || mBytes > bytes)) {
        Drop(*mOldest);
    }
}

}  // namespace ZV
