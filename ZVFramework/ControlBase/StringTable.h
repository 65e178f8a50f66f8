#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "ObjectBase/ResultCodes.h"
#include "Utilities/Storage/StringT.h"

#include <map>

namespace ZV {

// Texts by key, ordered by the keys' character codes: a control's create parameters, and a table of user-interface
// texts.
class LStringTable : public virtual LRefCountedObject {
public:
    // true with the text copied when the key is present; false with text unchanged otherwise.
    bool GetString(const WideString& key, WideString& text) const;
    bool ContainsString(const WideString& key) const;
    // 0 when the key was added, 1 when its text was replaced, ZV_E_INVALIDARG for an empty key.
    ZVRESULT SetString(const WideString& key, const WideString& text);

private:
    std::map<WideString, WideString> mEntries;
};

}  // namespace ZV
