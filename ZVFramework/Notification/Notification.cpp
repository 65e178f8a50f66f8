#include "Notification/Notification.h"

#include "Notification/InternTable.h"
#include "Platform/ThreadingServices.h"

#include <thread>

namespace ZV {

namespace {

constinit std::atomic<bool> gPoolOn{false};

// How often a thread that finds another taking a spare out looks again before it lets other threads run.
constexpr int kSpinAttempts = 100;

}  // namespace

void NotificationSparePool::Push(LNotification& spare)
{
    LNotification* top = mTop.load(std::memory_order_relaxed);
    do {
        spare.mNextSpare = top;
    } while (!mTop.compare_exchange_weak(top, &spare, std::memory_order_release, std::memory_order_relaxed));
}

RCPtr<LNotification> NotificationSparePool::Pop()
{
    for (int attempt = 0; mTaking.exchange(true, std::memory_order_acquire); ++attempt) {
        if (attempt < kSpinAttempts && Platform::SpinningCanHelp()) {
            Platform::PauseWhileSpinning();
        } else {
            std::this_thread::yield();
        }
    }
    // Pushes in between only make the replacement try again.
    LNotification* top = mTop.load(std::memory_order_acquire);
    while (top != nullptr &&
           !mTop.compare_exchange_weak(top, top->mNextSpare, std::memory_order_acquire, std::memory_order_acquire)) {
    }
    mTaking.store(false, std::memory_order_release);
    if (top == nullptr) {
        return nullptr;
    }
    // The spare below is the next one handed out: fetch it while this one is being used.
    __builtin_prefetch(top->mNextSpare, 1);
    top->mNextSpare = nullptr;
    RCPtr<LNotification> spare(top);
    // The pool's reference goes: the result holds the only one.
    top->LRefCountedObject::Release();
    return spare;
}

void NotificationSparePool::Clear()
{
    LNotification* spare = mTop.exchange(nullptr, std::memory_order_acquire);
    while (spare != nullptr) {
        LNotification* below = spare->mNextSpare;
        spare->mNextSpare = nullptr;
        spare->LRefCountedObject::Release();
        spare = below;
    }
}

std::uint32_t NotificationSparePool::GetCount() const
{
    std::uint32_t count = 0;
    for (const LNotification* spare = mTop.load(std::memory_order_acquire); spare != nullptr;
         spare = spare->mNextSpare) {
        ++count;
    }
    return count;
}

NotificationSparePool& GetNotificationSparePool()
{
    // Never destroyed, like every process-wide object that other threads use: a thread may still release a
    // notification while the program exits, and a pool torn down then would take it back into freed memory.
    static auto& spares = *new NotificationSparePool;
    return spares;
}

void EnableNotificationPool(bool on)
{
    gPoolOn.store(on);
    if (!on) {
        GetNotificationSparePool().Clear();
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
    const wchar_t* canonicalId = InternString(id);
    if (canonicalId == nullptr) {
        return nullptr;
    }
    RCPtr<LNotification> spare = GetNotificationSparePool().Pop();
    if (spare.IsNull()) {
        return CreateNew(canonicalId, parameter);
    }
    spare->Assign(canonicalId, parameter);
    return spare;
}

bool LNotification::ReturnToPool()
{
    // A spare never keeps what it carried: its next user sets id and parameter anew.
    SetPosted(false);
    mParameter = nullptr;
    if (!gPoolOn.load()) {
        return false;
    }
    GetNotificationSparePool().Push(*this);
    return true;
}

std::int32_t LNotification::Release() const
{
    // Nobody else holds the notification, so nobody can take a reference to it meanwhile.
    if (GetRefCount() == 1 && const_cast<LNotification*>(this)->ReturnToPool()) {
        return 1;
    }
    return LRefCountedObject::Release();
}

void LNotification::Assign(const wchar_t* canonicalId, const ConstRCPtr<LRefCountedObject>& parameter)
{
    mId = canonicalId;
    mParameter = parameter;
}

}  // namespace ZV
