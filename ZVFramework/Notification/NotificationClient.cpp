#include "Notification/NotificationClient.h"

#include "Notification/InternTable.h"
#include "Notification/NotificationDistributor.h"
#include "ObjectBase/Exception.h"

namespace ZV {

namespace {

// Clients hold their distributors read-only, as receivers are handed them; registering changes the distributor.
LNotificationDistributor& Registrar(const ConstRCPtr<LNotificationDistributor>& distributor)
{
    return const_cast<LNotificationDistributor&>(*distributor);
}

}  // namespace

LNotificationClient::~LNotificationClient() = default;

void LNotificationClient::ReceiveNotification(const ConstRCPtr<LNotificationDistributor>&,
                                              const RCPtr<LNotification>&)
{
}

const wchar_t* LNotificationClient::RegisterForNotification(const ConstRCPtr<LNotificationDistributor>& distributor,
                                                            const wchar_t* id, std::uint32_t flags)
{
    if (distributor.IsNull()) {
        return nullptr;
    }
    const wchar_t* canonicalId = InternString(id);
    if (canonicalId == nullptr) {
        return nullptr;
    }
    const ConstRCPtr<LNotificationClient> self(this);
    const ZVRESULT result = Registrar(distributor).RegisterClient(self, canonicalId, flags);
    if (result == ZV_S_OK) {
        AddInternalReferences(1);
        ++mRegistrationCount;
    }
    auto* source = const_cast<LNotificationDistributor*>(distributor.Get());
    if (Succeeded(result) && mSources.IndexOf(source) < 0) {
        ZV_THROW_IF_FAILED(mSources.AddItem(source));
    }
    return canonicalId;
}

ZVRESULT LNotificationClient::UnregisterForNotification(const ConstRCPtr<LNotificationDistributor>& distributor,
                                                        const wchar_t* id)
{
    if (mRegistrationCount == 0) {
        return ZV_S_FALSE;
    }
    if (distributor.IsNull() || id == nullptr) {
        return ZV_E_INVALIDARG;
    }
    const ConstRCPtr<LNotificationClient> self(this);
    const ZVRESULT result = Registrar(distributor).UnregisterClient(self, id);
    if (result == ZV_S_OK) {
        AddInternalReferences(-1);
        --mRegistrationCount;
        if (!distributor->HasClient(self)) {
            const std::int32_t index = mSources.IndexOf(const_cast<LNotificationDistributor*>(distributor.Get()));
            if (index >= 0) {
                (void)mSources.RemoveRange(static_cast<std::uint32_t>(index), 1);
            }
        }
    }
    return result;
}

std::int32_t LNotificationClient::UnregisterAllNotifications()
{
    const std::int32_t registrations = mRegistrationCount;
    if (registrations < 1) {
        return 0;
    }
    // All at once, before the distributors let their references go.
    AddInternalReferences(-registrations);
    const ConstRCPtr<LNotificationClient> self(this);
    std::int32_t removed = 0;
    for (std::uint32_t index = mSources.GetCount(); index-- > 0;) {
        if (index >= mSources.GetCount()) {
            continue;
        }
        const ConstRCPtr<LNotificationDistributor> source(*mSources.GetItemPointer(index));
        removed += Registrar(source).UnregisterClientFromAll(self);
        (void)mSources.RemoveRange(index, 1);
    }
    mRegistrationCount = 0;
    return removed;
}

ZVRESULT LNotificationClient::ReleaseInternalReferences()
{
    UnregisterAllNotifications();
    return LRefCountedObject::ReleaseInternalReferences();
}

}  // namespace ZV
