#include "ControlBase/StringTable.h"

#include "ControlBase/AppendItem.h"

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

void LStringTable::GetAllEntries(StringPairArray& entries) const
{
    static_cast<void>(GetEntriesWithPrefix(WideString(), entries));
}

ZVRESULT LStringTable::GetEntriesWithPrefix(const WideString& prefix, StringPairArray& entries) const
{
    (void)entries.Clear();
    // Keys that begin with the prefix follow one another from the first key not below it.
    for (auto entry = mEntries.lower_bound(prefix);
         entry != mEntries.end() && entry->first.Left(prefix.GetLength()) == prefix; ++entry) {
        AppendItem(entries, StringPair{entry->first, entry->second});
    }
    return ZV_S_OK;
}

}  // namespace ZV
