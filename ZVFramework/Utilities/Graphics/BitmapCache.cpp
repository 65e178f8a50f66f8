#include "Utilities/Graphics/BitmapCache.h"

#include "Utilities/Graphics/Bitmap.h"

namespace ZV {

ConstRCPtr<LBitmap> BitmapCache::Find(const WideString& key) const
{
    const auto entry = mEntries.find(key);
    if (entry == mEntries.end()) {
        return nullptr;
    }
    return ConstRCPtr<LBitmap>(ConstRCPtr<LRefCountedObject>(entry->second));
}

void BitmapCache::Insert(const WideString& key, const RCPtr<LBitmap>& bitmap)
{
    mEntries[key] = RCPtr<LRefCountedObject>(bitmap);
    bitmap->AddInternalReferences(1);
}

bool BitmapCache::Remove(const WideString& key, const LBitmap* bitmap)
{
    const auto entry = mEntries.find(key);
    if (entry == mEntries.end() || entry->second.Get() != static_cast<const LRefCountedObject*>(bitmap)) {
        return false;
    }
    // Held until the entry is out of the map, whatever letting it go sets off.
    RCPtr<LRefCountedObject> held = entry->second;
    mEntries.erase(entry);
    held->AddInternalReferences(-1);
    return true;
}

BitmapCache& GetBitmapCache()
{
    static BitmapCache cache;
    return cache;
}

}  // namespace ZV
