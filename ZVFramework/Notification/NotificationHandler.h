#pragma once

#include "Notification/InternTable.h"
#include "Notification/NotificationClient.h"
#include "Notification/NotificationDistributor.h"
#include "Notification/Receivable.h"

#include <cstdint>
#include <map>

namespace ZV {

// Binds (distributor, id) pairs to member functions of its owner T, a client class: T's ReceiveNotification offers
// each notification to its handler, which calls the function bound to the notification's sender and id. T's client
// base may be virtual; functions of T's non-virtual bases bind as T's own. The owner holds the handler; the handler
// holds no reference to the owner.
template <class T>
class LNotificationHandler : public virtual LRefCountedObject {
public:
    // Non-zero when the notification was handled, which stops the owner from offering it further.
    using MemberFunction = std::int32_t (T::*)(const ConstRCPtr<LNotificationDistributor>& sender,
                                               const RCPtr<LNotification>& notification);

    explicit LNotificationHandler(T* owner) : mOwner(owner) {}
    LNotificationHandler(const LNotificationHandler&) = delete;
    LNotificationHandler& operator=(const LNotificationHandler&) = delete;

    // Registers the owner at the distributor for the id and binds the pair; a pair bound already keeps its first
    // function, while the registration takes the flags given now. 0; 0x80070057 for a null distributor, 0x80004005
    // when the registration gives no id.
    [[nodiscard]] ZVRESULT AddHandler(MemberFunction function, const ConstRCPtr<LNotificationDistributor>& distributor,
                        const wchar_t* id, std::uint32_t flags)
    {
        if (distributor.IsNull()) {
            return ZV_E_INVALIDARG;
        }
        const wchar_t* canonicalId = mOwner->RegisterForNotification(distributor, id, flags);
        if (canonicalId == nullptr) {
            return ZV_E_FAIL;
        }
        mHandlers.emplace(Receivable(distributor.Get(), canonicalId), function);
        return ZV_S_OK;
    }

    // Binds the id for notifications handed straight to the owner (no sender); registers nowhere. 0, or 0x80004005
    // for a null or empty id.
    [[nodiscard]] ZVRESULT MapHandler(MemberFunction function, const wchar_t* id)
    {
        const wchar_t* canonicalId = InternString(id);
        if (canonicalId == nullptr) {
            return ZV_E_FAIL;
        }
        mHandlers.emplace(Receivable(nullptr, canonicalId), function);
        return ZV_S_OK;
    }

    // Removes a binding made by MapHandler; 0, or 0x80004005 when the id was not mapped.
    [[nodiscard]] ZVRESULT UnmapHandler(const wchar_t* id)
    {
        return EraseKey(Receivable(nullptr, InternString(id))) ? ZV_S_OK : ZV_E_FAIL;
    }

    // The result of the function bound to (sender, id); 0 when none is.
    std::int32_t HandleNotification(const ConstRCPtr<LNotificationDistributor>& sender,
                                    const RCPtr<LNotification>& notification)
    {
        if (notification.IsNull()) {
            return 0;
        }
        // Notification ids are canonical already.
        const auto binding = mHandlers.find(Receivable(sender.Get(), notification->GetId()));
        if (binding == mHandlers.end()) {
            return 0;
        }
        return Call(mOwner, binding->second, sender, notification);
    }

    // The bound function and the owner's registration flags at the distributor; 0x80004005 when either is missing.
    [[nodiscard]] ZVRESULT GetHandler(const ConstRCPtr<LNotificationDistributor>& distributor, const wchar_t* id,
                        MemberFunction& function, std::uint32_t& flags) const
    {
        const auto binding = mHandlers.find(Receivable(distributor.Get(), InternString(id)));
        if (binding == mHandlers.end()) {
            return ZV_E_FAIL;
        }
        function = binding->second;
        if (distributor.IsNull() || mOwner == nullptr) {
            return ZV_E_FAIL;
        }
        const ConstRCPtr<LNotificationClient> client(static_cast<LNotificationClient*>(mOwner));
        return distributor->GetClientFlags(client, id, flags);
    }

    // True when a binding of (distributor, id) was removed.
    bool EraseHandler(const ConstRCPtr<LNotificationDistributor>& distributor, const wchar_t* id)
    {
        return EraseKey(Receivable(distributor.Get(), InternString(id)));
    }

    T* GetOwner() const { return mOwner; }

private:
    // GCC's vptr check takes a base's function, adjusted to the base part, for a call on a wrong object.
    __attribute__((no_sanitize("vptr"))) static std::int32_t Call(T* owner, MemberFunction function,
                                                                  const ConstRCPtr<LNotificationDistributor>& sender,
                                                                  const RCPtr<LNotification>& notification)
    {
        return (owner->*function)(sender, notification);
    }

    bool EraseKey(const Receivable& key) { return mHandlers.erase(key) != 0; }

    T* mOwner;
    std::map<Receivable, MemberFunction> mHandlers;
};

}  // namespace ZV
