#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "Threading/Mutex.h"

#include <atomic>
#include <cstdint>

namespace ZV {

class NotificationSparePool;

// A message that something happened: a canonical id ("NID_..." interned, compared by pointer) and an optional
// parameter record that the receiver casts to the type it expects.
//
// Notifications are made very often (per mouse event, per captured MIDI message, per image message sent), so while
// the pool is on a notification whose last reference goes is kept as a spare and handed out again by Create. One
// made on a worker is let go on the user-interface thread: aligned to a cache line, it moves between them in one.
class alignas(kCacheLineSize) LNotification : public virtual LRefCountedObject {
public:
    LNotification(const LNotification&) = delete;
    LNotification& operator=(const LNotification&) = delete;

    // A notification with that id and parameter, a spare when the pool is on and holds one; empty for a null or
    // empty id.
    static RCPtr<LNotification> Create(const wchar_t* id, const ConstRCPtr<LRefCountedObject>& parameter);
    // The same for a parameter that the caller lets go (a record made for the notification): the notification takes
    // over the caller's reference instead of counting one of its own.
    static RCPtr<LNotification> Create(const wchar_t* id, ConstRCPtr<LRefCountedObject>&& parameter);
    // Always a newly allocated notification; empty for a null or empty id.
    static RCPtr<LNotification> CreateNew(const wchar_t* id, const ConstRCPtr<LRefCountedObject>& parameter);

    // The last reference goes to the pool instead of destroying the notification while the pool is on; the count
    // left (1, the pool's, when it went there).
    std::int32_t Release() const override;

    const wchar_t* GetId() const { return mId; }
    const ConstRCPtr<LRefCountedObject>& GetParameter() const { return mParameter; }
    // True while the notification waits in a notification queue.
    bool IsPosted() const { return mPosted.load(std::memory_order_acquire); }

private:
    friend class LNotificationQueue;
    friend class NotificationSparePool;

    LNotification() = default;

    static RCPtr<LNotification> CreateWithCanonicalId(const wchar_t* canonicalId,
                                                      ConstRCPtr<LRefCountedObject>&& parameter);
    void SetPosted(bool posted) { mPosted.store(posted, std::memory_order_release); }
    // Drops the parameter and the posted mark and, with the pool on, makes the caller's last reference the pool's;
    // false when the pool is off.
    bool ReturnToPool();

    const wchar_t* mId = nullptr;
    ConstRCPtr<LRefCountedObject> mParameter;
    // Set by the posting thread and cleared by the one that delivers.
    std::atomic<bool> mPosted{false};
    // The spare below this one while it is in the pool. Read by threads taking spares out, which may still look at
    // a notification that another one took out a moment before: hence atomic.
    std::atomic<LNotification*> mNextSpare{nullptr};
};

// The spare notifications, a stack linked through the spares themselves: keeping one or handing it out again
// allocates nothing, and the most recently returned is handed out first. Each spare has one reference, the pool's.
// Neither side waits for the other: a spare goes in and comes out by one compare-and-swap each. Both the threads that
// make notifications and the one that lets them go change the pool all the time, so it keeps a cache line to itself.
//
// While the pool is on, a notification that was once in it is never destroyed (its last release puts it back), so a
// thread may safely read the spare below one that another thread has just taken out; the stale answer then fails
// the compare-and-swap, because every take counts one up in the top word (see Pop).
class alignas(kCacheLineSize) NotificationSparePool {
public:
    constexpr NotificationSparePool() = default;
    NotificationSparePool(const NotificationSparePool&) = delete;
    NotificationSparePool& operator=(const NotificationSparePool&) = delete;

    // Takes over a reference to the notification.
    void Push(LNotification& spare);
    // The most recent spare, with the pool's reference handed over to the result; null when there is none.
    RCPtr<LNotification> Pop();
    // Destroys every spare. Not while other threads make or let go of notifications.
    void Clear();
    std::uint32_t GetCount() const;

private:
    // The top spare's address and the number of takes so far (modulo 2^22), in one word: see Pack.
    std::atomic<std::uint64_t> mTop{0};
};

// Switches the pool of spare notifications on or off; off also destroys every spare. The application switches it
// on at start-up and off when it ends.
void EnableNotificationPool(bool on);

// The process's spare notifications.
NotificationSparePool& GetNotificationSparePool();

}  // namespace ZV
