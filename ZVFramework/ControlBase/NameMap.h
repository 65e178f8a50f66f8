#pragma once

#include "Utilities/Storage/StringT.h"

#include <cstddef>
#include <map>

namespace ZV {

// Values by name, ordered by the names' character codes; a name keeps the first value added under it.
template <class Value>
class NameMap {
public:
    // Whether the value went in.
    bool Add(const WideString& name, const Value& value) { return mEntries.try_emplace(name, value).second; }

    // The value of the name, or null.
    const Value* Find(const WideString& name) const
    {
        const auto entry = mEntries.find(name);
        return entry == mEntries.end() ? nullptr : &entry->second;
    }

    void Clear() { mEntries.clear(); }
    std::size_t GetCount() const { return mEntries.size(); }

private:
    std::map<WideString, Value> mEntries;
};

}  // namespace ZV
