#include "Notification/NotificationClient.h"
#include "Notification/NotificationDistributor.h"

namespace ZV {

using Pool = LNotificationDistributor::LNotificationClientPool;
using Entry = LNotificationDistributor::LNotificationRegisteredClientInfo;

LNotificationDistributor::LNotificationRegisteredClientInfo::LNotificationRegisteredClientInfo(
    const ConstRCPtr<LNotificationClient>& client, std::uint32_t flags)
    : mClient(const_cast<LNotificationClient*>(client.Get())), mFlags(flags)
{
}

LNotificationDistributor::LNotificationRegisteredClientInfo::~LNotificationRegisteredClientInfo() = default;

// Where one delivery stands: the entry it came down to last (served or skipped), or the count before the first.
// Removals below it move it down with the entries.
struct Pool::DeliveryCursor {
    std::int32_t index;
    DeliveryCursor* next;
};

// Keeps a delivery's cursor among the pool's active ones for the delivery's duration, also when a client throws.
class Pool::ActiveDelivery {
public:
    explicit ActiveDelivery(Pool& pool) : mPool(pool) {}
    ActiveDelivery(const ActiveDelivery&) = delete;
    ActiveDelivery& operator=(const ActiveDelivery&) = delete;
    ~ActiveDelivery()
    {
        if (mActive) {
            MutexLock lock(mPool.mLock->mutex);
            LeaveLocked();
        }
    }

    // The rest under the pool's lock. Enter makes the delivery stand at the entry at start.
    void EnterLocked(std::int32_t start)
    {
        mCursor.index = start;
        mCursor.next = mPool.mDeliveries;
        mPool.mDeliveries = &mCursor;
        mActive = true;
    }
    void LeaveLocked()
    {
        DeliveryCursor** link = &mPool.mDeliveries;
        while (*link != &mCursor) {
            link = &(*link)->next;
        }
        *link = mCursor.next;
        mActive = false;
    }
    bool IsActive() const { return mActive; }
    DeliveryCursor& Cursor() { return mCursor; }

private:
    Pool& mPool;
    DeliveryCursor mCursor{};
    bool mActive = false;
};

LNotificationDistributor::LNotificationClientPool::LNotificationClientPool(const wchar_t* canonicalId,
                                                                           const RCPtr<LLock>& lock)
    : mId(canonicalId), mLock(lock)
{
}

LNotificationDistributor::LNotificationClientPool::~LNotificationClientPool() = default;

std::uint32_t Pool::GetCombinedFlags() const
{
    return mCombinedFlags.load();
}

std::uint32_t Pool::GetClientCount() const
{
    MutexLock lock(mLock->mutex);
    return mClients.GetCount();
}

ZVRESULT Pool::AddClient(const ConstRCPtr<LNotificationClient>& client, std::uint32_t flags)
{
    if (client.IsNull()) {
        return ZV_E_INVALIDARG;
    }
    MutexLock lock(mLock->mutex);
    if ((flags & kNotifyLatestOnly) != 0) {
        mLock->latestOnlyRegistered.store(true);
    }
    const std::int32_t index = IndexOfClientLocked(client.Get());
    if (index < 0) {
        if (Failed(mClients.AddItem(RCPtr<Entry>(new Entry(client, flags))))) {
            return ZV_E_FAIL;
        }
        mCombinedFlags |= flags;
        return ZV_S_OK;
    }
    Entry& entry = **mClients.GetItemPointer(static_cast<std::uint32_t>(index));
    if (entry.mFlags != flags) {
        entry.mFlags = flags;
        std::uint32_t combined = 0;
        for (std::uint32_t i = 0; i < mClients.GetCount(); ++i) {
            combined |= (*mClients.GetItemPointer(i))->mFlags;
        }
        mCombinedFlags.store(combined);
    }
    return ZV_S_OK;
}

ZVRESULT Pool::RemoveClient(const ConstRCPtr<LNotificationClient>& client)
{
    RCPtr<Entry> entry;
    return TakeClient(client, entry);
}

std::int32_t Pool::IndexOfClient(const ConstRCPtr<LNotificationClient>& client) const
{
    MutexLock lock(mLock->mutex);
    return IndexOfClientLocked(client.Get());
}

ZVRESULT Pool::SendNotification(const LNotificationDistributor* sender, const RCPtr<LNotification>& notification)
{
    LockHold hold(mLock->mutex);
    return DeliverLocked(hold, sender, nullptr, notification);
}

ZVRESULT Pool::DeliverLocked(LockHold& hold, const LNotificationDistributor* sender,
                             const ConstRCPtr<LNotificationDistributor>* heldSender,
                             const RCPtr<LNotification>& notification)
{
    if (mClients.GetCount() == 0) {
        return ZV_S_FALSE;
    }
    // Goes after the delivery's place: it may hold the last reference to the distributor, and with it to this pool.
    ConstRCPtr<LNotificationDistributor> madeSender;
    ActiveDelivery delivery(*this);
    std::int32_t index = static_cast<std::int32_t>(mClients.GetCount());
    for (;;) {
        // Let go after the lock.
        RCPtr<LNotification> delivered;
        RCPtr<LNotificationClient> client;
        while (client.IsNull() && --index >= 0) {
            client = RecipientAtLocked(index, notification, delivered);
        }
        if (client.IsNull()) {
            if (delivery.IsActive()) {
                delivery.LeaveLocked();
            }
            hold.Leave();
            return ZV_S_OK;
        }
        // The delivery keeps a place among the pool's active ones only while clients below this one are still to
        // be served: removals during the call move that place. After the first entry there is nothing to keep.
        if (index > 0 && !delivery.IsActive()) {
            delivery.EnterLocked(index);
        } else if (index > 0) {
            delivery.Cursor().index = index;
        } else if (delivery.IsActive()) {
            delivery.LeaveLocked();
        }
        hold.Leave();
        if (heldSender == nullptr) {
            madeSender = sender;
            heldSender = &madeSender;
        }
        client->ReceiveNotification(*heldSender, notification);
        if (!delivery.IsActive()) {
            return ZV_S_OK;
        }
        // The holds of this step go before the lock is taken again.
        client = nullptr;
        delivered = nullptr;
        hold.Enter();
        index = delivery.Cursor().index;
    }
}

std::int32_t Pool::SendToClient(const LNotificationDistributor* sender, std::int32_t index,
                                const RCPtr<LNotification>& notification)
{
    ActiveDelivery delivery(*this);
    RCPtr<LNotification> delivered;
    RCPtr<LNotificationClient> client;
    {
        MutexLock lock(mLock->mutex);
        client = RecipientAtLocked(index, notification, delivered);
        if (client.IsNull()) {
            return index;
        }
        delivery.EnterLocked(index);
    }
    client->ReceiveNotification(ConstRCPtr<LNotificationDistributor>(sender), notification);
    MutexLock lock(mLock->mutex);
    const std::int32_t reached = delivery.Cursor().index;
    delivery.LeaveLocked();
    return reached;
}

void Pool::StoreLatest(const RCPtr<LNotification>& notification)
{
    // Set under the lock before any latest-only entry exists, so a latest-only client is never missed.
    if ((mCombinedFlags.load() & kNotifyLatestOnly) == 0) {
        return;
    }
    // The notifications replaced go after the lock: one of them may be released for good.
    RCPtrArray<LNotification, 1, 0> replaced;
    MutexLock lock(mLock->mutex);
    for (std::uint32_t index = mClients.GetCount(); index-- > 0;) {
        Entry& entry = **mClients.GetItemPointer(index);
        if ((entry.mFlags & kNotifyLatestOnly) != 0) {
            if (entry.mLatest) {
                // Without room it goes under the lock, which is re-entrant.
                (void)replaced.AddItem(entry.mLatest);
            }
            entry.mLatest = notification;
        }
    }
}

std::int32_t Pool::IndexOfClientLocked(const LNotificationClient* client) const
{
    for (std::uint32_t index = mClients.GetCount(); index-- > 0;) {
        if ((*mClients.GetItemPointer(index))->mClient.Get() == client) {
            return static_cast<std::int32_t>(index);
        }
    }
    return -1;
}

ZVRESULT Pool::GetFlagsLocked(const LNotificationClient* client, std::uint32_t& flags) const
{
    const std::int32_t index = IndexOfClientLocked(client);
    if (index < 0) {
        return ZV_E_FAIL;
    }
    flags = (*mClients.GetItemPointer(static_cast<std::uint32_t>(index)))->mFlags;
    return ZV_S_OK;
}

ZVRESULT Pool::TakeClient(const ConstRCPtr<LNotificationClient>& client, RCPtr<Entry>& entry)
{
    MutexLock lock(mLock->mutex);
    const std::int32_t index = IndexOfClientLocked(client.Get());
    if (index < 0) {
        return ZV_S_FALSE;
    }
    (void)mClients.RemoveItem(static_cast<std::uint32_t>(index), entry);
    for (DeliveryCursor* cursor = mDeliveries; cursor != nullptr; cursor = cursor->next) {
        if (index < cursor->index) {
            --cursor->index;
        }
    }
    return ZV_S_OK;
}

RCPtr<LNotificationClient> Pool::GetClientAt(std::uint32_t index) const
{
    MutexLock lock(mLock->mutex);
    return index < mClients.GetCount() ? (*mClients.GetItemPointer(index))->mClient : nullptr;
}

RCPtr<LNotificationClient> Pool::RecipientAtLocked(std::int32_t index, const RCPtr<LNotification>& notification,
                                                   RCPtr<LNotification>& delivered)
{
    if (index < 0 || static_cast<std::uint32_t>(index) >= mClients.GetCount()) {
        return nullptr;
    }
    Entry& entry = **mClients.GetItemPointer(static_cast<std::uint32_t>(index));
    if ((entry.mFlags & kNotifyLatestOnly) != 0) {
        if (entry.mLatest.Get() != notification.Get()) {
            return nullptr;
        }
        delivered = std::move(entry.mLatest);
    }
    return entry.mClient;
}

}  // namespace ZV
