#include "Notification/Notification.h"

#include "Notification/InternTable.h"
#include "Notification/NotificationLock.h"

namespace ZV {

namespace {

constinit std::atomic<bool> gPoolOn{false};

}  // namespace

RCPtrArray<LNotification, 1, 0>& GetNotificationSparePool()
{
    // Never destroyed, like every process-wide object that other threads use: a thread may still release a
    // notification while the program exits, and a pool torn down then would take it back into freed memory.
    static auto& spares = *new RCPtrArray<LNotification, 1, 0>;
    return spares;
}

void EnableNotificationPool(bool on)
{
    gPoolOn.store(on);
    if (!on) {
        MutexLock lock(GetNotificationLock());
        GetNotificationSparePool().SetCount(0);
    }
}

RCPtr<LNotification> LNotification::CreateNew(const wchar_t* id, const ConstRCPtr<LRefCountedObject>& parameter)
{
    const wchar_t* canonicalId = InternString(id);
    if (canonicalId == nullptr) {
        return nullptr;
    }
    RCPtr<LNotification> notification(new LNotification);
    notification->Assign(canonicalId, parameter);
    return notification;
}

RCPtr<LNotification> LNotification::Create(const wchar_t* id, const ConstRCPtr<LRefCountedObject>& parameter)
{
    if (!gPoolOn.load()) {
        return CreateNew(id, parameter);
    }
    RCPtr<LNotification> spare;
    const wchar_t* canonicalId = nullptr;
    {
        // One hold of the lock for the id and the spare.
        MutexLock lock(GetNotificationLock());
        canonicalId = InternString(id);
        if (canonicalId == nullptr) {
            return nullptr;
        }
        GetNotificationSparePool().RemoveLast(spare);
    }
    if (spare.IsNull()) {
        return CreateNew(canonicalId, parameter);
    }
    spare->Assign(canonicalId, parameter);
    return spare;
}

void LNotification::ReturnToPool(const LNotification* notification)
{
    auto* spare = const_cast<LNotification*>(notification);
    // A spare never keeps what it carried: its next user sets id and parameter anew.
    spare->mPosted.store(false);
    spare->mParameter = nullptr;

    if (!gPoolOn.load()) {
        return;
    }
    MutexLock lock(GetNotificationLock());
    if (!gPoolOn.load()) {
        return;
    }
    RCPtrArray<LNotification, 1, 0>& pool = GetNotificationSparePool();
    const std::uint32_t end = pool.GetCount();
    if (Succeeded(pool.InsertSpace(end, 1))) {
        *pool.GetItemPointer(end) = spare;
    }
}

std::int32_t LNotification::Release() const
{
    if (!mRecycling.load() && GetRefCount() == 1) {
        mRecycling.store(true);
        ReturnToPool(this);
        mRecycling.store(false);
    }
    return LRefCountedObject::Release();
}

void LNotification::Assign(const wchar_t* canonicalId, const ConstRCPtr<LRefCountedObject>& parameter)
{
    mId = canonicalId;
    mParameter = parameter;
}

}  // namespace ZV
