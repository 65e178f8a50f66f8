#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "Utilities/Storage/StringT.h"

#include <cstddef>
#include <map>

namespace ZV {

class LBitmap;

// The loaded bitmaps by cache key (LBitmap::GetCachedBitmap). Its hold on a bitmap counts as one of the bitmap's
// internal references, so the bitmap leaves the cache with the last reference from outside it.
//
// The process's one cache is a start-up global (Application/Globals.cpp), built by the foundation library below
// this one. So the entries are held as plain counted objects, and building and destroying the cache, written here,
// needs nothing of bitmaps.
class BitmapCache {
public:
    BitmapCache() = default;
    BitmapCache(const BitmapCache&) = delete;
    BitmapCache& operator=(const BitmapCache&) = delete;
    // Bitmaps still held elsewhere outlive the cache: it gives up its holds as plain references, which they no
    // longer count as internal, so releasing them later never looks for the cache.
    ~BitmapCache()
    {
        std::map<WideString, RCPtr<LRefCountedObject>> entries;
        entries.swap(mEntries);
        for (auto& entry : entries) {
            entry.second->AddInternalReferences(-1);
        }
    }

    ConstRCPtr<LBitmap> Find(const WideString& key) const;
    void Insert(const WideString& key, const RCPtr<LBitmap>& bitmap);
    // Lets go of the entry under the key when it holds that bitmap; whether it did.
    bool Remove(const WideString& key, const LBitmap* bitmap);
    std::size_t GetCount() const { return mEntries.size(); }

private:
    std::map<WideString, RCPtr<LRefCountedObject>> mEntries;
};

// Made on first use and destroyed at exit.
BitmapCache& GetBitmapCache();

}  // namespace ZV
