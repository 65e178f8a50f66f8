#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "Utilities/Storage/RCPtrArray.h"

#include <atomic>
#include <cstdint>

namespace ZV {

// A message that something happened: a canonical id ("NID_..." interned, compared by pointer) and an optional
// parameter record that the receiver casts to the type it expects.
//
// Notifications are made very often (per mouse event, per captured MIDI message), so while the pool is on a
// notification whose last reference goes is kept as a spare and handed out again by Create.
class LNotification : public virtual LRefCountedObject {
public:
    LNotification(const LNotification&) = delete;
    LNotification& operator=(const LNotification&) = delete;

    // A notification with that id and parameter, a spare when the pool is on and holds one; empty for a null or
    // empty id.
    static RCPtr<LNotification> Create(const wchar_t* id, const ConstRCPtr<LRefCountedObject>& parameter);
    // Always a newly allocated notification; empty for a null or empty id.
    static RCPtr<LNotification> CreateNew(const wchar_t* id, const ConstRCPtr<LRefCountedObject>& parameter);
    // Drops the notification's parameter and posted mark and, with the pool on, keeps it as a spare.
    static void ReturnToPool(const LNotification* notification);

    // The last reference goes to the pool instead of destroying the notification while the pool is on.
    std::int32_t Release() const override;

    const wchar_t* GetId() const { return mId; }
    const ConstRCPtr<LRefCountedObject>& GetParameter() const { return mParameter; }
    // True while the notification waits in a notification queue.
    bool IsPosted() const { return mPosted.load(); }

private:
    friend class LNotificationQueue;

    LNotification() = default;

    void Assign(const wchar_t* canonicalId, const ConstRCPtr<LRefCountedObject>& parameter);
    void SetPosted(bool posted) { mPosted.store(posted); }

    const wchar_t* mId = nullptr;
    ConstRCPtr<LRefCountedObject> mParameter;
    // Set by the posting thread and cleared by the one that delivers.
    std::atomic<bool> mPosted{false};
    // Lets the references taken while a notification enters the pool go straight to the base Release.
    mutable std::atomic<bool> mRecycling{false};
};

// Switches the pool of spare notifications on or off; off also destroys every spare. The application switches it
// on at start-up and off when it ends.
void EnableNotificationPool(bool on);

// The spare notifications, used as a stack: the most recently returned is handed out first. Guarded by the
// notification lock. At exit the pool is switched off before it is destroyed.
RCPtrArray<LNotification, 1, 0>& GetNotificationSparePool();

}  // namespace ZV
