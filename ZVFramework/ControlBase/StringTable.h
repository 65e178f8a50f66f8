#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "ObjectBase/ResultCodes.h"
#include "Utilities/Storage/Array.h"
#include "Utilities/Storage/Pair.h"
#include "Utilities/Storage/StringT.h"

#include <map>

namespace ZV {

// A key and its text.
using StringPair = Pair<WideString, WideString>;
using StringPairArray = Array<StringPair>;
// Texts by key, ordered by the keys' character codes.
using StringEntries = std::map<WideString, WideString>;

// Texts by key: a control's create parameters, and a table of user-interface texts.
class LStringTable : public virtual LRefCountedObject {
public:
    LStringTable() = default;
    explicit LStringTable(const StringEntries& entries) : mEntries(entries) {}

    // true with the text copied when the key is present; false with text unchanged otherwise.
    bool GetString(const WideString& key, WideString& text) const;
    bool ContainsString(const WideString& key) const;
    // 0 when the key was added, 1 when its text was replaced, ZV_E_INVALIDARG for an empty key.
    [[nodiscard]] ZVRESULT SetString(const WideString& key, const WideString& text);
    // Empties entries, then appends every key and text in key order.
    void GetAllEntries(StringPairArray& entries) const;
    // Empties entries, then appends every key and text whose key begins with the prefix (exactly), in key order. 0.
    [[nodiscard]] ZVRESULT GetEntriesWithPrefix(const WideString& prefix, StringPairArray& entries) const;

private:
    StringEntries mEntries;
};

}  // namespace ZV
