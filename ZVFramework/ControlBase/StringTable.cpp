#include "ControlBase/StringTable.h"

namespace ZV {

bool LStringTable::GetString(const WideString& key, WideString& text) const
{
    const auto entry = mEntries.find(key);
    if (entry == mEntries.end()) {
        return false;
    }
    text = entry->second;
    return true;
}

bool LStringTable::ContainsString(const WideString& key) const
{
    return mEntries.contains(key);
}

ZVRESULT LStringTable::SetString(const WideString& key, const WideString& text)
{
    if (key.IsEmpty()) {
        return ZV_E_INVALIDARG;
    }
    const auto [entry, added] = mEntries.insert_or_assign(key, text);
    return added ? ZV_S_OK : ZV_S_FALSE;
}

}  // namespace ZV
