#pragma once

#include "ControlBase/StringTable.h"
#include "Notification/NotificationReceiver.h"
#include "ObjectBase/RefCountedObject.h"
#include "ObjectBase/ResultCodes.h"
#include "System/KeyCode.h"
#include "Utilities/Storage/Array.h"
#include "Utilities/Storage/StringT.h"

#include <cstdint>
#include <map>
#include <unordered_map>

namespace ZV {

// Turns key presses into notifications: keys by the notification id they post, handed to one receiver. A key posts
// at most one id; an id may have several keys. Hot keys come from string-table entries "prefix.NID_..." whose text
// is a shortcut text ("Ctrl+VKEY_O"). User-interface thread only.
class LGlobalHotKeyManager : public virtual LRefCountedObject {
public:
    // Null for a null receiver.
    static RCPtr<LGlobalHotKeyManager> Create(const RCPtr<LNotificationReceiver>& receiver);

    // Registers every entry of the table whose key begins with the prefix and "."; the id is what follows the key's
    // last ".". Entries that cannot be registered are skipped. 0, or ZV_E_INVALIDARG for a null table.
    [[nodiscard]] ZVRESULT LoadHotKeys(const ConstRCPtr<LStringTable>& table, const WideString& prefix);
    // 0 when added; ZV_E_INVALIDARG for an empty id or a key that already posts an id, this one included.
    [[nodiscard]] ZVRESULT RegisterHotKey(const KeyCode& key, const WideString& id);
    // The id that the key posts, or the empty string.
    WideString FindNotification(const KeyCode& key) const;
    // Hands a notification of the key's id, without parameter and sender, to the receiver: 0; 1 when the key is no
    // hot key.
    [[nodiscard]] ZVRESULT ProcessKey(const KeyCode& key);
    bool HasHotKey(const WideString& id) const;
    // A copy of the id's keys; empty for an id without keys.
    Array<KeyCode> GetHotKeys(const WideString& id) const;
    // Where the hot keys' notifications go: a menu item that repeats a hot key sends there too.
    const RCPtr<LNotificationReceiver>& GetReceiver() const { return mReceiver; }

private:
    explicit LGlobalHotKeyManager(const RCPtr<LNotificationReceiver>& receiver);

    std::map<WideString, Array<KeyCode>> mHotKeys;
    // The id of every key, by its match value: a key press finds its id in one look-up.
    std::unordered_map<std::uint32_t, WideString> mIdsByKey;
    RCPtr<LNotificationReceiver> mReceiver;
};

}  // namespace ZV
