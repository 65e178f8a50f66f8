#include "Notification/Notification.h"

#include "Notification/InternTable.h"

#include <cassert>

namespace ZV {

namespace {

constinit std::atomic<bool> gPoolOn{false};

// Never destroyed (it has nothing to destroy), like every process-wide object that other threads use: a thread may
// still release a notification while the program exits.
constinit NotificationSparePool gSpares;

// The top word of the pool: the address of the top spare, with the number of takes so far in the bits that an
// address of a notification leaves free: the low ones (notifications are aligned to a cache line) and the high ones
// (user-space addresses of 64-bit Linux use 47 bits, 48 at most). A take that read the top word, and meanwhile saw
// that spare taken out and put back with another one below it, then finds the count changed; only 2^22 takes by
// other threads between its read and its compare-and-swap, ending with the same spare on top, could hide that.
static_assert(sizeof(std::uintptr_t) == 8, "the pool packs a count beside 48-bit addresses");
constexpr unsigned kAddressBits = 48;
constexpr unsigned kLowBits = 6;
static_assert(alignof(LNotification) >= (1u << kLowBits));
constexpr std::uint64_t kLowMask = (1u << kLowBits) - 1;
constexpr std::uint64_t kAddressMask = ((std::uint64_t{1} << kAddressBits) - 1) & ~kLowMask;

LNotification* SpareOf(std::uint64_t top)
{
    return reinterpret_cast<LNotification*>(static_cast<std::uintptr_t>(top & kAddressMask));
}

std::uint64_t TakesOf(std::uint64_t top)
{
    return (top & kLowMask) | (top >> kAddressBits << kLowBits);
}

std::uint64_t Pack(const LNotification* spare, std::uint64_t takes)
{
    const auto address = reinterpret_cast<std::uintptr_t>(spare);
    assert((address & ~kAddressMask) == 0);
    return address | (takes & kLowMask) | (takes >> kLowBits << kAddressBits);
}

}  // namespace

void NotificationSparePool::Push(LNotification& spare)
{
    std::uint64_t top = mTop.load(std::memory_order_relaxed);
    do {
        spare.mNextSpare.store(SpareOf(top), std::memory_order_relaxed);
    } while (!mTop.compare_exchange_weak(top, Pack(&spare, TakesOf(top)), std::memory_order_release,
                                         std::memory_order_relaxed));
}

RCPtr<LNotification> NotificationSparePool::Pop()
{
    std::uint64_t top = mTop.load(std::memory_order_acquire);
    for (;;) {
        LNotification* spare = SpareOf(top);
        if (spare == nullptr) {
            return nullptr;
        }
        // Stale when another thread takes this spare out meanwhile; the count in the top word then tells.
        LNotification* below = spare->mNextSpare.load(std::memory_order_relaxed);
        if (mTop.compare_exchange_weak(top, Pack(below, TakesOf(top) + 1), std::memory_order_acquire,
                                       std::memory_order_acquire)) {
            // The spare below is the next one handed out: fetch it while this one is being used.
            __builtin_prefetch(below, 1);
            spare->mNextSpare.store(nullptr, std::memory_order_relaxed);
            return RCPtr<LNotification>(spare, kCountedReference);
        }
    }
}

void NotificationSparePool::Clear()
{
    LNotification* spare = SpareOf(mTop.exchange(0, std::memory_order_acquire));
    while (spare != nullptr) {
        LNotification* below = spare->mNextSpare.load(std::memory_order_relaxed);
        spare->mNextSpare.store(nullptr, std::memory_order_relaxed);
        spare->LRefCountedObject::Release();
        spare = below;
    }
}

std::uint32_t NotificationSparePool::GetCount() const
{
    std::uint32_t count = 0;
    for (const LNotification* spare = SpareOf(mTop.load(std::memory_order_acquire)); spare != nullptr;
         spare = spare->mNextSpare.load(std::memory_order_relaxed)) {
        ++count;
    }
    return count;
}

NotificationSparePool& GetNotificationSparePool()
{
    return gSpares;
}

void EnableNotificationPool(bool on)
{
    gPoolOn.store(on);
    if (!on) {
        gSpares.Clear();
    }
}

RCPtr<LNotification> LNotification::CreateNew(const wchar_t* id, const ConstRCPtr<LRefCountedObject>& parameter)
{
    const wchar_t* canonicalId = InternString(id);
    if (canonicalId == nullptr) {
        return nullptr;
    }
    return CreateWithCanonicalId(canonicalId, ConstRCPtr<LRefCountedObject>(parameter));
}

RCPtr<LNotification> LNotification::CreateWithCanonicalId(const wchar_t* canonicalId,
                                                          ConstRCPtr<LRefCountedObject>&& parameter)
{
    RCPtr<LNotification> notification(new LNotification, kNewObject);
    notification->mId = canonicalId;
    notification->mParameter = std::move(parameter);
    return notification;
}

RCPtr<LNotification> LNotification::Create(const wchar_t* id, const ConstRCPtr<LRefCountedObject>& parameter)
{
    return Create(id, ConstRCPtr<LRefCountedObject>(parameter));
}

RCPtr<LNotification> LNotification::Create(const wchar_t* id, ConstRCPtr<LRefCountedObject>&& parameter)
{
    const wchar_t* canonicalId = InternString(id);
    if (canonicalId == nullptr) {
        return nullptr;
    }
    if (!gPoolOn.load(std::memory_order_acquire)) {
        return CreateWithCanonicalId(canonicalId, std::move(parameter));
    }
    RCPtr<LNotification> spare = gSpares.Pop();
    if (spare.IsNull()) {
        return CreateWithCanonicalId(canonicalId, std::move(parameter));
    }
    // A spare holds no parameter (ReturnToPool let it go), so nothing is released here.
    spare->mId = canonicalId;
    spare->mParameter = std::move(parameter);
    return spare;
}

bool LNotification::ReturnToPool()
{
    // A spare never keeps what it carried: its next user sets id and parameter anew.
    SetPosted(false);
    mParameter = nullptr;
    if (!gPoolOn.load(std::memory_order_acquire)) {
        return false;
    }
    gSpares.Push(*this);
    return true;
}

std::int32_t LNotification::Release() const
{
    if (GetRefCount() != 1) {
        // Others hold it too and may let go at this very moment: of two last releases, the one whose decrement
        // leaves none recycles it, so that a notification from the pool is never destroyed while the pool is on.
        const std::int32_t left = ReleaseWithoutDeleting();
        if (left != 0) {
            return left;
        }
        TakeFirstReference();
    }
    // Nobody else holds the notification, so nobody can take a reference to it meanwhile.
    if (const_cast<LNotification*>(this)->ReturnToPool()) {
        return 1;
    }
    return LRefCountedObject::Release();
}

}  // namespace ZV
