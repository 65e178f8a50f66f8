#include "Notification/NotificationDistributor.h"

#include "Notification/InternTable.h"
#include "Notification/NotificationClient.h"
#include "Notification/NotificationLock.h"

namespace ZV {

RCPtrArray<LNotificationDistributor, 1, 0>& GetNotificationDistributors()
{
    // Never destroyed: a worker thread may still drop a registration while the program exits.
    static auto& distributors = *new RCPtrArray<LNotificationDistributor, 1, 0>;
    return distributors;
}

LNotificationDistributor::LNotificationDistributor() : mLock(new LLock) {}

LNotificationDistributor::~LNotificationDistributor() = default;

ZVRESULT LNotificationDistributor::RegisterClient(const ConstRCPtr<LNotificationClient>& client, const wchar_t* id,
                                                  std::uint32_t flags)
{
    if (client.IsNull()) {
        return ZV_E_INVALIDARG;
    }
    const wchar_t* canonicalId = InternString(id);
    if (canonicalId == nullptr) {
        return ZV_S_FALSE;
    }
    MutexLock lock(mLock->mutex);
    RCPtr<LNotificationClientPool> pool = FindPoolLocked(canonicalId);
    const bool registeredAlready = pool && pool->IndexOfClient(client) >= 0;
    // What can fail comes before the counts, so that a refused registration leaves them as they were.
    if (pool.IsNull()) {
        pool = new LNotificationClientPool(canonicalId, mLock);
        if (Failed(mPools.AddItem(pool))) {
            return ZV_E_FAIL;
        }
    }
    if (const ZVRESULT added = pool->AddClient(client, flags); Failed(added)) {
        return added;
    }
    if (!registeredAlready) {
        // Stands for the client's plain pointer to this distributor.
        AddRef();
        AddInternalReferences(1);
        if (++mRegistrationCount == 1) {
            EnterActiveListLocked();
        }
    }
    return registeredAlready ? ZV_S_FALSE : ZV_S_OK;
}

ZVRESULT LNotificationDistributor::UnregisterClient(const ConstRCPtr<LNotificationClient>& client, const wchar_t* id)
{
    if (client.IsNull()) {
        return ZV_E_INVALIDARG;
    }
    const wchar_t* canonicalId = InternString(id);
    if (canonicalId == nullptr) {
        return ZV_E_INVALIDARG;
    }
    const RCPtr<LNotificationClientPool> pool = FindClientPool(canonicalId);
    if (pool.IsNull()) {
        return ZV_S_FALSE;
    }
    return RemoveRegistration(*pool, client) ? ZV_S_OK : ZV_S_FALSE;
}

std::int32_t LNotificationDistributor::UnregisterClientFromAll(const ConstRCPtr<LNotificationClient>& client)
{
    if (client.IsNull()) {
        return ZV_E_INVALIDARG;
    }
    // The last registration's reference may be the last one.
    const ConstRCPtr<LNotificationDistributor> self(this);
    std::int32_t removed = 0;
    for (std::uint32_t index = GetPoolCount(); index-- > 0;) {
        if (RemoveRegistration(*GetPoolAt(index), client)) {
            ++removed;
        }
    }
    return removed;
}

ZVRESULT LNotificationDistributor::UnregisterAllClients()
{
    const ConstRCPtr<LNotificationDistributor> self(this);
    for (std::uint32_t poolIndex = GetPoolCount(); poolIndex-- > 0;) {
        const RCPtr<LNotificationClientPool> pool = GetPoolAt(poolIndex);
        for (std::uint32_t index = pool->GetClientCount(); index-- > 0;) {
            const RCPtr<LNotificationClient> client = pool->GetClientAt(index);
            if (client) {
                (void)client->UnregisterForNotification(self, pool->GetId());
            }
        }
    }
    return ZV_S_OK;
}

ZVRESULT LNotificationDistributor::SendNotification(const RCPtr<LNotification>& notification) const
{
    return Deliver(nullptr, notification);
}

ZVRESULT LNotificationDistributor::SendNotificationAs(const ConstRCPtr<LNotificationDistributor>& self,
                                                      const RCPtr<LNotification>& notification) const
{
    return Deliver(&self, notification);
}

ZVRESULT LNotificationDistributor::Deliver(const ConstRCPtr<LNotificationDistributor>* heldSelf,
                                           const RCPtr<LNotification>& notification) const
{
    if (notification.IsNull()) {
        return ZV_E_INVALIDARG;
    }
    // The pool is found and its first client taken in one hold of the lock. It needs no reference: the caller
    // keeps this distributor, and so its pools, while the delivery runs, and so does the sender's counted pointer
    // once a client has been called.
    LockHold hold(mLock->mutex);
    LNotificationClientPool* pool = FindPoolPointerLocked(notification->GetId());
    if (pool == nullptr) {
        return ZV_S_FALSE;
    }
    return pool->DeliverLocked(hold, this, heldSelf, notification);
}

RCPtr<LNotificationDistributor::LNotificationClientPool> LNotificationDistributor::FindClientPool(
    const wchar_t* canonicalId) const
{
    MutexLock lock(mLock->mutex);
    return FindPoolLocked(canonicalId);
}

ZVRESULT LNotificationDistributor::GetClientFlags(const ConstRCPtr<LNotificationClient>& client, const wchar_t* id,
                                                  std::uint32_t& flags) const
{
    const wchar_t* canonicalId = InternString(id);
    if (canonicalId == nullptr) {
        return ZV_E_FAIL;
    }
    MutexLock lock(mLock->mutex);
    const RCPtr<LNotificationClientPool> pool = FindPoolLocked(canonicalId);
    if (pool.IsNull()) {
        return ZV_E_FAIL;
    }
    return pool->GetFlagsLocked(client.Get(), flags);
}

bool LNotificationDistributor::HasClient(const ConstRCPtr<LNotificationClient>& client) const
{
    MutexLock lock(mLock->mutex);
    for (std::uint32_t index = mPools.GetCount(); index-- > 0;) {
        if ((*mPools.GetItemPointer(index))->IndexOfClientLocked(client.Get()) >= 0) {
            return true;
        }
    }
    return false;
}

bool LNotificationDistributor::HasLatestOnlyRegistrations() const
{
    return mLock->latestOnlyRegistered.load();
}

std::uint32_t LNotificationDistributor::GetRegistrationCount() const
{
    MutexLock lock(mLock->mutex);
    return mRegistrationCount;
}

RCPtr<LNotificationDistributor::LNotificationClientPool> LNotificationDistributor::FindPoolLocked(
    const wchar_t* canonicalId) const
{
    return FindPoolPointerLocked(canonicalId);
}

LNotificationDistributor::LNotificationClientPool* LNotificationDistributor::FindPoolPointerLocked(
    const wchar_t* canonicalId) const
{
    for (std::uint32_t index = mPools.GetCount(); index-- > 0;) {
        LNotificationClientPool* pool = mPools.GetItemPointer(index)->Get();
        if (pool->GetId() == canonicalId) {
            return pool;
        }
    }
    return nullptr;
}

std::uint32_t LNotificationDistributor::GetPoolCount() const
{
    MutexLock lock(mLock->mutex);
    return mPools.GetCount();
}

RCPtr<LNotificationDistributor::LNotificationClientPool> LNotificationDistributor::GetPoolAt(
    std::uint32_t index) const
{
    // Pools are only ever appended, so an index once below the count stays valid.
    MutexLock lock(mLock->mutex);
    return *mPools.GetItemPointer(index);
}

bool LNotificationDistributor::RemoveRegistration(LNotificationClientPool& pool,
                                                  const ConstRCPtr<LNotificationClient>& client)
{
    // What the registration held goes after the lock: a client or a notification may be released for good.
    RCPtr<LNotificationRegisteredClientInfo> entry;
    RCPtr<LNotificationDistributor> listReference;
    {
        MutexLock lock(mLock->mutex);
        if (pool.TakeClient(client, entry) != ZV_S_OK) {
            return false;
        }
        if (--mRegistrationCount == 0) {
            listReference = LeaveActiveListLocked();
        }
        // Lowered before the reference goes, so that Release does not take the remaining ones for internal ones.
        AddInternalReferences(-1);
    }
    entry = nullptr;
    listReference = nullptr;
    Release();
    return true;
}

void LNotificationDistributor::EnterActiveListLocked()
{
    MutexLock lock(GetNotificationLock());
    RCPtrArray<LNotificationDistributor, 1, 0>& active = GetNotificationDistributors();
    const std::uint32_t end = active.GetCount();
    if (Succeeded(active.InsertSpace(end, 1))) {
        *active.GetItemPointer(end) = this;
        AddInternalReferences(1);
    }
}

RCPtr<LNotificationDistributor> LNotificationDistributor::LeaveActiveListLocked()
{
    MutexLock lock(GetNotificationLock());
    RCPtrArray<LNotificationDistributor, 1, 0>& active = GetNotificationDistributors();
    RCPtr<LNotificationDistributor> listReference;
    for (std::uint32_t index = 0; index < active.GetCount(); ++index) {
        if (active.GetItemPointer(index)->Get() == this) {
            AddInternalReferences(-1);
            (void)active.RemoveItem(index, listReference);
            break;
        }
    }
    return listReference;
}

}  // namespace ZV
