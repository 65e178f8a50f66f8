#pragma once

#include "Utilities/Storage/StringT.h"

#include <cstddef>
#include <functional>
#include <string_view>
#include <unordered_map>
#include <utility>

namespace ZV {

// Values by name, names compared exactly; a name keeps the first value added under it. Hashed, as a skin adds
// thousands of names and only ever looks them up one by one.
template <class Value>
class NameMap {
public:
    // Whether the value went in.
    bool Add(const WideString& name, const Value& value) { return mEntries.try_emplace(name, value).second; }
    // The same, taking the value over when it goes in.
    bool Add(const WideString& name, Value&& value) { return mEntries.try_emplace(name, std::move(value)).second; }

    // The value of the name, or null.
    const Value* Find(const WideString& name) const
    {
        const auto entry = mEntries.find(name);
        return entry == mEntries.end() ? nullptr : &entry->second;
    }

    void Clear() { mEntries.clear(); }
    std::size_t GetCount() const { return mEntries.size(); }

private:
    struct NameHash {
        std::size_t operator()(const WideString& name) const
        {
            return std::hash<std::wstring_view>()(std::wstring_view(name.GetData(), name.GetLength()));
        }
    };

    std::unordered_map<WideString, Value, NameHash> mEntries;
};

}  // namespace ZV
