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
    // A delivery that begins with the last client.
    explicit ActiveDelivery(Pool& pool) : mPool(pool)
    {
        MutexLock lock(mPool.mLock->mutex);
        Enter(static_cast<std::int32_t>(mPool.mClients.GetCount()));
    }
    ActiveDelivery(Pool& pool, std::int32_t start) : mPool(pool)
    {
        MutexLock lock(mPool.mLock->mutex);
        Enter(start);
    }
    ActiveDelivery(const ActiveDelivery&) = delete;
    ActiveDelivery& operator=(const ActiveDelivery&) = delete;
    ~ActiveDelivery()
    {
        MutexLock lock(mPool.mLock->mutex);
        DeliveryCursor** link = &mPool.mDeliveries;
        while (*link != &mCursor) {
            link = &(*link)->next;
        }
        *link = mCursor.next;
    }

    // Under the pool's lock.
    DeliveryCursor& Cursor() { return mCursor; }
    std::int32_t GetIndex() const
    {
        MutexLock lock(mPool.mLock->mutex);
        return mCursor.index;
    }

private:
    void Enter(std::int32_t start)
    {
        mCursor.index = start;
        mCursor.next = mPool.mDeliveries;
        mPool.mDeliveries = &mCursor;
    }

    Pool& mPool;
    DeliveryCursor mCursor{};
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
    const std::int32_t index = IndexOfClientLocked(client.Get());
    if (index < 0) {
        mClients.AddItem(RCPtr<Entry>(new Entry(client, flags)));
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
    ActiveDelivery delivery(*this);
    if (delivery.GetIndex() == 0) {
        return ZV_S_FALSE;
    }
    const ConstRCPtr<LNotificationDistributor> heldSender(sender);
    for (;;) {
        RCPtr<LNotification> delivered;
        RCPtr<LNotificationClient> client;
        {
            MutexLock lock(mLock->mutex);
            DeliveryCursor& cursor = delivery.Cursor();
            while (client.IsNull() && --cursor.index >= 0) {
                client = RecipientAtLocked(cursor.index, notification, delivered);
            }
        }
        if (client.IsNull()) {
            return ZV_S_OK;
        }
        client->ReceiveNotification(heldSender, notification);
    }
}

std::int32_t Pool::SendToClient(const LNotificationDistributor* sender, std::int32_t index,
                                const RCPtr<LNotification>& notification)
{
    ActiveDelivery delivery(*this, index);
    RCPtr<LNotification> delivered;
    RCPtr<LNotificationClient> client;
    {
        MutexLock lock(mLock->mutex);
        client = RecipientAtLocked(index, notification, delivered);
    }
    if (client.IsNull()) {
        return index;
    }
    client->ReceiveNotification(ConstRCPtr<LNotificationDistributor>(sender), notification);
    return delivery.GetIndex();
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
                replaced.AddItem(entry.mLatest);
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
    mClients.RemoveItem(static_cast<std::uint32_t>(index), entry);
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
