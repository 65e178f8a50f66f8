#pragma once

#include "Notification/Notification.h"
#include "Notification/NotificationReceiver.h"
#include "Threading/Mutex.h"
#include "Utilities/Storage/Array.h"
#include "Utilities/Storage/RCPtrQueue.h"

#include <atomic>
#include <cstdint>

namespace ZV {

class LNotificationDistributor;

// The process-wide lock of every notification queue: their rings, their attached distributors and their posting
// receivers' links. It is held for one ring operation or one post at a time, never while a notification is
// delivered.
Mutex& GetNotificationQueueMutex();

// Carries notifications from any thread to the user-interface thread: producers post, and idle processing on the
// user-interface thread hands each queued notification, in posting order, to the attached distributor.
//
// The queue's posting receiver re-posts what it receives, so that parts that deliver to a receiver can deliver into
// the queue. It holds a reference back to the queue, counted as internal: when the queue's owners let it go, the
// cycle is broken and both are freed.
class LNotificationQueue : public virtual LRefCountedObject {
public:
    class LPostingReceiver;

    static constexpr std::uint32_t kInitialSlots = 256;

    LNotificationQueue();
    LNotificationQueue(const LNotificationQueue&) = delete;
    LNotificationQueue& operator=(const LNotificationQueue&) = delete;
    ~LNotificationQueue() override;

    // Sets where queued notifications are delivered, once; a null distributor changes nothing. 0, or 0x80004005
    // when one is attached already or the queue has let its posting receiver go.
    [[nodiscard]] ZVRESULT AttachDistributor(const ConstRCPtr<LNotificationDistributor>& distributor);
    // The queue's posting receiver with a reference added; null once the queue let it go.
    ConstRCPtr<LNotificationReceiver> GetPostingReceiver() const;

    // Queues the notification, from any thread: 0; 0x80070057 for a null notification or one that waits in a
    // queue already; 0x80004005 when no distributor is attached. Of the notifications of one id that wait here, a
    // latest-only client of the distributor will receive only the last one posted.
    [[nodiscard]] ZVRESULT PostNotification(const RCPtr<LNotification>& notification);
    // The same, except that a notification of the same id that an earlier replacing post queued and that still waits
    // here is replaced by this one, in its place: of a stream of such notifications (progress reports), the queue holds
    // at most one at a time, and its clients see the newest.
    [[nodiscard]] ZVRESULT PostReplacingNotification(const RCPtr<LNotification>& notification);

    // On the user-interface thread: delivers the notifications queued at entry (later ones wait for the next call),
    // then, when asked, the idle notification "NID_IDLE". True when notifications are still queued afterwards. A
    // client's exception passes on; the notifications behind it are delivered by the next call.
    bool ProcessNotifications(bool sendIdle);
    // Drops every queued notification without delivering it; true when notifications are still queued afterwards.
    bool Clear();
    // From any thread, without the lock.
    std::uint32_t GetQueuedCount() const;
    // How many slots the ring has grown to.
    std::uint32_t GetQueueCapacity() const { return mQueue.GetCapacity(); }

    // Drains the queue, lets its distributor go and breaks the cycle with the posting receiver; then answers as the
    // base does. Classes built on the queue call it from their own override.
    [[nodiscard]] ZVRESULT ReleaseInternalReferences() override;

protected:
    // Takes the attached distributor away and hands over the queue's reference to it.
    ConstRCPtr<LNotificationDistributor> DetachDistributor();

private:
    // Where a replacing post's notification was queued: the number of notifications queued before it.
    struct ReplaceablePlace {
        const wchar_t* id = nullptr;
        std::uint64_t place = 0;
    };

    [[nodiscard]] ZVRESULT Post(const RCPtr<LNotification>& notification, bool replaceWaiting);
    // Under the mutex: puts the notification in the place of the waiting one of its id that a replacing post
    // queued, which comes back in replaced; false when none waits, after noting where the notification will go.
    bool ReplaceWaiting(const RCPtr<LNotification>& notification, RCPtr<LNotification>& replaced,
                        ReplaceablePlace*& place);
    // Takes out the notifications queued now, oldest first, each in a hold of the mutex of its own (the first one
    // with the distributor and the count), and hands each to the attached distributor when asked to deliver, else
    // drops it. Returns the distributor delivered to.
    ConstRCPtr<LNotificationDistributor> TakeQueued(bool deliver);

    bool mBusy = false;
    RCPtrQueue<LNotification, kInitialSlots> mQueue;
    // How many notifications were queued and taken out so far: changed under the mutex, read without it to see
    // whether any wait. A queued notification's position in the ring is its place less the number taken. Kept next to
    // the ring, whose indexes every post and take change anyway.
    std::atomic<std::uint64_t> mQueuedTotal{0};
    std::atomic<std::uint64_t> mTakenTotal{0};
    Array<ReplaceablePlace> mReplaceablePlaces;
    ConstRCPtr<LNotificationDistributor> mDistributor;
    ConstRCPtr<LPostingReceiver> mPostingReceiver;
    RCPtr<LNotification> mIdleNotification;
};

// Posts a copy of every notification it receives into its queue (sharing the parameter); the clients of the queue
// see the queue's distributor as the sender. Does nothing once the queue has let it go.
class LNotificationQueue::LPostingReceiver : public LNotificationReceiver {
public:
    static ConstRCPtr<LPostingReceiver> Create(const ConstRCPtr<LNotificationQueue>& queue);

    void ReceiveNotification(const ConstRCPtr<LNotificationDistributor>& sender,
                             const RCPtr<LNotification>& notification) override;
    // A posting receiver is never registered anywhere: always 0x80004005.
    [[nodiscard]] ZVRESULT UnregisterForNotification(const ConstRCPtr<LNotificationDistributor>& distributor,
                                       const wchar_t* id) override;

private:
    friend class LNotificationQueue;

    explicit LPostingReceiver(const ConstRCPtr<LNotificationQueue>& queue);

    // Guarded by the queue mutex.
    RCPtr<LNotificationQueue> mQueue;
};

}  // namespace ZV
