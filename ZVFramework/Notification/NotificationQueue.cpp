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

// Adds one to a count that only the holder of the queue mutex changes: a plain store serves the readers without the
// mutex, where a locked increment would cost every post and take.
void CountOne(std::atomic<std::uint64_t>& count)
{
    count.store(count.load(std::memory_order_relaxed) + 1, std::memory_order_release);
}

}  // namespace

Mutex& GetNotificationQueueMutex()
{
    static Mutex& mutex = MakeProcessWideMutex();
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
    return Post(notification, false);
}

ZVRESULT LNotificationQueue::PostReplacingNotification(const RCPtr<LNotification>& notification)
{
    return Post(notification, true);
}

bool LNotificationQueue::ProcessNotifications(bool sendIdle)
{
    // Nothing to do costs no lock, so that an idle queue does not hold up the threads that post.
    if (!sendIdle && GetQueuedCount() == 0) {
        return false;
    }
    // A client may let the queue's owner go from inside a delivery.
    const ConstRCPtr<LNotificationQueue> self(this);
    ConstRCPtr<LNotificationDistributor> distributor;
    if (!mBusy) {
        const FlagScope busy(mBusy);
        distributor = TakeQueued(true);
    } else if (sendIdle) {
        MutexLock lock(GetNotificationQueueMutex());
        distributor = mDistributor;
    }
    if (sendIdle && distributor && mIdleNotification) {
        (void)distributor->SendNotificationAs(distributor, mIdleNotification);
    }
    return GetQueuedCount() != 0;
}

bool LNotificationQueue::Clear()
{
    TakeQueued(false);
    return GetQueuedCount() != 0;
}

std::uint32_t LNotificationQueue::GetQueuedCount() const
{
    // Taken first: a post between the two reads can only make the count larger than it was.
    const std::uint64_t taken = mTakenTotal.load(std::memory_order_acquire);
    return static_cast<std::uint32_t>(mQueuedTotal.load(std::memory_order_acquire) - taken);
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

ZVRESULT LNotificationQueue::Post(const RCPtr<LNotification>& notification, bool replaceWaiting)
{
    if (notification.IsNull()) {
        return ZV_E_INVALIDARG;
    }
    // Whatever these hold at the end is let go after the mutex.
    RCPtr<LNotificationDistributor::LNotificationClientPool> pool;
    RCPtr<LNotification> replaced;
    MutexLock lock(GetNotificationQueueMutex());
    if (notification->IsPosted()) {
        return ZV_E_INVALIDARG;
    }
    // The queue's own reference keeps it alive while the mutex is held.
    const LNotificationDistributor* distributor = mDistributor.Get();
    if (distributor == nullptr) {
        return ZV_E_FAIL;
    }
    ReplaceablePlace* place = nullptr;
    if (!replaceWaiting || !ReplaceWaiting(notification, replaced, place)) {
        // A ring that cannot grow refuses the notification, which then is neither queued nor remembered.
        if (Failed(mQueue.Enqueue(notification))) {
            return ZV_E_FAIL;
        }
        if (place != nullptr) {
            place->place = mQueuedTotal.load(std::memory_order_relaxed);
        }
        CountOne(mQueuedTotal);
    }
    // Under the mutex, so that the latest notification of an id is also the last one queued.
    if (distributor->HasLatestOnlyRegistrations()) {
        pool = distributor->FindClientPool(notification->GetId());
        if (pool) {
            pool->StoreLatest(notification);
        }
    }
    notification->SetPosted(true);
    return ZV_S_OK;
}

bool LNotificationQueue::ReplaceWaiting(const RCPtr<LNotification>& notification, RCPtr<LNotification>& replaced,
                                        ReplaceablePlace*& place)
{
    ReplaceablePlace* noted = nullptr;
    for (std::uint32_t index = 0; index < mReplaceablePlaces.GetCount() && noted == nullptr; ++index) {
        if (mReplaceablePlaces.GetItemPointer(index)->id == notification->GetId()) {
            noted = mReplaceablePlaces.GetItemPointer(index);
        }
    }
    const std::uint64_t taken = mTakenTotal.load(std::memory_order_relaxed);
    if (noted != nullptr && noted->place >= taken) {
        replaced = notification;
        mQueue.Replace(static_cast<std::uint32_t>(noted->place - taken), replaced);
        replaced->SetPosted(false);
        return true;
    }
    // Without room to remember the id, this one is queued and cannot be replaced later.
    if (noted == nullptr && Succeeded(mReplaceablePlaces.AddItem({notification->GetId(), 0}))) {
        noted = mReplaceablePlaces.GetItemPointer(mReplaceablePlaces.GetCount() - 1);
    }
    place = noted;
    return false;
}

ConstRCPtr<LNotificationDistributor> LNotificationQueue::TakeQueued(bool deliver)
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

    ConstRCPtr<LNotificationDistributor> distributor;
    bool first = true;
    std::uint32_t remaining = 0;
    for (;;) {
        Dequeued dequeued;
        {
            MutexLock lock(GetNotificationQueueMutex());
            if (first) {
                first = false;
                distributor = deliver ? mDistributor : nullptr;
                remaining = GetQueuedCount();
            }
            // A delivery may clear the queue, so the ring can run empty before the count taken at the start.
            if (remaining == 0 || !mQueue.TryDequeue(dequeued.notification)) {
                return distributor;
            }
            --remaining;
            CountOne(mTakenTotal);
        }
        // Without a distributor the notifications are dropped.
        if (distributor) {
            (void)distributor->SendNotificationAs(distributor, dequeued.notification);
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
    // The receiving queue may be closing; the copy then goes nowhere, as the original would.
    (void)queue->PostNotification(copy);
}

ZVRESULT LNotificationQueue::LPostingReceiver::UnregisterForNotification(const ConstRCPtr<LNotificationDistributor>&,
                                                                         const wchar_t*)
{
    return ZV_E_FAIL;
}

}  // namespace ZV
