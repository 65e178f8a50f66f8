#include "Notification/NotificationQueue.h"

#include "Notification/NotificationDistributor.h"

namespace ZV {

namespace {

// Clears a flag when the scope ends, also by an exception.
class FlagScope {
public:
    explicit FlagScope(bool& flag) : mFlag(flag) { mFlag = true; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;
    ~FlagScope() { mFlag = false; }

private:
    bool& mFlag;
};

}  // namespace

Mutex& GetNotificationQueueMutex()
{
    // Never destroyed: threads that outlive main still post.
    static Mutex& mutex = *new Mutex;
    return mutex;
}

LNotificationQueue::LNotificationQueue() : mQueue(&GetNotificationQueueMutex())
{
    mPostingReceiver = LPostingReceiver::Create(ConstRCPtr<LNotificationQueue>(this));
    AddInternalReferences(1);
    mIdleNotification = LNotification::Create(L"NID_IDLE", nullptr);
}

LNotificationQueue::~LNotificationQueue()
{
    Clear();
}

ZVRESULT LNotificationQueue::AttachDistributor(const ConstRCPtr<LNotificationDistributor>& distributor)
{
    MutexLock lock(GetNotificationQueueMutex());
    if (mDistributor || mPostingReceiver.IsNull()) {
        return ZV_E_FAIL;
    }
    mDistributor = distributor;
    return ZV_S_OK;
}

ConstRCPtr<LNotificationReceiver> LNotificationQueue::GetPostingReceiver() const
{
    MutexLock lock(GetNotificationQueueMutex());
    return mPostingReceiver;
}

ZVRESULT LNotificationQueue::PostNotification(const RCPtr<LNotification>& notification)
{
    if (notification.IsNull()) {
        return ZV_E_INVALIDARG;
    }
    // Whatever these hold at the end is released after the mutex.
    ConstRCPtr<LNotificationDistributor> distributor;
    RCPtr<LNotificationDistributor::LNotificationClientPool> pool;
    MutexLock lock(GetNotificationQueueMutex());
    if (notification->IsPosted()) {
        return ZV_E_INVALIDARG;
    }
    distributor = mDistributor;
    if (distributor.IsNull()) {
        return ZV_E_FAIL;
    }
    // Under the mutex, so that the latest notification of an id is also the last one queued.
    pool = distributor->FindClientPool(notification->GetId());
    if (pool) {
        pool->StoreLatest(notification);
    }
    notification->SetPosted(true);
    return mQueue.Enqueue(notification);
}

bool LNotificationQueue::ProcessNotifications(bool sendIdle)
{
    // A client may let the queue's owner go from inside a delivery.
    const ConstRCPtr<LNotificationQueue> self(this);
    const ConstRCPtr<LNotificationDistributor> distributor = GetDistributor();
    if (!mBusy) {
        const FlagScope busy(mBusy);
        DeliverQueued(distributor);
    }
    if (sendIdle && distributor && mIdleNotification) {
        distributor->SendNotification(mIdleNotification);
    }
    return mQueue.GetCount() != 0;
}

bool LNotificationQueue::Clear()
{
    DeliverQueued(nullptr);
    return mQueue.GetCount() != 0;
}

ZVRESULT LNotificationQueue::ReleaseInternalReferences()
{
    Clear();
    // Let go after the mutex: these may be the last references.
    ConstRCPtr<LNotificationDistributor> distributor = DetachDistributor();
    ConstRCPtr<LPostingReceiver> receiver;
    RCPtr<LNotificationQueue> receiverLink;
    {
        MutexLock lock(GetNotificationQueueMutex());
        receiver = std::move(mPostingReceiver);
        if (receiver) {
            receiverLink = std::move(const_cast<LPostingReceiver&>(*receiver).mQueue);
        }
        if (receiverLink) {
            AddInternalReferences(-1);
        }
    }
    distributor = nullptr;
    receiverLink = nullptr;
    receiver = nullptr;
    return LRefCountedObject::ReleaseInternalReferences();
}

ConstRCPtr<LNotificationDistributor> LNotificationQueue::DetachDistributor()
{
    MutexLock lock(GetNotificationQueueMutex());
    return std::move(mDistributor);
}

ConstRCPtr<LNotificationDistributor> LNotificationQueue::GetDistributor() const
{
    MutexLock lock(GetNotificationQueueMutex());
    return mDistributor;
}

// Without a distributor the notifications are dropped.
void LNotificationQueue::DeliverQueued(const ConstRCPtr<LNotificationDistributor>& distributor)
{
    // A notification leaves the queue unmarked, also when its delivery ends by an exception.
    class Dequeued {
    public:
        Dequeued() = default;
        Dequeued(const Dequeued&) = delete;
        Dequeued& operator=(const Dequeued&) = delete;
        ~Dequeued()
        {
            if (notification) {
                notification->SetPosted(false);
            }
        }

        RCPtr<LNotification> notification;
    };

    // A delivery may clear the queue, so the ring can run empty before the count taken at the start.
    for (std::uint32_t remaining = mQueue.GetCount(); remaining > 0; --remaining) {
        Dequeued dequeued;
        if (!mQueue.TryDequeue(dequeued.notification)) {
            return;
        }
        if (distributor) {
            distributor->SendNotification(dequeued.notification);
        }
    }
}

ConstRCPtr<LNotificationQueue::LPostingReceiver> LNotificationQueue::LPostingReceiver::Create(
    const ConstRCPtr<LNotificationQueue>& queue)
{
    return ConstRCPtr<LPostingReceiver>(new LPostingReceiver(queue));
}

LNotificationQueue::LPostingReceiver::LPostingReceiver(const ConstRCPtr<LNotificationQueue>& queue)
    : mQueue(const_cast<LNotificationQueue*>(queue.Get()))
{
}

void LNotificationQueue::LPostingReceiver::ReceiveNotification(const ConstRCPtr<LNotificationDistributor>&,
                                                               const RCPtr<LNotification>& notification)
{
    RCPtr<LNotificationQueue> queue;
    {
        MutexLock lock(GetNotificationQueueMutex());
        queue = mQueue;
    }
    if (queue.IsNull() || notification.IsNull()) {
        return;
    }
    const RCPtr<LNotification> copy = LNotification::Create(notification->GetId(), notification->GetParameter());
    queue->PostNotification(copy);
}

ZVRESULT LNotificationQueue::LPostingReceiver::UnregisterForNotification(const ConstRCPtr<LNotificationDistributor>&,
                                                                         const wchar_t*)
{
    return ZV_E_FAIL;
}

}  // namespace ZV
