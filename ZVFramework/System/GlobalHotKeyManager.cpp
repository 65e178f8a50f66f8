#include "System/GlobalHotKeyManager.h"

#include "ControlBase/AppendItem.h"
#include "Notification/Notification.h"
#include "Notification/NotificationDistributor.h"
#include "ObjectBase/Exception.h"
#include "System/ShortcutText.h"

namespace ZV {

LGlobalHotKeyManager::LGlobalHotKeyManager(const RCPtr<LNotificationReceiver>& receiver) : mReceiver(receiver) {}

RCPtr<LGlobalHotKeyManager> LGlobalHotKeyManager::Create(const RCPtr<LNotificationReceiver>& receiver)
{
    if (!receiver) {
        return nullptr;
    }
    return RCPtr<LGlobalHotKeyManager>(new LGlobalHotKeyManager(receiver));
}

ZVRESULT LGlobalHotKeyManager::LoadHotKeys(const ConstRCPtr<LStringTable>& table, const WideString& prefix)
{
    if (!table) {
        return ZV_E_INVALIDARG;
    }
    StringPairArray entries;
    ZV_THROW_IF_FAILED(table->GetEntriesWithPrefix(prefix + WideString(L"."), entries));
    for (std::uint32_t index = 0; index < entries.GetCount(); ++index) {
        const StringPair& entry = entries.GetData()[index];
        const KeyCode key = ParseShortcutText(entry.second);
        if ((key.code & KeyCode::kNoKey) == 0) {
            // A refusal (a key that posts another id already, an empty id) leaves the entry out.
            static_cast<void>(RegisterHotKey(key, entry.first.MidToEnd(entry.first.ReverseFind(L'.') + 1)));
        }
    }
    return ZV_S_OK;
}

ZVRESULT LGlobalHotKeyManager::RegisterHotKey(const KeyCode& key, const WideString& id)
{
    if (id.IsEmpty() || mIdsByKey.contains(key.GetMatchValue())) {
        return ZV_E_INVALIDARG;
    }
    AppendItem(mHotKeys[id], key);
    mIdsByKey.emplace(key.GetMatchValue(), id);
    return ZV_S_OK;
}

WideString LGlobalHotKeyManager::FindNotification(const KeyCode& key) const
{
    // Registration lets no two keys match each other, so at most one id has a key that matches.
    const auto found = mIdsByKey.find(key.GetMatchValue());
    return found == mIdsByKey.end() ? WideString() : found->second;
}

ZVRESULT LGlobalHotKeyManager::ProcessKey(const KeyCode& key)
{
    const WideString id = FindNotification(key);
    if (id.IsEmpty()) {
        return ZV_S_FALSE;
    }
    mReceiver->ReceiveNotification(nullptr, LNotification::Create(id.GetData(), nullptr));
    return ZV_S_OK;
}

bool LGlobalHotKeyManager::HasHotKey(const WideString& id) const
{
    const auto found = mHotKeys.find(id);
    return found != mHotKeys.end() && found->second.GetCount() != 0;
}

Array<KeyCode> LGlobalHotKeyManager::GetHotKeys(const WideString& id) const
{
    const auto found = mHotKeys.find(id);
    return found == mHotKeys.end() ? Array<KeyCode>() : found->second;
}

}  // namespace ZV
